// Connections and record sets over a real data file made from the schema.
#include <chrono>
#include <thread>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QFile>
#include <QFileInfo>
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

using testsupport::errorNumberOf;

namespace {

using ado::ConnectionPtr;
using ado::Recordset;
using vb::Variant;
using vb::VarType;

QString jetString(const QString& path) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source = \"") + path +
           QStringLiteral("\" ;Mode=Read|Write|Share Deny None;Persist Security Info=False");
}

ConnectionPtr openOn(const QString& path) {
    auto cn = std::make_shared<ado::Connection>();
    cn->ConnectionString = jetString(path);
    cn->CursorLocation = ado::adUseClient;
    cn->Open();
    return cn;
}

std::shared_ptr<Recordset> list(const ConnectionPtr& cn, const QString& sql) {
    auto rs = std::make_shared<Recordset>();
    rs->ActiveConnection = cn;
    rs->CursorLocation = ado::adUseClient;
    rs->Source = sql;
    rs->Open();
    rs->ActiveConnection = nullptr;
    return rs;
}

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.exec(QStringLiteral(
            "insert into tb_Inventory values (1, 10, 'Widget', 2.5, 5, 10, '1 yr');"
            "insert into tb_Inventory values (2, 10, 'gadget', 12.34567, 0, 3, NULL);"
            "insert into tb_Inventory values (3, 11, 'Bolt', NULL, NULL, NULL, '');"));
    }
    testsupport::ProgramFolder folder;
};

// ---- Connection ----

// A closed handle is kept for the next open of the same file, never counted
// as open, sees what others wrote meanwhile, and is never used for a file
// replaced under the same name.
TEST_F(RecordsetTest, ClosedHandlesAreReusedOnlyForTheSameFile) {
    auto count = [](const ConnectionPtr& cn) {
        return list(cn, QStringLiteral("select count(*) as n from tb_InvCategories"))->Fields("n").Value().longValue();
    };
    auto cn = openOn(folder.dataFile());
    sqlite3* const first = cn->Handle();
    const long before = count(cn);
    cn->Close();
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));

    folder.exec(QStringLiteral("insert into tb_InvCategories (CatNum, Description) values (90, 'Added')"));
    cn->Open();
    EXPECT_EQ(cn->Handle(), first);
    EXPECT_EQ(count(cn), before + 1);
    cn->Close();

    // Another data file renamed over this one: the handle of the old one stays unused.
    testsupport::ProgramFolder other;
    ASSERT_TRUE(QFile::remove(folder.dataFile()));
    ASSERT_TRUE(QFile::copy(other.dataFile(), folder.dataFile()));
    cn->Open();
    EXPECT_NE(cn->Handle(), first);
    EXPECT_EQ(count(cn), 0);
    cn->Close();
    ado::Connection::EmptyPool();
    cn->Open();
    EXPECT_EQ(count(cn), 0);
    cn->Close();
}

// Reads that differ only in the values they compare share one prepared
// statement: each use reads its own values, a kept statement holds no lock
// on the file, follows a changed table, and its handle is still reused.
TEST_F(RecordsetTest, RepeatedReadsShareAStatementWithoutHoldingTheFile) {
    auto cn = openOn(folder.dataFile());
    sqlite3* const first = cn->Handle();
    auto name = [&](int item) {
        return list(cn, QStringLiteral("select * from tb_Inventory where ItemNum = %1").arg(item))
            ->Fields("Description").Value().str();
    };
    EXPECT_EQ(name(1), QStringLiteral("Widget"));
    EXPECT_EQ(name(2), QStringLiteral("gadget"));
    EXPECT_EQ(list(cn, QStringLiteral("select ItemNum from tb_Inventory where Description = 'BOLT'"))
                  ->Fields("ItemNum").Value().longValue(), 3);
    // Another connection writes and changes the table while the statement is kept.
    folder.exec(QStringLiteral("update tb_Inventory set Description = 'Nut' where ItemNum = 3;"
                               "alter table tb_Inventory add column Extra TEXT;"));
    EXPECT_EQ(name(3), QStringLiteral("Nut"));
    EXPECT_EQ(list(cn, QStringLiteral("select * from tb_Inventory where ItemNum = 3"))->Fields().Count(), 8);
    EXPECT_TRUE(list(cn, QStringLiteral("select * from tb_Inventory where ItemNum = 4"))->Eof());
    cn->Close();
    cn->Open();
    EXPECT_EQ(cn->Handle(), first);
    EXPECT_EQ(name(1), QStringLiteral("Widget"));
    cn->Close();
}

