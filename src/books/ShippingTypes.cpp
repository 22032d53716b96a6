#include "books/ShippingTypes.h"
#include <memory>
#include "data/Globals.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) {
    return QStringLiteral("ShippingTypes.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}

void renewShipping(cSetup& setup) {
    ado::RecordsetPtr fresh = setup.rsShippingTypes();
    Globals::rsShipping = fresh ? fresh : std::make_shared<ado::Recordset>();
}

QString chargeText(const vb::Variant& v) { return v.isNull() ? QString() : vb::FormatCurrency(vb::CCur(v)); }

} // namespace

ShippingTypes::ShippingTypes()
    : list_(ShippingList, OldRow, NewRow,
            books::ListGridTemplate::Options{
                .rows = {.formName = QStringLiteral("ShippingTypes"),
                         .afterRowEditName = QStringLiteral("ShippingList_AfterRowEdit"),
                         .zeroKeyRule = false,
                         .topRowStep = false},
                .formatString = QStringLiteral("^|Service|Weight|Charge"),
                .colWidths = {300, 2000, 1400, 700},
                .keyCols = {colService, colOption},
                .saveWhen = books::ListGridTemplate::SaveWhen::OnLeave,
            }) {
    setCaption(QStringLiteral("Edit / Add Shipping Options"));
    setFixedBorder();
    setClientSize(6420, 3480);
    ShippingList.Move(120, 120, 5040, 3240);
    btnNew.setCaption(QStringLiteral("&New"));
    btnNew.Move(5280, 120, 1020, 375);
    btnDelete.setCaption(QStringLiteral("&Delete"));
    btnDelete.Move(5280, 600, 1020, 375);
    btnExit.setCaption(QStringLiteral("&Exit"));
    btnExit.Move(5280, 2985, 1020, 375);
    forms::Form::setKeyboardOrder({&ShippingList, &btnNew, &btnDelete, &btnExit});

    list_.WriteRow = [this](int row, const QString& stored) { return WriteShippingRow(row, stored); };
    list_.Listed = [](const QString& key) { return books::Listed(&cSetup::rsShippingTypes, key); };

    btnNew.Click = [this] { btnNew_Click(); };
    btnDelete.Click = [this] { btnDelete_Click(); };
    btnExit.Click = [this] { btnExit_Click(); };
    ShippingList.setEditable(true);
    ShippingList.setFixedCols(1);
    ShippingList.GotFocus = [this] { ShippingList_GotFocus(); };
    ShippingList.LeaveCell = [this] { ShippingList_LeaveCell(); };
    ShippingList.RowColChange = [this] { RowColChange(); };
    ShippingList.LostFocus = [this] { ShippingList_LostFocus(); };
    ShippingList.AfterEdit = [this](int r, int c) { ShippingList_AfterEdit(r, c); };
    ShippingList.Click = [this] { ShippingList_Click(); };
}

ShippingTypes::~ShippingTypes() = default;

void ShippingTypes::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        list_.Load(Globals::rsShipping, [](ado::Recordset& rs) {
            return vb::CStr(rs.Fields("Service").Value()) + QLatin1Char('\t') + vb::CStr(rs.Fields("Option").Value()) +
                   QLatin1Char('\t') + chargeText(rs.Fields("Charge").Value());
        });
    });
}

void ShippingTypes::Form_QueryUnload(bool& Cancel, int) {
    if (!list_.SaveBeforeClose()) Cancel = true;
}


// The row's service and option are its key; the charge goes in as typed
// (currency text as loaded, or a bare number), an empty one as 0.
bool ShippingTypes::WriteShippingRow(int row, const QString& storedKey) {
    controls::FlexGrid& g = ShippingList;
    const QString service = g.TextMatrix(row, colService);
    const QString option = g.TextMatrix(row, colOption);
    if (g.TextMatrix(row, colCharge).isEmpty()) g.setTextMatrix(row, colCharge, QStringLiteral("0"));
    const vb::Currency charge = vb::ParseCurrency(g.TextMatrix(row, colCharge));

    std::shared_ptr<cSetup> setup = Globals::Required(Globals::SharedSetup);
    const ConnectionScope opened = setup->OpenScope();
    bool ok = setup->SaveShippingType(service, option, charge);
    // A row whose service or option was edited moves to its new key: the
    // former option goes once the new one is stored.
    const QString key = service + QLatin1Char('\t') + option;
    if (ok && !storedKey.isEmpty() && storedKey != key &&
        !list_.otherRowStores(row, storedKey)) {
        const QStringList old = storedKey.split(QLatin1Char('\t'));
        ok = setup->DeleteShippingType(old.value(0), old.value(1));
    }
    renewShipping(*setup);
    return ok;
}

void ShippingTypes::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] { list_.New(); });
}

void ShippingTypes::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [&] {
        list_.Delete(
            [&](int row) {
                DeleteService = ShippingList.TextMatrix(row, colService);
                DeleteOption = ShippingList.TextMatrix(row, colOption);
                return vb::MsgBox(QStringLiteral("Delete Shipping Option ... ") + DeleteService + QStringLiteral("?"),
                                  vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                                  QStringLiteral("Delete Shipping Option?")) == vb::vbYes;
            },
            [&](int) {
                Globals::rsShipping = std::make_shared<ado::Recordset>();
                std::shared_ptr<cSetup> setup = Globals::Required(Globals::SharedSetup);
                const ConnectionScope opened = setup->OpenScope();
                const bool deleted = setup->DeleteShippingType(DeleteService, DeleteOption);
                renewShipping(*setup);
                return deleted;
            });
    });
}

void ShippingTypes::btnExit_Click() { list_.Exit(*this); }

void ShippingTypes::ShippingList_GotFocus() { list_.GotFocus(); }

void ShippingTypes::ShippingList_LeaveCell() { list_.LeaveCell(); }

void ShippingTypes::RowColChange() {
    vb::Trap(label("RowColChange"), [&] { list_.RowColChange(); });
}

void ShippingTypes::ShippingList_LostFocus() {
    vb::Trap(label("ShippingList_LostFocus"), [&] { list_.LostFocus(); });
}

void ShippingTypes::ShippingList_AfterEdit(int, int) {
    vb::Trap(label("ShippingList_AfterEdit"), [&] { list_.AfterEdit(); });
}

void ShippingTypes::ShippingList_Click() {
    vb::Trap(label("ShippingList_Click"), [&] {
        if (ShippingList.Row() >= 1) DeleteService = ShippingList.TextMatrix(ShippingList.Row(), colService);
    });
}

void ShippingTypes::SetOldRowStatus() { list_.SetOldRowStatus(); }
void ShippingTypes::SetNewRowStatus() { list_.SetNewRowStatus(); }
void ShippingTypes::ShippingList_AfterRowEdit() { list_.AfterRowEdit(); }
void ShippingTypes::SaveRow() { list_.SaveRow(); }
