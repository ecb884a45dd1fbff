#include "console_io/scanner.h"

#include <algorithm>
#include <cstring>

#include "console_io/console_io.h"
#include "console_io/input_record.h"
#include "console_io/integer_conversion.h"
#include "console_io/real_conversion.h"
#include "runtime/error_numbers.h"

namespace laplace::console_io {
namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// A value longer than the value text is counted up to one past it, which is
// enough to know that it cannot be a number.
constexpr std::int32_t OVERLONG = VALUE_TEXT_SIZE + 1;

void append(ScanState& s, char c) {
  if (s.value_length < VALUE_TEXT_SIZE) {
    s.value_text[static_cast<std::size_t>(s.value_length)] = c;
  }
  if (s.value_length < OVERLONG) ++s.value_length;
}

// Bytes of a quoted value go straight into a text variable, as many as fit;
// for a number variable they are only counted, since the value is an error.
void store_quoted(ScanState& s, const Receiver& receiver, char c) {
  const std::int32_t capacity = receiver.kind == ReceiverKind::text ? receiver.length : 4;
  if (s.value_length >= capacity) return;
  if (receiver.kind == ReceiverKind::text) {
    static_cast<char*>(receiver.address)[s.value_length] = c;
  }
  ++s.value_length;
}

void raise_integer_status(ConsoleIo& io, IntegerStatus status) {
  switch (status) {
    case IntegerStatus::ok: return;
    case IntegerStatus::overflow: raise_statement_error(io, runtime::message::INTEGER_OUT_OF_RANGE);
    case IntegerStatus::bad_character: raise_statement_error(io, runtime::message::INTEGER_BAD_CHARACTER);
    case IntegerStatus::second_radix_mark: raise_statement_error(io, runtime::message::SECOND_RADIX_MARK);
    case IntegerStatus::bad_base: raise_statement_error(io, runtime::message::BAD_BASE);
  }
}

std::int32_t convert_count_or_raise(ConsoleIo& io) {
  const ScanState& s = io.scan;
  if (s.value_length == OVERLONG) raise_statement_error(io, runtime::message::INTEGER_BAD_CHARACTER);
  const IntegerResult r =
      convert_integer_text(s.value_text.data(), static_cast<std::size_t>(s.value_length));
  raise_integer_status(io, r.status);
  return r.value;
}

}  // namespace

void scan_value(ConsoleIo& io, const Receiver& receiver) {
  ScanState& s = io.scan;
  if (s.repeat_remaining > 0) {
    --s.repeat_remaining;
    assign_value(io, receiver);
    return;
  }
  s.ended_by_record_end = false;
  s.value_length = 0;
  s.mode = ScanMode::plain;
  s.comma_position = -1;

  char separator;
  for (;;) {
    char c = next_input_char(io);
    if (c == CR || c == LF) {
      --io.input_unit.position;
      skip_to_next_record(io);
      if (s.mode == ScanMode::quoted) {
        // A quoted value goes on in the next record, whose first byte is skipped.
        (void)next_input_char(io);
        continue;
      }
      c = ' ';
      if (s.value_length > 0) s.ended_by_record_end = true;
    }

    if (s.mode == ScanMode::quoted) {
      if (c != s.quote_char) {
        store_quoted(s, receiver, c);
        continue;
      }
      const char c2 = next_input_char(io);
      if (c2 == s.quote_char) {
        store_quoted(s, receiver, c2);
        continue;
      }
      if (c2 == LF) --io.input_unit.position;
      separator = c2;
      break;
    }

    if (c == ' ' || c == '\t') {
      if ((s.value_length == 0 && s.repeat_remaining == 0) || s.mode == ScanMode::parenthesized) continue;
      separator = ' ';
      break;
    }
    if (c == '(' && s.value_length == 0) {
      s.mode = ScanMode::parenthesized;
      continue;
    }
    if (c == ')' && s.mode == ScanMode::parenthesized) {
      separator = ' ';
      break;
    }
    if ((c == '\'' || c == '"') && s.value_length == 0) {
      s.mode = ScanMode::quoted;
      s.quote_char = c;
      continue;
    }
    if (c == '*') {
      if (s.repeat_remaining != 0) raise_statement_error(io, runtime::message::SECOND_REPEAT_COUNT);
      const std::int32_t count = convert_count_or_raise(io);
      if (count == 0) raise_statement_error(io, runtime::message::BAD_REPEAT_COUNT);
      // A negative count acts as a very large one.
      s.repeat_remaining = static_cast<std::uint32_t>(count) - 1u;
      s.value_length = 0;
      continue;
    }
    if (c == ',') {
      if (s.value_length == 0 && s.last_separator == ' ' && s.repeat_remaining == 0) {
        // The comma belongs to the blank or line end that ended the previous value.
        s.last_separator = ',';
        continue;
      }
      if (s.mode != ScanMode::parenthesized) {
        separator = ',';
        break;
      }
      s.comma_position = s.value_length;
      append(s, c);
      continue;
    }
    if (c == '/') {
      separator = '/';
      break;
    }
    append(s, c);
  }
  s.last_separator = separator;
  assign_value(io, receiver);
}

void assign_value(ConsoleIo& io, const Receiver& receiver) {
  const ScanState& s = io.scan;
  if (s.value_length == 0) return;  // a null value
  switch (receiver.kind) {
    case ReceiverKind::integer32: {
      if (s.mode != ScanMode::plain) raise_statement_error(io, runtime::message::QUOTED_NUMBER);
      const std::int32_t value = convert_count_or_raise(io);
      *static_cast<std::int32_t*>(receiver.address) = value;
      return;
    }
    case ReceiverKind::real32: {
      if (s.mode != ScanMode::plain) raise_statement_error(io, runtime::message::QUOTED_NUMBER);
      if (s.value_length == OVERLONG) raise_statement_error(io, runtime::message::REAL_NOT_A_NUMBER);
      const Real32Result r =
          store_real32(s.value_text.data(), static_cast<std::size_t>(s.value_length));
      switch (r.status) {
        case Real32Status::ok: break;
        case Real32Status::beyond_double: raise_statement_error(io, runtime::message::REAL_BEYOND_DOUBLE);
        case Real32Status::not_a_number: raise_statement_error(io, runtime::message::REAL_NOT_A_NUMBER);
        case Real32Status::beyond_single: raise_statement_error(io, runtime::message::REAL_BEYOND_SINGLE);
      }
      std::memcpy(receiver.address, &r.value, sizeof r.value);
      return;
    }
    case ReceiverKind::text: {
      char* variable = static_cast<char*>(receiver.address);
      const std::int32_t length = std::max<std::int32_t>(receiver.length, 0);
      const std::int32_t held = std::min(s.value_length, std::int32_t{VALUE_TEXT_SIZE});
      if (s.mode != ScanMode::quoted) {
        std::copy_n(s.value_text.begin(), std::min(length, held), variable);
      }
      // Bytes past the value text were dropped; the blanks start after what is held.
      for (std::int32_t k = held; k < length; ++k) variable[k] = ' ';
      return;
    }
  }
}

}  // namespace laplace::console_io
