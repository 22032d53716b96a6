// The date value: serials, parts, the ISO text the data file keeps, and the
// replaceable clock.
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include "vb/Conv.h"
#include "vb/Date.h"

using vb::Date;

namespace {

TEST(Date, SerialsCountFromTheEpoch) {
    struct Case { int y, m, d; double serial; } cases[] = {
        {1899, 12, 30, 0}, {1900, 1, 1, 2}, {1900, 3, 1, 61}, {2000, 1, 1, 36526},
        {2026, 12, 9, 46365}, {2026, 13, 1, 46388}, {2026, 3, 0, 46081}, {2027, 0, 31, 46387},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(Date::fromYmd(c.y, c.m, c.d).serial(), c.serial);
    }
    EXPECT_EQ(Date::fromYmd(2000, 1, 1, 18).serial(), 36526.75);
    EXPECT_EQ(Date::fromQDate(QDate(2000, 1, 1)).serial(), 36526);
}

TEST(Date, RoundTripsThroughIsoTextAndQDateTime) {
    const Date dates[] = {
        Date::fromYmd(2026, 12, 9), Date::fromYmd(2026, 12, 9, 15, 4, 5), Date::fromYmd(1900, 1, 1, 0, 0, 1),
        Date::fromYmd(2024, 2, 29, 23, 59, 59), Date::fromYmd(2026, 3, 29, 2, 30, 0), Date::fromYmd(9999, 12, 31, 12),
    };
    for (Date d : dates) {
        const QString iso = d.toIsoString();
        SCOPED_TRACE(iso.toStdString());
        Date back;
        ASSERT_TRUE(Date::fromIsoString(iso, back));
        EXPECT_DOUBLE_EQ(back.serial(), d.serial());
        EXPECT_EQ(Date::fromQDateTime(d.toQDateTime()).toIsoString(), iso);
        const QDateTime dt = d.toQDateTime();
        EXPECT_EQ(dt.date(), d.toQDate());
        EXPECT_EQ(QDate(d.year(), d.month(), d.day()), d.toQDate());
    }
}

TEST(Date, TimePartsAndRounding) {
    const Date d = Date::fromYmd(2026, 12, 9, 15, 4, 5);
    EXPECT_TRUE(d.hasTime());
    EXPECT_FALSE(d.datePart().hasTime());
    EXPECT_EQ(d.datePart(), Date::fromYmd(2026, 12, 9));
    EXPECT_EQ(d.toQDateTime().time(), QTime(15, 4, 5));
    EXPECT_EQ((d + 1).toIsoString(), "2026-12-10 15:04:05");
    // The fraction rounds to the nearest second, carrying into the next day.
    EXPECT_EQ(Date(36526 + 0.4 / 86400).toIsoString(), "2000-01-01 00:00:00");
    EXPECT_EQ(Date(36526 + 0.6 / 86400).toIsoString(), "2000-01-01 00:00:01");
    EXPECT_EQ(Date(36527 - 0.4 / 86400).toIsoString(), "2000-01-02 00:00:00");
    EXPECT_FALSE(Date(36527 - 0.4 / 86400).hasTime());
    EXPECT_EQ(Date(36527 - 0.4 / 86400).day(), 2);
}

TEST(Date, IsoTextParsing) {
    struct Case { const char* text; bool ok; const char* iso; } cases[] = {
        {"2026-12-09", true, "2026-12-09 00:00:00"}, {"2026-12-09 01:02:03", true, "2026-12-09 01:02:03"},
        {"2026-12-09T01:02:03", true, "2026-12-09 01:02:03"}, {"2026-12-09 01:02", true, "2026-12-09 01:02:00"},
        {"2026-12-09 01:02:03.600", true, "2026-12-09 01:02:04"},
        {"2026-02-30", false, ""}, {"2026-12-09 24:00:00", false, ""}, {"12/9/2026", false, ""},
        {"", false, ""}, {"2026-12-09 1:02:03", false, ""}, {"2026-12-09x", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Date d(1.0);
        EXPECT_EQ(Date::fromIsoString(QString::fromLatin1(c.text), d), c.ok);
        if (c.ok) EXPECT_EQ(d.toIsoString(), QString::fromLatin1(c.iso));
        else EXPECT_EQ(d.serial(), 1.0);
    }
}

// Runs the process in a zone with daylight-saving changes for a scope.
class ZoneWithDaylightSaving : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        hadTz_ = old != nullptr;
        if (hadTz_) oldTz_ = old;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_) setenv("TZ", oldTz_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
private:
    bool hadTz_ = false;
    std::string oldTz_;
};

TEST_F(ZoneWithDaylightSaving, SkippedAndRepeatedHoursKeepTheirTime) {
    // 02:30 does not exist on 29 March 2026 in Berlin and exists twice on 25 October.
    for (Date d : {Date::fromYmd(2026, 3, 29, 2, 30, 0), Date::fromYmd(2026, 10, 25, 2, 30, 0),
                   Date::fromYmd(2026, 3, 29), Date::fromYmd(2026, 3, 30)}) {
        SCOPED_TRACE(d.toIsoString().toStdString());
        EXPECT_EQ(d.toQDateTime().date(), d.toQDate());
        EXPECT_EQ(Date::fromQDateTime(d.toQDateTime()), d);
        EXPECT_EQ(vb::TextToDate(vb::DateToText(d)), d);
    }
    EXPECT_EQ(vb::DateToText(Date::fromYmd(2026, 3, 29, 2, 30, 0)), "3/29/2026 2:30:00 AM");
    EXPECT_EQ(Date::fromYmd(2026, 3, 30).serial() - Date::fromYmd(2026, 3, 29).serial(), 1.0);
}

TEST(Date, ClockIsReplaceable) {
    vb::setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(15, 4, 5, 700)); });
    EXPECT_EQ(vb::Now().toIsoString(), "2026-12-09 15:04:05");
    EXPECT_FALSE(vb::Now().serial() != Date::fromYmd(2026, 12, 9, 15, 4, 5).serial());
    EXPECT_EQ(vb::Today(), Date::fromYmd(2026, 12, 9));
    vb::setClock({});
    EXPECT_EQ(vb::Today().toQDate(), QDate::currentDate());
}

} // namespace
