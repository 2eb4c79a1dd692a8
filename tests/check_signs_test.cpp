// Reference signs as real publications write them: the list's entry forms,
// names the text writes otherwise than the list, numbers that are no signs,
// and the faults to be found, each on a built document.

#include "engine/check/check_claims.h"
#include "engine/check/check_figures.h"
#include "engine/check/check_signs.h"
#include "support/check_cases.h"

#include <gtest/gtest.h>

namespace {

using namespace engine::check;
using testsupport::RunCases;

// A description with the text, then the sign list, then claims when given.
QStringList Publication(const QStringList& text, const QStringList& list, const QStringList& claims = {}) {
    QStringList lines = QStringList{"【書類名】明細書", "【発明を実施するための形態】", "【００１０】"} + text +
                        QStringList{"【符号の説明】", "【００２０】"} + list;
    if (!claims.isEmpty()) lines += QStringList{"【書類名】特許請求の範囲", "【請求項１】"} + claims;
    return lines;
}

TEST(CheckReferenceSigns, NamesWrittenOtherwiseThanListed) {
    RunCases(CheckReferenceSigns, {
        {"generic name of listed ones", Publication({"　一対のガイド板１１，１２と、第１ガイド板１１と、前記ガイド板１２。"},
                                                    {"１１　第１ガイド板", "１２　第２ガイド板"}), {}},
        {"generic name itself listed", Publication({"　ガイド板１０、ガイド板１１。"}, {"１０　ガイド板", "１１　第１ガイド板"}), {}},
        {"coordinated names", Publication({"　入口又は出口ポート２４、２６と、チェンバー１２Ａ及び１２Ｂ、第１、第２絶縁層３１、３２。"},
                                          {"２４　入口ポート", "２６　出口ポート", "１２Ａ　第１チェンバー", "１２Ｂ　第２チェンバー",
                                           "３１、３２　第１、第２絶縁層"}), {}},
        {"ordinal range", Publication({"　第１導電層２１、第２導電層２２、第３導電層２３及び第４導電層２４。"},
                                      {"２１〜２４…第１〜第４導電層"}), {}},
        {"sub-signs in brackets", Publication({"　ローラ３０、ローラ３０ｂ、操作部４０ａ。"},
                                              {"３０（３０ａ乃至３０ｄ）…ローラ", "４０（４０ａ及び４０ｂ）…操作部"}), {}},
        {"qualifier in the entry", Publication({"　係合部６２、係合部７２、第１刈刃体の係合部６２。"},
                                               {"６２　（第１刈刃体の）係合部", "７２　（第２刈刃体の）係合部"}), {}},
        {"glosses", Publication({"　第２ギヤ歯車５２、従動回転体５２、遊技制御装置１００、始動記憶手段１００、ＤＦガラス４５、"
                                 "第１コンタクトガラス（ＤＦガラス）４５、制御部６０。"},
                                {"５２　第２ギヤ歯車(従動回転体)", "１００　遊技制御装置（始動記憶手段、…）、６０　制御部",
                                 "４５　第１コンタクトガラス（ＤＦガラス）"}), {}},
        {"hyphenated signs and quantities", Publication({"　モジュール１０７−１３、記録媒体５０。画像面積５０［％］、温度５０（℃）、"
                                                         "H.264、IPv6、CDMA2000、JIS Z 8301、分子量１０，０００。"},
                                                        {"１０７－１３　モジュール", "５０　記録媒体"}), {}},
        {"entry over two paragraphs", Publication({"　第１層３１を形成する。第１実施形態と第２の層。"}, {"３１…第", "１層"}), {}},
        {"entry name over two paragraphs", Publication({"　支持部材３２。"}, {"３２　支持", "部材"}), {}},
        {"an earlier publication's signs in the background",
         {"【書類名】明細書", "【背景技術】", "【０００１】", "　従来の搬送装置５００は、ローラ５１０を備える。",
          "【発明を実施するための形態】", "【０００２】", "　部材１０。", "【符号の説明】", "【０００３】", "１０　部材"}, {}},
        {"numbers that are no signs", Publication({"　部材１０。閾値５０、ステップ２０、実施例１２、温度２５℃、距離３０ｍ、電圧１２Ｖ、"
                                                   "平成２０年、ＣＰＵ２４、層２、規格ＩＳＯ９００１、図１２、段落【００１０】。"},
                                                  {"１０　部材"}), {}},
    });
}

TEST(CheckReferenceSigns, FaultsFoundThroughEveryEntryForm) {
    RunCases(CheckReferenceSigns, {
        {"after a two-letter suffix", Publication({"　スプリング２３ｓｐ、蓋２５。"}, {"２３ｓｐ　スプリング", "２４　蓋"}),
         {"符号|【００１０】|「蓋」の符号が２５（符号の説明では２４、２５は符号の説明にない）",
          "符号|【００２０】|符号２４「蓋」が本文で使われていない"}},
        {"after a name holding a comma", Publication({"　第１絶縁層３１、第２絶縁層３２、基板３４。"},
                                                    {"３１、３２　第１、第２絶縁層", "３３　基板"}),
         {"符号|【００１０】|「基板」の符号が３４（符号の説明では３３、３４は符号の説明にない）",
          "符号|【００２０】|符号３３「基板」が本文で使われていない"}},
        {"entries separated by colons", Publication({"　読込部１０と検出部２２。"}, {"１０：読込部：２０：検出部"}),
         {"符号|【００１０】|「検出部」の符号が２２（符号の説明では２０、２２は符号の説明にない）",
          "符号|【００２０】|符号２０「検出部」が本文で使われていない"}},
        {"after text that is no entry", Publication({"　読込部１０と検出部２２。"}, {"（以下同じ）　１０　読込部　２０　検出部"}),
         {"符号|【００１０】|「検出部」の符号が２２（符号の説明では２０、２２は符号の説明にない）",
          "符号|【００２０】|符号２０「検出部」が本文で使われていない"}},
        {"capital letters", Publication({"　キャスター２８Ａ、キャスター２８Ｃ、ヒータ１０、ヒータ１０Ｗ。"},
                                        {"２８Ａ　キャスター", "１０　ヒータ"}),
         {"符号|【００１０】|「キャスター」の符号が２８Ｃ（符号の説明では２８Ａ、２８Ｃは符号の説明にない）"}},
        {"generic name not excusing another", Publication({"　一対の押圧板１１、１２。"}, {"１１　第１ガイド板", "１２　第２ガイド板"}),
         {"符号|【００１０】|符号１１が「第１ガイド板」以外の語に付いている"}},
        {"two signs after one name", Publication({"　搬送ローラ３０，３１。"}, {"３０　搬送ローラ", "３１　搬送ローラ", "３２　本体"}),
         {"符号|【００２０】|符号の説明で「搬送ローラ」に符号３０と３１が付いている",
          "符号|【００２０】|符号３２「本体」が本文で使われていない"}},
        {"a sign only in a designation", Publication({"　符号化器２６５、H.264、ＣＰＵ１０。"},
                                                    {"２６４　符号化器", "２６５　復号器", "１０　制御部"}),
         {"符号|【００１０】|「符号化器」の符号が２６５（符号の説明では２６４、２６５は「復号器」）",
          "符号|【００２０】|符号２６４「符号化器」が本文で使われていない"}},
        {"name and sign the list lacks", Publication({"　本体１０と新部材９９と前記新部材９９。"}, {"１０　本体"}),
         {"符号|【００１０】|「新部材」の符号９９が符号の説明にない", "符号|【００１０】|「新部材」の符号９９が符号の説明にない"}},
        {"one sign for two names, one name with two signs",
         Publication({"　押圧部１５、押付部１５、支持部１６、支持部１７、ローラ３０、ローラ３０ａ、支持部１１６。"},
                     {"１５　押圧部", "１５　押付部", "１６　支持部", "１７　支持部", "３０　ローラ", "３０ａ　ローラ",
                      "１１６　支持部"}),
         {"符号|【００２０】|符号の説明で符号１５が「押圧部」と「押付部」に付いている",
          "符号|【００２０】|符号の説明で「支持部」に符号１６と１７が付いている"}},
        {"signs in claims", Publication({"　配管１、弁２、継手３。"}, {"１　配管", "２　弁", "３　継手"},
                                        {"　配管（１）と弁（２、８）と継手（９）と新管（５）と配管（３）と、式（１）。"}),
         {"符号|【請求項１】|「弁」の符号８が符号の説明にない",
          "符号|【請求項１】|「継手」の符号が９（符号の説明では３、９は符号の説明にない）",
          "符号|【請求項１】|「新管」の符号５が符号の説明にない",
          "符号|【請求項１】|「配管」の符号が３（符号の説明では１、３は「継手」）"}},
    });
}

TEST(CheckReferenceSigns, OneSignForEachOrdinalOfAName) {
    std::vector<std::pair<QString, QString>> entries;
    for (const SignEntry& e : ReadSignList(u"２１〜２４…第１〜第４導電層、３１、３２　第１、第２絶縁層、２３ｓｐ：ばね", 0))
        entries.push_back({e.sign, e.term});
    EXPECT_EQ(entries, (std::vector<std::pair<QString, QString>>{{"２１", "第１導電層"},
                                                                 {"２２", "第２導電層"},
                                                                 {"２３", "第３導電層"},
                                                                 {"２４", "第４導電層"},
                                                                 {"３１", "第１絶縁層"},
                                                                 {"３２", "第２絶縁層"},
                                                                 {"２３ｓｐ", "ばね"}}));
}

TEST(CheckFigures, NumberedPartsOfAFigure) {
    RunCases(CheckFigures, {
        {"parts keep the list going", {"【図面の簡単な説明】", "【図１】ａ", "【図２-１】ｂ", "【図２-２】ｃ", "【図３】ｄ",
                                       "【発明を実施するための形態】", "図１、図２-１、図２-２及び図３。"}, {}},
        {"a part repeated", {"【図面の簡単な説明】", "【図１】ａ", "【図１-１】ｂ", "【図１-１】ｃ", "【発明を実施するための形態】", "図１。"},
         {"図番号|【図１-１】|図番号が重複している"}},
    });
}

TEST(CheckClaimCitations, CitationOverTwoParagraphs) {
    RunCases(CheckClaimCitations, {
        {"choice continued", {"【書類名】特許請求の範囲", "【請求項１】", "装置。", "【請求項２】", "装置。", "【請求項３】",
                              "請求項１乃至請求項２", "のいずれかに記載の装置。"}, {}},
        {"not a choice", {"【書類名】特許請求の範囲", "【請求項１】", "装置。", "【請求項２】", "装置。", "【請求項３】",
                          "請求項１及び請求項２", "に記載の装置。"},
         {"請求項引用|【請求項３】|複数の請求項を択一的でなく引用している（請求項１、請求項２）"}},
    });
}

}  // namespace
