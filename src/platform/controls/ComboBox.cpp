#include "controls/ComboBox.h"
#include <QLineEdit>
#include "vb/RuntimeError.h"

namespace controls {
namespace {
struct Quiet {
    explicit Quiet(int& n) : n_(n) { ++n_; }
    ~Quiet() { --n_; }
    int& n_;
};
}

ComboBox::ComboBox(QWidget* parent, Style style) : QComboBox(parent), Control(this), style_(style) {
    setFocusPolicy(Qt::StrongFocus);
    if (style == DropDownCombo) {
        setEditable(true);
        // Typing never completes from the list, and Enter adds nothing.
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
        connect(this, &QComboBox::editTextChanged, this, [this] { textMayHaveChanged(); });
    }
    connect(this, &QComboBox::currentIndexChanged, this, [this] { textMayHaveChanged(); });
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (quiet_) return;
        // The pick has set the text already (Change has run).
        textMayHaveChanged();
        if (index >= 0) fire(Click);
    });
}

void ComboBox::textMayHaveChanged() {
    if (quiet_) return;
    const QString now = currentText();
    if (now == last_) return;
    last_ = now;
    fire(Change);
}

void ComboBox::Clear() {
    const QString keep = style_ == DropDownCombo ? currentText() : QString();
    {
        Quiet q(quiet_);
        clear();
        if (style_ == DropDownCombo) setEditText(keep);
    }
    textMayHaveChanged();
}

void ComboBox::AddItem(const QString& item, int index) {
    // Qt makes the first item of an empty list current; the program's combo
    // boxes keep no item current until one is picked or set.
    const int was = currentIndex();
    const QString text = currentText();
    {
        Quiet q(quiet_);
        if (index < 0 || index > count()) addItem(item);
        else insertItem(index, item);
        if (was < 0) {
            setCurrentIndex(-1);
            if (style_ == DropDownCombo) setEditText(text);
        }
    }
    textMayHaveChanged();
}

void ComboBox::RemoveItem(int index) {
    if (index < 0 || index >= count()) throw vb::RuntimeError(381, QStringLiteral("Invalid property array index"));
    removeItem(index);
}

QString ComboBox::List(int index) const {
    return index >= 0 && index < count() ? itemText(index) : QString();
}

long ComboBox::ItemData(int index) const {
    if (index < 0 || index >= count()) throw vb::RuntimeError(381, QStringLiteral("Invalid property array index"));
    return long(itemData(index).toLongLong());
}

void ComboBox::setItemData(int index, long data) {
    if (index < 0 || index >= count()) throw vb::RuntimeError(381, QStringLiteral("Invalid property array index"));
    QComboBox::setItemData(index, qlonglong(data));
}

int ComboBox::ListIndex() const {
    const int i = currentIndex();
    if (i < 0) return -1;
    if (style_ == DropDownCombo && itemText(i) != currentText()) return -1;
    return i;
}

void ComboBox::setListIndex(int index) {
    if (index < -1 || index >= count()) throw vb::RuntimeError(380, QStringLiteral("Invalid property value"));
    const int was = ListIndex();
    setCurrentIndex(index);
    if (index == -1 && style_ == DropDownCombo) setEditText(QString());
    textMayHaveChanged();
    if (index != was && index >= 0) fire(Click);
}

void ComboBox::setText(const QString& text) {
    const int match = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (style_ == DropDownList) {
        if (match < 0 && !text.isEmpty())
            throw vb::RuntimeError(383, QStringLiteral("'Text' property is read-only"));
        setCurrentIndex(match);
    } else {
        {
            Quiet q(quiet_);
            setCurrentIndex(match);
            setEditText(text);
        }
        textMayHaveChanged();
    }
}

void ComboBox::Pick(int index) {
    if (index < 0 || index >= count()) return;
    if (!hasLogicalFocus()) takeFocus();
    setCurrentIndex(index);
    if (style_ == DropDownCombo) setEditText(itemText(index));
    emit activated(index);
}

} // namespace controls
