// Output statements: item fields, separators, record breaks and the lazy line
// end, checked on the bytes handed to the platform.
#include <gtest/gtest.h>

#include <bit>
#include <variant>
#include <vector>

#include "console_io/console_io.h"
#include "console_io/input_statement.h"
#include "tests/support/fake_platform.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using Item = std::variant<std::string, int, float>;

struct Console {
  explicit Console(bool shared = false) {
    platform.input_is_character_device = shared;
    platform.output_is_character_device = shared;
    platform.line_at_a_time = shared;
    console_io::open_console(io);
  }
  void print(const std::vector<Item>& items) {
    console_io::begin_output(io);
    for (const Item& item : items) {
      if (const auto* t = std::get_if<std::string>(&item)) {
        console_io::put_text(io, t->data(), static_cast<std::int32_t>(t->size()));
      } else if (const auto* i = std::get_if<int>(&item)) {
        console_io::put_integer(io, *i);
      } else {
        console_io::put_real(io, std::get<float>(item));
      }
    }
    console_io::end_output(io);
  }
  FakePlatform platform;
  runtime::RunTime rt{platform};
  console_io::ConsoleIo io{rt};
};

struct LayoutCase {
  const char* name;
  std::vector<Item> items;
  std::string bytes;  // standard output after this one statement, first of the run
};

class RecordLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(RecordLayout, FirstStatementOfTheRun) {
  Console c;
  c.print(GetParam().items);
  EXPECT_EQ(c.platform.out, GetParam().bytes);
}

const std::string TITLE = "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION";

INSTANTIATE_TEST_SUITE_P(
    Items, RecordLayout,
    ::testing::Values(
        LayoutCase{"TitleAloneHasNothingBeforeIt", {TITLE}, TITLE},
        LayoutCase{"TwoIntegersAndAReal", {1, 1, 5.0f}, blanks(10) + "1" + blanks(11) + "1" + blanks(8) + "5.000000"},
        LayoutCase{"ThreeIntegersAndAReal", {2, 3, 4, 3.75f},
                   blanks(10) + "2" + blanks(11) + "3" + blanks(11) + "4" + blanks(8) + "3.750000"},
        LayoutCase{"ThreeReals", {5.0f, 7.0f, -3.0f},
                   blanks(7) + "5.000000" + blanks(8) + "7.000000" + blanks(7) + "-3.000000"},
        LayoutCase{"ZeroFirst", {0}, blanks(10) + "0"},
        LayoutCase{"ThousandFirst", {1000}, blanks(7) + "1000"},
        LayoutCase{"MostNegativeFillsItsField", {-2147483647 - 1}, "-2147483648"},
        LayoutCase{"MostNegativeAsASecondItem", {0, -2147483647 - 1}, blanks(10) + "0" + " -2147483648"},
        LayoutCase{"NoItemsIsAnEmptyRecord", {}, ""},
        LayoutCase{"Text78IsOneRecord", {std::string(78, 'x')}, std::string(78, 'x')},
        LayoutCase{"Text79IsFollowedByAnEmptyRecord", {std::string(79, 'x')}, std::string(79, 'x') + "\r\n"},
        LayoutCase{"Text80SplitsAtTheLastColumn", {std::string(79, 'x') + "y"}, std::string(79, 'x') + "\r\ny"},
        LayoutCase{"SevenIntegersBreakAfterTheSixth", {1, 2, 3, 4, 5, 6, 7},
                   blanks(10) + "1" + blanks(11) + "2" + blanks(11) + "3" + blanks(11) + "4" + blanks(11) + "5" +
                       blanks(11) + "6" + "\r\n" + blanks(10) + "7"},
        LayoutCase{"TextBetweenNumbersTouchesBoth", {5, std::string("XY"), 6},
                   blanks(10) + "5" + "XY" + blanks(10) + "6"},
        LayoutCase{"NumbersAfterATextTouchIt", {std::string("N="), 5, -2147483647 - 1},
                   "N=" + blanks(10) + "5" + " -2147483648"},
        LayoutCase{"BlankText", {std::string(" ")}, " "}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(RecordLayout, NegativeTextLengthAddsNothing) {
  Console c;
  console_io::begin_output(c.io);
  console_io::put_text(c.io, "abc", -3);
  console_io::put_integer(c.io, 7);
  console_io::end_output(c.io);
  EXPECT_EQ(c.platform.out, blanks(10) + "7");
}

TEST(RecordLayout, TextIsCopiedWhenPut) {
  Console c;
  std::string text = "before";
  console_io::begin_output(c.io);
  console_io::put_text(c.io, text.data(), 6);
  text = "after!";
  console_io::end_output(c.io);
  EXPECT_EQ(c.platform.out, "before");
}

TEST(RecordLayout, AMovedNumberOwingNoBlankKeepsItsFirstDigit) {
  // 78 characters of text leave one column: the 11-character integer that
  // follows directly moves to a new record whole, behind a control blank.
  Console c;
  c.print({std::string(78, 'x'), -2147483647 - 1});
  EXPECT_EQ(c.platform.out, std::string(78, 'x') + "\r\n" + "-2147483648");
}

TEST(LineEnd, WrittenBeforeTheNextRecordTogetherWithItsBody) {
  Console c;
  c.print({std::string("first")});
  c.print({std::string(" ")});
  c.print({std::string("  ")});
  EXPECT_EQ(c.platform.out, "first\r\n \r\n  ");
  // One write per record: the pending line end goes out with the next body.
  ASSERT_EQ(c.platform.writes.size(), 3u);
  EXPECT_EQ(c.platform.writes[1].bytes, "\r\n ");
  EXPECT_TRUE(c.io.output_connection().line_open);
}

TEST(LineEnd, EmptyBodyWithoutPendingLineEndWritesNothing) {
  Console c;
  c.print({});
  EXPECT_TRUE(c.platform.writes.empty());
  c.print({});
  EXPECT_EQ(c.platform.out, "\r\n");
}

TEST(LineEnd, SharedConsoleWritesItWhenTheInputStatementStarts) {
  Console c(/*shared=*/true);
  c.platform.input = "5\n";
  c.print({std::string("prompt one")});
  std::int32_t v = 0;
  console_io::begin_input(c.io);
  EXPECT_EQ(c.platform.out, "prompt one\r\n");
  console_io::get_integer(c.io, v);
  console_io::end_input(c.io);
  c.print({std::string("prompt two")});
  EXPECT_EQ(v, 5);
  EXPECT_EQ(c.platform.out, "prompt one\r\nprompt two");
}

TEST(LineEnd, SeparateConnectionWritesItBeforeTheNextRecord) {
  Console c;
  c.platform.input = "5\n";
  c.print({std::string("prompt one")});
  std::int32_t v = 0;
  console_io::begin_input(c.io);
  console_io::get_integer(c.io, v);
  console_io::end_input(c.io);
  EXPECT_EQ(c.platform.out, "prompt one");
  c.print({std::string("prompt two")});
  EXPECT_EQ(c.platform.out, "prompt one\r\nprompt two");
}

TEST(LineEnd, CloseConsoleLineWritesAtMostOne) {
  for (bool shared : {false, true}) {
    Console c(shared);
    c.print({std::string("last")});
    console_io::close_console_line(c.io);
    console_io::close_console_line(c.io);
    EXPECT_EQ(c.platform.out, "last\r\n") << "shared=" << shared;
  }
}

}  // namespace
}  // namespace laplace::testing
