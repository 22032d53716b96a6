#include "reports/Prt30Days.h"
#include "customers/StatusWindow.h"
#include <unordered_map>
#include <vector>
#include "data/Client.h"
#include "data/ClientSet.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "reports/PrtBals.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {
const QString kAgedFormat = QStringLiteral("^1in|2.5in|>1.125in|>1.5in|>1.5in;");
// One empty cell past the last column, as the list has always been printed.
const QString kAgedHeader = QStringLiteral("Client#|Name|Balance|Last Pmt Date|Last Pmt Amount|;");
} // namespace

Prt30Days::Prt30Days() { setCaption(QStringLiteral("Print clients with balances over 30 days without payment")); }

ado::RecordsetPtr Prt30Days::NewAgedList() {
    auto aged = std::make_shared<ado::Recordset>();
    aged->Fields().Append(QStringLiteral("CustNum"), ado::adVarChar, 12);
    aged->Fields().Append(QStringLiteral("FullName"), ado::adVarChar, 50);
    aged->Fields().Append(QStringLiteral("Bal"), ado::adCurrency);
    aged->Fields().Append(QStringLiteral("LastPayDate"), ado::adDate);
    aged->Fields().Append(QStringLiteral("LastPayAmount"), ado::adCurrency);
    aged->CursorLocation = ado::adUseClient;
    aged->LockType = ado::adLockOptimistic;
    aged->ActiveConnection = nullptr;
    aged->Open();
    return aged;
}

void Prt30Days::Form_Load() {
    setCaption(QStringLiteral("Clients with balance ") + QString::number(Globals::AgingDays) +
               QStringLiteral(" days past due"));
    ado::RecordsetPtr aged;
    if (!vb::Trap(QStringLiteral("Prt30days.Form_Load -"), [&] { aged = NewAgedList(); })) return;

    ShowBusy<LoadingClients>();
    const bool done = vb::Trap(QStringLiteral("Prt30days.Form_Load -"), [&] {
        const std::shared_ptr<Client> client = Globals::SharedClient;
        if (!client) vb::Raise(vb::err::ObjectNotSet);
        // A payment on the cut-off day itself is not yet past due.
        const vb::Date cutOff = vb::Today() - Globals::AgingDays;
        {
            const ConnectionScope opened = client->OpenScope();
            const ado::RecordsetPtr bals = client->ClientBals();
            if (!bals) vb::Raise(vb::err::ObjectNotSet);
            // Every owing client's last payment, and the oldest invoice of
            // those never paid, each in one statement for the whole list.
            std::vector<int32_t> owing, neverPaid;
            for (bals->MoveFirst(); !bals->Eof(); bals->MoveNext()) owing.push_back(vb::CLng(bals->Fields("CustNum").Value()));
            ClientSet set;
            set.InitAccess(Globals::DataFilePath());
            const ConnectionScope setOpened = set.OpenScope();
            std::unordered_map<int32_t, ClientSet::LastPayment> lastPayments;
            std::unordered_map<int32_t, vb::Variant> oldestInvoices;
            if (!set.LastPayments(owing, lastPayments)) vb::Raise(vb::err::ObjectNotSet);
            for (const int32_t c : owing)
                if (!lastPayments.count(c)) neverPaid.push_back(c);
            if (!set.OldestInvoiceDates(neverPaid, oldestInvoices)) vb::Raise(vb::err::ObjectNotSet);
            for (bals->MoveFirst(); !bals->Eof(); bals->MoveNext()) {
                const int32_t custNum = vb::CLng(bals->Fields("CustNum").Value());
                const auto last = lastPayments.find(custNum);
                vb::Variant payDate, payAmount;
                if (last == lastPayments.end()) {
                    // Never paid: past due once the oldest invoice is older
                    // than the days; listed without a payment date.
                    const auto oldest = oldestInvoices.find(custNum);
                    if (oldest == oldestInvoices.end() || !(vb::CDate(oldest->second).datePart() < cutOff)) continue;
                } else {
                    payDate = last->second.date;
                    payAmount = last->second.amount;
                    // A payment without a date cannot be aged.
                    if (!vb::IsDate(payDate) || !(vb::CDate(payDate) < cutOff)) continue;
                }
                aged->AddNew();
                aged->Fields("CustNum") = vb::Variant(reports::DocText(bals->Fields("CustNum").Value()));
                aged->Fields("FullName") = bals->Fields("FullName").Value();
                aged->Fields("Bal") = vb::Variant(reports::BalanceOf(bals->Fields("Bal").Value()));
                if (!payDate.isEmpty()) aged->Fields("LastPayDate") = payDate;
                aged->Fields("LastPayAmount") = vb::Variant(reports::BalanceOf(payAmount));
                aged->Update();
            }
        }

        printer::PreviewControl& d = VSInvoice;
        reports::ClientListOpening(d, kAgedFormat, kAgedHeader);
        vb::Currency grandTotal;
        if (aged->RecordCount() > 0) {
            aged->setSort(QStringLiteral("LastPayDate"));
            // Cells are passed one by one so a "|" or ";" in a name cannot split the row.
            for (aged->MoveFirst(); !aged->Eof(); aged->MoveNext()) {
                const vb::Currency bal = vb::CCur(aged->Fields("Bal").Value());
                d.AddTableCells(kAgedFormat, kAgedHeader,
                                {reports::DocText(aged->Fields("CustNum").Value()),
                                 reports::DocText(aged->Fields("FullName").Value()), vb::FormatCurrency(bal),
                                 reports::DocText(aged->Fields("LastPayDate").Value()),
                                 vb::FormatCurrency(vb::CCur(aged->Fields("LastPayAmount").Value()))});
                grandTotal += bal;
            }
        }
        reports::ClientListClosing(d, grandTotal);
    });
    if (done) CloseBusy<LoadingClients>();
}
