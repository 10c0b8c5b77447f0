// What the day cells show of the 暦 besides the number: the 六曜, the solar terms, the seasonal
// days (雑節), the Moon's principal phases, the lunisolar date, the holidays' names, and 大安
// set off from the other days; and the face and colour of that small text. The window's dialog
// "暦の表示" edits it as a part of the calendar model; it is kept in tamurika-state.ini
// (section "koyomi"), and tamurika-export can choose it with --show.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

#include "platform/tcolor.h"

/// Where the lunisolar date (旧暦) is shown.
enum class TKyurekiMode : std::uint8_t {
    Off,
    FirstDay, // on the first day of each lunar month
    EveryDay,
};

struct TKoyomiOptions {
    bool Rokuyo = false;     // 六曜
    bool SolarTerms = false; // 二十四節気
    bool Zassetsu = false;   // 雑節
    bool MoonPhases = false; // 月相: 新月, 上弦, 満月, 下弦
    TKyurekiMode Kyureki = TKyurekiMode::Off;
    bool HolidayNames = false; // 祝日名
    bool Taian = false; // 大安を強調: 大安 in bold on a tint, shown even without 六曜
    /// The face of the small text (its size follows from the cell), and its colour.
    QString Face = DefaultKoyomiFace;
    TColor Color = DefaultKoyomiColor;

    static inline const QString DefaultKoyomiFace = QStringLiteral("ＭＳ ゴシック");
    /// A dark grey: the small text stays behind the numbers it stands beside.
    static constexpr TColor DefaultKoyomiColor = 0x404040;

    bool operator==(const TKoyomiOptions&) const = default;

    /// Whether any of the 暦 is shown; when none is, the cells are drawn exactly as without
    /// these options.
    bool AnyShown() const;
};

/// The words of tamurika-export's --show, in this order: rokuyo, sekki, zassetsu, moon,
/// kyureki (the first day of each lunar month), kyureki-daily (every day), holidays, taian.
QString KoyomiShowWords(const TKoyomiOptions& options);
/// The options `base` with what it shows replaced by the comma-separated `words` (face and
/// colour kept); "none" alone shows nothing. Nothing when a word is unknown; `badWord` then
/// names it.
std::optional<TKoyomiOptions> ParseKoyomiShow(const QString& words, const TKoyomiOptions& base,
                                              QString* badWord = nullptr);

/// The options kept by the program whose folder is `appPath`; a missing file or key, or a
/// value that means nothing, gives that option's default, the others read as they are.
TKoyomiOptions ReadKoyomiOptions(const QString& appPath);
/// Keeps `options` in the state file, all keys at once; raises EIniFileException when the file
/// cannot be written (it then keeps what it held).
void WriteKoyomiOptions(const QString& appPath, const TKoyomiOptions& options);
