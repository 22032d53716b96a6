#pragma once
// The register report: the payments to all vendors or to one, the payments
// of one expense type since a date, or every deposit, each listing ending
// with its total. It opens on the filter the register window handed over
// (PrintFilterField / PrintFilterValue) and lists anew on each Preview.
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/DatePicker.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/MaskedEdit.h"
#include "reports/ReportFrame.h"

class Vendor;

class PrtRegistry : public reports::ListReportFrame {
    Q_OBJECT
public:
    PrtRegistry();

    // The criteria panel, right of the preview, top to bottom.
    controls::Frame Frame1{this};
    controls::OptionButton OptDeposits{&Frame1};
    controls::Label lnPayments{&Frame1};      // separator
    controls::Label lblPayments{&Frame1};
    controls::OptionButton OptAll{&Frame1};
    controls::OptionButton OptVendor{&Frame1};
    controls::OptionButton OptCategory{&Frame1};
    controls::Label lblCrit{&Frame1};
    controls::ComboBox CmbPrintCrit{&Frame1};
    controls::Label lnSince{&Frame1};         // separator
    controls::Label lblSince{&Frame1};
    controls::MaskedEdit txtSinceDate{&Frame1};
    controls::DatePicker DTPicker1{&Frame1};
    controls::CommandButton btnGo{&Frame1};

    void Form_Load() override;
    void btnGo_Click();
    void OptAll_Click();
    void OptVendor_Click();
    void OptCategory_Click();
    void OptDeposits_Click();
    void DTPicker1_Change();
    void GetVendors();
    void GetCategories();
    void VendorPaymentPreview();
    void CategoryPaymentPreview();
    void DepositPreview();

    // 1 January of the year in which the day 365 days before today falls.
    static vb::Date DefaultSinceDate();

private:
    // rsLedger := the entries of the criteria, through SharedVendor; raises
    // when the since-date box holds no date. False, with rsLedger as it was,
    // when the query failed (the member has told it).
    bool Query();
    // The layout of the current mode.
    void Layout();
    void FillCombo(ado::RecordsetPtr (Vendor::*list)(), const char* field);

    bool loading_ = false;   // Form_Load selects the option itself
};
