// Importing the calendar a family already keeps: a file as a calendar program writes it
// (CRLF, folded lines, all-day dates, a TZID event, yearly rules, one-off events), one written
// by another program (Python's icalendar package), and damaged files refused by name.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "days/icalendarimport.h"

namespace {

const QString Data = QStringLiteral(TAMURIKA_DAYS_TEST_DATA);

const TFamilyDay* Find(const TCalendarImport& import, const QString& name) {
    for (const TFamilyDay& d : import.Days)
        if (d.Name == name)
            return &d;
    return nullptr;
}

} // namespace

TEST(ICalendarImport, AFileAsCalendarProgramsWriteIt) {
    const TCalendarImport import = ImportICalendarFile(Data + QStringLiteral("/family.ics"), 2027,
                                                       QTimeZone(QByteArray("Asia/Tokyo")));
    ASSERT_EQ(import.Days.size(), 6u) << import.Left.join(u'\n').toStdString();

    const TFamilyDay* taro = Find(import, QStringLiteral("太郎"));
    ASSERT_NE(taro, nullptr);
    EXPECT_EQ(taro->Kind, TFamilyDay::TKind::Birthday);
    EXPECT_EQ(taro->Repeat, TFamilyDay::TRepeat::Yearly);
    EXPECT_EQ(OccurrenceIn(*taro, 2027), QDate(2027, 5, 5));
    EXPECT_EQ(SheetLabel(*taro, 2027), QStringLiteral("太郎 12歳"));

    const TFamilyDay* wedding = Find(import, QStringLiteral("結婚"));
    ASSERT_NE(wedding, nullptr);
    EXPECT_EQ(SheetLabel(*wedding, 2027), QStringLiteral("結婚10周年"));

    const TFamilyDay* mother = Find(import, QStringLiteral("母の日"));
    ASSERT_NE(mother, nullptr);
    EXPECT_EQ(mother->Repeat, TFamilyDay::TRepeat::Weekday);
    EXPECT_EQ(OccurrenceIn(*mother, 2027), QDate(2027, 5, 9));

    // A folded summary, and a time in its own zone.
    const TFamilyDay* moving = Find(import, QStringLiteral("引っ越し"));
    ASSERT_NE(moving, nullptr);
    EXPECT_EQ(moving->Repeat, TFamilyDay::TRepeat::Once);
    EXPECT_EQ(OccurrenceIn(*moving, 2027), QDate(2027, 3, 14));

    // 16:00 UTC is 01:00 the next day in Japan, and still the same day in Los Angeles.
    const TFamilyDay* call = Find(import, QStringLiteral("おばあちゃんに電話"));
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(OccurrenceIn(*call, 2027), QDate(2027, 4, 21));
    const TCalendarImport there = ImportICalendarFile(Data + QStringLiteral("/family.ics"), 2027,
                                                      QTimeZone(QByteArray("America/Los_Angeles")));
    const TFamilyDay* called = Find(there, QStringLiteral("おばあちゃんに電話"));
    ASSERT_NE(called, nullptr);
    EXPECT_EQ(OccurrenceIn(*called, 2027), QDate(2027, 4, 20));
    // A time in its own zone is on its own date there (10:00 in Tokyo is the 13th in LA).
    const TFamilyDay* moved = Find(there, QStringLiteral("引っ越し"));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(OccurrenceIn(*moved, 2027), QDate(2027, 3, 13));

    const TFamilyDay* hana = Find(import, QStringLiteral("Hana"));
    ASSERT_NE(hana, nullptr);
    EXPECT_EQ(OccurrenceIn(*hana, 2027), QDate(2027, 2, 28));
    EXPECT_EQ(OccurrenceIn(*hana, 2028), QDate(2028, 2, 29));
    EXPECT_EQ(SheetLabel(*hana, 2028), QStringLiteral("Hana 20歳"));

    // Left out, with the reason: last year's one-off event and a weekly one.
    ASSERT_EQ(import.Left.size(), 2);
    EXPECT_TRUE(import.Left.filter(QStringLiteral("去年のクリスマス会")).size() == 1);
    EXPECT_TRUE(import.Left.filter(QStringLiteral("燃えるごみ"))
                    .front()
                    .contains(QStringLiteral("毎年の繰り返しではない")));
}

