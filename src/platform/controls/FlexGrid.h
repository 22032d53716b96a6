#pragma once
// The editable grid. It keeps its own current cell and raises its events in
// one fixed order, whether the move comes from the mouse, the keyboard or code:
//
//   an open edit ends (AfterEdit, also for unchanged text; not on Escape),
//   LeaveCell (Row still the old row), the move, RowColChange, EnterCell,
//   then Click for a mouse press.
//
// A move to the current cell raises nothing. A code move made while the grid
// is dispatching its own LeaveCell, RowColChange, EnterCell, AfterEdit or
// LostFocus (or anything they call) is silent, so a handler that steps back a
// row cannot recurse or make the grid save the wrong row; code moves from
// anywhere else raise the events. Structural changes (Clear, Rows, Cols,
// AddItem, RemoveItem, FormatString) and code writes to cells raise nothing;
// Row and Col keep their numbers, clamped, and a grid that had only its header
// row moves to row 1 when it gains rows.
//
// Cells are plain text kept row by row; only the visible rows are painted and
// there are no per-cell widgets, so lists of thousands of rows stay quick.
// Sizes are in twips.
#include <functional>
#include <vector>
#include <QAbstractScrollArea>
#include <QPointer>
#include <QString>
#include "controls/Control.h"
#include "controls/Keys.h"
#include "vb/Variant.h"

class QComboBox;
class QLineEdit;

namespace controls {

// Column data types (metadata; only Boolean changes what a cell shows).
enum FlexDataType {
    flexDTEmpty = 0, flexDTShort = 2, flexDTLong = 3, flexDTSingle = 4, flexDTDouble = 5,
    flexDTCurrency = 6, flexDTDate = 7, flexDTString = 8, flexDTBoolean = 11,
};
enum FlexAlignment { flexAlignLeft = 0, flexAlignCenter = 1, flexAlignRight = 2 };

// Key codes of KeyDown: the one key map of controls/Keys.h, by shorter names.
namespace keys {
constexpr int Tab = vbKeyTab, Return = vbKeyReturn, Escape = vbKeyEscape, Space = vbKeySpace,
              PageUp = vbKeyPageUp, PageDown = vbKeyPageDown, End = vbKeyEnd, Home = vbKeyHome,
              Left = vbKeyLeft, Up = vbKeyUp, Right = vbKeyRight, Down = vbKeyDown, Delete = vbKeyDelete,
              F2 = vbKeyF1 + 1, F4 = vbKeyF1 + 3;
constexpr int ShiftMask = vbShiftMask, CtrlMask = vbCtrlMask, AltMask = vbAltMask;
}

// Builds a column's drop-down list from data: each text added is one entry,
// shown and written back whole whatever it holds ("|", a leading "#", a
// backslash, a lone "...").
class ComboList {
public:
    ComboList& add(const QString& text);               // an entry; "" adds none
    ComboList& add(int number, const QString& text);   // an entry with item number n
    // The list in the grid's list format, for setColComboList.
    const QString& text() const { return text_; }

private:
    void append(const QString& entry);
    QString text_;
};

class FlexGrid : public QAbstractScrollArea, public Control {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // ---- Events (assigned by the window) ----
    std::function<void()> Click;
    std::function<void()> DblClick;
    // A key pressed while no edit is open, before the grid acts on it (Return and
    // keypad Enter are both 13); setting KeyCode to 0 stops the grid's own action.
    // Keys that only type text (punctuation, accented letters) raise none: they
    // start an edit with their character.
    std::function<void(int& KeyCode, int Shift)> KeyDown;
    // GotFocus and LostFocus come from Control; an open edit is committed
    // (AfterEdit) before LostFocus.
    std::function<void()> LeaveCell;
    std::function<void()> RowColChange;
    std::function<void()> EnterCell;
    std::function<void(int Row, int Col, bool& Cancel)> BeforeEdit;
    std::function<void(int Row, int Col)> AfterEdit;
    std::function<void(int Row, int Col)> CellButtonClick;
    // Not an event of the window: the row convention of the editors
    // (GridRowEditor) hears here what becomes of an edit the user opened on
    // a row (Committed comes just before AfterEdit).
    enum class RowEdit { Opened, Committed, Abandoned };
    std::function<void(int Row, RowEdit what)> rowEditHook;

    // ---- Shape ----
    int Rows() const { return int(rows_.size()); }
    void setRows(int n);                 // growing appends empty rows, shrinking drops from the bottom
    int Cols() const { return int(cols_.size()); }
    void setCols(int n);
    int FixedRows() const { return 1; }
    int FixedCols() const { return fixedCols_; }
    void setFixedCols(int n);            // the status column of the editors (never edited)

    // "|"-separated captions; a leading "^" centres the column, ">" right-aligns it,
    // "<" or nothing left-aligns it. Sets Cols and the header row.
    QString FormatString() const { return formatString_; }
    void setFormatString(const QString& fmt);

