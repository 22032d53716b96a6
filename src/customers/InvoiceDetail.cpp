#include "customers/InvoiceDetail.h"
#include <algorithm>
#include <memory>
#include <QApplication>
#include <QFont>
#include <QStyle>
#include "ado/Recordset.h"
#include "customers/CustInvoices.h"
#include "customers/InvSearch.h"
#include "customers/Receipts.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "data/Invoice.h"
#include "forms/App.h"
#include "reports/PrtInvoice.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

const QString kForm = QStringLiteral("InvoiceDetail.");
QString label(const char* proc) { return kForm + QString::fromLatin1(proc) + QStringLiteral(" -"); }

// Item grid columns.
constexpr int colSel = 0, colLine = 1, colItem = 2, colQty = 3, colCharge = 4, colNotes = 5, colTotal = 6,
              colBackOrder = 7;

// Save reads money leniently: empty or unreadable text counts as 0.
vb::Currency lenientAmount(const QString& text) {
    if (text.trimmed().isEmpty()) return vb::Currency();
    try {
        return vb::ParseCurrency(text);
    } catch (const vb::RuntimeError&) {
        return vb::Currency();
    }
}

QString numberText(double x) { return vb::CStr(vb::Variant(x)); }

} // namespace

InvoiceDetail::InvoiceDetail()
    : rows_(ItemList, Globals::RowChanged, ItemListOldRow, ItemListNewRow,
            controls::GridRowEditor::Options{
                .formName = QStringLiteral("InvoiceDetail"),
                .afterRowEditName = QStringLiteral("ItemList_AfterRowEdit"),
                .keyCol = colLine,
                .requiredCol = colItem,
            }) {
    setCaption(QStringLiteral("Invoice Details"));
    layoutControls();

    rows_.SaveRecord = [this](int row, QString& key) { return SaveLine(row, key); };
    rows_.RowSaved = [this](int row) {
        // Saving the first line stores the header with it, so no line exists
        // without its header row.
        if (row == 1) btnSave_Click();
    };

    btnSave.Click = [this] { btnSave_Click(); };
    btnExit.Click = [this] { btnExit_Click(); };
    btnPrint.Click = [this] { btnPrint_Click(); };
    btnNew.Click = [this] { btnNew_Click(); };
    btnNewItem.Click = [this] { btnNewItem_Click(); };
    btnRemove.Click = [this] { btnRemove_Click(); };
    btnPayments.Click = [this] { btnPayments_Click(); };
    btnTax.Click = [this] { btnTax_Click(); };

    txtDate.Change = [this] { txtDate_Change(); };
    txtDescription.Change = [this] { txtDescription_Change(); };
    txtDiscount.Change = [this] { txtDiscount_Change(); };
    txtInterest.Change = [this] { txtInterest_Change(); };
    txtSalesRep.Change = [this] { txtSalesRep_Change(); };
    txtShipCharge.Change = [this] { txtShipCharge_Change(); };
    txtShipDate.Change = [this] { txtShipDate_Change(); };
    txtTax.Change = [this] { txtTax_Change(); };
    txtTerms.Change = [this] { txtTerms_Change(); };
    txtTrackNum.Change = [this] { txtTrackNum_Change(); };
    cmbShipType.Change = [this] { cmbShipType_Change(); };
    txtShipCharge.LostFocus = [this] { txtShipCharge_LostFocus(); };

    ItemList.BeforeEdit = [this](int r, int c, bool& cancel) { ItemList_BeforeEdit(r, c, cancel); };
    ItemList.AfterEdit = [this](int r, int c) { ItemList_AfterEdit(r, c); };
    ItemList.LeaveCell = [this] { ItemList_LeaveCell(); };
    ItemList.RowColChange = [this] { ItemList_RowColChange(); };
    ItemList.GotFocus = [this] { ItemList_GotFocus(); };
    ItemList.LostFocus = [this] { ItemList_LostFocus(); };

    watch_ = RecordEvents::Subscribe([this](const RecordEvents::Event& e) { OnRecordEvent(e); });
}

void InvoiceDetail::OnRecordEvent(const RecordEvents::Event& e) {
    if (!IsLoaded() || discarding_) return;
    int32_t shown = 0;
    vb::IgnoreErrors([&] { shown = vb::CLng(vb::Variant(lblInvoiceNum.Caption())); });
    const bool gone = (e.what == RecordEvents::InvoiceDeleted && e.key == shown && shown != 0) ||
                      (e.what == RecordEvents::ClientDeleted && e.key == invoiceCust_ && invoiceCust_ > 0);
    if (!gone) return;
    // Nothing of it is left to save: the pending line and the typed header go.
    discarding_ = true;
    if (rows_.ChangedHere()) rows_.ClearChanged();
    Globals::InvoiceChanged = false;
    forms::Form::Unload(this);
}

