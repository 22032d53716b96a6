// Every report document laid out on a generated file of business size (see
// BusinessFile.h), the balance and sales members beside one bare statement
// computing the same figure, and a check that every client's balance and the
// sales of two periods are what they were before the members were made fast.
// The clock is pinned to the file's last day; bare statements run on a
// connection opened exactly as the program opens its own.
//
// VANTREL_BENCH_SCALE=2|4|8 generates the file that many times larger;
// VANTREL_BENCH_FILE=PATH copies a file bench/business_file made instead, of
// that scale (the figures check holds on the 1x file only);
// VANTREL_BENCH_INDEXES=1 runs the start-up index step on it first. Every row reports first_ms, its
// first run in this process: run one benchmark per process
// (--benchmark_filter=^BM_Name$) for the first run after a fresh start.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include "BenchProgram.h"
#include "BusinessFile.h"
#include "ado/Connection.h"
#include "books/GL.h"
#include "customers/Receipts.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#if __has_include("data/DataIndexes.h")   // so the same benchmark also builds on an older tree
#include "data/DataIndexes.h"
#define VANTREL_HAS_INDEX_STEP 1
#endif
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/Reports.h"
#include "data/Vendor.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "reports/Billing.h"
#include "reports/Prt30Days.h"
#include "reports/PrtBackOrdered.h"
#include "reports/PrtBackOrders.h"
#include "reports/PrtBals.h"
#include "reports/PrtBilling.h"
#include "reports/PrtIncome.h"
#include "reports/PrtInventory.h"
#include "reports/PrtInventoryBestSales.h"
#include "reports/PrtInventorySales.h"
#include "reports/PrtInvoice.h"
#include "reports/PrtReceipt.h"
#include "reports/PrtRegistry.h"
#include "vb/Conv.h"
#include "vb/Date.h"
#include "vb/MsgBox.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint64_t kSeed = 16;

// What the members gave on the file of kSeed before they were made fast:
// every client's balance (sum and a checksum over client number and raw
// currency units) and the sales of two periods, in raw currency units.
constexpr int64_t kBalanceSumRaw = 21252539705;
constexpr uint64_t kBalanceHash = 5542490147799511296ULL;
constexpr int64_t kSales2025Raw = 158696950790;
constexpr int64_t kSalesFirstHalf2026Raw = 78032508220;

