// The loaders of the client sales list: one client's invoices with the
// balance due (and the pending invoice delete), or every client's invoices.
#include <QString>
#include "customers/CustInvoices.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace Globals {

namespace {

void closeIfOpen(const ado::RecordsetPtr& r) {
    if (r && r->State() == ado::adStateOpen) r->Close();
}

// The grid of the sales window, set up empty (header only) with its layout.
controls::FlexGrid& prepareGrid() {
    auto& grid = forms::Form::get<CustInvoices>().InvoiceList;
    grid.Clear();
    grid.setFormatString(QStringLiteral("Date|Invoice#|Customer#|Last|Name|>Charges|Description"));
    const int widths[] = {1000, 800, 0, 0, 2000, 1000, 2000};
    for (int c = 0; c < 7; ++c) grid.setColWidth(c, widths[c]);
    return grid;
}

// One grid row per invoice: date, number, client, an empty column, name,
// charges (the invoice's own total, as every other window shows it) and
// description. The list becomes the shared one, read to its end and closed.
void fillRows(controls::FlexGrid& grid, const ado::RecordsetPtr& list) {
    rsInvoices = list;
    if (!list) vb::Raise(vb::err::ObjectNotSet);
    const controls::FlexGrid::RedrawOff redrawOff(grid);
    const QChar tab(u'\t');
    if (!list->Eof()) list->MoveFirst();
    auto fDate = list->Fields("InvoiceDate"), fNum = list->Fields("InvoiceNum"), fCust = list->Fields("CustNum"),
         fL = list->Fields("Lname"), fF = list->Fields("Fname"), fCharge = list->Fields("Charge"),
         fDisc = list->Fields("Discount"), fTax = list->Fields("Tax"), fInt = list->Fields("Interest"),
         fShip = list->Fields("ShippingCharge"), fDesc = list->Fields("Description");
    while (!list->Eof()) {
        const vb::Variant date = fDate.Value();
        const QString dateText = date.isNull() ? QString() : vb::DateToText(vb::CDate(date));
        const vb::Currency charges =
            Invoice::TotalOfValues(fCharge.Value(), fDisc.Value(), fShip.Value(), fInt.Value(), fTax.Value());
        grid.AddItem(dateText + tab + fNum.Value().str() + tab + fCust.Value().str() + tab + QString() + tab +
                     fL.Value().str() + QStringLiteral(", ") + fF.Value().str() + tab +
                     vb::FormatCurrency(charges) + tab + fDesc.Value().str());
        list->MoveNext();
    }
    list->Close();
}

// A new shared invoice instance for the list about to fill grid, which is
// left with its header alone until then.
std::shared_ptr<Invoice> newSharedInvoice(controls::FlexGrid& grid) {
    auto inv = std::make_shared<Invoice>();
    SharedInvoice = inv;
    rsInvoices = std::make_shared<ado::Recordset>();
    grid.setRows(1);
    inv->InitAccess(DataFilePath());
    return inv;
}

// The newest invoice listed (row 1) becomes the current invoice.
void takeFirstRow(controls::FlexGrid& grid) {
    if (grid.Rows() <= 1) return;
    if (grid.Row() != 1) grid.setRowColSilently(1, grid.Col());
    const int r = grid.Row();
    CurrentInvoiceDate = vb::CDate(vb::Variant(grid.TextMatrix(r, 0)));
    CurrentInvoiceNum = vb::CLng(vb::Variant(grid.TextMatrix(r, 1)));
    // The hidden "Last" column is empty, so the name ends in one blank.
    CurrentCustName = grid.TextMatrix(r, 4) + QStringLiteral(" ") + grid.TextMatrix(r, 3);
    CurrentInvoiceDesc = grid.TextMatrix(r, 6);
}

} // namespace

void GetInvoices(vb::Date& SinceDate) {
    vb::Trap(QStringLiteral("Globals.GetInvoices -"), [&] {
        closeIfOpen(rsInvoices);
        SharedInvoice.reset();
        rsInvoices.reset();

        forms::DoEvents();
        // Closed on every path, as the last step.
        StatusNotice<GettingInvoices> notice;

        auto& grid = prepareGrid();
        const auto inv = newSharedInvoice(grid);
        {
            // A connection left open would make repair and restore refuse.
            const ConnectionScope opened = inv->OpenScope();
            if (DeleteInvoicePending) {
                // Cleared whatever the outcome: a failed delete must not fire
                // on some later, unrelated reload.
                DeleteInvoicePending = false;
                inv->DeleteInvoice(CurrentInvoiceNum);
            }
            fillRows(grid, inv->GetCustInvoices(CurrentCustNum, SinceDate));
        }
        auto& sales = forms::Form::get<CustInvoices>();
        sales.ListedClient = CurrentCustNum;
        if (!SharedClient) vb::Raise(vb::err::ObjectNotSet);
        sales.ShowBalance();

        takeFirstRow(grid);
    });
}

void GetInvoices(const vb::Date& SinceDate) {
    vb::Date since = SinceDate;
    GetInvoices(since);
}

void GetAllInvoices() {
    vb::Trap(QStringLiteral("Globals.GetAllInvoices -"), [&] {
        auto& grid = prepareGrid();
        forms::Form::get<CustInvoices>().ListedClient = -1;
        const auto inv = newSharedInvoice(grid);
        {
            const ConnectionScope opened = inv->OpenScope();
            const vb::Date since = forms::Form::get<CustInvoices>().txtSinceDate.DateValue();
            fillRows(grid, inv->GetAllInvoices(since));
        }
        takeFirstRow(grid);
    });
}

} // namespace Globals
