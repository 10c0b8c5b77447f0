// The settings file's slots: the exact bytes a save leaves and what a load makes of a file.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/qtprint.h"
#include "common/files.h"
#include "model/settingsslots.h"
#include "settings/inifile.h"

namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

// Shift-JIS spelled out by hand (code page 932).
const QByteArray SjisNengayou("\x94\x4E\x89\xEA\x97\x70"); // 年賀用
const QByteArray
    SjisMsGothic("\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"); // ＭＳ ゴシック
const QByteArray SjisMsPGothic("\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");

void Save(TIniFile& ini, int slot, const QString& comment, const TSlotSettings& s) {
    WriteSlotFontsAndColors(ini, slot, comment, s);
    WriteLastSlot(ini, slot);
    WriteSlotTitleStyle(ini, slot, s.TitleStyle);
}

class SettingsSlots : public ::testing::Test {
  protected:
    QString Path() const { return dir.filePath("tamurika.ini"); }
    QTemporaryDir dir;
};

TEST_F(SettingsSlots, SaveOfDefaultsWritesTheOriginalLayout) {
    TIniFile ini(Path());
    Save(ini, 3, QStringLiteral("年賀用"), TSlotSettings());
    QByteArray expected = "[settei3]\r\ncomment=" + SjisNengayou + "\r\n";
    for (int k = 1; k <= 4; ++k)
        expected += "font" + QByteArray::number(k) + "=" + SjisMsGothic + "\r\nfs" +
                    QByteArray::number(k) + "1=0\r\nfs" + QByteArray::number(k) + "2=0\r\n";
    expected += "YYcolor=0\r\nMMcolor=0\r\nHeicolor=0\r\nNichicolor=255\r\n"
                "Docolor=16711680\r\nYoubicolor=16777215\r\nSucolor=16777215\r\nSencolor=0\r\n"
                "zenkaiym=0\r\n\r\n[tamurika]\r\nzenkai=3\r\n";
    EXPECT_EQ(ReadBytes(Path()), expected);
}

TEST_F(SettingsSlots, StylesAreWrittenAsBoldAndItalicFlags) {
    TSlotSettings s;
    s.Fonts[sfYear].Style = fsBold;
    s.Fonts[sfMonth].Style = fsItalic;
    s.Fonts[sfDay].Style = fsBold | fsItalic;
    s.Fonts[sfDayOfWeek].Style = fsBold | fsUnderline; // not exactly bold: neither flag
    TIniFile ini(Path());
    Save(ini, 1, "c", s);
    const TIniDocument doc = TIniDocument::Parse(ReadBytes(Path()));
    const char* const expected[][2] = {{"fs11", "1"}, {"fs12", "0"}, {"fs21", "0"}, {"fs22", "1"},
                                       {"fs31", "1"}, {"fs32", "1"}, {"fs41", "0"}, {"fs42", "0"}};
    for (const auto& kv : expected)
        EXPECT_EQ(doc.Value("settei1", kv[0]), QString::fromLatin1(kv[1])) << kv[0];
}

TEST_F(SettingsSlots, SecondSaveReplacesValuesInPlace) {
    TIniFile ini(Path());
    TSlotSettings s;
    Save(ini, 2, "first", s);
    Save(ini, 5, "other", s);
    const QByteArray before = ReadBytes(Path());
    s.Colors[scLine] = 0x123456;
    s.TitleStyle = 4;
    Save(ini, 2, "second", s);
    QByteArray expected = before;
    expected.replace("comment=first", "comment=second");
    const qsizetype slot2 = expected.indexOf("[settei2]");
    expected.replace(expected.indexOf("Sencolor=0", slot2), 10, "Sencolor=1193046");
    expected.replace(expected.indexOf("zenkaiym=0", slot2), 10, "zenkaiym=4");
    expected.replace("zenkai=5", "zenkai=2");
    EXPECT_EQ(ReadBytes(Path()), expected);
}

