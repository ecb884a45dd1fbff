// Real text: the forms of a real, the flags of convert_real_text,
// the 24-digit cut, the exponent cap, and the checks and rounding of
// store_real32, with the tables of accepted and rejected texts.
#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "console_io/real_conversion.h"

namespace laplace::console_io {
namespace {

using S = Real32Status;

// Converts a copy of `text` in a heap block of exactly its length, so that
// AddressSanitizer catches any read beyond it.
RealResult convert(std::string_view text) {
  const std::unique_ptr<char[]> copy(new char[text.size()]);
  text.copy(copy.get(), text.size());
  return convert_real_text(copy.get(), text.size());
}

Real32Result store(std::string_view text) {
  const std::unique_ptr<char[]> copy(new char[text.size()]);
  text.copy(copy.get(), text.size());
  return store_real32(copy.get(), text.size());
}

std::uint64_t bits_of(double x) { return std::bit_cast<std::uint64_t>(x); }
std::uint32_t bits_of(float x) { return std::bit_cast<std::uint32_t>(x); }

const char* status_name(Real32Status s) {
  switch (s) {
    case S::ok: return "ok";
    case S::beyond_double: return "beyond double (6102)";
    case S::not_a_number: return "not a number (6103)";
    case S::beyond_single: return "beyond single (6104)";
  }
  return "?";
}

std::string hex(std::uint64_t x) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "0x%016llX", static_cast<unsigned long long>(x));
  return buffer;
}

// --- store_real32 -----------------------------------------------------------

struct StoreCase {
  std::string text;
  std::uint32_t bits;  // when ok
  Real32Status status;
};

void check_store(const StoreCase& c) {
  const Real32Result r = store(c.text);
  EXPECT_STREQ(status_name(r.status), status_name(c.status)) << "text \"" << c.text << "\"";
  if (c.status == S::ok && r.status == S::ok) {
    EXPECT_EQ(hex(bits_of(r.value)), hex(c.bits)) << "text \"" << c.text << "\"";
  }
}

constexpr std::uint32_t ONE_HALF = 0x3F000000;
constexpr std::uint32_t LARGEST_SINGLE = 0x7F7FFFFF;
constexpr std::uint32_t NEGATIVE_ZERO = 0x80000000;

TEST(RealConversion, StoreTableOfThePart) {
  const StoreCase cases[] = {
      {"0.5", ONE_HALF, S::ok},
      {".5", ONE_HALF, S::ok},
      {"5E-1", ONE_HALF, S::ok},
      {"50D-2", ONE_HALF, S::ok},
      {"5.", 0x40A00000, S::ok},
      {"-25E-2", 0xBE800000, S::ok},
      {"1.5D0", 0x3FC00000, S::ok},
      {"1+5", 0x47C35000, S::ok},
      {"0.1", 0x3DCCCCCD, S::ok},
      {"3.402823466E38", LARGEST_SINGLE, S::ok},
      {"3.4028235E38", 0, S::beyond_single},
      {"1E39", 0, S::beyond_single},
      {"1E309", 0, S::beyond_double},
      {"1E6000", 0, S::beyond_double},
      {"1E-40", 0x000116C2, S::ok},
      {"1E-50", 0, S::ok},
      {"1E-400", 0, S::ok},
      {"-0", NEGATIVE_ZERO, S::ok},
      {"-0.0E5", NEGATIVE_ZERO, S::ok},
      {"1E", 0, S::not_a_number},
      {"1E+", 0, S::not_a_number},
      {"1.5X", 0, S::not_a_number},
      {"1.0Q0", 0, S::not_a_number},
      {".", 0, S::not_a_number},
      {"+", 0, S::not_a_number},
      {"-", 0, S::not_a_number},
      {"ABC", 0, S::not_a_number},
      {"1E999X", 0, S::beyond_double},
  };
  for (const StoreCase& c : cases) check_store(c);
}

