#include "engine/task_runner.h"

namespace engine {

TaskRunner::TaskRunner(Host& host) : host_(host) {}

}  // namespace engine
