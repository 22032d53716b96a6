#pragma once
// Buttons: the command button, the tool-bar button, option buttons and
// check boxes. Each takes the focus before its Click runs, so a control
// left behind (a grid with a pending row) raises its LostFocus first.
#include <functional>
#include <vector>
#include <QStyle>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include "controls/Control.h"
#include "controls/Pictures.h"
#include "forms/Form.h"

namespace controls {

class CommandButton : public QPushButton, public Control {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);
    CommandButton(const QString& caption, QWidget* parent);

    std::function<void()> Click;

    // "&" marks the access key.
    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    void setPicture(const Picture& picture) { setIcon(PictureIcon(picture, style())); }
    // Escape in the window clicks the Cancel button; Enter clicks the
    // Default one (QPushButton's setDefault) unless a button has the focus.
    void setCancel(bool on) { setProperty(forms::Form::kCancelProperty, on); }
};

// A picture button of the tool bar, with its tool tip.
class ToolButton : public QToolButton, public Control {
    Q_OBJECT
public:
    explicit ToolButton(QWidget* parent = nullptr);

    std::function<void()> Click;
    void setPicture(const Picture& picture);
    void setCancel(bool on) { setProperty(forms::Form::kCancelProperty, on); }
};

// One tool button of a window's button row: its tool tip, the picture of
// its command and the command.
struct ToolButtonSpec {
    ToolButton* button;
    const char* toolTip;
    Picture picture;
    std::function<void()> click;
};

// Sets up the buttons and places them in a row from (left, top), each
// width x height and step apart (twips); returns the left edge after the last.
int LayOutToolButtons(const std::vector<ToolButtonSpec>& buttons, int left, int top, int width, int height, int step);

// Exclusive among the option buttons of the same container (frame).
class OptionButton : public QRadioButton, public Control {
    Q_OBJECT
public:
    explicit OptionButton(QWidget* parent = nullptr);
    OptionButton(const QString& caption, QWidget* parent);

    // On a user's click, and when code sets Value to True.
    std::function<void()> Click;

    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    bool Value() const { return isChecked(); }
    void setValue(bool value);
};

class CheckBox : public QCheckBox, public Control {
    Q_OBJECT
public:
    explicit CheckBox(QWidget* parent = nullptr);
    CheckBox(const QString& caption, QWidget* parent);

    // On a user's click, and when code changes Value.
    std::function<void()> Click;

    static constexpr int vbUnchecked = 0, vbChecked = 1, vbGrayed = 2;
    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    int Value() const;
    void setValue(int value);
};

} // namespace controls
