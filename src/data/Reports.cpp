#include "data/Reports.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "vb/Conv.h"

Reports::Reports()
    : DataAccess("Reports"),
      BegDate(vb::Date::fromYmd(vb::Today().year(), 1, 1)),
      EndDate(vb::Today()) {}

QString Reports::Period(const QString& column) const {
    return column + QStringLiteral(" >= ") + ado::SqlDate(BegDate) + QStringLiteral(" and ") + column +
           QStringLiteral("<= ") + ado::SqlDate(EndDate);
}

vb::Currency Reports::PaidWhere(const QString& where) {
    auto r = Read(QStringLiteral("SELECT sum(Payment) as TotalPaid from tb_GL where ") + where + QStringLiteral(" and ") +
                  Period(QStringLiteral("[date]")));
    const vb::Variant v = r->Fields("TotalPaid").Value();
    r->Close();
    return v.isNull() ? vb::Currency() : vb::CCur(v);
}

vb::Currency Reports::Payments(const QString& Category) {
    vb::Currency result;
    Trap("Payments", [&] { result = PaidWhere(QStringLiteral("Category = ") + ado::SqlText(Category)); });
    return result;
}

vb::Currency Reports::OtherPayments(const QStringList& Categories) {
    vb::Currency result;
    Trap("OtherPayments", [&] {
        QStringList listed;
        for (const QString& c : Categories) listed << ado::SqlText(c);
        result = PaidWhere(listed.isEmpty() ? QStringLiteral("1 = 1")
                                            : QStringLiteral("(Category Is Null or Category not in (") +
                                                  listed.join(QLatin1Char(',')) + QStringLiteral("))"));
    });
    return result;
}

vb::Currency Reports::Receipts() {
    vb::Currency result;
    Trap("Receipts", [&] {
        auto r = Read(QStringLiteral("SELECT sum(Amount) as TotalReceived from tb_Receive where ") +
                      Period(QStringLiteral("[date]")));
        const vb::Variant v = r->Fields("TotalReceived").Value();
        result = v.isNull() ? vb::Currency() : vb::CCur(v);
        r->Close();
    });
    return result;
}

ado::RecordsetPtr Reports::rsInventorySales() {
    ado::RecordsetPtr result;
    Trap("rsInventorySales", [&] {
        result = List(
            QStringLiteral("SELECT tb_Inventory.ItemNum as ItemNum, tb_InvCategories.Description as Category, "
                           "tb_Inventory.Description as Description, Sum(tb_trans.Qty) AS Qty, "
                           "Sum(tb_trans.Amount) AS TotalSales "
                           "FROM ((tb_trans INNER JOIN tb_Inventory ON tb_trans.ItemNum = tb_Inventory.ItemNum) "
                           "INNER JOIN tb_InvCategories ON tb_Inventory.CatNum = tb_InvCategories.CatNum) "
                           "INNER JOIN tb_Invoice ON tb_trans.InvoiceNum = tb_Invoice.InvoiceNum "
                           "where (((tb_Invoice.Date)>=") + ado::SqlDate(BegDate) +
            QStringLiteral(" And (tb_Invoice.Date)<=") + ado::SqlDate(EndDate) +
            QStringLiteral(")) GROUP BY tb_Inventory.ItemNum, tb_InvCategories.Description, tb_Inventory.Description;"));
    });
    return result;
}

vb::Currency Reports::TotalSales() {
    vb::Currency result;
    Trap("TotalSales", [&] {
        vb::Currency total;
        Invoice inv;
        inv.InitAccess(Globals::DataFilePath());
        const ConnectionScope opened = inv.OpenScope();
        auto r = Read(Invoice::LineSumsSql(Period(QStringLiteral("i.[date]")), false));
        while (!r->Eof()) {
            // Where a total cannot be made, InvoiceTotal reports it; the loop
            // goes on with what it returned.
            total += inv.TotalOfRow(*r);
            r->MoveNext();
        }
        r->Close();
        result = total;
    });
    return result;
}
