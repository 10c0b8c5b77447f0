#include "daysfile.h"

#include <algorithm>

#include <cerrno>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include "platform/atomicfile.h"
#include "platform/outputfile.h"

namespace {

// A days file is a person's list: a thousand lines are a few tens of kilobytes.
constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

const QString WeekdayLetters = QStringLiteral("日月火水木金土");

bool IsSeparator(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0x3000) || c == u'\r' || c == u'\v' || c == u'\f';
}

// Splits a line into its fields; a field in double quotes may hold separators, and "" in it
// stands for one quote. Nothing when a quote is not closed.
std::optional<QStringList> Fields(const QString& line) {
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        while (i < n && IsSeparator(line[i]))
            ++i;
        if (i >= n)
            break;
        QString field;
        if (line[i] == u'"') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += line[i++];
            }
            if (!closed)
                return std::nullopt;
        } else {
            while (i < n && !IsSeparator(line[i]))
                field += line[i++];
        }
        fields << field;
    }
    return fields;
}

// Full-width digits and slashes as people type them in Japanese input modes.
QString Narrow(QString text) {
    for (QChar& c : text) {
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19))
            c = QChar(c.unicode() - 0xFF10 + u'0');
        else if (c == QChar(0xFF0F))
            c = u'/';
        else if (c == QChar(0xFF03))
            c = u'#';
    }
    return text;
}

// Reads the date field into `day`; the message for the user when it is not a date.
std::optional<QString> ReadDate(const QString& field, TFamilyDay& day) {
    const QString text = Narrow(field);
    static const QRegularExpression yearly(QStringLiteral("^(\\d{1,2})[/-](\\d{1,2})$"));
    static const QRegularExpression once(
        QStringLiteral("^(\\d{1,4})[/-](\\d{1,2})[/-](\\d{1,2})$"));
    static const QRegularExpression kanjiDate(
        QStringLiteral("^(?:(\\d{1,4})年)?(\\d{1,2})月(\\d{1,2})日$"));
    static const QRegularExpression rule(
        QStringLiteral("^(\\d{1,2})月の?(?:第(\\d)|(最終))([日月火水木金土])曜?日?$"));
    QRegularExpressionMatch m;
    if ((m = yearly.match(text)).hasMatch()) {
        day.Repeat = TFamilyDay::TRepeat::Yearly;
        day.Month = m.captured(1).toInt();
        day.Day = m.captured(2).toInt();
    } else if ((m = once.match(text)).hasMatch()) {
        day.Repeat = TFamilyDay::TRepeat::Once;
        day.Year = m.captured(1).toInt();
        day.Month = m.captured(2).toInt();
        day.Day = m.captured(3).toInt();
    } else if ((m = kanjiDate.match(text)).hasMatch()) {
        day.Repeat =
            m.captured(1).isEmpty() ? TFamilyDay::TRepeat::Yearly : TFamilyDay::TRepeat::Once;
        day.Year = m.captured(1).toInt();
        day.Month = m.captured(2).toInt();
        day.Day = m.captured(3).toInt();
    } else if ((m = rule.match(text)).hasMatch()) {
        day.Repeat = TFamilyDay::TRepeat::Weekday;
        day.Month = m.captured(1).toInt();
        day.Week = m.captured(3).isEmpty() ? m.captured(2).toInt() : TFamilyDay::LastWeek;
        day.Weekday = static_cast<int>(WeekdayLetters.indexOf(m.captured(4)));
        if (day.Month < 1 || day.Month > 12)
            return QStringLiteral("「%1」の月がありません").arg(field);
        if (day.Week != TFamilyDay::LastWeek && (day.Week < 1 || day.Week > 5))
            return QStringLiteral("「%1」の第何週かは 1 から 5 までです").arg(field);
        return std::nullopt;
    } else {
        return QStringLiteral(
                   "「%1」は日付として読めません（5/5、2027/3/14、5月第2日曜 のように書きます）")
            .arg(field);
    }
    // 29 February is a date of every year (it is kept on the 28th in common years).
    const int year = day.Repeat == TFamilyDay::TRepeat::Once ? day.Year : 2000;
    if (year < 1 || !QDate(year, day.Month, day.Day).isValid())
        return QStringLiteral("「%1」という日はありません").arg(field);
    return std::nullopt;
}

