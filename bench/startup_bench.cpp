// Start-up to a painted main window, and the client-list reload, over a data
// file of 5,000 clients (offscreen).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include "BenchProgram.h"
#include "customers/Customer.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "BenchFolder.h"
#include "vb/MsgBox.h"
#include <cstdio>

namespace {

const char* const kClients = R"SQL(
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 4999)
INSERT INTO tb_Client (CustNum, Lname, Fname, Mname, Address1, City, State, ZipCode, HomePhone, WorkPhone, CelPhone, Email, Discount)
SELECT 1001+i, CASE WHEN i%2 THEN 'smith' ELSE 'Jones' END || ((i*7919)%5000), 'First' || (i%300), 'M',
       i || ' Main St', 'Dover', 'NH', '03820', '603-555-' || (i%10000), '603-556-' || (i%10000), '', 'c' || i || '@example.com', 0
FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 39)
INSERT INTO tb_InvCategories SELECT i+1, 'Category ' || (i+1) FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 1999)
INSERT INTO tb_Inventory SELECT 1001+i, 1+(i%40), 'Item ' || i, (i%97)+0.5, i%3, 50, '' FROM n;
INSERT INTO tb_Company VALUES ('Bench Co','','','','','','','','',8.25);
COMMIT;
)SQL";

struct Folder : BenchFolder {
    Folder() : BenchFolder(kClients) {}
};

Folder& folder() {
    static Folder f;
    return f;
}

void resetAll() {
    forms::Form::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    Globals::ResetState();
}

void BM_StartUpToPaintedMainWindow(benchmark::State& state) {
    folder();
    for (auto _ : state) {
        resetAll();
        QElapsedTimer t;
        t.start();
        auto& w = forms::Form::get<Customer>();
        w.Show();
        w.repaint();
        QCoreApplication::processEvents();
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        benchmark::DoNotOptimize(w.CustList2.Rows());
    }
    state.counters["clients"] = Globals::ClientCount;
    resetAll();
}

void BM_RefreshCustList(benchmark::State& state) {
    folder();
    auto& w = forms::Form::get<Customer>();
    w.Show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        Globals::RefreshCustList();
        benchmark::DoNotOptimize(w.CustList2.Rows());
    }
    state.counters["rows"] = w.CustList2.Rows() - 1;
    resetAll();
}

BENCHMARK(BM_StartUpToPaintedMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RefreshCustList)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) { return bench::RunWindowBenchmarks(argc, argv); }
