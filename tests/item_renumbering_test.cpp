// Task code 7 on built documents, grouped by family: the items renumbered in
// the order they stand, every citation following, and what is left alone.

#include "engine/runner/task_runner.h"
#include "engine/text_helpers.h"
#include "support/task_test_util.h"

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

using testsupport::para;
using testsupport::paraXml;
using testsupport::paras;
using testsupport::run;

namespace {

class ItemRenumberingTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    testsupport::RecordingHost host;
    engine::TaskRunner runner{host};

    QString path() const { return dir.filePath(QStringLiteral("spec.docx")); }
    QString log() const { return host.log; }

    // Writes the body, runs task code 7 and returns the result's paragraphs.
    QStringList run7(const QString& bodyXml, const QStringList& families = {}) {
        testsupport::writeDocx(path(), bodyXml);
        host.filePathText = path();
        if (!families.isEmpty()) host.options.itemFamilies = families;
        runner.RunTask(7);
        EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed) << host.messageTexts().join('\n').toStdString();
        return testsupport::storyParagraphs(path());
    }
};

struct Case {
    const char* name;
    QStringList before;
    QStringList after;
    QStringList logged;  // fragments the log must hold
};

TEST_F(ItemRenumberingTest, ClaimsInsertedDeletedAndMoved) {
    const std::vector<Case> cases = {
        {"inserted claim, range that becomes a list",
         {"【請求項１】装置。", "【請求項２】請求項１に記載の装置。", "【請求項５】請求項２に記載の装置。",
          "【請求項３】請求項１又は２に記載の装置。", "【請求項４】請求項１～３のいずれか一項に記載の装置。"},
         {"【請求項１】装置。", "【請求項２】請求項１に記載の装置。", "【請求項３】請求項２に記載の装置。",
          "【請求項４】請求項１又は２に記載の装置。", "【請求項５】請求項１、２又は４のいずれか一項に記載の装置。"},
         {"請求項：５→３、３→４、４→５（引用 1 箇所を変更）",
          "【請求項４】の「請求項１～３」：番号が連続しなくなるため「請求項１、２又は４」と書き換えます"}},
        {"deleted claim, ordinal range, half-width, citation of the deleted claim",
         {"【請求項１】装置。", "【請求項２】請求項1に記載の装置。", "【請求項４】請求項2又は請求項３に記載の装置。",
          "【請求項５】請求項第１項乃至第４項のいずれかに記載の装置。"},
         {"【請求項１】装置。", "【請求項２】請求項1に記載の装置。", "【請求項３】請求項2又は請求項３に記載の装置。",
          "【請求項４】請求項第１項乃至第３項のいずれかに記載の装置。"},
         {"請求項：４→３、５→４（引用 1 箇所を変更）", "「請求項2又は請求項３」：【請求項３】がないため変更しません"}},
        {"moved claims swap their citations, kanji numerals",
         {"【請求項１】装置。", "【請求項３】請求項一に記載の装置。", "【請求項２】請求項三に記載の装置。",
          "【請求項４】請求項二又は三に記載の装置。"},
         {"【請求項１】装置。", "【請求項２】請求項一に記載の装置。", "【請求項３】請求項二に記載の装置。",
          "【請求項４】請求項三又は二に記載の装置。"},
         {"請求項：３→２、２→３（引用 2 箇所を変更）"}},
        {"a number two claims share is not a citation the task can follow",
         {"【請求項１】装置。", "【請求項２】請求項１に記載の装置。", "【請求項２】請求項１に記載の装置。",
          "【請求項３】請求項２に記載の装置。"},
         {"【請求項１】装置。", "【請求項２】請求項１に記載の装置。", "【請求項３】請求項１に記載の装置。",
          "【請求項４】請求項２に記載の装置。"},
         {"請求項：２→３、３→４", "「請求項２」：【請求項２】が複数あるため変更しません"}},
        {"a broken range written by its runs, a long run staying a range",
         {"【請求項１】装置。", "【請求項７】装置。", "【請求項２】装置。", "【請求項３】装置。", "【請求項４】装置。",
          "【請求項５】装置。", "【請求項６】装置。", "【請求項８】請求項１～５のいずれか一項に記載の装置。"},
         {"【請求項１】装置。", "【請求項２】装置。", "【請求項３】装置。", "【請求項４】装置。", "【請求項５】装置。",
          "【請求項６】装置。", "【請求項７】装置。", "【請求項８】請求項１又は３～６のいずれか一項に記載の装置。"},
         {"「請求項１～５」：番号が連続しなくなるため「請求項１又は３～６」と書き換えます"}},
        {"a number too long to read is left alone",
         {"【請求項１】装置。", "【請求項３】請求項１２３４５６７８９０１２３４５６７８９０に記載の装置。"},
         {"【請求項１】装置。", "【請求項２】請求項１２３４５６７８９０１２３４５６７８９０に記載の装置。"},
         {"番号が読み取れないため変更しません"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.clear();
        EXPECT_EQ(run7(paras(c.before)), c.after);
        for (const QString& fragment : c.logged) EXPECT_TRUE(log().contains(fragment)) << log().toStdString();
    }
}

TEST_F(ItemRenumberingTest, NumbersSplitAcrossRunsKeepTheirRunsAndBookmarks) {
    const QString body =
        paraXml(run("【請求項") + run("２", "<w:b/>") + run("】装置。")) +
        paraXml(run("【請求項３】請求項") + "<w:bookmarkStart w:id=\"7\" w:name=\"cited\"/>" + run("２", "<w:i/>") +
                "<w:bookmarkEnd w:id=\"7\"/>" + run("に記載の装置。")) +
        paraXml(run("【請求項") + run("1", "<w:b/>") + run("0", "<w:u w:val=\"single\"/>") + run("】請求項３に記載の装置。"));
    EXPECT_EQ(run7(body), QStringList({"【請求項１】装置。", "【請求項２】請求項１に記載の装置。",
                                       "【請求項3】請求項２に記載の装置。"}));
    const QString xml = QString::fromUtf8(testsupport::readZipEntry(path(), "word/document.xml"));
    for (const char* kept : {"<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">１</w:t>",
                             "w:name=\"cited\"/><w:r><w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">１</w:t></w:r><w:bookmarkEnd",
                             "<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">3</w:t>"})
        EXPECT_TRUE(xml.contains(QString::fromUtf8(kept))) << kept << "\n" << xml.toStdString();
}

TEST_F(ItemRenumberingTest, FiguresUnderTwoDocumentSectionsWithLettersAndRanges) {
    const QStringList before = {
        "【書類名】明細書", "【図面の簡単な説明】", "【０００１】", "【図１】全体図である。", "【図３】部分図である。",
        "【図４】断面図である。", "【発明を実施するための形態】", "図３（ａ）及び図３（ｂ）に示す部分は図４、３つの部材の一部である。",
        "図１乃至４を参照する。図２は削除した。特許文献１の図３とは異なる。", "【書類名】特許請求の範囲", "【請求項１】図３に示す装置。",
        "【書類名】図面", "【図１】", "【図３】", "【図４】"};
    QStringList after = before;
    after.replace(4, "【図２】部分図である。");
    after.replace(5, "【図３】断面図である。");
    after.replace(7, "図２（ａ）及び図２（ｂ）に示す部分は図３、３つの部材の一部である。");  // ３つ counts
    after.replace(8, "図１乃至３を参照する。図２は削除した。特許文献１の図３とは異なる。");  // another document's
    after.replace(10, "【請求項１】図２に示す装置。");
    after.replace(13, "【図２】");
    after.replace(14, "【図３】");
    EXPECT_EQ(run7(paras(before)), after);
    EXPECT_TRUE(log().contains("図：３→２、４→３（引用 4 箇所を変更）")) << log().toStdString();
    EXPECT_TRUE(log().contains("「図２」：【図２】がないため変更しません")) << log().toStdString();
}

TEST_F(ItemRenumberingTest, FigureInsertedBreaksARange) {
    const QStringList before = {"【図面の簡単な説明】", "【図１】正面図。", "【図４】追加図。", "【図２】側面図。",
                                "【図３】背面図。", "【発明を実施するための形態】", "図１～図３に示すように。"};
    const QStringList result = run7(paras(before));
    EXPECT_EQ(result.mid(1, 4), QStringList({"【図１】正面図。", "【図２】追加図。", "【図３】側面図。", "【図４】背面図。"}));
    EXPECT_EQ(result.last(), "図１、図３及び図４に示すように。");
}

// A figure range that is a choice stays one when it is written out.
TEST_F(ItemRenumberingTest, BrokenFigureRangeOfAChoiceIsJoinedWithOr) {
    const QStringList before = {"【図面の簡単な説明】", "【図１】正面図。", "【図２】側面図。", "【図４】追加図。", "【図３】背面図。",
                                "【発明を実施するための形態】", "図２～図３のいずれかに示すように。", "図２～図３に示すように。"};
    const QStringList result = run7(paras(before));
    EXPECT_EQ(result.mid(6), QStringList({"図２又は図４のいずれかに示すように。", "図２及び図４に示すように。"}));
}

// 【請求項２】 with its number in a bold run of its own becomes 【請求項１２】
// with both digits bold, not a plain １ in the run before.
TEST_F(ItemRenumberingTest, AGrownNumberKeepsTheRunOfItsFirstDigit) {
    QString body = paraXml(run("【請求項１】装置。"));
    for (int n = 3; n <= 12; ++n)
        body += paraXml(run("【請求項") + run(engine::ToFullWidthDigits(QString::number(n)), "<w:b/>") + run("】装置。"));
    body += paraXml(run("【請求項") + run("２", "<w:b/>") + run("】請求項") + run("２", "<w:i/>") + run("に記載の装置。"));
    const QStringList result = run7(body);
    EXPECT_EQ(result.last(), "【請求項１２】請求項１２に記載の装置。");
    const QString xml = QString::fromUtf8(testsupport::readZipEntry(path(), "word/document.xml"));
    for (const char* kept : {"<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">１２</w:t>",
                             "<w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">１２</w:t>",
                             "<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">１１</w:t>"})
        EXPECT_TRUE(xml.contains(QString::fromUtf8(kept))) << kept << "\n" << xml.toStdString();
}

TEST_F(ItemRenumberingTest, TablesFormulasAndEquations) {
    const QStringList before = {"【表２】", "【表１】", "表１及び表２を参照。代表１は表ではない。", "【化３】", "化３で表される。酸化３ではない。",
                                "【数２】", "数２及び式（２）による。式（５）と係数２と数１０個はそのまま。"};
    const QStringList after = {"【表１】", "【表２】", "表２及び表１を参照。代表１は表ではない。", "【化１】", "化１で表される。酸化３ではない。",
                               "【数１】", "数１及び式（１）による。式（５）と係数２と数１０個はそのまま。"};
    EXPECT_EQ(run7(paras(before)), after);
}

TEST_F(ItemRenumberingTest, OnlyTheChosenFamilies) {
    const QStringList before = {"【請求項２】図２に示す装置。", "【図２】"};
    EXPECT_EQ(run7(paras(before), {"図"}), QStringList({"【請求項２】図１に示す装置。", "【図１】"}));
}

TEST_F(ItemRenumberingTest, NothingToRenumberIsNotSaved) {
    const QStringList lines = {"【請求項１】装置。", "【請求項２】請求項１に記載の装置。", "【図面の簡単な説明】",
                               "【図１】全体図。", "図１に示す。"};
    testsupport::writeDocx(path(), paras(lines));
    const QByteArray original = testsupport::fileBytes(path());
    EXPECT_EQ(run7(paras(lines)), lines);
    EXPECT_EQ(testsupport::fileBytes(path()), original);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList{"spec.docx"});
    EXPECT_TRUE(log().contains("請求項：番号の変更なし")) << log().toStdString();
    EXPECT_TRUE(log().contains(" .. 変更なし：")) << log().toStdString();
}

}  // namespace

// The sample through kalvendo-cli: --items chooses the families, the log is the README's.
TEST_F(ItemRenumberingTest, SampleFromTheCommandLineWithChosenFamilies) {
    const QString copy = path();
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVENDO_SOURCE_DIR "/samples/renumber-me.docx"), copy));
    EXPECT_EQ(testsupport::cli({"--task", "7", "--items", "figures,数", copy}).exitCode, 0);
    const testsupport::CliResult r = testsupport::cli({"--task", "7", "--items", "請求項", copy});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(1, 2),
              QStringList({" .. 請求項：５→３、３→４、４→５（引用 2 箇所を変更）",
                           " .. 請求項：【請求項４】の「請求項１～３」：番号が連続しなくなるため「請求項１、２又は４」と書き換えます"}));
    EXPECT_TRUE(lines[3].startsWith(" .. 保存成功：" + copy)) << lines[3].toStdString();
    EXPECT_TRUE(testsupport::storyParagraphs(copy).contains("【図３】"));
    EXPECT_EQ(testsupport::cli({"--task", "7", "--items", "請求項,pictures", copy}).exitCode, 2);
}
