// Real number editing, checked against an independent expansion:
// glibc's printf("%.*e") of the widened double, which prints the exact
// decimal expansion of a binary value. From its first 18 digits this file
// derives, with its own small code (character carries, no shared helper),
// the expected 17-digit string and the expected characters, and compares
// them with detail::leading_digits, to_decimal_digits and edit_real for
// about two million 32-bit patterns: every binary exponent with both
// signs (edges and random fractions), values next to every power of ten,
// values next to 7-digit rounding boundaries, and random patterns (specials
// included, checked by their own rule).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "console_io/real_editing.h"

#if defined(__SANITIZE_ADDRESS__)
#define LAPLACE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define LAPLACE_SANITIZED 1
#endif
#endif

namespace laplace::console_io {
namespace {

#ifdef LAPLACE_SANITIZED
constexpr int SCALE = 10;  // a tenth of the sample: the check stays at a few seconds
#else
constexpr int SCALE = 1;
#endif

// The decimal form from the independent expansion.
struct Expected {
  bool zero;
  char sign;        // '-' for a negative value other than zero
  char d18[19];     // first 18 significant digits, cut, NUL-terminated
  int exponent;     // E with 10^(E-1) <= |v| < 10^E
  char d17[18];     // rounded half up to 17, trailing zeros dropped
  int exponent17;
  char text[40];    // the characters of edit_real
};

// Parses "D.DDD...e+XX" with `precision` digits after the point.
void parse_e_format(const char* buf, int precision, char* digits, int& exp10) {
  digits[0] = buf[0];
  std::memcpy(digits + 1, buf + 2, static_cast<std::size_t>(precision));
  digits[precision + 1] = '\0';
  exp10 = std::atoi(buf + 3 + precision);
}

void expected_digits(std::uint32_t bits, Expected& x) {
  const float magnitude = std::bit_cast<float>(bits & 0x7FFFFFFFU);
  const double wide = static_cast<double>(magnitude);  // exact
  x.sign = (bits >> 31) != 0 ? '-' : ' ';
  x.zero = (bits & 0x7FFFFFFFU) == 0;
  if (x.zero) {
    x.sign = ' ';
    return;
  }
  // 41 significant digits, rounded by printf at the 42nd. The cut after 18
  // digits can differ from that of the exact value only when the rounding
  // carried into the first 18 digits, which leaves digits 19..41 all zero;
  // then take the exact expansion (121 digits hold every 32-bit real's).
  char buf[160];
  char digits[130];
  int exp10 = 0;
  std::snprintf(buf, sizeof buf, "%.40e", wide);
  parse_e_format(buf, 40, digits, exp10);
  bool tail_zero = true;
  for (int i = 18; i < 41; ++i) tail_zero = tail_zero && digits[i] == '0';
  if (tail_zero) {
    std::snprintf(buf, sizeof buf, "%.120e", wide);
    parse_e_format(buf, 120, digits, exp10);
  }
  std::memcpy(x.d18, digits, 18);
  x.d18[18] = '\0';
  x.exponent = exp10 + 1;
}

void expected_rounding(Expected& x) {
  // 18 -> 17, half up, by carrying on the characters.
  x.exponent17 = x.exponent;
  std::memcpy(x.d17, x.d18, 17);
  x.d17[17] = '\0';
  if (x.d18[17] >= '5') {
    int i = 16;
    while (i >= 0 && x.d17[i] == '9') x.d17[i--] = '0';
    if (i >= 0) {
      ++x.d17[i];
    } else {
      x.d17[0] = '1';
      ++x.exponent17;
    }
  }
  int n = 17;
  while (n > 1 && x.d17[n - 1] == '0') --n;
  x.d17[n] = '\0';
}

void expected_text(Expected& x) {
  if (x.zero) {
    std::strcpy(x.text, "0.000000E+00");
    return;
  }
  int exponent = x.exponent17;
  const bool fixed = exponent >= 1 && exponent <= 7;
  // 7 digits as an integer, half up on the 8th digit.
  char padded[24];
  std::memset(padded, '0', sizeof padded);
  std::memcpy(padded, x.d17, std::strlen(x.d17));
  long seven = std::strtol(std::string(padded, 7).c_str(), nullptr, 10);
  if (padded[7] >= '5') ++seven;
  if (seven == 10'000'000) {
    seven = 1'000'000;
    ++exponent;
  }
  char shown[24];
  std::memset(shown, '0', sizeof shown);
  std::snprintf(shown, sizeof shown, "%ld", seven);
  shown[7] = '0';  // the NUL from snprintf
  const char* minus = x.sign == '-' ? "-" : "";
  if (fixed) {
    std::snprintf(x.text, sizeof x.text, "%s%.*s.%.6s", minus, exponent, shown, shown + exponent);
  } else {
    std::snprintf(x.text, sizeof x.text, "%s%c.%.6sE%+03d", minus, shown[0], shown + 1, exponent - 1);
  }
}

const char* expected_special(std::uint32_t bits) {
  const std::uint32_t fraction = bits & 0x7FFFFFU;
  if (fraction == 0) return "1#INF........";
  if ((fraction & 0x400000U) == 0) return "1#SNAN.......";
  if (bits == 0xFFC00000U) return "1#IND........";
  return "1#QNAN.......";
}

std::uint32_t float_bits(const char* text) { return std::bit_cast<std::uint32_t>(std::strtof(text, nullptr)); }

struct Checker {
  long checked = 0;
  long failures = 0;

