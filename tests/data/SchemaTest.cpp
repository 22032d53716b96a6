// The data file a new installation gets: tables, indexes, the ClientBals
// view, and every statement of Client and Invoice preparing against it.
#include <memory>
#include <random>
#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QDate>
#include <QLocale>
#include "data/Client.h"
#include "data/DataIndexes.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

namespace {

// A day relative to the real today: the view reads SQLite's own clock.
QString day(int offset, const char* time = "00:00:00") {
    return QDate::currentDate().addDays(offset).toString(QStringLiteral("yyyy-MM-dd ")) + QString::fromLatin1(time);
}

vb::Currency cur(const char* s) { return vb::Currency::fromDouble(QLocale::c().toDouble(QString::fromLatin1(s))); }

} // namespace

TEST(Schema, RollbackJournalAndAnIndexOnEveryNumberPointedAt) {
    ProgramFolder f;
    EXPECT_EQ(f.scalar("PRAGMA journal_mode"), "delete");
    struct { const char* table; const char* column; } pointed[] = {
        {"tb_Invoice", "CustNum"}, {"tb_trans", "InvoiceNum"}, {"tb_trans", "ItemNum"},
        {"tb_Receive", "CustNum"}, {"tb_Inventory", "CatNum"}, {"tb_GL", "Vendor"}};
    for (const auto& p : pointed) {
        // The column leads some index of its table.
        const QString n = f.scalar(QStringLiteral(
            "SELECT count(*) FROM pragma_index_list('%1') l, pragma_index_info(l.name) i "
            "WHERE i.seqno = 0 AND i.name = '%2'").arg(p.table, p.column));
        EXPECT_EQ(n, "1") << p.table << "." << p.column;
    }
    // The unordered queries rely on Ordered standing eighth, and on discounts never being Null.
    EXPECT_EQ(f.scalar("SELECT name FROM pragma_table_info('tb_trans') WHERE cid = 7"), "Ordered");
    f.exec("INSERT INTO tb_Client (CustNum) VALUES (1); INSERT INTO tb_Invoice (InvoiceNum) VALUES (1);"
           "INSERT INTO tb_Vendor (VendorNum) VALUES (1)");
    EXPECT_EQ(f.scalar("SELECT (SELECT Discount FROM tb_Client) || (SELECT discount FROM tb_Invoice) || "
                       "(SELECT Discount FROM tb_Vendor)"), "0.00.00.0");
    EXPECT_EQ(f.scalar("SELECT count(*) FROM tb_Client WHERE Lname IS NULL AND CustNum = 1"), "1");
}

