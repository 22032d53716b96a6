#include "controls/Buttons.h"

namespace controls {
namespace {
// Focus first, then Click (a mouse press may already have moved it).
template <class B>
void clickWithFocus(B* b, const std::function<void()>& click) {
    if (!b->hasLogicalFocus()) b->takeFocus();
    Control::fire(click);
}
}

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { clickWithFocus(this, Click); });
}

CommandButton::CommandButton(const QString& caption, QWidget* parent) : CommandButton(parent) {
    setText(caption);
}

ToolButton::ToolButton(QWidget* parent) : QToolButton(parent), Control(this) {
    // Qt's tool buttons do not take the focus on a click; these must.
    setFocusPolicy(Qt::StrongFocus);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(this, &QToolButton::clicked, this, [this] { clickWithFocus(this, Click); });
}

void ToolButton::setPicture(const Picture& picture) {
    setIcon(PictureIcon(picture, style()));
    if (!size().isValid() || size().isEmpty()) resize(sizeHint());
}

OptionButton::OptionButton(QWidget* parent) : QRadioButton(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QRadioButton::clicked, this, [this] { clickWithFocus(this, Click); });
}

OptionButton::OptionButton(const QString& caption, QWidget* parent) : OptionButton(parent) {
    setText(caption);
}

void OptionButton::setValue(bool value) {
    const bool was = isChecked();
    setChecked(value);
    if (value && !was) fire(Click);
}

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QCheckBox::clicked, this, [this] { clickWithFocus(this, Click); });
}

CheckBox::CheckBox(const QString& caption, QWidget* parent) : CheckBox(parent) { setText(caption); }

int CheckBox::Value() const {
    switch (checkState()) {
    case Qt::Checked: return vbChecked;
    case Qt::PartiallyChecked: return vbGrayed;
    default: return vbUnchecked;
    }
}

void CheckBox::setValue(int value) {
    const int was = Value();
    if (value == vbGrayed) setTristate(true);
    setCheckState(value == vbChecked ? Qt::Checked : value == vbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    if (Value() != was) fire(Click);
}

int LayOutToolButtons(const std::vector<ToolButtonSpec>& buttons, int left, int top, int width, int height, int step) {
    for (const ToolButtonSpec& b : buttons) {
        b.button->setToolTipText(QString::fromUtf8(b.toolTip));
        b.button->setPicture(b.picture);
        b.button->Click = b.click;
        b.button->Move(left, top, width, height);
        left += step;
    }
    return left;
}

} // namespace controls
