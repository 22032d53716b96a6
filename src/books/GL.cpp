#include "books/GL.h"
#include <algorithm>
#include <memory>
#include <QFontMetrics>
#include <QScopedValueRollback>
#include <QStringList>
#include <QStyle>
#include "books/ExpenseTypes.h"
#include "books/Vendors.h"
#include "customers/PaymentDate.h"
#include "data/Globals.h"
#include "data/Vendor.h"
#include "reports/PrtRegistry.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace {

QString label(const char* proc) { return QStringLiteral("GL.") + QString::fromLatin1(proc) + QStringLiteral(" -"); }

const QString kSection = QStringLiteral("GL");

QString fieldText(ado::Recordset& rs, const char* name) {
    const vb::Variant v = rs.Fields(name).Value();
    return v.isNull() || v.isEmpty() ? QString() : v.str();
}

// The amount cells are read back by the save: they show every decimal an
// amount has, so an entry saved for another edit keeps its amounts.
QString amountText(vb::Currency c) { return c == vb::Currency() ? QString() : vb::FormatCurrencyExact(c); }

// Room a balance caption needs before its amount, in twips: at least the
// designed 1200.
int captionRoom(controls::Label& l) {
    const int need = (QFontMetrics(l.font()).horizontalAdvance(l.Caption()) + 8) * 15;
    l.setWidth(std::max(1200, need));
    return std::max(1200, need);
}

} // namespace

GL::GL()
    : rows_(PaymentList, Globals::RowChanged, OldRow, NewRow,
            controls::GridRowEditor::Options{
                .formName = QStringLiteral("GL"),
                .afterRowEditName = QStringLiteral("PaymentList_AfterRowEdit"),
                .keyCol = colKey,
                .requiredCol = colPayment,
                // The cursor steps back to a row above that lacks an amount.
                .incompleteRow =
                    [this](int r) {
                        return PaymentList.TextMatrix(r, colPayment).isEmpty() &&
                               PaymentList.TextMatrix(r, colDeposit).isEmpty();
                    },
            }) {
    setCaption(QStringLiteral("Registry"));
    PaymentDate::ServeRegister<GL>();
    layoutControls();

    rows_.SaveRecord = [this](int row, QString& key) { return SaveLedgerRow(row, key); };
    rows_.RowSaved = [this](int row) {
        if (savedNow_) CalcBal(row);
    };

    btnDelete.Click = [this] { btnDelete_Click(); };
    btnNew.Click = [this] { btnNew_Click(); };
    btnPrint.Click = [this] { btnPrint_Click(); };
    btnVendors.Click = [this] { btnVendors_Click(); };
    btnPaymentCategories.Click = [this] { btnPaymentCategories_Click(); };
    Command2.Click = [this] { Command2_Click(); };

    PaymentList.setEditable(true);
    PaymentList.setFixedCols(1);
    PaymentList.AfterEdit = [this](int r, int c) { PaymentList_AfterEdit(r, c); };
    PaymentList.EnterCell = [this] { PaymentList_EnterCell(); };
    PaymentList.GotFocus = [this] { PaymentList_GotFocus(); };
    PaymentList.LeaveCell = [this] { PaymentList_LeaveCell(); };
    PaymentList.LostFocus = [this] { PaymentList_LostFocus(); };
    PaymentList.RowColChange = [this] { PaymentList_RowColChange(); };
    PaymentList.Click = [this] { PaymentList_Click(); };
    PaymentList.CellButtonClick = [this](int r, int c) { PaymentList_CellButtonClick(r, c); };
    watch_ = RecordEvents::Subscribe([this](const RecordEvents::Event& e) { OnRecordEvent(e); });
}

void GL::OnRecordEvent(const RecordEvents::Event& e) {
    using namespace RecordEvents;
    if (ownWrite_ || !IsLoaded()) return;
    // Entries saved or deleted elsewhere, a vendor deleted with its entries or
    // renamed (its entries and the Vendor list follow): the grid, its Balance
    // column and both labels are read again.
    if (e.what != LedgerEntrySaved && e.what != LedgerEntryDeleted && e.what != VendorSaved && e.what != VendorDeleted)
        return;
    QueueReload();
}

