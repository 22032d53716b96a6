// The data classes over a data file of business size: 5,000 clients, 50,000
// invoices with 200,000 lines, 50,000 payments, 2,000 items in 40 categories,
// 500 vendors and 20,000 register entries, generated once per run in a
// temporary folder. Every list is also stepped bare through sqlite3 (the same
// SQL after translation, and for some the best statement found for the same
// rows) with the program's page cache, and the ratio reported as a counter.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>
#include "BenchFolder.h"
#include "ado/JetSql.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/Reports.h"
#include "data/Vendor.h"
#include "forms/App.h"
#include "vb/MsgBox.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kGenerate = R"SQL(
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 39)
INSERT INTO tb_InvCategories SELECT i+1, 'Category ' || (i+1) FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 1999)
INSERT INTO tb_Inventory SELECT 1001+i, 1+(i%40), 'Item ' || i, (i%97)+0.5,
  CASE WHEN i%3=0 THEN 0 ELSE 5 END, 20+(i%50), '1 year' FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 4999)
INSERT INTO tb_Client (CustNum,Lname,Fname,Mname,Address1,Address2,City,State,ZipCode,HomePhone,WorkPhone,
                       CelPhone,Email,Company,Discount,ShipLname,ShipFname,ShipAddress1,ShipCity,ShipState,ShipZipcode)
SELECT 1001+i, CASE WHEN i%2 THEN 'smith' ELSE 'Jones' END || ((i*7919)%5000), 'First' || (i%300), 'M',
  i || ' Main St', '', 'Springfield', 'IL', '62701', '555-0100', '555-0101', '555-0102',
  'c' || i || '@example.com', 'Company ' || (i%700), (i%4)*5, 'Ship' || i, 'To', i || ' Dock Rd', 'Peoria', 'IL', '61601'
FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 49999)
INSERT INTO tb_Invoice SELECT 1001+i, 1001+((i*37)%5000),
  datetime('now','localtime','start of day', '-' || (1095 - (i*1095)/50000) || ' days'),
  'Invoice ' || i, (i%3)*5, (i%7)*1.25, 4.95, datetime('now','localtime','start of day'), 'UPS', 'TRK' || i, 0,
  'Rep' || (i%10), 'Net 30' FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 199999)
INSERT INTO tb_trans SELECT 1001+i, 1001+(i/4), 1001+((i*13)%2000), 1+(i%5), ((i%97)+0.5)*(1+(i%5)), 'Line ' || i,
  CASE WHEN i%50=0 THEN -2 ELSE 0 END,
  CASE WHEN i%100=0 THEN datetime('now','localtime','start of day','-3 days') END FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 49999)
INSERT INTO tb_Receive SELECT 1001+i, 1001+((i*53)%5000), 'Check', 'CK' || i,
  datetime('now','localtime','start of day', '-' || (1095 - (i*1095)/50000) || ' days'),
  100 + ((i*7919)%1100), 'Thanks' FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 499)
INSERT INTO tb_Vendor SELECT 1001+i, 'Vendor ' || i, 'Addr', '', 'City', 'ST', '00000', '555', '', '', '', '', '', '', 0
FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 19999)
INSERT INTO tb_GL SELECT 1001+i,
  datetime('now','localtime','start of day', '-' || (1095 - (i*1095)/20000) || ' days'),
  CAST(1000+i AS TEXT), 'Vendor ' || (i%500), CASE WHEN i%5 THEN 10+(i%300) ELSE 0 END, i%2,
  'Expense ' || (i%20), CASE WHEN i%5 THEN 0 ELSE 500 END, '' FROM n;
COMMIT;
)SQL";

