#pragma once
// The inventory list: for every category that holds items, its bold title
// and a table of its items (number, description, price, par, stock and
// warranty). Laid out once, while the window loads.
#include <memory>
#include "ado/Recordset.h"
#include "reports/ReportFrame.h"

class Inventory;

class PrtInventory : public reports::ListReportFrame {
    Q_OBJECT
public:
    PrtInventory();
    ~PrtInventory() override;

    void Form_Load() override;
    void Form_Unload() override;

    // The item table, the same for every category.
    static const QString kFormat;
    static const QString kHeader;

private:
    void InventoryPreview();

    // Its own instance, open from load to unload.
    std::unique_ptr<Inventory> inventory_;
    ado::RecordsetPtr rsCats_;
    ado::RecordsetPtr rsItems_;
};
