#include "reports/PrtBals.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {
const QString kBalsFormat = QStringLiteral("^1in|3in|>1.125in;");
const QString kBalsHeader = QStringLiteral("Client#|Name|Balance;");
} // namespace

namespace reports {

printer::HeaderParts ClientBalancesHeader(const QString& title) { return TitleHeader(title, Globals::CoName); }

void ClientListOpening(printer::PageDocument& doc, const QString& format, const QString& header, const QString& title) {
    ReportOpening(doc, false);
    doc.setHeader(ClientBalancesHeader(title));
    doc.setAlignment(1);
    doc.Paragraph(QString());
    doc.StartTable();
    doc.setTableBorder(printer::tbBoxHeader);
    doc.AddTable(format, header, QString());
}

void ClientListClosing(printer::PageDocument& doc, vb::Currency grandTotal) {
    doc.EndTable();
    doc.Paragraph(QString());
    doc.setFontBold(true);
    doc.Paragraph(QStringLiteral("Grand Total: ") + vb::FormatCurrency(grandTotal));
    doc.EndDoc();
}

ado::RecordsetPtr ReadClientBals(Client& client) {
    const ConnectionScope opened = client.OpenScope();
    ado::RecordsetPtr rs = client.ClientBals();
    if (!rs) vb::Raise(vb::err::ObjectNotSet);
    return rs;
}

vb::Currency BalanceOf(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return vb::Currency();
    return vb::CCur(v);
}

} // namespace reports

PrtBals::PrtBals() { setCaption(QStringLiteral("Print Clients with Balances")); }

void PrtBals::Form_Load() {
    ShowBusy<LoadingClients>();
    const bool done = vb::Trap(QStringLiteral("PrtBals.Form_Load -"), [this] {
        const std::shared_ptr<Client> client = Globals::SharedClient;
        if (!client) vb::Raise(vb::err::ObjectNotSet);
        const ado::RecordsetPtr bals = reports::ReadClientBals(*client);
        bals->setSort(QStringLiteral("FullName"));

        printer::PreviewControl& d = VSInvoice;
        reports::ClientListOpening(d, kBalsFormat, kBalsHeader);
        vb::Currency grandTotal;
        // Cells are passed one by one so a "|" or ";" in a name cannot split the row.
        for (bals->MoveFirst(); !bals->Eof(); bals->MoveNext()) {
            const vb::Variant bal = bals->Fields("Bal").Value();
            d.AddTableCells(kBalsFormat, kBalsHeader,
                            {reports::DocText(bals->Fields("CustNum").Value()),
                             reports::DocText(bals->Fields("FullName").Value()),
                             vb::FormatCurrency(reports::BalanceOf(bal))});
            grandTotal += reports::BalanceOf(bal);
        }
        reports::ClientListClosing(d, grandTotal);
    });
    if (done) CloseBusy<LoadingClients>();
}
