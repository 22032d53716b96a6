#include "customers/Receipts.h"
#include <algorithm>
#include <memory>
#include <optional>
#include <QFont>
#include <QFontMetrics>
#include "customers/CustSearch.h"
#include "customers/PaymentDate.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "forms/App.h"
#include "reports/PrtReceipt.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) { return QStringLiteral("Receipts.") + QString::fromLatin1(proc) + QStringLiteral(" -"); }

const QString kSection = QStringLiteral("RECEIPTS");
const QString kSelectedClient = QStringLiteral("Selected Client");
const QString kAllClients = QStringLiteral("All Clients");

// The since-date box is written and read as month/day/two-digit year in
// every locale.
QString mdyText(const vb::Date& d) { return d.toQDate().toString(QStringLiteral("MM/dd/yy")); }

int32_t cellLong(const controls::FlexGrid& g, int r, int c) { return vb::CLng(vb::Variant(g.TextMatrix(r, c))); }

} // namespace

Receipts::Receipts()
    : rows_(PaymentList, Globals::RowChanged, OldRow, NewRow,
            controls::GridRowEditor::Options{
                .formName = QStringLiteral("Receipts"),
                .afterRowEditName = QStringLiteral("PaymentList_AfterRowEdit"),
                .keyCol = colKey,
                // A row without an amount is where the cursor steps back to.
                .requiredCol = colAmount,
            }) {
    setCaption(QStringLiteral("Payments Received"));
    layoutControls();

    rows_.SaveRecord = [this](int row, QString& key) { return SavePaymentRow(row, key); };

    btnGo.Click = [this] { btnGo_Click(); };
    btnNew.Click = [this] { btnNew_Click(); };
    btnDelete.Click = [this] { btnDelete_Click(); };
    btnPrint.Click = [this] { btnPrint_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    DTPicker1.Change = [this] { DTPicker1_Change(); };

    PaymentList.setEditable(true);
    PaymentList.setFixedCols(1);
    PaymentList.setExtendLastCol(false);
    PaymentList.AfterEdit = [this](int r, int c) { PaymentList_AfterEdit(r, c); };
    PaymentList.CellButtonClick = [this](int r, int c) { PaymentList_CellButtonClick(r, c); };
    PaymentList.GotFocus = [this] { PaymentList_GotFocus(); };
    PaymentList.LostFocus = [this] { PaymentList_LostFocus(); };
    PaymentList.Click = [this] { PaymentList_Click(); };
    PaymentList.LeaveCell = [this] { PaymentList_LeaveCell(); };
    PaymentList.RowColChange = [this] { PaymentList_RowColChange(); };
}

Receipts::~Receipts() = default;

void Receipts::layoutControls() {
    Label1.setCaption(QStringLiteral("View Payments Received from:"));
    Label2.setCaption(QStringLiteral("Since:"));
    btnGo.setCaption(QStringLiteral("&Go"));
    // The top row was designed for a narrow 8-point face and only just fits
    // the default width. With a wider desktop font the window's text is set
    // smaller, step by step, until the row clears the buttons at the right.
    const QFont desktop = font();
    for (double scale = 1.0;; scale -= 0.05) {
        QFont f = desktop;
        f.setPointSizeF(desktop.pointSizeF() * scale);
        setFont(f);
        if (layoutTopRow(QFontMetrics(f)) <= 7000 || scale <= 0.75) break;
    }

    btnPrint.setToolTipText(QStringLiteral("Print receipt for selected payment"));
    btnPrint.setPicture(controls::pictures::Print);
    btnPrint.Move(7060, 60, 360, 360);
    Command2.setPicture(controls::pictures::Close);
    Command2.Move(7440, 60, 360, 360);
    btnNew.setToolTipText(QStringLiteral("Add new client payment"));
    btnNew.setPicture(controls::pictures::Add);
    btnNew.Move(30, 600, 600, 540);
    btnDelete.setToolTipText(QStringLiteral("Delete selected client payment"));
    btnDelete.setPicture(controls::pictures::Delete);
    btnDelete.Move(30, 1200, 600, 540);

    PaymentList.Move(720, 600, 7100, 4900);
    forms::Form::setKeyboardOrder({&CmbReceipt, &txtSinceDate, &DTPicker1, &btnGo, &PaymentList, &btnNew, &btnDelete,
                                   &btnPrint, &Command2});
}

// Each control of the top row keeps its designed place and width unless the
// text needs more room or the control before it has grown into it. Returns
// the right edge of the row, in twips.
int Receipts::layoutTopRow(const QFontMetrics& fm) {
    auto textTwips = [&](const QString& t, int paddingPx) { return (fm.horizontalAdvance(t) + paddingPx) * 15; };
    const int label1Width = std::max(2280, textTwips(Label1.Caption(), 4));
    // The caption may start further left, so the filter box can stay put.
    const int label1Left = std::max(60, std::min(780, 3090 - 30 - label1Width));
    Label1.Move(label1Left, 180, label1Width, 255);
    const int comboLeft = std::max(3090, label1Left + label1Width + 30);
    const int comboWidth = std::max(1515, textTwips(kSelectedClient, 30));
    CmbReceipt.Move(comboLeft, 120, comboWidth, 315);
    const int label2Left = std::max(4650, comboLeft + comboWidth + 30);
    const int label2Width = std::max(495, textTwips(Label2.Caption(), 4));
    Label2.Move(label2Left, 180, label2Width, 255);
    const int sinceLeft = std::max(5160, label2Left + label2Width + 15);
    const int sinceWidth = std::max(915, textTwips(QStringLiteral("00/00/00"), 12));
    txtSinceDate.Move(sinceLeft, 120, sinceWidth, 315);
    // Only the drop-down button shows; the date itself is in the box beside it.
    const int pickerLeft = std::max(6030, sinceLeft + sinceWidth);
    DTPicker1.Move(pickerLeft, 120, 315, 315);
    const int goLeft = std::max(6450, pickerLeft + 315 + 105);
    const int goWidth = std::max(450, textTwips(QStringLiteral("Go"), 14));
    btnGo.Move(goLeft, 120, goWidth, 315);
    return goLeft + goWidth;
}

// ---------------------------------------------------------------- helpers

vb::Date Receipts::DefaultSinceDate(const vb::Date& today) {
    const vb::Date yearAgo = today.datePart() - 365;
    return vb::Date::fromYmd(yearAgo.year(), 1, 1);
}

QString Receipts::TypeList(const QString& cardType1, const QString& cardNumber1, const QString& cardType2,
                           const QString& cardNumber2, const ado::RecordsetPtr& payTypes) {
    controls::ComboList list;
    if (!cardType1.isEmpty()) list.add(1, cardType1 + QStringLiteral(" #") + cardNumber1);
    if (!cardType2.isEmpty()) list.add(2, cardType2 + QStringLiteral(" #") + cardNumber2);
    if (!payTypes) vb::Raise(vb::err::ObjectNotSet);
    payTypes->MoveFirst();
    int n = 3;
    while (!payTypes->Eof()) {
        list.add(n, payTypes->Fields("Type").Value().str());
        ++n;
        payTypes->MoveNext();
    }
    return list.text();
}

// ---------------------------------------------------------------- load and fill

void Receipts::Form_Load() {
    // The notice goes on every path, the error report included.
    std::optional<StatusNotice<GettingReceipts>> notice;
    vb::Trap(label("Form_Load"), [&] {
        forms::DoEvents();
        notice.emplace();
        const Globals::WindowGeometry g = Globals::ReadWindowGeometry(kSection, Globals::IniPath, 2, 9500, 6000);
        Move(int(g.Left), int(g.Top), int(g.Width), int(g.Height));

        rsPayments = std::make_shared<ado::Recordset>();
        DTPicker1.setValue(DefaultSinceDate(vb::Today()));
        txtSinceDate.setText(mdyText(DTPicker1.Value()));
        SinceDate = DTPicker1.Value();
        CmbReceipt.Clear();
        CmbReceipt.AddItem(kSelectedClient);
        CmbReceipt.AddItem(kAllClients);
        CmbReceipt.setListIndex(0);
        ListedClient = Globals::CurrentCustNum;
        SetPayments();
    });
}

void Receipts::ShowCurrentClient() {
    const bool wasOpen = forms::Form::isLoaded<Receipts>();
    // A fresh load lists the current client.
    Receipts& w = forms::Form::get<Receipts>();
    if (wasOpen) w.ListClient(Globals::CurrentCustNum);
    if (forms::Form::isLoaded<Receipts>()) w.Show();
}

bool Receipts::ListClient(int32_t custNum) {
    const QString mode = custNum == -1 ? kAllClients : kSelectedClient;
    if (custNum == ListedClient && CmbReceipt.Text() == mode) return true;
    // The pending row belongs to the list on show: it is written before the
    // list goes, or the list stays.
    if (rows_.ChangedHere()) {
        // The edited row is the current one, as on a focus loss.
        OldRow = PaymentList.Row();
        if (!rows_.SaveRow()) return false;
    }
    CmbReceipt.setListIndex(custNum == -1 ? 1 : 0);
    ListedClient = custNum;
    SetPayments();
    return true;
}

void Receipts::PrefillClient(int row) {
    if (ListedClient <= 0 || CmbReceipt.Text() != kSelectedClient) return;
    if (!PaymentList.TextMatrix(row, colCustNum).isEmpty()) return;
    PaymentList.setTextMatrix(row, colCustNum, QString::number(ListedClient));
    PaymentList.setTextMatrix(row, colClient, ListedClientName);
}

void Receipts::SetPayments() {
    std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
    std::shared_ptr<Client> client = Globals::SharedClient;
    vb::Trap(label("SetPayments"), [&] {
        // The client picker writes into a row the refill is about to replace.
        forms::Form::unload<CustSearch>();

        if (!invoice || !client) vb::Raise(vb::err::ObjectNotSet);
        {
            const ConnectionScope opened = invoice->OpenScope();
            if (DeletePending) {
                invoice->DeletePayment(SelectedPayNum);
                DeletePending = false;
            }
            rsPayments = invoice->AllPayments(SinceDate, ListedClient);
        }

        // Whatever was pending belongs to rows that are going away; a save
        // now would write whichever row happens to be left next.
        if (rows_.ChangedHere()) rows_.ClearChanged();

        controls::FlexGrid& g = PaymentList;
        g.Clear();
        g.setCols(9);
        g.setRows(2);
        g.setFormatString(QStringLiteral("^|TransNum|CustNum|Date|Type|Card/Check#|Client|>Amount|Notes"));
        const int widths[] = {300, 0, 0, 1000, 1300, 1700, 1500, 1000, 1400};
        for (int c = 0; c < 9; ++c) g.setColWidth(c, widths[c]);
        g.setColCellButton(colClient, true);
        g.setColCellButton(colDate, true);
        g.setColDataType(colDate, controls::flexDTDate);
        g.setColDataType(colAmount, controls::flexDTCurrency);

        {
            const ConnectionScope opened = client->OpenScope();
            // A client without a row (every client, none) has no cards and no name.
            const bool listed = client->GetClient(ListedClient);
            ListedClientName = listed ? client->lname + QStringLiteral(", ") + client->fname : QString();
        }
        CardType1 = client->PaymentType1;
        CardType2 = client->PaymentType2;
        CardNumber1 = client->CardNum1;
        CardNumber2 = client->CardNum2;

        g.setColComboList(colType, TypeList(CardType1, CardNumber1, CardType2, CardNumber2, Globals::rsPayTypes));

        ado::RecordsetPtr rs = rsPayments;
        if (!rs) vb::Raise(vb::err::ObjectNotSet);
        RowCount = 1;
        const controls::FlexGrid::RedrawOff redrawOff(g);
        // Every payment row at once, each cell written where it goes, so a
        // tab inside a name or a note cannot shift the columns either.
        g.setRows(int(rs->RecordCount()) + 2);
        const ado::Field num = rs->Fields("TransNum"), cust = rs->Fields("CustNum"), date = rs->Fields("Date"),
                         type = rs->Fields("Type"), check = rs->Fields("Checknum"), name = rs->Fields("Fullname"),
                         amount = rs->Fields("Amount"), notes = rs->Fields("Notes");
        while (!rs->Eof()) {
            const int r = RowCount;
            g.setTextMatrix(r, colKey, num.Value().str());
            g.setTextMatrix(r, colCustNum, cust.Value().str());
            g.setTextMatrix(r, colDate, date.Value().str());
            g.setTextMatrix(r, colType, type.Value().str());
            g.setTextMatrix(r, colCheck, check.Value().str());
            g.setTextMatrix(r, colClient, name.Value().str());
            g.setTextMatrix(r, colAmount, vb::FormatCurrencyExact(vb::CCur(amount.Value())));
            g.setTextMatrix(r, colNotes, notes.Value().str());
            ++RowCount;
            rs->MoveNext();
        }
        if (RowCount > 1) {
            // The last payments and the blank row stay in view.
            if (RowCount > 6) g.setTopRow(RowCount - 5);
            g.setRow(RowCount);
            g.setTextMatrix(RowCount, colStatus, QStringLiteral("*"));
        } else {
            g.setTextMatrix(1, colStatus, QStringLiteral("*"));
        }
        PrefillClient(g.Rows() - 1);
    });
}

// ---------------------------------------------------------------- commands

void Receipts::btnGo_Click() {
    vb::Trap(label("btnGo_Click"), [&] {
        SinceDate = txtSinceDate.DateValue();
        if (CmbReceipt.Text() == kAllClients) {
            // Every other window sees "all clients" until one selects a client.
            Globals::CurrentCustNum = -1;
        } else {
            const int r = PaymentList.Row();
            Globals::SetCurrentClient(cellLong(PaymentList, r, colCustNum), PaymentList.TextMatrix(r, colClient));
        }
        ListedClient = Globals::CurrentCustNum;
        SetPayments();
    });
}

void Receipts::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] {
        controls::FlexGrid& g = PaymentList;
        if (!g.TextMatrix(g.Rows() - 1, colKey).isEmpty()) g.AddItem(QString());
        PrefillClient(g.Rows() - 1);
        g.setRow(g.Rows() - 1);
        g.SetFocus();
    });
}

