#include "books/frmSetup.h"
#include <cmath>
#include <cstdlib>
#include <memory>
#include <QByteArray>
#include "books/PaymentCategories.h"
#include "books/ShippingTypes.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {

// Label and box rows inside the frame: captions on the left, boxes beside them.
constexpr int kRowTop = 300, kRowStep = 330, kRowHeight = 300;
constexpr int kLabelLeft = 120, kLabelWidth = 1750, kBoxLeft = kLabelLeft + kLabelWidth + 60, kBoxWidth = 3000;
constexpr int kFrameLeft = 120, kFrameTop = 120, kFrameWidth = kBoxLeft + kBoxWidth + 120;
constexpr int kRows = 10;
constexpr int kFrameHeight = kRowTop + kRows * kRowStep + 60;
constexpr int kButtonLeft = kFrameLeft + kFrameWidth + 180, kButtonWidth = 1800, kButtonHeight = 375;

// The company properties as they stood, put back when a save is refused so
// the shared instance never holds a record the data file does not.
struct CompanyValues {
    QString Name, Address1, Address2, City, State, ZipCode, Phone, Fax, WebSite;
    double Statetaxrate = 0;

    static CompanyValues of(const cSetup& s) {
        return {s.Name, s.Address1, s.Address2, s.City, s.State, s.ZipCode, s.Phone, s.Fax, s.WebSite, s.Statetaxrate};
    }
    void putInto(cSetup& s) const {
        s.Name = Name;
        s.Address1 = Address1;
        s.Address2 = Address2;
        s.City = City;
        s.State = State;
        s.ZipCode = ZipCode;
        s.Phone = Phone;
        s.Fax = Fax;
        s.WebSite = WebSite;
        s.Statetaxrate = Statetaxrate;
    }
};

} // namespace

frmSetup::frmSetup() {
    setCaption(QStringLiteral("Setup"));
    setFixedBorder();
    setClientSize(kButtonLeft + kButtonWidth + 120, kFrameTop + kFrameHeight + 120);
    layoutControls();

    auto wire = [this](controls::TextBox& box, void (frmSetup::*handler)()) {
        box.Change = [this, handler] { (this->*handler)(); };
    };
    wire(txtCoName, &frmSetup::txtCoName_Change);
    wire(txtCoAddress1, &frmSetup::txtCoAddress1_Change);
    wire(txtCoAddress2, &frmSetup::txtCoAddress2_Change);
    wire(txtCoCity, &frmSetup::txtCoCity_Change);
    wire(txtCoState, &frmSetup::txtCoState_Change);
    wire(TxtCoZipCode, &frmSetup::TxtCoZipCode_Change);
    wire(txtCoPhone, &frmSetup::txtCoPhone_Change);
    wire(txtCoFax, &frmSetup::txtCoFax_Change);
    wire(txtCoWebSite, &frmSetup::txtCoWebSite_Change);
    wire(txtCoStateTaxRate, &frmSetup::txtCoStateTaxRate_Change);

    btnPayments.setCaption(QStringLiteral("&Payment Terms"));
    btnPayments.setToolTipText(QStringLiteral("Payment Methods"));
    btnPayments.Click = [this] { btnPayments_Click(); };
    btnShipping.setCaption(QStringLiteral("&Shipping Types"));
    btnShipping.setToolTipText(QStringLiteral("Shipping Methods/Prices"));
    btnShipping.Click = [this] { btnShipping_Click(); };
    btnExit.setCaption(QStringLiteral("Save and &Exit"));
    btnExit.setToolTipText(QStringLiteral("Save and Exit"));
    btnExit.Click = [this] { btnExit_Click(); };

    setKeyboardOrder({&txtCoName, &txtCoAddress1, &txtCoAddress2, &txtCoCity, &txtCoState, &TxtCoZipCode, &txtCoPhone,
                      &txtCoFax, &txtCoWebSite, &txtCoStateTaxRate, &btnPayments, &btnShipping, &btnExit});
    CenterOnScreen();
}

frmSetup::~frmSetup() = default;

