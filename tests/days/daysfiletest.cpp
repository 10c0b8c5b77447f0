// The days file: what a person writes reads, what the program writes reads back byte for byte,
// a broken line is said with its number and kept, and the file is replaced whole.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "days/daysfile.h"

namespace {

QByteArray Utf8(const char* text) {
    return QByteArray(text);
}

} // namespace

TEST(DaysFile, AFileWrittenByAPersonReads) {
    const QByteArray text = Utf8("\xEF\xBB\xBF# うちの記念日\r\n"
                                 "\r\n"
                                 "  5/5 \t 太郎   誕生日  2015年\r\n"
                                 "６／１０\t結婚\t記念日\t２０１７\t#cc0066\r\n"
                                 "# 母の日は毎年\r\n"
                                 "5月の第2日曜日  母の日\r\n"
                                 "2027年3月14日 \"新しい 家\" 祝日色\r\n"
                                 "11月最終木曜 \"Thanksgiving \"\"Day\"\"\"\r\n");
    const TDaysFile file = ParseDaysFile(text);
    ASSERT_TRUE(file.Problems.empty()) << file.Problems.front().Message.toStdString();
    ASSERT_EQ(file.Days.size(), 5u);
    EXPECT_EQ(file.Header, (QStringList{QStringLiteral("# うちの記念日"), QString()}));
    const TFamilyDay& taro = file.Days[0];
    EXPECT_EQ(taro.Name, QStringLiteral("太郎"));
    EXPECT_EQ(taro.Kind, TFamilyDay::TKind::Birthday);
    EXPECT_EQ(taro.Year, 2015);
    EXPECT_EQ(OccurrenceIn(taro, 2027), QDate(2027, 5, 5));
    const TFamilyDay& wedding = file.Days[1];
    EXPECT_EQ(wedding.Kind, TFamilyDay::TKind::Anniversary);
    EXPECT_EQ(wedding.Year, 2017);
    EXPECT_EQ(wedding.ColorChoice, TFamilyDay::TColorChoice::Own);
    EXPECT_EQ(wedding.Color, QColor(0xCC, 0x00, 0x66));
    EXPECT_EQ(file.Days[2].Comments, QStringList{QStringLiteral("# 母の日は毎年")});
    EXPECT_EQ(OccurrenceIn(file.Days[2], 2027), QDate(2027, 5, 9));
    EXPECT_EQ(file.Days[3].Name, QStringLiteral("新しい 家"));
    EXPECT_EQ(file.Days[3].Repeat, TFamilyDay::TRepeat::Once);
    EXPECT_EQ(file.Days[3].ColorChoice, TFamilyDay::TColorChoice::Holiday);
    EXPECT_EQ(file.Days[4].Name, QStringLiteral("Thanksgiving \"Day\""));
}

TEST(DaysFile, WhatTheProgramWritesReadsBackByteForByte) {
    TDaysFile file = ParseDaysFile(Utf8("5/5 太郎 誕生日 2015年\n"
                                        "# 二人の\n"
                                        "6/10 結婚 記念日 2017年 #CC0066\n"
                                        "5月第2日曜 母の日\n"
                                        "2027/3/14 \"新しい 家\" 祝日色\n"));
    file.Header = DaysFileHeader();
    const QByteArray written = FormatDaysFile(file);
    EXPECT_EQ(FormatDaysFile(ParseDaysFile(written)), written);
    EXPECT_EQ(ParseDaysFile(written).Days, file.Days);
    EXPECT_TRUE(written.contains("6/10\t結婚\t記念日\t2017年\t#CC0066\n"));
    EXPECT_TRUE(written.contains("2027/3/14\t\"新しい 家\"\t祝日色\n"));
    EXPECT_TRUE(written.contains("# 二人の\n6/10"));
}

