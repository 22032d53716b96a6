#pragma once
// The inventory category editor: category numbers and descriptions in an
// editable grid. A description is saved the moment its edit ends; deleting
// a category deletes its items too. It is opened modally over the item
// editor, and its Exit opens the item editor afresh on the categories now
// stored.
#include <cstdint>
#include <QString>
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "controls/GridRowEditor.h"
#include "forms/Form.h"

class InventoryCats : public forms::Form {
    Q_OBJECT
public:
    InventoryCats();
    ~InventoryCats() override;

    // Grid columns.
    static constexpr int colStatus = 0, colKey = 1, colDesc = 2;

    // ---- Controls ----
    controls::FlexGrid InventoryList{this};
    controls::CommandButton btnNew{this};
    controls::CommandButton btnDelete{this};
    controls::CommandButton btnExit{this};

    // ---- Form state ----
    int OldRow = 0;              // the row being left (the row a save writes)
    int NewRow = 0;              // the row entered
    QString SelCatDesc;          // the description of the row clicked

    // ---- Handlers and procedures ----
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void InventoryList_AfterEdit(int Row, int Col);
    void InventoryList_AfterRowEdit();
    void SaveRow();
    void SetOldRowStatus();
    void SetNewRowStatus();
    void InventoryList_Click();
    void InventoryList_GotFocus();
    void InventoryList_LeaveCell();
    void InventoryList_RowColChange();
    void InventoryList_LostFocus();
    void btnNew_Click();
    void btnDelete_Click();
    void btnExit_Click();

    controls::GridRowEditor& rows() { return rows_; }

private:
    bool SaveCategoryRow(int row, QString& key);

    controls::GridRowEditor rows_;

protected:
    // The close box leaves the editor as Exit does, so the item editor never
    // goes on with a category box that lists categories no longer stored.
    void closeEvent(QCloseEvent* e) override;
};
