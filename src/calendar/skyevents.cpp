// For the years checked against the outside reference the instants come from a table the
// build makes by running the theory once (skytable/, the same functions as skyroots.cpp, so
// the values are the same to the last bit): a year's 暦 then costs lookups instead of some
// three hundred evaluations of the lunar theory. Outside the table they are computed.

#include "skyevents.h"

#include <algorithm>
#include <cmath>

#include "skyroots.h"
#include "skytable/skytable.h"

namespace Koyomi {

namespace {

// The column of `degrees` in the table, or −1 when the table does not hold that longitude.
int SunColumn(double degrees) {
    const auto it = std::find(SkyTable::SunDegrees.begin(), SkyTable::SunDegrees.end(), degrees);
    return it == SkyTable::SunDegrees.end() ? -1
                                            : static_cast<int>(it - SkyTable::SunDegrees.begin());
}

} // namespace

std::int32_t JstDay(double jdUt) {
    return static_cast<std::int32_t>(std::floor(jdUt + 0.5 + 9.0 / 24.0));
}

double SunLongitudeInstant(int year, double degrees) {
    const int column = SunColumn(degrees);
    if (column >= 0 && year >= SkyTable::FirstYear && year <= SkyTable::LastYear)
        return SkyTable::SunInstants[static_cast<std::size_t>(year - SkyTable::FirstYear)]
                                    [static_cast<std::size_t>(column)];
    return ComputedSunLongitudeInstant(year, degrees);
}

double MoonPhaseInstant(int lunation, TLunarPhase phase) {
    const int row = lunation - SkyTable::FirstLunation;
    if (row >= 0 && row < static_cast<int>(SkyTable::PhaseInstants.size()))
        return SkyTable::PhaseInstants[static_cast<std::size_t>(row)]
                                      [static_cast<std::size_t>(phase)];
    return ComputedMoonPhaseInstant(lunation, phase);
}

int LunationAt(double jdUt) {
    int k = static_cast<int>(std::floor((jdUt - FirstNewMoonOf2000) / SynodicMonth));
    while (MoonPhaseInstant(k, TLunarPhase::NewMoon) > jdUt)
        --k;
    while (MoonPhaseInstant(k + 1, TLunarPhase::NewMoon) <= jdUt)
        ++k;
    return k;
}

} // namespace Koyomi
