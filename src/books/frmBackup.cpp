#include "books/frmBackup.h"
#include <QDir>
#include <QFile>
#include "dao/DBEngine.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "fso/FileSystem.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

constexpr int kLeft = 120, kLabelH = 240, kWidth = 4200, kButtonW = 1300, kButtonH = 375;
constexpr int kListLeft = kLeft + 780, kListW = kWidth - 780;

// The settings written on other machines name the old default folder; here
// it stands for the system's temporary folder.
QString BackupFolderFromSetting(const QString& value) {
    if (value.compare(QStringLiteral("C:\\TEMP"), Qt::CaseInsensitive) == 0)
        return QDir::cleanPath(QDir::tempPath());
    return value;
}

} // namespace

namespace backupfiles {

QString DataFileIn(const QString& folder, const QString& name) {
    return fso::ResolvePath(fso::InFolder(folder, name));
}

void ShowReport(const QString& label, long number, const QString& description) {
    // A description that ends its own sentence gets no second full stop.
    const QString end = description.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
    vb::MsgBox(label + QString::number(number) + QLatin1Char(' ') + description + end, vb::vbOKOnly);
}

QString RememberedFolder() {
    return BackupFolderFromSetting(Globals::ReadIniString(QStringLiteral("Data"), QStringLiteral("BackUpTo"),
                                                          QStringLiteral("C:\\TEMP"), Globals::IniPath));
}

} // namespace backupfiles

frmBackup::frmBackup() {
    setCaption(QStringLiteral("Select Backup Drive and Folder"));
    setFixedBorder();

    int y = 120;
    lblDrive.setCaption(QStringLiteral("Drive"));
    lblDrive.Move(kLeft, y + 60, 700, kLabelH);
    Drive1.Move(kListLeft, y, kListW, 330);
    y += 450;
    lblFolder.setCaption(QStringLiteral("Folder"));
    lblFolder.Move(kLeft, y, 700, kLabelH);
    Dir1.Move(kListLeft, y, kListW, 2400);
    y += 2400 + 150;
    txtLocation.Move(kListLeft, y, kListW, 315);
    y += 315 + 240;
    btnBackup.setCaption(QStringLiteral("&Backup"));
    btnBackup.Move(kLeft + kWidth - 2 * kButtonW - 120, y, kButtonW, kButtonH);
    btnCancel.setCaption(QStringLiteral("&Cancel"));
    btnCancel.setCancel(true);
    btnCancel.Move(kLeft + kWidth - kButtonW, y, kButtonW, kButtonH);
    setClientSize(kLeft + kWidth + 120, y + kButtonH + 120);

    Drive1.Change = [this] { Drive1_Change(); };
    Dir1.Change = [this] { Dir1_Change(); };
    btnBackup.Click = [this] { btnBackup_Click(); };
    btnCancel.Click = [this] { btnCancel_Click(); };
}

void frmBackup::Form_Load() {
    const QString folder = backupfiles::RememberedFolder();
    if (fso::FolderExists(folder)) {
        txtLocation.setText(folder);
        Drive1.setDrive(QStringLiteral("C"));
        backupfiles::Trap(QStringLiteral("frmBackup.Form_Load -"), [&] { Dir1.setPath(folder); });
    } else {
        txtLocation.setText(Dir1.Path());
    }
}

void frmBackup::Drive1_Change() {
    backupfiles::Trap(QStringLiteral("frmBackup.Drive1_Change -"), [&] { Dir1.setPath(Drive1.Drive()); });
}

void frmBackup::Dir1_Change() {
    backupfiles::Trap(QStringLiteral("frmBackup.Dir1_Change -"), [&] { txtLocation.setText(Dir1.Path()); });
}

void frmBackup::btnBackup_Click() {
    backupfiles::Trap(QStringLiteral("frmBackup.btnBackup_Click -"), [&] {
        const QString T = txtLocation.Text();
        if (!fso::FolderExists(T)) {
            if (vb::MsgBox(QStringLiteral("Create Folder (") + T + QStringLiteral(")?"),
                           vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                           QStringLiteral("Path does not exist!")) != vb::vbYes)
                return;
            fso::CreateFolder(T);
        }
        // The backup would replace the data file itself.
        if (fso::SameFile(T, forms::AppPath())) {
            vb::MsgBox(QStringLiteral("A backup cannot go into the program folder; choose another folder."), vb::vbOKOnly);
            return;
        }
        const QString target = backupfiles::DataFileIn(T);
        try {
            dao::CopyDatabase(backupfiles::DataFileIn(forms::AppPath()), target, true);
        } catch (const vb::RuntimeError& e) {
            // The data file is only read: a file that cannot be written is
            // the backup folder's.
            auto is = [&](ado::FileFault f) {
                const vb::RuntimeError known = dao::FaultError(f);
                return e.Number() == known.Number() && e.Description() == known.Description();
            };
            QString why;
            if (is(ado::FileFault::Damaged))
                why = QStringLiteral("The data file is damaged; the last backup in ") + T + QStringLiteral(" was kept.");
            else if (is(ado::FileFault::ReadOnly))
                why = QStringLiteral("The backup folder ") + T + QStringLiteral(" is read-only; choose another folder.");
            else if (is(ado::FileFault::DiskFull))
                why = QStringLiteral("The disk of the backup folder ") + T + QStringLiteral(" is full; choose another folder.");
            else
                throw;
            vb::MsgBox(why, vb::vbOKOnly);
            return;
        }
        if (fso::FileExists(target)) {
            BackupFolder = T;
            QString done = QStringLiteral("Vantrel data backed up successfully to ") + T;
            if (!Globals::WriteIniString(QStringLiteral("Data"), QStringLiteral("BackUpTo"), T, Globals::IniPath))
                done += QStringLiteral("\r\nBacked up, but the folder could not be remembered.");
            vb::MsgBox(done, vb::vbOKOnly);
            forms::Form::Unload(this);
        } else {
            vb::MsgBox(QStringLiteral("Vantrel data NOT backed up.  Make sure you have write access to the path and retry."),
                       vb::vbOKOnly);
        }
    });
}

void frmBackup::btnCancel_Click() { forms::Form::Unload(this); }
