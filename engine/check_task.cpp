// Task code 6: the check before filing. Read-only: the document is never saved.

#include "engine/task_runner.h"

namespace engine {

void TaskRunner::RunCheckTask() {
    throw word::Error(QStringLiteral("出願前チェックはまだ実行できません。"));
}

}  // namespace engine
