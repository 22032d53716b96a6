#include "customers/Profile.h"
#include <QScopedValueRollback>
#include <QStyle>
#include "customers/Customer.h"
#include "customers/InvoiceDetail.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) { return QStringLiteral("Profile.") + QString::fromLatin1(proc) + QStringLiteral(" -"); }

// Label and box rows inside a frame: captions on the left, boxes beside them.
constexpr int kRowTop = 300, kRowStep = 330, kRowHeight = 300;

void placeRows(std::initializer_list<std::pair<controls::Label*, QWidget*>> rows, const char* const* captions,
               int labelWidth, int boxWidth) {
    int top = kRowTop;
    int i = 0;
    for (const auto& [lbl, box] : rows) {
        lbl->setCaption(QString::fromUtf8(captions[i++]));
        lbl->Move(120, top + 30, labelWidth, 255);
        if (auto* c = dynamic_cast<controls::Control*>(box)) c->Move(120 + labelWidth + 60, top, boxWidth, kRowHeight);
        top += kRowStep;
    }
}

int frameHeight(int rows) { return kRowTop + rows * kRowStep + 60; }

// The main list holds client rows (not only its header). Reading it loads
// the main window when it was closed, as every other touch of it does.
bool mainListHasClients() { return forms::Form::get<Customer>().HasClientRows(); }

} // namespace

Profile::Profile() {
    setCaption(QStringLiteral("Client Profile"));
    setFixedBorder();
    setClientSize(8070, 6195);

    controls::LayOutToolButtons({
        {&btnSave, "Save Client", controls::pictures::Save, [this] { btnSave_Click(); }},
        {&btnNewCustomer, "Enter New Client", controls::pictures::NewClient, [this] { btnNewCustomer_Click(); }},
        {&btnDelete, "Delete Client", controls::pictures::Delete, [this] { btnDelete_Click(); }},
        {&btnNewInvoice, "Enter new invoice for this client", controls::pictures::NewInvoice, [this] { btnNewInvoice_Click(); }},
        {&btnExit, "Exit client profile", controls::pictures::Close, [this] { btnExit_Click(); }},
    }, 8070 - 60 - 5 * 450, 90, 420, 390, 450);
    lblBalDueCaption.setCaption(QStringLiteral("Balance Due:"));
    lblBalDueCaption.Move(120, 165, 1300, 255);
    lblBalDue.Move(1460, 165, 2000, 255);

    SSTab1.Move(60, 540, 7950, 5600);

    layoutControls();
    wireChangeHandlers();

    watch_ = RecordEvents::Subscribe([this](const RecordEvents::Event& e) {
        using namespace RecordEvents;
        if (!IsLoaded() || !storedClient_) return;
        int32_t shown = 0;
        vb::IgnoreErrors([&] { shown = vb::CLng(vb::Variant(lblCustNum.Caption())); });
        const bool money = e.what == InvoiceSaved || e.what == InvoiceDeleted || e.what == PaymentSaved ||
                           e.what == PaymentDeleted;
        if (money && (e.client == 0 || e.client == shown) && !balanceQueued_) {
            // Read once the writer is done with the connection it shares.
            balanceQueued_ = true;
            QMetaObject::invokeMethod(this, [this] {
                balanceQueued_ = false;
                if (IsLoaded()) vb::Trap(label("Form_Load"), [this] { ShowBalance(); });
            }, Qt::QueuedConnection);
        }
        if (e.what != ClientDeleted || e.key != shown) return;
        // The client is gone: nothing typed here can be saved, so nothing is asked.
        ProfileChanged = false;
        storedClient_ = false;
        forms::Form::Unload(this);
    });

    btnSame.setCaption(QStringLiteral("Same as &Client"));
    btnSame.Click = [this] { btnSame_Click(); };
    Command1.setCaption(QStringLiteral(" &Client"));
    Command1.Click = [this] { Command1_Click(); };
    Command2.setCaption(QStringLiteral(" &Billing"));
    Command2.Click = [this] { Command2_Click(); };
    OptCust.setCaption(QStringLiteral("Client"));
    OptBilling.setCaption(QStringLiteral("Billing"));

    setKeyboardOrder({&txtFname, &txtMname, &txtLname, &txtAddress, &txtAddress2, &txtCity, &txtState, &txtZipCode,
                      &txtHomePhone, &txtCellPhone, &txtWorkPhone, &txtFax, &txtCompany, &txtEmail, &txtWebPage,
                      &btnSame, &txtBillFname, &txtBillMName, &txtBillLname, &txtBillAddress, &txtBillAddress2,
                      &txtBillCity, &txtBillState, &TxtBillZipCode, &txtBillHomePHone, &txtBillCellPhone,
                      &txtBillWorkPhone, &txtBillFax, &txtBillEmail, &txtBillWebPage, &txtPOnum, &txtDiscount,
                      &cmbPmtType1, &txtCard1, &txtExpDate1, &cmbPmtType2, &txtCard2, &txtExpDate2, &OptCust,
                      &OptBilling, &Command1, &Command2, &txtShippingFname, &txtShippingMname, &txtshippingLname,
                      &txtShippingAddress, &txtShippingAddress2, &txtShippingCity, &txtShippingState,
                      &txtShippingZipCode, &txtShippingHomePhone, &txtShippingCelPhone, &txtShippingWorkPhone,
                      &btnSave, &btnNewCustomer, &btnDelete, &btnNewInvoice, &btnExit});
    CenterOnScreen();
}

