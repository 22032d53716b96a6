#pragma once
// The shipping options the invoice editor offers: a service, an option of it
// (shown as its weight) and a charge. A row is saved when the cursor leaves
// it after an edit. Opened modally by the setup window.
#include <QString>
#include "books/ListGridTemplate.h"
#include "controls/Buttons.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"

class ShippingTypes : public forms::Form {
    Q_OBJECT
public:
    ShippingTypes();
    ~ShippingTypes() override;

    static constexpr int colStatus = 0, colService = 1, colOption = 2, colCharge = 3;

    // ---- Controls ----
    controls::FlexGrid ShippingList{this};
    controls::CommandButton btnNew{this};
    controls::CommandButton btnDelete{this};
    controls::CommandButton btnExit{this};

    // ---- Form state ----
    int OldRow = 0;            // the row being left (the row a save writes)
    int NewRow = 0;            // the row entered
    QString DeleteService;     // the row to delete: its service and option
    QString DeleteOption;

    // ---- Handlers and procedures ----
    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void btnNew_Click();
    void btnDelete_Click();
    void btnExit_Click();
    void ShippingList_GotFocus();
    void ShippingList_LeaveCell();
    void RowColChange();
    void ShippingList_LostFocus();
    void ShippingList_AfterEdit(int Row, int Col);
    void ShippingList_Click();
    void SetOldRowStatus();
    void SetNewRowStatus();
    void ShippingList_AfterRowEdit();
    void SaveRow();

    books::ListGridTemplate& list() { return list_; }

private:
    bool WriteShippingRow(int row, const QString& storedKey);

    books::ListGridTemplate list_;
};
