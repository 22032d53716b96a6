#include "controls/Label.h"
#include "controls/Colors.h"

namespace controls {

Label::Label(QWidget* parent) : QLabel(parent), Control(this) {
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
}

Label::Label(const QString& caption, QWidget* parent) : Label(parent) { setText(caption); }

void Label::setForeColor(long color) {
    fore_ = color;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, fromVbColor(color));
    setPalette(p);
}

void Label::setBackColor(long color) {
    back_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, fromVbColor(color));
    setPalette(p);
    setAutoFillBackground(true);
}

void Label::setFontBold(bool bold) {
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void Label::setAlignment(int alignment) {
    QLabel::setAlignment((alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft) |
                         Qt::AlignVCenter);
}

} // namespace controls
