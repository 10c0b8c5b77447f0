// libnova gives the Sun (VSOP87) and the Moon (ELP 2000-82B) geometric and referred to the mean
// ecliptic and equinox of J2000; its "apparent" Sun adds nutation and aberration but leaves out
// precession, which puts it a quarter of a degree (six hours) off by 2017. Both bodies are
// brought to the true equinox of date here: precession by the rigorous ecliptic formulas of
// Meeus (Astronomical Algorithms, eq. 21.5, from J2000), nutation in longitude (IAU 2000B, by
// ERFA: libnova's own nutation reuses its last value for any instant within a tenth of a day,
// so its results would depend on what was asked before), and the aberration of light, 20.4898″ / R
// for the Sun; for the Moon the light-time, during which it moves a nearly constant 0.70″.

#include "ephemeris.h"

#include <cmath>

#include <erfa.h>
#include <libnova/lunar.h>
#include <libnova/solar.h>

namespace Koyomi {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Radians = Pi / 180.0;
constexpr double ArcSecond = 1.0 / 3600.0;

// The ELP series are cut at terms below 1e-7 radian (0.02″): a twentieth of the time the whole
// series takes, and a longitude within 0.01″ of it.
constexpr double LunarSeriesCut = 1e-7;

constexpr double MoonLightTime = -0.70 * ArcSecond;

double Normalised(double degrees) {
    const double d = std::fmod(degrees, 360.0);
    return d < 0.0 ? d + 360.0 : d;
}

// Ecliptic longitude of a body at (λ0, β0) on the J2000 ecliptic, referred to the mean ecliptic
// and equinox of the date `jde`.
double PrecessedFromJ2000(double lambda0, double beta0, double jde) {
    const double t = (jde - 2451545.0) / 36525.0;
    const double eta = (47.0029 * t - 0.03302 * t * t + 0.000060 * t * t * t) * ArcSecond;
    const double pi = 174.876384 + (-869.8089 * t + 0.03536 * t * t) * ArcSecond;
    const double p = (5029.0966 * t + 1.11113 * t * t - 0.000006 * t * t * t) * ArcSecond;
    const double l = (pi - lambda0) * Radians;
    const double b = beta0 * Radians;
    const double e = eta * Radians;
    const double a = std::cos(e) * std::cos(b) * std::sin(l) - std::sin(e) * std::sin(b);
    const double c = std::cos(b) * std::cos(l);
    return p + pi - std::atan2(a, c) / Radians;
}

// Nutation in longitude at `jde`, in degrees.
double Nutation(double jde) {
    double dpsi = 0.0;
    double deps = 0.0;
    eraNut00b(2451545.0, jde - 2451545.0, &dpsi, &deps);
    return dpsi / Radians;
}

} // namespace

double SunApparentLongitude(double jde) {
    ln_helio_posn sun{};
    ln_get_solar_geom_coords(jde, &sun);
    const double aberration = -20.4898 * ArcSecond / sun.R;
    return Normalised(PrecessedFromJ2000(sun.L, sun.B, jde) + Nutation(jde) + aberration);
}

double MoonApparentLongitude(double jde) {
    ln_lnlat_posn moon{};
    ln_get_lunar_ecl_coords(jde, &moon, LunarSeriesCut);
    return Normalised(PrecessedFromJ2000(moon.lng, moon.lat, jde) + Nutation(jde) + MoonLightTime);
}

} // namespace Koyomi
