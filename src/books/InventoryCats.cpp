#include "books/InventoryCats.h"
#include <memory>
#include <QCloseEvent>
#include "books/frmInventory.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) {
    return QStringLiteral("InventoryCats.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}

int32_t keyNumber(const QString& text) { return vb::CLng(vb::Variant(vb::Val(text))); }

} // namespace

InventoryCats::InventoryCats()
    : rows_(InventoryList, Globals::RowChanged, OldRow, NewRow,
            controls::GridRowEditor::Options{
                .formName = QStringLiteral("InventoryCats"),
                .afterRowEditName = QStringLiteral("InventoryList_AfterRowEdit"),
                .keyCol = colKey,
                .requiredCol = colDesc,
                .topRowStep = false,
                .entryRow = true,
            }) {
    setCaption(QStringLiteral("Edit / Add Inventory Categories"));
    setFixedBorder();
    setClientSize(4755, 3900);
    InventoryList.Move(120, 120, 3135, 3660);
    btnNew.setCaption(QStringLiteral("&New"));
    btnNew.Move(3420, 120, 1215, 375);
    btnDelete.setCaption(QStringLiteral("&Delete"));
    btnDelete.Move(3420, 600, 1215, 375);
    btnExit.setCaption(QStringLiteral("&Exit"));
    btnExit.setCancel(true);
    btnExit.Move(3420, 3405, 1215, 375);
    forms::Form::setKeyboardOrder({&InventoryList, &btnNew, &btnDelete, &btnExit});

    rows_.SaveRecord = [this](int row, QString& key) { return SaveCategoryRow(row, key); };

    btnNew.Click = [this] { btnNew_Click(); };
    btnDelete.Click = [this] { btnDelete_Click(); };
    btnExit.Click = [this] { btnExit_Click(); };

    InventoryList.setEditable(true);
    InventoryList.setFixedCols(1);
    InventoryList.AfterEdit = [this](int r, int c) { InventoryList_AfterEdit(r, c); };
    InventoryList.GotFocus = [this] { InventoryList_GotFocus(); };
    InventoryList.LostFocus = [this] { InventoryList_LostFocus(); };
    InventoryList.Click = [this] { InventoryList_Click(); };
    InventoryList.LeaveCell = [this] { InventoryList_LeaveCell(); };
    InventoryList.RowColChange = [this] { InventoryList_RowColChange(); };
}

InventoryCats::~InventoryCats() = default;

// ---------------------------------------------------------------- opening

void InventoryCats::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        controls::FlexGrid& g = InventoryList;
        g.Clear();
        g.setCols(3);
        g.setFormatString(QStringLiteral("^|Category#|Description"));
        const int widths[] = {300, 0, 1500};
        for (int c = 0; c < 3; ++c) g.setColWidth(c, widths[c]);
        g.setTopRow(1);

        // The list the item editor has just loaded (and read to its end).
        ado::RecordsetPtr cats = Globals::rsInvCats;
        int n = 0;
        if (cats && cats->State() != 0) {
            if (cats->RecordCount() > 0) cats->MoveFirst();
            const QChar tab = QLatin1Char('\t');
            while (!cats->Eof()) {
                g.AddItem(QString() + tab + vb::CStr(cats->Fields("CatNum").Value()) + tab +
                          cats->Fields("Description").Value().str());
                ++n;
                cats->MoveNext();
            }
        }
        g.setRows(n + 1);
        rows_.KeepEntryRow();
    });
}

// ---------------------------------------------------------------- grid

void InventoryCats::InventoryList_AfterEdit(int Row, int Col) {
    Q_UNUSED(Col);
    vb::Trap(label("InventoryList_AfterEdit"), [&] {
        if (!InventoryList.TextMatrix(Row, colDesc).isEmpty()) {
            OldRow = Row;
            // A save that failed stays pending, so leaving the row or Exit
            // tries again.
            if (!rows_.SaveRow()) rows_.MarkChanged();
        }
        SetOldRowStatus();
    });
}

void InventoryCats::InventoryList_AfterRowEdit() { rows_.AfterRowEdit(); }

void InventoryCats::SaveRow() { rows_.SaveRow(); }

void InventoryCats::SetOldRowStatus() { rows_.SetOldRowStatus(); }

void InventoryCats::SetNewRowStatus() { rows_.SetNewRowStatus(); }