struct DataFile : BenchFolder {
    QString file;       // as the program writes it
    DataFile() : BenchFolder(kGenerate) {
        // Compaction's success box is expected; anything else is worth seeing.
        vb::setMsgBoxHandler([](const QString& prompt, int, const QString&) {
            if (!prompt.contains(QStringLiteral("compacted/repaired successfully")))
                std::fprintf(stderr, "message: %s\n", prompt.toUtf8().constData());
            return int(vb::vbOK);
        });
        file = Globals::DataFilePath();
        Globals::SharedInvoice = std::make_shared<Invoice>();
        Globals::SharedInvoice->InitAccess(file);
    }
    QString path() const { return dataFile(); }
};

DataFile& data() {
    static DataFile d;
    return d;
}

template <class T>
struct Opened {
    T obj;
    Opened() {
        obj.InitAccess(data().file);
        obj.OpenCn();
    }
    ~Opened() { obj.CloseCn(); }
};

vb::Date lastYearJan1() { return vb::Date::fromYmd(QDate::currentDate().year() - 1, 1, 1); }
vb::Date lastYearDec31() { return vb::Date::fromYmd(QDate::currentDate().year() - 1, 12, 31); }

// Steps SQLite SQL bare: every column of every row read once.
double bareMs(const QString& sqliteSql, int repeats, long& rows) {
    // Opened as the program opens its connections, its page cache included,
    // so the ratio compares like with like.
    sqlite3* db = nullptr;
    sqlite3_open_v2(data().path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_exec(db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
    const QByteArray sql = sqliteSql.toUtf8();
    double best = 1e300;
    for (int k = 0; k < repeats; ++k) {
        const auto t0 = Clock::now();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bare prepare: %s\n", sqlite3_errmsg(db));
            break;
        }
        long n = 0;
        int64_t sink = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int cols = sqlite3_column_count(st);
            for (int c = 0; c < cols; ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER: sink += sqlite3_column_int64(st, c); break;
                case SQLITE_FLOAT: sink += static_cast<int64_t>(sqlite3_column_double(st, c)); break;
                case SQLITE_TEXT: sink += sqlite3_column_bytes(st, c); sqlite3_column_text(st, c); break;
                default: break;
                }
            }
            ++n;
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(sink);
        rows = n;
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    sqlite3_close(db);
    return best;
}

// Times one list member, then its own translated SQL bare and, where given,
// the best statement found for the same rows; the ratio is to the faster.
void timeList(benchmark::State& state, const std::function<ado::RecordsetPtr()>& list,
              const QString& bestSql = QString()) {
    QString jet;
    long rows = 0;
    double best = 1e300;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        auto rs = list();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (!rs) {
            state.SkipWithError("the list failed");
            return;
        }
        rows = rs->RecordCount();
        jet = rs->Source;
        benchmark::DoNotOptimize(rs);
    }
    long bareRows = 0, bestRows = 0;
    double bare = bareMs(ado::JetToSqlite(jet), 5, bareRows);
    state.counters["rows"] = double(rows);
    state.counters["best_ms"] = best;
    state.counters["bare_own_ms"] = bare;
    if (!bestSql.isEmpty()) {
        const double other = bareMs(bestSql, 5, bestRows);
        state.counters["bare_best_ms"] = other;
        bare = std::min(bare, other);
        if (bestRows != rows) state.SkipWithError("the best statement's row count differs");
    }
    state.counters["bare_ms"] = bare;
    state.counters["ratio"] = best / bare;
    if (bareRows != rows) state.SkipWithError("bare row count differs");
}

void BM_GetAllClients(benchmark::State& state) {
    Opened<Client> c;
    timeList(state, [&] { return c.obj.GetAllClients(); });
}
QString isoDay(const vb::Date& d) { return QLatin1Char('\'') + d.toIsoString() + QLatin1Char('\''); }