InvoiceDetail::~InvoiceDetail() = default;

void InvoiceDetail::layoutControls() {
    setClientSize(10200, 7260);

    auto caption = [](controls::Label& l, const char* text, int left, int top, int width) {
        l.setCaption(QString::fromLatin1(text));
        l.Move(left, top, width, 285);
    };
    caption(lblInvoiceNumCaption, "Invoice #:", 120, 165, 1400);
    lblInvoiceNum.Move(1560, 165, 1400, 285);
    caption(lblCustomerCaption, "Customer:", 3120, 165, 1200);
    lblCustomer.Move(4320, 165, 5760, 285);
    QFont bold = lblInvoiceNum.font();
    bold.setBold(true);
    lblInvoiceNum.setFont(bold);
    lblCustomer.setFont(bold);

    caption(lblDate, "Date:", 120, 570, 1400);
    txtDate.Move(1560, 540, 1400, 315);
    caption(lblDescription, "Description:", 3120, 570, 1200);
    txtDescription.Move(4320, 540, 5760, 315);

    caption(lblSalesRep, "Sales Rep:", 120, 960, 1400);
    txtSalesRep.Move(1560, 930, 1400, 315);
    caption(lblTerms, "Terms:", 3120, 960, 1200);
    txtTerms.Move(4320, 930, 2400, 315);
    caption(lblDiscount, "Discount%:", 7020, 960, 1200);
    txtDiscount.Move(8220, 930, 900, 315);

    fraShipping.setCaption(QStringLiteral("Shipping"));
    fraShipping.Move(120, 1380, 9960, 1110);
    caption(lblShipCharge, "Shipping Charge:", 120, 360, 1700);
    txtShipCharge.Move(1860, 330, 1200, 315);
    caption(lblShipDate, "Date:", 3300, 360, 600);
    txtShipDate.Move(3900, 330, 1400, 315);
    caption(lblShipType, "Type:", 5520, 360, 600);
    cmbShipType.Move(6120, 330, 3660, 315);
    caption(lblTrackNum, "Tracking#:", 120, 720, 1700);
    txtTrackNum.Move(1860, 690, 3440, 315);

    caption(lblItems, "Invoice Items", 120, 2610, 2000);
    ItemList.Move(120, 2880, 9960, 2880);
    ItemList.setEditable(true);
    ItemList.setFixedCols(1);

    caption(lblInterest, "Interest Charge:", 120, 5940, 1500);
    txtInterest.Move(1680, 5910, 1260, 315);
    btnTax.setCaption(QStringLiteral("Sales Tax ->"));
    btnTax.setToolTipText(QStringLiteral("Calculate State Sales Tax"));
    btnTax.Move(3240, 5880, 1400, 375);
    txtTax.Move(4740, 5910, 1260, 315);
    caption(lblTotalCaption, "Total Charges:", 6300, 5940, 1440);
    lblTotal.Move(7740, 5940, 2340, 285);
    lblTotal.setFont(bold);

    struct B {
        controls::CommandButton* b;
        const char* tip;
        controls::Picture picture;
    };
    const B buttons[] = {
        {&btnSave, "Save this invoice", controls::pictures::Save},
        {&btnNew, "Enter new sales invoice for this client", controls::pictures::NewInvoice},
        {&btnNewItem, "Add inventory item to invoice", controls::pictures::Add},
        {&btnRemove, "Delete Selected Item", controls::pictures::Delete},
        {&btnPayments, "Enter payments received from this client", controls::pictures::ClientPayments},
        {&btnPrint, "Print this invoice", controls::pictures::Print},
        {&btnExit, "Exit Invoice Details", controls::pictures::Close},
    };
    int left = 120;
    for (const B& b : buttons) {
        b.b->setToolTipText(QString::fromLatin1(b.tip));
        b.b->setPicture(b.picture);
        b.b->setIconSize(QSize(24, 24));
        // Exit stands apart at the right edge.
        if (b.b == &btnExit) left = 10080 - 660;
        b.b->Move(left, 6480, 660, 600);
        left += 720;
    }
    forms::Form::setKeyboardOrder({&txtDate, &txtDescription, &txtSalesRep, &txtTerms, &txtDiscount, &txtShipCharge,
                                   &txtShipDate, &cmbShipType, &txtTrackNum, &ItemList, &txtInterest, &btnTax, &txtTax,
                                   &btnSave, &btnNew, &btnNewItem, &btnRemove, &btnPayments, &btnPrint, &btnExit});
}

