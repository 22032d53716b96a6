#pragma once
// What the inventory sales reports sell within a period: PrtInventorySales
// lists every item sold, grouped by category, with a grand total;
// PrtInventoryBestSales (PrtInventoryBestSales.h) the twenty items sold for
// the most. Both lay the document out when they load, for 1 January 2001 to
// today, and again on every Preview for the period then chosen.
#include <memory>
#include "ado/Recordset.h"
#include "controls/Buttons.h"
#include "controls/DatePicker.h"
#include "controls/Label.h"
#include "controls/MaskedEdit.h"
#include "reports/ReportFrame.h"
#include "vb/Currency.h"

class Reports;

namespace reports {

// The twins' window: the period row above the preview, and the preview run.
class InventorySalesFrame : public ListReportFrame {
    Q_OBJECT
public:
    controls::Label Label4{this};
    controls::MaskedEdit txtBegDate{this};
    controls::DatePicker DTbegdate{this};
    controls::Label Label1{this};
    controls::MaskedEdit txtEndDate{this};
    controls::DatePicker dtEndDate{this};
    controls::CommandButton btnGo{this};

    void Form_Load() override;
    void DTbegdate_Change();
    void dtEndDate_Change();
    void btnGo_Click();

    // The sales table of both twins.
    static const QString kFormat;
    static const QString kHeader;

protected:
    // name: the window's name, the first word of its error labels.
    explicit InventorySalesFrame(const QString& name);
    ~InventorySalesFrame() override;

    QString label(const char* proc) const;
    // One preview: a fresh Reports instance over the pickers' period, open
    // while InventoryPreview runs.
    void SetForm();
    // Builds the document from Reports.rsInventorySales.
    virtual void InventoryPreview() = 0;
    // Called by SetForm before it opens the period.
    virtual void StartPreview() {}

    // The sales sorted by sort; null when nothing is to be printed, in which
    // case the window has been unloaded (after the message "No inventory
    // sales ..." when the period sold nothing).
    ado::RecordsetPtr SalesToPrint(const QString& sort);
    // ClearDoc ... StartDoc, the heading with bold left on, the period in
    // bold and an empty paragraph.
    void OpenDocument(const QString& title);
    // The row of the current record; adds its amount to total when given.
    void AddSalesRow(const ado::RecordsetPtr& rs, vb::Currency* total = nullptr);

    std::unique_ptr<Reports> reports_;

private:
    QString name_;
};

} // namespace reports

class PrtInventorySales : public reports::InventorySalesFrame {
    Q_OBJECT
public:
    PrtInventorySales();

    // The grand total of the last preview.
    vb::Currency GrandTotal() const { return total_; }

protected:
    void StartPreview() override { total_ = vb::Currency(); }
    void InventoryPreview() override;

private:
    vb::Currency total_;
};
