#pragma once
// Backup: copies the live data file into a folder the user chooses and
// remembers that folder in the settings file (section "Data", key "BackUpTo").
#include <QString>
#include "controls/Buttons.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/Label.h"
#include "controls/TextBox.h"
#include "forms/Form.h"

class frmBackup : public forms::Form {
    Q_OBJECT
public:
    frmBackup();

    controls::Label lblDrive{this}, lblFolder{this};
    controls::DriveListBox Drive1{this};
    controls::DirListBox Dir1{this};
    controls::TextBox txtLocation{this};
    controls::CommandButton btnBackup{this};
    controls::CommandButton btnCancel{this};

    // The folder the last backup of this window went to.
    QString BackupFolder;

    void Form_Load() override;
    void Drive1_Change();
    void Dir1_Change();
    void btnBackup_Click();
    void btnCancel_Click();
};

// What the backup and restore windows share.
namespace backupfiles {

// The data file's name as these windows write it.
inline constexpr const char* DataFileName = "vantrel.mdb";

// The file named name in folder, matched without regard to letter case
// (the name as given when the folder holds none).
QString DataFileIn(const QString& folder, const QString& name = QString::fromLatin1(DataFileName));

// The error report of these windows: label, number, a blank, the
// description and ".".
template <class F>
bool Trap(const QString& label, F&& body);

void ShowReport(const QString& label, long number, const QString& description);

// The backup folder the settings file remembers (section "Data", key
// "BackUpTo"; "C:\TEMP" stands for the system's temporary folder).
QString RememberedFolder();

} // namespace backupfiles

#include "vb/ErrorTrap.h"
template <class F>
bool backupfiles::Trap(const QString& label, F&& body) {
    try {
        body();
        return true;
    } catch (...) {
        const vb::RuntimeError e = vb::ToRuntimeError(std::current_exception());
        if (!e.IsAnswered()) ShowReport(label, e.Number(), e.Description());
        return false;
    }
}
