// The Jet-to-SQLite translator: one table of rewrites, what it must leave
// alone, what it must refuse, and that the statements it makes prepare on
// the real schema.
#include <ostream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include "ado/Connection.h"
#include "ado/JetSql.h"
#include "ado/Recordset.h"
#include "ado/SqlText.h"
#include "support/TestEnv.h"
#include "vb/RuntimeError.h"

namespace {

struct Rewrite {
    const char* jet;
    const char* sqlite;
};
// Test lists name the case, not its bytes.
void PrintTo(const Rewrite& c, std::ostream* os) { *os << c.jet; }

class JetRewrite : public ::testing::TestWithParam<Rewrite> {};

TEST_P(JetRewrite, GivesExpectedText) {
    EXPECT_EQ(ado::JetToSqlite(QString::fromUtf8(GetParam().jet)).toStdString(), GetParam().sqlite);
}

INSTANTIATE_TEST_SUITE_P(Table, JetRewrite, ::testing::Values(
    // T1: the column list of a delete goes
    Rewrite{"DELETE * FROM tb_Client where CustNum = 1001", "DELETE FROM tb_Client where CustNum = 1001"},
    Rewrite{"Delete * from tb_Company", "Delete from tb_Company"},
    Rewrite{"delete *from tb_GL", "delete from tb_GL"},
    Rewrite{"select * from tb_Client", "select * from tb_Client"},
    // T2: date literals, with and without a time
    Rewrite{"select * from tb_GL where [date]>=#2024-01-05#", "select * from tb_GL where [date]>='2024-01-05 00:00:00'"},
    Rewrite{"update tb_trans set ordered = #2024-02-29 13:45:07# where TransNum = 5",
            "update tb_trans set ordered = '2024-02-29 13:45:07' where TransNum = 5"},
    // T3: isnull(), nested parentheses and negation
    Rewrite{"where val(tb_trans.BackOrder)<0 AND isnull(TB_TRANS.ordered))",
            "where val(tb_trans.BackOrder)<0 AND ((TB_TRANS.ordered) IS NULL))"},
    Rewrite{"AND not ISNULL ( (a) )", "AND not (( (a) ) IS NULL)"},
    Rewrite{"where isnull(x) and isnull(y)", "where ((x) IS NULL) and ((y) IS NULL)"},
    // T5 and T6: & with Null as "", double-quoted literals
    Rewrite{"SELECT [tb_Client].[lname] & \", \" & [tb_client].[fname] AS FullName",
            "SELECT (IFNULL([tb_Client].[lname],'')||IFNULL(', ','')||IFNULL([tb_client].[fname],'')) AS FullName"},
    Rewrite{"select a&b from t", "select (IFNULL(a,'')||IFNULL(b,'')) from t"},
    Rewrite{"select (a & 'x') & c.d from t", "select (IFNULL(((IFNULL(a,'')||IFNULL('x',''))),'')||IFNULL(c.d,'')) from t"},
    Rewrite{"select \"it's \"\"q\"\"\" as x", "select 'it''s \"q\"' as x"},
    // True/False as 1/0, never inside quotes or brackets
    Rewrite{"select * from tb_GL where cleared = true and payment > 0", "select * from tb_GL where cleared = 1 and payment > 0"},
    Rewrite{"values (1, FALSE, 'True', [True])", "values (1, 0, 'True', [True])"},
    // Quoted and bracketed content passes untouched
    Rewrite{"select 'it''s & #1# true isnull(' as x, [a&b] from t", "select 'it''s & #1# true isnull(' as x, [a&b] from t"},
    Rewrite{"insert into t values ('a;b', 'DELETE * FROM x', '#bad#')", "insert into t values ('a;b', 'DELETE * FROM x', '#bad#')"},
    // A trailing ';' is allowed
    Rewrite{"select 1;  ", "select 1"},
    // Numbers keep their own form
    Rewrite{"values (12.5, -0.0001, 1E-05, 1.5E+20)", "values (12.5, -0.0001, 1E-05, 1.5E+20)"}));

// Only values compared in the conditions of a SELECT become parameters.
TEST(JetSql, LiftsComparedValuesOfConditionsOnly) {
    struct Case {
        const char* jet;
        const char* sqlite;
        QStringList values;   // numbers as digits, text quoted with ''
    };
    const Case cases[] = {
        {"select * from t where a = 5 and b <= #2024-01-05# and c<>'it''s' order by 1",
         "select * from t where a = ? and b <= ? and c<>? order by 1", {"5", "'2024-01-05 00:00:00'", "'it's'"}},
        {"SELECT c.x FROM t inner join c on c.n = 7 GROUP BY c.x HAVING (((c.x)=1001))",
         "SELECT c.x FROM t inner join c on c.n = ? GROUP BY c.x HAVING (((c.x)=?))", {"7", "1001"}},
        // Result columns keep their names; fractions, signs, lists, LIKE and writes stay text.
        {"select a = 5, (select 1 from u where u.k = 2) from t where b = 2.5 or b = -3 or b in (1, 2)",
         "select a = 5, (select 1 from u where u.k = ?) from t where b = 2.5 or b = -3 or b in (1, 2)", {"2"}},
        {"select x from (select a = 5 from t) where y like 'a%' and z = 123456789012345678901",
         "select x from (select a = 5 from t) where y like 'a%' and z = 123456789012345678901", {}},
        {"delete * from t where a = 5", "delete from t where a = 5", {}},
        {"update t set a = 5 where b = 6", "update t set a = 5 where b = 6", {}},
    };
    for (const Case& c : cases) {
        std::vector<ado::SqlLiteral> lifted;
        EXPECT_EQ(ado::JetToSqlite(QString::fromUtf8(c.jet), lifted).toStdString(), c.sqlite) << c.jet;
        QStringList values;
        for (const ado::SqlLiteral& v : lifted)
            values << (v.text ? QLatin1Char('\'') + QString::fromUtf8(v.utf8) + QLatin1Char('\'')
                              : QString::number(v.number));
        EXPECT_EQ(values, c.values) << c.jet;
    }
}

TEST(JetSql, RefusesWhatItCannotTranslate) {
    const char* bad[] = {
        "select * from t where d > #01/05/2024#",       // a locale date is never guessed
        "select * from t where d > #2024-13-01#",
        "select * from t where d > #2024-01-05 25:00:00#",
        "select * from t where d > #2024-01-05",        // unclosed
        "select 1; select 2",                           // a second statement
        "delete from t; drop table t",
        "select a & from t",                            // & needs a term on each side
        "select & b from t",
        "select a & - b from t",
    };
    for (const char* sql : bad) {
        try {
            ado::JetToSqlite(QString::fromUtf8(sql));
            ADD_FAILURE() << "accepted: " << sql;
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), vb::err::SqlPrepare) << sql;
        }
    }
}

