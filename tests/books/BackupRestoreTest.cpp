#include <functional>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "dao/DBEngine.h"
#include "books/frmBackup.h"
#include "books/GL.h"
#include "books/frmRestore.h"
#include "customers/Customer.h"
#include "customers/Profile.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "profile/PrivateProfile.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

namespace {

using testsupport::WindowFixture;

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().toHex()) : QString();
}

// The payment types of a data file, read with a connection of its own.
QStringList rowsOf(const QString& path) {
    auto cn = std::make_shared<ado::Connection>();
    cn->OpenFile(path, true);
    ado::Recordset rs;
    rs.Open("SELECT Type FROM tb_PaymentTypes", cn);
    QStringList out;
    for (; !rs.Eof(); rs.MoveNext()) out << rs.Fields(0).Value().str();
    return out;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString iniValue(const QString& ini) {
    return profile::GetPrivateProfileString("Data", "BackUpTo", "(none)", 256, ini);
}

constexpr const char* kPadRows = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) "
                                 "INSERT INTO pad SELECT printf('%0500d', i) FROM n";

class BackupRestoreTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Globals::IniPath = folder.iniFile();
        ASSERT_TRUE(elsewhere.isValid());
    }
    void remember(const QString& value) {
        ASSERT_TRUE(profile::WritePrivateProfileString("Data", "BackUpTo", value, folder.iniFile()));
    }
    // A data file in another folder holding one payment type of its own.
    QString makeBackupIn(const QString& dir, const QString& name = "vantrel.mdb") {
        const QString path = dir + "/" + name;
        testsupport::MakeDataFile(path);
        ado::Connection cn;
        cn.OpenFile(path);
        cn.Execute("INSERT INTO tb_PaymentTypes (Type) VALUES ('From backup')");
        cn.Close();
        return path;
    }
    QTemporaryDir elsewhere;
};

