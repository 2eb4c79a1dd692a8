// The check before filing: each family of rules on built documents, and the
// whole task through kalvendo-cli on the sample application.

#include "engine/check/check_characters.h"
#include "engine/check/check_claims.h"
#include "engine/check/check_figures.h"
#include "engine/check/check_headings.h"
#include "engine/check/check_numbering.h"
#include "engine/check/check_rules.h"
#include "engine/check/check_signs.h"
#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"
#include "engine/text_helpers.h"
#include "support/check_cases.h"
#include "support/task_test_util.h"
#include "word/cp932.h"
#include "word/ooxml/document_model.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using namespace engine::check;
using engine::ToFullWidthDigits;
using testsupport::Check;
using testsupport::Claims;
using testsupport::RunCases;
using testsupport::Summaries;
using Case = testsupport::CheckCase;

TEST(CheckParagraphNumbers, SequenceFormAndPlace) {
    RunCases(CheckParagraphNumbers, {
        {"in order", {"【技術分野】", "【０００１】", "　本文。", "【０００２】本文。", "段落【０００１】参照。"}, {}},
        {"gap", {"【０００１】", "【０００３】"}, {"段落番号|【０００３】|段落番号が飛んでいる（【０００２】がない）"}},
        {"repeat", {"【０００１】", "【０００２】", "【０００２】"},
         {"段落番号|【０００２】|段落番号が重複または逆順（前は【０００２】）"}},
        {"first", {"【０００２】"}, {"段落番号|【０００２】|段落番号が【０００１】から始まっていない"}},
        {"half-width and short", {"【0001】", "【００２】"},
         {"段落番号|【0001】|段落番号に半角数字", "段落番号|【００２】|段落番号の桁数が４桁でない"}},
        {"run into the sentence before", {"【０００１】", "　である。【０００２】　次に"},
         {"段落番号|【０００２】|段落番号が段落の先頭にない"}},
        {"claims and abstract are not numbered", {"【書類名】特許請求の範囲", "【請求項１】", "【書類名】明細書", "【０００１】"}, {}},
    });
}

TEST(CheckParagraphNumbers, FiveDigitsFromTenThousand) {
    QStringList lines;
    for (int n = 1; n <= 10001; ++n) lines << ParagraphNumberText(n);
    EXPECT_EQ(lines.last(), "【１０００１】");
    EXPECT_TRUE(CheckParagraphNumbers(CheckedText(lines)).empty());
    lines.last() = "【０１０００１】";
    EXPECT_EQ(Summaries(CheckParagraphNumbers(CheckedText(lines))),
              QStringList({"段落番号|【０１０００１】|段落番号の桁数が５桁でない"}));
}

TEST(CheckClaimNumbers, FromOneUpByOne) {
    RunCases(CheckClaimNumbers, {
        {"in order", {"【書類名】特許請求の範囲", "【請求項１】", "　装置。", "【請求項２】　方法。"}, {}},
        {"gap", {"【請求項１】", "【請求項３】"}, {"請求項番号|【請求項３】|請求項番号が飛んでいる（【請求項２】がない）"}},
        {"first", {"【請求項２】"}, {"請求項番号|【請求項２】|請求項番号が【請求項１】から始まっていない"}},
        {"too many digits", {"【書類名】特許請求の範囲", "【請求項１】", "【請求項１２３４５６７８９０１２３４５６７８９０】"},
         {"請求項番号|【請求項１】|請求項番号が読み取れない（桁が多すぎる）"}},
    });
}

