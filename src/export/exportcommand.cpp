#include "exportcommand.h"

#include <cmath>
#include <optional>

#include <QLocale>
#include <QTextStream>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "calendar/julius.h"
#include "koyomilist.h"
#include "model/koyomioptions.h"
#include "model/paperchoice.h"
#include "model/settingsslots.h"
#include "platform/sysutils.h"
#include "platform/version.h"
#include "settings/settingsfolder.h"
#include "sheet/sheetlayout.h"

using namespace Qt::StringLiterals;

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
    return QStringLiteral(
        "使い方: tamurika-export --holidays 開始年 [終了年]\n"
        "  開始年から終了年まで（省略時は開始年のみ）の祝日・休日を\n"
        "  「YYYY-MM-DD<タブ>名前」の形で一日一行ずつ出力します。\n"
        "使い方: tamurika-export --koyomi 開始年 [終了年]\n"
        "  開始年から終了年まで（1700〜2300年）の毎日の暦を「YYYY-MM-DD<タブ>旧暦<タブ>六曜<タブ>\n"
        "  二十四節気・月相・雑節」の形で一日一行ずつ出力します。\n"
        "使い方: tamurika-export [--year 年] [--picture 画像ファイル] [--slot 設定番号]\n"
        "                        [--position 位置] [--paper 用紙] [--show 暦の表示]\n"
        "                        [--days ファイル] [--start-month 月] [--week-start 曜日]\n"
        "                        [--title 題名] [--title-place 場所] 出力先\n"
        "  一年分のカレンダーを「ﾌﾟﾚﾋﾞｭ-＆印刷」と同じ一枚の用紙（縦）に作ります。\n"
        "  --year 年          作る年（省略時は今年）\n"
        "  --picture ファイル  上に載せる画像（jpg, png, gif, tif, webp, heic, bmp, dib など）\n"
        "  --slot 番号        フォント・色・年月の表示に使う設定（1〜10、省略時は前回保存した設定）\n"
        "  --position 位置    用紙上の左右の位置（-10〜10、省略時は保存されている位置）\n"
        "  --paper 用紙       用紙の大きさ（A4, A3, B4, B5, A5, Letter、省略時は前回選んだ用紙）\n"
        "                     A4 より大きい用紙・小さい用紙には全体を拡大・縮小して中央に置きます\n"
        "  --days ファイル     日付の欄に名前を書く記念日（記念日のファイルか iCalendar の .ics、\n"
        "                     省略時はウィンドウで登録した記念日）\n"
        "  --start-month 月    最初の月（1〜12、4 で 4月始まり、省略時は前回の設定）\n"
        "  --week-start 曜日   週の始まり（sunday か monday、省略時は前回の設定）\n"
        "  --title 題名        年の題名の上に（または代わりに）印刷する自分の題名\n"
        "                     （空にすると印刷しません。省略時は前回の設定）\n"
        "  --title-place 場所  自分の題名の場所（above: 年の題名の上、replace: 年の題名の代わり）\n"
        "  --show 暦の表示    日付の欄に添える暦をコンマで区切って指定します（省略時は前回の設定）\n"
        "                     rokuyo（六曜）, sekki（二十四節気）, zassetsu（雑節）, moon（月相）,\n"
        "                     kyureki（旧暦、各月の一日）, kyureki-daily（旧暦、毎日）,\n"
        "                     holidays（祝日名）, taian（大安を強調）, none（何も添えない）\n"
        "  --fill [--focus X,Y] [--zoom 倍率]\n"
        "                     画像で枠をいっぱいにします（はみ出す部分は切り取ります）。\n"
        "                     X,Y は切り取る部分の中心にする画像上の点（0〜1、左上が 0,0、\n"
        "                     省略時は 0.5,0.5）、倍率は 1〜4（省略時は 1）\n"
        "  出力先は次のどれか一つです。\n"
        "  --pdf ファイル      PDFファイルに印刷します\n"
        "  --png ファイル [--dpi 解像度]\n"
        "                     PNG画像にします（解像度 24〜600、省略時は 96 でプレビューと同じ）\n"
        "  --printer キュー    プリンタのキューに印刷します\n"
        "  tamurika-export --help  この説明を表示します。\n"
        "  tamurika-export --version  バージョンを表示します。\n");
}

