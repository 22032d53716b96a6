#include "reports/PrtBackOrdered.h"
#include "vb/ErrorTrap.h"

PrtBackOrdered::PrtBackOrdered() { setCaption(QStringLiteral("Print Backordered Items")); }

void PrtBackOrdered::Form_Load() { BackOrderItemsPreview(); }

void PrtBackOrdered::BackOrderItemsPreview() {
    vb::Trap(QStringLiteral("PrtBackOrdered.BackOrderItemsPreview -"), [this] {
        reports::BackOrderItemsDocument(VSregistry, QStringLiteral("Invoice Items BackOrdered"),
                                        QStringLiteral("Ordered|Inventory#|Invoice#|Description|Qty|Client|Sales Rep;"),
                                        "Ordered");
    });
}
