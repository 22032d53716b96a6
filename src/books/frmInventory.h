#pragma once
// The inventory item editor: the items of one category in an editable grid,
// one row per item (number, description, charge, par, in stock, warranty).
// Items are typed into the blank row at the bottom, changed in place and
// written through the shared Inventory when the cursor leaves the changed
// row. The category box above the grid switches the category shown.
#include <cstdint>
#include <QHash>
#include <QString>
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/FlexGrid.h"
#include "controls/GridRowEditor.h"
#include "controls/Label.h"
#include "data/RecordEvents.h"
#include "forms/Form.h"

class frmInventory : public forms::Form {
    Q_OBJECT
public:
    frmInventory();
    ~frmInventory() override;

    // Grid columns.
    static constexpr int colStatus = 0, colKey = 1, colDesc = 2, colCharge = 3, colPar = 4, colInStock = 5,
                         colWarranty = 6;

    // ---- Controls ----
    controls::Label Label1{this};
    controls::ComboBox cmbCategory{this, controls::ComboBox::DropDownCombo};
    controls::CommandButton btnCategories{this};
    controls::ToolButton Command2{this};
    controls::ToolButton btnNewItem{this};
    controls::ToolButton btnDelete{this};
    controls::FlexGrid InventoryList{this};

    // ---- Form state ----
    int OldRow = 0;              // the row being left (the row a save writes)
    int NewRow = 0;              // the row entered
    int32_t SelItemNum = 0;      // the item Delete removes; 0 none
    QString SelItemDesc;

    // ---- Handlers and procedures ----
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void Form_Resize() override;
    void SetForm();
    void cmbCategory_Click();
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
    void btnNewItem_Click();
    void btnDelete_Click();
    void btnCategories_Click();
    void Command2_Click();

    // The category box's entry of a category: "001 General", "1234 Tools".
    static QString CategoryEntry(int32_t catNum, const QString& description);
    // The number an entry (or any text) starts with, as its first four characters read.
    static int32_t CategoryOfEntry(const QString& text);

    // True while the window's opening runs (the category editor may be open
    // over it then, when the data file holds no category yet).
    bool OpeningUnderWay() const { return opening_; }
    // Asked by the category editor's exit while the opening runs: once the
    // editor has closed, the opening reads items and categories again.
    void ReloadAfterCategories() { reloadPending_ = true; }

    controls::GridRowEditor& rows() { return rows_; }

private:
    void layoutControls();
    // Appends one grid row per item of rsInvItems, before the blank entry row
    // when there is one.
    int fillItems(bool beforeBlankRow);
    bool SaveItemRow(int row, QString& key);

    // A stock move elsewhere: the item's In Stock shows the stored count,
    // unless the user has typed a count of their own into it.
    void FollowStock(int32_t itemNum);

    controls::GridRowEditor rows_;
    RecordEvents::Subscription watch_;
    // The stored In Stock each listed item showed when it was read, by key: a
    // cell that still shows it was not typed, and its save keeps the file's count.
    QHash<QString, QString> shownStock_;
    bool opening_ = false;
    bool reloadPending_ = false;
};