struct BusinessFolder {
    QTemporaryDir dir;
    QString file;
    int32_t tenInvoiceClient = 0;
    int scale = 1;
    BusinessFolder() {
        file = dir.path() + QStringLiteral("/Vantrel.mdb");
        const auto t0 = Clock::now();
        const QString given = qEnvironmentVariable("VANTREL_BENCH_FILE");
        scale = std::max(1, qEnvironmentVariableIntValue("VANTREL_BENCH_SCALE"));
        if (!given.isEmpty()) {
            if (!QFile::copy(given, file)) business::Inserter::fail(nullptr, "copying VANTREL_BENCH_FILE");
        } else {
            business::MakeFile(file, VANTREL_SCHEMA_FILE, kSeed, scale);
        }
        std::fprintf(stderr, "business file (scale %d) ready in %.0f ms\n", scale,
                     std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        // VANTREL_BENCH_INDEXES=1: the start-up index step first, as on a
        // file an earlier version made.
#ifdef VANTREL_HAS_INDEX_STEP
        if (qEnvironmentVariableIntValue("VANTREL_BENCH_INDEXES") == 1) {
            const auto t1 = Clock::now();
            const int n = DataIndexes::Update(file);
            std::fprintf(stderr, "index step: %d indexes in %.0f ms\n", n,
                         std::chrono::duration<double, std::milli>(Clock::now() - t1).count());
        }
#endif
        const QString p = dir.path();
        forms::setAppPathProvider([p] { return p; });
        vb::setClock([] { return QDateTime(business::kToday, QTime(9, 0)); });
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT CustNum FROM tb_Invoice GROUP BY CustNum HAVING count(*) = 10 LIMIT 1", -1,
                           &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW) tenInvoiceClient = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
};

BusinessFolder& folder() {
    static BusinessFolder f;
    return f;
}

// The shared state start-up leaves, without the main window.
void startProgram() {
    folder();
    bench::ResetProgram();
    Globals::SharedVendor = std::make_shared<Vendor>();
    Globals::SharedVendor->InitAccess(Globals::DataFilePath());
    Globals::SetupInit();
    Globals::SharedVendor->OpenCn();
    Globals::rsVendors = Globals::SharedVendor->GetAllVendors();
    Globals::SharedVendor->CloseCn();
    int32_t cat = 0, item = 0;
    Globals::GetInventory(cat, item);
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Steps one statement bare on a connection opened as the program opens its
// own (its page cache size included): the best of repeats, in milliseconds,
// and its first column.
double bareMs(const QString& sqliteSql, int repeats, double* first = nullptr) {
    ado::Connection cn;
    cn.OpenFile(folder().file);
    const QByteArray sql = sqliteSql.toUtf8();
    double best = 1e300;
    for (int k = 0; k < repeats; ++k) {
        const auto t0 = Clock::now();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(cn.Handle(), sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bare prepare: %s\n", sqlite3_errmsg(cn.Handle()));
            return 1e300;
        }
        // Every column of every row read, as a window or document reads them.
        int64_t sink = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            if (first) *first = sqlite3_column_double(st, 0);
            for (int c = 0, cols = sqlite3_column_count(st); c < cols; ++c) {
                if (sqlite3_column_type(st, c) == SQLITE_TEXT) {
                    sqlite3_column_text(st, c);
                    sink += sqlite3_column_bytes(st, c);
                } else {
                    sink += sqlite3_column_int64(st, c);
                }
            }
        }
        benchmark::DoNotOptimize(sink);
        sqlite3_finalize(st);
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return best;
}

QString iso(const vb::Date& d) { return QLatin1Char('\'') + d.toIsoString() + QLatin1Char('\''); }

// The sum of the invoice totals of a where-clause over tb_Invoice i, as one statement.
QString bareSales(const QString& where) {
    return QStringLiteral("SELECT sum(round((L - L*discount/100.0) + shippingcharge + interest + tax, 4)) FROM "
                          "(SELECT i.discount, i.shippingcharge, i.interest, i.tax, IFNULL((SELECT sum(t.Amount) "
                          "FROM tb_trans t WHERE t.InvoiceNum = i.InvoiceNum),0) AS L FROM tb_Invoice i WHERE ") +
           where + QStringLiteral(")");
}

// A digest of every placed text of a laid-out document (kind, page, place
// to a thousandth of an inch, text), printed so two builds can be compared.
void digest(const char* name, const printer::PageDocument* d) {
    if (!d) return;
    uint64_t h = 1469598103934665603ULL;
    long texts = 0;
    auto mix = [&h](const QByteArray& b) {
        for (const char c : b) h = (h ^ uint8_t(c)) * 1099511628211ULL;
        h = (h ^ 0xFF) * 1099511628211ULL;
    };
    for (const printer::Page& p : d->Pages())
        for (const printer::PlacedText& t : p.texts) {
            const QRectF& r = t.rect;
            mix(QByteArray::number(t.kind) + ' ' + QByteArray::number(t.page) + ' ' +
                QByteArray::number(qRound64(r.x() * 1000)) + ' ' + QByteArray::number(qRound64(r.y() * 1000)) + ' ' +
                QByteArray::number(qRound64(r.width() * 1000)) + ' ' + t.text.toUtf8());
            ++texts;
        }
    std::fprintf(stderr, "digest %s pages %d texts %ld hash %016llx\n", name, d->PageCount(), texts,
                 (unsigned long long)h);
}

// Times body per iteration (manual time) and reports its ratio to bare.
// prepare runs untimed before each iteration.
void timed(benchmark::State& state, const std::function<void()>& body, double bare = 0,
           const std::function<void()>& prepare = {}) {
    double best = 1e300, first = -1;
    for (auto _ : state) {
        if (prepare) prepare();
        QElapsedTimer t;
        t.start();
        body();
        const double s = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(s);
        best = std::min(best, s * 1000);
        if (first < 0) first = s * 1000;
    }
    state.counters["best_ms"] = best;
    state.counters["first_ms"] = first;
    if (bare > 0) {
        state.counters["bare_ms"] = bare;
        state.counters["ratio"] = best / bare;
    }
}

void BM_ClientBalOfTenInvoices(benchmark::State& state) {
    startProgram();
    const int32_t cust = folder().tenInvoiceClient;
    const vb::Date asOf = vb::Today() + 1;
    const QString n = QString::number(cust);
    const double bare = bareMs(QStringLiteral("SELECT (") +
                                   bareSales(QStringLiteral("i.CustNum = ") + n +
                                             QStringLiteral(" AND i.Date > '1981-01-01 00:00:00' AND i.Date <= ") +
                                             iso(asOf)) +
                                   QStringLiteral(") - IFNULL((SELECT sum(Amount) FROM tb_Receive WHERE CustNum = ") +
                                   n + QStringLiteral(" AND Date <= ") + iso(asOf) + QStringLiteral("), 0)"),
                               200);
    Client c;
    c.InitAccess(folder().file);
    c.OpenCn();
    timed(state, [&] { benchmark::DoNotOptimize(c.ClientBal(cust, vb::Date())); }, bare);
    c.CloseCn();
}

void BM_TotalSalesOfAYear(benchmark::State& state) {
    startProgram();
    Reports r;
    r.BegDate = vb::Date::fromYmd(2025, 1, 1);
    r.EndDate = vb::Date::fromYmd(2025, 12, 31);
    const double bare = bareMs(bareSales(QStringLiteral("i.Date >= ") + iso(r.BegDate) +
                                         QStringLiteral(" AND i.Date <= ") + iso(r.EndDate)), 10);
    r.InitAccess(folder().file);
    r.OpenCn();
    timed(state, [&] { benchmark::DoNotOptimize(r.TotalSales()); }, bare);
    r.CloseCn();
}

// Every client's balance and two periods' sales, against the figures kept.
void BM_FiguresAsBefore(benchmark::State& state) {
    startProgram();
    if (folder().scale != 1) {
        state.SkipWithError("the figures are kept for the 1x file only");
        return;
    }
    int64_t sum = 0, s2025 = 0, s2026 = 0;
    uint64_t hash = 1469598103934665603ULL;
    for (auto _ : state) {
        Client c;
        c.InitAccess(folder().file);
        c.OpenCn();
        sum = 0;
        hash = 1469598103934665603ULL;
        for (int32_t cust = 1001; cust < 1001 + business::kClients * folder().scale; ++cust) {
            const int64_t raw = c.ClientBal(cust, vb::Date()).raw();
            sum += raw;
            for (const int64_t v : {int64_t(cust), raw}) hash = (hash ^ uint64_t(v)) * 1099511628211ULL;
        }
        c.CloseCn();
        Reports r;
        r.InitAccess(folder().file);
        r.OpenCn();
        r.BegDate = vb::Date::fromYmd(2025, 1, 1);
        r.EndDate = vb::Date::fromYmd(2025, 12, 31);
        s2025 = r.TotalSales().raw();
        r.BegDate = vb::Date::fromYmd(2026, 1, 1);
        r.EndDate = vb::Date::fromYmd(2026, 6, 30);
        s2026 = r.TotalSales().raw();
        r.CloseCn();
    }
    std::fprintf(stderr, "figures: balances %lld hash %llu sales %lld %lld\n", (long long)sum,
                 (unsigned long long)hash, (long long)s2025, (long long)s2026);
    if (sum != kBalanceSumRaw || hash != kBalanceHash || s2025 != kSales2025Raw || s2026 != kSalesFirstHalf2026Raw)
        state.SkipWithError("a balance or a period's sales differ from the figures before");
}

// The statements of every client the selection lists, from the print button
// to the laid-out preview.
// Bare: the listed clients, their invoices with line sums, their payments
// after the start and their payments up to it, four grouped statements.
double bareStatements(const controls::FlexGrid& list, int days) {
    QString in = QStringLiteral("(");
    for (int r = 1; r < list.Rows(); ++r) in += (r > 1 ? QStringLiteral(",") : QString()) + list.TextMatrix(r, 0);
    in += QLatin1Char(')');
    const QString since = iso(vb::Today() - days);
    return bareMs(QStringLiteral("SELECT * FROM tb_Client WHERE CustNum IN ") + in, 5) +
           bareMs(QStringLiteral("SELECT i.CustNum, i.InvoiceNum, i.Date, i.discount, i.tax, i.shippingcharge, "
                                 "i.interest, CASE WHEN i.Date > ") + since +
                      QStringLiteral(" THEN i.Description END, (SELECT sum(t.Amount) FROM tb_trans t WHERE "
                                     "t.InvoiceNum = i.InvoiceNum) FROM tb_Invoice i WHERE i.CustNum IN ") + in +
                      QStringLiteral(" ORDER BY i.CustNum, i.InvoiceNum DESC"), 5) +
           bareMs(QStringLiteral("SELECT CustNum, Date, Amount FROM tb_Receive WHERE CustNum IN ") + in +
                      QStringLiteral(" AND Date > ") + since + QStringLiteral(" ORDER BY CustNum, Date, TransNum"), 5) +
           bareMs(QStringLiteral("SELECT CustNum, sum(Amount) FROM tb_Receive WHERE CustNum IN ") + in +
                      QStringLiteral(" AND Date <= ") + since + QStringLiteral(" GROUP BY CustNum"), 5);
}

void BM_StatementsOfEveryOwingClient(benchmark::State& state) {
    startProgram();
    int pages = 0, clients = 0;
    double bare = 0;
    {
        Billing& b = forms::Form::get<Billing>();
        b.Show();
        bare = bareStatements(b.CustList2, 30);
        forms::Form::unload<Billing>();
    }
    timed(
        state,
        [&] {
            forms::Form::get<Billing>().btnPrint_Click();
            pages = forms::Form::get<PrtBilling>().VSInvoice.PageCount();
        },
        bare,
        [&] {
            forms::Form::unload<PrtBilling>();
            settle();
            Billing& b = forms::Form::get<Billing>();
            b.Show();
            clients = b.CustList2.Rows() - 1;
        });
    state.counters["clients"] = clients;
    state.counters["pages"] = pages;
    digest("statements", forms::Form::get<PrtBilling>().Preview());
}

void BM_IncomeStatementOfAYear(benchmark::State& state) {
    startProgram();
    PrtIncome& p = forms::Form::get<PrtIncome>();
    p.Show();
    p.txtBegDate.setText(QStringLiteral("01/01/25"));
    p.txtEndDate.setText(QStringLiteral("12/31/25"));
    timed(state, [&] { p.btnGo_Click(); });
    digest("income", p.Preview());
}

void BM_RegisterAllVendors(benchmark::State& state) {
    startProgram();
    Globals::PrintFilterField = QStringLiteral("Vendor");
    Globals::PrintFilterValue = QStringLiteral("All");
    PrtRegistry& p = forms::Form::get<PrtRegistry>();
    p.Show();
    const double bare = bareMs(QStringLiteral("SELECT * FROM tb_GL WHERE Payment > 0 AND Date >= ") +
                                   iso(Globals::CurrentSinceDate) + QStringLiteral(" ORDER BY Date, CheckNum"), 5);
    timed(state, [&] { p.btnGo_Click(); }, bare);
    state.counters["rows"] = Globals::rsLedger ? Globals::rsLedger->RecordCount() : 0;
    digest("register", p.Preview());
}

// The register window opened to its filled grid and both balances, against
// its entries stepped bare.
void BM_RegisterWindowOpen(benchmark::State& state) {
    startProgram();
    const double bare = bareMs(QStringLiteral("SELECT * FROM tb_GL ORDER BY Date, CheckNum"), 5);
    timed(
        state, [] { forms::Form::get<GL>().Show(); }, bare,
        [] {
            forms::Form::unload<GL>();
            settle();
        });
    state.counters["rows"] = forms::Form::get<GL>().PaymentList.Rows() - 2;
    forms::Form::unload<GL>();
}

// The first entry's payment saved one cent higher and back: the balance of
// every row below and both labels follow. Bare: one update and the two sums.
void BM_RegisterSaveFirstRow(benchmark::State& state) {
    startProgram();
    const double bare = bareMs(QStringLiteral("SELECT (SELECT sum(Deposit) - sum(Payment) FROM tb_GL WHERE Cleared), "
                                              "(SELECT sum(Deposit) - sum(Payment) FROM tb_GL)"), 10);
    GL& w = forms::Form::get<GL>();
    w.Show();
    controls::FlexGrid& g = w.PaymentList;
    const int row = g.TextMatrix(1, GL::colPayment).isEmpty() ? 2 : 1;
    const vb::Currency pay = vb::ParseCurrency(g.TextMatrix(row, GL::colPayment));
    const vb::Currency cent = vb::Currency::fromRaw(100);
    int k = 0;
    timed(
        state, [&] { w.rows().SaveRow(); }, bare,
        [&] {
            g.setTextMatrix(row, GL::colPayment, vb::FormatCurrency(++k % 2 ? pay + cent : pay));
            w.PaymentList_AfterEdit(row, GL::colPayment);
        });
    state.counters["rows"] = g.Rows() - 2;
    const QString end = w.lblEndBal.Caption();
    forms::Form::unload<GL>();
    std::fprintf(stderr, "register ending balance %s\n", end.toUtf8().constData());
}

// The payments received of every client since the window's default date,
// against the same rows stepped bare.
void BM_PaymentsReceivedAllClients(benchmark::State& state) {
    startProgram();
    Globals::CurrentCustNum = folder().tenInvoiceClient;
    Receipts& w = forms::Form::get<Receipts>();
    w.Show();
    const double bare = bareMs(QStringLiteral("SELECT c.CustNum, c.Fname, c.Lname, c.Lname || ', ' || c.Fname, "
                                              "r.TransNum, r.Type, r.CheckNum, r.Date, r.Amount, r.Notes FROM "
                                              "tb_Receive r JOIN tb_Client c ON c.CustNum = r.CustNum WHERE r.Date > ") +
                                   iso(w.SinceDate) + QStringLiteral(" ORDER BY r.Date, r.TransNum"),
                               5);
    timed(
        state, [&] { w.ListClient(-1); }, bare, [&] { w.ListClient(folder().tenInvoiceClient); });
    state.counters["rows"] = w.PaymentList.Rows() - 2;
    forms::Form::unload<Receipts>();
}

// One report window opened to its laid-out document.
template <class T>
void openReport(benchmark::State& state, const char* name, const std::function<void()>& before = {},
                const QString& bareSql = QString()) {
    startProgram();
    const double bare = bareSql.isEmpty() ? 0 : bareMs(bareSql, 3);
    timed(
        state, [] { forms::Form::get<T>().Show(); }, bare,
        [&] {
            forms::Form::unload<T>();
            settle();
            if (before) before();
        });
    digest(name, forms::Form::get<T>().Preview());
}

void BM_DocBalances(benchmark::State& s) {
    openReport<PrtBals>(s, "PrtBals", {}, QStringLiteral("SELECT CustNum, Fullname, Balance FROM ClientBals ORDER BY Fullname"));
}
void BM_Doc30Days(benchmark::State& s) {
    // The owing clients with each one's newest payment (the row of its latest date).
    openReport<Prt30Days>(s, "Prt30Days", {},
                          QStringLiteral("SELECT b.CustNum, b.Fullname, b.Balance, r.Date, r.Amount FROM ClientBals b "
                                         "LEFT JOIN (SELECT CustNum, max(Date) AS Date, Amount FROM tb_Receive GROUP "
                                         "BY CustNum) r ON r.CustNum = b.CustNum"));
}
void BM_DocInventory(benchmark::State& s) {
    openReport<PrtInventory>(s, "PrtInventory", {},
                             QStringLiteral("SELECT i.*, c.Description FROM tb_Inventory i JOIN tb_InvCategories c ON "
                                            "c.CatNum = i.CatNum ORDER BY c.Description, i.Description"));
}
void BM_DocInventorySales(benchmark::State& s) { openReport<PrtInventorySales>(s, "PrtInventorySales"); }
void BM_DocInventoryBestSales(benchmark::State& s) { openReport<PrtInventoryBestSales>(s, "PrtInventoryBestSales"); }
void BM_DocBackOrders(benchmark::State& s) {
    openReport<PrtBackOrders>(s, "PrtBackOrders", [] {
        Invoice& inv = *Globals::SharedInvoice;
        inv.OpenCn();
        Globals::rsBackOrders = inv.GetBackOrderItems();
        inv.CloseCn();
    });
}
void BM_DocBackOrdered(benchmark::State& s) {
    openReport<PrtBackOrdered>(s, "PrtBackOrdered", [] {
        Invoice& inv = *Globals::SharedInvoice;
        inv.OpenCn();
        Globals::rsBackOrders = inv.GetBackOrderedItems();
        inv.CloseCn();
    });
}
void BM_DocInvoice(benchmark::State& s) {
    openReport<PrtInvoice>(s, "PrtInvoice", [] {
        Globals::CurrentInvoiceNum = 30001;
        Invoice& inv = *Globals::SharedInvoice;
        inv.OpenCn();
        inv.GetInvoice(30001);
        Globals::CurrentCustNum = inv.CustNum();
        inv.CloseCn();
    });
}
void BM_DocReceipt(benchmark::State& s) {
    openReport<PrtReceipt>(s, "PrtReceipt", [] { Globals::CurrentCustNum = folder().tenInvoiceClient; });
}
void BM_DocRegistryDeposits(benchmark::State& s) {
    openReport<PrtRegistry>(
        s, "PrtRegistry",
        [] {
            Globals::PrintFilterField = QStringLiteral("Deposit");
            Globals::PrintFilterValue = QString();
        },
        QStringLiteral("SELECT * FROM tb_GL WHERE Deposit > 0 ORDER BY Date"));
}

} // namespace

BENCHMARK(BM_FiguresAsBefore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ClientBalOfTenInvoices)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_TotalSalesOfAYear)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StatementsOfEveryOwingClient)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IncomeStatementOfAYear)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RegisterAllVendors)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RegisterWindowOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RegisterSaveFirstRow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PaymentsReceivedAllClients)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DocBalances)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Doc30Days)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DocInventory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DocInventorySales)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DocInventoryBestSales)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DocBackOrders)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DocBackOrdered)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DocInvoice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DocReceipt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DocRegistryDeposits)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) { return bench::RunWindowBenchmarks(argc, argv, [] { folder(); }); }
