#include "exportcommand.h"

#include <QTextStream>

#include "calendar/calex.h"
#include "calendar/calexdesign.h"
#include "calendar/julius.h"
#include "platform/settingsfolder.h"
#include "platform/sysutils.h"
#include "preview/paperchoice.h"
#include "preview/sheetlayout.h"
#include "settingsslots.h"
#include "startoptions.h"

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
        "使い方: tamurika-export [--year 年] [--picture 画像ファイル] [--slot 設定番号]\n"
        "                        [--position 位置] [--paper 用紙] 出力先\n"
        "  一年分のカレンダーを「ﾌﾟﾚﾋﾞｭ-＆印刷」と同じ一枚の用紙（縦）に作ります。\n"
        "  --year 年          作る年（省略時は今年）\n"
        "  --picture ファイル  上に載せる画像（jpg, png, gif, tif, webp, heic, bmp, dib など）\n"
        "  --slot 番号        "
        "フォント・色・年月の表示に使う設定（1〜10、省略時は前回保存した設定）\n"
        "  --position 位置    用紙上の左右の位置（-10〜10、省略時は保存されている位置）\n"
        "  --paper 用紙       用紙の大きさ（A4, A3, B4, B5, A5, Letter、省略時は前回選んだ用紙）\n"
        "                     A4 より大きい用紙・小さい用紙には全体を拡大・縮小して中央に置きます\n"
        "  出力先は次のどれか一つです。\n"
        "  --pdf ファイル      PDFファイルに印刷します\n"
        "  --png ファイル [--dpi 解像度]\n"
        "                     PNG画像にします（解像度 24〜600、省略時は 96 でプレビューと同じ）\n"
        "  --printer キュー    プリンタのキューに印刷します\n"
        "  tamurika-export --help  この説明を表示します。\n"
        "  tamurika-export --version  バージョンを表示します。\n");
}

namespace {

// The sheet's options, each followed by its value.
const QStringList SheetOptions = {u"--year"_s,     u"--picture"_s, u"--slot"_s,
                                  u"--position"_s, u"--pdf"_s,     u"--png"_s,
                                  u"--printer"_s,  u"--dpi"_s,     u"--paper"_s};

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
        if (!SheetOptions.contains(option))
            throw EExportUsage(QStringLiteral("不明な引数です: %1").arg(arguments[i]));
        if (seen.contains(option))
            throw EExportUsage(QStringLiteral("%1 が二度指定されています。").arg(option));
        seen << option;
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
        } else if (option == u"--dpi") {
            dpi = ParseRange(value, ExportMinDpi, ExportMaxDpi, QStringLiteral("解像度"));
        } else {
            if (value.isEmpty())
                throw EExportUsage(QStringLiteral("%1 の値が空です。").arg(option));
            if (option == u"--picture") {
                options.PictureFile = value;
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
    if (mode != u"--holidays")
        return ParseSheetArguments(arguments);
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
        case TExportOptions::TMode::Sheet:
            out << ExportSheet(options, programFolder.isEmpty() ? ProgramFolder() : programFolder)
                << u'\n';
            break;
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
