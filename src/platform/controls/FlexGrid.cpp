#include "controls/FlexGrid.h"

#include <algorithm>
#include <exception>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QStyleOptionButton>
#include <QTimer>
#include "controls/Keys.h"
#include "forms/Focus.h"
#include "forms/Twips.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace controls {

namespace {

constexpr long kBadIndex = 381;
constexpr int kDefaultColTwips = 960;
constexpr int kResizeGrip = 3;     // pixels either side of a column border
constexpr int kMinResizePx = 4;

// A handler without a trap of its own must not let its error reach the event loop.
void reportEscaped() {
    vb::ShowErrorReport(QString(), vb::ToRuntimeError(std::current_exception()));
}

template <class F>
void guarded(F&& body) {
    try {
        body();
    } catch (...) {
        reportEscaped();
    }
}

bool isChecked(const QString& t) {
    const QString s = t.trimmed();
    return !(s.isEmpty() || s == QLatin1String("0") || s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

Qt::Alignment qtAlign(int a) {
    switch (a) {
    case flexAlignCenter: return Qt::AlignHCenter;
    case flexAlignRight: return Qt::AlignRight;
    default: return Qt::AlignLeft;
    }
}

} // namespace

// Marks the grid as dispatching its own events: code moves inside are silent.
class FlexGrid::Dispatch {
public:
    explicit Dispatch(FlexGrid& g) : grid_(&g) { ++g.dispatchDepth_; }
    ~Dispatch() { if (grid_) --grid_->dispatchDepth_; }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;
private:
    QPointer<FlexGrid> grid_;
};

FlexGrid::FlexGrid(QWidget* parent) : QAbstractScrollArea(parent), Control(this) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);

    cols_.resize(2);
    rows_.resize(1);
    rows_[0].cells.resize(2);

    lineEditor_ = new QLineEdit(viewport());
    lineEditor_->setFrame(false);
    lineEditor_->hide();
    lineEditor_->installEventFilter(this);

    comboEditor_ = new QComboBox(viewport());
    comboEditor_->hide();
    comboEditor_->installEventFilter(this);
    connect(comboEditor_, &QComboBox::activated, this, [this](int index) {
        if (edit_.active && edit_.combo) guarded([&] { commitPick(index); });
    });

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (!applyingScroll_) topRow_ = v + 1;
    });
}

FlexGrid::~FlexGrid() {
    // The editors outlive this part of the object while QWidget deletes its children.
    lineEditor_->removeEventFilter(this);
    comboEditor_->removeEventFilter(this);
    if (QLineEdit* le = comboEditor_->lineEdit()) le->removeEventFilter(this);
    comboEditor_->disconnect(this);
}

// ---------------------------------------------------------------- events

void FlexGrid::raiseAfterEdit(int r, int c) {
    Dispatch d(*this);
    fire(AfterEdit, r, c);
}

bool FlexGrid::moveTo(int r, int c, MoveBy by) {
    if (r == row_ && c == col_) return false;
    if (by == MoveBy::Code && eventsHeld()) {
        if (edit_.active) commitEdit(false);
        row_ = r;
        col_ = c;
        refresh();
        return true;
    }
    QPointer<FlexGrid> self(this);
    Dispatch d(*this);
    if (edit_.active) {
        commitEdit(true);
        if (!self) return false;
    }
    fire(LeaveCell);
    if (!self) return false;
    // The handlers may have changed the shape of the grid.
    row_ = std::clamp(r, 0, Rows() - 1);
    col_ = std::clamp(c, 0, Cols() - 1);
    if (by != MoveBy::Code) ensureVisible(row_, col_);
    refresh();
    fire(RowColChange);
    if (!self) return false;
    fire(EnterCell);
    return true;
}

void FlexGrid::setRow(int r) {
    if (r < 0 || r >= Rows()) throw vb::RuntimeError(kBadIndex, QStringLiteral("Invalid Row value"));
    moveTo(r, col_, MoveBy::Code);
}

void FlexGrid::setCol(int c) {
    if (c < 0 || c >= Cols()) throw vb::RuntimeError(kBadIndex, QStringLiteral("Invalid Col value"));
    moveTo(row_, c, MoveBy::Code);
}

void FlexGrid::setRowCol(int r, int c) {
    checkCell(r, c);
    moveTo(r, c, MoveBy::Code);
}

void FlexGrid::setRowColSilently(int r, int c) {
    checkCell(r, c);
    if (edit_.active && (edit_.row != r || edit_.col != c)) commitEdit(false);
    row_ = r;
    col_ = c;
    refresh();
}

// ---------------------------------------------------------------- focus
// The window runtime decides when the logical focus moves (Control); the grid
// only finishes its edit before LostFocus.

void FlexGrid::onGotFocus() {
    viewport()->update();
    Control::onGotFocus();
}

void FlexGrid::onLostFocus() {
    viewport()->update();
    QPointer<FlexGrid> self(this);
    Dispatch d(*this);
    if (edit_.active) {
        losingFocus_ = true;
        commitEdit(true);
        if (!self) return;
        losingFocus_ = false;
    }
    Control::onLostFocus();
}

QWidget* FlexGrid::editorWidget() const {
    if (!edit_.active) return nullptr;
    if (edit_.combo) return comboEditor_->isEditable() ? static_cast<QWidget*>(comboEditor_->lineEdit()) : comboEditor_;
    return lineEditor_;
}

void FlexGrid::endOpenEdit() {
    if (edit_.active) commitEdit(true);
}

void FlexGrid::requestFocus() {
    if (!hasLogicalFocus()) takeFocus();
}

void FlexGrid::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void FlexGrid::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}