void Receipts::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [&] {
        // The row the user sees is the row that goes, however the cursor got there.
        const controls::FlexGrid& g = PaymentList;
        const int r = g.Row();
        if (r < 1) return;
        const QString key = g.TextMatrix(r, colKey);
        if (key.isEmpty() || key == QLatin1String("0")) return;
        const QString prompt = QStringLiteral("Delete Payment by ") + g.TextMatrix(r, colClient) +
                               QStringLiteral(" in the amount of ") +
                               vb::FormatCurrency(vb::ParseCurrency(g.TextMatrix(r, colAmount))) + QLatin1Char('?');
        if (vb::MsgBox(prompt, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, QStringLiteral("Delete payment?")) !=
            vb::vbYes)
            return;
        SelectedPayNum = vb::CLng(vb::Variant(key));
        DeletePending = true;
        SetPayments();
        SelectedPayNum = 0;
    });
}

void Receipts::btnPrint_Click() {
    // The receipt is for the row the user sees.
    PaymentList_Click();
    const int r = PaymentList.Row();
    if (r < 1 || PaymentList.TextMatrix(r, colDate).isEmpty() || PaymentList.TextMatrix(r, colCustNum).isEmpty()) {
        vb::MsgBox(QStringLiteral("Select payment with valid date for printing receipt."));
        return;
    }
    ShowReceiptPreview();
}

