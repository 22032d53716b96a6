#include "books/TypeListEditor.h"
#include <memory>
#include "data/Globals.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

namespace books {

TypeListEditor::TypeListEditor(Texts texts, TypeTable table)
    : list_(PaymentList, OldRow, NewRow,
            ListGridTemplate::Options{
                .rows = {.formName = texts.formName,
                         .setNewRowStatusName = texts.setNewRowStatusName,
                         .afterRowEditName = texts.afterRowEditName,
                         .topRowStep = false},
                .formatString = texts.header,
                .colWidths = {300, 1500},
            }),
      texts_(std::move(texts)),
      table_(table) {
    setCaption(texts_.caption);
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
        const QString text = PaymentList.TextMatrix(row, 1);
        const bool ok = SaveTypeText(table_, stored, text,
                                     [this, row](const QString& t) { return list_.otherRowStores(row, t); });
        if (ok && !stored.isEmpty() && stored != text) RecordsRenamed = true;
        return ok;
    };
    list_.Listed = [this](const QString& key) { return books::Listed(table_.List, key); };

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

TypeListEditor::~TypeListEditor() = default;

QString TypeListEditor::label(const char* proc) const {
    return texts_.formName + QLatin1Char('.') + QString::fromLatin1(proc) + QStringLiteral(" -");
}

void TypeListEditor::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        list_.Load(table_.shared, [](ado::Recordset& rs) { return vb::CStr(rs.Fields("Type").Value()); });
    });
}

void TypeListEditor::Form_QueryUnload(bool& Cancel, int) {
    if (!list_.SaveBeforeClose()) Cancel = true;
}


void TypeListEditor::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] { list_.New(); });
}

void TypeListEditor::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [&] {
        list_.Delete(
            [&](int row) {
                DeleteType = PaymentList.TextMatrix(row, 1);
                return vb::MsgBox(DeleteQuestion(DeleteType), vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                                  texts_.deleteTitle) == vb::vbYes;
            },
            [&](int) { return DeleteTypeText(table_, DeleteType); });
    });
}

// Says how many records use the type: they keep it as their own text.
QString TypeListEditor::DeleteQuestion(const QString& type) {
    int32_t uses = 0;
    {
        std::shared_ptr<cSetup> setup = Globals::Required(Globals::SharedSetup);
        const ConnectionScope opened = setup->OpenScope();
        uses = ((*setup).*table_.Uses)(type);
    }
    if (uses == 0) return texts_.deletePrompt + type + QStringLiteral("?");
    if (uses == 1) return QStringLiteral("1 %1 uses %2. It keeps it. Delete the type from the list?").arg(texts_.user, type);
    return QStringLiteral("%1 %2 use %3. They keep it. Delete the type from the list?").arg(uses).arg(texts_.users, type);
}

void TypeListEditor::btnExit_Click() { list_.Exit(*this); }

void TypeListEditor::PaymentList_GotFocus() { list_.GotFocus(); }

void TypeListEditor::PaymentList_LeaveCell() { list_.LeaveCell(); }

void TypeListEditor::PaymentList_RowColChange() {
    vb::Trap(label("PaymentList_RowColChange"), [&] { list_.RowColChange(); });
}

void TypeListEditor::PaymentList_LostFocus() {
    vb::Trap(label("PaymentList_LostFocus"), [&] { list_.LostFocus(); });
}

void TypeListEditor::PaymentList_AfterEdit(int, int) {
    vb::Trap(label("PaymentList_AfterEdit"), [&] { list_.AfterEdit(); });
}

void TypeListEditor::PaymentList_Click() {
    vb::Trap(label("PaymentList_Click"), [&] {
        if (PaymentList.Row() >= 1) DeleteType = PaymentList.TextMatrix(PaymentList.Row(), 1);
    });
}

void TypeListEditor::SetOldRowStatus() { list_.SetOldRowStatus(); }
void TypeListEditor::SaveRow() { list_.SaveRow(); }

} // namespace books
