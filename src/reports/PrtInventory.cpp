#include "reports/PrtInventory.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {
// A price as currency text; a missing one prints as nothing.
QString MoneyText(const vb::Variant& v) {
    if (v.isNull() || v.isEmpty()) return QString();
    return vb::FormatCurrency(vb::CCur(v));
}
} // namespace

const QString PrtInventory::kFormat = QStringLiteral(">0.5in|2.75in|>1in|^0.75in|^0.75in|1.75in;");
const QString PrtInventory::kHeader = QStringLiteral("Item#|Description|Charge|Par|In Stock|Warranty;");

PrtInventory::PrtInventory() { setCaption(QStringLiteral("Print Inventory")); }

PrtInventory::~PrtInventory() = default;

void PrtInventory::Form_Load() {
    vb::Trap(QStringLiteral("PrtInventory.Form_Load -"), [this] {
        inventory_ = std::make_unique<Inventory>();
        inventory_->InitAccess(Globals::DataFilePath());
        inventory_->OpenCn();
        rsCats_ = inventory_->rsCategories();
        InventoryPreview();
    });
}

void PrtInventory::InventoryPreview() {
    vb::Trap(QStringLiteral("PrtInventory.InventoryPreview -"), [this] {
        // A failed read has been reported by the data class; there is
        // nothing to print and no second message to give.
        if (!rsCats_) {
            forms::Form::Unload(this);
            return;
        }
        if (rsCats_->RecordCount() < 1) {
            vb::MsgBox(QStringLiteral("No inventory in database to print"), vb::vbOKOnly);
            forms::Form::Unload(this);
            return;
        }
        rsCats_->MoveFirst();
        printer::PreviewControl& d = VSregistry;
        reports::ReportOpening(d, true);
        // Bold stays on from the header to the end of the first category title.
        reports::ReportHeading(d, reports::TitleHeader(QStringLiteral("Inventory"), Globals::CoName), false);
        d.Paragraph(QString());

        while (!rsCats_->Eof()) {
            rsItems_ = inventory_->rsInventory(vb::CLng(rsCats_->Fields(0).Value()));
            // A category whose items could not be read must not vanish from
            // the list as if it were empty.
            if (!rsItems_) vb::Raise(vb::err::ObjectNotSet);
            if (rsItems_->RecordCount() >= 1) {
                d.setFontBold(true);
                d.Paragraph(QString());
                d.Paragraph(QString());
                // The title stays with its table's header and first row.
                d.setKeepWithNext(true);
                d.Paragraph(reports::DocText(rsCats_->Fields(1).Value()));
                d.Paragraph(QString());
                d.setKeepWithNext(false);
                d.setFontBold(false);
                d.StartTable();
                d.setTableBorder(printer::tbBoxHeader);
                for (rsItems_->MoveFirst(); !rsItems_->Eof(); rsItems_->MoveNext()) {
                    // Cell by cell, so a "|" or ";" in a description stays in its cell.
                    d.AddTableCells(kFormat, kHeader,
                                    {reports::DocText(rsItems_->Fields("ItemNum").Value()),
                                     reports::DocText(rsItems_->Fields("description").Value()),
                                     MoneyText(rsItems_->Fields("charge").Value()),
                                     reports::DocText(rsItems_->Fields("Par").Value()),
                                     reports::DocText(rsItems_->Fields("InStock").Value()),
                                     reports::DocText(rsItems_->Fields("Warranty").Value())});
                }
                d.EndTable();
            }
            rsCats_->MoveNext();
        }
        d.EndDoc();
    });
}

void PrtInventory::Form_Unload() {
    vb::IgnoreErrors([this] {
        if (inventory_) inventory_->CloseCn();
    });
    inventory_.reset();
    vb::IgnoreErrors([this] {
        if (rsItems_) rsItems_->Close();
    });
    rsItems_.reset();
    vb::IgnoreErrors([this] {
        if (rsCats_) rsCats_->Close();
    });
    rsCats_.reset();
}
