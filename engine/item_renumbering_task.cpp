// Task code 7: renumbering of claims, figures, tables, chemical formulas and
// equations, with their citations.

#include "engine/task_runner.h"

namespace engine {

void TaskRunner::RunItemRenumbering() {
    throw word::Error(QStringLiteral("番号振り直しはまだ実行できません。"));
}

}  // namespace engine
