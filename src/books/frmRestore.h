#pragma once
// Restore: copies a data file from a folder the user chooses over the live
// data file. The windows already open keep what they read until they read
// again.
#include <QString>
#include "controls/Buttons.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/Label.h"
#include "forms/Form.h"

class frmRestore : public forms::Form {
    Q_OBJECT
public:
    frmRestore();

    controls::Label lblDrive{this}, lblFolder{this}, lblFile{this};
    controls::DriveListBox Drive1{this};
    controls::DirListBox Dir1{this};
    controls::FileListBox File1{this};
    controls::CommandButton btnRestore{this};
    controls::CommandButton btnCancel{this};

    // The data file found in the chosen folder, as it is written there.
    QString FileName;

    void Form_Load() override;
    void Drive1_Change();
    void Dir1_Change();
    void btnRestore_Click();
    void btnCancel_Click();
};
