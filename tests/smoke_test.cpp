#include <gtest/gtest.h>

#include "tests/support/in_process.h"
#include "tests/support/process_runner.h"

namespace laplace::testing {
namespace {

TEST(Smoke, TitleIsTheFirstRecord) {
  const Session s = run_redirected("");
  EXPECT_EQ(s.status, 1);
  EXPECT_EQ(s.out.substr(0, 59), "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION");
}

TEST(Smoke, RunsAsAProcess) {
  for (Source in : {Source::pipe, Source::file, Source::terminal}) {
    const RunResult r = run_program("1 1\n0\n0\n0\n100\nn\n", {in, in == Source::terminal ? Sink::terminal : Sink::pipe});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out.substr(0, 59), "THIS PROGRAM CALCULATES THE VALUES FOR THE LAPLACE FUNCTION");
  }
}

}  // namespace
}  // namespace laplace::testing
