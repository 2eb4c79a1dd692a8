// The runner's common start, its refusals and failure paths, the engine's life
// over a run, and the start button's composition of runs.

#include "engine/runner/task_plan.h"
#include "engine/runner/task_runner.h"
#include "support/task_test_util.h"

#include <gtest/gtest.h>

using engine::RunOutcome;
using testsupport::RecordingHost;

namespace {

const QString kChooseFile = "[参照]ボタンを押して処理するWordファイルを指定してください";
const QString kOpenFailed = "ファイルを開けませんでした。ファイルを指定し直してください。";

class RunnerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingHost host;
    engine::TaskRunner runner{host};

    QString writeSpec(const QStringList& lines = {"【０００５】", "　本文。"}) {
        const QString path = dir.filePath("spec.docx");
        testsupport::writeDocx(path, testsupport::paras(lines));
        return path;
    }
};

TEST_F(RunnerTest, NoFileChosen_MessageAndBrowseOnly) {
    for (const QString& box : {QString(), QString("<処理するDOC(DOCX)ファイルを指定してください　ドラッグ＆ドロップもできます>")}) {
        host.clear();
        host.filePathText = box;
        host.progress = 7;
        runner.RunTask(1);
        EXPECT_EQ(runner.LastOutcome(), RunOutcome::NoFile);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, kChooseFile);
        EXPECT_EQ(host.messages[0].title, "Kalvendo");
        EXPECT_EQ(host.events, QStringList({"message:" + kChooseFile, "browse"}));
        EXPECT_EQ(host.progress, 7);
        EXPECT_EQ(runner.WordApplication(), nullptr);
    }
}

TEST_F(RunnerTest, MissingFile_OpenFailureKeepsTheEngineForTheNextRun) {
    host.filePathText = dir.filePath("missing.docx");
    runner.RunTask(1);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::OpenFailed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].text.startsWith(kOpenFailed)) << host.messages[0].text.toStdString();
    EXPECT_EQ(host.browseCalls, 1);
    EXPECT_EQ(host.progressValues, std::vector<double>({20}));
    EXPECT_EQ(host.log, " .. Word 初期処理成功");
    EXPECT_EQ(host.waitCalls, 2);  // attach, create
    const auto app = runner.WordApplication();
    ASSERT_NE(app, nullptr);
    EXPECT_FALSE(app->HasQuit());

    // The next run finds that instance, treats it as already running, and
    // hands it back visible instead of quitting it.
    host.clear();
    host.filePathText = writeSpec();
    runner.RunTask(1);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Completed);
    EXPECT_TRUE(runner.WordWasRunning());
    EXPECT_EQ(host.waitCalls, 2);  // attach, after hiding
    EXPECT_TRUE(app->Visible());
    EXPECT_FALSE(app->HasQuit());
    EXPECT_EQ(runner.WordApplication(), nullptr);
}

TEST_F(RunnerTest, FreshRun_CreatesHidesAndQuitsTheEngine) {
    host.filePathText = writeSpec();
    std::shared_ptr<word::Application> seen;
    bool hiddenWhileRunning = false;
    host.onWait = [&] {
        if (runner.OpenDocument()) {
            seen = runner.WordApplication();
            hiddenWhileRunning = !seen->Visible();
        }
    };
    runner.RunTask(1);
    ASSERT_NE(seen, nullptr);
    EXPECT_TRUE(hiddenWhileRunning);
    EXPECT_FALSE(runner.WordWasRunning());
    EXPECT_TRUE(seen->HasQuit());
    EXPECT_EQ(host.waitCalls, 3);  // attach, create, after hiding
    EXPECT_EQ(runner.DocumentPath(), host.filePathText);
    EXPECT_EQ(host.progressValues.front(), 20);
    EXPECT_EQ(host.progressValues[1], 25);
    EXPECT_EQ(host.progressValues.back(), 100);
}

TEST_F(RunnerTest, SecondStartDuringARunIsRefused) {
    host.filePathText = writeSpec();
    int nestedCalls = 0;
    host.onWait = [&] {
        ++nestedCalls;
        EXPECT_TRUE(runner.IsRunning());
        runner.RunTask(1);
        EXPECT_FALSE(engine::RunStartButton(runner, host, 0));
    };
    EXPECT_TRUE(engine::RunStartButton(runner, host, 1));
    EXPECT_EQ(nestedCalls, 3);
    EXPECT_FALSE(runner.IsRunning());
    // One heading, one engine start, one save, one backup.
    EXPECT_EQ(host.log.count("段落振り処理"), 1);
    EXPECT_EQ(host.log.count("新規段落振り処理"), 0);
    EXPECT_EQ(host.log.count(" .. Word 初期処理成功"), 1);
    EXPECT_EQ(host.log.count(" .. 保存成功："), 1);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"spec-bak1.docx", "spec.docx"}));
}

