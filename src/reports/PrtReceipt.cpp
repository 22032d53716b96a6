#include "reports/PrtReceipt.h"
#include <algorithm>
#include <limits>
#include <memory>
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {

// A payment amount; an empty one counts as nothing.
vb::Currency Money(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return vb::Currency();
    return vb::CCur(v);
}

// The day of a row's date, for ordering; a row without a date comes first.
double dayOf(const vb::Variant& v) {
    if (!vb::IsDate(v)) return std::numeric_limits<double>::lowest();
    return vb::CDate(v).datePart().serial();
}

} // namespace

PrtReceipt::PrtReceipt() { setCaption(QStringLiteral("Print Receipt")); }

vb::Date PrtReceipt::BalanceDate(const vb::Date& payDate) {
    // The whole day before: a payment date carrying a time of day would
    // otherwise split that day between the balance and the rows.
    return payDate.datePart() - 1;
}

PrtReceipt::Source PrtReceipt::ReadSource(int32_t custNum, const vb::Date& payDate) {
    Source s;
    s.CustNum = custNum;
    s.BalanceDate = BalanceDate(payDate);

    // Each shared instance is taken once here, so a reload elsewhere cannot
    // swap it out between its open and its close.
    const std::shared_ptr<cSetup> setup = Globals::SharedSetup;
    const std::shared_ptr<Client> client = Globals::SharedClient;
    const std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
    if (!setup || !client || !invoice) vb::Raise(vb::err::ObjectNotSet);

    setup->OpenCn();
    setup->GetCompanyInfo();
    setup->CloseCn();
    s.CompanyName = setup->Name;
    s.Letterhead = reports::LetterheadAddress(*setup);

    const ConnectionScope clientOpened = client->OpenScope();
    client->GetClient(custNum);
    s.BillTo = reports::BillToText(*client);
    const vb::Date asOf = s.BalanceDate;
    s.StartingBalance = client->ClientBal(custNum, asOf);

    // The balance closes the shared invoice connection itself, so the
    // invoices and payments open it afterwards.
    const ConnectionScope invoiceOpened = invoice->OpenScope();
    const ado::RecordsetPtr invoices = invoice->GetCustInvoices(custNum, s.BalanceDate);
    const ado::RecordsetPtr rs = invoice->AllPayments(s.BalanceDate, custNum);
    // The member has reported its own failure; without its rows the
    // balances would be wrong, so the document stops here.
    if (!invoices || !rs) vb::Raise(vb::err::ObjectNotSet);
    // A client who bought and paid on the same day owes what is left of the
    // invoice: the invoices from that day on are listed as the statements
    // list them.
    for (invoices->MoveFirst(); !invoices->Eof(); invoices->MoveNext()) {
        Charge c;
        c.Date = invoices->Fields("InvoiceDate").Value();
        c.InvoiceNum = vb::CLng(invoices->Fields("InvoiceNum").Value());
        c.Description = reports::DocText(invoices->Fields("description").Value());
        c.Total = invoice->InvoiceTotal(c.InvoiceNum);
        s.Invoices.append(c);
    }
    std::stable_sort(s.Invoices.begin(), s.Invoices.end(), [](const Charge& a, const Charge& b) {
        const double da = dayOf(a.Date), db = dayOf(b.Date);
        return da != db ? da < db : a.InvoiceNum < b.InvoiceNum;
    });
    if (rs->RecordCount() > 0)
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            s.Payments.append(Payment{rs->Fields("Date").Value(), rs->Fields("Amount").Value()});
    return s;
}

void PrtReceipt::Form_Load() {
    ShowBusy<LoadingBilling>();
    const bool done = vb::Trap(QStringLiteral("PrtReceipt.Form_Load -"), [this] {
        complete_ = false;
        const std::shared_ptr<cSetup> setup = Globals::SharedSetup;
        const std::shared_ptr<Client> client = Globals::SharedClient;
        shown_ = ReadSource(Globals::CurrentCustNum, Globals::CurrentPayDate);
        LayOut(shown_, *setup, *client);
        complete_ = true;
    });
    // After an error the busy window stays up until the user closes it.
    if (done) CloseBusy<LoadingBilling>();
}

void PrtReceipt::LayOut(const Source& s, const cSetup& company, const Client& client) {
    printer::PreviewControl& d = VSInvoice;

    reports::ReportOpening(d, false);
    d.setDocName(QStringLiteral("Receipt ") + reports::ClientName(client));
    reports::LetterheadBlock(d, s.CompanyName, company);
    reports::BillToBlock(d, client);
    d.Paragraph(QString());

    // Invoices and payments by date; on one day the invoice comes first, as
    // a sale is paid after it is made.
    vb::Currency balance = s.StartingBalance;
    reports::StartStatementTable(d, s.BalanceDate, balance);
    qsizetype i = 0, k = 0;
    while (i < s.Invoices.size() || k < s.Payments.size()) {
        if (i < s.Invoices.size() &&
            (k >= s.Payments.size() || dayOf(s.Invoices[i].Date) <= dayOf(s.Payments[k].Date))) {
            const Charge& c = s.Invoices[i++];
            reports::StatementChargeRow(d, c.Date, c.Description, c.Total, balance);
        } else {
            const Payment& p = s.Payments[k++];
            reports::StatementPaymentRow(d, p.Date, Money(p.Amount), balance);
        }
    }
    reports::TwentyRowTable(d, 5);

    d.setFooter(reports::kCustomerFooter);
    d.EndDoc();
}

bool PrtReceipt::ShowsStoredReceipt() const {
    if (!complete_) return false;
    bool same = false;
    vb::IgnoreErrors([&] { same = ReadSource(Globals::CurrentCustNum, Globals::CurrentPayDate) == shown_; });
    return same;
}

void PrtReceipt::ShowCurrent() {
    if (forms::Form::isLoaded<PrtReceipt>() && !forms::Form::get<PrtReceipt>().ShowsStoredReceipt())
        forms::Form::unload<PrtReceipt>();
    forms::Form::get<PrtReceipt>().Show();
}
