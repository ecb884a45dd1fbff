// The conversions of typed answers: real texts to the nearest 64-bit real and
// on to a 32-bit variable, and integer texts with and without radix notation.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "bench/bench_support.h"
#include "console_io/integer_conversion.h"
#include "console_io/real_conversion.h"

namespace {

using laplace::console_io::convert_integer_text;
using laplace::console_io::convert_real_text;
using laplace::console_io::store_real32;

struct Answer {
  const char* name;
  const char* text;
};

// What people type for a spacing, and digit strings as long as a record
// allows.
const Answer REAL_ANSWERS[] = {
    {"0.25", "0.25"},
    {"0.1", "0.1"},
    {"1.5D0", "1.5D0"},
    {"100", "100"},
    {"-3.75E-2", "-3.75E-2"},
    {"1.0E-20", "1.0E-20"},
    {"pi_60_digits",
     "3.14159265358979323846264338327950288419716939937510582097494"},
    {"digits_120_E-100",
     "123456789012345678901234567890123456789012345678901234567890"
     "123456789012345678901234567890123456789012345678901234567890E-100"},
};

const Answer INTEGER_ANSWERS[] = {
    {"100", "100"},
    {"0", "0"},
    {"-5", "-5"},
    {"2147483647", "2147483647"},
    {"16#FF", "16#FF"},
    {"2#binary_31_ones", "2#1111111111111111111111111111111"},
    {"zeros_120_then_100",
     "000000000000000000000000000000000000000000000000000000000000"
     "000000000000000000000000000000000000000000000000000000000100"},
};

template <typename Convert>
void convert_each(benchmark::State& state, const char* text, Convert convert) {
  const std::size_t length = std::strlen(text);
  for (auto _ : state) {
    benchmark::DoNotOptimize(text);
    auto result = convert(text, length);
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(length));
}

const bool registered = [] {
  for (const Answer& a : REAL_ANSWERS) {
    benchmark::RegisterBenchmark((std::string("convert_real_text/") + a.name).c_str(),
                                 [text = a.text](benchmark::State& s) {
                                   convert_each(s, text, convert_real_text);
                                 })
        ->Apply(laplace::bench::with_spread);
  }
  for (const Answer& a : REAL_ANSWERS) {
    benchmark::RegisterBenchmark((std::string("store_real32/") + a.name).c_str(),
                                 [text = a.text](benchmark::State& s) {
                                   convert_each(s, text, store_real32);
                                 })
        ->Apply(laplace::bench::with_spread);
  }
  for (const Answer& a : INTEGER_ANSWERS) {
    benchmark::RegisterBenchmark((std::string("convert_integer_text/") + a.name).c_str(),
                                 [text = a.text](benchmark::State& s) {
                                   convert_each(s, text, convert_integer_text);
                                 })
        ->Apply(laplace::bench::with_spread);
  }
  return true;
}();

}  // namespace
