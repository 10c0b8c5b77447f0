// INI files: what is read from bytes written by hand, and the exact bytes each write leaves.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "settings/inifile.h"
#include "settings/settingsfolder.h"

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Shift-JIS bytes spelled out by hand (code page 932), so that the tests do not depend on the
// converter they test.
const QByteArray SjisNengayou("\x94\x4E\x89\xEA\x97\x70"); // 年賀用
const QByteArray
    SjisMsGothic("\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"); // ＭＳ ゴシック
const QByteArray SjisHyou("\x95\x5C\x83\x5C");     // 表ソ: second bytes are '\' (0x5C)
const QByteArray SjisHyphen("\x81\x5D");           // ‐: second byte is ']' (0x5D)
const QByteArray SjisWaveDash("\x81\x60\x87\x40"); // ～①: code page 932 only

TEST(IniDocument, BytesComeBackUnchanged) {
    const QByteArray cases[] = {
        "",
        "[a]\r\nk=v\r\n",
        "[a]\nk=v",
        "[a]\rk=v\r\r\n\n",
        "\xEF\xBB\xBF[a]\r\nk=\xE5\xB9\xB4\r\n",
        "no section\r\n=empty key\r\n;comment\r\n[\r\n]\r\n",
        QByteArray("\0\xFF\x80[x]\x81\r\n", 9),
        "[" + SjisHyou + "]\r\n" + SjisHyphen + "=" + SjisWaveDash + "\r\n",
    };
    for (const QByteArray& bytes : cases)
        EXPECT_EQ(TIniDocument::Parse(bytes).Bytes(), bytes) << bytes.toHex().constData();
}

TEST(IniDocument, NamesCompareWithoutCaseAndTheFirstOccurrenceWins) {
    const TIniDocument doc = TIniDocument::Parse("key=outside\r\n"
                                                 "[Settei1]\r\n"
                                                 "  Comment  =  two words  \r\n"
                                                 "COMMENT=second\r\n"
                                                 "; font1=commented out\r\n"
                                                 "empty=\r\n"
                                                 "eq=a=b\r\n"
                                                 "[settei1]\r\n"
                                                 "font1=second section\r\n"
                                                 "[ tamurika \r\n"
                                                 "zenkai=3\r\n");
    EXPECT_EQ(doc.Value("SETTEI1", "comment"), QStringLiteral("two words"));
    EXPECT_EQ(doc.Value("settei1", "empty"), QString());
    EXPECT_TRUE(doc.Value("settei1", "empty").has_value());
    EXPECT_EQ(doc.Value("settei1", "eq"), QStringLiteral("a=b"));
    EXPECT_FALSE(doc.Value("settei1", "font1").has_value());
    EXPECT_FALSE(doc.Value("settei1", "key").has_value());
    EXPECT_EQ(doc.Value("Tamurika", "ZENKAI"), QStringLiteral("3"));
    EXPECT_EQ(doc.Sections(), QStringList({"Settei1", "tamurika"}));
    EXPECT_EQ(doc.Keys("settei1"), QStringList({"Comment", "COMMENT", "empty", "eq"}));
}

