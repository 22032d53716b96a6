#pragma once
// The register of payments to vendors and of deposits: one grid row per
// entry, in date order, with the running balance after each row and, below
// the grid, the balance of the cleared entries and of all entries. A row is
// written through the shared Vendor when the cursor leaves it; the balances
// from that row down and both labels then follow.
//
// The cell the user stands on sets the register report's filter (a vendor,
// a category or the deposits).
#include <cstdint>
#include <vector>
#include <QString>
#include "ado/Recordset.h"
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "controls/Frame.h"
#include "controls/GridRowEditor.h"
#include "controls/Label.h"
#include "data/RecordEvents.h"
#include "forms/Form.h"
#include "vb/Currency.h"

class GL : public forms::Form {
    Q_OBJECT
public:
    GL();
    ~GL() override;

    // Grid columns.
    static constexpr int colSel = 0, colKey = 1, colDate = 2, colNum = 3, colVendor = 4, colCategory = 5,
                         colPayment = 6, colClr = 7, colDeposit = 8, colBalance = 9, colNotes = 10;

    // ---- Controls ----
    controls::Frame Frame2{this};
    controls::Frame Frame1{&Frame2};
    controls::ToolButton btnDelete{&Frame1};
    controls::ToolButton btnNew{&Frame1};
    controls::ToolButton btnPrint{&Frame1};
    controls::ToolButton btnVendors{&Frame1};
    controls::ToolButton btnPaymentCategories{&Frame1};
    controls::ToolButton Command2{&Frame1};
    controls::FlexGrid PaymentList{this};
    controls::Label Label2{this};
    controls::Label lblCurBal{this};
    controls::Label Label3{this};
    controls::Label lblEndBal{this};

    // ---- Form state ----
    int OldRow = 0;                 // the row being left (the row a save writes)
    int NewRow = 0;                 // the row entered
    int32_t SelTransNum = 0;        // the entry Delete removes; 0 none
    bool DeletePending = false;     // the next SetPayments first deletes SelTransNum
    vb::Currency RunningBalance;    // while filling; the ending balance after a load
    int EntryRow = 1;               // where the next loaded entry goes; then the blank row

    // ---- Loading, layout, closing ----
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void Form_Unload() override;
    void Form_Resize() override;
    void Form_Terminate();
    void SetPayments();
    // SetPayments for entries written elsewhere: the cursor keeps its entry
    // and column, and a row with edits not saved yet keeps them (a new row
    // stays above the blank row; an entry deleted meanwhile goes, and the
    // user is told).
    void Reload();

    // ---- Buttons ----
    void btnNew_Click();
    void btnDelete_Click();
    void btnPrint_Click();
    void btnVendors_Click();
    void btnPaymentCategories_Click();
    void Command2_Click();

    // ---- Grid ----
    void PaymentList_AfterEdit(int Row, int Col);
    void PaymentList_EnterCell();
    void PaymentList_GotFocus();
    void PaymentList_LeaveCell();
    void PaymentList_LostFocus();
    void PaymentList_RowColChange();
    void PaymentList_Click();
    void PaymentList_CellButtonClick(int Row, int Col);
    void SetOldRowStatus();
    void SetNewRowStatus();
    void PaymentList_AfterRowEdit();
    void SaveRow();
    void CalcBal(int Row);

    // The Vendor list of the grid ("Acme|Bolt") from the vendor list, and the
    // Category list ("#3;Office|#4;Rent") from the expense types; "" for
    // none. Each leaves its record set at its end.
    static QString VendorList(const ado::RecordsetPtr& vendors);
    static QString CategoryList(const ado::RecordsetPtr& types);

    // True when the row has a date and at least one amount: only such a row
    // is ever saved.
    bool RowFilled(int row) const;

    controls::GridRowEditor& rows() { return rows_; }

private:
    void layoutControls();
    bool SaveLedgerRow(int row, QString& key);
    // Where the register report is shown; its window comes with the reports.
    void ShowRegisterReport();

    // What each grid row adds to the balance and the balance it shows, kept as
    // numbers so a save re-walks the rows below without reading cell text.
    struct RowAmounts {
        vb::Currency change, balance;
    };
    RowAmounts& amountsAt(int row);
    void showBalance(int row, vb::Currency balance);

    void OnRecordEvent(const RecordEvents::Event& e);
    // Reload, once the write under way has finished.
    void QueueReload();
    // Puts an unsaved row's cells back after a load; the row it went to, or 0.
    int RestorePending(const QStringList& cells);

    controls::GridRowEditor rows_;
    std::vector<RowAmounts> amounts_;
    RecordEvents::Subscription watch_;
    bool ownWrite_ = false;   // this window's own save or delete is being told
    bool reloadQueued_ = false;
    bool savedNow_ = false;   // the last SaveRecord wrote an entry
    int lastCol_ = 0;         // the column the cursor last left
};
