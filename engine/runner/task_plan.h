#pragma once
// What the start button does for the selected task: the runs it makes, each
// with its log heading, the runner's task code and the colour flag it sets.
// The window and the command-line runner share it.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace engine {

class Host;
class TaskRunner;

struct PlannedRun {
    QString heading;                 // written with ShowLog mode 2 before the run
    short code = 0;                  // the task code given to RunTask
    std::optional<bool> colourFlag;  // set before the run when given
};

// The runs of task 0..9, in order; empty for any other value.
//   0 "新規段落振り処理" code 0       1 "段落振り処理" code 1
//   2 "原文･タグ削除処理" code 2, colour flag cleared
//   3 task 1, then task 2 (two complete runs)
//   4 "色分け処理" code 2, colour flag set
//   5 "HTML化処理" code 5
//   6 "出願前チェック処理" code 6     7 "番号振り直し処理" code 7
//   8 "翻訳チェック処理" code 8       9 "手続補正書作成処理" code 9
std::vector<PlannedRun> PlanTask(int task);

// The start button: for each planned run, writes its heading, sets the colour
// flag, disables the command buttons, runs it and enables them again. A task
// outside 0..9 gets the message "no task". Nothing happens while a run is in
// progress (a click on Start that arrives during a pause). Returns true when
// every run completed.
bool RunStartButton(TaskRunner& runner, Host& host, int task,
                    const std::function<void(bool)>& setButtonEnable = {});

}  // namespace engine
