// Equinox days and the traditional name tables.
//
// The equinox dates come from a closed-form approximation of the Sun's apparent longitude
// reaching 0° and 180°: a linear mean term with a small quadratic drift and six periodic terms
// of the principal planetary perturbations. The constants already include the offset that
// makes the truncated value the civil date at Japan Standard Time (UTC+9), so the result is the
// day number of the equinox day in Japan. Within 1800..3100 the value before truncation never
// lies within 0.0002 of an integer, so the dates there do not depend on the precision used;
// they agree with the National Astronomical Observatory of Japan's published dates.

#include "julius.h"
#include "julius_p.h"

#include <cmath>

namespace Julius {

namespace {

constexpr long double Pi = 3.14159265358979323851L;

// Sine of an angle in degrees. An argument that cannot be reduced counts as 0, as on the
// hardware the formula was first run on.
long double S(long double degrees) {
    const long double value = std::sin(degrees / 180.0L * Pi);
    return std::isfinite(value) ? value : 0.0L;
}

bool SameMonthAndDay(std::int32_t jd, std::uint8_t month, std::uint8_t day) {
    std::int32_t y = 0;
    std::uint8_t m = 0;
    std::uint8_t d = 0;
    JDToYMD(jd, y, m, d);
    return m == month && d == day;
}

} // namespace

std::int32_t VernalEquinoxJD(std::int32_t year) {
    // The quadratic term would overflow the day number far outside the served years.
    Detail::CheckYear(year);
    const long double b = year - 2000;
    long double p = 0.002L * (S(321 - 30.37L * b) + S(0.19L * b + 249) + S(202 - 132.57L * b) +
                              S(84 - 90.37L * b)) -
                    0.00004871850323926L * b;
    p = p + 0.001L * S(132 - 134.81L * b);
    const double held = static_cast<double>(p + 0.005L * S(239 - 19.34L * b));
    const double t = static_cast<double>(1e-7L * b * b - held);
    return static_cast<std::int32_t>(std::trunc(2451624.683L + 365.24229L * b + t));
}

std::int32_t AutumnalEquinoxJD(std::int32_t year) {
    // The quadratic term would overflow the day number far outside the served years.
    Detail::CheckYear(year);
    const long double b = year - 2000;
    // The linear term's sign is the opposite of the vernal one.
    long double p = 0.002L * (S(485 - 30.37L * b) + S(0.19L * b + 249) + S(268.2L - 132.57L * b) +
                              S(309.2L - 90.37L * b)) +
                    0.00004871850323926L * b;
    p = p + 0.001L * S(244.6L - 134.81L * b);
    const double held = static_cast<double>(p + 0.005L * S(248.6L - 19.34L * b));
    const double t = static_cast<double>(1e-7L * b * b - held);
    return static_cast<std::int32_t>(std::trunc(2451811.096L + 365.24206L * b + t));
}

bool IsVernalEquinoxDay(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    return SameMonthAndDay(VernalEquinoxJD(year), month, day);
}

bool IsAutumnalEquinoxDay(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    return SameMonthAndDay(AutumnalEquinoxJD(year), month, day);
}

// The ten heavenly stems, the twelve earthly branches and the 24 solar terms from the vernal
// equinox on.
const std::array<QString, 10> StemNames = {
    QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁"),
    QStringLiteral("戊"), QStringLiteral("己"), QStringLiteral("庚"), QStringLiteral("辛"),
    QStringLiteral("壬"), QStringLiteral("癸")};

const std::array<QString, 12> BranchNames = {
    QStringLiteral("子"), QStringLiteral("丑"), QStringLiteral("寅"), QStringLiteral("卯"),
    QStringLiteral("辰"), QStringLiteral("巳"), QStringLiteral("午"), QStringLiteral("未"),
    QStringLiteral("申"), QStringLiteral("酉"), QStringLiteral("戌"), QStringLiteral("亥")};

const std::array<QString, 24> SolarTermNames = {
    QStringLiteral("春分"), QStringLiteral("清明"), QStringLiteral("穀雨"), QStringLiteral("立夏"),
    QStringLiteral("小満"), QStringLiteral("芒種"), QStringLiteral("夏至"), QStringLiteral("小暑"),
    QStringLiteral("大暑"), QStringLiteral("立秋"), QStringLiteral("処暑"), QStringLiteral("白露"),
    QStringLiteral("秋分"), QStringLiteral("寒露"), QStringLiteral("霜降"), QStringLiteral("立冬"),
    QStringLiteral("小雪"), QStringLiteral("大雪"), QStringLiteral("冬至"), QStringLiteral("小寒"),
    QStringLiteral("大寒"), QStringLiteral("立春"), QStringLiteral("雨水"), QStringLiteral("啓蟄")};

} // namespace Julius
