// The floating-point environment: IEEE double arithmetic, rounding to nearest,
// and traps for invalid operation, division by zero and overflow on a store
// into a 32-bit real.
//
// The traps are realised by checks in each operation rather than by the
// hardware: a condition found by an operation becomes pending, and a pending
// trap is taken when the next floating-point operation begins, which is the
// moment the program's reports depend on.
#pragma once

#include <cfloat>
#include <cstdint>

static_assert(FLT_EVAL_METHOD == 0,
              "every double operation must round to double precision; this "
              "target keeps excess precision and would print other digits");

namespace laplace::runtime {

struct RunTime;

enum class TrapKind {
  invalid,
  denormal,
  divide_by_zero,
  overflow,
  underflow,
  inexact,
  square_root,
  stack_overflow,
  stack_underflow,
};

struct FloatEnvironment {
  bool traps_enabled = false;
  bool has_pending = false;
  TrapKind pending = TrapKind::invalid;
};

// First stage of start-up: double precision, no traps, no pending condition.
void initialise_float_precision(RunTime& rt);

// Enables the traps of invalid operation, division by zero and overflow.
void set_float_environment(RunTime& rt);

// Forgets any pending condition.
void clear_float_exceptions(RunTime& rt);

// The floating-point error report for `kind`; ends the process.
[[noreturn]] void report_float_trap(RunTime& rt, TrapKind kind);

// Takes the pending trap (there is one) at the start of an operation.
[[noreturn]] void take_pending_trap(RunTime& rt);

// The operations themselves, with their checks, are in float_arithmetic.h.

}  // namespace laplace::runtime
