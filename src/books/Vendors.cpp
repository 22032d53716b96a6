#include "books/Vendors.h"
#include "books/GL.h"
#include <memory>
#include <QStyle>
#include "books/VendorSaved.h"
#include "data/Globals.h"
#include "data/Vendor.h"
#include "forms/App.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) { return QStringLiteral("Vendors.") + QString::fromLatin1(proc) + QStringLiteral(" -"); }

// Caption and box rows: captions on the left, boxes beside them (twips).
constexpr int kFirstRowTop = 1020, kRowStep = 375, kBoxHeight = 315;
constexpr int kWidth = 8400, kHeight = 5340;

void placeRows(std::initializer_list<std::pair<controls::Label*, controls::TextBox*>> rows,
               std::initializer_list<const char*> captions, int left, int labelWidth, int boxWidth) {
    int top = kFirstRowTop;
    auto caption = captions.begin();
    for (const auto& [lbl, box] : rows) {
        lbl->setCaption(QString::fromUtf8(*caption++));
        lbl->Move(left, top + 45, labelWidth, 255);
        box->Move(left + labelWidth + 60, top, boxWidth, kBoxHeight);
        top += kRowStep;
    }
}

} // namespace

Vendors::Vendors() {
    setCaption(QStringLiteral("Vendors"));
    setFixedBorder();
    constexpr int width = kWidth, height = kHeight;
    setClientSize(width, height);

    controls::LayOutToolButtons({
        {&btnSave, "Save Vendor", controls::pictures::Save, [this] { btnSave_Click(); }},
        {&btnNewVendor, "New Vendor", controls::pictures::Add, [this] { btnNewVendor_Click(); }},
        {&btnDelete, "Delete Vendor", controls::pictures::Delete, [this] { btnDelete_Click(); }},
        {&btnPayments, "Payment/Deposit Registry", controls::pictures::Register, [this] { btnPayments_Click(); }},
        {&btnExit, "Exit Vendors", controls::pictures::Close, [this] { btnExit_Click(); }},
    }, width - 60 - 5 * 450, 90, 420, 390, 450);

    lblSearch.setCaption(QStringLiteral("Search:"));
    lblSearch.Move(120, 165, 900, 255);
    cmbVendors.Move(1180, 120, 3600, kBoxHeight);
    cmbVendors.Click = [this] { cmbVendors_Click(); };
    lblVendorNumCaption.setCaption(QStringLiteral("Vendor #:"));
    lblVendorNumCaption.Move(120, 600, 1000, 255);
    lblVendorNum.Move(1180, 600, 1500, 255);

    layoutControls();

    for (controls::TextBox* t : {&txtCompany, &txtAddress, &txtAddress2, &txtCity, &txtState, &txtZipCode, &txtPhone,
                                 &txtCellPhone, &txtFax, &txtEmail, &txtWebPage, &txtPOnum, &txtDiscount, &txtNotes})
        t->Change = [this] { Box_Change(); };

    setKeyboardOrder({&cmbVendors, &txtCompany, &txtAddress, &txtAddress2, &txtCity, &txtState, &txtZipCode,
                      &txtPhone, &txtCellPhone, &txtFax, &txtEmail, &txtWebPage, &txtPOnum, &txtDiscount, &txtNotes,
                      &btnSave, &btnNewVendor, &btnDelete, &btnPayments, &btnExit});
    CenterOnScreen();
}

Vendors::~Vendors() = default;

void Vendors::layoutControls() {
    // Address on the left, how to reach the vendor and the terms on the right.
    constexpr int leftX = 120, leftLabelW = 1000, leftBoxW = 2640;
    constexpr int rightX = 4020, rightLabelW = 1650, rightBoxW = kWidth - 120 - rightX - rightLabelW - 60;
    placeRows({{&lblCompany, &txtCompany}, {&lblAddress, &txtAddress}, {&lblAddress2, &txtAddress2},
               {&lblCity, &txtCity}, {&lblState, &txtState}, {&lblZipCode, &txtZipCode}},
              {"Name:", "Address:", "Address2:", "City:", "State:", "Zip Code:"}, leftX, leftLabelW, leftBoxW);
    txtState.setWidth(600);   // two letters
    txtZipCode.setWidth(1400);
    placeRows({{&lblPhone, &txtPhone}, {&lblCellPhone, &txtCellPhone}, {&lblFax, &txtFax}, {&lblEmail, &txtEmail},
               {&lblWebPage, &txtWebPage}, {&lblPOnum, &txtPOnum}, {&lblDiscount, &txtDiscount}},
              {"Phone:", "Cell Phone:", "Fax:", "E-Mail:", "Web Page:", "Purchase Order #:", "Discount %:"}, rightX,
              rightLabelW, rightBoxW);
    txtDiscount.setWidth(900);

    const int notesTop = kFirstRowTop + 7 * kRowStep + 60;
    lblNotes.setCaption(QStringLiteral("Notes:"));
    lblNotes.Move(leftX, notesTop + 45, leftLabelW, 255);
    txtNotes.setMultiLine(true);
    txtNotes.Move(leftX + leftLabelW + 60, notesTop, kWidth - 120 - (leftX + leftLabelW + 60), kHeight - 120 - notesTop);
}