TEST_F(RecordsetTest, ConnectionOpensTheFileWhateverCapitalsTheCallerWrites) {
    auto cn = std::make_shared<ado::Connection>();
    cn->Open(jetString(folder.path() + QStringLiteral("\\vantrel.MDB")));
    EXPECT_EQ(cn->State(), ado::adStateOpen);
    EXPECT_EQ(QFileInfo(cn->FilePath()).fileName(), QStringLiteral("Vantrel.mdb"));
    EXPECT_TRUE(ado::Connection::IsFileOpen(folder.dataFile()));
    EXPECT_EQ(errorNumberOf([&] { cn->Open(); }), vb::err::ObjectOpen);
    cn->Close();
    cn->Close();
    EXPECT_EQ(cn->State(), ado::adStateClosed);
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));
}

TEST_F(RecordsetTest, ConnectionRefusesUnknownProvidersAndNeverCreatesAFile) {
    ado::Connection cn;
    EXPECT_EQ(errorNumberOf([&] { cn.Open(QStringLiteral("Provider=SQLOLEDB;uid=a;pwd=b;database=c;server=d;")); }),
              vb::err::ProviderNotFound);
    ado::Connection empty;
    EXPECT_EQ(errorNumberOf([&] { empty.Open(); }), vb::err::ProviderNotFound);

    const QString missing = folder.path() + QStringLiteral("/Missing.mdb");
    ado::Connection cn2;
    EXPECT_EQ(errorNumberOf([&] { cn2.Open(jetString(missing)); }), vb::err::CouldNotFindFile);
    EXPECT_EQ(cn2.State(), ado::adStateClosed);
    EXPECT_EQ(errorNumberOf([&] { cn2.BeginTrans(); }), vb::err::CouldNotFindFile) << "every use after says so too";
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(ado::Connection::IsFileOpen(missing));

    // No data source at all must not open a scratch database.
    ado::Connection cn3;
    EXPECT_EQ(errorNumberOf([&] { cn3.Open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source = \"\" ;Mode=Read|Write")); }),
              vb::err::SqlEngine);
    EXPECT_EQ(cn3.State(), ado::adStateClosed);
}

TEST_F(RecordsetTest, StatementsOnAClosedConnectionRaise3709) {
    auto cn = std::make_shared<ado::Connection>();
    Recordset rs;
    EXPECT_EQ(errorNumberOf([&] { rs.Open(QStringLiteral("select * from tb_Inventory"), cn); }), vb::err::ConnectionUnusable);
    EXPECT_EQ(errorNumberOf([&] { cn->BeginTrans(); }), vb::err::ConnectionUnusable);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
}

TEST_F(RecordsetTest, ANonDatabaseFileOpensAndItsFirstStatementFails) {
    const QString junk = folder.path() + QStringLiteral("/Junk.mdb");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    auto cn = openOn(junk);
    Recordset rs;
    try {
        rs.Open(QStringLiteral("select * from tb_Client"), cn);
        FAIL() << "opened";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::err::SqlEngine);
        EXPECT_EQ(e.Description(), QStringLiteral("file is not a database"));
    }
}

TEST_F(RecordsetTest, EngineErrorsCarryTheEngineMessage) {
    auto cn = openOn(folder.dataFile());
    Recordset rs;
    try {
        rs.Open(QStringLiteral("select nosuch from tb_Client"), cn);
        FAIL();
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::err::SqlPrepare);
        EXPECT_EQ(e.Description(), QStringLiteral("no such column: nosuch"));
    }
    // A duplicate key is the engine refusing a well-formed statement.
    EXPECT_EQ(errorNumberOf([&] { rs.Open(QStringLiteral("insert into tb_InvCategories values (1, 'a')"), cn);
                            rs.Open(QStringLiteral("insert into tb_InvCategories values (1, 'b')"), cn); }),
              vb::err::SqlEngine);
}

