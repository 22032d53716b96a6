#pragma once
// The client sales list: one client's invoices (or every client's) dated
// after a since-date, with each invoice's charges and, for one client, the
// balance due. The grid is filled by Globals::GetInvoices / GetAllInvoices;
// the window itself keeps no data beyond its controls.
#include <QString>
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/DatePicker.h"
#include "controls/FlexGrid.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/MaskedEdit.h"
#include "data/RecordEvents.h"
#include "forms/Form.h"

class CustInvoices : public forms::Form {
    Q_OBJECT
public:
    CustInvoices();
    ~CustInvoices() override;

    // Controls (containers first, so contents are destroyed before them).
    controls::Frame Frame2{this};
    controls::Frame Frame3{&Frame2};
    controls::ToolButton btnDetails{&Frame3};
    controls::ToolButton btnNewInvoice{&Frame3};
    controls::ToolButton btnDelete{&Frame3};
    controls::ToolButton btnPrint{&Frame3};
    controls::ToolButton btnCustInfo{&Frame3};
    controls::ToolButton btnReceipts{&Frame3};
    controls::ToolButton btnInventory{&Frame3};
    controls::ToolButton btnExit{&Frame3};
    controls::Frame Frame1{this};
    controls::Label Label4{&Frame1};
    controls::ComboBox CmbInvoice{&Frame1};
    controls::Label Label2{&Frame1};
    controls::MaskedEdit txtSinceDate{&Frame1};
    controls::DatePicker DTPicker1{&Frame1};
    controls::CommandButton btnGo{&Frame1};
    controls::FlexGrid InvoiceList{this};
    controls::Label Label3{this};
    controls::Label lblBalDue{this};

    // The client the list was read for (-1 every client); the balance shown
    // is always this client's.
    int32_t ListedClient = 0;
    // Reads the listed client's balance into "Balance Due:".
    void ShowBalance();
    // Reads the listed invoices again as the file holds them; the row the
    // user is on and the current invoice and client stay.
    void Relist();

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;

    void DTPicker1_Change();
    void btnGo_Click();
    void InvoiceList_Click();
    void InvoiceList_DblClick();
    void InvoiceList_KeyDown(int& KeyCode, int Shift);
    void btnDetails_Click() { InvoiceList_DblClick(); }
    // New invoice for the current client: the main window's procedure.
    void NewInvoice();
    void btnDelete_Click();
    void btnPrint_Click();
    void btnCustInfo_Click();
    void btnReceipts_Click();
    void btnInventory_Click();
    void btnExit_Click();

private:
    // Renews the balance after a write that may change it.
    RecordEvents::Subscription watch_;
    bool balanceQueued_ = false;
    bool relistQueued_ = false;   // an invoice was written: the rows too
    // Makes the highlighted data row the current invoice without asking
    // anything; false when only the header row is current (the commands that
    // act on a row then do nothing).
    bool TakeCurrentRow();
    // The row's cells into the current-invoice variables (raises on a bad cell).
    void AssignRow(int r);
    // Shows the invoice editor on the current invoice, owned by this list.
    void OpenInvoiceEditor();
};
