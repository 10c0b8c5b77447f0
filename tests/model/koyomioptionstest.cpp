// What the day cells show of the 暦, as tamurika-state.ini keeps it: every option read back as
// written; a value that means nothing (or a key missing) gives that option's default and no
// other; writing touches no byte of the other sections and keys; the document keeps the file
// as the model is after a change, its undo and its redo; --show's words.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/files.h"
#include "model/calendardocument.h"
#include "model/koyomioptions.h"
#include "model/modelfiles.h"
#include "settings/statefile.h"

namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

TKoyomiOptions Chosen() {
    TKoyomiOptions o;
    o.Rokuyo = o.Zassetsu = o.HolidayNames = true;
    o.Kyureki = TKyurekiMode::EveryDay;
    o.Face = QStringLiteral("ＭＳ 明朝");
    o.Color = 0x00336699; // 0x00BBGGRR
    return o;
}

TEST(KoyomiOptions, WrittenOptionsReadBackAndTheStateFileStaysUtf8) {
    QTemporaryDir dir;
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), TKoyomiOptions{}); // no file: everything off
    EXPECT_FALSE(TKoyomiOptions{}.AnyShown());
    WriteKoyomiOptions(dir.path(), Chosen());
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), Chosen());
    const QByteArray bytes = ReadBytes(StateFileName(dir.path()));
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("face=ＭＳ 明朝")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("color=#996633")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("kyureki=daily")) << bytes.toStdString();
    EXPECT_EQ(ReadCalendarModel(dir.path(), 1).Koyomi, Chosen());
}

TEST(KoyomiOptions, BadValuesFallBackOneByOneAndTheRestOfTheFileSurvivesByteForByte) {
    QTemporaryDir dir;
    const QString state = StateFileName(dir.path());
    // Other features' sections before and after, with their own line ends and blanks, an
    // unknown key of ours, and one good value among the garbage.
    const QByteArray before = "\xEF\xBB\xBF[paper]\r\nsize=B5\r\n\r\n"
                              "[koyomi]\r\nrokuyo=yes\r\nsekki=1\r\nzassetsu=2\r\nmoon=\r\n"
                              "kyureki=sometimes\r\nholidays=-1\r\ntaian=1x\r\nface=\r\n"
                              "color=#12345G\r\nfuture=keep me\r\n"
                              "[framing]\r\nMode = fill\r\nPhoto1=0.5,0.5,1,4,3,/a,b.jpg\r\n";
    WriteBytes(state, before);
    TKoyomiOptions expected;
    expected.SolarTerms = true;
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), expected);
    EXPECT_EQ(ReadBytes(state), before); // reading changes nothing

    WriteKoyomiOptions(dir.path(), Chosen());
    const QByteArray after = ReadBytes(state);
    EXPECT_TRUE(after.startsWith("\xEF\xBB\xBF[paper]\r\nsize=B5\r\n\r\n[koyomi]\r\n"));
    EXPECT_TRUE(after.contains("future=keep me\r\n"));
    EXPECT_TRUE(after.endsWith("[framing]\r\nMode = fill\r\nPhoto1=0.5,0.5,1,4,3,/a,b.jpg\r\n"))
        << after.toStdString();
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), Chosen());
    // The other features read as before.
    EXPECT_EQ(ReadCalendarModel(dir.path(), 1).Paper, psB5);
    EXPECT_EQ(ReadCalendarModel(dir.path(), 1).Framing.Mode, TFrameMode::Fill);
}

TEST(KoyomiOptions, TheDocumentKeepsTheFileAsTheModelIsThroughUndoAndRedo) {
    QTemporaryDir dir;
    TCalendarDocument doc(dir.path());
    doc.Open();
    doc.SetKoyomiOptions(Chosen());
    EXPECT_EQ(doc.UndoStack().undoText(), QStringLiteral("暦の表示"));
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), Chosen());
    doc.Undo();
    EXPECT_EQ(doc.Model().Koyomi, TKoyomiOptions{});
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), TKoyomiOptions{});
    doc.Redo();
    EXPECT_EQ(ReadKoyomiOptions(dir.path()), Chosen());
    // The next run starts with them.
    TCalendarDocument next(dir.path());
    next.Open();
    EXPECT_EQ(next.Model().Koyomi, Chosen());
}

TEST(KoyomiOptions, ShowWords) {
    const TKoyomiOptions base = Chosen();
    const auto all =
        ParseKoyomiShow(QStringLiteral("rokuyo,sekki,zassetsu,moon,kyureki,holidays,taian"), base);
    ASSERT_TRUE(all);
    EXPECT_TRUE(all->Rokuyo && all->SolarTerms && all->Zassetsu && all->MoonPhases &&
                all->HolidayNames && all->Taian);
    EXPECT_EQ(all->Kyureki, TKyurekiMode::FirstDay);
    EXPECT_EQ(all->Face, base.Face); // face and colour stay the saved ones
    EXPECT_EQ(all->Color, base.Color);
    EXPECT_EQ(KoyomiShowWords(*all),
              QStringLiteral("rokuyo,sekki,zassetsu,moon,kyureki,holidays,taian"));

    const auto some = ParseKoyomiShow(QStringLiteral(" Taian , kyureki-daily"), base);
    ASSERT_TRUE(some);
    EXPECT_TRUE(some->Taian);
    EXPECT_FALSE(some->Rokuyo || some->HolidayNames || some->Zassetsu); // base's are replaced
    EXPECT_EQ(some->Kyureki, TKyurekiMode::EveryDay);

    const auto none = ParseKoyomiShow(QStringLiteral("none"), base);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->AnyShown());

    for (const char* bad : {"rokuyo,moonphase", "", "rokuyo,,sekki", "none,rokuyo"}) {
        QString word = QStringLiteral("?");
        EXPECT_FALSE(ParseKoyomiShow(QString::fromUtf8(bad), base, &word)) << bad;
    }
    QString word;
    ParseKoyomiShow(QStringLiteral("rokuyo,moonphase"), base, &word);
    EXPECT_EQ(word, QStringLiteral("moonphase"));
}

} // namespace
