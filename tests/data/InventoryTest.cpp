// Items, categories and stock; key allocation of the numbered tables of
// Inventory and Vendor.
#include <functional>
#include <memory>
#include <ostream>
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "data/Inventory.h"
#include "data/Vendor.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"

using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

namespace {

constexpr auto OpenInventory = &testsupport::OpenOnDataFile<Inventory>;

const QString kTricky = QStringLiteral("O'Brien \"big\" #1# & co; [x]\nTrue äöü €");

} // namespace

TEST(Inventory, NewInstanceDefaults) {
    Inventory inv;
    EXPECT_EQ(inv.Category, 1);
    EXPECT_EQ(inv.Warranty, QStringLiteral("0"));
    EXPECT_EQ(inv.ItemNum, 0);
    EXPECT_EQ(inv.charge.raw(), 0);
}

// Each numbered table: its first key, max + 1, a deleted highest key given out
// again, and a maximum of 2147483647 refused with one report and nothing written.
namespace {

struct NumberedTable {
    const char* name;
    const char* table;
    const char* key;
    int first;
    const char* overflowLabel;
    // Allocates through the member the windows use; returns the new key.
    std::function<int(const ProgramFolder&)> allocate;
};
// Test lists name the case, not its bytes.
void PrintTo(const NumberedTable& c, std::ostream* os) { *os << c.name; }

class NumberedTableKeys : public ::testing::TestWithParam<NumberedTable> {};

} // namespace

TEST_P(NumberedTableKeys, FirstNextReusedAndOverflow) {
    const NumberedTable& c = GetParam();
    ProgramFolder folder;
    ScriptedMsgBox box;
    EXPECT_EQ(c.allocate(folder), c.first);

    const QString insert = QStringLiteral("insert into %1 (%2) values (%3)").arg(c.table, c.key);
    folder.exec(QStringLiteral("delete from %1").arg(c.table));
    for (int k : {1001, 1002, 1005}) folder.exec(insert.arg(k));
    EXPECT_EQ(c.allocate(folder), 1006);
    folder.exec(QStringLiteral("delete from %1 where %2 >= 1006").arg(c.table, c.key));
    folder.exec(QStringLiteral("delete from %1 where %2 = 1005").arg(c.table, c.key));
    EXPECT_EQ(c.allocate(folder), 1003);

    folder.exec(insert.arg(2147483647));
    const QString before = folder.scalar(QStringLiteral("select count(*) from %1").arg(c.table));
    box.expect(vb::vbOK);
    EXPECT_EQ(c.allocate(folder), 0);
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_TRUE(box.lastPrompt().startsWith(QString::fromUtf8(c.overflowLabel) + QStringLiteral("6 Overflow.")))
        << box.lastPrompt().toStdString();
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from %1").arg(c.table)), before);
}

