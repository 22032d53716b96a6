#pragma once
// One invoice header, one invoice line and one payment received, with every
// statement on tb_Invoice, tb_trans and tb_Receive.
#include <cstdint>
#include <QString>
#include "data/DataAccess.h"
#include "vb/Currency.h"
#include "vb/Date.h"

class Invoice : public DataAccess {
public:
    Invoice();

    // --- Header ---------------------------------------------------------
    // The invoice and client numbers are held as their number text, so the
    // same text goes into the statements unchanged. An empty held text
    // (never set) reads as 0.
    int32_t InvoiceNum() const;
    void setInvoiceNum(int32_t n);
    int32_t CustNum() const;
    void setCustNum(int32_t n);

    vb::Date InvoiceDate;
    QString description;
    double Discount = 0;          // percent of the line total
    vb::Currency Tax;
    vb::Currency ShippingCharge;
    vb::Date Shippingdate;
    QString ShippingType;
    QString TrackingNum;
    vb::Currency Interest;
    QString SalesRep;
    QString Terms;

    // --- Line -----------------------------------------------------------
    int32_t TransNum = 0;         // 0: allocate on save
    int32_t ItemNum = 0;
    // The line total, held as its number text.
    vb::Currency charge() const;
    void setCharge(vb::Currency c);
    // Held as a double; reads back rounded half to even.
    int32_t Qty() const;
    void setQty(int32_t q);
    QString TransNotes;
    int32_t BackOrder = 0;        // below 0: units short

    // --- Payment received -----------------------------------------------
    int32_t PayNum = 0;           // 0: allocate on save
    QString Checknum;
    vb::Date PayDate;
    // Held as its number text.
    vb::Currency Payment() const;
    void setPayment(vb::Currency c);
    QString Paytype;
    QString PayNotes;

    // --- Members --------------------------------------------------------
    // Payments dated on the days after SinceDate's; CustNum -1 for every client.
    // Sets the CustNum property to the argument first.
    ado::RecordsetPtr AllPayments(vb::Date SinceDate, int32_t CustNum);
    // Invoices dated on the days after SinceDate's, highest number first.
    ado::RecordsetPtr GetAllInvoices(vb::Date SinceDate);
    ado::RecordsetPtr GetCustInvoices(int32_t CustNum, vb::Date SinceDate);
    ado::RecordsetPtr GetInvoiceItems(int32_t InvoiceNum);
    // Back-ordered lines already ordered / not yet ordered.
    ado::RecordsetPtr GetBackOrderedItems();
    ado::RecordsetPtr GetBackOrderItems();
    bool SaveOrderDate(int32_t TransNum, vb::Date OrderDate);

    // Loads one header; false when no row has that number (a new number and
    // a blank header are set up then) or on an error.
    bool GetInvoice(int32_t InvoiceNum);
    // Deletes the header and its lines and gives tracked items their stock back.
    bool DeleteInvoice(int32_t InvoiceNum);
    bool SavePayment();
    bool DeletePayment(int32_t PayNum);
    // Deletes one line and gives its quantity back to a tracked item, together.
    bool DeleteInvoiceItem(int32_t TransNum);
    // The header as a window read it, to tell later which fields the user
    // changed.
    struct HeaderValues {
        int32_t InvoiceNum = 0;
        QString CustNum, description, ShippingType, TrackingNum, SalesRep, Terms;
        vb::Date InvoiceDate, Shippingdate;
        double Discount = 0;
        vb::Currency Tax, ShippingCharge, Interest;
    };
    HeaderValues Header() const;
    // Replaces the row of the argument by the header properties. An argument
    // of 0 saves an invoice never saved before: its number is taken inside
    // the save and left in InvoiceNum. Given the header as loaded under that
    // number, a field still holding its loaded value is not the user's: the
    // save keeps what the file holds for it now, and leaves that in the field.
    bool SaveInvoiceAccess(int32_t InvoiceNum, const HeaderValues* loaded = nullptr);
    // Saves the line properties as they stand; a TransNum of 0 gets a new
    // number first. Stock is not moved: the windows save lines through
    // SaveLineAccess.
    bool SaveTransAccess();