void Receipts::ShowReceiptPreview() {
    // The receipt preview reads CurrentCustNum and CurrentPayDate, set above
    // from the current row; it is shown modeless and without owner, and an
    // open one showing another payment is laid out anew.
    PrtReceipt::ShowCurrent();
}

void Receipts::Command2_Click() { forms::Form::Unload(this); }

void Receipts::DTPicker1_Change() { txtSinceDate.setText(mdyText(DTPicker1.Value())); }

// ---------------------------------------------------------------- grid

void Receipts::PaymentList_AfterEdit(int Row, int Col) {
    vb::Trap(label("PaymentList_AfterEdit"), [&] {
        controls::FlexGrid& g = PaymentList;
        // A new row typed while one client is listed belongs to that client;
        // a stored payment keeps its own, whoever is selected elsewhere.
        PrefillClient(Row);
        if (!g.TextMatrix(Row, colDate).isEmpty() && !g.TextMatrix(Row, colType).isEmpty() &&
            !g.TextMatrix(Row, colClient).isEmpty() && !g.TextMatrix(Row, colAmount).isEmpty()) {
            // Text that is not an amount stays as typed; the save reports it.
            vb::Currency amount;
            bool isMoney = true;
            try {
                amount = vb::ParseCurrency(g.TextMatrix(Row, colAmount));
            } catch (const vb::RuntimeError&) {
                isMoney = false;
            }
            if (isMoney) g.setTextMatrix(Row, colAmount, vb::FormatCurrencyExact(amount));
            if (g.TextMatrix(Row, colKey).isEmpty()) {
                // The row is complete: a new blank entry row below it.
                g.AddItem(QStringLiteral("*"));
                PrefillClient(g.Rows() - 1);
                g.setTextMatrix(Row, colKey, QStringLiteral("0"));
            }
        }
        if (Col == colType) {
            const vb::Variant picked = g.cellValue(Row, colType);
            if (picked == vb::Variant(1)) g.setTextMatrix(Row, colCheck, CardNumber1);
            else if (picked == vb::Variant(2)) g.setTextMatrix(Row, colCheck, CardNumber2);
        }
        rows_.MarkChanged();
        SetOldRowStatus();
    });
}

