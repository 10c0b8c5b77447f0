// The 2027 sheet with the 暦 shown, as tamurika-export writes it: poppler's pdftotext finds
// 大安 in exactly the cells of the days the engine calls 大安 and in no other; the state file's
// choice is the default and --show overrides it; a bad word is refused with a Japanese message.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include <QFile>
#include <QRegularExpression>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "calendar/julius.h"
#include "calendar/koyomi.h"
#include "common/sheetpage.h"
#include "exportfixture.h"
#include "pdfwords.h"
#include "sheet/daycells.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

std::set<TDate> TaianDays2027() {
    const Koyomi::TKoyomiYear year(2027);
    std::set<TDate> days;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= Julius::DaysOfMonth(2027, static_cast<std::uint8_t>(m)); ++d)
            if (year.Day(m, d).Rokuyo == Koyomi::TRokuyo::Taian)
                days.insert({m, d});
    return days;
}

class ExportKoyomi : public ExportProgramTest {};

TEST_F(ExportKoyomi, TaianStandsInThePdfOnTheDaysOfTheEngine) {
    const std::set<TDate> taian = TaianDays2027();
    // By hand: 2027-01-01 is 旧11月24日 (the new moon of 2026-12-09 began the month holding
    // 冬至), (11 + 24) mod 6 = 5, 仏滅; the 2nd is (11 + 25) mod 6 = 0, 大安. 旧1月1日 is
    // 2027-02-07 (new moon 2027-02-06 at 15:56 UTC, the 7th in Japan), so 2027-02-07 is 先勝
    // and 2027-02-11 (旧1月5日) is 大安.
    EXPECT_FALSE(taian.contains({1, 1}));
    EXPECT_TRUE(taian.contains({1, 2}));
    EXPECT_FALSE(taian.contains({2, 7}));
    EXPECT_TRUE(taian.contains({2, 11}));
    EXPECT_EQ(taian.size(), 60u);

    const QString pdf = Path(u"rokuyo.pdf"_s);
    const ExportResult r = Run({u"--year"_s, u"2027"_s, u"--show"_s, u"rokuyo"_s, u"--pdf"_s, pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(DatesShowing(pdf, u"大安"_s, work.path()), taian);

    // Set off, and alone: the same days, and no other 六曜.
    const QString emphasised = Path(u"taian.pdf"_s);
    const ExportResult t =
        Run({u"--year"_s, u"2027"_s, u"--show"_s, u"taian"_s, u"--pdf"_s, emphasised});
    ASSERT_EQ(t.code, 0) << t.err.toStdString();
    EXPECT_EQ(DatesShowing(emphasised, u"大安"_s, work.path()), taian);
    EXPECT_TRUE(DatesShowing(emphasised, u"仏滅"_s, work.path()).empty());
}

TEST_F(ExportKoyomi, TheWindowsChoiceIsTheDefaultAndABadWordIsRefused) {
    WriteSetting(u"tamurika-state.ini"_s, "\xEF\xBB\xBF[koyomi]\r\nrokuyo=1\r\n");
    const QString saved = Path(u"saved.pdf"_s);
    ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--pdf"_s, saved}).code, 0);
    EXPECT_EQ(DatesShowing(saved, u"大安"_s, work.path()), TaianDays2027());

    const QString none = Path(u"none.pdf"_s);
    ASSERT_EQ(Run({u"--year"_s, u"2027"_s, u"--show"_s, u"none"_s, u"--pdf"_s, none}).code, 0);
    EXPECT_TRUE(DatesShowing(none, u"大安"_s, work.path()).empty());

    const ExportResult bad = Run({u"--year"_s, u"2027"_s, u"--show"_s, u"rokuyo,fullmoon"_s,
                                  u"--pdf"_s, Path(u"bad.pdf"_s)});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains(u"--show の 'fullmoon' はわかりません。"_s))
        << bad.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path(u"bad.pdf"_s)));
}

} // namespace
