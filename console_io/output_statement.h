// Output statements: items collected by the put calls, laid out as records of
// free-format text by end_output, each record's body handed to standard output
// at once and its line end (CR LF) left pending until it is due.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace laplace::console_io {

struct ConsoleIo;

enum class ItemKind : std::uint8_t { text, integer, real };

struct OutputItem {
  ItemKind kind;
  std::int32_t integer;
  std::uint32_t real_bits;
  std::uint32_t text_offset;  // into OutputStatement::texts
  std::uint32_t text_length;
};

struct OutputStatement {
  // Both grow to the largest statement seen and are then reused.
  std::vector<OutputItem> items;
  std::string texts;
};

void begin_output(ConsoleIo& io);
// Copies `length` characters now; a negative length counts as 0.
void put_text(ConsoleIo& io, const char* text, std::int32_t length);
void put_integer(ConsoleIo& io, std::int32_t value);
void put_real(ConsoleIo& io, float value);
// Lays out and writes the statement's records; the last line end stays pending.
void end_output(ConsoleIo& io);

// Writes the pending line end of the output connection, if any.
void close_console_line(ConsoleIo& io);

}  // namespace laplace::console_io