void GL::QueueReload() {
    // Read once the writer is done: the load shares the shared Vendor's
    // connection, which the writer may still be using, and closes it.
    if (reloadQueued_) return;
    reloadQueued_ = true;
    QMetaObject::invokeMethod(this, [this] {
        reloadQueued_ = false;
        if (IsLoaded()) Reload();
    }, Qt::QueuedConnection);
}

GL::~GL() { Form_Terminate(); }

void GL::layoutControls() {
    const QFontMetrics fm(font());
    // The picture buttons at their designed places; the one with a caption
    // gets the room its text needs, and the exit button moves along.
    controls::LayOutToolButtons({{&btnDelete, "Delete Selected Payment/Deposit", controls::pictures::Delete, nullptr}},
                                150, 45, 675, 555, 0);
    controls::LayOutToolButtons({{&btnNew, "Add New Payment/Deposit", controls::pictures::Add, nullptr}}, 840,
                                45, 675, 555, 0);
    controls::LayOutToolButtons({{&btnPrint, "Registry Print Options", controls::pictures::Print, nullptr}},
                                1530, 45, 765, 555, 0);
    controls::LayOutToolButtons({{&btnVendors, "Vendor Profiles", controls::pictures::Vendors, nullptr}}, 2310, 45, 765,
                                555, 0);
    btnPaymentCategories.setText(QStringLiteral("Payment &Categories"));
    btnPaymentCategories.setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnPaymentCategories.setToolTipText(QStringLiteral("Payment Categories"));
    const int catWidth = std::max(945, (fm.horizontalAdvance(QStringLiteral("Payment Categories")) + 16) * 15);
    btnPaymentCategories.Move(3090, 45, catWidth, 555);
    controls::LayOutToolButtons({{&Command2, "Exit Registry", controls::pictures::Close, nullptr}},
                                3090 + catWidth + 15, 45, 705, 555, 0);
    Frame1.Move(0, 0, Command2.Left() + Command2.Width() + 150, 645);
    Frame2.Move(20, 0, 7840, 645);

    Label2.setCaption(QStringLiteral("Current Balance:"));
    Label3.setCaption(QStringLiteral("Ending Balance:"));
    for (controls::Label* l : {&Label2, &Label3, &lblCurBal, &lblEndBal}) l->Move(0, 0, 1200, 255);
    lblCurBal.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblEndBal.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCurBal.setWidth(1050);
    lblEndBal.setWidth(1050);
    PaymentList.Move(20, 700, 7840, 4500);
    forms::Form::setKeyboardOrder({&PaymentList, &btnDelete, &btnNew, &btnPrint, &btnVendors, &btnPaymentCategories,
                                   &Command2});
}

// ---------------------------------------------------------------- lists

QString GL::VendorList(const ado::RecordsetPtr& vendors) {
    controls::ComboList list;
    if (!vendors || vendors->State() != ado::adStateOpen) return QString();
    if (vendors->RecordCount() > 0) vendors->MoveFirst();
    while (!vendors->Eof()) {
        list.add(fieldText(*vendors, "Company"));
        vendors->MoveNext();
    }
    return list.text();
}

QString GL::CategoryList(const ado::RecordsetPtr& types) { return ExpenseTypes::CategoryList(types); }

bool GL::RowFilled(int row) const {
    const controls::FlexGrid& g = PaymentList;
    if (row < 1 || row >= g.Rows()) return false;
    return !g.TextMatrix(row, colDate).isEmpty() &&
           (!g.TextMatrix(row, colPayment).isEmpty() || !g.TextMatrix(row, colDeposit).isEmpty());
}

// ---------------------------------------------------------------- load

void GL::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        Globals::rsLedger = std::make_shared<ado::Recordset>();
        Globals::rsVendors = std::make_shared<ado::Recordset>();
        Globals::PrintFilterField = QStringLiteral("All");
        Globals::PrintFilterValue = QStringLiteral("ALL");
        const Globals::WindowGeometry g = Globals::ReadWindowGeometry(kSection, Globals::IniPath, 3, 9400, 6000);
        Move(int(g.Left), int(g.Top), int(g.Width), int(g.Height));
        SetPayments();
        if (PaymentList.Rows() == 2) PaymentList.setTextMatrix(EntryRow, colSel, QStringLiteral("*"));
    });
}