INSTANTIATE_TEST_SUITE_P(
    InventoryAndVendor, NumberedTableKeys,
    ::testing::Values(
        NumberedTable{"Category", "tb_InvCategories", "CatNum", 1, "Inventory.NewCategoryNum -",
                [](const ProgramFolder&) {
                    auto inv = OpenInventory();
                    inv->CatNum = 0;
                    return inv->SaveCategory(0, QStringLiteral("c")) ? inv->CatNum : 0;
                }},
        NumberedTable{"Item", "tb_Inventory", "ItemNum", 1001, "Inventory.NewItemNum -",
                [](const ProgramFolder&) {
                    auto inv = OpenInventory();
                    int32_t n = 0;
                    const bool ok = inv->SaveItemAccess(n);
                    EXPECT_EQ(inv->ItemNum, n);
                    return ok ? n : 0;
                }},
        NumberedTable{"Vendor", "tb_Vendor", "VendorNum", 1001, "Vendor.GetNewVendorNum -",
                [](const ProgramFolder&) {
                    Vendor v;
                    v.InitAccess(Globals::DataFilePath());
                    v.OpenCn();
                    v.GetVendor(QStringLiteral("no such company"));
                    return int(v.VendorNum);
                }},
        NumberedTable{"Register", "tb_GL", "TransNum", 1001, "Vendor.NewPayNum -",
                [](const ProgramFolder&) {
                    Vendor v;
                    v.InitAccess(Globals::DataFilePath());
                    v.OpenCn();
                    v.TransNum = 0;
                    v.Payment = vb::Currency::fromLong(1);
                    return v.SaveLedgerEntry() ? int(v.TransNum) : 0;
                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Inventory, QtyInStockMovesTrackedItemsOnly) {
    struct Row { const char* par; int inStock, oldQty, newQty, result, stored; };
    const Row rows[] = {
        {"5", 10, 2, 5, 7, 7},          // raised by 3
        {"5", 10, 0, 1, 9, 9},          // the picker's first unit
        {"5", 10, 4, 1, 13, 13},        // lowered: stock comes back
        {"5", 2, 0, 5, -3, -3},         // overdrawn: 3 short
        {"0", 10, 0, 1, Inventory::NotTracked, 10},
        {"-1", 10, 0, 1, Inventory::NotTracked, 10},
        {"NULL", 10, 0, 1, Inventory::NotTracked, 10},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("par ") + r.par + " old " + std::to_string(r.oldQty) + " new " + std::to_string(r.newQty));
        ProgramFolder folder;
        ScriptedMsgBox box;
        folder.exec(QStringLiteral("insert into tb_Inventory values (1001, 1, 'Widget', 2.5, %1, %2, '0')")
                        .arg(QString::fromUtf8(r.par)).arg(r.inStock));
        auto inv = OpenInventory();
        EXPECT_EQ(inv->QtyInStock(1001, r.oldQty, r.newQty), r.result);
        EXPECT_EQ(folder.scalar(QStringLiteral("select instock from tb_Inventory where ItemNum = 1001")),
                  QString::number(r.stored));
        EXPECT_TRUE(box.shown().empty());
    }
}

// A move that cannot be made is reported once, returns Failed (never a stock
// figure such as 0, "none left") and leaves the stored stock as it was.
TEST(Inventory, QtyInStockThatCannotMoveReportsAndReturnsFailed) {
    struct Row { const char* name; const char* stock; int oldQty, newQty; const char* report; const char* stored; };
    const Row rows[] = {
        {"missing item", nullptr, 0, 1, "Inventory.QtyInStock -3021 ", nullptr},
        {"Null stock", "NULL", 0, 1, "Inventory.QtyInStock -94 ", ""},
        {"beyond a long", "2147483647", 1, 0, "Inventory.QtyInStock -6 ", "2147483647"},
        {"below a long", "-2147483647", 0, 2, "Inventory.QtyInStock -6 ", "-2147483647"},
        {"difference beyond a long", "10", -2147483647 - 1, 1, "Inventory.QtyInStock -6 ", "10"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ProgramFolder folder;
        ScriptedMsgBox box;
        if (r.stock)
            folder.exec(QStringLiteral("insert into tb_Inventory values (1001, 1, 'Widget', 2.5, 5, %1, '0')")
                            .arg(QString::fromLatin1(r.stock)));
        auto inv = OpenInventory();
        box.expect(vb::vbOK);
        EXPECT_EQ(inv->QtyInStock(1001, r.oldQty, r.newQty), Inventory::Failed);
        ASSERT_EQ(box.shown().size(), 1u);
        EXPECT_TRUE(box.lastPrompt().startsWith(QString::fromLatin1(r.report))) << box.lastPrompt().toStdString();
        if (r.stored)
            EXPECT_EQ(folder.scalar(QStringLiteral("select ifnull(instock, '') from tb_Inventory")),
                      QString::fromLatin1(r.stored));
    }
}

// Two programs on one data file each move the stock by their own difference;
// neither movement is lost, and each gets the stock its own move left.
TEST(Inventory, QtyInStockOfTwoConnectionsKeepsBothMovements) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    folder.exec(QStringLiteral("insert into tb_Inventory values (1001, 1, 'Widget', 2.5, 5, 10, '0')"));
    auto first = OpenInventory();
    auto second = OpenInventory();
    EXPECT_EQ(first->QtyInStock(1001, 0, 3), 7);
    EXPECT_EQ(second->QtyInStock(1001, 1, 3), 5);
    EXPECT_EQ(first->QtyInStock(1001, 3, 1), 7);
    EXPECT_EQ(folder.scalar(QStringLiteral("select instock from tb_Inventory")), QStringLiteral("7"));
    EXPECT_TRUE(box.shown().empty());
}

TEST(Inventory, ItemRoundTripAndReplace) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto inv = OpenInventory();
    inv->Category = 7;
    inv->description = kTricky;
    inv->charge = vb::Currency::fromRaw(123456);   // 12.3456
    inv->Par = 3;
    inv->InStock = -2;
    inv->Warranty = QStringLiteral("1 yr; 'parts' only");
    int32_t n = 0;
    ASSERT_TRUE(inv->SaveItemAccess(n));
    EXPECT_EQ(n, 1001);

    Inventory back;
    back.InitAccess(Globals::DataFilePath());
    back.OpenCn();
    ASSERT_TRUE(back.GetItem(1001));
    EXPECT_EQ(back.Category, 7);
    EXPECT_EQ(back.description, kTricky);
    EXPECT_EQ(back.charge.raw(), 123456);
    EXPECT_EQ(back.Par, 3);
    EXPECT_EQ(back.InStock, -2);
    EXPECT_EQ(folder.scalar(QStringLiteral("select warranty from tb_Inventory")), inv->Warranty);

    // A save of the same number replaces the row.
    inv->description = QStringLiteral("changed");
    ASSERT_TRUE(inv->SaveItemAccess(n));
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) || description from tb_Inventory")), QStringLiteral("1changed"));

    // No row: a blank item with the next number; Warranty is left alone.
    back.Warranty = QStringLiteral("kept");
    EXPECT_FALSE(back.GetItem(5555));
    EXPECT_EQ(back.ItemNum, 1002);
    EXPECT_EQ(back.description, QString());
    EXPECT_EQ(back.Category, 1);
    EXPECT_EQ(back.Warranty, QStringLiteral("kept"));
    EXPECT_TRUE(box.shown().empty());
}

