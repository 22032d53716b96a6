#include "reports/PrtReceipt.h"
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

    // Both connections are closed on every path, also after an error, so a
    // failed receipt leaves no connection to the data file behind.
    struct Close {
        Client& c;
        Invoice& i;
        ~Close() {
            c.CloseCn();
            i.CloseCn();
        }
    } close{*client, *invoice};

    client->OpenCn();
    client->GetClient(custNum);
    s.BillTo = reports::BillToText(*client);
    const vb::Date asOf = s.BalanceDate;
    s.StartingBalance = client->ClientBal(custNum, asOf);

    // The balance closes the shared invoice connection itself, so the
    // payments open it afterwards.
    invoice->OpenCn();
    const ado::RecordsetPtr rs = invoice->AllPayments(s.BalanceDate, custNum);
    // The member has reported its own failure; without the payments the
    // balances would be wrong, so the document stops here.
    if (!rs) vb::Raise(vb::err::ObjectNotSet);
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
    reports::LetterheadBlock(d, s.CompanyName, company);
    reports::BillToBlock(d, client);
    d.Paragraph(QString());

    vb::Currency balance = s.StartingBalance;
    reports::StartStatementTable(d, s.BalanceDate, balance);
    for (const Payment& p : s.Payments) reports::StatementPaymentRow(d, p.Date, Money(p.Amount), balance);
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
