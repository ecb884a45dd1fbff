// Real text to the nearest 64-bit real, and from there to a 32-bit variable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace laplace::console_io {

struct RealResult {
  double value;
  bool no_number;   // no mantissa was found
  bool overflow;    // beyond the 64-bit range
  bool underflow;   // below the normal 64-bit range (not an error)
  bool text_left;   // bytes remain after the number
};

// Converts the `length` bytes at `text` (no byte beyond them is read).
RealResult convert_real_text(const char* text, std::size_t length);

enum class Real32Status { ok, beyond_double, not_a_number, beyond_single };

struct Real32Result {
  float value;          // meaningful when status is ok
  Real32Status status;  // checked in this order: 6102, 6103, 6104
};

// The value a 32-bit real variable receives for the text, or why it receives none.
Real32Result store_real32(const char* text, std::size_t length);

}  // namespace laplace::console_io