std::optional<int> YearField(const QString& field) {
    static const QRegularExpression year(QStringLiteral("^(\\d{1,4})年?$"));
    const QRegularExpressionMatch m = year.match(Narrow(field));
    if (!m.hasMatch())
        return std::nullopt;
    const int value = m.captured(1).toInt();
    return value >= 1 ? std::optional(value) : std::nullopt;
}

// One line of days; the message for the user when it is not one.
std::optional<QString> ReadDay(const QString& line, TFamilyDay& day) {
    const std::optional<QStringList> fields = Fields(line);
    if (!fields)
        return QStringLiteral("「\"」が閉じられていません");
    if (fields->size() < 2)
        return QStringLiteral("日付と名前が要ります");
    if (auto problem = ReadDate(fields->at(0), day))
        return problem;
    day.Name = fields->at(1);
    if (day.Name.isEmpty())
        return QStringLiteral("名前が空です");
    bool kind = false, year = false, color = false;
    for (qsizetype i = 2; i < fields->size(); ++i) {
        const QString& field = fields->at(i);
        const QString narrow = Narrow(field);
        if (!kind && (field == u"誕生日" || field == u"記念日" || field == u"その他")) {
            day.Kind = field == u"誕生日"   ? TFamilyDay::TKind::Birthday
                       : field == u"記念日" ? TFamilyDay::TKind::Anniversary
                                            : TFamilyDay::TKind::Other;
            kind = true;
        } else if (!year && YearField(field)) {
            if (day.Repeat == TFamilyDay::TRepeat::Once)
                return QStringLiteral("その年だけの日に始まりの年「%1」は付けられません")
                    .arg(field);
            day.Year = *YearField(field);
            year = true;
        } else if (!color && field == u"祝日色") {
            day.ColorChoice = TFamilyDay::TColorChoice::Holiday;
            color = true;
        } else if (!color && narrow.size() == 7 && narrow.startsWith(u'#') &&
                   QColor::isValidColorName(narrow)) {
            day.ColorChoice = TFamilyDay::TColorChoice::Own;
            day.Color = QColor::fromString(narrow);
            color = true;
        } else {
            static const QString help = QStringLiteral(
                "（種類は 誕生日・記念日、年は 2015年、色は #RRGGBB か 祝日色 と書きます）");
            return QStringLiteral("「%1」が分かりません").arg(field) + help;
        }
    }
    return std::nullopt;
}

bool IsComment(const QString& line) {
    const QString trimmed = line.trimmed();
    return trimmed.isEmpty() || trimmed.startsWith(u'#') || trimmed.startsWith(QChar(0xFF03));
}

QString Quoted(const QString& name) {
    bool plain = !name.isEmpty() && !name.startsWith(u'"') && !name.startsWith(u'#');
    for (const QChar c : name)
        plain = plain && !IsSeparator(c);
    if (plain)
        return name;
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

QStringList DaysFileHeader() {
    return {QStringLiteral("# たむりか 記念日"),
            QStringLiteral(
                "# 一行に一日: 日付、名前、それに続けて種類・始まりの年・色（省略できます）。"),
            QStringLiteral(
                "#   日付: 5/5（毎年）、2027/3/14（その年だけ）、5月第2日曜・11月最終木曜（毎年）"),
            QStringLiteral(
                "#   種類: 誕生日・記念日（始まりの年から「太郎 12歳」「結婚10周年」と数えます）"),
            QStringLiteral("#   色: #RRGGBB か 祝日色"),
            QStringLiteral("# 2月29日の誕生日は、うるう年でない年には2月28日に書きます。")};
}

QString DayLine(const TFamilyDay& day) {
    QStringList fields{DateText(day), Quoted(day.Name)};
    if (day.Kind == TFamilyDay::TKind::Birthday)
        fields << QStringLiteral("誕生日");
    else if (day.Kind == TFamilyDay::TKind::Anniversary)
        fields << QStringLiteral("記念日");
    if (day.Repeat != TFamilyDay::TRepeat::Once && day.Year != 0)
        fields << QStringLiteral("%1年").arg(day.Year);
    if (day.ColorChoice == TFamilyDay::TColorChoice::Holiday)
        fields << QStringLiteral("祝日色");
    else if (day.ColorChoice == TFamilyDay::TColorChoice::Own)
        fields << day.Color.name(QColor::HexRgb).toUpper();
    return fields.join(u'\t');
}

namespace {

TDaysFile ParseDaysText(QString text) {
    TDaysFile file;
    while (text.startsWith(QChar(0xFEFF))) // a byte-order mark, or an editor's second one
        text.remove(0, 1);
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    QStringList pending; // comments (and lines not understood) waiting for the next day
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // CRLF, and the stray CRs of a file converted twice, are line ends, not text.
        QString line = lines[i];
        while (line.endsWith(u'\r'))
            line.chop(1);
        if (IsComment(line)) {
            (file.Days.empty() ? file.Header : pending) << line;
            continue;
        }
        TFamilyDay day;
        if (const std::optional<QString> problem = ReadDay(line, day)) {
            file.Problems.push_back({static_cast<int>(i + 1), line,
                                     QStringLiteral("%1行目: %2").arg(i + 1).arg(*problem)});
            (file.Days.empty() ? file.Header : pending) << line;
            continue;
        }
        day.Comments = pending;
        pending.clear();
        file.Days.push_back(day);
    }
    file.Trailing = pending;
    return file;
}

} // namespace

