// Task codes 0 and 1 end to end on documents built here: the passes, the
// numbering, the status texts and progress values the window shows.

#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"
#include "support/task_test_util.h"
#include "word/backup.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

using testsupport::RecordingHost;

namespace {

class NumberingTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingHost host;
    engine::TaskRunner runner{host};

    QString path(const QString& name = QStringLiteral("spec.docx")) const { return dir.filePath(name); }

    // Writes the lines as paragraphs, runs the task code and returns the
    // paragraphs of the result.
    QStringList run(short code, const QStringList& lines) {
        testsupport::writeDocx(path(), testsupport::paras(lines));
        host.filePathText = path();
        runner.RunTask(code);
        EXPECT_EQ(runner.LastOutcome(), engine::RunOutcome::Completed) << host.messageTexts().join('\n').toStdString();
        return testsupport::storyParagraphs(path());
    }
};

TEST_F(NumberingTest, WorkedExampleOfNewNumbering) {
    const QStringList result = run(0, {"【技術分野】", "　本発明は、文書の段落に番号を付す方法に関する。",
                                       "【背景技術】", "　従来、番号は手で付されていた。", "　そのため誤りが多かった。"});
    EXPECT_EQ(result, QStringList({"【技術分野】", "　【０００１】", "　本発明は、文書の段落に番号を付す方法に関する。",
                                   "【背景技術】", "　【０００２】", "　従来、番号は手で付されていた。", "　【０００３】",
                                   "　そのため誤りが多かった。"}));
    EXPECT_TRUE(QFile::exists(dir.filePath("spec-bak1.docx")));
}

TEST_F(NumberingTest, NewNumberingNormalisesExistingNumbersAndMergesDuplicates) {
    // A heading pass (and a sentence end) inserts a placeholder in front of the
    // paragraph's own number; once zeroed the two are merged into one. Trailing
    // blanks after 】 and 。 go; items such as 【図１】 and half-width numbers
    // stay, though a sentence end before them gets a number. A five-digit
    // number is a number like any other.
    const QStringList result = run(0, {"【技術分野】", "　【０００７】", "　本発明は装置に関する。 ",
                                       "　【００１２】", "　第二の段落である。　", "【図１】 ",
                                       "　【0001】半角の番号。", "　【１２３４５】五桁の番号。",
                                       "【実施例】", "実施例は字下げされていない。"});
    EXPECT_EQ(result, QStringList({"【技術分野】", "　【０００１】", "　本発明は装置に関する。", "　【０００２】",
                                   "　第二の段落である。", "【図１】", "　【0001】半角の番号。",
                                   "　【０００３】五桁の番号。", "【実施例】", "実施例は字下げされていない。"}));
}

TEST_F(NumberingTest, FiveConsecutivePlaceholderParagraphsBecomeTwo) {
    const QStringList result = run(0, {"前文", "　【００００】", "　【００００】", "　【００００】", "　【００００】",
                                       "　【００００】", "　本文。"});
    EXPECT_EQ(result, QStringList({"前文", "　【０００１】", "　【０００２】", "　本文。"}));
}

TEST_F(NumberingTest, BracketedDigitPairsOfEqualWidthBecomeOneNumber) {
    const QStringList result = run(1, {"[0012]", "[0012]", "　第一段落。", "[3]", "[3]", "　第二段落。",
                                       "[1234567]", "[1234567]", "[1]", "[12]", "　幅の違う対。"});
    EXPECT_EQ(result, QStringList({"【０００１】", "　第一段落。", "【０００２】", "　第二段落。", "【０００３】",
                                   "[1]", "[12]", "　幅の違う対。"}));
}

TEST_F(NumberingTest, RenumberingClosesGapsInDocumentOrder) {
    EXPECT_EQ(run(1, {"【０００１】", "　一。", "【０００３】", "　二。", "【０００４】", "　三。"}),
              QStringList({"【０００１】", "　一。", "【０００２】", "　二。", "【０００３】", "　三。"}));
}