void FlexGrid::leaveGrid(bool forward) {
    focusNextPrevChild(forward);
    // In a window that is not active Qt moves its focus without telling anyone.
    QWidget* to = window()->focusWidget();
    if (to && to != this && !isAncestorOf(to))
        if (forms::FocusTarget* t = forms::FocusTarget::of(to)) forms::SetFocusTo(*t);
}

// ---------------------------------------------------------------- keyboard

bool FlexGrid::userKey(int keyCode, int shift, const QString& text) {
    // A key that is only text (punctuation, accented letters) has no key
    // code: it is typed, never taken for navigation.
    if (keyCode == 0 && (text.isEmpty() || !text.at(0).isPrint())) return false;
    if (edit_.active) {
        bool handled = false;
        editorKey(keyCode, shift, handled);
        if (!handled && !text.isEmpty()) {
            if (edit_.combo) {
                if (comboEditor_->isEditable()) comboEditor_->lineEdit()->insert(text);
            } else {
                lineEditor_->insert(text);
            }
        }
        return true;
    }
    if (keyCode == 0) {
        startEdit(EditStart::Key, text);
        return true;
    }
    QPointer<FlexGrid> self(this);
    int code = keyCode;
    if (KeyDown) {
        fire(KeyDown, code, shift);
        if (!self) return true;
    }
    if (code == 0) return true;
    return keyAction(code, shift, code == keyCode ? text : QString());
}

bool FlexGrid::keyAction(int code, int shift, const QString& text) {
    const bool ctrl = shift & keys::CtrlMask;
    const int lastRow = Rows() - 1;
    const int page = std::max(1, fullyVisibleDataRows());
    auto moveRow = [&](int r) {
        if (lastRow < 1) return;
        userMove(std::clamp(r, 1, lastRow), col_);
    };
    switch (code) {
    case keys::Up: moveRow(row_ - 1); return true;
    case keys::Down:
        if ((shift & keys::AltMask) && cellHasList(col_)) userOpenList();
        else moveRow(row_ < 1 ? 1 : row_ + 1);
        return true;
    case keys::PageUp: moveRow(row_ - page); return true;
    case keys::PageDown: moveRow(row_ + page); return true;
    case keys::Left:
    case keys::Right: {
        const int c = nextNavigableCol(col_, code == keys::Left ? -1 : 1);
        if (c >= 0) userMove(row_, c);
        return true;
    }
    case keys::Home:
    case keys::End: {
        const int c = code == keys::Home ? firstNavigableCol() : lastNavigableCol();
        int r = row_;
        if (ctrl && lastRow >= 1) r = code == keys::Home ? 1 : lastRow;
        if (c >= 0) userMove(r, c);
        return true;
    }
    case keys::Tab: tabMove(!(shift & keys::ShiftMask)); return true;
    case keys::F2: startEdit(EditStart::F2); return true;
    case keys::F4: userOpenList(); return true;
    case keys::Return:
        // An editor steps down its rows, as Down does; a list leaves Enter
        // to its window (the default button).
        if (!editable_) return false;
        moveRow(row_ < 1 ? 1 : row_ + 1);
        return true;
    case keys::Escape: return false;   // the window's Cancel
    default: break;
    }
    if (shift & (keys::CtrlMask | keys::AltMask)) return true;
    if (text.isEmpty() || !text.at(0).isPrint()) return true;
    startEdit(EditStart::Key, text);
    return true;
}

// An editor walks its cells, row by row; only from its last cell (first,
// backwards) does the focus leave the grid.
void FlexGrid::tabMove(bool forward) {
    if (editable_ && Rows() > 1) {
        int r = std::max(row_, 1);
        int c = row_ < 1 ? (forward ? firstNavigableCol() : lastNavigableCol()) : nextNavigableCol(col_, forward ? 1 : -1);
        if (c < 0) {
            r += forward ? 1 : -1;
            c = forward ? firstNavigableCol() : lastNavigableCol();
        }
        if (r >= 1 && r < Rows() && c >= 0) {
            userMove(r, c);
            return;
        }
    }
    leaveGrid(forward);
}

void FlexGrid::editorKey(int code, int shift, bool& handled) {
    handled = true;
    switch (code) {
    case keys::Return: commitEdit(true); return;
    case keys::Escape: {
        const int r = edit_.row;
        cancelEdit();
        if (rowEditHook) rowEditHook(r, RowEdit::Abandoned);
        return;
    }
    case keys::Up:
    case keys::Down: {
        if (edit_.combo && (shift & keys::AltMask)) break;   // opens the list
        const int r = edit_.row + (code == keys::Up ? -1 : 1);
        if (r < 1 || r >= Rows()) commitEdit(true);
        else userMove(r, col_);
        return;
    }
    case keys::Tab: {
        QPointer<FlexGrid> self(this);
        commitEdit(true);
        if (self) tabMove(!(shift & keys::ShiftMask));
        return;
    }
    default: break;
    }
    handled = false;
}

void FlexGrid::userMove(int r, int c) {
    r = std::clamp(r, 0, Rows() - 1);
    c = std::clamp(c, 0, Cols() - 1);
    moveTo(r, c, MoveBy::Keys);
}

void FlexGrid::keyPressEvent(QKeyEvent* e) {
    const int code = VbKeyCode(e->key());
    const QString text = e->text();
    if (code == 0 && (text.isEmpty() || !text.at(0).isPrint())) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    e->accept();
    bool used = true;
    guarded([&] { used = userKey(code, VbShift(e->modifiers()), text); });
    // Enter and Escape the grid does not use go to its window's buttons.
    if (!used) e->ignore();
}