TEST_F(SettingsSlots, RoundTripOfEveryValue) {
    TSlotSettings s;
    s.Fonts[sfYear] = {QStringLiteral("IPAMincho"), fsBold};
    s.Fonts[sfMonth] = {QStringLiteral("ＭＳ Ｐゴシック"), fsItalic};
    s.Fonts[sfDay] = {QStringLiteral("Noto Sans CJK JP"), fsBold | fsItalic};
    for (int c = 0; c < SheetColorCount; ++c)
        s.Colors[c] = 0x010203 * (c + 1);
    s.TitleStyle = 7;
    TIniFile ini(Path());
    Save(ini, 10, QStringLiteral(" A "), s);
    EXPECT_EQ(ReadSlot(ini, 10), s);
    EXPECT_EQ(ReadSlotDirectory(ini).LastSlot, 10);
    // The profile rules strip blanks around a value when it is read back.
    EXPECT_EQ(ReadSlotDirectory(ini).Comments[9], QStringLiteral("A"));
    EXPECT_TRUE(ReadBytes(Path()).contains("comment= A \r\n"));
}

TEST_F(SettingsSlots, HandWrittenShiftJisFileIsReadByTheRules) {
    WriteBytes(Path(), "[TAMURIKA]\r\nZenkai=4\r\n"
                       "[settei4]\r\n"
                       "Comment=" +
                           SjisNengayou +
                           "\r\n"
                           "font2=" +
                           SjisMsPGothic +
                           "\r\n"
                           "fs21=1\r\nfs22=1\r\n"
                           "fs11=7\r\nfs12=x\r\n"
                           "fs31=0\r\nfs32=-1\r\n"
                           "Nichicolor=abc\r\n"
                           "Docolor=-16777211\r\n"
                           "Heicolor= 8421504 \r\n"
                           "zenkaiym=9\r\n");
    const TIniFile ini(Path());
    const TSlotDirectory directory = ReadSlotDirectory(ini);
    EXPECT_EQ(directory.LastSlot, 4);
    EXPECT_EQ(directory.Comments[3], QStringLiteral("年賀用"));
    EXPECT_EQ(directory.Comments[0], QStringLiteral("フォント設定1"));
    EXPECT_EQ(directory.Comments[9], QStringLiteral("フォント設定10"));

    const TSlotSettings s = ReadSlot(ini, 4);
    EXPECT_EQ(s.Fonts[sfYear], (TSlotFont{QStringLiteral("ＭＳ ゴシック"), fsBold}));
    EXPECT_EQ(s.Fonts[sfMonth], (TSlotFont{QStringLiteral("ＭＳ Ｐゴシック"), fsBold | fsItalic}));
    EXPECT_EQ(s.Fonts[sfDay], (TSlotFont{QStringLiteral("ＭＳ ゴシック"), fsItalic}));
    EXPECT_EQ(s.Fonts[sfDayOfWeek], TSlotFont());
    EXPECT_EQ(s.Colors[scSunday], clRed);      // not an integer: the default
    EXPECT_EQ(s.Colors[scSaturday], clWindow); // stored as it stands
    EXPECT_EQ(s.Colors[scWeekday], clGray);
    EXPECT_EQ(s.Colors[scDayBack], clWhite);
    EXPECT_EQ(s.TitleStyle, 9);
}

TEST_F(SettingsSlots, MissingFileAndSlotsOutsideTheRangeGiveDefaults) {
    const TIniFile ini(Path());
    const TSlotDirectory directory = ReadSlotDirectory(ini);
    EXPECT_EQ(directory.LastSlot, 1);
    EXPECT_EQ(directory.Comments[6], QStringLiteral("フォント設定7"));
    TIniFile writable(Path());
    TSlotSettings s;
    s.TitleStyle = 3;
    Save(writable, 1, "x", s);
    WriteBytes(Path(),
               ReadBytes(Path()) + "[settei0]\r\nzenkaiym=5\r\n[settei11]\r\nzenkaiym=5\r\n");
    EXPECT_EQ(ReadSlot(ini, 0), TSlotSettings());
    EXPECT_EQ(ReadSlot(ini, 11), TSlotSettings());
    EXPECT_EQ(ReadSlot(ini, 1).TitleStyle, 3);
    const TSlotSettings defaults;
    EXPECT_EQ(defaults.Colors, (std::array<TColor, 8>{clBlack, clBlack, clBlack, clRed, clBlue,
                                                      clWhite, clWhite, clBlack}));
}

} // namespace
