#include <gtest/gtest.h>

#include "platform/formatfloat.h"
#include "platform/maskutils.h"

TEST(FormatFloat, Patterns) {
    struct Case {
        const char* format;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"0.00", 3.14159, "3.14"},
        {"0.00", 2.675, "2.68"}, // not 2.67: halves away from zero
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"#,##0", 1234567, "1,234,567"},
        {"#,##0.00", 1234.5, "1,234.50"},
        {"#,##0", 999, "999"},
        {"000", 7, "007"},
        {"#.##", 0.5, ".5"},
        {"0.###", 2.5, "2.5"},
        {"0.###", 2, "2"},
        {"#", 0.4, ""},
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.0e-0", 0.00123, "1.2e-3"},
        {"0.0E+00", 9.99, "1.0E+01"}, // the carry moves into the exponent
        {"'Total: '0' yen'", 5, "Total: 5 yen"},
        {"\"No. \"00", 3, "No. 03"},
        {"0;(0);'zero'", 3, "3"},
        {"0;(0);'zero'", -3, "(3)"},
        {"0;(0);'zero'", 0, "zero"},
        {"0.0;;'none'", -1.25, "-1.3"}, // an empty negative section falls back to the first
        // Literals between placeholders stand among the digits, counted from the right.
        {"000-0000", 1234567, "123-4567"},
        {"0000/00/00", 20260101, "2026/01/01"},
        {"000-0000", 5, "000-0005"},
        {"00-00", 123456, "1234-56"}, // more digits than placeholders: they go in front
        {"#-##", 5, "-5"},            // a "#" shows no digit; its literal still shows
        {"0.0-0", 1.25, "1.2-5"},     // both placeholders after the point are decimals
        {"0.0 '-' 0", 1.256, "1.2 - 6"},
        {"0.0-#", 1.5, "1.5-"},
        {"(000) 000", 12345, "(012) 345"},
        {"", 1.5, "1.5"},
        {"", 1e20, "1E20"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c.format), c.value), QString::fromUtf8(c.expected))
            << c.format << " " << c.value;
}

TEST(StrToFloat, NumbersAndTheConversionError) {
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1.5")), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("-2")), -2);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("+.5")), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("3.")), 3);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1e3")), 1000);
    for (const char* bad : {"1-2", ".", "+", "", "1.2.3", "abc", "--1", "1e999"}) {
        try {
            StrToFloat(QString::fromLatin1(bad));
            ADD_FAILURE() << bad << " converted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(
                e.Message(),
                QStringLiteral("'%1' は浮動小数点数ではありません").arg(QString::fromLatin1(bad)));
        }
    }
}

TEST(FormatMaskText, MasksWithAndWithoutLiteralsInTheValue) {
    EXPECT_EQ(FormatMaskText(QStringLiteral("(999)000-0000;0;_"), QStringLiteral("0312345678")),
              "(031)234-5678");
    EXPECT_EQ(FormatMaskText(QStringLiteral("(999)000-0000;1;_"), QStringLiteral("(031)234-5678")),
              "(031)234-5678");
    EXPECT_EQ(FormatMaskText(QStringLiteral("(999)000-0000"), QStringLiteral("(031)234-5678")),
              "(031)234-5678"); // literals kept is the default
    EXPECT_EQ(FormatMaskText(QStringLiteral("000-000;0;_"), QStringLiteral("12")), "12_-___");
    EXPECT_EQ(FormatMaskText(QStringLiteral("000-000;0;*"), QStringLiteral("12")), "12*-***");
    EXPECT_EQ(FormatMaskText(QStringLiteral(">LL<ll;0"), QStringLiteral("abCD")), "ABcd");
    EXPECT_EQ(FormatMaskText(QStringLiteral(">L<>l;0"), QStringLiteral("aB")), "AB");
    EXPECT_EQ(FormatMaskText(QStringLiteral("\\A000;0"), QStringLiteral("123")), "A123");
    EXPECT_EQ(FormatMaskText(QStringLiteral("!00_00;0"), QStringLiteral("1234")), "12 34");
}