TEST_F(RecordsetTest, TransactionsCommitAndRollBack) {
    auto cn = openOn(folder.dataFile());
    Recordset st;
    cn->BeginTrans();
    EXPECT_TRUE(cn->InTransaction());
    st.Open(QStringLiteral("Delete * from tb_Inventory"), cn, ado::adOpenDynamic, ado::adLockOptimistic);
    cn->RollbackTrans();
    EXPECT_FALSE(cn->InTransaction());
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Inventory")), QStringLiteral("3"));

    {
        ado::Transaction t(*cn);
        st.Open(QStringLiteral("Delete * from tb_Inventory where ItemNum = 3"), cn);
        // leaving the scope without Commit rolls back
    }
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Inventory")), QStringLiteral("3"));
    {
        ado::Transaction t(*cn);
        st.Open(QStringLiteral("Delete * from tb_Inventory where ItemNum = 3"), cn);
        t.Commit();
    }
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Inventory")), QStringLiteral("2"));
}

TEST_F(RecordsetTest, ALockHeldElsewhereMakesASaveWaitAndAsk_RetryGoesOnAndCancelStops) {
    auto holder = openOn(folder.dataFile());
    auto cn = openOn(folder.dataFile());
    for (int answer : {int(vb::vbRetry), int(vb::vbCancel)}) {
        holder->BeginTrans();
        int asked = 0;
        vb::setMsgBoxHandler([&](const QString& prompt, int buttons, const QString&) {
            EXPECT_EQ(prompt, "The data file is busy in another copy of Vantrel. Try again?");
            EXPECT_EQ(buttons, vb::vbRetryCancel | vb::vbQuestion);
            if (answer == vb::vbRetry && ++asked) holder->RollbackTrans();   // the other copy is done meanwhile
            return answer;
        });
        bool answered = false;
        try { cn->BeginTrans(); cn->RollbackTrans(); } catch (const vb::RuntimeError& e) { answered = e.IsAnswered(); }
        EXPECT_EQ(answered, answer == vb::vbCancel);
        if (holder->InTransaction()) holder->RollbackTrans();
    }
    testsupport::GlobalEnv().SetUp();
    // Reading still works: a snapshot does not need the write lock.
    EXPECT_EQ(list(cn, QStringLiteral("select * from tb_Inventory"))->RecordCount(), 3);
}

// Reads inside a ReadSnapshot keep each connection's lock until it ends
// (parked or not), see one state of the file, and give the locks back to a
// write of this thread, to the end, and to an inner snapshot after a moment.
TEST_F(RecordsetTest, ReadSnapshotHoldsItsReadsUntilAWriteOrItsEnd) {
    const QByteArray path = QFile::encodeName(folder.dataFile());
    auto othersCanWrite = [&] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const int rc = sqlite3_exec(db, "BEGIN EXCLUSIVE; ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
        return rc == SQLITE_OK;
    };
    auto count = [](const ConnectionPtr& cn) {
        return list(cn, QStringLiteral("select count(*) as n from tb_Inventory"))->Fields("n").Value().longValue();
    };
    auto reader = openOn(folder.dataFile());
    auto writer = openOn(folder.dataFile());
    {
        const ado::ReadSnapshot outer;
        EXPECT_EQ(count(reader), 3);
        reader->Close();
        EXPECT_FALSE(othersCanWrite());
        Recordset st;
        st.Open(QStringLiteral("insert into tb_Inventory (ItemNum, Description) values (4, 'Nut')"), writer);
        reader->Open();
        EXPECT_EQ(count(reader), 4);
        {
            const ado::ReadSnapshot inner;
            EXPECT_EQ(count(reader), 4);
            EXPECT_FALSE(othersCanWrite());
            // A message waiting for its answer holds nothing.
            bool freeWhileAsking = false;
            vb::setMsgBoxHandler([&](const QString&, int, const QString&) {
                freeWhileAsking = othersCanWrite();
                return int(vb::vbOK);
            });
            vb::MsgBox(QStringLiteral("?"));
            vb::setMsgBoxHandler({});
            EXPECT_TRUE(freeWhileAsking);
            EXPECT_EQ(count(reader), 4);
            EXPECT_FALSE(othersCanWrite());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        const ado::ReadSnapshot later;
        EXPECT_TRUE(othersCanWrite());
        EXPECT_EQ(count(writer), 4);
    }
    EXPECT_TRUE(othersCanWrite());
    reader->Close();
    writer->Close();
}

// ---- Snapshot ----

TEST_F(RecordsetTest, SnapshotOutlivesItsConnection) {
    std::shared_ptr<Recordset> rs;
    {
        auto cn = openOn(folder.dataFile());
        rs = list(cn, QStringLiteral("select * from tb_Inventory order by ItemNum"));
        cn->Close();
    }
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));
    EXPECT_EQ(rs->RecordCount(), 3);
    auto clone = rs->Clone();
    rs->Close();
    for (int pass = 0; pass < 2; ++pass) {
        clone->MoveFirst();
        QStringList seen;
        while (!clone->Eof()) {
            seen << clone->Fields("DESCRIPTION").Value().stringValue();
            clone->MoveNext();
        }
        EXPECT_EQ(seen, (QStringList{"Widget", "gadget", "Bolt"}));
    }
    EXPECT_EQ(errorNumberOf([&] { clone->Fields("Description").Value(); }), vb::err::NoCurrentRecord);
    EXPECT_EQ(errorNumberOf([&] { clone->MoveNext(); }), vb::err::NoCurrentRecord);
    EXPECT_EQ(errorNumberOf([&] { rs->RecordCount(); }), vb::err::ObjectClosed);
}

