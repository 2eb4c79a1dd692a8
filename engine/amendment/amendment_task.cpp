// Task code 9: the written amendment made from the earlier and the amended
// version. Neither document is changed and no backup is made.

#include "engine/runner/task_runner.h"

namespace engine {

void TaskRunner::RunAmendment() {
    throw word::Error(QStringLiteral("手続補正書の作成はまだ実行できません。"));
}

}  // namespace engine
