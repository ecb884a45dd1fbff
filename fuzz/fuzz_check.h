// Oracle checks of the fuzz targets: a failed check prints what was expected
// and aborts, so that libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace laplace::fuzz {

[[noreturn]] inline void check_failed(const char* file, int line, const char* condition,
                                      const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n%s\n", file, line, condition, detail.c_str());
  std::abort();
}

// Bytes shown with C escapes, for the messages of failed checks.
inline std::string escaped(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (u >= 32 && u < 127) {
      out += c;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    }
  }
  return out;
}

}  // namespace laplace::fuzz

#define FUZZ_CHECK(condition, detail)                                            \
  do {                                                                           \
    if (!(condition)) ::laplace::fuzz::check_failed(__FILE__, __LINE__, #condition, (detail)); \
  } while (false)
