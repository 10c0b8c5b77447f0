#include "sheetshape.h"

#include "settings/statefile.h"

namespace {

const QString Section = QStringLiteral("sheet");
const QString StartMonthKey = QStringLiteral("startmonth");
const QString WeekStartKey = QStringLiteral("weekstart");
const QString TitleKey = QStringLiteral("title");
const QString TitleFaceKey = QStringLiteral("titleface");
const QString TitleBoldKey = QStringLiteral("titlebold");
const QString TitleItalicKey = QStringLiteral("titleitalic");
const QString TitlePlaceKey = QStringLiteral("titleplace");

QString PlaceWord(TOwnTitlePlace place) {
    return place == TOwnTitlePlace::Replace ? QStringLiteral("replace") : QStringLiteral("above");
}

std::optional<TOwnTitlePlace> PlaceByWord(const QString& word) {
    for (TOwnTitlePlace place : {TOwnTitlePlace::Above, TOwnTitlePlace::Replace})
        if (word.trimmed().compare(PlaceWord(place), Qt::CaseInsensitive) == 0)
            return place;
    return std::nullopt;
}

} // namespace

TSheetMonth SheetMonthAt(std::int32_t year, int startMonth, int n) {
    const int index = (startMonth - 1) + (n - 1); // 0 .. 22
    return {year + index / 12, index % 12 + 1};
}

std::int32_t SheetYearOf(std::int32_t year, int month, int startMonth) {
    return month >= startMonth ? year : year - 1;
}

int WeekdayOfColumn(int col, TWeekStart start) {
    return (col + (start == TWeekStart::Monday ? 1 : 0)) % 7;
}

int ColumnOfWeekday(int weekday, TWeekStart start) {
    return (weekday + 7 - (start == TWeekStart::Monday ? 1 : 0)) % 7;
}

QString OwnTitleText(const QString& text) {
    QString line = text;
    for (QChar& c : line)
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    line = line.trimmed();
    if (line.size() > OwnTitleMaxLength) {
        // Never half of a surrogate pair.
        qsizetype cut = OwnTitleMaxLength;
        if (line.at(cut - 1).isHighSurrogate())
            --cut;
        line.truncate(cut);
    }
    return line;
}

QString WeekStartWord(TWeekStart start) {
    return start == TWeekStart::Monday ? QStringLiteral("monday") : QStringLiteral("sunday");
}

std::optional<TWeekStart> WeekStartByWord(const QString& word) {
    for (TWeekStart start : {TWeekStart::Sunday, TWeekStart::Monday})
        if (word.trimmed().compare(WeekStartWord(start), Qt::CaseInsensitive) == 0)
            return start;
    return std::nullopt;
}

TSheetShape ReadSheetShape(const QString& appPath) {
    const TStateFile state(appPath);
    TSheetShape shape;
    bool ok = false;
    const int month = state.ReadString(Section, StartMonthKey, {}).trimmed().toInt(&ok);
    if (ok && month >= 1 && month <= 12)
        shape.StartMonth = month;
    if (auto start = WeekStartByWord(state.ReadString(Section, WeekStartKey, {})))
        shape.WeekStart = *start;
    shape.Title.Text = OwnTitleText(state.ReadString(Section, TitleKey, {}));
    // A face is any name; one too long to be a face, or empty, is none.
    const QString face = state.ReadString(Section, TitleFaceKey, {}).trimmed();
    if (!face.isEmpty() && face.size() <= 64)
        shape.Title.Font.Name = face;
    const auto bold = StateSwitch(state.ReadString(Section, TitleBoldKey, {}));
    const auto italic = StateSwitch(state.ReadString(Section, TitleItalicKey, {}));
    const TFontStyles fallback = shape.Title.Font.Style;
    shape.Title.Font.Style =
        static_cast<TFontStyles>((bold.value_or((fallback & fsBold) != 0) ? fsBold : 0) |
                                 (italic.value_or((fallback & fsItalic) != 0) ? fsItalic : 0));
    if (auto place = PlaceByWord(state.ReadString(Section, TitlePlaceKey, {})))
        shape.Title.Place = *place;
    return shape;
}

void WriteSheetShape(const QString& appPath, const TSheetShape& shape) {
    TStateFile state(appPath);
    TIniFileUpdate update(state);
    state.WriteString(Section, StartMonthKey, QString::number(shape.StartMonth));
    state.WriteString(Section, WeekStartKey, WeekStartWord(shape.WeekStart));
    state.WriteString(Section, TitleKey, OwnTitleText(shape.Title.Text));
    state.WriteString(Section, TitleFaceKey, shape.Title.Font.Name);
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    state.WriteString(Section, TitleBoldKey, flag((shape.Title.Font.Style & fsBold) != 0));
    state.WriteString(Section, TitleItalicKey, flag((shape.Title.Font.Style & fsItalic) != 0));
    state.WriteString(Section, TitlePlaceKey, PlaceWord(shape.Title.Place));
    update.Commit();
}
