// Whole sessions of the built program through real pipes, files and a
// pseudo-terminal.
#include <gtest/gtest.h>

#include "tests/support/process_runner.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using namespace dialogue;

const std::string EXAMPLE = "1 1\n0\n0\n0\n100\nY\nY\n3\nA\n0.5 0.5\nB\n2\nD\n";

Records example_records() {
  Records r = example_up_to_count();
  r += example_sweeps(3);
  r += MENU;
  r.push_back(SPACING);
  r += example_sweeps(3);
  r += MENU;
  r.push_back(NEW_COUNT);
  r += example_sweeps(2);
  r += MENU;
  return r;
}

struct Wiring {
  const char* name;
  Source input;
  Sink output;
};

class Wired : public ::testing::TestWithParam<Wiring> {};

TEST_P(Wired, SameBytesWhateverTheConnections) {
  const RunResult r = run_program(EXAMPLE, {GetParam().input, GetParam().output});
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, bytes(example_records()));
}

INSTANTIATE_TEST_SUITE_P(
    Connections, Wired,
    ::testing::Values(Wiring{"PipeToPipe", Source::pipe, Sink::pipe},
                      Wiring{"FileToFile", Source::file, Sink::file},
                      Wiring{"PipeToFile", Source::pipe, Sink::file},
                      Wiring{"FileToPipe", Source::file, Sink::pipe},
                      Wiring{"Terminal", Source::terminal, Sink::terminal},
                      Wiring{"TerminalToPipe", Source::terminal, Sink::pipe},
                      Wiring{"PipeToTerminal", Source::pipe, Sink::terminal}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Session, ArgumentsAndEnvironmentChangeNothing) {
  RunOptions o;
  o.arguments = {"--help", "-v", "input.txt"};
  o.environment = {"LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8", "LC_NUMERIC=de_DE", "TERM=dumb", "COLUMNS=20"};
  const RunResult r = run_program(EXAMPLE, o);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, bytes(example_records()));
}

TEST(Session, TerminalWithCrLfLinesAndBlankLines) {
  // A terminal that does not translate CR delivers CR LF; blank lines are skipped.
  const RunResult r = run_program("\n1 1\r\n   \n0\n0\n0\n100\nn\n", {Source::terminal, Sink::terminal});
  EXPECT_EQ(r.exit_status, 0);
  Records expected = set_up("0.000000E+00", "0.000000E+00", "0.000000E+00", "100.000000");
  expected += continue_no();
  EXPECT_EQ(r.out, bytes(expected));
}

}  // namespace
}  // namespace laplace::testing
