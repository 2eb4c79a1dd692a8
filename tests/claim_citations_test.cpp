// The claim-citation reader shared by the check and the renumbering: the
// phrasings in use, numerals of every kind, and what is not a citation.

#include "engine/citations/claim_citations.h"

#include <gtest/gtest.h>

using engine::ClaimCitation;
using engine::NumberRange;
using engine::NumeralKind;
using engine::ReadClaimCitations;
using engine::ReadNumeral;
using engine::WriteNumeral;

namespace {

enum Reading { Single, Alternative, Cumulative };

struct Case {
    const char16_t* text;
    const char16_t* cited;  // the text of the citation, from 請求 to its end
    std::vector<NumberRange> claims;  // each range as its two ends
    Reading reading;
};

}  // namespace

TEST(ReadClaimCitations, PhrasingsInUse) {
    const std::vector<Case> cases = {
        {u"請求項１に記載の装置。", u"請求項１", {{1, 1}}, Single},
        {u"請求項１又は２に記載の", u"請求項１又は２", {{1, 1}, {2, 2}}, Alternative},
        {u"請求項１若しくは２に記載の", u"請求項１若しくは２", {{1, 1}, {2, 2}}, Alternative},
        {u"請求項１、２又は３に記載の", u"請求項１、２又は３", {{1, 1}, {2, 2}, {3, 3}}, Alternative},
        {u"請求項１，２、又は３に記載の", u"請求項１，２、又は３", {{1, 1}, {2, 2}, {3, 3}}, Alternative},
        {u"請求項１～３に記載の", u"請求項１～３", {{1, 3}}, Cumulative},
        {u"請求項１から３に記載の", u"請求項１から３", {{1, 3}}, Cumulative},
        {u"請求項１乃至３のいずれか一項に記載の", u"請求項１乃至３", {{1, 3}}, Alternative},
        {u"請求項１ないし３の何れかに記載の", u"請求項１ないし３", {{1, 3}}, Alternative},
        {u"請求項１～３のいずれか一項に記載の", u"請求項１～３", {{1, 3}}, Alternative},
        {u"請求項１から請求項３のいずれか", u"請求項１から請求項３", {{1, 3}}, Alternative},
        {u"請求項第１項乃至第３項のいずれかに", u"請求項第１項乃至第３項", {{1, 3}}, Alternative},
        {u"特許請求の範囲第１項から第６項までの", u"請求の範囲第１項から第６項", {{1, 6}}, Cumulative},
        {u"請求項１及び２に記載の", u"請求項１及び２", {{1, 1}, {2, 2}}, Cumulative},
        {u"請求項１と請求項２とに記載の", u"請求項１と請求項２", {{1, 1}, {2, 2}}, Cumulative},
        {u"請求項1又は2に記載の", u"請求項1又は2", {{1, 1}, {2, 2}}, Alternative},
        {u"請求項1~3のいずれか1項に", u"請求項1~3", {{1, 3}}, Alternative},
        {u"請求項一に記載の", u"請求項一", {{1, 1}}, Single},
        {u"請求項十二又は二十三に記載の", u"請求項十二又は二十三", {{12, 12}, {23, 23}}, Alternative},
        {u"請求項１、３～５及び７に記載の", u"請求項１、３～５及び７", {{1, 1}, {3, 5}, {7, 7}}, Cumulative},
        {u"請求項１から導かれる", u"請求項１", {{1, 1}}, Single},
        {u"請求項１０と同様の", u"請求項１０", {{10, 10}}, Single},
        // A range is its two ends however wide; and/or adds rather than offers a choice.
        {u"請求項１～１００００のいずれか一項と請求項", u"請求項１～１００００", {{1, 10000}}, Alternative},
        {u"請求項５～３に記載の", u"請求項５～３", {{5, 5}, {3, 3}}, Cumulative},
        {u"請求項２及び／又は３に記載の", u"請求項２及び／又は３", {{2, 2}, {3, 3}}, Cumulative},
        {u"請求項２又は／及び３に記載の", u"請求項２又は／及び３", {{2, 2}, {3, 3}}, Cumulative},
        {u"請求項九千九百九十九万に記載の", u"請求項九千九百九十九万", {{99990000, 99990000}}, Single},
        {u"請求項１２３４５６７８９０１２３４５６７８９０に記載の", u"請求項１２３４５６７８９０１２３４５６７８９０", {}, Single},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        const std::vector<ClaimCitation> found = ReadClaimCitations(text);
        ASSERT_EQ(found.size(), 1u);
        const ClaimCitation& citation = found[0];
        EXPECT_EQ(text.mid(citation.start, citation.end - citation.start), QString::fromUtf16(c.cited));
        EXPECT_EQ(citation.claims, c.claims);
        EXPECT_EQ(citation.alternative, c.reading == Alternative);
        EXPECT_EQ(citation.cumulative, c.reading == Cumulative);
    }
}