void frmSetup::layoutControls() {
    Frame1.setCaption(QStringLiteral("Company Info"));
    Frame1.Move(kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight);

    struct Row {
        controls::Label* label;
        const char* caption;
        controls::TextBox* box;
        int width;
    };
    const Row rows[kRows] = {
        {&lblCoName, "Name:", &txtCoName, kBoxWidth},
        {&lblCoAddress1, "Address:", &txtCoAddress1, kBoxWidth},
        {&lblCoAddress2, "Address2:", &txtCoAddress2, kBoxWidth},
        {&lblCoCity, "City:", &txtCoCity, kBoxWidth},
        {&lblCoState, "State:", &txtCoState, 600},
        {&lblCoZipCode, "Zip Code:", &TxtCoZipCode, 1500},
        {&lblCoPhone, "Phone:", &txtCoPhone, 1800},
        {&lblCoFax, "Fax:", &txtCoFax, 1800},
        {&lblCoWebSite, "Website:", &txtCoWebSite, kBoxWidth},
        {&lblCoStateTaxRate, "State Tax Rate %:", &txtCoStateTaxRate, 900},
    };
    int top = kRowTop;
    for (const Row& r : rows) {
        r.label->setCaption(QString::fromUtf8(r.caption));
        r.label->Move(kLabelLeft, top + 30, kLabelWidth, 255);
        r.box->Move(kBoxLeft, top, r.width, kRowHeight);
        top += kRowStep;
    }

    btnPayments.Move(kButtonLeft, kFrameTop + 120, kButtonWidth, kButtonHeight);
    btnShipping.Move(kButtonLeft, kFrameTop + 120 + kButtonHeight + 120, kButtonWidth, kButtonHeight);
    btnExit.Move(kButtonLeft, kFrameTop + kFrameHeight - kButtonHeight, kButtonWidth, kButtonHeight);
}

QString frmSetup::RateText(double rate) { return vb::NumberToInvariant(rate); }

double frmSetup::RateFromText(const QString& text) { return vb::LeadingNumber(text); }

void frmSetup::Form_Load() {
    vb::Trap(QStringLiteral("frmsetup.Form_Load -"), [this] {
        auto setup = Globals::Required(Globals::SharedSetup);
        {
            // Open only for the read: a connection held while the window waits
            // would keep repair, compaction and restore from the data file.
            const ConnectionScope scope = setup->OpenScope();
            setup->GetCompanyInfo();
        }
        filling_ = true;
        struct Done { bool& f; ~Done() { f = false; } } done{filling_};
        txtCoName.setText(setup->Name);
        txtCoAddress1.setText(setup->Address1);
        txtCoAddress2.setText(setup->Address2);
        txtCoCity.setText(setup->City);
        txtCoState.setText(setup->State);
        TxtCoZipCode.setText(setup->ZipCode);
        txtCoPhone.setText(setup->Phone);
        txtCoFax.setText(setup->Fax);
        txtCoWebSite.setText(setup->WebSite);
        txtCoStateTaxRate.setText(RateText(setup->Statetaxrate));
    });
    // Filling the boxes is no change: an untouched window saves nothing.
    SetupChanged = false;
}

void frmSetup::Form_Unload() {
    // The connection opened at load has no further user here; left open it
    // would keep the data file busy for repair and restore.
    vb::IgnoreErrors([] {
        if (auto setup = Globals::SharedSetup) setup->CloseCn();
    });
}

void frmSetup::txtCoName_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoAddress1_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoAddress2_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoCity_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoState_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::TxtCoZipCode_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoPhone_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoFax_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoWebSite_Change() { if (!filling_) SetupChanged = true; }
void frmSetup::txtCoStateTaxRate_Change() { if (!filling_) SetupChanged = true; }

// The list editors save their own rows; nothing of the company boxes.
void frmSetup::btnPayments_Click() { forms::Form::get<PaymentCategories>().Show(true, this); }

void frmSetup::btnShipping_Click() { forms::Form::get<ShippingTypes>().Show(true, this); }

void frmSetup::btnExit_Click() {
    const bool done = vb::Trap(QStringLiteral("frmsetup.btnexit_Click -"), [this] {
        if (!SetupChanged) return;
        auto setup = Globals::Required(Globals::SharedSetup);
        // Read first, so a rate that is no Double leaves the instance as it was.
        const double rate = RateFromText(txtCoStateTaxRate.Text());
        const CompanyValues before = CompanyValues::of(*setup);
        setup->Name = txtCoName.Text();
        setup->Address1 = txtCoAddress1.Text();
        setup->Address2 = txtCoAddress2.Text();
        setup->City = txtCoCity.Text();
        setup->State = txtCoState.Text();
        setup->ZipCode = TxtCoZipCode.Text();
        setup->Phone = txtCoPhone.Text();
        setup->Fax = txtCoFax.Text();
        setup->WebSite = txtCoWebSite.Text();
        setup->Statetaxrate = rate;
        // The list editors opened from here close the shared connection
        // after their own saves, so it may no longer be the one opened at load.
        setup->OpenCn();
        const bool saved = setup->SaveCompanyInfo();
        setup->CloseCn();
        if (!saved) {
            // The save reports nothing itself; closing now would lose the
            // typed record without a word.
            before.putInto(*setup);
            throw vb::RuntimeError(vb::err::SqlEngine, QStringLiteral("The company information could not be saved"));
        }
        SetupChanged = false;
    });
    // After an error the window stays open with the boxes as typed.
    if (done) forms::Form::Unload(this);
}
