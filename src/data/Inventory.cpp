#include "data/Inventory.h"
#include "vb/Conv.h"
#include "vb/RuntimeError.h"

using ado::SqlLong;
using ado::SqlText;

namespace {
const DataAccess::NumberedTable kItems{"tb_Inventory", "ItemNum", 1000, "NewItemNum",
                                       "This item has been deleted; it was not saved."};
const DataAccess::NumberedTable kCategories{"tb_Invcategories", "catNum", 0, "NewCategoryNum"};
} // namespace

Inventory::Inventory() : DataAccess("Inventory") {}

ado::RecordsetPtr Inventory::rsInventory(int32_t CatNum) {
    ado::RecordsetPtr result;
    Trap("rsInventory", [&] {
        result = List(QStringLiteral("select * from tb_Inventory where CatNum = ") + SqlLong(CatNum) +
                      QStringLiteral(" order by itemnum"));
    });
    return result;
}

ado::RecordsetPtr Inventory::rsCategories() {
    ado::RecordsetPtr result;
    Trap("rsCategories", [&] {
        result = List(QStringLiteral("select catnum, description from tb_InvCategories order by catnum"));
    });
    return result;
}

int32_t Inventory::NewItemNum() {
    int32_t n = 0;
    Trap("NewItemNum", [&] {
        n = NextKey(kItems);
    });
    return n;
}

int32_t Inventory::NewCategoryNum() {
    int32_t n = 0;
    Trap("NewCategoryNum", [&] {
        n = NextKey(kCategories);
    });
    return n;
}

bool Inventory::SaveCategory(int32_t catNum, const QString& Description) {
    return Trap("SaveCategory", [&] {
        ado::Transaction t(*cn);
        // A failed allocation leaves 0: nothing is written, not even under key 0.
        CatNum = catNum;
        CatNum = ClaimKey(kCategories, catNum);
        Exec(QStringLiteral("Insert into tb_InvCategories (CatNum, Description) values (") + SqlLong(CatNum) +
             QStringLiteral(",") + SqlText(Description) + QStringLiteral(")"));
        t.Commit();
    });
}

bool Inventory::GetItem(int32_t itemNum) {
    bool found = false;
    const auto blank = [&] {
        ItemNum = 0;
        Category = 1;
        description.clear();
        charge = vb::Currency();
        Par = 0;
        InStock = 0;
    };
    GetRecord("GetItem", blank, [&] {
        auto r = Read(QStringLiteral("select * from tb_Inventory where ItemNum = ") + SqlLong(itemNum));
        if (r->Eof()) {
            ItemNum = NewItemNum();
        } else {
            ItemNum = vb::CLng(r->Fields("ItemNum").Value());
            Category = LongOf(r->Fields("CatNum").Value());
            description = r->Fields("Description").Value().str();
            charge = MoneyOf(r->Fields("charge").Value());
            Par = LongOf(r->Fields("par").Value());
            InStock = LongOf(r->Fields("instock").Value());
            found = true;
        }
        r->Close();
    });
    return found;
}

bool Inventory::DeleteItem(int32_t itemNum) {
    return Trap("DeleteItem", [&] {
        Exec(QStringLiteral("delete * from tb_inventory where ItemNum = ") + SqlLong(itemNum));
    });
}

int32_t Inventory::QtyInStock(int32_t itemNum, int32_t OldQty, int32_t NewQty) {
    int32_t result = Failed;
    Trap("QtyInStock", [&] {
        const int64_t moved = int64_t(NewQty) - int64_t(OldQty);
        if (moved < INT32_MIN || moved > INT32_MAX) vb::Raise(vb::err::Overflow);
        ado::Transaction t(*cn);
        auto r = TakeStock(itemNum, int32_t(moved));
        const vb::Variant par = r->Fields("par").Value();   // no row: 3021, reported
        int32_t now = NotTracked;
        // A Null par counts as not tracked, as a Null condition is false.
        if (!par.isNull() && vb::CDbl(par) > 0) {
            // A Null stock raises 94: the move is undone.
            now = vb::CLng(r->Fields("instock").Value());
            if (now == Failed) vb::Raise(vb::err::Overflow);
        }
        r->Close();
        t.Commit();
        result = now;
    });
    return result;
}

bool Inventory::DeleteCategory(int32_t catNum) {
    return Trap("DeleteCategory", [&] {
        ado::Transaction t(*cn);
        Exec(QStringLiteral("delete * from tb_invCategories where CatNum = ") + SqlLong(catNum));
        Exec(QStringLiteral("delete * from tb_inventory where CatNum = ") + SqlLong(catNum));
        t.Commit();
    });
}

bool Inventory::SaveItemAccess(int32_t& itemNum) {
    return Trap("SaveItemAccess", [&] {
        ado::Transaction t(*cn);
        // Another window or copy may have moved the stock since this count was
        // read: unless the user counted the shelf, the file's count stays.
        int32_t inStock = InStock;
        if (itemNum != 0 && !InStockCounted) {
            auto r = Read(QStringLiteral("select instock from tb_Inventory where ItemNum = ") + SqlLong(itemNum));
            if (!r->Eof()) {
                const vb::Variant v = r->Fields("instock").Value();
                inStock = v.isNull() ? 0 : vb::CLng(v);
            }
            r->Close();
        }
        ItemNum = itemNum = ClaimKey(kItems, itemNum);
        InStock = inStock;
        Exec(QStringLiteral("Insert into tb_Inventory (ItemNum, CatNum, Description,charge,par,instock,warranty) values (") +
             SqlLong(ItemNum) + QLatin1Char(',') + SqlLong(Category) + QLatin1Char(',') + SqlText(description) +
             QLatin1Char(',') + ado::SqlCurrency(charge) + QLatin1Char(',') + SqlLong(Par) + QLatin1Char(',') +
             SqlLong(InStock) + QLatin1Char(',') + SqlText(Warranty) + QLatin1Char(')'));
        t.Commit();
    });
}
