// Real number editing: the table of values and characters, then one group per
// hazard (the fixed/exponent boundary, half up at 7 digits, carries through
// nines at 7 and at 17 digits, the double rounding 18 -> 17 -> 7, the exponent
// estimate at powers of ten, subnormals, the limits, negative values and the
// special texts), and round_digits_at on its own.
// Inputs are 32-bit patterns (hexadecimal) with the value in a comment;
// expected texts follow the editing rules from the exact decimal
// expansions (worked out apart, with exact rational arithmetic).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "console_io/real_editing.h"

namespace laplace::console_io {
namespace {

std::string hex(std::uint32_t bits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", bits);
  return buf;
}

std::string chars(std::uint32_t bits) {
  const EditedReal e = edit_real(bits);
  EXPECT_GE(e.length, 8) << hex(bits);
  EXPECT_LE(e.length, 15) << hex(bits);
  return std::string(e.chars.data(), static_cast<std::size_t>(e.length));
}

struct Case {
  std::uint32_t bits;
  const char* text;
};

void check_all(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(chars(c.bits), c.text) << "bits " << hex(c.bits);
}

std::string digit_string(const DecimalDigits& d) {
  return std::string(d.digits.data(), static_cast<std::size_t>(d.count));
}

// The digits as "sign|digits|exponent", e.g. " |125|2".
std::string describe(const DecimalDigits& d) {
  return std::string(1, d.sign) + "|" + digit_string(d) + "|" + std::to_string(d.exponent) +
         (d.finite ? "" : "|special");
}

DecimalDigits make_digits(char sign, const std::string& digits, int exponent) {
  DecimalDigits d{};
  d.sign = sign;
  d.exponent = exponent;
  d.count = static_cast<int>(digits.size());
  for (std::size_t i = 0; i < digits.size(); ++i) d.digits[i] = digits[i];
  d.finite = true;
  return d;
}

TEST(RealEditing, TableOfThePart) {
  check_all({
      {0x3F800000, "1.000000"},         // 1.0
      {0x3F000000, "5.000000E-01"},     // 0.5
      {0x41480000, "12.500000"},        // 12.5
      {0x3DCCCCCD, "1.000000E-01"},     // 0.1 (0.100000001490116...)
      {0x40555555, "3.333333"},         // 3.3333333 (3.33333325...)
      {0x4B189680, "1.000000E+07"},     // 1.0E7
      {0x3C23D70A, "1.000000E-02"},     // 1.0E-2 (0.00999999977...)
      {0xC0500000, "-3.250000"},        // -3.25
      {0x47F1205A, "123456.700000"},    // 123456.7 (123456.703125)
      {0x00000000, "0.000000E+00"},     // 0.0
      {0x80000000, "0.000000E+00"},     // -0.0
      {0x40C80000, "6.250000"},         // 6.25
      {0x447A0800, "1000.125000"},      // 1000.125
      {0x3F800004, "1.000000"},         // 1.0000005 (1.00000047...)
      {0x3F7FFFFF, "9.999999E-01"},     // 0.99999994, largest below 1
      {0x4B18967F, "9999999.000000"},   // 9999999.0
      {0x4B800000, "1.677722E+07"},     // 16777216.0
      {0x4996B43C, "1234568.000000"},   // 1234567.5
      {0xC996B43C, "-1234568.000000"},  // -1234567.5
      {0x4AFFFFFF, "8388608.000000"},   // 8388607.5
      {0x497423FF, "999999.900000"},    // 999999.94 (999999.9375)
      {0xBAA1D132, "-1.234567E-03"},    // -0.001234567
      {0x37D1B717, "2.500000E-05"},     // 2.5E-5 (2.49999993...E-5)
      {0xE0AD78EC, "-1.000000E+20"},    // -1.0E20
      {0x38000000, "3.051758E-05"},     // 2^-15
      {0x00000001, "1.401298E-45"},     // smallest positive
      {0x7F7FFFFF, "3.402823E+38"},     // largest
      {0x7F800000, "1#INF........"},    // +infinity
      {0xFF800000, "1#INF........"},    // -infinity
      {0x7FC00000, "1#QNAN......."},
      {0xFFC00000, "1#IND........"},
  });
}

// The form follows the exponent before the rounding: fixed for 1 <= |v| < 10^7.
TEST(RealEditing, FixedAndExponentFormBoundary) {
  check_all({
      {0x3F7FFFFF, "9.999999E-01"},      // 0.99999994: exponent 0
      {0xBF7FFFFF, "-9.999999E-01"},     // -0.99999994
      {0x3F7FFFFE, "9.999999E-01"},      // 0.99999988
      {0x3F800000, "1.000000"},          // 1.0: exponent 1
      {0xBF800000, "-1.000000"},         // -1.0
      {0x4B18967F, "9999999.000000"},    // 9999999.0: exponent 7
      {0xCB18967F, "-9999999.000000"},   // the longest fixed form, 15 characters
      {0x4B189680, "1.000000E+07"},      // 10000000.0: exponent 8
      {0xCB189680, "-1.000000E+07"},     // -10000000.0
      {0x4B189681, "1.000000E+07"},      // 10000001.0
      {0x4B000000, "8388608.000000"},    // 2^23
      {0x4C000000, "3.355443E+07"},      // 2^25
  });
}

// The fixed form has as many integer digits as the exponent: each decade.
TEST(RealEditing, IntegerDigitsFollowTheExponent) {
  check_all({
      {0x411FFFFF, "9.999999"},          // 9.99999905 (largest below 10)
      {0x41200000, "10.000000"},
      {0x42C7FFFF, "99.999990"},         // 99.9999924
      {0x42C80000, "100.000000"},
      {0x4479FFFF, "999.999900"},        // 999.999939
      {0x447A0000, "1000.000000"},
      {0x461C3FFF, "9999.999000"},       // 9999.99902
      {0x461C4000, "10000.000000"},
      {0x47C34FFF, "99999.990000"},      // 99999.9921875
      {0x47C35000, "100000.000000"},
      {0x49742400, "1000000.000000"},
      {0x4CBEBC1F, "9.999999E+07"},      // 99999992
      {0x4CBEBC20, "1.000000E+08"},
      {0x501502F8, "9.999999E+09"},      // 9999998976
      {0x501502F9, "1.000000E+10"},      // 10^10, exact
  });
}

// The 8th digit decides, half up on the decimal digits (away from zero),
// never to even.
TEST(RealEditing, SevenDigitRoundingIsHalfUp) {
  check_all({
      {0x4996B434, "1234567.000000"},    // 1234566.5: ties to even would keep 6
      {0x4996B43C, "1234568.000000"},    // 1234567.5
      {0xC996B434, "-1234567.000000"},   // -1234566.5
      {0x4B3C6141, "1.234567E+07"},      // 12345665: ties to even would give ...66
      {0x4B3C614B, "1.234568E+07"},      // 12345675
      {0x4B7FFFFF, "1.677722E+07"},      // 16777215
      {0x3A000000, "4.882813E-04"},      // 2^-11 = 0.00048828125 exactly
      {0xBA000000, "-4.882813E-04"},     // -2^-11
      {0x3F9E0651, "1.234568"},          // 1.2345678 (1.23456776...)
      {0x3F9DF3B6, "1.234000"},          // 1.234 (1.23399996...)
      {0x3E4CCCCD, "2.000000E-01"},      // 0.2 (0.200000003...)
  });
}

// A carry through the 7 shown digits gives 1.000000 and a larger exponent.
// In the fixed range no 32-bit real reaches one (a one-off run over every
// 32-bit pattern found none), so the carries there stop before the first digit.
TEST(RealEditing, SevenDigitCarryThroughNines) {
  check_all({
      {0x3C23D70A, "1.000000E-02"},      // 0.00999999977...: exponent -2 becomes -1
      {0x3A83126F, "1.000000E-03"},      // 0.001 (1.00000004...E-3): no carry
      {0x0C01CEB3, "1.000000E-31"},      // 9.99999979...E-32
      {0x1AF1C900, "1.000000E-22"},      // 9.99999968...E-23
      {0x358637BD, "1.000000E-06"},      // 9.99999997...E-7
      {0x51BA43B7, "1.000000E+11"},      // 99999997952
      {0x5F0AC723, "1.000000E+19"},      // 9.99999998...E18
      {0x7E967699, "1.000000E+38"},      // 9.99999968...E37
      {0xFE967699, "-1.000000E+38"},
      {0x3FFFFFFF, "2.000000"},          // 1.99999988: carry through six nines
      {0xBFFFFFFF, "-2.000000"},
  });
}

// The exact digits, cut after 18 and rounded half up to 17, trailing zeros dropped.
TEST(RealEditing, DecimalDigitsOfTheExactValue) {
  struct DigitsCase {
    std::uint32_t bits;
    const char* expected;  // sign|digits|exponent
  };
  for (const DigitsCase& c : {
           DigitsCase{0x3F800000, " |1|1"},                     // 1.0
           DigitsCase{0x41480000, " |125|2"},                   // 12.5
           DigitsCase{0xC0500000, "-|325|1"},                   // -3.25
           DigitsCase{0x3DCCCCCD, " |10000000149011612|0"},     // 0.1: 18th digit 9 rounds up
           DigitsCase{0x40555555, " |33333332538604736|1"},     // ...047363: 18th digit 3 is cut
           DigitsCase{0x47F1205A, " |123456703125|6"},          // 123456.703125
           DigitsCase{0x38000000, " |30517578125|-4"},          // 2^-15
           DigitsCase{0x501502F9, " |1|11"},                    // 10^10
           DigitsCase{0x4B800000, " |16777216|8"},              // 2^24
           DigitsCase{0x3F7FFFFF, " |99999994039535522|0"},     // 0.999999940395355224
           DigitsCase{0x00000000, " |0|0"},
           DigitsCase{0x80000000, " |0|0"},                     // -0.0: sign blank
       }) {
    EXPECT_EQ(describe(to_decimal_digits(c.bits)), c.expected) << hex(c.bits);
  }
}

// The estimate of E from the binary exponent is E or E - 1: check both sides
// of every power of ten that a 32-bit real holds exactly, and the limits.
TEST(RealEditing, LeadingDigitsAtPowersOfTen) {
  struct LeadCase {
    std::uint32_t bits;
    std::uint64_t digits;
    int exponent;
  };
  for (const LeadCase& c : {
           LeadCase{0x3F7FFFFF, 999999940395355224ULL, 0},   // below 1
           LeadCase{0x3F800000, 100000000000000000ULL, 1},   // 1
           LeadCase{0x411FFFFF, 999999904632568359ULL, 1},
           LeadCase{0x41200000, 100000000000000000ULL, 2},   // 10
           LeadCase{0x4479FFFF, 999999938964843750ULL, 3},
           LeadCase{0x447A0000, 100000000000000000ULL, 4},   // 1000
           LeadCase{0x4B18967F, 999999900000000000ULL, 7},
           LeadCase{0x4B189680, 100000000000000000ULL, 8},   // 10^7
           LeadCase{0x501502F8, 999999897600000000ULL, 10},
           LeadCase{0x501502F9, 100000000000000000ULL, 11},  // 10^10
           LeadCase{0x5D5E0B6B, 999999984306749440ULL, 18},  // 999999984306749440, exact
           LeadCase{0x53800000, 109951162777600000ULL, 13},  // 2^40: the product is shifted left
           LeadCase{0x5D000000, 576460752303423488ULL, 18},  // 2^59: last binary exponent multiplied
           LeadCase{0x5D800000, 115292150460684697ULL, 19},  // 2^60: first one divided by 5^q
           LeadCase{0x00000001, 140129846432481707ULL, -44}, // 2^-149
           LeadCase{0x00000002, 280259692864963414ULL, -44},
           LeadCase{0x007FFFFF, 117549421069244107ULL, -37}, // largest subnormal
           LeadCase{0x00800000, 117549435082228750ULL, -37}, // smallest normal
           LeadCase{0x7F7FFFFF, 340282346638528859ULL, 39},  // largest
           LeadCase{0x7F000000, 170141183460469231ULL, 39},  // 2^127
       }) {
    const detail::LeadingDigits l = detail::leading_digits(c.bits);
    EXPECT_EQ(l.digits, c.digits) << hex(c.bits);
    EXPECT_EQ(l.exponent, c.exponent) << hex(c.bits);
    // The sign bit does not change the digits.
    const detail::LeadingDigits n = detail::leading_digits(c.bits | 0x80000000U);
    EXPECT_EQ(n.digits, c.digits) << hex(c.bits);
    EXPECT_EQ(n.exponent, c.exponent) << hex(c.bits);
  }
}

// The 18 -> 17 rounding. No 32-bit real has 17 nines followed by a digit of 5
// or more (a one-off run over every 32-bit pattern found none), so these
// start from 18 digits.
TEST(RealEditing, SeventeenDigitRoundingAndCarry) {
  struct RoundCase {
    std::uint64_t digits18;
    int exponent;
    const char* expected;  // sign|digits|exponent
  };
  for (const RoundCase& c : {
           RoundCase{999999999999999995ULL, 3, " |1|4"},                    // through 17 nines
           RoundCase{999999999999999999ULL, -5, " |1|-4"},
           RoundCase{999999999999999994ULL, 3, " |99999999999999999|3"},    // 4: cut
           RoundCase{123456789012345675ULL, 1, " |12345678901234568|1"},
           RoundCase{123456789012345674ULL, 1, " |12345678901234567|1"},
           RoundCase{100000000000000004ULL, 7, " |1|7"},                    // zeros dropped
           RoundCase{100000000000000005ULL, 7, " |10000000000000001|7"},
           RoundCase{199999999999999995ULL, 2, " |2|2"},                    // carry, no new digit
           RoundCase{120000000000000000ULL, 2, " |12|2"},
       }) {
    const DecimalDigits d = detail::digits_from_leading(' ', detail::LeadingDigits{c.digits18, c.exponent});
    EXPECT_EQ(describe(d), c.expected) << c.digits18;
  }
  EXPECT_EQ(describe(detail::digits_from_leading('-', {999999999999999995ULL, 3})), "-|1|4");
}

// Two roundings, each half up: a 17-digit carry can change the 7th digit or
// make an 8th digit of 5 that the exact value does not have. A one-off run
// over every 32-bit pattern found no 32-bit real in either case, so these
// start from 18 digits.
TEST(RealEditing, DoubleRoundingEighteenSeventeenSeven) {
  // 1234567|4999999999|5 (18 digits): the 17 digits are 12345675000000000,
  // so the 8th digit becomes 5 and the 7 digits round up, although the exact value
  // lies below the half.
  DecimalDigits d = detail::digits_from_leading(' ', {123456749999999995ULL, 1});
  EXPECT_EQ(describe(d), " |12345675|1");
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |1234568|1");

  // 1234567|9999999999|5: the 17-digit carry changes the 7th digit itself,
  // and 7 digits are left.
  d = detail::digits_from_leading(' ', {123456799999999995ULL, 1});
  EXPECT_EQ(describe(d), " |1234568|1");
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |1234568|1");

  // 9999999|9999999999|5: the carry runs through 17 nines at the first
  // rounding; the exponent grows there, and nothing is left to round at 7.
  d = detail::digits_from_leading('-', {999999999999999995ULL, 0});
  EXPECT_EQ(describe(d), "-|1|1");
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), "-|1|1");

