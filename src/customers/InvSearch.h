#pragma once
// The item picker: the items of one inventory category; OK adds the chosen
// item as a new line of the invoice open in the invoice editor, taking one
// unit from stock together with the line's save, and recomputing the total.
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/FlexGrid.h"
#include "controls/Label.h"
#include "forms/Form.h"

class InvSearch : public forms::Form {
    Q_OBJECT
public:
    InvSearch();

    controls::Label Label1{this};
    controls::ComboBox cmbCategory{this, controls::ComboBox::DropDownList};
    controls::ToolButton btnInventory{this};
    controls::FlexGrid InventoryList{this};
    controls::CommandButton btnOK{this};
    controls::CommandButton btnCancel{this};

    void Form_Load() override;
    void cmbCategory_Click();
    void btnOK_Click();
    void btnCancel_Click();
    void btnInventory_Click();
    void InventoryList_DblClick();
    void InventoryList_KeyDown(int& KeyCode, int Shift);

    // Where the picker opens the inventory window once that window exists
    // (no categories yet, or the inventory button); until then nothing opens.
    void OpenInventoryWindow();

private:
    void fillItems();
};