// ---------------------------------------------------------------- load

void InvoiceDetail::layoutGrid() {
    ItemList.Clear();
    ItemList.setCols(8);
    ItemList.setFormatString(QStringLiteral("^Sel|TransNum|Inventory#|>Quantity|>Charge|Description|>Total|>Back Order"));
    const int widths[] = {400, 0, 1000, 800, 1000, 3000, 1000, 800};
    for (int c = 0; c < 8; ++c) ItemList.setColWidth(c, widths[c]);
    ItemList.setColDataType(colCharge, controls::flexDTCurrency);
    ItemList.setRows(1);
}

void InvoiceDetail::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        SkipTotal = true;
        OldQty = 0;
        ItemListOldRow = 0;
        ItemListNewRow = 0;
        layoutGrid();

        cmbShipType.Clear();
        if (ado::RecordsetPtr ship = Globals::rsShipping) {
            ship->MoveFirst();
            while (!ship->Eof()) {
                cmbShipType.AddItem(ship->Fields("Service").Value().str() + QLatin1Char(' ') +
                                    ship->Fields("Option").Value().str());
                ship->MoveNext();
            }
        }

        std::shared_ptr<Invoice> shared = Globals::SharedInvoice;
        if (Globals::CurrentInvoiceNum != 0) {
            const int32_t num = Globals::CurrentInvoiceNum;
            ado::RecordsetPtr lines;
            {
                const auto inv = Globals::Required(shared);
                const ConnectionScope opened = inv->OpenScope();
                const bool found = inv->GetInvoice(num);
                loadedHeader_ = inv->Header();
                headerStored_ = found;
                // The invoice keeps the client it was written for, whoever is
                // selected elsewhere later.
                invoiceCust_ = found ? inv->CustNum() : Globals::CurrentCustNum;
                lblInvoiceNum.setCaption(QString::number(num));
                showHeader(*shared);
                lines = inv->GetInvoiceItems(num);
                lblTotal.setCaption(vb::FormatCurrency(inv->InvoiceTotal(num)));
            }
            showClientName(invoiceCust_);
            fillGrid(lines);
            Globals::InvoiceChanged = false;
        } else {
            NewInvoiceUnsaved = true;
            headerStored_ = false;
            {
                const auto inv = Globals::Required(shared);
                const ConnectionScope opened = inv->OpenScope();
                inv->GetnewInvoiceNum();
                lblInvoiceNum.setCaption(QString::number(inv->InvoiceNum()));
            }
            showBlankHeader();
            invoiceCust_ = Globals::CurrentCustNum;
            showClientName(invoiceCust_);
            lblTotal.setCaption(QString());
            Globals::InvoiceChanged = true;
        }
    });
}

void InvoiceDetail::showHeader(const Invoice& inv) {
    txtDate.setText(vb::DateToText(inv.InvoiceDate));
    txtDescription.setText(inv.description);
    txtSalesRep.setText(inv.SalesRep);
    txtDiscount.setText(numberText(inv.Discount));
    // A header stored without a shipping date (read as the empty date) shows none.
    txtShipDate.setText(inv.Shippingdate.isZero() ? QString() : vb::DateToText(inv.Shippingdate));
    // Stored amounts show all their decimals, so a save reads back the same.
    txtShipCharge.setText(vb::FormatCurrencyExact(inv.ShippingCharge));
    cmbShipType.setText(inv.ShippingType);
    txtTrackNum.setText(inv.TrackingNum);
    txtTerms.setText(inv.Terms);
    txtTax.setText(vb::FormatCurrencyExact(inv.Tax));
    txtInterest.setText(vb::FormatCurrencyExact(inv.Interest));
}

// A new invoice starts blank, as a header that has no row reads.
void InvoiceDetail::showBlankHeader() {
    const vb::Date today = vb::Today();
    txtDescription.setText(QString());
    txtDate.setText(vb::DateToText(today));
    txtDiscount.setText(numberText(Globals::CurrentCustDiscount));
    txtSalesRep.setText(QString());
    txtTerms.setText(QString());
    txtShipDate.setText(vb::DateToText(today));
    txtShipCharge.setText(vb::FormatCurrency(vb::Currency()));
    cmbShipType.setText(QString());
    txtTrackNum.setText(QString());
    txtTax.setText(vb::FormatCurrency(vb::Currency()));
    txtInterest.setText(vb::FormatCurrency(vb::Currency()));
}

