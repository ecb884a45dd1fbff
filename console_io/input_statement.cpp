#include "console_io/input_statement.h"

#include "console_io/console_io.h"
#include "console_io/input_record.h"
#include "runtime/error_reports.h"

namespace laplace::console_io {
namespace {

void get(ConsoleIo& io, const Receiver& receiver) {
  // After a slash the remaining variables keep their values, unless a repeat
  // count is still supplying one.
  if (io.scan.last_separator == '/' && io.scan.repeat_remaining == 0) return;
  scan_value(io, receiver);
}

}  // namespace

void begin_input(ConsoleIo& io) {
  io.statement_context = runtime::context::READ;
  ConsoleUnit& unit = io.input_unit;
  if (unit.line_open) {
    // Only the shared console gets here: the prompt's line end goes out before
    // the user types, and output left in the shared buffer is never read.
    (void)io.run_time.platform.write(platform::STANDARD_OUTPUT, "\r\n", 2);
    unit.last = -1;
  }
  io.scan.last_separator = ',';
  io.scan.repeat_remaining = 0;
  io.scan.ended_by_record_end = false;
}

void get_integer(ConsoleIo& io, std::int32_t& variable) {
  get(io, {ReceiverKind::integer32, &variable, 4});
}

void get_real(ConsoleIo& io, float& variable) { get(io, {ReceiverKind::real32, &variable, 4}); }

void get_text(ConsoleIo& io, char* variable, std::int32_t length) {
  get(io, {ReceiverKind::text, variable, length});
}

void end_input(ConsoleIo& io) {
  if (!io.scan.ended_by_record_end) skip_to_next_record(io);
}

}  // namespace laplace::console_io
