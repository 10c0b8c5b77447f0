// CalEx: the calendar controls of the main window. A control holds one current date as a Julian
// day number, classifies every date by its holiday and special-day rule lists, and draws the
// month of its date into an off-screen bitmap that its paint step copies to the screen.
//
//   TCustomCalendarEx   the date, its navigation, the rule lists, fonts and day classification
//   TMonthlyCalendar    the month grid: layout, drawing, keys and mouse
//   TCalendarEx         colour properties, the names of the current date and OnChange
//
// A new date redraws the buffer (TCalendarEx raises OnChange from there), asks for a repaint,
// then raises OnDayChange. Every other redraw (size, fonts, lists, drawing properties) raises
// OnChange too. Events are unset by default.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "calendar/holidaymodel.h"
#include "platform/bitmap.h"
#include "platform/font.h"
#include "platform/stringlist.h"
#include "platform/tcolor.h"
#include "platform/types.h"

class QKeyEvent;
class QMouseEvent;
class QPainter;
class QPaintEvent;
class QResizeEvent;

enum TDayOfWeek : std::uint8_t { dowSun, dowMon, dowTue, dowWed, dowThu, dowFri, dowSat };

// --- Fonts -----------------------------------------------------------------------------------

class TCustomCalendarEx;

/// The seven fonts of a calendar control. Writing one font copies its attributes into the
/// owned font, or into all seven when Synchronize is on. Every change of a font is reported
/// through OnChange (the control redraws).
class TCalExFonts {
  public:
    enum TFontIndex : std::uint8_t {
        fiWeekday,
        fiSaturday,
        fiSunday,
        fiDayOfWeek, // the header row
        fiHoliday,   // holidays and substitute holidays
        fiSpecialDay,
        fiRokuyo,
    };
    static constexpr int Count = 7;

    TCalExFonts();
    TCalExFonts(const TCalExFonts&) = delete;
    TCalExFonts& operator=(const TCalExFonts&) = delete;

    /// Raised after each change of one of the fonts.
    std::function<void()> OnChange;

    const TFont& Font(int index) const { return FFonts.at(index); }
    /// The owned font itself: changes made through it are reported like any other.
    TFont& Font(int index) { return FFonts.at(index); }
    /// Copies the attributes of `font` into font `index`, or into every font with Synchronize.
    void SetFont(int index, const TFont& font);

    TFont& Weekday() { return Font(fiWeekday); }
    TFont& Saturday() { return Font(fiSaturday); }
    TFont& Sunday() { return Font(fiSunday); }
    TFont& DayOfWeek() { return Font(fiDayOfWeek); }
    TFont& Holiday() { return Font(fiHoliday); }
    TFont& SpecialDay() { return Font(fiSpecialDay); }
    TFont& Rokuyo() { return Font(fiRokuyo); }
    void SetWeekday(const TFont& f) { SetFont(fiWeekday, f); }
    void SetSaturday(const TFont& f) { SetFont(fiSaturday, f); }
    void SetSunday(const TFont& f) { SetFont(fiSunday, f); }
    void SetDayOfWeek(const TFont& f) { SetFont(fiDayOfWeek, f); }
    void SetHoliday(const TFont& f) { SetFont(fiHoliday, f); }
    void SetSpecialDay(const TFont& f) { SetFont(fiSpecialDay, f); }
    void SetRokuyo(const TFont& f) { SetFont(fiRokuyo, f); }

    bool Synchronize() const { return FSynchronize; }
    void SetSynchronize(bool value) { FSynchronize = value; }

    /// Copies the seven fonts of `other`, index by index (Synchronize plays no part).
    void Assign(const TCalExFonts& other);

  private:
    std::array<TFont, Count> FFonts;
    bool FSynchronize = false;
};

// --- Controls --------------------------------------------------------------------------------

/// Raised after the current date changed, with the new date.
using TDayChangeEvent =
    std::function<void(QObject* sender, std::int32_t y, std::uint8_t m, std::uint8_t d)>;