TEST_F(NumberingTest, RenumberingShortAndNonZeroShortNumbers) {
    // 【００】 is a short placeholder; 【１２】 is zeroed to 【００】 only after the
    // short-placeholder passes ran, so it stays unnumbered.
    EXPECT_EQ(run(1, {"【００】", "　一。", "【１２】", "　二。", "【０】", "　三。"}),
              QStringList({"【０００１】", "　一。", "【００】", "　二。", "【０００２】", "　三。"}));
}

TEST_F(NumberingTest, NumberSplitOverRunsIsRenumbered) {
    const QString body = testsupport::paraRuns({"【", "０００５", "】"}) + testsupport::para("　本文。") +
                         testsupport::paraRuns({"【０", "００９】"}) + testsupport::para("　次文。");
    testsupport::writeDocx(path(), body);
    host.filePathText = path();
    runner.RunTask(1);
    EXPECT_EQ(testsupport::storyParagraphs(path()),
              QStringList({"【０００１】", "　本文。", "【０００２】", "　次文。"}));
    // The bold runs of the original keep their formatting.
    EXPECT_TRUE(testsupport::readZipEntry(path(), "word/document.xml").contains("<w:b/>"));
}

TEST_F(NumberingTest, NothingToDoWritesNothing) {
    const QStringList lines = {"普通の文書", "番号も見出しもない", "ABC [12] 【図１】"};
    testsupport::writeDocx(path(), testsupport::paras(lines));
    const QByteArray before = testsupport::fileBytes(path());
    const QDateTime stamp = QFileInfo(path()).lastModified();
    for (short code : {0, 1}) {
        host.clear();
        host.filePathText = path();
        runner.RunTask(code);
        EXPECT_FALSE(runner.Changed());
        EXPECT_EQ(host.log, " .. Word 初期処理成功 .. 変更なし：" + path() + "\r\n .. 処理完了-ユーザ操作待ち");
        EXPECT_EQ(host.statuses.last(), "段落振り完了");
    }
    EXPECT_EQ(testsupport::fileBytes(path()), before);
    EXPECT_EQ(QFileInfo(path()).lastModified(), stamp);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"spec.docx"}));
}

// Passes that found something but gave back the document as it was (the
// numbers taken out and written again in the same order; task 3 once its
// deletion has coloured the text) save nothing and make no backup.
TEST_F(NumberingTest, AResultEqualToTheInputIsNotSaved) {
    testsupport::writeDocx(path(), testsupport::paras({"【書類名】明細書", "【０００１】", "本文。", "【０００２】", "続き。"}));
    host.filePathText = path();
    ASSERT_TRUE(engine::RunStartButton(runner, host, 3));  // the first run colours the text: one save
    const QByteArray before = testsupport::fileBytes(path());
    const QStringList entries = testsupport::folderEntries(dir.path());
    for (int task : {1, 3}) {
        SCOPED_TRACE(task);
        host.clear();
        host.filePathText = path();
        EXPECT_TRUE(engine::RunStartButton(runner, host, task)) << host.messageTexts().join('\n').toStdString();
        EXPECT_TRUE(host.log.contains(" .. 変更なし：" + path())) << host.log.toStdString();
        EXPECT_FALSE(host.log.contains("保存成功")) << host.log.toStdString();
    }
    EXPECT_TRUE(runner.Changed());  // the passes did find something
    EXPECT_EQ(testsupport::fileBytes(path()), before);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), entries);
}

TEST_F(NumberingTest, RenumberingStatusTextsAndProgressInOrder) {
    run(1, {"【０００２】", "　一。", "【０００２】", "　二。", "【００２２】", "　三。"});
    EXPECT_EQ(host.statuses,
              QStringList({"段落振り１", "段落振り２", "段落振り３", "段落振り４", "段落振り５", "段落振り６",
                           "段落振り７", "段落振り直し： 1", "段落振り直し： 2", "段落振り直し： 3",
                           "段落振り：保存処理", "保存処理中", "処理完了-ユーザ操作待ち", "段落振り完了"}));
    EXPECT_EQ(host.progressValues, std::vector<double>({20, 25, 30, 35, 36, 37, 38, 39, 40, 40, 100}));
    // Window events run once, right after the first status text, and once while saving.
    const int first = host.events.indexOf("status:段落振り１");
    ASSERT_GE(first, 0);
    EXPECT_EQ(host.events[first + 1], "events");
    EXPECT_EQ(host.doEventsCalls, 2);
}

