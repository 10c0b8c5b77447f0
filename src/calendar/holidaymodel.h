// The holiday model: what a date is (Sunday, Saturday, holiday, substitute holiday, special
// day) and which names it carries, from two lists of rule lines, the equinox days, the
// substitute-holiday law and the law's rest day between two holidays (国民の休日). A plain object
// without a face: the calendar controls classify their days through one, and the day table of the
// sheet and the export tool's holiday listing ask one directly.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

/// What a date is: a set of these bits, stored in one byte like the other small sets.
enum TDayType : std::uint8_t {
    dtSunday = 1,
    dtSaturday = 2,
    dtHoliday = 4,
    dtFurikae = 8, // substitute holiday (振替休日)
    dtSpecialDay = 16,
};
using TDayTypes = std::uint8_t;

// --- Rule lists ------------------------------------------------------------------------------

/// One holiday or special-day rule, parsed from a rule line (see ParseDayList). A zero field
/// matches anything; a year bound of NoYearBound is open.
class TBinaryDayListItem {
  public:
    static constexpr std::int32_t NoYearBound = INT32_MIN;

    virtual ~TBinaryDayListItem() = default;

    /// Whether the rule holds on the date.
    virtual bool IsMatch(std::int32_t year, std::uint8_t month, std::uint8_t day) const;

    std::uint8_t Day() const { return FDay; }
    std::uint8_t Month() const { return FMonth; }
    std::uint8_t DayOfWeek() const { return FDayOfWeek; } // 1 = Sunday .. 7 = Saturday
    std::uint8_t Week() const { return FWeek; }           // week n = days 7n−6 .. 7n
    std::int32_t StartYear() const { return FStartYear; }
    std::int32_t EndYear() const { return FEndYear; }
    const QString& Name() const { return FName; }

  protected:
    std::uint8_t FDay = 0;
    std::uint8_t FMonth = 0;
    std::uint8_t FDayOfWeek = 0;
    std::uint8_t FWeek = 0;
    std::int32_t FStartYear = NoYearBound;
    std::int32_t FEndYear = NoYearBound;
    QString FName;

    friend void ParseDayList(std::vector<std::unique_ptr<TBinaryDayListItem>>& items,
                             const QStringList& lines);
};

using TBinaryDayList = std::vector<std::unique_ptr<TBinaryDayListItem>>;

/// Replaces `items` by one item per rule line, in line order. A line splits into fields by the
/// comma-text rule; by its field count it reads
///   3  Month, Day, Name
///   4  Month, Week, DayOfWeek, Name
///   5  Year, Mode, Month, Day, Name
///   6  Year, Mode, Month, Week, DayOfWeek, Name
///   7  StartYear, EndYear, Month, Day, DayOfWeek, Week, Name (any field but Name may be empty)
/// Mode "0" limits the rule to Year, "1" to Year and before, "2" to Year and after; any other
/// Mode means no limit. Lines of other field counts are skipped. A field that must be a number
/// and is not raises EConvertError: the item of that line stays appended with the fields read
/// so far, and later lines are not read.
void ParseDayList(TBinaryDayList& items, const QStringList& lines);

// --- The model -------------------------------------------------------------------------------

/// The rule lists of holidays and special days, parsed, and the three derived kinds of holiday:
/// the equinox days (AutoEquinox), substitute holidays (AutoFurikae) and the rest days between
/// two holidays (AutoKokuminNoKyujitsu), each by the law in force on the date. A new model has
/// empty lists and all three switches on.
class THolidayModel {
  public:
    /// How the days before a date are classified for the substitute-holiday step, and how the
    /// date itself is asked whether it is a substitute holiday when it is named. A calendar
    /// control passes its own GetDayTypeFlags, which a subclass may override to add holidays.
    using TClassify = std::function<TDayTypes(std::int32_t, std::uint8_t, std::uint8_t)>;

    THolidayModel();
    ~THolidayModel();
    THolidayModel(const THolidayModel&) = delete;
    THolidayModel& operator=(const THolidayModel&) = delete;

    /// Holiday rule lines and special-day rule lines. Setting either parses both again; a bad
    /// line raises EConvertError as ParseDayList does (the special days are then not read).
    const QStringList& HolidayList() const { return FHolidayList; }
    void SetHolidayList(const QStringList& lines) { SetDayLists(lines, FSpecialDayList); }
    const QStringList& SpecialDayList() const { return FSpecialDayList; }
    void SetSpecialDayList(const QStringList& lines) { SetDayLists(FHolidayList, lines); }
    void SetDayLists(const QStringList& holidays, const QStringList& specialDays);

