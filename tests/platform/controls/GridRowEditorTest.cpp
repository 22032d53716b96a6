// The row convention of the grid editors: markers, saving a changed row on
// leaving it, the step back to an incomplete row, and a failed save retried.
#include <memory>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include <QApplication>
#include "controls/FlexGrid.h"
#include "controls/GridRowEditor.h"
#include "forms/Focus.h"
#include "forms/Form.h"
#include "support/GridDriver.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

using controls::FlexGrid;
using controls::GridRowEditor;

namespace {

// A window that asks its grid editor before it closes, as the editors do.
class EditorWindow : public forms::Form {
public:
    std::function<bool()> mayClose;
    void Form_QueryUnload(bool& Cancel, int) override {
        if (mayClose && !mayClose()) Cancel = true;
    }
};

// A shown window with an editor grid (status, key, name, quantity; three
// stored rows keyed 11, 12, 13) wired to the row convention the way a window
// wires it, and a second control to move the focus to.
struct RowWorld {
    RowWorld() {
        forms::focus_detail::reset();
        win = std::make_unique<EditorWindow>();
        win->resize(600, 400);
        grid = new FlexGrid(win.get());
        grid->setGeometry(0, 0, 500, 300);
        other = new FlexGrid(win.get());
        other->setGeometry(0, 310, 200, 80);
        grid->setEditable(true);
        grid->setFormatString("^|Key|Name|>Qty");
        grid->setFixedCols(1);
        grid->setColWidth(1, 0);
        for (int r = 1; r <= 3; ++r) grid->AddItem(QStringLiteral("\t1%1\tA%1\t%2").arg(r).arg(r * 10));
        grid->setRowColSilently(1, 2);
        rows = std::make_unique<GridRowEditor>(*grid, flag, oldRow, newRow,
                                               GridRowEditor::Options{.formName = QStringLiteral("Test"), .requiredCol = 2});
        rows->SaveRecord = [this](int r, QString& key) {
            saved.push_back(r);
            if (failSaves) return false;
            if (key.isEmpty()) key = QString::number(nextKey++);
            return true;
        };
        grid->LeaveCell = [this] { rows->LeaveCell(); };
        grid->RowColChange = [this] { rows->RowColChange(); };
        grid->LostFocus = [this] { rows->LostFocus(); };
        grid->AfterEdit = [this](int, int c) {
            oldRow = grid->Row();
            if (c == 3) rows->MarkChanged();
            rows->SetOldRowStatus();
        };
        drive = std::make_unique<testsupport::GridDriver>(*grid);
        win->show();
        QApplication::processEvents();
        forms::SetFocusTo(*grid);
    }
    ~RowWorld() {
        drive.reset();
        rows.reset();
        win.reset();
        forms::focus_detail::reset();
    }
    RowWorld(const RowWorld&) = delete;
    RowWorld& operator=(const RowWorld&) = delete;

    QString marker(int r) const { return grid->TextMatrix(r, 0); }

    std::unique_ptr<EditorWindow> win;
    FlexGrid* grid = nullptr;
    FlexGrid* other = nullptr;
    bool flag = false;
    int oldRow = 0, newRow = 0;
    std::unique_ptr<GridRowEditor> rows;
    std::unique_ptr<testsupport::GridDriver> drive;
    std::vector<int> saved;
    bool failSaves = false;
    int nextKey = 9001;
};

TEST(GridRowEditor, MarkersByKeyRowsAndFlag) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    struct Case {
        const char* key;
        bool oldIsNew;
        bool changed;
        const char* oldMarker;
        const char* newMarker;
    };
    const Case cases[] = {
        {"", true, false, "*", "*"},     {"", false, true, "*", "*"},      {"0", true, false, "?", "?"},
        {"0", false, false, "?", "?"},   {"12", true, true, "?", ">"},     {"12", true, false, ">", ">"},
        {"12", false, true, "", ">"},    {"12", false, false, "", ">"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.oldIsNew ? " old=new" : " old!=new") + (c.changed ? " changed" : ""));
        w.grid->setTextMatrix(2, 1, QString::fromLatin1(c.key));
        w.flag = c.changed;
        w.oldRow = 2;
        w.newRow = c.oldIsNew ? 2 : 3;
        w.rows->SetOldRowStatus();
        EXPECT_EQ(w.marker(2), QString::fromLatin1(c.oldMarker));
        w.newRow = 2;
        w.rows->SetNewRowStatus();
        EXPECT_EQ(w.marker(2), QString::fromLatin1(c.newMarker));
    }
    // Row 0 is never marked.
    w.oldRow = w.newRow = 0;
    w.rows->SetOldRowStatus();
    w.rows->SetNewRowStatus();
    EXPECT_EQ(w.grid->TextMatrix(0, 0), QString());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(GridRowEditor, SavesOnlyAChangedRowAndOnlyOnLeavingIt) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    w.drive->moveTo(1, 3);
    ASSERT_TRUE(w.drive->edit(QStringLiteral("99")));
    EXPECT_EQ(w.marker(1), QStringLiteral("?"));
    w.drive->moveTo(1, 2);   // same row
    EXPECT_TRUE(w.saved.empty());

    w.drive->moveTo(2, 2);
    EXPECT_EQ(w.saved, std::vector<int>{1});
    EXPECT_FALSE(w.flag);
    EXPECT_EQ(w.marker(1), QString());
    EXPECT_EQ(w.marker(2), QStringLiteral(">"));

    // An edit that does not count leaves nothing to save.
    ASSERT_TRUE(w.drive->edit(QStringLiteral("Renamed")));
    w.drive->moveTo(3, 2);
    EXPECT_EQ(w.saved, std::vector<int>{1});

    // Focus loss saves.
    w.drive->moveTo(3, 3);
    ASSERT_TRUE(w.drive->edit(QStringLiteral("5")));
    w.drive->focusTo(*w.other);
    EXPECT_EQ(w.saved, (std::vector<int>{1, 3}));
    EXPECT_EQ(w.marker(3), QStringLiteral(">"));
    EXPECT_TRUE(boxes.shown().empty());
}

