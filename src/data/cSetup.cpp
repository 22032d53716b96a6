#include "data/cSetup.h"
#include "vb/Conv.h"

using ado::SqlText;

cSetup::cSetup() : DataAccess("cSetup") {}

bool cSetup::GetCompanyInfo() {
    bool found = false;
    Trap("GetCompanyInfo", [&] {
        auto r = Read(QStringLiteral("select * from tb_Company"));
        if (!r->Eof()) {
            auto text = [&](const char* f) { return r->Fields(f).Value().str(); };
            // Name is taken as it stands: a Null name stops the load before anything changes.
            Name = vb::CStr(r->Fields("Name").Value());
            Address1 = text("Address1");
            Address2 = text("Address2");
            City = text("City");
            State = text("State");
            ZipCode = text("ZipCode");
            Phone = text("Phone");
            Fax = text("Fax");
            WebSite = text("WebSite");
            Statetaxrate = vb::CDbl(r->Fields("Statetaxrate").Value());
            found = true;
        }
        r->Close();
    });
    return found;
}

bool cSetup::SaveCompanyInfo() {
    bool saved = false;
    vb::IgnoreErrors([&] {
        ado::Transaction t(*cn);
        Exec(QStringLiteral("Delete * from tb_Company"));
        const QString c = QStringLiteral(",");
        Exec(QStringLiteral("Insert into tb_Company (Name, Address1, Address2, City, State, Zipcode, phone, Fax, website, statetaxrate) values (") +
             SqlText(Name) + c + SqlText(Address1) + c + SqlText(Address2) + c + SqlText(City) + c +
             SqlText(State) + c + SqlText(ZipCode) + c + SqlText(Phone) + c + SqlText(Fax) + c +
             SqlText(WebSite) + c + SqlText(ado::SqlDouble(Statetaxrate)) + QStringLiteral(")"));
        t.Commit();
        saved = true;
    });
    return Published({RecordEvents::CompanySaved}, saved);
}

ado::RecordsetPtr cSetup::rsPaymentTypes() {
    ado::RecordsetPtr result;
    Trap("rsPaymentTypes", [&] { result = List(QStringLiteral("select type from tb_PaymentTypes order by Type")); });
    return result;
}

ado::RecordsetPtr cSetup::rsExpenseTypes() {
    ado::RecordsetPtr result;
    Trap("rsExpenseTypes", [&] { result = List(QStringLiteral("select type from tb_ExpenseTypes order by Type")); });
    return result;
}

namespace {

const QString kPaymentTypes = QStringLiteral("tb_PaymentTypes");
const QString kExpenseTypes = QStringLiteral("tb_ExpenseTypes");

// The rows of exactly that text: the column compares without capitals, and
// a row differing in them is another row.
QString Exactly(const QString& column, const QString& text) {
    return column + QStringLiteral(" = ") + SqlText(text) + QStringLiteral(" COLLATE BINARY");
}

// The records of table whose column uses type `text` of list `types`: the
// text in any capitals (as the reports count them), unless another type of
// the list holds their exact text, as older files may.
QString Using(const QString& table, const QString& column, const QString& types, const QString& text) {
    const QString field = table + QLatin1Char('.') + column;
    return field + QStringLiteral(" = ") + SqlText(text) + QStringLiteral(" and not exists (select 1 from ") + types +
           QStringLiteral(" t where t.type = ") + field + QStringLiteral(" COLLATE BINARY and not (") +
           Exactly(QStringLiteral("t.type"), text) + QStringLiteral("))");
}

} // namespace

bool cSetup::DeletePaymentType(const QString& TypeText) {
    return Trap("DeletePaymentType", [&] {
        Exec(QStringLiteral("delete * from tb_PaymentTypes where ") + Exactly(QStringLiteral("type"), TypeText));
    });
}

bool cSetup::SavePaymentType(const QString& TypeText) {
    return Trap("SavePaymentType", [&] {
        Exec(QStringLiteral("Insert into tb_PaymentTypes (type) values (") + SqlText(TypeText) + QStringLiteral(")"));
    });
}

bool cSetup::DeleteExpenseType(const QString& TypeText) {
    return Trap("DeleteExpenseType", [&] {
        Exec(QStringLiteral("delete * from tb_ExpenseTypes where ") + Exactly(QStringLiteral("type"), TypeText));
    });
}

