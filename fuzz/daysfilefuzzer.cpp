// Fuzzes the days file: any bytes read without failing; what is read and written again reads
// back to the same days, and writing that once more gives the same bytes; every day read falls
// on a real date (or on none) in any year.
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "days/daysfile.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TDaysFile file = ParseDaysFile(bytes);
    const QByteArray written = FormatDaysFile(file);
    const TDaysFile again = ParseDaysFile(written);
    Require(again.Days == file.Days);
    Require(FormatDaysFile(again) == written);
    for (const TFamilyDay& day : file.Days)
        for (const int year : {1, 2027, 2028, 2100, 9999}) {
            const std::optional<QDate> date = OccurrenceIn(day, year);
            Require(!date || (date->isValid() && date->year() == year));
            (void)SheetLabel(day, year);
        }
    return 0;
}