void GL::SetPayments() {
    std::shared_ptr<Vendor> vendor = Globals::SharedVendor;
    vb::Trap(label("SetPayments"), [&] {
        if (!vendor) vb::Raise(vb::err::ObjectNotSet);
        {
            const ConnectionScope opened = vendor->OpenScope();
            if (DeletePending) {
                const QScopedValueRollback<bool> own(ownWrite_, true);
                vendor->DeleteLedgerEntry(SelTransNum);
                DeletePending = false;
            }
            Globals::rsLedger = vendor->LedgerEntriesAll();
        }
        // Whatever was pending belongs to rows that are going away; a save
        // now would write whichever row happens to be left next.
        if (rows_.ChangedHere()) rows_.ClearChanged();

        controls::FlexGrid& g = PaymentList;
        g.Clear();
        g.setCols(11);
        g.setRows(2);
        g.setFormatString(QStringLiteral("^Sel|TransNum|^Date|^Num|Vendor|Category|>Payment|^CLR|>Deposit|>Balance|Notes"));
        const int widths[] = {400, 0, 1000, 700, 1500, 800, 1000, 400, 1000, 1000, 1000};
        for (int c = 0; c < 11; ++c) g.setColWidth(c, widths[c]);
        g.setColComboList(colDate, QStringLiteral("..."));
        g.setColDataType(colDate, controls::flexDTDate);
        g.setColDataType(colDeposit, controls::flexDTCurrency);
        g.setColDataType(colClr, controls::flexDTBoolean);

        g.setColComboList(colCategory, CategoryList(Globals::rsExpTypes));

        QString vendors;
        {
            const ConnectionScope opened = vendor->OpenScope();
            lblCurBal.setCaption(vb::FormatCurrency(vendor->LedgerCurrentBal()));
            Globals::rsVendors = vendor->GetAllVendors();
            vendors = VendorList(Globals::rsVendors);
        }
        g.setColComboList(colVendor, vendors);

        RunningBalance = vb::Currency();
        EntryRow = 1;
        ado::RecordsetPtr rs = Globals::rsLedger;
        struct Release {
            ~Release() {
                vb::IgnoreErrors([] {
                    if (Globals::rsLedger && Globals::rsLedger->State() == ado::adStateOpen) Globals::rsLedger->Close();
                });
                Globals::rsLedger.reset();
            }
        } release;
        amounts_.assign(2, RowAmounts{});
        if (rs && rs->State() == ado::adStateOpen) {
            const controls::FlexGrid::RedrawOff redrawOff(g);
            const long n = rs->RecordCount();
            // Every entry row at once, each cell written where it goes.
            g.setRows(int(n) + 2);
            amounts_.assign(size_t(n) + 2, RowAmounts{});
            const ado::Field num = rs->Fields("TransNum"), date = rs->Fields("Date"), check = rs->Fields("CheckNum"),
                             vendorName = rs->Fields("Vendor"), category = rs->Fields("Category"),
                             payment = rs->Fields("Payment"), cleared = rs->Fields("Cleared"),
                             deposit = rs->Fields("Deposit"), notes = rs->Fields("Notes");
            auto text = [](const ado::Field& f) {
                const vb::Variant v = f.Value();
                return v.isNull() || v.isEmpty() ? QString() : v.str();
            };
            auto amount = [](const ado::Field& f) {
                const vb::Variant v = f.Value();
                return v.isNull() || v.isEmpty() ? vb::Currency() : vb::CCur(v);
            };
            if (n > 0) rs->MoveFirst();
            while (!rs->Eof()) {
                const vb::Currency pay = amount(payment);
                const vb::Currency dep = amount(deposit);
                RunningBalance = RunningBalance - pay + dep;
                const int r = EntryRow;
                g.setTextMatrix(r, colKey, text(num));
                g.setTextMatrix(r, colDate, text(date));
                g.setTextMatrix(r, colNum, text(check));
                g.setTextMatrix(r, colVendor, text(vendorName));
                g.setTextMatrix(r, colCategory, text(category));
                g.setTextMatrix(r, colPayment, amountText(pay));
                g.setTextMatrix(r, colClr, text(cleared));
                g.setTextMatrix(r, colDeposit, amountText(dep));
                g.setTextMatrix(r, colBalance, vb::FormatCurrency(RunningBalance));
                g.setTextMatrix(r, colNotes, text(notes));
                amounts_[size_t(r)] = {dep - pay, RunningBalance};
                ++EntryRow;
                rs->MoveNext();
            }
        }
        if (EntryRow > 1) {
            // The last entries and the blank row stay in view.
            if (EntryRow > 6) g.setTopRow(EntryRow - 5);
            g.setRow(EntryRow);
            // Marked also when the cursor already stood there (no move, no event).
            g.setTextMatrix(EntryRow, colSel, QStringLiteral("*"));
        }
        lblEndBal.setCaption(vb::FormatCurrency(RunningBalance));
    });
}

