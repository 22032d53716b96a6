#pragma once
// Drives a FlexGrid the way a user does: each call raises the events the
// matching mouse or keyboard input would, in the grid's own order.
#include <QPointer>
#include <QString>
#include "controls/FlexGrid.h"

namespace testsupport {

class GridDriver {
public:
    explicit GridDriver(controls::FlexGrid& grid);
    ~GridDriver();
    GridDriver(const GridDriver&) = delete;
    GridDriver& operator=(const GridDriver&) = delete;

    controls::FlexGrid& grid() { return *grid_; }

    // Focus: the grid takes the logical focus (GotFocus), or gives it to
    // another control of its window (an open edit commits, then LostFocus).
    void focusIn();
    void focusOut();
    void focusTo(forms::FocusTarget& other);

    // A keyboard move to a cell: no Click.
    void moveTo(int r, int c);
    // Mouse press on a cell (GotFocus first when unfocused, the move, Click).
    void click(int r, int c);
    // Both presses of a double click: Click, then DblClick (editing starts on
    // an editable cell).
    void dblClick(int r, int c);

    // Starts editing the current cell by typing text (the first character
    // opens the editor and replaces the text); the editor stays open.
    bool type(const QString& text);
    // F2, replace the text, Enter: one edit of the current cell (false when
    // BeforeEdit cancelled it or the cell is not editable).
    bool edit(const QString& text);
    bool edit(int r, int c, const QString& text);
    // F2, replace the text, Escape: an edit the user abandons (no AfterEdit;
    // the cell keeps its text). False when the editor did not open.
    bool cancelEdit(const QString& text);

    void key(int keyCode, int shift = 0);
    void enter() { key(controls::keys::Return); }
    void escape() { key(controls::keys::Escape); }
    void up() { key(controls::keys::Up); }
    void down() { key(controls::keys::Down); }
    void tab(bool back = false) { key(controls::keys::Tab, back ? controls::keys::ShiftMask : 0); }

    // The "..." button of the current cell.
    void cellButton();
    // Moves to a list cell and picks the entry with item number n (by
    // position in a list without numbers).
    bool pick(int r, int c, int itemNumber);

private:
    QPointer<controls::FlexGrid> grid_;
    QPointer<QWidget> sink_;   // "another control" of the grid's window
};

} // namespace testsupport
