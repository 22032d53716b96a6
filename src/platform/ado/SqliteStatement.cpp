#include "ado/SqliteStatement.h"
#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <QFileInfo>
#include "ado/SqlText.h"
#include "forms/App.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace ado::sqlite {

namespace {

// Per handle, the most recently used first. Statements that differ only in
// the values they compare share a text (see JetToSqlite), so a few cover the
// statements a window or report repeats.
constexpr size_t kKeptPerHandle = 24;

struct Kept {
    QByteArray text;
    sqlite3_stmt* st;
};

// Never destroyed: handles are closed by connections that outlive statics.
struct Cache {
    std::mutex mutex;
    std::unordered_map<sqlite3*, std::vector<Kept>> byHandle;
};
Cache& cache() {
    static Cache* c = new Cache;
    return *c;
}

sqlite3_stmt* takeKept(sqlite3* db, const QByteArray& text) {
    std::lock_guard<std::mutex> lock(cache().mutex);
    auto h = cache().byHandle.find(db);
    if (h == cache().byHandle.end()) return nullptr;
    auto& kept = h->second;
    for (auto it = kept.begin(); it != kept.end(); ++it)
        if (it->text == text) {
            sqlite3_stmt* st = it->st;
            kept.erase(it);
            return st;
        }
    return nullptr;
}

void keep(sqlite3* db, const QByteArray& text, sqlite3_stmt* st) {
    sqlite3_stmt* evicted = nullptr;
    {
        std::lock_guard<std::mutex> lock(cache().mutex);
        auto& kept = cache().byHandle[db];
        kept.insert(kept.begin(), Kept{text, st});
        if (kept.size() > kKeptPerHandle) {
            evicted = kept.back().st;
            kept.pop_back();
        }
    }
    sqlite3_finalize(evicted);
}

// The handles whose read transaction a ReadSnapshot of this thread keeps.
// The depth is apart and trivial, so the check on every step stays a plain load.
thread_local int heldDepth = 0;
struct HeldReads {
    std::vector<sqlite3*> handles;
    std::chrono::steady_clock::time_point since;   // when the first was taken
};
thread_local HeldReads held;

// How long an enclosing snapshot keeps its locks before an inner one gives
// them back: another program's save waits at most about this long.
constexpr std::chrono::milliseconds kLongestHold(50);

int busyPatienceMs = 10000;
thread_local std::chrono::steady_clock::time_point busySince;
// The pointer before a wait set the busy one; -1 while none is set.
thread_local int pointerBeforeWait = -1;

} // namespace

int WaitWhileBusy(void*, int attempt) {
    using namespace std::chrono;
    const auto now = steady_clock::now();
    if (attempt == 0) {
        busySince = now;
        if (pointerBeforeWait < 0) {
            pointerBeforeWait = forms::MousePointer();
            forms::SetMousePointer(forms::vbHourglass);
        }
    }
    if (now - busySince >= milliseconds(busyPatienceMs)) return 0;
    // Short sleeps: another copy saving without pause leaves the file free
    // only for moments, and a long one would miss them.
    std::this_thread::sleep_for(milliseconds(std::min(attempt + 1, 5)));
    return 1;
}

void SetBusyPatience(int milliseconds) { busyPatienceMs = milliseconds; }

void EndBusyWait() {
    if (pointerBeforeWait < 0) return;
    forms::SetMousePointer(pointerBeforeWait);
    pointerBeforeWait = -1;
}

bool AskToRetry() {
    return vb::MsgBox(QStringLiteral("The data file is busy in another copy of Vantrel. Try again?"),
                      vb::vbRetryCancel | vb::vbQuestion | vb::vbDefaultButton1) == vb::vbRetry;
}

void RaiseBusyCancelled() {
    throw vb::RuntimeError::Answered(vb::err::SqlEngine, QStringLiteral("The data file is busy in another copy of Vantrel."));
}

void BeginHeldReads() {
    // An inner snapshot starts a new piece of work: locks kept too long by
    // the one around it are given back here.
    if (heldDepth > 0 && !held.handles.empty() && std::chrono::steady_clock::now() - held.since > kLongestHold)
        ReleaseHeldReads();
    ++heldDepth;
}

void EndHeldReads() {
    if (heldDepth > 0 && --heldDepth == 0) ReleaseHeldReads();
}

