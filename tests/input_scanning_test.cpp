// Input statements: free-format scanning of typed answers, what each
// statement assigns, what it leaves in the input, and the errors it raises.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "console_io/console_io.h"
#include "console_io/input_statement.h"
#include "tests/support/fake_platform.h"

namespace laplace::testing {
namespace {

enum class Shape { two_reals, one_integer, one_text };

struct Console {
  Console(const std::string& input, bool terminal) {
    platform.input = input;
    platform.input_is_character_device = terminal;
    platform.output_is_character_device = terminal;
    platform.line_at_a_time = terminal;
    console_io::open_console(io);
  }
  // Runs one statement; the exit status if it ended the program.
  std::optional<int> read(Shape shape) {
    try {
      console_io::begin_input(io);
      switch (shape) {
        case Shape::two_reals:
          console_io::get_real(io, dx);
          console_io::get_real(io, dy);
          break;
        case Shape::one_integer: console_io::get_integer(io, integer); break;
        case Shape::one_text: console_io::get_text(io, &answer, 1); break;
      }
      console_io::end_input(io);
    } catch (const ProcessEnded& e) {
      return e.status;
    }
    return std::nullopt;
  }
  // What the next statement would see: the rest of the record, then the rest of the input.
  std::string left_over() const {
    const console_io::ConsoleUnit& u = io.input_unit;
    std::string rest;
    for (std::int32_t k = u.position; k <= u.last; ++k) rest += u.buffer[static_cast<std::size_t>(k)];
    return rest + platform.input.substr(platform.input_position);
  }
  FakePlatform platform;
  runtime::RunTime rt{platform};
  console_io::ConsoleIo io{rt};
  float dx = -1.0f;  // -1 stands for "unchanged"
  float dy = -1.0f;
  std::int32_t integer = -99;
  char answer = '?';
};

struct Typed {
  const char* name;
  Shape shape;
  std::string lines;
  // The expected values: reals, integer or text; the error number if it fails.
  float dx = -1.0f;
  float dy = -1.0f;
  std::int32_t integer = -99;
  char answer = '?';
  int error = 0;
  int reads = 1;  // records the statement takes at a console
};

void PrintTo(const Typed& t, std::ostream* os) { *os << t.name; }

class AtConsole : public ::testing::TestWithParam<Typed> {};

TEST_P(AtConsole, AssignsAndLeavesAFreshLine) {
  const Typed& t = GetParam();
  Console c(t.lines, /*terminal=*/true);
  const std::optional<int> status = c.read(t.shape);
  if (t.error != 0) {
    ASSERT_EQ(status, 1);
    EXPECT_NE(c.platform.err.find("F" + std::to_string(t.error) + ": READ(CON)"), std::string::npos)
        << c.platform.err;
    return;
  }
  ASSERT_EQ(status, std::nullopt) << c.platform.err;
  EXPECT_EQ(c.dx, t.dx);
  EXPECT_EQ(c.dy, t.dy);
  EXPECT_EQ(c.integer, t.integer);
  EXPECT_EQ(c.answer, t.answer);
  EXPECT_EQ(c.platform.reads, t.reads);
  // At a console a finished statement leaves its record empty.
  EXPECT_EQ(c.io.input_unit.last, -1);
  EXPECT_FALSE(c.io.input_unit.line_open);
}

INSTANTIATE_TEST_SUITE_P(
    TypedLines, AtConsole,
    ::testing::Values(
        Typed{"BlankBetween", Shape::two_reals, "0.5 0.25\n", 0.5f, 0.25f},
        Typed{"TwoLines", Shape::two_reals, "0.5\n0.25\n", 0.5f, 0.25f, -99, '?', 0, 2},
        Typed{"BlankLinesSkipped", Shape::two_reals, "\n   \n0.5,0.25\n", 0.5f, 0.25f, -99, '?', 0, 3},
        Typed{"TabsAreBlanks", Shape::two_reals, "\t0.5\t0.25\n", 0.5f, 0.25f},
        Typed{"ExtraValueDiscarded", Shape::two_reals, "0.5,0.25,7\n", 0.5f, 0.25f},
        Typed{"LeadingCommaIsNull", Shape::two_reals, ",0.25\n", -1.0f, 0.25f},
        Typed{"TwoCommasAreNull", Shape::two_reals, "0.5,,\n", 0.5f, -1.0f},
        Typed{"CommaAfterLineEndValue", Shape::two_reals, "0.5,\n0.25\n", 0.5f, 0.25f, -99, '?', 0, 2},
        Typed{"BlankThenCommaIsOneSeparator", Shape::two_reals, "0.5 , 0.25\n", 0.5f, 0.25f},
        Typed{"RepeatCount", Shape::two_reals, "2*0.5\n", 0.5f, 0.5f},
        Typed{"RepeatOfNullReadsOneMoreLine", Shape::two_reals, "2*\nanything\n", -1.0f, -1.0f, -99, '?', 0, 2},
        Typed{"RepeatOfNullEndedByBlank", Shape::two_reals, "2* \n", -1.0f, -1.0f},
        Typed{"SlashEndsTheStatement", Shape::two_reals, "0.5/\n", 0.5f, -1.0f},
        Typed{"CommaIsNeverADecimalPoint", Shape::two_reals, "1,5\n", 1.0f, 5.0f},
        Typed{"DExponent", Shape::two_reals, "1.5D0 -25E-2\n", 1.5f, -0.25f},
        Typed{"SignStartsAnExponent", Shape::two_reals, "1+5 2\n", 100000.0f, 2.0f},
        Typed{"CrLfLine", Shape::two_reals, "0.5 0.25\r\n", 0.5f, 0.25f},
        Typed{"Integer", Shape::one_integer, "10\n", -1, -1, 10},
        Typed{"IntegerAmongBlanks", Shape::one_integer, "  -7  \n", -1, -1, -7},
        Typed{"IntegerCommaEndsIt", Shape::one_integer, "1,000\n", -1, -1, 1},
        Typed{"IntegerRadix", Shape::one_integer, "16#FF\n", -1, -1, 255},
        Typed{"IntegerLoneMinus", Shape::one_integer, "-\n", -1, -1, 0},
        Typed{"IntegerWithPoint", Shape::one_integer, "1.0\n", -1, -1, -99, '?', 6101},
        Typed{"IntegerQuoted", Shape::one_integer, "'10'\n", -1, -1, -99, '?', 6504},
        Typed{"IntegerParenthesized", Shape::one_integer, "(10)\n", -1, -1, -99, '?', 6504},
        Typed{"RealQuoted", Shape::two_reals, "\"0.5\"\n", -1, -1, -99, '?', 6504},
        Typed{"TextOneLetter", Shape::one_text, "Y\n", -1, -1, -99, 'Y'},
        Typed{"TextFirstLetterOfAWord", Shape::one_text, "yes\n", -1, -1, -99, 'y'},
        Typed{"TextAfterBlanks", Shape::one_text, "  B\n", -1, -1, -99, 'B'},
        Typed{"TextQuoted", Shape::one_text, "'y'\n", -1, -1, -99, 'y'},
        Typed{"TextQuotedBlank", Shape::one_text, "' '\n", -1, -1, -99, ' '},
        Typed{"TextDoubledQuote", Shape::one_text, "''''\n", -1, -1, -99, '\''},
        Typed{"TextEmptyQuotesAreNull", Shape::one_text, "''\n", -1, -1, -99, '?'},
        Typed{"TextCommaIsNull", Shape::one_text, ",\n", -1, -1, -99, '?'},
        Typed{"TextSlashIsNull", Shape::one_text, "/\n", -1, -1, -99, '?'},
        Typed{"TextRepeated", Shape::one_text, "2*A\n", -1, -1, -99, 'A'},
        Typed{"TextRepeatedAfterCount3", Shape::one_text, "3*B\n", -1, -1, -99, 'B'},
        Typed{"TextParenthesized", Shape::one_text, "(C)\n", -1, -1, -99, 'C'},
        Typed{"RepeatCountNotAnInteger", Shape::one_text, "A*\n", -1, -1, -99, '?', 6101},
        Typed{"RepeatCountNotAnIntegerMidWord", Shape::one_text, "A*B\n", -1, -1, -99, '?', 6101},
        Typed{"LoneAsterisk", Shape::one_text, "*\n", -1, -1, -99, '?', 6502},
        Typed{"RepeatCountZero", Shape::one_integer, "0*5\n", -1, -1, -99, '?', 6502},
        Typed{"SecondRepeatCount", Shape::one_integer, "2*3*4\n", -1, -1, -99, '?', 6503},
        Typed{"EmptyLineThenValue", Shape::one_integer, "\n42\n", -1, -1, 42, '?', 0, 2},
        Typed{"CtrlZBeforeLineEnd", Shape::one_integer, "\x1a\r\n", -1, -1, -99, '?', 6501},
        Typed{"EndOfInput", Shape::one_integer, "", -1, -1, -99, '?', 6501},
        Typed{"Line130Fits", Shape::one_text, "Y" + std::string(129, ' ') + "\r\n", -1, -1, -99, 'Y'},
        Typed{"Line131TooLong", Shape::one_text, "Y" + std::string(130, ' ') + "\r\n", -1, -1, -99, '?', 6407}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Redirected, LongLinesAreAcceptedAndTheRestIsLeftForTheNextStatement) {
  Console c("Y" + std::string(400, ' ') + "tail\n12\n", /*terminal=*/false);
  ASSERT_EQ(c.read(Shape::one_text), std::nullopt);
  EXPECT_EQ(c.answer, 'Y');
  EXPECT_EQ(c.left_over(), "12\n");
  ASSERT_EQ(c.read(Shape::one_integer), std::nullopt);
  EXPECT_EQ(c.integer, 12);
  EXPECT_EQ(c.left_over(), "");
}

TEST(Redirected, LinesAreConsumedOneStatementAtATime) {
  // One read takes many lines from a file; each statement takes only its own.
  Console c("0.5 0.25 9\n10\n-7\nyes\n", /*terminal=*/false);
  ASSERT_EQ(c.read(Shape::two_reals), std::nullopt);
  EXPECT_EQ(c.left_over(), "10\n-7\nyes\n");
  ASSERT_EQ(c.read(Shape::one_integer), std::nullopt);
  EXPECT_EQ(c.integer, 10);
  EXPECT_EQ(c.left_over(), "-7\nyes\n");
  ASSERT_EQ(c.read(Shape::one_integer), std::nullopt);
  EXPECT_EQ(c.integer, -7);
  ASSERT_EQ(c.read(Shape::one_text), std::nullopt);
  EXPECT_EQ(c.answer, 'y');
  EXPECT_EQ(c.left_over(), "");
  EXPECT_EQ(c.platform.reads, 1);
}

TEST(Redirected, ValueEndedByLineEndLeavesTheNextLine) {
  Console c("0.5\n0.25\nnext\n", /*terminal=*/false);
  ASSERT_EQ(c.read(Shape::two_reals), std::nullopt);
  EXPECT_EQ(c.dx, 0.5f);
  EXPECT_EQ(c.dy, 0.25f);
  EXPECT_EQ(c.left_over(), "next\n");
}

TEST(Redirected, LastLineWithoutLineEnd) {
  Console c("17", /*terminal=*/false);
  ASSERT_EQ(c.read(Shape::one_integer), std::nullopt);
  EXPECT_EQ(c.integer, 17);
}

TEST(Redirected, CtrlZThirdFromTheEndOfARead) {
  Console c("1\x1a\r\n", /*terminal=*/false);
  EXPECT_EQ(c.read(Shape::one_integer), 1);
  EXPECT_NE(c.platform.err.find("F6501"), std::string::npos);
}

TEST(Redirected, ValueLongerThanTheValueTextIsNotANumber) {
  const std::string digits(300, '1');
  Console a(digits + "\n", false);
  EXPECT_EQ(a.read(Shape::one_integer), 1);
  EXPECT_NE(a.platform.err.find("F6101"), std::string::npos);
  Console b("0." + digits + " 1\n", false);
  EXPECT_EQ(b.read(Shape::two_reals), 1);
  EXPECT_NE(b.platform.err.find("F6103"), std::string::npos);
  Console r(digits + "*5\n", false);
  EXPECT_EQ(r.read(Shape::one_integer), 1);
  EXPECT_NE(r.platform.err.find("F6101"), std::string::npos);
  Console t("Q" + digits + "\n", false);
  EXPECT_EQ(t.read(Shape::one_text), std::nullopt);
  EXPECT_EQ(t.answer, 'Q');
}

TEST(Scanning, QuotedValueGoesOnInTheNextRecordWithoutItsFirstByte) {
  for (bool terminal : {true, false}) {
    Console c("'ab\nXcd'\n", terminal);
    char text[5] = {'-', '-', '-', '-', '-'};
    console_io::begin_input(c.io);
    console_io::get_text(c.io, text, 5);
    console_io::end_input(c.io);
    EXPECT_EQ(std::string(text, 5), "abcd ") << "terminal=" << terminal;
  }
}

TEST(Scanning, ParenthesizedValueSpansLinesAndKeepsItsComma) {
  Console c("(A\n ,B)\n", /*terminal=*/false);
  char text[4] = {'-', '-', '-', '-'};
  console_io::begin_input(c.io);
  console_io::get_text(c.io, text, 4);
  console_io::end_input(c.io);
  EXPECT_EQ(std::string(text, 4), "A,B ");
  EXPECT_EQ(c.io.scan.comma_position, 1);
}

TEST(Scanning, TextIsBlankFilledAndTruncated) {
  Console c("ab 'xyz12'\n", /*terminal=*/false);
  char first[4] = {'-', '-', '-', '-'};
  char second[3] = {'-', '-', '-'};
  console_io::begin_input(c.io);
  console_io::get_text(c.io, first, 4);
  console_io::get_text(c.io, second, 3);
  console_io::end_input(c.io);
  EXPECT_EQ(std::string(first, 4), "ab  ");
  EXPECT_EQ(std::string(second, 3), "xyz");
}

TEST(Scanning, VariablesAssignedBeforeAFailureKeepTheirValues) {
  Console c("0.5 abc\n", /*terminal=*/false);
  EXPECT_EQ(c.read(Shape::two_reals), 1);
  EXPECT_EQ(c.dx, 0.5f);
  EXPECT_EQ(c.dy, -1.0f);
}

TEST(Scanning, NegativeRepeatCountActsAsAVeryLargeOne) {
  Console c("-1*7\n", /*terminal=*/false);
  ASSERT_EQ(c.read(Shape::two_reals), std::nullopt);
  EXPECT_EQ(c.dx, 7.0f);
  EXPECT_EQ(c.dy, 7.0f);
  EXPECT_EQ(c.io.scan.repeat_remaining, 0xFFFFFFFDu);
}

TEST(Scanning, ReadFailureIs6500) {
  Console c("5\n", /*terminal=*/false);
  c.platform.fail_read_number = 1;
  EXPECT_EQ(c.read(Shape::one_integer), 1);
  EXPECT_NE(c.platform.err.find("F6500: READ(CON)"), std::string::npos);
}

}  // namespace
}  // namespace laplace::testing