// Statements of the shapes the data classes build, translated, must prepare
// on the schema the program ships.
TEST(JetSql, RepresentativeStatementsPrepareOnTheSchema) {
    testsupport::ProgramFolder folder;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(folder.dataFile().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_create_function_v2(db, "val", 1, SQLITE_UTF8, nullptr,
                               [](sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_null(c); }, nullptr, nullptr, nullptr);
    const char* statements[] = {
        "Delete * from tb_Client where CustNum = 1001",
        "Delete * from tb_Company",
        "SELECT tb_Receive.TransNum, tb_Receive.CustNum, [tb_Client].[lname] & \", \" & [tb_client].[fname] AS FullName, "
        "tb_Receive.Date, tb_Receive.Amount FROM tb_Receive INNER JOIN tb_Client ON tb_Receive.CustNum = tb_Client.CustNum "
        "WHERE tb_Receive.Date > #2024-01-01 00:00:00# ORDER BY tb_Receive.Date DESC",
        "SELECT tb_trans.TransNum, tb_trans.InvoiceNum, tb_Client.Lname FROM (tb_Invoice INNER JOIN tb_trans ON "
        "tb_Invoice.InvoiceNum = tb_trans.InvoiceNum) LEFT JOIN tb_Client ON tb_Invoice.CustNum = tb_Client.CustNum "
        "WHERE ((val(tb_trans.BackOrder)<0) AND not isnull(TB_TRANS.ordered))",
        "select * from tb_GL where cleared = True and payment > 0 and [date]>=#2024-01-05 00:00:00# order by [date], checknum",
        "insert into tb_GL values (1001, #2024-01-05 00:00:00#, '10', 'O''Brien', 12.5, False, 'Misc', 0, 'a;b')",
        "update tb_trans set ordered = #2024-01-05 10:11:12# where TransNum = 1001",
        "select max(CustNum) as HighNum from tb_Client",
        "SELECT tb_Invoice.InvoiceNum, tb_Invoice.Date as InvoiceDate, Sum(tb_trans.Amount) AS Charge FROM tb_Invoice "
        "LEFT JOIN tb_trans ON tb_Invoice.InvoiceNum = tb_trans.InvoiceNum GROUP BY tb_Invoice.InvoiceNum, tb_Invoice.Date "
        "HAVING tb_Invoice.Date > #2023-01-01#",
        "select * from ClientBals order by Fullname",
        "select service, [option], charge from tb_Shipping where service = 'UPS' and [option] = \"Ground\";",
    };
    for (const char* jet : statements) {
        const QByteArray sql = ado::JetToSqlite(QString::fromUtf8(jet)).toUtf8();
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db) << "\n  in " << sql.constData();
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}

// Text written by the one text writer comes back exactly, whatever it holds.
TEST(SqlText, TextRoundTripsThroughTheFile) {
    testsupport::ProgramFolder folder;
    auto cn = std::make_shared<ado::Connection>();
    cn->OpenFile(folder.dataFile());
    const QString samples[] = {
        QStringLiteral("O'Brien"), QStringLiteral("say \"hi\""), QStringLiteral("#1# & co; [x] true"),
        QStringLiteral("two\nlines"), QStringLiteral("Zoë Ærø 東京"), QStringLiteral("''"), QString(),
        QStringLiteral("isnull(x) DELETE * FROM tb_Client"),
    };
    int n = 0;
    for (const QString& s : samples) {
        ado::Recordset st;
        st.Open(QStringLiteral("insert into tb_PaymentTypes values (") + ado::SqlText(s) + QStringLiteral(")"), cn);
        ado::Recordset rs;
        rs.Open(QStringLiteral("select type from tb_PaymentTypes where type = ") + ado::SqlText(s), cn);
        ASSERT_FALSE(rs.Eof()) << s.toStdString();
        EXPECT_EQ(rs.Fields("type").Value().stringValue(), s);
        ++n;
    }
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_PaymentTypes")), QString::number(n));

    // A NUL typed or pasted into a box would end the statement: it is dropped.
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b'c");
    ado::Recordset st;
    st.Open(QStringLiteral("insert into tb_PaymentTypes values (") + ado::SqlText(withNul) + QStringLiteral(")"), cn);
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_PaymentTypes where type = 'ab''c'")), "1");
}

TEST(SqlText, WritersAreLocaleFree) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ado::SqlDouble(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(ado::SqlDouble(1e-5), QStringLiteral("1E-05"));
    EXPECT_EQ(ado::SqlCurrency(vb::Currency::fromRaw(-1)), QStringLiteral("-0.0001"));
    EXPECT_EQ(ado::SqlCurrency(vb::Currency::fromRaw(12345678)), QStringLiteral("1234.5678"));
    EXPECT_EQ(ado::SqlLong(-42), QStringLiteral("-42"));
    EXPECT_EQ(ado::SqlDate(vb::Date::fromYmd(2024, 3, 9)), QStringLiteral("#2024-03-09 00:00:00#"));
    EXPECT_EQ(ado::SqlDate(vb::Date::fromYmd(2024, 3, 9, 14, 5, 6)), QStringLiteral("#2024-03-09 14:05:06#"));
    EXPECT_EQ(ado::SqlBool(true), QStringLiteral("True"));
    EXPECT_EQ(ado::SqlText(QStringLiteral("a'b''c")), QStringLiteral("'a''b''''c'"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace
