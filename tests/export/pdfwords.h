// Where words stand on a year sheet written as PDF: poppler's pdftotext -bbox read back and
// each word put into the day cell of the 2027 sheet it stands in.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include <QFile>
#include <QRegularExpression>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "common/sheetpage.h"
#include "exportfixture.h"
#include "sheet/daycells.h"

namespace testing_support {

using TDate = std::pair<int, int>; // month, day

// The dates whose cells hold the word `word` in the PDF, by where pdftotext -bbox puts it (in
// points, 0.75 of a design unit).
inline std::set<TDate> DatesShowing(const QString& pdf, const QString& word, const QString& workDir,
                                    int year = 2027) {
    const auto html =
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), pdf, workDir + QStringLiteral("/words.html")});
    EXPECT_TRUE(html.has_value());
    QFile file(workDir + QStringLiteral("/words.html"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    TDayCells cells;
    FillDayCells(holidays, year, cells);
    std::set<TDate> dates;
    static const QRegularExpression wordTag(QStringLiteral(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = wordTag.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(5) != word)
            continue;
        const QPointF centre((m.captured(1).toDouble() + m.captured(3).toDouble()) / 2 / 0.75,
                             (m.captured(2).toDouble() + m.captured(4).toDouble()) / 2 / 0.75);
        bool found = false;
        for (int month = 1; month <= 12 && !found; ++month)
            for (int col = 0; col < 7 && !found; ++col)
                for (int row = 0; row < 6 && !found; ++row)
                    if (QRectF(DayCell(month, col, row)).contains(centre)) {
                        const QString day = cells(month, col, row).DayText;
                        EXPECT_FALSE(day.isEmpty()) << month << " " << col << "," << row;
                        dates.insert({month, day.toInt()});
                        found = true;
                    }
        EXPECT_TRUE(found) << "a word outside every day cell at " << centre.x() << ","
                           << centre.y();
    }
    return dates;
}

/// The words pdftotext finds in the day cell of `month`-`day` of the `year` sheet, joined
/// without spaces in reading order, the day's number left out.
inline QString WordsInCell(const QString& pdf, int year, int month, int day,
                           const QString& workDir) {
    EXPECT_TRUE(RunTool(QStringLiteral("pdftotext"),
                        {QStringLiteral("-bbox"), pdf, workDir + QStringLiteral("/cell.html")})
                    .has_value());
    QFile file(workDir + QStringLiteral("/cell.html"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    TDayCells cells;
    FillDayCells(holidays, year, cells);
    QRectF cell;
    for (int col = 0; col < 7; ++col)
        for (int row = 0; row < 6; ++row)
            if (cells(month, col, row).DayText == QString::number(day))
                cell = QRectF(DayCell(month, col, row));
    EXPECT_FALSE(cell.isEmpty());
    static const QRegularExpression wordTag(QStringLiteral(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QString words;
    for (auto it = wordTag.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QPointF centre((m.captured(1).toDouble() + m.captured(3).toDouble()) / 2 / 0.75,
                             (m.captured(2).toDouble() + m.captured(4).toDouble()) / 2 / 0.75);
        if (cell.contains(centre) && m.captured(5) != QString::number(day))
            words += m.captured(5);
    }
    return words;
}

} // namespace testing_support
