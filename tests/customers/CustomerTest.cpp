// The main window: start-up on empty and full data files, the status bar,
// the loaders it runs, the command gates, deleting a client, resizing and
// the saved geometry.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include "ado/Connection.h"
#include "books/GL.h"
#include "books/Vendors.h"
#include "books/frmBackup.h"
#include "books/frmInventory.h"
#include "books/frmRestore.h"
#include "books/frmSetup.h"
#include "reports/Billing.h"
#include "reports/Prt30Days.h"
#include "reports/PrtBals.h"
#include "reports/PrtIncome.h"
#include "reports/PrtInventory.h"
#include "reports/PrtInventoryBestSales.h"
#include "reports/PrtInventorySales.h"
#include "reports/PrtBackOrdered.h"
#include "reports/PrtBackOrders.h"
#include "customers/About.h"
#include "customers/CustInvoices.h"
#include "customers/Customer.h"
#include "customers/InvoiceDetail.h"
#include "customers/Profile.h"
#include "customers/Receipts.h"
#include "customers/StatusWindow.h"
#include "customers/intro.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::WindowFixture;

namespace {

class CustomerTest : public WindowFixture {
protected:
    void addClients() {
        folder.exec(
            "INSERT INTO tb_Client (CustNum, Lname, Fname, HomePhone, WorkPhone, CelPhone, Email) VALUES "
            "(1001,'Smith','John','555-1','555-2','555-3','js@x.com'),"
            "(1002,'adams','Al',NULL,'','',''),"
            "(1003,'Baker','Cy','','','','');");
    }
    Customer& start() { return Form::get<Customer>(); }
};

TEST_F(CustomerTest, FullStartListsClientsAndMakesFirstRowCurrent) {
    addClients();
    folder.exec("INSERT INTO tb_Company VALUES ('Harbor Supply','','','','','','','','',8.25);");
    Customer& w = start();

    EXPECT_FALSE(Form::isLoaded<intro>()) << "the splash closes after start-up";
    ASSERT_EQ(w.CustList2.Rows(), 4);
    EXPECT_EQ(w.CustList2.FormatString(), "||Name|Home Phone|Work Phone|Cel Phone|Email");
    EXPECT_EQ(w.CustList2.ColWidth(0), 0);
    EXPECT_EQ(w.CustList2.ColWidth(1), 0);
    EXPECT_EQ(w.CustList2.ColWidth(2), 2200);
    // Case-blind order by last name; a Null phone is empty text.
    EXPECT_EQ(w.CustList2.TextMatrix(1, 2), "adams, Al");
    EXPECT_EQ(w.CustList2.TextMatrix(1, 3), "");
    EXPECT_EQ(w.CustList2.TextMatrix(3, 0), "1001");
    EXPECT_EQ(w.CustList2.TextMatrix(3, 1), "");
    EXPECT_EQ(w.CustList2.TextMatrix(3, 6), "js@x.com");

    EXPECT_EQ(Globals::CurrentCustNum, 1002);
    EXPECT_EQ(Globals::CurrentCustName, "adams, Al ");
    EXPECT_EQ(w.CustList2.Col(), 2);
    EXPECT_EQ(Globals::ClientCount, 3);
    EXPECT_EQ(Globals::CoName, "Harbor Supply");
    EXPECT_DOUBLE_EQ(Globals::StateTaxRate, 8.25);
    ASSERT_TRUE(Globals::rsClientList);
    EXPECT_EQ(Globals::rsClientList->RecordCount(), 3) << "the clone outlives the closed list";
    EXPECT_EQ(Globals::rsClients->State(), ado::adStateClosed);

    EXPECT_EQ(w.StatusBar1.Panels(1).Text(), "Wednesday, December 9, 2026   09:05 AM");
    EXPECT_EQ(w.StatusBar1.Panels(2).Text(), "3 Clients");
    EXPECT_GE(w.StatusBar1.Panels(1).Width(), 3500);
    EXPECT_EQ(w.StatusBar1.Panels(2).Width(), 1500);
    EXPECT_TRUE(w.tmrClock.Enabled());
    EXPECT_EQ(w.tmrClock.Interval(), 10000);
}

TEST_F(CustomerTest, EmptyStartShowsTheMainWindowThenAsksForAFirstClient) {
    boxes.expect(vb::vbOK);
    start();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt, "Please enter a client into the database!\r\n"
                                       "Enter your company's name, address and tax rate in File > Setup.");
    EXPECT_EQ(boxes.shown()[0].buttons, 0);
    EXPECT_TRUE(boxes.shown()[0].mainWindowVisible);
    EXPECT_EQ(Form::get<Customer>().CustList2.Rows(), 1);
    EXPECT_EQ(Globals::ClientCount, 0);
    EXPECT_FALSE(Form::isLoaded<intro>());
    Form::get<Customer>().Show();   // as main.cpp does: the editor stays in front
    EXPECT_EQ(forms::CurrentFocus(), static_cast<forms::FocusTarget*>(&Form::get<Profile>().txtFname));
}

