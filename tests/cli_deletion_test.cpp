// kalvendo-cli with the deletion task, both tasks and colour-coding: the
// options reach the task, the reports are listed instead of opened.

#include "support/tagged_docs.h"
#include "support/task_test_util.h"

#include <QProcess>

namespace {

using testsupport::cli;
using Result = testsupport::CliResult;

const QStringList kDoc = {"--/H", "本発明は装置に関する。", "The invention relates to a device.", "--/M",
                          "装置はCPUを備える。", "The device includes a CPU.", "--/Z", ""};

}  // namespace

class CliDeletion : public testsupport::TaggedDocTest {};

TEST_F(CliDeletion, Task2WithDirectionAndBlanksListsTheReports) {
    writeDoc(kDoc);
    const Result r = cli({"--task", "2", "--direction", "je", "--blanks", "2", docPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(resultParagraphs(), QStringList({"The invention relates to a device.  The device includes a CPU.", ""}));
    // "CPU" makes a fifth of the second line half-width: the warning and both reports.
    EXPECT_TRUE(r.err.contains(QStringLiteral("半角文字が５％以上含まれている文があります")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("report: ") + findingJePath())) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("report: ") + deletedTextPath()));
    EXPECT_TRUE(QFile::exists(halfWidthPath()));
}

TEST_F(CliDeletion, Task4ColoursWithTheGivenColoursAndFonts) {
    writeDoc(kDoc);
    const Result r = cli({"--task", "4", "--source-colour", "FF", "--translation-colour", "FF0000", "--fonts",
                          "ＭＳ 明朝,Times New Roman", docPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(resultParagraphs(), kDoc);
    auto doc = openResult();
    EXPECT_EQ(paragraphColour(*doc, 2), 0x0000FF);
    EXPECT_EQ(paragraphColour(*doc, 3), 0xFF0000);
    EXPECT_EQ(doc->Content().Font().NameAscii(), QStringLiteral("Times New Roman"));
    EXPECT_FALSE(r.out.contains(QStringLiteral("report:")));
}

TEST_F(CliDeletion, Task3RunsBothAndBadColourIsAUsageError) {
    writeDoc({"--/H", "【０００７】Source.", "【０００７】訳文。", "--/Z", ""});
    EXPECT_EQ(cli({"--task", "3", docPath}).exitCode, 0);
    EXPECT_EQ(resultParagraphs(), QStringList({"【０００２】訳文。", ""}));
    EXPECT_EQ(backups().size(), 2);
    const Result bad = cli({"--task", "2", "--translation-colour", "12G", docPath});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(backups().size(), 2);
}
