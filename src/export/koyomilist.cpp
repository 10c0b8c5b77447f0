#include "koyomilist.h"

#include <QTextStream>

#include "calendar/julius.h"
#include "calendar/koyomi.h"
#include "platform/exception.h"

void ListKoyomi(std::int32_t fromYear, std::int32_t toYear, QTextStream& out,
                QStringList& warnings) {
    if (fromYear < Koyomi::FirstYear || toYear > Koyomi::LastYear) {
        throw Exception(QStringLiteral("暦は %1 年から %2 年までしか計算できません。")
                            .arg(Koyomi::FirstYear)
                            .arg(Koyomi::LastYear));
    }
    if (fromYear < Koyomi::FirstVerifiedYear || toYear > Koyomi::LastVerifiedYear) {
        warnings << QStringLiteral(
                        "%1 年より前と %2 年より後の暦は、外部の暦との照合をしていない計算値です。")
                        .arg(Koyomi::FirstVerifiedYear)
                        .arg(Koyomi::LastVerifiedYear);
    }
    for (std::int32_t year = fromYear; year <= toYear; ++year) {
        const Koyomi::TKoyomiYear koyomi(year);
        for (int m = 1; m <= 12; ++m) {
            const int days = Julius::DaysOfMonth(year, static_cast<std::uint8_t>(m));
            for (int d = 1; d <= days; ++d) {
                const Koyomi::TKoyomiDay& day = koyomi.Day(m, d);
                out << QStringLiteral("%1-%2-%3")
                           .arg(year, 4, 10, QLatin1Char('0'))
                           .arg(m, 2, 10, QLatin1Char('0'))
                           .arg(d, 2, 10, QLatin1Char('0'))
                    << u'\t' << Koyomi::LunarDateText(day) << u'\t'
                    << Koyomi::RokuyoName(day.Rokuyo) << u'\t'
                    << Koyomi::DayNames(day).join(QStringLiteral("・")) << u'\n';
            }
        }
    }
}