namespace {

// The sheet's options, each followed by its value, and those that stand alone.
const QStringList SheetOptions = {
    u"--year"_s,  u"--picture"_s,    u"--slot"_s, u"--position"_s,    u"--pdf"_s,
    u"--png"_s,   u"--printer"_s,    u"--dpi"_s,  u"--focus"_s,       u"--zoom"_s,
    u"--paper"_s, u"--show"_s,       u"--days"_s, u"--start-month"_s, u"--week-start"_s,
    u"--title"_s, u"--title-place"_s};
const QStringList SheetFlags = {u"--fill"_s};

// A number as the C locale writes it ("0.25", "1e-1"), nothing else around it.
std::optional<double> ParseNumber(const QString& text) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FocusMessage(const QString& text) {
    return QStringLiteral("焦点 '%1' は 0 から 1 までの二つの数を「X,Y」の形で指定してください。")
        .arg(text);
}

void ParseFocus(const QString& text, TPictureFraming& framing) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 2)
        throw EExportUsage(FocusMessage(text));
    const auto x = ParseNumber(parts[0].trimmed());
    const auto y = ParseNumber(parts[1].trimmed());
    if (!x || !y || *x < 0 || *x > 1 || *y < 0 || *y > 1)
        throw EExportUsage(FocusMessage(text));
    framing.FocusX = *x;
    framing.FocusY = *y;
}

double ParseZoom(const QString& text) {
    const auto zoom = ParseNumber(text.trimmed());
    if (!zoom || *zoom < TPictureFraming::MinZoom || *zoom > TPictureFraming::MaxZoom)
        throw EExportUsage(
            QStringLiteral("倍率 '%1' は 1 から 4 までの数で指定してください。").arg(text));
    return *zoom;
}

int ParseRange(const QString& text, int low, int high, const QString& what) {
    int value = 0;
    if (!TryStrToInt(text, value) || value < low || value > high)
        throw EExportUsage(QStringLiteral("%1 '%2' は %3 から %4 までの整数で指定してください。")
                               .arg(what, text)
                               .arg(low)
                               .arg(high));
    return value;
}

TExportOptions ParseSheetArguments(const QStringList& arguments) {
    TExportOptions options;
    options.Mode = TExportOptions::TMode::Sheet;
    QStringList seen;
    std::optional<int> dpi;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString option = arguments[i];
        QString value;
        bool hasValue = false;
        // "--year=2027" reads like "--year 2027".
        if (const qsizetype equals = option.indexOf(u'='); option.startsWith(u"--") && equals > 0) {
            value = option.mid(equals + 1);
            option.truncate(equals);
            hasValue = true;
        }
        const bool flag = SheetFlags.contains(option);
        if (!flag && !SheetOptions.contains(option))
            throw EExportUsage(QStringLiteral("不明な引数です: %1").arg(arguments[i]));
        if (seen.contains(option))
            throw EExportUsage(QStringLiteral("%1 が二度指定されています。").arg(option));
        seen << option;
        if (flag) {
            if (hasValue)
                throw EExportUsage(QStringLiteral("%1 には値を付けられません。").arg(option));
            options.Framing.Mode = TFrameMode::Fill;
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size())
                throw EExportUsage(QStringLiteral("%1 には値が必要です。").arg(option));
            value = arguments[++i];
        }
        if (option == u"--year") {
            options.Year = ParseYear(value);
        } else if (option == u"--slot") {
            options.Slot = ParseRange(value, 1, SlotCount, QStringLiteral("設定番号"));
        } else if (option == u"--position") {
            options.Position =
                ParseRange(value, -SheetMaxPosition, SheetMaxPosition, QStringLiteral("位置"));
        } else if (option == u"--paper") {
            options.Paper = PaperByName(value);
            if (!options.Paper)
                throw EExportUsage(
                    QStringLiteral(
                        "用紙 '%1' は A4、A3、B4、B5、A5、Letter のどれかで指定してください。")
                        .arg(value));
        } else if (option == u"--show") {
            QString bad;
            if (!ParseKoyomiShow(value, {}, &bad))
                throw EExportUsage(
                    QStringLiteral(
                        "--show の '%1' はわかりません。rokuyo、sekki、zassetsu、moon、kyureki、kyureki-daily、holidays、taian、none から選んでコンマで区切ってください。")
                        .arg(bad));
            options.KoyomiShow = value;
        } else if (option == u"--start-month") {
            options.StartMonth = ParseRange(value, 1, 12, QStringLiteral("最初の月"));
        } else if (option == u"--week-start") {
            options.WeekStart = WeekStartByWord(value);
            if (!options.WeekStart)
                throw EExportUsage(
                    QStringLiteral("週の始まり '%1' は sunday か monday で指定してください。")
                        .arg(value));
        } else if (option == u"--title") {
            // Empty: no title of their own, whatever the window chose.
            options.Title = OwnTitleText(value);
        } else if (option == u"--title-place") {
            const QString place = value.trimmed().toLower();
            if (place == u"above")
                options.TitlePlace = TOwnTitlePlace::Above;
            else if (place == u"replace")
                options.TitlePlace = TOwnTitlePlace::Replace;
            else
                throw EExportUsage(
                    QStringLiteral("題名の場所 '%1' は above か replace で指定してください。")
                        .arg(value));
        } else if (option == u"--dpi") {
            dpi = ParseRange(value, ExportMinDpi, ExportMaxDpi, QStringLiteral("解像度"));
        } else if (option == u"--focus") {
            ParseFocus(value, options.Framing);
        } else if (option == u"--zoom") {
            options.Framing.Zoom = ParseZoom(value);
        } else {
            if (value.isEmpty())
                throw EExportUsage(QStringLiteral("%1 の値が空です。").arg(option));
            if (option == u"--picture") {
                options.PictureFile = value;
            } else if (option == u"--days") {
                options.DaysFile = value;
            } else {
                options.Output = option == u"--pdf"   ? TExportOptions::TOutput::Pdf
                                 : option == u"--png" ? TExportOptions::TOutput::Png
                                                      : TExportOptions::TOutput::Printer;
                options.Target = value;
            }
        }
    }
    const qsizetype outputs =
        seen.count(u"--pdf"_s) + seen.count(u"--png"_s) + seen.count(u"--printer"_s);
    if (outputs == 0)
        throw EExportUsage(
            QStringLiteral("出力先（--pdf、--png、--printer のどれか）が指定されていません。"));
    if (outputs > 1)
        throw EExportUsage(
            QStringLiteral("出力先は --pdf、--png、--printer のどれか一つだけ指定してください。"));
    if (dpi) {
        if (options.Output != TExportOptions::TOutput::Png)
            throw EExportUsage(QStringLiteral("--dpi は --png と一緒にだけ使えます。"));
        options.Dpi = *dpi;
    }
    if (options.Framing.Mode != TFrameMode::Fill)
        for (const QString& option : {u"--focus"_s, u"--zoom"_s})
            if (seen.contains(option))
                throw EExportUsage(
                    QStringLiteral("%1 は --fill と一緒にだけ使えます。").arg(option));
    return options;
}

} // namespace