bool FlexGrid::event(QEvent* e) {
    // Tab would otherwise move the focus before the grid sees the key.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if ((ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
            && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* e) {
    const bool editor = watched == lineEditor_ || watched == comboEditor_
                        || (comboEditor_->lineEdit() && watched == comboEditor_->lineEdit());
    if (editor) {
        if (e->type() == QEvent::KeyPress && edit_.active) {
            auto* ke = static_cast<QKeyEvent*>(e);
            bool handled = false;
            guarded([&] { editorKey(VbKeyCode(ke->key()), VbShift(ke->modifiers()), handled); });
            if (handled) return true;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, e);
}

// ---------------------------------------------------------------- mouse

void FlexGrid::userPress(int r, int c) {
    QPointer<FlexGrid> self(this);
    requestFocus();   // GotFocus first; its handler may move, with events
    if (!self) return;
    if (r >= 0 && c >= 0 && r < Rows() && c < Cols()) {
        // A press on the status column of a data row selects the row.
        if (c < fixedCols_ && r >= 1) {
            const int first = firstNavigableCol();
            c = navigable(col_) ? col_ : (first >= 0 ? first : col_);
        }
        moveTo(r, c, MoveBy::Mouse);
        if (!self) return;
        if (row_ == r && col_ == c && cols_[c].dataType == flexDTBoolean && canEdit(r, c)) {
            toggleCheck();
            if (!self) return;
        }
    }
    fire(Click);
}

void FlexGrid::userDoubleClick(int r, int c) {
    QPointer<FlexGrid> self(this);
    fire(DblClick);
    if (!self) return;
    if (r == row_ && c == col_ && canEdit(r, c) && cols_[c].dataType != flexDTBoolean)
        startEdit(EditStart::DoubleClick);
}

void FlexGrid::userPressCellButton() {
    if (row_ < 1 || !cellHasButton(col_)) return;
    QPointer<FlexGrid> self(this);
    requestFocus();
    if (!self) return;
    if (edit_.active) {
        commitEdit(true);
        if (!self) return;
    }
    fire(CellButtonClick, row_, col_);
}

void FlexGrid::userOpenList() {
    if (row_ < 1 || !cellHasList(col_)) return;
    QPointer<FlexGrid> self(this);
    requestFocus();
    if (!self) return;
    if (edit_.active && !edit_.combo) commitEdit(true);
    if (!self || (!edit_.active && !startEdit(EditStart::DropDown))) return;
    if (edit_.combo && isVisible()) comboEditor_->showPopup();
}

void FlexGrid::mousePressEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    const QPoint p = e->position().toPoint();
    // Qt delivers the second press of a double click as a press too, then the
    // double click: that press raises nothing, so a double click gives one Click.
    const QStyleHints* hints = QGuiApplication::styleHints();
    if (lastPressValid_ && e->timestamp() - lastPressTime_ <= ulong(hints->mouseDoubleClickInterval())
        && (p - lastPressPos_).manhattanLength() <= hints->mouseDoubleClickDistance()) {
        lastPressValid_ = false;
        return;
    }
    lastPressValid_ = true;
    lastPressTime_ = e->timestamp();
    lastPressPos_ = p;
    guarded([&] {
        const int border = resizeBorderAt(p);
        if (border >= 0) {
            requestFocus();
            resizingCol_ = border;
            resizeStartX_ = p.x();
            resizeStartWidth_ = colWidthPx(border);
            return;
        }
        int r, c;
        hitTest(p, r, c);
        if (r >= 1 && r == row_ && c == col_ && cellHasButton(c) && buttonRect(r, c).contains(p)) {
            userPressCellButton();
            return;
        }
        if (r >= 1 && r == row_ && c == col_ && cellHasList(c) && buttonRect(r, c).contains(p)) {
            userOpenList();
            return;
        }
        userPress(r, c);
    });
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton) return;
    const QPoint p = e->position().toPoint();
    if (resizeBorderAt(p) >= 0) return;
    guarded([&] {
        int r, c;
        hitTest(p, r, c);
        if (r >= 1 && r == row_ && c == col_ && cellHasButton(c) && buttonRect(r, c).contains(p)) {
            userPressCellButton();
            return;
        }
        userDoubleClick(r, c);
    });
}

void FlexGrid::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (resizingCol_ >= 0 && resizingCol_ < Cols()) {
        const int px = std::max(kMinResizePx, resizeStartWidth_ + p.x() - resizeStartX_);
        cols_[resizingCol_].widthTwips = int(std::lround(px * tppX()));
        syncDirty_ = true;
        syncScrollBars();
        refresh();
        return;
    }
    if (e->buttons() == Qt::NoButton) {
        if (resizeBorderAt(p) >= 0) viewport()->setCursor(Qt::SplitHCursor);
        else viewport()->unsetCursor();
    }
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    resizingCol_ = -1;
}

// ---------------------------------------------------------------- editing

bool FlexGrid::canEdit(int r, int c) const {
    return editable_ && r >= 1 && r < Rows() && c >= fixedCols_ && c < Cols() && cols_[c].widthTwips != 0;
}