void Vendors::Box_Change() { VendorChanged = true; }

QString Vendors::DiscountText(double discount) { return vb::NumberToInvariant(discount); }

double Vendors::DiscountFromText(const QString& text) { return vb::LeadingNumber(text); }

void Vendors::Form_Load() {
    vb::Trap(label("Form_Load"), [this] {
        MakeVendorList();
        // "0" names no vendor and so gives a blank one with the next number.
        const QString first = cmbVendors.Text();
        GetVendorDetails(first.isEmpty() ? QStringLiteral("0") : first);
        cmbVendors.setText(QString());
        VendorChanged = false;
    });
}

void Vendors::MakeVendorList() {
    vb::Trap(label("MakeVendorList"), [this] {
        const auto vendor = Globals::Required(Globals::SharedVendor);
        const ConnectionScope opened = vendor->OpenScope();
        Globals::rsVendors = vendor->GetAllVendors();
        cmbVendors.Clear();
        cmbVendors.setText(QString());
        if (auto rs = Globals::rsVendors; rs && rs->State() == ado::adStateOpen && rs->RecordCount() > 0) {
            rs->MoveFirst();
            while (!rs->Eof()) {
                cmbVendors.AddItem(rs->Fields("Company").Value().str());
                rs->MoveNext();
            }
            cmbVendors.setText(cmbVendors.List(0));
        }
    });
}

void Vendors::GetVendorDetails(const QString& Company) {
    vb::Trap(label("GetVendorDetails"), [&] {
        const auto vendor = Globals::Required(Globals::SharedVendor);
        Vendor& v = *vendor;
        const ConnectionScope opened = v.OpenScope();
        vendorStored_ = v.GetVendor(Company);
        lblVendorNum.setCaption(QString::number(v.VendorNum));
        txtCompany.setText(v.Company);
        txtAddress.setText(v.Address1);
        txtAddress2.setText(v.Address2);
        txtCity.setText(v.City);
        txtState.setText(v.State);
        txtZipCode.setText(v.ZipCode);
        txtPhone.setText(v.Phone);
        txtCellPhone.setText(v.CelPhone);
        txtFax.setText(v.Fax);
        txtEmail.setText(v.Email);
        txtWebPage.setText(v.WebPage);
        txtPOnum.setText(v.POnum);
        txtDiscount.setText(DiscountText(v.Discount));
        txtNotes.setText(v.Notes);
    });
}

void Vendors::ClearForm() {
    vb::Trap(label("ClearForm"), [this] {
        lblVendorNum.setCaption(QString());
        for (controls::TextBox* t : {&txtCompany, &txtAddress, &txtAddress2, &txtCity, &txtState, &txtZipCode,
                                     &txtPhone, &txtCellPhone, &txtFax, &txtEmail, &txtWebPage, &txtPOnum,
                                     &txtDiscount, &txtNotes})
            t->setText(QString());
    });
}

void Vendors::cmbVendors_Click() {
    // Edits of the vendor shown are dropped: choosing another one is the
    // user's way of leaving them.
    const QString company = cmbVendors.Text();
    if (!company.isEmpty()) GetVendorDetails(company);
    VendorChanged = false;
}

