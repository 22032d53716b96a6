// The one logical focus: LostFocus then GotFocus between the program's own
// controls and windows, nothing around message boxes.
#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include "controls/Buttons.h"
#include "controls/TextBox.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"

using forms::Form;
using namespace testsupport;

namespace {

QStringList g_events;

void watch(controls::Control& c, const QString& name) {
    c.GotFocus = [name] { g_events << name + QStringLiteral(".GotFocus"); };
    c.LostFocus = [name] { g_events << name + QStringLiteral(".LostFocus"); };
}

class Editor : public Form {
public:
    controls::TextBox txtA{this};
    controls::TextBox txtB{this};
    controls::CommandButton btnGo{QStringLiteral("&Go"), this};
    controls::ToolButton btnTool{this};
    Editor() {
        txtA.Move(0, 0, 1500, 300);
        txtB.Move(0, 400, 1500, 300);
        btnGo.Move(0, 800, 1500, 400);
        btnTool.Move(0, 1300, 400, 400);
        watch(txtA, "A");
        watch(txtB, "B");
        watch(btnGo, "Go");
        watch(btnTool, "Tool");
        btnGo.Click = [] { g_events << QStringLiteral("Go.Click"); };
        btnTool.Click = [] { g_events << QStringLiteral("Tool.Click"); };
    }
};

class Picker : public Form {
public:
    controls::TextBox txtFind{this};
    Picker() {
        txtFind.Move(0, 0, 1500, 300);
        watch(txtFind, "Find");
    }
};

// A notice with nothing to focus.
class Notice : public Form {};

class Focus : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        Form::get<Editor>().Show();
        focus(Form::get<Editor>().txtA);
        g_events.clear();
    }
    FormsReset reset;
};

TEST_F(Focus, MovesBetweenControlsRaiseLostThenGot) {
    Editor& e = Form::get<Editor>();
    focus(e.txtB);
    focus(e.txtB);   // already there: nothing
    focus(e.txtA);
    EXPECT_EQ(g_events, (QStringList{"A.LostFocus", "B.GotFocus", "B.LostFocus", "A.GotFocus"}));
    EXPECT_TRUE(e.txtA.hasLogicalFocus());
}

TEST_F(Focus, ButtonsTakeTheFocusBeforeClick) {
    Editor& e = Form::get<Editor>();
    click(e.btnGo);
    click(e.btnGo);   // holds the focus already: Click only
    click(e.btnTool);
    EXPECT_EQ(g_events, (QStringList{"A.LostFocus", "Go.GotFocus", "Go.Click", "Go.Click", "Go.LostFocus",
                                     "Tool.GotFocus", "Tool.Click"}));
}

TEST_F(Focus, MessageBoxRaisesNoFocusEvents) {
    // Through the real box: it takes Qt's focus and gives it back.
    vb::setMsgBoxHandler({});
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
        else if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    vb::MsgBox(QStringLiteral("Saved."));
    pump();
    EXPECT_TRUE(g_events.isEmpty()) << g_events.join(", ").toStdString();
    EXPECT_TRUE(Form::get<Editor>().txtA.hasLogicalFocus());
    testsupport::GlobalEnv().SetUp();   // back to failing on unscripted boxes
}

TEST_F(Focus, QtFocusOutsideProgramWindowsChangesNothing) {
    // A plain top-level (a menu, a popup, a foreign dialog) is no program window.
    QWidget foreign;
    auto* edit = new controls::TextBox(&foreign);
    foreign.show();
    edit->editor()->setFocus();
    emit qApp->focusChanged(Form::get<Editor>().txtA.editor(), edit->editor());
    emit qApp->focusChanged(edit->editor(), Form::get<Editor>().txtA.editor());
    EXPECT_TRUE(g_events.isEmpty()) << g_events.join(", ").toStdString();
    // And the focus coming back from nowhere to the same control is no move.
    emit qApp->focusChanged(nullptr, Form::get<Editor>().txtA.editor());
    EXPECT_TRUE(g_events.isEmpty());
}

TEST_F(Focus, QtFocusMovesInsideProgramWindowsRaiseEvents) {
    Editor& e = Form::get<Editor>();
    // The line edit inside the box counts as the box.
    emit qApp->focusChanged(e.txtA.editor(), e.txtB.editor());
    EXPECT_EQ(g_events, (QStringList{"A.LostFocus", "B.GotFocus"}));
}

TEST_F(Focus, ModalWindowTakesTheFocusAndGivesItBackWithGotFocus) {
    {
        ModalAnswer answer([](Form& f) {
            EXPECT_EQ(g_events, (QStringList{"A.LostFocus", "Find.GotFocus"}));
            g_events.clear();
            Form::Unload(f);
        });
        Form::get<Picker>().Show(true);
    }
    // No LostFocus on a control of the window that went away.
    EXPECT_EQ(g_events, QStringList{"A.GotFocus"});
    EXPECT_TRUE(Form::get<Editor>().txtA.hasLogicalFocus());
}

TEST_F(Focus, OwnedWindowClosingReturnsToTheOwnersLastControl) {
    Editor& e = Form::get<Editor>();
    focus(e.txtB);
    g_events.clear();
    Form::get<Picker>().Show(false, &e);
    EXPECT_EQ(g_events, (QStringList{"B.LostFocus", "Find.GotFocus"}));
    g_events.clear();
    Form::unload<Picker>();
    EXPECT_EQ(g_events, QStringList{"B.GotFocus"});
}

TEST_F(Focus, WindowWithNothingToFocusStillTakesActivation) {
    {
        ModalAnswer answer([](Form& f) { Form::Unload(f); });
        Form::get<Notice>().Show(true);
    }
    EXPECT_EQ(g_events, (QStringList{"A.LostFocus", "A.GotFocus"}));
}

TEST_F(Focus, WindowShownWithoutActivationLeavesTheFocus) {
    Notice& n = Form::get<Notice>();
    n.setAttribute(Qt::WA_ShowWithoutActivating);
    n.Show();
    Form::Unload(n);
    EXPECT_TRUE(g_events.isEmpty()) << g_events.join(", ").toStdString();
}

TEST_F(Focus, SetFocusInsideLostFocusWins) {
    Editor& e = Form::get<Editor>();
    // A validation that keeps the focus where it was.
    e.txtA.LostFocus = [&] {
        g_events << QStringLiteral("A.LostFocus");
        e.txtA.SetFocus();
    };
    focus(e.txtB);
    EXPECT_EQ(g_events, (QStringList{"A.LostFocus", "A.GotFocus"}));
    EXPECT_TRUE(e.txtA.hasLogicalFocus());
}

TEST_F(Focus, UnloadingTheWindowWithTheFocusRaisesNothingThere) {
    Form::unload<Editor>();
    EXPECT_TRUE(g_events.isEmpty());
    EXPECT_EQ(forms::CurrentFocus(), nullptr);
}

} // namespace
