#include "data/cSetup.h"
#include "vb/Conv.h"

using ado::SqlText;

cSetup::cSetup() : DataAccess("cSetup") {}

bool cSetup::GetCompanyInfo() {
    bool found = false;
    const auto blank = [&] {
        Name.clear(); Address1.clear(); Address2.clear(); City.clear(); State.clear(); ZipCode.clear();
        Phone.clear(); Fax.clear(); WebSite.clear();
        Statetaxrate = 0;
    };
    GetRecord("GetCompanyInfo", blank, [&] {
        auto r = Read(QStringLiteral("select * from tb_Company"));
        if (!r->Eof()) {
            auto text = [&](const char* f) { return r->Fields(f).Value().str(); };
            Name = text("Name");
            Address1 = text("Address1");
            Address2 = text("Address2");
            City = text("City");
            State = text("State");
            ZipCode = text("ZipCode");
            Phone = text("Phone");
            Fax = text("Fax");
            WebSite = text("WebSite");
            Statetaxrate = NumberOf(r->Fields("Statetaxrate").Value());
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

bool cSetup::DeletePaymentType(const QString& TypeText) {
    return Trap("DeletePaymentType", [&] {
        Exec(QStringLiteral("delete * from tb_PaymentTypes where type = ") + SqlText(TypeText));
    });
}

bool cSetup::SavePaymentType(const QString& TypeText) {
    return Trap("SavePaymentType", [&] {
        Exec(QStringLiteral("Insert into tb_PaymentTypes (type) values (") + SqlText(TypeText) + QStringLiteral(")"));
    });
}

bool cSetup::DeleteExpenseType(const QString& TypeText) {
    return Trap("DeleteExpenseType", [&] {
        Exec(QStringLiteral("delete * from tb_ExpenseTypes where type = ") + SqlText(TypeText));
    });
}

bool cSetup::SaveExpenseType(const QString& TypeText) {
    return Trap("SaveExpenseType", [&] {
        Exec(QStringLiteral("Insert into tb_ExpenseTypes (type) values (") + SqlText(TypeText) + QStringLiteral(")"));
    });
}

void cSetup::ReplaceType(const QString& table, const QString& OldText, const QString& NewText) {
    ado::Transaction t(*cn);
    Exec(QStringLiteral("delete * from ") + table + QStringLiteral(" where type = ") + SqlText(OldText));
    Exec(QStringLiteral("Insert into ") + table + QStringLiteral(" (type) values (") + SqlText(NewText) + QStringLiteral(")"));
    t.Commit();
}

bool cSetup::ReplacePaymentType(const QString& OldText, const QString& NewText) {
    return Trap("ReplacePaymentType", [&] { ReplaceType(QStringLiteral("tb_PaymentTypes"), OldText, NewText); });
}

bool cSetup::ReplaceExpenseType(const QString& OldText, const QString& NewText) {
    return Trap("ReplaceExpenseType", [&] { ReplaceType(QStringLiteral("tb_ExpenseTypes"), OldText, NewText); });
}

ado::RecordsetPtr cSetup::rsShippingTypes() {
    ado::RecordsetPtr result;
    Trap("rsShippingTypes", [&] { result = List(QStringLiteral("select * from tb_Shipping order by Service, Option")); });
    return result;
}

static QString ShippingWhere(const QString& service, const QString& option) {
    return QStringLiteral(" where service = ") + SqlText(service) + QStringLiteral(" and [option] = ") + SqlText(option);
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
