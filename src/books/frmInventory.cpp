#include "books/frmInventory.h"
#include <memory>
#include <optional>
#include <QPointer>
#include <QStyle>
#include "books/InventoryCats.h"
#include "customers/StatusWindow.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "forms/App.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) {
    return QStringLiteral("frmInventory.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}

const QString kNoCategories = QStringLiteral(
    "No categories for which to enter inventory.  Please enter a category, for example...General, Labor, Services, "
    "Hardware, Software, Foods, Books, CD's, etc.");

} // namespace

frmInventory::frmInventory()
    : rows_(InventoryList, Globals::RowChanged, OldRow, NewRow,
            controls::GridRowEditor::Options{
                .formName = QStringLiteral("frmInventory"),
                .afterRowEditName = QStringLiteral("InventoryList_AfterRowEdit"),
                .keyCol = colKey,
                // A row without a description is where the cursor steps back to.
                .requiredCol = colDesc,
                .topRowStep = false,
            }) {
    setCaption(QStringLiteral("Edit/Add Inventory"));
    layoutControls();

    rows_.SaveRecord = [this](int row, QString& key) { return SaveItemRow(row, key); };

    cmbCategory.Click = [this] { cmbCategory_Click(); };
    btnCategories.Click = [this] { btnCategories_Click(); };
    btnNewItem.Click = [this] { btnNewItem_Click(); };
    btnDelete.Click = [this] { btnDelete_Click(); };
    Command2.Click = [this] { Command2_Click(); };

    InventoryList.setEditable(true);
    InventoryList.setFixedCols(1);
    InventoryList.AfterEdit = [this](int r, int c) { InventoryList_AfterEdit(r, c); };
    InventoryList.GotFocus = [this] { InventoryList_GotFocus(); };
    InventoryList.LostFocus = [this] { InventoryList_LostFocus(); };
    InventoryList.Click = [this] { InventoryList_Click(); };
    InventoryList.LeaveCell = [this] { InventoryList_LeaveCell(); };
    InventoryList.RowColChange = [this] { InventoryList_RowColChange(); };
    watch_ = RecordEvents::Subscribe([this](const RecordEvents::Event& e) {
        if (e.what == RecordEvents::StockMoved && IsLoaded()) vb::IgnoreErrors([&] { FollowStock(e.key); });
    });
}

void frmInventory::FollowStock(int32_t itemNum) {
    controls::FlexGrid& g = InventoryList;
    const QString key = QString::number(itemNum);
    if (!shownStock_.contains(key)) return;
    // Not through the shared instance: a save may be using it.
    Inventory probe;
    probe.InitAccess(Globals::DataFilePath());
    const ConnectionScope opened = probe.OpenScope();
    if (!probe.GetItem(itemNum)) return;
    const QString stored = QString::number(probe.InStock);
    for (int r = 1; r < g.Rows(); ++r) {
        if (g.TextMatrix(r, colKey) != key) continue;
        if (g.TextMatrix(r, colInStock) == shownStock_.value(key)) g.setTextMatrix(r, colInStock, stored);
    }
    shownStock_.insert(key, stored);
}

frmInventory::~frmInventory() = default;

void frmInventory::layoutControls() {
    setClientSize(8340, 5160);
    Label1.setCaption(QStringLiteral("Category:"));
    Label1.Move(780, 180, 900, 255);
    cmbCategory.Move(1680, 120, 3300, 315);
    btnCategories.setCaption(QStringLiteral("&Categories"));
    btnCategories.setToolTipText(QStringLiteral("Inventory Categories"));
    btnCategories.Move(5100, 90, 1215, 375);
    Command2.setToolTipText(QStringLiteral("Exit Inventory"));
    Command2.setPicture(controls::pictures::Close);
    Command2.Move(7860, 60, 360, 360);
    btnNewItem.setToolTipText(QStringLiteral("Enter new item into selected inventory category "));
    btnNewItem.setPicture(controls::pictures::Add);
    btnNewItem.Move(60, 600, 600, 540);
    btnDelete.setToolTipText(QStringLiteral("Delete selected inventory item"));
    btnDelete.setPicture(controls::pictures::Delete);
    btnDelete.Move(60, 1200, 600, 540);
    InventoryList.Move(780, 600, 7440, 4440);
    forms::Form::setKeyboardOrder({&cmbCategory, &btnCategories, &InventoryList, &btnNewItem, &btnDelete, &Command2});
}

