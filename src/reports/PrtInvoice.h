#pragma once
// The invoice preview: one sales invoice of one client laid out as a
// printable document (letterhead with the remit-to line, Bill To and Ship To,
// the invoice's facts, its lines and totals). It reads CurrentInvoiceNum and
// CurrentCustNum when it loads and writes nothing.
#include <cstdint>
#include <QList>
#include <QString>
#include "reports/ReportFrame.h"
#include "vb/Currency.h"
#include "vb/Date.h"
#include "vb/Variant.h"

class PrtInvoice : public reports::CustomerReportFrame {
    Q_OBJECT
public:
    PrtInvoice();

    void Form_Load() override;

    // What the Print commands call once CurrentInvoiceNum and CurrentCustNum
    // are set: shows the preview modeless, without owner. A preview already
    // open is only brought forward while it still shows what is stored for
    // that invoice and client; otherwise (another invoice, another client, or
    // the invoice, its lines, the client or the company changed since it was
    // laid out) it is closed and laid out anew, so it never prints stale data.
    static void ShowCurrent();

    // True when the document was laid out from exactly what is stored now
    // for CurrentInvoiceNum.
    bool ShowsStoredInvoice() const;

    // Everything the document is laid out from, read in the order the
    // document needs it.
    struct Line {
        vb::Variant Qty, BackOrder, ItemNum, Notes, Amount;
        bool operator==(const Line&) const = default;
    };
    struct Source {
        int32_t InvoiceNum = 0, CustNum = 0;
        // Company record.
        QString Name, Address1, City, State, ZipCode, WebSite, Phone, Fax;
        // Client.
        QString BillFname, BillLname, BillAddress1, Billcity, BillState, BillZipCode, BillHomePhone;
        QString ShipFname, ShipLname, ShipAddress1, Shipcity, ShipState, ShipZipCode, ShipHomePhone;
        // Invoice header and lines.
        QString description, ShippingType, SalesRep, Terms;
        vb::Date InvoiceDate;
        double Discount = 0;
        vb::Currency ShippingCharge, Tax, Interest;
        QList<Line> Lines;
        bool operator==(const Source&) const = default;
    };
    // Reads through the shared instances, each bracketed by OpenCn/CloseCn.
    // The client is the one the stored invoice names (0 when the invoice is
    // not in the file), whoever is current elsewhere. Raises when the lines
    // cannot be read.
    static Source ReadSource(int32_t invoiceNum);

private:
    // Lays the document out from what ReadSource read; the letterhead and the
    // address blocks from the instances it read them through.
    void LayOut(const Source& s, const cSetup& company, const Client& client);

    Source shown_;
    bool complete_ = false;    // shown_ was read whole and laid out to EndDoc
};