TEST(CheckClaimCitations, EveryPhrasingInUse) {
    RunCases(CheckClaimCitations, {
        {"phrasings", Claims({"装置。", "請求項１に記載の装置。", "請求項１又は２に記載の装置。", "請求項１若しくは２に記載の装置。",
                              "請求項１、２又は３に記載の装置。", "請求項１～３のいずれか一項に記載の装置。",
                              "請求項１から請求項３のいずれかに記載の装置。", "請求項第１項乃至第３項のいずれかに記載の装置。",
                              "請求の範囲第１項から第６項のいずれかに記載の装置。", "請求項一に記載の装置。",
                              "請求項1又は2に記載の装置。", "請求項１ないし３のいずれか一項に記載の装置。",
                              "請求項１から請求項３までのいずれか１項に記載の装置。"}), {}},
        {"later, itself, missing", Claims({"装置。", "請求項３に記載の装置。", "請求項３に記載の装置。請求項９"}),
         {"請求項引用|【請求項２】|請求項２が後の請求項３を引用している", "請求項引用|【請求項３】|請求項３が自身を引用している",
          "請求項引用|【請求項３】|存在しない請求項９を引用している"}},
        {"several but not as a choice", Claims({"装置。", "装置。", "請求項１及び２に記載の装置。", "請求項１から３に記載の装置。"}),
         {"請求項引用|【請求項３】|複数の請求項を択一的でなく引用している（請求項１、請求項２）",
          "請求項引用|【請求項４】|複数の請求項を択一的でなく引用している（請求項１～３）"}},
        {"and/or is not a choice", Claims({"装置。", "装置。", "請求項２及び／又は３に記載の装置。"}),
         {"請求項引用|【請求項３】|請求項３が自身を引用している",
          "請求項引用|【請求項３】|複数の請求項を択一的でなく引用している（請求項２、請求項３）"}},
        {"ranges named as ranges", Claims({"装置。", "装置。", "装置。", "請求項１～８又は請求項２０のいずれか一項に記載の装置。"}),
         {"請求項引用|【請求項４】|請求項４が自身を引用している", "請求項引用|【請求項４】|存在しない請求項５～８を引用している",
          "請求項引用|【請求項４】|存在しない請求項２０を引用している"}},
        {"a number too long to read", Claims({"装置。", "請求項１２３４５６７８９０１２３４５６７８９０に記載の装置。"}),
         {"請求項引用|【請求項２】|読み取れない請求項番号（桁が多すぎる）を引用している"}},
        {"kanji with 万", Claims({"装置。", "請求項九千九百九十九万に記載の装置。"}),
         {"請求項引用|【請求項２】|存在しない請求項９９９９００００を引用している"}},
    });
}

// Hostile ranges cost their ends: claims citing claims that do not exist, or
// every earlier claim, give findings of a few lines that name the ranges.
TEST(CheckClaimCitations, WideRangesGiveShortFindings) {
    QStringList texts;
    for (int i = 0; i < 300; ++i) texts << "請求項１～１００００のいずれか一項と請求項１～１００００に記載の装置。";
    const QStringList lines = Claims(texts);
    const CheckedText text(lines);
    const Findings findings = CheckClaimCitations(text);
    for (const Finding& f : findings) ASSERT_LT(f.what.size(), 300) << f.what.toStdString();
    EXPECT_TRUE(findings.front().what.startsWith("請求項１が自身を引用している")) << findings.front().what.toStdString();
    EXPECT_TRUE(findings[1].what.startsWith("存在しない請求項３０１～１００００を引用している")) << findings[1].what.toStdString();
    EXPECT_TRUE(findings[2].what.startsWith("請求項１が後の請求項２～３００を引用している")) << findings[2].what.toStdString();
}