TEST_F(CustomerTest, EmptyStartOpensTheClientEditorOnANewClient) {
    boxes.expect(vb::vbOK);
    Customer& w = start();
    ASSERT_TRUE(Form::isLoaded<Profile>());
    Profile& p = Form::get<Profile>();
    EXPECT_EQ(p.Owner(), &w) << "the first-client editor is owned by the main window";
    EXPECT_EQ(p.lblCustNum.Caption(), "1001");
    EXPECT_EQ(Globals::CurrentCustNum, 0) << "a number shown, not stored, is no current client";
}

TEST_F(CustomerTest, AMissingDataFileIsToldOnceAndNothingIsCreated) {
    ASSERT_TRUE(QFile::remove(folder.dataFile()));
    boxes.expect(vb::vbOK, "Vantrel.mdb was not found in " + folder.path() + ".\r\nMake a new, empty one with:\r\n" +
                               QCoreApplication::applicationDirPath() + "/newdb " + folder.path() + "/Vantrel.mdb");
    Form::get<Customer>().Show();
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_FALSE(Form::isLoaded<Customer>());
    EXPECT_FALSE(Form::isLoaded<intro>());
    EXPECT_TRUE(Form::loadedForms().isEmpty()) << "nothing keeps the program running";
    EXPECT_FALSE(QFile::exists(folder.dataFile()));
}

TEST_F(CustomerTest, AFileThatIsNotOursIsToldOnceAndTheProgramEndsWritingNothing) {
    const QString path = folder.dataFile();
    auto bytesOf = [&] { QFile f(path); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("none"); };
    // Empty, text, another program's tables; last a data file a writer died in: ours, it starts rolled back.
    const struct { QByteArray bytes; const char* sql; } cases[] = {{"", nullptr}, {QByteArray(4096, 'x'), nullptr},
        {"", "CREATE TABLE notes (t TEXT);"}, {"ours", "PRAGMA cache_size = 2; BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 "
        "UNION ALL SELECT i + 1 FROM n WHERE i < 500) INSERT INTO tb_PaymentTypes (Type) SELECT printf('%0300d', i) FROM n;"}};
    for (const auto& c : cases) {
        const bool ours = c.bytes == "ours";
        QFile::remove(path);
        if (ours) testsupport::MakeDataFile(path);
        QFile f(path);
        ASSERT_TRUE(ours || (f.open(QIODevice::WriteOnly) && f.write(c.bytes) == c.bytes.size()));
        f.close();
        if (c.sql) { testsupport::OtherProgram writer(path); writer.run(c.sql); writer.kill(); }
        const QByteArray before = bytesOf();
        if (ours) boxes.allowUnexpected(true); else boxes.expect(vb::vbOK, path + " is not a Vantrel data file.");
        Form::get<Customer>().Show();
        EXPECT_EQ(Form::isLoaded<Customer>(), ours) << c.sql;
        if (!ours) EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Vantrel.mdb"}) << "no settings, no journal";
        EXPECT_EQ(ours ? folder.scalar("select count(*) from tb_PaymentTypes").toLatin1() : bytesOf(), ours ? "0" : before);
    }
    EXPECT_EQ(boxes.shown().size(), 4u) << "one each, and the first client's question";
}

TEST_F(CustomerTest, ClientCountFollowsTheList) {
    addClients();
    Customer& w = start();
    folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1004,'Zed','Z');");
    Globals::RefreshCustList();
    EXPECT_EQ(w.StatusBar1.Panels(2).Text(), "4 Clients") << "at once, not at the next tick";
    folder.exec("DELETE FROM tb_Client WHERE CustNum <> 1004;");
    Globals::RefreshCustList();
    testsupport::PinnedClock late(QDateTime(QDate(2026, 12, 10), QTime(0, 5)));
    w.tmrClock_Timer();
    EXPECT_EQ(w.StatusBar1.Panels(2).Text(), "1 Client");
    EXPECT_EQ(w.StatusBar1.Panels(1).Text(), "Thursday, December 10, 2026   12:05 AM");
    testsupport::PinnedClock afternoon(QDateTime(QDate(2026, 12, 10), QTime(13, 7)));
    w.tmrClock_Timer();
    EXPECT_TRUE(w.StatusBar1.Panels(1).Text().endsWith("01:07 PM"));
}

TEST_F(CustomerTest, GridClickSelectsAndHeaderOrEmptyGridDoesNothing) {
    addClients();
    Customer& w = start();
    w.CustList2.setRowColSilently(3, 2);
    w.CustList2_Click();
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    EXPECT_EQ(Globals::CurrentCustName, "Smith, John ");
    EXPECT_EQ(Globals::PickRow, 3);

    // The header row is not a client.
    w.CustList2.setRowColSilently(0, 2);
    boxes.expect(vb::vbOK);
    w.CustList2_Click();
    EXPECT_EQ(boxes.lastPrompt(), "No Data Selected.");
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
}

