// Prints the equinox days of the holiday law for the reference check (equinoxreference.py):
// one line per year of FROM..TO, "year source vernalDay autumnalDay vernalUt autumnalUt
// deltaT", the days as day numbers, the engine's instants of 0° and 180° as Julian Days in UT
// and ΔT at the autumnal one in seconds. source is F (closed formula) or E (engine).

#include <cstdio>
#include <cstdlib>

#include "calendar/deltat.h"
#include "calendar/equinoxdays.h"
#include "calendar/skyevents.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: equinox_days FROM TO\n");
        return 2;
    }
    const int from = std::atoi(argv[1]);
    const int to = std::atoi(argv[2]);
    for (int year = from; year <= to; ++year) {
        const double vernal = Koyomi::SunLongitudeInstant(year, 0.0);
        const double autumnal = Koyomi::SunLongitudeInstant(year, 180.0);
        const bool engine = EquinoxDays::SourceOf(year) == EquinoxDays::TSource::Ephemeris;
        std::printf("%d %c %d %d %.8f %.8f %.3f\n", year, engine ? 'E' : 'F',
                    EquinoxDays::VernalJD(year), EquinoxDays::AutumnalJD(year), vernal, autumnal,
                    Koyomi::DeltaTSecondsAtJD(autumnal));
    }
    return 0;
}
