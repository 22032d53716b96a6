#include "support/GridDriver.h"
#include <QWidget>
#include "support/FormDriver.h"
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
    // Real key presses: the first goes to the grid, the rest to the editor it opened.
    QPointer<controls::FlexGrid> g = grid_;
    typeKeys(g, text, [g]() -> QWidget* { return !g ? nullptr : g->editorWidget() ? g->editorWidget() : g.data(); });
    return g && g->isEditing();
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
