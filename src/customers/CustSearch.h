#pragma once
// The client picker of the payments register: every client by name; OK
// makes the chosen client the current one and writes it into the register's
// grid at row PickRow, then raises ClientPicked so the register finishes
// that row when its grid gets the focus back.
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"

class CustSearch : public forms::Form {
    Q_OBJECT
public:
    CustSearch();

    controls::FlexGrid CustList{this};
    controls::CommandButton btnOK{this};
    controls::CommandButton btnCancel{this};

    void Form_Load() override;
    void btnOK_Click();
    void btnCancel_Click();
    void CustList_DblClick();
    void CustList_KeyDown(int& KeyCode, int Shift);
};
