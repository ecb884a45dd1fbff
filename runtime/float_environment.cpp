#include "runtime/float_environment.h"

#include <string_view>

#include "runtime/error_reports.h"
#include "runtime/run_time.h"

namespace laplace::runtime {
namespace {

struct TrapReport {
  std::string_view word;
  std::int32_t error_number;
};

TrapReport trap_report(TrapKind kind) {
  switch (kind) {
    case TrapKind::invalid: return {"invalid", 6101};
    case TrapKind::denormal: return {"denormal", 6102};
    case TrapKind::divide_by_zero: return {"divide by zero", 6103};
    case TrapKind::overflow: return {"overflow", 6104};
    case TrapKind::underflow: return {"underflow", 6105};
    case TrapKind::inexact: return {"inexact", 6106};
    case TrapKind::square_root: return {"square root", 6108};
    case TrapKind::stack_overflow: return {"stack overflow", 6110};
    case TrapKind::stack_underflow: return {"stack underflow", 6111};
  }
  return {"invalid", 6101};
}

}  // namespace

void initialise_float_precision(RunTime& rt) {
  rt.float_environment = FloatEnvironment{};
}

void set_float_environment(RunTime& rt) {
  rt.float_environment.traps_enabled = true;
}

void clear_float_exceptions(RunTime& rt) {
  rt.float_environment.has_pending = false;
}

void take_pending_trap(RunTime& rt) {
  FloatEnvironment& env = rt.float_environment;
  env.has_pending = false;
  report_float_trap(rt, env.pending);
}

void report_float_trap(RunTime& rt, TrapKind kind) {
  const TrapReport report = trap_report(kind);
  // "floating-point error: " followed by the word of the kind.
  char text[64];
  constexpr std::string_view PREFIX = "floating-point error: ";
  std::size_t length = 0;
  for (char c : PREFIX) text[length++] = c;
  for (char c : report.word) text[length++] = c;
  write_error_report(rt, report.error_number, std::string_view(text, length),
                     context::MATH, std::string_view());
  // Reached only while terminating, where no floating-point work is done.
  throw TerminationError{report.error_number};
}

}  // namespace laplace::runtime
