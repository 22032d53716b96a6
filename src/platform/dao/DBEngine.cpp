#include "dao/DBEngine.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "fso/FileSystem.h"
#include "vb/RuntimeError.h"

namespace dao {

namespace {

[[noreturn]] void unrecognized(const QString& path) {
    vb::Raise(vb::err::UnrecognizedFormat, QStringLiteral("Unrecognized database format '%1'.").arg(path));
}

// The source must exist and no connection of this process may hold it:
// replacing a file under an open handle would send its writes to a lost file.
QString usableSource(const QString& path) {
    const QString resolved = fso::ResolvePath(path);
    if (!fso::FileExists(resolved))
        vb::Raise(vb::err::CouldNotFindFile, QStringLiteral("Could not find file '%1'.").arg(path));
    if (ado::Connection::IsFileOpen(resolved))
        vb::Raise(vb::err::FileInUse, QStringLiteral("Could not use '%1'; file already in use.").arg(path));
    return resolved;
}

void integrityCheck(const QString& resolved, const QString& shownPath, bool readOnly) {
    auto cn = std::make_shared<ado::Connection>();
    try {
        cn->OpenFile(resolved, readOnly);
        ado::Recordset rs;
        rs.Open(QStringLiteral("PRAGMA integrity_check"), cn, ado::adOpenForwardOnly, ado::adLockReadOnly);
        const bool ok = rs.RecordCount() == 1 && rs.Fields(0).Value().str() == QLatin1String("ok");
        rs.Close();
        cn->Close();
        if (!ok) unrecognized(shownPath);
    } catch (const vb::RuntimeError& e) {
        cn->Close();
        if (e.Number() == vb::err::UnrecognizedFormat) throw;
        // Not a database, or damaged past reading.
        unrecognized(shownPath);
    }
}

} // namespace

void RepairDatabase(const QString& path) {
    integrityCheck(usableSource(path), path, false);
}

void CompactDatabase(const QString& src, const QString& dst) {
    const QString resolved = usableSource(src);
    const QString target = QString(dst).replace(QLatin1Char('\\'), QLatin1Char('/'));
    auto cn = std::make_shared<ado::Connection>();
    try {
        cn->OpenFile(resolved, false);
        // The destination is bound, never spliced into the text.
        cn->Execute(QStringLiteral("VACUUM INTO ?"), {vb::Variant(target)});
    } catch (...) {
        cn->Close();
        throw;
    }
    cn->Close();
}

void CheckDatabase(const QString& path) {
    const QString resolved = fso::ResolvePath(path);
    if (!fso::FileExists(resolved))
        vb::Raise(vb::err::CouldNotFindFile, QStringLiteral("Could not find file '%1'.").arg(path));
    integrityCheck(resolved, path, true);
}

} // namespace dao
