#include "reports/PrtInventorySales.h"
#include "data/Globals.h"
#include "data/Reports.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace reports {

namespace {

// A summed amount; no amount at all counts as nothing.
vb::Currency Money(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return vb::Currency();
    return vb::CCur(v);
}

// The preview reads the period from the pickers. A date typed into a box is
// taken into its picker first, so the report covers the period the boxes
// show; a box left incomplete or impossible shows its picker's date again.
void TakeTypedDate(controls::MaskedEdit& box, controls::DatePicker& picker) {
    vb::Date typed;
    if (controls::MaskedEdit::ParseMdy(box.Text(), typed)) picker.setValue(typed);
    box.setDateValue(picker.Value());
}

} // namespace

const QString InventorySalesFrame::kFormat = QStringLiteral("0.5in|2.75in|^0.75in|>1in;");
const QString InventorySalesFrame::kHeader = QStringLiteral("Item#|Description|Qty|Total Sales;");

InventorySalesFrame::InventorySalesFrame(const QString& name) : name_(name) {
    // One row above the preview: the period, Preview and the exit button.
    Label4.setCaption(QStringLiteral("For Dates:"));
    Label4.Move(120, 105, 900, 255);
    txtBegDate.Move(1140, 60, 900, 315);
    // The pickers show only their drop-down button: the calendar of the box beside them.
    DTbegdate.Move(2040, 60, 285, 315);
    Label1.setCaption(QStringLiteral("-"));
    Label1.setAlignment(2);
    Label1.Move(2350, 105, 200, 255);
    txtEndDate.Move(2580, 60, 900, 315);
    dtEndDate.Move(3480, 60, 285, 315);
    btnGo.setCaption(QStringLiteral("&Preview"));
    btnGo.Move(3920, 45, 1000, 345);
    btnExit.setTop(45);
    VSregistry.setTop(450);
    VSregistry.setHeight(Height() - 800);

    DTbegdate.Change = [this] { DTbegdate_Change(); };
    dtEndDate.Change = [this] { dtEndDate_Change(); };
    btnGo.Click = [this] { btnGo_Click(); };
}

InventorySalesFrame::~InventorySalesFrame() = default;

QString InventorySalesFrame::label(const char* proc) const {
    return name_ + QLatin1Char('.') + QString::fromLatin1(proc) + QStringLiteral(" -");
}

void InventorySalesFrame::Form_Load() {
    vb::Trap(label("Form_Load"), [this] {
        DTbegdate.setValue(vb::Date::fromYmd(2001, 1, 1));
        dtEndDate.setValue(vb::Today());
        txtBegDate.setDateValue(DTbegdate.Value());
        txtEndDate.setDateValue(dtEndDate.Value());
        SetForm();
    });
}

void InventorySalesFrame::DTbegdate_Change() { txtBegDate.setDateValue(DTbegdate.Value()); }

void InventorySalesFrame::dtEndDate_Change() { txtEndDate.setDateValue(dtEndDate.Value()); }

void InventorySalesFrame::btnGo_Click() {
    TakeTypedDate(txtBegDate, DTbegdate);
    TakeTypedDate(txtEndDate, dtEndDate);
    SetForm();
}

void InventorySalesFrame::SetForm() {
    vb::Trap(label("SetForm"), [this] {
        StartPreview();
        reports_ = std::make_unique<Reports>();
        reports_->BegDate = DTbegdate.Value();
        reports_->EndDate = dtEndDate.Value();
        reports_->InitAccess(Globals::DataFilePath());
        reports_->OpenCn();
        // InventoryPreview traps its own errors, so the connection closes
        // whatever happened in it.
        InventoryPreview();
        reports_->CloseCn();
        reports_.reset();
    });
    reports_.reset();
}

ado::RecordsetPtr InventorySalesFrame::SalesToPrint(const QString& sort) {
    ado::RecordsetPtr rs = reports_->rsInventorySales();
    // A failed read has been reported by the data class; saying that the
    // period sold nothing would be wrong.
    if (!rs) {
        forms::Form::Unload(this);
        return nullptr;
    }
    rs->setSort(sort);
    if (rs->RecordCount() < 1) {
        vb::MsgBox(QStringLiteral("No inventory sales for selected time period to print"), vb::vbOKOnly);
        forms::Form::Unload(this);
        return nullptr;
    }
    rs->MoveFirst();
    return rs;
}

void InventorySalesFrame::OpenDocument(const QString& title) {
    printer::PreviewControl& d = VSregistry;
    ReportOpening(d, true);
    // Bold stays on from the header through the period line.
    ReportHeading(d, TitleHeader(title, Globals::CoName), false);
    d.Paragraph(vb::DateToText(DTbegdate.Value()) + QStringLiteral(" - ") + vb::DateToText(dtEndDate.Value()));
    d.Paragraph(QString());
}

void InventorySalesFrame::AddSalesRow(const ado::RecordsetPtr& rs, vb::Currency* total) {
    const vb::Variant sales = rs->Fields("TotalSales").Value();
    if (total) *total += Money(sales);
    // Cell by cell, so a "|" or ";" in a description stays in its cell.
    VSregistry.AddTableCells(kFormat, kHeader,
                             {DocText(rs->Fields("ItemNum").Value()), DocText(rs->Fields("Description").Value()),
                              DocText(rs->Fields("Qty").Value()),
                              sales.isNull() || sales.isEmpty() ? QString() : vb::FormatCurrency(Money(sales))});
}

} // namespace reports

PrtInventorySales::PrtInventorySales() : InventorySalesFrame(QStringLiteral("PrtInventorySales")) {
    setCaption(QStringLiteral("Print Inventory Sales"));
}

void PrtInventorySales::InventoryPreview() {
    vb::Trap(label("InventoryPreview"), [this] {
        const ado::RecordsetPtr rs = SalesToPrint(QStringLiteral("Category, TotalSales desc"));
        if (!rs) return;
        printer::PreviewControl& d = VSregistry;
        OpenDocument(QStringLiteral("Inventory Sales"));
        while (!rs->Eof()) {
            const QString category = reports::DocText(rs->Fields("Category").Value());
            d.setFontBold(true);
            d.Paragraph(QString());
            d.Paragraph(QString());
            // The title stays with its table's header and first row.
            d.setKeepWithNext(true);
            d.Paragraph(category);
            d.Paragraph(QString());
            d.setKeepWithNext(false);
            d.setFontBold(false);
            d.StartTable();
            d.setTableBorder(printer::tbBoxHeader);
            // The sort ignores case, so the group does too: "Tools" and
            // "tools" sort together and form one group.
            while (!rs->Eof() &&
                   reports::DocText(rs->Fields("Category").Value()).compare(category, Qt::CaseInsensitive) == 0) {
                AddSalesRow(rs, &total_);
                rs->MoveNext();
            }
            d.EndTable();
        }
        d.Paragraph(QString());
        d.setFontBold(true);
        d.Paragraph(QStringLiteral("Grand Total Inventory Sales:  ") + vb::FormatCurrency(total_));
        d.EndDoc();
    });
}
