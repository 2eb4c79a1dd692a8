// Antecedents: 前記Ｘ and 当該Ｘ against the terms of the claim and of the
// claims it cites, through the chain and every branch of a choice.

#include "engine/check/check_antecedents.h"
#include "support/check_cases.h"

namespace {

using engine::check::CheckAntecedents;
using testsupport::Claims;

const char* const kBase = "基板と、前記基板を保持する保持部とを備える装置。";

TEST(CheckAntecedents, IntroducedBeforeInTheClaimOrItsChain) {
    testsupport::RunCases(CheckAntecedents, {
        {"in the claim, before", Claims({kBase}), {}},
        {"when the claim cites", Claims({kBase, "前記保持部は、当該基板を吸着する、請求項１に記載の装置。"}), {}},
        {"through the chain", Claims({kBase, "前記保持部は吸着部を有する、請求項１に記載の装置。",
                                      "前記吸着部は前記基板を吸着する、請求項２に記載の装置。"}), {}},
        {"what a modifier adds", Claims({"処理容器と、前記処理容器の内部に配置された載置台と、を備える装置。",
                                         "前記内部は減圧される、請求項１に記載の装置。"}), {}},
        {"place words, clauses and general words", Claims({"処理容器と、前記処理容器内の温度を検出する検出部と、ヒータと、"
                                                            "前記検出された温度に基づいて前記ヒータを制御する制御部と、"
                                                            "一対の電極と、を備え、前記一方の電極は前記各処理容器に接する装置。"}), {}},
        {"missing", Claims({"基板を備え、前記ヒータが前記基板を加熱する装置。"}),
         {"前記|【請求項１】|「前記ヒータ」に対応する「ヒータ」が先に記載されていない（請求項１を探した）"}},
        {"only after it", Claims({"前記ヒータと、ヒータとを備える装置。"}),
         {"前記|【請求項１】|「前記ヒータ」に対応する「ヒータ」が先に記載されていない（請求項１を探した）"}},
        {"reported once per claim", Claims({"前記ヒータと、前記ヒータとを備える装置。"}),
         {"前記|【請求項１】|「前記ヒータ」に対応する「ヒータ」が先に記載されていない（請求項１を探した）"}},
        {"not in the cited claim", Claims({kBase, "前記ヒータは前記基板を加熱する、請求項１に記載の装置。"}),
         {"前記|【請求項２】|「前記ヒータ」に対応する「ヒータ」が先に記載されていない（請求項１～２を探した）"}},
        {"当該", Claims({"当該ヒータを備える装置。"}),
         {"前記|【請求項１】|「当該ヒータ」に対応する「ヒータ」が先に記載されていない（請求項１を探した）"}},
    });
}

TEST(CheckAntecedents, EveryBranchOfAChoice) {
    testsupport::RunCases(CheckAntecedents, {
        {"in every branch", Claims({kBase, "ヒータを更に備える、請求項１に記載の装置。", "ヒータを有する、請求項１に記載の装置。",
                                    "前記ヒータは前記基板を加熱する、請求項２又は３に記載の装置。"}), {}},
        {"in one branch only", Claims({kBase, "ヒータを更に備える、請求項１に記載の装置。",
                                       "前記ヒータは前記基板を加熱する、請求項１又は２に記載の装置。"}),
         {"前記|【請求項３】|「前記ヒータ」に対応する「ヒータ」が先に記載されていない（請求項１～３を探した）"}},
        {"a range", Claims({kBase, "ヒータを更に備える、請求項１に記載の装置。",
                            "前記ヒータは前記基板を加熱する、請求項１～２のいずれか一項に記載の装置。"}),
         {"前記|【請求項３】|「前記ヒータ」に対応する「ヒータ」が先に記載されていない（請求項１～３を探した）"}},
        {"cited together, one is enough", Claims({kBase, "ヒータを更に備える、請求項１に記載の装置。",
                                                  "前記ヒータを有し、請求項１及び２に記載の装置。"}), {}},
    });
}

TEST(CheckAntecedents, LongestPhraseAndItsHead) {
    testsupport::RunCases(CheckAntecedents, {
        {"前記第１の基板 matches 第１の基板", Claims({"第１の基板と、前記第１の基板を保持する保持部とを備える装置。"}), {}},
        {"written 第１基板", Claims({"第１の基板と、前記第１基板を保持する保持部とを備える装置。"}), {}},
        {"前記第１の基板 is not 基板", Claims({"基板と、前記第１の基板を保持する保持部とを備える装置。"}),
         {"前記|【請求項１】|「前記第１の基板」に対応する「第１の基板」が先に記載されていない（請求項１を探した）"}},
        {"前記基板 and the only 基板", Claims({"第１の基板と、前記基板を保持する保持部とを備える装置。"}), {}},
        {"前記基板 and two of them", Claims({"第１の基板と、第２の基板と、前記基板を保持する保持部とを備える装置。"}),
         {"前記|【請求項１】|「前記基板」が「第１の基板」「第２の基板」のどれを指すか分からない（請求項１を探した）"}},
        {"two of them in the chain", Claims({"第１の基板を備える装置。", "第２の基板を更に備え、前記基板は平坦である、請求項１に記載の装置。"}),
         {"前記|【請求項２】|「前記基板」が「第１の基板」「第２の基板」のどれを指すか分からない（請求項１～２を探した）"}},
        {"introduced twice", Claims({"ヒータを備える装置。", "ヒータを更に備え、前記ヒータは基板を加熱する、請求項１に記載の装置。"}),
         {"前記|【請求項２】|「ヒータ」が二度導入されていて、「前記ヒータ」がどちらを指すか分からない（請求項１～２を探した）"}},
    });
}

// A chain of two thousand claims, each citing the one before: the term of
// claim 1 is found through all of them, and one that no claim introduces is
// reported with the chain as a range.
TEST(CheckAntecedents, LongChainOfCitations) {
    QStringList texts{"ヒータを備える装置。"};
    for (int n = 2; n <= 2000; ++n)
        texts << "前記ヒータは加熱する、請求項" + engine::ToFullWidthDigits(QString::number(n - 1)) + "に記載の装置。";
    EXPECT_EQ(testsupport::Check(CheckAntecedents, Claims(texts)), QStringList());
    texts.last() = "前記冷却器は冷却する、請求項１９９９に記載の装置。";
    EXPECT_EQ(testsupport::Check(CheckAntecedents, Claims(texts)),
              QStringList({"前記|【請求項２０００】|「前記冷却器」に対応する「冷却器」が先に記載されていない（請求項１～２０００を探した）"}));
}

}  // namespace
