#pragma once
// Restore: puts the content of a checked data file from a folder the user
// chooses into the live data file, keeping the live one's content. It opens
// on the remembered backup folder and asks first; the other windows are
// closed before (they would write old rows back), the shared lists and the
// main list are read anew after, and the window closes.
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

    // Closes every window but the main window and this one, newest first, each
    // as its own close would; false when one stays open.
    bool CloseDataWindows();
};