Profile::~Profile() = default;

void Profile::layoutControls() {
    constexpr int leftX = 120, leftW = 3700, rightX = 3960, rightW = 3800;
    constexpr int nameLabelW = 900, nameBoxW = leftW - 120 - nameLabelW - 60 - 120;
    constexpr int commLabelW = 1200, commBoxW = rightW - 120 - commLabelW - 60 - 120;
    static const char* const nameCaps[] = {"First:", "Middle:", "Last:"};
    static const char* const streetCaps[] = {"Street:", "Street2:", "City:", "State:", "Zip Code:"};
    static const char* const shipAddrCaps[] = {"Address:", "Address2:", "City:", "State:", "Zip Code:"};
    static const char* const commCaps[] = {"Home Phone:", "Cell Phone:", "Work Phone:", "Fax:",
                                           "Company:", "E-Mail:", "Web Page:"};
    static const char* const billCommCaps[] = {"Home Phone:", "Cell Phone:", "Work Phone:", "Fax:",
                                               "E-Mail:", "Web Page:"};
    static const char* const payCaps[] = {"Type:", "Card #:", "Exp Date:"};

    auto nameFrame = [&](controls::Frame& f, int top, controls::Label& l1, controls::TextBox& t1, controls::Label& l2,
                         controls::TextBox& t2, controls::Label& l3, controls::TextBox& t3) {
        f.setCaption(QStringLiteral("Name"));
        f.Move(leftX, top, leftW, frameHeight(3));
        placeRows({{&l1, &t1}, {&l2, &t2}, {&l3, &t3}}, nameCaps, nameLabelW, nameBoxW);
    };
    auto addressFrame = [&](controls::Frame& f, int top, const char* const* caps, controls::Label& l1,
                            controls::TextBox& t1, controls::Label& l2, controls::TextBox& t2, controls::Label& l3,
                            controls::TextBox& t3, controls::Label& l4, controls::TextBox& t4, controls::Label& l5,
                            controls::TextBox& t5) {
        f.setCaption(QStringLiteral("Address"));
        f.Move(leftX, top, leftW, frameHeight(5));
        placeRows({{&l1, &t1}, {&l2, &t2}, {&l3, &t3}, {&l4, &t4}, {&l5, &t5}}, caps, nameLabelW, nameBoxW);
        t4.setWidth(600);   // the state is two letters
    };

    // Client
    lblCustNumCaption.setCaption(QStringLiteral("Customer #:"));
    lblCustNumCaption.Move(leftX + 120, 150, 1200, 255);
    lblCustNum.Move(leftX + 1380, 150, 1500, 255);
    nameFrame(fraName, 480, lblFname, txtFname, lblMname, txtMname, lblLname, txtLname);
    addressFrame(fraAddress, 480 + frameHeight(3) + 60, streetCaps, lblAddress, txtAddress, lblAddress2, txtAddress2,
                 lblCity, txtCity, lblState, txtState, lblZipCode, txtZipCode);
    fraComm.setCaption(QStringLiteral("Communications"));
    fraComm.Move(rightX, 120, rightW, frameHeight(7));
    placeRows({{&lblHomePhone, &txtHomePhone}, {&lblCellPhone, &txtCellPhone}, {&lblWorkPhone, &txtWorkPhone},
               {&lblFax, &txtFax}, {&lblCompany, &txtCompany}, {&lblEmail, &txtEmail}, {&lblWebPage, &txtWebPage}},
              commCaps, commLabelW, commBoxW);

    // Billing
    nameFrame(fraBillName, 120, lblBillFname, txtBillFname, lblBillMname, txtBillMName, lblBillLname, txtBillLname);
    const int billAddrTop = 120 + frameHeight(3) + 60;
    addressFrame(fraBillAddress, billAddrTop, streetCaps, lblBillAddress, txtBillAddress, lblBillAddress2,
                 txtBillAddress2, lblBillCity, txtBillCity, lblBillState, txtBillState, lblBillZipCode,
                 TxtBillZipCode);
    fraBillComm.setCaption(QStringLiteral("Communications"));
    fraBillComm.Move(rightX, 120, rightW, frameHeight(6));
    placeRows({{&lblBillHomePhone, &txtBillHomePHone}, {&lblBillCellPhone, &txtBillCellPhone},
               {&lblBillWorkPhone, &txtBillWorkPhone}, {&lblBillFax, &txtBillFax}, {&lblBillEmail, &txtBillEmail},
               {&lblBillWebPage, &txtBillWebPage}},
              billCommCaps, commLabelW, commBoxW);
    const int payTop = billAddrTop + frameHeight(5) + 60;
    int y = 120 + frameHeight(6) + 120;
    lblPOnum.setCaption(QStringLiteral("Purchase Order #:"));
    lblPOnum.Move(rightX + 120, y + 30, 1740, 255);
    txtPOnum.Move(rightX + 1920, y, rightW - 1920 - 120, kRowHeight);
    y += kRowStep;
    lblDiscount.setCaption(QStringLiteral("Discount %:"));
    lblDiscount.Move(rightX + 120, y + 30, 1740, 255);
    txtDiscount.Move(rightX + 1920, y, 900, kRowHeight);
    btnSame.Move(rightX + rightW - 120 - 1700, y + kRowStep + 30, 1700, 360);
    auto payFrame = [&](controls::Frame& f, int x, const QString& caption, controls::Label& l1, controls::ComboBox& c,
                        controls::Label& l2, controls::TextBox& t2, controls::Label& l3, controls::TextBox& t3) {
        f.setCaption(caption);
        f.Move(x, payTop, x == leftX ? leftW : rightW, frameHeight(3));
        const int boxW = (x == leftX ? leftW : rightW) - 120 - nameLabelW - 60 - 120;
        placeRows({{&l1, &c}, {&l2, &t2}, {&l3, &t3}}, payCaps, nameLabelW, boxW);
    };
    payFrame(fraPayment1, leftX, QStringLiteral("Payment Method 1"), lblPmtType1, cmbPmtType1, lblCard1, txtCard1,
             lblExpDate1, txtExpDate1);
    payFrame(fraPayment2, rightX, QStringLiteral("Payment Method 2"), lblPmtType2, cmbPmtType2, lblCard2, txtCard2,
             lblExpDate2, txtExpDate2);

    // Shipping
    nameFrame(fraShipName, 120, lblShipFname, txtShippingFname, lblShipMname, txtShippingMname, lblShipLname,
              txtshippingLname);
    addressFrame(fraShipAddress, 120 + frameHeight(3) + 60, shipAddrCaps, lblShipAddress, txtShippingAddress,
                 lblShipAddress2, txtShippingAddress2, lblShipCity, txtShippingCity, lblShipState, txtShippingState,
                 lblShipZipCode, txtShippingZipCode);
    fraShipComm.setCaption(QStringLiteral("Communications"));
    fraShipComm.Move(rightX, 120, rightW, frameHeight(3));
    placeRows({{&lblShipHomePhone, &txtShippingHomePhone}, {&lblShipCellPhone, &txtShippingCelPhone},
               {&lblShipWorkPhone, &txtShippingWorkPhone}},
              commCaps, commLabelW, commBoxW);
    fraSameAs.setCaption(QStringLiteral("Same as"));
    fraSameAs.Move(rightX, 120 + frameHeight(3) + 60, rightW, 1140);
    Command1.Move(240, 330, 1300, 360);
    Command2.Move(240, 690 + 30, 1300, 360);
    OptCust.Move(1800, 360, 1500, 300);
    OptBilling.Move(1800, 750, 1500, 300);
}

