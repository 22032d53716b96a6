#pragma once
// The back-order previews: the invoice lines short of stock, one table row
// each, laid out from rsBackOrders as the main window's Back Orders menu
// loaded it. PrtBackOrders lists the lines still to order and opens the
// order-date window; PrtBackOrdered (PrtBackOrdered.h) the lines ordered.
#include <QString>
#include "controls/Buttons.h"
#include "reports/ReportFrame.h"

namespace reports {

inline const QString kBackOrderFormat = QStringLiteral("^0.75in|^0.75in|0.75in|2in|^0.5in|1.25in|1.25in;");

// The whole document of both previews from the lines of rsBackOrders, their
// first record to their end: the page header "|title|today", the table with
// tableHeader, each row's first cell from the field firstField.
void BackOrderItemsDocument(printer::PageDocument& doc, const QString& title, const QString& tableHeader,
                            const char* firstField);

} // namespace reports

class PrtBackOrders : public reports::ListReportFrame {
    Q_OBJECT
public:
    PrtBackOrders();

    controls::CommandButton btnOrder{this};

    void Form_Load() override;
    void BackOrderItemsPreview();
    void Form_Resize() override;
    // Opens the order-date window; this preview stays as it is.
    void btnOrder_Click();
};
