#include "controls/TextBox.h"
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include "controls/Keys.h"
#include "controls/Label.h"
#include "vb/MsgBox.h"

namespace controls {

namespace {
bool storable(const QString& t) {
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c.isNull()) return false;
        if (c.isHighSurrogate() && i + 1 < t.size() && t.at(i + 1).isLowSurrogate()) ++i;
        else if (c.isSurrogate()) return false;
    }
    return true;
}
} // namespace

TextBox::TextBox(QWidget* parent) : QWidget(parent), Control(this) {
    line_ = new QLineEdit(this);
    line_->setMaxLength(32767);
    line_->installEventFilter(this);
    setFocusProxy(line_);
    setFocusPolicy(Qt::StrongFocus);
    // textChanged, not textEdited: code writes raise Change as well.
    connect(line_, &QLineEdit::textChanged, this, [this] { textMayHaveChanged(); });
    resize(line_->sizeHint());
}

QWidget* TextBox::editor() const {
    return multi_ ? static_cast<QWidget*>(multi_) : static_cast<QWidget*>(line_);
}

QString TextBox::Text() const { return multi_ ? multi_->toPlainText() : line_->text(); }

void TextBox::setText(const QString& text) {
    QString t = text;
    if (maxLength_ > 0 && t.size() > maxLength_) t.truncate(maxLength_);
    if (t == Text()) return;
    codeWrite_ = true;
    if (multi_) multi_->setPlainText(t);
    else line_->setText(t);
    codeWrite_ = false;
}

void TextBox::textMayHaveChanged() {
    const QString now = Text();
    if (now == last_) return;
    if (!codeWrite_ && !storable(now) && storable(last_)) {
        {
            const QSignalBlocker blockLine(line_);
            if (multi_) {
                const QSignalBlocker blockMulti(multi_);
                multi_->setPlainText(last_);
            } else {
                line_->setText(last_);
            }
        }
        vb::MsgBox(boxName() + QStringLiteral(" holds a character that cannot be stored."), vb::vbExclamation);
        return;
    }
    last_ = now;
    fire(Change);
}

// The caption of the label standing left of the box on its row (without
// its colon and access key), as the user reads the box's name.
QString TextBox::boxName() const {
    const Label* best = nullptr;
    if (QWidget* p = parentWidget()) {
        for (const Label* l : p->findChildren<Label*>(Qt::FindDirectChildrenOnly)) {
            const QRect g = l->geometry();
            if (g.right() > geometry().left() + 2 || g.bottom() < geometry().top() || g.top() > geometry().bottom())
                continue;
            if (!best || g.right() > best->geometry().right()) best = l;
        }
    }
    QString name = best ? best->Caption() : QString();
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    return name.isEmpty() ? QStringLiteral("This box") : name.trimmed();
}

void TextBox::setLocked(bool locked) {
    locked_ = locked;
    line_->setReadOnly(locked);
    if (multi_) multi_->setReadOnly(locked);
}

void TextBox::setMaxLength(int length) {
    maxLength_ = length < 0 ? 0 : length;
    line_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TextBox::setMultiLine(bool multiLine) {
    if (multiLine == MultiLine()) return;
    const QString text = Text();
    if (multiLine) {
        multi_ = new QPlainTextEdit(this);
        multi_->setTabChangesFocus(true);
        multi_->setReadOnly(locked_);
        multi_->installEventFilter(this);
        {
            const QSignalBlocker block(multi_);
            multi_->setPlainText(text);
        }
        connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
            if (maxLength_ > 0 && multi_->toPlainText().size() > maxLength_) {
                QString t = multi_->toPlainText();
                t.truncate(maxLength_);
                const QSignalBlocker block(multi_);
                multi_->setPlainText(t);
                multi_->moveCursor(QTextCursor::End);
            }
            textMayHaveChanged();
        });
        line_->hide();
        multi_->setGeometry(rect());
        multi_->show();
        setFocusProxy(multi_);
    } else {
        {
            const QSignalBlocker block(line_);
            line_->setText(text);
        }
        setFocusProxy(line_);
        delete multi_;
        multi_ = nullptr;
        line_->show();
    }
}

void TextBox::setAlignment(int alignment) {
    const Qt::Alignment a = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    line_->setAlignment(a | Qt::AlignVCenter);
}

int TextBox::SelStart() const {
    if (multi_) return multi_->textCursor().selectionStart();
    return line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
}

int TextBox::SelLength() const {
    if (multi_) {
        const QTextCursor c = multi_->textCursor();
        return c.selectionEnd() - c.selectionStart();
    }
    return line_->hasSelectedText() ? line_->selectionLength() : 0;
}

void TextBox::setSelStart(int start) {
    start = std::clamp(start, 0, int(Text().size()));
    if (multi_) {
        QTextCursor c = multi_->textCursor();
        c.setPosition(start);
        multi_->setTextCursor(c);
    } else {
        line_->setCursorPosition(start);
    }
}

void TextBox::setSelLength(int length) {
    const int start = SelStart();
    length = std::clamp(length, 0, int(Text().size()) - start);
    if (multi_) {
        QTextCursor c = multi_->textCursor();
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        multi_->setTextCursor(c);
    } else {
        line_->setSelection(start, length);
    }
}

void TextBox::SelectAll() {
    if (multi_) multi_->selectAll();
    else line_->selectAll();
}

void TextBox::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    line_->setGeometry(rect());
    if (multi_) multi_->setGeometry(rect());
}

bool TextBox::eventFilter(QObject* watched, QEvent* e) {
    static bool replaying = false;
    if (e->type() == QEvent::KeyPress && !replaying && (watched == line_ || watched == multi_)) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (KeyDown) {
            int code = VbKeyCode(k->key());
            if (code) fire(KeyDown, code, VbShift(k->modifiers()));
        }
        if (KeyPress && !k->text().isEmpty()) {
            const QChar ch = k->text().at(0);
            int ascii = ch.unicode();
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) ascii = 13;
            const int before = ascii;
            fire(KeyPress, ascii);
            if (ascii == 0) return true;   // the handler dropped the key
            if (ascii != before && ascii > 0) {
                // The handler changed the character: type that one instead.
                QKeyEvent replaced(QEvent::KeyPress, 0, k->modifiers(), QString(QChar(ascii)));
                replaying = true;
                QCoreApplication::sendEvent(watched, &replaced);
                replaying = false;
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace controls
