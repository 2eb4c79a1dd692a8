// Term variants: one term in two spellings in one document, with the counts
// and the first place of the less frequent one.

#include "engine/check/check_variants.h"
#include "support/check_cases.h"

namespace {

using engine::check::CheckTermVariants;

QStringList Description(const QString& text) { return {"【書類名】明細書", "【０００１】", text}; }

TEST(CheckTermVariants, SpellingsOfOneTerm) {
    testsupport::RunCases(CheckTermVariants, {
        {"one spelling each", Description("インターフェースとサーバとモータと取り付け部材とＣＰＵ。インターフェース。"), {}},
        {"long-vowel mark", Description("インターフェースとインタフェースとインターフェース。"),
         {"表記揺れ|【０００１】|表記が揺れている（「インタフェース」1回、「インターフェース」2回）"}},
        {"long-vowel mark at the end", Description("サーバーとサーバ。モータとモーター。"),
         {"表記揺れ|【０００１】|表記が揺れている（「サーバ」1回、「サーバー」1回）",
          "表記揺れ|【０００１】|表記が揺れている（「モータ」1回、「モーター」1回）"}},
        {"ヴ and ブ", Description("サーヴァとサーバとサーバ。"),
         {"表記揺れ|【０００１】|表記が揺れている（「サーバ」2回、「サーヴァ」1回）"}},
        {"okurigana", Description("取付け部材と取り付け部材と取付部。"),
         {"表記揺れ|【０００１】|表記が揺れている（「取り付け」1回、「取付」1回、「取付け」1回）"}},
        {"letter width", Description("ＣＰＵとCPUとＣＰＵ。"),
         {"表記揺れ|【０００１】|表記が揺れている（「CPU」1回、「ＣＰＵ」2回）"}},
        {"short words and numbers", Description("メタデータとメーター。１０ｍｍと10mm。ステップＳ１とS1。"), {}},
    });
}

TEST(CheckTermVariants, AcrossSectionsAtTheRarerOne) {
    testsupport::RunCases(CheckTermVariants, {
        {"claims and description", {"【書類名】明細書", "【０００１】", "インターフェースを備える。", "【０００２】",
                                    "インターフェースを用いる。", "【書類名】特許請求の範囲", "【請求項１】", "インタフェースを備える装置。"},
         {"表記揺れ|【請求項１】|表記が揺れている（「インタフェース」1回、「インターフェース」2回）"}},
        {"a gazette's front page is not read", {"【公報種別】公開特許公報(A)", "【ＦＩ】Ｈ０１Ｌ　ＨＯ１Ｌ　H01L",
                                                 "【特許請求の範囲】", "【請求項１】", "ＣＰＵを備える装置。"}, {}},
    });
}

}  // namespace