bool Vendors::SaveVendor() {
    bool saved = false;
    vb::Trap(label("btnSave_Click"), [&] {
        if (txtCompany.Text().isEmpty()) {
            vb::MsgBox(QStringLiteral("Enter company name before saving."));
        } else {
            bool stored = false;
            {
                const auto vendor = Globals::Required(Globals::SharedVendor);
                Vendor& v = *vendor;
                const ConnectionScope opened = v.OpenScope();
                v.VendorNum = vb::CLng(vb::Variant(lblVendorNum.Caption()));
                v.Company = txtCompany.Text();
                v.Address1 = txtAddress.Text();
                v.Address2 = txtAddress2.Text();
                v.City = txtCity.Text();
                v.State = txtState.Text();
                v.ZipCode = txtZipCode.Text();
                v.Phone = txtPhone.Text();
                v.CelPhone = txtCellPhone.Text();
                v.Fax = txtFax.Text();
                v.Email = txtEmail.Text();
                v.WebPage = txtWebPage.Text();
                v.POnum = txtPOnum.Text();
                v.Discount = DiscountFromText(txtDiscount.Text());
                v.Notes = txtNotes.Text();
                stored = v.SaveVendorAccess(vendorStored_ ? v.VendorNum : 0);
                if (stored && !vendorStored_) {
                    // The first save takes the number; another copy of the
                    // program may have taken the one shown.
                    vendorStored_ = true;
                    lblVendorNum.setCaption(QString::number(v.VendorNum));
                }
                forms::DoEvents();
                // A refused save has shown its report; no notice then says
                // it succeeded.
                if (stored) {
                    forms::Form::get<VendorSaved>().Show(true, this);
                    forms::DoEvents();
                }
            }
            MakeVendorList();
            saved = stored;
        }
        // Edits that were not stored stay pending, so leaving asks again.
        if (saved) VendorChanged = false;
        cmbVendors.setText(QString());
    });
    return saved;
}

void Vendors::btnSave_Click() { SaveVendor(); }

bool Vendors::AskToSave() {
    if (!VendorChanged) return true;
    const int answer = vb::MsgBox(QStringLiteral("Save Changes to ") + txtCompany.Text() + QStringLiteral("?"),
                                  vb::vbYesNoCancel + vb::vbQuestion + vb::vbDefaultButton2,
                                  QStringLiteral("Save Vendor Pofile?"));
    if (answer == vb::vbCancel) return false;
    // Yes but nothing stored (no company, or the data file refused): the
    // edits stay on screen instead of being thrown away.
    if (answer == vb::vbYes && !SaveVendor()) return false;
    return true;
}

void Vendors::btnNewVendor_Click() {
    vb::Trap(label("btnNewVendor_Click"), [this] {
        if (!AskToSave()) return;
        ClearForm();
        GetVendorDetails(QStringLiteral("0"));
        cmbVendors.setText(QString());
        txtCompany.SetFocus();
        VendorChanged = false;
    });
}

void Vendors::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [this] {
        if (cmbVendors.ListCount() < 1) return;
        if (!AskToDelete()) return;
        // A vendor never saved has no row; the number shown may since be
        // another copy's new vendor.
        if (vendorStored_) {
            const auto vendor = Globals::Required(Globals::SharedVendor);
            const ConnectionScope opened = vendor->OpenScope();
            // Saved again, the vendor shown is a new one.
            if (vendor->DeleteVendor(vb::CLng(vb::Variant(lblVendorNum.Caption())))) vendorStored_ = false;
        }
        MakeVendorList();
        if (!cmbVendors.Text().isEmpty()) GetVendorDetails(cmbVendors.Text());
        VendorChanged = false;
    });
    cmbVendors.setText(QString());
}

// The question names the vendor as stored, and says so when register
// entries name it: they are kept under that text.
bool Vendors::AskToDelete() {
    QString company = txtCompany.Text();
    int32_t entries = 0;
    if (vendorStored_) {
        const auto vendor = Globals::Required(Globals::SharedVendor);
        const ConnectionScope opened = vendor->OpenScope();
        const QString stored = vendor->VendorCompany(vb::CLng(vb::Variant(lblVendorNum.Caption())));
        entries = vendor->EntriesNaming(stored);
        if (!stored.isEmpty()) company = stored;
    }
    const QString prompt =
        entries == 0 ? QStringLiteral("Do you wish to do this?")
        : entries == 1 ? QStringLiteral("1 register entry names %1. It is kept. Delete the vendor?").arg(company)
                       : QStringLiteral("%1 register entries name %2. They are kept. Delete the vendor?").arg(entries).arg(company);
    return vb::MsgBox(prompt, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2,
                      QStringLiteral("Delete Vendor ... ") + company + QStringLiteral("?")) == vb::vbYes;
}

void Vendors::btnPayments_Click() {
    vb::Trap(label("btnPayments_Click"), [this] {
        if (cmbVendors.ListCount() >= 1)
            ShowRegisterPlaceholder();
        else
            vb::MsgBox(QStringLiteral("Enter a new Vendor before entering Vendor Payments."));
    });
}

// The register, modeless and without owner; an open one is only raised.
void Vendors::ShowRegisterPlaceholder() { forms::Form::get<GL>().Show(); }

void Vendors::btnExit_Click() {
    vb::Trap(label("btnExit_Click"), [this] {
        if (!AskToSave()) return;
        VendorChanged = false;
        forms::Form::Unload(this);
    });
}
