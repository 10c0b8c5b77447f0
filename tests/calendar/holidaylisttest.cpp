// The program's holidays year by year, as the sheet and `tamurika-export --holidays` list them,
// against what no rule of the program wrote:
//  - 1948–2150 exactly as listed before the equinox days after 2150 came from the ephemeris and
//    the days between two holidays from the law's rule (data/holidays-1948-2150.tsv);
//  - the Cabinet Office's own list of 1955–2027 (data/syukujitsu.csv);
//  - the days between two holidays (国民の休日) of 1986–9999 by article 3.3 of the law, worked
//    out here day by day over QDate from the wording of the law.
#include <gtest/gtest.h>

#include <map>

#include <QDate>
#include <QFile>

#include "calendar/equinoxdays.h"
#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "calendar/julius.h"
#include "common/holidayreference.h"

using namespace Qt::StringLiterals;

namespace {

QString DataFile(const char* name) {
    return QStringLiteral(CALENDAR_TEST_DATA "/") + QString::fromUtf8(name);
}

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        line.remove(u'\r');
    return lines;
}

QDate DateOf(std::int32_t jd) {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(jd, y, m, d);
    return QDate(y, m, d);
}

class ProgramHolidays : public ::testing::Test {
  protected:
    void SetUp() override { ApplyProgramHolidays(model); }

    QString Names(const QDate& date) const {
        return model.GetDayNames(date.year(), static_cast<std::uint8_t>(date.month()),
                                 static_cast<std::uint8_t>(date.day()));
    }

    // "YYYY-MM-DD<TAB>names" for every named day of the years.
    QStringList Listing(int firstYear, int lastYear) const {
        QStringList lines;
        for (QDate date(firstYear, 1, 1); date.year() <= lastYear; date = date.addDays(1)) {
            const QString names = Names(date);
            if (!names.isEmpty())
                lines.append(date.toString(Qt::ISODate) + u'\t' + names);
        }
        return lines;
    }

    THolidayModel model;
};

TEST_F(ProgramHolidays, TheNamedDaysOf1948To2150AreUnchanged) {
    const QStringList before = ReadLines(DataFile("holidays-1948-2150.tsv"));
    ASSERT_EQ(before.size(), 3320);
    const QStringList now = Listing(1948, 2150);
    EXPECT_EQ(now.size(), before.size());
    int differences = 0;
    for (qsizetype i = 0; i < std::min(now.size(), before.size()); ++i) {
        if (now[i] != before[i] && ++differences <= 10)
            ADD_FAILURE() << "now " << now[i].toStdString() << ", before "
                          << before[i].toStdString();
    }
    EXPECT_EQ(differences, 0);
}

// The Cabinet Office calls substitute days and the days between two holidays 「休日」 and
// shortens the names of the special laws' days; every date and every other name must agree.
TEST_F(ProgramHolidays, MatchTheCabinetOfficeList1955To2027) {
    const QStringList lines = ReadLines(DataFile("syukujitsu.csv"));
    ASSERT_GT(lines.size(), 1000);
    const std::map<QString, QStringList> sameDay = {
        {u"休日"_s, {u"振替休日"_s, u"国民の休日"_s}},
        {u"結婚の儀"_s, {u"皇太子明仁親王の結婚の儀"_s, u"皇太子徳仁親王の結婚の儀"_s}},
        {u"大喪の礼"_s, {u"昭和天皇の大喪の礼"_s}},
        {u"休日（祝日扱い）"_s, {u"天皇の即位の日"_s, u"即位礼正殿の儀"_s}},
        {u"体育の日（スポーツの日）"_s, {u"体育の日"_s}},
    };
    std::map<QDate, QString> cabinet;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u',');
        ASSERT_EQ(fields.size(), 2) << lines[i].toStdString();
        const QStringList ymd = fields[0].split(u'/');
        ASSERT_EQ(ymd.size(), 3) << lines[i].toStdString();
        cabinet[QDate(ymd[0].toInt(), ymd[1].toInt(), ymd[2].toInt())] = fields[1];
    }
    int kokumin = 0;
    for (QDate date(1955, 1, 1); date <= QDate(2027, 12, 31); date = date.addDays(1)) {
        const QString names = Names(date);
        const auto entry = cabinet.find(date);
        const QString expected = entry == cabinet.end() ? QString() : entry->second;
        const auto alias = sameDay.find(expected);
        const bool agree =
            alias == sameDay.end() ? names == expected : alias->second.contains(names);
        EXPECT_TRUE(agree) << date.toString(Qt::ISODate).toStdString() << ": calendar \""
                           << names.toStdString() << "\", Cabinet Office \""
                           << expected.toStdString() << "\"";
        kokumin += names == u"国民の休日"_s;
    }
    // 4 May of 1988–2006 when it fell from Tuesday to Saturday (15 years), the September days
    // of 2009, 2015 and 2026, and 30 April and 2 May 2019.
    EXPECT_EQ(kokumin, 15 + 3 + 2);
}

