// The translation check as a task: the sample pair and the tagged sample
// through kalvendo-cli, a source that cannot be opened, and the window's way
// (log, closing message, report; neither document written).

#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"
#include "support/task_test_util.h"
#include "word/cp932.h"

#include <gtest/gtest.h>

namespace {

const QString kSampleOutput =
    "対応\t【０００６】\t訳文に【０００６】がない：原文「本発明によれば、基板１０の温度のばら」\n"
    "数値\t[0008]\t訳文にない数値 5 mm、原文にない数値 5 μm：原文「ステージ３０の厚さは５ｍｍである。」訳文「age 30 is 5 μm.」\n"
    "符号\t[0004]\t符号１０の訳語が「board」（符号の説明では「substrate」）：訳文「re of the board 10 sometimes v」\n"
    "請求項\tClaim 3\t請求項3の引用する請求項が違う（原文 1-2、訳文 1）：原文「を１．５倍に変える、請求項１又は２に記載の基板処理装置。」訳文「ording to claim 1, wherein the」\n"
    "図表引用\t[0009]\t訳文にない引用 図2、原文にない引用 図3：原文「図２に示すように、制御部４０は、第１の工」訳文「shown in FIG. 3, the controll」\n"
    "未翻訳\t[0010]\t訳文に日本語が残っている：原文「表１に、測定した温度を示す。」訳文「measured 温度.」\n"
    "用語\tFIG. 2\t「流れ図」の訳が用語集の「flowchart」でない：原文「御部４０の処理を示す流れ図である。」訳文「is a flow diagram sh」\n";

class TranslationTask : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString copy(const QString& name) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QFile::copy(KALVENDO_SOURCE_DIR "/samples/" + name, path));
        return path;
    }
};

// One fault of each kind, the documents untouched, the report beside the translation.
TEST_F(TranslationTask, SamplePairThroughTheCommandLine) {
    const QString ja = copy("translate-me-ja.docx"), en = copy("translate-me-en.docx");
    const QString glossary = copy("translate-glossary.txt");
    const QByteArray jaBefore = testsupport::fileBytes(ja), enBefore = testsupport::fileBytes(en);

    const testsupport::CliResult r = testsupport::cli({"--task", "8", "--source", ja, "--glossary", glossary, en});
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), kSampleOutput.toStdString());

    EXPECT_EQ(testsupport::fileBytes(ja), jaBefore);
    EXPECT_EQ(testsupport::fileBytes(en), enBefore);
    const QString reportName = "翻訳チェック-translate-me-en.docx.txt";
    EXPECT_EQ(testsupport::folderEntries(dir.path()),
              QStringList({"translate-glossary.txt", "translate-me-en.docx", "translate-me-ja.docx", reportName}));
    QStringList report = word::cp932::decode(testsupport::fileBytes(dir.filePath(reportName))).split("\r\n");
    EXPECT_EQ(report.takeLast(), "");
    EXPECT_EQ(report.takeFirst(), "翻訳チェック：" + en);
    EXPECT_EQ(report.takeFirst(), "原文：" + ja);
    EXPECT_EQ(report.takeLast(), "指摘 7 件（対応 1 件、数値 1 件、符号 1 件、請求項 1 件、図表引用 1 件、未翻訳 1 件、用語 1 件）");
    EXPECT_EQ(report, r.out.split(u'\n', Qt::SkipEmptyParts));
    EXPECT_TRUE(r.err.contains("「translate-me-en.docx」に指摘が 7 件あります。"));
}

TEST_F(TranslationTask, TaggedSampleThroughTheCommandLine) {
    const QString tagged = copy("tagged-en-ja.docx");
    const testsupport::CliResult r = testsupport::cli({"--task", "8", "--direction", "ej", tagged});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.contains("翻訳チェック：「tagged-en-ja.docx」に指摘はありません。")) << r.err.toStdString();
}

TEST_F(TranslationTask, SourceThatCannotBeOpened) {
    const QString en = copy("translate-me-en.docx");
    const testsupport::CliResult r = testsupport::cli({"--task", "8", "--source", dir.filePath("missing.docx"), en});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.contains("原文「missing.docx」を開けませんでした。")) << r.err.toStdString();
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"translate-me-en.docx"}));
}

TEST_F(TranslationTask, LogMessageAndReportInTheWindow) {
    const QString ja = dir.filePath("ja.docx"), en = dir.filePath("en.docx");
    testsupport::writeDocx(ja, testsupport::paras({"【０００１】", "長さは２１ｍｍである。"}));
    testsupport::writeDocx(en, testsupport::paras({"[0001]", "The length is 12 mm."}));
    testsupport::RecordingHost host;
    host.filePathText = en;
    host.options.companionPath = ja;
    engine::TaskRunner runner(host);
    EXPECT_TRUE(engine::RunStartButton(runner, host, 8));
    const QString finding = "数値　[0001]　訳文にない数値 21 mm、原文にない数値 12 mm：原文「長さは２１ｍｍである。」訳文「length is 12 mm.」";
    EXPECT_TRUE(host.logLines().contains(" .. " + finding)) << host.logLines().join(u'\n').toStdString();
    EXPECT_EQ(host.messageTexts(), QStringList({"翻訳チェック：「en.docx」に指摘が 1 件あります。\n数値 1 件\n"
                                                "詳しくは「翻訳チェック-en.docx.txt」を見てください。"}));
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"en.docx", "ja.docx", "翻訳チェック-en.docx.txt"}));
}

}  // namespace
