#pragma once
// Statement selection: which clients' billing statements to preview (the one
// highlighted, or every client listed) and how many days back they reach.
// The list shows each client's balance and last payment received. Print
// opens the statements window, which reads this window's choice, days box and
// list while it lays the statements out; this window closes afterwards.
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/TextBox.h"
#include "forms/Form.h"

class Billing : public forms::Form {
    Q_OBJECT
public:
    Billing();

    controls::Frame Frame1{this};
    controls::OptionButton OptClient{&Frame1};
    controls::OptionButton OptAll{&Frame1};
    controls::Label Label1{&Frame1};
    controls::TextBox txtDays{&Frame1};
    controls::Label Label2{&Frame1};
    controls::CommandButton btnPrint{&Frame1};
    controls::Label Label3{this};
    controls::FlexGrid CustList2{this};

    // Fills the client list, once per opening.
    void Form_Load() override;
    void btnPrint_Click();
};
