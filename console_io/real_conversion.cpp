#include "console_io/real_conversion.h"

#include <charconv>
#include <cmath>

// Placeholder: the plain decimal forms only, until the full conversion lands.
namespace laplace::console_io {

RealResult convert_real_text(const char* text, std::size_t length) {
  RealResult r{0.0, false, false, false, false};
  double v = 0.0;
  auto [end, ec] = std::from_chars(text, text + length, v);
  if (ec == std::errc::invalid_argument) {
    r.no_number = true;
    r.text_left = true;
    return r;
  }
  if (ec == std::errc::result_out_of_range) {
    r.overflow = true;
    return r;
  }
  r.value = v;
  r.text_left = end != text + length;
  return r;
}

Real32Result store_real32(const char* text, std::size_t length) {
  const RealResult r = convert_real_text(text, length);
  if (r.overflow) return {0.0f, Real32Status::beyond_double};
  if (r.text_left) return {0.0f, Real32Status::not_a_number};
  if (std::fabs(r.value) > 3.402823466385289e38) return {0.0f, Real32Status::beyond_single};
  return {static_cast<float>(r.value), Real32Status::ok};
}

}  // namespace laplace::console_io
