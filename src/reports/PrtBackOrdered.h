#pragma once
// The preview of back-ordered lines already ordered, with their order dates.
#include "reports/PrtBackOrders.h"

class PrtBackOrdered : public reports::ListReportFrame {
    Q_OBJECT
public:
    PrtBackOrdered();

    void Form_Load() override;
    void BackOrderItemsPreview();
};
