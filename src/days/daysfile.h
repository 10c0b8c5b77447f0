// The family's days in a text file of their own beside the settings, "tamurika-days.txt":
// UTF-8, one day a line, for the program and for a person with a text editor alike.
//
//   # comments start with "#"
//   5/5           太郎    誕生日   2015年
//   6/10          結婚    記念日   2017年   #CC0066
//   5月第2日曜    母の日
//   2027/3/14     引っ越し 祝日色
//
// A line is a date, a name and, in any order, a kind (誕生日, 記念日), the year the day began
// ("2015年" or "2015") and a colour ("#RRGGBB" or 祝日色), separated by tabs or spaces; a name
// with spaces is written in double quotes. The date is "M/D" (every year), "YYYY/M/D" (that
// year only) or "M月第N曜" / "M月最終曜" with a weekday letter (every year).
#pragma once

#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "familyday.h"

inline const QString DaysFileName = QStringLiteral("tamurika-days.txt");

/// A line of the file that is not a day: kept as it stands, and said to the user.
struct TDaysFileProblem {
    int Line = 0; // 1-based; 0 for the file as a whole
    QString Text;
    QString Message; // "12行目: …" in the user's words

    bool operator==(const TDaysFileProblem&) const = default;
};

/// The file as read: the days in its order, the comments before the first day and after the
/// last, and the lines not understood (which are also kept, as comments of the day after them).
struct TDaysFile {
    QStringList Header;
    std::vector<TFamilyDay> Days;
    QStringList Trailing;
    std::vector<TDaysFileProblem> Problems;
    /// The file exists but could not be read at all (its problem says why): it must not be
    /// written over, or a person's list would be lost.
    bool Unreadable = false;

    bool operator==(const TDaysFile&) const = default;
};

/// The comment lines a new file starts with: how a person writes a day.
QStringList DaysFileHeader();

/// Reads the file's bytes (UTF-8, with or without a byte-order mark, LF or CRLF). Never fails:
/// what cannot be read is a problem of its line.
TDaysFile ParseDaysFile(const QByteArray& bytes);

/// The file's bytes: the header, then each day with its comments, then the trailing comments;
/// LF line ends. What ParseDaysFile read from bytes FormatDaysFile wrote gives those bytes again.
QByteArray FormatDaysFile(const TDaysFile& file);

/// `file` with `days` in its place. The comments of a day go with it, but a line not
/// understood that travelled with a day no longer there is kept at the end of the file: it is
/// what a person wrote, and only they may take it out.
TDaysFile WithDays(const TDaysFile& file, std::vector<TFamilyDay> days);

/// One day's line, without its comments.
QString DayLine(const TFamilyDay& day);

/// Reads the days file `fileName`; a missing file is an empty list with the header. Raises
/// EFamilyDaysError naming the file when it exists but cannot be read, or is not a text file of
/// days (too large, or not UTF-8).
TDaysFile ReadDaysFile(const QString& fileName);

/// The same without raising: a file that cannot be read gives an empty list marked Unreadable,
/// with the reason as its one problem.
TDaysFile ReadDaysFileOrNote(const QString& fileName);

/// Replaces the days file whole (written to a new file, then renamed); raises EFamilyDaysError
/// naming the file, with the old file untouched, when it cannot, or when `file` was read from a
/// file that could not be read (Unreadable).
void WriteDaysFile(const QString& fileName, const TDaysFile& file);
