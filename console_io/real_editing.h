// The characters of a 32-bit real in free-format output: seven significant
// digits, rounded half up, in a fixed or an exponent form.
#pragma once

#include <array>
#include <cstdint>

namespace laplace::console_io {

inline constexpr int DIGIT_STRING_LENGTH = 17;
inline constexpr int REAL_SIGNIFICANT_DIGITS = 7;

struct DecimalDigits {
  char sign;            // ' ' or '-'; for a value that is not finite, its sign bit
  int exponent;         // value = 0.d1 d2 ... x 10^exponent, d1 != 0 (0 for zero and specials)
  int count;            // digits held, 1 to 17 (or the special text's length)
  std::array<char, DIGIT_STRING_LENGTH> digits;  // '0'..'9', or the special text
  bool finite;
};

// The exact decimal form of `bits`, cut to 18 digits and rounded half up to 17.
DecimalDigits to_decimal_digits(std::uint32_t bits);

// Keeps `p` digits, rounding half up; true when a carry added a new leading digit.
// Meant for 1 <= p <= 16; a string of p digits or fewer, or a special text, is
// left alone. (p <= 0 keeps no digit: the value becomes zero, or 1 at the next
// power of ten with a carry.)
bool round_digits_at(DecimalDigits& d, int p);

struct EditedReal {
  std::array<char, 15> chars;
  int length;  // 8 to 15
};

// The characters of the 32-bit real with these bits.
EditedReal edit_real(std::uint32_t bits);

// The two steps of to_decimal_digits for a finite value other than zero,
// apart so that tests can reach them.
namespace detail {

struct LeadingDigits {
  std::uint64_t digits;  // the first 18 significant digits, cut: 10^17 <= digits < 10^18
  int exponent;          // E with 10^(E-1) <= magnitude < 10^E
};

// Exact; `bits` must be a finite value other than zero of either sign.
LeadingDigits leading_digits(std::uint32_t bits);

// Rounds the 18 digits half up to 17 and drops trailing zeros.
DecimalDigits digits_from_leading(char sign, LeadingDigits leading);

}  // namespace detail

}  // namespace laplace::console_io
