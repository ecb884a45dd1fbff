// Real text, checked against an independent conversion: glibc's
// strtod in the "C" locale. For texts of at most 24 significant digits the
// 64-bit result must be the nearest 64-bit real, which strtod gives, and a
// 32-bit variable must receive that 64-bit real rounded to 32 bits.
//
// - Generated texts: random digit strings in every accepted form, halfway
//   points between adjacent 64-bit reals and between adjacent 32-bit reals
//   (exact, and cut to 15 to 24 digits so that they lie just beside it),
//   and printed random reals, over the whole exponent range. At least a
//   million texts in a plain build; fewer under the sanitizers, and
//   LAPLACE_CROSS_CHECK_TEXTS=n in the environment sets the number.
// - The decimal-text corpus of shared/corpora/decimal-texts.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <locale.h>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "console_io/real_conversion.h"
#include "console_io/real_conversion_detail.h"

#if defined(__SANITIZE_ADDRESS__)
#define LAPLACE_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define LAPLACE_UNDER_SANITIZER 1
#endif
#endif

namespace laplace::console_io {
namespace {

__extension__ typedef unsigned __int128 u128;

constexpr std::uint64_t SINGLE_BOUND_BITS = 0x47EFFFFFE0000001;

std::uint64_t bits_of(double x) { return std::bit_cast<std::uint64_t>(x); }
std::uint32_t bits_of(float x) { return std::bit_cast<std::uint32_t>(x); }

class CLocale {
 public:
  CLocale() : locale_(newlocale(LC_ALL_MASK, "C", nullptr)) {}
  ~CLocale() {
    if (locale_ != nullptr) freelocale(locale_);
  }
  CLocale(const CLocale&) = delete;
  CLocale& operator=(const CLocale&) = delete;

  // strtod in the "C" locale; `consumed` tells whether all of the text was a number.
  double strtod(const char* text, bool& consumed) const {
    char* end = nullptr;
    const double x = strtod_l(text, &end, locale_);
    consumed = *end == '\0';
    return x;
  }

 private:
  locale_t locale_;
};

// What a text must give: the 64-bit real of the reference conversion
// (infinite: beyond the 64-bit range), and from it the 32-bit outcome.
struct Checker {
  explicit Checker(const CLocale& locale) : c_locale(locale) {}

  const CLocale& c_locale;
  long checked = 0;
  long failures = 0;
  std::string report;

  void fail(std::string_view ours, std::string_view reference, const std::string& what) {
    if (++failures <= 20) {
      report += "text \"" + std::string(ours) + "\" (reference \"" + std::string(reference) + "\"): " + what + "\n";
    }
  }

  // `ours` is the text in our forms, `reference` the same number in
  // strtod's forms (NUL-terminated), `expected` its 64-bit real.
  void check(std::string_view ours, std::string_view reference, double expected) {
    ++checked;
    const RealResult r = convert_real_text(ours.data(), ours.size());
    const bool beyond = std::isinf(expected);
    char buffer[160];
    if (r.no_number || r.text_left) {
      fail(ours, reference, "not taken as a whole number");
      return;
    }
    if (r.overflow != beyond) {
      fail(ours, reference, beyond ? "no overflow" : "overflow");
      return;
    }
    if (!beyond && bits_of(r.value) != bits_of(expected)) {
      std::snprintf(buffer, sizeof buffer, "64-bit %a (%016llX), expected %a (%016llX)", r.value,
                    static_cast<unsigned long long>(bits_of(r.value)), expected,
                    static_cast<unsigned long long>(bits_of(expected)));
      fail(ours, reference, buffer);
      return;
    }
    // The exact way alone gives the same (the quick way decides most texts).
    const RealResult exact = detail::convert_real_text_exactly(ours.data(), ours.size());
    if (bits_of(exact.value) != bits_of(r.value) || exact.overflow != r.overflow || exact.underflow != r.underflow ||
        exact.text_left != r.text_left || exact.no_number != r.no_number) {
      std::snprintf(buffer, sizeof buffer, "the exact way alone gives %a (%016llX)", exact.value,
                    static_cast<unsigned long long>(bits_of(exact.value)));
      fail(ours, reference, buffer);
      return;
    }
    const double magnitude = std::fabs(expected);
    // (A zero may come from a text of zeros, which is no underflow.)
    if (!beyond && magnitude != 0 && magnitude < std::numeric_limits<double>::min() && !r.underflow) {
      fail(ours, reference, "no underflow");
    }
    if (!beyond && magnitude > std::numeric_limits<double>::min() && r.underflow) {
      fail(ours, reference, "underflow");
    }

    const Real32Result s = store_real32(ours.data(), ours.size());
    Real32Status status = Real32Status::ok;
    if (beyond) {
      status = Real32Status::beyond_double;
    } else if ((bits_of(expected) & ~(std::uint64_t{1} << 63)) > SINGLE_BOUND_BITS) {
      status = Real32Status::beyond_single;
    }
    if (s.status != status) {
      std::snprintf(buffer, sizeof buffer, "32-bit status %d, expected %d", static_cast<int>(s.status),
                    static_cast<int>(status));
      fail(ours, reference, buffer);
      return;
    }
    if (status != Real32Status::ok) return;
    const auto single = static_cast<float>(expected);  // the processor rounds to nearest here
    if (bits_of(s.value) != bits_of(single)) {
      std::snprintf(buffer, sizeof buffer, "32-bit %a (%08X), expected %a (%08X)", static_cast<double>(s.value),
                    bits_of(s.value), static_cast<double>(single), bits_of(single));
      fail(ours, reference, buffer);
    }
  }