// A new row gets its key from the save; the key goes back into the key column.
TEST(GridRowEditor, SaveWritesTheAllocatedKeyBack) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    w.grid->setTextMatrix(2, 1, QString());
    w.drive->moveTo(2, 3);
    EXPECT_EQ(w.marker(2), QStringLiteral("*"));
    ASSERT_TRUE(w.drive->edit(QStringLiteral("7")));
    w.drive->moveTo(3, 3);
    EXPECT_EQ(w.grid->TextMatrix(2, 1), QStringLiteral("9001"));
    EXPECT_EQ(w.marker(2), QString());
    EXPECT_EQ(w.marker(3), QStringLiteral(">"));
}

// After-row-edit steps back to a row above that lacks its required cell and
// still saves the row that was left.
TEST(GridRowEditor, StepsBackToAnIncompleteRowAbove) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    w.grid->setTextMatrix(2, 2, QString());   // row 2 lacks its name
    w.drive->moveTo(1, 3);
    ASSERT_TRUE(w.drive->edit(QStringLiteral("8")));
    w.drive->moveTo(3, 3);
    EXPECT_EQ(w.saved, std::vector<int>{1});
    EXPECT_EQ(w.grid->Row(), 2) << "back on the incomplete row";
    EXPECT_FALSE(w.flag);
}

TEST(GridRowEditor, FailedSaveKeepsTheRowAndIsRetried) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    w.drive->moveTo(1, 3);
    ASSERT_TRUE(w.drive->edit(QStringLiteral("8")));
    w.failSaves = true;
    w.drive->moveTo(3, 3);
    EXPECT_EQ(w.saved, std::vector<int>{1});
    EXPECT_TRUE(w.flag);
    EXPECT_EQ(w.grid->Row(), 1);
    EXPECT_EQ(w.oldRow, 1);
    EXPECT_EQ(w.newRow, 1);
    EXPECT_EQ(w.marker(1), QStringLiteral("?"));
    EXPECT_EQ(w.marker(3), QString());

    w.failSaves = false;
    w.drive->moveTo(2, 3);
    EXPECT_EQ(w.saved, (std::vector<int>{1, 1}));
    EXPECT_FALSE(w.flag);
    EXPECT_EQ(w.marker(2), QStringLiteral(">"));
}

// An error thrown by the save is reported under the save's label and counts
// as a failed save.
TEST(GridRowEditor, ErrorInTheSaveIsReportedAndKeepsTheRowPending) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    w.rows->SaveRecord = [](int, QString&) -> bool { vb::Raise(vb::err::TypeMismatch); };
    w.drive->moveTo(1, 3);
    ASSERT_TRUE(w.drive->edit(QStringLiteral("8")));
    boxes.expect(vb::vbOK);
    w.drive->moveTo(2, 3);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].prompt.startsWith(QStringLiteral("Test.SaveRow -13 ")));
    EXPECT_TRUE(w.flag);
    EXPECT_EQ(w.grid->Row(), 1);
}

