#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/stringlist.h"

namespace {

TEST(TStringList, ReportsEveryChange) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.Add(QStringLiteral("a"));
    list.Insert(0, QStringLiteral("b"));
    list.Put(1, QStringLiteral("c"));
    list.Delete(0);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(list.Lines(), QStringList{QStringLiteral("c")});
    list.Clear();
    list.Clear(); // already empty: no change
    EXPECT_EQ(changes, 5);
}

TEST(TStringList, GroupedUpdatesReportOnce) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.BeginUpdate();
    list.Add(QStringLiteral("a"));
    list.BeginUpdate();
    list.Add(QStringLiteral("b"));
    list.EndUpdate();
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.EndUpdate(); // nothing changed inside
    EXPECT_EQ(changes, 1);
}

TEST(TStringList, CopyTakesLinesNotTheHandler) {
    TStringList source(QStringList{QStringLiteral("1"), QStringLiteral("2")});
    int sourceChanges = 0;
    source.OnChange = [&] { ++sourceChanges; };
    TStringList copy(source);
    copy.Add(QStringLiteral("3"));
    EXPECT_EQ(sourceChanges, 0);
    EXPECT_EQ(source.Count(), 2);

    TStringList target;
    int targetChanges = 0;
    target.OnChange = [&] { ++targetChanges; };
    target = copy;
    EXPECT_EQ(targetChanges, 1);
    EXPECT_EQ(target.Count(), 3);
    EXPECT_TRUE(static_cast<bool>(target.OnChange)); // keeps its own handler
}

TEST(TStringList, TextSplitsAtAnyLineEnd) {
    TStringList list;
    list.SetText(QStringLiteral("a\r\nb\nc\rd\r\n"));
    EXPECT_EQ(list.Lines(), (QStringList{QStringLiteral("a"), QStringLiteral("b"),
                                         QStringLiteral("c"), QStringLiteral("d")}));
    list.SetText(QStringLiteral("x\n\ny"));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1], QString());
    EXPECT_EQ(list.Text(), QStringLiteral("x\n\ny\n"));
}

TEST(TStringList, HandlerErrorReachesTheCallerAndTheChangeStays) {
    TStringList list;
    list.OnChange = [] { throw std::runtime_error("bad line"); };
    EXPECT_THROW(list.Add(QStringLiteral("x")), std::runtime_error);
    EXPECT_EQ(list.Count(), 1);
}

} // namespace