  // Checks against strtod of the reference text.
  void check(std::string_view ours, const char* reference) {
    bool consumed = false;
    const double expected = c_locale.strtod(reference, consumed);
    if (!consumed) {
      fail(ours, reference, "the reference text is not a number for strtod");
      return;
    }
    check(ours, reference, expected);
  }
};

// ---------------------------------------------------------------------------
// Text generation. A text is written twice: in one of our forms, and
// as strtod reads it (exponent letter E, never D and never a bare sign).

struct TextPair {
  char ours[160];
  char reference[160];
  std::size_t n = 0;
  std::size_t m = 0;

  void clear() { n = m = 0; }
  void put(char c) {
    ours[n++] = c;
    reference[m++] = c;
  }
  void put(std::string_view s) {
    for (char c : s) put(c);
  }
  std::string_view ours_text() const { return {ours, n}; }
  const char* reference_text() {
    reference[m] = '\0';
    return reference;
  }

  // The exponent part in one of the five forms, chosen at random.
  void put_exponent(std::mt19937_64& random, long exponent) {
    const unsigned form = static_cast<unsigned>(random() % 5);
    static constexpr char letters[] = {'E', 'e', 'D', 'd'};
    bool sign_needed = exponent < 0;
    if (form < 4) {
      ours[n++] = letters[form];
      if (!sign_needed && random() % 2 == 0) sign_needed = true;
    } else {
      sign_needed = true;  // the bare-sign form: 1+5, 2.5-3
    }
    reference[m++] = 'E';
    if (sign_needed) put(exponent < 0 ? '-' : '+');
    for (unsigned zeros = static_cast<unsigned>(random() % 8); zeros > 2; --zeros) put('0');
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%lu", static_cast<unsigned long>(std::labs(exponent)));
    put(std::string_view(digits, static_cast<std::size_t>(length)));
  }