void Profile::wireChangeHandlers() {
    auto changed = [this] {
        if (quietChanges_) return;
        ProfileChanged = true;
    };
    // The fields the main client list shows: a change there reloads it at save.
    auto listed = [this] {
        if (quietChanges_) return;
        ProfileChanged = true;
        Globals::ClientListChanged = true;
    };
    for (controls::TextBox* t : {&txtLname, &txtFname, &txtHomePhone, &txtWorkPhone, &txtCellPhone, &txtEmail})
        t->Change = listed;
    for (controls::TextBox* t :
         {&txtMname, &txtAddress, &txtAddress2, &txtCity, &txtState, &txtZipCode, &txtFax, &txtCompany, &txtWebPage,
          &txtBillFname, &txtBillMName, &txtBillLname, &txtBillAddress, &txtBillAddress2, &txtBillCity, &txtBillState,
          &TxtBillZipCode, &txtBillHomePHone, &txtBillCellPhone, &txtBillWorkPhone, &txtBillFax, &txtBillEmail,
          &txtBillWebPage, &txtPOnum, &txtDiscount, &txtCard1, &txtExpDate1, &txtCard2, &txtExpDate2,
          &txtShippingFname, &txtShippingMname, &txtshippingLname, &txtShippingAddress, &txtShippingAddress2,
          &txtShippingCity, &txtShippingState, &txtShippingZipCode, &txtShippingHomePhone, &txtShippingCelPhone,
          &txtShippingWorkPhone})
        t->Change = changed;
    // A type picked from the list counts as an edit too, so it is not
    // dropped unasked.
    cmbPmtType1.Change = changed;
    cmbPmtType2.Change = changed;
}

