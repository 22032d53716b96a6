#include "books/frmRestore.h"
#include "ado/Connection.h"
#include "books/frmBackup.h"
#include "forms/App.h"
#include "fso/FileSystem.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {
constexpr int kLeft = 120, kLabelH = 240, kListW = 2700, kGap = 150, kButtonW = 1300, kButtonH = 375;
constexpr int kListH = 2400;
}

frmRestore::frmRestore() {
    setCaption(QStringLiteral("Select Vantrel.mdb for restore"));
    setFixedBorder();

    const int col2 = kLeft + kListW + kGap;
    lblDrive.setCaption(QStringLiteral("Drive"));
    lblDrive.Move(kLeft, 120, kListW, kLabelH);
    Drive1.Move(kLeft, 120 + kLabelH + 30, kListW, 330);
    lblFolder.setCaption(QStringLiteral("Folder"));
    lblFolder.Move(kLeft, 780, kListW, kLabelH);
    Dir1.Move(kLeft, 780 + kLabelH + 30, kListW, kListH);
    lblFile.setCaption(QStringLiteral("File"));
    lblFile.Move(col2, 780, kListW, kLabelH);
    File1.Move(col2, 780 + kLabelH + 30, kListW, kListH);
    const int y = 780 + kLabelH + 30 + kListH + 240;
    btnRestore.setCaption(QStringLiteral("&Restore"));
    btnRestore.setEnabled(false);
    btnRestore.Move(col2 + kListW - 2 * kButtonW - 120, y, kButtonW, kButtonH);
    btnCancel.setCaption(QStringLiteral("&Cancel"));
    btnCancel.Move(col2 + kListW - kButtonW, y, kButtonW, kButtonH);
    setClientSize(col2 + kListW + 120, y + kButtonH + 120);

    Drive1.Change = [this] { Drive1_Change(); };
    Dir1.Change = [this] { Dir1_Change(); };
    btnRestore.Click = [this] { btnRestore_Click(); };
    btnCancel.Click = [this] { btnCancel_Click(); };
}

void frmRestore::Form_Load() { Dir1_Change(); }

void frmRestore::Dir1_Change() {
    backupfiles::Trap(QStringLiteral("frmRestore.Dir1_Change -"), [&] {
        File1.setPath(Dir1.Path());
        File1.setPattern(QString::fromLatin1(backupfiles::DataFileName));
        if (File1.ListCount() > 0) {
            btnRestore.setEnabled(true);
            FileName = File1.List(0);
        } else {
            btnRestore.setEnabled(false);
        }
    });
}

void frmRestore::Drive1_Change() {
    backupfiles::Trap(QStringLiteral("frmRestore.Drive1_Change -"), [&] { Dir1.setPath(Drive1.Drive()); });
}

void frmRestore::btnRestore_Click() {
    backupfiles::Trap(QStringLiteral("frmRestore.btnRestore_Click -"), [&] {
        const QString live = backupfiles::DataFileIn(forms::AppPath(), QStringLiteral("Vantrel.mdb"));
        // Copying under an open connection would leave it reading pages of
        // two different files.
        if (ado::Connection::IsFileOpen(live))
            vb::Raise(70, QStringLiteral("Permission denied: the data file is in use"));
        backupfiles::CopyReplacing(fso::InFolder(File1.Path(), FileName), live);
        if (fso::FileExists(live))
            vb::MsgBox(QStringLiteral("Vantrel data restored successfully"), vb::vbOKOnly);
        else
            vb::MsgBox(QStringLiteral("Vantrel data NOT restored.  Make sure you have read access to the path and retry."),
                       vb::vbOKOnly);
    });
}

void frmRestore::btnCancel_Click() { forms::Form::Unload(this); }
