#pragma once
// The invoice editor: one invoice of a client, its header above the item
// grid ItemList, the running total, and the commands Save, New, New Item,
// Remove, Tax, Payments, Print and Exit.
//
// The header is written by Save, by New Item on a new invoice and by the
// save of row 1; a line is written when the cursor leaves its changed row,
// by the item picker when it adds the line, and at once when its quantity
// changes: the line and the stock it moves are always one transaction.
#include <cstdint>
#include <QString>
#include "ado/Recordset.h"
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/FlexGrid.h"
#include "controls/Frame.h"
#include "controls/GridRowEditor.h"
#include "controls/Label.h"
#include "controls/TextBox.h"
#include "data/Invoice.h"
#include "data/RecordEvents.h"
#include "forms/Form.h"
#include "vb/Currency.h"
#include "vb/Date.h"

class Invoice;

class InvoiceDetail : public forms::Form {
    Q_OBJECT
public:
    InvoiceDetail();
    ~InvoiceDetail() override;

    // ---- Controls (containers first) ----
    controls::Label lblInvoiceNumCaption{this};
    controls::Label lblInvoiceNum{this};
    controls::Label lblCustomerCaption{this};
    controls::Label lblCustomer{this};
    controls::Label lblDate{this};
    controls::TextBox txtDate{this};
    controls::Label lblDescription{this};
    controls::TextBox txtDescription{this};
    controls::Label lblSalesRep{this};
    controls::TextBox txtSalesRep{this};
    controls::Label lblTerms{this};
    controls::TextBox txtTerms{this};
    controls::Label lblDiscount{this};
    controls::TextBox txtDiscount{this};
    controls::Frame fraShipping{this};
    controls::Label lblShipCharge{&fraShipping};
    controls::TextBox txtShipCharge{&fraShipping};
    controls::Label lblShipDate{&fraShipping};
    controls::TextBox txtShipDate{&fraShipping};
    controls::Label lblShipType{&fraShipping};
    controls::ComboBox cmbShipType{&fraShipping};
    controls::Label lblTrackNum{&fraShipping};
    controls::TextBox txtTrackNum{&fraShipping};
    controls::Label lblItems{this};
    controls::FlexGrid ItemList{this};
    controls::Label lblInterest{this};
    controls::TextBox txtInterest{this};
    controls::CommandButton btnTax{this};
    controls::TextBox txtTax{this};
    controls::Label lblTotalCaption{this};
    controls::Label lblTotal{this};
    controls::CommandButton btnSave{this};
    controls::CommandButton btnNew{this};
    controls::CommandButton btnNewItem{this};
    controls::CommandButton btnRemove{this};
    controls::CommandButton btnPayments{this};
    controls::CommandButton btnPrint{this};
    controls::CommandButton btnExit{this};

    // ---- State of the invoice family (the picker writes some of it) ----
    int32_t OldQty = 0;          // quantity before an edit
    int32_t NewQty = 0;          // quantity after it
    int32_t QtyResult = 0;       // stock after a move, or Inventory::NotTracked
    vb::Currency UnitPrice;      // scratch while filling the grid
    int ItemListOldRow = 0;      // the row being left (the row a save writes)
    int ItemListNewRow = 0;      // the row entered
    bool SkipTotal = false;      // from the load until the grid's first LeaveCell
    bool NewInvoiceUnsaved = false;   // until the header's first save, which takes its number

    // The client this invoice belongs to, taken when it was opened: the
    // current client for a new invoice, the record's client for a stored one.
    int32_t InvoiceClient() const { return invoiceCust_; }

    // ---- Window ----
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    // Renews the sales list when lines were written, however the editor closed.
    void Form_Unload() override;

    // ---- Totals ----
    void GetInvoiceTotal();
    void GetTax();

    // ---- Commands ----
    void btnSave_Click();
    void btnExit_Click();
    void btnPrint_Click();
    void btnNew_Click();
    void btnNewItem_Click();
    void btnRemove_Click();
    void btnPayments_Click();
    void btnTax_Click();

    // ---- Header boxes ----
    void txtDate_Change();
    void txtDescription_Change();
    void txtDiscount_Change();
    void txtInterest_Change();
    void txtSalesRep_Change();
    void txtShipCharge_Change();
    void txtShipDate_Change();
    void txtTax_Change();
    void txtTerms_Change();
    void txtTrackNum_Change();
    void cmbShipType_Change();
    void txtShipCharge_LostFocus();

    // ---- Item grid ----
    void ItemList_BeforeEdit(int Row, int Col, bool& Cancel);
    void ItemList_AfterEdit(int Row, int Col);
    void ItemList_LeaveCell();
    void ItemList_RowColChange();
    void ItemList_GotFocus();
    void ItemList_LostFocus();
    void SetOldRowStatus();
    void SetNewRowStatus();
    void ItemList_AfterRowEdit();
    void SaveRow();

    // The row convention of the item grid.
    controls::GridRowEditor& rowEditor() { return rows_; }

    // Refuses with the message when the invoice's client does not exist:
    // lines and headers are never written for any other client.
    bool CheckClient() const;
    // Refuses with the message when the header this editor loaded or saved
    // has been deleted since (a new invoice's header is not stored yet).
    bool CheckHeader() const;
    // Tells why a line was not saved (Invoice::SaveLineAccess refused it).
    static void TellLineRefused(int outcome, int32_t invoiceNum, int32_t itemNum);

    // The windows Payments and Print open.
    void OpenPaymentsWindow();
    void OpenInvoicePreview();

private:
    void layoutControls();
    void layoutGrid();
    void fillGrid(const ado::RecordsetPtr& lines);
    void showHeader(const Invoice& inv);
    void showBlankHeader();
    void showClientName(int32_t custNum);
    // Save of the header; false when it did not happen (the flags stay).
    bool SaveInvoice();
    // The question of Exit, Print and New; false to stop (Cancel, or Yes
    // and the save failed).
    bool AskToSave();
    bool SaveLine(int row, QString& key);
    bool commitQuantity(int row);
    QString lineTotalText(int row) const;
    void markChanged();

    // Closes the editor, without a question and without writing anything,
    // when its invoice or its client is deleted elsewhere.
    void OnRecordEvent(const RecordEvents::Event& e);

    controls::GridRowEditor rows_;
    RecordEvents::Subscription watch_;
    bool headerStored_ = false;   // the header row was read or written here
    bool discarding_ = false;     // closing because the invoice is gone
    int closeMode_ = 0;           // how the last close was asked (Form_QueryUnload)
    Invoice::HeaderValues loadedHeader_;   // the header as read, to tell the user's changes
    int32_t invoiceCust_ = 0;
    QString cellBefore_;          // the edited cell's text before the edit
};
