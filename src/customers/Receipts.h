#pragma once
// The payments received register: the payments of the current client (or of
// every client) dated after a since-date, in an editable grid where payments
// are entered, changed and deleted in place. Each row is one tb_Receive row,
// written through the shared Invoice when the cursor leaves the changed row.
//
// The client and the date of a row can be picked with CustSearch and
// PaymentDate from the cells' "..." buttons; those pickers write into the grid
// and raise a flag, and the grid replays its after-edit step when it gets the
// focus back.
#include <cstdint>
#include <QString>
#include "ado/Recordset.h"
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/DatePicker.h"
#include "controls/FlexGrid.h"
#include "controls/GridRowEditor.h"
#include "controls/Label.h"
#include "controls/MaskedEdit.h"
#include "forms/Form.h"
#include "vb/Date.h"

class QFontMetrics;

class Receipts : public forms::Form {
    Q_OBJECT
public:
    Receipts();
    ~Receipts() override;

    // Grid columns.
    static constexpr int colStatus = 0, colKey = 1, colCustNum = 2, colDate = 3, colType = 4, colCheck = 5,
                         colClient = 6, colAmount = 7, colNotes = 8;

    // ---- Controls ----
    controls::Label Label1{this};
    controls::ComboBox CmbReceipt{this, controls::ComboBox::DropDownList};
    controls::Label Label2{this};
    controls::MaskedEdit txtSinceDate{this};
    controls::DatePicker DTPicker1{this};
    controls::CommandButton btnGo{this};
    controls::ToolButton btnPrint{this};
    controls::ToolButton Command2{this};
    controls::ToolButton btnNew{this};
    controls::ToolButton btnDelete{this};
    controls::FlexGrid PaymentList{this};

    // ---- Form state ----
    vb::Date SinceDate;
    ado::RecordsetPtr rsPayments;     // the last list of payments shown
    int32_t RowCount = 0;             // the next row to fill
    int32_t SelectedPayNum = 0;       // the payment to delete; 0 none
    bool DeletePending = false;
    QString CardType1, CardType2, CardNumber1, CardNumber2;
    int OldRow = 0;                   // the row being left (the row a save writes)
    int NewRow = 0;                   // the row entered
    // The client the list was read for (-1 every client) and its name: a new
    // row belongs to it until another client is picked for the row.
    int32_t ListedClient = 0;
    QString ListedClientName;

    // ---- Handlers and procedures ----
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void Form_Unload() override;
    void Form_Resize() override;
    void SetPayments();
    // Opens the register on the current client, as "Client Payments Received"
    // does. An open register listing another client saves its pending row and
    // lists the current client instead; when the row cannot be saved it stays
    // as it is, brought forward.
    static void ShowCurrentClient();
    // Lists a client (-1 every client); false when a pending row could not be
    // saved first, and nothing changed.
    bool ListClient(int32_t custNum);
    void btnGo_Click();
    void btnNew_Click();
    void btnDelete_Click();
    void btnPrint_Click();
    void Command2_Click();
    void DTPicker1_Change();
    void PaymentList_AfterEdit(int Row, int Col);
    void PaymentList_CellButtonClick(int Row, int Col);
    void PaymentList_GotFocus();
    void PaymentList_LostFocus();
    void PaymentList_Click();
    void PaymentList_LeaveCell();
    void PaymentList_RowColChange();
    void SetOldRowStatus();
    void SetNewRowStatus();
    void AfterRowEdit();
    void SaveRow();

    // The Type list of a client's two cards and the company's payment types
    // ("#1;Visa #4111|#3;Cash|#4;Check"): the cards as 1 and 2 when present,
    // the types numbered from 3 in the order of the list.
    static QString TypeList(const QString& cardType1, const QString& cardNumber1, const QString& cardType2,
                            const QString& cardNumber2, const ado::RecordsetPtr& payTypes);
    // 1 January of the year the day 365 days before today falls in.
    static vb::Date DefaultSinceDate(const vb::Date& today);

    // The row convention of the grid (markers, old and new row, the save).
    controls::GridRowEditor& rows() { return rows_; }

private:
    void layoutControls();
    // A new row's client cells: the listed client, when one client is listed.
    void PrefillClient(int row);
    int layoutTopRow(const QFontMetrics& fm);
    // Writes one row; false when nothing was written because it failed.
    bool SavePaymentRow(int row, QString& key);
    // Where the receipt of the current row is shown; the preview window
    // comes with the report windows.
    void ShowReceiptPreview();

    controls::GridRowEditor rows_;
};
