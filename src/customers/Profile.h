#pragma once
// The client editor: one client's contact, billing and shipping details on
// three tabs, with save, new client, delete, new invoice and the copy
// buttons. It shows the client CurrentCustNum names (0: a new client).
#include <QString>
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/TabStrip.h"
#include "controls/TextBox.h"
#include "data/Client.h"
#include "data/RecordEvents.h"
#include "forms/Form.h"

class Client;

class Profile : public forms::Form {
    Q_OBJECT
public:
    Profile();
    ~Profile() override;

    // ---- Top row ----
    controls::Label lblBalDueCaption{this};
    controls::Label lblBalDue{this};
    controls::ToolButton btnSave{this};
    controls::ToolButton btnNewCustomer{this};
    controls::ToolButton btnDelete{this};
    controls::ToolButton btnNewInvoice{this};
    controls::ToolButton btnExit{this};
    controls::TabStrip SSTab1{this};

    // ---- Tab "Client" ----
    QWidget* pageClient = SSTab1.AddTab(QStringLiteral("Client"));
    controls::Label lblCustNumCaption{pageClient};
    controls::Label lblCustNum{pageClient};
    controls::Frame fraName{pageClient};
    controls::Label lblFname{&fraName}, lblMname{&fraName}, lblLname{&fraName};
    controls::TextBox txtFname{&fraName}, txtMname{&fraName}, txtLname{&fraName};
    controls::Frame fraAddress{pageClient};
    controls::Label lblAddress{&fraAddress}, lblAddress2{&fraAddress}, lblCity{&fraAddress}, lblState{&fraAddress},
        lblZipCode{&fraAddress};
    controls::TextBox txtAddress{&fraAddress}, txtAddress2{&fraAddress}, txtCity{&fraAddress}, txtState{&fraAddress},
        txtZipCode{&fraAddress};
    controls::Frame fraComm{pageClient};
    controls::Label lblHomePhone{&fraComm}, lblCellPhone{&fraComm}, lblWorkPhone{&fraComm}, lblFax{&fraComm},
        lblCompany{&fraComm}, lblEmail{&fraComm}, lblWebPage{&fraComm};
    controls::TextBox txtHomePhone{&fraComm}, txtCellPhone{&fraComm}, txtWorkPhone{&fraComm}, txtFax{&fraComm},
        txtCompany{&fraComm}, txtEmail{&fraComm}, txtWebPage{&fraComm};

    // ---- Tab "Billing" ----
    QWidget* pageBilling = SSTab1.AddTab(QStringLiteral("Billing"));
    controls::Frame fraBillName{pageBilling};
    controls::Label lblBillFname{&fraBillName}, lblBillMname{&fraBillName}, lblBillLname{&fraBillName};
    controls::TextBox txtBillFname{&fraBillName}, txtBillMName{&fraBillName}, txtBillLname{&fraBillName};
    controls::Frame fraBillAddress{pageBilling};
    controls::Label lblBillAddress{&fraBillAddress}, lblBillAddress2{&fraBillAddress}, lblBillCity{&fraBillAddress},
        lblBillState{&fraBillAddress}, lblBillZipCode{&fraBillAddress};
    controls::TextBox txtBillAddress{&fraBillAddress}, txtBillAddress2{&fraBillAddress}, txtBillCity{&fraBillAddress},
        txtBillState{&fraBillAddress}, TxtBillZipCode{&fraBillAddress};
    controls::Frame fraBillComm{pageBilling};
    controls::Label lblBillHomePhone{&fraBillComm}, lblBillCellPhone{&fraBillComm}, lblBillWorkPhone{&fraBillComm},
        lblBillFax{&fraBillComm}, lblBillEmail{&fraBillComm}, lblBillWebPage{&fraBillComm};
    controls::TextBox txtBillHomePHone{&fraBillComm}, txtBillCellPhone{&fraBillComm}, txtBillWorkPhone{&fraBillComm},
        txtBillFax{&fraBillComm}, txtBillEmail{&fraBillComm}, txtBillWebPage{&fraBillComm};
    controls::Label lblPOnum{pageBilling};
    controls::TextBox txtPOnum{pageBilling};
    controls::Label lblDiscount{pageBilling};
    controls::TextBox txtDiscount{pageBilling};
    controls::CommandButton btnSame{pageBilling};
    controls::Frame fraPayment1{pageBilling};
    controls::Label lblPmtType1{&fraPayment1}, lblCard1{&fraPayment1}, lblExpDate1{&fraPayment1};
    controls::ComboBox cmbPmtType1{&fraPayment1};
    controls::TextBox txtCard1{&fraPayment1}, txtExpDate1{&fraPayment1};
    controls::Frame fraPayment2{pageBilling};
    controls::Label lblPmtType2{&fraPayment2}, lblCard2{&fraPayment2}, lblExpDate2{&fraPayment2};
    controls::ComboBox cmbPmtType2{&fraPayment2};
    controls::TextBox txtCard2{&fraPayment2}, txtExpDate2{&fraPayment2};

