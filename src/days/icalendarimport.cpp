#include "icalendarimport.h"

#include <cerrno>
#include <memory>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <libical/ical.h>

#include "platform/outputfile.h"

namespace {

constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

struct TComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using TComponent = std::unique_ptr<icalcomponent, TComponentFree>;

EFamilyDaysError Damaged(const QString& fileName, const QString& why) {
    return EFamilyDaysError(
        QStringLiteral("「%1」は iCalendar のファイルとして読めません（%2）。何も加えていません。")
            .arg(QFileInfo(fileName).fileName(), why));
}

// Whether every BEGIN has its END and the text ends with the calendar's END: a file cut off in
// the middle is damaged, though libical would read what came before.
bool Closed(const QByteArray& data) {
    QList<QByteArray> open;
    for (QByteArray line : data.split('\n')) {
        line = line.trimmed();
        if (line.startsWith(' ') || line.isEmpty())
            continue;
        const QByteArray upper = line.toUpper();
        if (upper.startsWith("BEGIN:")) {
            open << upper.mid(6);
        } else if (upper.startsWith("END:")) {
            if (open.isEmpty() || open.back() != upper.mid(4))
                return false;
            open.removeLast();
        }
    }
    return open.isEmpty();
}

// The date an event starts on, for the sheet: all-day dates as written; times in `zone`.
std::optional<QDate> StartDate(icalcomponent* event, const QTimeZone& zone) {
    const icaltimetype start = icalcomponent_get_dtstart(event);
    if (icaltime_is_null_time(start) || !icaltime_is_valid_time(start))
        return std::nullopt;
    if (start.is_date)
        return QDate(start.year, start.month, start.day);
    const icaltimezone* own = icaltime_get_timezone(start);
    if (own == nullptr && !icaltime_is_utc(start)) // floating: the time as written
        return QDate(start.year, start.month, start.day);
    const time_t t =
        icaltime_as_timet_with_zone(start, own != nullptr ? own : icaltimezone_get_utc_timezone());
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t), zone).date();
}

// The kind the summary names, and the name without the words that named it.
std::pair<TFamilyDay::TKind, QString> KindAndName(const QString& summary) {
    static const QRegularExpression birthday(QStringLiteral(
        "^(.*?)(?:の|さんの)?(?:お?誕生日|バースデー)$|^(.*?)['’]s [Bb]irthday$|^[Bb]irthday:? (.*)$"));
    static const QRegularExpression anniversary(
        QStringLiteral("^(.*?)(?:の)?記念日$|^(.*?) [Aa]nniversary$|^[Aa]nniversary:? (.*)$"));
    const QString text = summary.trimmed();
    for (const auto& [pattern, kind] : {std::pair{&birthday, TFamilyDay::TKind::Birthday},
                                        std::pair{&anniversary, TFamilyDay::TKind::Anniversary}}) {
        const QRegularExpressionMatch m = pattern->match(text);
        if (!m.hasMatch())
            continue;
        for (int i = 1; i <= 3; ++i)
            if (!m.captured(i).trimmed().isEmpty())
                return {kind, m.captured(i).trimmed()};
        return {kind, text};
    }
    return {TFamilyDay::TKind::Other, text};
}

