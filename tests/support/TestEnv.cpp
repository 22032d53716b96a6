#include "support/TestEnv.h"
#include "ado/Connection.h"
#include <csignal>
#include <sqlite3.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include "forms/App.h"
#include "vb/Date.h"
#include "vb/MsgBox.h"

namespace testsupport {

void GlobalEnv::SetUp() {
    // No test may put a real box on screen: an unscripted box fails.
    vb::setMsgBoxHandler([](const QString& prompt, int, const QString&) {
        ADD_FAILURE() << "Unexpected message box: " << prompt.toStdString();
        return int(vb::vbCancel);
    });
    // A busy file asks after a moment, not after the program's ten seconds.
    ado::Connection::SetBusyPatience(200);
}

// Whether a box of this style has a button that gives answer.
static bool answerFits(int buttons, int answer) {
    switch (buttons & 7) {
    case 0: return answer == vb::vbOK;
    case 1: return answer == vb::vbOK || answer == vb::vbCancel;
    case 2: return answer == vb::vbAbort || answer == vb::vbRetry || answer == vb::vbIgnore;
    case 3: return answer == vb::vbYes || answer == vb::vbNo || answer == vb::vbCancel;
    case 4: return answer == vb::vbYes || answer == vb::vbNo;
    case 5: return answer == vb::vbRetry || answer == vb::vbCancel;
    default: return false;
    }
}

ScriptedMsgBox::ScriptedMsgBox() {
    vb::setMsgBoxHandler([this](const QString& prompt, int buttons, const QString& title) {
        shown_.push_back({prompt, buttons, title});
        if (!answers_.empty()) {
            const Answer a = answers_.front();
            answers_.pop_front();
            if (a.checkPrompt && prompt != a.prompt)
                ADD_FAILURE() << "Message box reads \"" << prompt.toStdString() << "\", expected \""
                              << a.prompt.toStdString() << "\"";
            if (!answerFits(buttons, a.answer))
                ADD_FAILURE() << "Answer " << a.answer << " scripted for a box of style " << buttons
                              << " that has no such button: " << prompt.toStdString();
            return a.answer;
        }
        const bool okOnly = (buttons & 7) == 0;
        if (!(allowUnexpected_ && okOnly))
            ADD_FAILURE() << "Unexpected message box: " << prompt.toStdString();
        return okOnly ? int(vb::vbOK) : int(vb::vbCancel);
    });
}

ScriptedMsgBox::~ScriptedMsgBox() {
    vb::setMsgBoxHandler([](const QString& prompt, int, const QString&) {
        ADD_FAILURE() << "Unexpected message box: " << prompt.toStdString();
        return int(vb::vbCancel);
    });
}

static QString readSchema() {
    QFile f(QStringLiteral(VANTREL_SCHEMA));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

void MakeDataFile(const QString& path) {
    static const QString schema = readSchema();
    ASSERT_FALSE(schema.isEmpty()) << "db/schema.sql not readable";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
    char* msg = nullptr;
    int rc = sqlite3_exec(db, schema.toUtf8().constData(), nullptr, nullptr, &msg);
    EXPECT_EQ(rc, SQLITE_OK) << (msg ? msg : "");
    sqlite3_free(msg);
    sqlite3_close(db);
}

OtherProgram::OtherProgram(const QString& file) : p_(std::make_unique<QProcess>()) {
    p_->start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), file});
    EXPECT_TRUE(p_->waitForStarted(5000)) << "sqlite3 shell did not start";
    run(QStringLiteral(".timeout 100"));
}

OtherProgram::~OtherProgram() {
    if (p_->state() == QProcess::NotRunning) return;
    p_->write(".quit\n");
    p_->closeWriteChannel();
    if (!p_->waitForFinished(5000)) kill();
}

QString OtherProgram::run(const QString& sql) {
    const QByteArray mark = "mark-" + QByteArray::number(++marks_);
    p_->write(sql.toUtf8() + "\nSELECT '" + mark + "';\n");
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (!out.contains(mark) && t.elapsed() < 10000) {
        p_->waitForReadyRead(100);
        out += p_->readAllStandardOutput();
    }
    EXPECT_TRUE(out.contains(mark)) << "sqlite3 shell did not answer: " << sql.toStdString();
    return QString::fromUtf8(p_->readAllStandardError()).trimmed();
}

void OtherProgram::kill() {
    p_->kill();
    p_->waitForFinished(5000);
}

ProgramFolder::ProgramFolder(bool withDataFile) {
    EXPECT_TRUE(dir_.isValid());
    if (withDataFile) MakeDataFile(dataFile());
    const QString p = dir_.path();
    forms::setAppPathProvider([p] { return p; });
}

ProgramFolder::~ProgramFolder() { forms::setAppPathProvider({}); }

static sqlite3* openDirect(const QString& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << file.toStdString();
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

void ProgramFolder::exec(const QString& sql) const {
    sqlite3* db = openDirect(dataFile());
    if (!db) return;
    char* msg = nullptr;
    int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    EXPECT_EQ(rc, SQLITE_OK) << (msg ? msg : "") << " in " << sql.toStdString();
    sqlite3_free(msg);
    sqlite3_close(db);
}

std::vector<QStringList> ProgramFolder::query(const QString& sql) const {
    std::vector<QStringList> rows;
    sqlite3* db = openDirect(dataFile());
    if (!db) return rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        sqlite3_close(db);
        return rows;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_NULL) row << QStringLiteral("NULL");
            else row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

QString ProgramFolder::scalar(const QString& sql) const {
    auto rows = query(sql);
    if (rows.empty() || rows[0].isEmpty()) return QString();
    return rows[0][0];
}

PinnedClock::PinnedClock(const QDateTime& now) {
    vb::setClock([now] { return now; });
}
PinnedClock::~PinnedClock() { vb::setClock({}); }

DiskRoom::DiskRoom(long bytes) : handler(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit r = saved;
    r.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &r);
}
DiskRoom::~DiskRoom() { ::setrlimit(RLIMIT_FSIZE, &saved), std::signal(SIGXFSZ, handler); }

} // namespace testsupport