// --- Article 3.3 worked out from the wording of the law ----------------------------------

// The equinox days of every year asked, worked out once.
std::int32_t EquinoxDayOf(int year, int month) {
    static std::map<std::pair<int, int>, std::int32_t> days;
    const auto [entry, added] = days.try_emplace({year, month}, 0);
    if (added)
        entry->second = month == 3 ? EquinoxDays::VernalJD(year) : EquinoxDays::AutumnalJD(year);
    return entry->second;
}

// 「国民の祝日」: the days of article 2 (and the days special laws count as such), with the
// equinox days as the holiday law has them, however they are computed.
bool IsShukujitsu(const QDate& date) {
    if ((date.month() == 3 || date.month() == 9) &&
        date.toJulianDay() == EquinoxDayOf(date.year(), date.month()))
        return true;
    const QString name = HolidayReference::NationalHoliday(date);
    // The reference's own equinox days are an approximation for 1900–2099 only.
    return !name.isEmpty() && name != u"春分の日"_s && name != u"秋分の日"_s;
}

// Article 3.2: until 2006 the Monday after a 国民の祝日 on a Sunday; from 2007 the nearest
// day after a 国民の祝日 on a Sunday that is no 国民の祝日.
bool IsFurikaeByLaw(const QDate& date) {
    if (date < QDate(1973, 4, 12) || IsShukujitsu(date))
        return false;
    if (date.year() < 2007)
        return date.dayOfWeek() == Qt::Monday && IsShukujitsu(date.addDays(-1));
    QDate day = date.addDays(-1);
    while (IsShukujitsu(day) && day.dayOfWeek() != Qt::Sunday)
        day = day.addDays(-1);
    return IsShukujitsu(day) && day.dayOfWeek() == Qt::Sunday;
}

// Article 3.3, from 1985-12-27: 「その前日及び翌日が「国民の祝日」である日（日曜日にあたる日及び
// 前項に規定する休日にあたる日を除く。）」; from 2007: 「（「国民の祝日」でない日に限る。）」.
bool IsKokuminNoKyujitsuByLaw(const QDate& date) {
    if (date < QDate(1985, 12, 27) || IsShukujitsu(date))
        return false;
    if (!IsShukujitsu(date.addDays(-1)) || !IsShukujitsu(date.addDays(1)))
        return false;
    return date.year() >= 2007 || (date.dayOfWeek() != Qt::Sunday && !IsFurikaeByLaw(date));
}