TEST(DaysFile, ABrokenLineIsSaidWithItsNumberAndTheRestIsKept) {
    const QByteArray text = Utf8("5/5 太郎 誕生日 2015年\n"
                                 "2/30 ありえない日\n"
                                 "6/10 結婚 記念日 2017年 緑\n"
                                 "\"閉じない 名前\n"
                                 "7/7 七夕\n");
    const TDaysFile file = ParseDaysFile(text);
    ASSERT_EQ(file.Problems.size(), 3u);
    EXPECT_EQ(file.Problems[0].Line, 2);
    EXPECT_TRUE(file.Problems[0].Message.startsWith(QStringLiteral("2行目: ")));
    EXPECT_TRUE(file.Problems[0].Message.contains(QStringLiteral("「2/30」という日はありません")));
    EXPECT_EQ(file.Problems[1].Line, 3);
    EXPECT_TRUE(file.Problems[1].Message.contains(QStringLiteral("「緑」")));
    EXPECT_EQ(file.Problems[2].Line, 4);
    ASSERT_EQ(file.Days.size(), 2u);
    EXPECT_EQ(file.Days[1].Name, QStringLiteral("七夕"));
    // Written again, the broken lines are still there for the person to mend.
    const QByteArray written = FormatDaysFile(file);
    EXPECT_TRUE(written.contains(
        "2/30 ありえない日\n6/10 結婚 記念日 2017年 緑\n\"閉じない 名前\n7/7\t七夕"));
}

TEST(DaysFile, TheFileIsReplacedWholeAndAFailedWriteLosesNothing) {
    QTemporaryDir dir;
    const QString name = dir.filePath(DaysFileName);
    const TDaysFile empty = ReadDaysFile(name); // none yet: the header alone
    EXPECT_EQ(empty.Header, DaysFileHeader());
    TDaysFile file = empty;
    file.Days = ParseDaysFile(Utf8("5/5 太郎 誕生日 2015年\n")).Days;
    WriteDaysFile(name, file);
    EXPECT_EQ(ReadDaysFile(name).Days, file.Days);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{DaysFileName}); // no leftovers

    // A file whose folder is a file cannot be written, whoever runs the test.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString impossible = dir.filePath(QStringLiteral("blocker/") + DaysFileName);
    try {
        WriteDaysFile(impossible, file);
        FAIL() << "wrote into a folder that is a file";
    } catch (const EFamilyDaysError& e) {
        EXPECT_TRUE(e.Message().contains(impossible));
        EXPECT_TRUE(e.Message().contains(QStringLiteral("前の内容はそのまま")));
    }
    EXPECT_EQ(ReadDaysFile(name).Days, file.Days);
}

TEST(DaysFile, AFileThatIsNotTextIsRefusedNamingIt) {
    QTemporaryDir dir;
    const QString name = dir.filePath(DaysFileName);
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("5/5 \xff\xfe\x80 taro\n"));
    f.close();
    try {
        ReadDaysFile(name);
        FAIL() << "read a file that is not UTF-8";
    } catch (const EFamilyDaysError& e) {
        EXPECT_TRUE(e.Message().contains(name));
        EXPECT_TRUE(e.Message().contains(QStringLiteral("UTF-8")));
    }
    EXPECT_THROW(ReadDaysFile(dir.path()), EFamilyDaysError); // a folder
}

TEST(DaysFile, WhatIsReadOnceReadsTheSameAfterWriting) {
    // Cases the fuzzer found: stray CRs of a file converted twice, two byte-order marks, a
    // year written with a leading zero.
    for (const QByteArray& text :
         {QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF# a\r\r\n5/5 x\r\r\r\n"),
          QByteArray("6/10 y 0217 #CC0066\n"), QByteArray("7/7 \"a\rb\"\r\n")}) {
        const TDaysFile file = ParseDaysFile(text);
        const QByteArray written = FormatDaysFile(file);
        EXPECT_EQ(ParseDaysFile(written).Days, file.Days) << text.toStdString();
        EXPECT_EQ(FormatDaysFile(ParseDaysFile(written)), written) << text.toStdString();
        EXPECT_TRUE(file.Problems.empty()) << text.toStdString();
    }
}
