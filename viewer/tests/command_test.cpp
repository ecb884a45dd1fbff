// laplace-view as a command: what it writes, and that a transcript it
// cannot read leaves no page behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/tests/malformed.h"
#include "viewer/tests/process.h"

namespace laplace::view::testing {
namespace {

const char* const WORKED_EXAMPLE = "1 1\n0\n0\n0\n100\nY\nY\n3\nA\n0.5 0.5\nD\n";

TEST(Command, WritesOnePageAndNothingElse) {
  ScratchDir dir;
  write_file(dir.file("run.txt"), run_laplace(WORKED_EXAMPLE));
  const Outcome o = run({view_program(), dir.file("run.txt"), dir.file("page.html")});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"page.html", "run.txt"}));
  const std::string page = read_file(dir.file("page.html"));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("run.txt"), std::string::npos);
}

TEST(Command, StandardInputToStandardOutput) {
  const Outcome o = run({view_program(), "-", "-"}, run_laplace(WORKED_EXAMPLE));
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(o.out.find("\"source\":\"standard input\""), std::string::npos);
}

TEST(Command, UnreadableTranscriptsLeaveTheOldPageAlone) {
  ScratchDir dir;
  const std::string page = dir.file("page.html");
  for (const Malformed& m : malformed_transcripts()) {
    SCOPED_TRACE(m.name);
    write_file(dir.file("run.txt"), m.text);
    write_file(page, "the page of an earlier run");
    const Outcome o = run({view_program(), dir.file("run.txt"), page});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("run.txt: line " + std::to_string(m.line) + ": "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(m.reason), std::string::npos) << o.err;
    EXPECT_EQ(read_file(page), "the page of an earlier run");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"page.html", "run.txt"}));

    const Outcome piped = run({view_program(), "-", "-"}, m.text);
    EXPECT_EQ(piped.status, 1);
    EXPECT_EQ(piped.out, "");  // not a byte of a page
  }
}

TEST(Command, Usage) {
  ScratchDir dir;
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;  // on standard error, or on standard output for --help
  };
  const std::vector<Case> cases = {
      {{"--help"}, 0, "Usage: laplace-view"},
      {{}, 2, "give the transcript and the page"},
      {{"one.txt"}, 2, "give the transcript and the page"},
      {{"a", "b", "c"}, 2, "give the transcript and the page"},
      {{"--frames=1", "a", "b"}, 2, "--frames needs"},
      {{"--frames=x", "a", "b"}, 2, "--frames needs"},
      {{"--colour", "a", "b"}, 2, "unknown option --colour"},
      {{dir.file("missing.txt"), dir.file("page.html")}, 1, "cannot open"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {view_program()};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const Outcome o = run(argv);
    EXPECT_EQ(o.status, c.status) << c.says;
    EXPECT_NE((c.status == 0 ? o.out : o.err).find(c.says), std::string::npos) << o.out << o.err;
  }
  EXPECT_TRUE(dir.entries().empty());
}

TEST(Command, FramesOption) {
  ScratchDir dir;
  write_file(dir.file("run.txt"), run_laplace("1 1\n0\n0\n0\n100\nY\nY\n40\nD\n"));
  const Outcome o = run({view_program(), "--frames=8", dir.file("run.txt"), dir.file("page.html")});
  ASSERT_EQ(o.status, 0) << o.err;
  const std::string page = read_file(dir.file("page.html"));
  // 40 layers in at most 8 frames: layer 1, every 8th after it, the last.
  EXPECT_NE(page.find("\"frameLayers\":[1,9,17,25,33,40]"), std::string::npos);
  EXPECT_NE(page.find("Frames thinned"), std::string::npos);
}

}  // namespace
}  // namespace laplace::view::testing
