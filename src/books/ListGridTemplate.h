#pragma once
// What the list editors share: a grid of the rows of one short table, loaded
// from its shared record set, with the row convention of every grid editor
// (markers, old and new row, the shared "row changed" flag), a New button
// that goes to a blank entry row, a Delete button that asks first, and an
// Exit that saves what is pending.
//
// Two ways of saving: the type lists write a row as soon as an edit of its
// text ends; the shipping list marks a row changed and writes it when the
// cursor leaves it.
//
// Each row remembers the key it is stored under, so an edit of a stored key
// replaces that record instead of leaving the old one behind, and an edit
// that changes nothing writes nothing.
//
// The window keeps its named handlers and procedures and forwards them here,
// each under its own error label.
#include <functional>
#include <vector>
#include <QString>
#include <QStringList>
#include "ado/Recordset.h"
#include "controls/FlexGrid.h"
#include "controls/GridRowEditor.h"

class cSetup;
namespace forms {
class Form;
}

namespace books {

class ListGridTemplate {
public:
    enum class SaveWhen { AtEdit, OnLeave };

    struct Options {
        // Names for the error labels, the key column and the "0" rule.
        controls::GridRowEditor::Options rows;
        QString formatString;
        std::vector<int> colWidths;   // twips, one per column
        // The cells that together are a row's key; a row is a record once
        // all of them are filled (the first is the required cell).
        std::vector<int> keyCols{1};
        SaveWhen saveWhen = SaveWhen::AtEdit;
    };

    ListGridTemplate(controls::FlexGrid& grid, int& oldRow, int& newRow, Options options);

    // Writes row `row`. storedKey is the key the row is stored under ("" for
    // a row never stored). False when nothing was written because it failed
    // (already reported); the row then stays pending. A run-time error thrown
    // here is reported under the save's label and counts as a failure.
    std::function<bool(int row, const QString& storedKey)> WriteRow;
    // True when the table holds the key (in any capitals). A row taking a key
    // the table holds, under another record, is refused with a message and
    // given back: a new row is emptied, a stored row gets its former key
    // (and the rest of its edit is saved under it).
    std::function<bool(const QString& key)> Listed;

    // Clears the grid and fills it from the shared record set as it stands
    // (no query): one row per record, rowText giving its tab-separated data
    // cells; an empty set gives one blank entry row marked "*".
    void Load(const ado::RecordsetPtr& rs, const std::function<QString(ado::Recordset&)>& rowText);

    // ---- Grid events ----
    void GotFocus();          // Col := 1
    void LeaveCell() { rows_.LeaveCell(); }
    void RowColChange() { rows_.RowColChange(); }
    void LostFocus() { rows_.LostFocus(); }
    // An edit of a cell has ended on the current row.
    void AfterEdit();

    // ---- The template's procedures ----
    void SetOldRowStatus() { rows_.SetOldRowStatus(); }
    void SetNewRowStatus() { rows_.SetNewRowStatus(); }
    void AfterRowEdit() { rows_.AfterRowEdit(); }
    void SaveRow() { rows_.SaveRow(); }

    // ---- Buttons ----
    // Goes to the blank entry row at the bottom (adding one when the last row
    // is filled), scrolled into view, and gives the grid the focus.
    void New();
    // On a data row whose key is filled: ask(row) shows the question; on Yes
    // remove(row) deletes the record and the grid row goes, with any other
    // row stored under exactly that key (the delete took it as well). A
    // delete that failed (remove returns false, already reported) keeps the
    // row, as the record stays. Nothing is asked on the header or a blank
    // row. The remaining rows keep their markers until the next move.
    void Delete(const std::function<bool(int row)>& ask, const std::function<bool(int row)>& remove);
    // Unloads the window; its Form_QueryUnload saves a pending row.
    void Exit(forms::Form& window);
    // From the window's Form_QueryUnload: a row still pending is saved
    // however the window closes (the close box gives the grid no focus loss);
    // one that cannot be saved is kept, and the window with it, when the user
    // says so. True when the window may close.
    bool SaveBeforeClose() { return rows_.SaveBeforeClose(); }

    // The key text of a row: its key cells joined by tabs; "" while any is empty.
    QString keyOf(int row) const;
    // The key row `row` is stored under ("" for none).
    QString storedKey(int row) const;
    // True when a data row other than `row` is stored under exactly that key.
    bool otherRowStores(int row, const QString& key) const;

    controls::GridRowEditor& rows() { return rows_; }
    controls::FlexGrid& grid() { return grid_; }
    QString label(const QString& proc) const { return rows_.label(proc); }

private:
    void syncStored() const;
    bool saveRecord(int row, QString& key);
    void giveBack(int row, const QString& was);

    controls::FlexGrid& grid_;
    int& oldRow_;
    Options opt_;
    controls::GridRowEditor rows_;
    // One entry per grid row (row 0 unused). Rows are only appended at the
    // bottom or removed, so growing at the end keeps it in step.
    mutable std::vector<QString> stored_;
};

// ---- The payment-type and expense-type tables, through the shared cSetup ----

struct TypeTable {
    bool (cSetup::*Save)(const QString&);
    bool (cSetup::*Remove)(const QString&);
    bool (cSetup::*Replace)(const QString& oldText, const QString& newText);
    ado::RecordsetPtr (cSetup::*List)();
    int32_t (cSetup::*Uses)(const QString&);
    ado::RecordsetPtr& shared;   // rsPayTypes or rsExpTypes
};

// Stores the type text of a row that was stored as storedType ("" none): a
// changed text replaces the former one with the records that use it (the
// former text is kept while another row still shows it). The shared record
// set is renewed in every case. False when a statement failed.
bool SaveTypeText(const TypeTable& table, const QString& storedType, const QString& text,
                  const std::function<bool(const QString&)>& otherRowShows);
// Deletes every stored row of exactly the text and renews the shared record
// set. False when the delete failed.
bool DeleteTypeText(const TypeTable& table, const QString& text);
// True when a record of the record set has the key in its first fields (tab
// separated, capitals aside).
bool ListHolds(const ado::RecordsetPtr& rs, const QString& key);
// The same of a fresh list read through the shared cSetup.
bool Listed(ado::RecordsetPtr (cSetup::*list)(), const QString& key);

} // namespace books