TEST(CheckMultipleDependency, ChoiceCitingAChoice) {
    RunCases(CheckMultipleDependency, {
        {"one claim citing a multiple one", Claims({"装置。", "請求項１に記載の装置。", "請求項一又は二に記載の装置。",
                                                    "請求項３に記載の装置。"}), {}},
        {"multiple citing multiple", Claims({"装置。", "請求項１に記載の装置。", "請求項１又は２に記載の装置。",
                                             "請求項１～３のいずれか一項に記載の装置。"}),
         {"マルチマルチ|【請求項４】|複数従属の請求項４が複数従属の請求項３を引用している"}},
        // The office's examples: a claim that cites a multiple claim through single
        // citations offers its choice, and a choice of it is refused as well.
        {"through a single citation", Claims({"装置。", "請求項１に記載の装置。", "請求項１又は２に記載の装置。",
                                              "請求項３に記載の装置。", "請求項１又は４に記載の装置。"}),
         {"マルチマルチ|【請求項５】|複数従属の請求項５が複数従属の請求項４を引用している（請求項４は請求項３を通じて複数従属）"}},
        {"through a chain of single citations", Claims({"装置。", "請求項１に記載の装置。", "請求項１又は２に記載の装置。",
                                                       "請求項３に記載の装置。", "請求項４に記載の装置。", "請求項１～５のいずれかに記載の方法。",
                                                       "請求項２又は５に記載の装置。"}),
         {"マルチマルチ|【請求項６】|複数従属の請求項６が複数従属の請求項３～５を引用している",
          "マルチマルチ|【請求項７】|複数従属の請求項７が複数従属の請求項５を引用している（請求項５は請求項３を通じて複数従属）"}},
        {"a single citation of a multi-multi claim is not one itself", Claims({"装置。", "請求項１に記載の装置。",
                                                                               "請求項１又は２に記載の装置。", "請求項１～３のいずれかに記載の装置。",
                                                                               "請求項４に記載の装置。"}),
         {"マルチマルチ|【請求項４】|複数従属の請求項４が複数従属の請求項３を引用している"}},
        {"every claim citing all earlier ones", [] {
             QStringList texts{"装置。", "請求項１に記載の装置。"};
             for (int n = 3; n <= 40; ++n) texts << "請求項１～" + ToFullWidthDigits(QString::number(n - 1)) + "のいずれか一項に記載の装置。";
             return Claims(texts);
         }(),
         [] {
             QStringList out;
             for (int n = 4; n <= 40; ++n)
                 out << "マルチマルチ|【請求項" + ToFullWidthDigits(QString::number(n)) + "】|複数従属の請求項" +
                            ToFullWidthDigits(QString::number(n)) + "が複数従属の請求項３" +
                            (n > 4 ? "～" + ToFullWidthDigits(QString::number(n - 1)) : QString()) + "を引用している";
             return out;
         }()},
    });
}

TEST(CheckItemCitations, TablesFormulasAndEquationsThatDoNotExist) {
    RunCases(CheckItemCitations, {
        {"cited and existing", {"【表１】", "【化１】", "【数１】", "　表１、化１、数１及び式（１）による。代表２、酸化３、係数４、数１０個。"}, {}},
        {"missing, a range named as one", {"【表１】", "　表１及び表３を参照。", "【化１】", "　化２で表される。", "【数１】",
                                          "　数１～数４、式（７）による。"},
         {"表引用|【表１】|存在しない表３を引用している", "化引用|【化１】|存在しない化２を引用している",
          "数引用|【数１】|存在しない数２～４を引用している"}},
        {"a family without items is not judged", {"　表１に示す。"}, {}},
    });
}

const QStringList kFigureList = {"【図面の簡単な説明】", "【０００１】", "　【図１】構成図である。",
                                 "　【図２】流れ図である。", "　【図３】断面図である。", "【発明を実施するための形態】",
                                 "【０００２】"};

TEST(CheckFigures, ListedAndCited) {
    RunCases(CheckFigures, {
        {"every phrasing", kFigureList + QStringList{"　図１に示す装置と図２（ａ）の流れ、図３の断面。"}, {}},
        {"ranges", kFigureList + QStringList{"　図１～図３に示す。", "　図１乃至３に示す。"}, {}},
        {"old style", kFigureList + QStringList{"　第１図乃至第３図に示す。"}, {}},
        {"not listed and not cited", kFigureList + QStringList{"　図１、２及び図４に示す。特許文献１の図９とは異なり、意図１は無い。図１、５つの部材。"},
         {"図引用|【０００２】|図４が図面の簡単な説明にない", "図引用|【図３】|図３が本文で引用されていない"}},
        {"range reaching past the list", kFigureList + QStringList{"　図１から図４に示す。"},
         {"図引用|【０００２】|図４が図面の簡単な説明にない"}},
        {"gap in the list", {"【図面の簡単な説明】", "【図１】ａ", "【図３】ｂ", "【発明を実施するための形態】", "図１及び図３"},
         {"図番号|【図３】|図番号が飛んでいる（【図２】がない）"}},
        {"lettered figures", {"【図面の簡単な説明】", "【図１Ａ】ａ", "【図１Ｂ】ｂ", "【図２】ｃ", "【発明を実施するための形態】",
                              "図１Ａ、図１Ｂ及び図２", "図１Ｃ"},
         {"図引用|【図２】|図１Ｃが図面の簡単な説明にない"}},
        {"drawings", {"【書類名】図面", "【図１】", "【図１】"}, {"図番号|【図１】|図番号が重複している"}},
    });
}