void ReadEvent(icalcomponent* event, int year, int startMonth, const QTimeZone& zone,
               TCalendarImport& result) {
    const char* summaryText = icalcomponent_get_summary(event);
    const QString summary = QString::fromUtf8(summaryText != nullptr ? summaryText : "").trimmed();
    const QString shown = summary.isEmpty() ? QStringLiteral("（名前なし）") : summary;
    const std::optional<QDate> start = StartDate(event, zone);
    if (!start || !start->isValid()) {
        result.Left << QStringLiteral("「%1」: 日付が読めません").arg(shown);
        return;
    }
    if (summary.isEmpty()) {
        result.Left
            << QStringLiteral("%1 の予定: 名前がありません").arg(start->toString(u"yyyy/M/d"));
        return;
    }
    auto [kind, name] = KindAndName(summary);
    TFamilyDay day;
    day.Name = name;
    day.Kind = kind;
    day.Month = start->month();
    day.Day = start->day();

    icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    if (rule == nullptr) {
        const int sheetYear = start->month() >= startMonth ? start->year() : start->year() - 1;
        if (sheetYear != year) {
            result.Left << QStringLiteral("「%1」: %2の予定ではありません（%3）")
                               .arg(shown, SheetSpanText(year, startMonth),
                                    start->toString(u"yyyy/M/d"));
            return;
        }
        day.Repeat = TFamilyDay::TRepeat::Once;
        day.Year = start->year();
        result.Days.push_back(day);
        return;
    }
    const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
    if (recurrence.freq != ICAL_YEARLY_RECURRENCE) {
        result.Left
            << QStringLiteral("「%1」: 毎年の繰り返しではないので取り込みません").arg(shown);
        return;
    }
    day.Repeat = TFamilyDay::TRepeat::Yearly;
    day.Year = start->year();
    if (recurrence.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX && recurrence.by_month[0] >= 1 &&
        recurrence.by_month[0] <= 12)
        day.Month = recurrence.by_month[0];
    if (recurrence.by_day[0] != ICAL_RECURRENCE_ARRAY_MAX) {
        const int weekday = icalrecurrencetype_day_day_of_week(recurrence.by_day[0]);
        const int position = icalrecurrencetype_day_position(recurrence.by_day[0]);
        if (weekday < ICAL_SUNDAY_WEEKDAY || weekday > ICAL_SATURDAY_WEEKDAY ||
            !(position == -1 || (position >= 1 && position <= 5))) {
            result.Left << QStringLiteral("「%1」: 繰り返しの曜日が読めません").arg(shown);
            return;
        }
        day.Repeat = TFamilyDay::TRepeat::Weekday;
        day.Weekday = weekday - ICAL_SUNDAY_WEEKDAY;
        day.Week = position == -1 ? TFamilyDay::LastWeek : position;
    } else if (recurrence.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX &&
               recurrence.by_month_day[0] >= 1 && recurrence.by_month_day[0] <= 31) {
        day.Day = recurrence.by_month_day[0];
    }
    if (day.Repeat == TFamilyDay::TRepeat::Yearly && !QDate(2000, day.Month, day.Day).isValid()) {
        result.Left << QStringLiteral("「%1」: 毎年の日付が読めません").arg(shown);
        return;
    }
    result.Days.push_back(day);
}

} // namespace

TCalendarImport ImportICalendar(const QByteArray& data, int year, const QString& fileName,
                                const QTimeZone& zone, int startMonth) {
    if (!data.toUpper().contains("BEGIN:VCALENDAR"))
        throw Damaged(fileName, QStringLiteral("カレンダーが入っていません"));
    if (data.contains('\0'))
        throw Damaged(fileName, QStringLiteral("文字でないバイトがあります"));
    if (!Closed(data))
        throw Damaged(fileName,
                      QStringLiteral("途中で切れているか、BEGIN と END が合っていません"));
    const TComponent root(icalparser_parse_string(data.constData()));
    if (!root)
        throw Damaged(fileName, QStringLiteral("カレンダーが入っていません"));
    std::vector<icalcomponent*> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root.get());
    } else {
        for (icalcomponent* c =
                 icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             c != nullptr;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(c);
    }
    if (calendars.empty())
        throw Damaged(fileName, QStringLiteral("カレンダーが入っていません"));
    TCalendarImport result;
    for (icalcomponent* calendar : calendars)
        for (icalcomponent* event =
                 icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             event != nullptr;
             event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            ReadEvent(event, year, startMonth, zone, result);
    std::stable_sort(result.Days.begin(), result.Days.end(), EarlierInYear);
    return result;
}

TCalendarImport ImportICalendarFile(const QString& fileName, int year, const QTimeZone& zone,
                                    int startMonth) {
    const QFileInfo info(fileName);
    if (!info.isFile())
        throw EFamilyDaysError(
            QStringLiteral("「%1」はふつうのファイルではないので読み込めません。").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFamilyDaysError(
            QStringLiteral("「%1」を読めません（%2）。").arg(fileName, ReadFailureReason(errno)));
    const QByteArray data = file.read(MaxFileBytes + 1);
    if (data.size() > MaxFileBytes)
        throw EFamilyDaysError(
            QStringLiteral("「%1」は大きすぎます（16 MB まで）。").arg(fileName));
    return ImportICalendar(data, year, fileName, zone, startMonth);
}