TEST_F(CustomerTest, GatedCommandsDoNothingOnAnEmptyGrid) {
    boxes.expect(vb::vbOK);   // the start-up's first-client message
    Customer& w = start();
    boxes.clear();
    Globals::CurrentCustNum = 1001;
    w.CustList2_Click();
    w.CustList2_DblClick();
    w.btnCustInfo_Click();
    w.btnNewInvoice_Click();
    w.btnReceipts_Click();
    w.mnuDelete_Click();
    w.mnuOrdering_Click();
    w.mnuOrdered_Click();
    w.mnuAging_Click(60);
    w.mnuBilling_Click();
    // The menu items reach the same gates.
    for (QAction* a : {w.mnuClient, w.mnuDelete, w.mnuNewInvoice, w.mnuInvoices, w.mnuReceive, w.mnuOrdering,
                       w.mnuOrdered, w.mnu30days, w.mnu60days, w.mnu90days, w.mnuBilling})
        a->trigger();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(Globals::AgingDays, 0);
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    EXPECT_FALSE(Form::isLoaded<CustInvoices>());
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
}

// Captions a user reads and scripts look for; several are easy to "correct".
TEST_F(CustomerTest, MenusAndToolButtonsCarryTheirCaptions) {
    addClients();
    Customer& w = start();
    EXPECT_EQ(w.windowTitle(), "Vantrels");
    QStringList tree;
    std::function<void(QMenu*, const QString&)> walk = [&](QMenu* m, const QString& path) {
        for (QAction* a : m->actions()) {
            if (a->isSeparator()) continue;
            const QString here = path + ">" + a->text();
            tree << here + (a->isEnabled() ? "" : " (greyed)");
            if (a->menu()) walk(a->menu(), here);
        }
    };
    for (QAction* top : w.MenuBar()->actions()) {
        tree << top->text();
        if (top->menu()) walk(top->menu(), top->text());
    }
    const QStringList expected = {
        "&File", "&File>&Setup", "&File>&Backup", "&File>&Restore", "&File>Repair/&Compact Data", "&File>&Exit",
        "&Edit", "&Edit>&Client", "&Edit>&New Client", "&Edit>&Delete Client", "&Edit>New &Invoice", "&Edit>&Vendors",
        "&Tables", "&Tables>Client &Invoices", "&Tables>Client &Receipts", "&Tables>&Payment/Deposit Registry",
        "&Tables>&Inventory Maintenance",
        "&Print", "&Print>Back &Orders", "&Print>Back &Orders>&Ordering", "&Print>Back &Orders>O&rdered",
        "&Print>&Billing", "&Print>&Inventory", "&Print>&Inventory>&In Stock", "&Print>&Inventory>&Sales",
        "&Print>&Inventory>&Best Sellers", "&Print>&Clients", "&Print>&Clients>&Bals",
        "&Print>&Clients>&Profiles (greyed)", "&Print>&Clients>&30 Days", "&Print>&Clients>&60 Days",
        "&Print>&Clients>&90 days", "&Print>I&ncome Statement",
        "&Help", "&Help>&Contents", "&Help>&About Vantrel",
    };
    EXPECT_EQ(tree, expected);

    const std::pair<controls::ToolButton*, const char*> tips[] = {
        {&w.btnRefresh, "Refresh Client List"}, {&w.btnNewCust, "Enter new client"},
        {&w.btnCustInfo, "Profile for selected client"}, {&w.btnDetails, "Sales Invoices for selected client"},
        {&w.btnNewInvoice, "Enter new sales invoice for selected client"}, {&w.btnReceipts, "Client Payments Received"},
        {&w.btnPayments, "Payment/Deposit Registry"}, {&w.btnInventory, "Add to/Edit Inventory"},
        {&w.btnVendors, "Vendor Profiles"}, {&w.btnExit, "Exit Vantrel"}};
    for (const auto& [b, tip] : tips) EXPECT_EQ(b->ToolTipText(), QString::fromLatin1(tip));

    Form::get<About>();
    EXPECT_EQ(Form::get<About>().windowTitle(), "About Vantrels");
    EXPECT_EQ(Form::get<About>().Command1.text(), "&OK");
    EXPECT_EQ(Form::get<About>().lblVersion.Caption(), "Version 1.1");
    Form::get<About>().Command1_Click();
    EXPECT_FALSE(Form::isLoaded<About>());
}