TEST(CheckNumberedItems, TablesFormulasEquations) {
    RunCases(CheckNumberedItems, {
        {"in order, claims numbered apart", {"【書類名】特許請求の範囲", "【化１】", "【書類名】明細書", "【化１】", "【化２】",
                                             "【表１】", "【０００１】【表２】", "【数１】", "【数２】Ｎ＝Ａ"}, {}},
        {"carried on from the claims", {"【書類名】特許請求の範囲", "【化１】", "【書類名】明細書", "【化２】"}, {}},
        {"a gazette's parts", {"【特許請求の範囲】", "【化１】", "【発明の詳細な説明】", "【化１】"}, {}},
        {"faults", {"【表１】", "【表３】", "【化１】", "【化１】", "【数２】"},
         {"表番号|【表３】|表番号が飛んでいる（【表２】がない）", "化番号|【化１】|化番号が重複している",
          "数番号|【数２】|数番号が【数１】から始まっていない"}},
    });
}

const QStringList kSignList = {"【符号の説明】", "【００２０】", "　１　　装置", "　１０　読込部", "２０…検出部",
                               "30：出力部", "４０、４１　表示部", "１１ａ　第１読込部", "５０′　補助部"};

// A description followed by the sign list.
QStringList WithSignList(const QStringList& text) {
    return QStringList{"【発明を実施するための形態】", "【００１０】"} + text + kSignList;
}

TEST(CheckReferenceSigns, ListAgainstText) {
    const QString allUsed = "　装置１は、読込部１０と第１読込部１１ａと検出部20と出力部３０と表示部４０、４１と補助部50'とを備える。";
    RunCases(CheckReferenceSigns, {
        {"every sign in place", WithSignList({allUsed, "　読込部１０ａ、１０ｂは１０個の読込部１０を含み、温度は２０℃、約３０、鍵長は２０ビット、樹脂３０質量部、電圧３０Ｖ、出力部２０Ｗ。"}), {}},
        {"term with another sign", WithSignList({allUsed, "　読込部２０は検出部１０に渡す。"}),
         {"符号|【００１０】|「読込部」の符号が２０（符号の説明では１０、２０は「検出部」）",
          "符号|【００１０】|「検出部」の符号が１０（符号の説明では２０、１０は「読込部」）"}},
        {"sign the list lacks", WithSignList({allUsed, "　検出部２２を備える。"}),
         {"符号|【００１０】|「検出部」の符号が２２（符号の説明では２０、２２は符号の説明にない）"}},
        {"sign after another term", WithSignList({allUsed, "　制御部３０を備える。実施形態２０とは異なる。"}),
         {"符号|【００１０】|符号３０が「出力部」以外の語に付いている"}},
        {"entry never used", WithSignList({"　装置１は、読込部１０を備える。"}),
         {"符号|【００２０】|符号２０「検出部」が本文で使われていない",
          "符号|【００２０】|符号３０「出力部」が本文で使われていない",
          "符号|【００２０】|符号４０「表示部」が本文で使われていない",
          "符号|【００２０】|符号４１「表示部」が本文で使われていない",
          "符号|【００２０】|符号１１ａ「第１読込部」が本文で使われていない",
          "符号|【００２０】|符号５０′「補助部」が本文で使われていない"}},
    });
}

