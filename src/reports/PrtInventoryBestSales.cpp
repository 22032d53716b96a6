#include "reports/PrtInventoryBestSales.h"
#include "vb/ErrorTrap.h"

PrtInventoryBestSales::PrtInventoryBestSales() : InventorySalesFrame(QStringLiteral("PrtInventoryBestSales")) {
    setCaption(QStringLiteral("Print 20 Best Inventory Sellers"));
}

void PrtInventoryBestSales::InventoryPreview() {
    vb::Trap(label("InventoryPreview"), [this] {
        const ado::RecordsetPtr rs = SalesToPrint(QStringLiteral("TotalSales desc"));
        if (!rs) return;
        printer::PreviewControl& d = VSregistry;
        OpenDocument(QStringLiteral("Top 20 Inventory Sellers"));
        for (int i = 0; i < 4; ++i) d.Paragraph(QString());
        d.setFontBold(false);
        d.StartTable();
        d.setTableBorder(printer::tbBoxHeader);
        for (int counter = 1; !rs->Eof() && counter < 21; ++counter) {
            AddSalesRow(rs);
            rs->MoveNext();
        }
        d.EndTable();
        d.EndDoc();
    });
}
