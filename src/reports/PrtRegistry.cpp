#include "reports/PrtRegistry.h"
#include <memory>
#include <QFrame>
#include "data/Globals.h"
#include "data/Vendor.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) {
    return QStringLiteral("PrtRegistry.") + QString::fromLatin1(proc) + QStringLiteral(" -");
}

// The window as designed: the criteria panel beside a preview wide enough
// for a full-size page.
constexpr int kPanelWidth = 2700;
constexpr int kPanelHeight = 4350;
constexpr int kWindowWidth = 13500 + kPanelWidth;
constexpr int kWindowHeight = 11000;

void separator(controls::Label& line) {
    line.setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line.setText(QString());
}

// One listing: a row per entry (cells from the fields, the amount field
// last as currency text), then a blank row and the total row, the entry
// rows 0.2in high. Cell by cell, so a name holding "|" or ";" stays whole.
void Listing(printer::PageDocument& d, int border, const QString& format, const QString& header,
             const QStringList& fields, const char* amountField, const QStringList& totalRow, int amountColumn) {
    const ado::RecordsetPtr rs = Globals::rsLedger;
    if (!rs) vb::Raise(vb::err::ObjectNotSet);
    const QString amountName = QString::fromLatin1(amountField);
    d.StartTable();
    d.setTableBorder(border);
    int32_t rows = 0;
    vb::Currency total;
    {
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            QStringList cells;
            for (const QString& f : fields) cells << reports::DocText(rs->Fields(f).Value());
            const vb::Currency amount = vb::CCur(rs->Fields(amountName).Value());
            cells << vb::FormatCurrency(amount);
            d.AddTableCells(format, header, cells);
            total += amount;
            ++rows;
        }
    }
    if (rows > 0) {
        const int columns = static_cast<int>(totalRow.size());
        d.AddTableCells(format, header, QStringList(QList<QString>(columns, QString())));
        QStringList last = totalRow;
        last[amountColumn] = vb::FormatCurrency(total);
        d.AddTableCells(format, header, last);
        for (int32_t r = 1; r <= rows; ++r) d.setTableCell(printer::tcRowHeight, r, QStringLiteral("0.2in"));
    }
    d.EndTable();
    d.EndDoc();
}

// The opening and heading every listing shares, then an empty paragraph.
void Opening(printer::PageDocument& d, const printer::HeaderParts& header) {
    reports::ReportOpening(d, true);
    reports::ReportHeading(d, header);
    d.Paragraph(QString());
}

// The vendor or category goes in as a value: a "|" in a name is text.
printer::HeaderParts PaymentsHeader() {
    return {QStringLiteral("Registry entries for: ") + Globals::PrintFilterValue, QString(),
            vb::DateToText(vb::Today())};
}

} // namespace

PrtRegistry::PrtRegistry() {
    setCaption(QStringLiteral("Print Registry"));
    setSidePanel(&Frame1);
    setWidth(kWindowWidth);
    setHeight(kWindowHeight);

    Frame1.setCaption(QStringLiteral("Print"));
    OptDeposits.setCaption(QStringLiteral("Deposits"));
    lblPayments.setCaption(QStringLiteral("Payments To:"));
    OptAll.setCaption(QStringLiteral("All"));
    OptVendor.setCaption(QStringLiteral("Vendor"));
    OptCategory.setCaption(QStringLiteral("Category"));
    lblCrit.setCaption(QStringLiteral("Vendor/Category:"));
    lblSince.setCaption(QStringLiteral("Since:"));
    btnGo.setCaption(QStringLiteral("&Preview"));
    separator(lnPayments);
    separator(lnSince);

    // Below the exit button, which keeps the window's top right corner.
    Frame1.Move(kWindowWidth - kPanelWidth - 200, 420, kPanelWidth, kPanelHeight);
    OptDeposits.Move(150, 330, 2400, 285);
    lnPayments.Move(150, 720, 2400, 30);
    lblPayments.Move(150, 840, 2400, 255);
    OptAll.Move(300, 1110, 2250, 285);
    OptVendor.Move(300, 1410, 2250, 285);
    OptCategory.Move(300, 1710, 2250, 285);
    lblCrit.Move(150, 2100, 2400, 255);
    CmbPrintCrit.Move(150, 2370, 2400, 330);
    lnSince.Move(150, 2850, 2400, 30);
    lblSince.Move(150, 2970, 2400, 255);
    txtSinceDate.Move(150, 3240, 1000, 330);
    DTPicker1.Move(1220, 3240, 1330, 330);
    btnGo.Move(150, 3780, 2400, 380);

    btnGo.Click = [this] { btnGo_Click(); };
    OptAll.Click = [this] { OptAll_Click(); };
    OptVendor.Click = [this] { OptVendor_Click(); };
    OptCategory.Click = [this] { OptCategory_Click(); };
    OptDeposits.Click = [this] { OptDeposits_Click(); };
    DTPicker1.Change = [this] { DTPicker1_Change(); };
    setKeyboardOrder({&OptDeposits, &OptAll, &OptVendor, &OptCategory, &CmbPrintCrit, &txtSinceDate, &DTPicker1,
                      &btnGo, &btnExit});
}

