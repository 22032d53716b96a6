// Compaction of the data file, its size text, and the pause routine.
#include <csignal>
#include <ctime>
#include <sqlite3.h>
#include <sys/resource.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include "ado/Connection.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

using testsupport::PinnedClock;
using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

TEST(GlobalsMaintenance, FormatFileSize) {
    const struct { int64_t size; const char* text; } rows[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.00 KB"},
        {1152, "1.13 KB"},            // 1.125 rounds away from zero
        {1048575, "1024.00 KB"},
        {1048576, "1.00 MB"},
        {1073741823, "1024.00 MB"},
        {1073741824, "1.00 GB"},
        {int64_t(3) << 31, "6.00 GB"},   // beyond 32 bits
        {int64_t(5) << 40, "5120.00 GB"},
    };
    for (const auto& r : rows) EXPECT_EQ(Globals::FormatFileSize(r.size), QString::fromUtf8(r.text)) << r.size;
}

namespace {

// The bytes of a file; empty when it cannot be read.
QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A data file with enough rows that compaction has something to do.
void FillAndFragment(const ProgramFolder& f) {
    f.exec(QStringLiteral(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000)"
        " insert into tb_Client (CustNum, Lname, Notes) select 1000 + i, 'Name' || i, hex(randomblob(200)) from n;"
        "delete from tb_Client where CustNum % 2 = 0;"));
}

struct BoxSeen {
    QString prompt;
    int buttons = -1;
    QString title;
    int pointer = -1;
};

// Records the one box CompactDatabase shows, with the mouse pointer at that moment.
class CompactBoxes {
public:
    CompactBoxes() {
        vb::setMsgBoxHandler([this](const QString& p, int b, const QString& t) {
            seen.push_back({p, b, t, forms::MousePointer()});
            return int(vb::vbOK);
        });
    }
    std::vector<BoxSeen> seen;
private:
    ScriptedMsgBox restore_;   // puts the failing handler back afterwards
};

} // namespace

TEST(GlobalsMaintenance, CompactReplacesTheFileWithACheckedCopy) {
    ProgramFolder folder;
    FillAndFragment(folder);
    const QString stale = folder.path() + QStringLiteral("/BackupOfVantrel.mdb");
    {
        QFile f(stale);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("stale");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(folder.dataFile()).constData(), 0640), 0);
    const qint64 before = QFileInfo(folder.dataFile()).size();

    CompactBoxes boxes;
    EXPECT_TRUE(Globals::CompactDatabase(QStringLiteral("vantrel.mdb")));   // capitals as the menu writes them
    ASSERT_EQ(boxes.seen.size(), 1u);
    const BoxSeen& b = boxes.seen[0];
    const qint64 after = QFileInfo(folder.dataFile()).size();
    EXPECT_LT(after, before);
    EXPECT_EQ(b.prompt, QStringLiteral("VANTREL.MDB compacted/repaired successfully.\r\n\r\nSize before compacting:\t") +
                            Globals::FormatFileSize(before) + QStringLiteral("\r\nSize after compacting:\t") +
                            Globals::FormatFileSize(after));
    EXPECT_EQ(b.buttons, int(vb::vbInformation));
    EXPECT_EQ(b.title, QStringLiteral("Compact Successful"));
    EXPECT_EQ(b.pointer, forms::vbHourglass);
    EXPECT_EQ(forms::MousePointer(), forms::vbDefault);

    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Vantrel.mdb"});
    EXPECT_EQ(QFile::permissions(folder.dataFile()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Client")), QStringLiteral("1000"));
    EXPECT_EQ(folder.scalar(QStringLiteral("pragma integrity_check")), QStringLiteral("ok"));
}

TEST(GlobalsMaintenance, CompactFailureAfterTheCopyLeavesTheSourceAsItWas) {
    ProgramFolder folder;
    FillAndFragment(folder);
    const QByteArray original = FileBytes(folder.dataFile());
    ASSERT_FALSE(original.isEmpty());

    Globals::testing::AfterCompactCopy = [] { vb::Raise(vb::err::SqlEngine, QStringLiteral("disk full")); };
    CompactBoxes boxes;
    EXPECT_FALSE(Globals::CompactDatabase(QStringLiteral("Vantrel.mdb")));
    Globals::testing::AfterCompactCopy = nullptr;

    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].prompt, QStringLiteral("-2147467259: disk full"));
    EXPECT_EQ(boxes.seen[0].buttons, int(vb::vbCritical));
    EXPECT_EQ(boxes.seen[0].title, QStringLiteral("CompactDatabase Error"));
    EXPECT_EQ(forms::MousePointer(), forms::vbDefault);
    // The checked copy stays after a failure; the data file is as it was.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), (QStringList{"BackupOfVantrel.mdb", "Vantrel.mdb"}));
    EXPECT_EQ(FileBytes(folder.dataFile()), original);
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Client")), QStringLiteral("1000"));
}

