// Prints the engine's instants for the reference check (koyomireference.py): one line per
// solar term and per moon phase of the years FROM..TO, "T year degrees jdUt deltaT" and
// "M lunation phase jdUt deltaT", the instants as Julian Days in UT, ΔT in seconds.

#include <cstdio>
#include <cstdlib>

#include "calendar/deltat.h"
#include "calendar/skyevents.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: koyomi_instants FROM TO\n");
        return 2;
    }
    const int from = std::atoi(argv[1]);
    const int to = std::atoi(argv[2]);
    for (int year = from; year <= to; ++year)
        for (int degrees = 0; degrees < 360; degrees += 15) {
            const double t = Koyomi::SunLongitudeInstant(year, degrees);
            std::printf("T %d %d %.8f %.3f\n", year, degrees, t, Koyomi::DeltaTSecondsAtJD(t));
        }
    // The lunations whose new moons fall in the years, with their other three phases.
    const double start = Koyomi::SunLongitudeInstant(from, 285.0) - 10.0;
    const double end = Koyomi::SunLongitudeInstant(to, 270.0) + 12.0;
    for (int k = Koyomi::LunationAt(start);; ++k) {
        const double newMoon = Koyomi::MoonPhaseInstant(k, Koyomi::TLunarPhase::NewMoon);
        if (newMoon > end)
            break;
        for (int phase = 0; phase < 4; ++phase) {
            const double t = Koyomi::MoonPhaseInstant(k, static_cast<Koyomi::TLunarPhase>(phase));
            std::printf("M %d %d %.8f %.3f\n", k, phase, t, Koyomi::DeltaTSecondsAtJD(t));
        }
    }
    return 0;
}