vb::Date PrtRegistry::DefaultSinceDate() {
    return vb::Date::fromYmd((vb::Today() - 365).year(), 1, 1);
}

void PrtRegistry::Form_Load() {
    vb::Trap(label("Form_Load"), [this] {
        Globals::rsLedger = std::make_shared<ado::Recordset>();

        // The option is selected here with its own steps, not through its
        // click, so a failed fill is told once.
        const QString mode = Globals::PrintFilterField;
        loading_ = true;
        if (mode == QLatin1String("All")) OptAll.setValue(true);
        else if (mode == QLatin1String("Vendor")) OptVendor.setValue(true);
        else if (mode == QLatin1String("Category")) OptCategory.setValue(true);
        else if (mode == QLatin1String("Deposit")) OptDeposits.setValue(true);
        loading_ = false;
        if (mode == QLatin1String("All")) {
            CmbPrintCrit.setEnabled(false);
        } else if (mode == QLatin1String("Vendor")) {
            CmbPrintCrit.setEnabled(true);
            GetVendors();
        } else if (mode == QLatin1String("Category")) {
            CmbPrintCrit.setEnabled(true);
            GetCategories();
        } else if (mode == QLatin1String("Deposit")) {
            CmbPrintCrit.setEnabled(false);
        }
        CmbPrintCrit.setText(Globals::PrintFilterValue);

        Globals::CurrentSinceDate = DefaultSinceDate();
        DTPicker1.setValue(Globals::CurrentSinceDate);
        txtSinceDate.setDateValue(Globals::CurrentSinceDate);

        if (Query()) Layout();
    });
    loading_ = false;
}

void PrtRegistry::btnGo_Click() {
    vb::Trap(label("btnGo_Click"), [this] {
        Globals::PrintFilterValue = CmbPrintCrit.Text();
        if (Query()) Layout();
    });
}

bool PrtRegistry::Query() {
    // Read before the connection opens, so a box without a date leaves
    // nothing open and the listing on show as it was.
    const vb::Date since = txtSinceDate.DateValue();
    const std::shared_ptr<Vendor> vendor = Globals::SharedVendor;
    if (!vendor) vb::Raise(vb::err::ObjectNotSet);
    const ConnectionScope opened = vendor->OpenScope();
    ado::RecordsetPtr rs = vendor->LedgerEntries(Globals::PrintFilterField, Globals::PrintFilterValue, since);
    // The member has told its failure in its own box; the listing on show
    // stays as it was rather than a second box telling it again.
    if (!rs) return false;
    Globals::rsLedger = std::move(rs);
    return true;
}

void PrtRegistry::Layout() {
    const QString mode = Globals::PrintFilterField;
    if (mode == QLatin1String("Deposit")) DepositPreview();
    else if (mode == QLatin1String("Vendor") || mode == QLatin1String("All")) VendorPaymentPreview();
    else if (mode == QLatin1String("Category")) CategoryPaymentPreview();
}

// All vendors by this option only, never by a name: a vendor may be
// called "All".
void PrtRegistry::OptAll_Click() {
    if (loading_) return;
    Globals::PrintFilterValue = QStringLiteral("all");
    CmbPrintCrit.setText(QStringLiteral("All"));
    CmbPrintCrit.setEnabled(false);
    Globals::PrintFilterField = QStringLiteral("All");
}

void PrtRegistry::OptVendor_Click() {
    if (loading_) return;
    Globals::PrintFilterField = QStringLiteral("Vendor");
    CmbPrintCrit.setEnabled(true);
    GetVendors();
}

void PrtRegistry::OptCategory_Click() {
    if (loading_) return;
    Globals::PrintFilterField = QStringLiteral("Category");
    CmbPrintCrit.setEnabled(true);
    GetCategories();
}

void PrtRegistry::OptDeposits_Click() {
    if (loading_) return;
    Globals::PrintFilterField = QStringLiteral("Deposit");
}

void PrtRegistry::DTPicker1_Change() { txtSinceDate.setDateValue(DTPicker1.Value()); }

