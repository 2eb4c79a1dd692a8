// Command-line splitting and the two number readings of the settings.

#include "engine/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>

using engine::LenientNumber;
using engine::RoundHalfEven;
using engine::SplitCommandLine;
using engine::StrictShort;

namespace {

struct Split {
    int count = -1;
    QStringList words;
};

Split split(const QString& line) {
    Split s;
    EXPECT_TRUE(SplitCommandLine(line, s.count, s.words));
    return s;
}

}  // namespace

TEST(SplitCommandLine, EmptyAndBlankLinesGiveNoWordAndOneEmptyEntry) {
    for (const QString& line : {QString(), QStringLiteral("   ")}) {
        const Split s = split(line);
        EXPECT_EQ(s.count, 0);
        EXPECT_EQ(s.words, QStringList{QString()});
    }
}

TEST(SplitCommandLine, RunsOfBlanksSeparateLikeOneAndOuterBlanksAreDropped) {
    const Split s = split(QStringLiteral("  /work/a.doc   x  "));
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.words, (QStringList{QStringLiteral("/work/a.doc"), QStringLiteral("x")}));

    const Split one = split(QStringLiteral("/work/a.doc"));
    EXPECT_EQ(one.count, 1);
    EXPECT_EQ(one.words, QStringList{QStringLiteral("/work/a.doc")});
}

TEST(SplitCommandLine, TabsAndQuotesAreOrdinaryCharacters) {
    const Split s = split(QStringLiteral("\"/my docs/a.doc\"\tb"));
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.words, (QStringList{QStringLiteral("\"/my"), QStringLiteral("docs/a.doc\"\tb")}));
}

TEST(SplitCommandLine, OutputsAreResetOnEachCall) {
    int count = 7;
    QStringList words{QStringLiteral("old"), QStringLiteral("older")};
    SplitCommandLine(QStringLiteral("new"), count, words);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(words, QStringList{QStringLiteral("new")});
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(4.5), 4);
    EXPECT_EQ(RoundHalfEven(5.5), 6);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(LenientNumber, TakesTheLongestLeadingNumberAndSkipsBlanksAnywhere) {
    EXPECT_EQ(LenientNumber(QStringLiteral("4.5")), 4.5);
    EXPECT_EQ(LenientNumber(QStringLiteral(" 1 2 ")), 12);
    EXPECT_EQ(LenientNumber(QStringLiteral("3abc")), 3);
    EXPECT_EQ(LenientNumber(QStringLiteral("2.5.7")), 2.5);
    EXPECT_EQ(LenientNumber(QStringLiteral("-1")), -1);
    EXPECT_EQ(LenientNumber(QStringLiteral("+4")), 4);
    EXPECT_EQ(LenientNumber(QStringLiteral("1e1")), 10);
    EXPECT_EQ(LenientNumber(QStringLiteral("1e")), 1);
    EXPECT_EQ(LenientNumber(QStringLiteral(".5")), 0.5);
}

TEST(LenientNumber, TextWithoutALeadingNumberCountsAsZero) {
    for (const char* s : {"", "abc", ".", "-", "x1", "\t1"}) EXPECT_EQ(LenientNumber(QString::fromLatin1(s)), 0) << s;
}

TEST(LenientNumber, HugeNumbersStayHuge) {
    EXPECT_TRUE(std::isinf(LenientNumber(QStringLiteral("1e999"))));
    EXPECT_GT(LenientNumber(QString(400, u'9')), 5);
}

TEST(StrictShort, AcceptsAWholeNumberWithSurroundingBlanks) {
    EXPECT_EQ(StrictShort(QStringLiteral("1")), std::optional<short>(1));
    EXPECT_EQ(StrictShort(QStringLiteral("  0 ")), std::optional<short>(0));
    EXPECT_EQ(StrictShort(QStringLiteral("0.5")), std::optional<short>(0));
    EXPECT_EQ(StrictShort(QStringLiteral("1.5")), std::optional<short>(2));
    EXPECT_EQ(StrictShort(QStringLiteral("-3")), std::optional<short>(-3));
    EXPECT_EQ(StrictShort(QStringLiteral("32767")), std::optional<short>(32767));
}

TEST(StrictShort, RefusesEverythingElse) {
    for (const char* s : {"", "  ", "x", "1x", "1 2", "32768", "-32769", "1e9", "\t1"})
        EXPECT_FALSE(StrictShort(QString::fromLatin1(s)).has_value()) << s;
}
