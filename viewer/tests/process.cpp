#include "viewer/tests/process.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace laplace::view::testing {
namespace {

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

void close_fd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

std::string laplace_program() { return LAPLACE_PROGRAM; }
std::string view_program() { return LAPLACE_VIEW_PROGRAM; }

Outcome run(const std::vector<std::string>& argv, const std::string& input) {
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) fail("pipe");
  std::vector<std::string> storage = argv;
  std::vector<char*> args;
  for (std::string& a : storage) args.push_back(a.data());
  args.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) fail("fork");
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::signal(SIGPIPE, SIG_DFL);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  int to_child = in[1], from_out = out[0], from_err = err[0];
  ::fcntl(to_child, F_SETFL, O_NONBLOCK);
  // A child that stops reading early must not end the test with SIGPIPE.
  struct sigaction ignore {};
  struct sigaction before {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &before);

  Outcome result;
  std::size_t sent = 0;
  if (input.empty()) close_fd(to_child);
  while (to_child >= 0 || from_out >= 0 || from_err >= 0) {
    pollfd fds[3] = {{to_child, POLLOUT, 0}, {from_out, POLLIN, 0}, {from_err, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      fail("poll");
    }
    if (to_child >= 0 && fds[0].revents != 0) {
      const ssize_t n = ::write(to_child, input.data() + sent, input.size() - sent);
      if (n > 0) sent += static_cast<std::size_t>(n);
      if ((n < 0 && errno != EAGAIN && errno != EINTR) || sent == input.size()) close_fd(to_child);
    }
    char buffer[65536];
    for (int k = 1; k <= 2; ++k) {
      int& fd = k == 1 ? from_out : from_err;
      if (fd < 0 || fds[k].revents == 0) continue;
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) (k == 1 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
      else if (!(n < 0 && errno == EINTR)) close_fd(fd);
    }
  }
  ::sigaction(SIGPIPE, &before, nullptr);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string run_laplace(const std::string& answers) {
  const Outcome o = run({laplace_program()}, answers);
  if (o.status != 0) throw std::runtime_error("laplace ended with status " + std::to_string(o.status) + ": " + o.err);
  return o.out;
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << content;
  if (!f) throw std::runtime_error("cannot write " + path);
}

bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

ScratchDir::ScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/laplace-view-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) fail("mkdtemp");
  path_ = name.data();
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchDir::entries() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace laplace::view::testing
