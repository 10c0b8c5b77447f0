#!/usr/bin/python3
"""Checks the engine's instants of the solar terms and moon phases, 1900-2100, against PyEphem
(Debian's python3-ephem, the XEphem astronomy library: its own VSOP87 and lunar theory, its own
root finding, its own ΔT). The two are compared in Terrestrial Time, where only the theories
differ; then the civil days in Japan are compared in Universal Time, where ΔT differs too.

Usage: koyomireference.py KOYOMI_INSTANTS [FROM TO]
"""
import math
import subprocess
import sys

import ephem

from jsttime import EPHEM_EPOCH, LIMIT_SECONDS, jst_day, jst_text


# Instants so near midnight in Japan that the two ΔT decide the day; each is the engine's
# instant in JST. The day the engine gives is the one its ΔT gives (docs/koyomi.md).
NEAR_MIDNIGHT = {
    # 冬至 2095: 29 s after midnight by the engine, 2 s before by PyEphem, whose ΔT for 2095
    # is 25 s larger (both are extrapolations that far ahead).
    "2095-12-22 00:00",
}




def true_obliquity(jd_tt):
    """Mean obliquity (IAU 1980) plus nutation in obliquity (its four largest terms, 0.1")."""
    t = (jd_tt - 2451545.0) / 36525.0
    eps0 = 84381.448 - 46.8150 * t - 0.00059 * t * t + 0.001813 * t ** 3
    om = math.radians(125.04452 - 1934.136261 * t)
    ls = math.radians(280.4665 + 36000.7698 * t)
    lm = math.radians(218.3165 + 481267.8813 * t)
    deps = 9.20 * math.cos(om) + 0.57 * math.cos(2 * ls) + 0.10 * math.cos(2 * lm) \
        - 0.09 * math.cos(2 * om)
    return math.radians((eps0 + deps) / 3600.0)


def sun_longitude(d):
    """The Sun's apparent longitude (degrees) from PyEphem's apparent geocentric RA and Dec,
    which are referred to the true equator and equinox of date."""
    sun = ephem.Sun(d)
    jd_tt = float(d) + EPHEM_EPOCH + ephem.delta_t(d) / 86400.0
    eps = true_obliquity(jd_tt)
    ra, dec = float(sun.g_ra), float(sun.g_dec)
    lam = math.atan2(math.sin(ra) * math.cos(eps) + math.tan(dec) * math.sin(eps), math.cos(ra))
    return math.degrees(lam) % 360.0


def wrapped(a):
    return (a + 180.0) % 360.0 - 180.0


def term_instant(guess_ut, degrees):
    """The UT instant (JD) near guess_ut at which PyEphem's Sun stands at `degrees`."""
    x0 = guess_ut - EPHEM_EPOCH
    f0 = wrapped(sun_longitude(ephem.Date(x0)) - degrees)
    x1 = x0 - f0 / 0.9856
    for _ in range(30):
        f1 = wrapped(sun_longitude(ephem.Date(x1)) - degrees)
        if f1 == f0:
            break
        x0, f0, x1 = x1, f1, x1 - f1 * (x1 - x0) / (f1 - f0)
        if abs(x1 - x0) < 1e-7:
            break
    return x1 + EPHEM_EPOCH


PHASE_FINDERS = [ephem.next_new_moon, ephem.next_first_quarter_moon, ephem.next_full_moon,
                 ephem.next_last_quarter_moon]


def phase_instant(guess_ut, phase):
    """PyEphem's instant (UT JD) of `phase` nearest guess_ut."""
    return float(PHASE_FINDERS[phase](ephem.Date(guess_ut - EPHEM_EPOCH - 3.0))) + EPHEM_EPOCH


def main():
    tool = sys.argv[1]
    first, last = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) > 3 else (1900, 2100)
    out = subprocess.run([tool, str(first), str(last)], check=True, capture_output=True,
                         text=True).stdout
    worst = 0.0
    squares = 0.0
    failures = []
    day_differences = []
    count = 0
    for line in out.splitlines():
        kind, a, b, jd_text, dt_text = line.split()
        mine_ut, mine_dt = float(jd_text), float(dt_text)
        if kind == "T":
            ref_ut = term_instant(mine_ut, float(b))
            name = "%s solar longitude %s°" % (a, b)
        else:
            ref_ut = phase_instant(mine_ut, int(b))
            name = "lunation %s phase %s" % (a, b)
        ref_dt = ephem.delta_t(ephem.Date(ref_ut - EPHEM_EPOCH))
        difference = ((mine_ut + mine_dt / 86400.0) - (ref_ut + ref_dt / 86400.0)) * 86400.0
        count += 1
        worst = max(worst, abs(difference))
        squares += difference * difference
        if abs(difference) > LIMIT_SECONDS:
            failures.append("%s: %+.1f s from PyEphem (TT)" % (name, difference))
        if jst_day(mine_ut) != jst_day(ref_ut):
            key = jst_text(mine_ut)
            day_differences.append(key)
            if key[:16] not in NEAR_MIDNIGHT:
                failures.append("%s: day in Japan %s by the engine, %s by PyEphem" %
                                (name, key, jst_text(ref_ut)))
    print("%d instants of %d-%d, largest difference from PyEphem %.1f s, rms %.1f s (TT)" %
          (count, first, last, worst, math.sqrt(squares / max(count, 1))))
    print("days that differ (the engine's JST instant): %s" % ", ".join(day_differences))
    if count < 24 * (last - first + 1):
        failures.append("only %d instants printed" % count)
    for f in failures:
        print("FAIL " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
