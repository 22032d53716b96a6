// Every document over a sample (VANTREL_SAMPLE_CLIENTS clients; VANTREL_PDF_DIR saves each as PDF) of long names,
// notes with line feeds and tabs, 51 categories: no text past the margins, a client's later pages name the client.
#include <QDir>
#include "customers/InvoiceFixture.h"
#include "data/Vendor.h"
#include "reports/Billing.h"
#include "reports/Prt30Days.h"
#include "reports/PrtBackOrdered.h"
#include "reports/PrtBackOrders.h"
#include "reports/PrtBals.h"
#include "reports/PrtBilling.h"
#include "reports/PrtIncome.h"
#include "reports/PrtInventory.h"
#include "reports/PrtInventoryBestSales.h"
#include "reports/PrtInventorySales.h"
#include "reports/PrtInvoice.h"
#include "reports/PrtReceipt.h"
#include "reports/PrtRegistry.h"
#include "support/DocumentReader.h"

using forms::Form;
using Doc = const printer::PreviewControl&;

namespace {
const char* kSample = R"(INSERT INTO tb_Company VALUES ('Harbor Marine & Industrial Supply Company of the Greater Coast', '1400 Long Wharf Road, Harbourfront Commerce Tower', '', 'South Portsmouth Heights', 'NH', '03801', '603-555-0100', '603-555-0101', 'harbor-marine-supply.example', 8.25);
INSERT INTO tb_ExpenseTypes VALUES ('Rent'), ('Supplies'); INSERT INTO tb_Vendor (VendorNum, Company) VALUES (1, 'Northwestern Industrial Supplies Limited');
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 51) INSERT INTO tb_InvCategories SELECT i, 'Category number ' || i FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 102) INSERT INTO tb_Inventory SELECT 100 + i, 1 + i % 51, 'Stainless fitting, marine grade, size ' || i, 2.5, 5, 3, '12 months' FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < %1) INSERT INTO tb_Client (CustNum, Fname, Lname, BillFname, BillLname, BillAddress1, BillCity, BillState, BillZipcode, ShipFname, ShipLname, shipAddress1, ShipCity, ShipState, ShipZipcode, ShipHomePhone) SELECT 1000 + i, 'Max', 'Featherstonehaugh ' || i, 'Maximilian Bartholomew', 'Featherstonehaugh-Worthington ' || i, 'Suite ' || i || ', Harbourfront Commerce Tower, 1400 Long Wharf Road', 'South Portsmouth Heights', 'NH', '03801', 'Maximilian Bartholomew', 'Featherstonehaugh-Worthington ' || i, 'Loading Dock ' || i || ', Northwestern Industrial Estate', 'South Portsmouth Heights', 'NH', '03801-4455', '603-555-0199' FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < %1 + 21) INSERT INTO tb_Invoice SELECT 5000 + i, CASE WHEN i > %1 THEN 1001 ELSE 1000 + i END, '2026-11-' || (10 + i % 19) || ' 00:00:00', 'Spring refit of the fittings, the deck hardware polished and refitted by hand', 5, 1.5, 12.5, '2026-12-01 00:00:00', 'UPS Ground', '', 0, 'Jo Anne Marie Fitzgerald-Worthington', 'Net 30' FROM k;
WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 3 * %1 + 90) INSERT INTO tb_trans SELECT 1 + i, 5001 + i / 3, 101 + i % 102, 1 + i % 4, 10, CASE i % 3 WHEN 0 THEN 'Marine-grade varnish, three coats, hand-sanded' WHEN 1 THEN '00000000000000000000000000000000' || char(10) || '9' ELSE 'Tabbed' || char(9) || 'notes' || char(9) || 'from' || char(13, 10) || 'an older file' END, CASE WHEN i % 5 = 0 THEN -2 END, CASE WHEN i % 10 = 0 THEN '2026-12-02 00:00:00' END FROM k;
UPDATE tb_trans SET InvoiceNum = 5002 WHERE InvoiceNum > 5000 + %1 + 21;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < %1 + 27) INSERT INTO tb_Receive SELECT i, CASE WHEN i > %1 THEN 1001 ELSE 1000 + i END, 'Check', '', '2026-11-' || (20 + i % 9) || ' 00:00:00', 5, '' FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 40) INSERT INTO tb_GL SELECT i, '2026-' || substr('0' || (1 + i % 11), -2) || '-15 00:00:00', i, 'Northwestern Industrial Supplies Limited', i, 0, CASE i % 3 WHEN 0 THEN 'Rent' ELSE 'Supplies' END, CASE WHEN i % 8 = 0 THEN 100 ELSE 0 END, 'Deposit of the weekly takings from the harbour shop and the chandlery counter' FROM k)";