void InvoiceDetail::showClientName(int32_t custNum) {
    // A client that has no row has no name to show (and gets no invoice).
    if (!Client::Exists(custNum)) {
        lblCustomer.setCaption(QString());
        return;
    }
    const auto client = Globals::Required(Globals::SharedClient);
    const ConnectionScope opened = client->OpenScope();
    // An empty middle name leaves one blank, not two.
    lblCustomer.setCaption(client->ClientName(custNum).simplified());
}

void InvoiceDetail::fillGrid(const ado::RecordsetPtr& lines) {
    if (!lines) vb::Raise(vb::err::ObjectNotSet);
    // Lines show in the order they were added, whatever order the query
    // happens to return them in.
    lines->setSort(QStringLiteral("TransNum"));
    const controls::FlexGrid::RedrawOff redrawOff(ItemList);
    int counter = 1;
    const QChar tab = QLatin1Char('\t');
    while (!lines->Eof()) {
        const vb::Variant qty = lines->Fields("Qty").Value();
        const vb::Variant amount = lines->Fields("Amount").Value();
        const double q = qty.isNull() ? 0.0 : vb::CDbl(qty);
        const vb::Currency a = amount.isNull() ? vb::Currency() : vb::CCur(amount);
        // A stored quantity of 0 has no unit charge: it shows 0, and the
        // lines after it still load.
        UnitPrice = q == 0.0 ? vb::Currency() : vb::Currency::fromDouble(a.toDouble() / q);
        const vb::Variant bo = lines->Fields("BackOrder").Value();
        QString backOrder = bo.isNull() ? QString() : vb::CStr(bo);
        if (backOrder == QLatin1String("0")) backOrder.clear();
        const QString row = QString() + tab + vb::CStr(lines->Fields("TransNum").Value()) + tab +
                            vb::CStr(lines->Fields("ItemNum").Value()) + tab +
                            (qty.isNull() ? QString() : vb::CStr(qty)) + tab + vb::FormatCurrencyExact(UnitPrice) + tab +
                            lines->Fields("Notes").Value().str() + tab + vb::FormatCurrencyExact(a) + tab + backOrder;
        ItemList.AddItem(row, counter);
        ++counter;
        lines->MoveNext();
    }
    ItemList.setRows(int(lines->RecordCount()) + 1);
    ItemList.setColDataType(colTotal, controls::flexDTCurrency);
}

void InvoiceDetail::Form_QueryUnload(bool& Cancel, int UnloadMode) {
    closeMode_ = UnloadMode;
    // A line edited and not yet saved is saved before the window goes,
    // whichever way it is closed; one that cannot be saved keeps the window
    // when the user says so. An invoice deleted elsewhere has nothing left
    // to save.
    if (discarding_) return;
    if (!rows_.SaveBeforeClose([this] { ItemList_LostFocus(); })) {
        Cancel = true;
        return;
    }
    // Typed header changes get the save question on every way out; Cancel,
    // or a save that is refused, keeps the window and stops whatever closed it.
    if (!AskToSave()) Cancel = true;
}


// ---------------------------------------------------------------- totals

void InvoiceDetail::GetInvoiceTotal() {
    vb::Trap(label("GetInvoiceTotal"), [&] {
        vb::Currency total;
        if (ItemList.Rows() > 1) {
            vb::Currency sum;
            for (int r = 1; r < ItemList.Rows(); ++r) {
                const QString cell = ItemList.TextMatrix(r, colTotal);
                if (!cell.isEmpty()) sum += vb::ParseCurrency(cell);
            }
            double discount = 0;
            if (!Globals::ReadDiscount(txtDiscount.Text(), discount)) return;
            // By the stored total's own rule.
            total = Invoice::TotalOf(sum, discount, vb::ParseCurrency(txtShipCharge.Text()),
                                     vb::ParseCurrency(txtInterest.Text()), vb::ParseCurrency(txtTax.Text()));
        }
        lblTotal.setCaption(vb::FormatCurrency(total));
    });
}

void InvoiceDetail::GetTax() {
    vb::Trap(label("GetTax"), [&] {
        vb::Currency sum;
        if (ItemList.Rows() >= 2) {
            for (int r = 1; r < ItemList.Rows(); ++r) {
                const QString cell = ItemList.TextMatrix(r, colTotal);
                if (!cell.isEmpty()) sum += vb::ParseCurrency(cell);
            }
        }
        double discount = 0;
        if (!Globals::ReadDiscount(txtDiscount.Text(), discount)) return;
        const vb::Currency discounted = sum - vb::Currency::fromDouble(sum.toDouble() * discount / 100.0);
        const double tax = discounted.toDouble() * (Globals::StateTaxRate / 100.0);
        txtTax.setText(vb::FormatCurrency(vb::Currency::fromDouble(tax)));
        GetInvoiceTotal();
    });
}