TEST_F(BackupRestoreTest, LoadShowsRememberedFolderOrTheListsStartingFolder) {
    struct Case {
        const char* name;
        bool writeKey;
        QString value;
        QString expected;
    };
    const QString target = QDir::cleanPath(elsewhere.path());
    const QString temp = QDir::cleanPath(QDir::tempPath());
    const QString start = QDir::cleanPath(QDir::currentPath());
    const Case cases[] = {
        {"no key: old default stands for the temporary folder", false, "", temp},
        {"old default in other capitals", true, "c:\\Temp", temp},
        {"remembered folder", true, target, target},
        {"missing folder", true, target + "/gone", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(folder.iniFile());
        if (c.writeKey) remember(c.value);
        auto& w = forms::Form::get<frmBackup>();
        EXPECT_EQ(w.Caption(), "Select Backup Drive and Folder");
        EXPECT_EQ(w.txtLocation.Text(), c.expected);
        if (c.expected != start) {
            EXPECT_EQ(w.Dir1.Path(), c.expected);
            EXPECT_EQ(w.Drive1.Drive(), QDir::rootPath());
        }
        forms::Form::unloadAll();
        testsupport::ResetWindowsAndState();
        Globals::IniPath = folder.iniFile();
    }
}

TEST_F(BackupRestoreTest, ChoosingADriveOrFolderRewritesTheLocation) {
    remember(elsewhere.path());
    QDir(elsewhere.path()).mkdir("sub");
    auto& w = forms::Form::get<frmBackup>();
    w.txtLocation.setText("typed");
    EXPECT_EQ(w.Dir1.Path(), QDir::cleanPath(elsewhere.path()));   // typing moves no list
    w.Dir1.setPath(elsewhere.path() + "/sub");
    EXPECT_EQ(w.txtLocation.Text(), QDir::cleanPath(elsewhere.path() + "/sub"));
    ASSERT_GE(w.Drive1.count(), 2);
    w.Drive1.setCurrentIndex(1);
    EXPECT_EQ(w.Dir1.Path(), w.Drive1.Drive());
    EXPECT_EQ(w.txtLocation.Text(), w.Drive1.Drive());
}

TEST_F(BackupRestoreTest, BackupCopiesRemembersAndCloses_SecondOneOverwritesSilently) {
    remember(elsewhere.path());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) folder.exec("INSERT INTO tb_PaymentTypes (Type) VALUES ('Later')");
        auto& w = forms::Form::get<frmBackup>();
        const QString T = w.txtLocation.Text();
        boxes.expect(vb::vbOK, "Vantrel data backed up successfully to " + T);
        w.btnBackup_Click();
        EXPECT_FALSE(forms::Form::isLoaded<frmBackup>());
        EXPECT_EQ(rowsOf(T + "/vantrel.mdb"), rowsOf(folder.dataFile()));
        EXPECT_EQ(iniValue(folder.iniFile()), T);
        EXPECT_FALSE(QFile::exists(T + "/vantrel.mdb.copying"));
    }
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(BackupRestoreTest, MissingFolderIsCreatedOnYesAndLeftAloneOnNo) {
    remember("C:\\TEMP");
    const QString T = elsewhere.path() + "/new";
    for (int answer : {vb::vbNo, vb::vbYes}) {
        SCOPED_TRACE(answer);
        auto& w = forms::Form::get<frmBackup>();
        w.txtLocation.setText(T);
        boxes.expect(answer, "Create Folder (" + T + ")?");
        if (answer == vb::vbYes) boxes.expect(vb::vbOK, "Vantrel data backed up successfully to " + T);
        w.btnBackup_Click();
        ASSERT_GE(boxes.shown().size(), 1u);
        const auto& ask = boxes.shown().front();
        EXPECT_EQ(ask.buttons, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
        EXPECT_EQ(ask.title, "Path does not exist!");
        EXPECT_EQ(QFile::exists(T + "/vantrel.mdb"), answer == vb::vbYes);
        EXPECT_EQ(iniValue(folder.iniFile()), answer == vb::vbYes ? T : QString("C:\\TEMP"));
        EXPECT_EQ(forms::Form::isLoaded<frmBackup>(), answer == vb::vbNo);
        boxes.clear();
    }
}

TEST_F(BackupRestoreTest, FolderThatCannotBeCreatedIsReportedAndChangesNothing) {
    remember(elsewhere.path());
    auto& w = forms::Form::get<frmBackup>();
    const QString T = elsewhere.path() + "/no/such";
    w.txtLocation.setText(T);
    boxes.expect(vb::vbYes);
    boxes.expect(vb::vbOK, "frmBackup.btnBackup_Click -76 Path not found.");
    w.btnBackup_Click();
    EXPECT_TRUE(forms::Form::isLoaded<frmBackup>());
    EXPECT_EQ(iniValue(folder.iniFile()), elsewhere.path());
}

TEST_F(BackupRestoreTest, RestoreIsEnabledExactlyWhileTheFolderHoldsTheDataFile) {
    QDir(elsewhere.path()).mkdir("with");
    QDir(elsewhere.path()).mkdir("without");
    makeBackupIn(elsewhere.path() + "/with", "Vantrel.MDB");   // capitals do not matter
    auto& w = forms::Form::get<frmRestore>();
    EXPECT_EQ(w.Caption(), "Select Vantrel.mdb for restore");
    for (const char* sub : {"without", "with", "without", "with"}) {
        SCOPED_TRACE(sub);
        w.Dir1.setPath(elsewhere.path() + "/" + sub);
        EXPECT_EQ(w.File1.Path(), w.Dir1.Path());
        EXPECT_EQ(w.btnRestore.isEnabled(), QString(sub) == "with");
    }
    EXPECT_EQ(w.FileName, "Vantrel.MDB");
}

TEST_F(BackupRestoreTest, RestoreAsksWritesIntoTheLiveFileKeepsItAndCloses) {
    const QString backup = makeBackupIn(elsewhere.path());
    remember(elsewhere.path());
    folder.exec("INSERT INTO tb_PaymentTypes (Type) VALUES ('Live')");
    // A connection another program holds across the restore stays valid and reads what was restored.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder.dataFile().toUtf8().constData(), &other), SQLITE_OK);
    const QString keep = QDir::cleanPath(folder.path()) + "/BeforeRestoreVantrel.mdb";
    writeBytes(keep, "an older kept file");
    for (int round = 0; round < 3; ++round) {   // No restores nothing; Yes restores, twice
        auto& w = forms::Form::get<frmRestore>();   // on the remembered backup folder
        EXPECT_EQ(QDir::cleanPath(w.Dir1.Path()), QDir::cleanPath(elsewhere.path()));
        boxes.expect(round ? vb::vbYes : vb::vbNo, "Replace the data file with the backup of " +
                     QLocale().toString(QFileInfo(backup).lastModified(), QLocale::ShortFormat) + " in " +
                     QDir::cleanPath(elsewhere.path()) + "? The data file as it is now is kept as BeforeRestoreVantrel.mdb.");
        if (round) boxes.expect(vb::vbOK, "Vantrel data restored successfully\r\nThe data file as it was is kept as " + keep + ".");
        w.btnRestore_Click();
        EXPECT_EQ(boxes.shown()[round ? boxes.shown().size() - 2 : 0].buttons, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
        EXPECT_EQ(rowsOf(folder.dataFile()), round == 0 ? QStringList{"Live"} : QStringList{"From backup"});
        if (round) EXPECT_EQ(rowsOf(keep), round == 1 ? QStringList{"Live"} : QStringList{"From backup"});
        EXPECT_EQ(forms::Form::isLoaded<frmRestore>(), round == 0);
    }
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(other, "SELECT group_concat(Type) FROM tb_PaymentTypes", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "From backup");
    sqlite3_finalize(st);
    sqlite3_close(other);
    EXPECT_EQ(QDir(folder.path()).entryList({"*.mdb*"}, QDir::Files),
              (QStringList{"BeforeRestoreVantrel.mdb", "Vantrel.mdb"}));
}

TEST_F(BackupRestoreTest, RestoreOfAFileThatIsNotSoundDataChangesNothing) {
    const QString chosen = QDir::cleanPath(elsewhere.path()) + "/vantrel.mdb";
    makeBackupIn(elsewhere.path());
    QFile good(chosen);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray dataFile = good.readAll();
    good.close();
    QFile::remove(chosen);
    const struct {
        const char* name;
        std::function<void()> make;
        const char* told;
    } cases[] = {
        {"text", [&] { writeBytes(chosen, "Dear customer,\nthis is a letter.\n"); }, " is not a Vantrel data file."},
        {"empty", [&] { writeBytes(chosen, ""); }, " is not a Vantrel data file."},
        {"first 4 KiB", [&] { writeBytes(chosen, dataFile.left(4096)); }, " is damaged."},
        {"no tables of ours", [&] {
             sqlite3* db = nullptr;
             sqlite3_open(chosen.toUtf8().constData(), &db);
             sqlite3_exec(db, "CREATE TABLE notes (t TEXT)", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }, " is not a Vantrel data file."},
        {"damaged page", [&] {
             QByteArray bytes = dataFile;
             bytes.replace(2 * 4096, 4096, QByteArray(4096, '\x01'));
             writeBytes(chosen, bytes);
         }, " is damaged."},
    };
    const QString before = readAll(folder.dataFile());
    auto& w = forms::Form::get<frmRestore>();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(chosen);
        c.make();
        w.Dir1.setPath(elsewhere.path());
        ASSERT_TRUE(w.btnRestore.isEnabled());
        boxes.expect(vb::vbOK, chosen + c.told + "  Nothing was restored.");
        w.btnRestore_Click();
        EXPECT_EQ(readAll(folder.dataFile()), before);
        EXPECT_EQ(QDir(folder.path()).entryList({"*.mdb*"}, QDir::Files), QStringList{"Vantrel.mdb"});
    }
    EXPECT_EQ(rowsOf(folder.dataFile()), QStringList{});
}

TEST_F(BackupRestoreTest, RestoreRefusesWhileAConnectionOrAnotherProgramHoldsTheLiveFile) {
    makeBackupIn(elsewhere.path());
    const QString before = readAll(folder.dataFile());
    auto& w = forms::Form::get<frmRestore>();
    w.Dir1.setPath(elsewhere.path());
    {
        ado::Connection cn;
        cn.OpenFile(folder.dataFile());
        boxes.expect(vb::vbYes);
        boxes.expect(vb::vbOK, "frmRestore.btnRestore_Click -3045 Could not use '" + QDir::cleanPath(folder.path()) +
                                   "/Vantrel.mdb'; file already in use.");
        w.btnRestore_Click();
    }
    {
        // Another program's lock is waited for; Cancel stops with nothing more to say.
        testsupport::OtherProgram other(folder.dataFile());
        EXPECT_EQ(other.run("BEGIN EXCLUSIVE;"), QString());
        boxes.expect(vb::vbYes);
        boxes.expect(vb::vbCancel, "The data file is busy in another copy of Vantrel. Try again?");
        w.btnRestore_Click();
        other.run("ROLLBACK;");
    }
    EXPECT_EQ(readAll(folder.dataFile()), before);
    EXPECT_EQ(QDir(folder.path()).entryList({"*.mdb*"}, QDir::Files), QStringList{"Vantrel.mdb"});
}

TEST_F(BackupRestoreTest, RestoreOverADeadWritersJournalOrAnUnreadableFileIsExactlyTheBackup) {
    makeBackupIn(elsewhere.path());
    const QString live = folder.dataFile();
    const QString keep = QDir::cleanPath(folder.path()) + "/BeforeRestoreVantrel.mdb";
    enum Live { DeadWriter, NotADatabase, Missing };
    for (Live state : {DeadWriter, NotADatabase, Missing}) {
        SCOPED_TRACE(int(state));
        QFile::remove(live);
        QFile::remove(keep);
        testsupport::MakeDataFile(live);
        folder.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
                    "INSERT INTO tb_PaymentTypes (Type) SELECT printf('%0300d', i) FROM n");
        if (state == DeadWriter) {
            // A writer killed mid-transaction leaves a journal that would roll its old pages back into any new file.
            testsupport::OtherProgram writer(live);
            writer.run("PRAGMA cache_size = 2; BEGIN; UPDATE tb_PaymentTypes SET Type = Type || 'x';");
            writer.kill();
            ASSERT_TRUE(QFile::exists(live + "-journal"));
        } else if (state == NotADatabase) {
            writeBytes(live, "not a database");
            writeBytes(live + "-journal", "a journal of something else");
        } else {
            QFile::remove(live);
        }
        const QString oldBytes = readAll(live);
        auto& w = forms::Form::get<frmRestore>();
        w.Dir1.setPath(elsewhere.path());
        boxes.expect(vb::vbYes);
        boxes.expect(vb::vbOK, state == Missing ? QString("Vantrel data restored successfully")
                                                : "Vantrel data restored successfully\r\nThe data file as it was is kept as " +
                                                      keep + ".");
        w.btnRestore_Click();
        EXPECT_FALSE(QFile::exists(live + "-journal"));
        EXPECT_EQ(rowsOf(live), QStringList{"From backup"});
        EXPECT_EQ(folder.scalar("PRAGMA integrity_check"), "ok");
        if (state == DeadWriter) EXPECT_EQ(rowsOf(keep).size(), 500);   // as before the dead writer began
        if (state == NotADatabase) EXPECT_EQ(readAll(keep), oldBytes);
        EXPECT_EQ(QFile::exists(keep), state != Missing);
        forms::Form::unloadAll();
        testsupport::ResetWindowsAndState();
        Globals::IniPath = folder.iniFile();
        boxes.clear();
    }
}

TEST_F(BackupRestoreTest, RestoreClosesTheDataWindowsFirstAndReloadsTheMainList) {
    const QString backup = makeBackupIn(elsewhere.path());
    {
        auto cn = std::make_shared<ado::Connection>();
        cn->OpenFile(backup);
        cn->Execute("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1001, 'Kept', 'Ann')");
    }
    folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1001, 'Kept', 'Ann'), (1002, 'Removed', 'Bo')");
    folder.exec("INSERT INTO tb_Vendor (VendorNum, Company) VALUES (1, 'Acme')");
    auto& main = forms::Form::get<Customer>();
    ASSERT_EQ(main.CustList2.Rows(), 3);
    Globals::CurrentCustNum = 1002;
    forms::Form::get<Profile>().Show();
    forms::Form::get<GL>().Show();
    auto& w = forms::Form::get<frmRestore>();
    w.Show();
    w.Dir1.setPath(elsewhere.path());
    boxes.expect(vb::vbYes);
    boxes.allowUnexpected(true);   // the success box
    w.btnRestore_Click();
    EXPECT_TRUE(boxes.lastPrompt().startsWith("Vantrel data restored successfully"));
    EXPECT_FALSE(forms::Form::isLoaded<Profile>());
    EXPECT_FALSE(forms::Form::isLoaded<GL>());
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<frmRestore>());
    ASSERT_TRUE(forms::Form::isLoaded<Customer>());
    EXPECT_EQ(main.CustList2.Rows(), 2);
    EXPECT_EQ(main.CustList2.TextMatrix(1, 2), "Kept, Ann");
    EXPECT_EQ(Globals::rsPayTypes->RecordCount(), 1);   // the restored file's list
}

