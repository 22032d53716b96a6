#pragma once
// The expense types, which are the register's categories: one editable row
// per type, saved as soon as its text is edited. Opened modally by the
// register window, whose category list it renews when it closes.
#include <QString>
#include "ado/Recordset.h"
#include "books/ListGridTemplate.h"
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"

class ExpenseTypes : public forms::Form {
    Q_OBJECT
public:
    ExpenseTypes();
    ~ExpenseTypes() override;

    // ---- Controls ----
    controls::FlexGrid PaymentList{this};
    controls::CommandButton btnNew{this};
    controls::CommandButton btnDelete{this};
    controls::CommandButton btnExit{this};

    // ---- Form state ----
    int OldRow = 0;         // the row being left (the row a save writes)
    int NewRow = 0;         // the row entered
    QString DeleteType;     // the type of the row last clicked

    // ---- Handlers and procedures ----
    void Form_Load() override;
    void Form_Unload() override;
    void btnNew_Click();
    void btnDelete_Click();
    void btnExit_Click();
    void PaymentList_GotFocus();
    void PaymentList_LeaveCell();
    void PaymentList_RowColChange();
    void PaymentList_LostFocus();
    void PaymentList_AfterEdit(int Row, int Col);
    void PaymentList_Click();
    void SetOldRowStatus();
    void SetNewStatus();
    void PaymentList_AfterRowEdit();
    void SaveRow();

    // The register's category list: "#3;Rent|#4;Travel", the types in
    // record order numbered from 3; "" when there are none. Leaves the record
    // set at its end.
    static QString CategoryList(const ado::RecordsetPtr& types);
    // The list last written for the register (tests; the register's grid).
    static QString LastCategoryList;

    books::ListGridTemplate& list() { return list_; }

private:
    // Puts the list into the category column of the register's grid.
    void SetRegisterCategories(const QString& list);

    books::ListGridTemplate list_;
};