QString Profile::NameFromBoxes() const { return txtLname.Text() + QStringLiteral(", ") + txtFname.Text(); }

void Profile::Form_Load() { LoadClient(); }

void Profile::LoadClient() {
    vb::Trap(label("Form_Load"), [this] {
        using namespace Globals;
        auto client = SharedClient;
        if (!client) vb::Raise(vb::err::ObjectNotSet);
        const ConnectionScope opened = client->OpenScope();
        // No row (0 included), or a new client asked for: a blank client with
        // the next free number, shown but not reserved; its first save takes
        // the number it gets. The current client stays the one selected.
        const int32_t wanted = NewClientMode ? 0 : CurrentCustNum;
        storedClient_ = client->GetClient(wanted) && wanted > 0;
        SetForm(*client);
        loadedNotes_ = client->Notes;
        loaded_ = client->Snapshot();
        client->CloseCn();
        ShowBalance();

        // The fill ran the change handlers; it is no edit.
        ProfileChanged = false;
        if (storedClient_) CurrentCustName = txtLname.Text().isEmpty() ? QString() : NameFromBoxes();

        // The lists are refilled; the boxes keep the stored types, listed or not.
        ++quietChanges_;
        struct Unquiet {
            int& n;
            ~Unquiet() { --n; }
        } unquiet{quietChanges_};
        const QString type1 = cmbPmtType1.Text(), type2 = cmbPmtType2.Text();
        cmbPmtType1.Clear();
        cmbPmtType2.Clear();
        if (auto types = rsPayTypes; types && types->State() == ado::adStateOpen) {
            types->MoveFirst();
            while (!types->Eof()) {
                const QString t = types->Fields("Type").Value().str();
                cmbPmtType1.AddItem(t);
                cmbPmtType2.AddItem(t);
                types->MoveNext();
            }
        }
        cmbPmtType1.setText(type1);
        cmbPmtType2.setText(type2);

        // A new client starts on the Client tab with its first name.
        if (!storedClient_) {
            SSTab1.setTab(0);
            if (isVisible()) txtFname.SetFocus();
        }
    });
}

