#include "reports/ReportFrame.h"
#include <QStyle>
#include "data/Client.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "forms/App.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace reports {

namespace {
// The frame as designed: a Letter page at full size fits across the preview.
constexpr int kFrameWidth = 13500;
constexpr int kFrameHeight = 11000;
constexpr int kExitWidth = 900;
constexpr int kExitHeight = 330;
} // namespace

// ---- frame ----------------------------------------------------------------------

void ReportFrame::attach(printer::PreviewControl* preview, controls::Control* exit, ResizeRule rule) {
    preview_ = preview;
    exit_ = exit;
    rule_ = rule;
}

void ReportFrame::btnExit_Click() { forms::Form::Unload(this); }

void ReportFrame::PumpEvents() { forms::DoEvents(); }

void ReportFrame::ApplyResizeRule() {
    if (!preview_) return;
    const int w = Width();
    const int h = Height();
    // A size that would come out negative leaves that control as it was.
    auto set = [](int value, auto&& apply) {
        if (value >= 0) apply(value);
    };
    if (rule_ == ResizeRule::Customer) {
        set(w - 170, [&](int v) { preview_->setWidth(v); });
        set(h - 650, [&](int v) { preview_->setHeight(v); });
        if (exit_ && w > 1000) exit_->setLeft(w - 1000);
    } else {
        const int panelWidth = sidePanel_ ? sidePanel_->Width() : 0;
        int previewWidth = w - panelWidth - 250;
        if (previewWidth >= 0) preview_->setWidth(previewWidth);
        else previewWidth = preview_->Width();
        preview_->setLeft(25);
        set(h - 800, [&](int v) { preview_->setHeight(v); });
        // From the width just set, not the one read back in whole pixels.
        if (sidePanel_) sidePanel_->setLeft(25 + previewWidth + 25);
        if (exit_) exit_->setLeft(w - 1000);
    }
}

CustomerReportFrame::CustomerReportFrame() {
    setWidth(kFrameWidth);
    setHeight(kFrameHeight);
    VSInvoice.Move(0, 0, kFrameWidth - 170, kFrameHeight - 650);
    // The exit button stands at the right end of the preview's tool row.
    btnExit.setCaption(QStringLiteral("&Exit"));
    btnExit.Move(kFrameWidth - 1000, 0, kExitWidth, kExitHeight);
    btnExit.raise();
    btnExit.Click = [this] { btnExit_Click(); };
    attach(&VSInvoice, &btnExit, ResizeRule::Customer);
}

ListReportFrame::ListReportFrame(bool exitButton) {
    setWidth(kFrameWidth);
    setHeight(kFrameHeight);
    VSregistry.Move(25, 0, kFrameWidth - 250, kFrameHeight - 800);
    VSregistry.setFontSize(10);
    btnExit.setPicture(controls::pictures::Close);
    btnExit.setToolTipText(QStringLiteral("Exit Vendor Payments"));
    btnExit.Move(kFrameWidth - 1000, 0, 450, kExitHeight);
    btnExit.raise();
    btnExit.Click = [this] { btnExit_Click(); };
    if (!exitButton) btnExit.setVisible(false);
    attach(&VSregistry, exitButton ? static_cast<controls::Control*>(&btnExit) : nullptr, ResizeRule::List);
}

// ---- document pieces ------------------------------------------------------------

void ReportOpening(printer::PageDocument& doc, bool clearDoc, const QString& left, const QString& right,
                   const QString& top, const QString& bottom) {
    if (clearDoc) doc.ClearDoc();
    doc.setPageMode(1);
    doc.setZoom(100);
    doc.setMarginLeft(left);
    doc.setMarginRight(right);
    doc.setMarginTop(top);
    doc.setMarginBottom(bottom);
    doc.StartDoc();
}

void ReportHeading(printer::PageDocument& doc, const printer::HeaderParts& header, bool boldOff) {
    doc.setAlignment(1);
    doc.setFontBold(true);
    doc.setHeader(header);
    if (boldOff) doc.setFontBold(false);
    doc.setFontSize(10);
}

printer::HeaderParts TitleHeader(const QString& title, const QString& company) {
    return {title, company, vb::DateToText(vb::Today())};
}

cSetup& ReadCompanyInfo() {
    const auto setup = Globals::Required(Globals::SharedSetup);
    const ConnectionScope opened = setup->OpenScope();
    setup->GetCompanyInfo();
    return *setup;
}

QString LetterheadAddress(const cSetup& company) {
    const QString phone = company.Phone.isEmpty() ? QString() : QStringLiteral("Phone: ") + company.Phone;
    const QString fax = company.Fax.isEmpty() ? QString() : QStringLiteral("Fax: ") + company.Fax;
    const QString web = company.WebSite.isEmpty() ? QString() : QStringLiteral("Web: ") + company.WebSite;
    return company.Address1 + QLatin1Char('\n') + company.City + QStringLiteral(", ") + company.State +
           QLatin1Char(' ') + company.ZipCode + QLatin1Char('\n') + phone + QStringLiteral(" / ") + fax +
           QLatin1Char('\n') + web;
}

void LetterheadBlock(printer::PageDocument& doc, const QString& firstLine, const cSetup& company) {
    doc.setAlignment(1);
    doc.setFontBold(true);
    doc.TextBox(firstLine, QStringLiteral("2in"), QStringLiteral("0.25in"), QStringLiteral("4in"), QStringLiteral(".25in"),
                {}, {}, false);
    doc.setFontBold(false);
    doc.TextBox(LetterheadAddress(company), QStringLiteral("2in"), QStringLiteral("0.5in"), QStringLiteral("4in"),
                QStringLiteral("1in"), {}, {}, false);
    doc.Paragraph(QString());
    doc.setAlignment(0);
}

