// The inventory category editor, opened modally from the item editor: a
// description saved as its edit ends (or kept pending when the data file
// refuses it), New, Delete of a category with its items, and Exit (or the
// close box) reopening the item editor on the categories now stored.
#include <functional>
#include <gtest/gtest.h>
#include <QPointer>
#include <QStringList>
#include "books/InventoryCats.h"
#include "books/frmInventory.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;
using testsupport::ModalAnswer;
using testsupport::WindowFixture;
using C = InventoryCats;

namespace {

class InventoryCatsTest : public WindowFixture {
protected:
    void category(int num, const QString& desc) {
        folder.exec(QStringLiteral("INSERT INTO tb_InvCategories VALUES (%1,'%2')").arg(num).arg(desc));
    }
    void item(int num, int cat, const QString& desc) {
        folder.exec(QStringLiteral("INSERT INTO tb_Inventory VALUES (%1,%2,'%3',1,0,0,'0')").arg(num).arg(cat).arg(desc));
    }
    QString categories() const {
        QStringList out;
        for (const QStringList& r : folder.query(QStringLiteral("SELECT CatNum, Description FROM tb_InvCategories ORDER BY CatNum")))
            out << r.join(QLatin1Char(' '));
        return out.join(QStringLiteral(", "));
    }
    static QString cell(const InventoryCats& w, int r, int c) { return w.InventoryList.TextMatrix(r, c); }
    static QStringList markers(const InventoryCats& w) {
        QStringList out;
        for (int r = 1; r < w.InventoryList.Rows(); ++r) out << cell(w, r, C::colStatus);
        return out;
    }
    // The item editor as the main window opens it, then its Categories
    // button; body runs inside the category editor's modal loop and must
    // leave it.
    void withEditor(const std::function<void(InventoryCats&)>& body) {
        Globals::CurrentCatNum = 1;
        frmInventory& items = Form::get<frmInventory>();
        items.Show();
        testsupport::pump();
        ModalAnswer answer([&](Form& f) {
            auto* cats = dynamic_cast<InventoryCats*>(&f);
            ASSERT_NE(cats, nullptr);
            EXPECT_EQ(f.Owner(), &items);
            // Exit may run a nested loop in which the editor is deleted.
            const QPointer<InventoryCats> guard(cats);
            body(*cats);
            if (guard && guard->IsLoaded()) Form::Unload(guard.data());
        });
        testsupport::click(items.btnCategories);
        testsupport::pump();
    }
};

TEST_F(InventoryCatsTest, DescriptionIsSavedAsSoonAsItsEditEnds) {
    category(1, QStringLiteral("General"));
    category(2, QStringLiteral("Labor"));
    withEditor([&](InventoryCats& w) {
        EXPECT_EQ(w.Caption(), "Edit / Add Inventory Categories");
        EXPECT_EQ(w.btnNew.Caption(), "&New");
        EXPECT_EQ(w.btnDelete.Caption(), "&Delete");
        EXPECT_EQ(w.btnExit.Caption(), "&Exit");
        const controls::FlexGrid& g = w.InventoryList;
        EXPECT_EQ(g.FormatString(), "^|Category#|Description");
        EXPECT_EQ(g.ColWidth(0), 300);
        EXPECT_EQ(g.ColWidth(1), 0);
        ASSERT_EQ(g.Rows(), 4) << "the blank entry row is always there";
        EXPECT_EQ(cell(w, 1, C::colKey), "1");
        EXPECT_EQ(cell(w, 2, C::colDesc), "Labor");

        GridDriver d(w.InventoryList);
        d.focusIn();
        ASSERT_TRUE(d.edit(2, C::colDesc, QStringLiteral("Labour")));
        EXPECT_EQ(categories(), "1 General, 2 Labour");
        EXPECT_EQ(cell(w, 2, C::colKey), "2");
        EXPECT_EQ(markers(w)[1], ">");
        // An emptied description saves nothing.
        ASSERT_TRUE(d.edit(1, C::colDesc, QString()));
        EXPECT_EQ(categories(), "1 General, 2 Labour");

        // New selects the blank entry row; pressed again it stays there.
        testsupport::click(w.btnNew);
        ASSERT_EQ(g.Rows(), 4);
        EXPECT_EQ(g.Row(), 3);
        EXPECT_EQ(markers(w)[2], "*");
        testsupport::click(w.btnNew);
        EXPECT_EQ(g.Rows(), 4);
        ASSERT_TRUE(d.edit(3, C::colDesc, QStringLiteral("O'Brien's")));
        EXPECT_EQ(categories(), "1 General, 2 Labour, 3 O'Brien's");
        EXPECT_EQ(cell(w, 3, C::colKey), "3");
        EXPECT_EQ(g.Rows(), 5) << "filling the blank row appends the next one";
        EXPECT_EQ(markers(w).value(3), "*");
        EXPECT_FALSE(Globals::RowChanged);
        w.btnExit_Click();
    });
}

TEST_F(InventoryCatsTest, DeleteAsksAndTakesTheCategorysItemsWithIt) {
    category(1, QStringLiteral("General"));
    category(2, QStringLiteral("Books"));
    item(1001, 1, QStringLiteral("Widget"));
    item(1002, 2, QStringLiteral("Novel"));
    item(1003, 2, QStringLiteral("Atlas"));
    withEditor([&](InventoryCats& w) {
        GridDriver d(w.InventoryList);
        testsupport::click(w.btnNew);
        d.click(3, C::colDesc);
        testsupport::click(w.btnDelete);
        EXPECT_TRUE(boxes.shown().empty()) << "a row without a number asks nothing";

        d.click(2, C::colDesc);
        EXPECT_EQ(Globals::CurrentCatNum, 2);
        EXPECT_EQ(w.SelCatDesc, "Books");
        const QString prompt = QStringLiteral(
            "Deleting a category is not recommended when items exist in the inventory category.  All items in  Books will "
            "be deleted also.  Do you wish to do this?");
        boxes.expect(vb::vbNo, prompt);
        testsupport::click(w.btnDelete);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, "Delete Inventory Category ... Books?");
        EXPECT_EQ(boxes.shown()[0].buttons, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
        EXPECT_EQ(categories(), "1 General, 2 Books");

        boxes.expect(vb::vbYes, prompt);
        testsupport::click(w.btnDelete);
        EXPECT_EQ(categories(), "1 General");
        EXPECT_EQ(folder.scalar(QStringLiteral("SELECT group_concat(ItemNum) FROM tb_Inventory")), "1001");
        ASSERT_EQ(w.InventoryList.Rows(), 3);
        EXPECT_EQ(cell(w, 2, C::colDesc), QString());
        ASSERT_TRUE(Globals::rsInvCats);
        EXPECT_EQ(Globals::rsInvCats->RecordCount(), 1);
        w.btnExit_Click();
    });
    // The item editor was opened afresh on category 1 and lists what is stored.
    ASSERT_TRUE(Form::isLoaded<frmInventory>());
    frmInventory& items = Form::get<frmInventory>();
    EXPECT_TRUE(items.isVisible());
    EXPECT_EQ(Globals::CurrentCatNum, 1);
    ASSERT_EQ(items.cmbCategory.ListCount(), 1);
    EXPECT_EQ(items.cmbCategory.Text(), "001 General");
    EXPECT_EQ(items.InventoryList.TextMatrix(1, frmInventory::colDesc), "Widget");
}

TEST_F(InventoryCatsTest, DeletingTheLastCategoryLeavesABlankRowAndExitAsksForANewOne) {
    category(1, QStringLiteral("General"));
    withEditor([&](InventoryCats& w) {
        GridDriver d(w.InventoryList);
        d.click(1, C::colDesc);
        boxes.expect(vb::vbYes);
        testsupport::click(w.btnDelete);
        EXPECT_EQ(categories(), "");
        ASSERT_EQ(w.InventoryList.Rows(), 2);
        EXPECT_EQ(markers(w), QStringList{"*"});

        // Exit with no category: the reopened item editor asks again and
        // opens this editor once more; a category typed there ends it.
        boxes.expect(vb::vbOK, QStringLiteral("No categories for which to enter inventory.  Please enter a category, "
                                              "for example...General, Labor, Services, Hardware, Software, Foods, "
                                              "Books, CD's, etc."));
        ModalAnswer again([&](Form& f) {
            auto& second = dynamic_cast<InventoryCats&>(f);
            GridDriver d2(second.InventoryList);
            ASSERT_TRUE(d2.edit(1, C::colDesc, QStringLiteral("Services")));
            EXPECT_EQ(cell(second, 1, C::colKey), "1") << "the first category of an empty table is 1";
            second.btnExit_Click();
        });
        w.btnExit_Click();
    });
    ASSERT_TRUE(Form::isLoaded<frmInventory>());
    EXPECT_FALSE(Form::isLoaded<InventoryCats>());
    frmInventory& items = Form::get<frmInventory>();
    EXPECT_EQ(items.cmbCategory.Text(), "001 Services");
    EXPECT_EQ(categories(), "1 Services");
    int editors = 0;
    for (Form* f : Form::loadedForms()) editors += dynamic_cast<frmInventory*>(f) != nullptr;
    EXPECT_EQ(editors, 1);
}

TEST_F(InventoryCatsTest, CloseBoxReopensTheItemEditorAsExitDoes) {
    category(1, QStringLiteral("General"));
    withEditor([&](InventoryCats& w) {
        GridDriver d(w.InventoryList);
        testsupport::click(w.btnNew);
        ASSERT_TRUE(d.edit(2, C::colDesc, QStringLiteral("Hardware")));
        d.click(2, C::colDesc);
        EXPECT_EQ(Globals::CurrentCatNum, 2);
        w.close();
    });
    EXPECT_FALSE(Form::isLoaded<InventoryCats>());
    ASSERT_TRUE(Form::isLoaded<frmInventory>());
    frmInventory& items = Form::get<frmInventory>();
    EXPECT_EQ(Globals::CurrentCatNum, 1);
    ASSERT_EQ(items.cmbCategory.ListCount(), 2);
    EXPECT_EQ(items.cmbCategory.List(1), "002 Hardware");
    EXPECT_EQ(items.cmbCategory.Text(), "001 General");
}

TEST_F(InventoryCatsTest, RefusedSaveStaysPendingAndIsTriedOnLeaveAndExit) {
    category(1, QStringLiteral("General"));
    withEditor([&](InventoryCats& w) {
        GridDriver d(w.InventoryList);
        testsupport::click(w.btnNew);
        folder.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tb_InvCategories "
                                   "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        for (int i = 0; i < 2; ++i) boxes.expect(vb::vbOK);   // the data layer's reports
        ASSERT_TRUE(d.edit(2, C::colDesc, QStringLiteral("Hardware")));
        EXPECT_EQ(markers(w), (QStringList{"", "?", "*"})) << "a new entry row below the one filled";
        EXPECT_TRUE(Globals::RowChanged);
        d.moveTo(1, C::colDesc);   // tried again, and the cursor stays on it
        EXPECT_EQ(w.InventoryList.Row(), 2);
        boxes.expect(vb::vbNo, QStringLiteral("This row could not be saved. Discard it and close?"));
        w.btnExit_Click();
        EXPECT_EQ(boxes.shown().size(), 3u);
        ASSERT_TRUE(w.IsLoaded());
        EXPECT_EQ(categories(), "1 General");
        folder.exec(QStringLiteral("DROP TRIGGER refuse"));
        d.moveTo(1, C::colDesc);
        w.btnExit_Click();
    });
    EXPECT_EQ(categories(), "1 General, 2 Hardware");
}

} // namespace