// A file of an earlier version (older line and payment indexes, one
// missing) gets the schema's indexes, its rows untouched; again, nothing to
// do; a file that cannot be written is left as it is.
TEST(Schema, OlderFilesGetTheSchemasIndexesAndNothingElse) {
    ProgramFolder f;
    const QString indexes = "SELECT group_concat(sql, ';') FROM (SELECT sql FROM sqlite_master WHERE type = 'index' "
                            "AND sql NOT NULL ORDER BY name)";
    const QString current = f.scalar(indexes);
    f.exec("INSERT INTO tb_trans (TransNum, InvoiceNum, Amount) VALUES (1, 7, 2.5);"
           "DROP INDEX ix_trans_InvoiceNum; CREATE INDEX ix_trans_InvoiceNum ON tb_trans(InvoiceNum);"
           "DROP INDEX ix_Receive_CustNum; CREATE INDEX ix_Receive_CustNum ON tb_Receive(CustNum, [Date]);"
           "DROP INDEX ix_GL_Date");
    QFile::setPermissions(f.dataFile(), QFileDevice::ReadOwner);
    if (!QFileInfo(f.dataFile()).isWritable()) EXPECT_EQ(DataIndexes::Update(f.dataFile()), -1);
    QFile::setPermissions(f.dataFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    int shown = 0;
    // The path as the program names it.
    EXPECT_EQ(DataIndexes::Update(f.path() + "\\Vantrel.mdb", [&shown] { ++shown; }), 3);
    EXPECT_EQ(f.scalar(indexes), current);
    EXPECT_EQ(f.scalar("SELECT InvoiceNum || ' ' || Amount FROM tb_trans"), "7 2.5");
    EXPECT_EQ(DataIndexes::Update(f.dataFile(), [&shown] { ++shown; }), 0);
    EXPECT_EQ(shown, 1);
}

TEST(Schema, ClientBalsListsOnlyPositiveBalancesByNameIgnoringCase) {
    ProgramFolder f;
    f.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES "
           "(1001, 'zed', 'Z'), (1002, 'Adams', 'Ann'), (1003, 'adams', 'al'), (1004, 'Even', 'Steven'),"
           " (1005, 'Paid', 'Up'), (1006, 'Nully', NULL), (1007, 'Old', 'Timer'), (1008, 'Future', 'Only')");
    f.exec(QStringLiteral(
        "INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES "
        "(2001, 1001, '%1', 0, 0, 0, 0),"          // 10
        "(2002, 1002, '%2', 50, 1, 2, 3),"         // 100 * 0.5 + 6 = 56
        "(2003, 1003, '%1', 0, 0, 5, 0),"          // 5, late today counts
        "(2004, 1004, '%1', 0, 0, 20, 0),"         // paid exactly
        "(2005, 1005, '%1', 0, 0, 1, 0),"          // overpaid
        "(2006, 1006, '%1', 0, 0, 0.0001, 0),"
        "(2007, 1007, '1981-01-01 00:00:00', 0, 0, 99, 0),"   // never counts
        "(2008, 1008, '%3', 0, 0, 99, 0),"         // tomorrow: not yet
        "(2009, 9999, '%1', 0, 0, 99, 0)")         // no client row
               .arg(day(0, "23:59:59"), day(-400, "13:14:15"), day(1)));
    f.exec("INSERT INTO tb_trans (TransNum, InvoiceNum, Amount) VALUES (5001, 2001, 4), (5002, 2001, 6), (5003, 2002, 100)");
    f.exec(QStringLiteral("INSERT INTO tb_Receive (TransNum, CustNum, [Date], Amount) VALUES "
                          "(7001, 1004, '1900-01-01 00:00:00', 20), (7002, 1005, '%1', 2), (7003, 1002, '%2', 50),"
                          " (7004, 9999, '%1', 1)").arg(day(0), day(1)));

    // A file made before a row counted once its day had come: the first read
    // replaces its view by today's.
    const QString view = f.scalar("select sql from sqlite_master where name = 'ClientBals'");
    f.exec("drop view ClientBals; " + QString(view).replace("< datetime(", "<= datetime("));
    Client c;
    c.InitAccess(f.path() + "\\Vantrel.mdb");
    c.OpenCn();
    auto rs = c.ClientBals();
    ASSERT_TRUE(rs);
    EXPECT_EQ(f.scalar("select sql from sqlite_master where name = 'ClientBals'"), view);
    QStringList got;
    for (; !rs->Eof(); rs->MoveNext())
        got << QStringLiteral("%1 %2 %3").arg(vb::CLng(rs->Fields("CustNum").Value()))
                   .arg(rs->Fields("FullName").Value().str())
                   .arg(vb::CCur(rs->Fields("Bal").Value()).toInvariantString());
    // 1006 owes 0.0001, which shows as nothing owed.
    EXPECT_EQ(got, QStringList({"1003 adams, al 5", "1002 Adams, Ann 56", "1001 zed, Z 10"}));

    // The view and the member agree client by client.
    Globals::SharedInvoice = std::make_shared<Invoice>();
    Globals::SharedInvoice->InitAccess(f.path() + "\\Vantrel.mdb");
    for (int n : {1001, 1002, 1003, 1004, 1006})
        EXPECT_EQ(c.ClientBal(n, vb::Date()).toInvariantString(),
                  (QStringList{"10", "56", "5", "0", "0.0001"})[n == 1006 ? 4 : n - 1001]) << n;
    Globals::SharedInvoice.reset();
    c.CloseCn();
}

