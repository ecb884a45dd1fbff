// One console connection and the fixed sizes of console records.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace laplace::console_io {

inline constexpr int RECORD_BUFFER_SIZE = 132;
inline constexpr int RECORD_COLUMNS = 79;
inline constexpr int INTEGER_FIELD_WIDTH = 11;
inline constexpr int REAL_FIELD_WIDTH = 15;
inline constexpr char UNIT_NAME[] = "CON";

struct ConsoleUnit {
  int handle = platform::STANDARD_INPUT;
  // The last record written through this connection has no line end yet.
  bool line_open = false;
  // Input records are read into it; one more byte holds an appended LF.
  std::array<char, RECORD_BUFFER_SIZE> buffer{};
  std::int32_t position = 0;  // next byte to take
  std::int32_t last = -1;     // last valid byte; -1 when the record is empty
  bool end_of_file = false;
};

}  // namespace laplace::console_io
