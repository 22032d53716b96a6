#pragma once
// Vendors and the payment and deposit register. A register entry names its
// vendor by the vendor's company text, not by number.
#include <cstdint>
#include <QString>
#include "data/DataAccess.h"
#include "vb/Currency.h"
#include "vb/Date.h"

class Vendor : public DataAccess {
public:
    Vendor();

    // The vendor record
    int32_t VendorNum = 0;
    QString Address1, Address2, City, State, ZipCode, Phone;
    QString Company;
    QString POnum;
    double Discount = 0;
    QString CelPhone, Fax, Email, WebPage, Notes;
    // Held only; nothing reads or writes them to the data file.
    QString CardNum1, CardNum2, PaymentType1, PaymentType2, ExpDate1, ExpDate2;

    // The register entry
    int32_t TransNum = 0;                // 0 allocates on save
    QString Checknum;
    vb::Date TransDate;                  // the zero date until set
    vb::Currency Payment;
    bool Cleared = false;
    vb::Currency Deposit;
    QString Category;
    // The entry's vendor (its company text). Named apart from the class,
    // which C++ would otherwise take for a constructor.
    QString LedgerVendor;
    QString LedgerNotes;

    // Kept for old callers: always no record set.
    ado::RecordsetPtr GetVendorRS(const QString& criteria);
    ado::RecordsetPtr GetAllVendors();
    // True when a stored vendor was loaded; otherwise a blank vendor with the next number.
    bool GetVendor(const QString& Company);
    // The vendor only: its register entries keep the company text they name.
    bool DeleteVendor(int32_t VendorNum);
    // The vendor's payments: the entries naming its company text exactly.
    vb::Currency VendorBal(int32_t VendorNum);
    // Replaces the row of the argument by the vendor properties. An argument
    // of 0 saves a vendor never saved before: its number is taken inside the
    // save and left in VendorNum. A changed company text takes the register
    // entries naming the former text exactly along, in the same transaction.
    // A company text another vendor has in any capitals is refused, with a
    // message, and nothing is stored: vendors are picked by that text.
    bool SaveVendorAccess(int32_t VendorNum);
    // The register entries naming the company text exactly; none for "".
    int32_t EntriesNaming(const QString& Company);
    QString VendorName(int32_t VendorNum);
    QString VendorCompany(int32_t VendorNum);

    ado::RecordsetPtr LedgerEntriesAll();
    // Mode (any capitals): ALL (the payments to every vendor, Value not
    // read), VENDOR (to the vendor Value, whatever its name), CATEGORY,
    // NOTES, CLEARED, DEPOSIT.
    ado::RecordsetPtr LedgerEntries(const QString& Mode, const QString& Value, vb::Date SinceDate);
    // Field Category: every expense type of the list and every category an
    // entry names, each once (capitals aside), by name.
    ado::RecordsetPtr LedgerCategories();
    bool SaveLedgerEntry();
    bool DeleteLedgerEntry(int32_t TransNum);
    int32_t NewPayNum();                 // 0 after an error
    // Deposits less payments: of every entry, and of the cleared entries.
    vb::Currency LedgerEndBal();
    vb::Currency LedgerCurrentBal();

private:
    // Sets VendorNum; false after an error (already reported).
    bool GetNewVendorNum();
    QString CompanyOf(int32_t vendorNum);
    vb::Currency Balance(const QString& where);
};
