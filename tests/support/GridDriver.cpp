#include "support/GridDriver.h"
#include <QWidget>
#include "controls/Control.h"

namespace testsupport {

namespace {
// A control with nothing to show: where the focus goes when it leaves the grid.
class FocusSink : public QWidget, public controls::Control {
public:
    explicit FocusSink(QWidget* parent) : QWidget(parent), Control(this) {
        setFocusPolicy(Qt::StrongFocus);
        setObjectName(QStringLiteral("GridDriverFocusSink"));
        hide();
    }
};
} // namespace

GridDriver::GridDriver(controls::FlexGrid& grid) : grid_(&grid) {}

GridDriver::~GridDriver() { delete sink_.data(); }

void GridDriver::focusIn() { grid_->SetFocus(); }

void GridDriver::focusOut() {
    if (!sink_) sink_ = new FocusSink(grid_->window());
    forms::SetFocusTo(*static_cast<FocusSink*>(sink_.data()));
}

void GridDriver::focusTo(forms::FocusTarget& other) { forms::SetFocusTo(other); }

void GridDriver::moveTo(int r, int c) { grid_->userMove(r, c); }

void GridDriver::click(int r, int c) { grid_->userPress(r, c); }

void GridDriver::dblClick(int r, int c) {
    QPointer<controls::FlexGrid> g = grid_;
    g->userPress(r, c);
    if (g) g->userDoubleClick(r, c);
}

bool GridDriver::type(const QString& text) {
    if (text.isEmpty()) return false;
    const QChar first = text.at(0);
    const int code = first.isLetter() ? first.toUpper().unicode() : first.unicode();
    grid_->userKey(code, 0, QString(first));
    if (!grid_->isEditing()) return false;
    grid_->setEditText(grid_->editText() + text.mid(1));
    return true;
}

bool GridDriver::edit(const QString& text) {
    grid_->userKey(controls::keys::F2);
    if (!grid_->isEditing()) return false;
    grid_->setEditText(text);
    grid_->userKey(controls::keys::Return);
    return true;
}

bool GridDriver::edit(int r, int c, const QString& text) {
    moveTo(r, c);
    return edit(text);
}

bool GridDriver::cancelEdit(const QString& text) {
    grid_->userKey(controls::keys::F2);
    if (!grid_->isEditing()) return false;
    grid_->setEditText(text);
    grid_->userKey(controls::keys::Escape);
    return true;
}

void GridDriver::key(int keyCode, int shift) { grid_->userKey(keyCode, shift); }

void GridDriver::cellButton() { grid_->userPressCellButton(); }

bool GridDriver::pick(int r, int c, int itemNumber) {
    moveTo(r, c);
    return grid_->userPick(itemNumber);
}

} // namespace testsupport