bool cSetup::SaveExpenseType(const QString& TypeText) {
    return Trap("SaveExpenseType", [&] {
        Exec(QStringLiteral("Insert into tb_ExpenseTypes (type) values (") + SqlText(TypeText) + QStringLiteral(")"));
    });
}

// Inside the caller's transaction, after the records have followed (the
// list still holds OldText for their test).
void cSetup::ReplaceType(const QString& table, const QString& OldText, const QString& NewText) {
    Exec(QStringLiteral("delete * from ") + table + QStringLiteral(" where ") + Exactly(QStringLiteral("type"), OldText));
    Exec(QStringLiteral("Insert into ") + table + QStringLiteral(" (type) values (") + SqlText(NewText) + QStringLiteral(")"));
}

void cSetup::Carry(const QString& table, const QString& column, const QString& types, const QString& OldText,
                   const QString& NewText) {
    Exec(QStringLiteral("update ") + table + QStringLiteral(" set ") + column + QStringLiteral(" = ") + SqlText(NewText) +
         QStringLiteral(" where ") + Using(table, column, types, OldText));
}

bool cSetup::ReplacePaymentType(const QString& OldText, const QString& NewText) {
    return Trap("ReplacePaymentType", [&] {
        ado::Transaction t(*cn);
        Carry(QStringLiteral("tb_Receive"), QStringLiteral("Type"), kPaymentTypes, OldText, NewText);
        Carry(QStringLiteral("tb_Client"), QStringLiteral("PaymentType1"), kPaymentTypes, OldText, NewText);
        Carry(QStringLiteral("tb_Client"), QStringLiteral("PaymentType2"), kPaymentTypes, OldText, NewText);
        ReplaceType(kPaymentTypes, OldText, NewText);
        t.Commit();
    });
}

bool cSetup::ReplaceExpenseType(const QString& OldText, const QString& NewText) {
    return Trap("ReplaceExpenseType", [&] {
        ado::Transaction t(*cn);
        Carry(QStringLiteral("tb_GL"), QStringLiteral("Category"), kExpenseTypes, OldText, NewText);
        ReplaceType(kExpenseTypes, OldText, NewText);
        t.Commit();
    });
}

int32_t cSetup::Uses(const QString& table, const QString& column, const QString& types, const QString& TypeText) {
    auto r = Read(QStringLiteral("select count(*) as N from ") + table + QStringLiteral(" where ") +
                  Using(table, column, types, TypeText));
    const int32_t n = vb::CLng(r->Fields("N").Value());
    r->Close();
    return n;
}

int32_t cSetup::PaymentTypeUses(const QString& TypeText) {
    int32_t n = 0;
    Trap("PaymentTypeUses", [&] { n = Uses(QStringLiteral("tb_Receive"), QStringLiteral("Type"), kPaymentTypes, TypeText); });
    return n;
}

int32_t cSetup::ExpenseTypeUses(const QString& TypeText) {
    int32_t n = 0;
    Trap("ExpenseTypeUses", [&] { n = Uses(QStringLiteral("tb_GL"), QStringLiteral("Category"), kExpenseTypes, TypeText); });
    return n;
}

ado::RecordsetPtr cSetup::rsShippingTypes() {
    ado::RecordsetPtr result;
    Trap("rsShippingTypes", [&] { result = List(QStringLiteral("select * from tb_Shipping order by Service, Option")); });
    return result;
}

// Exactly that service and option: a row differing in capitals is another row.
static QString ShippingWhere(const QString& service, const QString& option) {
    return QStringLiteral(" where ") + Exactly(QStringLiteral("service"), service) + QStringLiteral(" and ") +
           Exactly(QStringLiteral("[option]"), option);
}

bool cSetup::DeleteShippingType(const QString& Service, const QString& Option) {
    return Trap("DeleteShippingType", [&] {
        Exec(QStringLiteral("delete * from tb_shipping") + ShippingWhere(Service, Option));
    });
}

bool cSetup::SaveShippingType(const QString& Service, const QString& Option, vb::Currency Charge) {
    return Trap("SaveShippingType", [&] {
        ado::Transaction t(*cn);
        Exec(QStringLiteral("delete * from tb_shipping") + ShippingWhere(Service, Option));
        Exec(QStringLiteral("Insert into tb_shipping (service, [option], charge) values (") + SqlText(Service) +
             QLatin1Char(',') + SqlText(Option) + QLatin1Char(',') + ado::SqlCurrency(Charge) + QLatin1Char(')'));
        t.Commit();
    });
}
