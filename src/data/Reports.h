#pragma once
// The figures of the period reports, each over BegDate..EndDate inclusive.
#include <QString>
#include <QStringList>
#include "data/DataAccess.h"
#include "vb/Currency.h"
#include "vb/Date.h"

class Reports : public DataAccess {
public:
    Reports();

    vb::Date BegDate;   // 1 January of this year
    vb::Date EndDate;   // today

    // Register payments filed under one expense type.
    vb::Currency Payments(const QString& Category);
    // Register payments filed under none of the categories (capitals aside),
    // those without a category included: with the lines of the listed types
    // they account for every payment of the period.
    vb::Currency OtherPayments(const QStringList& Categories);
    // Payments received from clients.
    vb::Currency Receipts();
    // One row per item sold: ItemNum, Category, Description, Qty, TotalSales.
    ado::RecordsetPtr rsInventorySales();
    // The totals of every invoice dated in the period, through an Invoice
    // instance of its own (the shared one is left alone).
    vb::Currency TotalSales();

private:
    QString Period(const QString& column) const;
    vb::Currency PaidWhere(const QString& where);
};
