#include "books/frmRestore.h"
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include "books/frmBackup.h"
#include "customers/Customer.h"
#include "dao/DBEngine.h"
#include "data/Globals.h"
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
    btnCancel.setCancel(true);
    btnCancel.Move(col2 + kListW - kButtonW, y, kButtonW, kButtonH);
    setClientSize(col2 + kListW + 120, y + kButtonH + 120);

    Drive1.Change = [this] { Drive1_Change(); };
    Dir1.Change = [this] { Dir1_Change(); };
    btnRestore.Click = [this] { btnRestore_Click(); };
    btnCancel.Click = [this] { btnCancel_Click(); };
}

void frmRestore::Form_Load() {
    // The backups are most likely where the last one went.
    const QString folder = backupfiles::RememberedFolder();
    if (fso::FolderExists(folder))
        backupfiles::Trap(QStringLiteral("frmRestore.Form_Load -"), [&] { Dir1.setPath(folder); });
    Dir1_Change();
}

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
        const QString chosen = fso::InFolder(File1.Path(), FileName);
        const QString nothing = QStringLiteral("  Nothing was restored.");
        const QString live = backupfiles::DataFileIn(forms::AppPath(), QStringLiteral("Vantrel.mdb"));
        if (fso::SameFile(chosen, live)) {
            vb::MsgBox(QStringLiteral("This is the data file in use. Choose the folder of a backup."), vb::vbOKOnly);
            return;
        }
        switch (dao::Inspect(chosen, Globals::DataTables())) {
        case dao::Content::Foreign:
            vb::MsgBox(chosen + QStringLiteral(" is not a Vantrel data file.") + nothing, vb::vbOKOnly);
            return;
        case dao::Content::Damaged:
            vb::MsgBox(chosen + QStringLiteral(" is damaged.") + nothing, vb::vbOKOnly);
            return;
        case dao::Content::Data: break;
        }
        const QString keepName = QStringLiteral("BeforeRestore") + QFileInfo(live).fileName();
        const QFileInfo backup(chosen);
        if (vb::MsgBox(QStringLiteral("Replace the data file with the backup of ") +
                           QLocale().toString(backup.lastModified(), QLocale::ShortFormat) + QStringLiteral(" in ") +
                           QDir::toNativeSeparators(backup.absolutePath()) +
                           QStringLiteral("? The data file as it is now is kept as ") + keepName + QLatin1Char('.'),
                       vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2) != vb::vbYes)
            return;
        // A window still showing the old rows would write them back over the
        // restored ones; one that will not close (a question answered Cancel)
        // keeps everything as it is.
        if (!CloseDataWindows()) return;
        const QString keep = forms::AppPath() + QLatin1Char('/') + keepName;
        bool kept = false;
        try {
            kept = dao::RestoreDatabase(chosen, live, keep);
        } catch (const vb::RuntimeError& e) {
            const vb::RuntimeError inUse = dao::FaultError(ado::FileFault::InUse);
            if (e.Number() != inUse.Number() || e.Description() != inUse.Description()) throw;
            vb::MsgBox(inUse.Description() + nothing, vb::vbOKOnly);
            return;
        }
        QString done = QStringLiteral("Vantrel data restored successfully");
        if (kept) done += QStringLiteral("\r\nThe data file as it was is kept as ") + keep + QLatin1Char('.');
        vb::MsgBox(done, vb::vbOKOnly);
        Globals::ReloadSharedLists();
        forms::Form::Unload(this);
    });
}

bool frmRestore::CloseDataWindows() {
    const QList<forms::Form*> open = forms::Form::loadedForms();
    QList<QPointer<forms::Form>> others;
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (*it != this && !dynamic_cast<Customer*>(*it)) others << QPointer<forms::Form>(*it);
    for (const QPointer<forms::Form>& f : others) {
        if (!f || !f->IsLoaded()) continue;   // went with its owner
        if (!forms::Form::Unload(f.data())) return false;
    }
    return true;
}

void frmRestore::btnCancel_Click() { forms::Form::Unload(this); }
