// Repair and compaction of a data file, on real files in a temporary folder.
#include <cerrno>
#include <sqlite3.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSet>
#include <unistd.h>
#include "ado/Recordset.h"
#include "ado/Connection.h"
#include "dao/DBEngine.h"
#include "fso/FileSystem.h"
#include "support/TestEnv.h"
#include "vb/RuntimeError.h"

namespace {

template <class F>
vb::RuntimeError errorOf(F&& f) {
    try {
        f();
    } catch (const vb::RuntimeError& e) {
        return e;
    }
    return vb::RuntimeError(0, QString());
}

void writeJunk(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, '\x5a'));
}

TEST(DBEngine, RepairAndCheckAcceptASoundFileFoundWhateverItsCapitals) {
    testsupport::ProgramFolder folder;
    EXPECT_NO_THROW(dao::RepairDatabase(folder.path() + QStringLiteral("\\vantrel.mdb")));
    EXPECT_NO_THROW(dao::CheckDatabase(folder.dataFile()));
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));
}

TEST(DBEngine, MissingFilesAreReportedAndNeverCreated) {
    testsupport::ProgramFolder folder(false);
    const QString missing = folder.path() + QStringLiteral("/Vantrel.mdb");
    const QString dst = folder.path() + QStringLiteral("/BackupOfVantrel.mdb");
    for (auto op : {+[](const QString& p, const QString&) { dao::RepairDatabase(p); },
                    +[](const QString& p, const QString& d) { dao::CompactDatabase(p, d); },
                    +[](const QString& p, const QString&) { dao::CheckDatabase(p); }}) {
        const vb::RuntimeError e = errorOf([&] { op(missing, dst); });
        EXPECT_EQ(e.Number(), vb::err::CouldNotFindFile);
        EXPECT_EQ(e.Description(), QStringLiteral("Could not find file '%1'.").arg(missing));
    }
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST(DBEngine, AFileThisProcessHasOpenIsRefused) {
    testsupport::ProgramFolder folder;
    ado::Connection cn;
    cn.OpenFile(folder.dataFile());
    const QString dst = folder.path() + QStringLiteral("/BackupOfVantrel.mdb");
    const vb::RuntimeError e = errorOf([&] { dao::CompactDatabase(folder.dataFile(), dst); });
    EXPECT_EQ(e.Number(), vb::err::FileInUse);
    EXPECT_EQ(e.Description(), QStringLiteral("Could not use '%1'; file already in use.").arg(folder.dataFile()));
    EXPECT_EQ(errorOf([&] { dao::RepairDatabase(folder.dataFile()); }).Number(), vb::err::FileInUse);
    EXPECT_FALSE(QFile::exists(dst));
    cn.Close();
    EXPECT_NO_THROW(dao::CompactDatabase(folder.dataFile(), dst));
}

TEST(DBEngine, ANonDatabaseIsAnUnrecognizedFormat) {
    testsupport::ProgramFolder folder(false);
    const QString junk = folder.path() + QStringLiteral("/Vantrel.mdb");
    writeJunk(junk);
    for (auto op : {&dao::RepairDatabase, &dao::CheckDatabase}) {
        const vb::RuntimeError e = errorOf([&] { op(junk); });
        EXPECT_EQ(e.Number(), vb::err::UnrecognizedFormat);
        EXPECT_EQ(e.Description(), QStringLiteral("The data file is damaged."));
    }
    EXPECT_FALSE(ado::Connection::IsFileOpen(junk));
}

TEST(DBEngine, ADamagedFileFailsTheCheck) {
    testsupport::ProgramFolder folder;
    folder.exec(QStringLiteral("create table big (x); "
                               "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
                               "insert into big select printf('%0200d', i) from n;"));
    // Overwrite pages in the middle of the file: the header still reads.
    QFile f(folder.dataFile());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_GT(f.size(), 40000);
    f.seek(20000);
    f.write(QByteArray(16384, '\x01'));
    f.close();
    EXPECT_EQ(errorOf([&] { dao::CheckDatabase(folder.dataFile()); }).Number(), vb::err::UnrecognizedFormat);
}

TEST(DBEngine, CompactionCompactsInPlaceAfterACheckedCopy) {
    testsupport::ProgramFolder folder;
    folder.exec(QStringLiteral("create table big (x); "
                               "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                               "insert into big select printf('%0200d', i) from n; "
                               "delete from big where rowid > 10; "
                               "insert into tb_PaymentTypes values ('Visa');"));
    const int64_t before = fso::FileSize(folder.dataFile());
    // A quote in the copy's name is never read as syntax.
    const QString copy = folder.path() + QStringLiteral("/Backup O'Neil.mdb");
    dao::CompactDatabase(folder.dataFile(), copy);
    EXPECT_EQ(fso::FileSize(copy), before);
    EXPECT_LT(fso::FileSize(folder.dataFile()), before);
    EXPECT_NO_THROW(dao::CheckDatabase(copy));
    EXPECT_NO_THROW(dao::CheckDatabase(folder.dataFile()));
    EXPECT_EQ(folder.scalar(QStringLiteral("select type from tb_PaymentTypes")), QStringLiteral("Visa"));
    EXPECT_EQ(folder.scalar(QStringLiteral("pragma journal_mode")), QStringLiteral("delete"));

    // A copy already there is never written over.
    EXPECT_EQ(errorOf([&] { dao::CompactDatabase(folder.dataFile(), copy); }).Number(), 58);
}

// The payment types, read (after adding one) through the program's connection, so a parked handle when kept.
QString typesOf(const QString& path, const QString& add = QString()) {
    auto cn = std::make_shared<ado::Connection>();
    cn->OpenFile(path);
    if (!add.isEmpty()) cn->Execute(QStringLiteral("insert into tb_PaymentTypes values (?)"), {vb::Variant(add)});
    ado::Recordset rs;
    rs.Open(QStringLiteral("select group_concat(type) from tb_PaymentTypes"), cn);
    return rs.Fields(0).Value().str();
}

TEST(DBEngine, CopiesOverTheLiveFileBetweenActionsAreReadAsTheyAre_EachCopyPrivateAndOfItsOwnHeader) {
    testsupport::ProgramFolder folder;
    const QString live = folder.dataFile(), mon = live + "-mon", tue = live + "-tue", keep = live + "-keep";
    ASSERT_TRUE(QFile::setPermissions(live, QFile::ReadOwner | QFile::WriteOwner));   // 0600
    typesOf(live, "Mon"), dao::CopyDatabase(live, mon, true);
    typesOf(live, "Tue"), dao::CopyDatabase(live, tue, true);
    dao::RestoreDatabase(tue, live, keep), dao::CompactDatabase(live, live + "-compact");
    QSet<QByteArray> counters;
    for (const QString& p : {mon, tue, keep, live, live + "-compact"}) {
        EXPECT_EQ(QFile::permissions(p), QFile::permissions(live)) << p.toStdString();
        QFile f(p);
        counters << (f.open(QIODevice::ReadOnly) ? f.read(28).mid(24) : "");
    }
    EXPECT_EQ(counters.size(), 5) << "no two copies share a change counter";
    // A file manager copies backups over the data file while the program is idle.
    for (const auto& [from, read] : {std::pair{mon, "Mon"}, {tue, "Mon,Tue"}, {mon, "Mon"}}) {
        QFile in(from), out(live);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::ReadWrite | QIODevice::Truncate));
        out.write(in.readAll());
        out.close();
        EXPECT_EQ(typesOf(live), read);
    }
    EXPECT_EQ(typesOf(live, "Saved"), "Mon,Saved");
    // A handle kept from a second name of the file, since removed, writes as any other.
    ASSERT_EQ(::link(QFile::encodeName(live).constData(), QFile::encodeName(live + "-link").constData()), 0);
    ado::Connection::EmptyPool();
    typesOf(live + "-link");
    ASSERT_TRUE(QFile::remove(live + "-link"));
    EXPECT_EQ(typesOf(live, "Linked"), "Mon,Saved,Linked");
}

