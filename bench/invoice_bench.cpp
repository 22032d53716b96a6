// The invoice editor over a data file of business size (5,000 clients,
// 50,000 invoices with 200,000 lines, 2,000 items) plus one invoice of 200
// lines: opening that invoice to a painted window, and one pick from the item
// picker up to the new total (offscreen).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <cstdio>
#include <memory>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include "BenchProgram.h"
#include "customers/InvSearch.h"
#include "customers/InvoiceDetail.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "forms/App.h"
#include "BenchFolder.h"
#include "forms/Form.h"
#include "vb/MsgBox.h"

namespace {

constexpr int kBigInvoice = 60001;

const char* const kGenerate = R"SQL(
BEGIN;
INSERT INTO tb_Company (Name, statetaxrate) VALUES ('Bench Co', 6.25);
INSERT INTO tb_Shipping VALUES ('UPS', 'Ground', 5), ('UPS', 'Air', 15), ('Post', 'Parcel', 4);
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 39)
INSERT INTO tb_InvCategories SELECT i+1, 'Category ' || (i+1) FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 1999)
INSERT INTO tb_Inventory SELECT 1001+i, 1+(i%40), 'Item ' || i, (i%97)+0.5,
  CASE WHEN i%3=0 THEN 0 ELSE 5 END, 1000000, '1 year' FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 4999)
INSERT INTO tb_Client (CustNum, Lname, Fname, Mname, City, Discount)
SELECT 1001+i, 'Client' || i, 'First' || (i%300), '', 'Springfield', (i%4)*5 FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 49999)
INSERT INTO tb_Invoice SELECT 1001+i, 1001+((i*37)%5000), '2026-01-01 00:00:00', 'Invoice ' || i, (i%3)*5,
  (i%7)*1.25, 4.95, '2026-01-02 00:00:00', 'UPS Ground', 'TRK' || i, 0, 'Rep', 'Net 30' FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 199999)
INSERT INTO tb_trans SELECT 1001+i, 1001+(i/4), 1001+((i*13)%2000), 1+(i%5), ((i%97)+0.5)*(1+(i%5)), 'Line ' || i,
  0, NULL FROM n;
INSERT INTO tb_Invoice VALUES (60001, 1001, '2026-06-01 00:00:00', 'Two hundred lines', 10, 12.5, 9.95,
  '2026-06-02 00:00:00', 'UPS Ground', 'TRK', 0, 'Rep', 'Net 30');
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 199)
INSERT INTO tb_trans SELECT 300001+i, 60001, 1001+((i*7)%2000), 1+(i%9), ((i*7)%97+0.5)*(1+(i%9)), 'Item ' || ((i*7)%2000),
  CASE WHEN i%25=0 THEN -1 ELSE 0 END, NULL FROM n;
COMMIT;
)SQL";

struct Folder : BenchFolder {
    Folder() : BenchFolder(kGenerate) {}
};

Folder& folder() {
    static Folder f;
    return f;
}

// The shared state start-up leaves, without the main window.
void startProgram() {
    folder();
    bench::ResetProgram();
    Globals::SetupInit();
    int32_t cat = 0, item = 0;
    Globals::GetInventory(cat, item);
    Globals::CurrentCustNum = 1001;
}

void BM_OpenInvoiceOf200Lines(benchmark::State& state) {
    startProgram();
    int rows = 0;
    for (auto _ : state) {
        forms::Form::unload<InvoiceDetail>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Globals::CurrentInvoiceNum = kBigInvoice;
        QElapsedTimer t;
        t.start();
        InvoiceDetail& d = forms::Form::get<InvoiceDetail>();
        d.Show();
        d.repaint();
        QCoreApplication::processEvents();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        rows = d.ItemList.Rows() - 1;
    }
    state.counters["lines"] = rows;
    if (rows != 200) state.SkipWithError("the invoice did not load its 200 lines");
}

// OK in the picker: one unit from stock, the line appended and saved, the
// total recomputed over every line, the picker closed.
void BM_PickUpdatesTotal(benchmark::State& state) {
    startProgram();
    Globals::CurrentInvoiceNum = kBigInvoice;
    InvoiceDetail& d = forms::Form::get<InvoiceDetail>();
    d.Show();
    QCoreApplication::processEvents();
    QString before, after;
    for (auto _ : state) {
        d.btnNewItem_Click();
        InvSearch& picker = forms::Form::get<InvSearch>();
        picker.InventoryList.setRow(2);   // a tracked item with stock to spare
        QCoreApplication::processEvents();
        before = d.lblTotal.Caption();
        QElapsedTimer t;
        t.start();
        picker.btnOK_Click();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        after = d.lblTotal.Caption();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (forms::Form::isLoaded<InvSearch>()) {
            state.SkipWithError("the pick did not complete");
            break;
        }
    }
    state.counters["lines"] = d.ItemList.Rows() - 1;
    if (before == after) state.SkipWithError("the total did not change");
}

// The total alone, over the lines on screen.
void BM_GetInvoiceTotal200Lines(benchmark::State& state) {
    startProgram();
    Globals::CurrentInvoiceNum = kBigInvoice;
    InvoiceDetail& d = forms::Form::get<InvoiceDetail>();
    d.Show();
    for (auto _ : state) d.GetInvoiceTotal();
    state.counters["lines"] = d.ItemList.Rows() - 1;
}

BENCHMARK(BM_OpenInvoiceOf200Lines)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_GetInvoiceTotal200Lines)->Unit(benchmark::kMicrosecond);
// Last: every pick adds a line to the big invoice.
BENCHMARK(BM_PickUpdatesTotal)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char** argv) { return bench::RunWindowBenchmarks(argc, argv); }