  // A number printed by printf ("-1.2345e+06"), its exponent rewritten in a
  // random accepted form.
  void put_printed(std::mt19937_64& random, const char* printed) {
    const char* e = std::strchr(printed, 'e');
    put(std::string_view(printed, static_cast<std::size_t>(e - printed)));
    put_exponent(random, std::strtol(e + 1, nullptr, 10));
  }
};

std::string decimal(u128 x) {
  char digits[48];
  int k = 48;
  do {
    digits[--k] = static_cast<char>('0' + static_cast<int>(x % 10));
    x /= 10;
  } while (x != 0);
  return std::string(digits + k, digits + 48);
}

// A decimal whole number N of at most 24 digits and a place p: the value
// N x 10^-p, written with the point inside, before or after the digits, or
// with an exponent.
void put_scaled(TextPair& t, std::mt19937_64& random, const std::string& digits, int p) {
  if (random() % 3 == 0) t.put('-');
  const int length = static_cast<int>(digits.size());
  switch (random() % 3) {
    case 0: {  // the point where the places say, no exponent
      if (p <= 0) {
        t.put(digits);
        for (int k = 0; k < -p; ++k) t.put('0');
        if (random() % 2 == 0) t.put('.');
      } else if (p >= length) {
        t.put('.');
        for (int k = 0; k < p - length; ++k) t.put('0');
        t.put(digits);
      } else {
        t.put(std::string_view(digits).substr(0, static_cast<std::size_t>(length - p)));
        t.put('.');
        t.put(std::string_view(digits).substr(static_cast<std::size_t>(length - p)));
      }
      return;
    }
    case 1:  // all digits, then an exponent
      t.put(digits);
      t.put_exponent(random, -p);
      return;
    default:  // one digit before the point, then an exponent
      t.put(digits[0]);
      if (length > 1) {
        t.put('.');
        t.put(std::string_view(digits).substr(1));
      }
      t.put_exponent(random, length - 1 - p);
      return;
  }
}

// Random significant digits (1 to 24), leading zeros, a point anywhere, a
// sign, and an exponent that puts the value anywhere from far below the
// least subnormal 64-bit real to beyond the largest.
void random_digits(TextPair& t, std::mt19937_64& random) {
  const unsigned sign = static_cast<unsigned>(random() % 3);
  if (sign == 1) t.put('+');
  if (sign == 2) t.put('-');
  int count = 1 + static_cast<int>(random() % 24);
  if (random() % 4 == 0) count = 17 + static_cast<int>(random() % 8);
  char digits[24];
  digits[0] = static_cast<char>('1' + random() % 9);
  for (int k = 1; k < count; ++k) digits[k] = static_cast<char>('0' + random() % 10);
  if (random() % 5 == 0) {  // a run of trailing zeros
    for (int k = count - 1 - static_cast<int>(random() % static_cast<unsigned>(count)); k < count; ++k) {
      if (k > 0) digits[k] = '0';
    }
  }
  const int before_point = static_cast<int>(random() % static_cast<unsigned>(count + 1));
  int magnitude;  // the value lies in [10^(magnitude-1), 10^magnitude)
  if (before_point == 0) {
    const int zeros = static_cast<int>(random() % 6);
    if (random() % 2 == 0) t.put('0');
    t.put('.');
    for (int k = 0; k < zeros; ++k) t.put('0');
    t.put(std::string_view(digits, static_cast<std::size_t>(count)));
    magnitude = -zeros;
  } else {
    for (int k = static_cast<int>(random() % 4); k > 1; --k) t.put('0');
    t.put(std::string_view(digits, static_cast<std::size_t>(before_point)));
    if (before_point < count || random() % 3 == 0) t.put('.');
    t.put(std::string_view(digits + before_point, static_cast<std::size_t>(count - before_point)));
    magnitude = before_point;
  }
  int target;
  switch (random() % 6) {
    case 0: target = -345 + static_cast<int>(random() % 50); break;   // the subnormal edge and below
    case 1: target = 300 + static_cast<int>(random() % 12); break;    // the top edge and beyond
    case 2: target = -50 + static_cast<int>(random() % 100); break;   // everyday values
    case 3: target = -46 + static_cast<int>(random() % 10); break;    // the 32-bit subnormal edge
    case 4: target = 34 + static_cast<int>(random() % 8); break;      // the 32-bit top edge
    default: target = -345 + static_cast<int>(random() % 657); break;
  }
  const long exponent = target - magnitude;
  if (exponent == 0 && random() % 2 == 0) return;
  t.put_exponent(random, exponent);
}

// The exact point halfway between two adjacent 64-bit reals, of at most 24
// digits: (2M + 1) x 2^k, M in [2^52, 2^53), k from -10 to 23; or it moved
// by one unit in its last digit.
void double_halfway(TextPair& t, std::mt19937_64& random) {
  const std::uint64_t m = (std::uint64_t{1} << 52) | (random() & ((std::uint64_t{1} << 52) - 1));
  const int k = -10 + static_cast<int>(random() % 34);
  u128 n = 2 * u128{m} + 1;
  int p = 0;
  if (k >= 0) {
    n <<= k;
  } else {
    for (int j = 0; j < -k; ++j) n *= 5;
    p = -k;
  }
  const unsigned nudge = static_cast<unsigned>(random() % 4);
  if (nudge == 1) ++n;
  if (nudge == 2) --n;
  put_scaled(t, random, decimal(n), p);
}

// The exact point halfway between two adjacent 32-bit reals (normal or
// subnormal), which is a 64-bit real, printed with 1 to 24 digits: exact,
// or rounded to just beside it.
void single_halfway(TextPair& t, std::mt19937_64& random) {
  std::uint64_t m;
  int e;
  if (random() % 4 == 0) {
    m = random() % (std::uint64_t{1} << 23);  // a 32-bit subnormal and its neighbour
    e = -149;
  } else {
    m = (std::uint64_t{1} << 23) | (random() & ((std::uint64_t{1} << 23) - 1));
    e = -149 + static_cast<int>(random() % 254);
  }
  const double halfway = std::ldexp(static_cast<double>(2 * m + 1), e - 1);
  char printed[80];
  std::snprintf(printed, sizeof printed, "%.*e", static_cast<int>(random() % 24), halfway);
  if (random() % 2 == 0) t.put('-');
  t.put_printed(random, printed);
}

// The point halfway between a random 64-bit real and the next one above,
// cut to 15 to 24 digits. The halfway point is exact in the 64-bit
// significand of long double.
void double_near_halfway(TextPair& t, std::mt19937_64& random) {
  std::uint64_t bits = random() & ~(std::uint64_t{1} << 63);
  switch (random() % 5) {
    case 0: bits &= (std::uint64_t{1} << 52) - 1; break;           // subnormal
    case 1: bits |= std::uint64_t{0x7FE} << 52; break;              // the top binade
    case 2: bits = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{0x001 + random() % 2} << 52); break;
    default: break;
  }
  const double x = std::bit_cast<double>(bits);
  if (!std::isfinite(x) || x == 0) return random_digits(t, random);
  const double next = std::nextafter(x, std::numeric_limits<double>::infinity());
  const long double halfway = (static_cast<long double>(x) + static_cast<long double>(next)) / 2;
  char printed[80];
  std::snprintf(printed, sizeof printed, "%.*Le", 14 + static_cast<int>(random() % 10), halfway);
  if (random() % 2 == 0) t.put('-');
  t.put_printed(random, printed);
}

// A random 64-bit or 32-bit real printed with 1 to 24 digits, or one near
// the 32-bit bound.
void printed_real(TextPair& t, std::mt19937_64& random) {
  char printed[80];
  const int digits = static_cast<int>(random() % 24);
  double x;
  switch (random() % 3) {
    case 0: x = std::bit_cast<double>(random()); break;
    case 1: x = static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(random()))); break;
    default: {
      const auto offset = static_cast<std::int64_t>(random() % 64) - 32;
      x = std::bit_cast<double>(static_cast<std::uint64_t>(static_cast<std::int64_t>(SINGLE_BOUND_BITS) + offset));
      if (random() % 2 == 0) x = -x;
      break;
    }
  }
  if (!std::isfinite(x)) return random_digits(t, random);
  std::snprintf(printed, sizeof printed, "%.*e", digits, x);
  t.put_printed(random, printed);
}

