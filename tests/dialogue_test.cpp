// The dialogue as users meet it: every branch, as exact bytes on standard
// output, redirected and at a console.
#include <gtest/gtest.h>

#include "tests/support/in_process.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using namespace dialogue;

// Answers up to the first continue prompt for the worked example.
const std::string EXAMPLE_SET_UP = "1 1\n0\n0\n0\n100\n";

struct Branch {
  const char* name;
  std::string answers;
  Records records;
};

Records concat(std::initializer_list<Records> parts) {
  Records r;
  for (const Records& p : parts) r += p;
  return r;
}

std::vector<Branch> branches() {
  const Records pass = example_up_to_count();
  return {
      {"FullPassThenD", EXAMPLE_SET_UP + "Y\nY\n3\nD\n", concat({pass, example_sweeps(3), MENU})},
      {"LowerCaseYGoesOn", EXAMPLE_SET_UP + "y\ny\n2\nD\n", concat({pass, example_sweeps(2), MENU})},
      {"NAtFirstPromptEnds", EXAMPLE_SET_UP + "N\n",
       concat({set_up("0.000000E+00", "0.000000E+00", "0.000000E+00", "100.000000"), continue_no()})},
      {"NAtSecondPromptEnds", EXAMPLE_SET_UP + "Y\nn\n",
       concat({set_up("0.000000E+00", "0.000000E+00", "0.000000E+00", "100.000000"), continue_yes(),
               initial_report("25.000000"), continue_no()})},
      {"NullAtFirstPromptIsCodeZero", EXAMPLE_SET_UP + ",\n",
       concat({set_up("0.000000E+00", "0.000000E+00", "0.000000E+00", "100.000000"), continue_no()})},
      {"NullAtSecondPromptKeepsTheFirstAnswer", EXAMPLE_SET_UP + "y\n/\n2\nD\n",
       concat({pass, example_sweeps(2), MENU})},
      {"CountOfOneComputesNothing", EXAMPLE_SET_UP + "Y\nY\n1\nD\n", concat({pass, example_sweeps(1), MENU})},
      {"NegativeCountComputesNothing", EXAMPLE_SET_UP + "Y\nY\n-2147483648\nD\n",
       concat({pass, example_sweeps(0), MENU})},
      {"LowerCaseMenuAnswerEnds", EXAMPLE_SET_UP + "Y\nY\n2\na\n", concat({pass, example_sweeps(2), MENU})},
      {"MenuAReadsSpacingsAndReruns", EXAMPLE_SET_UP + "Y\nY\n3\nA\n0.5 0.5\nD\n",
       concat({pass, example_sweeps(3), MENU, {SPACING}, example_sweeps(3), MENU})},
      {"MenuBReadsACountAndReruns", EXAMPLE_SET_UP + "Y\nY\n3\nB\n2\nD\n",
       concat({pass, example_sweeps(3), MENU, {NEW_COUNT}, example_sweeps(2), MENU})},
      {"NullAtTheMenuRepeatsTheLastChoice", EXAMPLE_SET_UP + "Y\nY\n2\nB\n3\n,\n2\nD\n",
       concat({pass, example_sweeps(2), MENU, {NEW_COUNT}, example_sweeps(3), MENU, {NEW_COUNT},
               example_sweeps(2), MENU})},
      {"NullAtTheMenuAfterYEnds", EXAMPLE_SET_UP + "Y\nY\n2\n,\n", concat({pass, example_sweeps(2), MENU})},
      {"MenuCStartsOver", EXAMPLE_SET_UP + "Y\nY\n2\nC\n1 1\n10\n20\n30\n40\nn\n",
       concat({pass, example_sweeps(2), MENU, set_up("10.000000", "20.000000", "30.000000", "40.000000"),
               continue_no()})},
      {"NullAtFirstPromptAfterCIsC", EXAMPLE_SET_UP + "Y\nY\n2\nC\n1 1\n0\n0\n0\n100\n,\n",
       concat({pass, example_sweeps(2), MENU,
               set_up("0.000000E+00", "0.000000E+00", "0.000000E+00", "100.000000"), continue_no()})},
  };
}

class DialogueBranch : public ::testing::TestWithParam<Branch> {};

void PrintTo(const Branch& b, std::ostream* os) { *os << b.name; }

TEST_P(DialogueBranch, Redirected) {
  const Session s = run_redirected(GetParam().answers);
  EXPECT_EQ(s.status, 0) << s.err;
  EXPECT_EQ(s.err, "");
  // Every record's line end, the last one at termination.
  EXPECT_EQ(s.out, bytes(GetParam().records));
}

TEST_P(DialogueBranch, AtConsole) {
  const Session s = run_at_console(GetParam().answers);
  EXPECT_EQ(s.status, 0) << s.err;
  // The same bytes: the dialogue ends after an input statement, which has
  // already written the last line end.
  EXPECT_EQ(s.out, bytes(GetParam().records));
}

INSTANTIATE_TEST_SUITE_P(Answers, DialogueBranch, ::testing::ValuesIn(branches()),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(LineEndMoments, AtConsoleThePromptsLineEndPrecedesTheRead) {
  Program p;
  p.platform.input = EXAMPLE_SET_UP + "n\n";
  p.platform.input_is_character_device = true;
  p.platform.output_is_character_device = true;
  p.platform.line_at_a_time = true;
  ASSERT_EQ(p.run(), 0);
  // Writes to standard output: title, spacer, spacing prompt, the prompt's
  // line end, then the lower prompt with nothing before it.
  const auto& w = p.platform.writes;
  ASSERT_GE(w.size(), 5u);
  EXPECT_EQ(w[2].bytes, "\r\n" + SPACING);
  EXPECT_EQ(w[3].bytes, "\r\n");
  EXPECT_EQ(w[3].reads_before, 0);
  EXPECT_EQ(w[4].bytes, LOWER);
  EXPECT_EQ(w[4].reads_before, 1);
  // The run ends after the answer: nothing more is written.
  EXPECT_EQ(w.back().bytes, "\r\n");
  EXPECT_EQ(w.back().reads_before, 5);
}

TEST(LineEndMoments, RedirectedTheLineEndWaitsForTheNextRecord) {
  Program p;
  p.platform.input = EXAMPLE_SET_UP + "n\n";
  ASSERT_EQ(p.run(), 0);
  const auto& w = p.platform.writes;
  ASSERT_GE(w.size(), 4u);
  EXPECT_EQ(w[2].bytes, "\r\n" + SPACING);
  EXPECT_EQ(w[3].bytes, "\r\n" + LOWER);
  EXPECT_EQ(w[3].reads_before, 1);
  // The last prompt's line end is written at termination.
  EXPECT_EQ(w.back().bytes, "\r\n");
  EXPECT_EQ(w[w.size() - 2].bytes, "\r\n" + CONTINUE);
}

TEST(Dialogue, EveryRecordIsOneWrite) {
  const std::string answers = EXAMPLE_SET_UP + "Y\nY\n3\nD\n";
  Program p;
  p.platform.input = answers;
  ASSERT_EQ(p.run(), 0);
  const std::size_t records = branches()[0].records.size();
  // One write per record plus the final line end.
  EXPECT_EQ(p.platform.writes.size(), records + 1);
}

}  // namespace
}  // namespace laplace::testing