void GL::Reload() {
    controls::FlexGrid& g = PaymentList;
    const int row = g.Row(), col = g.Col(), top = g.TopRow();
    const QString key = row >= 1 && row < g.Rows() ? g.TextMatrix(row, colKey) : QString();
    QStringList pending;
    if (rows_.ChangedHere() && OldRow >= 1 && OldRow < g.Rows())
        for (int c = 0; c < g.Cols(); ++c) pending << g.TextMatrix(OldRow, c);
    const bool pendingIsCurrent = OldRow == row;
    SetPayments();

    const int restored = RestorePending(pending);
    // Back on the same entry, else on the row that now stands where it stood.
    int place = pendingIsCurrent && restored > 0 ? restored : std::min(row, g.Rows() - 1);
    if (!key.isEmpty() && key != QLatin1String("0") && !(pendingIsCurrent && restored > 0))
        for (int r = 1; r < g.Rows(); ++r)
            if (g.TextMatrix(r, colKey) == key) place = r;
    if (place < 1) return;
    // Silent: the move is this load's, not the user's, and saves nothing.
    g.setRowColSilently(place, col);
    if (top >= 1 && top < g.Rows()) g.setTopRow(top);
    for (int r = 1; r < g.Rows(); ++r)
        if (g.TextMatrix(r, colSel) == QLatin1String(">")) g.setTextMatrix(r, colSel, QString());
    OldRow = NewRow = place;
    if (restored > 0) {
        OldRow = restored;
        rows_.MarkChanged();
        CalcBal(restored);
    }
    SetOldRowStatus();
    SetNewRowStatus();
}

int GL::RestorePending(const QStringList& cells) {
    controls::FlexGrid& g = PaymentList;
    if (cells.size() != g.Cols()) return 0;
    const QString key = cells[colKey];
    int r = 0;
    if (key == QLatin1String("0")) {
        // A new row not saved yet: back above the blank row.
        QStringList text = cells;
        text[colSel].clear();
        g.AddItem(text.join(QLatin1Char('\t')), EntryRow);
        r = EntryRow++;
        amounts_.insert(amounts_.begin() + std::min(size_t(r), amounts_.size()), RowAmounts{});
    } else {
        for (int i = 1; i < g.Rows() && r == 0; ++i)
            if (g.TextMatrix(i, colKey) == key) r = i;
        if (r == 0) {
            vb::MsgBox(QStringLiteral("This entry has been deleted; it was not saved."), vb::vbOKOnly);
            return 0;
        }
        for (int c = colDate; c < g.Cols(); ++c) g.setTextMatrix(r, c, cells[c]);
    }
    // The edited amounts, as the cells show them, for the balances below.
    auto amount = [&](int c) { return cells[c].isEmpty() ? vb::Currency() : vb::ParseCurrency(cells[c]); };
    amountsAt(r).change = amount(colDeposit) - amount(colPayment);
    return r;
}

// ---------------------------------------------------------------- window