long cross_check_count() {
  if (const char* count = std::getenv("LAPLACE_CROSS_CHECK_TEXTS")) return std::atol(count);
#ifdef LAPLACE_UNDER_SANITIZER
  return 500000;
#else
  return 1000000;
#endif
}

TEST(RealCrossCheck, GeneratedTextsAgreeWithStrtod) {
  static_assert(std::numeric_limits<long double>::digits >= 64, "halfway points need a 64-bit significand");
  const CLocale c_locale;
  Checker checker(c_locale);
  std::mt19937_64 random(0x1a91ace);
  TextPair t;
  const long count = cross_check_count();
  for (long k = 0; k < count; ++k) {
    t.clear();
    switch (k % 10) {
      case 0: case 1: case 2: case 3: random_digits(t, random); break;
      case 4: double_halfway(t, random); break;
      case 5: case 6: single_halfway(t, random); break;
      case 7: case 8: double_near_halfway(t, random); break;
      default: printed_real(t, random); break;
    }
    checker.check(t.ours_text(), t.reference_text());
  }
  EXPECT_EQ(checker.checked, count);
  EXPECT_EQ(checker.failures, 0) << checker.report;
}

// Every entry of the table of powers of five: D x 10^q for every q from
// -347 to 308 that leaves a value near the 64-bit range, with D from 1 to 19
// digits.
TEST(RealCrossCheck, EveryDecimalExponent) {
  const CLocale c_locale;
  Checker checker(c_locale);
  std::mt19937_64 random(5);
  char ours[64];
  for (int q = -347; q <= 308; ++q) {
    for (int n = 0; n < 40; ++n) {
      const int digits = 1 + n % 19;
      std::uint64_t d = 1 + random() % 9;
      for (int k = 1; k < digits; ++k) d = 10 * d + random() % 10;
      if (n == 0) d = 1;
      if (n == 1) d = 9999999999999999999u;
      if (n == 2) d = 18446744073709551615u;  // 2^64 - 1, 20 digits
      const int length = std::snprintf(ours, sizeof ours, "%lluE%d", static_cast<unsigned long long>(d), q);
      checker.check(std::string_view(ours, static_cast<std::size_t>(length)), ours);
    }
  }
  EXPECT_EQ(checker.failures, 0) << checker.report;
}

