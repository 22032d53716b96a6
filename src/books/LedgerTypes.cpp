#include "books/LedgerTypes.h"

LedgerTypes::LedgerTypes() {
    setCaption(QStringLiteral("Select Entry Type"));
    setFixedBorder();
    btnNextCheck.setCaption(QStringLiteral("&Next Check #"));
    btnDeposit.setCaption(QStringLiteral("&Deposit"));
    btnATM.setCaption(QStringLiteral("&ATM"));
    btnTransfer.setCaption(QStringLiteral("&Transfer"));
    btnOther.setCaption(QStringLiteral("Other"));
    txtOther.setText(QStringLiteral("Enter other type here"));
    btnCancel.setCaption(QStringLiteral("&Cancel"));
    btnCancel.setCancel(true);

    btnNextCheck.Move(240, 180, 1800, 420);
    btnDeposit.Move(240, 660, 1800, 420);
    btnATM.Move(240, 1140, 1800, 420);
    btnTransfer.Move(240, 1620, 1800, 420);
    btnOther.Move(240, 2100, 1800, 420);
    txtOther.Move(2160, 2145, 2400, 330);
    btnCancel.Move(2760, 2760, 1800, 420);
    setClientSize(4800, 3390);

    btnCancel.Click = [this] { btnCancel_Click(); };
}

void LedgerTypes::btnCancel_Click() { forms::Form::Unload(this); }
