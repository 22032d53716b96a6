// Window places under a real window manager (run by scripts/check-window-places
// under Xvfb with openbox, not by the offscreen suite): every window that keeps
// its place stores back exactly what it read, however often it is opened and
// closed, and a place off the screens opens on the screen.
#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include "books/GL.h"
#include "customers/CustInvoices.h"
#include "customers/Customer.h"
#include "customers/Receipts.h"
#include "customers/intro.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/TestEnv.h"
#include "support/WindowFixture.h"

using forms::Form;

namespace {

// Lets the window manager frame and place a window.
void settle(int ms = 300) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) forms::DoEvents();
}

class WindowPlaces : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1001,'Lane','Ada')");
        Globals::CurrentCustNum = 1001;
    }
    // The four stored values of a section, as the settings file holds them.
    QString stored(const QString& section) const {
        QStringList values;
        for (const char* key : {"LEFT", "TOP", "WIDTH", "HEIGHT"})
            values << Globals::ReadIniString(section, QString::fromLatin1(key), QString(), folder.iniFile());
        return values.join(QLatin1Char(' '));
    }
    void place(const QString& section, int left, int top, int width, int height) const {
        Globals::WriteWindowGeometry(section, left, top, width, height, folder.iniFile());
    }
};

struct PlaceCase {
    const char* section;
    std::function<Form&()> open;   // after the main window is up
    bool isMain;
};

const PlaceCase kCases[] = {
    {"Customer", [] () -> Form& { PlaceMainWindowFromSettings(); return Form::get<Customer>(); }, true},
    {"RECEIPTS", [] () -> Form& { return Form::get<Receipts>(); }, false},
    {"CustInvoices", [] () -> Form& { return Form::get<CustInvoices>(); }, false},
    {"GL", [] () -> Form& { return Form::get<GL>(); }, false},
};

TEST_F(WindowPlaces, OpeningAndClosingFiveTimesLeavesTheStoredPlace) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) GTEST_SKIP() << "needs a window manager";
    for (const PlaceCase& c : kCases) {
        SCOPED_TRACE(c.section);
        place(QString::fromLatin1(c.section), 1500, 1200, 9000, 6000);
        const QString section = QString::fromLatin1(c.section);
        const QString before = stored(section);
        EXPECT_EQ(before, "1500 1200 9000 6000");
        for (int i = 0; i < 5; ++i) {
            if (!c.isMain) Form::get<Customer>().Show();
            Form& w = c.open();
            w.Show();
            settle();
            EXPECT_NEAR(w.frameGeometry().height(), 400, 1) << "cycle " << i;
            EXPECT_NEAR(w.frameGeometry().x(), 100, 1) << "cycle " << i;
            Form::unloadAll();
            testsupport::pump();
            EXPECT_EQ(stored(section), before) << "cycle " << i;
        }
    }
}

TEST_F(WindowPlaces, APlaceOffTheScreensOpensOnTheScreenAndFitsIt) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) GTEST_SKIP() << "needs a window manager";
    place(QStringLiteral("GL"), -90000, -90000, 90000, 90000);
    Form::get<Customer>().Show();
    GL& w = Form::get<GL>();
    w.Show();
    settle();
    const QRect avail = w.screen()->availableGeometry();
    EXPECT_TRUE(avail.contains(w.frameGeometry())) << "frame " << w.frameGeometry().x() << "," << w.frameGeometry().y()
                                                   << " " << w.frameGeometry().width() << "x" << w.frameGeometry().height();
}

} // namespace

int main(int argc, char** argv) {
    // The platform the environment names: a real X display here.
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new testsupport::GlobalEnv);
    return RUN_ALL_TESTS();
}
