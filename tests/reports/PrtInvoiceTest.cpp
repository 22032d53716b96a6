// The invoice preview: the document it lays out (texts, tables and cells of
// the page model), its sums, the error report, and the Print commands of the
// invoice editor and the sales list that open it.
#include <gtest/gtest.h>
#include "customers/CustInvoices.h"
#include "customers/Customer.h"
#include "customers/InvoiceFixture.h"
#include "forms/App.h"
#include "reports/PrtInvoice.h"
#include "support/DocumentReader.h"
#include "support/FormDriver.h"
#include "vb/ErrorTrap.h"

using forms::Form;
using invoicetest::money;
using testsupport::row;

namespace {

const QString LF(QChar(10));

class PrtInvoiceTest : public invoicetest::InvoiceFixture {
protected:
    void SetUp() override {
        InvoiceFixture::SetUp();
        Globals::IniPath = forms::AppPath() + QStringLiteral("\\Vantrel.ini");
    }
    void companyRecord(const QString& phone = "555-1000", const QString& fax = "555-1001",
                       const QString& web = "www.acme.test") {
        folder.exec(QStringLiteral("insert into tb_Company (Name, Address1, City, State, Zipcode, phone, Fax, website, "
                                   "statetaxrate) values ('Acme Supply', '12 Main St', 'Springfield', 'IL', '62701', "
                                   "'%1', '%2', '%3', 6)")
                        .arg(phone, fax, web));
    }
    void addressedClient(int num) {
        folder.exec(QStringLiteral("insert into tb_Client (CustNum, Fname, Lname, BillFname, BillLname, BillAddress1, "
                                   "BillCity, BillState, BillZipcode, BillHomePhone, ShipFname, ShipLname, shipAddress1, "
                                   "ShipCity, ShipState, ShipZipcode, ShipHomePhone) values (%1, 'John', 'Smith', "
                                   "'John', 'Smith', '1 Bill Rd', 'Billtown', 'NY', '10001', '555-2000', 'Jane', "
                                   "'Smith', '2 Ship Ln', 'Shipville', 'NJ', '07001', '555-3000')")
                        .arg(num));
    }
    void header(int num, int cust, double discount, double ship, double interest = 0, double tax = 0,
                const QString& description = "Spring order") {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, shippingdate, shippingtype, trackingnum, interest, SalesRep, Terms) "
                                   "values (%1, %2, '2026-03-15 00:00:00', '%3', %4, %5, %6, '2026-03-16 00:00:00', "
                                   "'UPS Ground', 'T-1', %7, 'Pat', 'Net 30')")
                        .arg(num).arg(cust).arg(QString(description).replace("'", "''"))
                        .arg(discount).arg(tax).arg(ship).arg(interest));
    }
    // qty and backOrder as SQL literals, so NULL can be stored.
    void line(int trans, int inv, const QString& qty, double amount, const QString& notes = "Widget",
              const QString& backOrder = "0", int item = 7) {
        folder.exec(QStringLiteral("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                                   "values (%1, %2, %3, %4, %5, '%6', %7)")
                        .arg(trans).arg(inv).arg(item).arg(qty).arg(amount).arg(notes).arg(backOrder));
    }

    PrtInvoice& preview(int invoiceNum, int custNum) {
        Globals::CurrentInvoiceNum = invoiceNum;
        Globals::CurrentCustNum = custNum;
        PrtInvoice::ShowCurrent();
        return Form::get<PrtInvoice>();
    }
    static const printer::Table& facts(const PrtInvoice& p) { return p.VSInvoice.Tables().at(0); }
    static const printer::Table& lines(const PrtInvoice& p) { return p.VSInvoice.Tables().at(1); }
    static const printer::Table& totals(const PrtInvoice& p) { return p.VSInvoice.Tables().at(2); }
    // Label and amount of every row of the totals table, header first.
    static QStringList totalsText(const PrtInvoice& p) {
        QStringList out;
        for (int r = 0; r <= totals(p).rowCount(); ++r) out << row(totals(p), r).join(" ");
        return out;
    }
    static QStringList paragraphs(const PrtInvoice& p) { return testsupport::paragraphs(p.VSInvoice); }
};