void InvoiceDetail::btnTax_Click() { GetTax(); }

// ---------------------------------------------------------------- header

bool InvoiceDetail::CheckClient() const {
    if (Client::Exists(invoiceCust_)) return true;
    vb::MsgBox(QStringLiteral("Select or enter a client first."));
    return false;
}

bool InvoiceDetail::CheckHeader() const {
    if (!headerStored_) return true;
    const int32_t num = vb::CLng(vb::Variant(lblInvoiceNum.Caption()));
    // A private instance, so the shared invoice keeps what it holds.
    Invoice probe;
    probe.InitAccess(Globals::DataFilePath());
    probe.OpenCn();
    const bool found = probe.GetInvoice(num);
    probe.CloseCn();
    if (found) return true;
    TellLineRefused(Invoice::InvoiceGone, num, 0);
    return false;
}

void InvoiceDetail::TellLineRefused(int outcome, int32_t invoiceNum, int32_t itemNum) {
    QString why;
    if (outcome == Invoice::InvoiceGone)
        why = QStringLiteral("Invoice ") + QString::number(invoiceNum) + QStringLiteral(" has been deleted; it was not saved.");
    else if (outcome == Invoice::LineGone)
        why = QStringLiteral("This line has been removed from the invoice; it was not saved.");
    else if (outcome == Invoice::ItemGone)
        why = QStringLiteral("Item ") + QString::number(itemNum) + QStringLiteral(" is no longer in the inventory; the line was not saved.");
    if (!why.isEmpty()) vb::MsgBox(why, vb::vbOKOnly);
}

bool InvoiceDetail::SaveInvoice() {
    bool saved = false;
    vb::Trap(label("btnSave_Click"), [&] {
        // A box that is not a date stops the save; the edits stay unsaved.
        vb::Date invoiceDate, shipDate;
        if (!vb::TryTextToDate(txtDate.Text(), invoiceDate)) {
            vb::MsgBox(QStringLiteral("Date is not a valid date."), vb::vbOKOnly);
            return;
        }
        if (!vb::TryTextToDate(txtShipDate.Text(), shipDate)) {
            vb::MsgBox(QStringLiteral("Shipping Date is not a valid date."), vb::vbOKOnly);
            return;
        }
        if (!CheckHeader() || !CheckClient()) return;
        // A refused discount saves nothing and keeps every edit.
        double discount = 0;
        if (!Globals::ReadDiscount(txtDiscount.Text(), discount)) return;
        std::shared_ptr<Invoice> shared = Globals::SharedInvoice;
        int32_t num = vb::CLng(vb::Variant(lblInvoiceNum.Caption()));
        {
            const auto inv = Globals::Required(shared);
            const ConnectionScope opened = inv->OpenScope();
            inv->setInvoiceNum(num);
            inv->setCustNum(invoiceCust_);
            inv->InvoiceDate = invoiceDate;
            inv->description = txtDescription.Text();
            inv->SalesRep = txtSalesRep.Text();
            inv->Discount = discount;
            inv->Shippingdate = shipDate;
            inv->ShippingCharge = lenientAmount(txtShipCharge.Text());
            inv->ShippingType = cmbShipType.Text();
            inv->TrackingNum = txtTrackNum.Text();
            inv->Terms = txtTerms.Text();
            inv->Tax = lenientAmount(txtTax.Text());
            inv->Interest = lenientAmount(txtInterest.Text());
            const bool first = !headerStored_;
            // What the user did not change stays as the file holds it now.
            if (!inv->SaveInvoiceAccess(first ? 0 : num, &loadedHeader_)) return;
            headerStored_ = true;
            if (first) {
                // The first save takes the number; another copy of the
                // program may have taken the one shown.
                NewInvoiceUnsaved = false;
                num = inv->InvoiceNum();
                lblInvoiceNum.setCaption(QString::number(num));
            }
            lblTotal.setCaption(vb::FormatCurrency(inv->InvoiceTotal(num)));
        }
        // A sales list listing this client renews its balance on the save.
        Globals::InvoiceChanged = false;
        saved = true;
    });
    return saved;
}

void InvoiceDetail::btnSave_Click() { SaveInvoice(); }

bool InvoiceDetail::AskToSave() {
    if (Globals::InvoiceChanged) {
        const int answer = vb::MsgBox(QStringLiteral("Save changes to invoice?"), 291, QStringLiteral("Save Invoice?"));
        if (answer == vb::vbCancel) return false;
        if (answer == vb::vbYes && !SaveInvoice()) return false;
    }
    Globals::InvoiceChanged = false;
    return true;
}