TEST(DBEngine, EngineFailuresAreToldByTheirCause) {
    using F = ado::FileFault;
    const struct { int code; int sysErrno; F fault; } rows[] = {
        {SQLITE_OK, 0, F::None},
        {SQLITE_BUSY, 0, F::InUse},
        {SQLITE_LOCKED, 0, F::InUse},
        {SQLITE_READONLY, 0, F::ReadOnly},
        {SQLITE_READONLY_DIRECTORY, 0, F::ReadOnly},
        {SQLITE_FULL, 0, F::DiskFull},
        {SQLITE_IOERR_WRITE, ENOSPC, F::DiskFull},
        {SQLITE_IOERR_WRITE, EFBIG, F::DiskFull},
        {SQLITE_CANTOPEN, EACCES, F::ReadOnly},
        {SQLITE_CANTOPEN, EROFS, F::ReadOnly},
        {SQLITE_IOERR_FSYNC, EIO, F::Other},
        {SQLITE_CORRUPT, 0, F::Damaged},
        {SQLITE_NOTADB, 0, F::NotADatabase},
        {SQLITE_ERROR, 0, F::Other},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ado::ClassifyFailure(r.code, r.sysErrno), r.fault) << r.code << " errno " << r.sysErrno;

    const struct { F fault; long number; const char* text; } told[] = {
        {F::InUse, 3045, "The data file is in use by another program."},
        {F::ReadOnly, 3051, "The data file or its folder is read-only."},
        {F::DiskFull, 3026, "The disk is full."},
        {F::Damaged, 3343, "The data file is damaged."},
        {F::NotADatabase, 3343, "The data file is damaged."},
    };
    for (const auto& t : told) {
        const vb::RuntimeError e = dao::FaultError(t.fault);
        EXPECT_EQ(e.Number(), t.number);
        EXPECT_EQ(e.Description(), QString::fromUtf8(t.text));
    }
}

} // namespace