TEST(ReadClaimCitations, ItemHeadingsOtherDocumentsAndHeadsWithoutNumbersAreNotCitations) {
    const QString text = QStringLiteral(
        "【請求項３】\r【書類名】特許請求の範囲\r請求項に記載の。特許文献１の請求項２、特開２０２０－１２３４５６号公報の"
        "請求項１及び米国特許第１２３号明細書の特許請求の範囲第１項と同様に、請求項３に記載の");
    const std::vector<ClaimCitation> found = ReadClaimCitations(text);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].start, text.lastIndexOf(QStringLiteral("請求項３")));
}

TEST(ReadClaimCitations, EachNumberKeepsItsPlaceKindAndRangeWord) {
    const QString text = QStringLiteral("請求項２、5乃至請求項七の");
    const std::vector<ClaimCitation> found = ReadClaimCitations(text);
    ASSERT_EQ(found.size(), 1u);
    const auto& elements = found[0].elements;
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0].first.start, 3);
    EXPECT_EQ(elements[0].first.kind, NumeralKind::FullWidth);
    EXPECT_EQ(elements[1].connector, QStringLiteral("、"));
    EXPECT_EQ(elements[1].first.kind, NumeralKind::HalfWidth);
    EXPECT_EQ(elements[1].rangeWord, QStringLiteral("乃至"));
    ASSERT_TRUE(elements[1].last.has_value());
    EXPECT_EQ(text.mid(elements[1].last->start, elements[1].last->end - elements[1].last->start), QStringLiteral("七"));
    EXPECT_EQ(elements[1].last->kind, NumeralKind::Kanji);
}

TEST(ReadNumeral, EveryKindAndWhatIsNotANumber) {
    const std::vector<std::pair<const char16_t*, std::optional<int>>> cases = {
        {u"１２", 12}, {u"12", 12}, {u"一", 1}, {u"十", 10}, {u"十二", 12}, {u"二十三", 23}, {u"百一", 101},
        {u"千二百三十四", 1234}, {u"一〇", 10}, {u"一万", 10000}, {u"九千九百九十九万", 99990000},
        {u"一億二千三百万四", 123000004}, {u"９９９９９９９９９", 999999999}, {u"１０００００００００", std::nullopt},
        {u"万", std::nullopt}, {u"一万二億", std::nullopt}, {u"十億", std::nullopt}, {u"", std::nullopt}, {u"１2", std::nullopt},
        {u"十十", std::nullopt}, {u"二三十", std::nullopt}, {u"a", std::nullopt},
    };
    for (const auto& [digits, value] : cases)
        EXPECT_EQ(ReadNumeral(QString::fromUtf16(digits)), value) << QString::fromUtf16(digits).toStdString();
}

