// Integer text: the table of accepted and rejected texts, the limits of the decimal
// and radix forms, signs, the number sign and Ctrl-Z.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "console_io/integer_conversion.h"

namespace laplace::console_io {
namespace {

using S = IntegerStatus;

constexpr std::int32_t INT32_LOWEST = -2147483647 - 1;

const char* status_name(IntegerStatus s) {
  switch (s) {
    case S::ok: return "ok";
    case S::overflow: return "overflow (6100)";
    case S::bad_character: return "bad character (6101)";
    case S::second_radix_mark: return "second radix mark (6302)";
    case S::bad_base: return "bad base (6303)";
  }
  return "?";
}

// Converts a copy of `text` in a heap block of exactly its length, so that
// AddressSanitizer catches any read beyond it.
IntegerResult convert(std::string_view text) {
  const std::unique_ptr<char[]> copy(new char[text.size()]);
  text.copy(copy.get(), text.size());
  return convert_integer_text(copy.get(), text.size());
}

struct Case {
  std::string text;
  std::int32_t value;  // when ok
  IntegerStatus status;
};

void check(const Case& c) {
  const IntegerResult r = convert(c.text);
  EXPECT_EQ(status_name(r.status), std::string(status_name(c.status))) << "text \"" << c.text << "\"";
  if (c.status == S::ok && r.status == S::ok) {
    EXPECT_EQ(r.value, c.value) << "text \"" << c.text << "\"";
  }
}

void check_all(std::initializer_list<Case> cases) {
  for (const Case& c : cases) check(c);
}

TEST(IntegerConversion, TableOfThePart) {
  check_all({
      {"10", 10, S::ok},
      {"+0", 0, S::ok},
      {"-7", -7, S::ok},
      {"2147483647", 2147483647, S::ok},
      {"2147483648", 0, S::overflow},
      {"-2147483648", INT32_LOWEST, S::ok},
      {"1.0", 0, S::bad_character},
      {"1E3", 0, S::bad_character},
      {"5-", 0, S::bad_character},
      {"--5", 0, S::bad_character},
      {"+", 0, S::ok},
      {"-", 0, S::ok},
      {"16#FF", 255, S::ok},
      {"#ff", 255, S::ok},
      {"2#101", 5, S::ok},
      {"0#10", 16, S::ok},
      {"16#FFFFFFFF", -1, S::ok},
      {"16#100000000", 0, S::overflow},
      {"16#G", 0, S::bad_character},
      {"2#2", 0, S::bad_character},
      {"16#1#2", 0, S::second_radix_mark},
      {"1#0", 0, S::bad_base},
      {"37#1", 0, S::bad_base},
  });
}

TEST(IntegerConversion, DecimalLimits) {
  check_all({
      {"", 0, S::ok},
      {"0", 0, S::ok},
      {"-0", 0, S::ok},
      {"+7", 7, S::ok},
      {"-2147483647", -2147483647, S::ok},
      {"+2147483647", 2147483647, S::ok},
      {"02147483647", 2147483647, S::ok},
      {"0000000000000000000000000000000000000042", 42, S::ok},
      {"214748364", 214748364, S::ok},
      {"2147483640", 2147483640, S::ok},
      {"2147483649", 0, S::overflow},
      {"2147483650", 0, S::overflow},     // 214748365 before the last digit
      {"21474836470", 0, S::overflow},
      {"4294967295", 0, S::overflow},
      {"4294967296", 0, S::overflow},     // 2^32: would wrap to 0 in 32 bits
      {"99999999999999999999", 0, S::overflow},
      {"+2147483648", 0, S::overflow},
      {"-2147483649", 0, S::overflow},
      {"-02147483648", 0, S::overflow},   // only the exact text is accepted
      {"-2147483648\x1a", 0, S::overflow},
      {"-21474836480", 0, S::overflow},
      {"2147483648x", 0, S::overflow},    // the first failure found counts
      {"1x99999999999", 0, S::bad_character},
  });
}

TEST(IntegerConversion, BadCharacters) {
  check_all({
      {"1 2", 0, S::bad_character},
      {" 1", 0, S::bad_character},
      {"1 ", 0, S::bad_character},
      {"\t1", 0, S::bad_character},
      {"+-1", 0, S::bad_character},
      {"1+5", 0, S::bad_character},
      {"1-5", 0, S::bad_character},
      {"1e5", 0, S::bad_character},
      {"0x10", 0, S::bad_character},
      {".5", 0, S::bad_character},
      {"5.", 0, S::bad_character},
      {"1,000", 0, S::bad_character},
      {std::string("1\0", 2), 0, S::bad_character},
      {"1\x80", 0, S::bad_character},
      {"\xff", 0, S::bad_character},
      {"A", 0, S::bad_character},
      {"*", 0, S::bad_character},
  });
}

TEST(IntegerConversion, RadixNotation) {
  check_all({
      {"#", 0, S::ok},
      {"16#", 0, S::ok},
      {"-16#", 0, S::ok},
      {"00#10", 16, S::ok},
      {"016#10", 16, S::ok},
      {"#10", 16, S::ok},
      {"16#ff", 255, S::ok},
      {"16#fF", 255, S::ok},
      {"16#0000000000000000000000000001", 1, S::ok},
      {"2#0", 0, S::ok},
      {"2#1", 1, S::ok},
      {"3#012", 5, S::ok},
      {"3#3", 0, S::bad_character},
      {"8#777", 511, S::ok},
      {"8#8", 0, S::bad_character},
      {"10#2147483647", 2147483647, S::ok},
      {"36#z", 35, S::ok},
      {"36#Z", 35, S::ok},
      {"36#10", 36, S::ok},
      {"35#z", 0, S::bad_character},
      {"35#Y", 34, S::ok},
      {"16#7FFFFFFF", 2147483647, S::ok},
      {"16#80000000", INT32_LOWEST, S::ok},
      {"16#FFFFFFFE", -2, S::ok},
      {"16#g", 0, S::bad_character},
      {"16#-1", 0, S::bad_character},
      {"16#+1", 0, S::bad_character},
      {"16#1.0", 0, S::bad_character},
      {"16# ", 0, S::bad_character},
      {"16#\x80", 0, S::bad_character},
      {"16#F#", 0, S::second_radix_mark},
      {"##", 0, S::second_radix_mark},
      {"16#G#", 0, S::bad_character},   // the first failure found counts
      {"16#1#G", 0, S::second_radix_mark},
      {"1#", 0, S::bad_base},
      {"1#1", 0, S::bad_base},
      {"37#", 0, S::bad_base},
      {"99#1", 0, S::bad_base},
      {"2147483647#1", 0, S::bad_base},
      {"-37#1", 0, S::bad_base},
      {"99999999999#1", 0, S::overflow},  // the base overflows first
      {"2#2#", 0, S::bad_character},
  });
}

TEST(IntegerConversion, RadixSigns) {
  check_all({
      {"-16#FF", -255, S::ok},
      {"+16#FF", 255, S::ok},
      {"-#1", -1, S::ok},
      {"-16#FFFFFFFF", 1, S::ok},
      {"-16#80000000", INT32_LOWEST, S::ok},  // negated modulo 2^32
      {"-16#7FFFFFFF", -2147483647, S::ok},
      {"-2#0", 0, S::ok},
      {"-16#1\x1a", -1, S::ok},
  });
}

// The limit before each digit is floor(4294967295 / b), 214748364 for b = 10,
// and no value may pass 4294967295.
TEST(IntegerConversion, RadixLimits) {
  check_all({
      // Base 2: 32 ones is 2^32 - 1, a 33rd digit cannot follow.
      {"2#11111111111111111111111111111111", -1, S::ok},
      {"2#011111111111111111111111111111111", -1, S::ok},
      {"2#111111111111111111111111111111111", 0, S::overflow},
      {"2#100000000000000000000000000000000", 0, S::overflow},
      {"2#10000000000000000000000000000000", INT32_LOWEST, S::ok},
      // Base 8: limit 536870911 = 8#3777777777.
      {"8#37777777777", -1, S::ok},
      {"8#40000000000", 0, S::overflow},
      {"8#377777777770", 0, S::overflow},
      // Base 16: limit 268435455 = 16#FFFFFFF.
      {"16#FFFFFFFF", -1, S::ok},
      {"16#0FFFFFFFF", -1, S::ok},
      {"16#FFFFFFFF0", 0, S::overflow},
      {"16#100000000", 0, S::overflow},
      // Base 36: limit 119304647 = 36#1Z141Z; 36#1Z141Z3 is 4294967295.
      {"36#1Z141Z3", -1, S::ok},
      {"36#1z141z3", -1, S::ok},
      {"36#1Z141Z4", 0, S::overflow},
      {"36#1Z141Z0", -4, S::ok},
      {"36#1Z1420", 119304648, S::ok},
      {"36#1Z14200", 0, S::overflow},  // 119304648 before the last digit
      // Base 3: limit 1431655765; 3#102002022201221111210 is 4294967295.
      {"3#102002022201221111202", -2, S::ok},
      {"3#102002022201221111210", -1, S::ok},
      {"3#102002022201221111211", 0, S::overflow},
      {"3#1020020222012211112100", 0, S::overflow},
      // Base 10 in radix notation: the limit 214748364 still holds before
      // each digit, but the value may reach 2147483649 (taken as signed).
      {"10#2147483647", 2147483647, S::ok},
      {"10#2147483648", INT32_LOWEST, S::ok},
      {"10#2147483649", -2147483647, S::ok},
      {"10#2147483650", 0, S::overflow},
      {"10#4294967295", 0, S::overflow},
      {"-10#2147483649", 2147483647, S::ok},
  });
}

TEST(IntegerConversion, CtrlZEndsTheNumber) {
  check_all({
      {"12\x1a", 12, S::ok},
      {"12\x1a" "34", 12, S::ok},
      {"12\x1a" "x", 12, S::ok},
      {"\x1a", 0, S::ok},
      {"-\x1a", 0, S::ok},
      {"\x1a" "5", 0, S::ok},
      {"2147483647\x1a", 2147483647, S::ok},
      {"2147483647\x1a" "9", 2147483647, S::ok},
      {"16#F\x1a" "G", 15, S::ok},
      {"16#\x1a", 0, S::ok},
      {"16#F\x1a#", 15, S::ok},
      {"1\x1a#", 1, S::ok},
      {"x\x1a", 0, S::bad_character},
  });
}

TEST(IntegerConversion, ReadsNothingBeyondTheLength) {
  const char text[] = "-2147483648";
  EXPECT_EQ(convert_integer_text(text, 10).value, -214748364);
  EXPECT_EQ(convert_integer_text(text, 1).value, 0);
  EXPECT_EQ(convert_integer_text(text, 0).value, 0);
  EXPECT_EQ(convert_integer_text("16#FF", 4).value, 15);
  EXPECT_EQ(convert_integer_text("16#FF", 3).value, 0);
  EXPECT_EQ(convert_integer_text("123x", 3).value, 123);
  EXPECT_EQ(convert_integer_text("123x", 3).status, S::ok);
  EXPECT_EQ(convert_integer_text(nullptr, 0).status, S::ok);
}

// Every value of a sample, written in decimal and in several bases, comes back.
TEST(IntegerConversion, RoundTripsDecimalAndRadix) {
  const char* digits = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::uint32_t x = 1;
  for (int n = 0; n < 20000; ++n) {
    x = x * 1664525u + 1013904223u;
    const std::uint32_t u = n % 3 == 0 ? x >> (n % 31) : x;
    const auto v = static_cast<std::int32_t>(u);
    if (v != INT32_LOWEST) {
      const std::string dec = std::to_string(v);
      const IntegerResult r = convert(dec);
      ASSERT_EQ(r.status, S::ok) << dec;
      ASSERT_EQ(r.value, v) << dec;
    }
    for (std::uint32_t base : {2u, 7u, 16u, 36u}) {
      std::string text;
      std::uint32_t rest = u;
      do {
        text.insert(text.begin(), digits[rest % base]);
        rest /= base;
      } while (rest != 0);
      text = std::to_string(base) + "#" + text;
      const IntegerResult r = convert(text);
      ASSERT_EQ(r.status, S::ok) << text;
      ASSERT_EQ(r.value, v) << text;
      const IntegerResult negated = convert("-" + text);
      ASSERT_EQ(negated.status, S::ok) << text;
      ASSERT_EQ(static_cast<std::uint32_t>(negated.value), 0u - u) << text;
    }
  }
}

}  // namespace
}  // namespace laplace::console_io