bool FlexGrid::startEdit(EditStart how, const QString& typed) {
    if (edit_.active) return true;
    const int r = row_, c = col_;
    if (!canEdit(r, c)) return false;
    if (cols_[c].dataType == flexDTBoolean) {
        if (how == EditStart::Key && typed == QLatin1String(" ")) toggleCheck();
        return false;
    }
    const bool list = !cols_[c].items.empty();
    if (how == EditStart::Pick && !list) return false;

    QPointer<FlexGrid> self(this);
    bool cancel = false;
    fire(BeforeEdit, r, c, cancel);
    if (!self || cancel) return false;
    if (row_ != r || col_ != c || !canEdit(r, c)) return false;

    edit_.active = true;
    edit_.combo = list;
    edit_.row = r;
    edit_.col = c;
    const QString current = rows_[r].cells[c];
    QWidget* editor = nullptr;
    if (list) {
        const Column& col = cols_[c];
        comboEditor_->blockSignals(true);
        comboEditor_->clear();
        comboEditor_->setEditable(col.comboEditable);
        if (col.comboEditable) comboEditor_->lineEdit()->installEventFilter(this);
        for (const ComboItem& item : col.items) comboEditor_->addItem(item.text);
        comboEditor_->setCurrentIndex(comboEditor_->findText(current, Qt::MatchFixedString));
        if (col.comboEditable) comboEditor_->setEditText(how == EditStart::Key ? typed : current);
        else if (how == EditStart::Key) {
            // A list-only cell: a typed letter chooses the first entry starting with it.
            const int i = comboEditor_->findText(typed, Qt::MatchStartsWith);
            if (i >= 0) comboEditor_->setCurrentIndex(i);
        }
        comboEditor_->blockSignals(false);
        editor = comboEditor_;
    } else {
        lineEditor_->setText(how == EditStart::Key ? typed : current);
        lineEditor_->setAlignment(qtAlign(cols_[c].alignment) | Qt::AlignVCenter);
        if (how == EditStart::DoubleClick) lineEditor_->selectAll();
        else lineEditor_->end(false);
        editor = lineEditor_;
    }
    placeEditor();
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    if (list && how == EditStart::DoubleClick && isVisible()) comboEditor_->showPopup();
    refresh();
    if (rowEditHook) rowEditHook(r, RowEdit::Opened);
    return true;
}

QString FlexGrid::editText() const {
    if (!edit_.active) return QString();
    return edit_.combo ? comboEditor_->currentText() : lineEditor_->text();
}

void FlexGrid::setEditText(const QString& text) {
    if (!edit_.active) return;
    if (!edit_.combo) {
        lineEditor_->setText(text);
    } else if (comboEditor_->isEditable()) {
        comboEditor_->setEditText(text);
    } else {
        const int i = comboEditor_->findText(text, Qt::MatchFixedString);
        if (i >= 0) comboEditor_->setCurrentIndex(i);
    }
}

void FlexGrid::closeEditor() {
    QWidget* editor = edit_.combo ? static_cast<QWidget*>(comboEditor_) : lineEditor_;
    edit_.active = false;
    QWidget* focused = QApplication::focusWidget();
    const bool hadFocus = focused && (focused == editor || editor->isAncestorOf(focused));
    // Give the focus back to the grid before the editor hides, or Qt would pass it on.
    if (hadFocus && !losingFocus_) setFocus(Qt::OtherFocusReason);
    if (edit_.combo) comboEditor_->hidePopup();
    editor->hide();
}

void FlexGrid::commitEdit(bool raiseEvent) {
    if (!edit_.active) return;
    const int r = edit_.row, c = edit_.col;
    QString text;
    bool hasValue = false;
    int value = 0;
    if (edit_.combo) {
        text = comboEditor_->currentText();
        const int i = comboEditor_->currentIndex();
        if (i >= 0 && i < int(cols_[c].items.size()) && comboEditor_->itemText(i) == text
            && cols_[c].items[size_t(i)].hasNumber) {
            hasValue = true;
            value = cols_[c].items[size_t(i)].number;
        }
    } else {
        text = lineEditor_->text();
    }
    closeEditor();
    if (r < Rows() && c < Cols()) {
        rows_[size_t(r)].cells[size_t(c)] = text;
        setValue(r, c, hasValue, value);
    }
    refresh();
    if (!raiseEvent) return;
    QPointer<FlexGrid> self(this);
    if (rowEditHook && r < Rows()) rowEditHook(r, RowEdit::Committed);
    if (self) raiseAfterEdit(r, c);
}

void FlexGrid::cancelEdit() {
    if (!edit_.active) return;
    closeEditor();
    refresh();
}

void FlexGrid::commitPick(int index) {
    if (!edit_.active || !edit_.combo || index < 0 || index >= comboEditor_->count()) return;
    comboEditor_->blockSignals(true);
    comboEditor_->setCurrentIndex(index);
    comboEditor_->blockSignals(false);
    commitEdit(true);
}

bool FlexGrid::userPick(int itemNumber) {
    if (col_ >= Cols() || cols_[col_].items.empty()) return false;
    const Column& col = cols_[col_];
    int index = -1;
    for (size_t i = 0; i < col.items.size(); ++i)
        if (col.items[i].hasNumber && col.items[i].number == itemNumber) index = int(i);
    if (index < 0 && !col.items.front().hasNumber && itemNumber >= 0 && itemNumber < int(col.items.size()))
        index = itemNumber;
    if (index < 0) return false;
    if (edit_.active && (!edit_.combo || edit_.row != row_ || edit_.col != col_)) commitEdit(true);
    if (!edit_.active && !startEdit(EditStart::Pick)) return false;
    commitPick(index);
    return true;
}

void FlexGrid::toggleCheck() {
    const int r = row_, c = col_;
    if (!canEdit(r, c)) return;
    QPointer<FlexGrid> self(this);
    bool cancel = false;
    fire(BeforeEdit, r, c, cancel);
    if (!self || cancel) return;
    if (r >= Rows() || c >= Cols()) return;
    QString& cell = rows_[size_t(r)].cells[size_t(c)];
    cell = isChecked(cell) ? QStringLiteral("0") : QStringLiteral("-1");
    setValue(r, c, false, 0);
    refresh();
    raiseAfterEdit(r, c);
}

void FlexGrid::placeEditor() {
    if (!edit_.active) return;
    QRect rect = cellRect(edit_.row, edit_.col);
    if (cellHasButton(edit_.col)) rect.setRight(buttonRect(edit_.row, edit_.col).left() - 1);
    QWidget* editor = edit_.combo ? static_cast<QWidget*>(comboEditor_) : lineEditor_;
    editor->setGeometry(rect.adjusted(0, 0, -1, -1));
}