    /// The parsed rules, in line order.
    const TBinaryDayList& HolidayItems() const { return FHolidayItems; }
    const TBinaryDayList& SpecialDayItems() const { return FSpecialDayItems; }

    /// Whether the vernal and autumnal equinox days are holidays (from 1948-07-20).
    bool AutoEquinox() const { return FAutoEquinox; }
    void SetAutoEquinox(bool value) { FAutoEquinox = value; }
    /// Whether substitute holidays (振替休日) are derived from the holidays.
    bool AutoFurikae() const { return FAutoFurikae; }
    void SetAutoFurikae(bool value) { FAutoFurikae = value; }
    /// Whether a day between two holidays is a holiday named "国民の休日" (from 1985-12-27):
    /// a day that is no holiday of the lists or equinox day itself, whose day before and day
    /// after both are; until 2006 not a Sunday and not a substitute holiday. Substitute
    /// holidays and other such days do not count as the holidays on either side.
    bool AutoKokuminNoKyujitsu() const { return FAutoKokuminNoKyujitsu; }
    void SetAutoKokuminNoKyujitsu(bool value) { FAutoKokuminNoKyujitsu = value; }

    /// What the date is: special day, holiday, substitute holiday, Sunday, Saturday.
    TDayTypes GetDayTypeFlags(std::int32_t year, std::uint8_t month, std::uint8_t day) const {
        return GetDayTypeFlags(year, month, day, {});
    }
    /// The same, with the days before classified by `classify` (none: by this model).
    TDayTypes GetDayTypeFlags(std::int32_t year, std::uint8_t month, std::uint8_t day,
                              const TClassify& classify) const;

    /// The date's names as comma text: special days, holidays, the equinox day, "国民の休日",
    /// "振替休日".
    QString GetDayNames(std::int32_t year, std::uint8_t month, std::uint8_t day) const {
        return GetDayNames(year, month, day, {});
    }
    /// The same, with the date classified by `classify` (none: by this model).
    QString GetDayNames(std::int32_t year, std::uint8_t month, std::uint8_t day,
                        const TClassify& classify) const;

  private:
    // The holiday a day that is no holiday of the lists nor an equinox day may still be.
    enum class TDerived : std::uint8_t { None, Furikae, KokuminNoKyujitsu };
    TDerived DerivedHoliday(std::int32_t jd, std::uint8_t dayOfWeek,
                            const TClassify& classify) const;
    // Whether the date (a day number) is a substitute holiday under the law in force then.
    bool IsFurikae(std::int32_t jd, std::uint8_t dayOfWeek, const TClassify& classify) const;
    // Whether the days before and after the date are holidays of their own (lists, equinox
    // days, and what `classify` adds), not derived ones.
    bool BetweenHolidays(std::int32_t jd, const TClassify& classify) const;
    // Whether the day `jd` is a holiday by its own rules (classified by `classify`, or by
    // this model), the days derived from its neighbours left out.
    bool IsOwnHoliday(std::int32_t jd, const TClassify& classify) const;
    // 1 for the vernal, 2 for the autumnal equinox day while they are holidays, else 0.
    int EquinoxOf(std::int32_t year, std::uint8_t month, std::uint8_t day) const;

    // The equinox dates of the years classified last: every date asks, a day next to New
    // Year asks about two years, and after 2150 each date is a search in the ephemeris.
    struct TEquinoxDates {
        std::int32_t Year = INT32_MIN;
        std::uint8_t VernalMonth = 0, VernalDay = 0, AutumnalMonth = 0, AutumnalDay = 0;
    };
    const TEquinoxDates& EquinoxDatesOf(std::int32_t year) const;

    QStringList FHolidayList;
    QStringList FSpecialDayList;
    TBinaryDayList FHolidayItems;
    TBinaryDayList FSpecialDayItems;
    bool FAutoEquinox = true;
    bool FAutoFurikae = true;
    bool FAutoKokuminNoKyujitsu = true;
    // Set while the days around a date are classified for the substitute holiday or the day
    // between two holidays, so that they count only their own holidays and look no further.
    mutable bool FLookingBack = false;
    mutable std::array<TEquinoxDates, 2> FEquinoxDates;
    mutable std::size_t FOlderEquinoxDates = 0;
};
