// Runs the built program as its users do: standard input from a pipe, a file,
// a pseudo-terminal, /dev/null or nothing at all, standard output to a pipe,
// a file, the same pseudo-terminal, /dev/null or /dev/full.
#pragma once

#include <string>
#include <vector>

namespace laplace::testing {

enum class Source { pipe, file, terminal, null_device, closed, directory };
enum class Sink { pipe, file, terminal, null_device, full_device, closed, reader_gone };

struct RunOptions {
  Source input = Source::pipe;
  Sink output = Sink::pipe;
  std::vector<std::string> arguments;    // after the program name
  std::vector<std::string> environment;  // NAME=value; empty means none at all
  // Sends this signal once `signal_after_bytes` bytes of output have arrived.
  int signal = 0;
  std::size_t signal_after_bytes = 0;
  // Killed after this long without output (the run then shows SIGKILL).
  int idle_limit_ms = 20000;
};

struct RunResult {
  std::string out;  // standard output (pipe, file or terminal)
  std::string err;  // standard error, always a pipe
  int exit_status;  // -1 when ended by a signal
  int signal;       // the signal that ended it, else 0
};

// The path of the program under test.
std::string program_path();

// Runs the program with `input` as everything standard input holds. At a
// terminal the bytes are typed with echo and output post-processing off.
RunResult run_program(const std::string& input, const RunOptions& options = {});

}  // namespace laplace::testing
