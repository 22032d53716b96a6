#pragma once
// The back-ordered lines not yet ordered, in the same grid as the order-date
// window, for filling them from stock. Its print button does nothing yet;
// nothing opens this window.
#include "books/BackOrderSet.h"

class BackOrderFill : public BackOrderList {
    Q_OBJECT
public:
    BackOrderFill();

    controls::CommandButton btnPrint{this};
    controls::ToolButton Command2{this};

    // Closes the window, first asking to save dates typed into it.
    void Command2_Click();

protected:
    void CloseWindow() override { Command2_Click(); }
};
