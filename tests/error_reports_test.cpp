// Run-time error reports: their bytes, their numbers, and the way out of the
// process they take.
#include <gtest/gtest.h>

#include <set>

#include "console_io/console_io.h"
#include "runtime/error_numbers.h"
#include "runtime/error_reports.h"
#include "runtime/message_texts.h"
#include "runtime/start_up.h"
#include "runtime/termination.h"
#include "tests/support/in_process.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using namespace dialogue;

TEST(ErrorNumbers, TableFollowsItsRanges) {
  struct Row {
    int index;
    int number;
  };
  for (Row r : {Row{0, 6096}, Row{4, 6100}, Row{10, 6106}, Row{11, 6200}, Row{25, 6214}, Row{26, 6300},
                Row{28, 6302}, Row{45, 6319}, Row{46, 6400}, Row{53, 6407}, Row{67, 6421}, Row{68, 6422},
                Row{71, 6425}, Row{72, 6500}, Row{73, 6501}, Row{88, 6516}, Row{89, 6600}, Row{91, 6602},
                Row{92, 6700}, Row{93, 6701}, Row{94, 6970}, Row{96, 6972}, Row{97, 6980}, Row{116, 6999},
                Row{117, 6702}, Row{219, 6804}}) {
    EXPECT_EQ(runtime::error_number_of(r.index), r.number) << r.index;
  }
  std::set<int> numbers;
  for (int i = 0; i < runtime::MESSAGE_COUNT; ++i) {
    const int n = runtime::error_number_of(i);
    EXPECT_TRUE(n >= 1000 && n <= 9999) << i;
    numbers.insert(n);
    const std::string_view text = runtime::message_text(i);
    EXPECT_FALSE(text.empty()) << i;
    EXPECT_EQ(text.find_first_of("\r\n%"), std::string_view::npos) << i;
  }
  EXPECT_EQ(numbers.size(), 220u);
}

struct Reporter {
  FakePlatform platform;
  runtime::RunTime rt{platform};
  int status = -1;
  void raise(int index, int context) {
    try {
      runtime::raise_run_time_error(rt, index, context, "CON");
    } catch (const ProcessEnded& e) {
      status = e.status;
    }
  }
};

TEST(ReportLayout, PiecesInOrderOnStandardError) {
  struct Case {
    int index;
    int context;
    std::string head;  // everything before the message text
  };
  for (const Case& c : {Case{73, 7, "\r\nrun-time error F6501: READ(CON)\r\n- "},
                        Case{68, 2, "\r\nrun-time error F6422: WRITE(CON)\r\n- "},
                        Case{5, 1, "\r\nrun-time error F6101: CLOSE(CON)\r\n- "},
                        Case{92, 16, "\r\nrun-time error F6700\r\n- "}}) {
    Reporter r;
    r.raise(c.index, c.context);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.platform.err, c.head + std::string(runtime::message_text(c.index)) + "\r\n");
    EXPECT_EQ(r.platform.out, "");
    // Written in pieces, as they are produced.
    EXPECT_GT(r.platform.writes.size(), 4u);
  }
}

TEST(ReportLayout, EmptyMessageHasNoHyphenLine) {
  Reporter r;
  try {
    runtime::write_error_report(r.rt, 6501, "", 7, "CON");
  } catch (const ProcessEnded& e) {
    r.status = e.status;
  }
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.platform.err, "\r\nrun-time error F6501: READ(CON)\r\n\r\n");
}

TEST(ReportLayout, FloatTrapReports) {
  struct Case {
    runtime::TrapKind kind;
    const char* bytes;
  };
  for (const Case& c : {Case{runtime::TrapKind::invalid, "M6101: MATH\r\n- floating-point error: invalid"},
                        Case{runtime::TrapKind::divide_by_zero, "M6103: MATH\r\n- floating-point error: divide by zero"},
                        Case{runtime::TrapKind::overflow, "M6104: MATH\r\n- floating-point error: overflow"},
                        Case{runtime::TrapKind::underflow, "M6105: MATH\r\n- floating-point error: underflow"},
                        Case{runtime::TrapKind::square_root, "M6108: MATH\r\n- floating-point error: square root"},
                        Case{runtime::TrapKind::stack_underflow,
                             "M6111: MATH\r\n- floating-point error: stack underflow"}}) {
    Reporter r;
    try {
      runtime::report_float_trap(r.rt, c.kind);
    } catch (const ProcessEnded& e) {
      r.status = e.status;
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.platform.err, std::string("\r\nrun-time error ") + c.bytes + "\r\n");
  }
}