TEST(IniDocument, ReadsShiftJisWrittenByHand) {
    const QByteArray bytes = "[settei3]\r\ncomment=" + SjisNengayou + "\r\nfont1=" + SjisMsGothic +
                             "\r\n" + SjisHyou + "=" + SjisHyphen + "\r\nwave=" + SjisWaveDash +
                             "\r\n";
    const TIniDocument doc = TIniDocument::Parse(bytes);
    EXPECT_EQ(doc.Encoding(), TIniEncoding::ShiftJis);
    EXPECT_EQ(doc.Value("settei3", "comment"), QStringLiteral("年賀用"));
    EXPECT_EQ(doc.Value("settei3", "font1"), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(doc.Value("settei3", "表ソ"), QStringLiteral("‐"));
    EXPECT_EQ(doc.Value("settei3", "wave"), QStringLiteral("～①"));
}

// UTF-8 when the file says so with its byte-order mark, or when it cannot be Shift-JIS at all;
// Shift-JIS otherwise, even where the same bytes are valid UTF-8.
TEST(IniDocument, ReadsUtf8OnlyWhenTheFileSaysSoOrCannotBeShiftJis) {
    const struct {
        QByteArray Bytes;
        TIniEncoding Encoding;
        QString Value;
    } cases[] = {
        {"\xEF\xBB\xBF[s]\nc=" + QByteArray("年賀用") + "\n", TIniEncoding::Utf8, "年賀用"},
        {"\xEF\xBB\xBF[s]\nc=abc\n", TIniEncoding::Utf8, "abc"},
        // C3 BD, "ﾃｽ" in Shift-JIS, is "ý" in UTF-8.
        {"[s]\r\nc=\xC3\xBD\r\n", TIniEncoding::ShiftJis, "ﾃｽ"},
        {"[s]\r\nc=" + SjisNengayou + "\r\n", TIniEncoding::ShiftJis, "年賀用"},
        {"[s]\nc=abc\n", TIniEncoding::ShiftJis, "abc"},
        // UTF-8 without the mark whose bytes are Shift-JIS as well reads as Shift-JIS: the
        // bytes E5 96 AA E4 B8 AD of "喪中".
        {"[s]\nc=" + QByteArray("喪中") + "\n", TIniEncoding::ShiftJis, "蝟ｪ荳ｭ"},
        // ... and as UTF-8 where they cannot be Shift-JIS (E8 B3 80: 0x80 is no character).
        {"[s]\nc=" + QByteArray("年賀用") + "\n", TIniEncoding::Utf8, "年賀用"},
        // Neither: Shift-JIS with the broken bytes as they decode.
        {"[s]\nc=\xC3\xBD\xFF\n", TIniEncoding::ShiftJis, "ﾃｽ\x1A"},
    };
    for (const auto& c : cases) {
        const TIniDocument doc = TIniDocument::Parse(c.Bytes);
        EXPECT_EQ(doc.Encoding(), c.Encoding) << c.Bytes.toHex().constData();
        EXPECT_EQ(doc.Value("s", "c"), c.Value) << c.Bytes.toHex().constData();
    }
}

// Random files built from the pieces that matter to the parser: whatever the bytes, they come
// back unchanged, and a write changes the one value it names and no other.
TEST(IniDocument, RandomFilesKeepTheirBytesAndWritesTouchOneValue) {
    // Shift-JIS pieces, pieces that are also UTF-8 ("ﾃｽ", "ﾂ" + 0x80), and bytes neither holds.
    const QByteArray pieces[] = {
        "[", "]", "=", ";", "\r",       "\n",       "\r\n",     " ",        "\t",       "s",
        "S", "k", "K", "v", "\x82\xA0", "\x83\x5C", "\x81\x5D", "\xC3\xBD", "\xC2\x80", "\xFF"};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u; // a fixed sequence, the same on every run
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 3000; ++round) {
        // Half the files start with the section and key that the write names.
        QByteArray bytes = round % 2 ? QByteArray("[s]\r\nk = v\r\n") : QByteArray();
        const std::uint32_t length = next(40);
        for (std::uint32_t i = 0; i < length; ++i)
            bytes += pieces[next(std::size(pieces))];
        TIniDocument doc = TIniDocument::Parse(bytes);
        ASSERT_EQ(doc.Bytes(), bytes) << bytes.toHex().constData();

        // Every value the file holds, as the first occurrences decide.
        auto values = [](const TIniDocument& d) {
            QStringList all;
            for (const QString& section : d.Sections())
                for (const QString& key : d.Keys(section))
                    all << section.toLower() + "/" + key.toLower() + "=" +
                               d.Value(section, key).value_or("?");
            all.removeDuplicates();
            return all;
        };
        const QString section = next(2) ? QStringLiteral("s") : QStringLiteral("new");
        const QString key = next(2) ? QStringLiteral("k") : QStringLiteral("K2");
        QStringList expected = values(doc);
        expected.removeIf([&](const QString& v) {
            return v.startsWith(section.toLower() + "/" + key.toLower() + "=");
        });
        const QString written = next(2) ? QStringLiteral("written") : QStringLiteral("ﾃｽ");
        doc.SetValue(section, key, written);
        const TIniDocument reread = TIniDocument::Parse(doc.Bytes());
        ASSERT_EQ(reread.Value(section, key), written) << bytes.toHex().constData();
        ASSERT_EQ(reread.Encoding(), doc.Encoding()) << bytes.toHex().constData();
        QStringList after = values(reread);
        after.removeIf([&](const QString& v) {
            return v.startsWith(section.toLower() + "/" + key.toLower() + "=");
        });
        ASSERT_EQ(after, expected) << bytes.toHex().constData();
    }
}

