// Run-time error reports: the one way a failing statement or a floating-point
// trap ends the program.
#pragma once

#include <cstdint>
#include <string_view>

namespace laplace::runtime {

struct RunTime;

// Kinds of statement or facility that fail; they select the context text.
namespace context {
inline constexpr std::int32_t CLOSE = 1;
inline constexpr std::int32_t WRITE = 2;
inline constexpr std::int32_t READ = 7;
inline constexpr std::int32_t MATH = 15;
inline constexpr std::int32_t MEMORY = 16;
}  // namespace context

// Thrown by a run-time error raised while the process is already terminating;
// the I/O layer's exit action catches it and carries on.
struct TerminationError {
  std::int32_t error_number;
};

// Reports the error of `message_index` for a statement of `statement_context`
// on the unit `unit_name`, then ends the process with status 1. While
// termination is in progress it throws TerminationError instead.
[[noreturn]] void raise_run_time_error(RunTime& rt, std::int32_t message_index,
                                       std::int32_t statement_context,
                                       std::string_view unit_name);

// Writes one report to standard error, in pieces; then exit_program(1),
// unless termination is in progress, in which case it returns.
void write_error_report(RunTime& rt, std::int32_t error_number,
                        std::string_view message_text,
                        std::int32_t statement_context,
                        std::string_view unit_name);

}  // namespace laplace::runtime
