// The free-format scanner: one value per receiving variable, separated by
// blanks, commas or a slash, with repeat counts, null values, quoted and
// parenthesized values.
#pragma once

#include <array>
#include <cstdint>

namespace laplace::console_io {

struct ConsoleIo;

inline constexpr int VALUE_TEXT_SIZE = 260;

enum class ScanMode : std::uint8_t { plain, parenthesized, quoted };

struct ScanState {
  char last_separator = ',';
  std::uint32_t repeat_remaining = 0;
  bool ended_by_record_end = false;
  ScanMode mode = ScanMode::plain;
  char quote_char = '\'';
  std::array<char, VALUE_TEXT_SIZE> value_text{};
  // Characters of the value; for a quoted value, characters stored so far.
  // It stops counting one past the value text, which marks a value too long
  // to be a number.
  std::int32_t value_length = 0;
  std::int32_t comma_position = -1;
};

enum class ReceiverKind : std::uint8_t { integer32, real32, text };

struct Receiver {
  ReceiverKind kind;
  void* address;
  std::int32_t length;  // bytes of a text variable
};

// Scans one value for `receiver` and assigns it (or reuses a repeated one).
void scan_value(ConsoleIo& io, const Receiver& receiver);

// Stores the current value into `receiver`; a null value leaves it unchanged.
void assign_value(ConsoleIo& io, const Receiver& receiver);

}  // namespace laplace::console_io