// Generated clients with discounts that leave half ten-thousandths, amounts
// of four decimals, and payments of the balance as shown: the view lists a
// client exactly when the member's balance shows as owing, with that balance.
TEST(Schema, ClientBalsAgreesWithClientBalForEveryClient) {
    ProgramFolder f;
    std::mt19937 gen(20260309);
    auto pick = [&](int n) { return int(gen() % unsigned(n)); };
    const char* discounts[] = {"0", "2.5", "12.5", "7.25", "33.3333", "1.5", "0.1"};
    QString sql = QStringLiteral("BEGIN;");
    int invoice = 2000, line = 5000;
    for (int c = 1; c <= 300; ++c) {
        sql += QStringLiteral("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (%1, 'L%1', 'F');").arg(c);
        for (int k = pick(3) + 1; k > 0; --k) {
            ++invoice;
            sql += QStringLiteral("INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, "
                                  "interest) VALUES (%1, %2, '%3', %4, %5, %6, %7);")
                       .arg(invoice).arg(c).arg(day(-pick(900)))
                       .arg(QString::fromLatin1(discounts[pick(7)]))
                       .arg(pick(3) ? QStringLiteral("0") : QString::number(pick(100000) / 10000.0, 'f', 4))
                       .arg(pick(2) ? QStringLiteral("0") : QString::number(pick(5000) / 100.0, 'f', 2))
                       .arg(pick(4) ? QStringLiteral("0") : QString::number(pick(1000) / 1000.0, 'f', 3));
            for (int n = pick(3) + 1; n > 0; --n)
                sql += QStringLiteral("INSERT INTO tb_trans (TransNum, InvoiceNum, Qty, Amount) VALUES (%1, %2, 1, %3);")
                           .arg(++line).arg(invoice).arg(QString::number(pick(200000) / 100.0, 'f', 2));
        }
    }
    f.exec(sql + QStringLiteral("COMMIT;"));

    Client client;
    client.InitAccess(f.path() + "\\Vantrel.mdb");
    client.OpenCn();
    Globals::SharedInvoice = std::make_shared<Invoice>();
    Globals::SharedInvoice->InitAccess(f.path() + "\\Vantrel.mdb");
    // Two clients of three pay their balance as shown; the rest pay a little.
    sql = QStringLiteral("BEGIN;");
    for (int c = 1; c <= 300; ++c) {
        const vb::Currency bal = client.ClientBal(c, vb::Date());
        const QString paid = c % 3 ? vb::Format00(bal.toDouble()).remove(QLatin1Char(','))
                                   : QString::number(pick(10000) / 100.0, 'f', 2);
        sql += QStringLiteral("INSERT INTO tb_Receive (TransNum, CustNum, [Date], Amount) VALUES (%1, %1, '%2', %3);")
                   .arg(c).arg(day(-1)).arg(paid);
    }
    f.exec(sql + QStringLiteral("COMMIT;"));

    QMap<int, vb::Currency> listed;
    for (auto rs = client.ClientBals(); !rs->Eof(); rs->MoveNext())
        listed.insert(vb::CLng(rs->Fields("CustNum").Value()), vb::CCur(rs->Fields("Bal").Value()));
    int owing = 0;
    for (int c = 1; c <= 300; ++c) {
        const vb::Currency bal = client.ClientBal(c, vb::Date());
        owing += Client::Owes(bal);
        ASSERT_EQ(listed.value(c, vb::Currency()), Client::Owes(bal) ? bal : vb::Currency()) << c;
    }
    EXPECT_GT(owing, 50);   // the payments left both kinds
    EXPECT_LT(owing, 250);
    Globals::SharedInvoice.reset();
    client.CloseCn();
}

