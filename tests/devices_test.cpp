// The built program on Linux's real failures: end of input, closed and odd
// descriptors, /dev/full, a reader that has gone, and an interrupt.
#include <gtest/gtest.h>

#include <csignal>

#include "tests/support/process_runner.h"
#include "tests/support/report_check.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using namespace dialogue;


std::string read_report(int number) {
  return "\r\nrun-time error F" + std::to_string(number) + ": READ(CON)\r\n- ";
}

const Records FIRST_PROMPTS = {TITLE, SPACER, SPACING};
const Records TO_LOWER = {TITLE, SPACER, SPACING, LOWER};

// A bad answer at a prompt, through a pipe and at a terminal.
struct BadAnswer {
  const char* name;
  std::string input;
  int error;
  Records shown;           // the records before the failing statement
  bool console_line_open;  // at a terminal, the statement failed before its line end
};

class BadAnswers : public ::testing::TestWithParam<BadAnswer> {};

void PrintTo(const BadAnswer& b, std::ostream* os) { *os << b.name; }

TEST_P(BadAnswers, RedirectedEndsWithTheLastPromptsLineEnd) {
  const BadAnswer& b = GetParam();
  const RunResult r = run_program(b.input, {Source::pipe, Sink::file});
  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, read_report(b.error));
  // The report never reaches standard output; the file gets the final line end.
  EXPECT_EQ(r.out, bytes(b.shown));
}

TEST_P(BadAnswers, AtATerminalASecondLineEndOnlyWhileTheLineIsOpen) {
  const BadAnswer& b = GetParam();
  // Ctrl-D after the answers: the terminal's end of input.
  const RunResult r = run_program(b.input + "\x04", {Source::terminal, Sink::terminal});
  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, read_report(b.error));
  EXPECT_EQ(r.out, bytes(b.shown) + (b.console_line_open ? "\r\n" : ""));
}

INSTANTIATE_TEST_SUITE_P(
    AtPrompts, BadAnswers,
    ::testing::Values(
        BadAnswer{"EndOfInput", "1 1\n", 6501, TO_LOWER, true},
        BadAnswer{"EndOfInputAtTheFirstPrompt", "", 6501, FIRST_PROMPTS, true},
        BadAnswer{"RepeatCountZero", "1 1\n0*5\n", 6502, TO_LOWER, true},
        BadAnswer{"LoneAsterisk", "1 1\n*\n", 6502, TO_LOWER, true},
        BadAnswer{"SecondRepeatCount", "1 1\n2*3*4\n", 6503, TO_LOWER, true},
        BadAnswer{"QuotedInteger", "1 1\n'10'\n", 6504, TO_LOWER, true},
        BadAnswer{"IntegerTooLarge", "1 1\n2147483648\n", 6100, TO_LOWER, false},
        BadAnswer{"IntegerWithPoint", "1 1\n1.0\n", 6101, TO_LOWER, false},
        BadAnswer{"IntegerWithPointThenBlank", "1 1\n1.0 \n", 6101, TO_LOWER, true},
        BadAnswer{"SecondRadixMark", "1 1\n16#1#2\n", 6302, TO_LOWER, false},
        BadAnswer{"BadBase", "1 1\n37#1\n", 6303, TO_LOWER, false},
        BadAnswer{"RealBeyondDouble", "1E309 1\n", 6102, FIRST_PROMPTS, true},
        BadAnswer{"NotAReal", "abc\n", 6103, FIRST_PROMPTS, false},
        BadAnswer{"NotARealThenABlank", "abc 1\n", 6103, FIRST_PROMPTS, true},
        BadAnswer{"NotARealThenAComma", "abc,1\n", 6103, FIRST_PROMPTS, true},
        BadAnswer{"RealBeyondSingle", "1E39 1\n", 6104, FIRST_PROMPTS, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Terminal, TypedLineTooLongForTheRecordIs6407) {
  // A Linux terminal ends a line with LF alone: 131 characters and LF fill
  // the 132 bytes of a record exactly, one more does not fit.
  const RunResult fits = run_program(std::string(131, ' ') + "\n\x04", {Source::terminal, Sink::terminal});
  expect_report(fits.err, read_report(6501));
  const std::string line(132, '1');
  const RunResult r = run_program(line + "\n", {Source::terminal, Sink::terminal});
  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, read_report(6407));
  EXPECT_EQ(r.out, bytes(FIRST_PROMPTS) + "\r\n");
}

TEST(Terminal, EndOfInputTyped) {
  // Ctrl-D at the start of a line is the terminal's end of input.
  const RunResult r = run_program("1 1\n\x04", {Source::terminal, Sink::terminal});
  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, read_report(6501));
  EXPECT_EQ(r.out, bytes(TO_LOWER) + "\r\n");
}

TEST(Devices, StandardInputClosedOrADirectoryIs6500) {
  for (Source s : {Source::closed, Source::directory}) {
    const RunResult r = run_program("", {s, Sink::pipe});
    EXPECT_EQ(r.exit_status, 1);
    expect_report(r.err, read_report(6500));
    EXPECT_EQ(r.out, bytes(FIRST_PROMPTS));
  }
}

TEST(Devices, StandardInputNullDeviceIsEndOfInput) {
  const RunResult r = run_program("", {Source::null_device, Sink::pipe});
  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, read_report(6501));
}

TEST(Devices, FullDeviceIs6422) {
  const RunResult r = run_program("1 1\n0\n0\n0\n100\nn\n", {Source::pipe, Sink::full_device});
  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, "\r\nrun-time error F6422: WRITE(CON)\r\n- ");
}

TEST(Devices, ClosedStandardOutputIsIgnored) {
  const RunResult r = run_program("1 1\n0\n0\n0\n100\nn\n", {Source::pipe, Sink::closed});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "");
}

TEST(Devices, ReaderGoneIsIgnoredAndTheDialogueGoesOn) {
  const RunResult r = run_program("1 1\n0\n0\n0\n100\nY\nY\n50\nD\n", {Source::pipe, Sink::reader_gone});
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "");
}

TEST(Devices, NullDeviceOnBothSidesIsAConsole) {
  // Both character devices: the shared console, which reads to the end of input.
  const RunResult r = run_program("", {Source::null_device, Sink::null_device});
  EXPECT_EQ(r.exit_status, 1);
  expect_report(r.err, read_report(6501));
}

TEST(Interrupt, CtrlCEndsTheProcessAndKeepsWhatWasWritten) {
  RunOptions o{Source::pipe, Sink::pipe};
  o.signal = SIGINT;
  o.signal_after_bytes = 20000;
  const RunResult r = run_program("1 1\n0\n0\n0\n100\nY\nY\n2000000000\n", o);
  EXPECT_EQ(r.signal, SIGINT);
  EXPECT_EQ(r.err, "");
  // Whole records up to the interrupt, each layer record 51 characters and a line end.
  const std::size_t first_layer = r.out.find(COUNT + "\r\n") + COUNT.size() + 2;
  ASSERT_GT(r.out.size(), first_layer);
  const std::string layers = r.out.substr(first_layer);
  std::size_t at = 0;
  while (layers.size() - at >= 53) {
    const std::string record = layers.substr(at, 53);
    if (record.substr(0, 3) == " \r\n") {
      at += 3;
      continue;
    }
    ASSERT_EQ(record.substr(51), "\r\n") << at;
    at += 53;
  }
}

}  // namespace
}  // namespace laplace::testing