TEST_F(ProgramHolidays, DaysBetweenTwoHolidaysByTheLawFrom1986To9999) {
    int expected = 0, named = 0, from3012 = 0, alsoFurikae = 0, mismatches = 0;
    for (QDate date(1986, 1, 1); date.year() <= 9999; date = date.addDays(1)) {
        // Only a day with a 国民の祝日 on both sides can be one; the others must not be named.
        const bool byLaw = IsKokuminNoKyujitsuByLaw(date);
        const bool between = IsShukujitsu(date.addDays(-1)) && IsShukujitsu(date.addDays(1));
        const QString names = between ? Names(date) : QString();
        // A day that the law makes a substitute holiday too is named as that.
        const bool furikae = byLaw && IsFurikaeByLaw(date);
        const bool isNamed = names == u"国民の休日"_s;
        if (isNamed != (byLaw && !furikae) && ++mismatches <= 10) {
            ADD_FAILURE() << date.toString(Qt::ISODate).toStdString() << ": calendar \""
                          << names.toStdString() << "\", law " << byLaw;
        }
        expected += byLaw;
        alsoFurikae += furikae;
        named += isNamed;
        from3012 += isNamed && date.year() >= 3012;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(named, expected - alsoFurikae);
    // A table of these days used to end in 3007; every one after it was missing.
    EXPECT_EQ(from3012, 1283);
    EXPECT_EQ(alsoFurikae, 0);
    RecordProperty("days_between_holidays_1986_9999", expected);
}

// The days next to the ones named were not looked at above: no day that is not between two
// 国民の祝日 may be a 国民の休日, in a stretch long enough to cross many years and New Years.
TEST_F(ProgramHolidays, NoOtherDayIsOne) {
    for (QDate date(2100, 1, 1); date.year() <= 2400; date = date.addDays(1)) {
        if (Names(date) == u"国民の休日"_s) {
            EXPECT_TRUE(IsKokuminNoKyujitsuByLaw(date)) << date.toString(Qt::ISODate).toStdString();
        }
    }
}

TEST_F(ProgramHolidays, EquinoxDaysAfter2150FromTheEphemeris) {
    // The closed formula put the autumnal equinox of 2169 on 9-23; the Sun crosses 180° at
    // 2169-09-22 23:42 JST.
    EXPECT_EQ(DateOf(Julius::AutumnalEquinoxJD(2169)), QDate(2169, 9, 23));
    EXPECT_EQ(DateOf(EquinoxDays::AutumnalJD(2169)), QDate(2169, 9, 22));
    EXPECT_EQ(Names({2169, 9, 22}), u"秋分の日"_s);
    EXPECT_EQ(Names({2169, 9, 23}), u""_s);
    // Up to 2150 the formula, unchanged; after 9999 the formula again.
    EXPECT_EQ(EquinoxDays::SourceOf(2150), EquinoxDays::TSource::Formula);
    EXPECT_EQ(EquinoxDays::SourceOf(2151), EquinoxDays::TSource::Ephemeris);
    EXPECT_EQ(EquinoxDays::SourceOf(9999), EquinoxDays::TSource::Ephemeris);
    EXPECT_EQ(EquinoxDays::SourceOf(10000), EquinoxDays::TSource::Formula);
    for (std::int32_t year = 1948; year <= 2150; ++year) {
        EXPECT_EQ(EquinoxDays::VernalJD(year), Julius::VernalEquinoxJD(year)) << year;
        EXPECT_EQ(EquinoxDays::AutumnalJD(year), Julius::AutumnalEquinoxJD(year)) << year;
    }
    EXPECT_EQ(EquinoxDays::AutumnalJD(12000), Julius::AutumnalEquinoxJD(12000));
    // A Sunday equinox of the engine's years moves its holiday on to the Monday: 2286-03-21
    // (the Sun at 0° at 00:02:50 JST; the formula had the Saturday before).
    EXPECT_EQ(DateOf(EquinoxDays::VernalJD(2286)), QDate(2286, 3, 21));
    EXPECT_EQ(Names({2286, 3, 21}), u"春分の日"_s);
    EXPECT_EQ(Names({2286, 3, 22}), u"振替休日"_s);
    // Every equinox day of the engine's years stays in its month, to the last year.
    for (std::int32_t year = 2151; year <= 9999; year += 7) {
        const QDate vernal = DateOf(EquinoxDays::VernalJD(year));
        const QDate autumnal = DateOf(EquinoxDays::AutumnalJD(year));
        EXPECT_EQ(vernal.year(), year);
        EXPECT_EQ(vernal.month(), 3) << year;
        EXPECT_EQ(autumnal.month(), 9) << year;
    }
}

} // namespace
