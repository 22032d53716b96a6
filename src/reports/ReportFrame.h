#pragma once
// What every report window shares: the frame (preview control, exit button,
// resize rule, busy window) and the document pieces the customer documents
// have in common (opening, letterhead, Bill To / Ship To, the statement
// table and the 20-row table setting).
//
//     class PrtReceipt : public reports::CustomerReportFrame {
//     public:
//         PrtReceipt() { setCaption("Print Receipt"); }
//         void Form_Load() override {
//             ShowBusy<LoadingBilling>();
//             if (!vb::Trap("PrtReceipt.Form_Load -", [&] { ... })) return;   // busy window stays
//             CloseBusy<LoadingBilling>();
//         }
//     };
//
// A window's load handler runs inside Show, before the window is visible, so
// the document is complete when it appears.
#include <QString>
#include "controls/Buttons.h"
#include "forms/Form.h"
#include "printer/PreviewControl.h"
#include "vb/Currency.h"
#include "vb/Date.h"
#include "vb/Variant.h"
#include "ado/Recordset.h"

class cSetup;
class Client;

namespace reports {

// Which of the two resize rules a window follows.
enum class ResizeRule {
    // preview: width - 170, height - 650, position kept; exit: left = width - 1000 when width > 1000
    Customer,
    // preview: width - 250, left 25, height - 800; exit: left = width - 1000 at every width
    List,
};

class ReportFrame : public forms::Form {
    Q_OBJECT
public:
    // Closes the window; the next opening lays the document out anew.
    void btnExit_Click();
    // The window's resize rule; a window with more to place overrides it
    // and calls ApplyResizeRule first.
    void Form_Resize() override { ApplyResizeRule(); }
    void ApplyResizeRule();
    // A list window with a panel beside its preview (the period or filter
    // panel): the preview leaves the panel's width free and the panel
    // follows the preview's right edge.
    void setSidePanel(controls::Control* panel) { sidePanel_ = panel; }

    printer::PreviewControl* Preview() const { return preview_; }

    // The busy window, shown without waiting, owned by this window and
    // painted once; closed only by CloseBusy (after an error it stays up).
    template <class T>
    void ShowBusy() {
        forms::Form::get<T>().Show(false, this);
        PumpEvents();
    }
    template <class T>
    void CloseBusy() { forms::Form::unload<T>(); }

protected:
    ReportFrame() = default;
    // Called by the window's constructor once its controls exist; exit may
    // be null (windows without an exit button).
    void attach(printer::PreviewControl* preview, controls::Control* exit, ResizeRule rule);
    static void PumpEvents();

private:
    printer::PreviewControl* preview_ = nullptr;
    controls::Control* exit_ = nullptr;
    ResizeRule rule_ = ResizeRule::Customer;
    controls::Control* sidePanel_ = nullptr;
};

// Invoice, receipt, billing statements, client balances, past due: the
// control VSInvoice and the text button "&Exit".
class CustomerReportFrame : public ReportFrame {
    Q_OBJECT
public:
    printer::PreviewControl VSInvoice{this};
    controls::CommandButton btnExit{this};

protected:
    CustomerReportFrame();
};

// Register, income, inventory and sales reports: the control VSregistry and
// the picture button btnExit.
class ListReportFrame : public ReportFrame {
    Q_OBJECT
public:
    printer::PreviewControl VSregistry{this};
    controls::ToolButton btnExit{this};

protected:
    // exitButton false: the window has no exit button (it is hidden).
    explicit ListReportFrame(bool exitButton = true);
};

// ---- document pieces ------------------------------------------------------------

// The report opening: ClearDoc (when asked), PageMode 1, Zoom 100, the four
// margins, StartDoc.
void ReportOpening(printer::PageDocument& doc, bool clearDoc, const QString& left = QStringLiteral("0.5in"),
                   const QString& right = QStringLiteral("0.5in"), const QString& top = QStringLiteral("0.5in"),
                   const QString& bottom = QStringLiteral("0.5in"));
// The list reports' heading: Alignment 1, FontBold True, Header, FontBold
// False (unless boldOff is false), FontSize 10.
// The header's parts are passed as values, so a name holding "|" stays whole.
void ReportHeading(printer::PageDocument& doc, const printer::HeaderParts& header, bool boldOff = true);
// title, company, today — the usual page header of a list report.
printer::HeaderParts TitleHeader(const QString& title, const QString& company);

// The footer of the customer documents.
inline const QString kCustomerFooter = QStringLiteral("|We appreciate your business!|");

// Reads the company record through SharedSetup (OpenCn, GetCompanyInfo,
// CloseCn) and returns that instance.
cSetup& ReadCompanyInfo();
// The letterhead's address text: Address1; City, State Zip; phone / fax; web.
QString LetterheadAddress(const cSetup& company);
// The letterhead block; firstLine is the company name, or "Remit to: " and the name.
void LetterheadBlock(printer::PageDocument& doc, const QString& firstLine, const cSetup& company);
// Reads the company record and lays the letterhead out with firstLinePrefix before the name.
void LetterheadBlock(printer::PageDocument& doc, const QString& firstLinePrefix = QString());

QString BillToText(const Client& c);
// The client's name as a document names it: the billing name, else the shipping name, the company, the number.
QString ClientName(const Client& c);
QString ShipToText(const Client& c);
// The blocks from the client loaded on SharedClient (Client.GetClient).
void BillToBlock(printer::PageDocument& doc);
void ShipToBlock(printer::PageDocument& doc);
void BillToBlock(printer::PageDocument& doc, const Client& c);
void ShipToBlock(printer::PageDocument& doc, const Client& c);

// A database value as a document prints it: dates as date text, an empty
// or Null field as nothing, anything else as its text.
QString DocText(const vb::Variant& v);

// The statement table, row by row.
inline const QString kStatementFormat = QStringLiteral("^1in|3in|>1.125in|>1.125in|>1.125in;");
inline const QString kStatementHeader = QStringLiteral("Date|Description|Charge|Payment|Balance;");
// StartTable, TableBorder 9, the starting-balance row.
void StartStatementTable(printer::PageDocument& doc, vb::Date balanceDate, vb::Currency balance);
// balance += charge; the charge row.
void StatementChargeRow(printer::PageDocument& doc, const vb::Variant& date, const QString& description,
                        vb::Currency charge, vb::Currency& balance);
// balance -= amount; the payment row.
void StatementPaymentRow(printer::PageDocument& doc, const vb::Variant& date, vb::Currency amount,
                         vb::Currency& balance);
// The receipt's whole table: the starting row, one payment row per record
// (fields Date and Amount) from the first, the 20-row setting and EndTable.
// Returns the last balance.
vb::Currency StatementTable(printer::PageDocument& doc, vb::Date balanceDate, vb::Currency balance,
                            const ado::RecordsetPtr& payments);

// The 20-row table setting: row count 20, rows 1 to 20 a quarter inch high,
// the header row bold over columns 1 to columns; then EndTable.
void TwentyRowTable(printer::PageDocument& doc, int columns);

} // namespace reports
