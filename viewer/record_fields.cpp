#include "viewer/record_fields.h"

#include <array>
#include <charconv>
#include <limits>
#include <system_error>

namespace laplace::view {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (upper(a[k]) != upper(b[k])) return false;
  return true;
}

std::size_t field_width(FieldKind kind) {
  return kind == FieldKind::integer ? INTEGER_FIELD_WIDTH : REAL_FIELD_WIDTH;
}

// Shows a piece of a line in a message, quoted.
std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::optional<double> parse_special(std::string_view text) {
  if (text.size() >= 2 && text[0] == '1' && text[1] == '#') {
    std::string_view word = text.substr(2);
    while (!word.empty() && word.back() == '.') word.remove_suffix(1);
    if (word == "INF") return std::numeric_limits<double>::infinity();
    if (word == "IND" || word == "QNAN" || word == "SNAN") return std::numeric_limits<double>::quiet_NaN();
    return std::nullopt;
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (equal_ignoring_case(text, "INF") || equal_ignoring_case(text, "INFINITY"))
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  if (equal_ignoring_case(text, "NAN")) return std::numeric_limits<double>::quiet_NaN();
  return std::nullopt;
}

}  // namespace

std::size_t record_width(std::span<const FieldSpec> layout) {
  std::size_t width = 0;
  for (std::size_t k = 0; k < layout.size(); ++k) width += field_width(layout[k].kind) + (k > 0 ? 1 : 0);
  return width;
}

std::optional<std::int32_t> parse_integer_text(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '-') digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  for (char c : digits)
    if (!is_digit(c)) return std::nullopt;
  if (digits[0] == '0' && (digits.size() > 1 || text[0] == '-')) return std::nullopt;  // "007", "-0"
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  if (text[0] == '-') value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<double> parse_real_text(std::string_view text) {
  if (text.empty() || text.size() > 40) return std::nullopt;
  if (const auto special = parse_special(text)) return special;

  // [sign] digits [. digits] [E [sign] digits | sign digits], at least one
  // mantissa digit.
  std::size_t k = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') ++k;
  std::array<char, 64> buffer{};
  std::size_t used = 0;
  if (negative) buffer[used++] = '-';
  std::size_t mantissa_digits = 0;
  while (k < text.size() && is_digit(text[k])) {
    buffer[used++] = text[k++];
    ++mantissa_digits;
  }
  if (k < text.size() && text[k] == '.') {
    buffer[used++] = text[k++];
    while (k < text.size() && is_digit(text[k])) {
      buffer[used++] = text[k++];
      ++mantissa_digits;
    }
  }
  if (mantissa_digits == 0) return std::nullopt;
  if (k < text.size()) {
    if (text[k] == 'E' || text[k] == 'e') ++k;
    buffer[used++] = 'e';
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) buffer[used++] = text[k++];
    std::size_t exponent_digits = 0;
    while (k < text.size() && is_digit(text[k])) {
      buffer[used++] = text[k++];
      ++exponent_digits;
    }
    if (exponent_digits == 0 || k != text.size()) return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(buffer.data(), buffer.data() + used, value);
  if (error != std::errc{} || end != buffer.data() + used) return std::nullopt;
  return value;
}

std::string read_record(std::string_view line, std::span<const FieldSpec> layout,
                        std::span<FieldValue> values) {
  const std::size_t expected = record_width(layout);
  if (line.size() != expected || values.size() < layout.size())
    return "the record has " + std::to_string(line.size()) + " characters, not " + std::to_string(expected);
  std::size_t start = 0;
  for (std::size_t k = 0; k < layout.size(); ++k) {
    const FieldSpec& wanted = layout[k];
    const std::size_t number_width = field_width(wanted.kind);
    const std::size_t width = number_width + (k > 0 ? 1 : 0);
    const std::string_view field = line.substr(start, width);
    const std::size_t first_column = start + 1;
    start += width;
    const auto where = [&] {
      return "columns " + std::to_string(first_column) + "-" + std::to_string(start) + " (the " + wanted.name + ")";
    };

    std::size_t blanks = 0;
    while (blanks < field.size() && field[blanks] == ' ') ++blanks;
    const std::string_view text = field.substr(blanks);
    if (text.empty()) return where() + " are blank";
    if (k > 0 && blanks == 0)
      return where() + " have no separator blank before the number: " + quoted(field);
    if (text.find(' ') != std::string_view::npos)
      return where() + " do not hold one right-aligned number: " + quoted(field);
    if (wanted.kind == FieldKind::integer) {
      const auto value = parse_integer_text(text);
      if (!value) return where() + " do not hold an integer: " + quoted(field);
      values[k] = FieldValue{text, *value, 0.0};
    } else {
      const auto value = parse_real_text(text);
      if (!value) return where() + " do not hold a real number: " + quoted(field);
      values[k] = FieldValue{text, 0, *value};
    }
  }
  return {};
}

}  // namespace laplace::view
