#pragma once
// The payment types offered when payments are entered and on the client
// profile: one editable row per type, saved as soon as its text is edited.
// Opened modally by the setup window.
#include <QString>
#include "books/ListGridTemplate.h"
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"

class PaymentCategories : public forms::Form {
    Q_OBJECT
public:
    PaymentCategories();
    ~PaymentCategories() override;

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
    void SetNewRowStatus();
    void AfterRowEdit();
    void SaveRow();

    books::ListGridTemplate& list() { return list_; }

private:
    books::ListGridTemplate list_;
};
