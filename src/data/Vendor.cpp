#include "data/Vendor.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

using ado::SqlLong;
using ado::SqlText;

namespace {
const DataAccess::NumberedTable kVendors{"tb_Vendor", "VendorNum", 1000, "GetNewVendorNum"};
const DataAccess::NumberedTable kEntries{"tb_GL", "TransNum", 1000, "NewPayNum"};

// An entry names its vendor by the exact company text: in older files two
// vendors may differ only in capitals, and the column compares without them.
// The first test lets the column's index find the rows.
QString NamesExactly(const QString& company) {
    const QString text = SqlText(company);
    return QStringLiteral("Vendor = ") + text + QStringLiteral(" and Vendor = ") + text + QStringLiteral(" COLLATE BINARY");
}
} // namespace

Vendor::Vendor() : DataAccess("Vendor") {}

ado::RecordsetPtr Vendor::GetVendorRS(const QString&) { return nullptr; }

ado::RecordsetPtr Vendor::GetAllVendors() {
    ado::RecordsetPtr result;
    Trap("GetAllVendors", [&] {
        result = List(QStringLiteral("select company, vendornum from tb_Vendor order by company"));
    });
    return result;
}

bool Vendor::GetNewVendorNum() {
    return Trap("GetNewVendorNum", [&] {
        VendorNum = NextKey(kVendors);
    });
}

bool Vendor::GetVendor(const QString& company) {
    bool found = false;
    const auto blank = [&] {
        VendorNum = 0;
        Address1.clear(); Address2.clear(); City.clear(); State.clear(); ZipCode.clear();
        Phone.clear(); CelPhone.clear(); Fax.clear(); Email.clear(); WebPage.clear();
        Notes.clear(); Company.clear(); POnum.clear();
        Discount = 0;
    };
    GetRecord("GetVendor", blank, [&] {
        auto r = Read(QStringLiteral("select * from tb_Vendor where Company = ") + SqlText(company));
        if (!r->Eof()) {
            auto text = [&](const char* f) { return r->Fields(f).Value().str(); };
            VendorNum = vb::CLng(r->Fields("VendorNum").Value());
            Address1 = text("Address1");
            Address2 = text("Address2");
            City = text("City");
            State = text("State");
            ZipCode = text("ZipCode");
            Phone = text("Phone");
            CelPhone = text("CelPhone");
            Fax = text("Fax");
            Email = text("Email");
            WebPage = text("WebPage");
            Notes = text("Notes");
            Discount = NumberOf(r->Fields("Discount").Value());
            Company = text("Company");
            POnum = text("POnum");
            found = true;
        } else {
            GetNewVendorNum();
        }
        r->Close();
    });
    return found;
}

// The company text of a vendor row; a missing row raises 3021.
QString Vendor::CompanyOf(int32_t vendorNum) {
    auto r = ReadForUpdate(QStringLiteral("select * from tb_Vendor where VendorNum = ") + SqlLong(vendorNum));
    const QString company = r->Fields("Company").Value().str();
    r->Close();
    return company;
}

// The register entries stay: they are the books' money history, and the
// register, its listings and the income statement go on counting them under
// the text they name.
bool Vendor::DeleteVendor(int32_t vendorNum) {
    return Published({RecordEvents::VendorDeleted, vendorNum}, Trap("DeleteVendor", [&] {
        ado::Transaction t(*cn);
        CompanyOf(vendorNum);   // no such vendor: nothing is deleted, and that is told
        Exec(QStringLiteral("delete * from tb_Vendor where VendorNum = ") + SqlLong(vendorNum));
        t.Commit();
    }));
}

int32_t Vendor::EntriesNaming(const QString& company) {
    int32_t n = 0;
    Trap("EntriesNaming", [&] {
        if (company.isEmpty()) return;   // entries filed without a vendor name none
        auto r = Read(QStringLiteral("select count(*) as N from tb_GL where ") + NamesExactly(company));
        n = vb::CLng(r->Fields("N").Value());
        r->Close();
    });
    return n;
}

