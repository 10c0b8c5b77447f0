// The old lunisolar calendar and the rokuyō. Old-calendar months follow the true new moons and
// cannot be derived by a short formula, so the first day of every month from 1989-12-28 on is
// kept as data in the embedded table JDOLDCAL; the last line only closes the table.

#include "julius.h"

#include <algorithm>

#include "platform/commatext.h"
#include "platform/resources.h"
#include "platform/stringlist.h"
#include "platform/sysutils.h"

namespace Julius {

std::vector<TJDOldMonth> ParseOldMonthTable(const QByteArray& text) {
    TStringList lines;
    lines.SetText(QString::fromLatin1(text));
    std::vector<TJDOldMonth> table;
    table.reserve(static_cast<std::size_t>(lines.Count()));
    for (const QString& line : lines.Lines()) {
        const QStringList fields = SplitCommaText(line);
        TJDOldMonth month;
        month.JulianDay = StrToInt(fields.value(0));
        month.Month = StrToInt(fields.value(1));
        table.push_back(month);
    }
    return table;
}

const std::vector<TJDOldMonth>& OldMonthList() {
    static const std::vector<TJDOldMonth> table =
        ParseOldMonthTable(LoadRawResource(QStringLiteral("JDOLDCAL")));
    return table;
}

void JDToOldDate(std::int32_t jd, std::uint8_t& oldMonth, std::uint8_t& oldDay) {
    oldMonth = 0;
    oldDay = 0;
    const std::vector<TJDOldMonth>& table = OldMonthList();
    if (table.empty() || jd < table.front().JulianDay || jd >= table.back().JulianDay)
        return;
    // The month holding jd is the last one that starts on or before it; the table is sorted.
    const auto next = std::upper_bound(
        table.begin(), table.end(), jd,
        [](std::int32_t day, const TJDOldMonth& month) { return day < month.JulianDay; });
    const TJDOldMonth& month = *(next - 1);
    oldMonth = static_cast<std::uint8_t>(month.Month);
    oldDay = static_cast<std::uint8_t>(jd - month.JulianDay + 1);
}

std::uint8_t JDRokuyo(std::int32_t jd) {
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    JDToOldDate(jd, month, day);
    if (month == 0)
        return 0;
    if (month > 100)
        month -= 100; // a leap month counts as the month it repeats
    // 先勝 on the first day of months 1 and 7, 友引 on the first of 2 and 8, and so on; within a
    // month the cycle advances by one each day.
    return static_cast<std::uint8_t>((month - 1 + day - 1) % 6 + 1);
}

const std::array<QString, 7> RokuyoNames = {
    QStringLiteral("不明"), QStringLiteral("先勝"), QStringLiteral("友引"), QStringLiteral("先負"),
    QStringLiteral("仏滅"), QStringLiteral("大安"), QStringLiteral("赤口")};

} // namespace Julius
