#include "viewer/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace laplace::view {
namespace {

// Writes everything to `fd`; false with errno set on failure.
bool write_all(int fd, std::string_view content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string failed(const std::string& what, const std::string& path, int error) {
  return path + ": " + what + ": " + std::strerror(error);
}

}  // namespace

std::string write_whole_file(const std::string& path, std::string_view content) {
  if (path == "-") {
    if (!write_all(STDOUT_FILENO, content)) return failed("cannot write", "standard output", errno);
    return {};
  }
  const std::size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base.empty()) return path + ": not a file name";
  std::string pattern = dir + "." + base + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return failed("cannot create a file beside it", path, errno);
  const std::string temp(name.data());
  int error = 0;
  if (!write_all(fd, content)) error = errno;
  if (error == 0 && ::fchmod(fd, 0644) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return failed("cannot write", path, error);
  }
  return {};
}

}  // namespace laplace::view
