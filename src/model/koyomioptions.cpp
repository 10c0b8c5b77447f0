#include "koyomioptions.h"

#include <QStringList>

#include "settings/statefile.h"

namespace {

const QString Section = QStringLiteral("koyomi");

// The keys of the on/off options and the --show word of each, in one table so that the file
// and the command line cannot drift apart.
struct TSwitch {
    const char* Key;
    bool TKoyomiOptions::*Field;
};
constexpr TSwitch Switches[] = {
    {"rokuyo", &TKoyomiOptions::Rokuyo},         {"sekki", &TKoyomiOptions::SolarTerms},
    {"zassetsu", &TKoyomiOptions::Zassetsu},     {"moon", &TKoyomiOptions::MoonPhases},
    {"holidays", &TKoyomiOptions::HolidayNames}, {"taian", &TKoyomiOptions::Taian},
};

const QString KyurekiKey = QStringLiteral("kyureki");
const QString FaceKey = QStringLiteral("face");
const QString ColorKey = QStringLiteral("color");

QString KyurekiValue(TKyurekiMode mode) {
    switch (mode) {
    case TKyurekiMode::FirstDay:
        return QStringLiteral("first");
    case TKyurekiMode::EveryDay:
        return QStringLiteral("daily");
    case TKyurekiMode::Off:
        break;
    }
    return QStringLiteral("off");
}

std::optional<TKyurekiMode> KyurekiByValue(const QString& value) {
    for (TKyurekiMode mode : {TKyurekiMode::Off, TKyurekiMode::FirstDay, TKyurekiMode::EveryDay})
        if (value.compare(KyurekiValue(mode), Qt::CaseInsensitive) == 0)
            return mode;
    return std::nullopt;
}

// "#RRGGBB", as colours are written for people.
QString ColorValue(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QStringLiteral("#%1%2%3")
        .arg(rgb & 0xFF, 2, 16, QChar(u'0'))
        .arg((rgb >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((rgb >> 16) & 0xFF, 2, 16, QChar(u'0'))
        .toUpper();
}

std::optional<TColor> ColorByValue(const QString& value) {
    const QString v = value.trimmed();
    if (v.size() != 7 || !v.startsWith(u'#'))
        return std::nullopt;
    bool ok = false;
    const uint rgb = v.mid(1).toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

const QString DailyWord = QStringLiteral("kyureki-daily");
const QString NoneWord = QStringLiteral("none");

} // namespace

bool TKoyomiOptions::AnyShown() const {
    return Rokuyo || SolarTerms || Zassetsu || MoonPhases || Kyureki != TKyurekiMode::Off ||
           HolidayNames || Taian;
}

QString KoyomiShowWords(const TKoyomiOptions& options) {
    QStringList words;
    for (const TSwitch& s : Switches) {
        if (QLatin1String(s.Key) == u"holidays") {
            // The order of the manual pages: the lunisolar date before the holidays.
            if (options.Kyureki == TKyurekiMode::FirstDay)
                words << KyurekiKey;
            else if (options.Kyureki == TKyurekiMode::EveryDay)
                words << DailyWord;
        }
        if (options.*s.Field)
            words << QLatin1String(s.Key);
    }
    return words.isEmpty() ? NoneWord : words.join(u',');
}

std::optional<TKoyomiOptions> ParseKoyomiShow(const QString& words, const TKoyomiOptions& base,
                                              QString* badWord) {
    TKoyomiOptions options = base;
    for (const TSwitch& s : Switches)
        options.*s.Field = false;
    options.Kyureki = TKyurekiMode::Off;
    const QStringList list = words.split(u',');
    for (const QString& raw : list) {
        const QString word = raw.trimmed().toLower();
        bool known = false;
        if (word == NoneWord && list.size() == 1) {
            known = true;
        } else if (word == KyurekiKey) {
            // Every day wins when both are named.
            if (options.Kyureki == TKyurekiMode::Off)
                options.Kyureki = TKyurekiMode::FirstDay;
            known = true;
        } else if (word == DailyWord) {
            options.Kyureki = TKyurekiMode::EveryDay;
            known = true;
        } else {
            for (const TSwitch& s : Switches)
                if (word == QLatin1String(s.Key)) {
                    options.*s.Field = true;
                    known = true;
                }
        }
        if (!known) {
            if (badWord != nullptr)
                *badWord = raw.trimmed();
            return std::nullopt;
        }
    }
    return options;
}

TKoyomiOptions ReadKoyomiOptions(const QString& appPath) {
    const TStateFile state(appPath);
    TKoyomiOptions options;
    for (const TSwitch& s : Switches)
        if (auto on = StateSwitch(state.ReadString(Section, QLatin1String(s.Key), {})))
            options.*s.Field = *on;
    if (auto mode = KyurekiByValue(state.ReadString(Section, KyurekiKey, {}).trimmed()))
        options.Kyureki = *mode;
    // A face is any name; one too long to be a face, or empty, is none.
    const QString face = state.ReadString(Section, FaceKey, {}).trimmed();
    if (!face.isEmpty() && face.size() <= 64)
        options.Face = face;
    if (auto color = ColorByValue(state.ReadString(Section, ColorKey, {})))
        options.Color = *color;
    return options;
}

void WriteKoyomiOptions(const QString& appPath, const TKoyomiOptions& options) {
    TStateFile state(appPath);
    TIniFileUpdate update(state);
    for (const TSwitch& s : Switches)
        state.WriteString(Section, QLatin1String(s.Key),
                          options.*s.Field ? QStringLiteral("1") : QStringLiteral("0"));
    state.WriteString(Section, KyurekiKey, KyurekiValue(options.Kyureki));
    state.WriteString(Section, FaceKey, options.Face);
    state.WriteString(Section, ColorKey, ColorValue(options.Color));
    update.Commit();
}
