#pragma once
// The row convention every grid editor follows: a status column with row
// markers, the record key in a hidden (or visible) key column, the row being
// left and the row entered, one shared "row changed" flag, and the save of a
// changed row when the cursor leaves it or the grid loses the focus.
//
//   "*"  the key cell is empty (a row never saved, or the blank entry row)
//   "?"  the key cell holds "0" (waiting for its first save), or the current
//        row with unsaved edits, or a row about to be saved
//   ">"  the current row with nothing pending
//   ""   any other row
//
// The window keeps the two row numbers (the invoice grid keeps them where the
// picker can see them) and names its own procedures; this class holds the
// rules. Wire the grid's events to the window's handlers and let them call:
//
//   LeaveCell     -> rows.LeaveCell()        (old row := Row)
//   RowColChange  -> rows.RowColChange()     (saves when a changed row is left)
//   LostFocus     -> rows.LostFocus()        (saves a changed row)
//   AfterEdit     -> rows.MarkChanged() for the columns that count, then
//                    rows.SetOldRowStatus()
//
// The save itself is the window's: SaveRecord writes the row and reports
// success. A save that fails leaves the flag set and the markers and key as
// they were, and puts the cursor back on the failed row, so the next leave
// tries that row again.
#include <functional>
#include <QPointer>
#include <QString>
#include <QStringList>
#include "controls/FlexGrid.h"

namespace controls {

class GridRowEditor {
public:
    struct Options {
        // The window's name in the error report labels ("InvoiceDetail").
        QString formName;
        // The procedure names the labels use.
        QString setOldRowStatusName = QStringLiteral("SetOldRowStatus");
        QString setNewRowStatusName = QStringLiteral("SetNewRowStatus");
        QString afterRowEditName = QStringLiteral("AfterRowEdit");
        QString saveRowName = QStringLiteral("SaveRow");
        int statusCol = 0;
        int keyCol = 1;
        // The cell without which a row is not a record.
        int requiredCol = 1;
        // A key cell holding "0" marks the row "?".
        bool zeroKeyRule = true;
        // After-row-edit also scrolls up one row when it steps back.
        bool topRowStep = true;
        // When set, decides whether a row is one the cursor steps back to
        // (in place of an empty required cell): the register counts a row
        // without either amount.
        std::function<bool(int row)> incompleteRow = nullptr;
        // A blank entry row ("*") always stands at the bottom: loading,
        // and text committed into it, add the next one (KeepEntryRow).
        bool entryRow = false;
    };

    // flag: the one shared "row changed" flag of every grid editor.
    // oldRow / newRow: the window's two row numbers (0 when it loads).
    GridRowEditor(FlexGrid& grid, bool& flag, int& oldRow, int& newRow, Options options);
    ~GridRowEditor();
    GridRowEditor(const GridRowEditor&) = delete;
    GridRowEditor& operator=(const GridRowEditor&) = delete;

    // Writes row `row` (the old row) to the data file. `key` comes in as the
    // key cell's text, or "" for a row that has none yet (an empty cell or
    // the header caption); the save sets it to the key it used, which goes
    // back into the key column. Returns false when the save failed (the data
    // layer has already reported it). A run-time error thrown here is
    // reported under the save's label and counts as a failure.
    std::function<bool(int row, QString& key)> SaveRecord;
    // Runs after a successful save has written the key back and re-marked
    // the rows, before the flag is cleared (the invoice grid saves its
    // header here when the saved row is row 1).
    std::function<void(int row)> RowSaved;

    // ---- The row convention ----
    void SetOldRowStatus();
    void SetNewRowStatus();
    // Marks the entered row "?", steps back to an incomplete row above it,
    // then saves the old row.
    void AfterRowEdit();
    // Saves the old row; does nothing but clear the flag when there is no old
    // data row. True when a row was saved (or there was nothing to save).
    bool SaveRow();

    // Adds a blank entry row marked "*" unless the last row is one (with
    // entryRow, an edit committed on the last row calls it). Raises nothing.
    void KeepEntryRow();

    // ---- Grid events ----
    void LeaveCell();
    void RowColChange();
    void LostFocus();

    // ---- The shared flag ----
    // Sets the flag on behalf of this grid.
    void MarkChanged();
    // True when the flag is set and no other grid editor set it (a flag set
    // by something that is not a grid editor, a picker writing into this
    // grid, counts as this grid's).
    bool ChangedHere() const;
    // Clears the flag (and who set it).
    void ClearChanged();

    // ---- Before the rows go ----
    // Something is about to drop this grid's rows (the window closes, the
    // list is read anew). A row still pending is saved as leaving the grid
    // saves it: `leave` is the window's own lost-focus handler (LostFocus()
    // when none). When the row cannot be saved the user is asked `question`
    // (Yes and No, No the default): No keeps the row with its edits and its
    // "?" marker and returns false, so the caller stops; Yes drops the
    // pending edit. A row whose save has just failed and that is unchanged
    // since is not tried again, so each failure is told once.
    bool SaveOrDiscard(const QString& question, const std::function<void()>& leave = {});
    // The same for a window's Form_QueryUnload: true when it may close.
    bool SaveBeforeClose(const std::function<void()>& leave = {});
    static QString DiscardAndCloseQuestion();
    static QString DiscardQuestion();

    // The marker a row shows when it is neither the old nor the new row.
    QString restingMarker(int row) const;
    QString label(const QString& proc) const;

    FlexGrid& grid() { return *grid_; }
    const Options& options() const { return opt_; }

private:
    bool keyEmpty(int row) const;
    bool keyZero(int row) const;
    void backToFailedRow(int row);
    void rowEdit(int row, FlexGrid::RowEdit what);
    QStringList cellsOf(int row) const;

    QPointer<FlexGrid> grid_;
    bool& flag_;
    int& oldRow_;
    int& newRow_;
    Options opt_;
    // The row whose last save failed, as it stood then.
    int failedRow_ = -1;
    QStringList failedCells_;
};

} // namespace controls