void InvoiceDetail::btnExit_Click() {
    vb::Trap(label("btnExit_Click"), [&] {
        // The pending line is settled before the header is asked about.
        if (!rows_.SaveBeforeClose([this] { ItemList_LostFocus(); })) return;
        if (!AskToSave()) return;
        // The sales list is renewed as the window goes (Form_Unload).
        forms::Form::Unload(this);
    });
}

void InvoiceDetail::Form_Unload() {
    // Whichever way the editor closed; not when it goes with its owner or
    // with the program, nor when its invoice was deleted.
    if (discarding_ || closeMode_ == vbFormOwner || closeMode_ == vbAppWindows || !Globals::InvoicesUpdated) return;
    vb::Trap(label("btnExit_Click"), [&] {
        Globals::CurrentCustNum = invoiceCust_;
        forms::Form::get<CustInvoices>().Refresh();
        forms::DoEvents();
        Globals::GetInvoices(vb::Date());
        forms::Form::get<CustInvoices>().Show();
        Globals::InvoicesUpdated = false;
    });
}

void InvoiceDetail::btnPrint_Click() {
    vb::Trap(label("btnPrint_Click"), [&] {
        // Only what is stored prints: an invoice never saved is asked about
        // even when nothing was typed, and No prints nothing.
        if (!headerStored_) Globals::InvoiceChanged = true;
        if (!AskToSave() || !headerStored_) return;
        Globals::CurrentInvoiceNum = vb::CLng(vb::Variant(lblInvoiceNum.Caption()));
        Globals::CurrentCustNum = invoiceCust_;
        OpenInvoicePreview();
    });
}

// Modeless and without owner, so it stays open after the editor closes.
void InvoiceDetail::OpenInvoicePreview() { PrtInvoice::ShowCurrent(); }

void InvoiceDetail::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] {
        if (!rows_.SaveOrDiscard(controls::GridRowEditor::DiscardQuestion(), [this] { ItemList_LostFocus(); }))
            return;
        if (!AskToSave()) return;
        // An open picker belongs to the invoice it was opened for; left open it
        // would add a line to the new invoice before its header exists.
        if (forms::Form::isLoaded<InvSearch>()) forms::Form::unload<InvSearch>();
        Globals::CurrentInvoiceNum = 0;
        Globals::CurrentInvoiceDate = vb::Today();
        Globals::CurrentCustName.clear();
        Globals::CurrentInvoiceDesc.clear();
        // A new invoice for this invoice's client. The discount the caller
        // passed is that client's (as shown in its editor, saved or not);
        // only when another client has been selected since is it read from
        // this client's record.
        const bool otherClientSelected = Globals::CurrentCustNum != invoiceCust_;
        Globals::CurrentCustNum = invoiceCust_;
        if (otherClientSelected && invoiceCust_ > 0) {
            Client probe;
            probe.InitAccess(Globals::DataFilePath());
            probe.OpenCn();
            if (probe.GetClient(invoiceCust_)) Globals::CurrentCustDiscount = probe.Discount;
            probe.CloseCn();
        }
        Form_Load();
    });
}

void InvoiceDetail::btnNewItem_Click() {
    vb::Trap(label("btnNewItem_Click"), [&] {
        // The header row exists before any line refers to it.
        if (NewInvoiceUnsaved && !SaveInvoice()) return;
        Globals::CurrentCatNum = 1;
        forms::Form::get<InvSearch>().Show(false, this);
    });
}

void InvoiceDetail::btnRemove_Click() {
    vb::Trap(label("btnRemove_Click"), [&] {
        const int r = ItemList.Row();
        const QString line = ItemList.TextMatrix(r, colLine);
        if (!line.isEmpty()) {
            // Converted before the connection opens: the header's caption fails here.
            const int32_t transNum = vb::CLng(vb::Variant(line));
            const QString question = QStringLiteral("Remove ") + ItemList.TextMatrix(r, colQty) +
                                     QStringLiteral(" x ") + ItemList.TextMatrix(r, colNotes) +
                                     QStringLiteral(" from this invoice?");
            if (vb::MsgBox(question, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2) == vb::vbYes) {
                bool deleted = false;
                {
                    const auto inv = Globals::Required(Globals::SharedInvoice);
                    const ConnectionScope opened = inv->OpenScope();
                    // The line's units go back to stock with it.
                    deleted = inv->DeleteInvoiceItem(transNum);
                }
                if (deleted) {
                    // Edits of the line still pending went with it; the sales
                    // list shows the new total once the editor closes.
                    if (ItemListOldRow == r && rows_.ChangedHere()) rows_.ClearChanged();
                    ItemList.RemoveItem(r);
                    Globals::InvoicesUpdated = true;
                }
            }
        }
        ItemList.setCol(colLine);
        GetInvoiceTotal();
    });
}

