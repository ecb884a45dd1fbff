#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cstring>

namespace laplace::testing {

platform::ReadResult FakePlatform::read(int fd, char* buffer, std::size_t capacity) {
  ++reads;
  if (fd != platform::STANDARD_INPUT) return {0, true};
  if (fail_read_number != 0 && reads == fail_read_number) return {0, true};
  std::size_t n = std::min(capacity, input.size() - input_position);
  if (line_at_a_time) {
    const std::size_t lf = input.find('\n', input_position);
    if (lf != std::string::npos) n = std::min(n, lf + 1 - input_position);
  }
  std::memcpy(buffer, input.data() + input_position, n);
  input_position += n;
  return {n, false};
}

platform::WriteResult FakePlatform::write(int fd, const char* data, std::size_t size) {
  ++write_count_;
  const bool failing = (fail_write_number != 0 && write_count_ == fail_write_number) ||
                       (fail_later_writes && output_failed_ && fd == platform::STANDARD_OUTPUT);
  std::size_t accepted = size;
  if (failing) {
    output_failed_ = true;
    accepted = std::min(size, fail_write_accepts);
  }
  writes.push_back({fd, std::string(data, accepted), reads});
  if (fd == platform::STANDARD_OUTPUT) out.append(data, accepted);
  if (fd == platform::STANDARD_ERROR) err.append(data, accepted);
  if (failing) return {accepted, fail_write_kind};
  return {size, platform::WriteFailure::none};
}

bool FakePlatform::is_character_device(int fd) {
  if (fd == platform::STANDARD_INPUT) return input_is_character_device;
  if (fd == platform::STANDARD_OUTPUT) return output_is_character_device;
  return false;
}

}  // namespace laplace::testing
