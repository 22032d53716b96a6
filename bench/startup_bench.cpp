// Start-up to a painted main window, and the client-list reload, over a data
// file of 5,000 clients (offscreen). Then start-up on the business file (see
// BusinessFile.h; VANTREL_BENCH_SCALE and VANTREL_BENCH_FILE as in
// report_bench): a real process started from exec to its first painted main
// window, the data file evicted from the page cache before each start where
// the system allows it, beside the same start made in this process.
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
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFont>
#include <QLocale>
#include <QTimer>
#include "BusinessFile.h"
#include "vb/Date.h"

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

// The main window shown and painted in this process: milliseconds.
double startInProcess() {
    QElapsedTimer t;
    t.start();
    auto& w = forms::Form::get<Customer>();
    w.Show();
    w.repaint();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(w.CustList2.Rows());
    return t.nsecsElapsed() / 1e6;
}

void BM_StartUpToPaintedMainWindow(benchmark::State& state) {
    folder();
    for (auto _ : state) {
        resetAll();
        state.SetIterationTime(startInProcess() / 1000);
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

// The business file in a program folder of its own.
struct BusinessProgramFolder {
    QTemporaryDir dir;
    QString file;
    BusinessProgramFolder() {
        file = dir.path() + QStringLiteral("/Vantrel.mdb");
        const QString given = qEnvironmentVariable("VANTREL_BENCH_FILE");
        const int scale = std::max(1, qEnvironmentVariableIntValue("VANTREL_BENCH_SCALE"));
        if (!given.isEmpty()) {
            if (!QFile::copy(given, file)) business::Inserter::fail(nullptr, "copying VANTREL_BENCH_FILE");
        } else {
            business::MakeFile(file, VANTREL_SCHEMA_FILE, 16, scale);
        }
    }
};

BusinessProgramFolder& businessFolder() {
    static BusinessProgramFolder f;
    return f;
}

// Drops the file's pages from the page cache; false where the system keeps them.
bool evict(const QString& file) {
    const int fd = ::open(file.toLocal8Bit().constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool done = posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return done;
}

// This program run again as the program itself on folder (see main): the
// wall time from fork and exec to the line it writes after its first paint.
double realStartMs(const QString& folder) {
    int out[2];
    if (pipe(out) != 0) return -1;
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        // VANTREL_BENCH_PLATFORM=xcb starts it on the display of DISPLAY instead.
        setenv("QT_QPA_PLATFORM", qEnvironmentVariable("VANTREL_BENCH_PLATFORM", QStringLiteral("offscreen")).toLocal8Bit().constData(), 1);
        const QByteArray dir = folder.toLocal8Bit();
        execl("/proc/self/exe", "startup_bench", "--as-program", dir.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(out[1]);
    char buf[64];
    const ssize_t n = read(out[0], buf, sizeof buf);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    ::close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return n > 0 && buf[0] == 'p' ? ms : -1;
}

void BM_RealStartOnBusinessFile(benchmark::State& state) {
    const BusinessProgramFolder& f = businessFolder();
    double best = 1e300, first = -1;
    bool evicted = true;
    for (auto _ : state) {
        evicted = evict(f.file) && evicted;
        const double ms = realStartMs(f.dir.path());
        if (ms < 0) {
            state.SkipWithError("the program did not paint its main window");
            return;
        }
        state.SetIterationTime(ms / 1000);
        best = std::min(best, ms);
        if (first < 0) first = ms;
    }
    state.counters["best_ms"] = best;
    state.counters["first_ms"] = first;
    state.counters["evicted"] = evicted ? 1 : 0;
}

// The same start in this process, file evicted too, beside it.
void BM_InProcessStartOnBusinessFile(benchmark::State& state) {
    const BusinessProgramFolder& f = businessFolder();
    const QString p = f.dir.path();
    forms::setAppPathProvider([p] { return p; });
    double best = 1e300, first = -1;
    for (auto _ : state) {
        resetAll();
        evict(f.file);
        const double ms = startInProcess();
        state.SetIterationTime(ms / 1000);
        best = std::min(best, ms);
        if (first < 0) first = ms;
    }
    state.counters["best_ms"] = best;
    state.counters["first_ms"] = first;
    state.counters["clients"] = Globals::ClientCount;
    resetAll();
    const QString small = folder().path();
    forms::setAppPathProvider([small] { return small; });
}

// As the program's own main starts it, on the folder given; writes "painted"
// once the loaded main window has been painted, then ends.
int runAsProgram(int argc, char** argv, const QString& folder) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vantrel"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    app.setFont(font);
    if (QLocale::system().language() == QLocale::C) QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    forms::setAppPathProvider([folder] { return folder; });
    vb::setMsgBoxHandler([](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "message: %s\n", prompt.toUtf8().constData());
        return int(vb::vbOK);
    });
    struct FirstPaint : QObject {
        QWidget* window = nullptr;
        bool seen = false;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (!seen && o == window && e->type() == QEvent::Paint) {
                seen = true;
                // After this paint has been done.
                QTimer::singleShot(0, [] {
                    std::printf("painted\n");
                    std::fflush(stdout);
                    _exit(0);
                });
            }
            return false;
        }
    } watch;
    // The first paint once start-up has loaded the window (its splash and
    // steps may paint a half-made window before).
    auto& w = forms::Form::get<Customer>();
    w.Show();
    watch.window = &w;
    w.installEventFilter(&watch);
    w.update();
    return app.exec();
}

BENCHMARK(BM_StartUpToPaintedMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RefreshCustList)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RealStartOnBusinessFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_InProcessStartOnBusinessFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--as-program") == 0) {
        int one = 1;
        return runAsProgram(one, argv, QString::fromLocal8Bit(argv[2]));
    }
    return bench::RunWindowBenchmarks(argc, argv);
}
