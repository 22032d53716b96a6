#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include "ado/Connection.h"
#include "books/frmBackup.h"
#include "books/frmRestore.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "profile/PrivateProfile.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

namespace {

using testsupport::WindowFixture;

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().toHex()) : QString();
}

QString iniValue(const QString& ini) {
    return profile::GetPrivateProfileString("Data", "BackUpTo", "(none)", 256, ini);
}

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
        EXPECT_EQ(readAll(T + "/vantrel.mdb"), readAll(folder.dataFile()));
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

TEST_F(BackupRestoreTest, RestoreCopiesOverTheLiveFileAndStaysOpen) {
    makeBackupIn(elsewhere.path());
    auto& w = forms::Form::get<frmRestore>();
    w.Dir1.setPath(elsewhere.path());
    boxes.expect(vb::vbOK, "Vantrel data restored successfully");
    w.btnRestore_Click();
    EXPECT_EQ(folder.scalar("SELECT Type FROM tb_PaymentTypes"), "From backup");
    EXPECT_TRUE(forms::Form::isLoaded<frmRestore>());
    EXPECT_EQ(QDir(folder.path()).entryList({"*.mdb*"}, QDir::Files), QStringList{"Vantrel.mdb"});
}

TEST_F(BackupRestoreTest, RestoreRefusesWhileAConnectionHoldsTheLiveFile) {
    makeBackupIn(elsewhere.path());
    const QString before = readAll(folder.dataFile());
    auto& w = forms::Form::get<frmRestore>();
    w.Dir1.setPath(elsewhere.path());
    ado::Connection cn;
    cn.OpenFile(folder.dataFile());
    boxes.expect(vb::vbOK, "frmRestore.btnRestore_Click -70 Permission denied: the data file is in use.");
    w.btnRestore_Click();
    cn.Close();
    EXPECT_EQ(readAll(folder.dataFile()), before);
}

TEST_F(BackupRestoreTest, FailedCopyLeavesTheTargetAsItWas) {
    const QString target = elsewhere.path() + "/vantrel.mdb";
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("earlier backup");
    f.close();
    try {
        backupfiles::CopyReplacing(folder.path() + "/missing.mdb", target);
        ADD_FAILURE() << "copy of a missing file succeeded";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
    EXPECT_EQ(readAll(target), QString::fromLatin1(QByteArray("earlier backup").toHex()));
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
