#include "console_io/console_io.h"

#include <new>

#include "runtime/error_numbers.h"
#include "runtime/error_reports.h"

namespace laplace::console_io {

void open_console(ConsoleIo& io) {
  platform::Platform& p = io.run_time.platform;
  io.input_is_character_device = p.is_character_device(platform::STANDARD_INPUT);
  io.shared = io.input_is_character_device && p.is_character_device(platform::STANDARD_OUTPUT);
  io.input_unit = ConsoleUnit{};
  io.input_unit.handle = platform::STANDARD_INPUT;
  io.output_unit = ConsoleUnit{};
  io.output_unit.handle = platform::STANDARD_OUTPUT;
  // Room for the statements the program makes, so that none allocates later.
  try {
    io.statement.items.reserve(8);
    io.statement.texts.reserve(160);
  } catch (const std::bad_alloc&) {
    runtime::raise_run_time_error(io.run_time, runtime::message::NO_MEMORY_FOR_UNIT,
                                  runtime::context::MEMORY, {});
  }
}

void finish_console_io(ConsoleIo& io) {
  runtime::RunTime& rt = io.run_time;
  if (rt.termination_in_progress) return;
  rt.termination_in_progress = true;
  try {
    io.statement_context = runtime::context::CLOSE;
    close_console_line(io);
  } catch (const runtime::TerminationError&) {
    // Reported already; the exit status in force stays.
  }
}

void raise_statement_error(ConsoleIo& io, std::int32_t message_index) {
  runtime::raise_run_time_error(io.run_time, message_index, io.statement_context, UNIT_NAME);
}

}  // namespace laplace::console_io
