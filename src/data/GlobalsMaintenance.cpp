// Repair and compaction of the data file, its size text, and the pause routine.
#include <chrono>
#include <thread>
#include <QFileInfo>
#include "customers/Customer.h"
#include "data/Globals.h"
#include "dao/DBEngine.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "fso/FileSystem.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace Globals {

namespace testing {
std::function<void()> AfterCompactCopy;
}

QStringList DataTables() {
    return {QStringLiteral("tb_Client"),    QStringLiteral("tb_Invoice"),       QStringLiteral("tb_trans"),
            QStringLiteral("tb_Receive"),   QStringLiteral("tb_Inventory"),     QStringLiteral("tb_InvCategories"),
            QStringLiteral("tb_Vendor"),    QStringLiteral("tb_GL"),            QStringLiteral("tb_Company"),
            QStringLiteral("tb_PaymentTypes"), QStringLiteral("tb_ExpenseTypes"), QStringLiteral("tb_Shipping")};
}

void ReloadSharedLists() {
    int32_t noItem = 0;
    int32_t cat = CurrentCatNum;
    GetInventory(cat, noItem);
    SetupInit();
    if (forms::Form::isLoaded<Customer>()) RefreshCustList();
}

bool CompactDatabase(const QString& dbPath) {
    forms::HourglassGuard hourglass;
    bool ok = false;
    try {
        const QString folder = forms::AppPath();
        const QString source = fso::ResolvePath(fso::InFolder(folder, dbPath));
        const QFileInfo srcInfo(source);
        // Beside the name the program uses; a link's target is compacted in place.
        const QString backup = srcInfo.absolutePath() + QStringLiteral("/BackupOf") + srcInfo.fileName();

        if (!fso::FileExists(source))
            vb::Raise(vb::err::CouldNotFindFile, QStringLiteral("Could not find file '%1'.").arg(source));

        dao::RepairDatabase(source);
        const QString before = FormatFileSize(fso::FileSize(source));

        if (fso::FileExists(backup)) fso::DeleteFile(backup);
        // The checked copy stays after a failure from here on; the data file
        // itself is only ever changed by the engine, all or nothing.
        dao::CompactDatabase(source, backup, testing::AfterCompactCopy);
        fso::DeleteFile(backup);

        const QString after = FormatFileSize(fso::FileSize(source));
        ok = true;
        vb::MsgBox(dbPath.toUpper() + QStringLiteral(" compacted/repaired successfully.\r\n\r\nSize before compacting:\t") +
                       before + QStringLiteral("\r\nSize after compacting:\t") + after,
                   vb::vbInformation, QStringLiteral("Compact Successful"));
    } catch (...) {
        const vb::RuntimeError e = vb::ToRuntimeError(std::current_exception());
        ok = false;
        if (!e.IsAnswered())
            vb::MsgBox(QString::number(e.Number()) + QStringLiteral(": ") + e.Description(), vb::vbCritical,
                       QStringLiteral("CompactDatabase Error"));
    }
    return ok;
}

QString FormatFileSize(int64_t n) {
    if (n < 1024) return QString::number(n) + QStringLiteral(" bytes");
    if (n < 1048576) return vb::Format00(double(n) / 1024.0) + QStringLiteral(" KB");
    if (n >= 1073741824) return vb::Format00(double(n) / 1073741824.0) + QStringLiteral(" GB");
    return vb::Format00(double(n) / 1048576.0) + QStringLiteral(" MB");
}

namespace {
std::function<double()>& pauseClock() {
    static std::function<double()> clock;
    return clock;
}
double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

void setPauseClock(std::function<double()> secondsNow) { pauseClock() = std::move(secondsNow); }

void Pause(int16_t seconds) {
    auto now = [] { return pauseClock() ? pauseClock()() : SteadySeconds(); };
    const double end = now() + seconds;
    for (;;) {
        forms::DoEvents();
        const double left = end - now();
        if (left <= 0) break;
        // Sleep briefly between pumps so a long wait does not spin a core.
        const double ms = std::min(left * 1000.0, 5.0);
        std::this_thread::sleep_for(std::chrono::microseconds(int64_t(ms * 1000.0)));
    }
}

} // namespace Globals
