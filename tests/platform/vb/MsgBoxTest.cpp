// The message-box service: replaceable for tests, and the on-screen box it
// shows otherwise.
#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include "support/TestEnv.h"
#include "vb/Focus.h"
#include "vb/MsgBox.h"

using namespace vb;

namespace {

TEST(MsgBox, ReplacedServiceSeesPromptStyleAndTitle) {
    testsupport::ScriptedMsgBox boxes;
    boxes.expect(vbNo);
    boxes.expect(vbYes);
    EXPECT_EQ(MsgBox("Delete?", vbYesNo + vbQuestion + vbDefaultButton2, "Delete payment?"), vbNo);
    EXPECT_EQ(MsgBox("Save?", 291), vbYes);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].buttons, 292);
    EXPECT_EQ(boxes.shown()[0].title, "Delete payment?");
    EXPECT_EQ(boxes.shown()[1].title, "Vantrels");   // no title of its own
}

struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool focusSuppressed = false;
};

// Shows the real box and, once it is up, looks at it and presses `answer`
// (a button text, or "Escape" / "Return" as keys).
int showAndAnswer(int style, const QString& title, const QString& answer, Seen& seen) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) { ADD_FAILURE() << "no message box up"; return; }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.focusSuppressed = forms::FocusEventsSuppressed();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
        if (answer == "Escape" || answer == "Return") {
            QKeyEvent press(QEvent::KeyPress, answer == "Escape" ? Qt::Key_Escape : Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(box, &press);
            if (box->isVisible() && answer == "Return" && box->defaultButton()) box->defaultButton()->click();
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text().remove('&') == answer) { b->click(); return; }
        ADD_FAILURE() << "no button " << answer.toStdString();
        box->reject();
    });
    return ShowMessageBox("Line one\r\nLine two", style, title);
}

TEST(MsgBox, OnScreenBoxFollowsTheStyle) {
    struct Case {
        int style;
        const char* answer;
        int result;
        QMessageBox::Icon icon;
        int buttonCount;
        const char* defaultButton;
    } cases[] = {
        {vbOKOnly, "OK", vbOK, QMessageBox::NoIcon, 1, "OK"},
        {vbCritical, "Escape", vbOK, QMessageBox::Critical, 1, "OK"},
        {vbInformation, "OK", vbOK, QMessageBox::Information, 1, "OK"},
        {291, "Cancel", vbCancel, QMessageBox::Question, 3, "No"},
        {291, "Escape", vbCancel, QMessageBox::Question, 3, "No"},
        {291, "Yes", vbYes, QMessageBox::Question, 3, "No"},
        {292, "Return", vbNo, QMessageBox::Question, 2, "No"},
        {292, "Yes", vbYes, QMessageBox::Question, 2, "No"},
        {vbOKCancel, "Cancel", vbCancel, QMessageBox::NoIcon, 2, "OK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " " << c.answer);
        Seen seen;
        EXPECT_EQ(showAndAnswer(c.style, "Vantrels", c.answer, seen), c.result);
        EXPECT_EQ(seen.title, "Vantrels");
        EXPECT_EQ(seen.text, "Line one\nLine two");
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons.size(), c.buttonCount);
        EXPECT_EQ(seen.defaultButton.remove('&'), c.defaultButton);
        EXPECT_TRUE(seen.focusSuppressed);
        EXPECT_FALSE(forms::FocusEventsSuppressed());
    }
}

} // namespace
