// The window runtime: default instances, Show and Unload, geometry, process end.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QStringList>
#include <QScreen>
#include <QTimer>
#include "controls/Buttons.h"
#include "controls/Label.h"
#include "controls/TextBox.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "forms/Timer.h"
#include "forms/Twips.h"
#include "support/FormDriver.h"
#include "support/TestEnv.h"
#include "vb/RuntimeError.h"

using forms::Form;
using namespace testsupport;

namespace {

// What the windows of a test did, in order.
QStringList g_log;

// An example of how a window is written: controls are members built in the
// constructor, handlers are public, Form_Load does the loading.
class ExampleWindow : public Form {
public:
    controls::Label lblName{this};
    controls::TextBox txtName{this};
    controls::CommandButton btnSave{QStringLiteral("&Save"), this};
    bool changed = false;

    ExampleWindow() {
        lblName.Move(120, 120, 1200, 300);
        txtName.Move(1400, 120, 2400, 300);
        btnSave.Move(1400, 600, 1200, 400);
        txtName.Change = [this] { changed = true; };
        btnSave.Click = [this] { btnSave_Click(); };
    }
    void Form_Load() override {
        setCaption(QStringLiteral("Example"));
        lblName.setCaption(QStringLiteral("Name:"));
        txtName.setText(QStringLiteral("Smith"));   // raises Change
        changed = false;
        g_log << QStringLiteral("Example.Load");
    }
    void Form_Unload() override { g_log << QStringLiteral("Example.Unload"); }
    void btnSave_Click() {
        g_log << QStringLiteral("Save ") + txtName.Text();
        changed = false;
    }
};

class Plain : public Form {
public:
    void Form_Load() override { g_log << QStringLiteral("Plain.Load"); }
    void Form_Unload() override { g_log << QStringLiteral("Plain.Unload"); }
};

class Other : public Form {
public:
    void Form_Load() override { g_log << QStringLiteral("Other.Load"); }
    void Form_Unload() override { g_log << QStringLiteral("Other.Unload"); }
};

class Third : public Form {
public:
    void Form_Unload() override { g_log << QStringLiteral("Third.Unload"); }
};

// Unloads itself in its load (a picker with nothing to pick).
class SelfUnloading : public Form {
public:
    void Form_Load() override {
        g_log << QStringLiteral("SelfUnloading.Load");
        Unload(this);
        g_log << QStringLiteral("after own Unload");
    }
    void Form_Unload() override { g_log << QStringLiteral("SelfUnloading.Unload"); }
};

// Unloads itself during its load, then runs a nested event loop (as a load
// that opens a modal window does) and goes on using itself.
class SelfUnloadingThenLoops : public Form {
public:
    controls::Label lbl{this};
    bool survived = false;
    void Form_Load() override {
        QPointer<Form> self(this);
        Unload(this);
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(self) << "deleted while its own load was running";
        lbl.setCaption(QStringLiteral("still here"));
        survived = true;
    }
};

// Touches its own default instance and another window while loading.
class TouchesItself : public Form {
public:
    int value = 0;
    void Form_Load() override {
        get<TouchesItself>().value = 42;
        get<Plain>().setLeft(1500);
    }
};

// Unloads itself inside a handler, then goes on.
class UnloadsInHandler : public Form {
public:
    controls::Label lbl{this};
    void Form_Load() override { g_log << QStringLiteral("UnloadsInHandler.Load"); }
    void btnExit_Click() {
        Unload(this);
        g_log << QStringLiteral("handler ran on, loaded=") + (isLoaded<UnloadsInHandler>() ? "yes" : "no");
    }
};

// Closes itself with its own timer inside its modal loop.
class TimedNotice : public Form {
public:
    forms::Timer tmr{this};
    int ticks = 0;
    TimedNotice() {
        tmr.setInterval(20);
        tmr.OnTimer = [this] {
            ++ticks;
            if (ticks == 2) Unload(this);
        };
    }
    void Form_Load() override { tmr.setEnabled(true); }
};

class Resizing : public Form {
public:
    QList<int> widths;
    void Form_Resize() override {
        if (WindowState() == vbMinimized) return;
        widths << Width();
    }
};

class FormRuntime : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    FormsReset reset;
};

