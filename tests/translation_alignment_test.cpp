// Reading the units of both languages and aligning them: missing, extra,
// duplicated and misplaced units, empty and unchanged translations, and the
// pairs of a tagged bilingual document.

#include "engine/translation/translation_alignment.h"
#include "engine/translation/translation_rules.h"
#include "engine/text_helpers.h"
#include "support/translation_docs.h"
#include "word/automation.h"

#include <gtest/gtest.h>

namespace {

using namespace engine::translation;

Findings Alignment(const Comparison& c) { return c.alignment; }

QStringList Keys(const QStringList& lines, Language language) {
    QStringList keys;
    for (const Unit& u : ReadDocument(lines, language).units) keys << u.key;
    return keys;
}

TEST(TranslationUnits, IdentifiersOfBothLanguages) {
    EXPECT_EQ(Keys({"【書類名】明細書", "【技術分野】", "【０００１】", "本文", "【０００２】【表１】", "【図面の簡単な説明】",
                    "【図１】断面図", "【符号の説明】", "【書類名】特許請求の範囲", "【請求項１】", "装置。", "【書類名】図面",
                    "【図１】", "【図１Ａ】"},
                   Language::Japanese),
              QStringList({"S", "D1", "H:技術分野", "P1", "P2", "T1@1", "H:図面の簡単な説明", "F1@1", "H:符号の説明", "D2",
                           "C1", "D4", "F1@4", "F1a@4"}));
    EXPECT_EQ(Keys({"DESCRIPTION", "TECHNICAL FIELD", "[0001]", "text", "[0002] [Table 1]", "Brief Description of Drawings",
                    "FIG. 1 is a sectional view.", "Reference Signs List", "CLAIMS", "1. A device.", "DRAWINGS", "FIG. 1",
                    "FIG. 1A"},
                   Language::English),
              QStringList({"S", "D1", "H:技術分野", "P1", "P2", "T1@1", "H:図面の簡単な説明", "F1@1", "H:符号の説明", "D2",
                           "C1", "D4", "F1@4", "F1a@4"}));
    EXPECT_EQ(Keys({"[Document Name] Description", "[Technical Field]", "【0001】", "[Claim 1]", "[Fig. 2]",
                    "Title of Invention: Reader"},
                   Language::English),
              QStringList({"S", "D1", "H:技術分野", "P1", "C1", "F2@1", "H:発明の名称"}));
}

TEST(TranslationUnits, LanguageFromTheText) {
    EXPECT_EQ(DetectLanguage({"本発明は、基板処理装置に関する。", "[0001] JP 2010-123456 A"}), Language::Japanese);
    EXPECT_EQ(DetectLanguage({"The present invention relates to 基板."}), Language::English);
}

const QStringList kJapanese = {"【技術分野】", "【０００１】", "本発明は装置に関する。", "【０００２】", "装置は部品を備える。",
                               "【０００３】", "部品は小さい。"};
const QStringList kEnglish = {"Technical Field", "[0001]", "The present invention relates to a device.", "[0002]",
                              "The device includes a part.", "[0003]", "The part is small."};

TEST(TranslationAlignment, UnitsMissingExtraRepeatedOrMisplaced) {
    testsupport::runTranslationCases(Alignment, {
        {"aligned", kJapanese, kEnglish, {}},
        {"aligned, english source", kEnglish, kJapanese, {}},
        {"missing", kJapanese, kEnglish.mid(0, 3) + kEnglish.mid(5), {"対応|【０００２】|訳文に【０００２】がない"}},
        {"extra", kJapanese, kEnglish + QStringList{"[0004]", "More."}, {"対応|[0004]|原文にない[0004]"}},
        {"repeated", kJapanese, kEnglish + QStringList{"[0003]", "Again."}, {"対応|[0003]|[0003]が重複している"}},
        {"misplaced", kJapanese, kEnglish.mid(0, 1) + kEnglish.mid(3, 2) + kEnglish.mid(1, 2) + kEnglish.mid(5),
         {"対応|[0002]|[0002]の位置が原文と違う"}},
        {"heading missing", kJapanese, kEnglish.mid(1), {"対応|【技術分野】|訳文に【技術分野】がない"}},
        {"empty", kJapanese, kEnglish.mid(0, 4) + kEnglish.mid(5), {"対応|[0002]|訳文が空"}},
        {"unchanged", kJapanese, kEnglish.mid(0, 4) + QStringList{"装置は部品を備える。"} + kEnglish.mid(5),
         {"対応|[0002]|訳文が原文と同じ"}},
        {"japanese translation of a foreign application",
         {"[0001]", "The device is small.", "[0002]", "It is light."},
         {"【０００１】", "装置は小さい。", "【０００２】", "軽い。"}, {}},
    });
}

// Alignment is by key, not by position: a long document whose translation
// drops one unit in the middle gives one finding, not one per later unit.
TEST(TranslationAlignment, OneDroppedUnitIsOneFinding) {
    QStringList japanese, english;
    for (int n = 1; n <= 2000; ++n) {
        japanese << engine::ParagraphNumberText(n) << QStringLiteral("段落%1の本文。").arg(n);
        if (n == 1000) continue;
        english << QStringLiteral("[%1]").arg(n, 4, 10, QChar(u'0')) << QStringLiteral("The text of paragraph %1.").arg(n);
    }
    const Comparison c = Compare(ReadDocument(japanese, Language::Japanese), ReadDocument(english, Language::English));
    EXPECT_EQ(testsupport::summaries(c.alignment), QStringList({"対応|【１０００】|訳文に【１０００】がない"}));
    EXPECT_EQ(c.pairs.size(), 2000u);  // the start and 1999 paragraphs
}

TEST(TranslationAlignment, BothDocumentsInOneLanguageCannotBeChecked) {
    try {
        testsupport::compareWritten({"本文。"}, {"訳文。"});
        FAIL() << "no error";
    } catch (const word::Error& e) {
        EXPECT_EQ(e.message(), "原文「source.docx」と訳文「translation.docx」がどちらも日本語で書かれています。原文と訳文を確かめてください。");
    }
}

// A tagged bilingual document: the source passages and their translations
// between the tags are the pairs, grouped under the identifier that heads them.
TEST(TranslationTagged, PairsUnderTheirIdentifiers) {
    const QStringList lines = {
        "--/H", "[Technical Field]", "【技術分野】", "--/H", "【０００１】", "--/M",
        "The heater 20 heats the substrate 10 to 200°C.", "ヒータ２０は基板１０を２００℃に加熱する。", "--/M",
        "It is shown in FIG. 2.", "図３に示す。", "--/H", "【請求項１】", "--/M",
        "The device according to claim 1 or 2.", "請求項１に記載の装置。", "--/E",
    };
    const Comparison c = CompareTagged(testsupport::writtenParagraphs(lines), Language::English);
    ASSERT_EQ(c.pairs.size(), 3u);
    EXPECT_EQ(c.pairs[1].source->text, "The heater 20 heats the substrate 10 to 200°C.\nIt is shown in FIG. 2.");
    EXPECT_EQ(c.pairs[1].translation->text, QString::fromUtf8("ヒータ２０は基板１０を２００℃に加熱する。\n図３に示す。"));
    EXPECT_EQ(c.pairs[2].source->kind, UnitKind::Claim);
    EXPECT_EQ(testsupport::summaries(RunTranslationChecks(c)).join(u'\n').toStdString(),
              QStringList({"請求項|【請求項１】|請求項1の引用する請求項が違う（原文 1-2、訳文 1）",
                           "図表引用|【０００１】|訳文にない引用 図2、原文にない引用 図3"})
                  .join(u'\n')
                  .toStdString());
}

TEST(TranslationTagged, UntranslatedAndEmptyPairs) {
    const QStringList lines = {"--/H", "【０００１】", "--/M", "本文である。", "This is the text as it was written.", "--/M",
                               "次の文。", "次の文。", "--/E"};
    const Comparison c = CompareTagged(testsupport::writtenParagraphs(lines), Language::Japanese);
    EXPECT_EQ(testsupport::summaries(RunTranslationChecks(c)),
              QStringList({"未翻訳|【０００１】|訳文に日本語が残っている"}));
}

}  // namespace
