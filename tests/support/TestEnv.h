#pragma once
// The test harness: a temporary program folder with a data file made from
// db/schema.sql, scripted message boxes and a pinned clock.
#include <deque>
#include <functional>
#include <memory>
#include <vector>
#include <sys/resource.h>
#include <gtest/gtest.h>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include "data/Globals.h"
#include "vb/RuntimeError.h"

struct sqlite3;
class QProcess;

namespace testsupport {

class GlobalEnv : public ::testing::Environment {
public:
    void SetUp() override;
};

// One message box that was shown.
struct ShownBox {
    QString prompt;
    int buttons;
    QString title;
};

// Answers message boxes in order; a box with no answer left fails the test
// (and answers OK / Cancel so nothing hangs). So does an answer the box has
// no button for (a Yes given to an error report that came first), and a box
// that does not read as the test said it would.
class ScriptedMsgBox {
public:
    ScriptedMsgBox();
    ~ScriptedMsgBox();
    void expect(int answer) { answers_.push_back({answer, QString(), false}); }
    // The next box must read exactly prompt.
    void expect(int answer, const QString& prompt) { answers_.push_back({answer, prompt, true}); }
    // Accept any number of OK-only boxes without scripting them.
    void allowUnexpected(bool allow = true) { allowUnexpected_ = allow; }
    const std::vector<ShownBox>& shown() const { return shown_; }
    QString lastPrompt() const { return shown_.empty() ? QString() : shown_.back().prompt; }
    void clear() { shown_.clear(); }
private:
    struct Answer {
        int answer;
        QString prompt;
        bool checkPrompt;
    };
    std::deque<Answer> answers_;
    std::vector<ShownBox> shown_;
    bool allowUnexpected_ = false;
};

// A program folder in a temporary directory, with Vantrel.mdb made from the
// schema; the program-folder service and clock point at it for the test.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withDataFile = true);
    ~ProgramFolder();
    QString path() const { return dir_.path(); }
    QString dataFile() const { return dir_.path() + QStringLiteral("/Vantrel.mdb"); }
    QString iniFile() const { return dir_.path() + QStringLiteral("/Vantrel.ini"); }
    // Runs SQL on the data file directly (rows a test names); fails the test on error.
    void exec(const QString& sql) const;
    // Reads rows directly with SQLite: each row's columns as text ("NULL" for null).
    std::vector<QStringList> query(const QString& sql) const;
    QString scalar(const QString& sql) const;
private:
    QTemporaryDir dir_;
};

// Makes an empty data file at path from db/schema.sql.
void MakeDataFile(const QString& path);

// Another program holding a data file: the sqlite3 shell, fed statements on
// its input. It quits when the object goes.
class OtherProgram {
public:
    explicit OtherProgram(const QString& file);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    // Runs sql and waits until the shell has done it; returns what it printed
    // to its error output meanwhile ("" when all went well).
    QString run(const QString& sql);
    // Ends it at once, as a crash or a power cut would, mid-transaction or not.
    void kill();
private:
    std::unique_ptr<QProcess> p_;
    int marks_ = 0;
};

// Pins today and now for a scope.
class PinnedClock {
public:
    explicit PinnedClock(const QDateTime& now);
    ~PinnedClock();
};

// No file of this process may grow past bytes (a full disk) for a scope.
struct DiskRoom {
    explicit DiskRoom(long bytes);
    ~DiskRoom();
    rlimit saved{};
    void (*handler)(int);
};

// The number of the run-time error f raises; 0 when it raises none.
template <class F>
long errorNumberOf(F&& f) {
    try {
        f();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

// A data-access instance on the program folder's data file, set as the
// shared one the way start-up leaves it.
template <class T>
std::shared_ptr<T> SharedOnDataFile(std::shared_ptr<T>& shared) {
    auto p = std::make_shared<T>();
    p->InitAccess(Globals::DataFilePath());
    shared = p;
    return p;
}

// A program folder with a data-access instance of T open on its data file
// for as long as it lives.
template <class T>
struct OpenedOn {
    ProgramFolder folder;
    T da;
    OpenedOn() {
        da.InitAccess(folder.path() + QStringLiteral("\\Vantrel.mdb"));
        da.OpenCn();
    }
    ~OpenedOn() { da.CloseCn(); }
    QString scalar(const QString& sql) const { return folder.scalar(sql); }
};

// A data-access instance of its own on the data file, its connection open.
template <class T>
std::unique_ptr<T> OpenOnDataFile() {
    auto p = std::make_unique<T>();
    p->InitAccess(Globals::DataFilePath());
    p->OpenCn();
    return p;
}

} // namespace testsupport