// The cross-check itself: strtod and the float conversion used as the
// reference agree with the tables of accepted texts on a few texts.
TEST(RealCrossCheck, ReferenceAgreesWithThePart) {
  const CLocale c_locale;
  bool consumed = false;
  EXPECT_EQ(bits_of(static_cast<float>(c_locale.strtod("0.1", consumed))), 0x3DCCCCCDu);
  EXPECT_EQ(bits_of(static_cast<float>(c_locale.strtod("1E-40", consumed))), 0x000116C2u);
  EXPECT_EQ(bits_of(c_locale.strtod("3.402823466385289E+38", consumed)), SINGLE_BOUND_BITS);
  EXPECT_TRUE(std::isinf(c_locale.strtod("1E309", consumed)));
}

// ---------------------------------------------------------------------------
// The corpus: "HHHH FFFFFFFF DDDDDDDDDDDDDDDD text", the 64-bit column being
// the nearest 64-bit real of the whole text.

std::filesystem::path corpus_directory() {
#ifdef LAPLACE_DECIMAL_TEXTS_DIR
  return LAPLACE_DECIMAL_TEXTS_DIR;
#else
  // tests/real_cross_check_test.cpp -> ../../shared/corpora/decimal-texts
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "shared" / "corpora" /
         "decimal-texts";
#endif
}

// The text with every significant digit after the 24th made a zero: the
// number that our conversion rounds. Empty when it has at most 24.
std::string cut_after_24_digits(std::string_view text) {
  std::string cut(text);
  int significant = 0;
  bool changed = false;
  for (char& c : cut) {
    if (c == 'e' || c == 'E') break;
    if (c < '0' || c > '9') continue;
    if (significant == 0 && c == '0') continue;
    if (++significant > 24 && c != '0') {
      c = '0';
      changed = true;
    }
  }
  return changed ? cut : std::string();
}

TEST(RealCrossCheck, DecimalTextCorpus) {
  const std::filesystem::path directory = corpus_directory();
  if (!std::filesystem::is_directory(directory)) GTEST_SKIP() << "no corpus at " << directory;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.path().extension() == ".txt") files.push_back(entry.path());
  }
  ASSERT_FALSE(files.empty()) << directory;

  const CLocale c_locale;
  Checker checker(c_locale);
  long skipped_long = 0;
  long cut = 0;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::string line;
    long lines = 0;
    while (std::getline(in, line)) {
      if (line.empty()) continue;
      ++lines;
      ASSERT_GT(line.size(), 31u) << file << ": " << line;
      const std::string text = line.substr(31);
      if (text.size() > 260) {  // rejected by the scanner before any conversion
        ++skipped_long;
        continue;
      }
      double expected = std::bit_cast<double>(std::stoull(line.substr(14, 16), nullptr, 16));
      const std::string shortened = cut_after_24_digits(text);
      if (!shortened.empty()) {
        bool consumed = false;
        expected = c_locale.strtod(shortened.c_str(), consumed);
        ASSERT_TRUE(consumed) << shortened;
        ++cut;
      }
      checker.check(text, shortened.empty() ? text : shortened, expected);
    }
    EXPECT_GT(lines, 0) << file;
  }
  EXPECT_EQ(checker.failures, 0) << checker.report;
  EXPECT_GT(checker.checked, 17000);
  RecordProperty("texts", static_cast<int>(checker.checked));
  RecordProperty("cut_to_24_digits", static_cast<int>(cut));
  RecordProperty("longer_than_260", static_cast<int>(skipped_long));
}

}  // namespace
}  // namespace laplace::console_io
