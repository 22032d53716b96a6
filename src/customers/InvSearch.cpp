#include "customers/InvSearch.h"
#include <algorithm>
#include <memory>
#include <QFontMetrics>
#include <QStyle>
#include "books/frmInventory.h"
#include "ado/Recordset.h"
#include "customers/InvoiceDetail.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "data/Invoice.h"
#include "forms/Twips.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) { return QStringLiteral("InvSearch.") + QString::fromLatin1(proc) + QStringLiteral(" -"); }

// Item grid columns of the invoice editor.
constexpr int colSel = 0, colLine = 1, colItem = 2, colQty = 3, colCharge = 4, colNotes = 5, colTotal = 6,
              colBackOrder = 7;

// "0##": at least three digits (category 7 is "007", 1000 stays "1000").
QString categoryNumberText(int32_t n) {
    return n >= 0 ? QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')) : QString::number(n);
}

} // namespace

InvSearch::InvSearch() {
    setCaption(QStringLiteral("Add Inventory Item to Invoice"));
    setFixedBorder();
    setClientSize(6900, 4800);

    Label1.setCaption(QStringLiteral("Category:"));
    Label1.Move(120, 195, 900, 285);
    cmbCategory.Move(1020, 150, 4800, 330);
    btnInventory.setToolTipText(QStringLiteral("Add to/Edit Inventory"));
    btnInventory.setPicture(controls::pictures::Inventory);
    btnInventory.Move(6120, 105, 660, 420);
    InventoryList.Move(120, 660, 6660, 3300);
    btnOK.setCaption(QStringLiteral("&Ok"));
    btnOK.Move(3960, 4140, 1320, 435);
    btnCancel.setCaption(QStringLiteral("&Cancel"));
    btnCancel.Move(5460, 4140, 1320, 435);
    forms::Form::setKeyboardOrder({&cmbCategory, &InventoryList, &btnOK, &btnCancel, &btnInventory});

    cmbCategory.Click = [this] { cmbCategory_Click(); };
    btnOK.setDefault(true);
    btnCancel.setCancel(true);
    btnOK.Click = [this] { btnOK_Click(); };
    btnCancel.Click = [this] { btnCancel_Click(); };
    btnInventory.Click = [this] { btnInventory_Click(); };
    InventoryList.DblClick = [this] { InventoryList_DblClick(); };
    InventoryList.KeyDown = [this](int& code, int shift) { InventoryList_KeyDown(code, shift); };
}

void InvSearch::fillItems() {
    ado::RecordsetPtr items = Globals::rsInvItems;
    if (!items) vb::Raise(vb::err::ObjectNotSet);
    const QChar tab = QLatin1Char('\t');
    const controls::FlexGrid::RedrawOff redrawOff(InventoryList);
    items->MoveFirst();
    while (!items->Eof()) {
        InventoryList.AddItem(vb::CStr(items->Fields("ItemNum").Value()) + tab +
                              items->Fields("description").Value().str() + tab +
                              vb::FormatCurrencyExact(vb::CCur(items->Fields("charge").Value())) + tab +
                              items->Fields("InStock").Value().str());
        items->MoveNext();
    }
    // A charge cut at its last digits reads as another amount: the Charge
    // column takes the room its widest charge needs from the Description.
    const QFontMetrics fm(InventoryList.font());
    int need = 800;
    for (int r = 1; r < InventoryList.Rows(); ++r)
        need = std::max(need, forms::PixelsToTwipsX(fm.horizontalAdvance(InventoryList.TextMatrix(r, 2)) + 8));
    InventoryList.setColWidth(1, 4800 - need);
    InventoryList.setColWidth(2, need);
}

void InvSearch::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        int32_t itemNum = 0;
        Globals::GetInventory(Globals::CurrentCatNum, itemNum);

        InventoryList.Clear();
        InventoryList.setCols(4);
        InventoryList.setFormatString(QStringLiteral("Item#|Description|>Charge|In Stock"));
        const int widths[] = {800, 4000, 800, 500};
        for (int c = 0; c < 4; ++c) InventoryList.setColWidth(c, widths[c]);
        InventoryList.setRows(1);
        InventoryList.setTopRow(1);
        fillItems();

        ado::RecordsetPtr cats = Globals::rsInvCats;
        if (!cats || cats->RecordCount() == 0) {
            // Nothing to pick from: categories and items come first.
            forms::Form::Unload(this);
            OpenInventoryWindow();
            return;
        }
        cmbCategory.Clear();
        cats->MoveFirst();
        while (!cats->Eof()) {
            cmbCategory.AddItem(categoryNumberText(vb::CLng(cats->Fields("CatNum").Value())) + QLatin1Char(' ') +
                                cats->Fields("Description").Value().str());
            cats->MoveNext();
        }
        // Setting the text raises no Click: the list keeps the items of the
        // category the editor asked for.
        cmbCategory.setText(cmbCategory.List(0));
    });
}