TEST_F(PrtInvoiceTest, LaysOutTheStoredInvoiceOfTheClient) {
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0);
    line(1, 1001, "3", 10, "Bracket", "-3");
    line(2, 1001, "1", 4.5, "Bolt; 1/4|inch", "0", 8);
    line(3, 1001, "2", 7, "Nut");
    startProgram();

    PrtInvoice& p = preview(1001, 1001);
    EXPECT_EQ(p.Caption(), "Print Invoice");
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.btnExit.Caption(), "&Exit");
    EXPECT_TRUE(p.VSInvoice.IsDocComplete());
    EXPECT_EQ(p.VSInvoice.Header(), "||Invoice #1001");
    EXPECT_EQ(p.VSInvoice.Footer(), "|We appreciate your business!|");
    EXPECT_EQ(p.VSInvoice.TextBoxTexts(),
              QStringList({"Remit to: Acme Supply",
                           "12 Main St" + LF + "Springfield, IL 62701" + LF + "Phone: 555-1000 / Fax: 555-1001" + LF +
                               "Web: www.acme.test",
                           "Bill To:", "John Smith" + LF + "1 Bill Rd" + LF + "Billtown, NY 10001" + LF + "555-2000",
                           "Ship To:", "Jane Smith" + LF + "2 Ship Ln" + LF + "Shipville, NJ 07001" + LF + "555-3000"}));
    EXPECT_TRUE(paragraphs(p).contains("Description: Spring order"));
    ASSERT_EQ(p.VSInvoice.Tables().size(), 3);

    const printer::Table& f = facts(p);
    EXPECT_EQ(f.header, QStringList({"Date", "Ship Via", "Sales Rep", "Terms"}));
    EXPECT_EQ(row(f, 1), QStringList({"3/15/2026", "UPS Ground", "Pat", "Net 30"}));
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(f.isBold(0, c));
    EXPECT_FALSE(f.isBold(1, 0));

    // Lines in the order stored, in the first rows of twenty; the text typed
    // with the table's separators stays in its one cell.
    const printer::Table& t = lines(p);
    EXPECT_EQ(t.header, QStringList({"Qty", "BackOrd", "Item#", "Description", "Charge", "Total"}));
    EXPECT_EQ(row(t, 1), QStringList({"3", "3", "7", "Bracket", money(3.3333), money(10)}));
    EXPECT_EQ(row(t, 2), QStringList({"1", "", "8", "Bolt; 1/4|inch", money(4.5), money(4.5)}));
    EXPECT_EQ(row(t, 3), QStringList({"2", "", "7", "Nut", money(3.5), money(7)}));
    EXPECT_EQ(t.rowCount(), 20);
    for (int r = 4; r <= 20; ++r) EXPECT_EQ(row(t, r).join(""), "") << "row " << r;
    for (int r = 1; r <= 20; ++r) EXPECT_DOUBLE_EQ(t.rowHeights.value(r), 0.25) << "row " << r;
    for (int c = 0; c < 6; ++c) EXPECT_TRUE(t.isBold(0, c));
    EXPECT_EQ(t.border, printer::tbGrid);

    const printer::Table& s = totals(p);
    EXPECT_EQ(totalsText(p), QStringList({"SubTotal " + money(21.5), "Discount: " + money(0), "Interest: " + money(0),
                                          "Sales Tax: " + money(0), "Shipping: " + money(0), "Total: " + money(21.5)}));
    EXPECT_EQ(s.border, printer::tbBoxRows);
    EXPECT_EQ(s.alignment, 2);
    EXPECT_TRUE(s.isBold(5, 0));
    EXPECT_TRUE(s.isBold(5, 1));
    EXPECT_FALSE(s.isBold(4, 1));
    EXPECT_TRUE(boxes.shown().empty());
}

// A long description prints whole in its row, and the totals stay whole on
// the page of the last lines.
TEST_F(PrtInvoiceTest, LongTextsPrintWholeAndTheTotalsStayWithTheLastLines) {
    const QString longNote = "Custom colour-matched marine-grade varnish, three coats, hand-sanded between coats, "
                             "with all stainless fittings polished and refitted and waxed";
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0);
    line(1, 1001, "1", 10, "Bracket");
    line(2, 1001, "1", 20, longNote);
    line(3, 1001, "1", 5, "Nut");
    startProgram();

    PrtInvoice& p = preview(1001, 1001);
    QStringList description;
    int lastLinePage = 0;
    for (const printer::PlacedText& t : p.VSInvoice.Texts(printer::PlacedText::Cell)) {
        if (t.table == 1 && t.row == 2 && t.col == 3) description << t.text;
        if (t.table == 1 && t.row == 3) lastLinePage = t.page;
        EXPECT_LE(t.rect.bottom(), 10.5 + 1e-6) << t.text.toStdString();
    }
    EXPECT_EQ(description.join(' '), longNote);
    const printer::Table& s = totals(p);
    EXPECT_EQ(s.firstPage, s.lastPage);
    EXPECT_EQ(s.firstPage, lastLinePage);
    EXPECT_EQ(totalsText(p).last(), "Total: " + money(35));
}

