// Runs the whole program in-process on a fake platform.
#pragma once

#include <memory>
#include <string>

#include "console_io/console_io.h"
#include "runtime/run_time.h"
#include "solver/solver_state.h"
#include "tests/support/fake_platform.h"

namespace laplace::testing {

// Fresh state objects for one run, wired as the program wires them.
struct Program {
  FakePlatform platform;
  runtime::RunTime run_time{platform};
  console_io::ConsoleIo io{run_time};
  std::unique_ptr<solver::SolverState> state = std::make_unique<solver::SolverState>();

  // Starts the program as the process entry does; returns the exit status.
  int run();
};

struct Session {
  std::string out;
  std::string err;
  int status;
};

// A session with standard input and output redirected (files or pipes).
Session run_redirected(const std::string& input);

// A session at a terminal: both standard handles character devices, one
// typed line per read.
Session run_at_console(const std::string& input);

}  // namespace laplace::testing
