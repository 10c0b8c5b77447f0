// The Japanese lunisolar calendar as the 天保暦 rules define it with modern astronomy, the way
// the National Astronomical Observatory of Japan computes it: a month begins on the day (in
// Japan) of a new moon; the month holding 冬至 is the 11th; when 13 months begin between one
// 冬至 month and the next, the first of them without a 中気 (the Sun at a multiple of 30°) is
// the leap month, numbered as the month before it. In 2033 this rule picks 閏11月 (the month
// from 2033-12-22), the answer Japan's calendar makers recommend for the "2033 problem".

#include "koyomi.h"

#include <algorithm>
#include <stdexcept>

#include "julius.h"

namespace Koyomi {

namespace {

// The civil day in Japan whose last moment is just before the JST midnight ending day `day`.
double EndOfJstDay(std::int32_t day) {
    return day + 0.5 - 9.0 / 24.0 - 1e-9;
}

std::int32_t WinterSolsticeDay(int year) {
    return JstDay(SunLongitudeInstant(year, 270.0));
}

// The days of 中気 from 冬至 of `year` − 1 to 冬至 of `year` + 1.
std::vector<std::int32_t> PrincipalTermDays(int year) {
    std::vector<std::int32_t> days;
    for (int y = year - 1; y <= year + 1; ++y)
        for (int degrees = 0; degrees < 360; degrees += 30)
            days.push_back(JstDay(SunLongitudeInstant(y, degrees)));
    std::sort(days.begin(), days.end());
    return days;
}

bool HoldsPrincipalTerm(const std::vector<std::int32_t>& termDays, std::int32_t first,
                        std::int32_t next) {
    const auto it = std::lower_bound(termDays.begin(), termDays.end(), first);
    return it != termDays.end() && *it < next;
}

// 社日: the 戊 day nearest the equinox day; of two equally near, the earlier when the Sun
// crosses before noon in Japan.
std::int32_t ShanichiDay(double equinoxUt) {
    const std::int32_t day = JstDay(equinoxUt);
    const int sinceBo = ((day + 9) % 10 - 4 + 10) % 10; // stem 戊 is the fifth
    if (sinceBo < 5)
        return day - sinceBo;
    if (sinceBo > 5)
        return day + (10 - sinceBo);
    const double jst = equinoxUt + 0.5 + 9.0 / 24.0;
    const bool beforeNoon = jst - std::floor(jst) < 0.5;
    return beforeNoon ? day - 5 : day + 5;
}

const std::array<QString, 6> RokuyoNames = {QStringLiteral("大安"), QStringLiteral("赤口"),
                                            QStringLiteral("先勝"), QStringLiteral("友引"),
                                            QStringLiteral("先負"), QStringLiteral("仏滅")};

const std::array<QString, 4> PhaseNames = {QStringLiteral("新月"), QStringLiteral("上弦"),
                                           QStringLiteral("満月"), QStringLiteral("下弦")};

const std::array<QString, 10> ZassetsuNameTable = {
    QStringLiteral("節分"),      QStringLiteral("彼岸入り"), QStringLiteral("彼岸明け"),
    QStringLiteral("社日"),      QStringLiteral("土用入り"), QStringLiteral("八十八夜"),
    QStringLiteral("入梅"),      QStringLiteral("半夏生"),   QStringLiteral("二百十日"),
    QStringLiteral("二百二十日")};

} // namespace

QString RokuyoName(TRokuyo rokuyo) {
    return RokuyoNames.at(static_cast<std::size_t>(rokuyo));
}

QString MoonPhaseName(TLunarPhase phase) {
    return PhaseNames.at(static_cast<std::size_t>(phase));
}

QStringList ZassetsuNames(std::uint16_t zassetsu) {
    QStringList names;
    for (std::size_t bit = 0; bit < ZassetsuNameTable.size(); ++bit)
        if (zassetsu & (1u << bit))
            names << ZassetsuNameTable[bit];
    return names;
}

QString LunarDateText(const TKoyomiDay& day) {
    if (!day.Known())
        return {};
    return QStringLiteral("旧%1%2月%3日")
        .arg(day.LeapMonth ? QStringLiteral("閏") : QString())
        .arg(day.LunarMonth)
        .arg(day.LunarDay);
}

QStringList DayNames(const TKoyomiDay& day) {
    QStringList names;
    if (day.SolarTerm >= 0)
        names << Julius::SolarTermNames.at(static_cast<std::size_t>(day.SolarTerm));
    if (day.MoonPhase >= 0)
        names << MoonPhaseName(static_cast<TLunarPhase>(day.MoonPhase));
    names << ZassetsuNames(day.Zassetsu);
    return names;
}

std::vector<TLunarMonth> LunarMonthsAround(int year) {
    const std::array<std::int32_t, 3> solstices = {
        WinterSolsticeDay(year - 1), WinterSolsticeDay(year), WinterSolsticeDay(year + 1)};
    const int firstLunation = LunationAt(EndOfJstDay(solstices[0]));
    const int lastLunation = LunationAt(EndOfJstDay(solstices[2]));

    // One more new moon than months, so that every month knows where it ends.
    std::vector<std::int32_t> starts;
    for (int k = firstLunation; k <= lastLunation + 1; ++k)
        starts.push_back(JstDay(MoonPhaseInstant(k, TLunarPhase::NewMoon)));
    const std::vector<std::int32_t> termDays = PrincipalTermDays(year);

    const auto monthHolding = [&starts](std::int32_t day) {
        return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), day) -
                                starts.begin()) -
               1;
    };
    std::vector<TLunarMonth> months(starts.size() - 1);
    for (std::size_t i = 0; i < months.size(); ++i)
        months[i].FirstDay = starts[i];
    for (int cycle = 0; cycle < 2; ++cycle) {
        const int from = monthHolding(solstices[cycle]);
        const int to = monthHolding(solstices[cycle + 1]);
        const bool leapYear = to - from == 13;
        bool leapTaken = false;
        int number = 11;
        months[from].Month = 11;
        for (int i = from + 1; i <= to; ++i) {
            const bool leap =
                leapYear && !leapTaken && !HoldsPrincipalTerm(termDays, starts[i], starts[i + 1]);
            if (leap)
                leapTaken = true;
            else
                number = number % 12 + 1;
            months[i].Month = static_cast<std::uint8_t>(number);
            months[i].Leap = leap;
        }
    }
    return months;
}

