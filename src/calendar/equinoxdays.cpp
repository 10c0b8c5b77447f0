// The equinox days of the holiday law, from the formula or from the engine by year.

#include "equinoxdays.h"

#include "julius.h"
#include "skyevents.h"

namespace EquinoxDays {

namespace {

// The day in Japan of the engine's instant of the Sun at `degrees`.
std::int32_t EngineDay(std::int32_t year, double degrees) {
    return Koyomi::JstDay(Koyomi::SunLongitudeInstant(year, degrees));
}

} // namespace

TSource SourceOf(std::int32_t year) {
    return year > LastFormulaYear && year <= LastEphemerisYear ? TSource::Ephemeris
                                                               : TSource::Formula;
}

std::int32_t VernalJD(std::int32_t year) {
    if (SourceOf(year) == TSource::Ephemeris)
        return EngineDay(year, 0.0);
    return Julius::VernalEquinoxJD(year);
}

std::int32_t AutumnalJD(std::int32_t year) {
    if (SourceOf(year) == TSource::Ephemeris)
        return EngineDay(year, 180.0);
    return Julius::AutumnalEquinoxJD(year);
}

} // namespace EquinoxDays