TEST(GlobalsMaintenance, CompactLosesNothingAnotherProgramWrites) {
    ProgramFolder folder;
    FillAndFragment(folder);
    const QString insert = QStringLiteral("insert into tb_PaymentTypes values ('%1');");
    {
        // A writer in the middle of its transaction: compaction waits, asks, and on Cancel
        // stops without another word; the writer's commit lands.
        testsupport::OtherProgram other(folder.dataFile());
        EXPECT_EQ(other.run(QStringLiteral("BEGIN IMMEDIATE; ") + insert.arg(QStringLiteral("Pending"))), QString());
        CompactBoxes boxes;
        EXPECT_FALSE(Globals::CompactDatabase(QStringLiteral("Vantrel.mdb")));
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].prompt, QStringLiteral("The data file is busy in another copy of Vantrel. Try again?"));
        EXPECT_EQ(other.run(QStringLiteral("COMMIT;")), QString());
    }
    {
        // An idle connection of another program stays valid: what it writes afterwards reaches the file.
        testsupport::OtherProgram other(folder.dataFile());
        other.run(QStringLiteral("select count(*) from tb_Client;"));
        CompactBoxes boxes;
        EXPECT_TRUE(Globals::CompactDatabase(QStringLiteral("Vantrel.mdb")));
        EXPECT_EQ(other.run(insert.arg(QStringLiteral("After"))), QString());
    }
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(type) from tb_PaymentTypes")),
              QStringLiteral("Pending,After"));
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Client")), QStringLiteral("1000"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Vantrel.mdb"});
}

TEST(GlobalsMaintenance, CompactOfALinkedDataFileCompactsItsTarget) {
    ProgramFolder folder;
    FillAndFragment(folder);
    QTemporaryDir elsewhere;
    const QString target = elsewhere.path() + QStringLiteral("/books.db");
    ASSERT_TRUE(QFile::rename(folder.dataFile(), target));
    ASSERT_TRUE(QFile::link(target, folder.dataFile()));
    const qint64 before = QFileInfo(target).size();
    CompactBoxes boxes;
    EXPECT_TRUE(Globals::CompactDatabase(QStringLiteral("Vantrel.mdb")));
    EXPECT_TRUE(QFileInfo(folder.dataFile()).isSymLink());
    EXPECT_LT(QFileInfo(target).size(), before);
    folder.exec(QStringLiteral("insert into tb_PaymentTypes values ('Through the link')"));
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Client")), QStringLiteral("1000"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Vantrel.mdb"});
    // The target holds what was written through the link.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(target.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "select count(*) from tb_PaymentTypes", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 1);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

namespace {
// chattr +i makes a file or folder refuse writes even to the superuser the
// tests may run as; undone on every path.
struct Immutable {
    explicit Immutable(const QString& p) : path(p) {
        ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    }
    ~Immutable() {
        if (ok) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    }
    QString path;
    bool ok = false;
};
// Files this process writes may not grow past limit bytes (a full disk).
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = saved;
        l.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
    rlimit saved{};
    void (*oldHandler)(int) = nullptr;
};
} // namespace

