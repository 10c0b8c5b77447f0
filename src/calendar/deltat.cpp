// ΔT by Espenak and Meeus ("Five Millennium Canon of Solar Eclipses", NASA/TP-2006-214141),
// whose polynomials follow the observed values to about a second from 1700 to 2005; after 2005
// the values observed by the IERS at the start of each year; after the last of them a
// documented guess (docs/koyomi.md): Espenak and Meeus's own extrapolation, moved to meet the
// last observed value and returning to it by 2050, because the Earth's rotation has
// run faster since 2016 than their 2005 forecast assumed.

#include "deltat.h"

#include <array>
#include <cmath>

namespace Koyomi {

namespace {

// TT − UT at the start of the years 2005 .. 2025 (IERS Rapid Service, rounded to 0.01 s).
constexpr int FirstObservedYear = 2005;
constexpr std::array<double, 21> Observed = {64.69, 64.85, 65.15, 65.46, 65.78, 66.07, 66.32,
                                             66.60, 66.91, 67.28, 67.64, 68.10, 68.59, 68.97,
                                             69.22, 69.36, 69.36, 69.29, 69.20, 69.18, 69.14};
constexpr double LastObservedYear = FirstObservedYear + Observed.size() - 1;

// The long-term parabola of Morrison and Stephenson, on which the polynomials rest far from
// the observed centuries.
double LongTerm(double y) {
    const double u = (y - 1820.0) / 100.0;
    return -20.0 + 32.0 * u * u;
}

// Espenak and Meeus's expressions, each for its own span of years.
double Polynomial(double y) {
    if (y < 1600.0)
        return LongTerm(y);
    if (y < 1700.0) {
        const double t = y - 1600.0;
        return 120.0 - 0.9808 * t - 0.01532 * t * t + t * t * t / 7129.0;
    }
    if (y < 1800.0) {
        const double t = y - 1700.0;
        return 8.83 + 0.1603 * t - 0.0059285 * t * t + 0.00013336 * t * t * t -
               std::pow(t, 4) / 1174000.0;
    }
    if (y < 1860.0) {
        const double t = y - 1800.0;
        return 13.72 - 0.332447 * t + 0.0068612 * t * t + 0.0041116 * std::pow(t, 3) -
               0.00037436 * std::pow(t, 4) + 0.0000121272 * std::pow(t, 5) -
               0.0000001699 * std::pow(t, 6) + 0.000000000875 * std::pow(t, 7);
    }
    if (y < 1900.0) {
        const double t = y - 1860.0;
        return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * std::pow(t, 3) -
               0.0004473624 * std::pow(t, 4) + std::pow(t, 5) / 233174.0;
    }
    if (y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * std::pow(t, 3) -
               0.000197 * std::pow(t, 4);
    }
    if (y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * std::pow(t, 3);
    }
    if (y < 1961.0) {
        const double t = y - 1950.0;
        return 29.07 + 0.407 * t - t * t / 233.0 + std::pow(t, 3) / 2547.0;
    }
    if (y < 1986.0) {
        const double t = y - 1975.0;
        return 45.45 + 1.067 * t - t * t / 260.0 - std::pow(t, 3) / 718.0;
    }
    if (y < 2005.0) {
        const double t = y - 2000.0;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * std::pow(t, 3) +
               0.000651814 * std::pow(t, 4) + 0.00002373599 * std::pow(t, 5);
    }
    if (y < 2050.0) {
        const double t = y - 2000.0;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    if (y < 2150.0)
        return LongTerm(y) - 0.5628 * (2150.0 - y);
    return LongTerm(y);
}

// Where the forecast meets the observations: the last observed value less the polynomial there.
constexpr double ReturnYear = 2050.0;

} // namespace

double DeltaTSeconds(double decimalYear) {
    const double y = decimalYear;
    if (y < FirstObservedYear)
        return Polynomial(y);
    if (y <= LastObservedYear) {
        const double offset = y - FirstObservedYear;
        const auto i = static_cast<std::size_t>(offset);
        if (i + 1 >= Observed.size())
            return Observed.back();
        const double f = offset - static_cast<double>(i);
        return Observed[i] + f * (Observed[i + 1] - Observed[i]);
    }
    if (y < ReturnYear) {
        const double gap = Observed.back() - Polynomial(LastObservedYear);
        return Polynomial(y) + gap * (ReturnYear - y) / (ReturnYear - LastObservedYear);
    }
    return Polynomial(y);
}

double DeltaTSecondsAtJD(double jdUt) {
    // 2451544.5 is 2000-01-01 0h; a Julian year of 365.25 days is close enough for a quantity
    // that changes by well under a second a year.
    return DeltaTSeconds(2000.0 + (jdUt - 2451544.5) / 365.25);
}

} // namespace Koyomi
