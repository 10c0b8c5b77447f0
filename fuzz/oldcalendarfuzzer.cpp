// Fuzzes the loader of the old-calendar table: any text gives one month per line or the
// conversion error, never anything else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "calendar/julius.h"
#include "platform/stringlist.h"
#include "platform/sysutils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const std::vector<Julius::TJDOldMonth> table = Julius::ParseOldMonthTable(text);
        TStringList lines;
        lines.SetText(QString::fromLatin1(text));
        if (table.size() != std::size_t(lines.Count()))
            std::abort();
    } catch (const EConvertError&) {
        // "'%s' は整数ではありません": a damaged table stops the program's start with this.
    }
    return 0;
}
