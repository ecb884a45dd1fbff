#include "platform/posix_platform.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace laplace::platform {

PosixPlatform::PosixPlatform() { std::signal(SIGPIPE, SIG_IGN); }

ReadResult PosixPlatform::read(int fd, char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, capacity);
    if (n >= 0) return {static_cast<std::size_t>(n), false};
    if (errno != EINTR) return {0, true};
  }
}

WriteFailure classify_write_error(int error_number) {
  switch (error_number) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return WriteFailure::device_full;
    case EACCES:
    case EPERM:
      return WriteFailure::access_denied;
    default:
      return WriteFailure::other;
  }
}

WriteResult PosixPlatform::write(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      // A write that accepts nothing without an error would loop for ever;
      // the system does not do that for regular files, pipes or terminals,
      // but treat it as a failure of no known class if it ever happens.
      return {done, n < 0 ? classify_write_error(errno) : WriteFailure::other};
    }
  }
  return {done, WriteFailure::none};
}

bool PosixPlatform::is_character_device(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && S_ISCHR(status.st_mode);
}

void populate_for_writing(void* start, std::size_t size) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto first = reinterpret_cast<std::uintptr_t>(start) & ~(page - 1);
  const auto end = reinterpret_cast<std::uintptr_t>(start) + size;
#ifdef MADV_POPULATE_WRITE
  // An older kernel refuses the advice; the pages are then faulted in as used.
  (void)::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)first;
  (void)end;
#endif
}

void PosixPlatform::do_end_process(int status) { ::_exit(status); }

}  // namespace laplace::platform