    int ColWidth(int c) const;           // twips; 0 hides the column
    void setColWidth(int c, int twips);  // c = -1: every column
    int ColAlignment(int c) const;
    void setColAlignment(int c, int alignment);
    int ColDataType(int c) const;
    void setColDataType(int c, int type);
    // Drop-down list of a column: "#n;text|#m;text2" (a pick shows the text and
    // keeps n as the cell's value) or "a|b"; a leading "|" lets the user type
    // other text too; "..." gives the column a cell button instead; "" plain text.
    // A backslash takes the character after it as text. Lists of data are
    // built with ComboList, so a name is never read as the list's syntax.
    QString ColComboList(int c) const;
    void setColComboList(int c, const QString& list);
    // The "..." button on the current cell of a column; the cell stays editable.
    bool ColCellButton(int c) const;
    void setColCellButton(int c, bool on);
    int RowHeight() const;               // twips, every row

    // ---- Cells ----
    QString TextMatrix(int r, int c) const;
    void setTextMatrix(int r, int c, const QString& text);   // a code write clears the cell's value
    QString Text() const;                // the current cell
    void setText(const QString& text);
    // The item number a list pick stored in the cell; Empty when there is none.
    vb::Variant cellValue(int r, int c) const;
    // What a Boolean column's check box shows: empty, "0" and "False" are clear.
    bool cellChecked(int r, int c) const;

    // ---- Current cell and scrolling ----
    int Row() const { return row_; }
    void setRow(int r);                  // a code move, with the events above
    int Col() const { return col_; }
    void setCol(int c);
    void setRowCol(int r, int c);        // one code move to another row and column
    // A move that raises nothing; an open edit is kept as typed, without AfterEdit.
    void setRowColSilently(int r, int c);
    int TopRow() const { return topRow_; }
    void setTopRow(int r);               // kept clamped to 1..Rows-1; the view scrolls as far as it can

    // The current cell in twips, relative to the grid's top-left corner.
    int CellLeft() const;
    int CellTop() const;
    int CellWidth() const;
    int CellHeight() const;

    // Editors edit in place with free cell selection; read-only lists select
    // whole rows. New grids are read-only lists.
    bool Editable() const { return editable_; }
    void setEditable(bool on);
    // The last visible column reaches to the right edge (on by default).
    bool ExtendLastCol() const { return extendLastCol_; }
    void setExtendLastCol(bool on);
    // Off while filling many rows to skip repaints; on repaints once.
    bool Redraw() const { return redraw_; }
    void setRedraw(bool on);

    // ---- Methods ----
    void Clear();                        // empties every cell, header included; keeps Rows, Cols, widths
    void AddItem(const QString& item);   // tab-separated fields, appended
    void AddItem(const QString& item, int index);   // inserted before row index (Rows appends)
    void RemoveItem(int row);
    // SetFocus, Left, Top, Width, Height and Visible come from Control.

    // Code moves inside this scope are silent, as inside the grid's own events
    // (for a button that runs the after-row-edit step itself).
    class EventHold {
    public:
        explicit EventHold(FlexGrid& g) : grid_(&g) { ++g.holdDepth_; }
        ~EventHold() { if (grid_) --grid_->holdDepth_; }
        EventHold(const EventHold&) = delete;
        EventHold& operator=(const EventHold&) = delete;
    private:
        QPointer<FlexGrid> grid_;
    };
    template <class F>
    void withEventsHeld(F&& body) { EventHold hold(*this); body(); }
    // Redraw is off inside this scope and on again at its end on every way
    // out, so a fill that fails part-way never leaves a grid that stopped
    // painting.
    class RedrawOff {
    public:
        explicit RedrawOff(FlexGrid& g) : grid_(&g) { g.setRedraw(false); }
        ~RedrawOff() { if (grid_) grid_->setRedraw(true); }
        RedrawOff(const RedrawOff&) = delete;
        RedrawOff& operator=(const RedrawOff&) = delete;
    private:
        QPointer<FlexGrid> grid_;
    };
    // True while a code move would be silent.
    bool eventsHeld() const { return dispatchDepth_ > 0 || holdDepth_ > 0; }

