#include "reports/PrtIncome.h"
#include "data/Globals.h"
#include "data/Reports.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

const QString kFormat = QStringLiteral("<2in|>1.25in;");
const QString kHeader = QStringLiteral("|;");

constexpr long kSubscriptOutOfRange = 9;

// The window as designed: the criteria panel beside a preview wide enough
// for a full-size page.
constexpr int kPanelWidth = 2700;
constexpr int kPanelHeight = 2350;
constexpr int kWindowWidth = 13500 + kPanelWidth;
constexpr int kWindowHeight = 11000;

} // namespace

PrtIncome::PrtIncome() {
    setCaption(QStringLiteral("Print Income Statement"));
    setSidePanel(&Frame1);
    setWidth(kWindowWidth);
    setHeight(kWindowHeight);

    Frame1.setCaption(QStringLiteral("Print Income for period"));
    lblBegDate.setCaption(QStringLiteral("Beginning:"));
    lblEndDate.setCaption(QStringLiteral("Ending:"));
    btnGo.setCaption(QStringLiteral("&Preview"));

    // Below the exit button, which keeps the window's top right corner.
    Frame1.Move(kWindowWidth - kPanelWidth - 200, 420, kPanelWidth, kPanelHeight);
    lblBegDate.Move(150, 330, 2400, 255);
    txtBegDate.Move(150, 600, 1000, 330);
    DTbegdate.Move(1220, 600, 1330, 330);
    lblEndDate.Move(150, 1050, 2400, 255);
    txtEndDate.Move(150, 1320, 1000, 330);
    dtEndDate.Move(1220, 1320, 1330, 330);
    btnGo.Move(150, 1830, 2400, 380);

    btnGo.Click = [this] { btnGo_Click(); };
    DTbegdate.Change = [this] { DTbegdate_Change(); };
    dtEndDate.Change = [this] { dtEndDate_Change(); };
    setKeyboardOrder({&txtBegDate, &DTbegdate, &txtEndDate, &dtEndDate, &btnGo, &btnExit});
}

void PrtIncome::Form_Load() {
    vb::Trap(QStringLiteral("PrtIncome.Form_Load -"), [this] {
        const vb::Date today = vb::Today();
        DTbegdate.setValue(vb::Date::fromYmd(today.year(), 1, 1));
        txtBegDate.setDateValue(DTbegdate.Value());
        dtEndDate.setValue(today);
        txtEndDate.setDateValue(today);
        Figures();
    });
}

void PrtIncome::DTbegdate_Change() { txtBegDate.setDateValue(DTbegdate.Value()); }

void PrtIncome::dtEndDate_Change() { txtEndDate.setDateValue(dtEndDate.Value()); }

void PrtIncome::btnGo_Click() {
    // Once the window is open a bad period is told plainly and the statement
    // on show stays as it was.
    vb::Date probe;
    if (!controls::MaskedEdit::ParseMdy(txtBegDate.Text(), probe) ||
        !controls::MaskedEdit::ParseMdy(txtEndDate.Text(), probe)) {
        vb::MsgBox(QStringLiteral("Enter the beginning and ending dates as mm/dd/yy."), vb::vbExclamation);
        return;
    }
    const ado::RecordsetPtr types = Globals::rsExpTypes;
    if (types && types->RecordCount() > kMaxExpenseTypes) {
        vb::MsgBox(QStringLiteral("The income statement lists at most 99 expense types."), vb::vbExclamation);
        return;
    }
    vb::Trap(QStringLiteral("PrtIncome.btnGo_Click -"), [this] { Figures(); });
}

void PrtIncome::Figures() {
    const ado::RecordsetPtr types = Globals::rsExpTypes;
    if (!types) vb::Raise(vb::err::ObjectNotSet);
    const int n = types->RecordCount();
    if (n > kMaxExpenseTypes) throw vb::RuntimeError(kSubscriptOutOfRange, QStringLiteral("Subscript out of range"));

    vb::Currency expenses;
    QStringList names;
    QList<vb::Currency> amounts;
    vb::Currency receipts, sales;
    {
        Reports reports;
        reports.BegDate = txtBegDate.DateValue();
        reports.EndDate = txtEndDate.DateValue();
        reports.InitAccess(Globals::DataFilePath());
        const ConnectionScope opened = reports.OpenScope();

        receipts = reports.Receipts();
        sales = reports.TotalSales();
        if (n > 0) {
            for (types->MoveFirst(); !types->Eof(); types->MoveNext()) {
                const QString type = reports::DocText(types->Fields(QStringLiteral("Type")).Value());
                // A type listed twice in older files (capitals aside) has one
                // line: its payments are counted once.
                if (names.contains(type, Qt::CaseInsensitive)) continue;
                const vb::Currency amount = reports.Payments(type);
                names.append(type);
                amounts.append(amount);
                expenses += amount;
            }
        }
        // The payments whose type is no longer in the list (renamed or
        // deleted since) still count, on one line.
        const vb::Currency other = reports.OtherPayments(names);
        if (other != vb::Currency()) {
            names.append(QStringLiteral("Other"));
            amounts.append(other);
            expenses += other;
        }
    }
    // The window keeps the last statement's figures whole, or not at all.
    receipts_ = receipts;
    sales_ = sales;
    expenses_ = expenses;
    names_ = names;
    amounts_ = amounts;
    IncomePreview();
}

void PrtIncome::IncomePreview() {
    vb::Trap(QStringLiteral("PrtIncome.IncomePreview -"), [this] {
        printer::PreviewControl& d = VSregistry;
        reports::ReportOpening(d, true);
        reports::ReportHeading(d, reports::TitleHeader(QStringLiteral("Income Statement"), Globals::CoName));
        d.Paragraph(QString());
        d.Paragraph(QStringLiteral("For Period ") + txtBegDate.Text() + QStringLiteral(" - ") + txtEndDate.Text());
        d.Paragraph(QString());

        d.StartTable();
        d.setTableBorder(printer::tbNone);
        auto row = [&](const QString& label, const QString& amount) {
            // Cell by cell: an expense type may hold the table's separators.
            d.AddTableCells(kFormat, kHeader, {label, amount});
        };
        row(QStringLiteral("Total Sales"), vb::FormatCurrency(sales_));
        row(QStringLiteral("Accounts Receivable"), vb::FormatCurrency(sales_ - receipts_));
        row(QStringLiteral("Total Receipts"), vb::FormatCurrency(receipts_));
        row(QString(), QString());
        row(QStringLiteral("Expenses:"), QString());
        const int n = static_cast<int>(names_.size());
        for (int i = 0; i < n; ++i) row(names_.at(i), vb::FormatCurrency(amounts_.at(i)));
        row(QString(), QString());
        row(QStringLiteral("Total Expenses"), vb::FormatCurrency(expenses_));
        row(QString(), QString());
        row(QStringLiteral("Net Income"), vb::FormatCurrency(receipts_ - expenses_));

        for (const int r : {3, n + 7, n + 9}) d.setTableCell(printer::tcFontBold, r, 1, r, 2, true);
        d.EndTable();
        d.EndDoc();
    });
}
