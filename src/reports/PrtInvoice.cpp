#include "reports/PrtInvoice.h"
#include <cmath>
#include <QLocale>
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/Decimal.h"
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

// Currency text of an amount held as a double, rounded once to the
// currency's decimals (from its 15 significant digits, halves away from
// zero, as the currency text of a Currency rounds), so an amount kept
// unrounded is not rounded twice on its way to the text.
QString DoubleCurrencyText(double x) {
    if (!std::isfinite(x)) vb::Raise(vb::err::Overflow);
    if (x == 0) return vb::FormatCurrency(vb::Currency());
    vb::detail::DecimalText d;
    d.negative = x < 0;
    int exp10 = 0;
    vb::detail::Digits15(std::fabs(x), d.digits, exp10);
    // Digits15 gives the exponent of the first digit; DecimalText wants the last's.
    d.exponent = exp10 - int(d.digits.size()) + 1;
    const int places = std::min(CurrencyPlaces(), 4);
    int64_t scaled = 0;
    if (!vb::detail::ToScaled(d, places, vb::detail::Rounding::HalfAwayFromZero, scaled))
        vb::Raise(vb::err::Overflow);
    int64_t factor = 1;
    for (int i = places; i < 4; ++i) factor *= 10;
    if (scaled > INT64_MAX / factor || scaled < INT64_MIN / factor) vb::Raise(vb::err::Overflow);
    return vb::FormatCurrency(vb::Currency::fromRaw(scaled * factor));
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
        if (invoice->GetInvoice(invoiceNum)) custNum = invoice->CustNum();
    }
    s.CustNum = custNum;

    setup->OpenCn();
    setup->GetCompanyInfo();
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

    // Totals. The discount prints unrounded; the Total is the invoice's own
    // total, to the cent the statement charges.
    const double discount = subTotal.toDouble() * s.Discount / 100.0;
    const vb::Currency shipping = s.ShippingCharge;
    const vb::Currency total = Invoice::TotalOf(subTotal, s.Discount, shipping, s.Interest, s.Tax);
    const QStringList totalsHeader = {QStringLiteral("SubTotal"), vb::FormatCurrency(subTotal)};
    d.StartTable();
    // The totals are never split from each other nor from the last lines:
    // when they do not fit below the lines, lines move to the next page.
    d.setTableKeepTogether(true);
    d.setTableKeepWithPrevious(true);
    d.setAlignment(2);
    d.setTableBorder(printer::tbBoxRows);
    d.AddTableCells(kTotalsFormat, totalsHeader, {QStringLiteral("Discount:"), DoubleCurrencyText(discount)});
    d.AddTableCells(kTotalsFormat, totalsHeader, {QStringLiteral("Interest:"), vb::FormatCurrency(s.Interest)});
    d.AddTableCells(kTotalsFormat, totalsHeader, {QStringLiteral("Sales Tax:"), vb::FormatCurrency(s.Tax)});
    d.AddTableCells(kTotalsFormat, totalsHeader, {QStringLiteral("Shipping:"), vb::FormatCurrency(shipping)});
    d.AddTableCells(kTotalsFormat, totalsHeader, {QStringLiteral("Total:"), vb::FormatCurrency(total)});
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
