#pragma once
// The vendor editor: one vendor at a time, chosen by company from the
// drop-down, with save, new vendor, delete, the register and exit. Register
// entries name their vendor by company text, so a delete takes the entries
// filed under the company stored for the vendor's number.
#include <QString>
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/Label.h"
#include "controls/TextBox.h"
#include "forms/Form.h"

class Vendors : public forms::Form {
    Q_OBJECT
public:
    Vendors();
    ~Vendors() override;

    controls::ToolButton btnSave{this};
    controls::ToolButton btnNewVendor{this};
    controls::ToolButton btnDelete{this};
    controls::ToolButton btnPayments{this};
    controls::ToolButton btnExit{this};

    controls::Label lblSearch{this};
    controls::ComboBox cmbVendors{this};
    controls::Label lblVendorNumCaption{this};
    controls::Label lblVendorNum{this};

    controls::Label lblCompany{this}, lblAddress{this}, lblAddress2{this}, lblCity{this}, lblState{this},
        lblZipCode{this};
    controls::TextBox txtCompany{this}, txtAddress{this}, txtAddress2{this}, txtCity{this}, txtState{this},
        txtZipCode{this};
    controls::Label lblPhone{this}, lblCellPhone{this}, lblFax{this}, lblEmail{this}, lblWebPage{this},
        lblPOnum{this}, lblDiscount{this};
    controls::TextBox txtPhone{this}, txtCellPhone{this}, txtFax{this}, txtEmail{this}, txtWebPage{this},
        txtPOnum{this}, txtDiscount{this};
    controls::Label lblNotes{this};
    controls::TextBox txtNotes{this};

    // True while the boxes hold edits not yet saved.
    bool VendorChanged = false;

    void Form_Load() override;
    void MakeVendorList();
    void GetVendorDetails(const QString& Company);
    void ClearForm();

    void cmbVendors_Click();
    void btnSave_Click();
    void btnNewVendor_Click();
    void btnDelete_Click();
    void btnPayments_Click();
    void btnExit_Click();
    // The change handler of every text box.
    void Box_Change();

    // The discount as the box shows it ("0", "12.5"), and read back: the
    // leading number with a full stop, whatever the locale; none gives 0.
    static QString DiscountText(double discount);
    static double DiscountFromText(const QString& text);

private:
    // The save; false when nothing was stored (no company, or the data file
    // refused), so the edits are still pending.
    bool SaveVendor();
    // The unsaved-changes question; false when the command must end (Cancel,
    // or Yes with a save that stored nothing).
    bool AskToSave();
    bool AskToDelete();
    // Opens the register window. It is not part of the program yet.
    void ShowRegisterPlaceholder();
    void layoutControls();

    bool vendorStored_ = false;   // the vendor shown has a row (false: never saved)
};