// Its own list, read when asked for through the shared vendor instance: the
// register drops the shared lists when it closes, and the report outlives it.
void PrtRegistry::FillCombo(ado::RecordsetPtr (Vendor::*list)(), const char* field) {
    const std::shared_ptr<Vendor> vendor = Globals::SharedVendor;
    if (!vendor) vb::Raise(vb::err::ObjectNotSet);
    ado::RecordsetPtr rs;
    {
        const ConnectionScope opened = vendor->OpenScope();
        rs = ((*vendor).*list)();
    }
    CmbPrintCrit.Clear();
    CmbPrintCrit.setText(QString());
    // A list that could not be read has been reported by its reader.
    if (!rs) vb::Raise(vb::err::ObjectNotSet);
    const QString name = QString::fromLatin1(field);
    // An empty list leaves the combo empty.
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) CmbPrintCrit.AddItem(reports::DocText(rs->Fields(name).Value()));
}

void PrtRegistry::GetVendors() {
    vb::Trap(label("GetVendors"), [this] { FillCombo(&Vendor::GetAllVendors, "Company"); });
}

// The categories entries use as well as the list's: a type renamed or
// deleted since leaves its entries under their text.
void PrtRegistry::GetCategories() {
    vb::Trap(label("GetCategories"), [this] { FillCombo(&Vendor::LedgerCategories, "Category"); });
}

void PrtRegistry::VendorPaymentPreview() {
    vb::Trap(label("VendorPaymentPreview"), [this] {
        printer::PreviewControl& d = VSregistry;
        Opening(d, PaymentsHeader());
        if (Globals::PrintFilterField == QLatin1String("All"))
            Listing(d, printer::tbGrid, QStringLiteral("^1in|^0.75in|1.75in|2in|>1in;"),
                    QStringLiteral("Date|Num|Vendor|Category|Payment;"),
                    {QStringLiteral("Date"), QStringLiteral("Checknum"), QStringLiteral("Vendor"),
                     QStringLiteral("Category")},
                    "Payment", {QString(), QString(), QString(), QStringLiteral("Total"), QString()}, 4);
        else
            Listing(d, printer::tbGrid, QStringLiteral("^1in|^0.75in|2in|>1in;"),
                    QStringLiteral("Date|Num|Category|Payment;"),
                    {QStringLiteral("Date"), QStringLiteral("Checknum"), QStringLiteral("Category")}, "Payment",
                    {QString(), QString(), QStringLiteral("Total"), QString()}, 3);
    });
}

void PrtRegistry::CategoryPaymentPreview() {
    vb::Trap(label("CategoryPaymentPreview"), [this] {
        printer::PreviewControl& d = VSregistry;
        Opening(d, PaymentsHeader());
        Listing(d, printer::tbGrid, QStringLiteral("^1in|^0.75in|1.75in|>1in;"), QStringLiteral("Date|Num|Vendor|Payment;"),
                {QStringLiteral("Date"), QStringLiteral("Checknum"), QStringLiteral("Vendor")}, "Payment",
                {QString(), QString(), QStringLiteral("Total"), QString()}, 3);
    });
}

void PrtRegistry::DepositPreview() {
    vb::Trap(label("DepositPreview"), [this] {
        printer::PreviewControl& d = VSregistry;
        Opening(d, {Globals::PrintFilterValue, QStringLiteral("Registry Report"), vb::DateToText(vb::Today())});
        // The amount is the middle column here, Notes after it.
        const ado::RecordsetPtr rs = Globals::rsLedger;
        if (!rs) vb::Raise(vb::err::ObjectNotSet);
        const QString format = QStringLiteral("1in|>1in|3in;");
        const QString header = QStringLiteral("Date|Deposit|Notes;");
        d.StartTable();
        d.setTableBorder(printer::tbBoxHeader);
        int32_t rows = 0;
        vb::Currency total;
        {
            for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
                const vb::Currency amount = vb::CCur(rs->Fields(QStringLiteral("Deposit")).Value());
                d.AddTableCells(format, header,
                                {reports::DocText(rs->Fields(QStringLiteral("Date")).Value()), vb::FormatCurrency(amount),
                                 reports::DocText(rs->Fields(QStringLiteral("Notes")).Value())});
                total += amount;
                ++rows;
            }
        }
        if (rows > 0) {
            d.AddTableCells(format, header, {QString(), QString(), QString()});
            d.AddTableCells(format, header, {QStringLiteral("Total"), vb::FormatCurrency(total), QString()});
            for (int32_t r = 1; r <= rows; ++r) d.setTableCell(printer::tcRowHeight, r, QStringLiteral("0.2in"));
        }
        d.EndTable();
        d.EndDoc();
    });
}
