#include "reports/PrtInvoice.h"
#include <cmath>
#include <QLocale>
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

const QString kLineFormat = QStringLiteral("^0.75in|^0.75in|^0.75in|<3in|>1.125in|>1.125in;");
const QString kLineHeader = QStringLiteral("Qty|BackOrd|Item#|Description|Charge|Total;");
const QString kTotalsFormat = QStringLiteral(">1.125in|>1.125in;");

// Decimals of the regional currency format ("$1.00" gives 2).
int CurrencyPlaces() {
    const QLocale loc;
    const QString unit = loc.toCurrencyString(1.0);
    const QString point = loc.decimalPoint();
    const qsizetype at = unit.indexOf(QLatin1Char('1'));
    int places = 0;
    if (at >= 0 && unit.mid(at + 1, point.size()) == point)
        for (qsizetype k = at + 1 + point.size(); k < unit.size() && unit[k] == QLatin1Char('0'); ++k) ++places;
    return places;
}

// An amount as its currency text shows it: rounded to the currency's
// decimals, halves away from zero.
vb::Currency Shown(vb::Currency c) {
    int64_t factor = 1;
    for (int i = std::min(CurrencyPlaces(), 4); i < 4; ++i) factor *= 10;
    const int64_t raw = c.raw();
    int64_t units = raw / factor;
    if (2 * std::abs(raw % factor) >= factor) units += raw < 0 ? -1 : 1;
    return vb::Currency::fromRaw(units * factor);
}

// A field the invoice adds up; an empty one counts as nothing.
vb::Currency Money(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return vb::Currency();
    return vb::CCur(v);
}

} // namespace

PrtInvoice::PrtInvoice() { setCaption(QStringLiteral("Print Invoice")); }

PrtInvoice::Source PrtInvoice::ReadSource(int32_t invoiceNum) {
    Source s;
    s.InvoiceNum = invoiceNum;

    // Each shared instance is taken once here, so a reload elsewhere cannot
    // swap it out between its open and its close.
    const std::shared_ptr<cSetup> setup = Globals::SharedSetup;
    const std::shared_ptr<Client> client = Globals::SharedClient;
    const std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
    if (!setup || !client || !invoice) vb::Raise(vb::err::ObjectNotSet);
    // Billed and shipped to the client the stored invoice was written for.
    int32_t custNum = 0;
    {
        const ConnectionScope opened = invoice->OpenScope();
        const bool found = invoice->GetInvoice(invoiceNum);
        // A read that failed has been reported; it is not "not in the file".
        reports::RequireRead(*invoice);
        if (found) custNum = invoice->CustNum();
    }
    s.CustNum = custNum;
    if (custNum == 0) return s;

    setup->OpenCn();
    setup->GetCompanyInfo();
    reports::RequireRead(*setup);
    s.Name = setup->Name;
    s.Address1 = setup->Address1;
    s.City = setup->City;
    s.State = setup->State;
    s.ZipCode = setup->ZipCode;
    s.WebSite = setup->WebSite;
    s.Phone = setup->Phone;
    s.Fax = setup->Fax;
    setup->CloseCn();

    client->OpenCn();
    client->GetClient(custNum);
    reports::RequireRead(*client);
    s.BillFname = client->BillFname;
    s.BillLname = client->BillLname;
    s.BillAddress1 = client->BillAddress1;
    s.Billcity = client->Billcity;
    s.BillState = client->BillState;
    s.BillZipCode = client->BillZipCode;
    s.BillHomePhone = client->BillHomePhone;
    s.ShipFname = client->ShipFname;
    s.ShipLname = client->ShipLname;
    s.ShipAddress1 = client->ShipAddress1;
    s.Shipcity = client->Shipcity;
    s.ShipState = client->ShipState;
    s.ShipZipCode = client->ShipZipCode;
    s.ShipHomePhone = client->ShipHomePhone;
    client->CloseCn();

    const ConnectionScope opened = invoice->OpenScope();
    invoice->GetInvoice(invoiceNum);
    reports::RequireRead(*invoice);
    s.description = invoice->description;
    s.InvoiceDate = invoice->InvoiceDate;
    s.SalesRep = invoice->SalesRep;
    s.Discount = invoice->Discount;
    s.ShippingCharge = invoice->ShippingCharge;
    s.ShippingType = invoice->ShippingType;
    s.Terms = invoice->Terms;
    s.Tax = invoice->Tax;
    s.Interest = invoice->Interest;
    const ado::RecordsetPtr rs = invoice->GetInvoiceItems(invoiceNum);
    // The member has reported its own failure; with no lines to read the
    // document stops here rather than print an invoice without them.
    if (!rs) vb::Raise(vb::err::ObjectNotSet);
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        s.Lines.append(Line{rs->Fields("Qty").Value(), rs->Fields("BackOrder").Value(), rs->Fields("ItemNum").Value(),
                            rs->Fields("Notes").Value(), rs->Fields("Amount").Value()});
    return s;
}

void PrtInvoice::Form_Load() {
    vb::Trap(QStringLiteral("PrtInvoice.Form_Load -"), [this] {
        complete_ = false;
        const std::shared_ptr<cSetup> setup = Globals::SharedSetup;
        const std::shared_ptr<Client> client = Globals::SharedClient;
        // A record that could not be read has been reported; no document
        // is shown rather than one with another record's figures.
        reports::UnlessRecordNotRead(this, [&] {
            shown_ = ReadSource(Globals::CurrentInvoiceNum);
            if (shown_.CustNum == 0) {
                // Nothing stored under that number: nothing to print.
                vb::MsgBox(QStringLiteral("Invoice ") + QString::number(Globals::CurrentInvoiceNum) +
                               QStringLiteral(" is not in the file; there is nothing to print."),
                           vb::vbOKOnly);
                forms::Form::Unload(this);
                return;
            }
            LayOut(shown_, *setup, *client);
            complete_ = true;
        });
    });
}