// The flag is shared; one set by another grid editor is not this grid's
// pending row, while one set by a picker for this grid is.
TEST(GridRowEditor, SharedFlagBelongsToTheGridThatSetIt) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    FlexGrid third;
    int o = 0, n = 0;
    GridRowEditor thirdRows(third, w.flag, o, n, {.formName = QStringLiteral("Third")});
    thirdRows.MarkChanged();
    EXPECT_FALSE(w.rows->ChangedHere());
    EXPECT_TRUE(thirdRows.ChangedHere());
    w.drive->moveTo(2, 3);
    w.drive->moveTo(3, 3);
    EXPECT_TRUE(w.saved.empty());
    EXPECT_TRUE(w.flag);

    thirdRows.ClearChanged();
    w.flag = true;   // a picker wrote into this grid
    EXPECT_TRUE(w.rows->ChangedHere());
    w.drive->moveTo(1, 3);
    EXPECT_EQ(w.saved, std::vector<int>{3});
}

TEST(GridRowEditor, NoOldRowMeansNothingToSave) {
    testsupport::ScriptedMsgBox boxes;
    RowWorld w;
    w.flag = true;
    w.oldRow = 0;
    EXPECT_TRUE(w.rows->SaveRow());
    EXPECT_TRUE(w.saved.empty());
    EXPECT_FALSE(w.flag);
}

} // namespace

namespace {

// Every way of closing a window first ends the open cell edit and saves the
// pending row; a row that cannot be saved is told once, then the user chooses.
TEST(GridRowEditor, ClosingSavesTheOpenEditOrAsksBeforeDroppingIt) {
    enum class Path { CloseBox, Unload, Owner };
    enum class Outcome { Saves, KeepsOnNo, DropsOnYes, ToldOnceThenKept };
    struct Case {
        const char* name;
        Path path;
        Outcome outcome;
    };
    const Case cases[] = {
        {"close box saves", Path::CloseBox, Outcome::Saves},
        {"unload saves", Path::Unload, Outcome::Saves},
        {"owner saves", Path::Owner, Outcome::Saves},
        {"close box, No keeps", Path::CloseBox, Outcome::KeepsOnNo},
        {"unload, No keeps", Path::Unload, Outcome::KeepsOnNo},
        {"owner, No keeps", Path::Owner, Outcome::KeepsOnNo},
        {"close box, Yes drops", Path::CloseBox, Outcome::DropsOnYes},
        {"owner, Yes drops", Path::Owner, Outcome::DropsOnYes},
        {"failed on leaving, asked once", Path::Unload, Outcome::ToldOnceThenKept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ScriptedMsgBox boxes;
        RowWorld w;
        auto* owner = new forms::Form;   // deleted by its unload
        owner->Load();
        w.win->Load();
        if (c.path == Path::Owner) w.win->Show(false, owner);
        w.win->mayClose = [&w] { return w.rows->SaveBeforeClose(); };
        QStringList savedQty;
        w.rows->SaveRecord = [&](int r, QString&) {
            savedQty << w.grid->TextMatrix(r, 3);
            return c.outcome == Outcome::Saves;
        };
        w.drive->moveTo(2, 3);
        ASSERT_TRUE(w.drive->type(QStringLiteral("77")));
        ASSERT_TRUE(w.grid->isEditing());
        if (c.outcome == Outcome::ToldOnceThenKept) {
            w.drive->focusTo(*w.other);   // the save on leaving fails
            EXPECT_EQ(savedQty, QStringList{"77"});
        }
        const QString question = GridRowEditor::DiscardAndCloseQuestion();
        if (c.outcome != Outcome::Saves) boxes.expect(c.outcome == Outcome::DropsOnYes ? vb::vbYes : vb::vbNo, question);

        bool went = false;
        switch (c.path) {
        case Path::CloseBox: w.win->close(); went = !w.win->IsLoaded(); break;
        case Path::Unload: went = forms::Form::Unload(w.win.get()); break;
        case Path::Owner: went = forms::Form::Unload(owner); break;
        }
        EXPECT_EQ(savedQty, QStringList{"77"}) << "the typed text saved, and tried once";
        const bool shouldGo = c.outcome == Outcome::Saves || c.outcome == Outcome::DropsOnYes;
        EXPECT_EQ(went, shouldGo);
        EXPECT_EQ(w.win->IsLoaded(), !shouldGo);
        if (c.outcome != Outcome::Saves) {
            ASSERT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(boxes.shown()[0].buttons, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2);
        }
        if (shouldGo) {
            EXPECT_FALSE(w.flag) << "nothing left pending for the next grid editor";
            w.win.release();   // deleted by its unload
        } else {
            EXPECT_TRUE(w.flag);
            EXPECT_EQ(w.grid->Row(), 2);
            EXPECT_EQ(w.grid->TextMatrix(2, 3), QStringLiteral("77"));
            EXPECT_EQ(w.marker(2), QStringLiteral("?"));
            EXPECT_TRUE(owner->IsLoaded());
            w.win->mayClose = {};
            if (c.path == Path::Owner) w.win.release();   // goes with its owner
        }
        forms::Form::Unload(owner);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