    // ---- Tab "Shipping" ----
    QWidget* pageShipping = SSTab1.AddTab(QStringLiteral("Shipping"));
    controls::Frame fraShipName{pageShipping};
    controls::Label lblShipFname{&fraShipName}, lblShipMname{&fraShipName}, lblShipLname{&fraShipName};
    controls::TextBox txtShippingFname{&fraShipName}, txtShippingMname{&fraShipName}, txtshippingLname{&fraShipName};
    controls::Frame fraShipAddress{pageShipping};
    controls::Label lblShipAddress{&fraShipAddress}, lblShipAddress2{&fraShipAddress}, lblShipCity{&fraShipAddress},
        lblShipState{&fraShipAddress}, lblShipZipCode{&fraShipAddress};
    controls::TextBox txtShippingAddress{&fraShipAddress}, txtShippingAddress2{&fraShipAddress},
        txtShippingCity{&fraShipAddress}, txtShippingState{&fraShipAddress}, txtShippingZipCode{&fraShipAddress};
    controls::Frame fraShipComm{pageShipping};
    controls::Label lblShipHomePhone{&fraShipComm}, lblShipCellPhone{&fraShipComm}, lblShipWorkPhone{&fraShipComm};
    controls::TextBox txtShippingHomePhone{&fraShipComm}, txtShippingCelPhone{&fraShipComm},
        txtShippingWorkPhone{&fraShipComm};
    controls::Frame fraSameAs{pageShipping};
    controls::CommandButton Command1{&fraSameAs};
    controls::CommandButton Command2{&fraSameAs};
    controls::OptionButton OptCust{&fraSameAs};
    controls::OptionButton OptBilling{&fraSameAs};

    // True while the boxes hold edits not yet saved.
    bool ProfileChanged = false;

    void Form_Load() override;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override;
    void Form_Unload() override;

    void btnSave_Click();
    void btnNewCustomer_Click();
    void btnDelete_Click();
    void btnNewInvoice_Click();
    void btnExit_Click();
    void btnSame_Click();
    void Command1_Click();
    void Command2_Click();

    // The save; false when it stopped (nothing saved, or the data file refused).
    bool SaveProfile();

private:
    // Reads the client CurrentCustNum into the boxes (also after New Client).
    void LoadClient();
    void SetForm(const Client& c);
    void ClearForm();
    void SetShippingInfo();
    // The unsaved-changes question; false when the command must end (Cancel,
    // or Yes with a save that failed).
    bool AskToSave();
    QString NameFromBoxes() const;
    // Every box, for the change handlers and Clear.
    void wireChangeHandlers();
    void layoutControls();

    // Refuses with the message when the client this editor loaded or saved
    // has been deleted since (a new client is not stored yet).
    bool CheckStillStored(int32_t num) const;

    // The current client's name from the boxes, when they show that client.
    void NameCurrentClient();
    // Shows the stored client's balance in "Balance Due:" (empty for a new one).
    void ShowBalance();

    RecordEvents::Subscription watch_;   // closes the editor when its client is deleted
    bool balanceQueued_ = false;         // its balance is to be read again
    bool storedClient_ = false;          // the client row was read or written here
    QString loadedNotes_;   // the stored notes, which no box shows
    Client::Values loaded_;  // the client as read, to tell the user's changes
    int quietChanges_ = 0;  // refilling the payment lists is no edit
};
