// The real tamurika-export executable, started as a user would start it, without a display.
// Its holiday listing for 1970–2050 is compared, date by date, with the articles of the law
// written out independently (tests/common/holidayreference.h).
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "common/holidayreference.h"
#include "runexport.h"

using namespace Qt::StringLiterals;

namespace {

using Result = testing_support::ExportResult;

Result RunProgram(const QStringList& arguments) {
    return testing_support::RunExport(QStringLiteral(TAMURIKA_EXPORT_PROGRAM), arguments);
}

TEST(ExportProgram, HolidaysFrom1970To2050FollowTheLaw) {
    const Result result = RunProgram({u"--holidays"_s, u"1970"_s, u"2050"_s});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    ASSERT_TRUE(result.out.endsWith(u'\n'));

    QDate expectedDate(1970, 1, 1);
    const QDate end(2050, 12, 31);
    const auto nextNamed = [&](QDate from) {
        while (from <= end && HolidayReference::HolidayName(from).isEmpty())
            from = from.addDays(1);
        return from;
    };
    expectedDate = nextNamed(expectedDate);
    int lines = 0;
    for (const QString& line : result.out.chopped(1).split(u'\n')) {
        ++lines;
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 2) << line.toStdString();
        const QDate date = QDate::fromString(fields[0], u"yyyy-MM-dd"_s);
        ASSERT_TRUE(date.isValid()) << line.toStdString();
        // In date order, with no named date of the law left out before this one.
        ASSERT_EQ(fields[0].toStdString(), expectedDate.toString(Qt::ISODate).toStdString())
            << "line \"" << line.toStdString() << "\"";
        EXPECT_EQ(fields[1], HolidayReference::HolidayName(date)) << line.toStdString();
        expectedDate = nextNamed(date.addDays(1));
    }
    EXPECT_GT(expectedDate, end) << "missing from "
                                 << expectedDate.toString(Qt::ISODate).toStdString();
    EXPECT_GT(lines, 81 * 15);
}

TEST(ExportProgram, ADisplayWithNoServerBehindItChangesNothing) {
    // What ssh, tmux or cron leave behind: DISPLAY names a server that is not there (":99",
    // and a number no X server here ever takes).
    ASSERT_FALSE(QFileInfo::exists(u"/tmp/.X11-unix/X4711"_s));
    QTemporaryDir dir;
    const QString png = dir.filePath(u"sheet.png"_s);
    for (const QString& display : {u":99"_s, u":4711"_s}) {
        SCOPED_TRACE(display.toStdString());
        const Result holidays =
            testing_support::RunExport(QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
                                       {u"--holidays"_s, u"2027"_s}, {}, {}, 60000, display);
        EXPECT_EQ(holidays.code, 0) << holidays.err.toStdString();
        EXPECT_TRUE(holidays.out.startsWith(u"2027-01-01\t元日\n"_s)) << holidays.out.toStdString();
        EXPECT_TRUE(holidays.out.contains(u"2027-03-21\t春分の日\n"_s));
        EXPECT_TRUE(holidays.err.isEmpty()) << holidays.err.toStdString();

        const Result help = testing_support::RunExport(QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
                                                       {u"--help"_s}, {}, {}, 60000, display);
        EXPECT_EQ(help.code, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.contains(u"使い方: tamurika-export"_s)) << help.out.toStdString();

        // Drawing the sheet needs no display either.
        QFile::remove(png);
        const Result sheet = testing_support::RunExport(
            QStringLiteral(TAMURIKA_EXPORT_PROGRAM),
            {u"--year"_s, u"2027"_s, u"--png"_s, png, u"--dpi"_s, u"24"_s}, dir.path(), {}, 60000,
            display);
        EXPECT_EQ(sheet.code, 0) << sheet.err.toStdString();
        const QImage page(png);
        EXPECT_NEAR(page.width(), 210 / 25.4 * 24, 1.0); // A4 portrait at 24 per inch
        EXPECT_NEAR(page.height(), 297 / 25.4 * 24, 1.0);
    }
}

