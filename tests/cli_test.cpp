// kalvendo-cli as a user runs it: the text, replace passes, tasks, exit codes.

#include "support/task_test_util.h"
#include "word/backup.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

using testsupport::cli;
using Result = testsupport::CliResult;

class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString spec(const QString& name, const QStringList& lines) {
        const QString path = dir.filePath(name);
        testsupport::writeDocx(path, testsupport::paras(lines));
        return path;
    }
};

TEST_F(CliTest, UsageErrors) {
    const QString doc = spec("a.docx", {"x"});
    for (const QStringList& args : {QStringList{}, QStringList{"--task", "9", doc}, QStringList{"--task", "x", doc},
                                    QStringList{"--task", "0"}, QStringList{"--find", "a", "-o", "b.docx", doc},
                                    QStringList{"--find", "a", "--replace", "b", doc},
                                    QStringList{"--find", "a", "--replace", "b", "-o", doc, doc},
                                    QStringList{"--task", "1", "--blanks", "3", doc},
                                    QStringList{"--task", "1", "--fonts", "MS Mincho", doc},
                                    QStringList{"--text", doc, "--task", "1"}, QStringList{"--bogus"}}) {
        const Result r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"a.docx"}));
    EXPECT_TRUE(cli({"--task", "10", doc}).err.contains("処理 10 はありません"));
    EXPECT_TRUE(cli({"--task", "9", doc}).err.contains("--earlier"));
    // The parser's own errors are Japanese too (Qt's translations).
    EXPECT_TRUE(cli({"--bogus"}).err.contains("未知のオプション")) << cli({"--bogus"}).err.toStdString();
    EXPECT_EQ(cli({"--help"}).exitCode, 0);
    EXPECT_EQ(cli({"--version"}).exitCode, 0);
}

TEST_F(CliTest, TextOnePararaphPerLine) {
    const Result r = cli({"--text", spec("a.docx", {"【技術分野】", "", "　本文。"})});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "【技術分野】\n\n　本文。\n");
    EXPECT_EQ(cli({"--text", dir.filePath("missing.docx")}).exitCode, 1);
}

TEST_F(CliTest, PassesInOrderInputNeverWritten) {
    const QString in = spec("in.docx", {"abc abc", "ABC"});
    const QByteArray before = testsupport::fileBytes(in);
    const QString out = dir.filePath("out.docx");
    const Result r = cli({"--find", "abc", "--replace", "x", "--find", "x^013", "--replace", "y", "--colour", "FF",
                          "-o", out, in});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(testsupport::storyParagraphs(out), QStringList({"x yABC"}));
    EXPECT_EQ(testsupport::fileBytes(in), before);
    EXPECT_TRUE(testsupport::readZipEntry(out, "word/document.xml").contains("FF0000"));
}

TEST_F(CliTest, TaskPrintsTheLogAndKeepsABackup) {
    const QString a = spec("a.docx", {"【０００３】", "　本文。"});
    const QString b = spec("b.docx", {"番号なし"});
    const QByteArray before = testsupport::fileBytes(a);
    const Result r = cli({"--task", "1", "--verbose", a, b});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "段落振り処理 .. Word 初期処理成功 .. 保存成功：" + a + " " +
                            word::backup::SizeText(QFileInfo(a).size()) + "kB");
    EXPECT_EQ(lines[1], " .. 処理完了-ユーザ操作待ち");
    EXPECT_EQ(lines[2], "段落振り処理 .. Word 初期処理成功 .. 変更なし：" + b);
    EXPECT_EQ(lines[3], " .. 処理完了-ユーザ操作待ち");
    EXPECT_TRUE(r.err.contains("段落振り直し： 1"));
    EXPECT_EQ(testsupport::storyParagraphs(a), QStringList({"【０００１】", "　本文。"}));
    EXPECT_EQ(testsupport::fileBytes(dir.filePath("a-bak1.docx")), before);
}

TEST_F(CliTest, FailedFileGivesExitOneAndTheOthersAreProcessed) {
    const QString good = spec("good.docx", {"【技術分野】", "　本文。"});
    const Result r = cli({"--task", "0", dir.filePath("missing.docx"), good});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("ファイルを開けませんでした。ファイルを指定し直してください。"));
    EXPECT_EQ(testsupport::storyParagraphs(good), QStringList({"【技術分野】", "　【０００１】", "　本文。"}));
}

TEST_F(CliTest, AFileThatCannotBeOpenedIsNamedOnceWithTheReason) {
    const QString tooLong = dir.filePath(QString(300, u'a') + ".docx");
    const struct {
        QString input;
        const char* reason;
    } cases[] = {{dir.filePath("missing.docx"), "ありません"}, {tooLong, "長すぎます"}};
    for (const auto& c : cases) {
        const Result r = cli({"--find", "a", "--replace", "b", "-o", dir.filePath("out.docx"), c.input});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err.count(c.input), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.reason))) << r.err.toStdString();
    }
    EXPECT_TRUE(testsupport::folderEntries(dir.path()).isEmpty());
}

}  // namespace
