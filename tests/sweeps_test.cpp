// The sweeps through the whole program: the records printed before a trap,
// the floating-point error report, the exit status, and long runs.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "console_io/output_statement.h"
#include "console_io/real_editing.h"
#include "runtime/float_arithmetic.h"
#include "tests/support/in_process.h"
#include "tests/support/process_runner.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using namespace dialogue;

std::string report_of_trap(const char* number, const char* word) {
  return std::string("\r\nrun-time error M") + number + ": MATH\r\n- floating-point error: " + word + "\r\n";
}

const char* ZERO = "0.000000E+00";

struct Trap {
  const char* name;
  std::string answers;
  Records records;   // what standard output shows, every line end written
  std::string report;
};

std::vector<Trap> traps() {
  const Records upper100 = up_to_count(ZERO, ZERO, ZERO, "100.000000", "25.000000");
  const Records all_zero = up_to_count(ZERO, ZERO, ZERO, ZERO, ZERO);
  Records coefficient_alone = upper100;
  coefficient_alone.push_back(" ");
  return {
      {"BothSpacingsZero", "0 0\n0\n0\n0\n100\nY\nY\n3\n", upper100, report_of_trap("6101", "invalid")},
      {"BothSpacingsZeroNoLayers", "0 0\n0\n0\n0\n100\nY\nY\n0\n", upper100, report_of_trap("6101", "invalid")},
      {"DxZeroDividesByZero", "0 1\n0\n0\n0\n100\nY\nY\n2\n", upper100, report_of_trap("6103", "divide by zero")},
      {"DxZeroOnZeros", "0 1\n0\n0\n0\n0\nY\nY\n2\n", all_zero, report_of_trap("6101", "invalid")},
      {"DyZeroDividesByZero", "1 0\n0\n0\n0\n100\nY\nY\n2\n", upper100, report_of_trap("6103", "divide by zero")},
      {"CoefficientOverflows", "1E20 1E20\n0\n0\n0\n100\nY\nY\n2\n", upper100, report_of_trap("6104", "overflow")},
      {"CoefficientOverflowsWithoutLayers", "1E20 1E20\n0\n0\n0\n100\nY\nY\n1\n", coefficient_alone,
       report_of_trap("6104", "overflow")},
      {"VerticalTermOverflows", "1 1E-20\n0\n0\n0\n100\nY\nY\n2\n", upper100, report_of_trap("6104", "overflow")},
      {"HorizontalTermOverflows", "1E-30 1E-30\n0\n0\n0\n100\nY\nY\n2\n", upper100,
       report_of_trap("6104", "overflow")},
  };
}

class Traps : public ::testing::TestWithParam<Trap> {};

void PrintTo(const Trap& t, std::ostream* os) { *os << t.name; }

TEST_P(Traps, Redirected) {
  const Session s = run_redirected(GetParam().answers);
  EXPECT_EQ(s.status, 1);
  EXPECT_EQ(s.err, GetParam().report);
  EXPECT_EQ(s.out, bytes(GetParam().records));
}

TEST_P(Traps, AtConsole) {
  const Session s = run_at_console(GetParam().answers);
  EXPECT_EQ(s.status, 1);
  EXPECT_EQ(s.err, GetParam().report);
  EXPECT_EQ(s.out, bytes(GetParam().records));
}

INSTANTIATE_TEST_SUITE_P(Sweeps, Traps, ::testing::ValuesIn(traps()),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Traps, ThroughTheProgramToAFileAndATerminal) {
  for (const Trap& t : {traps()[2], traps()[6]}) {
    for (RunOptions o : {RunOptions{Source::pipe, Sink::file}, RunOptions{Source::terminal, Sink::terminal}}) {
      const RunResult r = run_program(t.answers, o);
      EXPECT_EQ(r.exit_status, 1) << t.name;
      EXPECT_EQ(r.err, t.report) << t.name;
      EXPECT_EQ(r.out, bytes(t.records)) << t.name;
    }
  }
}

TEST(Traps, AFailingGridStoreIsTakenBeforeItsRecordIsWritten) {
  // No set-up reaches a grid value beyond the 32-bit range, so the store and
  // the record that follows it are played here as the sweeps play them.
  FakePlatform platform;
  runtime::RunTime rt(platform);
  console_io::ConsoleIo io(rt);
  console_io::open_console(io);
  runtime::set_float_environment(rt);
  console_io::begin_output(io);
  console_io::put_text(io, "before", 6);
  console_io::end_output(io);
  const float stored = runtime::float_store(rt, 4.0e38);
  try {
    console_io::begin_output(io);
    console_io::put_integer(io, 2);
    console_io::put_integer(io, 2);
    console_io::put_integer(io, 2);
    console_io::put_real(io, stored);
    console_io::end_output(io);
    FAIL() << "the trap was not taken";
  } catch (const ProcessEnded& e) {
    EXPECT_EQ(e.status, 1);
  }
  EXPECT_EQ(platform.out, "before");
  EXPECT_EQ(platform.err, report_of_trap("6104", "overflow"));
}

TEST(Traps, JustBelowTheOverflowThresholdStoresTheLargestReal) {
  FakePlatform platform;
  runtime::RunTime rt(platform);
  runtime::set_float_environment(rt);
  // 2^128 - 2^103 is the first double that rounds to infinity as a 32-bit real.
  const double threshold = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(runtime::float_store(rt, std::nextafter(threshold, 0.0))), 0x7F7FFFFFu);
  EXPECT_FALSE(rt.float_environment.has_pending);
  (void)runtime::float_store(rt, -threshold);
  EXPECT_TRUE(rt.float_environment.has_pending);
}

