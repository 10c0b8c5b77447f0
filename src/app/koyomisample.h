// The 暦 of a day on the screen as the sheet prints it: the sheet's own cell layout
// (sheet/koyomicell.h) scaled into a cell of the main window's sample month or of the preview of
// the dialog "暦の表示", and all the day's names for a tool tip. The sample month's calendar
// control knows nothing of the 暦: the window hands it these as its day-cell hooks.
#pragma once

#include <map>
#include <memory>

#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "calendar/koyomi.h"
#include "days/familyday.h"
#include "model/koyomioptions.h"
#include "model/settingsslots.h"

class QPainter;
class TKoyomiFaces;

class TKoyomiSample {
  public:
    TKoyomiSample();
    ~TKoyomiSample();
    TKoyomiSample(const TKoyomiSample&) = delete;
    TKoyomiSample& operator=(const TKoyomiSample&) = delete;

    /// What the cells show, and the face of their numbers (the sheet's day font).
    void SetOptions(const TKoyomiOptions& options, const TSlotFont& dayFont);
    const TKoyomiOptions& Options() const { return FOptions; }
    /// The family's days, named in their cells first, whatever the options.
    void SetFamilyDays(const std::vector<TFamilyDay>& days) { FFamilyDays = days; }
    /// Whether the cells show anything of the 暦 or of the family's days (else they are
    /// drawn as without it).
    bool Shown() const { return FOptions.AnyShown() || !FFamilyDays.empty(); }
    /// The colour a family's day on the date asks its number to have: its own, the holiday
    /// colour `holiday`, or none.
    std::optional<QColor> NumberColor(int year, int month, int day, const QColor& holiday) const;

    /// The 暦 of a date; not Known outside the engine's years.
    const Koyomi::TKoyomiDay& Day(int year, int month, int day);

    /// Draws the number and the 暦 of a day as a cell of the sheet, scaled as large as fits
    /// `rect` and centred across it; `holidayNames` is comma text. Only the number where
    /// nothing is shown.
    void Draw(QPainter& painter, const QRectF& rect, int year, int month, int day,
              const QString& holidayNames, const QColor& number, const QColor& text);

    /// Everything the 暦 says of a day and its holidays, one to a line.
    QString ToolTip(int year, int month, int day, const QString& holidayNames);

  private:
    QStringList FamilyNames(int year, int month, int day) const;

    TKoyomiOptions FOptions;
    std::vector<TFamilyDay> FFamilyDays;
    TSlotFont FDayFont;
    std::unique_ptr<TKoyomiFaces> FFaces;      // measured when first drawn
    std::map<int, Koyomi::TKoyomiYear> FYears; // the few years a month and its neighbours show
};
