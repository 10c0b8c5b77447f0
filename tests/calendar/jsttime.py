"""What the reference checks of the calendar tests share: PyEphem's day numbering and the day
and time in Japan (UTC+9) of an instant given as a Julian Day in UT."""
import math

import ephem

LIMIT_SECONDS = 60.0  # how far an instant may be from PyEphem's
EPHEM_EPOCH = 2415020.0  # JD of PyEphem's day 0 (1899-12-31 12:00)


def jst_day(jd_ut):
    return math.floor(jd_ut + 0.5 + 9.0 / 24.0)


def jst_text(jd_ut):
    d = ephem.Date(jd_ut - EPHEM_EPOCH + 9.0 / 24.0)
    y, m, dd, h, mi, s = d.tuple()
    return "%04d-%02d-%02d %02d:%02d:%02d" % (y, m, dd, h, mi, int(s))