// ---------------------------------------------------------------- shape

void FlexGrid::checkRow(int r) const {
    if (r < 0 || r >= Rows()) throw vb::RuntimeError(kBadIndex, QStringLiteral("Subscript out of range"));
}

void FlexGrid::checkCol(int c) const {
    if (c < 0 || c >= Cols()) throw vb::RuntimeError(kBadIndex, QStringLiteral("Subscript out of range"));
}

void FlexGrid::checkCell(int r, int c) const {
    checkRow(r);
    checkCol(c);
}

void FlexGrid::afterStructureChange(int oldRows) {
    if (oldRows <= 1 && Rows() > 1 && row_ == 0) row_ = 1;
    row_ = std::clamp(row_, 0, Rows() - 1);
    col_ = std::clamp(col_, 0, Cols() - 1);
    fixedCols_ = std::min(fixedCols_, Cols());
    topRow_ = std::clamp(topRow_, 1, std::max(1, Rows() - 1));
    if (edit_.active && (edit_.row >= Rows() || edit_.col >= Cols())) cancelEdit();
    syncDirty_ = true;
    scheduleSync();
    refresh();
}

void FlexGrid::setRows(int n) {
    if (n < 0) throw vb::RuntimeError(kBadIndex, QStringLiteral("Invalid Rows value"));
    n = std::max(n, 1);
    const int old = Rows();
    if (n == old) return;
    if (edit_.active && edit_.row >= n) cancelEdit();
    rows_.resize(size_t(n));
    for (int r = old; r < n; ++r) rows_[size_t(r)].cells.resize(cols_.size());
    afterStructureChange(old);
}

void FlexGrid::setCols(int n) {
    if (n < 0) throw vb::RuntimeError(kBadIndex, QStringLiteral("Invalid Cols value"));
    n = std::max(n, 1);
    if (n == Cols()) return;
    if (edit_.active && edit_.col >= n) cancelEdit();
    cols_.resize(size_t(n));
    for (GridRow& row : rows_) {
        row.cells.resize(size_t(n));
        std::erase_if(row.values, [n](const auto& v) { return v.first >= n; });
    }
    afterStructureChange(Rows());
}

void FlexGrid::setFixedCols(int n) {
    fixedCols_ = std::clamp(n, 0, Cols());
    syncDirty_ = true;
    scheduleSync();
    refresh();
}

void FlexGrid::setFormatString(const QString& fmt) {
    const QStringList fields = fmt.split(QLatin1Char('|'));
    setCols(int(fields.size()));
    for (int c = 0; c < int(fields.size()); ++c) {
        QString f = fields[c];
        int align = flexAlignLeft;
        if (f.startsWith(QLatin1Char('^'))) align = flexAlignCenter;
        else if (f.startsWith(QLatin1Char('>'))) align = flexAlignRight;
        if (f.startsWith(QLatin1Char('^')) || f.startsWith(QLatin1Char('>')) || f.startsWith(QLatin1Char('<')))
            f.remove(0, 1);
        cols_[size_t(c)].alignment = align;
        rows_[0].cells[size_t(c)] = f;
        setValue(0, c, false, 0);
    }
    formatString_ = fmt;
    refresh();
}

int FlexGrid::ColWidth(int c) const {
    checkCol(c);
    const int w = cols_[size_t(c)].widthTwips;
    return w < 0 ? kDefaultColTwips : w;
}

void FlexGrid::setColWidth(int c, int twips) {
    if (c == -1) {
        for (Column& col : cols_) col.widthTwips = std::max(0, twips);
    } else {
        checkCol(c);
        cols_[size_t(c)].widthTwips = std::max(0, twips);
    }
    if (edit_.active && cols_[size_t(edit_.col)].widthTwips == 0) cancelEdit();
    syncDirty_ = true;
    scheduleSync();
    refresh();
}

int FlexGrid::ColAlignment(int c) const {
    checkCol(c);
    return cols_[size_t(c)].alignment;
}

void FlexGrid::setColAlignment(int c, int alignment) {
    checkCol(c);
    cols_[size_t(c)].alignment = alignment;
    refresh();
}

int FlexGrid::ColDataType(int c) const {
    checkCol(c);
    return cols_[size_t(c)].dataType;
}

void FlexGrid::setColDataType(int c, int type) {
    checkCol(c);
    cols_[size_t(c)].dataType = type;
    refresh();
}

QString FlexGrid::ColComboList(int c) const {
    checkCol(c);
    return cols_[size_t(c)].comboList;
}

namespace {

// The entries of a list text: split at each "|" not escaped by a backslash;
// the entries keep their escapes.
QStringList splitListEntries(const QString& list) {
    QStringList out;
    QString entry;
    for (int i = 0; i < list.size(); ++i) {
        const QChar ch = list.at(i);
        if (ch == QLatin1Char('\\') && i + 1 < list.size()) {
            entry += ch;
            entry += list.at(++i);
        } else if (ch == QLatin1Char('|')) {
            out << entry;
            entry.clear();
        } else {
            entry += ch;
        }
    }
    out << entry;
    return out;
}

QString unescapeEntry(const QString& raw) {
    QString out;
    for (int i = 0; i < raw.size(); ++i) {
        if (raw.at(i) == QLatin1Char('\\') && i + 1 < raw.size()) ++i;
        out += raw.at(i);
    }
    return out;
}

QString escapeEntry(const QString& text) {
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        // A leading "#" would read as an item number and a leading "." could
        // make the whole list the cell button's "...".
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('|') ||
            (i == 0 && (ch == QLatin1Char('#') || ch == QLatin1Char('.'))))
            out += QLatin1Char('\\');
        out += ch;
    }
    return out;
}

} // namespace