TEST(RealConversion, StoreRangeBound) {
  const StoreCase cases[] = {
      // The bound 0x47EFFFFFE0000001 itself is accepted, as its negative.
      {"3.402823466385289E38", LARGEST_SINGLE, S::ok},
      {"-3.402823466385289E38", 0x80000000u | LARGEST_SINGLE, S::ok},
      {"3.4028234663852886E38", LARGEST_SINGLE, S::ok},  // the largest 32-bit real
      {"340282346638528859811704183484516925440", LARGEST_SINGLE, S::ok},
      // The next 64-bit real above the bound is not.
      {"3.4028234663852894E38", 0, S::beyond_single},
      {"-3.4028234663852894E38", 0, S::beyond_single},
      {"3.40282356779733661637539395458142568448E38", 0, S::beyond_single},  // halfway to 2^128
      {"-1E39", 0, S::beyond_single},
      {"1.7976931348623157E308", 0, S::beyond_single},
      {"-1.7976931348623157E308", 0, S::beyond_single},
      {"1.7976931348623159E308", 0, S::beyond_double},
      {"-1E309", 0, S::beyond_double},
      {"1E5200", 0, S::beyond_double},
      {"1E5201", 0, S::beyond_double},
      {"1E99999999999999999999999", 0, S::beyond_double},
      {"1E309 ", 0, S::beyond_double},  // before the text left
      {"1E39X", 0, S::not_a_number},     // before the 32-bit range
  };
  for (const StoreCase& c : cases) check_store(c);
}

TEST(RealConversion, StoreRoundsTo32Bits) {
  const StoreCase cases[] = {
      {"16777216", 0x4B800000, S::ok},
      {"16777217", 0x4B800000, S::ok},   // a tie goes to the even neighbour
      {"16777218", 0x4B800001, S::ok},
      {"16777219", 0x4B800002, S::ok},   // a tie goes to the even neighbour
      {"-16777217", 0xCB800000, S::ok},
      {"16777217.0000001", 0x4B800001, S::ok},
      // Rounded twice: the 64-bit real of this text is 16777217 exactly.
      {"16777217.000000001", 0x4B800000, S::ok},
      {"1", 0x3F800000, S::ok},
      {"-1", 0xBF800000, S::ok},
      {"0", 0x00000000, S::ok},
      {"+0", 0x00000000, S::ok},
      {"-0E-9999", NEGATIVE_ZERO, S::ok},
      {"1.17549435E-38", 0x00800000, S::ok},  // the least normal 32-bit real
      {"1.1754942E-38", 0x007FFFFF, S::ok},   // the largest subnormal one
      {"1.4E-45", 0x00000001, S::ok},         // the least subnormal one
      {"1E-45", 0x00000001, S::ok},
      {"-1E-45", 0x80000001, S::ok},
      {"-1E-40", 0x800116C2, S::ok},
      {"7.00649232162408535461864791644958065640130970938257885878534141944895541342930300743319094181060791015625E-46",
       0x00000000, S::ok},                    // 2^-150, half the least subnormal: to even
      {"7.0064923216240862E-46", 0x00000001, S::ok},
      {"7E-46", 0x00000000, S::ok},
      {"2.1019476964872256E-45", 0x00000002, S::ok},  // 1.5 x 2^-149: to even
      {"-1E-50", NEGATIVE_ZERO, S::ok},
      {"1E-320", 0x00000000, S::ok},          // a subnormal 64-bit real
      {"-1E-5201", NEGATIVE_ZERO, S::ok},
  };
  for (const StoreCase& c : cases) check_store(c);
}

// --- convert_real_text ------------------------------------------------------

struct Flags {
  bool no_number = false;
  bool overflow = false;
  bool underflow = false;
  bool text_left = false;
};

struct RealCase {
  std::string text;
  std::uint64_t bits;  // when not overflow
  Flags flags;
};

constexpr Flags NONE{};
constexpr Flags LEFT{false, false, false, true};
constexpr Flags NO_NUMBER{true, false, false, true};
constexpr Flags OVERFLOW_{false, true, false, false};
constexpr Flags UNDERFLOW_{false, false, true, false};

constexpr Flags operator|(Flags a, Flags b) {
  return {a.no_number || b.no_number, a.overflow || b.overflow, a.underflow || b.underflow,
          a.text_left || b.text_left};
}

void check_real(const RealCase& c) {
  const RealResult r = convert(c.text);
  const std::string what = "text \"" + c.text + "\"";
  EXPECT_EQ(r.no_number, c.flags.no_number) << what;
  EXPECT_EQ(r.overflow, c.flags.overflow) << what;
  EXPECT_EQ(r.underflow, c.flags.underflow) << what;
  EXPECT_EQ(r.text_left, c.flags.text_left) << what;
  if (!c.flags.overflow) {
    EXPECT_EQ(hex(bits_of(r.value)), hex(c.bits)) << what;
  }
}