TKoyomiYear::TKoyomiYear(int year) : FYear(year) {
    FFirstDay = Julius::YMDToJD(year, 1, 1);
    const std::int32_t end = Julius::YMDToJD(year + 1, 1, 1);
    FDays.resize(static_cast<std::size_t>(end - FFirstDay));
    if (!Known())
        return;
    const auto at = [this, end](std::int32_t day) -> TKoyomiDay* {
        return day >= FFirstDay && day < end ? &FDays[static_cast<std::size_t>(day - FFirstDay)]
                                             : nullptr;
    };

    const std::vector<TLunarMonth> months = LunarMonthsAround(year);
    for (std::int32_t jd = FFirstDay; jd < end; ++jd) {
        const auto next = std::upper_bound(
            months.begin(), months.end(), jd,
            [](std::int32_t day, const TLunarMonth& m) { return day < m.FirstDay; });
        const TLunarMonth& month = *(next - 1);
        TKoyomiDay& day = *at(jd);
        day.LunarMonth = month.Month;
        day.LeapMonth = month.Leap;
        day.LunarDay = static_cast<std::uint8_t>(jd - month.FirstDay + 1);
        day.Rokuyo = static_cast<TRokuyo>((day.LunarMonth + day.LunarDay) % 6);
    }

    std::array<double, 24> terms{};
    for (int i = 0; i < 24; ++i) {
        terms[static_cast<std::size_t>(i)] = SunLongitudeInstant(year, 15.0 * i);
        if (TKoyomiDay* day = at(JstDay(terms[static_cast<std::size_t>(i)])))
            day->SolarTerm = static_cast<std::int8_t>(i);
    }

    const int firstLunation = LunationAt(FFirstDay - 0.5) - 1;
    for (int k = firstLunation; k <= firstLunation + 14; ++k)
        for (int phase = 0; phase < 4; ++phase)
            if (TKoyomiDay* day = at(JstDay(MoonPhaseInstant(k, static_cast<TLunarPhase>(phase)))))
                day->MoonPhase = static_cast<std::int8_t>(phase);

    const auto mark = [&at](std::int32_t jd, TZassetsu what) {
        if (TKoyomiDay* day = at(jd))
            day->Zassetsu |= what;
    };
    const std::int32_t risshun = JstDay(terms[21]); // 立春, the Sun at 315°
    mark(risshun - 1, zsSetsubun);
    mark(risshun + 87, zsHachijuHachiya);
    mark(risshun + 209, zsNihyakuToka);
    mark(risshun + 219, zsNihyakuHatsuka);
    for (const double equinox : {terms[0], terms[12]}) {
        mark(JstDay(equinox) - 3, zsHiganStart);
        mark(JstDay(equinox) + 3, zsHiganEnd);
        mark(ShanichiDay(equinox), zsShanichi);
    }
    for (const double degrees : {27.0, 117.0, 207.0, 297.0})
        mark(JstDay(SunLongitudeInstant(year, degrees)), zsDoyoStart);
    mark(JstDay(SunLongitudeInstant(year, 80.0)), zsNyubai);
    mark(JstDay(SunLongitudeInstant(year, 100.0)), zsHangesho);
}

const TKoyomiDay& TKoyomiYear::Day(int month, int day) const {
    if (month < 1 || month > 12 || day < 1 ||
        day > Julius::DaysOfMonth(FYear, static_cast<std::uint8_t>(month)))
        throw std::out_of_range("no such date");
    const std::int32_t jd =
        Julius::YMDToJD(FYear, static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(day));
    return FDays.at(static_cast<std::size_t>(jd - FFirstDay));
}

} // namespace Koyomi