void Receipts::PaymentList_CellButtonClick(int Row, int Col) {
    vb::Trap(label("PaymentList_CellButtonClick"), [&] {
        if (Col == colClient) {
            Globals::PickRow = Row;
            CustSearch& picker = forms::Form::get<CustSearch>();
            picker.Show(false, this);
            if (forms::Form::isLoaded<CustSearch>()) picker.CustList.SetFocus();
        } else if (PaymentList.Col() == colDate) {
            Globals::DateCaller = QStringLiteral("Receipts");
            forms::Form::get<PaymentDate>().Show(true, this);
        }
    });
}

void Receipts::PaymentList_GotFocus() {
    vb::Trap(label("PaymentList_GotFocus"), [&] {
        controls::FlexGrid& g = PaymentList;
        g.setCol(colDate);
        // A picker wrote into the row while the grid was away: finish the
        // edit it stands for, as if the user had typed it.
        if (Globals::DatePicked) {
            g.setCol(colType);
            PaymentList_AfterEdit(g.Row(), colType);
            Globals::DatePicked = false;
        }
        if (Globals::ClientPicked) {
            g.setCol(colAmount);
            PaymentList_AfterEdit(g.Row(), colAmount);
            Globals::ClientPicked = false;
        }
    });
}

void Receipts::PaymentList_LostFocus() {
    OldRow = PaymentList.Row();
    rows_.LostFocus();
}

