#include "customers/Customer.h"
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
#include <algorithm>
#include <utility>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStyle>
#include <QThread>
#include <QWindow>
#include "customers/About.h"
#include "customers/CustInvoices.h"
#include "customers/InvoiceDetail.h"
#include "customers/Profile.h"
#include "customers/Receipts.h"
#include "customers/intro.h"
#include "data/Client.h"
#include "data/DataIndexes.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "data/Invoice.h"
#include "data/Vendor.h"
#include "data/cSetup.h"
#include "dao/DBEngine.h"
#include "forms/App.h"
#include "fso/FileSystem.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

namespace {
const QString kLabel = QStringLiteral("Client.");

QString label(const char* proc) { return kLabel + QString::fromUtf8(proc) + QStringLiteral(" -"); }

// Converting a grid cell the way the commands do: text that is not a number
// is a type mismatch.
int32_t cellLong(const controls::FlexGrid& g, int r, int c) { return vb::CLng(vb::Variant(g.TextMatrix(r, c))); }

// Start-up refused the data file: the program ends as it found things.
bool refusedAtStart = false;

// One box for a data file the program cannot work with, before anything is
// read from it; false when it may be used. Only the tables are looked at:
// a full check of a business-size file would hold up every start.
bool refuseDataFile(const QString& path) {
    QString why;
    try {
        switch (dao::Inspect(path, Globals::DataTables(), false)) {
        case dao::Content::Data: return false;
        case dao::Content::Foreign: why = QStringLiteral(" is not a Vantrel data file."); break;
        case dao::Content::Damaged: why = QStringLiteral(" is damaged."); break;
        }
    } catch (const vb::RuntimeError&) {
        // Unreadable now (busy, no permission): the steps after say why.
        return false;
    }
    vb::MsgBox(path + why, vb::vbOKOnly | vb::vbCritical);
    return true;
}
}

Customer::Customer() {
    setCaption(QStringLiteral("Vantrels"));
    buildMenus();
    buildToolButtons();

    CustList2.setEditable(false);
    CustList2.Click = [this] { CustList2_Click(); };
    CustList2.DblClick = [this] { CustList2_DblClick(); };
    CustList2.KeyDown = [this](int& k, int s) { CustList2_KeyDown(k, s); };

    watch_ = RecordEvents::Subscribe([this](const RecordEvents::Event& e) {
        if (e.what == RecordEvents::CurrentClientChanged && IsLoaded()) vb::IgnoreErrors([this] { SyncCurrentClient(); });
    });

    tmrClock.setInterval(10000);
    tmrClock.setEnabled(false);
    tmrClock.OnTimer = [this] { tmrClock_Timer(); };

    // Until the settings file places it.
    Move(100, 100, 8000, 6000);
}

Customer::~Customer() = default;