TEST_F(NumberingTest, NewNumberingStatusTextsAndProgressInOrder) {
    run(0, {"【技術分野】", "　本発明は装置に関する。"});
    EXPECT_EQ(host.statuses,
              QStringList({"新規段落振り１", "段落振り３", "段落振り４", "段落振り５", "段落振り６",
                           "段落振り直し： 1", "段落振り：保存処理", "保存処理中", "処理完了-ユーザ操作待ち",
                           "段落振り完了"}));
    EXPECT_EQ(host.progressValues, std::vector<double>({20, 25, 30, 31, 32, 33, 34, 40, 100}));
}

TEST_F(NumberingTest, RenumberingProgressEveryFifthNumber) {
    QStringList lines;
    for (int i = 0; i < 45; ++i) lines << "【００００】" << "　段落。";
    run(1, lines);
    // n = 1, 6, …, 41: 40 + (n / 20) % 40.
    const std::vector<double> expected = {20, 25, 30, 35, 36, 37, 38, 39, 40, 40, 40, 40, 40, 41, 41, 41, 41, 42, 100};
    EXPECT_EQ(host.progressValues, expected);
    EXPECT_EQ(host.progressRefreshes, 9);
    EXPECT_TRUE(host.statuses.contains("段落振り直し： 45"));
}

TEST_F(NumberingTest, TenThousandAndMoreNumbersGetAllTheirDigits) {
    // Numbered placeholders become 【１００００】 and on; renumbering then reads
    // five-digit numbers as numbers: a gap after 【９９９９】 and a number moved
    // out of order are closed, and the other numbers stay as they are.
    const int count = 10003;
    QStringList lines;
    for (int i = 0; i < count; ++i) lines << "【００００】";
    const QStringList numbered = run(0, lines);
    ASSERT_EQ(numbered.size(), count);
    EXPECT_EQ(numbered[0], "【０００１】");
    EXPECT_EQ(numbered[9998], "【９９９９】");
    EXPECT_EQ(numbered[9999], "【１００００】");

    QStringList edited = numbered;
    edited[9999] = "【１２３４５】";
    edited[10001] = "【９９９９９９】";
    edited.insert(10002, "【１１１１１１１】");
    const QStringList result = run(1, edited);
    ASSERT_EQ(result.size(), count + 1);
    EXPECT_EQ(result[0], "【０００１】");
    EXPECT_EQ(result[9998], "【９９９９】");
    EXPECT_EQ(result[9999], "【１００００】");
    EXPECT_EQ(result[10001], "【１０００２】");
    EXPECT_EQ(result[10002], "【１０００３】");
    EXPECT_EQ(result[10003], "【１０００４】");
}

TEST_F(NumberingTest, StartButtonWritesTheWindowsLog) {
    testsupport::writeDocx(path(), testsupport::paras({"【０００２】", "　一。"}));
    host.log = RecordingHost::WindowInitialLog();
    host.filePathText = path();
    EXPECT_TRUE(engine::RunStartButton(runner, host, 1));
    const QStringList lines = host.logLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "処理するWordファイルは事前に保存し閉じておいてください。処理中Wordは非表示となります。");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "段落振り処理 .. Word 初期処理成功 .. 保存成功：" + path() + " " +
                            word::backup::SizeText(QFileInfo(path()).size()) + "kB");
    EXPECT_TRUE(lines[3].contains(path() + "  "));  // a blank, then the sign blank of the size
    EXPECT_EQ(lines[4], " .. 処理完了-ユーザ操作待ち");
}

}  // namespace
