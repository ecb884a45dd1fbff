// The program's floating-point operations: one IEEE double operation each,
// with the trapping conditions checked. They are inline because the sweeps
// make ten of them per point; the report is out of line.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "runtime/float_environment.h"
#include "runtime/run_time.h"

namespace laplace::runtime {

namespace float_detail {

// The smallest double magnitude that rounds to infinity as a 32-bit real:
// the largest 32-bit real plus half its unit in the last place, 2^128 - 2^103.
// It rounds up because the largest 32-bit real has an odd significand.
inline constexpr double SINGLE_OVERFLOW_THRESHOLD = 0x1.ffffffp+127;

inline bool is_signalling(double x) {
  return std::isnan(x) && (std::bit_cast<std::uint64_t>(x) & (std::uint64_t{1} << 51)) == 0;
}

// A condition found by an arithmetic operation is taken by the operation
// that immediately follows it, before anything else happens: at once.
inline void trap_now(RunTime& rt, TrapKind kind) {
  if (rt.float_environment.traps_enabled) report_float_trap(rt, kind);
}

}  // namespace float_detail

// The start of a floating-point operation: takes a pending trap.
inline void begin_float_operation(RunTime& rt) {
  if (rt.float_environment.has_pending) [[unlikely]] take_pending_trap(rt);
}

inline double float_add(RunTime& rt, double a, double b) {
  begin_float_operation(rt);
  if (!std::isfinite(a) || !std::isfinite(b)) [[unlikely]] {
    if (float_detail::is_signalling(a) || float_detail::is_signalling(b) ||
        (std::isinf(a) && std::isinf(b) && std::signbit(a) != std::signbit(b))) {
      float_detail::trap_now(rt, TrapKind::invalid);
    }
  }
  return a + b;
}

inline double float_multiply(RunTime& rt, double a, double b) {
  begin_float_operation(rt);
  if (!std::isfinite(a) || !std::isfinite(b)) [[unlikely]] {
    if (float_detail::is_signalling(a) || float_detail::is_signalling(b) ||
        (std::isinf(a) && b == 0.0) || (a == 0.0 && std::isinf(b))) {
      float_detail::trap_now(rt, TrapKind::invalid);
    }
  }
  return a * b;
}

inline double float_divide(RunTime& rt, double a, double b) {
  begin_float_operation(rt);
  if (b == 0.0 || !std::isfinite(a) || !std::isfinite(b)) [[unlikely]] {
    if (float_detail::is_signalling(a) || float_detail::is_signalling(b) || (a == 0.0 && b == 0.0) ||
        (std::isinf(a) && std::isinf(b))) {
      float_detail::trap_now(rt, TrapKind::invalid);
    } else if (b == 0.0 && !std::isnan(a)) {
      float_detail::trap_now(rt, TrapKind::divide_by_zero);
    }
  }
  return a / b;
}

// Widens a stored 32-bit real exactly; a signalling NaN is an invalid operation.
inline double float_load(RunTime& rt, float value) {
  begin_float_operation(rt);
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
  if ((bits & 0x7FC00000u) == 0x7F800000u && (bits & 0x003FFFFFu) != 0) [[unlikely]] {
    float_detail::trap_now(rt, TrapKind::invalid);
  }
  return static_cast<double>(value);
}

// Rounds to the nearest 32-bit real for a store. A magnitude beyond the
// largest 32-bit real leaves an overflow trap pending, taken by the next
// floating-point operation, whatever happens in between.
inline float float_store(RunTime& rt, double value) {
  begin_float_operation(rt);
  if (std::fabs(value) >= float_detail::SINGLE_OVERFLOW_THRESHOLD && std::isfinite(value)) [[unlikely]] {
    FloatEnvironment& env = rt.float_environment;
    if (env.traps_enabled) {
      env.has_pending = true;
      env.pending = TrapKind::overflow;
    }
    return std::signbit(value) ? -HUGE_VALF : HUGE_VALF;
  }
  return static_cast<float>(value);
}

}  // namespace laplace::runtime
