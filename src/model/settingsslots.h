// The settings file tamurika.ini: ten slots "settei1" .. "settei10" of fonts, colours and title
// style, each with a comment, and in section "tamurika" the slot saved last ("zenkai"). Files
// written by the first Windows version of the program read and write byte for byte alike.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "platform/font.h"
#include "platform/tcolor.h"

class TIniFile;

inline constexpr int SlotCount = 10;
inline const QString SettingsIniName = QStringLiteral("tamurika.ini");
/// Face of all four fonts in a slot that names none.
inline const QString DefaultFontFace = QStringLiteral("ＭＳ ゴシック");

/// The four fonts of the sheet, by index: year title, month titles, day numbers, day-of-week
/// letters (keys "font1" .. "font4").
enum TSheetFont : std::uint8_t { sfYear, sfMonth, sfDay, sfDayOfWeek };
inline constexpr int SheetFontCount = 4;

/// The eight colours of the sheet, in the order of the colour column.
enum TSheetColor : std::uint8_t {
    scYear,       // year title text
    scMonth,      // month title text
    scWeekday,    // Monday–Friday day numbers and header letters
    scSunday,     // Sunday and holiday day numbers, Sunday header letter
    scSaturday,   // Saturday day numbers and header letter
    scDayBack,    // background of the day cells
    scHeaderBack, // background of the day-of-week header cells
    scLine,       // grid lines
};
inline constexpr int SheetColorCount = 8;

/// The colour a slot without the colour's key takes, and the value of a reset.
TColor DefaultSheetColor(TSheetColor color);

/// One font of a slot: face and style (bold, italic, both or neither; the size is fixed).
struct TSlotFont {
    QString Name = DefaultFontFace;
    TFontStyles Style = 0;
    bool operator==(const TSlotFont&) const = default;
};

/// Everything a slot holds besides its comment.
struct TSlotSettings {
    std::array<TSlotFont, SheetFontCount> Fonts;
    std::array<TColor, SheetColorCount> Colors;
    /// Title style index as stored; may lie outside 0..7 in a file edited by hand.
    std::int32_t TitleStyle = 0;

    TSlotSettings();
    bool operator==(const TSlotSettings&) const = default;
};

/// Section of slot n: "settei" + n.
QString SlotSection(int slot);
/// Comment of a slot that has none: "フォント設定" + n.
QString DefaultSlotComment(int slot);

/// The comments of the ten slots (index 0 is slot 1) and the slot saved last ("zenkai",
/// 1 when missing; kept as stored even outside 1..10).
struct TSlotDirectory {
    std::array<QString, SlotCount> Comments;
    /// Whether slot n (index n − 1) was ever saved: its section is in the file.
    std::array<bool, SlotCount> Saved{};
    std::int32_t LastSlot = 1;
};
TSlotDirectory ReadSlotDirectory(const TIniFile& ini);

/// The fonts, colours and title style of slot n; all defaults for n outside 1..10 or for a
/// slot never saved. A flag is true when its value is a non-zero integer.
TSlotSettings ReadSlot(const TIniFile& ini, int slot);

/// Writes the comment, the four fonts (face, bold key, italic key) and the eight colours of
/// slot n, key by key in the file's order. The title style and the last slot are written by
/// WriteLastSlot and WriteSlotTitleStyle, which a save runs after this.
void WriteSlotFontsAndColors(TIniFile& ini, int slot, const QString& comment,
                             const TSlotSettings& settings);
/// "zenkai" := n in section "tamurika".
void WriteLastSlot(TIniFile& ini, int slot);
/// "zenkaiym" := style in slot n.
void WriteSlotTitleStyle(TIniFile& ini, int slot, std::int32_t style);

/// A whole save of slot n, in the order above: fonts and colours, the last slot, the title
/// style. The keys reach the file together or not at all, and another copy of the program
/// saving at the same time waits for this save (or this one for it), so the file always holds
/// whole slots. Raises "%s に書き込めません" with the file unchanged when it cannot be written.
void SaveSlotSettings(TIniFile& ini, int slot, const QString& comment,
                      const TSlotSettings& settings, std::int32_t style);
