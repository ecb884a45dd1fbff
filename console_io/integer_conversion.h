// Integer text to a 32-bit signed value: an optional sign, decimal digits,
// and radix notation base#digits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace laplace::console_io {

enum class IntegerStatus { ok, overflow, bad_character, second_radix_mark, bad_base };

struct IntegerResult {
  std::int32_t value;
  IntegerStatus status;
};

// Converts the `length` bytes at `text` (no byte beyond them is read).
IntegerResult convert_integer_text(const char* text, std::size_t length);

}  // namespace laplace::console_io
