// Where words stand on a year sheet written as PDF: poppler's pdftotext -bbox read back and
// each word put into the day cell of the sheet it stands in (the sheet's months and weeks as
// the day table lays them out).
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>
#include <vector>

#include <QFile>
#include <QRegularExpression>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "common/sheetpage.h"
#include "exportfixture.h"
#include "sheet/daycells.h"

namespace testing_support {

using TDate = std::pair<int, int>; // month, day

/// The words of a year sheet written as PDF, read once with pdftotext -bbox, each with the day
/// cell it stands in.
class TSheetWords {
  public:
    TSheetWords(const QString& pdf, const QString& workDir, int year = 2027)
        : TSheetWords(pdf, workDir, TSheetYear{year}) {}

    TSheetWords(const QString& pdf, const QString& workDir, const TSheetYear& sheet) {
        const QString html = workDir + QStringLiteral("/words.html");
        EXPECT_TRUE(
            RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, html}).has_value());
        QFile file(html);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        THolidayModel holidays;
        ApplyProgramHolidays(holidays);
        TDayCells cells;
        FillDayCells(holidays, sheet, cells);
        static const QRegularExpression wordTag(QStringLiteral(
            uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
        for (auto it = wordTag.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            // pdftotext gives points, 0.75 of a design unit.
            const QPointF centre((m.captured(1).toDouble() + m.captured(3).toDouble()) / 2 / 0.75,
                                 (m.captured(2).toDouble() + m.captured(4).toDouble()) / 2 / 0.75);
            TWord word{m.captured(5), {0, 0}, centre};
            for (int n = 1; n <= 12; ++n)
                for (int col = 0; col < 7; ++col)
                    for (int row = 0; row < 6; ++row)
                        if (QRectF(DayCell(n, col, row)).contains(centre)) {
                            word.Date = {cells.MonthAt(n).Month,
                                         cells(n, col, row).DayText.toInt()};
                            word.Cell = {n, col, row};
                        }
            FWords.push_back(word);
        }
    }

    /// The dates whose cells hold `word`; every such word must stand in a day's cell.
    std::set<TDate> Dates(const QString& word) const {
        std::set<TDate> dates;
        for (const TWord& w : FWords)
            if (w.Text == word) {
                EXPECT_NE(w.Date.second, 0) << "a word outside every day's cell";
                dates.insert(w.Date);
            }
        return dates;
    }

    /// The words in the cell of `month`-`day`, joined without spaces in reading order, the
    /// day's number left out.
    QString InCell(int month, int day) const {
        QString words;
        for (const TWord& w : FWords)
            if (w.Date == TDate{month, day} && w.Text != QString::number(day))
                words += w.Text;
        return words;
    }

    struct TWord {
        QString Text;
        TDate Date;     // {0, 0} outside every day's cell
        QPointF Centre; // in design units
        // The sheet's month (1..12), column and row of the cell it stands in; 0s outside.
        std::array<int, 3> Cell{};
    };
    /// Every word, in the order pdftotext read them.
    const std::vector<TWord>& Words() const { return FWords; }

  private:
    std::vector<TWord> FWords;
};

/// The dates whose cells hold the word `word` in the PDF.
inline std::set<TDate> DatesShowing(const QString& pdf, const QString& word,
                                    const QString& workDir) {
    return TSheetWords(pdf, workDir).Dates(word);
}

} // namespace testing_support
