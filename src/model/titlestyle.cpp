#include "titlestyle.h"

#include "days/familyday.h"
#include "platform/fullwidth.h"

const std::array<QString, 13> EnglishMonthNames = {QString(),
                                                   QStringLiteral("January"),
                                                   QStringLiteral("February"),
                                                   QStringLiteral("March"),
                                                   QStringLiteral("April"),
                                                   QStringLiteral("May"),
                                                   QStringLiteral("June"),
                                                   QStringLiteral("July"),
                                                   QStringLiteral("August"),
                                                   QStringLiteral("September"),
                                                   QStringLiteral("October"),
                                                   QStringLiteral("November"),
                                                   QStringLiteral("December")};

// May keeps its full name: it already has three letters.
const std::array<QString, 13> EnglishMonthAbbreviations = {QString(),
                                                           QStringLiteral("Jan"),
                                                           QStringLiteral("Feb"),
                                                           QStringLiteral("Mar"),
                                                           QStringLiteral("Apr"),
                                                           QStringLiteral("May"),
                                                           QStringLiteral("Jun"),
                                                           QStringLiteral("Jul"),
                                                           QStringLiteral("Aug"),
                                                           QStringLiteral("Sep"),
                                                           QStringLiteral("Oct"),
                                                           QStringLiteral("Nov"),
                                                           QStringLiteral("Dec")};

const std::array<QString, 13> TraditionalMonthNames = {QString(),
                                                       QStringLiteral("睦月"),
                                                       QStringLiteral("如月"),
                                                       QStringLiteral("弥生"),
                                                       QStringLiteral("卯月"),
                                                       QStringLiteral("皐月"),
                                                       QStringLiteral("水無月"),
                                                       QStringLiteral("文月"),
                                                       QStringLiteral("葉月"),
                                                       QStringLiteral("長月"),
                                                       QStringLiteral("神無月"),
                                                       QStringLiteral("霜月"),
                                                       QStringLiteral("師走")};

QStringList TitleStyleItems() {
    return {QStringLiteral("西暦年*月"),       QStringLiteral("西暦年*月(January)"),
            QStringLiteral("和暦年*月"),       QStringLiteral("元号和暦年*月"),
            QStringLiteral("和暦年*月(睦月)"), QStringLiteral("元号和暦年*月(睦月)"),
            QStringLiteral("西暦 January"),    QStringLiteral("西暦 Jan")};
}

std::optional<TEraYear> EraOf(std::int32_t year, int month) {
    // A month belongs to the era in force on its last day, so an era begins with the month it
    // began in (平成 with January 1989, 令和 with May 2019). Before 1873 Japan kept the old
    // lunisolar calendar, whose years do not line up with Western years; from then on 明治 6
    // is 1873.
    struct Era {
        std::int32_t FirstYear; // the first Western year and month counted in this era
        int FirstMonth;
        std::int32_t Offset; // era year = Western year − Offset
        const char16_t* Name;
    };
    static constexpr Era Eras[] = {{2019, 5, 2018, u"令和"},
                                   {1989, 1, 1988, u"平成"},
                                   {1926, 12, 1925, u"昭和"},
                                   {1912, 7, 1911, u"大正"},
                                   {1873, 1, 1867, u"明治"}};
    for (const Era& era : Eras) {
        if (year > era.FirstYear || (year == era.FirstYear && month >= era.FirstMonth))
            return TEraYear{QString::fromUtf16(era.Name), year - era.Offset};
    }
    return std::nullopt;
}

std::optional<TEraYear> EraOf(std::int32_t year) {
    // A year belongs to the era in force on its 31 December (1989 is 平成 1, 2019 is 令和 1).
    return EraOf(year, 12);
}

