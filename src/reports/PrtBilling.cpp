#include "reports/PrtBilling.h"
#include <unordered_map>
#include <vector>
#include "ado/Connection.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/ClientSet.h"
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
        const cSetup& company = reports::ReadCompanyInfo();
        if (!client || !invoice) vb::Raise(vb::err::ObjectNotSet);
        printer::PreviewControl& d = VSInvoice;
        const controls::FlexGrid& grid = sel.CustList2;

        // The chosen clients: the highlighted one, or every one listed.
        std::vector<int32_t> chosen;
        if (sel.OptClient.Value()) {
            // A list without clients has no current client: the document stays empty.
            const int r = grid.Row();
            if (grid.Rows() > 1 && r >= 1) chosen.push_back(vb::CLng(vb::Variant(grid.TextMatrix(r, 0))));
        } else {
            for (int i = 1; i < grid.Rows(); ++i) chosen.push_back(vb::CLng(vb::Variant(grid.TextMatrix(i, 0))));
        }
        reports::ReportOpening(d, false);
        if (!sel.OptClient.Value()) d.setDocName(QStringLiteral("Statements"));
        const vb::Date since = chosen.empty() ? vb::Date() : vb::Today() - DaysBack(sel.txtDays.Text());
        // The statements in a row keep the file's locks from one client to
        // the next; each statement's own snapshot gives them back now and
        // then, so other programs can save meanwhile.
        const ado::ReadSnapshot all;
        std::unordered_map<int32_t, ClientSet::Statement> statements;
        {
            // Every chosen client's balance, invoices and payments from one
            // state of the file, in a few statements for the whole list.
            const ado::ReadSnapshot oneState;
            ClientSet set;
            set.InitAccess(Globals::DataFilePath());
            const ConnectionScope opened = set.OpenScope();
            invoice->OpenCn();
            // The member has reported its own failure; statements without
            // their rows would show wrong balances, so none is laid out.
            if (!set.Statements(chosen, since, *invoice, statements)) vb::Raise(vb::err::ObjectNotSet);
        }
        for (size_t i = 0; i < chosen.size(); ++i) {
            Globals::CurrentCustNum = chosen[i];
            BuildStatement(company, since, statements[chosen[i]]);
            if (i + 1 < chosen.size()) d.NewPage();
        }
        d.EndDoc();
    });
    // The connections each statement opened are closed also after an error.
    if (client) client->CloseCn();
    if (invoice) invoice->CloseCn();
    if (done) CloseBusy<LoadingBilling>();
}

void PrtBilling::BuildStatement(const cSetup& company, const vb::Date& since, const ClientSet::Statement& rows) {
    const std::shared_ptr<Client> client = Globals::SharedClient;
    if (!client) vb::Raise(vb::err::ObjectNotSet);
    printer::PreviewControl& d = VSInvoice;
    const ado::ReadSnapshot oneState;
    client->OpenCn();
    client->GetClient(Globals::CurrentCustNum);

    if (d.DocName().isEmpty()) d.setDocName(QStringLiteral("Statement ") + reports::ClientName(*client));
    reports::LetterheadBlock(d, company.Name, company);
    reports::BillToBlock(d, *client);
    d.Paragraph(QString());

    vb::Currency balance = rows.startBal;
    reports::StartStatementTable(d, since, balance);
    for (const ClientSet::Charge& c : rows.charges)
        reports::StatementChargeRow(d, c.date, Text(c.description), c.total, balance);
    for (const ClientSet::Payment& p : rows.payments) reports::StatementPaymentRow(d, p.date, Money(p.amount), balance);
    reports::TwentyRowTable(d, 5);

    d.setFooter(reports::kCustomerFooter);
}
