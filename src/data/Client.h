#pragma once
// One client record, with every statement on tb_Client and the client's
// balance.
#include <cstdint>
#include <QString>
#include <QStringList>
#include "data/DataAccess.h"
#include "vb/Currency.h"
#include "vb/Date.h"

class Invoice;

class Client : public DataAccess {
public:
    Client();

    int32_t CustNum = 0;
    QString lname, fname, Mname, Address1, Address2, City, State, ZipCode, HomePhone, WorkPhone;
    QString Company, POnum;
    double Discount = 0;          // percent, copied to the client's new invoices
    QString CelPhone, Fax, Email, WebPage, Notes;
    QString BillLname, BillFname, BillMname, BillAddress1, BillAddress2, Billcity, BillState, BillZipCode;
    QString BillHomePhone, BillWorkPhone, BillCelPhone, BillFax, BillEmail, BillWebPage;
    QString CardNum1, CardNum2, PaymentType1, PaymentType2, ExpDate1, ExpDate2;
    QString ShipLname, ShipFname, ShipMname, ShipAddress1, ShipAddress2, Shipcity, ShipState, ShipZipCode;
    QString ShipHomePhone, ShipWorkPhone, ShipCelPhone;

    // Number, names, phones and e-mail of every client, by last and first name.
    ado::RecordsetPtr GetAllClients();
    // Clients whose last name begins with the text (% and _ are wildcards).
    ado::RecordsetPtr GetClientRS(const QString& Lname);
    // Loads one client; false when no row has that number (a new number and
    // blank properties are set up then) or on an error.
    bool GetClient(int32_t CustNum);
    // Whether a client row with this number (above 0) exists, read through a
    // short-lived instance on the data file, so no shared instance's loaded
    // record changes.
    static bool Exists(int32_t CustNum);
    // The client with its payments, invoices and their lines.
    bool DeleteClient(int32_t CustNum);
    // CustNum, FullName, Bal of every client who owes something, by name.
    ado::RecordsetPtr ClientBals();
    // The client's payments, newest first.
    ado::RecordsetPtr rsLastPayment(int32_t CustNum);
    // Invoice totals less payments, both dated on or before the whole day
    // AsOf, and never after today: a row counts once its day has come, as in
    // ClientBals. An AsOf of 0 means today and is written back to the
    // caller's variable.
    vb::Currency ClientBal(int32_t CustNum, vb::Date& AsOf);
    // A balance owes when it shows as at least a cent (rounded to two
    // places): 0.0049 shows as 0.00 and is never shown as owing.
    static bool Owes(vb::Currency balance) { return balance.raw() >= 50; }
    vb::Currency ClientBal(int32_t CustNum, const vb::Date& AsOf);
    // The same balance from the client's invoices already read by
    // Invoice::ClientInvoices (invoices dated after 1981 count, as above).
    vb::Currency ClientBal(int32_t CustNum, const vb::Date& AsOf, ado::Recordset& invoices);
    // The record's values as a window read them, to tell later which of them
    // the user changed.
    struct Values {
        QStringList texts;
        double discount = 0;
    };
    Values Snapshot() const;
    // The parts of that balance, for reads that gather many clients at once:
    // the days that count as of AsOf (through it, never after today: taken
    // once per read, not per row), whether an invoice dated InvoiceDate counts
    // in them, the statement summing each client's counted payments
    // (CustNum, SumOfPay) over a condition on tb_Client, and the balance from
    // both sums.
    static ado::DayRange CountedThrough(const vb::Date& AsOf);
    static bool Counts(const vb::Date& InvoiceDate, const ado::DayRange& counted) {
        return InvoiceDate > kEarliestInvoice && counted.Contains(InvoiceDate);
    }
    static QString PaidAsOfSql(const vb::Date& AsOf, const QString& clientWhere);
    static vb::Currency BalanceFrom(vb::Currency invoiced, double paid) {
        return vb::Currency::fromDouble(invoiced.toDouble() - paid);
    }
    // Replaces the row of the argument by the properties. An argument of 0
    // saves a client never saved before: its number is taken inside the save
    // and left in CustNum. Given the values as loaded, a property still
    // holding its loaded value is not the user's: the save keeps what the
    // file holds for it now (another window or copy may have changed it),
    // and leaves that in the property.
    bool SaveClientAccess(int32_t CustNum, const Values* loaded = nullptr);
    // "fname mname lname"; "" after an error (no such client).
    QString ClientName(int32_t CustNum);

private:
    void GetNewCustNum();
    // Brings the ClientBals view of a file made by an earlier version up to
    // the current one.
    void MendClientBalsView();
    // Invoices dated after this count towards a balance.
    static inline const vb::Date kEarliestInvoice = vb::Date::fromYmd(1981, 1, 1);
    vb::Currency balanceOf(int32_t CustNum, const vb::Date& AsOf, ado::Recordset& invoices, Invoice& inv);
};
