// The run-time's state: the platform it ends the process through, the exit
// actions, the termination flags and the floating-point environment. The
// program has one instance; tests make fresh ones.
#pragma once

#include "platform/platform.h"
#include "runtime/float_environment.h"
#include "runtime/termination.h"

namespace laplace::runtime {

struct RunTime {
  explicit RunTime(platform::Platform& p) : platform(p) {}

  platform::Platform& platform;
  ExitActionList exit_actions;
  bool ending = false;
  // Set by the I/O layer's exit action while it closes the console: a run-time
  // error raised meanwhile returns to that action's catch point instead of
  // ending the process a second time.
  bool termination_in_progress = false;
  FloatEnvironment float_environment;
};

}  // namespace laplace::runtime