void Customer::buildMenus() {
    QMenuBar* bar = MenuBar();
    auto item = [this](QMenu* m, const QString& caption, std::function<void()> fn) {
        QAction* a = m->addAction(caption);
        connect(a, &QAction::triggered, this, [fn] { vb::IgnoreErrors(fn); });
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    mnuSetup = item(file, QStringLiteral("&Setup"), [this] { mnuSetup_Click(); });
    mnuBackup = item(file, QStringLiteral("&Backup"), [this] { mnuBackup_Click(); });
    mnuRestore = item(file, QStringLiteral("&Restore"), [this] { mnuRestore_Click(); });
    mnuRepair = item(file, QStringLiteral("Repair/&Compact Data"), [this] { mnuRepair_Click(); });
    file->addSeparator();
    mnuExit = item(file, QStringLiteral("&Exit"), [this] { btnExit_Click(); });

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    mnuClient = item(edit, QStringLiteral("&Client"), [this] { btnCustInfo_Click(); });
    mnuNewClient = item(edit, QStringLiteral("&New Client"), [this] { btnNewCust_Click(); });
    mnuDelete = item(edit, QStringLiteral("&Delete Client"), [this] { mnuDelete_Click(); });
    mnuNewInvoice = item(edit, QStringLiteral("New &Invoice"), [this] { btnNewInvoice_Click(); });
    mnuVendors = item(edit, QStringLiteral("&Vendors"), [this] { btnVendors_Click(); });

    QMenu* tables = bar->addMenu(QStringLiteral("&Tables"));
    mnuInvoices = item(tables, QStringLiteral("Client &Invoices"), [this] { CustList2_DblClick(); });
    mnuReceive = item(tables, QStringLiteral("Client &Receipts"), [this] { btnReceipts_Click(); });
    mnuPay = item(tables, QStringLiteral("&Payment/Deposit Registry"), [this] { btnPayments_Click(); });
    mnuInventory = item(tables, QStringLiteral("&Inventory Maintenance"), [this] { btnInventory_Click(); });

    QMenu* print = bar->addMenu(QStringLiteral("&Print"));
    QMenu* back = print->addMenu(QStringLiteral("Back &Orders"));
    mnuOrdering = item(back, QStringLiteral("&Ordering"), [this] { mnuOrdering_Click(); });
    mnuOrdered = item(back, QStringLiteral("O&rdered"), [this] { mnuOrdered_Click(); });
    mnuBilling = item(print, QStringLiteral("&Billing"), [this] { mnuBilling_Click(); });
    QMenu* inv = print->addMenu(QStringLiteral("&Inventory"));
    mnuInStock = item(inv, QStringLiteral("&In Stock"), [this] { mnuInStock_Click(); });
    mnuInventorySales = item(inv, QStringLiteral("&Sales"), [this] { mnuInventorySales_Click(); });
    mnuBestSellers = item(inv, QStringLiteral("&Best Sellers"), [this] { mnuBestSellers_Click(); });
    QMenu* clients = print->addMenu(QStringLiteral("&Clients"));
    mnuBals = item(clients, QStringLiteral("&Bals"), [this] { mnuBals_Click(); });
    mnuProfiles = clients->addAction(QStringLiteral("&Profiles"));
    mnuProfiles->setEnabled(false);   // carries no command
    mnu30days = item(clients, QStringLiteral("&30 Days"), [this] { mnuAging_Click(30); });
    mnu60days = item(clients, QStringLiteral("&60 Days"), [this] { mnuAging_Click(60); });
    mnu90days = item(clients, QStringLiteral("&90 days"), [this] { mnuAging_Click(90); });
    mnuIncomeStatement = item(print, QStringLiteral("I&ncome Statement"), [this] { mnuIncomeStatement_Click(); });

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    mnuContents = item(help, QStringLiteral("&Contents"), [this] { mnuContents_Click(); });
    mnuAbout = item(help, QStringLiteral("&About Vantrel"), [this] { mnuAbout_Click(); });
}

void Customer::buildToolButtons() {
    controls::LayOutToolButtons({
        {&btnRefresh, "Refresh Client List", controls::pictures::RefreshClients, [this] { btnRefresh_Click(); }},
        {&btnNewCust, "Enter new client", controls::pictures::NewClient, [this] { btnNewCust_Click(); }},
        {&btnCustInfo, "Profile for selected client", controls::pictures::ClientProfile, [this] { btnCustInfo_Click(); }},
        {&btnDetails, "Sales Invoices for selected client", controls::pictures::ClientInvoices, [this] { btnDetails_Click(); }},
        {&btnNewInvoice, "Enter new sales invoice for selected client", controls::pictures::NewInvoice, [this] { btnNewInvoice_Click(); }},
        {&btnReceipts, "Client Payments Received", controls::pictures::ClientPayments, [this] { btnReceipts_Click(); }},
        {&btnPayments, "Payment/Deposit Registry", controls::pictures::Register, [this] { btnPayments_Click(); }},
        {&btnInventory, "Add to/Edit Inventory", controls::pictures::Inventory, [this] { btnInventory_Click(); }},
        {&btnVendors, "Vendor Profiles", controls::pictures::Vendors, [this] { btnVendors_Click(); }},
    }, 60, 105, 420, 390, 450);
    // Exit stands apart, in the right-hand frame.
    controls::LayOutToolButtons({{&btnExit, "Exit Vantrel", controls::pictures::Exit, [this] { btnExit_Click(); }}},
                                60, 60, 420, 390, 450);
    Frame2.Move(20, 0, 7840, 560);
    Frame1.Move(7840 - 540, 110, 540, 440);
}

int Customer::ClockPanelWidth() const {
    // 3500 twips, or wider when the locale's long date needs it, so the time
    // is never cut off.
    const int px = StatusBar1.fontMetrics().horizontalAdvance(ClockText() + QStringLiteral("  ")) + 12;
    return std::max(3500, px * 15);
}

QString Customer::ClockText() {
    const QDateTime now = vb::clockNow();
    return QLocale().toString(now.date(), QLocale::LongFormat) + QStringLiteral("   ") +
           now.time().toString(QStringLiteral("hh:mm AP"));
}

void Customer::Form_Load() {
    // Without the data file every step below would fail on its own; the
    // program says once what is missing and how to make it, and ends.
    if (!fso::FileExists(fso::ResolvePath(Globals::DataFilePath()))) {
        // The command on a line of its own, with the newdb built beside
        // the program, so it can be copied and run as it stands.
        const QString folder = forms::AppPath();
        const QString newdb = QCoreApplication::applicationDirPath() + QStringLiteral("/newdb");
        vb::MsgBox(QStringLiteral("Vantrel.mdb was not found in ") + folder +
                       QStringLiteral(".\r\nMake a new, empty one with:\r\n") + newdb + QLatin1Char(' ') + folder +
                       QStringLiteral("/Vantrel.mdb"),
                   vb::vbOKOnly | vb::vbCritical);
        refusedAtStart = true;
        forms::Form::Unload(this);
        return;
    }
    if (refuseDataFile(fso::ResolvePath(Globals::DataFilePath()))) {
        refusedAtStart = true;
        forms::Form::Unload(this);
        return;
    }
    vb::Trap(label("Form_Load"), [this] {
        using namespace Globals;
        rsClients = std::make_shared<ado::Recordset>();
        rsClientList = std::make_shared<ado::Recordset>();
        rsInvoices = std::make_shared<ado::Recordset>();
        rsInvItems = std::make_shared<ado::Recordset>();
        rsInvCats = std::make_shared<ado::Recordset>();
        rsPayTypes = std::make_shared<ado::Recordset>();
        rsShipping = std::make_shared<ado::Recordset>();
        rsExpTypes = std::make_shared<ado::Recordset>();
        rsVendors = std::make_shared<ado::Recordset>();

        auto vendor = std::make_shared<Vendor>();
        SharedVendor = vendor;
        vendor->InitAccess(DataFilePath());
        SharedInvoice = std::make_shared<Invoice>();
        auto setup = std::make_shared<cSetup>();
        SharedSetup = setup;

        setup->InitAccess(DataFilePath());
        setup->OpenCn();
        const bool hasCompany = setup->GetCompanyInfo();
        CoName = setup->Name;
        setup->CloseCn();

        {
            // The splash closes on every path, also when a step fails.
            struct SplashGuard { ~SplashGuard() { forms::Form::unload<intro>(); } } splashGuard;
            forms::Form::get<intro>().Show(false, this);
            auto& splash = forms::Form::get<intro>();

            // A file made by an earlier version gets the indexes the lists rely on.
            DataIndexes::Update(DataFilePath(), [&splash] {
                splash.lblProcess.setCaption(QStringLiteral("...Updating the data file's indexes..."));
                // Painted before the step holds the program for a while: the
                // splash just shown may not be on screen yet (half a second at most).
                const QWindow* shown = splash.windowHandle();
                for (int k = 0; k < 50 && shown && !shown->isExposed(); ++k) {
                    forms::DoEvents();
                    QThread::msleep(10);
                }
                forms::DoEvents();
                splash.repaint();
            });
            splash.lblProcess.setCaption(QStringLiteral("...Preloading Inventory..."));
            forms::DoEvents();
            int32_t noItem = 0;
            int32_t cat = CurrentCatNum;
            GetInventory(cat, noItem);

            if (forms::Form::isLoaded<intro>())
                forms::Form::get<intro>().lblProcess.setCaption(QStringLiteral("...Loading Company Settings..."));
            forms::DoEvents();
            SetupInit();

            if (forms::Form::isLoaded<intro>())
                forms::Form::get<intro>().lblProcess.setCaption(QStringLiteral("...Loading Clients..."));
            forms::DoEvents();
            CustList2.setVisible(false);
            RefreshCustList();
            CustList2.setVisible(true);
        }

        StatusBar1.Panels().Clear();
        StatusBar1.Panels().Add();
        StatusBar1.Panels().Add();
        StatusBar1.Panels(1).setText(ClockText());
        ShowClientCount();
        StatusBar1.Panels(1).setWidth(ClockPanelWidth());
        StatusBar1.Panels(2).setWidth(1500);

        tmrClock.setEnabled(true);

        if (auto inv = SharedInvoice) inv->InitAccess(DataFilePath());

        auto list = rsClientList;
        if (!list || list->RecordCount() < 1) {
            // The main window comes first, then the message over it, then
            // the client editor on top of both with the focus.
            Show();
            forms::WaitUntilActive(*this);
            QString prompt = QStringLiteral("Please enter a client into the database!");
            // Invoices need the company, its tax rate, payment types and items first.
            if (!hasCompany)
                prompt += QStringLiteral("\r\nEnter your company's name, address and tax rate in File > Setup.");
            vb::MsgBox(prompt);
            CurrentCustNum = 0;
            OpenFirstClientEditor();
        } else {
            CurrentCustNum = cellLong(CustList2, 1, 0);
            CurrentInvoiceDate = vb::Today();
            CurrentCustName = CustList2.TextMatrix(1, 2) + QStringLiteral(" ") + CustList2.TextMatrix(1, 1);
            CustList2.setCol(2);
        }
    });
}

void Customer::Form_Resize() {
    vb::Trap(label("Form_Resize"), [this] {
        if (WindowState() == vbMinimized) return;
        const int W = Width(), H = Height();
        if (W > 160) CustList2.setWidth(W - 160);
        if (W > 20) CustList2.setLeft(20);
        if (H > 1600) CustList2.setHeight(H - 1600);
        if (H > 620) CustList2.setTop(620);
        if (W > 160) Frame2.setWidth(W - 160);
        if (W > 20) Frame2.setLeft(20);
        Frame1.setLeft(Frame2.Width() - Frame1.Width());
        if (H > 110) Frame1.setTop(110);
    });
}

void Customer::Form_Unload() {
    if (std::exchange(refusedAtStart, false)) return;
    vb::Trap(label("Form_Unload"), [this] {
        if (WindowState() == vbMinimized) return;
        Globals::WriteWindowGeometry(QStringLiteral("Customer"), Left(), Top(), Width(), Height(), Globals::IniPath);
    });
}

void Customer::Form_Terminate() {
    using namespace Globals;
    vb::IgnoreErrors([] {
        if (rsClients && rsClients->State() == ado::adStateOpen) rsClients->Close();
        if (auto c = SharedClient) c->CloseCn();
        SharedClient.reset();
        rsClients.reset();
        if (rsInvoices && rsInvoices->State() == ado::adStateOpen) rsInvoices->Close();
        if (auto i = SharedInvoice) i->CloseCn();
        SharedInvoice.reset();
        rsInvoices.reset();
        if (auto i = SharedInventory) i->CloseCn();
        rsInvItems.reset();
        SharedInventory.reset();
        if (auto s = SharedSetup) s->CloseCn();
        rsPayTypes.reset();
        rsShipping.reset();
        SharedSetup.reset();
        SharedVendor.reset();
        rsVendors.reset();
    });
}

void Customer::Form_GotFocus() {
    vb::IgnoreErrors([this] {
        if (CustList2.Cols() > 2) CustList2.setCol(2);
    });
}

void Customer::tmrClock_Timer() {
    vb::Trap(label("tmrClock_Timer"), [this] {
        StatusBar1.Panels(1).setText(ClockText());
        ShowClientCount();
        if (StatusBar1.Panels(1).Width() < ClockPanelWidth()) StatusBar1.Panels(1).setWidth(ClockPanelWidth());
    });
}

void Customer::ShowClientCount() {
    if (StatusBar1.Panels().Count() < 2) return;   // still loading: the panels come later
    const int n = Globals::ClientCount;
    StatusBar1.Panels(2).setText(QString::number(n) + (n == 1 ? QStringLiteral(" Client") : QStringLiteral(" Clients")));
}

void Customer::CustList2_Click() {
    if (!HasClientRows()) return;
    try {
        const int r = CustList2.Row();
        const int32_t num = cellLong(CustList2, r, 0);
        Globals::CurrentInvoiceDate = vb::Today();
        Globals::PickRow = r;
        Globals::SetCurrentClient(num, CustList2.TextMatrix(r, 2) + QStringLiteral(" ") + CustList2.TextMatrix(r, 1));
    } catch (const vb::RuntimeError& e) {
        if (e.Number() == vb::err::TypeMismatch) {
            vb::MsgBox(QStringLiteral("No Data Selected."));
            return;
        }
        vb::ShowErrorReport(label("CustList2_Click"), e);
    } catch (...) {
        vb::ShowErrorReport(label("CustList2_Click"), vb::ToRuntimeError(std::current_exception()));
    }
}

void Customer::CustList2_KeyDown(int& KeyCode, int) {
    if (KeyCode == 13) CustList2_DblClick();
}

void Customer::btnRefresh_Click() { Globals::RefreshCustList(); }

void Customer::btnExit_Click() { forms::Form::Unload(this); }

void Customer::mnuRepair_Click() {
    Globals::CompactDatabase(QStringLiteral("vantrel.mdb"));
}

void Customer::mnuDelete_Click() {
    if (!HasClientRows()) return;
    vb::Trap(label("mnuDelete_Click"), [] {
        AskAndDeleteCurrentClient();
        Globals::RefreshCustList();
    });
}

void Customer::AskAndDeleteCurrentClient() { AskAndDeleteClient(Globals::CurrentCustNum, Globals::CurrentCustName); }

void Customer::AskAndDeleteClient(int32_t custNum, const QString& name) {
    using namespace Globals;
    if (!Client::Exists(custNum)) {
        vb::MsgBox(QStringLiteral("This client is not in the file; nothing was deleted."), vb::vbOKOnly);
        return;
    }
    const QString prompt =
        QStringLiteral("Deleting a client is not recommended when transactions exist for the client.  ") +
        QStringLiteral("All transactions for [") + name +
        QStringLiteral("] will be deleted along with the client's profile.  Do you wish to do this?");
    const int answer = vb::MsgBox(prompt, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2,
                                  QStringLiteral("Delete Client ... ") + name + QStringLiteral("?"));
    if (answer != vb::vbYes) return;
    auto client = SharedClient;
    if (!client) vb::Raise(vb::err::ObjectNotSet);
    const ConnectionScope opened = client->OpenScope();
    // Only a delete that went through clears the selection: the client is
    // gone, and nothing may go on naming it. The windows showing it close.
    if (client->DeleteClient(custNum) && CurrentCustNum == custNum) {
        CurrentCustNum = 0;
        CurrentCustName.clear();
    }
}

void Customer::SyncCurrentClient() {
    if (!HasClientRows()) {
        if (Globals::CurrentCustNum > 0) {
            Globals::CurrentCustNum = 0;
            Globals::CurrentCustName.clear();
        }
        return;
    }
    const QString num = QString::number(Globals::CurrentCustNum);
    for (int r = 1; r < CustList2.Rows(); ++r) {
        if (CustList2.TextMatrix(r, 0) != num) continue;
        if (CustList2.Row() != r) CustList2.setRowColSilently(r, CustList2.Col());
        if (r < CustList2.TopRow()) CustList2.setTopRow(r);
        return;
    }
    // "All clients" (-1) is no row and changes nothing here.
    if (Globals::CurrentCustNum == -1) return;
    const int r = CustList2.Row() >= 1 ? CustList2.Row() : 1;
    if (CustList2.Row() != r) CustList2.setRowColSilently(r, CustList2.Col());
    Globals::CurrentCustNum = cellLong(CustList2, r, 0);
    Globals::CurrentCustName = CustList2.TextMatrix(r, 2) + QStringLiteral(" ") + CustList2.TextMatrix(r, 1);
}

void Customer::mnuOrdering_Click() {
    if (!HasClientRows()) return;
    vb::Trap(label("mnuOrdering_Click"), [] {
        if (LoadBackOrders(false)) {
            forms::Form::get<PrtBackOrders>().Show();
        } else {
            vb::MsgBox(QStringLiteral("Unordered backorders not found."));
        }
    });
}

void Customer::mnuOrdered_Click() {
    if (!HasClientRows()) return;
    vb::Trap(label("mnuOrdered_Click"), [] {
        if (LoadBackOrders(true)) {
            forms::Form::get<PrtBackOrdered>().Show();
        } else {
            vb::MsgBox(QStringLiteral("No backordered items found."));
        }
    });
}

bool Customer::LoadBackOrders(bool ordered) {
    auto inv = Globals::SharedInvoice;
    if (!inv) vb::Raise(vb::err::ObjectNotSet);
    inv->OpenCn();
    Globals::rsBackOrders = ordered ? inv->GetBackOrderedItems() : inv->GetBackOrderItems();
    inv->CloseCn();
    auto rs = Globals::rsBackOrders;
    if (!rs) vb::Raise(vb::err::ObjectNotSet);
    return rs->RecordCount() > 0;
}

void Customer::mnuAging_Click(int days) {
    if (!HasClientRows()) return;
    Globals::AgingDays = static_cast<int16_t>(days);
    // The list is built for one day count at load: a list already open for
    // another count is closed first, so 60 days never shows the 30-day list.
    static int laidOutFor = 0;
    vb::IgnoreErrors([days] {
        if (forms::Form::isLoaded<Prt30Days>() && laidOutFor != days) forms::Form::unload<Prt30Days>();
        if (!forms::Form::isLoaded<Prt30Days>()) laidOutFor = days;
        forms::Form::get<Prt30Days>().Show();
    });
}

void Customer::mnuBilling_Click() {
    if (!HasClientRows()) return;
    vb::IgnoreErrors([] { forms::Form::get<Billing>().Show(); });
}

void Customer::mnuBals_Click() {
    vb::IgnoreErrors([] { forms::Form::get<PrtBals>().Show(); });
}

void Customer::mnuInStock_Click() {
    vb::IgnoreErrors([] { forms::Form::get<PrtInventory>().Show(); });
}

void Customer::mnuInventorySales_Click() {
    vb::IgnoreErrors([] { forms::Form::get<PrtInventorySales>().Show(); });
}

void Customer::mnuBestSellers_Click() {
    vb::IgnoreErrors([] { forms::Form::get<PrtInventoryBestSales>().Show(); });
}

void Customer::mnuIncomeStatement_Click() {
    vb::IgnoreErrors([] { forms::Form::get<PrtIncome>().Show(); });
}

void Customer::mnuSetup_Click() {
    vb::IgnoreErrors([] { forms::Form::get<frmSetup>().Show(); });
}
void Customer::mnuBackup_Click() {
    vb::IgnoreErrors([] { forms::Form::get<frmBackup>().Show(); });
}
void Customer::mnuRestore_Click() {
    vb::IgnoreErrors([] { forms::Form::get<frmRestore>().Show(); });
}

void Customer::btnPayments_Click() {
    vb::Trap(label("btnPayments_Click"), [this] {
        auto vendor = Globals::SharedVendor;
        if (!vendor) vb::Raise(vb::err::ObjectNotSet);
        vendor->OpenCn();
        Globals::rsVendors = vendor->GetAllVendors();
        vendor->CloseCn();
        auto rs = Globals::rsVendors;
        if (!rs) vb::Raise(vb::err::ObjectNotSet);
        if (rs->RecordCount() < 1) {
            btnVendors_Click();
            vb::MsgBox(QStringLiteral("No Vendors found for ledger entries.  Enter Vendor profile first."));
        } else {
            forms::Form::get<GL>().Show();
        }
    });
}

void Customer::btnInventory_Click() {
    vb::Trap(label("btnInventory_Click"), [] {
        Globals::CurrentCatNum = 1;
        forms::Form::get<frmInventory>().Show();
    });
}

void Customer::btnVendors_Click() {
    vb::IgnoreErrors([] { forms::Form::get<Vendors>().Show(); });
}

void Customer::mnuContents_Click() {
    vb::Trap(label("mnuContents_Click"), [] {
        const QString help = fso::ResolvePath(forms::AppPath() + QStringLiteral("\\Vantrel.chm"));
        const QString viewer = QStringLiteral("xdg-open");
        if (!fso::FileExists(help) || !QProcess::startDetached(viewer, {help})) {
            vb::MsgBox(QStringLiteral("Help is not installed: Vantrel.chm was not found in ") + forms::AppPath() +
                           QStringLiteral(", or no viewer could open it."),
                       vb::vbOKOnly + vb::vbInformation);
        }
    });
}

void Customer::mnuAbout_Click() {
    vb::IgnoreErrors([] { forms::Form::get<About>().Show(); });
}

void Customer::CustList2_DblClick() {
    if (!HasClientRows()) return;
    vb::Trap(label("CustList2_DblClick"), [this] {
        using namespace Globals;
        CustList2_Click();
        forms::Form::get<CustInvoices>().Show();
        // 1 January of this year, built directly so no locale can misread it.
        GetInvoices(vb::Date::fromYmd(vb::Today().year(), 1, 1));
        if (forms::Form::get<CustInvoices>().InvoiceList.Rows() < 2) {
            // An invoice editor it owns may keep it open (Cancel): then
            // nothing more happens.
            if (!forms::Form::unload<CustInvoices>()) return;
            const int answer = vb::MsgBox(QStringLiteral("Enter new sales invoice for ") + CurrentCustName + QStringLiteral("?"),
                                          vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2,
                                          QStringLiteral("No Sales Found"));
            if (answer == vb::vbYes) NewInvoice();
        } else {
            auto& sales = forms::Form::get<CustInvoices>();
            sales.CmbInvoice.setText(QStringLiteral("Selected Client"));
            sales.Show();
        }
    });
}

void Customer::btnNewCust_Click() {
    vb::Trap(label("btnNewCust_Click"), [] {
        // The client selected here stays the current one until the new
        // client is stored. An editor already open turns to a blank new
        // client as its own New does (asking about its edits first).
        if (forms::Form::isLoaded<Profile>()) {
            Profile& p = forms::Form::get<Profile>();
            p.btnNewCustomer_Click();
            p.Show();
            return;
        }
        Globals::NewClientMode = true;
        forms::Form::get<Profile>().Show();
    });
}

void Customer::btnCustInfo_Click() {
    if (!HasClientRows()) return;
    // A fresh load, so the editor reads the current client anew.
    bool gone = true;
    vb::IgnoreErrors([&] { gone = forms::Form::unload<Profile>(); });
    if (!gone) return;   // it kept its own edits open
    vb::IgnoreErrors([] { forms::Form::get<Profile>().Show(); });
}

void Customer::btnNewInvoice_Click() {
    if (!HasClientRows()) return;
    NewInvoice();
}

void Customer::NewInvoice() {
    using namespace Globals;
    // No invoice for a client that is not stored: ask the data layer whether
    // the row exists rather than trusting the number it leaves behind.
    bool found = false;
    if (CurrentCustNum > 0) {
        vb::IgnoreErrors([&] {
            auto client = SharedClient;
            if (!client) return;
            client->OpenCn();
            found = client->GetClient(CurrentCustNum);
            if (found) CurrentCustDiscount = client->Discount;
            client->CloseCn();
        });
    }
    if (!found) {
        vb::MsgBox(QStringLiteral("Select or enter a client first."));
        return;
    }
    // The open invoice goes first; one that keeps a line it could not save stays.
    bool gone = true;
    vb::IgnoreErrors([&] { gone = forms::Form::unload<InvoiceDetail>(); });
    if (!gone) return;
    vb::IgnoreErrors([] { CurrentInvoiceNum = 0; });
    vb::IgnoreErrors([] { CurrentInvoiceDate = vb::Today(); });
    vb::IgnoreErrors([] { CurrentCustName.clear(); });
    vb::IgnoreErrors([] { CurrentInvoiceDesc.clear(); });
    vb::IgnoreErrors([] { forms::Form::get<InvoiceDetail>().Show(); });
}

void Customer::btnReceipts_Click() {
    if (!HasClientRows()) return;
    vb::Trap(label("btnReceipts_Click"), [] {
        if (Globals::CurrentCustNum != 0) {
            Receipts::ShowCurrentClient();
        } else {
            vb::MsgBox(QStringLiteral("Select or enter a client first"));
        }
    });
}

void Customer::OpenFirstClientEditor() {
    forms::Form::get<Profile>().Show(false, this);
}