TEST(Schema, ClientBalsPlanSumsEachSideOnceNotPerClient) {
    ProgramFolder f;
    const auto plan = f.query("EXPLAIN QUERY PLAN SELECT ClientBals.CustNum as CustNum, ClientBals.Fullname AS FullName, "
                              "ClientBals.Balance as Bal FROM ClientBals order by ClientBals.Fullname");
    ASSERT_FALSE(plan.empty());
    for (const auto& row : plan) EXPECT_FALSE(row.last().contains("CORRELATED")) << row.last().toStdString();
}

// Every statement the two classes build, run once on the real schema with rows
// that make every loop turn: a statement that does not prepare would show its
// report, and an unscripted box fails the test.
TEST(Schema, EveryStatementOfClientAndInvoicePrepares) {
    ProgramFolder f;
    f.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1001, 'Lee', 'Ann');"
           "INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, shippingdate, interest) "
           " VALUES (2001, 1001, '2024-01-02 00:00:00', 0, 0, 0, '2024-01-02 00:00:00', 0);"
           "INSERT INTO tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Backorder) VALUES (5001, 2001, 3001, 1, 2, -1);"
           "INSERT INTO tb_Inventory (ItemNum, CatNum, par, instock) VALUES (3001, 1, 5, 1);"
           "INSERT INTO tb_Receive (TransNum, CustNum, [Date], Amount) VALUES (7001, 1001, '2024-01-03 00:00:00', 1);");
    const QString path = f.path() + "\\Vantrel.mdb";
    Globals::SharedInvoice = std::make_shared<Invoice>();
    Globals::SharedInvoice->InitAccess(path);
    Client c;
    c.InitAccess(path);
    c.OpenCn();
    Invoice i;
    i.InitAccess(path);
    i.OpenCn();
    const vb::Date since = vb::Date::fromYmd(2000, 1, 1);

    EXPECT_TRUE(c.GetAllClients());
    EXPECT_TRUE(c.GetClientRS("L"));
    EXPECT_TRUE(c.GetClient(1001));
    EXPECT_FALSE(c.GetClient(0));
    EXPECT_TRUE(c.ClientBals());
    EXPECT_TRUE(c.rsLastPayment(1001));
    EXPECT_EQ(c.ClientBal(1001, vb::Date()), cur("1"));
    EXPECT_EQ(c.ClientName(1001), "Ann  Lee");
    c.CustNum = 1002;
    EXPECT_TRUE(c.SaveClientAccess(0));

    EXPECT_TRUE(i.AllPayments(since, -1));
    EXPECT_TRUE(i.AllPayments(since, 1001));
    EXPECT_TRUE(i.GetAllInvoices(since));
    EXPECT_TRUE(i.GetCustInvoices(1001, since));
    EXPECT_TRUE(i.GetInvoiceItems(2001));
    EXPECT_TRUE(i.GetBackOrderItems());
    EXPECT_TRUE(i.SaveOrderDate(5001, since));
    EXPECT_TRUE(i.GetBackOrderedItems());
    EXPECT_TRUE(i.GetInvoice(2001));
    EXPECT_TRUE(i.SaveInvoiceAccess(2001));
    EXPECT_TRUE(i.SaveTransAccess());
    EXPECT_TRUE(i.AddToInvoice(2001, 3001, 1, cur("1"), "n", false));
    i.setCustNum(1001);
    EXPECT_TRUE(i.SavePayment());
    EXPECT_TRUE(i.DeletePayment(i.PayNum));
    EXPECT_TRUE(i.DeleteInvoiceItem(i.TransNum));
    i.GetnewInvoiceNum();
    EXPECT_EQ(i.InvoiceNum(), 2002);
    EXPECT_GT(i.NewPayNum(), 1000);
    EXPECT_GT(i.NewTransNum(), 1000);
    EXPECT_EQ(i.InvoiceTotal(2001), cur("3"));
    EXPECT_TRUE(i.DeleteInvoice(2001));
    EXPECT_TRUE(c.DeleteClient(1001));

    i.CloseCn();
    c.CloseCn();
    Globals::SharedInvoice.reset();
}