class IniFileTest : public ::testing::Test {
  protected:
    QString Path(const QString& name = QStringLiteral("tamurika.ini")) const {
        return dir.filePath(name);
    }
    QTemporaryDir dir;
};

TEST_F(IniFileTest, FirstWriteCreatesFolderAndFileInShiftJisWithCrLf) {
    const QString path = dir.filePath("a/b/tamurika.ini");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("settei3", "comment", "none"), QStringLiteral("none"));
    ini.WriteString("settei3", "comment", QStringLiteral("年賀用"));
    ini.WriteString("settei3", "font1", QStringLiteral("ＭＳ ゴシック"));
    ini.WriteInteger("tamurika", "zenkai", 3);
    ini.WriteInteger("settei3", "Nichicolor", 255);
    EXPECT_EQ(ReadBytes(path), "[settei3]\r\ncomment=" + SjisNengayou +
                                   "\r\nfont1=" + SjisMsGothic +
                                   "\r\nNichicolor=255\r\n\r\n[tamurika]\r\n"
                                   "zenkai=3\r\n");
    EXPECT_EQ(ini.ReadString("SETTEI3", "COMMENT", {}), QStringLiteral("年賀用"));
    EXPECT_EQ(ini.ReadInteger("tamurika", "zenkai", 1), 3);
}

TEST_F(IniFileTest, ReplacesInPlaceAndTouchesNothingElse) {
    const QByteArray before = "; written by hand\n"
                              "[Other]\n"
                              "keep = this  \n"
                              "\n"
                              "[SETTEI1]\n"
                              "  Comment = old   \n"
                              "junk line without equals\n"
                              "\n"
                              "[tamurika]\n"
                              "zenkai=1";
    WriteBytes(Path(), before);
    TIniFile ini(Path());
    ini.WriteString("settei1", "comment", QStringLiteral("new"));
    ini.WriteInteger("settei1", "zenkaiym", 5);
    ini.WriteInteger("TAMURIKA", "zenkai", 10);
    ini.WriteString("tamurika", "added", QStringLiteral("x"));
    EXPECT_EQ(ReadBytes(Path()), "; written by hand\n"
                                 "[Other]\n"
                                 "keep = this  \n"
                                 "\n"
                                 "[SETTEI1]\n"
                                 "  Comment =new\n"
                                 "junk line without equals\n"
                                 "zenkaiym=5\n"
                                 "\n"
                                 "[tamurika]\n"
                                 "zenkai=10\n"
                                 "added=x\n");
}

TEST_F(IniFileTest, NewSectionAfterAFileWithoutFinalLineEnd) {
    WriteBytes(Path(), "[a]\r\nk=v");
    TIniFile ini(Path());
    ini.WriteString("b", "k", "w");
    EXPECT_EQ(ReadBytes(Path()), "[a]\r\nk=v\r\n\r\n[b]\r\nk=w\r\n");
}

TEST_F(IniFileTest, LineBreaksInAValueCannotSplitIt) {
    TIniFile ini(Path());
    ini.WriteString("s", "k", "one\r\n[evil]\nk=two");
    EXPECT_EQ(ReadBytes(Path()), "[s]\r\nk=one  [evil] k=two\r\n");
    EXPECT_EQ(TIniDocument::Parse(ReadBytes(Path())).Sections(), QStringList{"s"});
}

TEST_F(IniFileTest, Utf8FileStaysUtf8AndGetsTheMarkWithItsFirstChange) {
    WriteBytes(Path(), "\xEF\xBB\xBF[s]\nc=年賀用\n");
    TIniFile ini(Path());
    ini.WriteString("s", "d", QStringLiteral("喪中"));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("\xEF\xBB\xBF[s]\nc=年賀用\nd=喪中\n"));

    // Written in a UTF-8 editor (or by an earlier build of the program): without the mark it
    // would read as Shift-JIS once "年賀用", whose bytes cannot be Shift-JIS, is gone.
    WriteBytes(Path(), "[s]\nc=年賀用\n");
    ini.WriteString("s", "c", QStringLiteral("喪中"));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("\xEF\xBB\xBF[s]\nc=喪中\n"));
    EXPECT_EQ(ini.ReadString("s", "c", {}), QStringLiteral("喪中"));
}

