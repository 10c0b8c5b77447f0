// The command line of tamurika-export, read and run in-process.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QIODevice>
#include <QTextStream>

#include "app/startoptions.h"
#include "app/verunit.h"
#include "export/exportcommand.h"
#include "platform/version.h"

using namespace Qt::StringLiterals;

namespace {

using TMode = TExportOptions::TMode;

TEST(ParseExportArguments, HolidayRanges) {
    TExportOptions one = ParseExportArguments({u"--holidays"_s, u"2024"_s});
    EXPECT_EQ(one.Mode, TMode::Holidays);
    EXPECT_EQ(one.FromYear, 2024);
    EXPECT_EQ(one.ToYear, 2024);
    TExportOptions range = ParseExportArguments({u"--holidays"_s, u"1970"_s, u"+2050"_s});
    EXPECT_EQ(range.FromYear, 1970);
    EXPECT_EQ(range.ToYear, 2050);
    TExportOptions edges = ParseExportArguments({u"--holidays"_s, u"1"_s, u"9999"_s});
    EXPECT_EQ(edges.FromYear, 1);
    EXPECT_EQ(edges.ToYear, 9999);
    EXPECT_EQ(ParseExportArguments({u"--help"_s}).Mode, TMode::Help);
    EXPECT_EQ(ParseExportArguments({u"-h"_s}).Mode, TMode::Help);
}

TEST(ParseExportArguments, RefusesWhatIsNoCommand) {
    const QList<QStringList> bad = {
        {},
        {u"--holidays"_s},
        {u"--holiday"_s, u"2024"_s},
        {u"2024"_s},
        {u"--holidays"_s, u"twenty"_s},
        {u"--holidays"_s, u""_s},
        {u"--holidays"_s, u"2024.5"_s},
        {u"--holidays"_s, u"0"_s},
        {u"--holidays"_s, u"10000"_s},
        {u"--holidays"_s, u"99999999999"_s},
        {u"--holidays"_s, u"2025"_s, u"2024"_s},
        {u"--holidays"_s, u"2024"_s, u"2025"_s, u"2026"_s},
        {u"--help"_s, u"--holidays"_s},
    };
    for (const QStringList& arguments : bad)
        EXPECT_THROW(ParseExportArguments(arguments), EExportUsage)
            << arguments.join(u' ').toStdString();
}

TEST(ParseExportArguments, MessagesSayWhatIsWrong) {
    try {
        ParseExportArguments({u"--holidays"_s, u"2025"_s, u"2024"_s});
        FAIL();
    } catch (const EExportUsage& e) {
        EXPECT_EQ(e.Message(), u"終了年 2024 が開始年 2025 より前です。"_s);
    }
    try {
        ParseExportArguments({u"--holidays"_s, u"abc"_s});
        FAIL();
    } catch (const EExportUsage& e) {
        EXPECT_EQ(e.Message(), u"年 'abc' は 1 から 9999 までの整数で指定してください。"_s);
    }
}

struct Outcome {
    int code;
    QString out, err;
};

Outcome RunIt(const QStringList& arguments) {
    Outcome run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.code = RunExport(arguments, out, err);
    return run;
}

TEST(RunExport, ListsTheNamedDatesOfTheYears) {
    const Outcome run = RunIt({u"--holidays"_s, u"2023"_s});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_TRUE(
        run.out.startsWith(u"2023-01-01\t元日\n2023-01-02\t振替休日\n2023-01-09\t成人の日\n"_s));
    EXPECT_TRUE(run.out.endsWith(u"2023-11-03\t文化の日\n2023-11-23\t勤労感謝の日\n"_s));
    EXPECT_EQ(run.out.count(u'\n'), 17);
}

// Records how many widgets exist whenever the listing writes, which it does many times over
// four centuries.
class TWidgetWatch : public QIODevice {
  public:
    TWidgetWatch() { open(QIODevice::WriteOnly); }
    qsizetype MostWidgets = -1;
    qint64 Written = 0;

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        MostWidgets = std::max(MostWidgets, QApplication::allWidgets().size());
        Written += size;
        return size;
    }
};

TEST(RunExport, TheHolidayListingMakesNoWidget) {
    const qsizetype before = QApplication::allWidgets().size();
    TWidgetWatch watch;
    QTextStream out(&watch);
    ListHolidays(1800, 2200, out);
    const qint64 flushedWhileListing = watch.Written;
    out.flush();
    EXPECT_GT(flushedWhileListing, 0); // the stream wrote while the listing ran
    EXPECT_GT(watch.Written, 6000 * 15);
    EXPECT_EQ(watch.MostWidgets, before);
}

TEST(RunExport, NoHolidaysBeforeTheLawOf1948) {
    // The law took effect on 1948-07-20: the autumnal equinox day of 1948 was its first
    // holiday; before it not even the equinox days were.
    const Outcome run = RunIt({u"--holidays"_s, u"1900"_s, u"1948"_s});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, u"1948-09-23\t秋分の日\n1948-11-03\t文化の日\n1948-11-23\t勤労感謝の日\n"_s);
}

TEST(RunExport, BadArgumentsGiveTheUsageAndCode2) {
    const Outcome run = RunIt({u"--holidays"_s, u"x"_s});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith(u"tamurika-export: "_s));
    EXPECT_TRUE(run.err.endsWith(ExportUsage()));
    const Outcome help = RunIt({u"--help"_s});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, ExportUsage());
}

TEST(RunExport, VersionIsThatOfTheProject) {
    EXPECT_EQ(ParseExportArguments({u"--version"_s}).Mode, TMode::Version);
    EXPECT_THROW(ParseExportArguments({u"--version"_s, u"--help"_s}), EExportUsage);
    const Outcome run = RunIt({u"--version"_s});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, u"tamurika-export (たむりか) "_s + ProgramVersion() + u'\n');
    EXPECT_EQ(run.out, VersionText(u"tamurika-export"_s));
    EXPECT_TRUE(ExportUsage().contains(u"tamurika-export --version"_s));
}

} // namespace
