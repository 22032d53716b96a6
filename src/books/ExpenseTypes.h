#pragma once
// The expense types, which are the register's categories: one editable row
// per type, saved as soon as its text is edited. Opened modally by the
// register window, whose category list it renews when it closes.
#include <QString>
#include "ado/Recordset.h"
#include "books/TypeListEditor.h"

class ExpenseTypes : public books::TypeListEditor {
    Q_OBJECT
public:
    ExpenseTypes();

    void Form_Unload() override;
    void SetNewStatus() { list_.SetNewRowStatus(); }
    void PaymentList_AfterRowEdit() { list_.AfterRowEdit(); }

    // The register's category list: "#3;Rent|#4;Travel", the types in
    // record order numbered from 3; "" when there are none. Leaves the record
    // set at its end.
    static QString CategoryList(const ado::RecordsetPtr& types);
    // The list last written for the register (tests; the register's grid).
    static QString LastCategoryList;

    // Puts the list into the category column of the register's grid.
    void SetRegisterCategories(const QString& list);
};
