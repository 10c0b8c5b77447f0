// The national holidays of Japan as rule lines: the HolidayList that the program's calendar
// controls carry.
#pragma once

#include <QStringList>

/// One rule line per legal fact of 国民の祝日に関する法律 and the special laws that added or
/// moved single days, from 1948 on. The equinox days and substitute holidays are not listed:
/// the controls work them out (AutoEquinox, AutoFurikae).
QStringList DefaultHolidayList();