// A quantity that is not above 0 prices the line at 0; the total column
// shows the amount whatever the quantity.
TEST_F(PrtInvoiceTest, UnitPriceAndBackOrderOfEachKindOfLine) {
    struct Case {
        const char* qty;
        double amount;
        const char* backOrder;
        QString qtyText, backOrd, price;
    };
    const std::vector<Case> cases = {
        {"3", 10, "0", "3", "", money(3.3333)},
        {"0", 12, "-3", "0", "3", money(0)},
        {"-2", 8, "NULL", "-2", "", money(0)},
        {"NULL", 5, "-1", "", "1", money(0)},
        {"4", 1, "2", "4", "2", money(0.25)},
    };
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0);
    for (size_t i = 0; i < cases.size(); ++i)
        line(int(i) + 1, 1001, cases[i].qty, cases[i].amount, "L", cases[i].backOrder);
    startProgram();

    PrtInvoice& p = preview(1001, 1001);
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(row(lines(p), int(i) + 1), QStringList({c.qtyText, c.backOrd, "7", "L", c.price, money(c.amount)}))
            << "qty " << c.qty << ", back order " << c.backOrder;
    }
    EXPECT_EQ(row(totals(p), 0).join(" "), "SubTotal " + money(36));
}

// The printed Total is the invoice's own total, to the cent the statement
// charges, and the rows above it, as printed, add up to it.
TEST_F(PrtInvoiceTest, TotalsRowsAddUpToTheInvoicesOwnTotal) {
    struct Case { double discount, ship, interest, tax, amount; const char *discountRow, *shipRow, *total; } cases[] = {
        {5, 0, 0, 0, 10.10, "$0.50", "$0.00", "$9.60"},         // the discount alone would print $0.51
        {0, 0.005, 0, 0.005, 10, "$0.00", "$0.00", "$10.01"},   // tax and shipping would print $0.01 each
        {5, 0, 0, 0, 10.05, "$0.50", "$0.00", "$9.55"},
        {0, 1.004, 0.004, 0, 100, "$0.00", "$1.01", "$101.01"},
        {5, 2.005, 1, 0.5, 10.05, "$0.50", "$2.00", "$13.05"},
        {12.5, 0.0049, 0.0049, 0.0049, 0.04, "$0.00", "$0.01", "$0.05"},
        {2.5, 0, 0, 0, 0.51, "$0.01", "$0.00", "$0.50"},
    };
    companyRecord();
    addressedClient(1001);
    startProgram();
    int num = 1000;
    for (const Case& c : cases) {
        header(++num, 1001, c.discount, c.ship, c.interest, c.tax);
        line(num, num, "1", c.amount);
        const printer::Table& t = totals(preview(num, 1001));
        QList<vb::Currency> rows;
        for (int r = 0; r <= 5; ++r) rows << vb::ParseCurrency(t.cell(r, 1));
        EXPECT_EQ(rows[0] - rows[1] + rows[2] + rows[3] + rows[4], rows[5]) << c.total;
        EXPECT_EQ(QStringList({t.cell(1, 1), t.cell(4, 1), t.cell(5, 1)}), QStringList({c.discountRow, c.shipRow, c.total}));
        Form::unload<PrtInvoice>();
    }
}

TEST_F(PrtInvoiceTest, InvoiceWithoutLinesShowsTheEmptyLineTableAndTotalsFromTheHeader) {
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 10, 3, 1, 2);
    startProgram();

    PrtInvoice& p = preview(1001, 1001);
    const printer::Table& t = lines(p);
    EXPECT_EQ(t.header, QStringList({"Qty", "BackOrd", "Item#", "Description", "Charge", "Total"}));
    EXPECT_EQ(t.rowCount(), 20);
    for (int r = 1; r <= 20; ++r) EXPECT_EQ(row(t, r).join(""), "");
    EXPECT_EQ(totalsText(p), QStringList({"SubTotal " + money(0), "Discount: " + money(0), "Interest: " + money(1),
                                          "Sales Tax: " + money(2), "Shipping: " + money(3), "Total: " + money(6)}));
}

