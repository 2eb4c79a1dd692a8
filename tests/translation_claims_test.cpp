// Claims in a translation: their number, their categories and, above all,
// the claims each one cites, in both directions.

#include "engine/translation/translation_claims.h"
#include "support/translation_docs.h"

#include <gtest/gtest.h>

namespace {

using engine::translation::CheckClaims;
using engine::translation::Language;

QStringList JapaneseClaims(const QStringList& texts) {
    QStringList lines{"【書類名】特許請求の範囲"};
    for (int i = 0; i < texts.size(); ++i) lines << QStringLiteral("【請求項%1】").arg(QChar(u'１' + i)) << texts[i];
    return lines;
}
QStringList EnglishClaims(const QStringList& texts) {
    QStringList lines{"CLAIMS"};
    for (int i = 0; i < texts.size(); ++i) lines << QStringLiteral("%1. ").arg(i + 1) + texts[i];
    return lines;
}

TEST(TranslationClaims, CitedClaimsInBothLanguages) {
    struct Case {
        const char* text;
        Language language;
        int claim;
        const char* cited;
    };
    const std::vector<Case> cases = {
        {"請求項１～３のいずれか一項に記載の装置。", Language::Japanese, 4, "1-3"},
        {"請求項１又は３に記載の装置。", Language::Japanese, 4, "1, 3"},
        {"The device according to claim 1, wherein", Language::English, 2, "1"},
        {"The device as claimed in claim 1 or 2, wherein", Language::English, 3, "1-2"},
        {"The device of any one of claims 1 to 3, wherein", Language::English, 4, "1-3"},
        {"The device of any one of claims 1-3, wherein", Language::English, 4, "1-3"},
        {"The device according to claims 1, 2 or 4", Language::English, 5, "1-2, 4"},
        {"The device according to any of the preceding claims, wherein", Language::English, 5, "1-4"},
        {"The device according to any preceding claim", Language::English, 3, "1-2"},
        {"The method of claim 2, wherein", Language::English, 3, "2"},
        {"The method of claim 2 or claim 3", Language::English, 4, "2-3"},
        {"A device comprising a claimed part", Language::English, 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine::IntervalsText(engine::translation::CitedClaimsOf(QString::fromUtf8(c.text), c.claim, c.language)),
                  QString::fromUtf8(c.cited))
            << c.text;
}

TEST(TranslationClaims, CategoryWords) {
    struct Case {
        const char* text;
        Language language;
        const char* category;
    };
    const std::vector<Case> cases = {
        {"ヒータを備える基板処理装置。", Language::Japanese, "装置"},
        {"基板を加熱する基板処理方法。", Language::Japanese, "方法"},
        {"コンピュータに実行させるプログラム。", Language::Japanese, "プログラム"},
        {"プログラムを記録した記録媒体。", Language::Japanese, "媒体"},
        {"A substrate processing apparatus comprising", Language::English, "装置"},
        {"An image reading device, comprising", Language::English, "装置"},
        {"The method according to claim 1, wherein", Language::English, "方法"},
        {"A non-transitory computer-readable storage medium storing a program", Language::English, "媒体"},
        {"A heater comprising a coil", Language::English, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine::translation::ClaimCategory(QString::fromUtf8(c.text), c.language), QString::fromUtf8(c.category))
            << c.text;
}

TEST(TranslationClaims, FaultsFound) {
    const QStringList japanese = JapaneseClaims({"ヒータを備える装置。", "請求項１に記載の装置。", "請求項１又は２に記載の装置。",
                                                 "請求項１～３のいずれか一項に記載の装置を用いる方法。"});
    const QStringList english = EnglishClaims({"A device comprising a heater.", "The device according to claim 1.",
                                               "The device according to claim 1 or 2.",
                                               "A method using the device according to any one of claims 1 to 3."});
    testsupport::runTranslationCases(CheckClaims, {
        {"faithful", japanese, english, {}},
        {"faithful, english source", english, japanese, {}},
        {"citation changed", japanese,
         EnglishClaims({"A device comprising a heater.", "The device according to claim 1.", "The device according to claim 1 or 3.",
                        "A method using the device according to any one of claims 1 to 3."}),
         {"請求項|Claim 3|請求項3の引用する請求項が違う（原文 1-2、訳文 1, 3）"}},
        {"range narrowed", japanese,
         EnglishClaims({"A device comprising a heater.", "The device according to claim 1.", "The device according to claim 1 or 2.",
                        "A method using the device according to claim 1 or 3."}),
         {"請求項|Claim 4|請求項4の引用する請求項が違う（原文 1-3、訳文 1, 3）"}},
        {"category changed", japanese,
         EnglishClaims({"A method comprising heating.", "The device according to claim 1.", "The device according to claim 1 or 2.",
                        "A method using the device according to any one of claims 1 to 3."}),
         {"請求項|Claim 1|請求項1のカテゴリーが違う（原文「装置」、訳文「方法」）"}},
        {"claim missing", japanese,
         EnglishClaims({"A device comprising a heater.", "The device according to claim 1.", "The device according to claim 1 or 2."}),
         {"請求項|Claim 1|請求項の数が違う（原文 4、訳文 3）"}},
        {"japanese translation", english,
         JapaneseClaims({"ヒータを備える装置。", "請求項１に記載の装置。", "請求項２に記載の装置。",
                         "請求項１～３のいずれか一項に記載の装置を用いる方法。"}),
         {"請求項|【請求項３】|請求項3の引用する請求項が違う（原文 1-2、訳文 2）"}},
        {"[Claim n] headings", japanese,
         {"[Document Name] Claims", "[Claim 1]", "A device comprising a heater.", "[Claim 2]", "The device according to claim 1.",
          "[Claim 3]", "The device according to claim 2.", "[Claim 4]",
          "A method using the device according to any one of claims 1 to 3."},
         {"請求項|[Claim 3]|請求項3の引用する請求項が違う（原文 1-2、訳文 2）"}},
    });
}

// A range is compared by its ends: a hostile wide range costs nothing.
TEST(TranslationClaims, WideRangesByTheirEnds) {
    const QString english = QStringLiteral("The device of any one of claims 1 to 900000000");
    EXPECT_EQ(engine::IntervalsText(engine::translation::CitedClaimsOf(english, 3, Language::English)), "1-900000000");
}

}  // namespace