TEST(CheckReferenceSigns, ListFormats) {
    std::vector<std::pair<QString, QString>> entries;
    for (const SignEntry& e : ReadSignList(u"【符号の説明】【００３０】１…装置、１０、１１：読込部　２０ａ 検出部（センサ）、３０Ａ～３０Ｃ ローラ", 0))
        entries.push_back({e.sign, e.term});
    EXPECT_EQ(entries, (std::vector<std::pair<QString, QString>>{{"１", "装置"},
                                                                 {"１０", "読込部"},
                                                                 {"１１", "読込部"},
                                                                 {"２０ａ", "検出部"},
                                                                 {"３０Ａ", "ローラ"},
                                                                 {"３０Ｂ", "ローラ"},
                                                                 {"３０Ｃ", "ローラ"}}));
    EXPECT_EQ(NormalisedSign(u"10a'"), "１０ａ′");
}

TEST(CheckCharacters, RefusedAndBrackets) {
    RunCases(CheckCharacters, {
        {"accepted", {"(58)【調査した分野】(Int.Cl.,DB名)", "【０００１】", "　段落【０００２】、【請求項１】、【特許文献１】を参照。ＡＢＣ～－"}, {}},
        {"refused", {"【０００１】", "　①②と■とｱ、髙"},
         {"使用不可文字|【０００１】|電子出願で使えない文字 ①(U+2460) ②(U+2461)",
          "使用不可文字|【０００１】|電子出願で使えない文字 ■(U+25A0)",
          "使用不可文字|【０００１】|電子出願で使えない文字 ｱ(U+FF71)",
          "使用不可文字|【０００１】|電子出願で使えない文字 髙(U+9AD9)"}},
        {"brackets", {"　注記【注】の【", "注】", "【見出し扱い】"},
         {"使用不可文字|冒頭|識別子でない【】", "使用不可文字|冒頭|対応する】のない【", "使用不可文字|冒頭|対応する【のない】"}},
    });
}

const QStringList kDescription = {"【書類名】明細書", "【発明の名称】装置", "【技術分野】", "【０００１】", "【背景技術】",
                                  "【先行技術文献】", "【特許文献】", "【特許文献１】特開", "【発明の概要】",
                                  "【発明が解決しようとする課題】", "【課題を解決するための手段】", "【発明の効果】",
                                  "【図面の簡単な説明】", "【発明を実施するための形態】", "【実施例１】", "【実施例２】",
                                  "【産業上の利用可能性】", "【符号の説明】"};

TEST(CheckHeadings, OrderRepeatsAndNames) {
    QStringList swapped = kDescription;
    swapped.swapItemsAt(2, 4);
    RunCases(CheckHeadings, {
        {"current form", kDescription, {}},
        {"older form", {"【書類名】明細書", "【発明の名称】装置", "【発明の詳細な説明】", "【発明の属する技術分野】",
                        "【従来の技術】", "【発明が解決しようとする課題】", "【課題を解決するための手段】",
                        "【発明の実施の形態】", "【実施例】", "【発明の効果】", "【図面の簡単な説明】", "【符号の説明】"}, {}},
        {"every part", {"【書類名】特許請求の範囲", "【請求項１】", "【書類名】要約書", "【要約】", "【課題】ａ", "【解決手段】ｂ",
                        "【選択図】図１", "【書類名】図面", "【図１】"}, {}},
        {"a gazette without 書類名", {"【公報種別】公開特許公報(A)", "【調査した分野】", "【特許請求の範囲】", "【請求項１】",
                                      "【発明の詳細な説明】", "【技術分野】", "【０００１】"}, {}},
        {"out of order", swapped, {"見出し|【０００１】|見出しの順序が違う（【背景技術】より後にある）"}},
        {"repeated and misspelt", kDescription + QStringList{"【発明の効杲】", "【符号の説明】"},
         {"見出し|【０００１】|この書類にない見出し", "見出し|【０００１】|見出しが重複している"}},
        {"not in the abstract", {"【書類名】要約書", "【要約】", "【技術分野】"}, {"見出し|冒頭|この書類にない見出し"}},
    });
}