TEST(WriteNumeral, ReadsBackInEveryKind) {
    for (NumeralKind kind : {NumeralKind::FullWidth, NumeralKind::HalfWidth, NumeralKind::Kanji})
        for (int n : {1, 9, 10, 11, 20, 99, 100, 101, 110, 999, 1000, 2024, 10000, 10001, 99990000, 123456789})
            EXPECT_EQ(ReadNumeral(WriteNumeral(n, kind)), n) << n;
    EXPECT_EQ(WriteNumeral(12, NumeralKind::Kanji), QStringLiteral("十二"));
    EXPECT_EQ(WriteNumeral(12000, NumeralKind::Kanji), QStringLiteral("一万二千"));
}

TEST(ReadEnglishClaimCitations, PhrasingsInUse) {
    struct EnglishCase {
        const char* text;
        const char* cited;
        const char* claims;  // as intervals
        Reading reading;
    };
    const std::vector<EnglishCase> cases = {
        {"The device according to claim 1, wherein", "claim 1", "1", Single},
        {"The device as claimed in claim 1 or 2, wherein", "claim 1 or 2", "1-2", Alternative},
        {"The device of any one of claims 1 to 3, wherein", "claims 1 to 3", "1-3", Alternative},
        {"The device of any of claims 1-3", "claims 1-3", "1-3", Alternative},
        {"The device according to claims 1, 2, or 4", "claims 1, 2, or 4", "1-2, 4", Alternative},
        {"The device according to claims 1 and 2", "claims 1 and 2", "1-2", Cumulative},
        {"The device according to claims 1 through 3", "claims 1 through 3", "1-3", Cumulative},
        {"The method of claim 2, wherein", "claim 2", "2", Single},
        {"The method of Claim 12 or claim 13", "Claim 12 or claim 13", "12-13", Alternative},
    };
    for (const EnglishCase& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);
        const std::vector<ClaimCitation> found = engine::ReadEnglishClaimCitations(text);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(text.mid(found[0].start, found[0].end - found[0].start), QString::fromUtf8(c.cited));
        EXPECT_EQ(engine::IntervalsText(engine::CitedClaims(found[0], 99)), QString::fromUtf8(c.claims));
        EXPECT_EQ(found[0].alternative, c.reading == Alternative);
        EXPECT_EQ(found[0].cumulative, c.reading == Cumulative);
    }
}

TEST(ReadEnglishClaimCitations, PrecedingClaimsAndWhatIsNoCitation) {
    for (const char* text : {"according to any of the preceding claims", "according to any one of the preceding claims",
                             "according to any preceding claim", "as in one of the foregoing claims"}) {
        const std::vector<ClaimCitation> found = engine::ReadEnglishClaimCitations(QString::fromUtf8(text));
        ASSERT_EQ(found.size(), 1u) << text;
        EXPECT_TRUE(found[0].allPreceding) << text;
        EXPECT_EQ(engine::IntervalsText(engine::CitedClaims(found[0], 4)), "1-3") << text;
    }
    for (const char* text : {"the claimed device", "the claims are", "disclaim 1", "proclaims 2", "claim one"})
        EXPECT_TRUE(engine::ReadEnglishClaimCitations(QString::fromUtf8(text)).empty()) << text;
}

// The cited set as intervals: a range costs its two ends however wide it is,
// and alternatives written out or as a range are equal.
TEST(CitedIntervals, MergedAndCompared) {
    engine::CitedIntervals written;
    for (int n : {3, 1, 2, 7}) engine::AddInterval(written, n, n);
    engine::CitedIntervals ranged;
    engine::AddInterval(ranged, 7, 7);
    engine::AddInterval(ranged, 1, 3);
    EXPECT_EQ(engine::Normalised(written), engine::Normalised(ranged));
    EXPECT_EQ(engine::IntervalsText(engine::Normalised(written)), "1-3, 7");
    const auto wide = engine::ReadClaimCitations(QString::fromUtf8("請求項１～９９９９９９９９９のいずれか"));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(engine::IntervalsText(engine::CitedClaims(wide[0], 2)), "1-999999999");
}
