#pragma once
// A data file of business size, the same for a given seed on every machine:
// 5,000 clients, 50,000 invoices over the three years up to kToday with
// about 200,000 lines, about 48,000 payments (most invoices paid in full some
// days after, so somewhat over a third of the clients owe), 2,000 items in 40
// categories, 500 vendors and 20,000 register entries. Only integer
// arithmetic on a fixed generator decides the rows, so figures computed
// from it can be kept as constants. Benchmarks pin the clock to kToday.
// A scale of 2, 4 or 8 grows the clients, invoices (with their lines and
// payments) and register entries that many times over the same three years
// and the same items and vendors; scale 1 is the business file row for row.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <sqlite3.h>
#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>

namespace business {

inline const QDate kToday(2026, 6, 30);
constexpr int kClients = 5000, kInvoices = 50000, kItems = 2000, kCategories = 40, kVendors = 500,
              kRegister = 20000, kExpenseTypes = 20, kDays = 1095;

// splitmix64: small, fast and defined bit for bit.
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint64_t next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }   // 0 .. n-1
    bool chance(int perThousand) { return below(1000) < perThousand; }

private:
    uint64_t s_;
};

class Inserter {
public:
    Inserter(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK) fail(db, sql);
    }
    ~Inserter() { sqlite3_finalize(st_); }
    Inserter& i(int64_t v) { sqlite3_bind_int64(st_, ++n_, v); return *this; }
    Inserter& cents(int64_t c) { sqlite3_bind_double(st_, ++n_, double(c) / 100.0); return *this; }
    Inserter& d(double v) { sqlite3_bind_double(st_, ++n_, v); return *this; }
    Inserter& t(const QByteArray& s) {
        sqlite3_bind_text(st_, ++n_, s.constData(), int(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Inserter& null() { sqlite3_bind_null(st_, ++n_); return *this; }
    Inserter& date(int day) { return t(kToday.addDays(day - kDays).toString(QStringLiteral("yyyy-MM-dd 00:00:00")).toLatin1()); }
    void run() {
        if (sqlite3_step(st_) != SQLITE_DONE) fail(db_, sqlite3_sql(st_));
        sqlite3_reset(st_);
        n_ = 0;
    }
    [[noreturn]] static void fail(sqlite3* db, const char* what) {
        std::fprintf(stderr, "generating the data file: %s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    int n_ = 0;
};

inline QByteArray num(const char* prefix, int n) { return QByteArray(prefix) + QByteArray::number(n); }

// Writes the rows into an empty data file made from db/schema.sql. Days count
// from kToday - kDays (day 0) to kToday (day kDays).
inline void Generate(sqlite3* db, uint64_t seed, int scale = 1) {
    const int clients = kClients * scale, invoices = kInvoices * scale, registerRows = kRegister * scale;
    Rng r(seed);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "INSERT INTO tb_Company VALUES ('Harbor Supply Co.','12 Quay Street','','Portsmouth','NH','03801',"
                 "'603-555-0100','603-555-0101','harborsupply.example',6.25);"
                 "INSERT INTO tb_PaymentTypes VALUES ('Cash'),('Check'),('Visa');"
                 "INSERT INTO tb_Shipping VALUES ('UPS','Ground',12.5),('Post','Parcel',4.95),('Pickup','',0);",
                 nullptr, nullptr, nullptr);
    {
        Inserter ex(db, "INSERT INTO tb_ExpenseTypes VALUES (?)");
        for (int e = 0; e < kExpenseTypes; ++e) ex.t(num("Expense ", e + 1)).run();
        Inserter cat(db, "INSERT INTO tb_InvCategories VALUES (?,?)");
        for (int c = 1; c <= kCategories; ++c) cat.i(c).t(num("Category ", c)).run();
    }
    std::vector<int64_t> price(kItems);
    {
        Inserter item(db, "INSERT INTO tb_Inventory VALUES (?,?,?,?,?,?,?)");
        for (int k = 0; k < kItems; ++k) {
            price[k] = 50 + r.below(15000);
            item.i(1001 + k).i(1 + r.below(kCategories)).t(num("Item ", k + 1)).cents(price[k]).i(r.below(3) * 5)
                .i(r.below(200)).t("1 year").run();
        }
    }
    {
        static const char* const last[] = {"Adams", "Baker", "Clark", "Davis", "Evans", "Foster", "Garcia", "Hughes",
                                           "Ito", "Jensen", "Keller", "Lopez", "Moreau", "Nakamura", "Olsen"};
        static const char* const first[] = {"Ann", "Ben", "Cora", "Dev", "Eli", "Fay", "Gus", "Hana", "Ivo", "June"};
        Inserter cl(db, "INSERT INTO tb_Client (CustNum,Lname,Fname,Mname,Address1,City,State,ZipCode,HomePhone,"
                        "WorkPhone,Email,Company,Discount,ShipLname,ShipFname,ShipAddress1,ShipCity,ShipState,"
                        "ShipZipcode) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (int c = 0; c < clients; ++c) {
            const QByteArray ln = QByteArray(last[r.below(15)]) + ' ' + QByteArray::number(r.below(900) + 100);
            const QByteArray fn = first[r.below(10)];
            cl.i(1001 + c).t(ln).t(fn).t("").t(QByteArray::number(c + 1) + " Main St").t("Dover").t("NH").t("03820")
                .t(num("603-555-", 1000 + c)).t(num("603-556-", 1000 + c)).t(num("client", c) + "@example.com")
                .t(r.chance(300) ? num("Company ", r.below(700)) : QByteArray()).d(r.below(4) * 5.0).t(ln).t(fn)
                .t(QByteArray::number(c + 1) + " Dock Rd").t("Portsmouth").t("NH").t("03801").run();
        }
    }
    {
        Inserter inv(db, "INSERT INTO tb_Invoice VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)");
        Inserter line(db, "INSERT INTO tb_trans VALUES (?,?,?,?,?,?,?,?)");
        Inserter pay(db, "INSERT INTO tb_Receive VALUES (?,?,?,?,?,?,?)");
        static const int kShip[] = {0, 495, 1250};
        static const double kDiscount[] = {0, 0, 0, 5, 10};
        int64_t transNum = 1001, payNum = 1001;
        for (int k = 0; k < invoices; ++k) {
            const int invoiceNum = 1001 + k;
            const int day = int(int64_t(k) * kDays / invoices);
            const int cust = 1001 + r.below(clients);
            const double discount = kDiscount[r.below(5)];
            const int64_t ship = kShip[r.below(3)];
            const int64_t interest = r.chance(50) ? 100 + r.below(2000) : 0;
            int64_t lines = 0;
            const int n = 1 + r.below(7);
            for (int j = 0; j < n; ++j) {
                const int item = r.below(kItems);
                const int qty = 1 + r.below(5);
                const int64_t amount = price[item] * qty;
                lines += amount;
                line.i(transNum++).i(invoiceNum).i(1001 + item).i(qty).cents(amount).t(num("Item ", item + 1));
                if (r.chance(10)) {
                    line.i(-1 - r.below(3));
                    if (r.chance(500)) line.date(day + 2); else line.null();
                } else {
                    line.i(0).null();
                }
                line.run();
            }
            const int64_t tax = (lines * 625 + 5000) / 10000;
            inv.i(invoiceNum).i(cust).date(day).t(num("Order ", invoiceNum)).d(discount).cents(tax).cents(ship)
                .date(day + 1).t("UPS").t(num("1Z", invoiceNum)).cents(interest).t(num("Rep", r.below(10)))
                .t("Net 30").run();
            // Paid in full, rounded up to the cent, some days later; a few never.
            const int paidOn = day + 3 + r.below(20);
            if (paidOn <= kDays && r.chance(965)) {
                const int64_t due100 = (lines * 100 - int64_t(lines * discount + 0.5)) + (ship + interest + tax) * 100;
                pay.i(payNum).i(cust).t(r.chance(700) ? "Check" : "Visa").t(num("CK", int(payNum)))
                    .date(paidOn).cents((due100 + 99) / 100).t("").run();
                ++payNum;
            }
        }
    }
    {
        Inserter v(db, "INSERT INTO tb_Vendor VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (int k = 0; k < kVendors; ++k)
            v.i(1001 + k).t(num("Vendor ", k + 1)).t("1 Mill Rd").t("").t("Nashua").t("NH").t("03060")
                .t("603-555-0199").t("").t("").t("").t("").t("").t("").d(0).run();
        Inserter gl(db, "INSERT INTO tb_GL VALUES (?,?,?,?,?,?,?,?,?)");
        for (int k = 0; k < registerRows; ++k) {
            const int day = int(int64_t(k) * kDays / registerRows);
            const bool deposit = r.chance(200);
            gl.i(1001 + k).date(day).t(QByteArray::number(5000 + k)).t(deposit ? QByteArray() : num("Vendor ", 1 + r.below(kVendors)));
            if (deposit)
                gl.cents(0).i(r.chance(900)).t(QByteArray()).cents(50000 + r.below(500000)).t("Deposit");
            else
                gl.cents(1000 + r.below(200000)).i(r.chance(900)).t(num("Expense ", 1 + r.below(kExpenseTypes))).cents(0).t("");
            gl.run();
        }
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) Inserter::fail(db, "COMMIT");
}

// Makes path from the schema file and the rows of seed at scale.
inline void MakeFile(const QString& path, const char* schemaFile, uint64_t seed, int scale = 1) {
    QFile schema(QString::fromUtf8(schemaFile));
    if (!schema.open(QIODevice::ReadOnly)) Inserter::fail(nullptr, schemaFile);
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Inserter::fail(db, "schema");
    Generate(db, seed, scale);
    sqlite3_close(db);
}

} // namespace business
