// Support: the claims' terms against the description without its claims.

#include "engine/check/check_support.h"
#include "support/check_cases.h"

namespace {

using engine::check::CheckSupport;

// A description long enough to be compared with, naming 処理容器, 載置台 and ヒータ.
QStringList WithDescription(const QStringList& claims) {
    QStringList lines{"【書類名】明細書", "【発明の名称】基板処理装置", "【０００１】",
                      "　本実施形態の基板処理装置１は、処理容器１０と、処理容器１０の内部に配置された載置台１１と、"
                      "載置台１１を加熱するヒータ１３とを備える。ＣＰＵを備える制御部３０は、ヒータ１３を制御する。"};
    for (int i = 0; i < 3; ++i) lines << "　処理容器１０の内部は減圧され、載置台１１の上で基板が処理される。";
    return lines + testsupport::Claims(claims);
}

TEST(CheckSupport, ClaimTermsInTheDescription) {
    testsupport::RunCases(CheckSupport, {
        {"every term described", WithDescription({"処理容器と、前記処理容器内の載置台と、ヒータとを備える基板処理装置。",
                                                  "前記制御部は、CPUを有する、請求項１に記載の基板処理装置。"}), {}},
        {"general words are not looked for", WithDescription({"処理容器を備える装置であって、前記処理容器を減圧する手段と工程と部とを有するもの。"}), {}},
        {"a term found nowhere else", WithDescription({"処理容器と、冷却ジャケットとを備える基板処理装置。"}),
         {"サポート|【請求項１】|請求項の「冷却ジャケット」が明細書にない"}},
        {"reported once", WithDescription({"冷却ジャケットを備える基板処理装置。", "前記冷却ジャケットは、請求項１に記載の基板処理装置。"}),
         {"サポート|【請求項１】|請求項の「冷却ジャケット」が明細書にない"}},
        {"claims on their own", testsupport::Claims({"冷却ジャケットを備える基板処理装置。"}), {}},
    });
}

}  // namespace
