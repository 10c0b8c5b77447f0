// Where the Sun and the Moon stand, seen from the centre of the Earth: the one place the
// program asks an astronomical theory. A small wrapper of libnova, whose Earth is VSOP87 and
// whose Moon is ELP 2000-82B; it adds what libnova leaves to its caller (the Moon referred to
// the equinox of date, nutation, the light-time of the Moon).
#pragma once

namespace Koyomi {

/// The Sun's apparent geocentric ecliptic longitude, in degrees 0 ≤ λ < 360, referred to the
/// true equinox of date, at an instant in Terrestrial Time (Julian Ephemeris Day).
double SunApparentLongitude(double jde);

/// The Moon's apparent geocentric ecliptic longitude, the same way.
double MoonApparentLongitude(double jde);

} // namespace Koyomi
