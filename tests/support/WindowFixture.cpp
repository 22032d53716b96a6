#include "support/WindowFixture.h"
#include <QCoreApplication>
#include <QEvent>
#include "customers/Profile.h"
#include "data/Globals.h"
#include "forms/Form.h"

namespace testsupport {

void ResetWindowsAndState() {
    // Typed edits a test leaves behind are dropped, not asked about: the
    // save questions of the editors are the tests' own to script.
    Globals::InvoiceChanged = false;
    if (forms::Form::isLoaded<Profile>()) forms::Form::get<Profile>().ProfileChanged = false;
    forms::Form::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    Globals::ResetState();
}

QDateTime defaultNowValue() { return QDateTime(QDate(2026, 12, 9), QTime(9, 5, 0)); }

WindowFixture::WindowFixture() = default;
WindowFixture::~WindowFixture() = default;

QDateTime WindowFixture::defaultNow() { return defaultNowValue(); }

void WindowFixture::SetUp() {
    ResetWindowsAndState();
    clock = std::make_unique<PinnedClock>(defaultNow());
}

void WindowFixture::TearDown() {
    // Boxes raised while windows unload belong to the test that left them.
    boxes.allowUnexpected(true);
    ResetWindowsAndState();
    clock.reset();
}

} // namespace testsupport
