// The equinox days of the holiday law (春分日, 秋分日): the days in Japan on which the Sun's
// apparent longitude reaches 0° and 180°. Up to 2150 they come from Julius's closed formula,
// which matches the dates the National Astronomical Observatory publishes; from 2151, where
// the formula drifts from the Sun, from the 暦 engine's instants (docs/holidays.md).
#pragma once

#include <cstdint>

namespace EquinoxDays {

/// The last year whose equinox days the closed formula gives.
inline constexpr std::int32_t LastFormulaYear = 2150;
/// The last year whose equinox days the engine gives. Far after the present the day of an
/// instant near midnight depends on an extrapolated ΔT and is uncertain; after this year
/// (beyond the four-digit years the program offers) the closed formula answers again, as it
/// always did: no method knows those days.
inline constexpr std::int32_t LastEphemerisYear = 9999;

/// Where the equinox days of `year` come from.
enum class TSource : std::uint8_t { Formula, Ephemeris };
TSource SourceOf(std::int32_t year);

/// The day number of the vernal and of the autumnal equinox day of `year`. Raises
/// EJuliusError for years outside Julius's range.
std::int32_t VernalJD(std::int32_t year);
std::int32_t AutumnalJD(std::int32_t year);

} // namespace EquinoxDays
