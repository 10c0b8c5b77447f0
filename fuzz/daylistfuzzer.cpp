// Fuzzes the holiday rule lines: any lines parse into rules or stop at the conversion error,
// and every rule parsed answers for any date. The comma text that names a day splits back
// into the names it joined.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "calendar/holidaymodel.h"
#include "fuzzsupport.h"
#include "platform/commatext.h"
#include "platform/exception.h"
#include "platform/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = text.split(u'\n');

    TBinaryDayList items;
    try {
        ParseDayList(items, lines);
    } catch (const EConvertError&) {
        // A field that must be a number and is not stops the parse with the message.
    }
    Require(items.size() <= std::size_t(lines.size()));
    // A few dates across the year and across the Julian/Gregorian change.
    static constexpr struct {
        std::int32_t Year;
        std::uint8_t Month, Day;
    } dates[] = {{2024, 1, 1},  {2024, 2, 29},  {2025, 9, 22}, {1582, 10, 15},
                 {-4712, 1, 1}, {9999, 12, 31}, {2000, 1, 10}};
    for (const auto& item : items)
        for (const auto& d : dates)
            (void)item->IsMatch(d.Year, d.Month, d.Day);

    // Names as a day lists them: non-empty, no line end (the joined text is one line).
    QStringList names;
    for (const QString& line : lines) {
        QString name = line;
        name.remove(u'\0');
        if (!name.isEmpty())
            names << name;
    }
    Require(SplitCommaText(JoinCommaText(names)) == names);
    for (const QString& line : lines)
        (void)SplitCommaText(line);
    return 0;
}
