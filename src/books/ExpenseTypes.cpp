#include "books/ExpenseTypes.h"
#include "books/GL.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

namespace {

QString label(const char* proc) {
    return QStringLiteral("ExpenseTypes.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}

books::TypeTable expTypes() {
    return {&cSetup::SaveExpenseType, &cSetup::DeleteExpenseType, &cSetup::rsExpenseTypes, Globals::rsExpTypes};
}

} // namespace

QString ExpenseTypes::LastCategoryList;

ExpenseTypes::ExpenseTypes()
    : list_(PaymentList, OldRow, NewRow,
            books::ListGridTemplate::Options{
                .rows = {.formName = QStringLiteral("ExpenseTypes"),
                         .setNewRowStatusName = QStringLiteral("SetNewStatus"),
                         .afterRowEditName = QStringLiteral("PaymentList_AfterRowEdit"),
                         .topRowStep = false},
                .formatString = QStringLiteral("^|Expense Types"),
                .colWidths = {300, 1500},
            }) {
    setCaption(QStringLiteral("Edit / Add Expense Types"));
    setFixedBorder();
    setClientSize(3900, 3480);
    PaymentList.Move(120, 120, 2520, 3240);
    btnNew.setCaption(QStringLiteral("&New"));
    btnNew.Move(2760, 120, 1020, 375);
    btnDelete.setCaption(QStringLiteral("&Delete"));
    btnDelete.Move(2760, 600, 1020, 375);
    btnExit.setCaption(QStringLiteral("&Exit"));
    btnExit.Move(2760, 2985, 1020, 375);
    forms::Form::setKeyboardOrder({&PaymentList, &btnNew, &btnDelete, &btnExit});

    list_.WriteRow = [this](int row, const QString& stored) {
        return books::SaveTypeText(expTypes(), stored, PaymentList.TextMatrix(row, 1),
                                   [this, row](const QString& t) { return list_.otherRowStores(row, t); });
    };

    btnNew.Click = [this] { btnNew_Click(); };
    btnDelete.Click = [this] { btnDelete_Click(); };
    btnExit.Click = [this] { btnExit_Click(); };
    PaymentList.setEditable(true);
    PaymentList.setFixedCols(1);
    PaymentList.GotFocus = [this] { PaymentList_GotFocus(); };
    PaymentList.LeaveCell = [this] { PaymentList_LeaveCell(); };
    PaymentList.RowColChange = [this] { PaymentList_RowColChange(); };
    PaymentList.LostFocus = [this] { PaymentList_LostFocus(); };
    PaymentList.AfterEdit = [this](int r, int c) { PaymentList_AfterEdit(r, c); };
    PaymentList.Click = [this] { PaymentList_Click(); };
}

ExpenseTypes::~ExpenseTypes() = default;

QString ExpenseTypes::CategoryList(const ado::RecordsetPtr& types) {
    QStringList entries;
    if (!types || types->State() != ado::adStateOpen) return QString();
    if (types->RecordCount() > 0) types->MoveFirst();
    int number = 3;
    while (!types->Eof()) {
        entries << QStringLiteral("#%1;").arg(number) + vb::CStr(types->Fields("Type").Value());
        ++number;
        types->MoveNext();
    }
    return entries.join(QLatin1Char('|'));
}

void ExpenseTypes::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        list_.Load(Globals::rsExpTypes, [](ado::Recordset& rs) { return vb::CStr(rs.Fields("Type").Value()); });
    });
}

// The register's category list is renewed however this window closes, so
// its next category choice offers the types as now stored.
void ExpenseTypes::Form_Unload() {
    list_.Unloading();
    vb::Trap(label("btnExit_Click"), [&] { SetRegisterCategories(CategoryList(Globals::rsExpTypes)); });
}

// An open register takes the list into its category column; a register
// opened later builds it itself.
void ExpenseTypes::SetRegisterCategories(const QString& list) {
    LastCategoryList = list;
    if (forms::Form::isLoaded<GL>()) forms::Form::get<GL>().PaymentList.setColComboList(GL::colCategory, list);
}

void ExpenseTypes::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] { list_.New(); });
}

void ExpenseTypes::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [&] {
        list_.Delete(
            [&](int row) {
                DeleteType = PaymentList.TextMatrix(row, 1);
                return vb::MsgBox(QStringLiteral("Delete expense type... ") + DeleteType + QStringLiteral("?"),
                                  vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                                  QStringLiteral("Delete Expense Type")) == vb::vbYes;
            },
            [&](int) { books::DeleteTypeText(expTypes(), DeleteType); });
    });
}

void ExpenseTypes::btnExit_Click() { list_.Exit(*this); }

void ExpenseTypes::PaymentList_GotFocus() { list_.GotFocus(); }

void ExpenseTypes::PaymentList_LeaveCell() { list_.LeaveCell(); }

void ExpenseTypes::PaymentList_RowColChange() {
    vb::Trap(label("PaymentList_RowColChange"), [&] { list_.RowColChange(); });
}

void ExpenseTypes::PaymentList_LostFocus() {
    vb::Trap(label("PaymentList_LostFocus"), [&] { list_.LostFocus(); });
}

void ExpenseTypes::PaymentList_AfterEdit(int, int) {
    vb::Trap(label("PaymentList_AfterEdit"), [&] { list_.AfterEdit(); });
}

void ExpenseTypes::PaymentList_Click() {
    vb::Trap(label("PaymentList_Click"), [&] {
        if (PaymentList.Row() >= 1) DeleteType = PaymentList.TextMatrix(PaymentList.Row(), 1);
    });
}

void ExpenseTypes::SetOldRowStatus() { list_.SetOldRowStatus(); }
void ExpenseTypes::SetNewStatus() { list_.SetNewRowStatus(); }
void ExpenseTypes::PaymentList_AfterRowEdit() { list_.AfterRowEdit(); }
void ExpenseTypes::SaveRow() { list_.SaveRow(); }
