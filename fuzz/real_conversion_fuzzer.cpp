// Real texts against glibc's strtod in the "C" locale. The oracle reads the
// text by the rules of a real text on its own (blanks, sign, mantissa, an
// exponent after E, e, D or d or after a bare sign), keeps the first 24
// significant digits, and hands strtod only digits and an "e" exponent, so
// that strtod never sees a form of its own (hex, inf, nan). convert_real_text
// must give the flags the rules give and the nearest 64-bit real or one unit
// in the last place from it; store_real32 must then check and round as its
// rules say.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <string>

#include "console_io/real_conversion.h"
#include "console_io/real_conversion_detail.h"
#include "fuzz/fuzz_check.h"

namespace laplace::fuzz {
namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

struct Expected {
  bool no_number = false;
  bool text_left = false;
  bool negative = false;
  bool zero = false;       // D is 0: the result is a zero of the text's sign
  bool overflow = false;   // beyond the exponent limit or the 64-bit range
  bool underflow = false;  // below the exponent limit: zero
  double value = 0.0;      // the nearest 64-bit real, when none of the above
};

constexpr long long EXPONENT_LIMIT = 5200;
constexpr std::size_t KEPT_DIGITS = 24;

Expected expect(const char* t, std::size_t n) {
  Expected e;
  std::size_t i = 0;
  while (i < n && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n')) ++i;
  if (i < n && (t[i] == '+' || t[i] == '-')) e.negative = t[i++] == '-';
  std::string digits;  // the mantissa's digits, the point left out
  long long whole_digits = 0;
  while (i < n && digit(t[i])) {
    digits += t[i++];
    ++whole_digits;
  }
  if (i < n && t[i] == '.' && (whole_digits > 0 || (i + 1 < n && digit(t[i + 1])))) {
    ++i;
    while (i < n && digit(t[i])) digits += t[i++];
  }
  if (digits.empty()) {
    // Nothing of the text is taken.
    e.no_number = true;
    e.text_left = n > 0;
    e.zero = true;
    return e;
  }
  long long exponent = 0;
  auto take_exponent = [&](std::size_t from) {
    bool minus = false;
    std::size_t j = from;
    if (j < n && (t[j] == '+' || t[j] == '-')) minus = t[j++] == '-';
    if (j >= n || !digit(t[j])) return false;
    long long magnitude = 0;
    while (j < n && digit(t[j])) {
      magnitude = std::min(magnitude * 10 + (t[j++] - '0'), EXPONENT_LIMIT + 1);
    }
    exponent = minus ? -magnitude : magnitude;
    i = j;
    return true;
  };
  if (i < n && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    (void)take_exponent(i + 1);
  } else if (i < n && (t[i] == '+' || t[i] == '-')) {
    (void)take_exponent(i);
  }
  e.text_left = i < n;

  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) {
    e.zero = true;
    return e;
  }
  std::size_t end = std::min(digits.size(), first + KEPT_DIGITS);
  while (digits[end - 1] == '0') --end;
  // The place of the last digit kept: 0 for units, 1 for tens, -1 for tenths.
  const long long place = whole_digits - static_cast<long long>(end);
  const long long power = exponent + place;
  if (power > EXPONENT_LIMIT) {
    e.overflow = true;
    return e;
  }
  if (power < -EXPONENT_LIMIT) {
    e.underflow = true;
    e.zero = true;
    return e;
  }
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const std::string plain = (e.negative ? "-" : "") + digits.substr(first, end - first) + "e" +
                            std::to_string(power);
  e.value = strtod_l(plain.c_str(), nullptr, c_locale);
  e.overflow = std::isinf(e.value);
  e.underflow = std::fabs(e.value) < DBL_MIN;
  return e;
}

// Position of a double among all doubles in order, zeros of both signs at 0.
std::int64_t order_of(double d) {
  const auto bits = std::bit_cast<std::int64_t>(d);
  return bits < 0 ? -(bits & INT64_MAX) : bits;
}

std::string show(double d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g (%a)", d, d);
  return buf;
}

void check(const char* text, std::size_t n) {
  using console_io::RealResult;
  const Expected e = expect(text, n);
  const RealResult r = console_io::convert_real_text(text, n);
  const std::string where = "text " + escaped(std::string(text, n)) + "\ngot " + show(r.value) +
                            " flags " + std::to_string(r.no_number) + std::to_string(r.overflow) +
                            std::to_string(r.underflow) + std::to_string(r.text_left) +
                            "\nexpected " + show(e.value);

  // The quick way and the exact arithmetic agree on everything.
  const RealResult exact = console_io::detail::convert_real_text_exactly(text, n);
  FUZZ_CHECK(std::bit_cast<std::uint64_t>(exact.value) == std::bit_cast<std::uint64_t>(r.value) &&
                 exact.no_number == r.no_number && exact.overflow == r.overflow &&
                 exact.underflow == r.underflow && exact.text_left == r.text_left,
             where);

  FUZZ_CHECK(r.no_number == e.no_number, where);
  if (n > 0) FUZZ_CHECK(r.text_left == e.text_left, where);
  if (e.zero) {
    FUZZ_CHECK(!r.overflow, where);
    FUZZ_CHECK(r.value == 0.0, where);
    // Without a number the value is never stored, whatever its sign.
    if (!e.no_number) FUZZ_CHECK(std::signbit(r.value) == e.negative, where);
    if (!e.no_number && !e.underflow) FUZZ_CHECK(!r.underflow, where);
    if (e.underflow) FUZZ_CHECK(r.underflow, where);
  } else if (e.overflow) {
    FUZZ_CHECK(r.overflow, where);
  } else if (r.overflow) {
    // A value just above the largest 64-bit real may round down to it.
    FUZZ_CHECK(std::fabs(e.value) == DBL_MAX, where);
  } else {
    const std::int64_t distance = order_of(r.value) - order_of(e.value);
    FUZZ_CHECK(distance >= -1 && distance <= 1, where);
    FUZZ_CHECK(std::signbit(r.value) == e.negative, where);
    // The flag follows the nearest value; at the smallest normal value the
    // text itself may lie just below the normal range.
    if (distance == 0 && std::fabs(e.value) != DBL_MIN) FUZZ_CHECK(r.underflow == e.underflow, where);
  }

  // store_real32: 6102, then 6103, then the 32-bit range, then the rounding.
  using console_io::Real32Status;
  const console_io::Real32Result s = console_io::store_real32(text, n);
  const double bound = std::bit_cast<double>(std::uint64_t{0x47EFFFFFE0000001});
  Real32Status want = Real32Status::ok;
  if (r.overflow) {
    want = Real32Status::beyond_double;
  } else if (r.text_left) {
    want = Real32Status::not_a_number;
  } else if (std::fabs(r.value) > bound) {
    want = Real32Status::beyond_single;
  }
  FUZZ_CHECK(s.status == want, where + "\nstatus " + std::to_string(static_cast<int>(s.status)));
  if (want == Real32Status::ok) {
    const auto rounded = static_cast<float>(r.value);
    FUZZ_CHECK(std::bit_cast<std::uint32_t>(s.value) == std::bit_cast<std::uint32_t>(rounded),
               where + "\nstored " + show(static_cast<double>(s.value)));
  }
}

}  // namespace
}  // namespace laplace::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exactly the text's bytes: a byte read beyond them is caught.
  auto text = std::make_unique<char[]>(size);
  if (size > 0) std::memcpy(text.get(), data, size);
  laplace::fuzz::check(text.get(), size);
  return 0;
}
