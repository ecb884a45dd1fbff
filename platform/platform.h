// The operating-system services the program uses, and nothing more: raw
// byte transfers on the three standard descriptors, the character-device
// test, and the end of the process. The run-time and the I/O layer reach the
// system only through this interface, so tests can substitute a fake.
#pragma once

#include <cstddef>
#include <cstdlib>

namespace laplace::platform {

inline constexpr int STANDARD_INPUT = 0;
inline constexpr int STANDARD_OUTPUT = 1;
inline constexpr int STANDARD_ERROR = 2;

// Why a write stopped short. Only the first two classes are errors of an
// output statement; every other failure is ignored by the callers.
enum class WriteFailure { none, device_full, access_denied, other };

struct WriteResult {
  std::size_t written;   // bytes accepted before the failure (all when none)
  WriteFailure failure;
};

struct ReadResult {
  std::size_t count;     // bytes delivered; 0 is the end of the input
  bool failed;           // the read failed (count is then 0)
};

class Platform {
 public:
  virtual ~Platform() = default;

  // One read of at most `capacity` bytes, as raw bytes; interrupted reads
  // are retried.
  virtual ReadResult read(int fd, char* buffer, std::size_t capacity) = 0;

  // Writes all `size` bytes unless the system refuses; short writes that
  // made progress are continued and interrupted writes retried.
  virtual WriteResult write(int fd, const char* data, std::size_t size) = 0;

  // True for terminals, the null device and serial lines; false for files,
  // pipes and sockets.
  virtual bool is_character_device(int fd) = 0;

  // Ends the process at once with `status`; nothing is flushed, because
  // nothing is ever buffered on the program's side.
  [[noreturn]] void end_process(int status) {
    do_end_process(status);
    std::abort();  // an implementation that returns is broken
  }

 protected:
  virtual void do_end_process(int status) = 0;
};

}  // namespace laplace::platform