TEST_F(PrtInvoiceTest, MoreThanTwentyLinesAreAllShownAndAllCounted) {
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0);
    for (int i = 1; i <= 23; ++i) line(i, 1001, "1", i, QStringLiteral("Line %1").arg(i));
    startProgram();

    PrtInvoice& p = preview(1001, 1001);
    EXPECT_EQ(lines(p).rowCount(), 23);
    EXPECT_EQ(lines(p).cell(23, 3), "Line 23");
    EXPECT_EQ(row(totals(p), 0).join(" "), "SubTotal " + money(23 * 24 / 2));
    EXPECT_EQ(row(totals(p), 5).join(" "), "Total: " + money(23 * 24 / 2));
}

TEST_F(PrtInvoiceTest, EmptyCompanyAndClientFieldsPrintNoStraySeparators) {
    companyRecord("", "", "");
    client(1001, "", "");
    header(1001, 1001, 0, 0);
    startProgram();

    PrtInvoice& p = preview(1001, 1001);
    const QStringList t = p.VSInvoice.TextBoxTexts();
    ASSERT_EQ(t.size(), 6);
    EXPECT_EQ(t[1], "12 Main St" + LF + "Springfield, IL 62701");
    EXPECT_EQ(t[3], "");
    EXPECT_EQ(t[5], "");
}

// After invoice 6001, invoice 6002 from an older file: a Null ship date
// prints 6002 with nothing of 6001; a value that cannot be read is told once
// and no document is shown.
TEST_F(PrtInvoiceTest, AnInvoiceAfterAnotherShowsNothingOfItAndAFailedReadShowsNoDocument) {
    companyRecord();
    addressedClient(1001);
    header(6001, 1001, 0, 5, 7, 100);
    folder.exec("insert into tb_Invoice (InvoiceNum, CustNum, [Date], discount) values (6002, 1001, '2026-03-20 00:00:00', 0)");
    line(2, 6002, "1", 10.5);
    startProgram();
    for (const char* bad : {"shippingdate = NULL", "tax = 'x'"}) {
        folder.exec(QStringLiteral("update tb_Invoice set %1 where InvoiceNum = 6002").arg(bad));
        EXPECT_EQ(totals(preview(6001, 1001)).cell(5, 1), money(112));
        Form::unload<PrtInvoice>();
        const bool reads = QString(bad).contains("NULL");
        if (!reads) boxes.expect(vb::vbOK, vb::ErrorReportText("Invoice.GetInvoice -", 13, vb::ErrorDescription(13)));
        Globals::CurrentInvoiceNum = 6002;
        PrtInvoice::ShowCurrent();
        ASSERT_EQ(Form::isLoaded<PrtInvoice>(), reads) << bad;
        if (!reads) continue;
        EXPECT_EQ(row(facts(Form::get<PrtInvoice>()), 1), QStringList({"3/20/2026", "", "", ""}));
        EXPECT_EQ(totals(Form::get<PrtInvoice>()).cell(5, 1), money(10.5));
        Form::unload<PrtInvoice>();
    }
}

TEST_F(PrtInvoiceTest, TotalBeyondTheCurrencyRangeReportsAndOpensWithWhatWasLaidOut) {
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0);
    line(1, 1001, "1", 900000000000000.0);
    line(2, 1001, "1", 900000000000000.0);
    startProgram();

    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtInvoice.Form_Load -", 6, vb::ErrorDescription(6)));
    PrtInvoice& p = preview(1001, 1001);
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(p.Visible());
    EXPECT_FALSE(p.VSInvoice.IsDocComplete());
    EXPECT_EQ(p.VSInvoice.Tables().size(), 1u) << "the facts were placed; the line table was never ended";
    // A preview left unfinished is laid out anew when asked for again.
    boxes.expect(vb::vbOK);
    PrtInvoice::ShowCurrent();
    EXPECT_NE(&Form::get<PrtInvoice>(), &p);
}

