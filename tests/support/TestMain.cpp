// Every test program runs on Qt's offscreen platform with one application
// object, a pinned locale and scripted message boxes.
#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>
#include "support/TestEnv.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A run meant for a given C library locale fails at once when the
    // machine could not give it, rather than passing under another.
    const QByteArray expected = qgetenv("VANTREL_EXPECT_LOCALE");
    const char* actual = std::setlocale(LC_NUMERIC, nullptr);
    if (!expected.isEmpty() && (!actual || expected != actual)) {
        std::fprintf(stderr, "the C library locale is %s, not %s\n", actual ? actual : "(none)", expected.constData());
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new testsupport::GlobalEnv);
    return RUN_ALL_TESTS();
}
