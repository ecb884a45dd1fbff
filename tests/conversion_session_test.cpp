// Numeric answers through the whole program: answers typed at the prompts of the
// dialogue are converted into its variables, bad texts end the program with
// status 1 and the report of their error number on standard error, and
// variables assigned before the failure keep their values.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "tests/support/in_process.h"
#include "tests/support/process_runner.h"

namespace laplace::testing {
namespace {

// Up to the first continue prompt, which "n" answers: the program ends there
// with status 0.
std::string dialogue(const std::string& spacings, const std::string& lower, const std::string& right = "0",
                     const std::string& left = "0", const std::string& upper = "0") {
  return spacings + "\n" + lower + "\n" + right + "\n" + left + "\n" + upper + "\nn\n";
}

std::uint32_t bits_of(float x) { return std::bit_cast<std::uint32_t>(x); }

// The first bytes of the report of an input error.
std::string report_start(int error_number) {
  return "\r\nrun-time error F" + std::to_string(error_number) + ": READ(CON)\r\n- ";
}

struct Outcome {
  Program program;
  int status = -1;

  explicit Outcome(const std::string& input, bool at_console = false) {
    program.platform.input = input;
    if (at_console) {
      program.platform.input_is_character_device = true;
      program.platform.output_is_character_device = true;
      program.platform.line_at_a_time = true;
    }
    status = program.run();
  }
  const solver::SolverState& state() const { return *program.state; }
  const std::string& err() const { return program.platform.err; }
};

void expect_error(const Outcome& run, int error_number, const std::string& input) {
  EXPECT_EQ(run.status, 1) << "input \"" << input << "\"";
  const std::string start = report_start(error_number);
  EXPECT_EQ(run.err().substr(0, start.size()), start) << "input \"" << input << "\"";
  EXPECT_EQ(run.err().substr(run.err().size() - 2), "\r\n") << "input \"" << input << "\"";
}

TEST(ConversionSession, IntegerAnswersAtTheBoundaryPrompts) {
  const Outcome run(dialogue("1 1", "16#FF", "-7", "#ff", "2#101"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err(), "");
  EXPECT_EQ(run.state().lower, 255);
  EXPECT_EQ(run.state().right, -7);
  EXPECT_EQ(run.state().left, 255);
  EXPECT_EQ(run.state().upper, 5);
  EXPECT_EQ(run.state().grid.at(4, 1, 1), 255.0f);  // the lower edge holds the value as a real
  EXPECT_EQ(run.state().grid.at(7, 3, 1), -7.0f);
}

TEST(ConversionSession, IntegerLimitsAndSigns) {
  const Outcome run(dialogue("1 1", "2147483647", "-2147483648", "-", "+0"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.state().lower, 2147483647);
  EXPECT_EQ(run.state().right, -2147483647 - 1);
  EXPECT_EQ(run.state().left, 0);
  EXPECT_EQ(run.state().upper, 0);

  const Outcome radix(dialogue("1 1", "16#FFFFFFFF", "0#10", "36#z", "  -7  "));
  EXPECT_EQ(radix.status, 0);
  EXPECT_EQ(radix.state().lower, -1);
  EXPECT_EQ(radix.state().right, 16);
  EXPECT_EQ(radix.state().left, 35);
  EXPECT_EQ(radix.state().upper, -7);
}

TEST(ConversionSession, CtrlZEndsAnInteger) {
  const Outcome run(dialogue("1 1", "12\x1a" "5", "1\x1a"));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.state().lower, 12);
  EXPECT_EQ(run.state().right, 1);
}

TEST(ConversionSession, RealAnswersForTheSpacings) {
  struct Case {
    const char* line;
    std::uint32_t dx;
    std::uint32_t dy;
  };
  const Case cases[] = {
      {"0.5 0.25", 0x3F000000, 0x3E800000},
      {"1.5D0 -25E-2", 0x3FC00000, 0xBE800000},
      {"1+5 2", 0x47C35000, 0x40000000},
      {".5 5.", 0x3F000000, 0x40A00000},
      {"5E-1,50D-2", 0x3F000000, 0x3F000000},
      {"0.1 3.402823466E38", 0x3DCCCCCD, 0x7F7FFFFF},
      {"1E-40 -0", 0x000116C2, 0x80000000},
      {"1E-50 -0.0E5", 0x00000000, 0x80000000},
      {"2.5-3 1d2", 0x3B23D70A, 0x42C80000},
      {"16777217 16777219", 0x4B800000, 0x4B800002},
      {"2*0.5", 0x3F000000, 0x3F000000},
      {"16#2*0.75", 0x3F400000, 0x3F400000},  // a repeat count in radix notation
      {"3.402823466385289E38 -3.402823466385289E38", 0x7F7FFFFF, 0xFF7FFFFF},
  };
  for (const Case& c : cases) {
    const Outcome run(dialogue(c.line, "0"));
    EXPECT_EQ(run.status, 0) << c.line;
    EXPECT_EQ(bits_of(run.state().dx), c.dx) << c.line;
    EXPECT_EQ(bits_of(run.state().dy), c.dy) << c.line;
  }
}

TEST(ConversionSession, BadIntegersEndTheProgram) {
  struct Case {
    const char* answer;
    int error_number;
  };
  const Case cases[] = {
      {"1.0", 6101},        {"1E3", 6101},  {"5-", 6101},        {"--5", 6101},
      {"1+5", 6101},        {"16#G", 6101}, {"2#2", 6101},       {"A", 6101},
      {"2147483648", 6100}, {"-02147483648", 6100},              {"16#100000000", 6100},
      {"16#1#2", 6302},     {"1#0", 6303},  {"37#1", 6303},      {"1.0*5", 6101},
      {"2147483648*1", 6100},
  };
  for (const Case& c : cases) {
    const std::string input = dialogue("1 1", "5", c.answer);
    const Outcome run(input);
    expect_error(run, c.error_number, c.answer);
    EXPECT_EQ(run.state().lower, 5) << c.answer;  // assigned before the failure
    EXPECT_EQ(run.state().right, 0) << c.answer;  // not changed
  }
}

TEST(ConversionSession, BadRealsEndTheProgram) {
  struct Case {
    const char* text;
    int error_number;
  };
  const Case cases[] = {
      {"1E", 6103},     {"1E+", 6103},          {"1.5X", 6103}, {"1.0Q0", 6103}, {".", 6103},
      {"+", 6103},      {"-", 6103},            {"ABC", 6103},  {"1E39", 6104},  {"3.4028235E38", 6104},
      {"-1E39", 6104},  {"1E309", 6102},        {"1E6000", 6102}, {"1E999X", 6102},
      {"3.4028234663852894E38", 6104},
  };
  for (const Case& c : cases) {
    // As dy: dx was assigned before the failure and keeps its value.
    const std::string input = std::string("0.5 ") + c.text + "\n0\n0\n0\n0\nn\n";
    const Outcome run(input);
    expect_error(run, c.error_number, c.text);
    EXPECT_EQ(run.state().dx, 0.5f) << c.text;
    EXPECT_EQ(bits_of(run.state().dy), 0u) << c.text;
    // As dx: nothing is assigned.
    const Outcome first(std::string(c.text) + " 0.5\n0\n0\n0\n0\nn\n");
    expect_error(first, c.error_number, c.text);
    EXPECT_EQ(bits_of(first.state().dx), 0u) << c.text;
    EXPECT_EQ(bits_of(first.state().dy), 0u) << c.text;
  }
}

TEST(ConversionSession, VariablesAssignedBeforeTheFailureKeepTheirValues) {
  const Outcome reals("0.5 1E\n");
  expect_error(reals, 6103, "0.5 1E");
  EXPECT_EQ(reals.state().dx, 0.5f);
  EXPECT_EQ(reals.state().dy, 0.0f);

  const Outcome integers("0.5 0.25\n7\n-3\n1.0\n");
  expect_error(integers, 6101, "1.0");
  EXPECT_EQ(integers.state().dx, 0.5f);
  EXPECT_EQ(integers.state().dy, 0.25f);
  EXPECT_EQ(integers.state().lower, 7);
  EXPECT_EQ(integers.state().right, -3);
  EXPECT_EQ(integers.state().left, 0);

  // At a console, the same.
  const Outcome console("0.5 1E\n", true);
  expect_error(console, 6103, "0.5 1E (console)");
  EXPECT_EQ(console.state().dx, 0.5f);
}

// A value longer than the 260-byte value text is never cut into another
// number: as an integer it is error 6101, as a real 6103. A one-letter
// answer takes its first character.
TEST(ConversionSession, ValuesLongerThan260Characters) {
  const std::string integer260 = std::string(259, '0') + "7";
  const Outcome fits(dialogue("1 1", integer260));
  EXPECT_EQ(fits.status, 0);
  EXPECT_EQ(fits.state().lower, 7);

  const std::string integer261 = std::string(260, '0') + "7";
  const Outcome too_long(dialogue("1 1", integer261));
  expect_error(too_long, 6101, "261-digit integer");
  EXPECT_EQ(too_long.state().lower, 0);

  const std::string count261 = std::string(260, '0') + "2*0.5";
  const Outcome count(count261 + " 0.5\n");
  expect_error(count, 6101, "261-digit repeat count");

  const std::string real260 = std::string(258, '0') + ".5";
  const Outcome real_fits(dialogue(real260 + " " + real260, "0"));
  EXPECT_EQ(real_fits.status, 0);
  EXPECT_EQ(real_fits.state().dx, 0.5f);
  EXPECT_EQ(real_fits.state().dy, 0.5f);

  const std::string real261 = std::string(259, '0') + ".5";
  const Outcome real_too_long(dialogue("0.25 " + real261, "0"));
  expect_error(real_too_long, 6103, "261-character real");
  EXPECT_EQ(real_too_long.state().dx, 0.25f);
  EXPECT_EQ(real_too_long.state().dy, 0.0f);

  // "y" and 300 more letters at the first continue prompt: it continues.
  const Outcome answer("1 1\n0\n0\n0\n0\ny" + std::string(300, 'x') + "\nn\n");
  EXPECT_EQ(answer.status, 0);
  EXPECT_EQ(answer.state().answer, 'n');
  std::size_t prompts = 0;
  for (std::size_t at = 0; (at = answer.program.platform.out.find("PRESS Y", at)) != std::string::npos; ++at) ++prompts;
  EXPECT_EQ(prompts, 2u);
}

RunOptions connected(Source input, Sink output) {
  RunOptions options;
  options.input = input;
  options.output = output;
  return options;
}

// The real program, as its users run it.
TEST(ConversionSession, ThroughTheProgram) {
  const RunResult ok = run_program(dialogue("1.5D0 -25E-2", "16#FF", "-7"));
  EXPECT_EQ(ok.exit_status, 0);
  EXPECT_EQ(ok.err, "");

  const RunResult bad_integer = run_program(dialogue("1 1", "1.0"));
  EXPECT_EQ(bad_integer.exit_status, 1);
  EXPECT_EQ(bad_integer.err.substr(0, report_start(6101).size()), report_start(6101));

  const RunResult bad_real = run_program("0.5 1E\n");
  EXPECT_EQ(bad_real.exit_status, 1);
  EXPECT_EQ(bad_real.err.substr(0, report_start(6103).size()), report_start(6103));

  const RunResult beyond = run_program("1E309 1\n");
  EXPECT_EQ(beyond.exit_status, 1);
  EXPECT_EQ(beyond.err.substr(0, report_start(6102).size()), report_start(6102));

  const RunResult at_terminal = run_program("3.4028235E38 1\n", connected(Source::terminal, Sink::terminal));
  EXPECT_EQ(at_terminal.exit_status, 1);
  EXPECT_EQ(at_terminal.err.substr(0, report_start(6104).size()), report_start(6104));

  const RunResult bad_base = run_program(dialogue("1 1", "37#1"), connected(Source::file, Sink::file));
  EXPECT_EQ(bad_base.exit_status, 1);
  EXPECT_EQ(bad_base.err.substr(0, report_start(6303).size()), report_start(6303));
}

}  // namespace
}  // namespace laplace::testing