void Receipts::PaymentList_Click() {
    vb::Trap(label("PaymentList_Click"), [&] {
        const controls::FlexGrid& g = PaymentList;
        const int r = g.Row();
        if (r != 0 && !g.TextMatrix(r, colCustNum).isEmpty())
            Globals::SetCurrentClient(cellLong(g, r, colCustNum), g.TextMatrix(r, colClient));
        SelectedPayNum = vb::CLng(vb::Variant(vb::Val(g.TextMatrix(r, colKey))));
        vb::Date d;
        Globals::CurrentPayDate = vb::TryTextToDate(g.TextMatrix(r, colDate), d) ? d : vb::Today();
    });
}

void Receipts::PaymentList_LeaveCell() { rows_.LeaveCell(); }

void Receipts::PaymentList_RowColChange() { rows_.RowColChange(); }

void Receipts::SetOldRowStatus() { rows_.SetOldRowStatus(); }

void Receipts::SetNewRowStatus() { rows_.SetNewRowStatus(); }

void Receipts::AfterRowEdit() { rows_.AfterRowEdit(); }

void Receipts::SaveRow() { rows_.SaveRow(); }

bool Receipts::SavePaymentRow(int row, QString& key) {
    const controls::FlexGrid& g = PaymentList;
    const int32_t payNum = key.isEmpty() ? 0 : vb::CLng(vb::Variant(key));
    // Not a payment yet: nothing to write, and nothing failed.
    if (g.TextMatrix(row, colCustNum).isEmpty() || g.TextMatrix(row, colDate).isEmpty() ||
        g.TextMatrix(row, colAmount).isEmpty())
        return true;
    // No payment without a client to owe it ("all clients" is -1).
    const int32_t custNum = cellLong(g, row, colCustNum);
    if (!Client::Exists(custNum)) {
        vb::MsgBox(QStringLiteral("Select or enter a client first"));
        return false;
    }

    std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
    if (!invoice) vb::Raise(vb::err::ObjectNotSet);
    const ConnectionScope opened = invoice->OpenScope();
    invoice->PayNum = payNum;
    invoice->setCustNum(custNum);
    invoice->Paytype = g.TextMatrix(row, colType);
    invoice->Checknum = g.TextMatrix(row, colCheck);
    invoice->PayDate = vb::TextToDate(g.TextMatrix(row, colDate));
    // Stored as shown: the cell shows every decimal the amount has.
    invoice->setPayment(vb::ParseCurrency(g.TextMatrix(row, colAmount)));
    invoice->PayNotes = g.TextMatrix(row, colNotes);
    if (!invoice->SavePayment()) return false;
    key = QString::number(invoice->PayNum);
    return true;
}

// ---------------------------------------------------------------- window

void Receipts::Form_Resize() {
    vb::Trap(label("Form_Resize"), [&] {
        if (WindowState() == vbMinimized) return;
        PaymentList.setLeft(720);
        if (Width() > 900) PaymentList.setWidth(Width() - 900);
        if (Height() > 1100) PaymentList.setHeight(Height() - 1100);
        if (Command2.Width() + 200 < Width()) {
            Command2.setLeft(Width() - Command2.Width() - 200);
            btnPrint.setLeft(Command2.Left() - btnPrint.Width() - 20);
        }
    });
}

void Receipts::Form_QueryUnload(bool& Cancel, int) {
    // An edit still pending in this grid is saved whichever way the window
    // closes (the close box gives the grid no focus loss); one that cannot be
    // saved keeps the window when the user says so.
    if (!rows_.SaveBeforeClose([this] { PaymentList_LostFocus(); })) Cancel = true;
}

void Receipts::Form_Unload() {
    vb::Trap(label("Form_Unload"), [&] {
        if (WindowState() == vbMinimized) return;
        Globals::WriteWindowGeometry(kSection, Left(), Top(), Width(), Height(), Globals::IniPath);
    });
}
