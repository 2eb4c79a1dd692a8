#include "engine/runner/task_plan.h"

#include "engine/runner/host.h"
#include "engine/runner/task_runner.h"

namespace engine {

std::vector<PlannedRun> PlanTask(int task) {
    const PlannedRun numberNew{QStringLiteral("新規段落振り処理"), 0, std::nullopt};
    const PlannedRun renumber{QStringLiteral("段落振り処理"), 1, std::nullopt};
    // The heading's middle dot is the half-width one (U+FF65).
    const PlannedRun remove{QStringLiteral("原文･タグ削除処理"), 2, false};
    const PlannedRun colour{QStringLiteral("色分け処理"), 2, true};
    const PlannedRun html{QStringLiteral("HTML化処理"), 5, std::nullopt};
    const PlannedRun check{QStringLiteral("出願前チェック処理"), 6, std::nullopt};
    const PlannedRun items{QStringLiteral("番号振り直し処理"), 7, std::nullopt};
    const PlannedRun translation{QStringLiteral("翻訳チェック処理"), 8, std::nullopt};
    const PlannedRun amendment{QStringLiteral("手続補正書作成処理"), 9, std::nullopt};
    switch (task) {
    case 0: return {numberNew};
    case 1: return {renumber};
    case 2: return {remove};
    case 3: return {renumber, remove};
    case 4: return {colour};
    case 5: return {html};
    case 6: return {check};
    case 7: return {items};
    case 8: return {translation};
    case 9: return {amendment};
    default: return {};
    }
}

bool RunStartButton(TaskRunner& runner, Host& host, int task,
                    const std::function<void(bool)>& setButtonEnable) {
    if (runner.IsRunning()) return false;
    const std::vector<PlannedRun> plan = PlanTask(task);
    if (plan.empty()) {
        host.MessageBox(QStringLiteral("no task"));
        return false;
    }
    bool allCompleted = true;
    for (const PlannedRun& run : plan) {
        if (run.colourFlag) runner.SetColourFlag(*run.colourFlag);
        host.ShowLog(2, run.heading);
        if (setButtonEnable) setButtonEnable(false);
        runner.RunTask(run.code);
        if (setButtonEnable) setButtonEnable(true);
        if (runner.LastOutcome() != RunOutcome::Completed) allCompleted = false;
        // A stopped run also stops the runs planned after it.
        if (runner.LastOutcome() == RunOutcome::Stopped) break;
    }
    return allCompleted;
}

}  // namespace engine