TEST(Inventory, CategoriesListAndDelete) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto inv = OpenInventory();
    ASSERT_TRUE(inv->SaveCategory(0, kTricky));
    EXPECT_EQ(inv->CatNum, 1);
    ASSERT_TRUE(inv->SaveCategory(0, QStringLiteral("Second")));
    EXPECT_EQ(inv->CatNum, 2);
    ASSERT_TRUE(inv->SaveCategory(1, QStringLiteral("First")));   // renamed in place
    EXPECT_EQ(inv->CatNum, 1);
    folder.exec(QStringLiteral("insert into tb_Inventory values (1001, 1, 'a', 1, 0, 0, '0'),"
                               " (1002, 2, 'b', 1, 0, 0, '0'), (1003, 1, 'c', 1, 0, 0, '0')"));

    auto cats = inv->rsCategories();
    inv->CloseCn();
    ASSERT_TRUE(cats);
    ASSERT_EQ(cats->RecordCount(), 2);
    EXPECT_EQ(cats->Fields(0).Name().toLower(), QStringLiteral("catnum"));
    EXPECT_EQ(cats->Fields("Description").Value().str(), QStringLiteral("First"));

    inv->OpenCn();
    auto items = inv->rsInventory(1);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->RecordCount(), 2);

    ASSERT_TRUE(inv->DeleteItem(1003));
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(ItemNum) from tb_Inventory")), QStringLiteral("1001,1002"));
    ASSERT_TRUE(inv->DeleteCategory(1));
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(CatNum) from tb_InvCategories")), QStringLiteral("2"));
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(ItemNum) from tb_Inventory")), QStringLiteral("1002"));
    EXPECT_TRUE(box.shown().empty());
}

TEST(Inventory, FailedSavesAndDeletesKeepTheStoredRows) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    folder.exec(QStringLiteral("insert into tb_InvCategories values (1, 'Tools');"
                               "insert into tb_Inventory values (1001, 1, 'Hammer', 9.5, 2, 4, '0');"
                               "create trigger no_ins_item before insert on tb_Inventory begin select raise(abort, 'forced'); end;"
                               "create trigger no_ins_cat before insert on tb_InvCategories begin select raise(abort, 'forced'); end;"
                               "create trigger no_del_item before delete on tb_Inventory begin select raise(abort, 'forced'); end;"));
    auto inv = OpenInventory();
    inv->description = QStringLiteral("Mallet");
    int32_t n = 1001;
    box.expect(vb::vbOK);
    box.expect(vb::vbOK);
    box.expect(vb::vbOK);
    EXPECT_FALSE(inv->SaveCategory(1, QStringLiteral("Renamed")));
    folder.exec(QStringLiteral("drop trigger no_del_item"));
    EXPECT_FALSE(inv->SaveItemAccess(n));
    folder.exec(QStringLiteral("create trigger no_del_item before delete on tb_Inventory begin select raise(abort, 'forced'); end;"));
    EXPECT_FALSE(inv->DeleteCategory(1));   // the category delete runs first, then rolls back
    ASSERT_EQ(box.shown().size(), 3u);
    EXPECT_TRUE(box.shown()[0].prompt.startsWith(QStringLiteral("Inventory.SaveCategory -")));
    EXPECT_TRUE(box.shown()[1].prompt.startsWith(QStringLiteral("Inventory.SaveItemAccess -")));
    EXPECT_TRUE(box.shown()[2].prompt.startsWith(QStringLiteral("Inventory.DeleteCategory -")));
    EXPECT_EQ(folder.scalar(QStringLiteral("select Description from tb_InvCategories where CatNum = 1")), QStringLiteral("Tools"));
    EXPECT_EQ(folder.scalar(QStringLiteral("select Description from tb_Inventory where ItemNum = 1001")), QStringLiteral("Hammer"));
}

TEST(Inventory, NeverOpenedInstanceReportsAndReturnsEmpty) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    Inventory inv;
    inv.InitAccess(Globals::DataFilePath());
    box.expect(vb::vbOK);
    box.expect(vb::vbOK);
    EXPECT_EQ(inv.rsCategories(), nullptr);
    EXPECT_FALSE(inv.DeleteItem(1));
    ASSERT_EQ(box.shown().size(), 2u);
    EXPECT_TRUE(box.shown()[0].prompt.startsWith(QStringLiteral("Inventory.rsCategories -3709 ")));
}
