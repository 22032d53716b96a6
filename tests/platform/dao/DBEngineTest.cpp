// Repair and compaction of a data file, on real files in a temporary folder.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
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
        EXPECT_EQ(e.Description(), QStringLiteral("Unrecognized database format '%1'.").arg(junk));
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

TEST(DBEngine, CompactionWritesACheckedCopyAndLeavesTheSource) {
    testsupport::ProgramFolder folder;
    folder.exec(QStringLiteral("create table big (x); "
                               "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
                               "insert into big select printf('%0200d', i) from n; "
                               "delete from big where rowid > 10; "
                               "insert into tb_PaymentTypes values ('Visa');"));
    const int64_t before = fso::FileSize(folder.dataFile());
    // A quote in the destination is bound, not spliced into the statement.
    const QString dst = folder.path() + QStringLiteral("/Backup O'Neil.mdb");
    dao::CompactDatabase(folder.dataFile(), dst);
    EXPECT_LT(fso::FileSize(dst), before);
    EXPECT_EQ(fso::FileSize(folder.dataFile()), before);
    EXPECT_NO_THROW(dao::CheckDatabase(dst));

    // The engine refuses to write over an existing file.
    EXPECT_EQ(errorOf([&] { dao::CompactDatabase(folder.dataFile(), dst); }).Number(), vb::err::SqlEngine);

    ado::Connection cn;
    cn.OpenFile(dst, true);
    cn.Close();
    QFile::remove(folder.dataFile());
    ASSERT_TRUE(QFile::rename(dst, folder.dataFile()));
    EXPECT_EQ(folder.scalar(QStringLiteral("select type from tb_PaymentTypes")), QStringLiteral("Visa"));
    EXPECT_EQ(folder.scalar(QStringLiteral("pragma journal_mode")), QStringLiteral("delete"));
}

} // namespace
