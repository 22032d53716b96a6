#include "books/BackOrderFill.h"
#include <QStyle>
#include "vb/ErrorTrap.h"

BackOrderFill::BackOrderFill() : BackOrderList("BackOrderFill") {
    setCaption(QStringLiteral("Back Orders that can be filled"));
    const int top = InventoryList.Top() + InventoryList.Height() + 120;
    btnPrint.setCaption(QStringLiteral("&Print and Clear Selected Backorder"));
    btnPrint.Move(120, top, 3400, 420);
    Command2.setPicture(controls::pictures::Close);
    Command2.setToolTipText(QStringLiteral("Exit"));
    Command2.setCancel(true);
    Command2.Move(InventoryList.Left() + InventoryList.Width() - 450, top, 450, 420);
    forms::Form::setKeyboardOrder({&InventoryList, &btnPrint, &Command2});

    Command2.Click = [this] { Command2_Click(); };
}

void BackOrderFill::Command2_Click() {
    vb::Trap(label("Command2_Click"), [this] {
        if (AskToLeave()) forms::Form::Unload(this);
    });
}
