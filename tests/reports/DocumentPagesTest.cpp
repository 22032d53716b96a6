// Every document over one sample data file: clients with long names and
// addresses, invoice notes that wrap or hold line feeds and tabs, a client
// whose statement takes three pages, an invoice of 30 lines and 51
// categories. Nothing is placed outside the margins, and a customer document
// past one page says on every later page whose it is.
// VANTREL_SAMPLE_CLIENTS=N runs it over N clients; VANTREL_PDF_DIR=folder
// saves each document there as PDF, to be looked at page by page.
#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QRegularExpression>
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
using printer::PlacedText;
using printer::PreviewControl;

namespace {

const QString kSample = QStringLiteral(R"(
INSERT INTO tb_Company VALUES ('Harbor Marine & Industrial Supply Company of the Greater Northwestern Coast',
  '1400 Long Wharf Road, Harbourfront Commerce Tower', '', 'South Portsmouth Heights', 'NH', '03801',
  '603-555-0100', '603-555-0101', 'harbor-marine-industrial-supply.example', 8.25);
INSERT INTO tb_ExpenseTypes VALUES ('Rent'), ('Supplies');
INSERT INTO tb_Vendor (VendorNum, Company) VALUES (1, 'Northwestern Industrial Supplies Limited'), (2, 'Acme');
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 51)
INSERT INTO tb_InvCategories SELECT i, 'Category number ' || i FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 102)
INSERT INTO tb_Inventory SELECT 100 + i, 1 + i % 51, 'Stainless fitting, marine grade, size ' || i, 2.5 * i, 5, 3,
  '12 months' FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < %1)
INSERT INTO tb_Client (CustNum, Fname, Lname, BillFname, BillLname, BillAddress1, BillCity, BillState, BillZipcode,
  BillHomePhone, ShipFname, ShipLname, shipAddress1, ShipCity, ShipState, ShipZipcode, ShipHomePhone)
SELECT 1000 + i, 'Maximilian', 'Featherstonehaugh-Worthington ' || i, 'Maximilian Bartholomew',
  'Featherstonehaugh-Worthington ' || i, 'Suite ' || i || ', Harbourfront Commerce Tower, 1400 Long Wharf Road',
  'South Portsmouth Heights', 'NH', '03801', '603-555-0100', 'Maximilian Bartholomew',
  'Featherstonehaugh-Worthington ' || i, 'Loading Dock ' || i || ', Northwestern Industrial Estate, Building 7',
  'South Portsmouth Heights', 'NH', '03801-4455', '603-555-0199' FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < %1)
INSERT INTO tb_Invoice SELECT 5000 + i, 1000 + i, '2026-11-' || (10 + i % 19) || ' 00:00:00',
  'Spring refit of the fittings, with the deck hardware polished and refitted by hand', 5, 1.5, 12.5,
  '2026-12-01 00:00:00', 'UPS Ground', '', 0, 'Jo Anne Marie Fitzgerald-Worthington', 'Net 30' FROM k;
WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 3 * %1 - 1)
INSERT INTO tb_trans SELECT 1 + i, 5001 + i / 3, 101 + i % 102, 1 + i % 4, 10 * (1 + i % 7),
  CASE i % 3 WHEN 0 THEN 'Marine-grade varnish, three coats, hand-sanded between coats'
             WHEN 1 THEN '00000000000000000000000000000000' || char(10) || '9'
             ELSE 'Tabbed' || char(9) || 'notes' || char(9) || 'from' || char(13, 10) || 'an older file' END,
  CASE WHEN i % 5 = 0 THEN -2 ELSE 0 END, CASE WHEN i % 10 = 0 THEN '2026-12-02 00:00:00' END FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 27)
INSERT INTO tb_trans SELECT 100000 + i, 5002, 101 + i, 1, 4, 'Bolt ' || i, 0, NULL FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 21)
INSERT INTO tb_Invoice SELECT 6000 + i, 1001, '2026-11-' || (10 + i % 19) || ' 00:00:00', 'Order ' || i, 0, 0, 0,
  NULL, 'UPS', '', 0, '', 'Net 30' FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 21)
INSERT INTO tb_trans SELECT 200000 + i, 6000 + i, 101, 1, 25, 'Service call', 0, NULL FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < %1 + 27)
INSERT INTO tb_Receive SELECT i, CASE WHEN i > %1 THEN 1001 ELSE 1000 + i END, 'Check', '10' || i,
  '2026-11-' || (20 + i % 9) || ' 00:00:00', 5, '' FROM k;
WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 40)
INSERT INTO tb_GL SELECT i, '2026-' || (1 + i % 11) || '-15 00:00:00', '9' || i,
  CASE i % 2 WHEN 0 THEN 'Northwestern Industrial Supplies Limited' ELSE 'Acme' END, 10 * i, 0,
  CASE i % 3 WHEN 0 THEN 'Rent' ELSE 'Supplies' END, CASE WHEN i % 8 = 0 THEN 100 ELSE 0 END,
  'Deposit of the weekly takings from the harbour shop and the chandlery counter' FROM k;
)");

class DocumentPagesTest : public invoicetest::InvoiceFixture {};

