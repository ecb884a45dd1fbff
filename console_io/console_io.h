// The I/O layer's state: the console connections, the statement being laid
// out and the scanner, with the layer's set-up and exit action.
#pragma once

#include <cstdint>

#include "console_io/console_unit.h"
#include "console_io/output_statement.h"
#include "console_io/scanner.h"
#include "runtime/run_time.h"

namespace laplace::console_io {

struct ConsoleIo {
  explicit ConsoleIo(runtime::RunTime& r) : run_time(r) {}

  runtime::RunTime& run_time;
  // Standard input and standard output are both character devices: one
  // connection serves both directions.
  bool shared = false;
  bool input_is_character_device = false;
  ConsoleUnit input_unit;   // the shared console when `shared`
  ConsoleUnit output_unit;  // the separate output connection otherwise
  OutputStatement statement;
  ScanState scan;
  std::int32_t statement_context = 0;

  ConsoleUnit& output_connection() { return shared ? input_unit : output_unit; }
};

// Decides once how many connections exist; writes nothing.
void open_console(ConsoleIo& io);

// The exit action: ends an open console line, at most once.
void finish_console_io(ConsoleIo& io);

// Raises the run-time error `message_index` for the running statement.
[[noreturn]] void raise_statement_error(ConsoleIo& io, std::int32_t message_index);

}  // namespace laplace::console_io