const QString kSampleOutput =
    "段落番号\t【０００６】\t段落番号が飛んでいる（【０００５】がない）：「【０００６】」\n"
    "請求項番号\t【請求項６】\t請求項番号が飛んでいる（【請求項５】がない）：「【請求項６】」\n"
    "請求項引用\t【請求項３】\t請求項３が後の請求項４を引用している：「求項の引用を調べる、請求項４に記載の文書検査装置。」\n"
    "マルチマルチ\t【請求項６】\t複数従属の請求項６が複数従属の請求項４を引用している：「出力部を更に備える、請求項１から４のいずれか一項に記載の文書」\n"
    "図番号\t【図３】\t図番号が飛んでいる（【図２】がない）：「【図３】文書検査装置１の処理の流れを示す」\n"
    "図引用\t【００１１】\t図４が図面の簡単な説明にない：「す（ステップＳ２）。図４は省略する。」\n"
    "表番号\t【表３】\t表番号が飛んでいる（【表２】がない）：「【表３】」\n"
    "化番号\t【化１】\t化番号が重複している：「【化１】」\n"
    "数番号\t【数２】\t数番号が【数１】から始まっていない：「【数２】」\n"
    "表引用\t【００１３】\t存在しない表２を引用している：「部３０が用いる書式を表２に示す。」\n"
    "符号\t【００１０】\t「検出部」の符号が３０（符号の説明では２０、３０は「出力部」）：「読み込み、その本文を検出部３０に渡す。」\n"
    "使用不可文字\t【００１４】\t電子出願で使えない文字 ①(U+2460)：「名を例示として扱う（①）。」\n"
    "見出し\t【０００６】\tこの書類にない見出し：「【発明の効杲】」\n"
    "イメージ\t【図２】\tPNG 24ビット 64×48ドット 96dpi（word/media/image2.png）：白黒２値ではありません（カラー）、解像度が200・300・400dpiのいずれでもありません（96×96dpi）\n"
    "前記\t【請求項２】\t「前記出力部」に対応する「出力部」が先に記載されていない（請求項１～２を探した）：「前記出力部は、段落番号の連続性を調べる、」\n"
    "サポート\t【請求項１】\t請求項の「照合器」が明細書にない：「を検出する検出部と、照合器と、を備える文書検査装置。」\n"
    "表記揺れ\t【００１６】\t表記が揺れている（「インタフェース」1回、「インターフェース」1回）：「類の作成に利用でき、インタフェースを通じて他の装置と連携でき」\n"
    "様式\t冒頭\t発明の名称に半角文字（ ()）：「【発明の名称】文書検査装置 (見本)」\n";

// The sample application through the command line: one finding of each kind,
// the document untouched, the report beside it.
TEST(CheckTask, SampleThroughTheCommandLine) {
    QTemporaryDir dir;
    const QString doc = dir.filePath("check-me.docx");
    ASSERT_TRUE(QFile::copy(KALVENDO_SOURCE_DIR "/samples/check-me.docx", doc));
    const QByteArray before = testsupport::fileBytes(doc);

    const testsupport::CliResult r = testsupport::cli({"--task", "6", doc});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_EQ(r.out, kSampleOutput);

    EXPECT_EQ(testsupport::fileBytes(doc), before);
    const QString reportName = "出願前チェック-check-me.docx.txt";
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"check-me.docx", reportName}));
    QStringList report = word::cp932::decode(testsupport::fileBytes(dir.filePath(reportName))).split("\r\n");
    EXPECT_EQ(report.takeLast(), "");
    EXPECT_EQ(report.takeFirst(), "出願前チェック：" + doc);
    EXPECT_TRUE(report.takeLast().startsWith("指摘 18 件（段落番号 1 件、"));
    EXPECT_EQ(report, r.out.split(u'\n', Qt::SkipEmptyParts));
    EXPECT_TRUE(r.err.contains("「check-me.docx」に指摘が 18 件あります。"));
}

