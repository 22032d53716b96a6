#include "customers/CustInvoices.h"
#include "books/frmInventory.h"
#include <cmath>
#include <QFont>
#include <QFontMetrics>
#include <QStyle>
#include "customers/Customer.h"
#include "customers/InvoiceDetail.h"
#include "customers/Profile.h"
#include "customers/Receipts.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "forms/Twips.h"
#include "reports/PrtInvoice.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

// The handlers of this window report under the name it had in the first
// releases of the program, which users quote when they write in.
QString label(const char* proc) {
    return QStringLiteral("ClientInvoices.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}

const QString kSection = QStringLiteral("CustInvoices");

int twips(double v) { return int(std::lround(v)); }

// The loaders give the date, number and charges columns fixed widths. A
// figure cut at its last digit reads as another amount, so the list's text
// is set smaller until the widest of them fits (cells keep three pixels clear
// on either side).
void fitListFont(controls::FlexGrid& grid) {
    const std::pair<QString, int> widest[] = {
        {vb::DateToText(vb::Date::fromYmd(2028, 12, 28)), 1000},
        {QStringLiteral("Invoice#"), 800},
        {QStringLiteral("888888"), 800},
        {vb::FormatCurrency(vb::Currency::fromDouble(88888.88)), 1000},
    };
    auto fits = [&](const QFont& f) {
        const QFontMetrics m(f);
        for (const auto& [text, width] : widest)
            if (m.horizontalAdvance(text) + 6 > forms::TwipsToPixelsX(width)) return false;
        return true;
    };
    QFont f = grid.font();
    if (f.pointSizeF() <= 0) return;
    while (!fits(f) && f.pointSizeF() > 6.5) f.setPointSizeF(f.pointSizeF() - 0.5);
    grid.setFont(f);
}

} // namespace

CustInvoices::CustInvoices() {
    setCaption(QStringLiteral("Client Sales"));

    const int left = controls::LayOutToolButtons({
        {&btnDetails, "View details for selected sales invoice", controls::pictures::InvoiceDetails, [this] { btnDetails_Click(); }},
        {&btnNewInvoice, "Enter new sales invoice for selected client", controls::pictures::NewInvoice, [this] { NewInvoice(); }},
        {&btnDelete, "Delete selected sales invoice", controls::pictures::Delete, [this] { btnDelete_Click(); }},
        {&btnPrint, "Print selected sales invoice", controls::pictures::Print, [this] { btnPrint_Click(); }},
        {&btnCustInfo, "Profile for selected client", controls::pictures::ClientProfile, [this] { btnCustInfo_Click(); }},
        {&btnReceipts, "Client Payments Received", controls::pictures::ClientPayments, [this] { btnReceipts_Click(); }},
        {&btnInventory, "Add to/Edit Inventory", controls::pictures::Inventory, [this] { btnInventory_Click(); }},
        {&btnExit, "Exit Client Sales", controls::pictures::Close, [this] { btnExit_Click(); }},
    }, 45, 45, 390, 330, 420);
    Frame2.Move(20, 0, 7840, 520);
    Frame3.Move(7840 - (left + 30), 110, left + 30, 400);

    Frame1.Move(20, 510, 7840, 470);
    Label4.setCaption(QStringLiteral("Sales Invoices for:"));
    Label4.Move(120, 150, 1750, 255);
    CmbInvoice.Move(1900, 100, 2000, 315);
    Label2.setCaption(QStringLiteral("Since:"));
    Label2.Move(4050, 150, 600, 255);
    txtSinceDate.Move(4650, 100, 900, 315);
    DTPicker1.Move(5600, 100, 1250, 315);
    btnGo.setCaption(QStringLiteral("&Go"));
    btnGo.setToolTipText(QStringLiteral("Get invoices for client and since date criteria"));
    btnGo.Move(6950, 90, 800, 330);

    InvoiceList.Move(20, 1000, 7840, 4300);
    fitListFont(InvoiceList);
    Label3.setCaption(QStringLiteral("Balance Due:"));
    Label3.Move(5700, 5350, 1000, 255);
    // The balance sits 1000 twips to its right, so the caption is set small.
    QFont small = Label3.font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    Label3.setFont(small);
    lblBalDue.Move(6700, 5335, 1200, 255);

    DTPicker1.Change = [this] { DTPicker1_Change(); };
    btnGo.Click = [this] { btnGo_Click(); };
    InvoiceList.Click = [this] { InvoiceList_Click(); };
    InvoiceList.DblClick = [this] { InvoiceList_DblClick(); };
    InvoiceList.KeyDown = [this](int& k, int s) { InvoiceList_KeyDown(k, s); };

    watch_ = RecordEvents::Subscribe([this](const RecordEvents::Event& e) {
        using namespace RecordEvents;
        if (!IsLoaded() || ListedClient == 0) return;
        const bool invoices = e.what == InvoiceSaved || e.what == InvoiceDeleted;
        const bool payments = e.what == PaymentSaved || e.what == PaymentDeleted;
        // Every client's list has no balance; a payment changes none of its rows.
        if (!(invoices || (payments && ListedClient > 0))) return;
        if (ListedClient > 0 && e.client != 0 && e.client != ListedClient) return;
        relistQueued_ = relistQueued_ || invoices;
        if (balanceQueued_) return;
        // Read once the writer is done: the balance read shares the writer's
        // connection and closes it.
        balanceQueued_ = true;
        QMetaObject::invokeMethod(this, [this] {
            balanceQueued_ = false;
            const bool relist = relistQueued_;
            relistQueued_ = false;
            if (!IsLoaded()) return;
            if (relist) Relist();
            else ShowBalance();
        }, Qt::QueuedConnection);
    });

    Move(100, 100, 8000, 6000);
}

CustInvoices::~CustInvoices() = default;

void CustInvoices::Form_Load() {
    vb::Trap(label("Form_Load"), [this] {
        using namespace Globals;
        DTPicker1.setValue(vb::Date::fromYmd(vb::Today().year(), 1, 1));
        txtSinceDate.setDateValue(DTPicker1.Value());
        CurrentSinceDate = DTPicker1.Value();
        CmbInvoice.Clear();
        CmbInvoice.AddItem(QStringLiteral("Selected Client"));
        CmbInvoice.AddItem(QStringLiteral("All Clients"));
        CmbInvoice.setText(CmbInvoice.List(0));
        const WindowGeometry g = ReadWindowGeometry(kSection, IniPath, 1, 7500, 6000);
        Move(twips(g.Left), twips(g.Top), twips(g.Width), twips(g.Height));
    });
}

void CustInvoices::ShowBalance() {
    vb::Trap(label("ShowBalance"), [this] {
        if (ListedClient <= 0) return;
        auto client = Globals::SharedClient;
        if (!client) vb::Raise(vb::err::ObjectNotSet);
        const ConnectionScope opened = client->OpenScope();
        const vb::Currency bal = client->ClientBal(ListedClient, vb::Date());
        lblBalDue.setCaption(vb::FormatCurrency(bal));
        lblBalDue.setForeColor(Client::Owes(bal) ? 255 : 0);
    });
}

void CustInvoices::Relist() {
    using namespace Globals;
    const int row = InvoiceList.Row();
    const QString shown = row >= 1 && row < InvoiceList.Rows() ? InvoiceList.TextMatrix(row, 1) : QString();
    const int32_t cust = CurrentCustNum, num = CurrentInvoiceNum;
    const vb::Date date = CurrentInvoiceDate;
    const QString name = CurrentCustName, desc = CurrentInvoiceDesc;
    if (ListedClient > 0) {
        CurrentCustNum = ListedClient;
        GetInvoices(vb::Date());
    } else {
        GetAllInvoices();
    }
    CurrentCustNum = cust;
    CurrentInvoiceNum = num;
    CurrentInvoiceDate = date;
    CurrentCustName = name;
    CurrentInvoiceDesc = desc;
    for (int r = 1; r < InvoiceList.Rows(); ++r)
        if (InvoiceList.TextMatrix(r, 1) == shown) InvoiceList.setRowColSilently(r, InvoiceList.Col());
}

void CustInvoices::DTPicker1_Change() { txtSinceDate.setDateValue(DTPicker1.Value()); }

void CustInvoices::btnGo_Click() {
    vb::Trap(label("btnGo_Click"), [this] {
        using namespace Globals;
        if (CmbInvoice.Text() == QStringLiteral("All Clients")) {
            CurrentCustName = QStringLiteral("All Clients");
            {
                StatusNotice<LoadingInvoices> notice(this);
                GetAllInvoices();
            }
            Label3.setVisible(false);
            lblBalDue.setVisible(false);
        } else {
            {
                // Closed on every path, also when the since-date is no date.
                StatusNotice<LoadingInvoices> notice(this);
                vb::Date since = txtSinceDate.DateValue();
                GetInvoices(since);
            }
            Label3.setVisible(true);
            lblBalDue.setVisible(true);
        }
    });
}

void CustInvoices::AssignRow(int r) {
    using namespace Globals;
    // The header row fails on its first cell, before anything is assigned.
    CurrentInvoiceDate = vb::CDate(vb::Variant(InvoiceList.TextMatrix(r, 0)));
    CurrentInvoiceNum = vb::CLng(vb::Variant(InvoiceList.TextMatrix(r, 1)));
    SetCurrentClient(vb::CLng(vb::Variant(InvoiceList.TextMatrix(r, 2))), InvoiceList.TextMatrix(r, 4));
    CurrentInvoiceDesc = InvoiceList.TextMatrix(r, 6);
}

bool CustInvoices::TakeCurrentRow() {
    const int r = InvoiceList.Row();
    if (r < 1 || r >= InvoiceList.Rows()) return false;
    bool ok = false;
    vb::IgnoreErrors([&] {
        AssignRow(r);
        ok = true;
    });
    return ok;
}

void CustInvoices::InvoiceList_Click() {
    try {
        AssignRow(InvoiceList.Row());
    } catch (...) {
        const vb::RuntimeError e = vb::ToRuntimeError(std::current_exception());
        if (e.Number() == vb::err::TypeMismatch) {
            const int answer = vb::MsgBox(QStringLiteral("Invoice not clicked on.  Enter New Invoice for ") +
                                              Globals::CurrentCustName + QStringLiteral("?"),
                                          vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2,
                                          QStringLiteral("Enter New Invoice?"));
            if (answer == vb::vbYes) NewInvoice();
            return;
        }
        vb::MsgBox(label("InvoiceList_Click") + QString::number(e.Number()) + QStringLiteral(" ") + e.Description() +
                   QStringLiteral(" If error persists contact Vantrels author with contents of this message."));
    }
}

void CustInvoices::InvoiceList_DblClick() {
    // Keyboard moves raise no Click: act on the row the user sees.
    if (!TakeCurrentRow()) return;
    OpenInvoiceEditor();
}

void CustInvoices::InvoiceList_KeyDown(int& KeyCode, int) {
    if (KeyCode == 13) InvoiceList_DblClick();
}

void CustInvoices::OpenInvoiceEditor() {
    // An editor already open is only brought forward and keeps its invoice.
    vb::IgnoreErrors([this] { forms::Form::get<InvoiceDetail>().Show(false, this); });
}

void CustInvoices::NewInvoice() {
    vb::IgnoreErrors([] { forms::Form::get<Customer>().NewInvoice(); });
}

void CustInvoices::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [this] {
        using namespace Globals;
        if (!TakeCurrentRow()) return;
        const QString num = QString::number(CurrentInvoiceNum);
        const int answer = vb::MsgBox(QStringLiteral("Delete invoice #") + num +
                                          QStringLiteral(" and all associated charges?"),
                                      vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2,
                                      QStringLiteral("Delete Invoice ... #") + num + QStringLiteral("?"));
        if (answer != vb::vbYes) {
            DeleteInvoicePending = false;
            return;
        }
        // The loader deletes the invoice first, then lists every invoice of
        // the client, of any date.
        DeleteInvoicePending = true;
        GetInvoices(vb::Date());
    });
}