TEST_F(IniFileTest, TextThatShiftJisCannotHoldTurnsTheFileIntoUtf8WithTheMark) {
    WriteBytes(Path(), "[s]\r\nc=" + SjisNengayou + "\r\n");
    TIniFile ini(Path());
    ini.WriteString("s", "font1", QStringLiteral("나눔고딕"));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("\xEF\xBB\xBF[s]\r\nc=年賀用\r\nfont1=나눔고딕\r\n"));
    EXPECT_EQ(ini.ReadString("s", "c", {}), QStringLiteral("年賀用"));
    EXPECT_EQ(ini.ReadString("s", "font1", {}), QStringLiteral("나눔고딕"));
    // Characters that code page 932 would only give back as look-alikes count as not held.
    TIniFile other(Path("other.ini"));
    other.WriteString("s", "c", QStringLiteral("¥〜"));
    EXPECT_EQ(ReadBytes(Path("other.ini")), QByteArray("\xEF\xBB\xBF[s]\r\nc=¥〜\r\n"));
}

// Half-width katakana in Shift-JIS are byte pairs that UTF-8 also takes ("ﾃｽ" = C3 BD = "ý"):
// the file stays Shift-JIS, and writing back what was read changes no byte.
TEST_F(IniFileTest, ShiftJisThatLooksLikeUtf8ReadsBackAndWritesBackUnchanged) {
    TIniFile ini(Path());
    ini.WriteString("settei1", "comment", QStringLiteral("ﾃｽ"));
    ini.WriteString("settei2", "comment", QStringLiteral("ﾃｽﾄ ｶﾅ"));
    const QByteArray written = "[settei1]\r\ncomment=\xC3\xBD\r\n\r\n"
                               "[settei2]\r\ncomment=\xC3\xBD\xC4 \xB6\xC5\r\n";
    ASSERT_EQ(ReadBytes(Path()), written);
    const QString first = ini.ReadString("settei1", "comment", {});
    const QString second = ini.ReadString("settei2", "comment", {});
    EXPECT_EQ(first, QStringLiteral("ﾃｽ"));
    EXPECT_EQ(second, QStringLiteral("ﾃｽﾄ ｶﾅ"));
    ini.WriteString("settei1", "comment", first);
    ini.WriteString("settei2", "comment", second);
    EXPECT_EQ(ReadBytes(Path()), written);
}

// A file that is neither valid Shift-JIS nor valid UTF-8 stays Shift-JIS while its broken bytes
// are there; a write that leaves it valid UTF-8 (and not Shift-JIS) makes it UTF-8 with the
// mark, so that the value written and every other one read back as they were.
TEST_F(IniFileTest, AWriteThatWouldChangeTheEncodingOnReadingConvertsTheFile) {
    WriteBytes(Path(), "[a]\r\nx=\xC2\x80\r\ny=\xFF\r\n");
    TIniFile ini(Path());
    const QString x = ini.ReadString("a", "x", {});
    EXPECT_EQ(x, QStringLiteral("ﾂ\x1A"));
    ini.WriteString("a", "y", QStringLiteral("ﾃｽ"));
    EXPECT_EQ(ReadBytes(Path()), QByteArray("\xEF\xBB\xBF[a]\r\nx=ﾂ\x1A\r\ny=ﾃｽ\r\n"));
    EXPECT_EQ(ini.ReadString("a", "x", {}), x);
    EXPECT_EQ(ini.ReadString("a", "y", {}), QStringLiteral("ﾃｽ"));
}