/// A plain event of the controls. Named apart from the report engine's TNotifyEvent (whose
/// sender is a report control), so that the window that composes the sheet can use both.
using TCalExNotifyEvent = std::function<void(QObject* sender)>;
/// The class library's key and mouse events, raised after the control's own handling.
using TKeyEvent = std::function<void(QObject* sender, int key, Qt::KeyboardModifiers shift)>;
using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;

/// A day cell of the month grid as the grid would draw it: the date, the colour its number
/// would take (neighbour days merged, the current date inverted) and what lies under it.
struct TDayCellInfo {
    std::int32_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
    TColor NumberColor = clBlack;
    TColor Background = clWhite; // the control's Color, or the day's colour under the current date
    bool Neighbour = false;      // a day of the previous or next month
    bool Current = false;        // the current date, drawn inverted
};
/// Draws a day cell's contents in place of the grid's centred number, in client pixels into
/// the control's buffer (its background, and the current date's inversion, already drawn).
/// Returns false to leave the cell to the grid. The window sets it; the grid knows no more of
/// what a day shows than this.
using TDayCellPainter =
    std::function<bool(QPainter& painter, const QRect& rect, const TDayCellInfo& cell)>;
/// The tool tip of a day of the grid; empty for none.
using TDayToolTipEvent =
    std::function<QString(std::int32_t year, std::uint8_t month, std::uint8_t day)>;

/// A calendar control without a face: the current date and its navigation, the rule lists,
/// the fonts and the classification of dates. It draws through its own buffer FBuffer, whose
/// size is that of the client area (inside the sunken edge).
class TCustomCalendarEx : public QWidget {
    Q_OBJECT

  public:
    explicit TCustomCalendarEx(QWidget* parent = nullptr);
    ~TCustomCalendarEx() override;

    // The current date. Setting the same day number does nothing; a new one redraws, then
    // raises OnDayChange. Day numbers outside the range of the date arithmetic are ignored.
    std::int32_t JuliusDay() const { return FJuliusDay; }
    void SetJuliusDay(std::int32_t jd);
    // Parts of the current date. A setter that would make a date that does not exist (31
    // February) is ignored; there is no clamping. A date in the gap of October 1582 raises
    // EJuliusError and leaves the date unchanged.
    std::int32_t Year() const;
    void SetYear(std::int32_t year);
    std::uint8_t Month() const;
    void SetMonth(std::uint8_t month);
    std::uint8_t Day() const;
    void SetDay(std::uint8_t day);

    // Navigation. Month and year steps keep the day, shortened to the length of the new month.
    void Today();
    void NextDay();
    void PrevDay();
    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();

    TCalExFonts& Fonts() { return *FFonts; }
    const TCalExFonts& Fonts() const { return *FFonts; }
    /// Copies the seven fonts of `fonts`, then redraws.
    void SetFonts(const TCalExFonts& fonts);

    /// Holiday rule lines. Every change re-parses both lists and redraws; a bad line raises
    /// EConvertError to whoever changed the list.
    TStringList& HolidayList() { return FHolidayList; }
    const TStringList& HolidayList() const { return FHolidayList; }
    void SetHolidayList(const QStringList& lines) { FHolidayList.Assign(lines); }
    void SetHolidayList(const TStringList& lines) { FHolidayList.Assign(lines); }
    /// Special-day rule lines (birthdays and the like), handled like HolidayList.
    TStringList& SpecialDayList() { return FSpecialDayList; }
    const TStringList& SpecialDayList() const { return FSpecialDayList; }
    void SetSpecialDayList(const QStringList& lines) { FSpecialDayList.Assign(lines); }
    void SetSpecialDayList(const TStringList& lines) { FSpecialDayList.Assign(lines); }