void GL::Form_Resize() {
    vb::Trap(label("Form_Resize"), [&] {
        const int W = Width(), H = Height();
        if (W > 160) PaymentList.setWidth(W - 160);
        if (W > 20) PaymentList.setLeft(20);
        if (H > 1500) PaymentList.setHeight(H - 1500);
        if (H > 700) PaymentList.setTop(700);

        // A caption wider than its designed 1200 twips moves its pair left,
        // so neither caption runs under its amount.
        const int extra3 = captionRoom(Label3) - 1200;
        const int extra2 = captionRoom(Label2) - 1200;
        if (W > 2300 + extra3) Label3.setLeft(W - 2300 - extra3);
        if (H > 650) Label3.setTop(H - 650);
        lblEndBal.Move(Label3.Left() + 1200 + extra3, Label3.Top() - 15);

        if (W > 4600 + extra3 + extra2) Label2.setLeft(W - 4600 - extra3 - extra2);
        if (H > 650) Label2.setTop(H - 650);
        lblCurBal.Move(Label2.Left() + 1200 + extra2, Label2.Top() - 15);

        if (W > 160) Frame2.setWidth(W - 160);
        if (W > 20) Frame2.setLeft(20);
        Frame1.setLeft(Frame2.Width() - Frame1.Width());
    });
}

void GL::Form_QueryUnload(bool& Cancel, int) {
    // An edit still pending in this grid is saved whichever way the window
    // closes (the close box gives the grid no focus loss); one that cannot be
    // saved keeps the window when the user says so.
    if (!rows_.SaveBeforeClose([this] { PaymentList_LostFocus(); })) Cancel = true;
}

void GL::Form_Unload() {
    vb::Trap(label("Form_Unload"), [&] {
        if (WindowState() == vbMinimized) return;
        Globals::WriteWindowGeometry(kSection, Left(), Top(), Width(), Height(), Globals::IniPath);
    });
}

void GL::Form_Terminate() {
    vb::IgnoreErrors([] {
        if (Globals::rsVendors && Globals::rsVendors->State() == ado::adStateOpen) Globals::rsVendors->Close();
    });
    Globals::rsVendors.reset();
}

// ---------------------------------------------------------------- buttons

void GL::btnPaymentCategories_Click() { forms::Form::get<ExpenseTypes>().Show(true, this); }

void GL::btnPrint_Click() { ShowRegisterReport(); }

void GL::ShowRegisterReport() {
    // Modeless and without owner; it reads PrintFilterField and
    // PrintFilterValue as the grid left them. An open report is laid out
    // anew for them.
    forms::Form::unload<PrtRegistry>();
    forms::Form::get<PrtRegistry>().Show();
}

void GL::btnVendors_Click() { forms::Form::get<Vendors>().Show(); }

void GL::Command2_Click() { forms::Form::Unload(this); }

void GL::btnNew_Click() {
    vb::Trap(label("btnNew_Click"), [&] {
        controls::FlexGrid& g = PaymentList;
        if (!g.TextMatrix(g.Rows() - 1, colKey).isEmpty()) g.setRows(g.Rows() + 1);
        g.setRow(g.Rows() - 1);
        g.SetFocus();
    });
}

void GL::btnDelete_Click() {
    vb::Trap(label("btnDelete_Click"), [&] {
        controls::FlexGrid& g = PaymentList;
        const int r = g.Row();
        // The entry that goes is the one on the current row, however the
        // cursor got there.
        if (r >= 1 && r < g.Rows()) PaymentList_Click();
        if (SelTransNum != 0) {
            if (vb::MsgBox(QStringLiteral("Delete selected legder entry?"),
                           vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                           QStringLiteral("Delete ledger entry?")) == vb::vbYes) {
                DeletePending = true;
                SetPayments();
            }
        }
        // The cursor stays among the entry rows.
        g.setRow(std::clamp(r - 1, 1, std::max(1, g.Rows() - 1)));
    });
}

// ---------------------------------------------------------------- grid

