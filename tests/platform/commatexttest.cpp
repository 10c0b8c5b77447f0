#include <gtest/gtest.h>

#include "platform/commatext.h"

namespace {

QStringList L(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

struct SplitCase {
    const char* line;
    QStringList fields;
};

TEST(SplitCommaText, FollowsTheFourSteps) {
    const SplitCase cases[] = {
        // Empty leading fields of a rule line count.
        {",,1,1,,,元旦", L({"", "", "1", "1", "", "", "元旦"})},
        {"5,5,こどもの日", L({"5", "5", "こどもの日"})},
        // Blanks at the start are skipped; a blank ends an unquoted field.
        {"  \t3,4", L({"3", "4"})},
        {"a b", L({"a", "b"})},
        {"a , b", L({"a", "b"})},
        {"a,\t b", L({"a", "b"})},
        // Two adjacent commas give an empty field; a comma at the end gives none.
        {"a,,b", L({"a", "", "b"})},
        {"a,", L({"a"})},
        {"a, ", L({"a"})},
        {",", L({""})},
        // Quoted fields keep blanks and commas; a doubled quote is one quote.
        {"\"a b\",c", L({"a b", "c"})},
        {"\"x,y\"", L({"x,y"})},
        {"\"say \"\"hi\"\"\"", L({"say \"hi\""})},
        {"\"\"", L({""})},
        {"\"\",\"\"", L({"", ""})},
        // Text right after a closing quote starts the next field.
        {"\"ab\"cd,ef", L({"ab", "cd", "ef"})},
        // An unterminated quote takes the rest of the line, all of it.
        {"\"abc", L({"abc"})},
        {"", L({})},
        {"   ", L({})},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(SplitCommaText(QString::fromUtf8(c.line)), c.fields) << c.line;
}

TEST(SplitCommaText, NulEndsTheLine) {
    const QString line = QStringLiteral("a,b") + QChar(u'\0') + QStringLiteral(",c");
    EXPECT_EQ(SplitCommaText(line), L({"a", "b"}));
}

struct JoinCase {
    QStringList names;
    const char* text;
};

TEST(JoinCommaText, QuotesOnlyWhatNeedsIt) {
    const JoinCase cases[] = {
        {L({}), ""},
        {L({""}), "\"\""},
        {L({"元日"}), "元日"},
        {L({"国民の休日", "振替休日"}), "国民の休日,振替休日"},
        {L({"a b"}), "\"a b\""},
        {L({"x,y", "z"}), "\"x,y\",z"},
        {L({"say \"hi\""}), "\"say \"\"hi\"\"\""},
        {L({"", "a"}), ",a"},
        {L({"tab\there"}), "\"tab\there\""},
    };
    for (const JoinCase& c : cases)
        EXPECT_EQ(JoinCommaText(c.names), QString::fromUtf8(c.text)) << c.text;
}

TEST(CommaText, JoinThenSplitGivesTheNamesBack) {
    const QStringList lists[] = {L({"春分の日"}), L({"a b", "c,d", "\"q\"", "e"}), L({""}),
                                 L({"", "x"}), L({" lead", "trail "})};
    for (const QStringList& names : lists)
        EXPECT_EQ(SplitCommaText(JoinCommaText(names)), names)
            << JoinCommaText(names).toStdString();
    // The one loss of the format: an empty name at the end leaves only a trailing comma.
    EXPECT_EQ(SplitCommaText(JoinCommaText(L({"x", ""}))), L({"x"}));
}

} // namespace
