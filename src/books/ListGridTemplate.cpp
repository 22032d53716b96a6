#include "books/ListGridTemplate.h"
#include <memory>
#include <utility>
#include "data/Globals.h"
#include "data/cSetup.h"
#include "forms/Form.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace books {

ListGridTemplate::ListGridTemplate(controls::FlexGrid& grid, int& oldRow, int& newRow, Options options)
    : grid_(grid), oldRow_(oldRow), opt_(std::move(options)),
      rows_(grid, Globals::RowChanged, oldRow, newRow, opt_.rows) {
    rows_.SaveRecord = [this](int row, QString& key) { return saveRecord(row, key); };
}

// ---------------------------------------------------------------- loading

void ListGridTemplate::Load(const ado::RecordsetPtr& rs, const std::function<QString(ado::Recordset&)>& rowText) {
    controls::FlexGrid& g = grid_;
    g.Clear();
    // A fresh grid has its header only; the records follow it.
    g.setRows(1);
    g.setFormatString(opt_.formatString);
    for (int c = 0; c < int(opt_.colWidths.size()); ++c) g.setColWidth(c, opt_.colWidths[c]);
    g.setTopRow(1);

    long count = 0;
    if (rs && rs->State() == ado::adStateOpen) {
        count = rs->RecordCount();
        if (count > 0) rs->MoveFirst();
        while (!rs->Eof()) {
            g.AddItem(QStringLiteral("\t") + rowText(*rs));
            rs->MoveNext();
        }
    }
    g.setRows(int(count) + 1);
    if (g.Rows() == 1) {
        g.setRows(2);
        g.setTextMatrix(1, 0, QStringLiteral("*"));
    }
    stored_.assign(g.Rows(), QString());
    for (int r = 1; r < g.Rows(); ++r) stored_[r] = keyOf(r);
}

// ---------------------------------------------------------------- keys

QString ListGridTemplate::keyOf(int row) const {
    QStringList parts;
    for (int c : opt_.keyCols) {
        const QString t = grid_.TextMatrix(row, c);
        if (t.isEmpty()) return QString();
        parts << t;
    }
    return parts.join(QLatin1Char('\t'));
}

void ListGridTemplate::syncStored() const {
    if (int(stored_.size()) != grid_.Rows()) stored_.resize(grid_.Rows());
}

QString ListGridTemplate::storedKey(int row) const {
    syncStored();
    return row > 0 && row < int(stored_.size()) ? stored_[row] : QString();
}

bool ListGridTemplate::otherRowStores(int row, const QString& key) const {
    syncStored();
    for (int r = 1; r < int(stored_.size()); ++r)
        if (r != row && !stored_[r].isEmpty() && stored_[r] == key) return true;
    return false;
}

// The save step of the row convention: a row without its key is not a
// record and writes nothing, but still counts as done.
bool ListGridTemplate::saveRecord(int row, QString& key) {
    QString now = keyOf(row);
    const QString was = storedKey(row);
    // Shown twice but stored once, a delete of either row would take the
    // record the other still shows.
    if (!now.isEmpty() && now.compare(was, Qt::CaseInsensitive) != 0 && Listed && Listed(now)) {
        vb::MsgBox(QString(now).replace(QLatin1Char('\t'), QLatin1Char(' ')) + QStringLiteral(" is already in the list."),
                   vb::vbExclamation);
        giveBack(row, was);
        now = was;
    }
    key = grid_.TextMatrix(row, opt_.rows.keyCol);
    if (now.isEmpty()) return true;
    if (!WriteRow || !WriteRow(row, storedKey(row))) return false;
    syncStored();
    stored_[row] = now;
    return true;
}

void ListGridTemplate::giveBack(int row, const QString& was) {
    if (was.isEmpty()) {
        for (int c = 1; c < grid_.Cols(); ++c) grid_.setTextMatrix(row, c, QString());
        return;
    }
    const QStringList parts = was.split(QLatin1Char('\t'));
    for (size_t i = 0; i < opt_.keyCols.size(); ++i) grid_.setTextMatrix(row, opt_.keyCols[i], parts.value(qsizetype(i)));
}

// ---------------------------------------------------------------- events

void ListGridTemplate::GotFocus() { grid_.setCol(1); }

