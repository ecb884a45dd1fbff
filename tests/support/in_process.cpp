#include "tests/support/in_process.h"

#include "runtime/start_up.h"
#include "solver/dialogue.h"

namespace laplace::testing {

int Program::run() {
  const runtime::ProgramSteps steps{
      [](void* p) { console_io::open_console(static_cast<Program*>(p)->io); },
      {[](void* p) { console_io::finish_console_io(static_cast<Program*>(p)->io); }, this},
      this,
      [](void* p) {
        auto* program = static_cast<Program*>(p);
        return solver::run_dialogue(*program->state, program->io);
      },
      this,
  };
  try {
    runtime::start_up(run_time, steps);
  } catch (const ProcessEnded& ended) {
    return ended.status;
  }
}

Session run_redirected(const std::string& input) {
  Program p;
  p.platform.input = input;
  const int status = p.run();
  return {p.platform.out, p.platform.err, status};
}

Session run_at_console(const std::string& input) {
  Program p;
  p.platform.input = input;
  p.platform.input_is_character_device = true;
  p.platform.output_is_character_device = true;
  p.platform.line_at_a_time = true;
  const int status = p.run();
  return {p.platform.out, p.platform.err, status};
}

}  // namespace laplace::testing
