#include "controls/GridRowEditor.h"
#include <utility>
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

namespace controls {

namespace {
// The grid editor that last set the shared flag. Forgotten when the flag is
// seen cleared, so a flag set later by a picker counts for the grid it serves.
QPointer<FlexGrid>& flagOwner() {
    static QPointer<FlexGrid> owner;
    return owner;
}
} // namespace

GridRowEditor::GridRowEditor(FlexGrid& grid, bool& flag, int& oldRow, int& newRow, Options options)
    : grid_(&grid), flag_(flag), oldRow_(oldRow), newRow_(newRow), opt_(std::move(options)) {
    grid.rowEditHook = [this](int row, FlexGrid::RowEdit what) { rowEdit(row, what); };
}

GridRowEditor::~GridRowEditor() {
    if (grid_) grid_->rowEditHook = nullptr;
}

// Typing on a row is an edit of that row: it shows "?" while the editor is
// open, and its old marker again when the edit is given up.
void GridRowEditor::rowEdit(int row, FlexGrid::RowEdit what) {
    if (row <= 0 || row >= grid_->Rows()) return;
    switch (what) {
    case FlexGrid::RowEdit::Opened: grid_->setTextMatrix(row, opt_.statusCol, QStringLiteral("?")); break;
    case FlexGrid::RowEdit::Abandoned: {
        QString marker = restingMarker(row);
        if (row == oldRow_ && ChangedHere()) marker = QStringLiteral("?");
        else if (row == grid_->Row() && marker.isEmpty()) marker = QStringLiteral(">");
        grid_->setTextMatrix(row, opt_.statusCol, marker);
        break;
    }
    case FlexGrid::RowEdit::Committed:
        if (opt_.entryRow && row == grid_->Rows() - 1) KeepEntryRow();
        break;
    }
}

void GridRowEditor::KeepEntryRow() {
    FlexGrid& g = *grid_;
    const int last = g.Rows() - 1;
    if (last >= 1 && keyEmpty(last) && g.TextMatrix(last, opt_.requiredCol).isEmpty()) return;
    g.setRows(last + 2);
    g.setTextMatrix(last + 1, opt_.statusCol, QStringLiteral("*"));
}

QString GridRowEditor::label(const QString& proc) const {
    return opt_.formName + QLatin1Char('.') + proc + QStringLiteral(" -");
}

bool GridRowEditor::keyEmpty(int row) const { return grid_->TextMatrix(row, opt_.keyCol).isEmpty(); }

bool GridRowEditor::keyZero(int row) const {
    return opt_.zeroKeyRule && grid_->TextMatrix(row, opt_.keyCol) == QLatin1String("0");
}

QString GridRowEditor::restingMarker(int row) const {
    if (keyEmpty(row)) return QStringLiteral("*");
    if (keyZero(row)) return QStringLiteral("?");
    return QString();
}

// ---------------------------------------------------------------- markers

void GridRowEditor::SetOldRowStatus() {
    vb::Trap(label(opt_.setOldRowStatusName), [&] {
        const int r = oldRow_;
        // Row 0 is the header; a row removed since it was left has no marker.
        if (r <= 0 || r >= grid_->Rows()) return;
        QString marker;
        if (keyEmpty(r)) marker = QStringLiteral("*");
        else if (keyZero(r)) marker = QStringLiteral("?");
        else if (r == newRow_) marker = ChangedHere() ? QStringLiteral("?") : QStringLiteral(">");
        grid_->setTextMatrix(r, opt_.statusCol, marker);
    });
}

void GridRowEditor::SetNewRowStatus() {
    vb::Trap(label(opt_.setNewRowStatusName), [&] {
        const int r = newRow_;
        if (r <= 0 || r >= grid_->Rows()) return;
        QString marker = QStringLiteral(">");
        if (keyEmpty(r)) marker = QStringLiteral("*");
        else if (keyZero(r)) marker = QStringLiteral("?");
        grid_->setTextMatrix(r, opt_.statusCol, marker);
    });
}

// ---------------------------------------------------------------- saving

void GridRowEditor::AfterRowEdit() {
    vb::Trap(label(opt_.afterRowEditName), [&] {
        const int r = newRow_;
        if (r > 0 && r < grid_->Rows()) {
            grid_->setTextMatrix(r, opt_.statusCol, QStringLiteral("?"));
            // Keep the cursor on an incomplete row above instead of leaving a
            // gap. The step is never an event of its own, whoever calls this.
            const bool incomplete = opt_.incompleteRow ? opt_.incompleteRow(r - 1)
                                                       : grid_->TextMatrix(r - 1, opt_.requiredCol).isEmpty();
            if (incomplete) {
                FlexGrid::EventHold hold(*grid_);
                if (grid_->Rows() >= 2) grid_->setRow(r - 1);
                if (opt_.topRowStep && grid_->TopRow() >= 2) grid_->setTopRow(grid_->Row() - 1);
            }
        }
        SaveRow();
    });
}

bool GridRowEditor::SaveRow() {
    bool result = false;
    const QString lbl = label(opt_.saveRowName);
    vb::Trap(lbl, [&] {
        const int row = oldRow_;
        if (row <= 0 || row >= grid_->Rows()) {
            // No data row was left: nothing to save, and nothing left pending.
            ClearChanged();
            result = true;
            return;
        }
        QString key = grid_->TextMatrix(row, opt_.keyCol);
        if (key == grid_->TextMatrix(0, opt_.keyCol)) key.clear();
        bool saved = false;
        const bool ran = vb::Trap(lbl, [&] { saved = SaveRecord && SaveRecord(row, key); });
        if (!ran || !saved) {
            failedRow_ = row;
            failedCells_ = cellsOf(row);
            backToFailedRow(row);
            return;
        }
        failedRow_ = -1;
        grid_->setTextMatrix(row, opt_.keyCol, key);
        SetOldRowStatus();
        if (newRow_ != 0) SetNewRowStatus();
        if (RowSaved) RowSaved(row);
        ClearChanged();
        result = true;
    });
    return result;
}

// The flag stays set and the failed row becomes both old and new row, so the
// next leave (or focus loss) saves that row, not the one the cursor went to.
void GridRowEditor::backToFailedRow(int row) {
    const int went = grid_->Row();
    const int entered = newRow_;
    if (went != row) grid_->setRowColSilently(row, grid_->Col());
    oldRow_ = newRow_ = row;
    for (int r : {went, entered})
        if (r > 0 && r != row && r < grid_->Rows())
            grid_->setTextMatrix(r, opt_.statusCol, restingMarker(r));
}

QStringList GridRowEditor::cellsOf(int row) const {
    QStringList cells;
    for (int c = 0; c < grid_->Cols(); ++c)
        if (c != opt_.statusCol) cells << grid_->TextMatrix(row, c);
    return cells;
}

// ---------------------------------------------------------------- before the rows go

QString GridRowEditor::DiscardAndCloseQuestion() {
    return QStringLiteral("This row could not be saved. Discard it and close?");
}

QString GridRowEditor::DiscardQuestion() { return QStringLiteral("This row could not be saved. Discard it?"); }

bool GridRowEditor::SaveOrDiscard(const QString& question, const std::function<void()>& leave) {
    if (!grid_ || !ChangedHere()) return true;
    const int row = grid_->Row();
    const bool toldAlready = row == failedRow_ && row < grid_->Rows() && cellsOf(row) == failedCells_;
    if (!toldAlready) {
        if (leave) leave();
        else LostFocus();
        if (!grid_ || !ChangedHere()) return true;
    }
    const int answer = vb::MsgBox(question, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2);
    if (answer != vb::vbYes) return false;
    ClearChanged();
    failedRow_ = -1;
    return true;
}

bool GridRowEditor::SaveBeforeClose(const std::function<void()>& leave) {
    return SaveOrDiscard(DiscardAndCloseQuestion(), leave);
}

// ---------------------------------------------------------------- events

void GridRowEditor::LeaveCell() { oldRow_ = grid_->Row(); }

void GridRowEditor::RowColChange() {
    newRow_ = grid_->Row();
    if (ChangedHere() && newRow_ != oldRow_) AfterRowEdit();
    SetOldRowStatus();
    if (oldRow_ != newRow_) SetNewRowStatus();
}

void GridRowEditor::LostFocus() {
    if (ChangedHere()) AfterRowEdit();
    SetOldRowStatus();
}

// ---------------------------------------------------------------- flag

void GridRowEditor::MarkChanged() {
    flag_ = true;
    flagOwner() = grid_;
}

bool GridRowEditor::ChangedHere() const {
    if (!flag_) {
        flagOwner() = nullptr;
        return false;
    }
    const FlexGrid* owner = flagOwner().data();
    return owner == nullptr || owner == grid_.data();
}

void GridRowEditor::ClearChanged() {
    flag_ = false;
    flagOwner() = nullptr;
}

} // namespace controls
