#include "data/Vendor.h"
#include "vb/Conv.h"
#include "vb/RuntimeError.h"

using ado::SqlLong;
using ado::SqlText;

namespace {
const DataAccess::NumberedTable kVendors{"tb_Vendor", "VendorNum", 1000, "GetNewVendorNum"};
const DataAccess::NumberedTable kEntries{"tb_GL", "TransNum", 1000, "NewPayNum"};
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
    Trap("GetVendor", [&] {
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
            const vb::Variant d = r->Fields("Discount").Value();
            Discount = d.isNull() ? 0.0 : vb::CDbl(d);
            Company = text("Company");
            POnum = text("POnum");
            found = true;
        } else {
            GetNewVendorNum();
            Address1.clear(); Address2.clear(); City.clear(); State.clear(); ZipCode.clear();
            Phone.clear(); CelPhone.clear(); Fax.clear(); Email.clear(); WebPage.clear();
            Notes.clear(); Company.clear(); POnum.clear();
            Discount = 0;
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

bool Vendor::DeleteVendor(int32_t vendorNum) {
    return Published({RecordEvents::VendorDeleted, vendorNum}, Trap("DeleteVendor", [&] {
        ado::Transaction t(*cn);
        const QString company = CompanyOf(vendorNum);
        // A vendor without a company name owns no entries; "where vendor = ''"
        // would take every entry filed without a vendor.
        if (!company.isEmpty())
            Exec(QStringLiteral("delete * from tb_gl where vendor = ") + SqlText(company));
        Exec(QStringLiteral("delete * from tb_Vendor where VendorNum = ") + SqlLong(vendorNum));
        t.Commit();
    }));
}

vb::Currency Vendor::VendorBal(int32_t vendorNum) {
    vb::Currency result;
    Trap("VendorBal", [&] {
        const QString company = CompanyOf(vendorNum);
        auto r = Read(QStringLiteral("SELECT Sum(Amount) AS SumOfPay FROM tb_gl where Vendor=") + SqlText(company));
        if (!r->Eof()) {
            const vb::Variant v = r->Fields("SumOfPay").Value();
            result = v.isNull() ? vb::Currency() : vb::CCur(v);
        }
        r->Close();
    });
    return result;
}

bool Vendor::SaveVendorAccess(int32_t vendorNum) {
    const bool saved = Trap("SaveVendorAccess", [&] {
        ado::Transaction t(*cn);
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
        t.Commit();
    });
    return Published({RecordEvents::VendorSaved, VendorNum}, saved);
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
        const QString since = QStringLiteral(" and payment > 0 and [date]>=") + ado::SqlDate(SinceDate) +
                              QStringLiteral(" order by [date], checknum");
        QString sql;
        if (mode == QLatin1String("VENDOR")) {
            if (Value.toUpper() == QLatin1String("ALL"))
                sql = QStringLiteral("SELECT * from tb_GL where payment > 0 and [date]>=") + ado::SqlDate(SinceDate) +
                      QStringLiteral(" order by [date], checknum");
            else
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
    auto sum = [&](const QString& sql, const char* field) {
        auto r = Read(sql + where);
        vb::Currency total;
        if (!r->Eof()) {
            const vb::Variant v = r->Fields(field).Value();
            if (!v.isNull()) total = vb::CCur(v);
        }
        r->Close();
        return total;
    };
    const vb::Currency pay = sum(QStringLiteral("select sum(Payment) as TotalPay from tb_GL"), "TotalPay");
    const vb::Currency dep = sum(QStringLiteral("select sum(deposit) as TotalDeposits from tb_GL"), "TotalDeposits");
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