void ReleaseHeldReads() {
    std::vector<sqlite3*> handles;
    handles.swap(held.handles);
    for (sqlite3* db : handles) {
        if (sqlite3_get_autocommit(db)) continue;
        // A read transaction loses nothing when it cannot be committed; it
        // must never stay open and keep other programs from writing.
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

bool HoldsHeldRead(sqlite3* db) {
    return std::find(held.handles.begin(), held.handles.end(), db) != held.handles.end();
}

void ForgetHeldRead(sqlite3* db) { std::erase(held.handles, db); }

void DropCached(sqlite3* db) {
    std::vector<Kept> kept;
    {
        std::lock_guard<std::mutex> lock(cache().mutex);
        auto h = cache().byHandle.find(db);
        if (h == cache().byHandle.end()) return;
        kept.swap(h->second);
        cache().byHandle.erase(h);
    }
    for (const Kept& k : kept) sqlite3_finalize(k.st);
}

void RaiseEngine(sqlite3* db, int rc, bool preparing) {
    // A write on a handle whose file was moved or deleted since it opened.
    if (db && sqlite3_extended_errcode(db) == SQLITE_READONLY_DBMOVED) {
        const QFileInfo fi(QString::fromUtf8(sqlite3_db_filename(db, "main")));
        if (!fi.exists())
            throw vb::RuntimeError::Refusal(vb::err::CouldNotFindFile, fi.fileName() + QStringLiteral(" was not found in ") +
                                                                           fi.absolutePath() + QLatin1Char('.'));
    }
    QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    if (msg.isEmpty() || msg == QLatin1String("not an error")) msg = QString::fromUtf8(sqlite3_errstr(rc));
    // A plain SQLITE_ERROR while preparing is the statement's own fault; a file
    // that is not a database, locked or unreadable is the engine's.
    const bool statementFault = preparing && (rc & 0xff) == SQLITE_ERROR;
    vb::Raise(statementFault ? vb::err::SqlPrepare : vb::err::SqlEngine, msg);
}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db) { prepare(sql.toUtf8()); }

Statement::Statement(sqlite3* db, const QByteArray& utf8) : db_(db) { prepare(utf8); }

Statement::Statement(sqlite3* db, const QByteArray& utf8, Cached) : db_(db) {
    st_ = takeKept(db, utf8);
    if (!st_) prepare(utf8);
    cachedText_ = utf8;
}

void Statement::prepare(const QByteArray& utf8) {
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &st_, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st_);
        st_ = nullptr;
        RaiseEngine(db_, rc, true);
    }
    if (!st_) vb::Raise(vb::err::SqlPrepare, QStringLiteral("empty statement"));
    // One statement at a time: anything after it besides blanks and ';' is refused.
    for (const char* p = tail; p && *p; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';') {
            sqlite3_finalize(st_);
            st_ = nullptr;
            vb::Raise(vb::err::SqlPrepare, QStringLiteral("only one statement may be run at a time"));
        }
    }
}

Statement::~Statement() { release(); }

void Statement::finalize() { release(); }

void Statement::release() {
    if (!st_) return;
    // Reset ends the read, so a kept statement holds no lock.
    if (!cachedText_.isEmpty() && !failed_ && sqlite3_reset(st_) == SQLITE_OK &&
        sqlite3_clear_bindings(st_) == SQLITE_OK)
        keep(db_, cachedText_, st_);
    else
        sqlite3_finalize(st_);
    st_ = nullptr;
}

void Statement::bind(int index, const vb::Variant& v) {
    int rc = SQLITE_OK;
    switch (v.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null: rc = sqlite3_bind_null(st_, index); break;
    case vb::VarType::Integer:
    case vb::VarType::Long: rc = sqlite3_bind_int64(st_, index, v.longValue()); break;
    case vb::VarType::Boolean: rc = sqlite3_bind_int(st_, index, v.boolValue() ? 1 : 0); break;
    case vb::VarType::Double: rc = sqlite3_bind_double(st_, index, v.doubleValue()); break;
    case vb::VarType::Currency:
        RequireStorable(v.currencyValue());
        rc = sqlite3_bind_double(st_, index, v.currencyValue().toDouble());
        break;
    case vb::VarType::Date: {
        const QByteArray iso = v.dateValue().toIsoString().toUtf8();
        rc = sqlite3_bind_text(st_, index, iso.constData(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
        break;
    }
    case vb::VarType::String: {
        const QByteArray s = v.stringValue().toUtf8();
        rc = sqlite3_bind_text(st_, index, s.constData(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    if (rc != SQLITE_OK) RaiseEngine(db_, rc, false);
}

void Statement::bindInt64(int index, qint64 v) {
    const int rc = sqlite3_bind_int64(st_, index, v);
    if (rc != SQLITE_OK) RaiseEngine(db_, rc, false);
}

void Statement::bindText(int index, const QByteArray& utf8) {
    const int rc = sqlite3_bind_text(st_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) RaiseEngine(db_, rc, false);
}

void Statement::bindAll(const std::vector<vb::Variant>& params) {
    for (size_t i = 0; i < params.size(); ++i) bind(static_cast<int>(i + 1), params[i]);
}

void Statement::beforeFirstStep() {
    const bool read = sqlite3_stmt_readonly(st_) && sqlite3_column_count(st_) > 0;
    if (!read) {
        // A write, or a transaction of its own, would wait for the locks this
        // thread keeps: they are given back first.
        ReleaseHeldReads();
        return;
    }
    if (sqlite3_get_autocommit(db_) && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK) {
        if (held.handles.empty()) held.since = std::chrono::steady_clock::now();
        held.handles.push_back(db_);
    }
}

bool Statement::step() {
    for (;;) {
        if (heldDepth > 0 && !sqlite3_stmt_busy(st_)) beforeFirstStep();
        const int rc = sqlite3_step(st_);
        EndBusyWait();
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        // A statement that ran as its own transaction, a read, or a COMMIT
        // (which keeps its transaction open) failed whole on a busy file and
        // may run again; a write inside a transaction may not.
        const bool again = (rc & 0xff) == SQLITE_BUSY && (sqlite3_get_autocommit(db_) || sqlite3_stmt_readonly(st_));
        if (!again) {
            // The message belongs to this failure; read it before the statement is reset.
            failed_ = true;
            RaiseEngine(db_, rc, false);
        }
        sqlite3_reset(st_);
        if (!AskToRetry()) {
            failed_ = true;
            RaiseBusyCancelled();
        }
    }
}

} // namespace ado::sqlite