void CustInvoices::btnPrint_Click() {
    if (!TakeCurrentRow()) return;
    vb::IgnoreErrors([] { PrtInvoice::ShowCurrent(); });
}

void CustInvoices::btnCustInfo_Click() {
    // Reloaded so it reads the current client afresh.
    bool gone = true;
    vb::IgnoreErrors([&] { gone = forms::Form::unload<Profile>(); });
    if (!gone) return;   // it kept its own edits open
    vb::IgnoreErrors([] { forms::Form::get<Profile>().Show(); });
}

void CustInvoices::btnReceipts_Click() {
    vb::Trap(label("btnReceipts_Click"), [] {
        if (Globals::CurrentCustNum != 0) {
            Receipts::ShowCurrentClient();
        } else {
            vb::MsgBox(QStringLiteral("Select or enter a client first"));
        }
    });
}

void CustInvoices::btnInventory_Click() {
    vb::Trap(label("btnInventory_Click"), [] {
        Globals::CurrentCatNum = 1;
        forms::Form::get<frmInventory>().Show();
    });
}

void CustInvoices::btnExit_Click() { forms::Form::Unload(this); }

void CustInvoices::Form_Resize() {
    vb::Trap(label("Form_Resize"), [this] {
        if (WindowState() == vbMinimized) return;
        const int W = Width(), H = Height();
        if (W > 160) InvoiceList.setWidth(W - 160);
        if (W > 20) InvoiceList.setLeft(20);
        if (H > 1700) InvoiceList.setHeight(H - 1700);
        if (H > 1000) InvoiceList.setTop(1000);
        if (W > 2300) Label3.setLeft(W - 2300);
        if (H > 650) Label3.setTop(H - 650);
        if (W > 1000) lblBalDue.setLeft(Label3.Left() + 1000);
        lblBalDue.setTop(Label3.Top() - 15);
        if (W > 160) Frame2.setWidth(W - 160);
        if (W > 20) Frame2.setLeft(20);
        Frame3.setLeft(Frame2.Width() - Frame3.Width());
        if (H > 110) Frame3.setTop(110);
        Frame1.setLeft(Frame2.Left());
        Frame1.setWidth(Frame2.Width());
        if (H > 510) Frame1.setTop(510);
    });
}

void CustInvoices::Form_Unload() {
    vb::Trap(label("Form_Unload"), [this] {
        using namespace Globals;
        if (WindowState() == vbMinimized) return;
        WriteWindowGeometry(kSection, Left(), Top(), Width(), Height(), IniPath);
    });
}