// A command keeps its picture in every window that offers it, and the main
// window's ten commands show ten different pictures.
TEST_F(CustomerTest, ToolButtonPicturesNameTheirCommandInEveryWindow) {
    addClients();
    Customer& w = start();
    // Built, not loaded: the pictures are set up with the controls.
    CustInvoices sales;
    Profile profile;
    InvoiceDetail invoice;
    Receipts receipts;
    Vendors vendors;
    GL registry;
    auto picture = [](const QAbstractButton& b) { return b.icon().name(); };

    QSet<QString> mainPictures;
    for (const QAbstractButton* b : std::initializer_list<const QAbstractButton*>{
             &w.btnRefresh, &w.btnNewCust, &w.btnCustInfo, &w.btnDetails, &w.btnNewInvoice, &w.btnReceipts,
             &w.btnPayments, &w.btnInventory, &w.btnVendors, &w.btnExit}) {
        EXPECT_FALSE(picture(*b).isEmpty()) << b->toolTip().toStdString();
        mainPictures.insert(picture(*b));
    }
    EXPECT_EQ(mainPictures.size(), 10);

    struct Pair { const QAbstractButton& a; const QAbstractButton& b; bool same; };
    const Pair pairs[] = {
        {w.btnCustInfo, sales.btnCustInfo, true},          {w.btnNewCust, profile.btnNewCustomer, true},
        {w.btnNewInvoice, sales.btnNewInvoice, true},      {w.btnNewInvoice, profile.btnNewInvoice, true},
        {w.btnNewInvoice, invoice.btnNew, true},           {w.btnReceipts, invoice.btnPayments, true},
        {w.btnPayments, vendors.btnPayments, true},        {w.btnVendors, registry.btnVendors, true},
        {w.btnInventory, sales.btnInventory, true},        {sales.btnPrint, invoice.btnPrint, true},
        {sales.btnPrint, receipts.btnPrint, true},         {sales.btnPrint, registry.btnPrint, true},
        {sales.btnExit, invoice.btnExit, true},            {profile.btnDelete, invoice.btnRemove, true},
        // Shared or misleading before: profile and print, register and
        // save, inventory and vendors, leaving a window and leaving the program.
        {w.btnCustInfo, invoice.btnPrint, false},          {w.btnPayments, profile.btnSave, false},
        {w.btnInventory, w.btnVendors, false},             {w.btnExit, sales.btnExit, false},
        {w.btnNewCust, vendors.btnNewVendor, false},
    };
    for (const Pair& p : pairs)
        EXPECT_EQ(picture(p.a) == picture(p.b), p.same)
            << p.a.toolTip().toStdString() << " / " << p.b.toolTip().toStdString();
}

TEST_F(CustomerTest, DeleteClientAnsweredYesRemovesEverythingItOwns) {
    addClients();
    folder.exec(
        "INSERT INTO tb_Inventory VALUES (1001,1,'Bolt',1.5,5,10,'');"
        "INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount) VALUES (1001,1001,'2026-12-01 00:00:00',0);"
        "INSERT INTO tb_trans VALUES (1001,1001,1001,2,3,'Bolt',0,NULL);"
        "INSERT INTO tb_Receive VALUES (1001,1001,'Cash','', '2026-12-02 00:00:00', 3, '');");
    Customer& w = start();
    w.CustList2.setRowColSilently(3, 2);
    w.CustList2_Click();
    boxes.expect(vb::vbYes);
    w.mnuDelete_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt,
              "Deleting a client is not recommended when transactions exist for the client.  All transactions for "
              "[Smith, John ] will be deleted along with the client's profile.  Do you wish to do this?");
    EXPECT_EQ(boxes.shown()[0].title, "Delete Client ... Smith, John ?");
    EXPECT_EQ(boxes.shown()[0].buttons, 292);
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_Client WHERE CustNum=1001"), "0");
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_Invoice"), "0");
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_trans"), "0");
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_Receive"), "0");
    EXPECT_EQ(folder.scalar("SELECT instock FROM tb_Inventory"), "10") << "deleting a client gives no stock back";
    EXPECT_EQ(w.CustList2.Rows(), 3);
    // The highlighted row is the current client again.
    EXPECT_EQ(QString::number(Globals::CurrentCustNum), w.CustList2.TextMatrix(w.CustList2.Row(), 0));
    EXPECT_NE(Globals::CurrentCustNum, 1001);
}

TEST_F(CustomerTest, FailedDeleteKeepsTheSelectionAndStillReloads) {
    addClients();
    Customer& w = start();
    folder.exec("CREATE TRIGGER keep BEFORE DELETE ON tb_Client BEGIN SELECT RAISE(ABORT, 'client is locked'); END;"
                "INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1004,'Zed','Z');");
    boxes.expect(vb::vbYes);
    boxes.allowUnexpected(true);   // the data layer's one error report
    w.mnuDelete_Click();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(boxes.shown()[1].prompt.contains("client is locked"));
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_Client"), "4");
    EXPECT_EQ(Globals::CurrentCustNum, 1002) << "a failed delete clears nothing";
    EXPECT_EQ(Globals::CurrentCustName, "adams, Al ");
    EXPECT_EQ(w.CustList2.Rows(), 5) << "the list is reloaded all the same";
}

TEST_F(CustomerTest, DeleteClientAnsweredNoKeepsClientButReloads) {
    addClients();
    Customer& w = start();
    folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1004,'Zed','Z');");
    boxes.expect(vb::vbNo);
    w.mnuDelete_Click();
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_Client"), "4");
    EXPECT_EQ(w.CustList2.Rows(), 5) << "the list is reloaded after No too";
    EXPECT_EQ(Globals::CurrentCustNum, 1002);
}

