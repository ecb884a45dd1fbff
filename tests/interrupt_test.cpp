// Ctrl-C with standard output redirected to a file: the platform's default
// ends the process at once, and the file keeps every record written before,
// each one whole, with no line end added.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/process_runner.h"
#include "tests/support/transcript.h"

namespace laplace::testing {
namespace {

using namespace dialogue;

struct Interrupted {
  std::string out;  // the file's bytes
  std::string err;
  int signal;       // what ended the process, 0 if it exited
};

std::string read_all(int fd) {
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return data;
    data.append(buf, static_cast<std::size_t>(n));
  }
}

// Runs the program with `input` in a pipe that stays open (so that it waits
// at a prompt once the input is used up) and standard output to a file;
// sends SIGINT once the file holds at least `bytes` bytes.
Interrupted interrupt_after(const std::string& input, std::size_t bytes) {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/laplace-interruptXXXXXX";
  const int out = ::mkstemp(path.data());
  int in[2];
  int err[2];
  if (out < 0 || ::pipe(in) != 0 || ::pipe(err) != 0) {
    ADD_FAILURE() << "set-up: " << std::strerror(errno);
    return {};
  }
  const std::string program = program_path();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out, 1);
    ::dup2(err[1], 2);
    ::closefrom(3);
    ::signal(SIGINT, SIG_DFL);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(err[1]);
  // The whole input at once; it fits the pipe's buffer.
  EXPECT_EQ(::write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));

  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  struct stat st {};
  while (::fstat(out, &st) == 0 && static_cast<std::size_t>(st.st_size) < bytes &&
         std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // Once more, so that a record being written when the size was seen is done.
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ::kill(pid, SIGINT);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ::close(in[1]);
  Interrupted r;
  r.err = read_all(err[0]);
  ::close(err[0]);
  ::lseek(out, 0, SEEK_SET);
  r.out = read_all(out);
  ::close(out);
  ::unlink(path.c_str());
  r.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return r;
}

const std::string ZERO = "0.000000E+00";

TEST(Interrupt, InTheSweepsTheFileKeepsWholeRecords) {
  // All boundary values 0: every computed value is 0, so every record of
  // every layer is known.
  const Interrupted r = interrupt_after("1 1\n0\n0\n0\n0\nY\nY\n2000000000\n", 200000);
  EXPECT_EQ(r.signal, SIGINT);
  EXPECT_EQ(r.err, "");

  Records records = set_up(ZERO.c_str(), ZERO.c_str(), ZERO.c_str(), ZERO.c_str());
  records += continue_yes();
  records += initial_report(ZERO.c_str());
  records += continue_yes();
  records.push_back(COUNT);
  std::string expected = bytes(records);
  const std::vector<const char*> zeros(15, ZERO.c_str());
  for (int n = 2; expected.size() < r.out.size() + 100; ++n) expected += bytes(layer(n, zeros));

  ASSERT_GE(r.out.size(), 200000u);
  EXPECT_EQ(r.out, expected.substr(0, r.out.size()));
  // It stops right after a record's body: the line end that would come with
  // the next record is not there, and none was added.
  EXPECT_EQ(expected.substr(r.out.size(), 2), "\r\n");
}

TEST(Interrupt, AtAPromptNoLineEndFollows) {
  // Only the spacings: the program waits at the lower prompt.
  const Interrupted r = interrupt_after("1 1\n", bytes({TITLE, SPACER, SPACING}).size() + LOWER.size());
  EXPECT_EQ(r.signal, SIGINT);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, bytes({TITLE, SPACER, SPACING}) + LOWER);
}

}  // namespace
}  // namespace laplace::testing
