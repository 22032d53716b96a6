#include "books/ExpenseTypes.h"
#include "books/GL.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"

QString ExpenseTypes::LastCategoryList;

ExpenseTypes::ExpenseTypes()
    : TypeListEditor({.formName = QStringLiteral("ExpenseTypes"),
                      .caption = QStringLiteral("Edit / Add Expense Types"),
                      .header = QStringLiteral("^|Expense Types"),
                      .deletePrompt = QStringLiteral("Delete expense type... "),
                      .deleteTitle = QStringLiteral("Delete Expense Type"),
                      .user = QStringLiteral("register entry"),
                      .users = QStringLiteral("register entries"),
                      .setNewRowStatusName = QStringLiteral("SetNewStatus"),
                      .afterRowEditName = QStringLiteral("PaymentList_AfterRowEdit")},
                     {&cSetup::SaveExpenseType, &cSetup::DeleteExpenseType, &cSetup::ReplaceExpenseType,
                      &cSetup::rsExpenseTypes, &cSetup::ExpenseTypeUses, Globals::rsExpTypes}) {}

QString ExpenseTypes::CategoryList(const ado::RecordsetPtr& types) {
    controls::ComboList list;
    if (!types || types->State() != ado::adStateOpen) return QString();
    if (types->RecordCount() > 0) types->MoveFirst();
    int number = 3;
    while (!types->Eof()) {
        list.add(number, vb::CStr(types->Fields("Type").Value()));
        ++number;
        types->MoveNext();
    }
    return list.text();
}

// The register's category list is renewed however this window closes, so
// its next category choice offers the types as now stored. After a rename
// its rows are read again: they show the entries' former category, which a
// save of the row would write back (not over an edit it still holds).
void ExpenseTypes::Form_Unload() {
    TypeListEditor::Form_Unload();
    vb::Trap(label("btnExit_Click"), [&] {
        SetRegisterCategories(CategoryList(Globals::rsExpTypes));
        if (RecordsRenamed && !Globals::RowChanged && forms::Form::isLoaded<GL>())
            forms::Form::get<GL>().SetPayments();
    });
}

// An open register takes the list into its category column; a register
// opened later builds it itself.
void ExpenseTypes::SetRegisterCategories(const QString& list) {
    LastCategoryList = list;
    if (forms::Form::isLoaded<GL>()) forms::Form::get<GL>().PaymentList.setColComboList(GL::colCategory, list);
}