TEST_F(RecordsetTest, FieldsByNameIgnoringCaseAndByOrdinal) {
    auto cn = openOn(folder.dataFile());
    auto rs = list(cn, QStringLiteral("select itemnum, Description as Desc2 from tb_Inventory where ItemNum = 1"));
    // Result names come back as declared or aliased.
    EXPECT_EQ(rs->Fields(0).Name(), QStringLiteral("ItemNum"));
    EXPECT_EQ(rs->Fields(1).Name(), QStringLiteral("Desc2"));
    EXPECT_EQ(rs->Fields().Count(), 2);
    EXPECT_EQ(rs->Fields("ITEMNUM").Value().longValue(), 1);
    EXPECT_EQ(rs->Fields("desc2").Value().stringValue(), QStringLiteral("Widget"));
    EXPECT_EQ(errorNumberOf([&] { rs->Fields("Nope"); }), vb::err::ItemNotFound);
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(2); }), vb::err::ItemNotFound);
    EXPECT_EQ(errorNumberOf([&] { rs->Fields(-1); }), vb::err::ItemNotFound);
}

// Lookups in any order, a name given twice (the first counts, whichever
// was looked up before) and a name beyond ASCII, its case ignored too.
TEST_F(RecordsetTest, FieldsByNameInAnyOrderWithRepeatedAndNonAsciiNames) {
    auto cn = openOn(folder.dataFile());
    auto rs = list(cn, QStringLiteral("select ItemNum, Description, 'second' as DESCRIPTION, 'x' as [Größe], "
                                      "ItemNum + 1 as Next from tb_Inventory where ItemNum = 1"));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(rs->Fields("next").Value().longValue(), 2);
        EXPECT_EQ(rs->Fields("description").Value().stringValue(), QStringLiteral("Widget"));
        EXPECT_EQ(rs->Fields("GRÖßE").Value().stringValue(), QStringLiteral("x"));
        EXPECT_EQ(rs->Fields("größe").Value().stringValue(), QStringLiteral("x"));
        EXPECT_EQ(rs->Fields("ItemNum").Value().longValue(), 1);
        EXPECT_EQ(rs->Fields("Description").Value().stringValue(), QStringLiteral("Widget"));
    }
    EXPECT_EQ(rs->Fields(2).Value().stringValue(), QStringLiteral("second"));
    EXPECT_EQ(errorNumberOf([&] { rs->Fields("Descriptio"); }), vb::err::ItemNotFound);
    EXPECT_EQ(errorNumberOf([&] { rs->Fields("Größ"); }), vb::err::ItemNotFound);
}