constexpr std::uint64_t HALF64 = 0x3FE0000000000000;
constexpr std::uint64_t ONE64 = 0x3FF0000000000000;

TEST(RealConversion, MantissaForms) {
  const RealCase cases[] = {
      {"5", 0x4014000000000000, NONE},
      {"5.", 0x4014000000000000, NONE},
      {".5", HALF64, NONE},
      {"0.5", HALF64, NONE},
      {"+.5", HALF64, NONE},
      {"-.5", 0x8000000000000000 | HALF64, NONE},
      {"5.5", 0x4016000000000000, NONE},
      {"-5.", 0xC014000000000000, NONE},
      {"00000000000000000000000000000000000001.5", 0x3FF8000000000000, NONE},
      {"1.50000000000000000000000000000000000000", 0x3FF8000000000000, NONE},
      {"0.1", 0x3FB999999999999A, NONE},
      {"1500", 0x4097700000000000, NONE},
      {"0.05", 0x3FA999999999999A, NONE},
      {".", 0, NO_NUMBER},
      {"+.", 0, NO_NUMBER},
      {"-.", 0, NO_NUMBER},
      {"+", 0, NO_NUMBER},
      {"-", 0, NO_NUMBER},
      {"", 0, NO_NUMBER},
      {"ABC", 0, NO_NUMBER},
      {"E5", 0, NO_NUMBER},
      {".E5", 0, NO_NUMBER},
      {"--5", 0, NO_NUMBER},
      {"+-5", 0, NO_NUMBER},
      {"..5", 0, NO_NUMBER},
      {"-X", 0, NO_NUMBER},
      {"5..", 0x4014000000000000, LEFT},
      {".5.", HALF64, LEFT},
      {"1.2.3", 0x3FF3333333333333, LEFT},
      {"1,5", ONE64, LEFT},
      {"0x10", 0, LEFT},
      {"1.5\x1a", 0x3FF8000000000000, LEFT},
      {std::string("1\0", 2), ONE64, LEFT},
  };
  for (const RealCase& c : cases) check_real(c);
}

TEST(RealConversion, ExponentForms) {
  const RealCase cases[] = {
      {"1E5", 0x40F86A0000000000, NONE},
      {"1e5", 0x40F86A0000000000, NONE},
      {"1D5", 0x40F86A0000000000, NONE},
      {"1d5", 0x40F86A0000000000, NONE},
      {"1E+5", 0x40F86A0000000000, NONE},
      {"1D+05", 0x40F86A0000000000, NONE},
      {"1+5", 0x40F86A0000000000, NONE},
      {"1+0005", 0x40F86A0000000000, NONE},
      {"1.E5", 0x40F86A0000000000, NONE},
      {".1E6", 0x40F86A0000000000, NONE},
      {"1E-5", 0x3EE4F8B588E368F1, NONE},
      {"1-5", 0x3EE4F8B588E368F1, NONE},
      {"1d-5", 0x3EE4F8B588E368F1, NONE},
      {"2.5-3", 0x3F647AE147AE147B, NONE},
      {"-25E-2", 0xBFD0000000000000, NONE},
      {"50D-2", HALF64, NONE},
      {"1.5D0", 0x3FF8000000000000, NONE},
      {"1E0000000000000000000000000000000000", ONE64, NONE},
      {"1E", ONE64, LEFT},
      {"1e", ONE64, LEFT},
      {"1D", ONE64, LEFT},
      {"1E+", ONE64, LEFT},
      {"1E-", ONE64, LEFT},
      {"1+", ONE64, LEFT},
      {"1-", ONE64, LEFT},
      {"1E+-5", ONE64, LEFT},
      {"1++5", ONE64, LEFT},
      {"1E5.5", 0x40F86A0000000000, LEFT},
      {"1E5E5", 0x40F86A0000000000, LEFT},
      {"1+5+5", 0x40F86A0000000000, LEFT},
      {"1EE5", ONE64, LEFT},
      {"1.0Q0", ONE64, LEFT},
      {"1.5X", 0x3FF8000000000000, LEFT},
      {"1 E5", ONE64, LEFT},
      {"1E 5", ONE64, LEFT},
      {"1X5", ONE64, LEFT},
  };
  for (const RealCase& c : cases) check_real(c);
}

