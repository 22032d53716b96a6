#include "reports/PrtBackOrders.h"
#include <cmath>
#include "ado/Recordset.h"
#include "books/BackOrderSet.h"
#include "data/Globals.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"

namespace reports {

void BackOrderItemsDocument(printer::PageDocument& doc, const QString& title, const QString& tableHeader,
                            const char* firstField) {
    // The table is 7.25in wide: narrow side margins leave it room, the
    // page header keeps its band at the top.
    ReportOpening(doc, true, QStringLiteral("0.25in"), QStringLiteral("0.25in"), QStringLiteral("0.5in"),
                  QStringLiteral("0.5in"));
    ReportHeading(doc, {QString(), title, vb::DateToText(vb::Today())});
    doc.Paragraph(QString());

    doc.StartTable();
    doc.setTableBorder(printer::tbBoxHeader);
    // The header row stands even when there is no line to list.
    doc.AddTable(kBackOrderFormat, tableHeader, QString());
    const ado::RecordsetPtr rs = Globals::rsBackOrders;
    int count = 0;
    if (rs && rs->RecordCount() > 0) {
        rs->MoveFirst();
        while (!rs->Eof()) {
            const vb::Variant qty = rs->Fields("BackOrderQty").Value();
            // Cell by cell: a description may hold the table's own separators.
            doc.AddTableCells(kBackOrderFormat, tableHeader,
                              {DocText(rs->Fields(QString::fromLatin1(firstField)).Value()),
                               DocText(rs->Fields("ItemNum").Value()), DocText(rs->Fields("InvoiceNum").Value()),
                               DocText(rs->Fields("Notes").Value()),
                               qty.isNull() || qty.isEmpty() ? QString()
                                                             : vb::CStr(vb::Variant(std::fabs(vb::CDbl(qty)))),
                               rs->Fields("Fname").Value().str() + QLatin1Char(' ') + rs->Fields("Lname").Value().str(),
                               DocText(rs->Fields("SalesRep").Value())});
            ++count;
            rs->MoveNext();
        }
    }
    for (int r = 1; r <= count; ++r) doc.setTableCell(printer::tcRowHeight, r, QStringLiteral("0.2in"));
    doc.EndTable();
    doc.EndDoc();
}

} // namespace reports

namespace {
// From the right edge: the order button stands left of the exit button.
constexpr int kOrderFromRight = 2420;
}

PrtBackOrders::PrtBackOrders() {
    setCaption(QStringLiteral("Print Items to Back Order"));
    btnOrder.setCaption(QStringLiteral("Set as &Ordered"));
    btnOrder.Move(Width() - kOrderFromRight, 0, 1300, 330);
    btnOrder.raise();
    btnOrder.Click = [this] { btnOrder_Click(); };
}

void PrtBackOrders::Form_Load() { BackOrderItemsPreview(); }

void PrtBackOrders::BackOrderItemsPreview() {
    vb::Trap(QStringLiteral("PrtBackOrders.BackOrderItemsPreview -"), [this] {
        reports::BackOrderItemsDocument(VSregistry, QStringLiteral("Invoice Items to BackOrder"),
                                        QStringLiteral("Date|Inventory#|Invoice#|Description|Qty|Client|Sales Rep;"),
                                        "InvoiceDate");
    });
}

void PrtBackOrders::Form_Resize() {
    vb::IgnoreErrors([this] {
        ApplyResizeRule();
        btnOrder.setLeft(Width() - kOrderFromRight);
    });
}

void PrtBackOrders::btnOrder_Click() { forms::Form::get<BackOrderSet>().Show(); }