bool InventoryCats::SaveCategoryRow(int row, QString& key) {
    controls::FlexGrid& g = InventoryList;
    if (g.Rows() < 2 || g.TextMatrix(row, colDesc).isEmpty()) return true;   // nothing to write
    // A new category is "0" until it is stored, so one whose save fails
    // keeps showing "?".
    if (key.isEmpty()) g.setTextMatrix(row, colKey, QStringLiteral("0"));
    std::shared_ptr<Inventory> inv = Globals::SharedInventory;
    if (!inv) vb::Raise(vb::err::ObjectNotSet);
    const ConnectionScope opened = inv->OpenScope();
    inv->CatNum = key.isEmpty() ? 0 : keyNumber(key);
    if (!inv->SaveCategory(inv->CatNum, g.TextMatrix(row, colDesc))) return false;
    key = QString::number(inv->CatNum);
    return true;
}

void InventoryCats::InventoryList_Click() {
    vb::Trap(label("InventoryList_Click"), [&] {
        const controls::FlexGrid& g = InventoryList;
        const int r = g.Row();
        if (r < 1) return;
        if (!g.TextMatrix(r, colKey).isEmpty()) {
            Globals::CurrentCatNum = keyNumber(g.TextMatrix(r, colKey));
            SelCatDesc = g.TextMatrix(r, colDesc);
        } else {
            Globals::CurrentCatNum = 0;
            SelCatDesc.clear();
        }
    });
}

void InventoryCats::InventoryList_GotFocus() { InventoryList.setCol(colDesc); }

void InventoryCats::InventoryList_LeaveCell() { rows_.LeaveCell(); }

void InventoryCats::InventoryList_RowColChange() {
    vb::Trap(label("InventoryList_RowColChange"), [&] { rows_.RowColChange(); });
}

void InventoryCats::InventoryList_LostFocus() { rows_.LostFocus(); }

// ---------------------------------------------------------------- buttons

void InventoryCats::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] {
        controls::FlexGrid& g = InventoryList;
        if (!g.TextMatrix(g.Rows() - 1, colKey).isEmpty()) g.AddItem(QString());
        if (g.Rows() >= 7) g.setTopRow(g.Rows() - 5);
        g.setRow(g.Rows() - 1);
        g.SetFocus();
    });
}

void InventoryCats::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [&] {
        controls::FlexGrid& g = InventoryList;
        const int r = g.Row();
        if (r < 1) return;
        Globals::CurrentCatNum = g.TextMatrix(r, colKey).isEmpty() ? 0 : keyNumber(g.TextMatrix(r, colKey));
        SelCatDesc = g.TextMatrix(r, colDesc);
        if (Globals::CurrentCatNum == 0) return;
        const QString prompt =
            QStringLiteral("Deleting a category is not recommended when items exist in the inventory category.  ") +
            QStringLiteral("All items in  ") + SelCatDesc +
            QStringLiteral(" will be deleted also.  Do you wish to do this?");
        if (vb::MsgBox(prompt, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                       QStringLiteral("Delete Inventory Category ... ") + SelCatDesc + QLatin1Char('?')) != vb::vbYes)
            return;
        if (auto cats = Globals::rsInvCats; cats && cats->State() != 0) cats->Close();
        auto inv = std::make_shared<Inventory>();
        Globals::SharedInventory = inv;
        inv->InitAccess(Globals::DataFilePath());
        const ConnectionScope opened = inv->OpenScope();
        const bool deleted = inv->DeleteCategory(Globals::CurrentCatNum);
        Globals::rsInvCats = inv->rsCategories();
        inv->CloseCn();
        // A delete the data file refused has been reported; the row stays,
        // as the category does.
        if (!deleted) return;
        g.RemoveItem(r);
        if (g.Rows() == 1) {
            // The last category went: one blank row to type the next one into.
            g.setRows(2);
            g.setTextMatrix(1, colStatus, QStringLiteral("*"));
        }
    });
}

void InventoryCats::Form_QueryUnload(bool& Cancel, int) {
    if (!rows_.SaveBeforeClose([this] { InventoryList_AfterRowEdit(); })) Cancel = true;
}

void InventoryCats::btnExit_Click() {
    // A row that cannot be saved keeps the window when the user says so.
    if (!rows_.SaveBeforeClose([this] { InventoryList_AfterRowEdit(); })) return;
    Globals::CurrentCatNum = 1;
    if (forms::Form::isLoaded<frmInventory>()) {
        frmInventory& items = forms::Form::get<frmInventory>();
        if (items.OpeningUnderWay()) {
            // The item editor is still opening beneath this editor: it reads
            // the categories again itself once this has closed.
            items.ReloadAfterCategories();
            forms::Form::Unload(this);
            return;
        }
    }
    if (!forms::Form::Unload(this)) return;
    if (!forms::Form::unload<frmInventory>()) return;
    // Last: opening the item editor may run a modal loop (no category yet),
    // in which this window is deleted.
    forms::Form::get<frmInventory>().Show();
}

void InventoryCats::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (IsLoaded()) btnExit_Click();
}
