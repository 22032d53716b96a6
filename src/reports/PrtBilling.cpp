#include "reports/PrtBilling.h"
#include "ado/Connection.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/cSetup.h"
#include "reports/Billing.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {

// A payment without an amount counts as nothing, so it cannot end the
// statement halfway.
vb::Currency Money(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return vb::Currency();
    return vb::CCur(v);
}

QString Text(const vb::Variant& v) { return reports::DocText(v); }

} // namespace

PrtBilling::PrtBilling() { setCaption(QStringLiteral("Print Billing Statements")); }

int16_t PrtBilling::DaysBack(const QString& text) { return vb::CInt(vb::Variant(vb::Val(text))); }

void PrtBilling::Form_Load() {
    ShowBusy<LoadingBilling>();
    const std::shared_ptr<Client> client = Globals::SharedClient;
    const std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
    const bool done = vb::Trap(QStringLiteral("PrtBilling.Form_Load -"), [&] {
        // Opened only from the selection window; without it there is nothing chosen.
        if (!forms::Form::isLoaded<Billing>()) return;
        Billing& sel = forms::Form::get<Billing>();
        const std::shared_ptr<cSetup> keep = Globals::SharedSetup;
        const cSetup* read = nullptr;
        // Without the company record (reported) no statement is shown.
        reports::UnlessRecordNotRead(this, [&] { read = &reports::ReadCompanyInfo(); });
        if (!read) return;
        const cSetup& company = *read;
        if (!client || !invoice) vb::Raise(vb::err::ObjectNotSet);
        printer::PreviewControl& d = VSInvoice;
        const controls::FlexGrid& grid = sel.CustList2;

        if (sel.OptClient.Value()) {
            // A list without clients has no current client: the document stays empty.
            const int r = grid.Row();
            if (grid.Rows() > 1 && r >= 1) {
                Globals::CurrentCustNum = vb::CLng(vb::Variant(grid.TextMatrix(r, 0)));
                reports::ReportOpening(d, false);
                BuildStatement(company, sel.txtDays.Text(), true);
            } else {
                reports::ReportOpening(d, false);
            }
            d.EndDoc();
        } else {
            reports::ReportOpening(d, false);
            // The statements in a row keep the file's locks from one client
            // to the next; each statement's own snapshot gives them back
            // now and then, so other programs can save meanwhile.
            const ado::ReadSnapshot all;
            const int rows = grid.Rows();
            // A client whose record cannot be read (reported) gets no
            // statement; the others still do.
            bool first = true;
            for (int i = 1; i < rows; ++i) {
                Globals::CurrentCustNum = vb::CLng(vb::Variant(grid.TextMatrix(i, 0)));
                try {
                    BuildStatement(company, sel.txtDays.Text(), first);
                    first = false;
                } catch (const reports::RecordNotRead&) {
                }
            }
            d.EndDoc();
        }
    });
    // The connections each statement opened are closed also after an error.
    if (client) client->CloseCn();
    if (invoice) invoice->CloseCn();
    if (done) CloseBusy<LoadingBilling>();
}

void PrtBilling::BuildStatement(const cSetup& company, const QString& daysText, bool firstPage) {
    const std::shared_ptr<Client> client = Globals::SharedClient;
    const std::shared_ptr<Invoice> invoice = Globals::SharedInvoice;
    if (!client || !invoice) vb::Raise(vb::err::ObjectNotSet);
    printer::PreviewControl& d = VSInvoice;
    const int32_t custNum = Globals::CurrentCustNum;

    const vb::Date since = vb::Today() - DaysBack(daysText);
    // The balance, the invoices and the payments of one statement come from
    // one state of the file, each connection taking its lock at most once.
    const ado::ReadSnapshot oneState;

    client->OpenCn();
    client->GetClient(custNum);
    reports::RequireRead(*client);
    invoice->OpenCn();
    // One read of the client's invoices gives the balance before the
    // statement's days and the invoices listed in them.
    const ado::RecordsetPtr invoices = invoice->ClientInvoices(custNum, since);
    const ado::RecordsetPtr payments = invoice->AllPayments(since, custNum);
    // The members have reported their own failure; a statement without its
    // rows would show a wrong balance, so it stops here.
    if (!invoices || !payments) vb::Raise(vb::err::ObjectNotSet);
    const vb::Currency startBal = client->ClientBal(custNum, since, *invoices);

    if (!firstPage) d.NewPage();
    reports::LetterheadBlock(d, company.Name, company);
    reports::BillToBlock(d, *client);
    d.Paragraph(QString());

    // The rows of the days after the starting balance's, up to today: a
    // row dated later counts in no balance yet, so it is not listed either.
    const ado::DayRange listed = ado::DayRange::AfterThrough(since, vb::Today());
    vb::Currency balance = startBal;
    reports::StartStatementTable(d, since, balance);
    for (invoices->MoveFirst(); !invoices->Eof(); invoices->MoveNext()) {
        const vb::Variant date = invoices->Fields("InvoiceDate").Value();
        if (!listed.Contains(vb::CDate(date))) continue;
        // The row carries the line sum and the header's amounts already.
        reports::StatementChargeRow(d, date, Text(invoices->Fields("description").Value()),
                                    invoice->TotalOfRow(*invoices), balance);
    }
    for (payments->MoveFirst(); !payments->Eof(); payments->MoveNext()) {
        const vb::Variant date = payments->Fields("Date").Value();
        if (vb::IsDate(date) && !listed.Contains(vb::CDate(date))) continue;
        reports::StatementPaymentRow(d, date, Money(payments->Fields("amount").Value()), balance);
    }
    reports::TwentyRowTable(d, 5);

    d.setFooter(reports::kCustomerFooter);
}
