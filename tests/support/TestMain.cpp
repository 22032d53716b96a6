// Every test program runs on Qt's offscreen platform with one application
// object, a pinned locale and scripted message boxes.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>
#include "support/TestEnv.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new testsupport::GlobalEnv);
    return RUN_ALL_TESTS();
}