ComboList& ComboList::add(const QString& text) {
    // An empty text has nothing to pick (and, first, would read as the
    // leading "|" of a list the user may type into).
    if (!text.isEmpty()) append(escapeEntry(text));
    return *this;
}

ComboList& ComboList::add(int number, const QString& text) {
    append(QLatin1Char('#') + QString::number(number) + QLatin1Char(';') + escapeEntry(text));
    return *this;
}

void ComboList::append(const QString& entry) {
    if (!text_.isEmpty()) text_ += QLatin1Char('|');
    text_ += entry;
}

void FlexGrid::parseComboList(Column& col) {
    col.items.clear();
    col.comboEditable = false;
    col.listButton = false;
    QString list = col.comboList;
    if (list == QLatin1String("...")) {
        col.listButton = true;
        return;
    }
    if (list.startsWith(QLatin1Char('|'))) {
        col.comboEditable = true;
        list.remove(0, 1);
    }
    if (list.isEmpty()) return;
    for (const QString& raw : splitListEntries(list)) {
        ComboItem item;
        item.text = unescapeEntry(raw);
        const int semi = raw.indexOf(QLatin1Char(';'));
        if (raw.startsWith(QLatin1Char('#')) && semi > 1) {
            bool ok = false;
            const int n = raw.mid(1, semi - 1).trimmed().toInt(&ok);
            if (ok) {
                item.hasNumber = true;
                item.number = n;
                item.text = unescapeEntry(raw.mid(semi + 1));
            }
        }
        col.items.push_back(item);
    }
}

void FlexGrid::setColComboList(int c, const QString& list) {
    checkCol(c);
    if (edit_.active && edit_.col == c) cancelEdit();
    cols_[size_t(c)].comboList = list;
    parseComboList(cols_[size_t(c)]);
    refresh();
}

bool FlexGrid::ColCellButton(int c) const {
    checkCol(c);
    return cellHasButton(c);
}

void FlexGrid::setColCellButton(int c, bool on) {
    checkCol(c);
    cols_[size_t(c)].cellButton = on;
    refresh();
}

bool FlexGrid::cellHasList(int c) const {
    return editable_ && c >= 0 && c < Cols() && !cols_[size_t(c)].items.empty() && cols_[size_t(c)].widthTwips != 0;
}

bool FlexGrid::cellHasButton(int c) const {
    return editable_ && c >= 0 && c < Cols() && (cols_[size_t(c)].cellButton || cols_[size_t(c)].listButton);
}

int FlexGrid::RowHeight() const { return int(std::lround(rowHeightPx() * tppY())); }

void FlexGrid::setEditable(bool on) {
    if (!on) cancelEdit();
    editable_ = on;
    refresh();
}

void FlexGrid::setExtendLastCol(bool on) {
    extendLastCol_ = on;
    refresh();
}

void FlexGrid::setRedraw(bool on) {
    redraw_ = on;
    if (on) {
        syncDirty_ = true;
        scheduleSync();
        refresh();
    }
}

void FlexGrid::Clear() {
    cancelEdit();
    for (GridRow& row : rows_) {
        for (QString& s : row.cells) s.clear();
        row.values.clear();
    }
    refresh();
}

void FlexGrid::AddItem(const QString& item) { AddItem(item, Rows()); }

void FlexGrid::AddItem(const QString& item, int index) {
    if (index < 1 || index > Rows()) throw vb::RuntimeError(kBadIndex, QStringLiteral("Subscript out of range"));
    if (edit_.active && edit_.row >= index) cancelEdit();
    const int old = Rows();
    GridRow row;
    row.cells.resize(cols_.size());
    qsizetype start = 0;
    for (size_t c = 0; c < cols_.size(); ++c) {
        const qsizetype tab = item.indexOf(QLatin1Char('\t'), start);
        if (tab < 0) {
            row.cells[c] = item.mid(start);
            break;
        }
        row.cells[c] = item.mid(start, tab - start);
        start = tab + 1;
    }
    rows_.insert(rows_.begin() + index, std::move(row));
    afterStructureChange(old);
}

void FlexGrid::RemoveItem(int row) {
    if (row < 1 || row >= Rows()) throw vb::RuntimeError(kBadIndex, QStringLiteral("Subscript out of range"));
    if (edit_.active && edit_.row >= row) cancelEdit();
    const int old = Rows();
    rows_.erase(rows_.begin() + row);
    afterStructureChange(old);
}

// ---------------------------------------------------------------- cells

QString FlexGrid::TextMatrix(int r, int c) const {
    checkCell(r, c);
    return rows_[size_t(r)].cells[size_t(c)];
}

void FlexGrid::setTextMatrix(int r, int c, const QString& text) {
    checkCell(r, c);
    rows_[size_t(r)].cells[size_t(c)] = text;
    setValue(r, c, false, 0);
    if (redraw_) viewport()->update(cellRect(r, c));
}

QString FlexGrid::Text() const { return TextMatrix(row_, col_); }

void FlexGrid::setText(const QString& text) { setTextMatrix(row_, col_, text); }

vb::Variant FlexGrid::cellValue(int r, int c) const {
    checkCell(r, c);
    for (const auto& [col, value] : rows_[size_t(r)].values)
        if (col == c) return vb::Variant(value);
    return vb::Variant();
}

bool FlexGrid::cellChecked(int r, int c) const { return isChecked(TextMatrix(r, c)); }

void FlexGrid::setValue(int r, int c, bool has, int value) {
    auto& values = rows_[size_t(r)].values;
    std::erase_if(values, [c](const auto& v) { return v.first == c; });
    if (has) values.emplace_back(c, value);
}

// ---------------------------------------------------------------- geometry

double FlexGrid::tppX() const { return forms::TwipsPerPixelX(); }
double FlexGrid::tppY() const { return forms::TwipsPerPixelY(); }