TExportOptions ParseExportArguments(const QStringList& arguments) {
    TExportOptions options;
    if (arguments.isEmpty())
        throw EExportUsage(
            QStringLiteral("出力先（--pdf、--png、--printer のどれか）が指定されていません。"));
    const QString& mode = arguments.front();
    if (mode == u"--help" || mode == u"-h") {
        if (arguments.size() > 1)
            throw EExportUsage(QStringLiteral("余分な引数があります: %1").arg(arguments[1]));
        return options;
    }
    if (mode == u"--version") {
        if (arguments.size() > 1)
            throw EExportUsage(QStringLiteral("余分な引数があります: %1").arg(arguments[1]));
        options.Mode = TExportOptions::TMode::Version;
        return options;
    }
    if (mode != u"--holidays" && mode != u"--koyomi")
        return ParseSheetArguments(arguments);
    if (arguments.size() < 2)
        throw EExportUsage(QStringLiteral("%1 には開始年が必要です。").arg(mode));
    if (arguments.size() > 3)
        throw EExportUsage(QStringLiteral("余分な引数があります: %1").arg(arguments[3]));
    options.Mode =
        mode == u"--koyomi" ? TExportOptions::TMode::Koyomi : TExportOptions::TMode::Holidays;
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
    // The holidays the printed sheet is composed with; no control, no window.
    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    const std::int32_t last = Julius::YMDToJD(toYear, 12, 31);
    for (std::int32_t jd = Julius::YMDToJD(fromYear, 1, 1); jd <= last; ++jd) {
        std::int32_t y;
        std::uint8_t m, d;
        Julius::JDToYMD(jd, y, m, d);
        const QString names = holidays.GetDayNames(y, m, d);
        if (!names.isEmpty())
            out << DateText(jd) << u'\t' << names << u'\n';
    }
}

int RunExport(const QStringList& arguments, QTextStream& out, QTextStream& err,
              const QString& programFolder) {
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
        case TExportOptions::TMode::Version:
            out << VersionText(QStringLiteral("tamurika-export"));
            break;
        case TExportOptions::TMode::Holidays:
            ListHolidays(options.FromYear, options.ToYear, out);
            break;
        case TExportOptions::TMode::Koyomi: {
            QStringList warnings;
            ListKoyomi(options.FromYear, options.ToYear, out, warnings);
            for (const QString& warning : std::as_const(warnings))
                err << "tamurika-export: " << warning << u'\n';
            err.flush();
            break;
        }
        case TExportOptions::TMode::Sheet: {
            QStringList warnings;
            out << ExportSheet(options, programFolder.isEmpty() ? ProgramFolder() : programFolder,
                               &warnings)
                << u'\n';
            // The sheet is written all the same; the user is told what will disappoint.
            for (const QString& warning : std::as_const(warnings))
                err << warning << u'\n';
            err.flush();
            break;
        }
        }
    } catch (const Exception& e) {
        out.flush();
        err << "tamurika-export: " << e.Message() << u'\n';
        err.flush();
        return 1;
    } catch (const std::exception& e) {
        // Out of memory for a huge picture, or the like: still a message, never a crash.
        out.flush();
        err << "tamurika-export: " << QString::fromLocal8Bit(e.what()) << u'\n';
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
