#pragma once
// The receipt preview: a payment received from a client laid out as a
// printable document (letterhead, Bill To, and a statement that starts from
// the client's balance at the end of the day before the payment and lists
// every invoice and payment of the client from that day on, in date order,
// so its last balance is what the client owes). It reads CurrentCustNum and
// CurrentPayDate when it loads and writes nothing.
#include <cstdint>
#include <QList>
#include <QString>
#include "reports/ReportFrame.h"
#include "vb/Currency.h"
#include "vb/Date.h"
#include "vb/Variant.h"

class PrtReceipt : public reports::CustomerReportFrame {
    Q_OBJECT
public:
    PrtReceipt();

    void Form_Load() override;

    // What the payments register's Print calls once CurrentCustNum and
    // CurrentPayDate are set: shows the preview modeless, without owner. A
    // preview already open is only brought forward while it still shows what
    // is stored for that client and payment date; otherwise it is closed and
    // laid out anew, so a receipt never shows another payment's figures.
    static void ShowCurrent();

    // True when the document was laid out whole from exactly what is stored
    // now for CurrentCustNum and CurrentPayDate.
    bool ShowsStoredReceipt() const;

    // The day whose closing balance the receipt starts from: the day before
    // the payment.
    static vb::Date BalanceDate(const vb::Date& payDate);

    // Everything the document is laid out from, read in the order the
    // document needs it.
    struct Payment {
        vb::Variant Date, Amount;
        bool operator==(const Payment&) const = default;
    };
    struct Charge {
        vb::Variant Date;
        int32_t InvoiceNum = 0;
        QString Description;
        vb::Currency Total;
        bool operator==(const Charge&) const = default;
    };
    struct Source {
        int32_t CustNum = 0;
        vb::Date BalanceDate;
        QString CompanyName, Letterhead, BillTo;   // as printed
        vb::Currency StartingBalance;
        QList<Charge> Invoices;     // by date, then number
        QList<Payment> Payments;    // by date, then payment number
        bool operator==(const Source&) const = default;
    };
    // Reads through the shared instances, each bracketed by OpenCn/CloseCn.
    // Raises when the invoices or payments cannot be read.
    static Source ReadSource(int32_t custNum, const vb::Date& payDate);

private:
    // Lays the document out from what ReadSource read; the letterhead and the
    // Bill To block from the instances it read them through.
    void LayOut(const Source& s, const cSetup& company, const Client& client);

    Source shown_;
    bool complete_ = false;    // shown_ was read whole and laid out to EndDoc
};