// The window's way: findings in the log as found, a closing message that
// counts them, the report replaced, the document neither written nor backed up.
TEST(CheckTask, LogMessageAndReportInTheWindow) {
    QTemporaryDir dir;
    const QString doc = dir.filePath("a.docx");
    testsupport::writeDocx(doc, testsupport::paras({"【書類名】明細書", "【技術分野】", "【０００１】", "【０００３】"}));
    const QByteArray before = testsupport::fileBytes(doc);
    const QString report = dir.filePath("出願前チェック-a.docx.txt");
    QFile stale(report);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray(5000, 'x'));
    stale.close();

    testsupport::RecordingHost host;
    host.filePathText = doc;
    engine::TaskRunner runner(host);
    EXPECT_TRUE(engine::RunStartButton(runner, host, 6));
    EXPECT_EQ(host.logLines().mid(1, 3).join(u'\n').toStdString(),
              QStringList({"出願前チェック処理 .. Word 初期処理成功",
                           " .. 段落番号　【０００３】　段落番号が飛んでいる（【０００２】がない）：「【０００３】」",
                           " .. チェック結果：" + report})
                  .join(u'\n')
                  .toStdString());
    EXPECT_EQ(host.messageTexts(), QStringList({"出願前チェック：「a.docx」に指摘が 1 件あります。\n段落番号 1 件\n"
                                                "詳しくは「出願前チェック-a.docx.txt」を見てください。"}));
    EXPECT_EQ(testsupport::fileBytes(doc), before);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"a.docx", "出願前チェック-a.docx.txt"}));
    EXPECT_EQ(word::cp932::decode(testsupport::fileBytes(report)),
              "出願前チェック：" + doc + "\r\n段落番号\t【０００３】\t段落番号が飛んでいる（【０００２】がない）：「【０００３】」\r\n"
              "指摘 1 件（段落番号 1 件）\r\n");
}

// --format json: one array of the findings with their places; --accept: the
// findings a file names (in Shift_JIS here, as the report is) are counted, not listed.
TEST(CheckTask, JsonOutputAndAcceptedFindings) {
    QTemporaryDir dir;
    const QString doc = dir.filePath("a.docx");
    testsupport::writeDocx(doc, testsupport::paras({"【書類名】明細書", "【技術分野】", "【０００１】", "【０００３】", "　本文。",
                                                    "【０００６】"}));
    const testsupport::CliResult json = testsupport::cli({"--task", "6", "--format", "json", doc});
    EXPECT_EQ(json.exitCode, 3) << json.err.toStdString();
    const QJsonArray findings = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(findings.size(), 2) << json.out.toStdString();
    const QJsonObject first = findings[0].toObject();
    EXPECT_EQ(first["kind"].toString(), "段落番号");
    EXPECT_EQ(first["where"].toString(), "【０００３】");
    EXPECT_TRUE(first["what"].toString().startsWith("段落番号が飛んでいる（【０００２】がない）"));
    EXPECT_EQ(first["paragraph"].toInt(), 3);
    EXPECT_EQ(first["offset"].toInt(), 0);
    EXPECT_EQ(first["length"].toInt(), 6);
    EXPECT_EQ(first["file"].toString(), doc);

    const QString acceptPath = dir.filePath("accepted.txt");
    QFile accept(acceptPath);
    ASSERT_TRUE(accept.open(QIODevice::WriteOnly));
    accept.write(word::cp932::encode("段落番号\t【０００３】\r\n\r\n符号\t【０００６】\r\n"));
    accept.close();
    const testsupport::CliResult tsv = testsupport::cli({"--task", "6", "--accept", acceptPath, doc});
    EXPECT_EQ(tsv.out, "段落番号\t【０００６】\t段落番号が飛んでいる（【０００４】がない）：「【０００６】」\n");
    EXPECT_TRUE(tsv.err.contains(" .. 了承済み 1 件")) << tsv.err.toStdString();
}

TEST(CheckTask, ExitStatusWithoutFindingsAndWhenUnreadable) {
    QTemporaryDir dir;
    const QString doc = dir.filePath("ok.docx");
    testsupport::writeDocx(doc, testsupport::paras({"【書類名】明細書", "【技術分野】", "【０００１】", "　本文。"}));
    const testsupport::CliResult clean = testsupport::cli({"--task", "6", doc});
    EXPECT_EQ(clean.exitCode, 0) << clean.err.toStdString();
    EXPECT_EQ(clean.out, "");
    EXPECT_TRUE(clean.err.contains("「ok.docx」に指摘はありません。"));
    EXPECT_EQ(testsupport::cli({"--task", "6", dir.filePath("missing.docx")}).exitCode, 1);
}

}  // namespace
