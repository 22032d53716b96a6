#pragma once
// The income statement: for the period in its two date boxes, the sales,
// what is still receivable of them, the payments received, the payments to
// vendors per expense type and their total, and the net income. It opens on
// the year to date and lays the statement out again on each Preview.
#include <QList>
#include <QString>
#include "controls/Buttons.h"
#include "controls/DatePicker.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/MaskedEdit.h"
#include "reports/ReportFrame.h"
#include "vb/Currency.h"

class PrtIncome : public reports::ListReportFrame {
    Q_OBJECT
public:
    PrtIncome();

    // The criteria panel, right of the preview.
    controls::Frame Frame1{this};
    controls::Label lblBegDate{&Frame1};
    controls::MaskedEdit txtBegDate{&Frame1};
    controls::DatePicker DTbegdate{&Frame1};
    controls::Label lblEndDate{&Frame1};
    controls::MaskedEdit txtEndDate{&Frame1};
    controls::DatePicker dtEndDate{&Frame1};
    controls::CommandButton btnGo{&Frame1};

    void Form_Load() override;
    // Preview: the figures for the period the boxes hold, then the statement.
    void btnGo_Click();
    void IncomePreview();
    void DTbegdate_Change();
    void dtEndDate_Change();

    // The expense types a statement can list.
    static constexpr int kMaxExpenseTypes = 99;

    // The figures of the last statement.
    vb::Currency SalesTotal() const { return sales_; }
    vb::Currency ReceiptsTotal() const { return receipts_; }
    vb::Currency ExpensesTotal() const { return expenses_; }
    const QStringList& ExpenseNames() const { return names_; }
    const QList<vb::Currency>& ExpenseAmounts() const { return amounts_; }

private:
    // Reads the period's figures and lays the statement out; raises what
    // goes wrong before the statement (a box without a date, too many
    // expense types), for the caller to report.
    void Figures();

    vb::Currency sales_, receipts_, expenses_;
    QStringList names_;
    QList<vb::Currency> amounts_;
};