int FlexGrid::rowHeightPx() const { return std::max(16, fontMetrics().height() + 3); }

int FlexGrid::colWidthPx(int c) const {
    const int tw = cols_[size_t(c)].widthTwips;
    if (tw == 0) return 0;
    return std::max(1, int(std::lround((tw < 0 ? kDefaultColTwips : tw) / tppX())));
}

int FlexGrid::fixedWidthPx() const {
    int w = 0;
    for (int c = 0; c < fixedCols_; ++c) w += colWidthPx(c);
    return w;
}

int FlexGrid::colContentX(int c) const {
    int x = 0;
    for (int i = 0; i < c; ++i) x += colWidthPx(i);
    return x;
}

int FlexGrid::colViewX(int c) const {
    const int x = colContentX(c);
    return c < fixedCols_ ? x : x - horizontalScrollBar()->value();
}

int FlexGrid::colViewWidth(int c) const {
    int w = colWidthPx(c);
    if (w > 0 && extendLastCol_) {
        int last = Cols() - 1;
        while (last > c && colWidthPx(last) == 0) --last;
        if (last == c) w = std::max(w, viewport()->width() - colViewX(c));
    }
    return w;
}

int FlexGrid::firstScrollRow() const { return 1 + verticalScrollBar()->value(); }

int FlexGrid::fullyVisibleDataRows() const {
    const int rh = rowHeightPx();
    return std::max(0, (viewport()->height() - rh) / rh);
}

int FlexGrid::rowViewY(int r) const {
    const int rh = rowHeightPx();
    return r == 0 ? 0 : rh * (1 + r - firstScrollRow());
}

QRect FlexGrid::cellRect(int r, int c) const {
    if (c < 0 || c >= Cols()) return QRect();
    return QRect(colViewX(c), rowViewY(r), colViewWidth(c), rowHeightPx());
}

QRect FlexGrid::buttonRect(int r, int c) const {
    const QRect cell = cellRect(r, c);
    const int w = std::min(cell.height(), cell.width() / 2);
    return QRect(cell.right() - w + 1, cell.top(), w, cell.height());
}

void FlexGrid::hitTest(const QPoint& p, int& r, int& c) const {
    const int rh = rowHeightPx();
    r = -1;
    c = -1;
    if (p.y() >= 0) {
        r = p.y() < rh ? 0 : firstScrollRow() + (p.y() - rh) / rh;
        if (r >= Rows()) r = -1;
    }
    const int fixedW = fixedWidthPx();
    for (int i = 0; i < Cols(); ++i) {
        const int w = colViewWidth(i);
        if (w == 0) continue;
        const int x = colViewX(i);
        if (i >= fixedCols_ && p.x() < fixedW) continue;   // under the fixed columns
        if (p.x() >= x && p.x() < x + w) {
            c = i;
            break;
        }
    }
    if (c < 0) r = -1;
}

int FlexGrid::resizeBorderAt(const QPoint& p) const {
    if (p.y() < 0 || p.y() >= rowHeightPx()) return -1;
    for (int c = Cols() - 1; c >= 0; --c) {
        const int w = colWidthPx(c);
        if (w == 0) continue;
        const int right = colViewX(c) + w;
        if (std::abs(p.x() - right) <= kResizeGrip) return c;
    }
    return -1;
}

bool FlexGrid::navigable(int c) const {
    return c >= fixedCols_ && c < Cols() && cols_[size_t(c)].widthTwips != 0;
}

int FlexGrid::nextNavigableCol(int from, int step) const {
    for (int c = from + step; c >= 0 && c < Cols(); c += step)
        if (navigable(c)) return c;
    return -1;
}

int FlexGrid::firstNavigableCol() const { return nextNavigableCol(-1, 1); }
int FlexGrid::lastNavigableCol() const { return nextNavigableCol(Cols(), -1); }

void FlexGrid::scheduleSync() {
    if (syncPending_) return;
    syncPending_ = true;
    QTimer::singleShot(0, this, [this] {
        syncPending_ = false;
        if (syncDirty_) syncScrollBars();
    });
}

void FlexGrid::syncScrollBars() {
    if (syncing_) {   // a scroll bar appearing resizes the viewport while we set it up
        syncDirty_ = true;
        scheduleSync();
        return;
    }
    syncing_ = true;
    syncDirty_ = false;
    const bool was = applyingScroll_;
    applyingScroll_ = true;
    const int full = fullyVisibleDataRows();
    QScrollBar* vb = verticalScrollBar();
    vb->setRange(0, std::max(0, (Rows() - 1) - full));
    vb->setPageStep(std::max(1, full));
    vb->setSingleStep(1);
    int scrollWidth = 0;
    for (int c = fixedCols_; c < Cols(); ++c) scrollWidth += colWidthPx(c);
    const int avail = std::max(1, viewport()->width() - fixedWidthPx());
    QScrollBar* hb = horizontalScrollBar();
    hb->setRange(0, std::max(0, scrollWidth - avail));
    hb->setPageStep(avail);
    hb->setSingleStep(20);
    vb->setValue(std::min(topRow_ - 1, vb->maximum()));
    applyingScroll_ = was;
    syncing_ = false;
    placeEditor();
}

void FlexGrid::applyTopRow() {
    const bool was = applyingScroll_;
    applyingScroll_ = true;
    verticalScrollBar()->setValue(std::min(topRow_ - 1, verticalScrollBar()->maximum()));
    applyingScroll_ = was;
}

void FlexGrid::setTopRow(int r) {
    topRow_ = std::clamp(r, 1, std::max(1, Rows() - 1));
    if (syncDirty_) syncScrollBars();
    else applyTopRow();
    refresh();
}