    // ---- Input: what the mouse and keyboard do, so tests can drive the grid ----
    // (the Qt event handlers call exactly these).
    bool isEditing() const { return edit_.active; }
    int editRow() const { return edit_.row; }
    int editCol() const { return edit_.col; }
    QString editText() const;
    void setEditText(const QString& text);          // as if typed into the open editor
    // A key as the user presses it: KeyDown, then the grid's own action (editing
    // starts on printable text, F2 or Space in a check-box column; Enter commits
    // and stays, and without an open edit moves down a row in an editor;
    // Escape restores; Up/Down commit and move; Tab and Shift+Tab move to the
    // next and previous cell of an editor, leaving it only from its last and
    // first cell, and leave a list at once).
    // keyCode 0 with text: a key that only types its text. False when the grid
    // had no use for the key (Enter in a list, Escape without an open edit):
    // it goes on to the window.
    bool userKey(int keyCode, int shift = 0, const QString& text = QString());
    // The open in-cell editor, or nullptr (where typed keys go).
    QWidget* editorWidget() const;
    void userMove(int r, int c);                    // a keyboard move to a cell (no Click)
    void userPress(int r, int c);                   // mouse press on a cell (-1: no cell): focus, move, Click
    void userDoubleClick(int r, int c);             // the second press: DblClick, then editing
    void userPressCellButton();                     // "..." of the current cell
    // Opens the list of the current cell (its drop-down arrow, F4, Alt+Down).
    void userOpenList();
    // Picks an entry of the current cell's list: by item number for "#n;" lists,
    // by position otherwise. Opens the editor (BeforeEdit) when needed.
    bool userPick(int itemNumber);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void onGotFocus() override;
    void onLostFocus() override;
    void endOpenEdit() override;

private:
    struct ComboItem {
        QString text;
        bool hasNumber = false;
        int number = 0;
    };
    struct Column {
        int widthTwips = -1;   // -1: the default width
        int alignment = flexAlignLeft;
        int dataType = flexDTEmpty;
        QString comboList;
        std::vector<ComboItem> items;
        bool comboEditable = false;
        bool listButton = false;   // the "..." list
        bool cellButton = false;
    };
    struct GridRow {
        std::vector<QString> cells;
        std::vector<std::pair<int, int>> values;   // (column, item number), rarely any
    };
    enum class MoveBy { Code, Keys, Mouse };
    enum class EditStart { Key, F2, DoubleClick, Pick, DropDown };

    // Moves and events
    bool moveTo(int r, int c, MoveBy by);
    void raiseAfterEdit(int r, int c);
    class Dispatch;
    bool keyAction(int keyCode, int shift, const QString& text);
    void tabMove(bool forward);
    void editorKey(int keyCode, int shift, bool& handled);
    void leaveGrid(bool forward);
    void requestFocus();

    // Editing
    bool canEdit(int r, int c) const;
    bool startEdit(EditStart how, const QString& typed = QString());
    void commitEdit(bool raiseEvent = true);
    void cancelEdit();
    void closeEditor();
    void commitPick(int index);
    void toggleCheck();
    void placeEditor();

    // Structure
    void checkRow(int r) const;
    void checkCol(int c) const;
    void checkCell(int r, int c) const;
    void afterStructureChange(int oldRows);
    void setValue(int r, int c, bool has, int value);
    static void parseComboList(Column& col);

    // Geometry (pixels, viewport coordinates)
    double tppX() const;
    double tppY() const;
    int rowHeightPx() const;
    int colWidthPx(int c) const;
    int fixedWidthPx() const;
    int colContentX(int c) const;
    int colViewX(int c) const;
    int colViewWidth(int c) const;
    int firstScrollRow() const;
    int fullyVisibleDataRows() const;
    int rowViewY(int r) const;
    QRect cellRect(int r, int c) const;
    QRect buttonRect(int r, int c) const;
    bool cellHasButton(int c) const;
    bool cellHasList(int c) const;
    void hitTest(const QPoint& p, int& r, int& c) const;
    int resizeBorderAt(const QPoint& p) const;
    void syncScrollBars();
    void scheduleSync();
    void applyTopRow();
    void ensureVisible(int r, int c);
    bool navigable(int c) const;
    int nextNavigableCol(int from, int step) const;
    int firstNavigableCol() const;
    int lastNavigableCol() const;
    void refresh();

    std::vector<GridRow> rows_;
    std::vector<Column> cols_;
    QString formatString_;
    int fixedCols_ = 0;
    int row_ = 0;
    int col_ = 0;
    int topRow_ = 1;
    bool editable_ = false;
    bool extendLastCol_ = true;
    bool redraw_ = true;
    bool losingFocus_ = false;   // the focus has already gone: closing the editor must not take it back

    int dispatchDepth_ = 0;
    int holdDepth_ = 0;

    bool syncPending_ = false;
    bool syncDirty_ = true;
    bool applyingScroll_ = false;
    bool syncing_ = false;
    bool lastPressValid_ = false;
    ulong lastPressTime_ = 0;
    QPoint lastPressPos_;
    int resizingCol_ = -1;
    int resizeStartX_ = 0;
    int resizeStartWidth_ = 0;

    struct EditState {
        bool active = false;
        bool combo = false;
        int row = -1;
        int col = -1;
    } edit_;
    QLineEdit* lineEditor_ = nullptr;
    QComboBox* comboEditor_ = nullptr;
    bool committingPick_ = false;
};

} // namespace controls
