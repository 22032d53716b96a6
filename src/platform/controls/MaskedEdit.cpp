#include "controls/MaskedEdit.h"
#include <QDate>
#include "vb/RuntimeError.h"

namespace controls {
namespace {
// Qt's input mask for ours: '0' an optional digit (shown as the blank
// character until typed), other characters escaped literals.
QString qtMask(const QString& mask) {
    QString out;
    for (QChar c : mask) {
        if (c == u'#') out += u'0';
        else if (QStringLiteral("AaNnXx9D0dHhBb#><!;[]{}\\").contains(c)) out += u'\\' + QString(c);
        else out += c;
    }
    return out + QStringLiteral(";_");
}
}

MaskedEdit::MaskedEdit(QWidget* parent, const QString& mask) : QLineEdit(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    setMask(mask);
    last_ = Text();
    connect(this, &QLineEdit::textChanged, this, [this] { textMayHaveChanged(); });
}

void MaskedEdit::setMask(const QString& mask) {
    mask_ = mask;
    setInputMask(qtMask(mask));
}

QString MaskedEdit::Text() const {
    // displayText shows the blanks; text() would drop them.
    return displayText();
}

void MaskedEdit::setText(const QString& text) {
    QString digits;
    for (QChar c : text)
        if (c.isDigit()) digits += c;
    // Put the digits into the "#" positions in order, the rest blank.
    QString filled;
    int next = 0;
    for (QChar m : mask_) {
        if (m == u'#') filled += next < digits.size() ? digits.at(next++) : u'_';
        else filled += m;
    }
    QLineEdit::setText(filled);
    setCursorPosition(0);
}

QString MaskedEdit::ClipText() const {
    QString out;
    const QString t = Text();
    for (int i = 0; i < t.size() && i < mask_.size(); ++i)
        if (mask_.at(i) == u'#' && t.at(i) != u'_') out += t.at(i);
    return out;
}

void MaskedEdit::textMayHaveChanged() {
    const QString now = Text();
    if (now == last_) return;
    last_ = now;
    fire(Change);
}

bool MaskedEdit::ParseMdy(const QString& text, vb::Date& out) {
    const QString t = text.trimmed();
    if (t.size() != 8 || t.at(2) != u'/' || t.at(5) != u'/') return false;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (!t.at(i).isDigit()) return false;
    const int m = t.mid(0, 2).toInt();
    const int d = t.mid(3, 2).toInt();
    const int yy = t.mid(6, 2).toInt();
    const int y = vb::FullYear(yy);
    if (!QDate::isValid(y, m, d)) return false;
    out = vb::Date::fromYmd(y, m, d);
    return true;
}

vb::Date MaskedEdit::DateValue() const {
    vb::Date d;
    if (!ParseMdy(Text(), d)) throw vb::RuntimeError(vb::err::TypeMismatch, QStringLiteral("Type mismatch"));
    return d;
}

void MaskedEdit::setDateValue(const vb::Date& d) {
    setText(QStringLiteral("%1/%2/%3")
                .arg(d.month(), 2, 10, QLatin1Char('0'))
                .arg(d.day(), 2, 10, QLatin1Char('0'))
                .arg(d.year() % 100, 2, 10, QLatin1Char('0')));
}

} // namespace controls