TDaysFile ParseDaysFile(const QByteArray& bytes) {
    return ParseDaysText(QString::fromUtf8(bytes));
}

TDaysFile WithDays(const TDaysFile& file, std::vector<TFamilyDay> days) {
    TDaysFile next = file;
    next.Days = std::move(days);
    QStringList remaining; // the comment lines the new days still carry
    for (const TFamilyDay& day : next.Days)
        remaining << day.Comments;
    for (const TFamilyDay& day : file.Days)
        for (const QString& line : day.Comments) {
            const bool unread =
                std::any_of(file.Problems.begin(), file.Problems.end(),
                            [&](const TDaysFileProblem& p) { return p.Text == line; });
            if (unread && !remaining.removeOne(line))
                next.Trailing << line;
        }
    return next;
}

QByteArray FormatDaysFile(const TDaysFile& file) {
    QStringList lines = file.Header;
    for (const TFamilyDay& day : file.Days) {
        lines << day.Comments;
        lines << DayLine(day);
    }
    lines << file.Trailing;
    QString text = lines.join(u'\n');
    if (!lines.isEmpty())
        text += u'\n';
    return text.toUtf8();
}

TDaysFile ReadDaysFile(const QString& fileName) {
    QFile f(fileName);
    if (!f.exists()) {
        TDaysFile file;
        file.Header = DaysFileHeader();
        return file;
    }
    if (!QFileInfo(fileName).isFile())
        throw EFamilyDaysError(
            QStringLiteral("記念日のファイル「%1」はふつうのファイルではありません。")
                .arg(fileName));
    if (!f.open(QIODevice::ReadOnly))
        throw EFamilyDaysError(QStringLiteral("記念日のファイル「%1」を読めません（%2）。")
                                   .arg(fileName, ReadFailureReason(errno)));
    const QByteArray bytes = f.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes)
        throw EFamilyDaysError(
            QStringLiteral("記念日のファイル「%1」が大きすぎます（4 MB まで）。").arg(fileName));
    // Decoded once: the text is checked and read from the same decoding.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        throw EFamilyDaysError(
            QStringLiteral("記念日のファイル「%1」は UTF-8 の文字で書かれていません。")
                .arg(fileName));
    return ParseDaysText(std::move(text));
}

TDaysFile ReadDaysFileOrNote(const QString& fileName) {
    try {
        return ReadDaysFile(fileName);
    } catch (const EFamilyDaysError& error) {
        TDaysFile file;
        file.Unreadable = true;
        file.Problems.push_back({0, QString(), error.Message()});
        return file;
    }
}

void WriteDaysFile(const QString& fileName, const TDaysFile& file) {
    if (file.Unreadable)
        throw EFamilyDaysError(
            QStringLiteral("記念日のファイル「%1」を読めなかったので、書き換えずに残しています。")
                .arg(fileName));
    if (!ReplaceFileAtomically(fileName, FormatDaysFile(file)))
        throw EFamilyDaysError(
            QStringLiteral(
                "記念日のファイル「%1」に書き込めませんでした。前の内容はそのまま残っています。")
                .arg(fileName));
}
