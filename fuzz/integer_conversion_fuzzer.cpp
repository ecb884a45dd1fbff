// Integer texts against a plain reference in 64-bit arithmetic that follows
// the rules of an integer text one byte at a time: the exact text of the most
// negative value, a sign, decimal digits up to 2147483647, radix notation
// base#digits up to 32 unsigned bits with the radix limit of the base before
// each digit, Ctrl-Z as an end, and the first fault met deciding the status.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "console_io/integer_conversion.h"
#include "fuzz/fuzz_check.h"

namespace laplace::fuzz {
namespace {

using console_io::IntegerResult;
using console_io::IntegerStatus;

constexpr char CTRL_Z = 26;

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

IntegerResult reference(const char* t, std::size_t n) {
  if (n == 11 && std::memcmp(t, "-2147483648", 11) == 0) return {INT32_MIN, IntegerStatus::ok};
  std::size_t i = 0;
  bool minus = false;
  if (i < n && (t[i] == '+' || t[i] == '-')) minus = t[i++] == '-';
  std::int64_t value = 0;
  for (; i < n && t[i] != CTRL_Z; ++i) {
    const char c = t[i];
    if (c == '#') break;
    if (c < '0' || c > '9') return {0, IntegerStatus::bad_character};
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return {0, IntegerStatus::overflow};
  }
  if (i == n || t[i] == CTRL_Z) {
    return {static_cast<std::int32_t>(minus ? -value : value), IntegerStatus::ok};
  }
  // Radix notation: the decimal value so far is the base, 0 meaning 16.
  const std::int64_t base = value == 0 ? 16 : value;
  if (base < 2 || base > 36) return {0, IntegerStatus::bad_base};
  // The radix limit: the most that may be multiplied by the base within 32
  // unsigned bits, but for base 10 the decimal limit, 214748364.
  const std::uint64_t limit = base == 10 ? 214748364u : UINT32_MAX / static_cast<std::uint64_t>(base);
  std::uint64_t pattern = 0;
  for (++i; i < n && t[i] != CTRL_Z; ++i) {
    if (t[i] == '#') return {0, IntegerStatus::second_radix_mark};
    const int d = digit_value(t[i]);
    if (d >= base) return {0, IntegerStatus::bad_character};
    if (pattern > limit) return {0, IntegerStatus::overflow};
    pattern = pattern * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
    if (pattern > UINT32_MAX) return {0, IntegerStatus::overflow};
  }
  auto bits = static_cast<std::uint32_t>(pattern);
  if (minus) bits = 0u - bits;
  return {static_cast<std::int32_t>(bits), IntegerStatus::ok};
}

}  // namespace
}  // namespace laplace::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace laplace::fuzz;
  // Exactly the text's bytes: a byte read beyond them is caught.
  auto text = std::make_unique<char[]>(size);
  if (size > 0) std::memcpy(text.get(), data, size);
  const IntegerResult want = reference(text.get(), size);
  const IntegerResult got = laplace::console_io::convert_integer_text(text.get(), size);
  const std::string where = "text " + escaped(std::string(text.get(), size)) + "\ngot " +
                            std::to_string(got.value) + " status " +
                            std::to_string(static_cast<int>(got.status)) + "\nexpected " +
                            std::to_string(want.value) + " status " +
                            std::to_string(static_cast<int>(want.status));
  FUZZ_CHECK(got.status == want.status, where);
  if (want.status == IntegerStatus::ok) FUZZ_CHECK(got.value == want.value, where);
  return 0;
}