void Profile::NameCurrentClient() {
    // A client shown here that is not the current one (a new client not
    // stored yet, or another chosen since) does not rename the current one.
    if (storedClient_ && vb::Val(lblCustNum.Caption()) == Globals::CurrentCustNum)
        Globals::CurrentCustName = NameFromBoxes();
}

void Profile::ShowBalance() {
    if (!storedClient_) {
        lblBalDue.setCaption(QString());
        lblBalDue.setForeColor(0);
        return;
    }
    auto client = Globals::Required(Globals::SharedClient);
    const ConnectionScope opened = client->OpenScope();
    const vb::Currency bal = client->ClientBal(vb::CLng(vb::Variant(lblCustNum.Caption())), vb::Date());
    lblBalDue.setCaption(vb::FormatCurrency(bal));
    lblBalDue.setForeColor(Client::Owes(bal) ? 255 : 0);
}

void Profile::SetForm(const Client& c) {
    vb::Trap(label("SetForm"), [&] {
        lblCustNum.setCaption(QString::number(c.CustNum));
        txtFname.setText(c.fname);
        txtMname.setText(c.Mname);
        txtLname.setText(c.lname);
        txtAddress.setText(c.Address1);
        txtAddress2.setText(c.Address2);
        txtCity.setText(c.City);
        txtState.setText(c.State);
        txtZipCode.setText(c.ZipCode);
        txtHomePhone.setText(c.HomePhone);
        txtCellPhone.setText(c.CelPhone);
        txtWorkPhone.setText(c.WorkPhone);
        txtFax.setText(c.Fax);
        txtEmail.setText(c.Email);
        txtWebPage.setText(c.WebPage);
        txtBillFname.setText(c.BillFname);
        txtBillMName.setText(c.BillMname);
        txtBillLname.setText(c.BillLname);
        txtBillAddress.setText(c.BillAddress1);
        txtBillAddress2.setText(c.BillAddress2);
        txtBillCity.setText(c.Billcity);
        txtBillState.setText(c.BillState);
        TxtBillZipCode.setText(c.BillZipCode);
        txtBillHomePHone.setText(c.BillHomePhone);
        txtBillCellPhone.setText(c.BillCelPhone);
        txtBillWorkPhone.setText(c.BillWorkPhone);
        txtBillFax.setText(c.BillFax);
        txtBillEmail.setText(c.BillEmail);
        txtBillWebPage.setText(c.BillWebPage);
        txtCard1.setText(c.CardNum1);
        txtCard2.setText(c.CardNum2);
        cmbPmtType1.setText(c.PaymentType1);
        cmbPmtType2.setText(c.PaymentType2);
        txtExpDate1.setText(c.ExpDate1);
        txtExpDate2.setText(c.ExpDate2);
        txtDiscount.setText(vb::CStr(vb::Variant(c.Discount)));
        txtCompany.setText(c.Company);
        txtPOnum.setText(c.POnum);
        txtShippingFname.setText(c.ShipFname);
        txtShippingMname.setText(c.ShipMname);
        txtshippingLname.setText(c.ShipLname);
        txtShippingAddress.setText(c.ShipAddress1);
        txtShippingAddress2.setText(c.ShipAddress2);
        txtShippingCity.setText(c.Shipcity);
        txtShippingState.setText(c.ShipState);
        txtShippingZipCode.setText(c.ShipZipCode);
        txtShippingHomePhone.setText(c.ShipHomePhone);
        txtShippingCelPhone.setText(c.ShipCelPhone);
        txtShippingWorkPhone.setText(c.ShipWorkPhone);
    });
}