TEST_F(RecordsetTest, EmptyAndClosedSets) {
    auto cn = openOn(folder.dataFile());
    auto rs = list(cn, QStringLiteral("select * from tb_Client"));
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(rs->RecordCount(), 0);
    rs->MoveFirst();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(errorNumberOf([&] { rs->Fields("Lname").Value(); }), vb::err::NoCurrentRecord);

    Recordset never;
    EXPECT_EQ(never.State(), ado::adStateClosed);
    EXPECT_EQ(errorNumberOf([&] { never.Eof(); }), vb::err::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { never.MoveFirst(); }), vb::err::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { never.MoveNext(); }), vb::err::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { never.RecordCount(); }), vb::err::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { never.Fields("x"); }), vb::err::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { never.setSort(QStringLiteral("x")); }), vb::err::ObjectClosed);
    never.Close();
    rs->Close();
    rs->Close();
}

TEST_F(RecordsetTest, StatementsRunAndLeaveTheSetClosed) {
    auto cn = openOn(folder.dataFile());
    Recordset st;
    st.Open(QStringLiteral("Delete * from tb_Inventory where ItemNum = 2"), cn, ado::adOpenDynamic, ado::adLockOptimistic);
    EXPECT_EQ(st.State(), ado::adStateClosed);
    st.Open(QStringLiteral("update tb_Inventory set warranty = \"none\" where ItemNum = 3"), cn);
    EXPECT_EQ(st.State(), ado::adStateClosed);
    EXPECT_EQ(folder.query(QStringLiteral("select ItemNum, warranty from tb_Inventory order by ItemNum")),
              (std::vector<QStringList>{{"1", "1 yr"}, {"3", "none"}}));
}

// The declared column type decides the Variant; without one the stored value does.
TEST_F(RecordsetTest, ValuesAreTypedFromTheDeclaredColumnType) {
    folder.exec(QStringLiteral(
        "insert into tb_GL values (1, '2024-03-09 14:05:06', '10', 'Acme', 12.34567, 1, 'Misc', NULL, NULL);"
        "insert into tb_Company (Name, statetaxrate) values ('Co', '8.25');"
        "insert into tb_trans values (1, 1001, 1, 3, 2.5, 'n', -2, NULL);"));
    auto cn = openOn(folder.dataFile());
    struct Case {
        const char* sql;
        VarType type;
        QString text;   // the value's `& ""` text
    };
    const Case cases[] = {
        {"select TransNum from tb_GL", VarType::Long, "1"},
        {"select [Date] from tb_GL", VarType::Date, ""},
        {"select tb_GL.Date as PayDate from tb_GL", VarType::Date, ""},
        {"select CheckNum from tb_GL", VarType::String, "10"},
        {"select Payment from tb_GL", VarType::Currency, ""},
        {"select Cleared from tb_GL", VarType::Boolean, "True"},
        {"select Deposit from tb_GL", VarType::Null, ""},
        {"select statetaxrate from tb_Company", VarType::Double, "8.25"},
        {"select Qty from tb_trans", VarType::Long, "3"},
        {"select Amount from tb_trans", VarType::Currency, "2.5"},
        {"select sum(Amount) as S from tb_trans", VarType::Double, "2.5"},
        {"select max(TransNum) as HighNum from tb_trans", VarType::Long, "1"},
        {"select max(TransNum) as HighNum from tb_Receive", VarType::Null, ""},
        {"select 5000000000 as Big", VarType::Double, ""},
        {"select 'x' || 'y' as T", VarType::String, "xy"},
        {"select val('12abc') as V", VarType::Double, "12"},
        {"select val(tb_trans.BackOrder) as V from tb_trans", VarType::Long, "-2"},
        {"select val(NULL) as V", VarType::Null, ""},
    };
    for (const Case& c : cases) {
        auto rs = list(cn, QString::fromUtf8(c.sql));
        ASSERT_FALSE(rs->Eof()) << c.sql;
        const Variant v = rs->Fields(0).Value();
        EXPECT_EQ(v.type(), c.type) << c.sql;
        if (!c.text.isEmpty()) EXPECT_EQ(v.str(), c.text) << c.sql;
    }
    auto rs = list(cn, QStringLiteral("select [Date], Payment from tb_GL"));
    EXPECT_EQ(rs->Fields("Date").Value().dateValue(), vb::Date::fromYmd(2024, 3, 9, 14, 5, 6));
    // Money is rounded to four places, halves to even.
    EXPECT_EQ(rs->Fields("Payment").Value().currencyValue().raw(), 123457);
}

