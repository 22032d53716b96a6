#include "books/PaymentCategories.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

namespace {

QString label(const char* proc) {
    return QStringLiteral("PaymentCategories.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}

books::TypeTable payTypes() {
    return {&cSetup::SavePaymentType, &cSetup::DeletePaymentType, &cSetup::rsPaymentTypes, Globals::rsPayTypes};
}

} // namespace

PaymentCategories::PaymentCategories()
    : list_(PaymentList, OldRow, NewRow,
            books::ListGridTemplate::Options{
                .rows = {.formName = QStringLiteral("PaymentCategories"), .topRowStep = false},
                .formatString = QStringLiteral("^|Payment Type"),
                .colWidths = {300, 1500},
            }) {
    setCaption(QStringLiteral("Edit / Add Payment Categories"));
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
        return books::SaveTypeText(payTypes(), stored, PaymentList.TextMatrix(row, 1),
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

PaymentCategories::~PaymentCategories() = default;

void PaymentCategories::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        list_.Load(Globals::rsPayTypes, [](ado::Recordset& rs) { return vb::CStr(rs.Fields("Type").Value()); });
    });
}

void PaymentCategories::Form_Unload() { list_.Unloading(); }

void PaymentCategories::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] { list_.New(); });
}

void PaymentCategories::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [&] {
        list_.Delete(
            [&](int row) {
                DeleteType = PaymentList.TextMatrix(row, 1);
                return vb::MsgBox(QStringLiteral("Delete payment type... ") + DeleteType + QStringLiteral("?"),
                                  vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                                  QStringLiteral("Delete Payment Type")) == vb::vbYes;
            },
            [&](int) { books::DeleteTypeText(payTypes(), DeleteType); });
    });
}

void PaymentCategories::btnExit_Click() { list_.Exit(*this); }

void PaymentCategories::PaymentList_GotFocus() { list_.GotFocus(); }

void PaymentCategories::PaymentList_LeaveCell() { list_.LeaveCell(); }

void PaymentCategories::PaymentList_RowColChange() {
    vb::Trap(label("PaymentList_RowColChange"), [&] { list_.RowColChange(); });
}

void PaymentCategories::PaymentList_LostFocus() {
    vb::Trap(label("PaymentList_LostFocus"), [&] { list_.LostFocus(); });
}

void PaymentCategories::PaymentList_AfterEdit(int, int) {
    vb::Trap(label("PaymentList_AfterEdit"), [&] { list_.AfterEdit(); });
}

void PaymentCategories::PaymentList_Click() {
    vb::Trap(label("PaymentList_Click"), [&] {
        if (PaymentList.Row() >= 1) DeleteType = PaymentList.TextMatrix(PaymentList.Row(), 1);
    });
}

void PaymentCategories::SetOldRowStatus() { list_.SetOldRowStatus(); }
void PaymentCategories::SetNewRowStatus() { list_.SetNewRowStatus(); }
void PaymentCategories::AfterRowEdit() { list_.AfterRowEdit(); }
void PaymentCategories::SaveRow() { list_.SaveRow(); }
