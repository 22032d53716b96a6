#pragma once
// The client balance list: every client the data file's ClientBals query
// returns, with number, name and balance, and the grand total of the
// balances. Laid out once, while the window loads.
#include <QString>
#include "ado/Recordset.h"
#include "printer/PageDocument.h"
#include "reports/ReportFrame.h"
#include "vb/Currency.h"

class Client;

class PrtBals : public reports::CustomerReportFrame {
    Q_OBJECT
public:
    PrtBals();

    void Form_Load() override;
};

namespace reports {

// The page header of the client lists: "title|company|today" (the balances
// list "Client Balances", the past-due list its own day count).
printer::HeaderParts ClientBalancesHeader(const QString& title = QStringLiteral("Client Balances"));
// The opening shared by both client lists (no ClearDoc), the header, centred
// placement, one empty line and the boxed table with its column header,
// shown over an empty list too.
void ClientListOpening(printer::PageDocument& doc, const QString& format, const QString& header,
                       const QString& title = QStringLiteral("Client Balances"));
// The end shared by both client lists: EndTable, an empty line, the bold
// grand total, EndDoc.
void ClientListClosing(printer::PageDocument& doc, vb::Currency grandTotal);
// ClientBals through the given instance, its connection closed again on
// every path; raises when the member could give no record set (it has
// reported why), so no list is printed as if no client owed anything.
ado::RecordsetPtr ReadClientBals(Client& client);
// A balance as the lists add it up; an empty one counts as nothing.
vb::Currency BalanceOf(const vb::Variant& v);

} // namespace reports
