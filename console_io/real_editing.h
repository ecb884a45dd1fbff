// The characters of a 32-bit real in free-format output: seven significant
// digits, rounded half up, in a fixed or an exponent form.
#pragma once

#include <array>
#include <cstdint>

namespace laplace::console_io {

inline constexpr int DIGIT_STRING_LENGTH = 17;
inline constexpr int REAL_SIGNIFICANT_DIGITS = 7;

struct DecimalDigits {
  char sign;            // ' ' or '-'
  int exponent;         // value = 0.d1 d2 ... x 10^exponent, d1 != 0 (0 for zero)
  int count;            // digits held, 1 to 17 (or the special text's length)
  std::array<char, DIGIT_STRING_LENGTH> digits;  // '0'..'9', or the special text
  bool finite;
};

// The exact decimal form of `bits`, cut to 18 digits and rounded half up to 17.
DecimalDigits to_decimal_digits(std::uint32_t bits);

// Keeps `p` digits, rounding half up; true when a carry added a new leading digit.
bool round_digits_at(DecimalDigits& d, int p);

struct EditedReal {
  std::array<char, 15> chars;
  int length;  // 8 to 15
};

// The characters of the 32-bit real with these bits.
EditedReal edit_real(std::uint32_t bits);

}  // namespace laplace::console_io
