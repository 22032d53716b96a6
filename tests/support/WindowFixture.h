#pragma once
// Fixture for window tests: a fresh program folder and data file, scripted
// message boxes, a pinned clock, and a clean slate of windows and shared
// state before and after each test.
#include <memory>
#include <gtest/gtest.h>
#include <QDateTime>
#include "support/TestEnv.h"

namespace testsupport {

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture();
    ~WindowFixture() override;
    void SetUp() override;
    void TearDown() override;

    // Pins today to 9 Dec 2026 09:05 unless a test pins another time.
    static QDateTime defaultNow();

    ProgramFolder folder;
    ScriptedMsgBox boxes;
    std::unique_ptr<PinnedClock> clock;
};

// Unloads every window, pumps the deferred deletes and resets Globals.
void ResetWindowsAndState();

} // namespace testsupport