vb::Currency Vendor::VendorBal(int32_t vendorNum) {
    vb::Currency result;
    Trap("VendorBal", [&] {
        const QString company = CompanyOf(vendorNum);
        auto r = Read(QStringLiteral("SELECT Sum(Payment) AS SumOfPay FROM tb_gl where ") + NamesExactly(company));
        if (!r->Eof()) {
            const vb::Variant v = r->Fields("SumOfPay").Value();
            result = v.isNull() ? vb::Currency() : vb::CCur(v);
        }
        r->Close();
    });
    return result;
}

bool Vendor::SaveVendorAccess(int32_t vendorNum) {
    bool taken = false;
    const bool done = Trap("SaveVendorAccess", [&] {
        ado::Transaction t(*cn);
        auto other = Read(QStringLiteral("select count(*) as N from tb_Vendor where Company = ") + SqlText(Company) +
                          QStringLiteral(" and VendorNum <> ") + SqlLong(vendorNum));
        taken = vb::CLng(other->Fields("N").Value()) > 0;
        other->Close();
        if (taken) return;
        QString former;
        if (vendorNum != 0) {
            auto r = Read(QStringLiteral("select Company from tb_Vendor where VendorNum = ") + SqlLong(vendorNum));
            if (!r->Eof()) former = r->Fields("Company").Value().str();
            r->Close();
        }
        const int32_t key = ClaimKey(kVendors, vendorNum);
        if (vendorNum == 0) VendorNum = key;
        const QString c = QStringLiteral(",");
        Exec(QStringLiteral("Insert into tb_Vendor (VendorNum,Company,Address1,Address2,City, "
                            "State,ZipCode,Phone,CelPhone,Fax,Email,Webpage,Notes, "
                            "POnum,Discount ) values (") +
             SqlLong(VendorNum) + c + SqlText(Company) + c + SqlText(Address1) + c + SqlText(Address2) + c +
             SqlText(City) + c + SqlText(State) + c + SqlText(ZipCode) + c + SqlText(Phone) + c +
             SqlText(CelPhone) + c + SqlText(Fax) + c + SqlText(Email) + c + SqlText(WebPage) + c +
             SqlText(Notes) + c + SqlText(POnum) + c + ado::SqlDouble(Discount) + QStringLiteral(");"));
        // The entries follow a renamed vendor, or its balance, its listing and
        // the register's vendor list would lose them. A former empty text
        // named no entry: those are the ones filed without a vendor.
        if (!former.isEmpty() && former != Company)
            Exec(QStringLiteral("update tb_GL set Vendor = ") + SqlText(Company) + QStringLiteral(" where ") +
                 NamesExactly(former));
        t.Commit();
    });
    // Told once the transaction has ended, so the box holds no lock.
    if (taken) vb::MsgBox(QStringLiteral("Another vendor is already named ") + Company + QStringLiteral("."), vb::vbExclamation);
    return Published({RecordEvents::VendorSaved, VendorNum}, done && !taken);
}

QString Vendor::VendorName(int32_t vendorNum) {
    QString result;
    Trap("VendorName", [&] {
        rs = Read(QStringLiteral("Select fname, mname, lname from tb_Vendor where VendorNum = ") + SqlLong(vendorNum));
        result = rs->Fields("fname").Value().str() + QLatin1Char(' ') + rs->Fields("mname").Value().str() +
                 QLatin1Char(' ') + rs->Fields("lname").Value().str();
        rs->Close();
    });
    return result;
}

QString Vendor::VendorCompany(int32_t vendorNum) {
    QString result;
    Trap("VendorCompany", [&] {
        rs = Read(QStringLiteral("Select company from tb_Vendor where VendorNum = ") + SqlLong(vendorNum));
        result = rs->Fields("company").Value().str();
        rs->Close();
    });
    return result;
}

ado::RecordsetPtr Vendor::LedgerEntriesAll() {
    ado::RecordsetPtr result;
    Trap("LedgerEntriesAll", [&] {
        result = List(QStringLiteral("SELECT * from tb_GL order by [date], checknum"));
    });
    return result;
}