void GL::PaymentList_AfterEdit(int Row, int /*Col*/) {
    vb::Trap(label("PaymentList_AfterEdit"), [&] {
        controls::FlexGrid& g = PaymentList;
        if (RowFilled(Row)) {
            vb::Currency pay, dep;
            if (!g.TextMatrix(Row, colPayment).isEmpty()) {
                pay = vb::ParseCurrency(g.TextMatrix(Row, colPayment));
                g.setTextMatrix(Row, colPayment, vb::FormatCurrencyExact(pay));
            }
            if (!g.TextMatrix(Row, colDeposit).isEmpty()) {
                dep = vb::ParseCurrency(g.TextMatrix(Row, colDeposit));
                g.setTextMatrix(Row, colDeposit, vb::FormatCurrencyExact(dep));
            }
            const vb::Currency prev = Row < 2 ? vb::Currency() : amountsAt(Row - 1).balance;
            amountsAt(Row).change = dep - pay;
            showBalance(Row, prev - pay + dep);
            rows_.MarkChanged();
            // The edited row is the one pending, and the one its marker names.
            OldRow = Row;
            if (g.TextMatrix(Row, colKey).isEmpty()) {
                // The blank entry row was filled: a new one below it.
                g.setRows(g.Rows() + 1);
                g.setTextMatrix(Row, colKey, QStringLiteral("0"));
            }
        }
        SetOldRowStatus();
    });
}

void GL::PaymentList_EnterCell() {
    vb::Trap(label("PaymentList_EnterCell"), [&] {
        const controls::FlexGrid& g = PaymentList;
        if (g.Row() < 1) return;
        switch (g.Col()) {
        case colVendor:
            Globals::PrintFilterField = QStringLiteral("Vendor");
            Globals::PrintFilterValue = g.Text();
            break;
        case colCategory:
            Globals::PrintFilterField = QStringLiteral("Category");
            Globals::PrintFilterValue = g.Text();
            break;
        case colDeposit:
            Globals::PrintFilterField = QStringLiteral("Deposit");
            Globals::PrintFilterValue = QStringLiteral("ALL");
            break;
        default:
            break;
        }
    });
}

void GL::PaymentList_GotFocus() {
    vb::Trap(label("PaymentList_GotFocus"), [&] {
        controls::FlexGrid& g = PaymentList;
        if (!Globals::DatePicked) {
            g.setCol(colDate);
        } else {
            // The picker wrote the date while the grid was away: finish the
            // edit it stands for, as if the user had typed it.
            g.setCol(colNum);
            PaymentList_AfterEdit(g.Row(), colNum);
            Globals::DatePicked = false;
        }
    });
}

void GL::PaymentList_LeaveCell() {
    if (PaymentList.Col() != colBalance) OldRow = PaymentList.Row();
    lastCol_ = PaymentList.Col();
}

void GL::PaymentList_LostFocus() {
    // The row with the pending edit is the current one.
    OldRow = PaymentList.Row();
    rows_.LostFocus();
}

void GL::PaymentList_RowColChange() {
    vb::Trap(label("PaymentList_RowColChange"), [&] {
        controls::FlexGrid& g = PaymentList;
        // The first move on the row the grid opened on enters that row too,
        // so a later move within it is not taken for leaving it.
        if (g.Row() != OldRow || NewRow < 1) NewRow = g.Row();
        // The cursor never rests on the balance, which is computed; coming
        // back from the notes it goes on to the deposit.
        if (g.Col() == colBalance) g.setCol(lastCol_ == colNotes ? colDeposit : colNotes);
        if (rows_.ChangedHere() && NewRow != OldRow) PaymentList_AfterRowEdit();
        SetOldRowStatus();
        if (OldRow != NewRow) SetNewRowStatus();
    });
}

void GL::PaymentList_Click() {
    SelTransNum = int32_t(vb::Val(PaymentList.TextMatrix(PaymentList.Row(), colKey)));
}

void GL::PaymentList_CellButtonClick(int /*Row*/, int /*Col*/) {
    vb::Trap(label("PaymentList_CellButtonClick"), [&] {
        PaymentList_Click();
        if (PaymentList.Col() == colDate) {
            Globals::DateCaller = QStringLiteral("Payments");
            forms::Form::get<PaymentDate>().Show(false, this);
        }
    });
}

