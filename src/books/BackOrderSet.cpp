#include "books/BackOrderSet.h"
#include <cmath>
#include <memory>
#include <vector>
#include <QCloseEvent>
#include <QStyle>
#include "ado/Recordset.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {
constexpr int kGridWidth = 8160, kGridHeight = 4200;
constexpr int kButtonTop = 120 + kGridHeight + 120;
constexpr int kClientWidth = 120 + kGridWidth + 120;
constexpr int kClientHeight = kButtonTop + 420 + 120;
} // namespace

// ---- the list both windows share ------------------------------------------------

BackOrderList::BackOrderList(const char* name) : name_(name) {
    setClientSize(kClientWidth, kClientHeight);
    InventoryList.Move(120, 120, kGridWidth, kGridHeight);
    InventoryList.setEditable(true);
    InventoryList.AfterEdit = [this](int r, int c) { InventoryList_AfterEdit(r, c); };
    InventoryList.BeforeEdit = [this](int r, int c, bool& cancel) { InventoryList_BeforeEdit(r, c, cancel); };
    InventoryList.Click = [this] { InventoryList_Click(); };
    InventoryList.GotFocus = [this] { InventoryList_GotFocus(); };
}

QString BackOrderList::label(const char* proc) const {
    return QString::fromLatin1(name_) + QLatin1Char('.') + QString::fromLatin1(proc) + QStringLiteral(" -");
}

void BackOrderList::Form_Load() {
    vb::Trap(label("Form_Load"), [this] {
        const std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
        if (!invoice) vb::Raise(vb::err::ObjectNotSet);
        invoice->OpenCn();
        Globals::rsBackOrders = invoice->GetBackOrderItems();
        invoice->CloseCn();
        SetForm();
    });
}

void BackOrderList::SetForm() {
    vb::Trap(label("SetForm"), [this] {
        controls::FlexGrid& g = InventoryList;
        g.Clear();
        g.setCols(8);
        g.setRows(1);
        g.setFormatString(QStringLiteral("Line #|Invoice Date|Inventory#|Invoice#|Description|Qty|Client|Order Date"));
        const int widths[] = {1000, 1000, 800, 800, 1800, 500, 1000, 1000};
        for (int c = 0; c < 8; ++c) g.setColWidth(c, widths[c]);

        const ado::RecordsetPtr rs = Globals::rsBackOrders;
        // No record set: the query has already reported why; the list stays empty.
        if (!rs) return;
        const controls::FlexGrid::RedrawOff redrawOff(g);
        while (!rs->Eof()) {
            const vb::Variant qty = rs->Fields("BackOrderQty").Value();
            const QString cells[] = {
                rs->Fields("TransNum").Value().str(),
                rs->Fields("InvoiceDate").Value().str(),
                rs->Fields("ItemNum").Value().str(),
                rs->Fields("InvoiceNum").Value().str(),
                rs->Fields("Notes").Value().str(),
                qty.isNull() || qty.isEmpty() ? QString() : vb::CStr(vb::Variant(std::fabs(vb::CDbl(qty)))),
                rs->Fields("Fname").Value().str() + QLatin1Char(' ') + rs->Fields("Lname").Value().str(),
                rs->Fields("Ordered").Value().str(),
            };
            // Cell by cell, so a tab typed into a description stays in its cell.
            const int r = g.Rows();
            g.setRows(r + 1);
            for (int c = 0; c < 8; ++c) g.setTextMatrix(r, c, cells[c]);
            rs->MoveNext();
        }
    });
}

void BackOrderList::InventoryList_AfterEdit(int, int) { BackOrderChanged = true; }

// Only the Order Date is the user's to type: the other cells are what the
// dates are stored against, and the line number in column 0 is the key.
void BackOrderList::InventoryList_BeforeEdit(int, int Col, bool& Cancel) {
    if (Col != colOrderDate) Cancel = true;
}

void BackOrderList::InventoryList_Click() {
    if (InventoryList.Rows() > 1 && InventoryList.Row() >= 1) InventoryList.setCol(colOrderDate);
}

