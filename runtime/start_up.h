// The process entry: the start-up steps in their fixed order.
#pragma once

#include <cstdint>

#include "runtime/termination.h"

namespace laplace::platform { class Platform; }

namespace laplace::runtime {

struct RunTime;

// What the layers above the run-time hand to start-up.
struct ProgramSteps {
  // Creates the console connections (step 4.1).
  void (*open_console)(void* io);
  // The I/O layer's exit action, registered as step 4.4.
  ExitAction finish_console_io;
  void* io;
  // The main routine; its result is the exit status.
  std::int32_t (*run_dialogue)(void* solver);
  void* solver;
};

// Starts the program and ends the process; never returns.
[[noreturn]] void start_up(RunTime& rt, const ProgramSteps& steps);

// Ends the process with status 255 after a short message on standard error,
// without running any exit action.
[[noreturn]] void fatal_start_up_failure(platform::Platform& platform);

}  // namespace laplace::runtime