// ---------------------------------------------------------------- entries

QString frmInventory::CategoryEntry(int32_t catNum, const QString& description) {
    // Number pattern "0##": at least three digits.
    QString number = QString::number(catNum < 0 ? -int64_t(catNum) : int64_t(catNum)).rightJustified(3, QLatin1Char('0'));
    if (catNum < 0) number.prepend(QLatin1Char('-'));
    return number + QLatin1Char(' ') + description;
}

int32_t frmInventory::CategoryOfEntry(const QString& text) {
    return vb::CLng(vb::Variant(vb::Val(text.left(4))));
}

// ---------------------------------------------------------------- opening

void frmInventory::Form_Load() {
    opening_ = true;
    vb::Trap(label("Form_Load"), [&] {
        forms::DoEvents();
        // The notice goes on every path; SetForm takes it down before it asks
        // for a first category.
        StatusNotice<GettingInventory> notice;
        int32_t noItem = 0;
        Globals::GetInventory(Globals::CurrentCatNum, noItem);
        SetForm();
        // The category editor was left by its Exit during this opening: the
        // categories now stored are read again, on category 1, right here
        // (this window is still opening, so it cannot be closed and opened
        // afresh beneath its own opening).
        while (reloadPending_ && IsLoaded()) {
            reloadPending_ = false;
            OldRow = NewRow = 0;
            noItem = 0;
            Globals::GetInventory(Globals::CurrentCatNum, noItem);
            SetForm();
        }
    });
    reloadPending_ = false;
    opening_ = false;
}

int frmInventory::fillItems(bool beforeBlankRow) {
    ado::RecordsetPtr rs = Globals::rsInvItems;
    if (!rs || rs->State() == 0) return 0;   // the loader failed and has said so
    controls::FlexGrid& g = InventoryList;
    const QChar tab = QLatin1Char('\t');
    int n = 0;
    if (rs->RecordCount() > 0) rs->MoveFirst();
    const controls::FlexGrid::RedrawOff redrawOff(g);
    while (!rs->Eof()) {
        shownStock_.insert(vb::CStr(rs->Fields("ItemNum").Value()), rs->Fields("InStock").Value().str());
        const QString text = QString() + tab + vb::CStr(rs->Fields("ItemNum").Value()) + tab +
                             rs->Fields("Description").Value().str() + tab +
                             vb::FormatCurrencyExact(vb::CCur(rs->Fields("charge").Value())) + tab +
                             rs->Fields("Par").Value().str() + tab + rs->Fields("InStock").Value().str() + tab +
                             rs->Fields("Warranty").Value().str();
        ++n;
        if (beforeBlankRow) g.AddItem(text, n);
        else g.AddItem(text);
        rs->MoveNext();
    }
    return n;
}

void frmInventory::SetForm() {
    vb::Trap(label("SetForm"), [&] {
        controls::FlexGrid& g = InventoryList;
        // The rows are built afresh: an edit still pending belongs to rows
        // that are going away.
        if (rows_.ChangedHere()) rows_.ClearChanged();
        g.Clear();
        g.setCols(7);
        g.setRows(2);
        g.setFormatString(QStringLiteral("^|Item#|Item Description|>Charge|>Par|>In Stock|Warranty"));
        const int widths[] = {300, 0, 2500, 1000, 800, 800, 1500};
        for (int c = 0; c < 7; ++c) g.setColWidth(c, widths[c]);
        g.setColDataType(colCharge, controls::flexDTCurrency);
        cmbCategory.Clear();

        const int n = fillItems(true);
        if (n == 0) {
            g.setRow(1);
            g.setTextMatrix(1, colStatus, QStringLiteral("*"));
        } else {
            if (g.Rows() >= 7) g.setTopRow(g.Rows() - 5);
            g.setTextMatrix(g.Rows() - 1, colStatus, QStringLiteral("*"));
            g.setRow(g.Rows() - 1);
        }

        ado::RecordsetPtr cats = Globals::rsInvCats;
        const bool none = !cats || cats->State() == 0 || cats->RecordCount() == 0;
        if (none) {
            forms::Form::unload<GettingInventory>();
            vb::MsgBox(kNoCategories);
            btnCategories_Click();
            return;
        }
        cats->MoveFirst();
        QString shown;
        QString first;
        while (!cats->Eof()) {
            const int32_t num = vb::CLng(cats->Fields("CatNum").Value());
            const QString entry = CategoryEntry(num, cats->Fields("Description").Value().str());
            cmbCategory.AddItem(entry);
            if (first.isEmpty()) first = entry;
            if (num == Globals::CurrentCatNum && shown.isEmpty()) shown = entry;
            cats->MoveNext();
        }
        if (!shown.isEmpty()) {
            cmbCategory.setText(shown);
        } else {
            // The category asked for is not stored (category 1 was deleted):
            // show the first one and its items, so that what the box names is
            // what the grid lists and where a new item goes.
            cmbCategory.setText(first);
            cmbCategory_Click();
        }
    });
}

