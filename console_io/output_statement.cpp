#include "console_io/output_statement.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>

#include "console_io/console_io.h"
#include "console_io/real_editing.h"
#include "runtime/error_numbers.h"
#include "runtime/error_reports.h"
#include "runtime/float_arithmetic.h"

namespace laplace::console_io {
namespace {

// A record as it is built: the control character and at most 79 columns,
// with one byte in front so that the pending line end can take the place of
// the control character and go out with the body in one write.
class RecordBuilder {
 public:
  static constexpr int FIELD = 16;  // the widest number field, separator included

  void append_blanks(int count) {
    char* p = chars_.data() + START + length_;
    if (count <= FIELD) {
      // One fixed-size copy; what lies past `count` is overwritten next or never sent.
      std::memcpy(p, BLANKS, FIELD);
    } else {
      std::memset(p, ' ', static_cast<std::size_t>(count));
    }
    length_ += count;
  }
  void append(const char* text, int count) {
    std::memcpy(chars_.data() + START + length_, text, static_cast<std::size_t>(count));
    length_ += count;
  }
  // The `count` characters of a number, from a buffer of FIELD bytes.
  void append_number(const char* chars, int count) {
    std::memcpy(chars_.data() + START + length_, chars, FIELD);
    length_ += count;
  }
  void write(ConsoleIo& io);