// A window whose close asks a question the user answers Cancel.
class Refusing : public forms::Form {
public:
    void Form_QueryUnload(bool& Cancel, int) override { Cancel = refuse; }
    bool refuse = true;
};

TEST_F(BackupRestoreTest, AWindowThatStaysOpenCancelsTheRestore) {
    makeBackupIn(elsewhere.path());
    folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1002, 'Still', 'Here')");
    const QString before = readAll(folder.dataFile());
    forms::Form::get<Customer>();
    Globals::CurrentCustNum = 1002;
    forms::Form::get<Profile>().Show();
    auto& stays = forms::Form::get<Refusing>();
    stays.Show();
    auto& w = forms::Form::get<frmRestore>();
    w.Dir1.setPath(elsewhere.path());
    boxes.expect(vb::vbYes);
    w.btnRestore_Click();
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(forms::Form::isLoaded<Refusing>());
    EXPECT_EQ(readAll(folder.dataFile()), before);
    EXPECT_FALSE(QFile::exists(folder.path() + "/BeforeRestoreVantrel.mdb"));
    stays.refuse = false;
}

TEST_F(BackupRestoreTest, BackupOfADamagedDataFileKeepsTheLastGoodBackup) {
    remember(elsewhere.path());
    folder.exec("CREATE TABLE big (x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                "INSERT INTO big SELECT printf('%0200d', i) FROM n");
    const QString T = QDir::cleanPath(elsewhere.path());
    const QString lastGood = makeBackupIn(T);
    const QString good = readAll(lastGood);
    QFile f(folder.dataFile());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(40000);
    f.write(QByteArray(16384, '\x01'));
    f.close();
    auto& w = forms::Form::get<frmBackup>();
    boxes.expect(vb::vbOK, "The data file is damaged; the last backup in " + T + " was kept.");
    w.btnBackup_Click();
    EXPECT_EQ(readAll(lastGood), good);
    EXPECT_EQ(QDir(T).entryList(QDir::Files), QStringList{"vantrel.mdb"});
    EXPECT_TRUE(forms::Form::isLoaded<frmBackup>());
}

TEST_F(BackupRestoreTest, BackupIsConsistentWhileAnotherProgramWrites_AndNeverOntoItself) {
    remember(elsewhere.path());
    folder.exec("INSERT INTO tb_PaymentTypes (Type) VALUES ('Committed')");
    {
        testsupport::OtherProgram writer(folder.dataFile());
        writer.run("BEGIN IMMEDIATE; INSERT INTO tb_PaymentTypes (Type) VALUES ('Uncommitted');");
        auto& w = forms::Form::get<frmBackup>();
        const QString T = w.txtLocation.Text();
        boxes.expect(vb::vbOK, "Vantrel data backed up successfully to " + T);
        w.btnBackup_Click();
        EXPECT_EQ(rowsOf(T + "/vantrel.mdb"), QStringList{"Committed"});
        EXPECT_EQ(writer.run("COMMIT;"), QString());
    }
    // A folder that is the program folder under another name.
    const QString link = elsewhere.path() + "/program";
    ASSERT_TRUE(QFile::link(folder.path(), link));
    const QString live = readAll(folder.dataFile());
    auto& w = forms::Form::get<frmBackup>();
    w.txtLocation.setText(link);
    boxes.expect(vb::vbOK, "A backup cannot go into the program folder; choose another folder.");
    w.btnBackup_Click();
    EXPECT_EQ(readAll(folder.dataFile()), live);
    EXPECT_EQ(iniValue(folder.iniFile()), QDir::cleanPath(elsewhere.path()));
    // A backup folder without room is named as the backup folder.
    folder.exec(QStringLiteral("CREATE TABLE pad (x); ") + kPadRows);
    w.txtLocation.setText(elsewhere.path());
    boxes.expect(vb::vbOK, "The disk of the backup folder " + elsewhere.path() + " is full; choose another folder.");
    testsupport::DiskRoom room(1 << 20);
    w.btnBackup_Click();
}

TEST_F(BackupRestoreTest, AFailedOrRefusedRestoreKeepsTheEarlierKeepCopy) {
    const QString keep = folder.path() + "/BeforeRestoreVantrel.mdb", link = elsewhere.path() + "/linked";
    writeBytes(keep, "kept by an earlier restore");
    const QString kept = readAll(keep), live = readAll(folder.dataFile());
    testsupport::OtherProgram(makeBackupIn(elsewhere.path())).run(QStringLiteral("CREATE TABLE pad (x); ") + kPadRows + ";");
    ASSERT_TRUE(QDir(elsewhere.path()).mkdir("linked") && QFile::link(folder.dataFile(), link + "/Vantrel.mdb"));
    // The program folder (the live file itself), a link to it, a backup larger than the disk has room for.
    for (const QString& dir : {folder.path(), link, elsewhere.path()}) {
        const bool full = dir == elsewhere.path();
        forms::Form::get<frmRestore>().Dir1.setPath(dir);
        if (full) boxes.expect(vb::vbYes);   // asked only about a backup
        boxes.expect(vb::vbOK, full ? "frmRestore.btnRestore_Click -3026 The disk is full."
                                    : "This is the data file in use. Choose the folder of a backup.");
        testsupport::DiskRoom room(full ? 1 << 20 : 1L << 40);
        forms::Form::get<frmRestore>().btnRestore_Click();
        EXPECT_EQ(readAll(keep), kept);
        EXPECT_EQ(readAll(folder.dataFile()), live);
        EXPECT_EQ(QDir(folder.path()).entryList({"*.mdb*"}, QDir::Files), (QStringList{"BeforeRestoreVantrel.mdb", "Vantrel.mdb"}));
    }
}

TEST_F(BackupRestoreTest, FailedCopyLeavesTheTargetAsItWas) {
    const QString target = elsewhere.path() + "/vantrel.mdb";
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("earlier backup");
    f.close();
    try {
        dao::CopyDatabase(folder.path() + "/missing.mdb", target, true);
        ADD_FAILURE() << "copy of a missing file succeeded";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
    EXPECT_EQ(readAll(target), QString::fromLatin1(QByteArray("earlier backup").toHex()));
}

TEST_F(BackupRestoreTest, BackupFolderIsRememberedWithThePathTheSplashSets_OrToldWhenItCannotBe) {
    const QString T = QDir::cleanPath(elsewhere.path());
    struct Case { const char* name; QString ini; const char* told; };
    const Case cases[] = {
        {"as the splash sets it", folder.path() + "\\Vantrel.ini", ""},
        {"a settings folder that is gone", folder.path() + "/gone/Vantrel.ini",
         "\r\nBacked up, but the folder could not be remembered."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Globals::IniPath = c.ini;
        auto& w = forms::Form::get<frmBackup>();
        w.txtLocation.setText(T);
        boxes.expect(vb::vbOK, "Vantrel data backed up successfully to " + T + c.told);
        w.btnBackup_Click();
        EXPECT_FALSE(forms::Form::isLoaded<frmBackup>());
    }
    EXPECT_EQ(iniValue(folder.iniFile()), T);
    EXPECT_EQ(QDir(folder.path()).entryList({"*.ini"}, QDir::Files), QStringList{"Vantrel.ini"});
    EXPECT_FALSE(QFile::exists(folder.path() + "\\Vantrel.ini"));   // no file named with the backslash
    Globals::IniPath = folder.path() + "\\Vantrel.ini";
    EXPECT_EQ(forms::Form::get<frmBackup>().txtLocation.Text(), T);
}

TEST_F(BackupRestoreTest, FileListMatchesPatternsIgnoringCase) {
    for (const char* n : {"a.MDB", "b.mdb", "c.txt", "noext"}) {
        QFile f(elsewhere.path() + "/" + n);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    controls::FileListBox list;
    list.setPath(elsewhere.path());
    struct Case { const char* pattern; QStringList names; };
    for (const Case& c : {Case{"*.mdb", {"a.MDB", "b.mdb"}}, Case{"*.*", {"a.MDB", "b.mdb", "c.txt", "noext"}},
                          Case{"B.MDB;*.txt", {"b.mdb", "c.txt"}}, Case{"?.mdb", {"a.MDB", "b.mdb"}}}) {
        SCOPED_TRACE(c.pattern);
        list.setPattern(c.pattern);
        QStringList got;
        for (int i = 0; i < list.ListCount(); ++i) got << list.List(i);
        EXPECT_EQ(got, c.names);
    }
}

} // namespace