void FlexGrid::ensureVisible(int r, int c) {
    if (syncDirty_) syncScrollBars();
    if (r >= 1) {
        const int first = firstScrollRow();
        const int full = std::max(1, fullyVisibleDataRows());
        if (r < first) setTopRow(r);
        else if (r >= first + full) setTopRow(r - full + 1);
    }
    if (c >= fixedCols_ && c < Cols() && colWidthPx(c) > 0) {
        QScrollBar* hb = horizontalScrollBar();
        const int x = colContentX(c) - fixedWidthPx();
        const int w = colWidthPx(c);
        const int avail = std::max(1, viewport()->width() - fixedWidthPx());
        if (x < hb->value()) hb->setValue(x);
        else if (x + w > hb->value() + avail) hb->setValue(std::min(x, x + w - avail));
    }
}

void FlexGrid::refresh() {
    if (redraw_) viewport()->update();
    placeEditor();
}

int FlexGrid::CellLeft() const {
    return int(std::lround((viewport()->x() + colViewX(col_)) * tppX()));
}

int FlexGrid::CellTop() const {
    return int(std::lround((viewport()->y() + rowViewY(row_)) * tppY()));
}

int FlexGrid::CellWidth() const { return int(std::lround(colViewWidth(col_) * tppX())); }

int FlexGrid::CellHeight() const { return RowHeight(); }

QSize FlexGrid::sizeHint() const { return QSize(400, 200); }

// ---------------------------------------------------------------- painting

void FlexGrid::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    syncScrollBars();
}

void FlexGrid::scrollContentsBy(int, int) {
    viewport()->update();
    placeEditor();
}

void FlexGrid::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        syncDirty_ = true;
        scheduleSync();
    }
}

void FlexGrid::paintEvent(QPaintEvent*) {
    if (syncDirty_) syncScrollBars();
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    const QPalette& pal = palette();
    p.fillRect(area, pal.base());

    const int rh = rowHeightPx();
    const int n = Cols();
    std::vector<int> xs(static_cast<size_t>(n)), ws(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c) {
        xs[size_t(c)] = colViewX(c);
        ws[size_t(c)] = colViewWidth(c);
    }
    const int fixedW = fixedWidthPx();
    const int first = firstScrollRow();
    const int last = std::min(Rows() - 1, first + area.height() / rh);
    const QColor gridLine = pal.color(QPalette::Mid);
    const QFontMetrics fm = fontMetrics();
    const QColor highlight = pal.color(hasLogicalFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
    const QColor highlightText = pal.color(hasLogicalFocus() ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText);

    auto paintCell = [&](int r, int c, int y) {
        const int w = ws[size_t(c)];
        if (w == 0) return;
        const QRect rect(xs[size_t(c)], y, w, rh);
        if (rect.right() < 0 || rect.left() > area.right()) return;
        const bool fixed = r == 0 || c < fixedCols_;
        const bool selected = r >= 1 && r == row_ && !fixed && (!editable_ || c == col_);
        if (fixed) p.fillRect(rect, pal.button());
        else if (selected) p.fillRect(rect, highlight);
        const Column& col = cols_[size_t(c)];
        const QString& text = rows_[size_t(r)].cells[size_t(c)];
        if (!fixed && col.dataType == flexDTBoolean) {
            QStyleOptionButton opt;
            const int box = std::min(rh - 4, 13);
            opt.rect = QRect(rect.center().x() - box / 2, rect.center().y() - box / 2, box, box);
            opt.state = QStyle::State_Enabled | (isChecked(text) ? QStyle::State_On : QStyle::State_Off);
            style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &p, this);
        } else if (!text.isEmpty()) {
            p.setPen(selected ? highlightText : pal.color(fixed ? QPalette::ButtonText : QPalette::Text));
            const QRect textRect = rect.adjusted(3, 0, -3, 0);
            // Text wider than its cell shows its beginning, whatever the alignment.
            const Qt::Alignment align = fm.horizontalAdvance(text) > textRect.width() ? Qt::AlignLeft
                                                                                      : qtAlign(col.alignment);
            p.drawText(textRect, int(align | Qt::AlignVCenter | Qt::TextSingleLine), text);
        }
        if (r >= 1 && r == row_ && c == col_ && cellHasList(c) && !(edit_.active && edit_.combo)) {
            // A list cell shows it is one: the drop-down arrow opens it.
            QStyleOptionButton opt;
            opt.rect = buttonRect(r, c);
            opt.state = QStyle::State_Enabled | QStyle::State_Raised;
            opt.palette = pal;
            style()->drawControl(QStyle::CE_PushButton, &opt, &p, this);
            QStyleOption arrow;
            arrow.rect = opt.rect.adjusted(3, 4, -3, -4);
            arrow.state = QStyle::State_Enabled;
            arrow.palette = pal;
            style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
        }
        if (r >= 1 && r == row_ && c == col_ && cellHasButton(c)) {
            QStyleOptionButton opt;
            opt.rect = buttonRect(r, c);
            opt.text = QStringLiteral("...");
            opt.state = QStyle::State_Enabled | QStyle::State_Raised;
            opt.palette = pal;
            style()->drawControl(QStyle::CE_PushButton, &opt, &p, this);
        }
        p.setPen(gridLine);
        p.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    };
    auto paintRow = [&](int r, int y) {
        p.save();
        p.setClipRect(QRect(fixedW, y, std::max(0, area.width() - fixedW), rh));
        for (int c = fixedCols_; c < n; ++c) paintCell(r, c, y);
        p.restore();
        for (int c = 0; c < fixedCols_ && c < n; ++c) paintCell(r, c, y);
    };
    for (int r = first; r <= last; ++r) paintRow(r, rh * (1 + r - first));
    paintRow(0, 0);
}

} // namespace controls
