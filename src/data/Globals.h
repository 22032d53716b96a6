#pragma once
// State shared by every window: the current selections, flags, the shared
// data-access instances and the shared record sets.
#include <cstdint>
#include <functional>
#include <memory>
#include <QString>
#include <QStringList>
#include "ado/Recordset.h"
#include "vb/Date.h"
#include "vb/RuntimeError.h"

class Client;
class Invoice;
class Inventory;
class Vendor;
class cSetup;

namespace Globals {

// Selections
extern int32_t CurrentCustNum;        // 0 none/new, -1 all clients
extern QString CurrentCustName;
extern int32_t CurrentInvoiceNum;     // 0 a new invoice
extern vb::Date CurrentInvoiceDate;
extern QString CurrentInvoiceDesc;
extern double CurrentCustDiscount;
extern int32_t CurrentCatNum;
extern vb::Date CurrentPayDate;
extern vb::Date CurrentSinceDate;
extern int16_t AgingDays;
extern int32_t PickRow;
extern QString DateCaller;
// The register report's filter. Field "All" (the payments to every vendor),
// "Vendor", "Category" or "Deposit"; Value the vendor or category (for
// "All" and "Deposit" only shown in the heading).
extern QString PrintFilterField;
extern QString PrintFilterValue;

// Flags and counters
extern bool DeleteInvoicePending;
extern bool DeleteItemPending;
extern bool RowChanged;
extern bool ClientListChanged;
extern bool NewClientMode;
extern bool ClientPicked;
extern bool VendorPicked;          // the vendor picker wrote into its caller's grid
extern bool DatePicked;
extern bool InvoiceChanged;
extern bool InvoicesUpdated;
extern int32_t ClientCount;
extern QString CoName;
extern double StateTaxRate;
extern QString IniPath;

// Shared data-access instances
extern std::shared_ptr<Client> SharedClient;
extern std::shared_ptr<Invoice> SharedInvoice;
extern std::shared_ptr<Inventory> SharedInventory;
extern std::shared_ptr<Vendor> SharedVendor;
extern std::shared_ptr<cSetup> SharedSetup;

// A shared instance that must be there ("Object variable not set" when it is
// not). The copy keeps it alive while a reload replaces the shared one.
template <class T>
std::shared_ptr<T> Required(std::shared_ptr<T> instance) {
    if (!instance) vb::Raise(vb::err::ObjectNotSet);
    return instance;
}

// Shared record sets
extern ado::RecordsetPtr rsClients;
extern ado::RecordsetPtr rsClientList;
extern ado::RecordsetPtr rsInvoices;
extern ado::RecordsetPtr rsInvItems;
extern ado::RecordsetPtr rsInvCats;
extern ado::RecordsetPtr rsBackOrders;
extern ado::RecordsetPtr rsPayTypes;
extern ado::RecordsetPtr rsExpTypes;
extern ado::RecordsetPtr rsShipping;
extern ado::RecordsetPtr rsVendors;
extern ado::RecordsetPtr rsLedger;

// The data file in the program folder, as callers write it.
QString DataFilePath();

// One value of the settings file (256-character buffer); a missing file or
// key gives the default, a key with an empty value gives "".
QString ReadIniString(const QString& Section, const QString& Key, const QString& Default, const QString& FileName);
// Writes one key (the windows' geometry, the backup folder); false when the
// settings file could not be written, which then stays as it was.
bool WriteIniString(const QString& Section, const QString& Key, const QString& Value, const QString& FileName);
// The single-precision text geometry is written with ("1500", "7.5").
QString SingleText(double value);

// A window's place in twips as a settings section keeps it ("LEFT", "TOP",
// "WIDTH", "HEIGHT"; defaults 100, 100, 8000, 6000), read with Val.
struct WindowGeometry { double Left, Top, Width, Height; };
WindowGeometry ReadWindowGeometry(const QString& Section, const QString& FileName);
void WriteWindowGeometry(const QString& Section, int Left, int Top, int Width, int Height, const QString& FileName);

// The one reading of a discount box (client and invoice): a number from 0
// to 100 with "." or "," as the decimal point. Any other text shows the
// refusal and gives false, leaving discount alone.
bool ReadDiscount(const QString& text, double& discount);

// Makes a client the current one (CurrentCustNum and CurrentCustName) and
// tells the windows, so the main list highlights it.
void SetCurrentClient(int32_t custNum, const QString& name);

// Loaders that refill the shared lists and the main list grids.
void RefreshCustList();
void GetInventory(int32_t& CatNum, int32_t& ItemNum);
// The shared lists and the company's name and tax rate; the name and rate are
// read again whenever the company record is saved.
void SetupInit();
// The sales list of the current client: invoices dated after SinceDate, the
// balance due, and first the pending invoice delete.
void GetInvoices(vb::Date& SinceDate);
void GetInvoices(const vb::Date& SinceDate);
// The sales list of every client, dated after the list's since-date box.
void GetAllInvoices();

// After the data file's content was replaced: the shared lists start-up
// loads and, when the main window is open, its client list, read anew.
void ReloadSharedLists();

// Puts every shared variable back to its start value and drops the shared
// instances and record sets (tests, and a clean start).
void ResetState();

// The tables every data file holds; a file without one of them is not ours.
QStringList DataTables();

// Repair and compaction of the data file in place, after a checked "BackupOf" copy.
bool CompactDatabase(const QString& dbPath);
// "1023 bytes", "1.13 KB", "1.00 MB", "1.00 GB".
QString FormatFileSize(int64_t size);
// Waits while pumping events, on a monotonic clock.
void Pause(int16_t seconds);

// Tests replace the monotonic clock Pause measures with.
void setPauseClock(std::function<double()> secondsNow);

namespace testing {
// Called by CompactDatabase after the "BackupOf" copy is written and checked
// and before the data file is compacted; a test throws from it to see that a
// failed compaction leaves the data file as it was. Empty in the program.
extern std::function<void()> AfterCompactCopy;
} // namespace testing

} // namespace Globals