TEST(GlobalsMaintenance, CompactFailureNamesItsCause) {
    enum Cause { ReadOnlyFile, ReadOnlyFolder, DiskFull };
    const struct { Cause cause; const char* prompt; } cases[] = {
        {ReadOnlyFile, "3051: The data file or its folder is read-only."},
        {ReadOnlyFolder, "3051: The data file or its folder is read-only."},
        {DiskFull, "3026: The disk is full."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prompt);
        ProgramFolder folder;
        FillAndFragment(folder);
        const QByteArray original = FileBytes(folder.dataFile());
        ASSERT_FALSE(original.isEmpty());
        CompactBoxes boxes;
        {
            std::unique_ptr<Immutable> frozen;
            std::unique_ptr<FileSizeLimit> limit;
            if (c.cause == DiskFull) {
                limit = std::make_unique<FileSizeLimit>(original.size() / 2);
            } else {
                frozen = std::make_unique<Immutable>(c.cause == ReadOnlyFile ? folder.dataFile() : folder.path());
                if (!frozen->ok) GTEST_SKIP() << "chattr is not available here";
            }
            EXPECT_FALSE(Globals::CompactDatabase(QStringLiteral("Vantrel.mdb")));
        }
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].prompt.toStdString(), c.prompt);
        EXPECT_EQ(boxes.seen[0].title, QStringLiteral("CompactDatabase Error"));
        EXPECT_EQ(FileBytes(folder.dataFile()), original);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Vantrel.mdb"});
    }
}

TEST(GlobalsMaintenance, CompactRefusesAMissingFileAndAnOpenOne) {
    ProgramFolder folder;
    {
        CompactBoxes boxes;
        EXPECT_FALSE(Globals::CompactDatabase(QStringLiteral("Missing.mdb")));
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_TRUE(boxes.seen[0].prompt.startsWith(QStringLiteral("3024: Could not find file '")));
        EXPECT_EQ(boxes.seen[0].title, QStringLiteral("CompactDatabase Error"));
        EXPECT_EQ(forms::MousePointer(), forms::vbDefault);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Vantrel.mdb"});   // nothing created
    }
    {
        ado::Connection cn;
        cn.Open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source = \"") + Globals::DataFilePath() +
                QStringLiteral("\" ;Mode=Read|Write|Share Deny None;Persist Security Info=False"));
        CompactBoxes boxes;
        EXPECT_FALSE(Globals::CompactDatabase(QStringLiteral("VANTREL.MDB")));
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_TRUE(boxes.seen[0].prompt.startsWith(QStringLiteral("3045: Could not use '"))) << boxes.seen[0].prompt.toStdString();
        EXPECT_EQ(forms::MousePointer(), forms::vbDefault);
        cn.Close();
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Vantrel.mdb"});
}

TEST(GlobalsMaintenance, PauseEndsOnTheMonotonicClockAcrossMidnight) {
    // The wall clock stands just before midnight and never moves; only the
    // injected monotonic clock does.
    PinnedClock wall(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
    for (int16_t seconds : {int16_t(2), int16_t(0), int16_t(-3)}) {
        SCOPED_TRACE(seconds);
        double t = 86399.0;
        int reads = 0;
        Globals::setPauseClock([&] { ++reads; return t += 0.25; });
        bool pumped = false;
        QTimer::singleShot(0, [&] { pumped = true; });
        const double start = t;
        Globals::Pause(seconds);
        EXPECT_TRUE(pumped);   // events were pumped at least once
        EXPECT_GE(t - start, std::max<int16_t>(seconds, 0));
        EXPECT_LE(reads, std::max(seconds, int16_t(0)) * 4 + 3);
    }
    Globals::setPauseClock({});
}

TEST(GlobalsMaintenance, PauseOnTheRealClockWaitsWithoutSpinning) {
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpu = std::clock();
    Globals::Pause(1);
    EXPECT_GE(wall.elapsed(), 1000);
    // A busy loop would burn the whole second.
    EXPECT_LT(double(std::clock() - cpu) / CLOCKS_PER_SEC, 0.5);
}
