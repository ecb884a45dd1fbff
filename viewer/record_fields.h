// The fixed layout of the numbers in laplace's records: every integer is
// right-aligned in 11 columns, every real in 15, and each number after the
// first in a record has one separator blank ahead of its field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace laplace::view {

inline constexpr std::size_t INTEGER_FIELD_WIDTH = 11;
inline constexpr std::size_t REAL_FIELD_WIDTH = 15;

enum class FieldKind { integer, real };

// One number of a record layout, with the name that messages give it.
struct FieldSpec {
  FieldKind kind;
  const char* name;
};

// A number read from its field. `text` is the field without its blanks (for
// a real exactly the characters the program printed); `integer` is set for
// integer fields, `real` for real fields (infinite or NaN for the special
// texts).
struct FieldValue {
  std::string_view text;
  std::int32_t integer = 0;
  double real = 0.0;
};

// Width in characters of a record laid out as `layout`.
std::size_t record_width(std::span<const FieldSpec> layout);

// Reads the numbers of `line` by `layout` into `values` (one per field).
// Returns an empty string on success, else the reason the line does not fit.
std::string read_record(std::string_view line, std::span<const FieldSpec> layout,
                        std::span<FieldValue> values);

// The value of an integer as printed: digits with an optional "-", no
// leading zeros, within the 32-bit range.
std::optional<std::int32_t> parse_integer_text(std::string_view text);

// The value of a real as printed, in any of the program's forms: fixed
// ("12.500000", "-3.250000"), exponent ("1.000000E-01", also a three-digit
// exponent with or without "E"), or a special text ("1#INF........",
// "1#IND", "1#QNAN", "1#SNAN" with their dots; also "INF" and "NAN").
// Infinity for "1#INF" (the text carries no sign), NaN for the others.
std::optional<double> parse_real_text(std::string_view text);

}  // namespace laplace::view
