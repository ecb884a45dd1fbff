// A platform of bytes in memory: scripted standard input, captured standard
// output and error, chosen device kinds, and failures injected on the k-th
// read or write.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace laplace::testing {

// Thrown where the real platform would end the process.
struct ProcessEnded {
  int status;
};

struct WriteCall {
  int fd;
  std::string bytes;  // what was accepted
  int reads_before;   // reads of standard input made before this write
};

class FakePlatform final : public platform::Platform {
 public:
  std::string input;
  std::size_t input_position = 0;
  bool input_is_character_device = false;
  bool output_is_character_device = false;
  // Deliver at most one line per read, as a terminal in canonical mode does.
  bool line_at_a_time = false;

  // 1-based number of the write to fail (0: none), and how. The first
  // `fail_write_accepts` bytes of that write are accepted before it fails.
  int fail_write_number = 0;
  platform::WriteFailure fail_write_kind = platform::WriteFailure::other;
  std::size_t fail_write_accepts = 0;
  // Once failed, every later write to standard output fails the same way.
  bool fail_later_writes = false;
  // 1-based number of the read to fail (0: none).
  int fail_read_number = 0;

  std::string out;  // standard output, in order
  std::string err;  // standard error, in order
  std::vector<WriteCall> writes;
  int reads = 0;

  platform::ReadResult read(int fd, char* buffer, std::size_t capacity) override;
  platform::WriteResult write(int fd, const char* data, std::size_t size) override;
  bool is_character_device(int fd) override;

 protected:
  void do_end_process(int status) override { throw ProcessEnded{status}; }

 private:
  int write_count_ = 0;
  bool output_failed_ = false;
};

}  // namespace laplace::testing