// ---------------------------------------------------------------- category

void frmInventory::cmbCategory_Click() {
    vb::Trap(label("cmbCategory_Click"), [&] {
        controls::FlexGrid& g = InventoryList;
        // A row still pending belongs to the category it was typed under; one
        // that cannot be saved keeps its category on show when the user says so.
        if (!rows_.SaveOrDiscard(controls::GridRowEditor::DiscardQuestion(), [this] { rows_.SaveRow(); })) {
            for (int i = 0; i < cmbCategory.ListCount(); ++i)
                if (CategoryOfEntry(cmbCategory.List(i)) == Globals::CurrentCatNum) cmbCategory.setText(cmbCategory.List(i));
            return;
        }
        Globals::CurrentCatNum = CategoryOfEntry(cmbCategory.Text());
        int32_t noItem = 0;
        Globals::GetInventory(Globals::CurrentCatNum, noItem);

        g.setRows(1);
        const int n = fillItems(false);
        if (n > 0) {
            g.setTopRow(1);
            g.setRows(n + 2);
        } else {
            g.setRows(2);
            g.SetFocus();
            g.setTextMatrix(1, colStatus, QStringLiteral("*"));
        }
        OldRow = g.Rows() - 1;
        SetOldRowStatus();
    });
}

// ---------------------------------------------------------------- grid

void frmInventory::InventoryList_AfterEdit(int Row, int Col) {
    Q_UNUSED(Col);
    vb::Trap(label("InventoryList_AfterEdit"), [&] {
        controls::FlexGrid& g = InventoryList;
        if (!g.TextMatrix(Row, colDesc).isEmpty() && !g.TextMatrix(Row, colCharge).isEmpty() &&
            !g.TextMatrix(Row, colPar).isEmpty() && !g.TextMatrix(Row, colInStock).isEmpty()) {
            g.setTextMatrix(Row, colCharge, vb::FormatCurrencyExact(vb::ParseCurrency(g.TextMatrix(Row, colCharge))));
            rows_.MarkChanged();
            // The save writes the row that changed, whichever row was left last.
            OldRow = Row;
            if (Row == g.Rows() - 1 && g.TextMatrix(Row, colKey).isEmpty()) {
                // The blank entry row has just been filled: a new item, and a
                // new blank entry row below it.
                g.setTextMatrix(Row, colKey, QStringLiteral("0"));
                g.AddItem(QString());
            }
        }
        SetOldRowStatus();
    });
}

void frmInventory::InventoryList_AfterRowEdit() { rows_.AfterRowEdit(); }

void frmInventory::SaveRow() { rows_.SaveRow(); }

void frmInventory::SetOldRowStatus() { rows_.SetOldRowStatus(); }

void frmInventory::SetNewRowStatus() { rows_.SetNewRowStatus(); }

bool frmInventory::SaveItemRow(int row, QString& key) {
    controls::FlexGrid& g = InventoryList;
    int32_t itemNum = key.isEmpty() ? 0 : vb::CLng(vb::Variant(vb::Val(key)));
    if (g.TextMatrix(row, colDesc).isEmpty()) return true;   // not an item: nothing to write
    // Warranty is text: an empty one stays empty.
    for (int c : {colPar, colInStock})
        if (g.TextMatrix(row, c).isEmpty()) g.setTextMatrix(row, c, QStringLiteral("0"));

    std::shared_ptr<Inventory> inv = Globals::SharedInventory;
    if (!inv) vb::Raise(vb::err::ObjectNotSet);
    const ConnectionScope opened = inv->OpenScope();
    inv->Category = Globals::CurrentCatNum;
    inv->description = g.TextMatrix(row, colDesc);
    inv->charge = vb::ParseCurrency(g.TextMatrix(row, colCharge));
    inv->Par = vb::CLng(vb::Variant(g.TextMatrix(row, colPar)));
    inv->InStock = vb::CLng(vb::Variant(g.TextMatrix(row, colInStock)));
    // A count the user typed is the shelf's; a count merely shown may have
    // been moved by a sale since, and the file's stays.
    inv->InStockCounted = itemNum == 0 || g.TextMatrix(row, colInStock) != shownStock_.value(key);
    inv->Warranty = g.TextMatrix(row, colWarranty);
    if (!inv->SaveItemAccess(itemNum)) return false;
    key = QString::number(inv->ItemNum);
    g.setTextMatrix(row, colCharge, vb::FormatCurrencyExact(inv->charge));
    g.setTextMatrix(row, colInStock, QString::number(inv->InStock));
    shownStock_.insert(key, QString::number(inv->InStock));
    return true;
}

