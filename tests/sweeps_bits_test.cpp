// The sweeps to the bit: every computed value is checked as a 32-bit pattern,
// not as printed text, so that a difference in the last place shows in every
// build, whatever the compiler and the processor.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/in_process.h"

namespace laplace::testing {
namespace {

std::string hex(std::uint32_t bits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", bits);
  return text;
}

std::string hex(float value) { return hex(std::bit_cast<std::uint32_t>(value)); }

struct Finished {
  std::unique_ptr<Program> program = std::make_unique<Program>();
  int status = -1;

  const solver::SolverState& state() const { return *program->state; }
  const std::string& out() const { return program->platform.out; }
  const std::string& err() const { return program->platform.err; }
};

// One pass through the dialogue: spacings, the four boundary values, "Y"
// twice, the count, then "D" at the menu.
std::string session(const std::string& spacings, int lower, int right, int left, int upper,
                    int count) {
  std::string input = spacings + "\n";
  for (int value : {lower, right, left, upper}) input += std::to_string(value) + "\n";
  return input + "Y\nY\n" + std::to_string(count) + "\nD\n";
}

Finished run_session(const std::string& input) {
  Finished f;
  f.program->platform.input = input;
  f.status = f.program->run();
  return f;
}

// The 15 interior values of a layer, rows 2 to 4, columns 2 to 6.
std::vector<std::string> interior(const solver::SolverState& s, int n) {
  std::vector<std::string> values;
  for (int j = 2; j <= 4; ++j) {
    for (int i = 2; i <= 6; ++i) values.push_back(hex(s.grid.at(i, j, n)));
  }
  return values;
}

std::vector<std::string> hex_all(const std::vector<float>& values) {
  std::vector<std::string> out;
  for (float v : values) out.push_back(hex(v));
  return out;
}

TEST(SweepsBits, UnitSpacingsGiveTheExactDyadicLayers) {
  const Finished f = run_session(session("1 1", 0, 0, 0, 100, 3));
  ASSERT_EQ(f.status, 0) << f.err();
  EXPECT_EQ(hex(f.state().coefficient), hex(0.25f));
  EXPECT_EQ(interior(f.state(), 1), hex_all(std::vector<float>(15, 25.0f)));
  EXPECT_EQ(interior(f.state(), 2), hex_all({12.5f, 18.75f, 18.75f, 18.75f, 12.5f,     //
                                             18.75f, 25.0f, 25.0f, 25.0f, 18.75f,      //
                                             37.5f, 43.75f, 43.75f, 43.75f, 37.5f}));
  EXPECT_EQ(interior(f.state(), 3),
            hex_all({9.375f, 14.0625f, 15.625f, 14.0625f, 9.375f,        //
                     18.75f, 26.5625f, 28.125f, 26.5625f, 18.75f,        //
                     40.625f, 51.5625f, 53.125f, 51.5625f, 40.625f}));
}

TEST(SweepsBits, HorizontalTermIsRoundedTo32BitsBeforeTheSum) {
  const Finished f = run_session(session("0.1 0.3", 0, 0, 0, 100, 2));
  ASSERT_EQ(f.status, 0) << f.err();
  EXPECT_EQ(hex(f.state().dx), hex(0x3DCCCCCDu));
  EXPECT_EQ(hex(f.state().dy), hex(0x3E99999Au));
  EXPECT_EQ(hex(f.state().coefficient), hex(0x3B9374BDu));
  // 2500.0 from the quotient 2499.99992549...; the unrounded quotient would
  // give 12.5 exactly (0x41480000). Column 6 mirrors column 2.
  EXPECT_EQ(hex(f.state().grid.at(2, 2, 2)), hex(0x41480001u));
  EXPECT_EQ(hex(f.state().grid.at(6, 2, 2)), hex(0x41480001u));
}

TEST(SweepsBits, VerticalTermEntersTheSumAtDoublePrecision) {
  const Finished f = run_session(session("0.1 0.1", 1, 0, 0, 0, 2));
  ASSERT_EQ(f.status, 0) << f.err();
  EXPECT_EQ(hex(f.state().coefficient), hex(0x3B23D70Bu));
  // Rounding the vertical quotient 99.99999701976783 to 100.0 first would
  // give 0x3E800001.
  std::vector<std::string> expected(5, hex(0x3E800000u));
  expected.resize(15, hex(0u));
  EXPECT_EQ(interior(f.state(), 2), expected);
}

// Long runs, folded into one fingerprint each: FNV-1a (64 bits) over the
// 32-bit pattern of every computed value, taken as one word, in the order of
// the records (layer, row, column). The expected spacings, coefficients and
// fingerprints were computed separately from the formulas, in Python, with
// IEEE double arithmetic and struct's rounding to 32 bits.
std::uint64_t fingerprint(const solver::SolverState& s, int last_layer) {
  std::uint64_t h = 0xCBF29CE484222325u;
  for (int n = 2; n <= last_layer; ++n) {
    for (int j = 2; j <= 4; ++j) {
      for (int i = 2; i <= 6; ++i) {
        h = (h ^ std::bit_cast<std::uint32_t>(s.grid.at(i, j, n))) * 0x100000001B3u;
      }
    }
  }
  return h;
}

struct LongRun {
  const char* spacings;
  int lower, right, left, upper, count;
  std::uint32_t dx, dy, coefficient;
  std::uint64_t fingerprint;
};

TEST(SweepsBits, LongRunsMatchAnIndependentComputation) {
  const LongRun runs[] = {
      {"0.1 0.3", 16777217, -5, 7, 100, 400,  //
       0x3DCCCCCD, 0x3E99999A, 0x3B9374BD, 0xF589920AF3450B8Du},
      // Negative spacings enter only as squares: the same layers as above.
      {"-0.1 0.3", 16777217, -5, 7, 100, 400,  //
       0xBDCCCCCD, 0x3E99999A, 0x3B9374BD, 0xF589920AF3450B8Du},
      {"1e-3 7", -16777217, 2147483, 0, -100, 600,  //
       0x3A83126F, 0x40E00000, 0x350637BE, 0xA1AE5F13432BE303u},
      {"3.7 0.01", 1, 2, 3, 4, 1000,  //
       0x406CCCCD, 0x3C23D70A, 0x3851B6B2, 0x077D00E9A7FA5628u},
      {"1 1", 0, 0, 0, 100, 3,  //
       0x3F800000, 0x3F800000, 0x3E800000, 0x3A8ED39F93022A1Du},
  };
  for (const LongRun& r : runs) {
    SCOPED_TRACE(std::string(r.spacings) + ", " + std::to_string(r.count) + " layers");
    const Finished f = run_session(session(r.spacings, r.lower, r.right, r.left, r.upper, r.count));
    ASSERT_EQ(f.status, 0) << f.err();
    EXPECT_EQ(hex(f.state().dx), hex(r.dx));
    EXPECT_EQ(hex(f.state().dy), hex(r.dy));
    EXPECT_EQ(hex(f.state().coefficient), hex(r.coefficient));
    EXPECT_EQ(fingerprint(f.state(), r.count), r.fingerprint);
  }
}

TEST(SweepsBits, TinyValuesGoSubnormalOrZeroWithoutATrap) {
  // The coefficient 2.5E-41 is stored as a subnormal; every value is 0.0.
  const Finished tiny = run_session(session("1E-20 1E-20", 0, 0, 0, 0, 3));
  ASSERT_EQ(tiny.status, 0) << tiny.err();
  EXPECT_EQ(hex(tiny.state().coefficient), hex(0x000045B1u));
  EXPECT_EQ(interior(tiny.state(), 3), std::vector<std::string>(15, hex(0u)));
  // A zero spacing traps only in a layer; with none to compute nothing does.
  const Finished none = run_session(session("0 1", 0, 0, 0, 100, 1));
  EXPECT_EQ(none.status, 0) << none.err();
  EXPECT_EQ(hex(none.state().coefficient), hex(0u));
}

struct TrapCase {
  const char* spacings;
  int upper, count;
  const char* report;   // number and word of the floating-point error report
  const char* printed;  // what follows the count prompt on standard output
};

TEST(SweepsBits, TrapsEndTheRunBeforeTheRecordTheyConcern) {
  const char* const PROMPT = "How Many Iterations Should be Calculated?";
  const TrapCase cases[] = {
      {"0 0", 100, 2, "M6101: MATH\r\n- floating-point error: invalid", ""},
      {"0 1", 100, 2, "M6103: MATH\r\n- floating-point error: divide by zero", ""},
      {"0 1", 0, 2, "M6101: MATH\r\n- floating-point error: invalid", ""},
      {"1 0", 100, 2, "M6103: MATH\r\n- floating-point error: divide by zero", ""},
      {"1E20 1E20", 100, 2, "M6104: MATH\r\n- floating-point error: overflow", ""},
      // No layer: the trap waits for the closing record's first real.
      {"1E20 1E20", 100, 1, "M6104: MATH\r\n- floating-point error: overflow", " \r\n"},
      // The vertical term's 32-bit copy overflows though the update would not.
      {"1 1E-20", 100, 2, "M6104: MATH\r\n- floating-point error: overflow", ""},
      // The coefficient underflows silently; the horizontal term overflows.
      {"1E-30 1E-30", 100, 2, "M6104: MATH\r\n- floating-point error: overflow", ""},
  };
  for (const TrapCase& c : cases) {
    SCOPED_TRACE(std::string(c.spacings) + ", upper " + std::to_string(c.upper) + ", count " +
                 std::to_string(c.count));
    const Finished f = run_session(session(c.spacings, 0, 0, 0, c.upper, c.count));
    EXPECT_EQ(f.status, 1);
    EXPECT_EQ(f.err(), std::string("\r\nrun-time error ") + c.report + "\r\n");
    const std::size_t at = f.out().rfind(PROMPT);
    ASSERT_NE(at, std::string::npos) << f.out();
    EXPECT_EQ(f.out().substr(at), std::string(PROMPT) + "\r\n" + c.printed);
  }
}

}  // namespace
}  // namespace laplace::testing
