#include <gtest/gtest.h>

#include <cfenv>

#include "platform/exception.h"
#include "platform/sysutils.h"

namespace {

struct Accepted {
    const char* text;
    std::int32_t value;
};

TEST(StrToInt, AcceptsDecimalWithOptionalSign) {
    const Accepted cases[] = {{"0", 0},
                              {"7", 7},
                              {"+12", 12},
                              {"-3", -3},
                              {"007", 7},
                              {"-0", 0},
                              {"2147483647", 2147483647},
                              {"-2147483648", INT32_MIN}};
    for (const Accepted& c : cases)
        EXPECT_EQ(StrToInt(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(StrToInt, RejectsEverythingElseWithTheOffendingText) {
    const char* const cases[] = {
        "",           " 1",          "1 ",    "1a",  "0x10",
        "$10",        "+",           "-",     "--1", "1.0",
        "2147483648", "-2147483649", "1,000", "１",  "99999999999999999999"};
    for (const char* text : cases) {
        const QString q = QString::fromUtf8(text);
        try {
            StrToInt(q);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' は整数ではありません").arg(q));
        }
    }
}

TEST(StrToInt, DefaultVariantFallsBack) {
    EXPECT_EQ(StrToIntDef(QStringLiteral("42"), 5), 42);
    EXPECT_EQ(StrToIntDef(QStringLiteral("x"), 5), 5);
    EXPECT_EQ(StrToIntDef(QString(), -1), -1);
}

TEST(FormatMessage, ReplacesPlaceholdersInOrder) {
    EXPECT_EQ(FormatMessage(QStringLiteral("%s に書き込めません"), {QStringLiteral("/a/b.ini")}),
              QStringLiteral("/a/b.ini に書き込めません"));
    EXPECT_EQ(FormatMessage(QStringLiteral("%s-%s-%s"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("a-b-%s"));
    EXPECT_EQ(FormatMessage(QStringLiteral("100%"), {QStringLiteral("x")}), QStringLiteral("100%"));
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbourWhateverTheRoundingModeWas) {
    EXPECT_EQ(RoundHalfEven(2.5L), 2);
    EXPECT_EQ(RoundHalfEven(3.5L), 4);
    EXPECT_EQ(RoundHalfEven(-2.5L), -2);
    EXPECT_EQ(RoundHalfEven(198.5L), 198); // a quarter of the page's 794
    EXPECT_EQ(RoundHalfEven(280.75L), 281);
    EXPECT_EQ(RoundHalfEven(318.6L), 319);
    // 500 / (1000 / 531) is 265.5 exactly in extended precision: to the even 266.
    EXPECT_EQ(RoundHalfEven(500 / (1000 / 531.0L)), 266);
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(RoundHalfEven(2.5L), 2);
    EXPECT_EQ(std::fegetround(), FE_UPWARD) << "the caller's mode is given back";
    std::fesetround(FE_TONEAREST);
}

TEST(Exception, WhatIsTheMessageInUtf8) {
    const Exception e(QStringLiteral("印刷スケールが無効です．"));
    EXPECT_STREQ(e.what(), "印刷スケールが無効です．");
}

} // namespace
