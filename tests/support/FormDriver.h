#pragma once
// Drives windows the way a user would, on the offscreen platform: focus a
// control, click a button or a menu item, type into a box, answer a modal
// window from inside its loop.
#include <functional>
#include <QString>
#include <QWidget>
#include "forms/Focus.h"
#include "forms/Form.h"

class QAbstractButton;
namespace controls {
class ComboBox;
class MaskedEdit;
class MenuItem;
class TextBox;
}

namespace testsupport {

// Unloads every window and forgets the focus when the test ends.
class FormsReset {
public:
    FormsReset() { forms::Form::unloadAll(); }
    ~FormsReset() { forms::Form::unloadAll(); }
};

// Puts the logical focus on a control (real focus is unreliable offscreen).
void focus(forms::FocusTarget& control);
// A mouse click on a button: it takes the focus, then its Click runs.
void click(QAbstractButton& button);
// Chooses a menu item.
void click(controls::MenuItem& item);
// Keystrokes into a widget, one key press and release per character, any
// text (QTest's own helpers know ASCII only). Each key goes to
// target() when given (the widget that holds the keyboard after the last one).
void typeKeys(QWidget* w, const QString& text, const std::function<QWidget*()>& target = {});
// Keystrokes into a box (its Change runs for each one).
void type(controls::TextBox& box, const QString& text);
void type(controls::ComboBox& box, const QString& text);
void type(controls::MaskedEdit& box, const QString& text);
// One key into the control that holds the focus (or w).
void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier);
// Runs pending events and the deletes that unloads left behind.
void pump();

// Answers the next modal window from inside its loop: the hook gets the
// window and should close it (Unload, Hide, a button). A modal window still
// open after the hook fails the test and is unloaded, so nothing hangs; a
// modal window that never came fails the test when this goes out of scope.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(forms::Form&)> hook);
    ~ModalAnswer();
    bool answered() const { return *answered_; }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

private:
    std::shared_ptr<bool> answered_;
    std::shared_ptr<bool> cancelled_;
};

} // namespace testsupport