void frmInventory::InventoryList_Click() {
    vb::IgnoreErrors([&] {
        const controls::FlexGrid& g = InventoryList;
        const int r = g.Row();
        SelItemNum = 0;
        SelItemDesc.clear();
        if (r < 1 || g.TextMatrix(r, colKey).isEmpty()) return;
        SelItemNum = vb::CLng(vb::Variant(vb::Val(g.TextMatrix(r, colKey))));
        SelItemDesc = g.TextMatrix(r, colDesc);
    });
}

void frmInventory::InventoryList_GotFocus() { InventoryList.setCol(colDesc); }

void frmInventory::InventoryList_LeaveCell() { rows_.LeaveCell(); }

void frmInventory::InventoryList_RowColChange() {
    vb::Trap(label("InventoryList_RowColChange"), [&] { rows_.RowColChange(); });
}

void frmInventory::InventoryList_LostFocus() {
    vb::Trap(label("InventoryList_LostFocus"), [&] { rows_.LostFocus(); });
}

// ---------------------------------------------------------------- buttons

void frmInventory::btnNewItem_Click() {
    vb::Trap(label("btnNewItem_Click"), [&] {
        controls::FlexGrid& g = InventoryList;
        if (!g.TextMatrix(g.Rows() - 1, colKey).isEmpty()) g.AddItem(QString());
        if (g.Rows() >= 7) g.setTopRow(g.Rows() - 5);
        g.setRow(g.Rows() - 1);
        g.SetFocus();
    });
}

void frmInventory::btnDelete_Click() {
    // With no category left the reload opens the category editor, whose
    // Exit may close this window before SetForm returns.
    const QPointer<frmInventory> self(this);
    vb::Trap(label("btnDelete_Click"), [&] {
        // The item that goes is the one on the current row, however the
        // cursor got there.
        InventoryList_Click();
        if (SelItemNum == 0) return;
        const QString desc = SelItemDesc;
        if (vb::MsgBox(QStringLiteral("Delete Inventory Item ") + desc + QStringLiteral(" ?"),
                       vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                       QStringLiteral("Delete Inventory Item ... ") + desc + QLatin1Char('?')) != vb::vbYes)
            return;
        Globals::DeleteItemPending = true;
        int32_t item = SelItemNum;
        Globals::GetInventory(Globals::CurrentCatNum, item);
        // SetForm shows the entry of the category on screen, and the list is
        // read again for it.
        SetForm();
        if (!self || !IsLoaded()) return;
        cmbCategory_Click();
        SelItemNum = 0;
        SelItemDesc.clear();
    });
    Globals::DeleteItemPending = false;
}

void frmInventory::btnCategories_Click() {
    forms::Form::get<InventoryCats>().Show(true, this);
}

void frmInventory::Command2_Click() { forms::Form::Unload(this); }

// ---------------------------------------------------------------- window

void frmInventory::Form_Resize() {
    vb::Trap(label("Form_Resize"), [&] {
        if (WindowState() == vbMinimized) return;
        if (ScaleWidth() > 780 + 1500) InventoryList.setWidth(ScaleWidth() - 780 - 120);
        if (ScaleHeight() > 600 + 1200) InventoryList.setHeight(ScaleHeight() - 600 - 120);
        if (ScaleWidth() > 6400) Command2.setLeft(ScaleWidth() - Command2.Width() - 120);
    });
}

void frmInventory::Form_QueryUnload(bool& Cancel, int) {
    // An edit still pending in this grid is saved whichever way the window
    // closes (the close box gives the grid no focus loss); one that cannot be
    // saved keeps the window when the user says so.
    if (!rows_.SaveBeforeClose([this] { InventoryList_LostFocus(); })) Cancel = true;
}