template <class T>
Doc opened(const std::function<void()>& before = [] {}) {
    if (Form::isLoaded<T>()) Form::unload<T>();
    before();
    Form::get<T>().Show();
    if constexpr (std::is_base_of_v<reports::CustomerReportFrame, T>) return Form::get<T>().VSInvoice;
    else return Form::get<T>().VSregistry;
}
class DocumentPagesTest : public invoicetest::InvoiceFixture {};
} // namespace

TEST_F(DocumentPagesTest, EveryDocumentOfASampleStaysInsideTheMarginsAndSaysWhoseEachPageIs) {
    for (const QString& sql : QString(kSample).arg(std::max(3, qEnvironmentVariableIntValue("VANTREL_SAMPLE_CLIENTS"))).split(";\n")) folder.exec(sql);
    startProgram();
    testsupport::SharedOnDataFile(Globals::SharedVendor);
    auto set = [](const char* field, const char* value, int cust = 1001, int invoice = 5001) {
        return [=] { Globals::PrintFilterField = field, Globals::PrintFilterValue = value, Globals::CurrentCustNum = cust;
                     Globals::CurrentInvoiceNum = invoice, Globals::CurrentPayDate = vb::Date::fromYmd(2026, 11, 20), Globals::AgingDays = 1;
                     const ConnectionScope opened = Globals::SharedInvoice->OpenScope();
                     Globals::rsBackOrders = field == QString("Ordered") ? Globals::SharedInvoice->GetBackOrderedItems() : Globals::SharedInvoice->GetBackOrderItems(); };
    };
    const std::vector<std::pair<QString, std::function<Doc()>>> docs = {
        {"Invoice 5001", [&]() -> Doc { return opened<PrtInvoice>(set("", "")); }}, {"Invoice 5002", [&]() -> Doc { return opened<PrtInvoice>(set("", "", 1002, 5002)); }},
        {"Receipt", [&]() -> Doc { return opened<PrtReceipt>(set("", "")); }}, {"Client Balances", [&]() -> Doc { return opened<PrtBals>(); }},
        {"Statements", [&]() -> Doc { Billing& b = Form::get<Billing>(); b.Show(), b.OptAll.setValue(true), testsupport::click(b.btnPrint); return Form::get<PrtBilling>().VSInvoice; }},
        {"Past Due", [&]() -> Doc { return opened<Prt30Days>(set("", "")); }}, {"Income", [&]() -> Doc { return opened<PrtIncome>(); }},
        {"Deposits", [&]() -> Doc { return opened<PrtRegistry>(set("Deposit", "")); }}, {"Payments", [&]() -> Doc { return opened<PrtRegistry>(set("Vendor", "all")); }},
        {"Rent", [&]() -> Doc { return opened<PrtRegistry>(set("Category", "Rent")); }}, {"Inventory", [&]() -> Doc { return opened<PrtInventory>(); }},
        {"Inventory Sales", [&]() -> Doc { return opened<PrtInventorySales>(); }}, {"Best Sellers", [&]() -> Doc { return opened<PrtInventoryBestSales>(); }},
        {"Back Orders", [&]() -> Doc { return opened<PrtBackOrders>(set("", "")); }}, {"Back Ordered", [&]() -> Doc { return opened<PrtBackOrdered>(set("Ordered", "")); }},
    };
    for (const auto& [name, open] : docs) {
        SCOPED_TRACE(name.toStdString());
        Doc d = open();
        EXPECT_EQ(testsupport::outsideMargins(d).join("\n").toStdString(), "");
        int later = 0, titles = 0;
        for (const printer::Page& p : d.Pages()) {
            QString number = "Page 1 of 1", top = p.texts.value(0).text;
            for (const printer::PlacedText& t : p.texts) number = t.kind == printer::PlacedText::Footer && t.alignment == 2 ? t.text : number;
            later += !number.startsWith("Page 1 ");
            EXPECT_EQ(!number.startsWith("Page 1 "), top.startsWith("Maximilian Bartholomew Featherstonehaugh-Worthington") && top.endsWith(" (continued)"));
        }
        for (const printer::PlacedText& t : d.Texts(printer::PlacedText::Paragraph))
            if (t.text.startsWith("Category number ")) EXPECT_EQ(t.page, d.Tables().value(titles++).firstPage) << t.text.toStdString();
        EXPECT_EQ(later > 0, name == "Statements" || name == "Invoice 5002" || (name == "Receipt" && d.PageCount() > 1));
        if (!qEnvironmentVariableIsEmpty("VANTREL_PDF_DIR")) EXPECT_TRUE(d.SavePdf(QDir(qEnvironmentVariable("VANTREL_PDF_DIR")).filePath(name + ".pdf")));
    }
}
