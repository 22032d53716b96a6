#pragma once
// The main window: the client list, the tool buttons, the menus and the
// status bar with its clock. It is the start-up window and the hub every
// other window is opened from.
#include <QString>
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "controls/Frame.h"
#include "controls/StatusBar.h"
#include "data/RecordEvents.h"
#include "forms/Form.h"
#include "forms/Timer.h"

class QAction;
class QMenu;

class Customer : public forms::Form {
    Q_OBJECT
public:
    Customer();
    ~Customer() override;

    // Controls (containers first, so contents are destroyed before them).
    controls::Frame Frame2{this};
    controls::Frame Frame1{&Frame2};
    controls::ToolButton btnRefresh{&Frame2};
    controls::ToolButton btnNewCust{&Frame2};
    controls::ToolButton btnCustInfo{&Frame2};
    controls::ToolButton btnDetails{&Frame2};
    controls::ToolButton btnNewInvoice{&Frame2};
    controls::ToolButton btnReceipts{&Frame2};
    controls::ToolButton btnPayments{&Frame2};
    controls::ToolButton btnInventory{&Frame2};
    controls::ToolButton btnVendors{&Frame2};
    controls::ToolButton btnExit{&Frame1};
    controls::FlexGrid CustList2{this};
    controls::StatusBar StatusBar1{this};
    forms::Timer tmrClock{this};

    // Menu items, by the names the commands use.
    QAction* mnuSetup = nullptr;
    QAction* mnuBackup = nullptr;
    QAction* mnuRestore = nullptr;
    QAction* mnuRepair = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuClient = nullptr;
    QAction* mnuNewClient = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuNewInvoice = nullptr;
    QAction* mnuVendors = nullptr;
    QAction* mnuInvoices = nullptr;
    QAction* mnuReceive = nullptr;
    QAction* mnuPay = nullptr;
    QAction* mnuInventory = nullptr;
    QAction* mnuOrdering = nullptr;
    QAction* mnuOrdered = nullptr;
    QAction* mnuBilling = nullptr;
    QAction* mnuInStock = nullptr;
    QAction* mnuInventorySales = nullptr;
    QAction* mnuBestSellers = nullptr;
    QAction* mnuBals = nullptr;
    QAction* mnuProfiles = nullptr;
    QAction* mnu30days = nullptr;
    QAction* mnu60days = nullptr;
    QAction* mnu90days = nullptr;
    QAction* mnuIncomeStatement = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuAbout = nullptr;

    // Start-up, resize, unload, clock.
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;
    void Form_GotFocus() override;
    void Form_Activate() override { Form_GotFocus(); }
    // Runs once when the process ends: closes and releases the shared objects.
    static void Form_Terminate();
    void tmrClock_Timer();
    // "1 Client", "3 Clients": the status bar follows the list.
    void ShowClientCount();

    // The client list.
    void CustList2_Click();
    void CustList2_DblClick();
    void CustList2_KeyDown(int& KeyCode, int Shift);

    // Commands.
    void btnRefresh_Click();
    void btnNewCust_Click();
    void btnCustInfo_Click();
    void btnDetails_Click() { CustList2_DblClick(); }
    void btnNewInvoice_Click();
    void btnReceipts_Click();
    void btnPayments_Click();
    void btnInventory_Click();
    void btnVendors_Click();
    void btnExit_Click();
    void mnuSetup_Click();
    void mnuBackup_Click();
    void mnuRestore_Click();
    void mnuRepair_Click();
    void mnuDelete_Click();
    void mnuOrdering_Click();
    void mnuOrdered_Click();
    void mnuBilling_Click();
    void mnuAging_Click(int days);
    void mnuBals_Click();
    void mnuInStock_Click();
    void mnuInventorySales_Click();
    void mnuBestSellers_Click();
    void mnuIncomeStatement_Click();
    void mnuContents_Click();
    void mnuAbout_Click();

    // Starts a new invoice for the current client (also from the sales list
    // and the client editor). Errors are passed over step by step.
    void NewInvoice();

    // Asks before deleting the current client with everything it owns, and
    // deletes it on Yes.
    static void AskAndDeleteCurrentClient();
    // The same for one client (the client editor deletes the client it shows).
    static void AskAndDeleteClient(int32_t custNum, const QString& name);

    // Highlights the current client's row; when the current client is not
    // listed (deleted, none), the highlighted row becomes the current client.
    void SyncCurrentClient();

    // True when the client grid holds more than its header row.
    bool HasClientRows() const { return CustList2.Rows() != 1; }

    // The date-and-time text of the first status panel.
    static QString ClockText();
    int ClockPanelWidth() const;

private:
    // Follows the current client chosen in other windows.
    RecordEvents::Subscription watch_;
    // The no-clients start: the client editor on a blank client, owned here.
    void OpenFirstClientEditor();
    // Fills rsBackOrders with the unordered or the ordered lines; true when any.
    static bool LoadBackOrders(bool ordered);
    void buildMenus();
    void buildToolButtons();
};