  // 1234567|4999999999|4: the 18th digit is cut, and the 7 digits stay.
  d = detail::digits_from_leading(' ', {123456749999999994ULL, 1});
  EXPECT_EQ(describe(d), " |12345674999999999|1");
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |1234567|1");
}

TEST(RealEditing, Subnormals) {
  check_all({
      {0x00000001, "1.401298E-45"},      // 2^-149
      {0x80000001, "-1.401298E-45"},
      {0x00000002, "2.802597E-45"},
      {0x00000003, "4.203895E-45"},
      {0x000FFFFF, "1.469367E-39"},
      {0x007FFFFF, "1.175494E-38"},      // largest subnormal, 1.17549421...E-38
      {0x807FFFFF, "-1.175494E-38"},
      {0x00800000, "1.175494E-38"},      // smallest normal, 1.17549435...E-38
  });
  EXPECT_EQ(describe(to_decimal_digits(0x00000001)), " |14012984643248171|-44");
  EXPECT_EQ(describe(to_decimal_digits(0x80000001)), "-|14012984643248171|-44");
  EXPECT_EQ(describe(to_decimal_digits(0x007FFFFF)), " |11754942106924411|-37");
}

TEST(RealEditing, Limits) {
  check_all({
      {0x7F7FFFFF, "3.402823E+38"},      // 340282346638528859811704183484516925440
      {0xFF7FFFFF, "-3.402823E+38"},
      {0x7F000000, "1.701412E+38"},      // 2^127
      {0x00000001, "1.401298E-45"},
  });
  EXPECT_EQ(describe(to_decimal_digits(0x7F7FFFFF)), " |34028234663852886|39");
  EXPECT_EQ(describe(to_decimal_digits(0xFF7FFFFF)), "-|34028234663852886|39");
}