TEST_F(CustomerTest, NewInvoiceRefusesClientsThatAreNotStored) {
    addClients();
    Customer& w = start();
    for (int32_t num : {-1, 0, 1004}) {
        Globals::CurrentCustNum = num;
        boxes.expect(vb::vbOK);
        w.NewInvoice();
        EXPECT_EQ(boxes.lastPrompt(), "Select or enter a client first.") << num;
    }
}

TEST_F(CustomerTest, DoubleClickWithoutSalesOffersANewInvoice) {
    addClients();
    // An invoice from last year does not count: the list starts on 1 January.
    folder.exec("INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES (1001,1002,'2025-12-31 00:00:00',0,0,0,0);");
    Customer& w = start();
    boxes.expect(vb::vbNo);
    w.CustList2_DblClick();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt, "Enter new sales invoice for adams, Al ?");
    EXPECT_EQ(boxes.shown()[0].title, "No Sales Found");
    EXPECT_EQ(boxes.shown()[0].buttons, 292);
    EXPECT_FALSE(Form::isLoaded<CustInvoices>());
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());

    boxes.expect(vb::vbYes);
    w.CustList2_DblClick();
    EXPECT_TRUE(Form::isLoaded<InvoiceDetail>()) << "Yes starts a new invoice";
    EXPECT_EQ(Globals::CurrentInvoiceNum, 0);
}

TEST_F(CustomerTest, DoubleClickWithSalesShowsTheSalesList) {
    addClients();
    folder.exec("INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES (1001,1002,'2026-02-01 00:00:00',0,0,0,0);");
    Customer& w = start();
    w.CustList2_DblClick();
    ASSERT_TRUE(Form::isLoaded<CustInvoices>());
    auto& sales = Form::get<CustInvoices>();
    EXPECT_TRUE(sales.isVisible());
    EXPECT_EQ(sales.CmbInvoice.Text(), "Selected Client");
    EXPECT_EQ(sales.InvoiceList.Rows(), 2);
    EXPECT_EQ(sales.InvoiceList.TextMatrix(1, 1), "1001");
}

