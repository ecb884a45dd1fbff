// edit_real on arbitrary 32-bit patterns, against an oracle that starts from
// glibc's exact decimal expansion of the widened value and applies the
// editing rules to the decimal string itself: cut to 18 significant digits,
// half up to 17, choose the form on that exponent, half up to 7, then lay
// out the fixed form (exponent 1 to 7), the exponent form, or a special text.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console_io/real_editing.h"
#include "fuzz/fuzz_check.h"

namespace laplace::fuzz {
namespace {

// Adds one to the last digit of `digits`, carries running left; true when
// they ran through every digit (the string is then 1 followed by zeros, one
// digit longer than before is not kept: the caller moves the exponent).
bool increment(std::string& digits) {
  for (std::size_t k = digits.size(); k-- > 0;) {
    if (digits[k] != '9') {
      ++digits[k];
      return false;
    }
    digits[k] = '0';
  }
  digits.insert(digits.begin(), '1');
  digits.pop_back();
  return true;
}

// Keeps `p` digits, rounding half up on digit p+1; true on a carry out.
bool round_half_up(std::string& digits, std::size_t p) {
  if (digits.size() <= p) return false;
  const bool up = digits[p] >= '5';
  digits.resize(p);
  return up && increment(digits);
}

std::string special_text(std::uint32_t bits) {
  const std::uint32_t fraction = bits & 0x7FFFFFu;
  const bool quiet = (fraction & 0x400000u) != 0;
  std::string text;
  if (fraction != 0 && !quiet) {
    text = "1#SNAN";
  } else if (bits == 0xFFC00000u) {
    text = "1#IND";
  } else if (fraction == 0) {
    text = "1#INF";
  } else {
    text = "1#QNAN";
  }
  return text + std::string(13 - text.size(), '.');
}

std::string expected_text(std::uint32_t bits) {
  if ((bits & 0x7F800000u) == 0x7F800000u) return special_text(bits);
  const float value = std::bit_cast<float>(bits);
  if (value == 0.0f) return "0.000000E+00";
  // Every 32-bit value has fewer than 120 significant decimal digits, so this
  // expansion is exact.
  char buf[200];
  std::snprintf(buf, sizeof buf, "%.150e", static_cast<double>(value));
  std::string s = buf;
  std::string sign;
  if (s[0] == '-') {
    sign = "-";
    s.erase(0, 1);
  }
  const std::size_t e = s.find('e');
  std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
  // As 0.d1 d2 ... times 10 to this power.
  int exponent = std::atoi(s.c_str() + e + 1) + 1;
  digits.resize(18);
  if (round_half_up(digits, 17)) ++exponent;
  const bool fixed = exponent >= 1 && exponent <= 7;
  if (round_half_up(digits, 7)) ++exponent;
  if (fixed) {
    const auto whole = static_cast<std::size_t>(exponent);
    std::string padded = digits + std::string(whole + 6, '0');
    return sign + padded.substr(0, whole) + "." + padded.substr(whole, 6);
  }
  char tail[8];
  std::snprintf(tail, sizeof tail, "E%c%02d", exponent - 1 < 0 ? '-' : '+', std::abs(exponent - 1));
  return sign + digits.substr(0, 1) + "." + digits.substr(1, 6) + tail;
}

}  // namespace
}  // namespace laplace::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace laplace::fuzz;
  if (size < 4) return 0;
  std::uint32_t bits;
  std::memcpy(&bits, data, 4);
  const laplace::console_io::EditedReal edited = laplace::console_io::edit_real(bits);
  FUZZ_CHECK(edited.length >= 8 && edited.length <= 15, std::to_string(bits));
  const std::string got(edited.chars.data(), static_cast<std::size_t>(edited.length));
  const std::string want = expected_text(bits);
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08X", bits);
  FUZZ_CHECK(got == want, std::string("bits ") + hex + "\ngot " + got + "\nexpected " + want);
  // The three forms and their lengths.
  const bool special = got.compare(0, 2, "1#") == 0;
  const bool exponent_form = got.find('E') != std::string::npos;
  if (special) {
    FUZZ_CHECK(got.size() == 13, got);
  } else if (exponent_form) {
    FUZZ_CHECK(got.size() == 12 || got.size() == 13, got);
  } else {
    FUZZ_CHECK(got.size() >= 8 && got.size() <= 15, got);
  }
  return 0;
}