TEST(RealEditing, NegativeValues) {
  check_all({
      {0xC0500000, "-3.250000"},
      {0xBF800000, "-1.000000"},
      {0xC996B43C, "-1234568.000000"},   // 15 characters, no blank left in the field
      {0xBAA1D132, "-1.234567E-03"},     // 13 characters
      {0xE0AD78EC, "-1.000000E+20"},
      {0xBF000000, "-5.000000E-01"},
      {0x80000000, "0.000000E+00"},      // -0.0 prints like zero
  });
}

TEST(RealEditing, SpecialTexts) {
  check_all({
      {0x7F800000, "1#INF........"},     // +infinity
      {0xFF800000, "1#INF........"},     // -infinity: no sign
      {0x7FC00000, "1#QNAN......."},     // default quiet NaN, positive
      {0xFFC00000, "1#IND........"},     // the indefinite: sign set, quiet bit alone
      {0xFFC00001, "1#QNAN......."},     // not exactly the indefinite
      {0x7FC00001, "1#QNAN......."},
      {0x7FFFFFFF, "1#QNAN......."},
      {0xFFFFFFFF, "1#QNAN......."},
      {0xFFE00000, "1#QNAN......."},
      {0x7F800001, "1#SNAN......."},     // quiet bit clear, fraction not zero
      {0xFF800001, "1#SNAN......."},
      {0x7FA00000, "1#SNAN......."},
      {0x7FBFFFFF, "1#SNAN......."},
      {0xFFBFFFFF, "1#SNAN......."},
  });
  const DecimalDigits inf = to_decimal_digits(0xFF800000);
  EXPECT_FALSE(inf.finite);
  EXPECT_EQ(digit_string(inf), "1#INF");
  const DecimalDigits ind = to_decimal_digits(0xFFC00000);
  EXPECT_FALSE(ind.finite);
  EXPECT_EQ(digit_string(ind), "1#IND");
  EXPECT_EQ(digit_string(to_decimal_digits(0x7FC00000)), "1#QNAN");
  EXPECT_EQ(digit_string(to_decimal_digits(0x7F800001)), "1#SNAN");
  // round_digits_at leaves a special text alone.
  DecimalDigits snan = to_decimal_digits(0x7F800001);
  EXPECT_FALSE(round_digits_at(snan, 3));
  EXPECT_EQ(digit_string(snan), "1#SNAN");
}

