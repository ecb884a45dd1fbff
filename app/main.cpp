// laplace: the velocity potential of Laplace's equation on a 7 x 5 grid.
#include "console_io/console_io.h"
#include "platform/posix_platform.h"
#include "runtime/run_time.h"
#include "runtime/start_up.h"
#include "solver/dialogue.h"

namespace {

// The program's one instance of each state object.
laplace::platform::PosixPlatform platform;
laplace::runtime::RunTime run_time(platform);
laplace::console_io::ConsoleIo console(run_time);
laplace::solver::SolverState solver_state;

}  // namespace

int main() {
  // The set-up writes every layer of the grid; mapping its pages in one call
  // is cheaper than a fault per page.
  laplace::platform::populate_for_writing(&solver_state, sizeof solver_state);
  const laplace::runtime::ProgramSteps steps{
      [](void* io) { laplace::console_io::open_console(*static_cast<laplace::console_io::ConsoleIo*>(io)); },
      {[](void* io) { laplace::console_io::finish_console_io(*static_cast<laplace::console_io::ConsoleIo*>(io)); },
       &console},
      &console,
      [](void* state) { return laplace::solver::run_dialogue(*static_cast<laplace::solver::SolverState*>(state), console); },
      &solver_state,
  };
  laplace::runtime::start_up(run_time, steps);
}