TEST_F(FormRuntime, DefaultInstanceLoadsHiddenOnceAndIsLoadedNeverLoads) {
    EXPECT_FALSE(Form::isLoaded<Plain>());
    EXPECT_TRUE(g_log.isEmpty());
    Plain& a = Form::get<Plain>();
    Plain& b = Form::get<Plain>();
    EXPECT_EQ(&a, &b);
    EXPECT_TRUE(Form::isLoaded<Plain>());
    EXPECT_FALSE(a.isVisible());
    a.Show();
    a.Show();
    EXPECT_TRUE(a.isVisible());
    EXPECT_EQ(g_log, QStringList{"Plain.Load"});
}

TEST_F(FormRuntime, UnloadingAnUnloadedWindowLoadsNothing) {
    Form::unload<Plain>();
    Form::Unload(nullptr);
    EXPECT_FALSE(Form::isLoaded<Plain>());
    EXPECT_TRUE(g_log.isEmpty());
}

TEST_F(FormRuntime, UnloadRunsHandlerHidesAndTheNextTouchBuildsAFreshWindow) {
    Plain& first = Form::get<Plain>();
    first.Show();
    Form::Unload(first);
    EXPECT_FALSE(Form::isLoaded<Plain>());
    EXPECT_FALSE(first.isVisible());
    pump();
    Form::get<Plain>();
    EXPECT_EQ(g_log, (QStringList{"Plain.Load", "Plain.Unload", "Plain.Load"}));
}

TEST_F(FormRuntime, WindowThatUnloadsItselfDuringLoadShowsNothing) {
    Form::get<SelfUnloading>().Show();
    EXPECT_FALSE(Form::isLoaded<SelfUnloading>());
    EXPECT_EQ(g_log, (QStringList{"SelfUnloading.Load", "SelfUnloading.Unload", "after own Unload"}));
    for (Form* f : Form::loadedForms()) EXPECT_FALSE(f->isVisible());
    // Modal too: no loop runs for a window that is gone.
    g_log.clear();
    Form::get<SelfUnloading>().Show(true);
    EXPECT_EQ(g_log.size(), 3);
}