    /// Background of the client area.
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    /// Whether the vernal and autumnal equinox days are holidays.
    bool AutoEquinox() const { return FHolidays.AutoEquinox(); }
    void SetAutoEquinox(bool value);
    /// Whether substitute holidays (振替休日) are derived from the holidays.
    bool AutoFurikae() const { return FHolidays.AutoFurikae(); }
    void SetAutoFurikae(bool value);
    /// Whether a day between two holidays is one (国民の休日), by the law in force on the date.
    bool AutoKokuminNoKyujitsu() const { return FHolidays.AutoKokuminNoKyujitsu(); }
    void SetAutoKokuminNoKyujitsu(bool value);

    /// What the date is: special day, holiday, substitute holiday, Sunday, Saturday.
    virtual TDayTypes GetDayTypeFlags(std::int32_t year, std::uint8_t month,
                                      std::uint8_t day) const;
    /// The font a date is drawn in: special day over holiday over Saturday or Sunday over
    /// weekday.
    virtual const TFont& GetDayFont(std::int32_t year, std::uint8_t month, std::uint8_t day) const;
    /// The date's names as comma text: special days, holidays, the equinox day, "振替休日".
    virtual QString GetDayNames(std::int32_t year, std::uint8_t month, std::uint8_t day) const;

    /// The parsed rules, in line order.
    const TBinaryDayList& HolidayItems() const { return FHolidays.HolidayItems(); }
    const TBinaryDayList& SpecialDayItems() const { return FHolidays.SpecialDayItems(); }
    /// The holiday model the control classifies its days by: its lists and switches.
    const THolidayModel& Holidays() const { return FHolidays; }

    /// The picture of the client area as last drawn (null before the control has a size).
    const QImage& BufferImage() { return FBuffer.Image(); }
    /// Width and height of the client area, inside the sunken edge.
    int ClientWidth() const;
    int ClientHeight() const;

    QSize sizeHint() const override;

    TDayChangeEvent OnDayChange;
    TKeyEvent OnKeyDown;
    TMouseEvent OnMouseDown;
    TCalExNotifyEvent OnClick;

  protected:
    /// Draws the client area into FBuffer; the classes below add to it.
    virtual void UpdateBuffer();
    /// Raises OnDayChange.
    virtual void DoDayChange(std::int32_t year, std::uint8_t month, std::uint8_t day);
    /// Parses HolidayList and SpecialDayList into their items.
    virtual void ParseDayLists();

    /// Redraws the buffer and asks for a repaint: the common end of every setter.
    void Redraw();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    TBitmap FBuffer;

  private:
    // FBuffer made anew at the client size and the screen's device pixel ratio, and drawn.
    void ResizeBuffer();
    void ListChanged();

    std::unique_ptr<TCalExFonts> FFonts;
    std::int32_t FJuliusDay;
    TStringList FHolidayList;
    TStringList FSpecialDayList;
    TColor FColor = clWindow;
    // The parsed lists and the switches of the derived holidays.
    THolidayModel FHolidays;
};

/// The month of the current date as a grid of seven columns: a header row of weekday names,
/// then week rows of day numbers, each in the font of its day type, the current date
/// inverted. Arrow and page keys and clicks move the date.
class TMonthlyCalendar : public TCustomCalendarEx {
    Q_OBJECT

  public:
    explicit TMonthlyCalendar(QWidget* parent = nullptr);