// A sheet from April 2026 runs to March 2027: the one-off events of December 2026 and of
// 14 March 2027 are on it, that of 21 April 2027 is not.
TEST(ICalendarImport, OneOffEventsOfASheetThatStartsInApril) {
    const TCalendarImport import = ImportICalendarFile(Data + QStringLiteral("/family.ics"), 2026,
                                                       QTimeZone(QByteArray("Asia/Tokyo")), 4);
    EXPECT_NE(Find(import, QStringLiteral("去年のクリスマス会")), nullptr);
    EXPECT_NE(Find(import, QStringLiteral("引っ越し")), nullptr);
    EXPECT_EQ(Find(import, QStringLiteral("おばあちゃんに電話")), nullptr);
    const QStringList left = import.Left.filter(QStringLiteral("おばあちゃんに電話"));
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left.front().contains(QStringLiteral("2026年4月〜2027年3月の予定ではありません")))
        << left.front().toStdString();
}

TEST(ICalendarImport, AFileWrittenByAnotherProgram) {
    // Python's icalendar package writes the file: its own folding, escaping and line ends.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("python.ics"));
    const QString script = QStringLiteral(R"(
import sys, datetime, icalendar
cal = icalendar.Calendar()
cal.add('prodid', '-//test//EN'); cal.add('version', '2.0')
e = icalendar.Event(); e.add('summary', '祖母の誕生日')
e.add('dtstart', datetime.date(1950, 11, 3)); e.add('rrule', {'freq': 'yearly'})
e.add('uid', 'a@x'); e.add('dtstamp', datetime.datetime(2026, 12, 1))
cal.add_component(e)
e = icalendar.Event(); e.add('summary', '運動会, 雨なら翌日; 持ち物あり')
e.add('dtstart', datetime.date(2027, 10, 9)); e.add('uid', 'b@x')
e.add('dtstamp', datetime.datetime(2026, 12, 1))
cal.add_component(e)
open(sys.argv[1], 'wb').write(cal.to_ical())
)");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, file});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const TCalendarImport import = ImportICalendarFile(file, 2027);
    ASSERT_EQ(import.Days.size(), 2u);
    const TFamilyDay* grandmother = Find(import, QStringLiteral("祖母"));
    ASSERT_NE(grandmother, nullptr);
    EXPECT_EQ(SheetLabel(*grandmother, 2027), QStringLiteral("祖母 77歳"));
    const TFamilyDay* sports = Find(import, QStringLiteral("運動会, 雨なら翌日; 持ち物あり"));
    ASSERT_NE(sports, nullptr); // commas and semicolons unescaped
    EXPECT_EQ(OccurrenceIn(*sports, 2027), QDate(2027, 10, 9));
}

TEST(ICalendarImport, DamagedFilesAreRefusedNamingThem) {
    QFile f(Data + QStringLiteral("/family.ics"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    const struct {
        const char* why;
        QByteArray data;
    } cases[] = {
        {"cut off", good.left(good.size() / 2)},
        {"not a calendar", QByteArray("From: someone\r\nSubject: hello\r\n\r\nhi\r\n")},
        {"binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"END without BEGIN", QByteArray("BEGIN:VCALENDAR\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")},
        {"empty", QByteArray()},
    };
    for (const auto& c : cases) {
        try {
            ImportICalendar(c.data, 2027, QStringLiteral("/home/家族/壊れた.ics"));
            ADD_FAILURE() << c.why << ": imported";
        } catch (const EFamilyDaysError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("「壊れた.ics」"))) << c.why;
            EXPECT_TRUE(e.Message().contains(QStringLiteral("何も加えていません"))) << c.why;
        }
    }
    EXPECT_THROW(ImportICalendarFile(Data, 2027), EFamilyDaysError); // a folder
    EXPECT_THROW(ImportICalendarFile(Data + QStringLiteral("/none.ics"), 2027), EFamilyDaysError);
}
