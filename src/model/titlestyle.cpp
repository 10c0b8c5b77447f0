#include "titlestyle.h"

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

std::optional<TEraYear> EraOf(std::int32_t year) {
    // A year belongs to the era in force on its 31 December (1989 is 平成 1, 2019 is 令和 1).
    // Before 1873 Japan kept the old lunisolar calendar, whose years do not line up with
    // Western years; from then on 明治 6 is 1873.
    struct Era {
        std::int32_t FirstYear; // first Western year counted in this era
        std::int32_t Offset;    // era year = Western year − Offset
        const char16_t* Name;
    };
    static constexpr Era Eras[] = {{2019, 2018, u"令和"},
                                   {1989, 1988, u"平成"},
                                   {1926, 1925, u"昭和"},
                                   {1912, 1911, u"大正"},
                                   {1873, 1867, u"明治"}};
    for (const Era& era : Eras) {
        if (year >= era.FirstYear)
            return TEraYear{QString::fromUtf16(era.Name), year - era.Offset};
    }
    return std::nullopt;
}

namespace {

bool IsStyle(int style) {
    return style >= 0 && style < TitleStyleCount;
}
bool IsMonth(int month) {
    return month >= 1 && month <= 12;
}

// The era year alone, or the Western year where no era year is counted.
QString EraNumber(std::int32_t year) {
    const std::optional<TEraYear> era = EraOf(year);
    return QString::number(era ? era->Year : year);
}

// Era name, a blank and the era year, or the Western year alone.
QString EraNameAndNumber(std::int32_t year) {
    const std::optional<TEraYear> era = EraOf(year);
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
