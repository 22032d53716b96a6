#pragma once
// The register's choice of entry type. Only Cancel works: it closes the box.
#include "controls/Buttons.h"
#include "controls/TextBox.h"
#include "forms/Form.h"

class LedgerTypes : public forms::Form {
    Q_OBJECT
public:
    LedgerTypes();

    controls::CommandButton btnNextCheck{this};
    controls::CommandButton btnDeposit{this};
    controls::CommandButton btnATM{this};
    controls::CommandButton btnTransfer{this};
    controls::CommandButton btnOther{this};
    controls::TextBox txtOther{this};
    controls::CommandButton btnCancel{this};

    void btnCancel_Click();
};