namespace {

bool IsStyle(int style) {
    return style >= 0 && style < TitleStyleCount;
}
bool IsMonth(int month) {
    return month >= 1 && month <= 12;
}

// The era year alone, or the Western year where no era year is counted.
QString EraNumber(std::int32_t year, int month = 12) {
    const std::optional<TEraYear> era = EraOf(year, month);
    return QString::number(era ? era->Year : year);
}

// Era name, a blank and the era year, or the Western year alone.
QString EraNameAndNumber(std::int32_t year, int month = 12) {
    const std::optional<TEraYear> era = EraOf(year, month);
    return era ? era->Name + u' ' + QString::number(era->Year) : QString::number(year);
}

// The month in the given digits followed by the name that the style adds to it.
QString MonthWithName(int style, const QString& number, int month) {
    switch (style) {
    case 1:
        return number + QStringLiteral("月 (") + EnglishMonthNames[month] + u')';
    case 4:
    case 5:
        return number + QStringLiteral("月 (") + TraditionalMonthNames[month] + u')';
    case 6:
        return EnglishMonthNames[month];
    case 7:
        return EnglishMonthAbbreviations[month];
    default: // 0, 2, 3
        return number + QStringLiteral("月");
    }
}

} // namespace

std::optional<QString> YearTitle(int style, std::int32_t year) {
    const QString y = QString::number(year);
    switch (style) {
    case 0:
        return y + QStringLiteral("年");
    case 1:
        return y + QStringLiteral(" 年 ");
    case 2:
    case 4:
        return EraNumber(year) + QStringLiteral(" 年 ");
    case 3:
    case 5:
        return EraNameAndNumber(year) + QStringLiteral(" 年 ");
    case 6:
    case 7:
        return y;
    default:
        return std::nullopt;
    }
}

std::optional<QString> MonthTitle(int style, int month) {
    if (!IsStyle(style) || !IsMonth(month))
        return std::nullopt;
    return MonthWithName(style, QString::number(month), month);
}

std::optional<QString> PrintedMonthTitle(int style, int month) {
    if (!IsStyle(style) || !IsMonth(month))
        return std::nullopt;
    return MonthWithName(style, FullWidthDigits(month), month);
}

std::optional<QString> SheetYearTitle(int style, std::int32_t year, int startMonth) {
    if (startMonth <= 1 || startMonth > 12)
        return YearTitle(style, year);
    if (!IsStyle(style))
        return std::nullopt;
    // The sheet runs from startMonth of `year` to the month before it in the next year.
    const std::int32_t endYear = year + 1;
    const int endMonth = startMonth - 1;
    const auto spaced = [](const QString& y, int m) {
        return QStringLiteral("%1 年 %2 月").arg(y).arg(m);
    };
    const QString wave = QStringLiteral("〜");
    switch (style) {
    case 0:
        return SheetSpanText(year, startMonth);
    case 1:
        return spaced(QString::number(year), startMonth) + u' ' + wave + u' ' +
               spaced(QString::number(endYear), endMonth) + u' ';
    case 2:
    case 4:
    case 3:
    case 5: {
        const bool named = style == 3 || style == 5;
        // A year from April is the fiscal and school year, named 年度 after the year it begins
        // in, as the year titles count it: 2019年度 is 令和 1 年度.
        if (startMonth == 4)
            return (named ? EraNameAndNumber(year) : EraNumber(year)) + QStringLiteral(" 年度 ");
        const auto end = [&](std::int32_t y, int m) {
            return spaced(named ? EraNameAndNumber(y, m) : EraNumber(y, m), m);
        };
        return end(year, startMonth) + u' ' + wave + u' ' + end(endYear, endMonth) + u' ';
    }
    case 6:
        return EnglishMonthNames[startMonth] + u' ' + QString::number(year) +
               QStringLiteral(" – ") + EnglishMonthNames[endMonth] + u' ' +
               QString::number(endYear);
    default: // 7
        return EnglishMonthAbbreviations[startMonth] + u' ' + QString::number(year) +
               QStringLiteral(" – ") + EnglishMonthAbbreviations[endMonth] + u' ' +
               QString::number(endYear);
    }
}