void InvoiceDetail::btnPayments_Click() {
    Globals::CurrentCustNum = invoiceCust_;
    OpenPaymentsWindow();
}

void InvoiceDetail::OpenPaymentsWindow() { Receipts::ShowCurrentClient(); }

void InvoiceDetail::markChanged() { Globals::InvoiceChanged = true; }
void InvoiceDetail::txtDate_Change() { markChanged(); }
void InvoiceDetail::txtDescription_Change() { markChanged(); }
void InvoiceDetail::txtDiscount_Change() { markChanged(); }
void InvoiceDetail::txtInterest_Change() { markChanged(); }
void InvoiceDetail::txtSalesRep_Change() { markChanged(); }
void InvoiceDetail::txtShipCharge_Change() { markChanged(); }
void InvoiceDetail::txtShipDate_Change() { markChanged(); }
void InvoiceDetail::txtTax_Change() { markChanged(); }
void InvoiceDetail::txtTerms_Change() { markChanged(); }
void InvoiceDetail::txtTrackNum_Change() { markChanged(); }
void InvoiceDetail::cmbShipType_Change() { markChanged(); }

void InvoiceDetail::txtShipCharge_LostFocus() {
    const QString text = txtShipCharge.Text();
    if (vb::Val(text) <= 0) return;
    // Only text that reads as an amount is rewritten; anything else stays as
    // typed ("5abc" too), and a failed read never reaches the user.
    try {
        txtShipCharge.setText(vb::FormatCurrencyExact(vb::ParseCurrency(text)));
    } catch (const vb::RuntimeError&) {
    }
}

// ---------------------------------------------------------------- item grid

void InvoiceDetail::ItemList_BeforeEdit(int Row, int Col, bool& Cancel) {
    vb::Trap(label("ItemList_BeforeEdit"), [&] {
        // A line's item is the one the picker took stock of: to change it,
        // remove the line and pick again. The Total is charge x quantity.
        if (Col == colItem || Col == colTotal) {
            Cancel = true;
            return;
        }
        cellBefore_ = ItemList.TextMatrix(Row, Col);
        if (Col != colQty) return;
        OldQty = cellBefore_.isEmpty() ? 0 : vb::CLng(vb::Variant(cellBefore_));
    });
}

// A quantity is a whole number of units (negative for a return); the stock
// moves by exactly what the line stores.
static bool readWholeNumber(const QString& text, int32_t& n) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok) n = v;
    return ok;
}

void InvoiceDetail::ItemList_AfterEdit(int Row, int Col) {
    vb::Trap(label("ItemList_AfterEdit"), [&] {
        ItemListOldRow = ItemList.Row();
        const int r = ItemListOldRow;
        const QString typed = ItemList.TextMatrix(r, Col);
        // A refused cell goes back to what it held.
        auto refuse = [&](const QString& message) {
            vb::MsgBox(message, vb::vbOKOnly);
            ItemList.setTextMatrix(r, Col, Col == colQty ? QString::number(OldQty) : cellBefore_);
        };
        if (Col == colQty) {
            int32_t qty = 0;
            if (!readWholeNumber(typed, qty)) return refuse(QStringLiteral("Quantity must be a whole number."));
            if (qty != OldQty) {
                NewQty = qty;
                if (!commitQuantity(r)) return;
            }
        } else if (Col == colCharge) {
            vb::Currency charge;
            try {
                charge = vb::ParseCurrency(typed);
            } catch (const vb::RuntimeError&) {
                return refuse(QStringLiteral("Charge must be an amount of money."));
            }
            ItemList.setTextMatrix(r, colCharge, vb::FormatCurrencyExact(charge));
            if (ItemList.TextMatrix(r, colCharge) != cellBefore_) {
                ItemList.setTextMatrix(r, colTotal, lineTotalText(r));
                rows_.MarkChanged();
                GetInvoiceTotal();
            }
        } else if (Col == colBackOrder) {
            // At most the line's whole quantity can wait for stock.
            const int32_t units = std::max(vb::CLng(vb::Variant(ItemList.TextMatrix(r, colQty))), 0);
            int32_t bo = 0;
            if (!typed.trimmed().isEmpty() && (!readWholeNumber(typed, bo) || bo > 0 || bo < -units))
                return refuse(QStringLiteral("Back Order must be a whole number from -%1 to 0.").arg(units));
            if (typed != cellBefore_) rows_.MarkChanged();
        } else if (typed != cellBefore_) {
            rows_.MarkChanged();
        }
        SetOldRowStatus();
    });
}