void GL::SetOldRowStatus() { rows_.SetOldRowStatus(); }

void GL::SetNewRowStatus() { rows_.SetNewRowStatus(); }

void GL::PaymentList_AfterRowEdit() { rows_.AfterRowEdit(); }

void GL::SaveRow() { rows_.SaveRow(); }

bool GL::SaveLedgerRow(int row, QString& key) {
    savedNow_ = false;
    // Not an entry yet: nothing to write, and nothing failed.
    if (!RowFilled(row)) return true;
    const controls::FlexGrid& g = PaymentList;
    // Every cell is read before anything is written, so a cell that is not a
    // date or an amount stops the save with nothing stored.
    const int32_t transNum = key.isEmpty() ? 0 : int32_t(vb::Val(key));
    const vb::Date date = vb::TextToDate(g.TextMatrix(row, colDate));
    const QString payText = g.TextMatrix(row, colPayment);
    const QString depText = g.TextMatrix(row, colDeposit);
    const vb::Currency pay = payText.isEmpty() ? vb::Currency() : vb::ParseCurrency(payText);
    const vb::Currency dep = depText.isEmpty() ? vb::Currency() : vb::ParseCurrency(depText);

    std::shared_ptr<Vendor> vendor = Globals::Required(Globals::SharedVendor);
    const ConnectionScope opened = vendor->OpenScope();
    vendor->TransNum = transNum;
    vendor->TransDate = date;
    vendor->Checknum = g.TextMatrix(row, colNum);
    vendor->LedgerVendor = g.TextMatrix(row, colVendor);
    vendor->Payment = pay;
    vendor->Category = g.TextMatrix(row, colCategory);
    // The check box reads the stored "True"/"False" as well as its own marks.
    vendor->Cleared = g.cellChecked(row, colClr);
    vendor->Deposit = dep;
    vendor->LedgerNotes = g.TextMatrix(row, colNotes);
    bool saved = false;
    {
        const QScopedValueRollback<bool> own(ownWrite_, true);
        saved = vendor->SaveLedgerEntry();
    }
    if (!saved && vendor->RowWasGone()) {
        // Deleted elsewhere (the user has been told): the row goes with the
        // next load, once the grid has finished the move that saved it.
        QueueReload();
        return true;
    }
    if (!saved) return false;
    key = QString::number(vendor->TransNum);
    savedNow_ = true;
    return true;
}

GL::RowAmounts& GL::amountsAt(int row) {
    // Rows added below since the load (a new entry row) start at nothing.
    if (size_t(row) >= amounts_.size()) amounts_.resize(size_t(row) + 1);
    return amounts_[size_t(row)];
}

void GL::showBalance(int row, vb::Currency balance) {
    amountsAt(row).balance = balance;
    PaymentList.setTextMatrix(row, colBalance, vb::FormatCurrency(balance));
}

void GL::CalcBal(int Row) {
    std::shared_ptr<Vendor> vendor = Globals::SharedVendor;
    vb::Trap(label("CalcBal"), [&] {
        controls::FlexGrid& g = PaymentList;
        const controls::FlexGrid::RedrawOff redrawOff(g);
        // From the saved row down, each balance from the one above and the
        // row's own change; once a balance comes out as it was, every one
        // below it is as it was too.
        for (int r = std::max(Row, 1); r < g.Rows() && !g.TextMatrix(r, colBalance).isEmpty(); ++r) {
            const vb::Currency balance = (r > 1 ? amountsAt(r - 1).balance : vb::Currency()) + amountsAt(r).change;
            if (r > Row && balance == amountsAt(r).balance) break;
            showBalance(r, balance);
        }
        if (!vendor) vb::Raise(vb::err::ObjectNotSet);
        const ConnectionScope opened = vendor->OpenScope();
        lblCurBal.setCaption(vb::FormatCurrency(vendor->LedgerCurrentBal()));
        lblEndBal.setCaption(vb::FormatCurrency(vendor->LedgerEndBal()));
    });
}
