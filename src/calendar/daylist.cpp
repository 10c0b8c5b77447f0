// Holiday and special-day rule lines: their parse and their match against a date.
#include "holidaymodel.h"

#include "julius.h"
#include "platform/commatext.h"
#include "platform/sysutils.h"

namespace {

// A byte field keeps the low eight bits of its number, as the rule lines were always read.
std::uint8_t ByteField(const QString& text) {
    return static_cast<std::uint8_t>(StrToInt(text));
}

} // namespace

void ParseDayList(TBinaryDayList& items, const QStringList& lines) {
    items.clear();
    for (const QString& line : lines) {
        const QStringList f = SplitCommaText(line);
        if (f.size() < 3 || f.size() > 7)
            continue;
        // The item is in the list before its fields are read, so that a bad field leaves the
        // fields read so far behind, and the error stops the parse right there.
        items.push_back(std::make_unique<TBinaryDayListItem>());
        TBinaryDayListItem& item = *items.back();

        // 5 and 6 fields: Year and Mode before the 3- and 4-field layout.
        const bool limited = f.size() == 5 || f.size() == 6;
        const int base = limited ? 2 : 0;
        switch (f.size()) {
        case 3:
        case 5:
            item.FMonth = ByteField(f[base]);
            item.FDay = ByteField(f[base + 1]);
            item.FName = f[base + 2];
            break;
        case 4:
        case 6:
            item.FMonth = ByteField(f[base]);
            item.FWeek = ByteField(f[base + 1]);
            item.FDayOfWeek = ByteField(f[base + 2]);
            item.FName = f[base + 3];
            break;
        case 7: {
            // The general form: every number may be left empty. Note that DayOfWeek comes
            // before Week here, the other way round from the short forms.
            if (!f[0].isEmpty())
                item.FStartYear = StrToInt(f[0]);
            if (!f[1].isEmpty())
                item.FEndYear = StrToInt(f[1]);
            if (!f[2].isEmpty())
                item.FMonth = ByteField(f[2]);
            if (!f[3].isEmpty())
                item.FDay = ByteField(f[3]);
            if (!f[4].isEmpty())
                item.FDayOfWeek = ByteField(f[4]);
            if (!f[5].isEmpty())
                item.FWeek = ByteField(f[5]);
            item.FName = f[6];
            break;
        }
        }
        if (limited) {
            // Mode is compared as text; with any other Mode the Year field is not read at all.
            const QString& mode = f[1];
            if (mode == u"0") {
                item.FStartYear = item.FEndYear = StrToInt(f[0]);
            } else if (mode == u"1") {
                item.FEndYear = StrToInt(f[0]);
            } else if (mode == u"2") {
                item.FStartYear = StrToInt(f[0]);
            }
        }
    }
}

bool TBinaryDayListItem::IsMatch(std::int32_t year, std::uint8_t month, std::uint8_t day) const {
    const bool hasStart = FStartYear != NoYearBound;
    const bool hasEnd = FEndYear != NoYearBound;
    if (hasStart && hasEnd) {
        if (FEndYear >= FStartYear) {
            if (year < FStartYear || year > FEndYear)
                return false;
        } else if (year < FStartYear && year > FEndYear) {
            // An end before the start wraps: the rule holds outside the gap between them.
            return false;
        }
    } else if (hasEnd) {
        if (year > FEndYear)
            return false;
    } else if (hasStart) {
        if (year < FStartYear)
            return false;
    }
    if (FMonth != 0 && month != FMonth)
        return false;
    if (FDay != 0 && day != FDay)
        return false;
    // A week without a day of the week has no effect.
    if (FDayOfWeek == 0)
        return true;
    if (Julius::JDDayOfWeek(Julius::YMDToJD(year, month, day)) != FDayOfWeek)
        return false;
    return FWeek == 0 || (day - 1) / 7 + 1 == FWeek;
}