TEST(ReportLayout, WhileTerminatingAReportReturnsToTheCatchPoint) {
  Reporter r;
  r.rt.termination_in_progress = true;
  runtime::write_error_report(r.rt, 6422, "x", 1, "CON");  // returns
  EXPECT_THROW(runtime::raise_run_time_error(r.rt, 68, 1, "CON"), runtime::TerminationError);
  EXPECT_EQ(r.platform.err, "\r\nrun-time error F6422: CLOSE(CON)\r\n- x\r\n"
                            "\r\nrun-time error F6422: CLOSE(CON)\r\n- " +
                                std::string(runtime::message_text(68)) + "\r\n");
}

TEST(ReportLayout, LostReportStillEndsTheProcess) {
  Reporter r;
  r.platform.fail_write_number = 1;
  r.platform.fail_later_writes = true;
  r.platform.fail_write_kind = platform::WriteFailure::device_full;
  r.raise(73, 7);
  EXPECT_EQ(r.status, 1);
}

TEST(Termination, ExitActionsRunLastRegisteredFirst) {
  FakePlatform platform;
  runtime::RunTime rt(platform);
  std::string order;
  auto record = [](void* p) { *static_cast<std::string*>(p) += "a"; };
  auto record_b = [](void* p) { *static_cast<std::string*>(p) += "b"; };
  ASSERT_TRUE(runtime::register_exit_action(rt, {record, &order}));
  ASSERT_TRUE(runtime::register_exit_action(rt, {record_b, &order}));
  try {
    runtime::exit_program(rt, 7);
  } catch (const ProcessEnded& e) {
    EXPECT_EQ(e.status, 7);
  }
  EXPECT_EQ(order, "ba");
  EXPECT_TRUE(rt.ending);
}

TEST(Termination, FinishConsoleIoEndsTheLineOnce) {
  FakePlatform platform;
  runtime::RunTime rt(platform);
  console_io::ConsoleIo io(rt);
  console_io::open_console(io);
  io.output_connection().line_open = true;
  console_io::finish_console_io(io);
  console_io::finish_console_io(io);
  EXPECT_EQ(platform.out, "\r\n");
  EXPECT_TRUE(rt.termination_in_progress);
}

TEST(Termination, FatalStartUpFailureRunsNoExitAction) {
  FakePlatform platform;
  runtime::RunTime rt(platform);
  bool ran = false;
  ASSERT_TRUE(runtime::register_exit_action(rt, {[](void* p) { *static_cast<bool*>(p) = true; }, &ran}));
  try {
    runtime::fatal_start_up_failure(platform);
  } catch (const ProcessEnded& e) {
    EXPECT_EQ(e.status, 255);
  }
  EXPECT_FALSE(ran);
  EXPECT_EQ(platform.err.substr(0, 2), "\r\n");
  EXPECT_EQ(platform.out, "");
}

// Write failures of a record body, classified.
struct WriteFault {
  const char* name;
  platform::WriteFailure kind;
  int error;  // 0: ignored
};

class WriteFaults : public ::testing::TestWithParam<WriteFault> {};

TEST_P(WriteFaults, AtTheSecondRecord) {
  Program p;
  p.platform.input = "1 1\n0\n0\n0\n100\nn\n";
  p.platform.fail_write_number = 2;  // the spacer's record
  p.platform.fail_write_kind = GetParam().kind;
  p.platform.fail_write_accepts = 3;  // the line end and one blank got through
  const int status = p.run();
  if (GetParam().error == 0) {
    EXPECT_EQ(status, 0);
    EXPECT_EQ(p.platform.err, "");
    // Nothing is written twice, and the dialogue goes on.
    EXPECT_EQ(p.platform.out.substr(0, 65), TITLE + "\r\n " + "\r\n" + SPACING.substr(0, 1));
    return;
  }
  EXPECT_EQ(status, 1);
  const std::string head = "\r\nrun-time error F" + std::to_string(GetParam().error) + ": WRITE(CON)\r\n- ";
  EXPECT_EQ(p.platform.err.substr(0, head.size()), head);
  // The title, what the failing write accepted, and the final line end.
  EXPECT_EQ(p.platform.out, TITLE + "\r\n " + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WriteFaults,
    ::testing::Values(WriteFault{"DeviceFull", platform::WriteFailure::device_full, 6422},
                      WriteFault{"AccessDenied", platform::WriteFailure::access_denied, 6421},
                      WriteFault{"OtherIsIgnored", platform::WriteFailure::other, 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(WriteFaults, FailedLineEndAloneIsNotLookedAt) {
  // An empty record after an open line writes only the line end.
  FakePlatform platform;
  runtime::RunTime rt(platform);
  console_io::ConsoleIo io(rt);
  console_io::open_console(io);
  console_io::begin_output(io);
  console_io::put_text(io, "x", 1);
  console_io::end_output(io);
  platform.fail_write_number = 2;
  platform.fail_write_kind = platform::WriteFailure::device_full;
  console_io::begin_output(io);
  console_io::end_output(io);
  EXPECT_EQ(platform.err, "");
  EXPECT_TRUE(io.output_connection().line_open);
}

}  // namespace
}  // namespace laplace::testing