// ---- In-place update ----

TEST_F(RecordsetTest, InPlaceUpdateWritesExactlyOneRow) {
    auto cn = openOn(folder.dataFile());
    Recordset rs;
    rs.Open(QStringLiteral("select * from tb_Inventory where CatNum = 10 order by ItemNum"), cn, ado::adOpenDynamic,
            ado::adLockOptimistic);
    rs.MoveNext();
    rs.Fields("InStock") = Variant(7);
    EXPECT_EQ(rs.Fields("instock").Value().longValue(), 7);
    rs.Update();
    rs.Close();
    EXPECT_EQ(folder.query(QStringLiteral("select ItemNum, instock from tb_Inventory order by ItemNum")),
              (std::vector<QStringList>{{"1", "10"}, {"2", "7"}, {"3", "NULL"}}));

    // Money goes in as a number; the declared type gives it back as Currency.
    Recordset rs2;
    rs2.Open(QStringLiteral("select charge from tb_Inventory where ItemNum = 3"), cn, ado::adOpenDynamic,
             ado::adLockOptimistic);
    rs2.Fields("charge").setValue(Variant(vb::Currency::fromRaw(19999)));
    rs2.Update();
    EXPECT_EQ(folder.scalar(QStringLiteral("select typeof(charge) || ' ' || charge from tb_Inventory where ItemNum = 3")),
              QStringLiteral("real 1.9999"));
}

TEST_F(RecordsetTest, ReadOnlyJoinedOrDetachedSetsRefuseUpdates) {
    auto cn = openOn(folder.dataFile());
    Recordset ro;
    ro.Open(QStringLiteral("select * from tb_Inventory"), cn, ado::adOpenForwardOnly, ado::adLockReadOnly);
    EXPECT_EQ(errorNumberOf([&] { ro.Fields("instock") = Variant(1); }), vb::err::NotUpdatable);
    EXPECT_EQ(errorNumberOf([&] { ro.Update(); }), vb::err::NotUpdatable);

    folder.exec(QStringLiteral("insert into tb_InvCategories values (10, 'Tools')"));
    Recordset joined;
    joined.Open(QStringLiteral("select tb_Inventory.instock, tb_InvCategories.Description from tb_Inventory inner join "
                               "tb_InvCategories on tb_Inventory.CatNum = tb_InvCategories.CatNum"),
                cn, ado::adOpenDynamic, ado::adLockOptimistic);
    ASSERT_EQ(joined.RecordCount(), 2);
    EXPECT_EQ(errorNumberOf([&] { joined.Fields("instock") = Variant(1); }), vb::err::NotUpdatable);

    Recordset detached;
    detached.Open(QStringLiteral("select * from tb_Inventory"), cn, ado::adOpenDynamic, ado::adLockOptimistic);
    detached.ActiveConnection = nullptr;
    EXPECT_EQ(errorNumberOf([&] { detached.Fields("instock") = Variant(1); }), vb::err::NotUpdatable);
    EXPECT_EQ(folder.scalar(QStringLiteral("select sum(instock) from tb_Inventory")), QStringLiteral("13"));
}

TEST_F(RecordsetTest, AFailedUpdateIsNotShownAsStored) {
    auto cn = openOn(folder.dataFile());
    Recordset rs;
    rs.Open(QStringLiteral("select * from tb_Inventory where ItemNum = 1"), cn, ado::adOpenDynamic, ado::adLockOptimistic);
    rs.Fields("ItemNum") = Variant(2);   // the key is taken
    EXPECT_EQ(errorNumberOf([&] { rs.Update(); }), vb::err::SqlEngine);
    EXPECT_EQ(rs.Fields("ItemNum").Value().longValue(), 1);
}

// ---- Sort and in-memory sets ----