void PrtInvoice::LayOut(const Source& s, const cSetup& company, const Client& client) {
    printer::PreviewControl& d = VSInvoice;

    reports::ReportOpening(d, false);
    d.setHeader({QString(), QString(), QStringLiteral("Invoice #") + QString::number(s.InvoiceNum)});
    reports::LetterheadBlock(d, QStringLiteral("Remit to: ") + s.Name, company);
    reports::BillToBlock(d, client);
    reports::ShipToBlock(d, client);

    d.Paragraph(QString());
    d.Paragraph(QStringLiteral("Description: ") + s.description);
    d.Paragraph(QString());

    // The invoice's facts. Cells are passed one by one so a "|" or ";" typed
    // into a text cannot split the row.
    d.StartTable();
    d.setTableBorder(printer::tbGrid);
    d.AddTableCells(QStringLiteral("^1in|^3in|^2in|^1.5in;"), QStringLiteral("Date|Ship Via|Sales Rep|Terms;"),
                    {vb::DateToText(s.InvoiceDate), s.ShippingType, s.SalesRep, s.Terms});
    d.setTableCell(printer::tcFontBold, 0, 1, 0, 4, true);
    d.EndTable();
    d.Paragraph(QString());

    // The lines.
    vb::Currency subTotal;
    d.StartTable();
    d.setTableBorder(printer::tbGrid);
    // An invoice without lines still shows the table's header over its
    // empty rows.
    if (s.Lines.isEmpty()) d.AddTable(kLineFormat, kLineHeader, QString());
    for (const Line& line : s.Lines) {
        const vb::Currency amount = Money(line.Amount);
        vb::Currency price;
        if (vb::IsNumeric(line.Qty) && !line.Qty.isEmpty()) {
            const double qty = vb::CDbl(line.Qty);
            if (qty > 0) price = vb::Currency::fromDouble(amount.toDouble() / qty);
        }
        QString backOrd;
        if (!line.BackOrder.isNull() && !line.BackOrder.isEmpty()) {
            backOrd = vb::CStr(vb::Variant(std::fabs(vb::CDbl(line.BackOrder))));
            if (backOrd == QStringLiteral("0")) backOrd.clear();
        }
        d.AddTableCells(kLineFormat, kLineHeader,
                        {reports::DocText(line.Qty), backOrd, reports::DocText(line.ItemNum), reports::DocText(line.Notes), vb::FormatCurrency(price),
                         vb::FormatCurrency(amount)});
        subTotal += amount;
    }
    reports::TwentyRowTable(d, 6);

    // Totals. The Total is the invoice's own total, to the cent the
    // statement charges. Each row prints as the step it makes in the shown
    // running sum SubTotal, less the discount, plus interest, tax and
    // shipping, so the rows as printed add up to the Total as printed; a row
    // differs from its own amount only where that has more decimals than
    // the currency shows.
    const vb::Currency total = Invoice::TotalOf(subTotal, s.Discount, s.ShippingCharge, s.Interest, s.Tax);
    const vb::Currency afterDiscount = subTotal - vb::Currency::fromDouble(subTotal.toDouble() * s.Discount / 100.0);
    const vb::Currency shown[] = {Shown(subTotal), Shown(afterDiscount), Shown(afterDiscount + s.Interest),
                                  Shown(afterDiscount + s.Interest + s.Tax), Shown(total)};
    const QStringList totalsHeader = {QStringLiteral("SubTotal"), vb::FormatCurrency(shown[0])};
    d.StartTable();
    // The totals are never split from each other nor from the last lines:
    // when they do not fit below the lines, lines move to the next page.
    d.setTableKeepTogether(true);
    d.setTableKeepWithPrevious(true);
    d.setAlignment(2);
    d.setTableBorder(printer::tbBoxRows);
    const QString labels[] = {QStringLiteral("Discount:"), QStringLiteral("Interest:"), QStringLiteral("Sales Tax:"),
                              QStringLiteral("Shipping:")};
    for (int k = 0; k < 4; ++k) {
        // The discount prints as the positive amount taken off.
        const vb::Currency step = k == 0 ? shown[0] - shown[1] : shown[k + 1] - shown[k];
        d.AddTableCells(kTotalsFormat, totalsHeader, {labels[k], vb::FormatCurrency(step)});
    }
    d.AddTableCells(kTotalsFormat, totalsHeader, {QStringLiteral("Total:"), vb::FormatCurrency(shown[4])});
    d.setTableCell(printer::tcFontBold, 5, 1, 5, 2, true);
    d.EndTable();

    d.setFooter(reports::kCustomerFooter);
    d.EndDoc();
}

bool PrtInvoice::ShowsStoredInvoice() const {
    if (!complete_) return false;
    bool same = false;
    vb::IgnoreErrors([&] {
        same = ReadSource(Globals::CurrentInvoiceNum) == shown_;
    });
    return same;
}

void PrtInvoice::ShowCurrent() {
    if (forms::Form::isLoaded<PrtInvoice>() && !forms::Form::get<PrtInvoice>().ShowsStoredInvoice())
        forms::Form::unload<PrtInvoice>();
    forms::Form::get<PrtInvoice>().Show();
}