TEST(RealConversion, SignsAndZeros) {
  const RealCase cases[] = {
      {"0", 0, NONE},
      {"+0", 0, NONE},
      {"-0", 0x8000000000000000, NONE},
      {"-0.0E5", 0x8000000000000000, NONE},
      {"-.0", 0x8000000000000000, NONE},
      {"-0.", 0x8000000000000000, NONE},
      {"0E9999", 0, NONE},          // D = 0: zero, whatever the exponent
      {"-0E-9999", 0x8000000000000000, NONE},
      {"000.000E+5201", 0, NONE},
      {"-0X", 0x8000000000000000, LEFT},
      {"-1", 0xBFF0000000000000, NONE},
      {"+1", ONE64, NONE},
  };
  for (const RealCase& c : cases) check_real(c);
}

TEST(RealConversion, LeadingWhiteSpaceIsSkipped) {
  const RealCase cases[] = {
      {" 0.5", HALF64, NONE},
      {"\t\r\n 0.5", HALF64, NONE},
      {" -0.5", 0xBFE0000000000000, NONE},
      {"- 0.5", 0, NO_NUMBER},
      {"0.5 ", HALF64, LEFT},
      {"   ", 0, NO_NUMBER},
  };
  for (const RealCase& c : cases) check_real(c);
}

TEST(RealConversion, RangeLimits) {
  const RealCase cases[] = {
      {"1.7976931348623157E308", 0x7FEFFFFFFFFFFFFF, NONE},
      {"1.7976931348623158E308", 0x7FEFFFFFFFFFFFFF, NONE},  // below the halfway point
      {"-1.7976931348623158E308", 0xFFEFFFFFFFFFFFFF, NONE},
      {"1.7976931348623159E308", 0, OVERFLOW_},
      {"179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497792",
       0x7FEFFFFFFFFFFFFF, NONE},  // 2^1024 - 2^970, halfway, but cut to 24 digits below it
      {"1.79769313486231580793728E308", 0x7FEFFFFFFFFFFFFF, NONE},
      {"1.79769313486231580793729E308", 0, OVERFLOW_},
      {"1E309", 0, OVERFLOW_},
      {"-1E309", 0, OVERFLOW_},
      {"1E5200", 0, OVERFLOW_},
      {"1E5201", 0, OVERFLOW_},
      {"1E99999999999999999999999999", 0, OVERFLOW_},
      {"0.00000001E5205", 0, OVERFLOW_},  // 5205 counts as 5201
      {"1E999X", 0, OVERFLOW_ | LEFT},
      {"2.2250738585072014E-308", 0x0010000000000000, NONE},  // the least normal
      {"2.2250738585072009E-308", 0x000FFFFFFFFFFFFF, UNDERFLOW_},
      {"4.9406564584124654E-324", 0x0000000000000001, UNDERFLOW_},
      {"-4.9406564584124654E-324", 0x8000000000000001, UNDERFLOW_},
      {"2.4703282292062328E-324", 0x0000000000000001, UNDERFLOW_},  // above half the least
      {"2.4703282292062327E-324", 0, UNDERFLOW_},                   // below half the least
      {"2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264991818081799618989828234772285886546332835517796989819938739800539093906315035659515570226392290858392449105184435931802849936536152500319370457678249219365623669863658480757001585769269903706311928279558551332927834338409351978015531246597263579574622766465272827220056374006485499977096599470454020828166226237857393450736339007967761930577506740176324673600968951340535537458516661134223766678604162159680461914467291840300530057530849048765391711386591646239524912623653881879636239373280423891018672348497668235089863388587925628302755995657524455507255189313690836254779186948667994968324049705821028513185451396213837722826145437693412532098591327667236328125E-324",
       0, UNDERFLOW_},  // exactly half the least subnormal (cut to 24 digits, so below)
      {"1E-320", 0x00000000000007E8, UNDERFLOW_},
      {"1E-324", 0, UNDERFLOW_},
      {"1E-400", 0, UNDERFLOW_},
      {"1E-5200", 0, UNDERFLOW_},
      {"1E-5201", 0, UNDERFLOW_},
      {"-1E-5201", 0x8000000000000000, UNDERFLOW_},
      {"1E-99999999999999999999999999", 0, UNDERFLOW_},
      {"100000000000000000000000000000E-5230", 0, UNDERFLOW_},  // -5230 counts as -5201: 1E-5172
  };
  for (const RealCase& c : cases) check_real(c);
}

