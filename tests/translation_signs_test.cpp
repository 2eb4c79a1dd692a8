// Reference signs in a translation: the signs of each unit, one term per
// sign across the translation, and the two reference-signs lists.

#include "engine/translation/translation_signs.h"
#include "support/translation_docs.h"

#include <gtest/gtest.h>

namespace {

using engine::translation::CheckSigns;
using engine::translation::Language;
using testsupport::TranslationCase;

TEST(TranslationSigns, SignsReadInEachLanguage) {
    struct Case {
        const char* text;
        Language language;
        QStringList signs;
    };
    const std::vector<Case> cases = {
        {"基板１０と基板（１２）とローラ１０Ａと部材１０′", Language::Japanese, {"１０", "１２", "１０Ａ", "１０′"}},
        {"図１０、第２層、約１０ｍｍ、２つの基板", Language::Japanese, {}},
        {"the substrate 10, a substrate (12), roller 10A and member 10'", Language::English, {"１０", "１２", "１０Ａ", "１０′"}},
        {"FIG. 10, step 3, at least 2, comprises 10 layers, 5 mm, 10 to 20", Language::English, {}},
        {"the electrodes 12 and 14", Language::English, {"１２"}},
    };
    for (const Case& c : cases) {
        QStringList signs;
        for (const auto& s : engine::translation::ReadSignsInText(QString::fromUtf8(c.text), c.language)) signs << s.sign;
        EXPECT_EQ(signs, c.signs) << c.text;
    }
}

const QStringList kJapaneseList = {"【符号の説明】", "【００２０】", "１０　基板", "２０　ヒータ"};
const QStringList kEnglishList = {"Reference Signs List", "[0020]", "10 substrate", "20 heater"};

TEST(TranslationSigns, EachUnitsSigns) {
    testsupport::runTranslationCases(CheckSigns, {
        {"same signs", {"【０００１】", "基板１０をヒータ２０で加熱する。"}, {"[0001]", "The substrate 10 is heated by the heater 20."}, {}},
        {"parenthesised and primed", {"【０００１】", "基板（１０）と基板１０′"}, {"[0001]", "the substrate (10) and the substrate 10'"}, {}},
        {"sign changed", {"【０００１】", "基板１０を加熱する。"}, {"[0001]", "The substrate 100 is heated."},
         {"符号|[0001]|訳文にない符号 １０、原文にない符号 １００"}},
        {"letter dropped", {"【０００１】", "基板１０ａ"}, {"[0001]", "the substrate 10"},
         {"符号|[0001]|訳文にない符号 １０ａ、原文にない符号 １０"}},
        {"english source", {"[0001]", "The heater 20 heats the substrate 10."}, {"【０００１】", "ヒータ２０は基板１２を加熱する。"},
         {"符号|【０００１】|訳文にない符号 １０、原文にない符号 １２"}},
    });
}

TEST(TranslationSigns, OneTermPerSign) {
    testsupport::runTranslationCases(CheckSigns, {
        {"the list's term", kJapaneseList + QStringList{"【０００１】", "基板１０を加熱する。"},
         kEnglishList + QStringList{"[0001]", "The board 10 is heated."},
         {"符号|[0001]|符号１０の訳語が「board」（符号の説明では「substrate」）"}},
        {"plurals and the last word", kJapaneseList + QStringList{"【０００１】", "基板１０"},
         QStringList{"Reference Signs List", "[0020]", "10 glass substrate", "20 heater", "[0001]", "the substrates 10"}, {}},
        {"without a list, the most used", {"【０００１】", "基板１０。基板１０。基板１０。"},
         {"[0001]", "substrate 10. substrate 10. board 10."},
         {"符号|[0001]|符号１０の訳語が「board」（ほかでは「substrate」）"}},
        {"japanese translation", {"Reference Signs List", "[0020]", "10 substrate", "[0001]", "the substrate 10"},
         {"【符号の説明】", "【００２０】", "１０　基板", "【０００１】", "板材１０"},
         {"符号|【０００１】|符号１０の訳語が「板材」（符号の説明では「基板」）"}},
    });
}

TEST(TranslationSigns, TheListsEntryByEntry) {
    testsupport::runTranslationCases(CheckSigns, {
        {"same", kJapaneseList, kEnglishList, {}},
        {"entry missing and extra", kJapaneseList, {"Reference Signs List", "[0020]", "10 substrate", "30 heater"},
         {"符号|Reference Signs List|訳文の符号の説明に２０がない、原文の符号の説明に３０がない"}},
    });
}

}  // namespace