TEST_F(CustomerTest, DoubleClickListsSalesWhateverTheLocale) {
    addClients();
    folder.exec("INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES (1001,1002,'2026-02-01 00:00:00',0,0,0,0);");
    Customer& w = start();
    for (const QLocale& loc : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(loc);
        Form::unload<CustInvoices>();
        w.CustList2_DblClick();
        EXPECT_EQ(Form::get<CustInvoices>().InvoiceList.Rows(), 2) << loc.name().toStdString();
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(CustomerTest, ClientCommandsOpenTheEditor) {
    addClients();
    Customer& w = start();
    w.btnNewCust_Click();
    ASSERT_TRUE(Form::isLoaded<Profile>());
    EXPECT_TRUE(Globals::NewClientMode);
    EXPECT_EQ(Form::get<Profile>().lblCustNum.Caption(), "1004");

    Form::unload<Profile>();
    Globals::NewClientMode = false;
    w.CustList2.setRowColSilently(3, 2);
    w.CustList2_Click();
    w.btnCustInfo_Click();
    ASSERT_TRUE(Form::isLoaded<Profile>());
    EXPECT_EQ(Form::get<Profile>().lblCustNum.Caption(), "1001");
    EXPECT_EQ(Form::get<Profile>().txtLname.Text(), "Smith");
}

TEST_F(CustomerTest, ReceiptsNeedsAClient) {
    addClients();
    Customer& w = start();
    Globals::CurrentCustNum = 0;
    boxes.expect(vb::vbOK);
    w.btnReceipts_Click();
    EXPECT_EQ(boxes.lastPrompt(), "Select or enter a client first");
}

TEST_F(CustomerTest, BackOrderMenusSayWhenThereIsNothing) {
    addClients();
    Customer& w = start();
    boxes.expect(vb::vbOK);
    w.mnuOrdering_Click();
    EXPECT_EQ(boxes.lastPrompt(), "Unordered backorders not found.");
    boxes.expect(vb::vbOK);
    w.mnuOrdered_Click();
    EXPECT_EQ(boxes.lastPrompt(), "No backordered items found.");
}

TEST_F(CustomerTest, ResizeRespectsEveryThreshold) {
    addClients();
    Customer& w = start();
    struct Case { int W, H; bool gridW, gridL, gridH, gridT, frameTop; };
    const Case cases[] = {
        {160, 1600, false, true, false, true, true},
        {161, 1601, true, true, true, true, true},
        {20, 620, false, false, false, false, true},
        {21, 621, false, true, false, true, true},
        {100, 110, false, true, false, false, false},
        {8000, 6000, true, true, true, true, true},
    };
    // Controls sit on whole pixels (15 twips), so compare to within one.
    for (const Case& c : cases) {
        w.CustList2.Move(60, 90, 45, 60);
        w.Frame2.Move(45, 0, 1500, 560);
        w.Frame1.setTop(75);
        w.setWidth(c.W);
        w.setHeight(c.H);
        w.Form_Resize();
        SCOPED_TRACE(testing::Message() << c.W << "x" << c.H);
        EXPECT_NEAR(w.CustList2.Width(), c.gridW ? c.W - 160 : 45, 14);
        EXPECT_NEAR(w.CustList2.Left(), c.gridL ? 20 : 60, 14);
        EXPECT_NEAR(w.CustList2.Height(), c.gridH ? c.H - 1600 : 60, 14);
        EXPECT_NEAR(w.CustList2.Top(), c.gridT ? 620 : 90, 14);
        EXPECT_NEAR(w.Frame2.Width(), c.gridW ? c.W - 160 : 1500, 14);
        EXPECT_NEAR(w.Frame2.Left(), c.gridL ? 20 : 45, 14);
        EXPECT_NEAR(w.Frame1.Top(), c.frameTop ? 110 : 75, 14);
        EXPECT_NEAR(w.Frame1.Left(), w.Frame2.Width() - w.Frame1.Width(), 14);
    }
}

TEST_F(CustomerTest, GeometryComesFromTheSettingsFileAndGoesBack) {
    addClients();
    {
        Customer& w = start();
        EXPECT_EQ(w.Left(), 100);
        EXPECT_EQ(w.Top(), 100);
        EXPECT_EQ(w.Width(), 8000);
        EXPECT_EQ(w.Height(), 6000);
        EXPECT_EQ(Globals::IniPath, folder.path() + "\\Vantrel.ini");
        w.Move(1500, 1200, 9000, 7000);
        Form::Unload(w);
    }
    testsupport::ResetWindowsAndState();
    QFile ini(folder.iniFile());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains("[Customer]"));
    EXPECT_TRUE(text.contains("LEFT=1500"));
    EXPECT_TRUE(text.contains("WIDTH=9000"));
    ini.close();

    Customer& again = start();
    EXPECT_EQ(again.Left(), 1500);
    EXPECT_EQ(again.Height(), 7000);

    // The About box puts the main window back where it was saved.
    again.Move(3000, 3000, 5000, 5000);
    Form::get<About>();
    EXPECT_EQ(again.Left(), 1500);
    EXPECT_EQ(again.Width(), 9000);
}

TEST_F(CustomerTest, SettingsReaderKeepsItsRules) {
    const QString ini = folder.path() + "\\Vantrel.ini";
    // No file: every default comes back.
    EXPECT_EQ(Globals::ReadIniString("Customer", "WIDTH", "8000", ini), "8000");
    EXPECT_EQ(Globals::ReadIniString("Data", "BackUpTo", "C:\\TEMP", ini), "C:\\TEMP");
    {
        QFile f(folder.iniFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; kept\n[CUSTOMER]\nleft =  1500  \nTOP=\nNote=" + QByteArray(4100, 'x') + "\n[Other]\nA=1\n");
    }
    struct Case { const char* section; const char* key; const char* def; QString want; };
    const Case cases[] = {
        {"Customer", "LEFT", "100", "1500"},            // section and key in any case, value trimmed
        {"Customer", "TOP", "100", ""},                 // present but empty: not the default
        {"Customer", "HEIGHT", "6000", "6000"},         // missing key
        {"Customer", "Note", "", QString(4096, 'x')},   // a path of the longest length, whole
    };
    for (const Case& c : cases)
        EXPECT_EQ(Globals::ReadIniString(c.section, c.key, c.def, ini), c.want) << c.key;

    Globals::WriteIniString("Customer", "WIDTH", Globals::SingleText(9000), ini);
    Globals::WriteIniString("Customer", "LEFT", Globals::SingleText(7.5), ini);
    QFile f(folder.iniFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.startsWith("; kept\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("WIDTH=9000\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("=7.5\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("1500")) << "the old value is replaced in place";
    EXPECT_TRUE(text.contains("[Other]\nA=1")) << text.toStdString();
}

TEST_F(CustomerTest, MinimisedExitLeavesSavedPositionAlone) {
    addClients();
    folder.exec("SELECT 1;");
    {
        QFile ini(folder.iniFile());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Customer]\nLEFT=10\nTOP=20\nWIDTH=\nHEIGHT=7000\n");
    }
    Customer& w = start();
    EXPECT_EQ(w.Width(), 0) << "an empty value reads as 0";
    w.setWindowState(Customer::vbMinimized);
    w.Form_Unload();
    QFile ini(folder.iniFile());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(ini.readAll()), "[Customer]\nLEFT=10\nTOP=20\nWIDTH=\nHEIGHT=7000\n");
}

// A client saved after the main window was closed reloads the list into a
// main window loaded afresh and hidden, its whole start-up run first.
TEST_F(CustomerTest, ReloadAfterTheMainWindowClosedLoadsItHidden) {
    addClients();
    Form::Unload(start());
    testsupport::pump();
    ASSERT_FALSE(Form::isLoaded<Customer>());
    folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1004,'Zed','Z');");
    Globals::RefreshCustList();
    ASSERT_TRUE(Form::isLoaded<Customer>());
    Customer& w = Form::get<Customer>();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(Form::isLoaded<intro>());
    EXPECT_EQ(w.CustList2.Rows(), 5);
    EXPECT_EQ(w.CustList2.TextMatrix(4, 2), "Zed, Z");
    EXPECT_EQ(Globals::ClientCount, 4);
    EXPECT_TRUE(w.tmrClock.Enabled());
    EXPECT_TRUE(boxes.shown().empty());
}

// Repair refuses a data file that is still open, so no start-up step or
// loader may leave a connection open, not even one that failed.
TEST_F(CustomerTest, RepairWorksAfterStartUpAndAfterAFailedReload) {
    addClients();
    Customer& w = start();
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));
    boxes.expect(vb::vbOK);
    w.mnuRepair_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Compact Successful") << boxes.lastPrompt().toStdString();

    folder.exec("ALTER TABLE tb_Client RENAME TO tb_Client_away;");
    boxes.clear();
    boxes.allowUnexpected(true);
    w.btnRefresh_Click();
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_TRUE(boxes.shown().back().prompt.startsWith("Globals.RefreshCustList -"));
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile())) << "the failed reload closed its connection";
    folder.exec("ALTER TABLE tb_Client_away RENAME TO tb_Client;");
    boxes.clear();
    boxes.expect(vb::vbOK);
    w.mnuRepair_Click();
    EXPECT_EQ(boxes.shown().back().title, "Compact Successful") << boxes.lastPrompt().toStdString();
}

