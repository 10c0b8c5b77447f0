// Fuzzes the iCalendar import: any bytes are imported or refused with the user's message, and
// every day imported falls on a real date (or on none) in the sheet's year.
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "days/icalendarimport.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const TCalendarImport import = ImportICalendar(bytes, 2027, QStringLiteral("fuzz.ics"));
        for (const TFamilyDay& day : import.Days) {
            Require(!day.Name.isEmpty());
            const std::optional<QDate> date = OccurrenceIn(day, 2027);
            Require(!date || (date->isValid() && date->year() == 2027));
        }
    } catch (const EFamilyDaysError& e) {
        Require(e.Message().contains(QStringLiteral("fuzz.ics")));
    }
    return 0;
}