void LetterheadBlock(printer::PageDocument& doc, const QString& firstLinePrefix) {
    const cSetup& company = ReadCompanyInfo();
    LetterheadBlock(doc, firstLinePrefix + company.Name, company);
}

QString BillToText(const Client& c) {
    return c.BillFname + QLatin1Char(' ') + c.BillLname + QLatin1Char('\n') + c.BillAddress1 + QLatin1Char('\n') +
           c.Billcity + QStringLiteral(", ") + c.BillState + QLatin1Char(' ') + c.BillZipCode + QLatin1Char('\n') +
           c.BillHomePhone;
}

QString ShipToText(const Client& c) {
    return c.ShipFname + QLatin1Char(' ') + c.ShipLname + QLatin1Char('\n') + c.ShipAddress1 + QLatin1Char('\n') +
           c.Shipcity + QStringLiteral(", ") + c.ShipState + QLatin1Char(' ') + c.ShipZipCode + QLatin1Char('\n') +
           c.ShipHomePhone;
}

namespace {
void addressBlock(printer::PageDocument& doc, const QString& title, const QString& left, const QString& text,
                  const QString& width = QStringLiteral("3.5in")) {
    doc.setFontBold(true);
    doc.TextBox(title, left, QStringLiteral("1.5in"), QStringLiteral("1in"), QStringLiteral(".25in"), {}, {}, false);
    doc.setFontBold(false);
    doc.TextBox(text, left, QStringLiteral("1.75in"), width, QStringLiteral("1.25in"), {}, {}, false);
}

const Client& sharedClient() { return *Globals::Required(Globals::SharedClient); }
} // namespace

QString ClientName(const Client& c) {
    const QString bill = (c.BillFname + QLatin1Char(' ') + c.BillLname).simplified();
    const QString ship = (c.ShipFname + QLatin1Char(' ') + c.ShipLname).simplified();
    const QString company = c.Company.simplified();
    // A client without a name is still named on every page, by the company or the number.
    if (!bill.isEmpty()) return bill;
    if (!ship.isEmpty()) return ship;
    return company.isEmpty() ? QStringLiteral("Client %1").arg(c.CustNum) : company;
}

void BillToBlock(printer::PageDocument& doc, const Client& c) {
    // Every customer document starts with it: from here on its pages are the client's.
    doc.StartSection(ClientName(c));
    addressBlock(doc, QStringLiteral("Bill To:"), QStringLiteral("0.5in"), BillToText(c));
}

void ShipToBlock(printer::PageDocument& doc, const Client& c) {
    // 3 inches, so the box ends at the right margin.
    addressBlock(doc, QStringLiteral("Ship To:"), QStringLiteral("5in"), ShipToText(c), QStringLiteral("3in"));
}

void BillToBlock(printer::PageDocument& doc) {
    auto keep = Globals::SharedClient;
    BillToBlock(doc, sharedClient());
}

void ShipToBlock(printer::PageDocument& doc) {
    auto keep = Globals::SharedClient;
    ShipToBlock(doc, sharedClient());
}

QString DocText(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return QString();
    if (v.type() == vb::VarType::Date) return vb::DateToText(vb::CDate(v));
    if (v.type() == vb::VarType::Currency) return vb::FormatCurrency(vb::CCur(v));
    return vb::CStr(v);
}

void StartStatementTable(printer::PageDocument& doc, vb::Date balanceDate, vb::Currency balance) {
    doc.StartTable();
    doc.setTableBorder(printer::tbGrid);
    doc.AddTableCells(kStatementFormat, kStatementHeader,
                      {vb::DateToText(balanceDate), QStringLiteral("Starting Balance"), QString(), QString(),
                       vb::FormatCurrency(balance)});
}

void StatementChargeRow(printer::PageDocument& doc, const vb::Variant& date, const QString& description,
                        vb::Currency charge, vb::Currency& balance) {
    balance += charge;
    // Cell by cell: a description may hold the table's own separators.
    doc.AddTableCells(kStatementFormat, kStatementHeader,
                      {DocText(date), description, vb::FormatCurrency(charge), QString(), vb::FormatCurrency(balance)});
}

void StatementPaymentRow(printer::PageDocument& doc, const vb::Variant& date, vb::Currency amount,
                         vb::Currency& balance) {
    balance -= amount;
    doc.AddTableCells(kStatementFormat, kStatementHeader,
                      {DocText(date), QStringLiteral("Payment - Thank You!"), QString(), vb::FormatCurrency(amount),
                       vb::FormatCurrency(balance)});
}

vb::Currency StatementTable(printer::PageDocument& doc, vb::Date balanceDate, vb::Currency balance,
                            const ado::RecordsetPtr& payments) {
    StartStatementTable(doc, balanceDate, balance);
    if (payments && payments->RecordCount() > 0) {
        payments->MoveFirst();
        while (!payments->Eof()) {
            StatementPaymentRow(doc, payments->Fields("Date").Value(), vb::CCur(payments->Fields("Amount").Value()),
                                balance);
            payments->MoveNext();
        }
    }
    TwentyRowTable(doc, 5);
    return balance;
}

void TwentyRowTable(printer::PageDocument& doc, int columns) {
    doc.setTableCell(printer::tcRows, 20);
    for (int r = 1; r <= 20; ++r) doc.setTableCell(printer::tcRowHeight, r, QStringLiteral("0.25in"));
    doc.setTableCell(printer::tcFontBold, 0, 1, 0, columns, true);
    doc.EndTable();
}

} // namespace reports