// The program's own state file: a new one is UTF-8 with the mark, also while it holds ASCII.
TEST_F(IniFileTest, NewUtf8FileBeginsWithTheMarkAndStaysUtf8) {
    TIniFile ini(Path("state.ini"), TIniEncoding::Utf8);
    ini.WriteString("picture", "folder", QStringLiteral("/home/a"));
    EXPECT_EQ(ReadBytes(Path("state.ini")), "\xEF\xBB\xBF[picture]\r\nfolder=/home/a\r\n");
    ini.WriteString("picture", "folder", QStringLiteral("/home/a/ﾃｽ"));
    EXPECT_EQ(ReadBytes(Path("state.ini")), "\xEF\xBB\xBF[picture]\r\nfolder=/home/a/ﾃｽ\r\n");
    EXPECT_EQ(ini.ReadString("picture", "folder", {}), QStringLiteral("/home/a/ﾃｽ"));
    // An existing Shift-JIS file keeps its encoding.
    WriteBytes(Path(), "[s]\r\nc=" + SjisNengayou + "\r\n");
    TIniFile(Path(), TIniEncoding::Utf8).WriteString("s", "d", QStringLiteral("ﾃｽ"));
    EXPECT_EQ(ReadBytes(Path()), "[s]\r\nc=" + SjisNengayou + "\r\nd=\xC3\xBD\r\n");
}

TEST_F(IniFileTest, IntegerAndFlagRules) {
    WriteBytes(Path(), "[s]\nn= -12 \nbad=12abc\nhex=$10\nempty=\nzero=0\nminus=-1\n");
    const TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("s", "n", 7), -12);
    EXPECT_EQ(ini.ReadInteger("s", "bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("s", "hex", 7), 7);
    EXPECT_EQ(ini.ReadInteger("s", "empty", 7), 7);
    EXPECT_EQ(ini.ReadInteger("s", "missing", 7), 7);
    EXPECT_FALSE(ini.ReadBool("s", "zero", true));
    EXPECT_TRUE(ini.ReadBool("s", "minus", false));
    EXPECT_TRUE(ini.ReadBool("s", "bad", true));
    EXPECT_FALSE(ini.ReadBool("s", "bad", false));
    EXPECT_EQ(ini.ReadString("s", "empty", "x"), QString());
}

TEST_F(IniFileTest, ReadOnlyFileGivesTheMessageAndKeepsItsBytes) {
    const QByteArray before = "[settei1]\r\ncomment=" + SjisNengayou + "\r\n";
    WriteBytes(Path(), before);
    ASSERT_EQ(::chmod(QFile::encodeName(Path()).constData(), 0444), 0);
    TIniFile ini(Path());
    try {
        ini.WriteString("settei1", "comment", "x");
        ADD_FAILURE() << "wrote a read-only file";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), QDir(dir.path()).absoluteFilePath("tamurika.ini") +
                                   QStringLiteral(" に書き込めません"));
    }
    EXPECT_EQ(ReadBytes(Path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"tamurika.ini"});
    EXPECT_EQ(ini.ReadString("settei1", "comment", {}), QStringLiteral("年賀用"));
}

TEST_F(IniFileTest, UnwritablePlacesGiveTheMessage) {
    WriteBytes(Path("plain"), "x");
    TIniFile underAFile(Path("plain/tamurika.ini"));
    EXPECT_THROW(underAFile.WriteString("s", "k", "v"), EIniFileException);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    TIniFile aFolder(Path("folder.ini"));
    EXPECT_THROW(aFolder.WriteString("s", "k", "v"), EIniFileException);
    EXPECT_EQ(aFolder.ReadString("s", "k", "d"), QStringLiteral("d"));
}

TEST_F(IniFileTest, KeepsPermissionsOfTheFileItReplaces) {
    WriteBytes(Path(), "[s]\nk=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(Path()).constData(), 0640), 0);
    TIniFile(Path()).WriteInteger("s", "k", 2);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadBytes(Path()), "[s]\nk=2\n");
}

TEST_F(IniFileTest, OversizedFileIsNeitherReadNorReplaced) {
    QByteArray huge = "[s]\nk=1\n";
    huge += QByteArray(TIniFile::MaxFileSize, ';');
    WriteBytes(Path(), huge);
    TIniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("s", "k", 9), 9);
    EXPECT_THROW(ini.WriteInteger("s", "k", 2), EIniFileException);
    EXPECT_EQ(QFileInfo(Path()).size(), huge.size());
}

TEST(SettingsFolder, ProgramFolderWhenWritableElseUserConfiguration) {
    QTemporaryDir app;
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    EXPECT_EQ(SettingsFolder(app.path()), app.path() + "/");
    EXPECT_EQ(SettingsFolder(app.path() + "/"), app.path() + "/");
    EXPECT_EQ(SettingsFolder(app.path() + "/missing/"), home.path() + "/tamurika/");
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