void ListGridTemplate::AfterEdit() {
    const int row = grid_.Row();
    if (opt_.saveWhen == SaveWhen::AtEdit) {
        if (!grid_.TextMatrix(row, opt_.keyCols.front()).isEmpty()) {
            oldRow_ = row;
            // A save that failed stays pending, so leaving the row tries again.
            if (!rows_.SaveRow()) rows_.MarkChanged();
        }
    } else if (!keyOf(row).isEmpty()) {
        // The edited row is the one whose marker shows the pending edit.
        oldRow_ = row;
        rows_.MarkChanged();
    }
    rows_.SetOldRowStatus();
}

// ---------------------------------------------------------------- buttons

void ListGridTemplate::New() {
    controls::FlexGrid& g = grid_;
    if (!g.TextMatrix(g.Rows() - 1, opt_.keyCols.front()).isEmpty()) g.setRows(g.Rows() + 1);
    if (g.Rows() >= 7) g.setTopRow(g.Rows() - 5);
    g.setRow(g.Rows() - 1);
    g.SetFocus();
}

void ListGridTemplate::Delete(const std::function<bool(int row)>& ask, const std::function<bool(int row)>& remove) {
    controls::FlexGrid& g = grid_;
    const int row = g.Row();
    if (row < 1 || row >= g.Rows()) return;
    if (g.TextMatrix(row, opt_.keyCols.front()).isEmpty()) return;
    if (!ask(row)) return;
    const QString key = storedKey(row);
    if (!remove(row)) return;
    syncStored();
    for (int r = g.Rows() - 1; r >= 1; --r) {
        if (r != row && (key.isEmpty() || stored_[r] != key)) continue;
        g.RemoveItem(r);
        stored_.erase(stored_.begin() + r);
    }
}

void ListGridTemplate::Exit(forms::Form& window) { forms::Form::Unload(window); }

// ---------------------------------------------------------------- type tables

namespace {

void renew(const TypeTable& table, cSetup& setup) {
    ado::RecordsetPtr fresh = (setup.*table.List)();
    table.shared = fresh ? fresh : std::make_shared<ado::Recordset>();
}

} // namespace

bool ListHolds(const ado::RecordsetPtr& rs, const QString& key) {
    if (!rs || rs->State() != ado::adStateOpen) return false;
    const QStringList parts = key.split(QLatin1Char('\t'));
    bool found = false;
    if (rs->RecordCount() > 0) rs->MoveFirst();
    while (!rs->Eof() && !found) {
        found = true;
        for (qsizetype i = 0; i < parts.size() && found; ++i) {
            const vb::Variant v = rs->Fields(int(i)).Value();
            found = !v.isNull() && vb::CStr(v).compare(parts[i], Qt::CaseInsensitive) == 0;
        }
        rs->MoveNext();
    }
    if (rs->RecordCount() > 0) rs->MoveFirst();
    return found;
}

bool Listed(ado::RecordsetPtr (cSetup::*list)(), const QString& key) {
    std::shared_ptr<cSetup> setup = Globals::Required(Globals::SharedSetup);
    const ConnectionScope opened = setup->OpenScope();
    return ListHolds(((*setup).*list)(), key);
}

bool SaveTypeText(const TypeTable& table, const QString& storedType, const QString& text,
                  const std::function<bool(const QString&)>& otherRowShows) {
    std::shared_ptr<cSetup> setup = Globals::Required(Globals::SharedSetup);
    const ConnectionScope opened = setup->OpenScope();
    bool ok = true;
    // The former text stays while another row still shows it.
    const bool replacing = !storedType.isEmpty() && !(otherRowShows && otherRowShows(storedType));
    // Ending an edit without a change writes nothing.
    if (storedType != text)
        ok = replacing ? ((*setup).*table.Replace)(storedType, text) : ((*setup).*table.Save)(text);
    table.shared = std::make_shared<ado::Recordset>();
    renew(table, *setup);
    return ok;
}

bool DeleteTypeText(const TypeTable& table, const QString& text) {
    table.shared = std::make_shared<ado::Recordset>();
    std::shared_ptr<cSetup> setup = Globals::Required(Globals::SharedSetup);
    const ConnectionScope opened = setup->OpenScope();
    const bool ok = ((*setup).*table.Remove)(text);
    renew(table, *setup);
    return ok;
}

} // namespace books
