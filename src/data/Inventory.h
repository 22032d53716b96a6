#pragma once
// Inventory items and categories, and the stock movement invoice lines cause.
// Stock is counted only for items whose par level is above 0.
#include <cstdint>
#include <QString>
#include "data/DataAccess.h"
#include "vb/Currency.h"

class Inventory : public DataAccess {
public:
    Inventory();

    // The value QtyInStock returns for an item whose stock is not counted.
    static constexpr int32_t NotTracked = -999999;
    // The value QtyInStock returns when the stock could not be moved (already
    // reported): nothing moved, and the caller stops.
    static constexpr int32_t Failed = INT32_MIN;

    int32_t ItemNum = 0;
    int32_t CatNum = 0;          // a category row's own number (SaveCategory)
    int32_t Par = 0;
    int32_t InStock = 0;
    QString description;
    vb::Currency charge;
    int32_t Category = 1;        // the item's category (column CatNum of tb_Inventory)
    QString Warranty = QStringLiteral("0");

    ado::RecordsetPtr rsInventory(int32_t CatNum);
    ado::RecordsetPtr rsCategories();
    // 0 allocates the next number; the number is left in the CatNum property.
    bool SaveCategory(int32_t CatNum, const QString& Description);
    // True when a stored row was loaded; otherwise a blank item with a new number.
    bool GetItem(int32_t ItemNum);
    bool DeleteItem(int32_t ItemNum);
    // The item's new stock, written at once; NotTracked when par is not above 0;
    // Failed when nothing could be moved (no such item, a Null stock, overflow).
    int32_t QtyInStock(int32_t ItemNum, int32_t OldQty, int32_t NewQty);
    // The category and every item in it, together.
    bool DeleteCategory(int32_t CatNum);
    // True when InStock is a count the user has just typed (a count of the
    // shelf): a save writes it. Otherwise a save of a stored item keeps the
    // count the file holds, which stock moves keep, and leaves it in InStock.
    bool InStockCounted = false;
    // 0 allocates the next number, written back to the argument and ItemNum.
    bool SaveItemAccess(int32_t& ItemNum);
    bool SaveItemAccess(int32_t&& ItemNum) { int32_t n = ItemNum; return SaveItemAccess(n); }

private:
    // 0 after an error (already reported).
    int32_t NewItemNum();
    int32_t NewCategoryNum();
};
