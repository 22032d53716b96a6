#pragma once
// The order dates of back-ordered invoice lines: every line short of stock
// and not yet ordered, one grid row each, with an Order Date the user types
// (or Set All fills with today) and Save stores. Stored lines drop out of the
// list at the next opening and show in the report of ordered back orders.
//
// BackOrderList holds what this window shares with BackOrderFill: the grid,
// its load and layout, the editing rules and the close question.
#include <cstdint>
#include <QString>
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"

class BackOrderList : public forms::Form {
    Q_OBJECT
public:
    // Grid columns.
    static constexpr int colTransNum = 0, colInvoiceDate = 1, colItemNum = 2, colInvoiceNum = 3, colNotes = 4,
                         colQty = 5, colClient = 6, colOrderDate = 7;

    controls::FlexGrid InventoryList{this};

    void Form_Load() override;
    // Lays the grid out and adds one row per line of rsBackOrders.
    void SetForm();

    void InventoryList_AfterEdit(int Row, int Col);
    void InventoryList_BeforeEdit(int Row, int Col, bool& Cancel);
    void InventoryList_Click();
    void InventoryList_GotFocus();

    // Order dates edited and not saved.
    bool BackOrderChanged = false;

protected:
    explicit BackOrderList(const char* name);
    void closeEvent(QCloseEvent* e) override;
    QString label(const char* proc) const;

    // Stores the order date of every row that has one; true when every such
    // row was stored (nothing to store counts as stored).
    bool StoreOrderDates();
    // The close question; true when the window may close. Yes saves first and
    // closes only when the save went through.
    bool AskToLeave();
    // The close button's and the close box's common step.
    virtual void CloseWindow() = 0;

private:
    const char* name_;
};

class BackOrderSet : public BackOrderList {
    Q_OBJECT
public:
    BackOrderSet();

    controls::ToolButton btnSave{this};
    controls::CommandButton btnSetAll{this};
    controls::ToolButton Command2{this};

    // Stores the dates; true when every dated row was stored.
    bool SaveRows();
    void btnSave_Click();
    void btnSetAll_Click();
    void Command2_Click();

protected:
    void CloseWindow() override { Command2_Click(); }
};
