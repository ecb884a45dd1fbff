// Linux's side of the platform: read(2), write(2), fstat(2) and _exit(2).
#pragma once

#include "platform/platform.h"

namespace laplace::platform {

class PosixPlatform final : public Platform {
 public:
  // Ignores SIGPIPE, so that a reader that has gone away is an ordinary
  // failed write (EPIPE) instead of the death of the process.
  PosixPlatform();

  ReadResult read(int fd, char* buffer, std::size_t capacity) override;
  WriteResult write(int fd, const char* data, std::size_t size) override;
  bool is_character_device(int fd) override;

 protected:
  void do_end_process(int status) override;
};

// Asks the kernel to map the pages of [start, start + size) for writing now,
// in one call, instead of one page fault at a time; advice only.
void populate_for_writing(void* start, std::size_t size);

// How a failed write(2) is classified by its errno.
WriteFailure classify_write_error(int error_number);

}  // namespace laplace::platform
