#include "data/Globals.h"
#include <QLocale>
#include "data/RecordEvents.h"
#include "forms/App.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

namespace Globals {

int32_t CurrentCustNum = 0;
QString CurrentCustName;
int32_t CurrentInvoiceNum = 0;
vb::Date CurrentInvoiceDate;
QString CurrentInvoiceDesc;
double CurrentCustDiscount = 0;
int32_t CurrentCatNum = 0;
vb::Date CurrentPayDate;
vb::Date CurrentSinceDate;
int16_t AgingDays = 0;
int32_t PickRow = 0;
QString DateCaller;
QString PrintFilterField;
QString PrintFilterValue;

bool DeleteInvoicePending = false;
bool DeleteItemPending = false;
bool RowChanged = false;
bool ClientListChanged = false;
bool NewClientMode = false;
bool ClientPicked = false;
bool VendorPicked = false;
bool DatePicked = false;
bool InvoiceChanged = false;
bool InvoicesUpdated = false;
int32_t ClientCount = 0;
QString CoName;
double StateTaxRate = 0;
QString IniPath;

std::shared_ptr<Client> SharedClient;
std::shared_ptr<Invoice> SharedInvoice;
std::shared_ptr<Inventory> SharedInventory;
std::shared_ptr<Vendor> SharedVendor;
std::shared_ptr<cSetup> SharedSetup;

ado::RecordsetPtr rsClients;
ado::RecordsetPtr rsClientList;
ado::RecordsetPtr rsInvoices;
ado::RecordsetPtr rsInvItems;
ado::RecordsetPtr rsInvCats;
ado::RecordsetPtr rsBackOrders;
ado::RecordsetPtr rsPayTypes;
ado::RecordsetPtr rsExpTypes;
ado::RecordsetPtr rsShipping;
ado::RecordsetPtr rsVendors;
ado::RecordsetPtr rsLedger;

void ResetState() {
    CurrentCustNum = 0; CurrentCustName.clear(); CurrentInvoiceNum = 0; CurrentInvoiceDate = vb::Date();
    CurrentInvoiceDesc.clear(); CurrentCustDiscount = 0; CurrentCatNum = 0; CurrentPayDate = vb::Date();
    CurrentSinceDate = vb::Date(); AgingDays = 0; PickRow = 0; DateCaller.clear();
    PrintFilterField.clear(); PrintFilterValue.clear();
    DeleteInvoicePending = DeleteItemPending = RowChanged = ClientListChanged = NewClientMode = false;
    ClientPicked = VendorPicked = DatePicked = InvoiceChanged = InvoicesUpdated = false;
    ClientCount = 0; CoName.clear(); StateTaxRate = 0; IniPath.clear();
    SharedClient.reset(); SharedInvoice.reset(); SharedInventory.reset(); SharedVendor.reset(); SharedSetup.reset();
    rsClients.reset(); rsClientList.reset(); rsInvoices.reset(); rsInvItems.reset(); rsInvCats.reset();
    rsBackOrders.reset(); rsPayTypes.reset(); rsExpTypes.reset(); rsShipping.reset(); rsVendors.reset();
    rsLedger.reset();
}

bool ReadDiscount(const QString& text, double& discount) {
    return ReadPercent(text, QStringLiteral("Discount%"), discount);
}

bool ReadPercent(const QString& text, const QString& box, double& percent) {
    double x = 0;
    // The locale's own decimal separator ("٫") reads as "." does.
    QString plain = text;
    plain.replace(QLocale().decimalPoint(), QStringLiteral("."));
    if (!vb::TryPlainNumber(plain, x) || x < 0 || x > 100) {
        vb::MsgBox(box + QStringLiteral(" must be a number from 0 to 100."), vb::vbOKOnly);
        return false;
    }
    percent = x;
    return true;
}

void SetCurrentClient(int32_t custNum, const QString& name) {
    CurrentCustNum = custNum;
    CurrentCustName = name;
    RecordEvents::Publish({RecordEvents::CurrentClientChanged, custNum, custNum});
}

QString DataFilePath() { return forms::AppPath() + QStringLiteral("\\Vantrel.mdb"); }

} // namespace Globals