void Profile::ClearForm() {
    vb::Trap(label("ClearForm"), [this] {
        lblCustNum.setCaption(QString());
        for (controls::TextBox* t :
             {&txtFname, &txtMname, &txtLname, &txtAddress, &txtAddress2, &txtCity, &txtState, &txtZipCode,
              &txtHomePhone, &txtCellPhone, &txtWorkPhone, &txtFax, &txtCompany, &txtEmail, &txtWebPage,
              &txtBillFname, &txtBillMName, &txtBillLname, &txtBillAddress, &txtBillAddress2, &txtBillCity,
              &txtBillState, &TxtBillZipCode, &txtBillHomePHone, &txtBillCellPhone, &txtBillWorkPhone, &txtBillFax,
              &txtBillEmail, &txtBillWebPage, &txtPOnum, &txtDiscount, &txtCard1, &txtExpDate1, &txtCard2,
              &txtExpDate2, &txtShippingFname, &txtShippingMname, &txtshippingLname, &txtShippingAddress,
              &txtShippingAddress2, &txtShippingCity, &txtShippingState, &txtShippingZipCode, &txtShippingHomePhone,
              &txtShippingCelPhone, &txtShippingWorkPhone})
            t->setText(QString());
        cmbPmtType1.setText(QString());
        cmbPmtType2.setText(QString());
    });
}

bool Profile::SaveProfile() {
    bool saved = false;
    vb::Trap(label("btnSave_Click"), [&] {
        using namespace Globals;
        // A local copy: the list reload below replaces the shared instance.
        auto client = SharedClient;
        if (!client) vb::Raise(vb::err::ObjectNotSet);
        const ConnectionScope opened = client->OpenScope();
        // A refused discount saves nothing and keeps every edit.
        double discount = 0;
        if (!ReadDiscount(txtDiscount.Text(), discount)) return;

        const int32_t num = vb::CLng(vb::Variant(lblCustNum.Caption()));
        if (!CheckStillStored(num)) return;
        client->CustNum = num;
        client->fname = txtFname.Text();
        client->Mname = txtMname.Text();
        client->lname = txtLname.Text();
        client->Address1 = txtAddress.Text();
        client->Address2 = txtAddress2.Text();
        client->City = txtCity.Text();
        client->State = txtState.Text();
        client->ZipCode = txtZipCode.Text();
        client->HomePhone = txtHomePhone.Text();
        client->CelPhone = txtCellPhone.Text();
        client->WorkPhone = txtWorkPhone.Text();
        client->Fax = txtFax.Text();
        client->Email = txtEmail.Text();
        client->WebPage = txtWebPage.Text();
        client->BillFname = txtBillFname.Text();
        client->BillMname = txtBillMName.Text();
        client->BillLname = txtBillLname.Text();
        client->BillAddress1 = txtBillAddress.Text();
        client->BillAddress2 = txtBillAddress2.Text();
        client->Billcity = txtBillCity.Text();
        client->BillState = txtBillState.Text();
        client->BillZipCode = TxtBillZipCode.Text();
        client->BillHomePhone = txtBillHomePHone.Text();
        client->BillCelPhone = txtBillCellPhone.Text();
        client->BillWorkPhone = txtBillWorkPhone.Text();
        client->BillFax = txtBillFax.Text();
        client->BillEmail = txtBillEmail.Text();
        client->BillWebPage = txtBillWebPage.Text();
        client->CardNum1 = txtCard1.Text();
        client->CardNum2 = txtCard2.Text();
        client->PaymentType1 = cmbPmtType1.Text();
        client->PaymentType2 = cmbPmtType2.Text();
        client->ExpDate1 = txtExpDate1.Text();
        client->ExpDate2 = txtExpDate2.Text();
        client->Discount = discount;
        client->Company = txtCompany.Text();
        client->POnum = txtPOnum.Text();
        client->ShipFname = txtShippingFname.Text();
        client->ShipMname = txtShippingMname.Text();
        client->ShipLname = txtshippingLname.Text();
        client->ShipAddress1 = txtShippingAddress.Text();
        client->ShipAddress2 = txtShippingAddress2.Text();
        client->Shipcity = txtShippingCity.Text();
        client->ShipState = txtShippingState.Text();
        client->ShipZipCode = txtShippingZipCode.Text();
        client->ShipHomePhone = txtShippingHomePhone.Text();
        client->ShipCelPhone = txtShippingCelPhone.Text();
        client->ShipWorkPhone = txtShippingWorkPhone.Text();
        // No box shows the notes: keep what was stored when the client was read.
        client->Notes = loadedNotes_;

        // The data layer has reported a refused save; nothing more happens.
        // What the user did not change stays as the file holds it now.
        if (!client->SaveClientAccess(storedClient_ ? num : 0, storedClient_ ? &loaded_ : nullptr)) return;
        {
            // The boxes show what was stored, changes from elsewhere included.
            const QScopedValueRollback<int> quiet(quietChanges_, quietChanges_ + 1);
            SetForm(*client);
        }
        loadedNotes_ = client->Notes;
        loaded_ = client->Snapshot();
        if (!storedClient_) {
            // Another copy of the program may have taken the number shown;
            // the client now stored becomes the current one.
            storedClient_ = true;
            lblCustNum.setCaption(QString::number(client->CustNum));
            CurrentCustNum = client->CustNum;
            CurrentCustName = NameFromBoxes();
        }

        NewClientMode = false;
        forms::DoEvents();
        {
            StatusNotice<CustomerSaved> notice;
            forms::Form::get<Customer>().Refresh();
            forms::DoEvents();
            Pause(1);
            if (ClientListChanged) {
                RefreshCustList();
                ClientListChanged = false;
            }
            forms::Form::get<Customer>().Show();
            client->CloseCn();
        }
        // The editor stays in front, on the saved client.
        Refresh();
        raise();
        activateWindow();
        ProfileChanged = false;
        saved = true;
    });
    return saved;
}