 private:
  static constexpr int START = 2;
  static constexpr char BLANKS[FIELD + 1] = "                ";
  // Only the bytes placed are ever sent, so the buffer is left unfilled; the
  // slack past the longest record takes the fixed-size copies.
  std::array<char, START + 1 + RECORD_COLUMNS + FIELD> chars_;
  int length_ = 0;
};

void raise_write_failure(ConsoleIo& io, platform::WriteFailure failure) {
  io.statement_context = runtime::context::WRITE;
  if (failure == platform::WriteFailure::device_full) {
    raise_statement_error(io, runtime::message::DEVICE_FULL);
  }
  if (failure == platform::WriteFailure::access_denied) {
    raise_statement_error(io, runtime::message::ACCESS_DENIED);
  }
}

void RecordBuilder::write(ConsoleIo& io) {
  if (length_ == 0) append_blanks(1);
  ConsoleUnit& unit = io.output_connection();
  platform::Platform& p = io.run_time.platform;
  // The first character is the control character, never written.
  const char* body = chars_.data() + START + 1;
  const auto body_size = static_cast<std::size_t>(length_ - 1);
  if (unit.line_open) {
    chars_[START - 1] = '\r';
    chars_[START] = '\n';
    const platform::WriteResult r =
        p.write(platform::STANDARD_OUTPUT, chars_.data() + START - 1, body_size + 2);
    if (r.failure != platform::WriteFailure::none) {
      if (r.written >= 2) {
        raise_write_failure(io, r.failure);
      } else if (body_size > 0) {
        // The line end's own failure does not count; the body gets its write.
        const platform::WriteResult b = p.write(platform::STANDARD_OUTPUT, body, body_size);
        raise_write_failure(io, b.failure);
      }
    }
  } else if (body_size > 0) {
    const platform::WriteResult r = p.write(platform::STANDARD_OUTPUT, body, body_size);
    raise_write_failure(io, r.failure);
  }
  unit.line_open = true;
  length_ = 0;
}

constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The decimal characters of `value` into `out` (room for 11); returns their count.
int format_integer(std::int32_t value, char* out) {
  // Digits of the magnitude, two at a time from the right, in 32 unsigned
  // bits so that the most negative value needs no special case.
  std::array<char, 11> tmp;
  auto magnitude = static_cast<std::uint32_t>(value);
  if (value < 0) magnitude = 0u - magnitude;
  char* p = tmp.data() + tmp.size();
  while (magnitude >= 100) {
    p -= 2;
    std::memcpy(p, DIGIT_PAIRS + 2 * (magnitude % 100), 2);
    magnitude /= 100;
  }
  if (magnitude >= 10) {
    p -= 2;
    std::memcpy(p, DIGIT_PAIRS + 2 * magnitude, 2);
  } else {
    *--p = static_cast<char>('0' + magnitude);
  }
  if (value < 0) *--p = '-';
  const auto count = static_cast<int>(tmp.data() + tmp.size() - p);
  std::memcpy(out, p, static_cast<std::size_t>(count));
  return count;
}

}  // namespace

void begin_output(ConsoleIo& io) {
  io.statement.items.clear();
  io.statement.texts.clear();
  io.statement_context = runtime::context::WRITE;
}

void put_text(ConsoleIo& io, const char* text, std::int32_t length) {
  const auto count = static_cast<std::uint32_t>(std::max<std::int32_t>(length, 0));
  OutputStatement& s = io.statement;
  s.items.push_back({ItemKind::text, 0, 0, static_cast<std::uint32_t>(s.texts.size()), count});
  s.texts.append(text, count);
}

void put_integer(ConsoleIo& io, std::int32_t value) {
  io.statement.items.push_back({ItemKind::integer, value, 0, 0, 0});
}

void put_real(ConsoleIo& io, float value) {
  io.statement.items.push_back({ItemKind::real, 0, std::bit_cast<std::uint32_t>(value), 0, 0});
}

void end_output(ConsoleIo& io) {
  io.statement_context = runtime::context::WRITE;
  RecordBuilder record;
  int pending_blanks = 1;
  int columns_left = RECORD_COLUMNS;
  bool separator_due = false;
  std::array<char, RecordBuilder::FIELD> number{};

  for (const OutputItem& item : io.statement.items) {
    const char* chars;
    int count;
    int width;
    if (item.kind == ItemKind::text) {
      chars = io.statement.texts.data() + item.text_offset;
      count = static_cast<int>(item.text_length);
      width = count;
      separator_due = false;
    } else {
      if (item.kind == ItemKind::integer) {
        count = format_integer(item.integer, number.data());
        width = INTEGER_FIELD_WIDTH;
      } else {
        // Editing widens the value: a floating-point operation, where a
        // pending trap is taken before the record is written.
        (void)runtime::float_load(io.run_time, std::bit_cast<float>(item.real_bits));
        const EditedReal edited = edit_real(item.real_bits);
        std::copy_n(edited.chars.begin(), edited.length, number.begin());
        count = edited.length;
        width = REAL_FIELD_WIDTH;
      }
      chars = number.data();
      if (separator_due) {
        ++width;
      } else {
        separator_due = true;
      }
      pending_blanks += width - count;
    }

    while (width > 0) {
      if (width < columns_left) {
        record.append_blanks(pending_blanks);
        if (item.kind == ItemKind::text) {
          record.append(chars, count);
        } else {
          record.append_number(chars, count);
        }
        pending_blanks = 0;
        columns_left -= width;
        break;
      }
      if (item.kind == ItemKind::text) {
        // A text is split over records at the last column.
        record.append_blanks(pending_blanks);
        record.append(chars, columns_left);
        record.write(io);
        chars += columns_left;
        count -= columns_left;
        width = count;
        pending_blanks = 1;
        columns_left = RECORD_COLUMNS;
        continue;
      }
      // A number moves whole to a new record; its first owed blank becomes
      // that record's control character. A number owing no blank (only one
      // placed directly after a text can) gets one, so that no digit is lost.
      record.write(io);
      columns_left = RECORD_COLUMNS;
      if (pending_blanks == 0) {
        pending_blanks = 1;
        ++width;
      }
      record.append_blanks(pending_blanks);
      record.append_number(chars, count);
      pending_blanks = 0;
      columns_left -= width;
      break;
    }
  }
  record.write(io);
}

void close_console_line(ConsoleIo& io) {
  ConsoleUnit& unit = io.output_connection();
  if (!unit.line_open) return;
  // The result of writing a line end is not looked at.
  (void)io.run_time.platform.write(platform::STANDARD_OUTPUT, "\r\n", 2);
  unit.line_open = false;
}

}  // namespace laplace::console_io
