#include "settingsslots.h"

#include "settings/inifile.h"

namespace {

const QString LastSlotSection = QStringLiteral("tamurika");
const QString LastSlotKey = QStringLiteral("zenkai");
const QString CommentKey = QStringLiteral("comment");
const QString TitleStyleKey = QStringLiteral("zenkaiym");

// Colour keys in the order a save writes them (the header background before the day cells).
struct ColorKey {
    TSheetColor Color;
    const char* Key;
};
constexpr ColorKey ColorKeys[] = {
    {scYear, "YYcolor"},      {scMonth, "MMcolor"},    {scWeekday, "Heicolor"},
    {scSunday, "Nichicolor"}, {scSaturday, "Docolor"}, {scHeaderBack, "Youbicolor"},
    {scDayBack, "Sucolor"},   {scLine, "Sencolor"},
};

// Font k (0..3) is stored as "font" + (k + 1); its bold flag as "fs" + (k + 1) + "1" and its
// italic flag as "fs" + (k + 1) + "2".
QString FontKey(int k) {
    return QStringLiteral("font") + QString::number(k + 1);
}
QString BoldKey(int k) {
    return QStringLiteral("fs") + QString::number(k + 1) + u'1';
}
QString ItalicKey(int k) {
    return QStringLiteral("fs") + QString::number(k + 1) + u'2';
}

bool IsSlot(int slot) {
    return slot >= 1 && slot <= SlotCount;
}

} // namespace

TColor DefaultSheetColor(TSheetColor color) {
    switch (color) {
    case scSunday:
        return clRed;
    case scSaturday:
        return clBlue;
    case scDayBack:
    case scHeaderBack:
        return clWhite;
    default:
        return clBlack;
    }
}

TSlotSettings::TSlotSettings() {
    for (int c = 0; c < SheetColorCount; ++c)
        Colors[c] = DefaultSheetColor(TSheetColor(c));
}

QString SlotSection(int slot) {
    return QStringLiteral("settei%1").arg(slot);
}

QString DefaultSlotComment(int slot) {
    return QStringLiteral("フォント設定%1").arg(slot);
}

TSlotDirectory ReadSlotDirectory(const TIniFile& ini) {
    TSlotDirectory directory;
    for (int n = 1; n <= SlotCount; ++n) {
        directory.Comments[n - 1] =
            ini.ReadString(SlotSection(n), CommentKey, DefaultSlotComment(n));
        directory.Saved[n - 1] = ini.SectionExists(SlotSection(n));
    }
    directory.LastSlot = ini.ReadInteger(LastSlotSection, LastSlotKey, 1);
    return directory;
}

TSlotSettings ReadSlot(const TIniFile& ini, int slot) {
    TSlotSettings settings;
    if (!IsSlot(slot))
        return settings;
    const QString section = SlotSection(slot);
    for (int k = 0; k < SheetFontCount; ++k) {
        TSlotFont& font = settings.Fonts[k];
        font.Name = ini.ReadString(section, FontKey(k), DefaultFontFace);
        const bool bold = ini.ReadBool(section, BoldKey(k), false);
        const bool italic = ini.ReadBool(section, ItalicKey(k), false);
        font.Style = (bold ? fsBold : 0) | (italic ? fsItalic : 0);
    }
    for (const ColorKey& key : ColorKeys)
        settings.Colors[key.Color] =
            ini.ReadInteger(section, QString::fromLatin1(key.Key), DefaultSheetColor(key.Color));
    settings.TitleStyle = ini.ReadInteger(section, TitleStyleKey, 0);
    return settings;
}

void WriteSlotFontsAndColors(TIniFile& ini, int slot, const QString& comment,
                             const TSlotSettings& settings) {
    const QString section = SlotSection(slot);
    ini.WriteString(section, CommentKey, comment);
    for (int k = 0; k < SheetFontCount; ++k) {
        const TSlotFont& font = settings.Fonts[k];
        ini.WriteString(section, FontKey(k), font.Name);
        // The keys are first reset, then set: an underlined or struck-out style (which the
        // font chooser never offers) counts as neither bold nor italic.
        ini.WriteBool(section, BoldKey(k), false);
        ini.WriteBool(section, ItalicKey(k), false);
        const TFontStyles style = font.Style;
        const bool bold = style == fsBold || style == (fsBold | fsItalic);
        const bool italic = style == fsItalic || style == (fsBold | fsItalic);
        ini.WriteBool(section, BoldKey(k), bold);
        ini.WriteBool(section, ItalicKey(k), italic);
    }
    for (const ColorKey& key : ColorKeys)
        ini.WriteInteger(section, QString::fromLatin1(key.Key), settings.Colors[key.Color]);
}

void WriteLastSlot(TIniFile& ini, int slot) {
    ini.WriteInteger(LastSlotSection, LastSlotKey, slot);
}

void WriteSlotTitleStyle(TIniFile& ini, int slot, std::int32_t style) {
    ini.WriteInteger(SlotSection(slot), TitleStyleKey, style);
}

void SaveSlotSettings(TIniFile& ini, int slot, const QString& comment,
                      const TSlotSettings& settings, std::int32_t style) {
    TIniFileUpdate update(ini);
    WriteSlotFontsAndColors(ini, slot, comment, settings);
    WriteLastSlot(ini, slot);
    WriteSlotTitleStyle(ini, slot, style);
    update.Commit();
}
