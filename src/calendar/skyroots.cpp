// Each instant is the root of a longitude difference, found by the secant method from a mean
// motion's first guess: the Sun's mean year for the solar terms, the mean synodic month (Meeus,
// Astronomical Algorithms, ch. 49) for the phases. The differences are smooth and the guesses
// within a day or two, so five or six evaluations of the theory reach a hundredth of a second.

#include "skyroots.h"

#include <cmath>

#include "deltat.h"
#include "ephemeris.h"

namespace Koyomi {

namespace {

constexpr double TropicalYear = 365.242189;
constexpr double MarchEquinoxOf2000 = 2451623.80984; // JDE of the Sun at 0° in 2000
constexpr double SecondsPerDay = 86400.0;

// An angle brought into −180° ≤ a < 180°.
double Wrapped(double degrees) {
    const double a = std::fmod(degrees + 180.0, 360.0);
    return (a < 0.0 ? a + 360.0 : a) - 180.0;
}

// The root near `guess` of f, a smooth function of time that rises by about `rate` per day.
template <typename F> double SecantRoot(F f, double guess, double rate) {
    double x0 = guess;
    double f0 = f(x0);
    double x1 = x0 - f0 / rate;
    for (int i = 0; i < 30; ++i) {
        const double f1 = f(x1);
        if (f1 == f0)
            break;
        const double x2 = x1 - f1 * (x1 - x0) / (f1 - f0);
        x0 = x1;
        f0 = f1;
        x1 = x2;
        if (std::abs(x1 - x0) < 1e-7) // 0.009 s
            break;
    }
    return x1;
}

double ToUniversalTime(double jde) {
    return jde - DeltaTSecondsAtJD(jde) / SecondsPerDay;
}

} // namespace

double ComputedSunLongitudeInstant(int year, double degrees) {
    double guess =
        MarchEquinoxOf2000 + TropicalYear * (year - 2000) + degrees / 360.0 * TropicalYear;
    if (degrees >= 281.0)
        guess -= TropicalYear;
    const double jde =
        SecantRoot([degrees](double t) { return Wrapped(SunApparentLongitude(t) - degrees); },
                   guess, 360.0 / TropicalYear);
    return ToUniversalTime(jde);
}

double ComputedMoonPhaseInstant(int lunation, TLunarPhase phase) {
    const double quarter = static_cast<int>(phase);
    const double guess = FirstNewMoonOf2000 + SynodicMonth * (lunation + quarter / 4.0);
    const double target = 90.0 * quarter;
    const double jde = SecantRoot(
        [target](double t) {
            return Wrapped(MoonApparentLongitude(t) - SunApparentLongitude(t) - target);
        },
        guess, 360.0 / SynodicMonth);
    return ToUniversalTime(jde);
}

} // namespace Koyomi