void Profile::btnSave_Click() { SaveProfile(); }

bool Profile::CheckStillStored(int32_t num) const {
    if (!storedClient_) return true;
    // Not through the shared instance: it is loading this editor's values.
    if (Client::Exists(num)) return true;
    vb::MsgBox(QStringLiteral("This client has been deleted; it was not saved."), vb::vbOKOnly);
    return false;
}

bool Profile::AskToSave() {
    if (!ProfileChanged) return true;
    // Named from the boxes: the client shown, whoever is current elsewhere.
    const int answer = vb::MsgBox(QStringLiteral("Save Changes to ") + NameFromBoxes() + QStringLiteral("?"),
                                  vb::vbYesNoCancel + vb::vbQuestion + vb::vbDefaultButton2,
                                  QStringLiteral("Save Client Pofile?"));
    if (answer == vb::vbCancel) return false;
    if (answer == vb::vbYes && !SaveProfile()) return false;
    ProfileChanged = false;
    return true;
}

void Profile::btnNewCustomer_Click() {
    vb::Trap(label("btnNewCustomer_Click"), [this] {
        using namespace Globals;
        if (!mainListHasClients()) return;
        NameCurrentClient();
        if (!AskToSave()) return;
        NewClientMode = true;
        ClearForm();
        LoadClient();
    });
}

void Profile::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [this] {
        using namespace Globals;
        if (!mainListHasClients() || !storedClient_) return;
        // The client shown here, whoever has been selected elsewhere since.
        Customer::AskAndDeleteClient(vb::CLng(vb::Variant(lblCustNum.Caption())), NameFromBoxes());
        RefreshCustList();
        forms::Form::Unload(this);
    });
}

void Profile::btnExit_Click() {
    vb::Trap(label("btnExit_Click"), [this] {
        NameCurrentClient();
        if (!AskToSave()) return;
        forms::Form::Unload(this);
    });
}