TEST(Sweeps, SubnormalCoefficientRunsToTheMenu) {
  const Session s = run_redirected("1E-20 1E-20\n0\n0\n0\n0\nY\nY\n2\nD\n");
  EXPECT_EQ(s.status, 0) << s.err;
  Records expected = up_to_count(ZERO, ZERO, ZERO, ZERO, ZERO);
  expected += layer(2, std::vector<const char*>(15, ZERO));
  expected += closing(ZERO, ZERO, ZERO);
  expected += MENU;
  EXPECT_EQ(s.out, bytes(expected));
}

TEST(Sweeps, ClosingRecordShowsLowerRightLeft) {
  const Session s = run_redirected("1 1\n10\n20\n30\n40\nY\nY\n0\nD\n");
  EXPECT_EQ(s.status, 0);
  Records expected = up_to_count("10.000000", "20.000000", "30.000000", "40.000000", "25.000000");
  expected += closing("10.000000", "20.000000", "30.000000");
  expected += MENU;
  EXPECT_EQ(s.out, bytes(expected));
}

TEST(Sweeps, NegativeSpacingsGiveTheResultsOfTheirMagnitudes) {
  const std::string rest = "\n3\n-7\n11\n100\nY\nY\n4\nD\n";
  const Session positive = run_redirected("0.1 0.3" + rest);
  const Session negative = run_redirected("-0.1 -0.3" + rest);
  EXPECT_EQ(positive.status, 0);
  EXPECT_EQ(negative.out, positive.out);
}

// Layer n from layer n - 1 with the prescribed roundings, written out here
// from the formula, for comparison with what the program printed. The values
// are formatted by the real editor, which has tests of its own.
struct Recurrence {
  float dx, dy;
  float g[8][6];  // one-based column, row
  float coefficient() const {
    const double x = dx, y = dy;
    return static_cast<float>((y * y) * (x * x) / ((y * y) * 2.0 + (x * x) * 2.0));
  }
  void step() {
    float next[8][6];
    std::copy(&g[0][0], &g[0][0] + 48, &next[0][0]);
    const float c = coefficient();
    for (int j = 2; j <= 4; ++j) {
      for (int i = 2; i <= 6; ++i) {
        const double x = dx, y = dy;
        const float tx = static_cast<float>((double{g[i + 1][j]} + g[i - 1][j]) / (x * x));
        const double ty = (double{g[i][j + 1]} + g[i][j - 1]) / (y * y);
        next[i][j] = static_cast<float>((ty + tx) * c);
      }
    }
    std::copy(&next[0][0], &next[0][0] + 48, &g[0][0]);
  }
};

std::string edited(float v) {
  const console_io::EditedReal e = console_io::edit_real(std::bit_cast<std::uint32_t>(v));
  return std::string(e.chars.data(), static_cast<std::size_t>(e.length));
}

TEST(Sweeps, LayersBeyondTheGridFollowTheRecurrence) {
  constexpr int LAYERS = 1010;
  const Session s = run_redirected("0.1 0.3\n5\n-3\n17\n100\nY\nY\n" + std::to_string(LAYERS) + "\nD\n");
  ASSERT_EQ(s.status, 0) << s.err;

  Recurrence rec{0.1f, 0.3f, {}};
  for (int i = 1; i <= 7; ++i) rec.g[i][1] = 5.0f;
  for (int j = 2; j <= 4; ++j) rec.g[7][j] = -3.0f, rec.g[1][j] = 17.0f;
  for (int i = 1; i <= 7; ++i) rec.g[i][5] = 100.0f;
  for (int j = 2; j <= 4; ++j)
    for (int i = 2; i <= 6; ++i) rec.g[i][j] = 29.0f;  // (100 + 5 + 17 - 3) / 4

  std::string expected;
  for (int n = 2; n <= LAYERS; ++n) {
    rec.step();
    if (n < 995) continue;
    for (int j = 2; j <= 4; ++j)
      for (int i = 2; i <= 6; ++i) expected += numbers({n, i, j}, {edited(rec.g[i][j]).c_str()}) + "\r\n";
    expected += " \r\n";
  }
  const std::string first = numbers({995, 2, 2}, {}).substr(0, 11);
  const std::size_t at = s.out.find("\r\n" + first);
  ASSERT_NE(at, std::string::npos);
  // Layers 995 to the last, then the closing block.
  EXPECT_EQ(s.out.substr(at + 2, expected.size()), expected);
  // The closing record still shows the edges of the set-up.
  EXPECT_NE(s.out.find(" \r\n" + numbers({}, {"5.000000", "-3.000000", "17.000000"}) + "\r\n \r\n"),
            std::string::npos);
}

TEST(Sweeps, RerunsStartFromTheSetUpAfterALongRun) {
  Program p;
  p.platform.input = "1 1\n0\n0\n0\n100\nY\nY\n1500\nB\n2\nD\n";
  ASSERT_EQ(p.run(), 0);
  const solver::SolverState& s = *p.state;
  for (int j = 2; j <= 4; ++j)
    for (int i = 2; i <= 6; ++i) EXPECT_EQ(s.grid.at(i, j, 1), 25.0f);
  for (int n : {1, 2, 500, 1000}) {
    EXPECT_EQ(s.grid.at(1, 1, n), 0.0f);
    EXPECT_EQ(s.grid.at(4, 5, n), 100.0f);
    EXPECT_EQ(s.grid.at(7, 5, n), 100.0f);
  }
  // The last pass computed layer 2 from layer 1 again.
  EXPECT_EQ(s.grid.at(2, 2, 2), 12.5f);
  EXPECT_EQ(s.grid.at(4, 4, 2), 43.75f);
}

}  // namespace
}  // namespace laplace::testing