template <class T>
const PreviewControl& opened(const std::function<void()>& before = {}) {
    // Each document is laid out anew.
    if (Form::isLoaded<T>()) Form::unload<T>();
    if (before) before();
    Form::get<T>().Show();
    testsupport::pump();
    if constexpr (std::is_base_of_v<reports::CustomerReportFrame, T>) return Form::get<T>().VSInvoice;
    else return Form::get<T>().VSregistry;
}

void filter(const char* field, const char* value) {
    Globals::PrintFilterField = QString::fromLatin1(field);
    Globals::PrintFilterValue = QString::fromLatin1(value);
}

void backOrders(bool ordered) {
    Invoice& inv = *Globals::SharedInvoice;
    inv.OpenCn();
    Globals::rsBackOrders = ordered ? inv.GetBackOrderedItems() : inv.GetBackOrderItems();
    inv.CloseCn();
}

} // namespace

TEST_F(DocumentPagesTest, EveryDocumentOfASampleKeepsInsideTheMarginsAndNamesItsClientOnEveryPage) {
    const int clients = std::max(3, qEnvironmentVariableIntValue("VANTREL_SAMPLE_CLIENTS"));
    const QString pdfDir = qEnvironmentVariable("VANTREL_PDF_DIR");
    for (const QString& sql : kSample.arg(clients).split(";\n", Qt::SkipEmptyParts))
        if (!sql.trimmed().isEmpty()) folder.exec(sql);
    startProgram();
    Globals::CoName = QStringLiteral("Harbor Marine & Industrial Supply Company");
    testsupport::SharedOnDataFile(Globals::SharedVendor);
    auto invoice = [](int num, int cust) {
        return [=] { Globals::CurrentInvoiceNum = num; Globals::CurrentCustNum = cust; };
    };
    auto statements = [] {
        Billing& b = Form::get<Billing>();
        b.Show();
        b.OptAll.setValue(true);
        testsupport::click(b.btnPrint);
    };
    const std::vector<std::pair<const char*, std::function<const PreviewControl&()>>> docs = {
        {"Invoice 5001", [&]() -> auto& { return opened<PrtInvoice>(invoice(5001, 1001)); }},
        {"Invoice 5002", [&]() -> auto& { return opened<PrtInvoice>(invoice(5002, 1002)); }},
        {"Receipt", [&]() -> auto& { return opened<PrtReceipt>([] {
             Globals::CurrentCustNum = 1001;
             Globals::CurrentPayDate = vb::Date::fromYmd(2026, 11, 20);
         }); }},
        {"Statements", [&]() -> auto& { statements(); return Form::get<PrtBilling>().VSInvoice; }},
        {"Client Balances", [&]() -> auto& { return opened<PrtBals>(); }},
        {"Past Due", [&]() -> auto& { return opened<Prt30Days>([] { Globals::AgingDays = 1; }); }},
        {"Deposits", [&]() -> auto& { return opened<PrtRegistry>([] { filter("Deposit", "Deposits"); }); }},
        {"Payments all", [&]() -> auto& { return opened<PrtRegistry>([] { filter("Vendor", "all"); }); }},
        {"Payments Rent", [&]() -> auto& { return opened<PrtRegistry>([] { filter("Category", "Rent"); }); }},
        {"Income", [&]() -> auto& { return opened<PrtIncome>(); }},
        {"Inventory", [&]() -> auto& { return opened<PrtInventory>(); }},
        {"Inventory Sales", [&]() -> auto& { return opened<PrtInventorySales>(); }},
        {"Best Sellers", [&]() -> auto& { return opened<PrtInventoryBestSales>(); }},
        {"Back Orders", [&]() -> auto& { return opened<PrtBackOrders>([] { backOrders(false); }); }},
        {"Back Ordered", [&]() -> auto& { return opened<PrtBackOrdered>([] { backOrders(true); }); }},
    };
    for (const auto& [name, open] : docs) {
        SCOPED_TRACE(name);
        const PreviewControl& d = open();
        ASSERT_GT(d.PageCount(), 0);
        EXPECT_EQ(testsupport::outsideMargins(d).join("\n").toStdString(), "");
        // A page numbered past the first of its document names its client above the flow.
        int continued = 0;
        for (const printer::Page& p : d.Pages()) {
            QString number, title;
            for (const PlacedText& t : p.texts) {
                if (t.kind == PlacedText::Footer && t.alignment == 2) number = t.text;
                if (t.kind == PlacedText::Paragraph && title.isEmpty()) title = t.text;
            }
            const bool later = QRegularExpression("^Page ([2-9]|\\d\\d+) of \\d+$").match(number).hasMatch();
            EXPECT_EQ(later, title.startsWith("Maximilian Bartholomew Featherstonehaugh-Worthington") &&
                                 title.endsWith(" (continued)")) << title.toStdString();
            continued += later;
        }
        const bool runsOn = QString(name) == "Statements" || QString(name) == "Invoice 5002";
        EXPECT_EQ(continued > 0, runsOn || (QString(name) == "Receipt" && d.PageCount() > 1));
        if (!pdfDir.isEmpty()) EXPECT_TRUE(d.SavePdf(QDir(pdfDir).filePath(QString(name) + ".pdf")));
    }
}
