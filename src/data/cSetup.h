#pragma once
// The company's own record and the payment-type, expense-type and shipping lists.
#include <QString>
#include "data/DataAccess.h"
#include "vb/Currency.h"

class cSetup : public DataAccess {
public:
    cSetup();

    QString Name;
    QString Address1, Address2, City, State, ZipCode, Phone, Fax, WebSite;
    double Statetaxrate = 0;     // percent

    // True when a company row was loaded; with none the properties stay as they are.
    bool GetCompanyInfo();
    // Replaces the company record in one step: a failure keeps the stored
    // row and shows nothing. True when it was saved.
    bool SaveCompanyInfo();

    ado::RecordsetPtr rsPaymentTypes();
    ado::RecordsetPtr rsExpenseTypes();
    // Every row of exactly that text goes (a row differing in capitals
    // stays); the records that use the type keep it. A save adds a row,
    // duplicates included.
    bool DeletePaymentType(const QString& TypeText);
    bool SavePaymentType(const QString& TypeText);
    bool DeleteExpenseType(const QString& TypeText);
    bool SaveExpenseType(const QString& TypeText);
    // The text of a type changes in one step, together with the records that
    // use it (payments received and the clients' card types; register
    // entries): every row of exactly OldText goes and NewText is stored, or,
    // on a failure, nothing changes.
    bool ReplacePaymentType(const QString& OldText, const QString& NewText);
    bool ReplaceExpenseType(const QString& OldText, const QString& NewText);
    // How many payments received, or register entries, use the type.
    int32_t PaymentTypeUses(const QString& TypeText);
    int32_t ExpenseTypeUses(const QString& TypeText);

    ado::RecordsetPtr rsShippingTypes();
    bool DeleteShippingType(const QString& Service, const QString& Option);
    // Replaces the row of that service and option.
    bool SaveShippingType(const QString& Service, const QString& Option, vb::Currency Charge);

private:
    void ReplaceType(const QString& table, const QString& OldText, const QString& NewText);
    // Sets column of the table's records that use OldText to NewText.
    void Carry(const QString& table, const QString& column, const QString& types, const QString& OldText,
               const QString& NewText);
    int32_t Uses(const QString& table, const QString& column, const QString& types, const QString& TypeText);
};