ado::RecordsetPtr Vendor::LedgerEntries(const QString& Mode, const QString& Value, vb::Date SinceDate) {
    ado::RecordsetPtr result;
    Trap("LedgerEntries", [&] {
        const QString mode = Mode.toUpper();
        const QString from = ado::DayRange::From(SinceDate).Sql(QStringLiteral("[date]"));
        const QString since = QStringLiteral(" and payment > 0 and ") + from + QStringLiteral(" order by [date], checknum");
        QString sql;
        // Every vendor only by its own mode: a vendor may be named "All".
        if (mode == QLatin1String("ALL")) {
            sql = QStringLiteral("SELECT * from tb_GL where payment > 0 and ") + from +
                  QStringLiteral(" order by [date], checknum");
        } else if (mode == QLatin1String("VENDOR")) {
            sql = QStringLiteral("SELECT * from tb_GL where Vendor = ") + SqlText(Value) + since;
        } else if (mode == QLatin1String("CATEGORY")) {
            sql = QStringLiteral("SELECT * from tb_GL where Category = ") + SqlText(Value) + since;
        } else if (mode == QLatin1String("NOTES")) {
            sql = QStringLiteral("SELECT * from tb_GL where Notes = ") + SqlText(Value) + since;
        } else if (mode == QLatin1String("CLEARED")) {
            sql = QStringLiteral("SELECT * from tb_GL where cleared = ") + ado::SqlBool(vb::CBool(vb::Variant(Value))) + since;
        } else if (mode == QLatin1String("DEPOSIT")) {
            sql = QStringLiteral("SELECT * from tb_GL where deposit > 0 order by [date]");
        }
        // Any other mode leaves no text, and opening that fails with the report.
        result = List(sql);
    });
    return result;
}

ado::RecordsetPtr Vendor::LedgerCategories() {
    ado::RecordsetPtr result;
    Trap("LedgerCategories", [&] {
        // A category in the list is offered as the list spells it.
        result = List(QStringLiteral("select type as Category from tb_ExpenseTypes where type <> '' union "
                                     "select Category from tb_GL where Category <> '' and "
                                     "Category not in (select type from tb_ExpenseTypes) order by 1"));
    });
    return result;
}

int32_t Vendor::NewPayNum() {
    int32_t n = 0;
    Trap("NewPayNum", [&] {
        n = NextKey(kEntries);
    });
    return n;
}

bool Vendor::SaveLedgerEntry() {
    const bool saved = Trap("SaveLedgerEntry", [&] {
        ado::Transaction t(*cn);
        TransNum = ClaimKey(kEntries, TransNum);
        const QString c = QStringLiteral(",");
        Exec(QStringLiteral("Insert into tb_GL (TransNum,[Date],CheckNum,Vendor,Payment,Cleared,Category,Deposit,Notes) values (") +
             SqlLong(TransNum) + c + ado::SqlDate(TransDate) + c + SqlText(Checknum) + c + SqlText(LedgerVendor) + c +
             ado::SqlCurrency(Payment) + c + ado::SqlBool(Cleared) + c + SqlText(Category) + c +
             ado::SqlCurrency(Deposit) + c + SqlText(LedgerNotes) + QStringLiteral(")"));
        t.Commit();
    });
    return Published({RecordEvents::LedgerEntrySaved, TransNum}, saved);
}

bool Vendor::DeleteLedgerEntry(int32_t transNum) {
    return Published({RecordEvents::LedgerEntryDeleted, transNum}, Trap("DeleteLedgerEntry", [&] {
        Exec(QStringLiteral("delete * from tb_GL where Transnum = ") + SqlLong(transNum));
    }));
}

// Deposits less payments, payments read first; an empty sum counts 0.
vb::Currency Vendor::Balance(const QString& where) {
    // Both sums in one pass over the register.
    auto r = Read(QStringLiteral("select sum(Payment) as TotalPay, sum(deposit) as TotalDeposits from tb_GL") + where);
    auto sum = [&](const char* field) {
        vb::Currency total;
        if (!r->Eof()) {
            const vb::Variant v = r->Fields(field).Value();
            if (!v.isNull()) total = vb::CCur(v);
        }
        return total;
    };
    const vb::Currency pay = sum("TotalPay");
    const vb::Currency dep = sum("TotalDeposits");
    r->Close();
    return dep - pay;
}

vb::Currency Vendor::LedgerEndBal() {
    vb::Currency result;
    Trap("LedgerEndBal", [&] { result = Balance(QString()); });
    return result;
}

vb::Currency Vendor::LedgerCurrentBal() {
    vb::Currency result;
    Trap("LedgerCurrentBal", [&] { result = Balance(QStringLiteral(" where cleared = true")); });
    return result;
}