TEST(RealConversion, OnlyTheFirst24SignificantDigitsCount) {
  const RealCase cases[] = {
      // 2^53 + 1 is halfway between two 64-bit reals; the digits after the
      // 24th would lift it above, but they are cut: ties to even.
      {"9007199254740993", 0x4340000000000000, NONE},
      {"9007199254740993.000000001", 0x4340000000000000, NONE},  // 25 digits
      {"9007199254740993.0000000099999", 0x4340000000000000, NONE},
      {"9007199254740993.00000001", 0x4340000000000001, NONE},   // 24 digits: above
      {"9007199254740993.0000001", 0x4340000000000001, NONE},
      {"-9007199254740993.000000001", 0xC340000000000000, NONE},
      {"9007199254740995.000000001", 0x4340000000000002, NONE},  // a tie, to even upwards
      {"0.00009007199254740993000000001E20", 0x4340000000000000, NONE},
      // Digits beyond the 24th still count as places before the point.
      {"100000000000000000000000000000", 0x45F431E0FAE6D721, NONE},  // 1E29
      {"1000000000000000000000000000009", 0x46293E5939A08CEA, NONE},  // 1E30
      {"123456789012345678901234999.5", 0x455987BF7C563CAA, NONE},  // 123456789012345678901234E3,
  };
  for (const RealCase& c : cases) check_real(c);
}

TEST(RealConversion, ReadsNothingBeyondTheLength) {
  EXPECT_EQ(convert_real_text("1.5E3", 3).value, 1.5);
  EXPECT_FALSE(convert_real_text("1.5E3", 3).text_left);
  EXPECT_EQ(convert_real_text("1.5E3", 4).value, 1.5);
  EXPECT_TRUE(convert_real_text("1.5E3", 4).text_left);
  EXPECT_EQ(convert_real_text("2+5", 2).value, 2.0);
  EXPECT_TRUE(convert_real_text("2+5", 2).text_left);
  EXPECT_TRUE(convert_real_text(nullptr, 0).no_number);
  EXPECT_EQ(store_real32("0.25X", 4).value, 0.25f);
}

// Every 32-bit real written in its shortest form, and every 64-bit real
// written with 17 digits, comes back to itself; std::to_chars is exact.
TEST(RealConversion, RoundTripsPrintedReals) {
  std::mt19937_64 random(20240611);
  char buffer[64];
  for (int n = 0; n < 200000; ++n) {
    const std::uint64_t u = random();
    const auto x = std::bit_cast<double>(u);
    if (!std::isfinite(x)) continue;
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 16);
    ASSERT_EQ(ec, std::errc{});
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const RealResult r = convert(text);
    ASSERT_FALSE(r.text_left) << text;
    ASSERT_EQ(hex(bits_of(r.value)), hex(u)) << text;

    const auto f = std::bit_cast<float>(static_cast<std::uint32_t>(u));
    if (!std::isfinite(f)) continue;
    const auto [fend, fec] = std::to_chars(buffer, buffer + sizeof buffer, f);
    ASSERT_EQ(fec, std::errc{});
    const std::string_view ftext(buffer, static_cast<std::size_t>(fend - buffer));
    const Real32Result s = store(ftext);
    ASSERT_EQ(s.status, S::ok) << ftext;
    ASSERT_EQ(bits_of(s.value), bits_of(f)) << ftext;
  }
}

// The conversion uses integer arithmetic only: the processor's rounding
// mode does not change any result.
TEST(RealConversion, IndependentOfTheRoundingMode) {
  const char* texts[] = {"0.1", "1.5D0", "16777217", "3.402823466E38", "1E-40", "2.5-3",
                         "1.7976931348623158E308", "4.9406564584124654E-324", "9007199254740993",
                         "0.3", "-0.7", "123456789012345678901234"};
  RealResult expected[std::size(texts)];
  Real32Result expected32[std::size(texts)];
  for (std::size_t k = 0; k < std::size(texts); ++k) {
    expected[k] = convert(texts[k]);
    expected32[k] = store(texts[k]);
  }
  const int saved = std::fegetround();
  for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    ASSERT_EQ(std::fesetround(mode), 0);
    for (std::size_t k = 0; k < std::size(texts); ++k) {
      const RealResult r = convert(texts[k]);
      const Real32Result s = store(texts[k]);
      EXPECT_EQ(bits_of(r.value), bits_of(expected[k].value)) << texts[k] << " in mode " << mode;
      EXPECT_EQ(bits_of(s.value), bits_of(expected32[k].value)) << texts[k] << " in mode " << mode;
    }
  }
  std::fesetround(saved);
}

}  // namespace
}  // namespace laplace::console_io