void BackOrderList::InventoryList_GotFocus() {
    if (InventoryList.Rows() > 1 && InventoryList.Row() >= 1) InventoryList.setCol(colOrderDate);
}

bool BackOrderList::StoreOrderDates() {
    bool stored = false;
    vb::Trap(label("SaveRows"), [this, &stored] {
        const controls::FlexGrid& g = InventoryList;
        struct Dated {
            int32_t transNum;
            vb::Date date;
        };
        // Every date is read before anything is stored, so a cell that holds
        // no date refuses the whole save instead of storing half of it. A
        // row left empty is a line not ordered yet and is passed over.
        std::vector<Dated> dated;
        for (int r = 1; r < g.Rows(); ++r) {
            const QString text = g.TextMatrix(r, colOrderDate).trimmed();
            if (text.isEmpty()) continue;
            dated.push_back({vb::CLng(vb::Variant(g.TextMatrix(r, colTransNum))), vb::TextToDate(text)});
        }
        if (dated.empty()) {
            stored = true;
            return;
        }
        const std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
        if (!invoice) vb::Raise(vb::err::ObjectNotSet);
        const ConnectionScope opened = invoice->OpenScope();
        // A row the data file refuses has been reported; the others still go in.
        bool all = true;
        for (const Dated& d : dated)
            if (!invoice->SaveOrderDate(d.transNum, d.date)) all = false;
        stored = all;
    });
    return stored;
}

bool BackOrderList::AskToLeave() {
    if (!BackOrderChanged) return true;
    const int answer = vb::MsgBox(QStringLiteral("Save Changes to BackOrder Items?"),
                                  vb::vbYesNoCancel + vb::vbQuestion + vb::vbDefaultButton2,
                                  QStringLiteral("Save Order Dates?"));
    if (answer == vb::vbNo) return true;
    if (answer != vb::vbYes) return false;
    if (StoreOrderDates()) BackOrderChanged = false;
    // A save that did not go through keeps the window and its dates.
    return !BackOrderChanged;
}

void BackOrderList::closeEvent(QCloseEvent* e) {
    // The close box asks as the close button does.
    e->ignore();
    if (IsLoaded()) CloseWindow();
}

// ---- the order-date window ------------------------------------------------------

BackOrderSet::BackOrderSet() : BackOrderList("BackOrderSet") {
    setCaption(QStringLiteral("Set Order Date for Backordered Items"));
    btnSave.setPicture(controls::pictures::Save);
    btnSave.setToolTipText(QStringLiteral("Save Order Dates"));
    btnSave.Move(120, kButtonTop, 450, 420);
    btnSetAll.setCaption(QStringLiteral("&Set All Ordered Today!"));
    btnSetAll.Move(690, kButtonTop, 2600, 420);
    Command2.setPicture(controls::pictures::Close);
    Command2.setToolTipText(QStringLiteral("Exit"));
    Command2.setCancel(true);
    Command2.Move(kClientWidth - 120 - 450, kButtonTop, 450, 420);
    forms::Form::setKeyboardOrder({&InventoryList, &btnSave, &btnSetAll, &Command2});

    btnSave.Click = [this] { btnSave_Click(); };
    btnSetAll.Click = [this] { btnSetAll_Click(); };
    Command2.Click = [this] { Command2_Click(); };
}

bool BackOrderSet::SaveRows() { return StoreOrderDates(); }

void BackOrderSet::btnSave_Click() {
    vb::Trap(label("btnSave_Click"), [this] {
        // Dates the data file did not take stay pending.
        if (SaveRows()) BackOrderChanged = false;
    });
}

void BackOrderSet::btnSetAll_Click() {
    vb::Trap(label("btnSetAll_Click"), [this] {
        controls::FlexGrid& g = InventoryList;
        if (g.Rows() < 2) return;
        const QString today = vb::DateToText(vb::Today());
        for (int r = 1; r < g.Rows(); ++r) g.setTextMatrix(r, colOrderDate, today);
        BackOrderChanged = true;
    });
}

void BackOrderSet::Command2_Click() {
    vb::Trap(label("Command2_Click"), [this] {
        if (AskToLeave()) forms::Form::Unload(this);
    });
}
