#include "runtime/float_environment.h"

#include <bit>
#include <cmath>
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

// The smallest double magnitude that rounds to infinity as a 32-bit real:
// the largest 32-bit real plus half its unit in the last place, 2^128 - 2^103.
// It rounds up because the largest 32-bit real has an odd significand.
constexpr double SINGLE_OVERFLOW_THRESHOLD = 0x1.ffffffp+127;

bool is_signalling(double x) {
  if (!std::isnan(x)) return false;
  return (std::bit_cast<std::uint64_t>(x) & (std::uint64_t{1} << 51)) == 0;
}

void take_now(RunTime& rt, TrapKind kind) {
  // A condition found by an arithmetic operation is taken by the operation
  // that immediately follows it, before anything else happens.
  if (rt.float_environment.traps_enabled) report_float_trap(rt, kind);
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

void begin_float_operation(RunTime& rt) {
  FloatEnvironment& env = rt.float_environment;
  if (env.has_pending) {
    env.has_pending = false;
    report_float_trap(rt, env.pending);
  }
}

double float_add(RunTime& rt, double a, double b) {
  begin_float_operation(rt);
  if (is_signalling(a) || is_signalling(b) ||
      (std::isinf(a) && std::isinf(b) && std::signbit(a) != std::signbit(b))) {
    take_now(rt, TrapKind::invalid);
  }
  return a + b;
}

double float_multiply(RunTime& rt, double a, double b) {
  begin_float_operation(rt);
  if (is_signalling(a) || is_signalling(b) || (std::isinf(a) && b == 0.0) ||
      (a == 0.0 && std::isinf(b))) {
    take_now(rt, TrapKind::invalid);
  }
  return a * b;
}

double float_divide(RunTime& rt, double a, double b) {
  begin_float_operation(rt);
  if (is_signalling(a) || is_signalling(b) || (a == 0.0 && b == 0.0) ||
      (std::isinf(a) && std::isinf(b))) {
    take_now(rt, TrapKind::invalid);
  } else if (b == 0.0 && !std::isnan(a)) {
    take_now(rt, TrapKind::divide_by_zero);
  }
  return a / b;
}

double float_load(RunTime& rt, float value) {
  begin_float_operation(rt);
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
  if ((bits & 0x7F800000u) == 0x7F800000u && (bits & 0x007FFFFFu) != 0 &&
      (bits & 0x00400000u) == 0) {
    take_now(rt, TrapKind::invalid);
  }
  return static_cast<double>(value);
}

float float_store(RunTime& rt, double value) {
  begin_float_operation(rt);
  if (std::isfinite(value) && std::fabs(value) >= SINGLE_OVERFLOW_THRESHOLD) {
    FloatEnvironment& env = rt.float_environment;
    if (env.traps_enabled) {
      env.has_pending = true;
      env.pending = TrapKind::overflow;
    }
    return std::signbit(value) ? -HUGE_VALF : HUGE_VALF;
  }
  return static_cast<float>(value);
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
