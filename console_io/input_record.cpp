#include "console_io/input_record.h"

#include "console_io/console_io.h"
#include "runtime/error_numbers.h"

namespace laplace::console_io {
namespace {

constexpr char LF = '\n';
constexpr char CTRL_Z = 26;

}  // namespace

char read_input_record(ConsoleIo& io) {
  ConsoleUnit& unit = io.input_unit;
  const platform::ReadResult r = io.run_time.platform.read(
      platform::STANDARD_INPUT, unit.buffer.data(), RECORD_BUFFER_SIZE);
  if (r.failed) raise_statement_error(io, runtime::message::READ_FAILED);
  const auto n = static_cast<std::int32_t>(r.count);
  unit.position = 0;
  unit.last = n - 1;
  if (n == 0) {
    unit.end_of_file = true;
    raise_statement_error(io, runtime::message::END_OF_INPUT);
  }
  auto byte = [&unit](std::int32_t k) { return unit.buffer[static_cast<std::size_t>(k)]; };
  // A last line without its line end ends as if it had one.
  if (n < RECORD_BUFFER_SIZE && byte(n - 1) != LF) {
    unit.buffer[static_cast<std::size_t>(n)] = LF;
    unit.last = n;
  }
  // A full buffer without its line end is a typed line too long to hold;
  // redirected input simply goes on in the next read.
  if (n == RECORD_BUFFER_SIZE && byte(n - 1) != LF && io.input_is_character_device) {
    raise_statement_error(io, runtime::message::LINE_TOO_LONG);
  }
  // Ctrl-Z typed last on a line, before its CR LF, ends the input.
  if (n >= 3 && byte(n - 3) == CTRL_Z) {
    unit.end_of_file = true;
    raise_statement_error(io, runtime::message::END_OF_INPUT);
  }
  unit.position = 1;
  return byte(0);
}

char next_input_char(ConsoleIo& io) {
  ConsoleUnit& unit = io.input_unit;
  if (unit.position > unit.last) return read_input_record(io);
  return unit.buffer[static_cast<std::size_t>(unit.position++)];
}

void skip_to_next_record(ConsoleIo& io) {
  ConsoleUnit& unit = io.input_unit;
  if (io.input_is_character_device) {
    // Reached with an empty record only at the end of a statement whose last
    // value was a null value ended by the line end: one more line is awaited.
    if (unit.position == 0 && unit.last == -1) (void)read_input_record(io);
    unit.last = -1;
    unit.position = 0;
  } else {
    while (next_input_char(io) != LF) {
    }
  }
  unit.line_open = false;
}

}  // namespace laplace::console_io
