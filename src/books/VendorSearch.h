#pragma once
// The vendor picker: every vendor by company. OK writes the chosen vendor's
// number and company into row PickRow of the payments-received grid and
// raises VendorPicked.
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"

class VendorSearch : public forms::Form {
    Q_OBJECT
public:
    VendorSearch();

    controls::FlexGrid VendorList{this};
    controls::CommandButton btnOK{this};
    controls::CommandButton btnCancel{this};

    void Form_Load() override;
    void btnOK_Click();
    void btnCancel_Click();
    void VendorList_DblClick();
    void VendorList_KeyDown(int& KeyCode, int Shift);
};
