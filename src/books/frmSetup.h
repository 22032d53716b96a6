#pragma once
// The company setup: the one company record (name, address, phone, fax, web
// site and the state tax rate in percent) and the way to the payment-type
// and shipping lists. Save and Exit writes the record when a box was
// changed; closing the window any other way discards the changes.
#include <QString>
#include "controls/Buttons.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/TextBox.h"
#include "forms/Form.h"

class frmSetup : public forms::Form {
    Q_OBJECT
public:
    frmSetup();
    ~frmSetup() override;

    controls::Frame Frame1{this};
    controls::Label lblCoName{&Frame1}, lblCoAddress1{&Frame1}, lblCoAddress2{&Frame1}, lblCoCity{&Frame1},
        lblCoState{&Frame1}, lblCoZipCode{&Frame1}, lblCoPhone{&Frame1}, lblCoFax{&Frame1}, lblCoWebSite{&Frame1},
        lblCoStateTaxRate{&Frame1};
    controls::TextBox txtCoName{&Frame1}, txtCoAddress1{&Frame1}, txtCoAddress2{&Frame1}, txtCoCity{&Frame1},
        txtCoState{&Frame1}, TxtCoZipCode{&Frame1}, txtCoPhone{&Frame1}, txtCoFax{&Frame1}, txtCoWebSite{&Frame1},
        txtCoStateTaxRate{&Frame1};
    controls::CommandButton btnPayments{this};
    controls::CommandButton btnShipping{this};
    controls::CommandButton btnExit{this};

    // A company box was changed by the user since the record was loaded.
    bool SetupChanged = false;

    void Form_Load() override;
    void Form_Unload() override;

    void txtCoName_Change();
    void txtCoAddress1_Change();
    void txtCoAddress2_Change();
    void txtCoCity_Change();
    void txtCoState_Change();
    void TxtCoZipCode_Change();
    void txtCoPhone_Change();
    void txtCoFax_Change();
    void txtCoWebSite_Change();
    void txtCoStateTaxRate_Change();

    void btnPayments_Click();
    void btnShipping_Click();
    void btnExit_Click();

    // The rate as the box shows it, and the rate a box's text stands for:
    // the number at its start with "." as the decimal point (leading blanks
    // skipped, no number gives 0). The two read back as the same rate.
    static QString RateText(double rate);

private:
    void layoutControls();
    bool filling_ = false;   // the load fills the boxes: no user change
};