TEST(RealEditing, RoundDigitsAt) {
  // p digits or fewer: nothing changes.
  DecimalDigits d = make_digits(' ', "1234567", 3);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |1234567|3");
  d = make_digits('-', "12", 3);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), "-|12|3");
  // Digit p+1 of 0 to 4: cut (trailing zeros of the kept part stay).
  d = make_digits(' ', "12345604", 3);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |1234560|3");
  d = make_digits(' ', "12345674999999999", 3);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |1234567|3");
  // Digit p+1 of 5 to 9: up, carries to the left.
  d = make_digits(' ', "12345675", 3);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |1234568|3");
  d = make_digits('-', "129999995", -2);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), "-|1300000|-2");
  // Through all p digits: 1 and p zeros, exponent + 1, a carry reported.
  d = make_digits(' ', "99999995", 7);
  EXPECT_TRUE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |10000000|8");
  d = make_digits('-', "99999999999999999", -1);
  EXPECT_TRUE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), "-|10000000|0");
  // Other positions.
  d = make_digits(' ', "95", 1);
  EXPECT_TRUE(round_digits_at(d, 1));
  EXPECT_EQ(describe(d), " |10|2");
  d = make_digits(' ', "12345678901234567", 1);
  EXPECT_FALSE(round_digits_at(d, 16));
  EXPECT_EQ(describe(d), " |1234567890123457|1");
  d = make_digits(' ', "12345678901234567", 1);
  EXPECT_FALSE(round_digits_at(d, 17));
  EXPECT_EQ(describe(d), " |12345678901234567|1");
  // "-" with only zeros left becomes blank (a string that does not start
  // with a digit other than 0 is the only way to see it).
  d = make_digits('-', "00000003", 1);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), " |0000000|1");
  d = make_digits('-', "00000005", 1);
  EXPECT_FALSE(round_digits_at(d, 7));
  EXPECT_EQ(describe(d), "-|0000001|1");
  // p = 0 keeps nothing: zero, or 1 at the next power of ten.
  d = make_digits('-', "4", 2);
  EXPECT_FALSE(round_digits_at(d, 0));
  EXPECT_EQ(describe(d), " |0|0");
  d = make_digits('-', "5", 2);
  EXPECT_TRUE(round_digits_at(d, 0));
  EXPECT_EQ(describe(d), "-|1|3");
}

// Every length a result can have: fixed 8 to 15, exponent 12 or 13, special 13.
TEST(RealEditing, Lengths) {
  EXPECT_EQ(edit_real(0x3F800000).length, 8);   // 1.000000
  EXPECT_EQ(edit_real(0xCB18967F).length, 15);  // -9999999.000000
  EXPECT_EQ(edit_real(0x3F000000).length, 12);  // 5.000000E-01
  EXPECT_EQ(edit_real(0xBF000000).length, 13);  // -5.000000E-01
  EXPECT_EQ(edit_real(0x7F800000).length, 13);  // 1#INF........
}

}  // namespace
}  // namespace laplace::console_io