// Asked again for what it shows, the open preview is only brought forward;
// for another invoice, or after the stored invoice changed, it is laid out
// anew. Exit closes it.
TEST_F(PrtInvoiceTest, AnOpenPreviewIsBroughtForwardUnlessWhatIsStoredChanged) {
    companyRecord();
    addressedClient(1001);
    addressedClient(1002);
    header(1001, 1001, 0, 0);
    header(1002, 1002, 0, 0, 0, 0, "Other");
    line(1, 1001, "1", 10);
    startProgram();

    PrtInvoice* first = &preview(1001, 1001);
    EXPECT_EQ(&preview(1001, 1001), first);
    EXPECT_TRUE(first->ShowsStoredInvoice());

    folder.exec("update tb_trans set Amount = 12 where TransNum = 1");
    EXPECT_FALSE(first->ShowsStoredInvoice());
    PrtInvoice* second = &preview(1001, 1001);
    EXPECT_NE(second, first);
    EXPECT_EQ(row(lines(*second), 1).last(), money(12));

    PrtInvoice* third = &preview(1002, 1002);
    EXPECT_NE(third, second);
    EXPECT_EQ(third->VSInvoice.Header(), "||Invoice #1002");
    EXPECT_TRUE(paragraphs(*third).contains("Description: Other"));

    // The client's address is part of what it shows.
    folder.exec("update tb_Client set BillAddress1 = '9 New St' where CustNum = 1002");
    EXPECT_NE(&preview(1002, 1002), third);
    EXPECT_TRUE(Form::get<PrtInvoice>().VSInvoice.TextBoxTexts()[3].contains("9 New St"));

    testsupport::click(Form::get<PrtInvoice>().btnExit);
    EXPECT_FALSE(Form::isLoaded<PrtInvoice>());
    EXPECT_TRUE(boxes.shown().empty());
}

// ---- the Print commands ---------------------------------------------------------

TEST_F(PrtInvoiceTest, EditorsPrintAnsweredNoShowsTheStoredRecord) {
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0);
    line(1, 1001, "2", 8);
    startProgram();

    InvoiceDetail& d = openStored(1001, 1001);
    testsupport::type(d.txtDescription, "Typed, not saved");
    boxes.expect(vb::vbNo, "Save changes to invoice?");
    testsupport::click(d.btnPrint);
    testsupport::pump();

    ASSERT_TRUE(Form::isLoaded<PrtInvoice>());
    PrtInvoice& p = Form::get<PrtInvoice>();
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.VSInvoice.Header(), "||Invoice #1001");
    EXPECT_TRUE(paragraphs(p).contains("Description: Spring order"));
    EXPECT_EQ(row(lines(p), 1), QStringList({"2", "", "7", "Widget", money(4), money(8)}));

    // The preview outlives the editor.
    testsupport::click(d.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
    EXPECT_TRUE(Form::isLoaded<PrtInvoice>());
}

// Yes saves first; the preview already open for that invoice then no longer
// shows what is stored and is laid out anew.
TEST_F(PrtInvoiceTest, EditorsPrintAnsweredYesShowsTheSavedEdits) {
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0);
    startProgram();

    InvoiceDetail& d = openStored(1001, 1001);
    d.txtDescription.setText("First");
    boxes.expect(vb::vbNo);
    testsupport::click(d.btnPrint);
    PrtInvoice* before = &Form::get<PrtInvoice>();
    EXPECT_TRUE(paragraphs(*before).contains("Description: Spring order"));

    d.txtDescription.setText("Saved before printing");
    boxes.expect(vb::vbYes, "Save changes to invoice?");
    testsupport::click(d.btnPrint);
    testsupport::pump();
    PrtInvoice& p = Form::get<PrtInvoice>();
    EXPECT_NE(&p, before);
    EXPECT_TRUE(paragraphs(p).contains("Description: Saved before printing"));
}

TEST_F(PrtInvoiceTest, SalesListsPrintPreviewsTheHighlightedInvoice) {
    companyRecord();
    addressedClient(1001);
    header(1001, 1001, 0, 0, 0, 0, "Older");
    header(1002, 1001, 0, 0, 0, 0, "Newer");
    line(1, 1001, "1", 5);
    line(2, 1002, "3", 30);
    startProgram();
    Form::get<Customer>();
    Globals::CurrentCustNum = 1001;
    CustInvoices& s = Form::get<CustInvoices>();
    s.Show();
    Globals::GetInvoices(vb::Date());

    int older = 0;
    for (int r = 1; r < s.InvoiceList.Rows(); ++r)
        if (s.InvoiceList.TextMatrix(r, 1) == "1001") older = r;
    ASSERT_GT(older, 0);
    s.InvoiceList.setRow(older);
    Globals::CurrentInvoiceNum = 0;
    testsupport::click(s.btnPrint);
    testsupport::pump();

    ASSERT_TRUE(Form::isLoaded<PrtInvoice>());
    PrtInvoice& p = Form::get<PrtInvoice>();
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.VSInvoice.Header(), "||Invoice #1001");
    EXPECT_TRUE(paragraphs(p).contains("Description: Older"));
    EXPECT_EQ(row(lines(p), 1).last(), money(5));
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1001);
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
