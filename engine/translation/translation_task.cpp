// Task code 8: the translation check. Read-only: neither document is saved
// and no backup is made.

#include "engine/runner/task_runner.h"

namespace engine {

void TaskRunner::RunTranslationCheck() {
    throw word::Error(QStringLiteral("翻訳チェックはまだ実行できません。"));
}

}  // namespace engine