std::shared_ptr<Recordset> memorySet() {
    auto rs = std::make_shared<Recordset>();
    rs->Fields().Append(QStringLiteral("FullName"), ado::adVarChar, 50);
    rs->Fields().Append(QStringLiteral("TotalSales"), ado::adCurrency);
    rs->Fields().Append(QStringLiteral("LastPayDate"), ado::adDate);
    rs->Fields().Append(QStringLiteral("Category"), ado::adVarChar, 12);
    rs->Open();
    struct Row {
        const char* name;
        double sales;
        int day;   // 0: Null
        Variant cat;
    };
    const Row rows[] = {
        {"smith", 10, 3, Variant("b")},  {"Adams", 30, 0, Variant("a")}, {"adams", 30, 1, Variant("B")},
        {"Zed", -5, 2, Variant(7)},      {"Brown", 0, 5, Variant("a")},
    };
    for (const Row& r : rows) {
        rs->AddNew();
        rs->Fields("FullName") = Variant(r.name);
        rs->Fields("TotalSales") = Variant(r.sales);
        rs->Fields("LastPayDate") = r.day ? Variant(vb::Date::fromYmd(2024, 1, r.day)) : Variant::Null();
        rs->Fields("Category") = r.cat;
        rs->Update();
    }
    return rs;
}

QStringList names(Recordset& rs) {
    QStringList out;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) out << rs.Fields("FullName").Value().stringValue();
    return out;
}

TEST(RecordsetMemory, BuildsConvertsAndCounts) {
    auto rs = memorySet();
    EXPECT_EQ(rs->RecordCount(), 5);
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields("TotalSales").Value().type(), VarType::Currency);
    EXPECT_EQ(rs->Fields("LastPayDate").Value().type(), VarType::Date);
    EXPECT_EQ(rs->Fields(0).Type(), ado::adVarChar);
    for (int i = 0; i < 3; ++i) rs->MoveNext();
    // A Long put into a text field becomes its digits.
    EXPECT_EQ(rs->Fields("Category").Value().type(), VarType::String);
    EXPECT_EQ(rs->Fields("Category").Value().stringValue(), QStringLiteral("7"));
    auto clone = rs->Clone();
    rs->Close();
    EXPECT_EQ(clone->RecordCount(), 5);
}

TEST(RecordsetMemory, SortOrdersStablyWithNullsAtTheLowEnd) {
    auto rs = memorySet();
    rs->MoveNext();
    rs->setSort(QStringLiteral("FullName"));
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields("FullName").Value().stringValue(), QStringLiteral("Adams"));   // moved to the first row
    EXPECT_EQ(names(*rs), (QStringList{"Adams", "adams", "Brown", "smith", "Zed"}));     // case-blind, stable

    rs->setSort(QStringLiteral("TotalSales desc"));
    EXPECT_EQ(names(*rs), (QStringList{"Adams", "adams", "smith", "Brown", "Zed"}));

    rs->setSort(QStringLiteral("lastpaydate"));
    EXPECT_EQ(names(*rs), (QStringList{"Adams", "adams", "Zed", "smith", "Brown"}));
    rs->setSort(QStringLiteral("LastPayDate DESC"));
    EXPECT_EQ(names(*rs), (QStringList{"Brown", "smith", "Zed", "adams", "Adams"}));

    rs->setSort(QStringLiteral("Category, TotalSales desc"));
    EXPECT_EQ(names(*rs), (QStringList{"Zed", "Adams", "Brown", "adams", "smith"}));

    rs->setSort(QString());
    EXPECT_EQ(names(*rs), (QStringList{"smith", "Adams", "adams", "Zed", "Brown"}));
    EXPECT_EQ(errorNumberOf([&] { rs->setSort(QStringLiteral("Nope")); }), vb::err::ItemNotFound);
}

TEST_F(RecordsetTest, SortMixesLongsAndDoublesNumerically) {
    auto cn = openOn(folder.dataFile());
    auto rs = list(cn, QStringLiteral("select ItemNum, case ItemNum when 1 then 10 when 2 then 9.5 else 100 end as N "
                                      "from tb_Inventory"));
    rs->setSort(QStringLiteral("N"));
    QList<int> order;
    for (; !rs->Eof(); rs->MoveNext()) order << rs->Fields("ItemNum").Value().longValue();
    EXPECT_EQ(order, (QList<int>{2, 1, 3}));
}

} // namespace
