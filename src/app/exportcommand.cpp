#include "exportcommand.h"

#include <QTextStream>

#include "calendar/calex.h"
#include "calendar/calexdesign.h"
#include "calendar/julius.h"
#include "platform/sysutils.h"

namespace {

std::int32_t ParseYear(const QString& text) {
    std::int32_t year = 0;
    if (!TryStrToInt(text, year) || year < ExportMinYear || year > ExportMaxYear) {
        throw EExportUsage(QStringLiteral("年 '%1' は %2 から %3 までの整数で指定してください。")
                               .arg(text)
                               .arg(ExportMinYear)
                               .arg(ExportMaxYear));
    }
    return year;
}

QString DateText(std::int32_t jd) {
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(jd, y, m, d);
    return QStringLiteral("%1-%2-%3")
        .arg(y, 4, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'));
}

} // namespace

QString ExportUsage() {
    return QStringLiteral("使い方: tamurika-export --holidays 開始年 [終了年]\n"
                          "  開始年から終了年まで（省略時は開始年のみ）の祝日・休日を\n"
                          "  「YYYY-MM-DD<タブ>名前」の形で一日一行ずつ出力します。\n"
                          "  tamurika-export --help  この説明を表示します。\n");
}

TExportOptions ParseExportArguments(const QStringList& arguments) {
    TExportOptions options;
    if (arguments.isEmpty())
        throw EExportUsage(QStringLiteral("モードが指定されていません。"));
    const QString& mode = arguments.front();
    if (mode == u"--help" || mode == u"-h") {
        if (arguments.size() > 1)
            throw EExportUsage(QStringLiteral("余分な引数があります: %1").arg(arguments[1]));
        return options;
    }
    if (mode != u"--holidays")
        throw EExportUsage(QStringLiteral("不明な引数です: %1").arg(mode));
    if (arguments.size() < 2)
        throw EExportUsage(QStringLiteral("--holidays には開始年が必要です。"));
    if (arguments.size() > 3)
        throw EExportUsage(QStringLiteral("余分な引数があります: %1").arg(arguments[3]));
    options.Mode = TExportOptions::TMode::Holidays;
    options.FromYear = ParseYear(arguments[1]);
    options.ToYear = arguments.size() == 3 ? ParseYear(arguments[2]) : options.FromYear;
    if (options.ToYear < options.FromYear) {
        throw EExportUsage(QStringLiteral("終了年 %1 が開始年 %2 より前です。")
                               .arg(options.ToYear)
                               .arg(options.FromYear));
    }
    return options;
}

void ListHolidays(std::int32_t fromYear, std::int32_t toYear, QTextStream& out) {
    // Set up like the hidden calendar control that composes the printed sheet, and stepped
    // through the days the same way. It is never shown, so it never draws.
    TCalendarEx calendar;
    ApplyProgramDesign(calendar);
    const std::int32_t last = Julius::YMDToJD(toYear, 12, 31);
    for (std::int32_t jd = Julius::YMDToJD(fromYear, 1, 1); jd <= last; ++jd) {
        calendar.SetJuliusDay(jd);
        const QString names = calendar.TypeOfDayText();
        if (!names.isEmpty())
            out << DateText(jd) << u'\t' << names << u'\n';
    }
}

int RunExport(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    TExportOptions options;
    try {
        options = ParseExportArguments(arguments);
    } catch (const EExportUsage& e) {
        err << "tamurika-export: " << e.Message() << u'\n' << ExportUsage();
        err.flush();
        return 2;
    }
    try {
        switch (options.Mode) {
        case TExportOptions::TMode::Help:
            out << ExportUsage();
            break;
        case TExportOptions::TMode::Holidays:
            ListHolidays(options.FromYear, options.ToYear, out);
            break;
        }
    } catch (const Exception& e) {
        out.flush();
        err << "tamurika-export: " << e.Message() << u'\n';
        err.flush();
        return 1;
    }
    out.flush();
    if (out.status() != QTextStream::Ok) {
        // A full disk or a closed pipe must not pass for a complete listing.
        err << "tamurika-export: 出力を書き込めませんでした。\n";
        err.flush();
        return 1;
    }
    return 0;
}