    /// Day of the week of the first column.
    TDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(TDayOfWeek value);
    /// Whether days of the previous and next month fill the first and last rows.
    bool ShowNeighbor() const { return FShowNeighbor; }
    void SetShowNeighbor(bool value);
    /// Merged (bitwise OR) into the text colour of neighbour days: red becomes light red.
    TColor NeighborColor() const { return FNeighborColor; }
    void SetNeighborColor(TColor value);
    /// Whether a click on a neighbour day selects it.
    bool NeighborJump() const { return FNeighborJump; }
    void SetNeighborJump(bool value) { FNeighborJump = value; }
    /// Whether the row count follows the month (else always six week rows).
    bool AutoResize() const { return FAutoResize; }
    void SetAutoResize(bool value);
    /// Whether the 1st may sit in the first column of the first week row (else a week of the
    /// previous month comes first).
    bool FirstRowFirstDay() const { return FFirstRowFirstDay; }
    void SetFirstRowFirstDay(bool value);
    /// Whether the last day may sit in the last column of the last row.
    bool LastRowLastDay() const { return FLastRowLastDay; }
    void SetLastRowLastDay(bool value);
    /// Background of the header row.
    TColor DayOfWeekBkColor() const { return FDayOfWeekBkColor; }
    void SetDayOfWeekBkColor(TColor value);
    /// Whether each day shows its rokuyō name under the number.
    bool ShowRokuyo() const { return FShowRokuyo; }
    void SetShowRokuyo(bool value);
    /// Draws the day cells' contents in place of the grid's own number (unset: the grid's);
    /// setting it redraws.
    void SetDayCellPainter(TDayCellPainter painter);
    /// What hovering a day shows; unset or empty: no tool tip.
    TDayToolTipEvent OnDayToolTip;

    /// Rows including the header row.
    virtual int RowCount() const;
    /// The day shown in week row 1, column 0.
    virtual std::int32_t FirstCellJD() const;
    /// Client rectangle of a cell (column 0..6, row 0..RowCount−1; row 0 is the header).
    TRect CellRect(int col, int row) const;
    /// The cell under a client point; false when the point hits no cell.
    virtual bool CellFromPoint(int x, int y, int& col, int& row) const;

  protected:
    void UpdateBuffer() override;
    /// Draws one cell into the buffer.
    virtual void DrawCell(int col, int row, const TRect& rect);

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void DrawHeaderCell(int col, const TRect& rect);
    void DrawDayCell(int col, int row, const TRect& rect);

    TDayOfWeek FFirstDayOfWeek = dowSun;
    bool FShowNeighbor = false;
    TColor FNeighborColor = clSilver;
    bool FNeighborJump = false;
    bool FAutoResize = true;
    bool FFirstRowFirstDay = false;
    bool FLastRowLastDay = false;
    TColor FDayOfWeekBkColor = clNavy;
    bool FShowRokuyo = false;
    TDayCellPainter FDayCellPainter;
};

/// The calendar control the program places: the month grid plus colour properties, the names
/// of the current date and OnChange, raised after every redraw.
class TCalendarEx : public TMonthlyCalendar {
    Q_OBJECT

  public:
    explicit TCalendarEx(QWidget* parent = nullptr);

    /// Day of the week of the current date, 1 = Sunday .. 7 = Saturday.
    std::uint16_t DayOfWeek() const;
    /// The same list as HolidayList.
    TStringList& TypeOfDayList() { return HolidayList(); }
    void SetTypeOfDayList(const QStringList& lines) { SetHolidayList(lines); }
    void SetTypeOfDayList(const TStringList& lines) { SetHolidayList(lines); }
    /// Names of the current date (GetDayNames).
    QString TypeOfDayText() const;

    // Text colours of the fonts, read and written directly (Synchronize plays no part).
    TColor WeekdayColor() const;
    void SetWeekdayColor(TColor value);
    TColor SaturdayColor() const;
    void SetSaturdayColor(TColor value);
    TColor SundayColor() const;
    void SetSundayColor(TColor value);
    TColor HolidayColor() const;
    void SetHolidayColor(TColor value);
    TColor SpecialDayColor() const;
    void SetSpecialDayColor(TColor value);
    TColor NeighborDayColor() const { return NeighborColor(); }
    void SetNeighborDayColor(TColor value) { SetNeighborColor(value); }

    /// Raised after every redraw of the buffer (a new date, size, font, list or property).
    TCalExNotifyEvent OnChange;

  protected:
    void UpdateBuffer() override;
    /// Raises OnChange.
    virtual void DoChange();
};
