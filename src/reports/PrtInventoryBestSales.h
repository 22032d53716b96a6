#pragma once
// The twenty items sold for the most within a period, in one table; the
// twin of PrtInventorySales.
#include "reports/PrtInventorySales.h"

class PrtInventoryBestSales : public reports::InventorySalesFrame {
    Q_OBJECT
public:
    PrtInventoryBestSales();

protected:
    void InventoryPreview() override;
};
