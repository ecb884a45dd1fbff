#include "console_io/integer_conversion.h"

// Placeholder: plain decimal digits only, until radix notation lands.
namespace laplace::console_io {

IntegerResult convert_integer_text(const char* text, std::size_t length) {
  std::size_t k = 0;
  bool negative = false;
  if (k < length && (text[k] == '+' || text[k] == '-')) negative = text[k++] == '-';
  std::int64_t value = 0;
  for (; k < length; ++k) {
    const unsigned char c = static_cast<unsigned char>(text[k]);
    if (c < '0' || c > '9') return {0, IntegerStatus::bad_character};
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return {0, IntegerStatus::overflow};
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return {0, IntegerStatus::overflow};
  return {static_cast<std::int32_t>(value), IntegerStatus::ok};
}

}  // namespace laplace::console_io
