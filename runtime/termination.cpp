#include "runtime/termination.h"

#include "runtime/run_time.h"

namespace laplace::runtime {

bool register_exit_action(RunTime& rt, ExitAction action) {
  ExitActionList& list = rt.exit_actions;
  if (list.count == ExitActionList::CAPACITY) return false;
  list.actions[static_cast<std::size_t>(list.count++)] = action;
  return true;
}

void exit_program(RunTime& rt, std::int32_t status) {
  rt.ending = true;
  ExitActionList& list = rt.exit_actions;
  while (list.count > 0) {
    // Taken off the list before it runs, so that an action is never run twice
    // even if it ends up here again.
    const ExitAction action = list.actions[static_cast<std::size_t>(--list.count)];
    action.run(action.context);
  }
  rt.platform.end_process(status);
}

}  // namespace laplace::runtime
