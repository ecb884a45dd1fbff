#include "console_io/integer_conversion.h"

#include <array>
#include <cstring>

// Integer text: an optional sign, decimal digits, and radix
// notation base#digits. All arithmetic is unsigned and checked before it
// could leave its range, so nothing overflows.
namespace laplace::console_io {
namespace {

constexpr char CTRL_Z = 26;

// The largest value that may still take one more digit of the base: entry b
// is floor(4294967295 / b), except that base 10 keeps values within
// 2147483647. Entries 0 and 1 play no part.
constexpr std::array<std::uint32_t, 37> RADIX_LIMITS = [] {
  std::array<std::uint32_t, 37> limits{};
  for (std::uint32_t b = 2; b <= 36; ++b) limits[b] = 4294967295u / b;
  limits[10] = 214748364u;
  return limits;
}();
static_assert(RADIX_LIMITS[2] == 2147483647u);
static_assert(RADIX_LIMITS[16] == 268435455u);
static_assert(RADIX_LIMITS[36] == 119304647u);

// The digit value of a byte in radix notation: 0-9, then a-z or A-Z for
// 10-35; 36 for any other byte.
constexpr std::uint32_t digit_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - std::uint32_t{'0'};
  if (c >= 'a' && c <= 'z') return c - std::uint32_t{'a'} + 10u;
  if (c >= 'A' && c <= 'Z') return c - std::uint32_t{'A'} + 10u;
  return 36u;
}

constexpr std::int32_t as_signed(std::uint32_t bits, bool negative) {
  // Negation modulo 2^32; the conversion to signed is modular (C++20).
  return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

IntegerResult convert_radix_digits(const char* text, std::size_t k, std::size_t length,
                                   std::uint32_t base, bool negative) {
  const std::uint32_t limit = RADIX_LIMITS[base];
  std::uint32_t value = 0;
  for (; k < length; ++k) {
    const char c = text[k];
    if (c == CTRL_Z) break;
    if (c == '#') return {0, IntegerStatus::second_radix_mark};
    const std::uint32_t digit = digit_value(static_cast<unsigned char>(c));
    if (digit >= base) return {0, IntegerStatus::bad_character};
    if (value > limit) return {0, IntegerStatus::overflow};
    const std::uint64_t next = std::uint64_t{base} * value + digit;
    if (next > 4294967295u) return {0, IntegerStatus::overflow};
    value = static_cast<std::uint32_t>(next);
  }
  return {as_signed(value, negative), IntegerStatus::ok};
}

}  // namespace

IntegerResult convert_integer_text(const char* text, std::size_t length) {
  if (length == 11 && std::memcmp(text, "-2147483648", 11) == 0) {
    return {-2147483647 - 1, IntegerStatus::ok};
  }
  std::size_t k = 0;
  bool negative = false;
  if (k < length && (text[k] == '+' || text[k] == '-')) negative = text[k++] == '-';

  std::uint32_t value = 0;
  for (; k < length; ++k) {
    const char c = text[k];
    if (c >= '0' && c <= '9') {
      if (value > 214748364u) return {0, IntegerStatus::overflow};
      value = 10u * value + static_cast<std::uint32_t>(c - '0');
      if (value > 2147483647u) return {0, IntegerStatus::overflow};
      continue;
    }
    if (c == CTRL_Z) break;
    if (c == '#') {
      const std::uint32_t base = value == 0 ? 16u : value;
      if (base < 2 || base > 36) return {0, IntegerStatus::bad_base};
      return convert_radix_digits(text, k + 1, length, base, negative);
    }
    return {0, IntegerStatus::bad_character};
  }
  return {as_signed(value, negative), IntegerStatus::ok};
}

}  // namespace laplace::console_io
