#include "data/ClientSet.h"
#include "data/Client.h"
#include "data/Invoice.h"
#include "vb/Conv.h"

using ado::SqlDate;

ClientSet::ClientSet() : DataAccess("ClientSet") {}

QString ClientSet::InList(const std::vector<int32_t>& clients) {
    QString list = QStringLiteral("(");
    list.reserve(qsizetype(clients.size()) * 6 + 2);
    for (size_t k = 0; k < clients.size(); ++k) {
        if (k > 0) list += QLatin1Char(',');
        list += QString::number(clients[k]);
    }
    return list + QLatin1Char(')');
}

bool ClientSet::LastPayments(const std::vector<int32_t>& clients, std::unordered_map<int32_t, LastPayment>& out) {
    out.clear();
    if (clients.empty()) return true;
    return Trap("LastPayments", [&] {
        const ado::RecordsetPtr r = List(QStringLiteral("select CustNum, [date], Amount from tb_Receive where CustNum in ") +
                                         InList(clients) +
                                         QStringLiteral(" ORDER BY CustNum, [DATE] DESC, TRANSNUM DESC"));
        const ado::Field num = r->Fields("CustNum"), date = r->Fields("date"), amount = r->Fields("Amount");
        // The first row of each client is its newest.
        for (r->MoveFirst(); !r->Eof(); r->MoveNext())
            out.try_emplace(vb::CLng(num.Value()), LastPayment{date.Value(), amount.Value()});
    });
}

bool ClientSet::OldestInvoiceDates(const std::vector<int32_t>& clients, std::unordered_map<int32_t, vb::Variant>& out) {
    out.clear();
    if (clients.empty()) return true;
    return Trap("OldestInvoiceDates", [&] {
        const ado::RecordsetPtr r = List(QStringLiteral("select CustNum, [date] from tb_Invoice where CustNum in ") +
                                         InList(clients) + QStringLiteral(" and [date] > ") + SqlDate(vb::Date()) +
                                         QStringLiteral(" order by CustNum, [date]"));
        const ado::Field num = r->Fields("CustNum"), date = r->Fields("date");
        for (r->MoveFirst(); !r->Eof(); r->MoveNext()) {
            const vb::Variant d = date.Value();
            if (vb::IsDate(d)) out.try_emplace(vb::CLng(num.Value()), d);
        }
    });
}

bool ClientSet::Statements(const std::vector<int32_t>& clients, const vb::Date& since, Invoice& invoice,
                           std::unordered_map<int32_t, Statement>& out) {
    out.clear();
    if (clients.empty()) return true;
    return Trap("Statements", [&] {
        const QString in = InList(clients);
        // The rows of the days after the opening balance's, up to today: a
        // row dated later counts in no balance yet, so it is not listed either.
        const ado::DayRange listed = ado::DayRange::AfterThrough(since, vb::Today());
        const ado::DayRange counted = Client::CountedThrough(since);
        std::unordered_map<int32_t, vb::Currency> invoiced;
        {
            // Every dated invoice, for the opening balance and the rows.
            const ado::RecordsetPtr r = List(Invoice::LineSumsSql(
                QStringLiteral("i.CustNum in ") + in +
                    QStringLiteral(" and not isnull(i.[date]) order by i.CustNum, i.InvoiceNum desc"),
                true, &since));
            const ado::Field num = r->Fields("CustNum"), date = r->Fields("InvoiceDate"),
                             description = r->Fields("description");
            for (r->MoveFirst(); !r->Eof(); r->MoveNext()) {
                const int32_t cust = vb::CLng(num.Value());
                const vb::Variant d = date.Value();
                const vb::Currency total = invoice.TotalOfRow(*r);
                if (Client::Counts(vb::CDate(d), counted)) invoiced[cust] += total;
                if (listed.Contains(vb::CDate(d))) out[cust].charges.push_back({d, description.Value(), total});
            }
        }
        std::unordered_map<int32_t, double> paid;
        {
            const ado::RecordsetPtr r = List(Client::PaidAsOfSql(since, QStringLiteral("tb_Client.CustNum in ") + in));
            const ado::Field num = r->Fields("CustNum"), sum = r->Fields("SumOfPay");
            for (r->MoveFirst(); !r->Eof(); r->MoveNext()) paid[vb::CLng(num.Value())] = vb::CDbl(sum.Value());
        }
        {
            const ado::RecordsetPtr r = List(
                QStringLiteral("SELECT tb_Receive.CustNum, tb_Receive.Date, tb_Receive.Amount FROM tb_Client INNER JOIN "
                               "tb_Receive ON tb_Client.CustNum = tb_Receive.CustNum WHERE ") +
                listed.Sql(QStringLiteral("tb_Receive.Date")) + QStringLiteral(" and tb_Receive.CustNum in ") + in +
                QStringLiteral(" order by tb_Receive.CustNum, tb_Receive.Date, tb_Receive.TransNum;"));
            const ado::Field num = r->Fields("CustNum"), date = r->Fields("Date"), amount = r->Fields("Amount");
            for (r->MoveFirst(); !r->Eof(); r->MoveNext())
                out[vb::CLng(num.Value())].payments.push_back({date.Value(), amount.Value()});
        }
        for (const int32_t cust : clients) {
            const auto i = invoiced.find(cust);
            const auto p = paid.find(cust);
            out[cust].startBal = Client::BalanceFrom(i == invoiced.end() ? vb::Currency() : i->second,
                                                     p == paid.end() ? 0.0 : p->second);
        }
    });
}