void Profile::btnNewInvoice_Click() {
    using namespace Globals;
    // Errors are passed over step by step; none may end the command unseen.
    bool goOn = true;
    vb::IgnoreErrors([&] {
        if (ProfileChanged) {
            NameCurrentClient();
            goOn = AskToSave();
        }
    });
    if (!goOn) return;
    if (!storedClient_) {
        vb::MsgBox(QStringLiteral("New Client data must be saved to enter invoice."));
        return;
    }
    bool hasRows = false;
    vb::IgnoreErrors([&] { hasRows = mainListHasClients(); });
    if (!hasRows) return;
    // The invoice is for the client shown here, whoever was selected since.
    vb::IgnoreErrors([this] { Globals::SetCurrentClient(vb::CLng(vb::Variant(lblCustNum.Caption())), NameFromBoxes()); });
    // No invoice for a client that is not stored: ask the data layer whether
    // the row exists rather than trusting the number shown.
    bool found = false;
    if (CurrentCustNum > 0) {
        vb::IgnoreErrors([&] {
            const auto client = SharedClient;
            if (!client) return;
            const ConnectionScope opened = client->OpenScope();
            found = client->GetClient(CurrentCustNum);
        });
    }
    if (!found) {
        vb::MsgBox(QStringLiteral("Select or enter a client first."));
        return;
    }
    // The open invoice goes first; one that keeps a line it could not save stays.
    bool gone = true;
    vb::IgnoreErrors([&] { gone = forms::Form::unload<InvoiceDetail>(); });
    if (!gone) return;
    CurrentInvoiceNum = 0;
    CurrentInvoiceDate = vb::Today();
    CurrentCustName.clear();
    CurrentInvoiceDesc.clear();
    // The discount as shown, saved or not; a refused one opens no invoice.
    if (!ReadDiscount(txtDiscount.Text(), CurrentCustDiscount)) return;
    vb::IgnoreErrors([] { forms::Form::get<InvoiceDetail>().Show(); });
}

void Profile::btnSame_Click() {
    vb::Trap(label("btnSame_Click"), [this] {
        txtBillFname.setText(txtFname.Text());
        txtBillMName.setText(txtMname.Text());
        txtBillLname.setText(txtLname.Text());
        txtBillAddress.setText(txtAddress.Text());
        txtBillAddress2.setText(txtAddress2.Text());
        txtBillCity.setText(txtCity.Text());
        txtBillState.setText(txtState.Text());
        TxtBillZipCode.setText(txtZipCode.Text());
        txtBillHomePHone.setText(txtHomePhone.Text());
        txtBillCellPhone.setText(txtCellPhone.Text());
        txtBillWorkPhone.setText(txtWorkPhone.Text());
        txtBillFax.setText(txtFax.Text());
        txtBillEmail.setText(txtEmail.Text());
        txtBillWebPage.setText(txtWebPage.Text());
    });
}

void Profile::Command1_Click() {
    OptCust.setValue(true);
    SetShippingInfo();
}

void Profile::Command2_Click() {
    OptBilling.setValue(true);
    SetShippingInfo();
}

void Profile::SetShippingInfo() {
    vb::Trap(label("SetShippingInfo"), [this] {
        const bool billing = OptBilling.Value();
        if (!billing && !OptCust.Value()) return;
        txtshippingLname.setText(billing ? txtBillLname.Text() : txtLname.Text());
        txtShippingFname.setText(billing ? txtBillFname.Text() : txtFname.Text());
        txtShippingMname.setText(billing ? txtBillMName.Text() : txtMname.Text());
        txtShippingAddress.setText(billing ? txtBillAddress.Text() : txtAddress.Text());
        txtShippingAddress2.setText(billing ? txtBillAddress2.Text() : txtAddress2.Text());
        txtShippingCity.setText(billing ? txtBillCity.Text() : txtCity.Text());
        txtShippingState.setText(billing ? txtBillState.Text() : txtState.Text());
        txtShippingZipCode.setText(billing ? TxtBillZipCode.Text() : txtZipCode.Text());
        txtShippingHomePhone.setText(billing ? txtBillHomePHone.Text() : txtHomePhone.Text());
        txtShippingCelPhone.setText(billing ? txtBillCellPhone.Text() : txtCellPhone.Text());
        txtShippingWorkPhone.setText(billing ? txtBillWorkPhone.Text() : txtWorkPhone.Text());
    });
}

void Profile::Form_QueryUnload(bool& Cancel, int) {
    // Unsaved edits get the save question on every way out, except when the
    // client itself was deleted (nothing is left to save). Cancel, or a save
    // that is refused, keeps the window and stops whatever closed it.
    if (!AskToSave()) Cancel = true;
}

void Profile::Form_Unload() { Globals::NewClientMode = false; }
