#pragma once
// What the invoice editor and picker tests share: a data file with a company,
// clients, categories and items, the shared state start-up leaves, and short
// ways to open an invoice and pick an item.
#include <memory>
#include <QString>
#include "customers/InvSearch.h"
#include "customers/InvoiceDetail.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "data/Invoice.h"
#include "data/cSetup.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

namespace invoicetest {

// Item grid columns.
constexpr int Sel = 0, Line = 1, Item = 2, Qty = 3, Charge = 4, Notes = 5, Total = 6, BackOrder = 7;

class InvoiceFixture : public testsupport::WindowFixture {
protected:
    // The shared instances and lists start-up makes, over this data file.
    void startProgram() {
        const QString path = Globals::DataFilePath();
        auto inv = std::make_shared<Invoice>();
        inv->InitAccess(path);
        Globals::SharedInvoice = inv;
        auto client = std::make_shared<Client>();
        client->InitAccess(path);
        Globals::SharedClient = client;
        Globals::SetupInit();
        int32_t cat = 0, item = 0;
        Globals::GetInventory(cat, item);
    }

    void company(double taxRate) {
        folder.exec(QStringLiteral("insert into tb_Company (Name, statetaxrate) values ('Vantrel Test Co', %1)")
                        .arg(taxRate));
    }
    void client(int num, const QString& first, const QString& last, double discount = 0, const QString& middle = {}) {
        folder.exec(QStringLiteral("insert into tb_Client (CustNum, Fname, Mname, Lname, Discount) "
                                   "values (%1, '%2', '%3', '%4', %5)")
                        .arg(num).arg(first, middle, last).arg(discount));
    }
    void category(int num, const QString& description) {
        folder.exec(QStringLiteral("insert into tb_InvCategories (CatNum, Description) values (%1, '%2')")
                        .arg(num).arg(description));
    }
    void item(int num, int cat, const QString& description, double charge, int par, int stock) {
        folder.exec(QStringLiteral("insert into tb_Inventory (ItemNum, CatNum, Description, charge, par, instock, "
                                   "warranty) values (%1, %2, '%3', %4, %5, %6, '0')")
                        .arg(num).arg(cat).arg(description).arg(charge, 0, 'g', 15).arg(par).arg(stock));
    }
    void shipping(const QString& service, const QString& option) {
        folder.exec(QStringLiteral("insert into tb_Shipping (service, [option], charge) values ('%1', '%2', 0)")
                        .arg(service, option));
    }
    // A stored invoice with its lines: (line, item, qty, amount, notes, back order).
    struct StoredLine {
        int line, item, qty;
        double amount;
        QString notes;
        int backOrder;
    };
    void storedInvoice(int num, int cust, const QString& date, double discount, double tax, double ship,
                       const QString& shipType, std::initializer_list<StoredLine> lines, double interest = 0,
                       const QString& description = QStringLiteral("Stored"), const QString& shipDate = {}) {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, shippingdate, shippingtype, trackingnum, interest, SalesRep, "
                                   "Terms) values (%1, %2, '%3', '%4', %5, %6, %7, '%8', '%9', 'TR-1', %10, 'Pat', "
                                   "'Net 30')")
                        .arg(num).arg(cust).arg(date, description).arg(discount).arg(tax).arg(ship)
                        .arg(shipDate.isEmpty() ? date : shipDate, shipType).arg(interest));
        for (const StoredLine& l : lines)
            folder.exec(QStringLiteral("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, "
                                       "Backorder) values (%1, %2, %3, %4, %5, '%6', %7)")
                            .arg(l.line).arg(num).arg(l.item).arg(l.qty).arg(l.amount).arg(l.notes).arg(l.backOrder));
    }

    int stockOf(int itemNum) const {
        return folder.scalar(QStringLiteral("select instock from tb_Inventory where ItemNum = %1").arg(itemNum)).toInt();
    }
    int count(const QString& sql) const { return folder.scalar(sql).toInt(); }
    double number(const QString& sql) const { return folder.scalar(sql).toDouble(); }

    // The editor on a new invoice for a client, as the main window opens it.
    InvoiceDetail& openNew(int cust, double discount = 0) {
        Globals::CurrentCustNum = cust;
        Globals::CurrentInvoiceNum = 0;
        Globals::CurrentCustDiscount = discount;
        Globals::CurrentInvoiceDate = vb::Today();
        InvoiceDetail& d = forms::Form::get<InvoiceDetail>();
        d.Show();
        return d;
    }
    // The editor on a stored invoice, as the sales list opens it (its load
    // has made the current client's discount the current one).
    InvoiceDetail& openStored(int num, int currentCust) {
        Globals::CurrentCustNum = currentCust;
        Globals::CurrentCustDiscount =
            folder.scalar(QStringLiteral("select Discount from tb_Client where CustNum = %1").arg(currentCust)).toDouble();
        Globals::CurrentInvoiceNum = num;
        InvoiceDetail& d = forms::Form::get<InvoiceDetail>();
        d.Show();
        return d;
    }
    InvoiceDetail& detail() { return forms::Form::get<InvoiceDetail>(); }

    // Selects the item's row in the open picker and presses OK.
    void pickInOpenPicker(int itemNum) {
        ASSERT_TRUE(forms::Form::isLoaded<InvSearch>());
        InvSearch& p = forms::Form::get<InvSearch>();
        int row = 0;
        for (int r = 1; r < p.InventoryList.Rows(); ++r)
            if (p.InventoryList.TextMatrix(r, 0) == QString::number(itemNum)) row = r;
        ASSERT_GT(row, 0) << "item " << itemNum << " is not listed";
        p.InventoryList.setRow(row);
        testsupport::click(p.btnOK);
    }
    // New Item, then the item picked.
    void pick(int itemNum) {
        testsupport::click(detail().btnNewItem);
        pickInOpenPicker(itemNum);
        testsupport::pump();
    }

    QString cell(int r, int c) { return detail().ItemList.TextMatrix(r, c); }
    QString marker(int r) { return cell(r, Sel); }
    QString shown(int i) const { return i < int(boxes.shown().size()) ? boxes.shown()[size_t(i)].prompt : QString(); }
    int boxCount() const { return int(boxes.shown().size()); }
};

inline QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

} // namespace invoicetest
