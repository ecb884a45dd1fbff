#include "tests/support/process_runner.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace laplace::testing {
namespace {

[[noreturn]] void fail(const char* what) {
  throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

std::string temp_path(const char* stem) {
  const char* dir = std::getenv("TMPDIR");
  std::string pattern = std::string(dir != nullptr ? dir : "/tmp") + "/" + stem + "XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  const int fd = ::mkstemp(buf.data());
  if (fd < 0) fail("mkstemp");
  ::close(fd);
  return std::string(buf.data());
}

void write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("write");
    done += static_cast<std::size_t>(n);
  }
}

std::string read_file(const std::string& path) {
  std::string data;
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) fail("open");
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

}  // namespace

std::string program_path() { return LAPLACE_PROGRAM; }

RunResult run_program(const std::string& input, const RunOptions& options) {
  const bool terminal = options.input == Source::terminal || options.output == Sink::terminal;
  int master = -1;
  int slave = -1;
  if (terminal) {
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) fail("openpty");
    termios mode{};
    if (::tcgetattr(slave, &mode) != 0) fail("tcgetattr");
    // Canonical lines as typed, but no echo and no output translation, so the
    // program's own bytes come back unchanged.
    mode.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL);
    mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    if (::tcsetattr(slave, TCSANOW, &mode) != 0) fail("tcsetattr");
  }

  // Standard input.
  int in_pipe[2] = {-1, -1};
  std::string in_file, out_file;
  int child_in = -1;
  switch (options.input) {
    case Source::pipe:
      if (::pipe(in_pipe) != 0) fail("pipe");
      child_in = in_pipe[0];
      break;
    case Source::file: {
      in_file = temp_path("laplace-in");
      const int fd = ::open(in_file.c_str(), O_WRONLY | O_TRUNC);
      write_all(fd, input);
      ::close(fd);
      child_in = ::open(in_file.c_str(), O_RDONLY);
      break;
    }
    case Source::terminal: child_in = slave; break;
    case Source::null_device: child_in = ::open("/dev/null", O_RDONLY); break;
    case Source::directory: child_in = ::open("/", O_RDONLY | O_DIRECTORY); break;
    case Source::closed: break;
  }

  // Standard output.
  int out_pipe[2] = {-1, -1};
  int child_out = -1;
  switch (options.output) {
    case Sink::pipe:
    case Sink::reader_gone:
      if (::pipe(out_pipe) != 0) fail("pipe");
      child_out = out_pipe[1];
      if (options.output == Sink::reader_gone) {
        ::close(out_pipe[0]);
        out_pipe[0] = -1;
      }
      break;
    case Sink::file:
      out_file = temp_path("laplace-out");
      child_out = ::open(out_file.c_str(), O_WRONLY | O_TRUNC);
      break;
    case Sink::terminal: child_out = slave; break;
    case Sink::null_device: child_out = ::open("/dev/null", O_WRONLY); break;
    case Sink::full_device: child_out = ::open("/dev/full", O_WRONLY); break;
    case Sink::closed: break;
  }

  int err_pipe[2];
  if (::pipe(err_pipe) != 0) fail("pipe");

  std::vector<std::string> argv_storage{program_path()};
  argv_storage.insert(argv_storage.end(), options.arguments.begin(), options.arguments.end());
  std::vector<char*> argv;
  for (auto& a : argv_storage) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_storage = options.environment;
  std::vector<char*> envp;
  for (auto& e : env_storage) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) fail("fork");
  if (pid == 0) {
    if (terminal) {
      ::setsid();
      ::ioctl(slave, TIOCSCTTY, 0);
    }
    auto place = [](int fd, int target) {
      if (fd < 0) {
        ::close(target);
      } else if (fd != target) {
        ::dup2(fd, target);
      }
    };
    // Descriptors are placed from copies, so that one serving two roles survives.
    const int in_copy = child_in >= 0 ? ::fcntl(child_in, F_DUPFD, 10) : -1;
    const int out_copy = child_out >= 0 ? ::fcntl(child_out, F_DUPFD, 10) : -1;
    const int err_copy = ::fcntl(err_pipe[1], F_DUPFD, 10);
    place(in_copy, 0);
    place(out_copy, 1);
    place(err_copy, 2);
    ::closefrom(3);
    ::signal(SIGPIPE, SIG_DFL);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }

  // Parent: keep only our ends.
  if (in_pipe[0] >= 0) ::close(in_pipe[0]);
  if (out_pipe[1] >= 0) ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  if (child_in >= 0 && child_in != slave && child_in != in_pipe[0]) ::close(child_in);
  if (child_out >= 0 && child_out != slave && child_out != out_pipe[1]) ::close(child_out);
  if (slave >= 0) ::close(slave);

  RunResult result{"", "", -1, 0};
  if (options.input == Source::pipe) {
    // Everything at once: the pipe's buffer holds far more than any script here.
    ::signal(SIGPIPE, SIG_IGN);
    std::size_t done = 0;
    while (done < input.size()) {
      const ssize_t n = ::write(in_pipe[1], input.data() + done, input.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // the program stopped reading
      done += static_cast<std::size_t>(n);
    }
    ::close(in_pipe[1]);
  }
  if (options.input == Source::terminal) write_all(master, input);

  const int out_fd = options.output == Sink::terminal ? master : out_pipe[0];
  bool out_open = out_fd >= 0 && (options.output == Sink::pipe || options.output == Sink::terminal);
  bool err_open = true;
  bool signalled = false;
  // A program that waits for input it will never get is killed, so that a
  // wrong expectation fails the test instead of hanging it.
  int idle_ms = 0;
  while (out_open || err_open) {
    pollfd fds[2] = {{out_open ? out_fd : -1, POLLIN, 0}, {err_open ? err_pipe[0] : -1, POLLIN, 0}};
    const int ready = ::poll(fds, 2, 100);
    if (ready < 0) {
      if (errno == EINTR) continue;
      fail("poll");
    }
    if (ready == 0) {
      idle_ms += 100;
      if (idle_ms >= options.idle_limit_ms) {
        ::kill(pid, SIGKILL);
        idle_ms = -1000000;
      }
      continue;
    }
    idle_ms = 0;
    char buf[65536];
    if (out_open && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      const ssize_t n = ::read(out_fd, buf, sizeof buf);
      if (n > 0) {
        result.out.append(buf, static_cast<std::size_t>(n));
      } else if (!(n < 0 && errno == EINTR)) {
        out_open = false;  // EOF, or EIO once the terminal's last user is gone
      }
    }
    if (err_open && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      const ssize_t n = ::read(err_pipe[0], buf, sizeof buf);
      if (n > 0) {
        result.err.append(buf, static_cast<std::size_t>(n));
      } else if (!(n < 0 && errno == EINTR)) {
        err_open = false;
      }
    }
    if (options.signal != 0 && !signalled && result.out.size() >= options.signal_after_bytes) {
      ::kill(pid, options.signal);
      signalled = true;
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  if (master >= 0) ::close(master);
  if (out_pipe[0] >= 0) ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  if (options.input == Source::pipe) {
  }
  if (!out_file.empty()) {
    result.out = read_file(out_file);
    ::unlink(out_file.c_str());
  }
  if (!in_file.empty()) ::unlink(in_file.c_str());
  return result;
}

}  // namespace laplace::testing