TEST(ExportProgram, BadArgumentsExitWith2) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{u"--holidays"_s}, QStringList{u"--pdf"_s},
          QStringList{u"--holidays"_s, u"2025"_s, u"1999"_s}}) {
        const Result result = RunProgram(arguments);
        EXPECT_EQ(result.code, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(result.err.contains(u"使い方: tamurika-export --holidays"_s));
    }
}

TEST(ExportProgram, HolidaysNeedNoWindowSystem) {
    // With a Qt platform that does not exist, anything that opens the window system stops at
    // once, and a widget cannot even be made without it. The listing runs all the same, and
    // says the same as with the offscreen platform; a sheet, which needs drawing, cannot.
    const auto run = [](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"no-such-platform"_s);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TAMURIKA_EXPORT_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        Result result;
        result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    };
    const Result listed = run({u"--holidays"_s, u"1970"_s, u"2050"_s});
    ASSERT_EQ(listed.code, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out, RunProgram({u"--holidays"_s, u"1970"_s, u"2050"_s}).out);
    EXPECT_GT(listed.out.count(u'\n'), 1300);
    const QString png = QDir::temp().filePath(u"tamurika-no-platform.png"_s);
    const Result sheet = run({u"--year"_s, u"2027"_s, u"--png"_s, png});
    EXPECT_NE(sheet.code, 0);
    EXPECT_TRUE(sheet.err.contains(u"no-such-platform"_s)) << sheet.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));
}

TEST(ExportProgram, OutputThatCannotBeWrittenIsAFailure) {
    QProcess process;
    process.setStandardOutputFile(u"/dev/full"_s);
    process.start(QStringLiteral(TAMURIKA_EXPORT_PROGRAM), {u"--holidays"_s, u"2024"_s});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(u"出力を書き込めませんでした。"_s));
}

} // namespace

TEST(ExportProgram, KoyomiListsEveryDayWithItsLunarDateRokuyoAndNames) {
    const Result result = RunProgram({u"--koyomi"_s, u"2033"_s, u"2034"_s});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 365 + 365);
    EXPECT_EQ(lines.front().left(10), u"2033-01-01"_s);
    EXPECT_EQ(lines.back().left(10), u"2034-12-31"_s);
    EXPECT_TRUE(lines.contains(u"2033-12-22\t旧閏11月1日\t大安\t新月"_s));
    EXPECT_EQ(lines.filter(u"2034-02-19\t旧1月1日\t先勝\t"_s).size(), 1); // 旧正月
    // Lunar days run on by one and start again at 1 after the 29th or 30th; the dates run on.
    int previousDay = 0;
    QDate previousDate;
    for (const QString& line : lines) {
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 4) << line.toStdString();
        const QDate date = QDate::fromString(fields[0], Qt::ISODate);
        if (previousDate.isValid()) {
            EXPECT_EQ(previousDate.daysTo(date), 1) << line.toStdString();
        }
        const int day = fields[1].section(u'月', 1).chopped(1).toInt();
        if (previousDay != 0 && day != 1) {
            EXPECT_EQ(day, previousDay + 1) << line.toStdString();
        }
        if (day == 1 && previousDay != 0) {
            EXPECT_TRUE(previousDay == 29 || previousDay == 30) << line.toStdString();
        }
        previousDay = day;
        previousDate = date;
    }
}

TEST(ExportProgram, KoyomiOutsideTheEnginesYearsIsRefusedAndUncheckedYearsAreSaid) {
    const Result refused = RunProgram({u"--koyomi"_s, u"1600"_s});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains(u"1700 年から 2300 年まで"_s)) << refused.err.toStdString();
    const Result unchecked = RunProgram({u"--koyomi"_s, u"2101"_s});
    EXPECT_EQ(unchecked.code, 0);
    EXPECT_EQ(unchecked.out.count(u'\n'), 365);
    EXPECT_TRUE(unchecked.err.contains(u"照合をしていない"_s)) << unchecked.err.toStdString();
}