    // What SaveLineAccess came to. Refusals write nothing and report nothing:
    // the caller says why.
    enum LineSave { LineSaved, InvoiceGone, LineGone, ItemGone, LineFailed };
    // The line save of the windows, in one transaction: the invoice header
    // must still be stored, and a stored line still be there; the item's
    // counted stock moves by the line's quantity less the quantity stored for
    // it (all of it for a new line), and the item must exist when it moves;
    // BackOrder becomes the part of the line that stock did not cover; then
    // the line is written. StockAfter is the item's stock then, NotTracked
    // when its stock is not counted or did not move. A failure is reported
    // and rolls everything back.
    LineSave SaveLineAccess();
    int32_t StockAfter = 0;
    static constexpr int32_t NotTracked = -999999;

    void GetnewInvoiceNum();      // sets InvoiceNum
    int32_t NewPayNum();
    int32_t NewTransNum();
    // Adds one line under a new number; the line properties are left alone.
    bool AddToInvoice(int32_t InvoiceNum, int32_t ItemNum, int32_t Qty, vb::Currency Amount,
                      const QString& Notes, bool BackOrder);
    // Lines less the discount, plus shipping, interest and tax, rounded once
    // to four decimals, halves to even.
    vb::Currency InvoiceTotal(int32_t InvoiceNum);
    // The total of an invoice from its parts, by the one rule every total
    // (stored, shown, printed) follows.
    static vb::Currency TotalOf(vb::Currency lines, double discount, vb::Currency shipping, vb::Currency interest,
                                vb::Currency tax);
    // The same from stored values, a Null part counting as nothing.
    static vb::Currency TotalOfValues(const vb::Variant& lines, const vb::Variant& discount,
                                      const vb::Variant& shipping, const vb::Variant& interest, const vb::Variant& tax);

    // Invoices of a filter on tb_Invoice (aliased i) with what their totals
    // are made of: InvoiceNum, CustNum, InvoiceDate, discount, tax, shippingcharge,
    // interest and SumOfCharge, the line sum read as InvoiceTotal reads it.
    ado::RecordsetPtr InvoicesWithLineSums(const QString& where, bool withClient);
    // descriptionAfter: also the description, of invoices dated after it
    // (Null for the others, which are then read from the index alone).
    static QString LineSumsSql(const QString& where, bool withClient, const vb::Date* descriptionAfter = nullptr);
    // Every dated invoice of the client, newest number first, as above and
    // with the description of those dated after SinceDate: a statement's
    // opening balance and its rows.
    ado::RecordsetPtr ClientInvoices(int32_t CustNum, vb::Date SinceDate);
    // The total of the current row of such a list, by InvoiceTotal's
    // arithmetic; where that would fail, InvoiceTotal itself, so its report
    // stays the same.
    vb::Currency TotalOfRow(ado::Recordset& row);

private:
    // The header fields still as loaded take the file's values (inside the save).
    void keepStoredHeader(int32_t InvoiceNum, const HeaderValues& loaded);
    // Gives the quantities of the lines `where` selects back to their items'
    // counted stock and deletes the lines, inside the caller's transaction.
    void removeLines(const QString& where);
    // Claims the line's key and writes it (keeping its Ordered date).
    void writeLine(const vb::Variant& ordered);
    void insertLine(int32_t transNum, const QString& invoiceNum, int32_t itemNum, double qty,
                    const QString& amount, const QString& notes, int32_t backOrder);

    QString invoiceNum_;          // held number texts (invariant form)
    QString custNum_;
    QString charge_ = QStringLiteral("0");
    QString payment_ = QStringLiteral("0");
    double qty_ = 0;
};
