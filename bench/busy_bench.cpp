// Two copies of the program on one data file: one reads the client balances
// (Client::ClientBals, the view the balance report reads) in a loop, the other
// saves a client every 0.7 s. Reported per run: the saves that did not go
// through ("refused"), the busy questions asked ("Try again?", answered
// Cancel) and the error reports shown, the longest and the mean save,
// and how many balance reads the other copy finished meanwhile. The same
// saves with no reader beside them are the baseline.
//   build/bench/busy_bench [--benchmark_filter=...]
// VANTREL_BENCH_SCALE=8 grows the business file eight times (1 by default);
// VANTREL_BENCH_FILE=PATH uses a file made by bench/business_file instead;
// VANTREL_BUSY_SAVES sets the saves per run (20 by default).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include "BusinessFile.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "vb/MsgBox.h"

namespace {

using Clock = std::chrono::steady_clock;

QTemporaryDir* g_dir = nullptr;

QString dataFile() { return g_dir->path() + QStringLiteral("/Vantrel.mdb"); }

int envInt(const char* name, int fallback) {
    const QByteArray v = qgetenv(name);
    return v.isEmpty() ? fallback : std::atoi(v.constData());
}

// What the reading copy tells the saving one, in memory both share.
struct Shared {
    std::atomic<int> stop{0};
    std::atomic<long> reads{0};
    std::atomic<long> longestReadMs{0};
};

// The reading copy: a process of its own, as a second desk would be.
[[noreturn]] void readBalances(Shared* shared) {
    Client reader;
    reader.InitAccess(dataFile());
    // A box here would wait for nobody; the read is simply tried again.
    vb::setMsgBoxHandler([](const QString&, int, const QString&) { return int(vb::vbRetry); });
    while (!shared->stop.load()) {
        const auto t0 = Clock::now();
        reader.OpenCn();
        ado::RecordsetPtr rs = reader.ClientBals();
        reader.CloseCn();
        const long ms = long(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (rs && rs->RecordCount() > 0) ++shared->reads;
        long seen = shared->longestReadMs.load();
        while (ms > seen && !shared->longestReadMs.compare_exchange_weak(seen, ms)) {}
    }
    std::_Exit(0);
}

void Saves(benchmark::State& state, bool withReader) {
    const int saves = envInt("VANTREL_BUSY_SAVES", 20);
    long refused = 0, asked = 0, reports = 0;
    for (auto _ : state) {
        auto* shared = static_cast<Shared*>(
            mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
        new (shared) Shared;
        // Forked before this process holds any handle of the file.
        ado::Connection::EmptyPool();
        const pid_t child = withReader ? fork() : 0;
        if (withReader && child == 0) readBalances(shared);
        if (withReader) {
            // The reader's first read under way before the first save.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        vb::setMsgBoxHandler([&](const QString& prompt, int, const QString&) {
            if (prompt.startsWith(QStringLiteral("The data file is busy"))) ++asked;
            else ++reports;
            return int(vb::vbCancel);
        });
        Client c;
        c.InitAccess(dataFile());
        double longest = 0, total = 0;
        for (int i = 0; i < saves; ++i) {
            const int32_t custNum = 1001 + i;
            const auto t0 = Clock::now();
            c.OpenCn();
            const bool ok = c.GetClient(custNum) && (c.Notes = QStringLiteral("save %1").arg(i), c.SaveClientAccess(custNum));
            c.CloseCn();
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            if (!ok) ++refused;
            longest = std::max(longest, ms);
            total += ms;
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
        }
        shared->stop = 1;
        if (withReader) waitpid(child, nullptr, 0);
        state.SetIterationTime(total / 1000.0);
        state.counters["saves"] = saves;
        state.counters["refused"] = double(refused);
        state.counters["asked"] = double(asked);
        state.counters["error_reports"] = double(reports);
        state.counters["longest_save_ms"] = longest;
        state.counters["mean_save_ms"] = total / saves;
        state.counters["balance_reads"] = double(shared->reads.load());
        state.counters["longest_read_ms"] = double(shared->longestReadMs.load());
        munmap(shared, sizeof(Shared));
    }
}

void BM_SavesAlone(benchmark::State& state) { Saves(state, false); }
void BM_SavesBesideABalanceReader(benchmark::State& state) { Saves(state, true); }

BENCHMARK(BM_SavesAlone)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavesBesideABalanceReader)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    const QString path = dataFile();
    const QByteArray given = qgetenv("VANTREL_BENCH_FILE");
    const int scale = envInt("VANTREL_BENCH_SCALE", 1);
    const auto t0 = Clock::now();
    if (!given.isEmpty()) {
        if (!QFile::copy(QString::fromLocal8Bit(given), path)) {
            std::fprintf(stderr, "cannot copy %s\n", given.constData());
            return 1;
        }
    } else {
        business::MakeFile(path, VANTREL_SCHEMA_FILE, 16, scale);
    }
    std::fprintf(stderr, "data file (%s) ready in %.1f s\n",
                 given.isEmpty() ? qPrintable(QStringLiteral("scale %1").arg(scale)) : given.constData(),
                 std::chrono::duration<double>(Clock::now() - t0).count());
    const QString folder = dir.path();
    forms::setAppPathProvider([folder] { return folder; });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