void BM_GetAllInvoices(benchmark::State& state) {
    Opened<Invoice> i;
    timeList(state, [&] { return i.obj.GetAllInvoices(lastYearJan1()); },
             QStringLiteral("SELECT c.CustNum, c.Lname, c.Fname, i.Date, i.InvoiceNum, i.Discount, i.ShippingCharge, "
                            "i.Interest, i.Tax, (SELECT sum(t.Amount) FROM tb_trans t WHERE t.InvoiceNum = "
                            "i.InvoiceNum), i.Description FROM tb_Invoice i JOIN tb_Client c ON c.CustNum = i.CustNum "
                            "WHERE i.Date > ") +
                 isoDay(lastYearJan1()) + QStringLiteral(" ORDER BY i.InvoiceNum DESC"));
}
void BM_ClientBals(benchmark::State& state) {
    Opened<Client> c;
    timeList(state, [&] { return c.obj.ClientBals(); });
}
void BM_AllPayments(benchmark::State& state) {
    Opened<Invoice> i;
    timeList(state, [&] { return i.obj.AllPayments(vb::Date::fromYmd(1981, 1, 1), -1); });
}
void BM_LedgerEntriesAll(benchmark::State& state) {
    Opened<Vendor> v;
    timeList(state, [&] { return v.obj.LedgerEntriesAll(); });
}
void BM_rsInventorySales(benchmark::State& state) {
    Opened<Reports> r;
    r.obj.BegDate = lastYearJan1();
    r.obj.EndDate = lastYearDec31();
    timeList(state, [&] { return r.obj.rsInventorySales(); },
             QStringLiteral("SELECT v.ItemNum, k.Description, v.Description, s.Q, s.A FROM (SELECT t.ItemNum, "
                            "sum(t.Qty) AS Q, sum(t.Amount) AS A FROM tb_trans t JOIN tb_Invoice i ON i.InvoiceNum = "
                            "t.InvoiceNum WHERE i.Date >= ") +
                 isoDay(r.obj.BegDate) + QStringLiteral(" AND i.Date <= ") + isoDay(r.obj.EndDate) +
                 QStringLiteral(" GROUP BY t.ItemNum) s JOIN tb_Inventory v ON v.ItemNum = s.ItemNum JOIN "
                                "tb_InvCategories k ON k.CatNum = v.CatNum"));
}

void BM_ClientBal(benchmark::State& state) {
    Opened<Client> c;
    for (auto _ : state) benchmark::DoNotOptimize(c.obj.ClientBal(3500, vb::Date()));
}
void BM_InvoiceTotal(benchmark::State& state) {
    Opened<Invoice> i;
    for (auto _ : state) benchmark::DoNotOptimize(i.obj.InvoiceTotal(25000));
}
void BM_LedgerEndBal(benchmark::State& state) {
    Opened<Vendor> v;
    for (auto _ : state) benchmark::DoNotOptimize(v.obj.LedgerEndBal());
}
void BM_TotalSales(benchmark::State& state) {
    Opened<Reports> r;
    r.obj.BegDate = lastYearJan1();
    r.obj.EndDate = lastYearDec31();
    for (auto _ : state) benchmark::DoNotOptimize(r.obj.TotalSales());
}

// The invoice editor's save: the header, then one line, each its own transaction.
void BM_SaveInvoiceAndLine(benchmark::State& state) {
    Opened<Invoice> i;
    Invoice& inv = i.obj;
    inv.GetInvoice(30000);
    inv.TransNum = 0;
    inv.ItemNum = 1500;
    inv.setQty(2);
    inv.setCharge(vb::Currency::fromRaw(129900));
    inv.TransNotes = QStringLiteral("Benchmark line");
    for (auto _ : state) {
        if (!inv.SaveInvoiceAccess(30000) || !inv.SaveTransAccess()) {
            state.SkipWithError("save failed");
            return;
        }
    }
}

void BM_CompactDatabase(benchmark::State& state) {
    data();
    for (auto _ : state) {
        if (!Globals::CompactDatabase(data().file)) {
            state.SkipWithError("compaction failed");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_GetAllClients)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GetAllInvoices)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ClientBals)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_AllPayments)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LedgerEntriesAll)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_rsInventorySales)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ClientBal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvoiceTotal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LedgerEndBal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TotalSales)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveInvoiceAndLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompactDatabase)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    data();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Globals::SharedInvoice.reset();
    return 0;
}