TEST_F(CustomerTest, LoadingNoticeShowsTheWholeClientName) {
    for (const QString name : {QString(), QStringLiteral("Smith, John "),
                               QStringLiteral("Worthington-Fairweather-Smythe, Alexandra Josephine ")}) {
        Globals::CurrentCustName = name;
        LoadingInvoices& n = Form::get<LoadingInvoices>();
        EXPECT_EQ(n.windowTitle(), "Loading Invoices");
        EXPECT_EQ(n.Label1.Caption(), "Loading Invoices for ... " + name);
        const int textPx = QFontMetrics(n.Label1.font()).horizontalAdvance(n.Label1.Caption());
        EXPECT_GE(n.Label1.width(), textPx) << name.toStdString();
        EXPECT_LE(n.Label1.geometry().right(), n.width()) << name.toStdString();
        Form::Unload(n);
    }
}

TEST_F(CustomerTest, HelpWithoutAFileSaysSoOnce) {
    addClients();
    Customer& w = start();
    boxes.expect(vb::vbOK);
    w.mnuContents_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("Help is not installed"));
    EXPECT_FALSE(boxes.lastPrompt().contains("If error persists"));
}

// The loaders that start-up runs, on their own.
TEST_F(CustomerTest, GetInventoryDeletesAPendingItemFirst) {
    addClients();
    folder.exec(
        "INSERT INTO tb_InvCategories VALUES (1,'Hardware'),(2,'Paint');"
        "INSERT INTO tb_Inventory VALUES (1001,1,'Bolt',1.5,5,10,''),(1002,1,'Nut',0.5,5,10,''),(1003,2,'Red',9,0,0,'');");
    start();
    Globals::DeleteItemPending = true;
    int32_t cat = 1, item = 1002;
    Globals::GetInventory(cat, item);
    EXPECT_FALSE(Globals::DeleteItemPending);
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_Inventory WHERE ItemNum=1002"), "0");
    ASSERT_TRUE(Globals::rsInvItems);
    EXPECT_EQ(Globals::rsInvItems->RecordCount(), 1);
    EXPECT_EQ(Globals::rsInvCats->RecordCount(), 2);
}

TEST_F(CustomerTest, StartUpPreloadsCategoryZeroAndTheTypeLists) {
    addClients();
    folder.exec(
        "INSERT INTO tb_InvCategories VALUES (1,'Hardware');"
        "INSERT INTO tb_Inventory VALUES (1001,1,'Bolt',1.5,5,10,'');"
        "INSERT INTO tb_PaymentTypes VALUES ('Cash'),('Visa');"
        "INSERT INTO tb_Shipping VALUES ('UPS','Ground',5);");
    start();
    EXPECT_EQ(Globals::CurrentCatNum, 0);
    EXPECT_EQ(Globals::rsInvItems->RecordCount(), 0);
    EXPECT_EQ(Globals::rsPayTypes->RecordCount(), 2);
    EXPECT_EQ(Globals::rsShipping->RecordCount(), 1);
    EXPECT_EQ(Globals::rsExpTypes->RecordCount(), 0);
}