// The quantity is stored at once, with its stock move and the row's other
// edits, in one transaction; the line total and the invoice total follow.
bool InvoiceDetail::commitQuantity(int r) {
    const bool pendingBefore = rows_.ChangedHere();
    const QString totalBefore = ItemList.TextMatrix(r, colTotal);
    rows_.MarkChanged();
    if (!rows_.SaveRow()) {
        // Nothing moved: the line is as the file holds it.
        ItemList.setTextMatrix(r, colQty, QString::number(OldQty));
        ItemList.setTextMatrix(r, colTotal, totalBefore);
        if (!pendingBefore) rows_.ClearChanged();
        SetOldRowStatus();
        return false;
    }
    GetInvoiceTotal();
    if (QtyResult > Inventory::NotTracked && !ItemList.TextMatrix(r, colBackOrder).isEmpty())
        vb::MsgBox(QStringLiteral("No ") + ItemList.TextMatrix(r, colNotes) +
                   QStringLiteral(" in Inventory.  Is marked as Back Ordered in Invoice!"));
    return true;
}

QString InvoiceDetail::lineTotalText(int row) const {
    const vb::Currency charge = vb::ParseCurrency(ItemList.TextMatrix(row, colCharge));
    const double qty = vb::CDbl(vb::Variant(ItemList.TextMatrix(row, colQty)));
    return vb::FormatCurrencyExact(vb::Currency::fromDouble(charge.toDouble() * qty));
}

void InvoiceDetail::ItemList_LeaveCell() {
    vb::Trap(label("ItemList_LeaveCell"), [&] {
        rows_.LeaveCell();
        const int r = ItemListOldRow;
        if (r > 0 && !ItemList.TextMatrix(r, colItem).isEmpty() && !ItemList.TextMatrix(r, colLine).isEmpty())
            ItemList.setTextMatrix(r, colTotal, lineTotalText(r));
        if (!SkipTotal) GetInvoiceTotal();
        SkipTotal = false;
    });
}

void InvoiceDetail::ItemList_RowColChange() { rows_.RowColChange(); }

void InvoiceDetail::ItemList_GotFocus() {
    vb::Trap(label("ItemList_GotFocus"), [&] {
        ItemList.setRow(ItemList.Rows() - 1);
        ItemList.setCol(colQty);
    });
}

void InvoiceDetail::ItemList_LostFocus() { rows_.LostFocus(); }

void InvoiceDetail::SetOldRowStatus() { rows_.SetOldRowStatus(); }
void InvoiceDetail::SetNewRowStatus() { rows_.SetNewRowStatus(); }
void InvoiceDetail::ItemList_AfterRowEdit() { rows_.AfterRowEdit(); }
void InvoiceDetail::SaveRow() { rows_.SaveRow(); }

bool InvoiceDetail::SaveLine(int row, QString& key) {
    if (!CheckClient()) return false;
    // The stored amount is always charge x quantity, also when the quantity
    // was changed and saved before the cursor left the cell.
    ItemList.setTextMatrix(row, colTotal, lineTotalText(row));
    const int32_t transNum = key.isEmpty() ? 0 : vb::CLng(vb::Variant(key));
    const int32_t num = vb::CLng(vb::Variant(lblInvoiceNum.Caption()));
    std::shared_ptr<Invoice> shared = Globals::SharedInvoice;
    const auto inv = Globals::Required(shared);
    const ConnectionScope opened = inv->OpenScope();
    inv->TransNum = transNum;
    inv->setInvoiceNum(num);
    inv->ItemNum = vb::CLng(vb::Variant(ItemList.TextMatrix(row, colItem)));
    inv->setQty(vb::CLng(vb::Variant(ItemList.TextMatrix(row, colQty))));
    inv->TransNotes = ItemList.TextMatrix(row, colNotes);
    inv->setCharge(vb::ParseCurrency(ItemList.TextMatrix(row, colTotal)));
    const QString bo = ItemList.TextMatrix(row, colBackOrder);
    inv->BackOrder = bo.isEmpty() ? 0 : vb::CLng(vb::Variant(bo));
    // A line never brings back an invoice or a line deleted elsewhere.
    const Invoice::LineSave outcome = inv->SaveLineAccess();
    if (outcome != Invoice::LineSaved) {
        TellLineRefused(outcome, num, inv->ItemNum);
        return false;
    }
    QtyResult = inv->StockAfter;
    ItemList.setTextMatrix(row, colBackOrder, inv->BackOrder == 0 ? QString() : QString::number(inv->BackOrder));
    Globals::InvoicesUpdated = true;
    key = QString::number(inv->TransNum);
    return true;
}