void InvSearch::cmbCategory_Click() {
    vb::Trap(label("cmbCategory_Click"), [&] {
        Globals::CurrentCatNum = vb::CLng(vb::Variant(vb::Val(cmbCategory.Text().left(3))));
        int32_t itemNum = 0;
        Globals::GetInventory(Globals::CurrentCatNum, itemNum);
        InventoryList.setRows(1);
        fillItems();
    });
}

void InvSearch::btnOK_Click() {
    vb::Trap(label("btnOK_Click"), [&] {
        // Never recreate a closed editor by touching it: it would come back
        // hidden and without its invoice.
        if (!forms::Form::isLoaded<InvoiceDetail>()) {
            forms::Form::Unload(this);
            return;
        }
        InvoiceDetail& detail = forms::Form::get<InvoiceDetail>();
        detail.OldQty = 1;
        const int r = InventoryList.Row();
        if (r == 0) return;
        if (!detail.CheckClient()) return;

        const int32_t item = vb::CLng(vb::Variant(InventoryList.TextMatrix(r, 0)));
        const QString description = InventoryList.TextMatrix(r, 1);
        const QString price = vb::FormatCurrencyExact(vb::ParseCurrency(InventoryList.TextMatrix(r, 2)));

        controls::FlexGrid& grid = detail.ItemList;
        int pickRow = 0;
        // Whatever stops the add takes the unsaved row away again; the stock
        // moves only with the line, so nothing else is left to undo.
        auto undo = [&] {
            if (pickRow > 0 && pickRow < grid.Rows()) grid.RemoveItem(pickRow);
        };
        Invoice::LineSave saved = Invoice::LineFailed;
        const int32_t num = vb::CLng(vb::Variant(detail.lblInvoiceNum.Caption()));
        try {
            grid.setRows(grid.Rows() + 1);
            // A code move with its events: the row left is saved when changed.
            grid.setRow(grid.Rows() - 1);
            pickRow = grid.Rows() - 1;
            Globals::PickRow = pickRow;

            grid.setTextMatrix(pickRow, colItem, InventoryList.TextMatrix(r, 0));
            grid.setTextMatrix(pickRow, colNotes, description);
            grid.setTextMatrix(pickRow, colCharge, price);
            grid.setTextMatrix(pickRow, colQty, QStringLiteral("1"));
            grid.setTextMatrix(pickRow, colTotal, price);
            grid.setTextMatrix(pickRow, colBackOrder, QString());

            std::shared_ptr<Invoice> shared = Globals::SharedInvoice;
            if (!shared) vb::Raise(vb::err::ObjectNotSet);
            const ConnectionScope opened = shared->OpenScope();
            shared->TransNum = 0;
            shared->setInvoiceNum(num);
            shared->ItemNum = item;
            shared->setQty(1);
            shared->TransNotes = description;
            shared->setCharge(vb::ParseCurrency(price));
            shared->BackOrder = 0;
            // The unit is taken and the line written together, or neither.
            saved = shared->SaveLineAccess();
            if (saved == Invoice::LineSaved) {
                detail.QtyResult = shared->StockAfter;
                const QString bo = shared->BackOrder == 0 ? QString() : QString::number(shared->BackOrder);
                grid.setTextMatrix(pickRow, colBackOrder, bo);
                grid.setTextMatrix(pickRow, colLine, QString::number(shared->TransNum));
                grid.setTextMatrix(pickRow, colSel, QStringLiteral(">"));
                Globals::InvoicesUpdated = true;
            }
        } catch (...) {
            undo();
            throw;
        }
        if (saved != Invoice::LineSaved) {
            undo();
            InvoiceDetail::TellLineRefused(saved, num, item);
            // Nothing can be added to a deleted invoice; otherwise the picker stays open.
            if (saved == Invoice::InvoiceGone) forms::Form::Unload(this);
            return;
        }
        // Told only once the unit and the line are both in the file.
        const int32_t result = detail.QtyResult;
        if (result > Inventory::NotTracked && result < 0)
            vb::MsgBox(QStringLiteral("No ") + description +
                       QStringLiteral(" in Inventory.  Is marked as Back Ordered in Invoice!"));
        else if (result == 0)
            vb::MsgBox(QStringLiteral("Last ") + description + QStringLiteral(" in Inventory added to Invoice."));

        detail.GetInvoiceTotal();
        forms::Form::Unload(this);
        detail.ItemList.SetFocus();
    });
}

void InvSearch::btnCancel_Click() { forms::Form::Unload(this); }

void InvSearch::btnInventory_Click() {
    Globals::CurrentCatNum = 1;
    OpenInventoryWindow();
}

void InvSearch::OpenInventoryWindow() { forms::Form::get<frmInventory>().Show(); }

void InvSearch::InventoryList_DblClick() { btnOK_Click(); }

void InvSearch::InventoryList_KeyDown(int& KeyCode, int Shift) {
    if (KeyCode == 13) {
        KeyCode = 0;   // picked here: not again by the Ok button
        btnOK_Click();
    }
}