TEST_F(CustomerTest, InventoryAndVendorCommandsOpenTheirWindows) {
    addClients();
    folder.exec("INSERT INTO tb_InvCategories VALUES (1,'Hardware');");
    Customer& w = start();
    Globals::CurrentCatNum = 7;
    w.btnInventory_Click();
    EXPECT_EQ(Globals::CurrentCatNum, 1);
    ASSERT_TRUE(Form::isLoaded<frmInventory>());
    EXPECT_TRUE(Form::get<frmInventory>().isVisible());

    w.btnVendors_Click();
    ASSERT_TRUE(Form::isLoaded<Vendors>());
    EXPECT_TRUE(Form::get<Vendors>().isVisible());

    w.mnuSetup_Click();
    ASSERT_TRUE(Form::isLoaded<frmSetup>());
    EXPECT_TRUE(Form::get<frmSetup>().isVisible());

    w.mnuBackup_Click();
    EXPECT_TRUE(Form::isLoaded<frmBackup>());
    w.mnuRestore_Click();
    EXPECT_TRUE(Form::isLoaded<frmRestore>());
}

TEST_F(CustomerTest, RegisterWithoutVendorsOpensTheVendorEditorBeforeItsMessage) {
    addClients();
    Customer& w = start();
    bool vendorsOpenAtMessage = false;
    vb::setMsgBoxHandler([&](const QString& prompt, int, const QString&) {
        EXPECT_EQ(prompt, "No Vendors found for ledger entries.  Enter Vendor profile first.");
        vendorsOpenAtMessage = Form::isLoaded<Vendors>();
        return int(vb::vbOK);
    });
    w.btnPayments_Click();
    EXPECT_TRUE(vendorsOpenAtMessage);
    // The handler above holds locals of this test: nothing may call it later.
    vb::setMsgBoxHandler([](const QString&, int, const QString&) { return int(vb::vbOK); });
}

TEST_F(CustomerTest, BackOrderAndBillingMenusOpenTheirWindows) {
    addClients();
    folder.exec(
        "INSERT INTO tb_Inventory VALUES (1001,1,'Bolt',1.5,5,0,'');"
        "INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES (1001,1001,'2026-12-01 00:00:00',0,0,0,0);"
        "INSERT INTO tb_trans VALUES (1001,1001,1001,2,3,'Bolt',-2,NULL),(1002,1001,1001,1,1.5,'Bolt',-1,'2026-12-02 00:00:00');");
    Customer& w = start();
    w.mnuOrdering_Click();
    EXPECT_TRUE(Form::isLoaded<PrtBackOrders>());
    w.mnuOrdered_Click();
    EXPECT_TRUE(Form::isLoaded<PrtBackOrdered>());
    w.mnuBilling_Click();
    EXPECT_TRUE(Form::isLoaded<Billing>());
    EXPECT_TRUE(boxes.shown().empty()) << boxes.lastPrompt().toStdString();
}

TEST_F(CustomerTest, BalanceMenusOpenTheirListsForTheDaysAsked) {
    addClients();
    Customer& w = start();
    w.mnuBals_Click();
    EXPECT_TRUE(Form::isLoaded<PrtBals>());
    w.mnuAging_Click(30);
    ASSERT_TRUE(Form::isLoaded<Prt30Days>());
    EXPECT_TRUE(Form::get<Prt30Days>().Caption().contains("30"));
    // Another day count lays the list out anew rather than raising the old one.
    w.mnuAging_Click(60);
    EXPECT_EQ(Globals::AgingDays, 60);
    EXPECT_TRUE(Form::get<Prt30Days>().Caption().contains("60")) << Form::get<Prt30Days>().Caption().toStdString();
}

TEST_F(CustomerTest, InventoryAndIncomeReportMenusOpenTheirPreviews) {
    addClients();
    folder.exec(
        "INSERT INTO tb_Company VALUES ('Harbor Supply','','','','','','','','',8.25);"
        "INSERT INTO tb_InvCategories VALUES (1,'Hardware');"
        "INSERT INTO tb_Inventory VALUES (1001,1,'Bolt',1.5,5,10,'');"
        "INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES (1001,1001,'2026-12-01 00:00:00',0,0,0,0);"
        "INSERT INTO tb_trans VALUES (1001,1001,1001,2,3,'Bolt',0,NULL);");
    Customer& w = start();
    w.mnuInStock_Click();
    EXPECT_TRUE(Form::isLoaded<PrtInventory>());
    w.mnuInventorySales_Click();
    EXPECT_TRUE(Form::isLoaded<PrtInventorySales>());
    w.mnuBestSellers_Click();
    EXPECT_TRUE(Form::isLoaded<PrtInventoryBestSales>());
    w.mnuIncomeStatement_Click();
    EXPECT_TRUE(Form::isLoaded<PrtIncome>());
    EXPECT_TRUE(boxes.shown().empty()) << boxes.lastPrompt().toStdString();
}

TEST_F(CustomerTest, RegisterWithVendorsOpensTheRegister) {
    addClients();
    folder.exec("INSERT INTO tb_Vendor (VendorNum, Company, Discount) VALUES (1001,'Acme',0);");
    Customer& w = start();
    w.btnPayments_Click();
    ASSERT_TRUE(Form::isLoaded<GL>());
    EXPECT_TRUE(Form::get<GL>().isVisible());
    EXPECT_FALSE(Form::isLoaded<Vendors>());
    EXPECT_TRUE(boxes.shown().empty()) << boxes.lastPrompt().toStdString();
}

} // namespace
