#include "runtime/start_up.h"

#include <string_view>

#include "platform/platform.h"
#include "runtime/float_environment.h"
#include "runtime/run_time.h"

namespace laplace::runtime {

void fatal_start_up_failure(platform::Platform& platform) {
  constexpr std::string_view MESSAGE = "\r\nlaplace: not enough memory to start\r\n";
  (void)platform.write(platform::STANDARD_ERROR, MESSAGE.data(), MESSAGE.size());
  platform.end_process(255);
}

void start_up(RunTime& rt, const ProgramSteps& steps) {
  // 1. The process's own resources are static: the run-time object and the
  //    fixed exit-action list exist before this function is entered.
  // 2. Double precision, nothing pending, no traps yet.
  initialise_float_precision(rt);
  // 3. A fresh list of exit actions.
  rt.exit_actions = ExitActionList{};
  // 4. The I/O layer.
  steps.open_console(steps.io);
  set_float_environment(rt);
  clear_float_exceptions(rt);
  if (!register_exit_action(rt, steps.finish_console_io)) {
    fatal_start_up_failure(rt.platform);
  }
  // 5. The dialogue, once.
  exit_program(rt, steps.run_dialogue(steps.solver));
}

}  // namespace laplace::runtime