TEST_F(RunnerTest, CodeWithoutStepList_RunEndsCleanlyWithoutWriting) {
    const QString path = writeSpec();
    const QByteArray before = testsupport::fileBytes(path);
    host.filePathText = path;
    runner.RunTask(3);
    EXPECT_EQ(runner.LastOutcome(), RunOutcome::Aborted);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.log.contains(" .. 処理中断："));
    EXPECT_EQ(testsupport::fileBytes(path), before);
    EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"spec.docx"}));
    EXPECT_EQ(runner.OpenDocument(), nullptr);
    EXPECT_EQ(runner.WordApplication(), nullptr);
}

TEST_F(RunnerTest, AStopEndsTheRunWithoutWritingOrAskingAndSkipsThePlannedRunsAfterIt) {
    const struct {
        const char* moment;
        bool inPause;  // else at the first event processing of the task's passes
        int task;
    } cases[] = {{"a pause before the document is opened", true, 1},
                 {"the passes of new numbering", false, 0},
                 {"the first of task 3's two runs", false, 3}};
    for (const auto& c : cases) {
        const QString path = writeSpec({"【技術分野】", "　本発明は試験に関する。"});
        const QByteArray before = testsupport::fileBytes(path);
        host.clear();
        host.filePathText = path;
        runner.ClearStopRequest();
        host.onWait = [&] { if (c.inPause) runner.RequestStop(); };
        host.onDoEvents = [&] { runner.RequestStop(); };
        engine::RunStartButton(runner, host, c.task);
        EXPECT_EQ(runner.LastOutcome(), RunOutcome::Stopped) << c.moment;
        EXPECT_TRUE(host.log.endsWith(" .. 処理中断：中止しました")) << c.moment << host.log.toStdString();
        EXPECT_EQ(host.log.count(" .. 処理中断"), 1) << c.moment;
        EXPECT_TRUE(host.messages.empty()) << c.moment;
        EXPECT_EQ(testsupport::fileBytes(path), before) << c.moment;
        EXPECT_EQ(testsupport::folderEntries(dir.path()), QStringList({"spec.docx"})) << c.moment;
        EXPECT_EQ(runner.OpenDocument(), nullptr) << c.moment;
        EXPECT_EQ(runner.WordApplication(), nullptr) << c.moment;
    }
    host.onWait = nullptr;
    host.onDoEvents = nullptr;
}

TEST(TaskPlan, StartButtonRunsOfEveryTask) {
    auto describe = [](int task) {
        QStringList out;
        for (const engine::PlannedRun& r : engine::PlanTask(task))
            out << QStringLiteral("%1/%2/%3").arg(r.heading).arg(r.code).arg(r.colourFlag ? (*r.colourFlag ? "set" : "clear") : "-");
        return out;
    };
    EXPECT_EQ(describe(0), QStringList({"新規段落振り処理/0/-"}));
    EXPECT_EQ(describe(1), QStringList({"段落振り処理/1/-"}));
    EXPECT_EQ(describe(2), QStringList({"原文･タグ削除処理/2/clear"}));
    EXPECT_EQ(describe(3), QStringList({"段落振り処理/1/-", "原文･タグ削除処理/2/clear"}));
    EXPECT_EQ(describe(4), QStringList({"色分け処理/2/set"}));
    EXPECT_EQ(describe(5), QStringList({"HTML化処理/5/-"}));
    EXPECT_EQ(describe(6), QStringList({"出願前チェック処理/6/-"}));
    EXPECT_EQ(describe(7), QStringList({"番号振り直し処理/7/-"}));
    EXPECT_EQ(describe(8), QStringList({"翻訳チェック処理/8/-"}));
    EXPECT_EQ(describe(9), QStringList({"手続補正書作成処理/9/-"}));
    EXPECT_TRUE(engine::PlanTask(10).empty());
    EXPECT_TRUE(engine::PlanTask(-1).empty());
    // The heading's middle dot is the half-width one.
    EXPECT_TRUE(engine::PlanTask(2)[0].heading.contains(QChar(0xFF65)));
}

TEST(TaskPlan, NoTaskSelected) {
    RecordingHost host;
    engine::TaskRunner runner(host);
    std::vector<bool> buttons;
    EXPECT_FALSE(engine::RunStartButton(runner, host, -1, [&](bool on) { buttons.push_back(on); }));
    EXPECT_EQ(host.messageTexts(), QStringList({"no task"}));
    EXPECT_TRUE(buttons.empty());
    EXPECT_TRUE(host.log.isEmpty());
}

TEST(TaskPlan, ButtonsDisabledAroundEachRunAndColourFlagSet) {
    RecordingHost host;  // empty file box: each run stops at the path check
    engine::TaskRunner runner(host);
    std::vector<bool> buttons;
    runner.SetColourFlag(false);
    engine::RunStartButton(runner, host, 4, [&](bool on) { buttons.push_back(on); });
    EXPECT_TRUE(runner.ColourFlag());
    EXPECT_EQ(buttons, std::vector<bool>({false, true}));
    buttons.clear();
    host.clear();
    engine::RunStartButton(runner, host, 3, [&](bool on) { buttons.push_back(on); });
    EXPECT_FALSE(runner.ColourFlag());
    EXPECT_EQ(buttons, std::vector<bool>({false, true, false, true}));
    EXPECT_EQ(host.log, "\r\n段落振り処理\r\n原文･タグ削除処理");
}

}  // namespace