TEST_F(FormRuntime, AWindowUnloadedDuringItsLoadLivesUntilTheLoadReturns) {
    SelfUnloadingThenLoops& w = Form::get<SelfUnloadingThenLoops>();
    EXPECT_TRUE(w.survived);
    QPointer<Form> gone(&w);
    EXPECT_FALSE(Form::isLoaded<SelfUnloadingThenLoops>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(gone) << "deleted once its load has returned";
}

TEST_F(FormRuntime, TouchDuringOwnLoadReachesTheLoadingInstance) {
    TouchesItself& t = Form::get<TouchesItself>();
    EXPECT_EQ(t.value, 42);
    EXPECT_TRUE(Form::isLoaded<Plain>());
    EXPECT_EQ(Form::get<Plain>().Left(), 1500);
}

TEST_F(FormRuntime, UnloadInsideAHandlerLetsTheHandlerRunOn) {
    Form::get<UnloadsInHandler>().Show();
    Form::get<UnloadsInHandler>().btnExit_Click();
    EXPECT_EQ(g_log.last(), QStringLiteral("handler ran on, loaded=no"));
    pump();
    Form::get<UnloadsInHandler>();
    EXPECT_EQ(g_log.count(QStringLiteral("UnloadsInHandler.Load")), 2);
}

TEST_F(FormRuntime, OwnedWindowsUnloadFirstNewestFirst) {
    Plain& owner = Form::get<Plain>();
    owner.Show();
    Form::get<Other>().Show(false, &owner);
    Form::get<Third>().Show(false, &owner);
    EXPECT_EQ(Form::get<Other>().Owner(), &owner);
    EXPECT_EQ(owner.OwnedForms().size(), 2);
    g_log.clear();
    Form::Unload(owner);
    EXPECT_EQ(g_log, (QStringList{"Third.Unload", "Other.Unload", "Plain.Unload"}));
    EXPECT_FALSE(Form::isLoaded<Other>());
    EXPECT_FALSE(Form::isLoaded<Third>());
    pump();   // Qt deletes the owned windows with their owner: no double delete
}

TEST_F(FormRuntime, UnownedWindowsOutliveTheWindowThatShowedThem) {
    Plain& main = Form::get<Plain>();
    main.Show();
    Form::get<Other>().Show();
    Form::Unload(main);
    EXPECT_TRUE(Form::isLoaded<Other>());
    EXPECT_TRUE(Form::get<Other>().isVisible());
}

TEST_F(FormRuntime, CloseBoxUnloads) {
    Plain& p = Form::get<Plain>();
    p.Show();
    p.close();
    EXPECT_FALSE(Form::isLoaded<Plain>());
    EXPECT_EQ(g_log, (QStringList{"Plain.Load", "Plain.Unload"}));
}

TEST_F(FormRuntime, ModalShowReturnsWhenTheWindowUnloadsOrHides) {
    struct Case {
        const char* name;
        std::function<void(Form&)> answer;
        bool loadedAfter;
    };
    const Case cases[] = {
        {"unload", [](Form& f) { Form::Unload(f); }, false},
        {"hide", [](Form& f) { f.Hide(); }, true},
        {"close box", [](Form& f) { f.close(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Form::get<Plain>().Show();
        bool sawModal = false;
        {
            ModalAnswer answer([&](Form& f) {
                sawModal = &f == &Form::get<Other>() && f.IsModal() && f.isVisible();
                c.answer(f);
            });
            Form::get<Other>().Show(true);
        }
        EXPECT_TRUE(sawModal);
        EXPECT_EQ(Form::isLoaded<Other>(), c.loadedAfter);
        if (c.loadedAfter) {
            EXPECT_FALSE(Form::get<Other>().IsModal());
            EXPECT_FALSE(Form::get<Other>().isVisible());
        }
        Form::unloadAll();
    }
}

TEST_F(FormRuntime, ModalWindowClosedByItsOwnTimer) {
    Form::get<TimedNotice>().Show(true);   // returns only when the timer unloaded it
    EXPECT_FALSE(Form::isLoaded<TimedNotice>());
}

TEST_F(FormRuntime, ShowingAVisibleWindowModalIsARunTimeError) {
    Form::get<Plain>().Show();
    try {
        Form::get<Plain>().Show(true);
        FAIL() << "no error";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 400);
    }
}

TEST_F(FormRuntime, GeometryInTwipsKeptAsRequestedUntilShown) {
    Plain& p = Form::get<Plain>();
    p.Move(1500, 3000, 8000, 6000);
    EXPECT_EQ(p.Left(), 1500);
    EXPECT_EQ(p.Top(), 3000);
    EXPECT_EQ(p.Width(), 8000);
    EXPECT_EQ(p.Height(), 6000);
    // 15 twips to a pixel at 96 dpi; a value between pixels is kept as set.
    EXPECT_DOUBLE_EQ(forms::TwipsPerPixelX(), 15.0);
    p.setWidth(8007);
    EXPECT_EQ(p.Width(), 8007);
    p.Show();
    pump();   // the frame is known once the window is up
    EXPECT_EQ(p.Width(), 8007);   // still where it was put: read back as set
    EXPECT_EQ(p.frameGeometry().width(), 534);
    p.resize(p.width() + 10, p.height());   // the user sizes it: the frame counts
    EXPECT_EQ(p.Width(), forms::PixelsToTwipsX(544));
    p.setWidth(8007);
    EXPECT_EQ(p.Left(), 1500);
    const int frameExtra = p.frameGeometry().height() - p.height();
    p.setHeight(4500);
    EXPECT_EQ(p.Height(), 4500);
    EXPECT_EQ(p.height(), 300 - frameExtra);
    EXPECT_EQ(p.ScaleHeight(), forms::PixelsToTwipsY(300 - frameExtra));
}

TEST_F(FormRuntime, WindowStateAndResizeHandler) {
    Resizing& r = Form::get<Resizing>();
    r.Move(0, 0, 6000, 4500);
    EXPECT_EQ(r.WindowState(), Form::vbNormal);
    r.Show();
    ASSERT_FALSE(r.widths.isEmpty());   // first show raises Form_Resize
    EXPECT_EQ(r.widths.last(), 6000);
    r.setWidth(7500);
    EXPECT_EQ(r.widths.last(), 7500);
    r.setWindowState(Form::vbMinimized);
    EXPECT_EQ(r.WindowState(), Form::vbMinimized);
    const int before = r.widths.size();
    r.setWindowState(Form::vbNormal);
    pump();
    EXPECT_EQ(r.WindowState(), Form::vbNormal);
    EXPECT_GT(r.widths.size(), before);   // restore raises it again
    r.setWindowState(Form::vbMaximized);
    pump();
    EXPECT_EQ(r.WindowState(), Form::vbMaximized);
}

TEST_F(FormRuntime, ExampleWindowBuildsControlsAndLoads) {
    ExampleWindow& w = Form::get<ExampleWindow>();
    EXPECT_EQ(w.Caption(), QStringLiteral("Example"));
    EXPECT_EQ(w.txtName.Text(), QStringLiteral("Smith"));
    EXPECT_FALSE(w.changed);
    EXPECT_EQ(w.txtName.Left(), 1395);   // 1400 twips is 93.3 pixels: whole pixels come back
    w.Show();
    type(w.txtName, QStringLiteral("on"));
    EXPECT_TRUE(w.changed);
    click(w.btnSave);
    EXPECT_EQ(g_log.last(), QStringLiteral("Save Smithon"));
    EXPECT_FALSE(w.changed);
}

TEST_F(FormRuntime, HiddenWindowsDoNotKeepTheProgramRunningAndTerminateRunsAfterTheLoop) {
    int terminated = 0;
    Form::setTerminateHandler([&] {
        ++terminated;
        EXPECT_FALSE(Form::messageLoopRunning());
        EXPECT_FALSE(Form::isLoaded<Other>());
    });
    Form::get<Plain>().Show();
    Form::get<Other>();   // loaded, never shown
    QTimer::singleShot(0, [] { Form::unload<Plain>(); });
    Form::RunMessageLoop();
    // The loop ended once no window was visible; the hidden one was unloaded
    // (its handler ran) before the terminate step.
    EXPECT_FALSE(Form::isLoaded<Other>());
    EXPECT_TRUE(g_log.contains(QStringLiteral("Other.Unload")));
    EXPECT_EQ(terminated, 1);
    Form::setTerminateHandler({});
}

TEST_F(FormRuntime, AWindowUnloadedInsideItsHandlerSurvivesAPumpUntilTheHandlerEnds) {
    // The handler runs from the program's loop, unloads its own window, lets
    // events run (a status notice, a pause) and still touches its members.
    bool aliveAfterPump = false;
    Form::get<Plain>().Show();
    UnloadsInHandler& w = Form::get<UnloadsInHandler>();
    w.Show();
    QTimer::singleShot(0, &w, [&w, &aliveAfterPump] {
        QPointer<Form> self(&w);
        Form::Unload(w);
        forms::DoEvents();
        aliveAfterPump = !self.isNull();
        if (self) w.lbl.setCaption(QStringLiteral("still here"));
        QTimer::singleShot(0, [] { Form::unload<Plain>(); });
    });
    Form::RunMessageLoop();
    EXPECT_TRUE(aliveAfterPump);
    EXPECT_FALSE(Form::isLoaded<UnloadsInHandler>());
}

class Ticking : public Form {
public:
    forms::Timer tmr{this};
    int ticks = 0;
    Ticking() {
        tmr.setInterval(5);
        tmr.OnTimer = [this] { ++ticks; };
    }
    void Form_Load() override { tmr.setEnabled(true); }
};

TEST_F(FormRuntime, AnUnloadedWindowsTimerNoLongerTicks) {
    // Unloaded from a handler while a nested loop (a modal window, a message
    // box) keeps the window from being deleted for a while.
    Form::get<Plain>().Show();
    Ticking& t = Form::get<Ticking>();
    t.Show();
    QPointer<Ticking> zombie(&t);
    int ticksAtUnload = -1, ticksAfter = -1;
    QTimer::singleShot(0, &t, [&] {
        Form::Unload(t);
        ticksAtUnload = t.ticks;
        QEventLoop nested;
        QTimer::singleShot(60, &nested, &QEventLoop::quit);
        nested.exec();
        if (zombie) ticksAfter = zombie->ticks;
        else ticksAfter = ticksAtUnload;
        QTimer::singleShot(0, [] { Form::unload<Plain>(); });
    });
    Form::RunMessageLoop();
    EXPECT_EQ(ticksAfter, ticksAtUnload);
}

TEST_F(FormRuntime, ProcessGoesOnWhileAModalWindowOrAnotherWindowIsOpen) {
    // Between hiding one window and showing the next inside one handler, the
    // program must not end.
    Form::get<Plain>().Show();
    QTimer::singleShot(0, [] {
        Form::unload<Plain>();
        forms::DoEvents();
        Form::get<Other>().Show();
        QTimer::singleShot(30, [] { Form::unload<Other>(); });
    });
    Form::RunMessageLoop();
    EXPECT_EQ(g_log, (QStringList{"Plain.Load", "Plain.Unload", "Other.Load", "Other.Unload"}));
}

} // namespace

namespace {

class Activating : public Form {
public:
    int activations = 0;
    void Form_Activate() override { ++activations; }
};
class Activating2 : public Activating {};

TEST_F(FormRuntime, ActivateRunsWhenAnotherProgramWindowBecomesActive) {
    Activating& a = Form::get<Activating>();
    a.Show();
    pump();
    if (!a.isActiveWindow()) GTEST_SKIP() << "this platform does not activate windows";
    EXPECT_EQ(a.activations, 1);
    Activating2& b = Form::get<Activating2>();
    b.Show();
    pump();
    EXPECT_EQ(b.activations, 1);
    // A foreign window (a message box) coming and going does not count.
    a.activateWindow();
    pump();
    EXPECT_EQ(a.activations, 2);
    {
        QWidget box;
        box.show();
        box.activateWindow();
        pump();
        box.hide();
        a.activateWindow();
        pump();
    }
    EXPECT_EQ(a.activations, 2);
}

} // namespace

namespace {

class FixedDialog : public Form {
public:
    FixedDialog() {
        setFixedBorder();
        setClientSize(8070, 6195);
    }
    void Form_Load() override { CenterOnScreen(); }
};

TEST_F(FormRuntime, FixedBorderWindowKeepsItsClientSizeAndIsCentred) {
    FixedDialog& d = Form::get<FixedDialog>();
    d.Show();
    pump();
    EXPECT_EQ(d.ScaleWidth(), 8070);
    EXPECT_EQ(d.ScaleHeight(), 6195);
    EXPECT_EQ(d.minimumSize(), d.maximumSize());   // the user cannot resize it
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect avail = d.screen()->availableGeometry();
    EXPECT_NEAR(d.frameGeometry().center().x(), avail.center().x(), 3);
}

} // namespace

namespace {

// Refuses its close while `keep` is set, and logs how it was asked.
class Refusing : public Form {
public:
    bool keep = true;
    QList<int> modes;
    void Form_QueryUnload(bool& Cancel, int UnloadMode) override {
        modes << UnloadMode;
        Cancel = keep;
    }
    void Form_Unload() override { g_log << QStringLiteral("Refusing.Unload"); }
};

TEST_F(FormRuntime, AWindowCanRefuseItsCloseOnEveryPath) {
    struct Case {
        const char* name;
        int mode;
        std::function<bool()> close;   // true when the closing went through
    };
    const Case cases[] = {
        {"code", Form::vbFormCode, [] { return Form::unload<Refusing>(); }},
        {"close box", Form::vbFormControlMenu, [] { Form::get<Refusing>().close(); return !Form::isLoaded<Refusing>(); }},
        {"owner", Form::vbFormOwner, [] { return Form::unload<Plain>(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_log.clear();
        Plain& owner = Form::get<Plain>();
        owner.Show();
        Form::get<Refusing>().Show(false, &owner);
        EXPECT_FALSE(c.close());
        ASSERT_TRUE(Form::isLoaded<Refusing>());
        EXPECT_TRUE(Form::get<Refusing>().isVisible());
        EXPECT_TRUE(Form::isLoaded<Plain>()) << "an owner stays with the window it owns";
        EXPECT_EQ(Form::get<Refusing>().modes, QList<int>{c.mode});
        EXPECT_TRUE(g_log.filter(QStringLiteral(".Unload")).isEmpty());
        // Asked again, it may go.
        Form::get<Refusing>().keep = false;
        EXPECT_TRUE(c.close());
        EXPECT_FALSE(Form::isLoaded<Refusing>());
        EXPECT_TRUE(g_log.contains(QStringLiteral("Refusing.Unload")));
        Form::unloadAll();
    }
    // Tests end with every window gone, refusing or not.
    Form::get<Refusing>();
    Form::unloadAll();
    EXPECT_FALSE(Form::isLoaded<Refusing>());
}

TEST_F(FormRuntime, AHiddenWindowThatRefusesAtProcessEndIsShownAndTheProgramGoesOn) {
    Form::get<Plain>().Show();
    Refusing& r = Form::get<Refusing>();   // loaded, never shown
    bool shownAgain = false;
    QTimer::singleShot(0, [] { Form::unload<Plain>(); });
    QTimer::singleShot(200, [&] {
        shownAgain = Form::isLoaded<Refusing>() && r.isVisible();
        if (!Form::isLoaded<Refusing>()) return;
        r.keep = false;
        Form::unload<Refusing>();
    });
    Form::RunMessageLoop();
    EXPECT_TRUE(shownAgain);
    ASSERT_FALSE(Form::isLoaded<Refusing>());
}

} // namespace