  void fail(std::uint32_t bits, const std::string& what) {
    if (++failures <= 20) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%08X", bits);
      ADD_FAILURE() << "bits " << buf << ": " << what;
    }
  }

  void check(std::uint32_t bits) {
    ++checked;
    const EditedReal e = edit_real(bits);
    const std::string got(e.chars.data(), static_cast<std::size_t>(e.length));
    if (((bits >> 23) & 0xFFU) == 0xFFU) {
      if (got != expected_special(bits)) fail(bits, "special " + got);
      return;
    }
    Expected x{};
    expected_digits(bits, x);
    const DecimalDigits d = to_decimal_digits(bits);
    if (!d.finite) fail(bits, "not finite");
    if (x.zero) {
      if (d.sign != ' ' || d.exponent != 0 || d.count != 1 || d.digits[0] != '0') fail(bits, "zero digits");
    } else {
      const detail::LeadingDigits l = detail::leading_digits(bits);
      char lead[24];
      std::snprintf(lead, sizeof lead, "%llu", static_cast<unsigned long long>(l.digits));
      if (std::strcmp(lead, x.d18) != 0 || l.exponent != x.exponent) {
        fail(bits, std::string("18 digits ") + lead + " E " + std::to_string(l.exponent) + ", expected " + x.d18 +
                       " E " + std::to_string(x.exponent));
      }
      expected_rounding(x);
      const std::string digits(d.digits.data(), static_cast<std::size_t>(d.count));
      if (digits != x.d17 || d.exponent != x.exponent17 || d.sign != x.sign) {
        fail(bits, "17 digits " + std::string(1, d.sign) + digits + " E " + std::to_string(d.exponent) +
                       ", expected " + std::string(1, x.sign) + x.d17 + " E " + std::to_string(x.exponent17));
      }
    }
    expected_text(x);
    if (got != x.text) fail(bits, "characters " + got + ", expected " + x.text);
  }

  void check_near(std::uint32_t bits, int ulps) {
    const std::uint32_t magnitude = bits & 0x7FFFFFFFU;
    for (int k = -ulps; k <= ulps; ++k) {
      const std::int64_t b = static_cast<std::int64_t>(magnitude) + k;
      if (b < 0 || b > 0x7F7FFFFF) continue;
      check(static_cast<std::uint32_t>(b));
      check(static_cast<std::uint32_t>(b) | 0x80000000U);
    }
  }
};

TEST(RealEditingCrossCheck, AgreesWithTheExactExpansion) {
  std::mt19937_64 rng(20240611);
  Checker c;

  // Every binary exponent, both signs: the fraction's edges and random fractions.
  const int per_exponent = 1200 / SCALE;
  for (std::uint32_t biased = 0; biased < 255; ++biased) {
    for (std::uint32_t sign = 0; sign < 2; ++sign) {
      const std::uint32_t top = (sign << 31) | (biased << 23);
      for (std::uint32_t f : {0x000000U, 0x000001U, 0x000002U, 0x000003U, 0x400000U, 0x7FFFFDU, 0x7FFFFEU, 0x7FFFFFU})
        c.check(top | f);
      for (int i = 0; i < per_exponent; ++i) c.check(top | static_cast<std::uint32_t>(rng() & 0x7FFFFFU));
    }
  }

  // Next to every power of ten within the range.
  for (int k = -46; k <= 39; ++k) {
    char text[16];
    std::snprintf(text, sizeof text, "1e%d", k);
    c.check_near(float_bits(text), 32);
  }

  // Next to 7-digit rounding boundaries d.5 x 10^(E-7) in every decade, and
  // next to the boundary of the carry through seven nines.
  const int boundaries = 70'000 / SCALE;
  for (int i = 0; i < boundaries; ++i) {
    const int exponent = -44 + static_cast<int>(rng() % 84);  // -44 .. 39
    const long seven = 1'000'000 + static_cast<long>(rng() % 9'000'000);
    char text[32];
    std::snprintf(text, sizeof text, "%ld5e%d", seven, exponent - 8);
    c.check_near(float_bits(text), 2);
  }
  for (int exponent = -44; exponent <= 39; ++exponent) {
    char text[32];
    std::snprintf(text, sizeof text, "99999995e%d", exponent - 8);
    c.check_near(float_bits(text), 16);
  }

  // Random patterns of every kind.
  const int random = 700'000 / SCALE;
  for (int i = 0; i < random; ++i) c.check(static_cast<std::uint32_t>(rng()));

  EXPECT_EQ(c.failures, 0) << "of " << c.checked << " patterns";
  EXPECT_GT(c.checked, 1'500'000 / SCALE);
  std::printf("[ checked  ] %ld patterns\n", c.checked);
}

// The independent expansion itself, on values whose digits are known.
TEST(RealEditingCrossCheck, ReferenceIsExact) {
  Expected x{};
  expected_digits(0x00000001U, x);  // 2^-149 = 1.40129846432481707092...E-45
  EXPECT_STREQ(x.d18, "140129846432481707");
  EXPECT_EQ(x.exponent, -44);
  expected_digits(0x7F7FFFFFU, x);  // 340282346638528859811704183484516925440
  EXPECT_STREQ(x.d18, "340282346638528859");
  EXPECT_EQ(x.exponent, 39);
  expected_digits(0x3F800000U, x);
  EXPECT_STREQ(x.d18, "100000000000000000");
  EXPECT_EQ(x.exponent, 1);
  expected_rounding(x);
  expected_text(x);
  EXPECT_STREQ(x.text, "1.000000");
}

}  // namespace
}  // namespace laplace::console_io
