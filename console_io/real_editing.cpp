#include "console_io/real_editing.h"

#include <bit>
#include <cstdio>

// Placeholder until the exact expansion lands.
namespace laplace::console_io {

DecimalDigits to_decimal_digits(std::uint32_t) { return DecimalDigits{' ', 0, 1, {'0'}, true}; }

bool round_digits_at(DecimalDigits&, int) { return false; }

EditedReal edit_real(std::uint32_t bits) {
  EditedReal e{};
  const float f = std::bit_cast<float>(bits);
  const double m = f < 0 ? -static_cast<double>(f) : static_cast<double>(f);
  char buf[32];
  const int n = (m >= 1.0 && m < 1e7) ? std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(f))
                                      : std::snprintf(buf, sizeof buf, "%.6E", static_cast<double>(f));
  e.length = n > 15 ? 15 : n;
  for (int k = 0; k < e.length; ++k) e.chars[static_cast<std::size_t>(k)] = buf[k];
  return e;
}

}  // namespace laplace::console_io
