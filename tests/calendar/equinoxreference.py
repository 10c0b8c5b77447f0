#!/usr/bin/python3
"""Checks the equinox days of the holiday law against PyEphem (Debian's python3-ephem, the
XEphem astronomy library with its own VSOP87, its own equinox search and its own ΔT):

- 1948-2150, the years of the closed formula: every vernal and autumnal equinox day is the day
  in Japan of PyEphem's equinox (the formula is kept for these years because it matches the
  dates published by the National Astronomical Observatory of Japan; PyEphem agrees with it);
- 2151-2300, the engine's years that the 暦 shows too: every day is PyEphem's day, every
  instant within 60 s of PyEphem's, and the instants within six minutes of midnight, whose
  day the extrapolated ΔT decides, are exactly those listed below;
- every 50th year of 2350-3000: the instants within 60 s and the days equal.

Usage: equinoxreference.py EQUINOX_DAYS
"""
import math
import subprocess
import sys

import ephem

from jsttime import EPHEM_EPOCH, LIMIT_SECONDS, jst_day, jst_text


# Equinoxes of 2151-2300 within six minutes of midnight in Japan, as the engine has them (to
# the minute). A ΔT a few minutes off would move the holiday to the other day
# (docs/holidays.md).
NEAR_MIDNIGHT = {
    "2198-09-23 00:02",  # 00:02:13
    "2220-03-21 00:05",  # 00:05:40
    "2253-03-21 00:05",  # 00:05:00
    "2286-03-21 00:02",  # 00:02:50
}




def minutes_from_midnight(jd_ut):
    x = jd_ut + 0.5 + 9.0 / 24.0
    frac = x - math.floor(x)
    return min(frac, 1.0 - frac) * 1440.0


def reference(year):
    """PyEphem's vernal and autumnal equinoxes of the year, JD in UT."""
    vernal = float(ephem.next_vernal_equinox("%d/1/1" % year)) + EPHEM_EPOCH
    autumnal = float(ephem.next_autumnal_equinox("%d/6/1" % year)) + EPHEM_EPOCH
    return vernal, autumnal


def rows(program, first, last):
    out = subprocess.run([program, str(first), str(last)], check=True, capture_output=True,
                         text=True).stdout
    for line in out.splitlines():
        year, source, vday, aday, vut, aut, _ = line.split()
        yield int(year), source, int(vday), int(aday), float(vut), float(aut)


def main():
    program = sys.argv[1]
    failures = []
    near = set()
    checked = 0
    for first, last in [(1948, 2300)] + [(y, y) for y in range(2350, 3001, 50)]:
        for year, source, vday, aday, vut, aut in rows(program, first, last):
            expected_source = "F" if year <= 2150 else "E"
            if source != expected_source:
                failures.append("%d: source %s, expected %s" % (year, source, expected_source))
            for name, day, mine, ref in zip(("vernal", "autumnal"), (vday, aday), (vut, aut),
                                            reference(year)):
                checked += 1
                if day != jst_day(ref):
                    failures.append("%d %s: day %d, PyEphem %s JST" % (year, name, day,
                                                                      jst_text(ref)))
                if source == "E":
                    if day != jst_day(mine):
                        failures.append("%d %s: day %d is not the engine's %s" % (
                            year, name, day, jst_text(mine)))
                    if abs(mine - ref) * 86400.0 > LIMIT_SECONDS:
                        failures.append("%d %s: engine %s, PyEphem %s JST" % (
                            year, name, jst_text(mine), jst_text(ref)))
                    if year <= 2300 and minutes_from_midnight(mine) < 6.0:
                        near.add(jst_text(mine)[:16])
    if near != NEAR_MIDNIGHT:
        failures.append("instants near midnight: %s, listed: %s" % (sorted(near),
                                                                     sorted(NEAR_MIDNIGHT)))
    # The case the closed formula got wrong: the Sun at 180° on 2169-09-22 at 23:42 JST.
    for _, _, _, _, _, aut in rows(program, 2169, 2169):
        if jst_text(aut)[:16] != "2169-09-22 23:42":
            failures.append("2169 autumnal equinox at %s JST" % jst_text(aut))
    for failure in failures[:40]:
        print(failure)
    print("%d equinox days checked, %d failures" % (checked, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
