// Formal items the filing software warns about.

#include "engine/check/check_formalities.h"
#include "support/check_cases.h"

namespace {

using engine::check::CheckFormalities;

const QStringList kDescription = {"【書類名】明細書", "【発明の名称】文書検査装置", "【技術分野】", "【０００１】", "　本文。",
                                  "【先行技術文献】", "【特許文献】", "【０００２】", "　【特許文献１】特開２０２０－１号公報",
                                  "【発明の概要】", "【図面の簡単な説明】", "【０００３】", "　【図１】構成図である。"};
const QStringList kClaims = {"【書類名】特許請求の範囲", "【請求項１】", "　装置。"};

QStringList Abstract(const QString& text, const QString& choice = "【選択図】図１") {
    QStringList lines{"【書類名】要約書", "【要約】", "【課題】" + text, "【解決手段】装置を提供する。"};
    if (!choice.isEmpty()) lines << choice;
    return lines;
}

TEST(CheckFormalities, WhatTheFilingSoftwareWarnsAbout) {
    testsupport::RunCases(CheckFormalities, {
        {"in form", kDescription + kClaims + Abstract("誤りを検出する。"), {}},
        {"no figure chosen", kDescription + Abstract("誤りを検出する。", "【選択図】なし"), {}},
        {"abstract over 400 characters", kDescription + Abstract(QString(400, u'字')),
         {"様式|【図１】|要約が400字を超えている（408字）"}},
        {"no 選択図", kDescription + Abstract("誤りを検出する。", ""), {"様式|【図１】|要約書に【選択図】がない"}},
        {"a figure that does not exist", kDescription + Abstract("誤りを検出する。", "【選択図】図２"),
         {"様式|【図１】|【選択図】の図２がない"}},
        {"prior art without a document", QStringList{"【書類名】明細書", "【発明の名称】装置", "【先行技術文献】", "【特許文献】",
                                                     "【発明の概要】"},
         {"様式|冒頭|【先行技術文献】に【特許文献ｎ】も【非特許文献ｎ】もない"}},
        {"paragraph number in the claims", kClaims + QStringList{"【０００４】", "　方法。"},
         {"様式|【０００４】|特許請求の範囲に段落番号がある"}},
        {"half-width title", QStringList{"【書類名】明細書", "【発明の名称】", "ABC検査装置 (改良)"},
         {"様式|冒頭|発明の名称に半角文字（ABC ()）"}},
        {"empty title", QStringList{"【書類名】明細書", "【発明の名称】", "【技術分野】"}, {"様式|冒頭|発明の名称が空である"}},
    });
}

}  // namespace
