#include "console_io/real_conversion.h"

#include <array>
#include <bit>
#include <cstring>

#include "console_io/real_conversion_detail.h"

// Real text. The text is read once into a whole number D of at most
// 24 significant digits and a decimal exponent E; D x 10^E is then rounded to
// the nearest 64-bit real (ties to even) with integer arithmetic only, so
// neither the rounding mode, nor the precision, nor any trap setting of the
// processor, nor the locale, nor errno plays a part. The step to a 32-bit
// real is done with integers too.
//
// Two ways lead to the 64-bit real:
// - Quick (D of at most 19 digits, a normal result): D times a 128-bit T of 5^E
//   from a table (T exact for 0 <= E <= 55, else 5^E truncated to 128 bits)
//   gives a 192-bit product within 2^64 units below the exact one. The
//   rounding is decided from it unless the bits below the rounding point lie
//   within that distance below the halfway point; then the exact way decides.
// - Exact: a 64-bit significand m (top bit set), a binary exponent e2 and a
//   sticky flag, the value being (m + f) x 2^e2 with 0 <= f < 1 and the
//   sticky flag telling whether f > 0. For E >= 0 it comes from the exact
//   product D x 5^E (times 2^E), in 128 bits when it fits, else as a
//   multi-word integer; for E < 0 from the quotient of D x 2^s by 5^-E and
//   whether its remainder is zero: a 128-bit division when 5^-E fits in 64
//   bits, else a quotient estimated from the leading bits and corrected
//   exactly (at most twice).
// Either way the result is the correctly rounded one.
namespace laplace::console_io {
namespace {

__extension__ typedef unsigned __int128 u128;

constexpr int MAX_DIGITS = 24;       // significant digits that form D
constexpr int EXPONENT_CAP = 5200;   // exponent magnitudes above count as 5201

// 5^k for k = 0..27, the powers that fit in 64 bits.
constexpr int MAX_POWER_OF_FIVE_64 = 27;
constexpr std::array<std::uint64_t, MAX_POWER_OF_FIVE_64 + 1> POWERS_OF_FIVE = [] {
  std::array<std::uint64_t, MAX_POWER_OF_FIVE_64 + 1> p{};
  p[0] = 1;
  for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 5u;
  return p;
}();
static_assert(POWERS_OF_FIVE[MAX_POWER_OF_FIVE_64] == 7450580596923828125u);

// 5^q for q from -347 to 308 (the decimal exponents left after the range
// checks) as T x 2^exponent with T = high x 2^64 + low in [2^127, 2^128):
// exact for 0 <= q <= 55, otherwise the exact value truncated, so that
// 0 <= exact - T < 1. Computed at compile time: the positive powers by
// repeated multiplication, the negative ones as floor(2^959 / 5^k) by
// repeated division by 5 (floor(floor(x / 5) / 5) = floor(x / 25)), each
// cut to its leading 128 bits.
constexpr int MIN_QUICK_EXPONENT = -347;
constexpr int MAX_QUICK_EXPONENT = 308;
constexpr int MAX_EXACT_POWER = 55;  // 5^55 < 2^128 <= 5^56

struct PowerOfFive {
  std::uint64_t high;
  std::uint64_t low;
  int exponent;
};

constexpr std::array<PowerOfFive, MAX_QUICK_EXPONENT - MIN_QUICK_EXPONENT + 1> POWERS_OF_FIVE_128 = [] {
  std::array<PowerOfFive, MAX_QUICK_EXPONENT - MIN_QUICK_EXPONENT + 1> table{};
  constexpr int WORDS = 15;
  std::array<std::uint64_t, WORDS> x{};
  // Sets entry to the leading 128 bits of x, and shift to the number of bits
  // of x below them (negative when x has fewer than 128 bits).
  const auto leading = [&x](PowerOfFive& entry, int& shift) {
    int top = WORDS - 1;
    while (x[static_cast<std::size_t>(top)] == 0) --top;
    const int bits = 64 * top + 64 - std::countl_zero(x[static_cast<std::size_t>(top)]);
    shift = bits - 128;
    const auto word = [&x](int k) -> std::uint64_t {
      return k >= 0 && k < WORDS ? x[static_cast<std::size_t>(k)] : 0;
    };
    u128 t = 0;
    if (shift < 0) {
      t = ((u128{word(1)} << 64) | word(0)) << -shift;
    } else {
      const int w = shift / 64;
      const int b = shift % 64;
      const u128 low_words = (u128{word(w + 1)} << 64) | word(w);
      t = b == 0 ? low_words : (low_words >> b) | (u128{word(w + 2)} << (128 - b));
    }
    entry.high = static_cast<std::uint64_t>(t >> 64);
    entry.low = static_cast<std::uint64_t>(t);
  };
  x[0] = 1;
  for (int q = 0; q <= MAX_QUICK_EXPONENT; ++q) {
    PowerOfFive& entry = table[static_cast<std::size_t>(q - MIN_QUICK_EXPONENT)];
    int shift = 0;
    leading(entry, shift);
    entry.exponent = shift;
    std::uint64_t carry = 0;
    for (auto& word : x) {
      const u128 product = u128{word} * 5u + carry;
      word = static_cast<std::uint64_t>(product);
      carry = static_cast<std::uint64_t>(product >> 64);
    }
  }
  constexpr int M = 64 * WORDS - 1;
  x = {};
  x[WORDS - 1] = std::uint64_t{1} << 63;  // 2^959
  for (int k = 1; k <= -MIN_QUICK_EXPONENT; ++k) {
    std::uint64_t remainder = 0;
    for (int w = WORDS - 1; w >= 0; --w) {
      const u128 part = (u128{remainder} << 64) | x[static_cast<std::size_t>(w)];
      x[static_cast<std::size_t>(w)] = static_cast<std::uint64_t>(part / 5u);
      remainder = static_cast<std::uint64_t>(part % 5u);
    }
    PowerOfFive& entry = table[static_cast<std::size_t>(-k - MIN_QUICK_EXPONENT)];
    int shift = 0;
    leading(entry, shift);
    entry.exponent = shift - M;
  }
  return table;
}();

constexpr const PowerOfFive& power_of_five_128(int q) {
  return POWERS_OF_FIVE_128[static_cast<std::size_t>(q - MIN_QUICK_EXPONENT)];
}
static_assert(power_of_five_128(0).high == std::uint64_t{1} << 63 && power_of_five_128(0).low == 0 &&
              power_of_five_128(0).exponent == -127);
static_assert(power_of_five_128(1).high == std::uint64_t{5} << 61 && power_of_five_128(1).exponent == -125);
static_assert(power_of_five_128(-1).high == 0xCCCCCCCCCCCCCCCCu && power_of_five_128(-1).low == 0xCCCCCCCCCCCCCCCCu &&
              power_of_five_128(-1).exponent == -130);
static_assert(power_of_five_128(27).high == 0xCECB8F27F4200F3Au && power_of_five_128(27).low == 0);
// Entries checked against an independent computation with exact fractions.
constexpr bool has_entry(int q, std::uint64_t high, std::uint64_t low, int exponent) {
  const PowerOfFive& p = power_of_five_128(q);
  return p.high == high && p.low == low && p.exponent == exponent;
}
static_assert(has_entry(55, 0xD0CF4B50CFE20765u, 0xFFF4B4E3F741CF6Du, 0));
static_assert(has_entry(56, 0x82818F1281ED449Fu, 0xBFF8F10E7A8921A4u, 3));
static_assert(has_entry(308, 0x8E679C2F5E44FF8Fu, 0x570F09EAA7EA7648u, 588));
static_assert(has_entry(-27, 0x9E74D1B791E07E48u, 0x775EA264CF55347Du, -190));
static_assert(has_entry(-200, 0xC3F490AA77BD60FCu, 0xBEDBFC4411068A9Cu, -592));
static_assert(has_entry(-347, 0x9C99E58405118195u, 0x0E7FBD42205C8EB4u, -933));

constexpr std::uint64_t SIGN_BIT = std::uint64_t{1} << 63;
constexpr std::uint64_t INFINITY_BITS = 0x7FF0000000000000u;

int bit_length(std::uint64_t x) { return 64 - std::countl_zero(x); }
int bit_length(u128 x) {
  const auto high = static_cast<std::uint64_t>(x >> 64);
  return high != 0 ? 64 + bit_length(high) : bit_length(static_cast<std::uint64_t>(x));
}

// ---------------------------------------------------------------------------
// A fixed-size unsigned multi-word integer, little-endian 64-bit words. The
// largest values formed need 14 words: D x 2^s and q x 5^347 in scale_down.

struct BigUnsigned {
  static constexpr int CAPACITY = 16;
  std::array<std::uint64_t, CAPACITY> word;
  int size;  // words in use; the top one is not zero (size 0 for zero)

  static BigUnsigned from(u128 x) {
    BigUnsigned b{};
    b.word[0] = static_cast<std::uint64_t>(x);
    b.word[1] = static_cast<std::uint64_t>(x >> 64);
    b.size = b.word[1] != 0 ? 2 : (b.word[0] != 0 ? 1 : 0);
    return b;
  }

  // x shifted left by `shift` bits.
  static BigUnsigned shifted(u128 x, int shift) {
    BigUnsigned b{};
    const int words = shift / 64;
    const int bits = shift % 64;
    const auto low = static_cast<std::uint64_t>(x);
    const auto high = static_cast<std::uint64_t>(x >> 64);
    const auto slot = [&b](int k) -> std::uint64_t& { return b.word[static_cast<std::size_t>(k)]; };
    if (bits == 0) {
      slot(words) = low;
      slot(words + 1) = high;
    } else {
      slot(words) = low << bits;
      slot(words + 1) = (high << bits) | (low >> (64 - bits));
      slot(words + 2) = high >> (64 - bits);
    }
    b.size = words + 3;
    b.trim();
    return b;
  }

  std::uint64_t at(int k) const { return word[static_cast<std::size_t>(k)]; }

  void trim() {
    while (size > 0 && at(size - 1) == 0) --size;
  }

  void multiply(std::uint64_t factor) {
    std::uint64_t carry = 0;
    for (int k = 0; k < size; ++k) {
      const u128 p = u128{at(k)} * factor + carry;
      word[static_cast<std::size_t>(k)] = static_cast<std::uint64_t>(p);
      carry = static_cast<std::uint64_t>(p >> 64);
    }
    if (carry != 0) word[static_cast<std::size_t>(size++)] = carry;
  }

  int bits() const { return size == 0 ? 0 : 64 * (size - 1) + bit_length(at(size - 1)); }

  // The 64 bits from the top bit down (the value is at least 2^64), and
  // whether any bit below them is set.
  std::uint64_t top64(bool& sticky) const {
    const int low = bits() - 64;
    const int w = low / 64;
    const int b = low % 64;
    std::uint64_t m = at(w) >> b;
    if (b != 0) m |= at(w + 1) << (64 - b);
    sticky = b != 0 && (at(w) << (64 - b)) != 0;
    for (int k = 0; k < w && !sticky; ++k) sticky = at(k) != 0;
    return m;
  }

  // -1, 0 or 1 as *this is less than, equal to or greater than `other`.
  int compare(const BigUnsigned& other) const {
    if (size != other.size) return size < other.size ? -1 : 1;
    for (int k = size - 1; k >= 0; --k) {
      if (at(k) != other.at(k)) return at(k) < other.at(k) ? -1 : 1;
    }
    return 0;
  }

  // *this -= other, where other <= *this.
  void subtract(const BigUnsigned& other) {
    std::uint64_t borrow = 0;
    for (int k = 0; k < size; ++k) {
      const std::uint64_t o = k < other.size ? other.at(k) : 0;
      const std::uint64_t a = at(k);
      const std::uint64_t d = a - o - borrow;
      borrow = (a < o || (a == o && borrow != 0)) ? 1 : 0;
      word[static_cast<std::size_t>(k)] = d;
    }
    trim();
  }
};

BigUnsigned power_of_five(int k) {
  BigUnsigned p = BigUnsigned::from(1);
  for (; k >= MAX_POWER_OF_FIVE_64; k -= MAX_POWER_OF_FIVE_64) {
    p.multiply(POWERS_OF_FIVE[MAX_POWER_OF_FIVE_64]);
  }
  if (k > 0) p.multiply(POWERS_OF_FIVE[static_cast<std::size_t>(k)]);
  return p;
}

// ---------------------------------------------------------------------------
// The value (m + f) x 2^e2, m with its top bit set, sticky = (f > 0).
struct Significand {
  std::uint64_t m;
  int e2;
  bool sticky;
};

// A 128-bit value with extra sticky bits below it, made into a Significand.
Significand normalise(u128 x, int e2, bool sticky) {
  const int n = bit_length(x);
  if (n <= 64) return {static_cast<std::uint64_t>(x) << (64 - n), e2 - (64 - n), sticky};
  const int drop = n - 64;
  const u128 dropped = x & ((u128{1} << drop) - 1);
  return {static_cast<std::uint64_t>(x >> drop), e2 + drop, sticky || dropped != 0};
}

// D x 10^E for E >= 0 (the value is below 10^309).
Significand scale_up(u128 d, int e) {
  const int nd = bit_length(d);
  if (e <= MAX_POWER_OF_FIVE_64) {
    const std::uint64_t p = POWERS_OF_FIVE[static_cast<std::size_t>(e)];
    if (nd + bit_length(p) <= 128) return normalise(d * p, e, false);
  }
  BigUnsigned n = BigUnsigned::from(d);
  for (int k = e; k > 0; k -= MAX_POWER_OF_FIVE_64) {
    n.multiply(POWERS_OF_FIVE[static_cast<std::size_t>(k < MAX_POWER_OF_FIVE_64 ? k : MAX_POWER_OF_FIVE_64)]);
  }
  const int bits = n.bits();
  if (bits <= 128) {
    return normalise((u128{n.at(1)} << 64) | n.at(0), e, false);
  }
  bool sticky = false;
  const std::uint64_t m = n.top64(sticky);
  return {m, e + bits - 64, sticky};
}

// D x 10^-k for k >= 1: D x 2^-k / 5^k.
Significand scale_down(u128 d, int k) {
  const int nd = bit_length(d);
  if (k <= MAX_POWER_OF_FIVE_64) {
    const std::uint64_t p = POWERS_OF_FIVE[static_cast<std::size_t>(k)];  // below 2^63
    const int s = 128 - nd;
    const u128 x = d << s;  // top bit set, so the quotient exceeds 2^64
    const u128 q = x / p;
    const bool inexact = x % p != 0;
    return normalise(q, -s - k, inexact);
  }
  // 5^k has more than 64 bits. X = D x 2^s is given nP + 63 bits, so the
  // quotient q = floor(X / 5^k) lies in [2^62, 2^64).
  const BigUnsigned p = power_of_five(k);
  const int np = p.bits();
  const int t = np - 64;
  bool unused = false;
  const std::uint64_t p_top = p.top64(unused);           // floor(5^k / 2^t)
  const u128 x_top = d << (127 - nd);                    // floor(X / 2^t), below 2^127
  auto q = static_cast<std::uint64_t>(x_top / p_top);    // q <= estimate <= q + 2
  const int s = t + 127 - nd;
  const BigUnsigned x = BigUnsigned::shifted(d, s);
  BigUnsigned y = p;
  y.multiply(q);
  while (y.compare(x) > 0) {
    --q;
    y.subtract(p);
  }
  const bool inexact = y.compare(x) != 0;
  int e2 = -s - k;
  if ((q >> 63) == 0) {
    // One bit short: shifting a zero in below keeps the rounding exact, since
    // the rounding point lies 11 or more bits higher and the sticky flag stays.
    q <<= 1;
    --e2;
  }
  return {q, e2, inexact};
}

struct Rounded {
  std::uint64_t bits;  // the magnitude's bit pattern
  bool overflow;
  bool underflow;
};

// Rounds to the nearest 64-bit real, ties to even.
Rounded round_to_double(const Significand& v) {
  const int exponent = v.e2 + 63;  // of the leading bit
  const bool subnormal = exponent < -1022;
  const int shift = subnormal ? 11 + (-1022 - exponent) : 11;
  if (shift > 64) return {0, false, true};  // below half the least subnormal
  const u128 m = v.m;
  u128 q = m >> shift;
  const u128 rest = m & ((u128{1} << shift) - 1);
  const u128 half = u128{1} << (shift - 1);
  if (rest > half || (rest == half && (v.sticky || (q & 1) != 0))) ++q;
  if (subnormal) return {static_cast<std::uint64_t>(q), false, true};  // 2^52 is the least normal
  int biased = exponent + 1023;
  if (q == (u128{1} << 53)) {
    q >>= 1;
    ++biased;
  }
  if (biased > 2046) return {INFINITY_BITS, true, false};
  return {(static_cast<std::uint64_t>(biased) << 52) | (static_cast<std::uint64_t>(q) & ((std::uint64_t{1} << 52) - 1)),
          false, false};
}

// The quick way for D below 2^64 and -347 <= E <= 308. Returns false when
// the result is not a normal 64-bit real or the product is too close below a
// halfway point to decide; the exact way then decides.
bool round_quickly(std::uint64_t d, int e, Rounded& result) {
  const PowerOfFive& power = power_of_five_128(e);
  const int leading_zeros = std::countl_zero(d);
  const std::uint64_t w = d << leading_zeros;  // in [2^63, 2^64)
  // P = w x T in 192 bits: high, middle, low words. It lies in [2^190, 2^192).
  const u128 upper_product = u128{w} * power.high;
  const u128 lower_product = u128{w} * power.low;
  const u128 upper = upper_product + (lower_product >> 64);  // cannot carry out
  const auto high = static_cast<std::uint64_t>(upper >> 64);
  const auto middle = static_cast<std::uint64_t>(upper);
  const auto low = static_cast<std::uint64_t>(lower_product);
  // D x 10^E = D x 5^E x 2^E, and D = w x 2^-leading_zeros, T ~ 5^E x 2^-exponent.
  const int top = static_cast<int>(high >> 63);
  int exponent = 190 + top + power.exponent + e - leading_zeros;  // of the leading bit
  if (exponent < -1022) return false;                            // a subnormal or zero
  const int shift = 10 + top;  // bits of `high` below the 53 kept
  std::uint64_t m = high >> shift;
  const std::uint64_t rest = high & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  bool up;
  if (e >= 0 && e <= MAX_EXACT_POWER) {
    // P is the exact value.
    up = rest > half || (rest == half && (middle != 0 || low != 0 || (m & 1) != 0));
  } else if (rest >= half) {
    up = true;  // the exact value lies above P, so beyond the halfway point
  } else if (rest == half - 1 && middle == ~std::uint64_t{0}) {
    return false;  // the exact value, less than 2^64 units above P, may reach it
  } else {
    up = false;
  }
  if (up && ++m == (std::uint64_t{1} << 53)) {
    m >>= 1;
    ++exponent;
  }
  if (exponent > 1023) {
    result = {INFINITY_BITS, true, false};
  } else {
    result = {(static_cast<std::uint64_t>(exponent + 1023) << 52) | (m & ((std::uint64_t{1} << 52) - 1)), false,
              false};
  }
  return true;
}

double from_bits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// With `quick` false, only the exact way is taken (for tests).
template <bool quick>
RealResult convert(const char* text, std::size_t length) {
  RealResult r{0.0, false, false, false, false};
  std::size_t k = 0;
  while (k < length && (text[k] == ' ' || text[k] == '\t' || text[k] == '\r' || text[k] == '\n')) ++k;
  bool negative = false;
  if (k < length && (text[k] == '+' || text[k] == '-')) negative = text[k++] == '-';

  // The mantissa. D gets the significant digits up to the 24th (trailing
  // zeros included: they do not change the value); `place` is the place of
  // the last digit taken into D. D is held in 64 bits while it has at most 19
  // digits, then in 128 bits.
  std::uint64_t narrow = 0;
  u128 wide = 0;
  int kept = 0;  // significant digits in D
  std::int64_t place = 0;
  const std::size_t mantissa_start = k;
  // Takes the digit c; returns whether it went into D.
  const auto take = [&](char c) {
    const auto digit = static_cast<unsigned>(c - '0');
    if (kept < 19) {
      narrow = 10 * narrow + digit;
    } else if (kept < MAX_DIGITS) {
      if (kept == 19) wide = narrow;
      wide = 10 * wide + digit;
    } else {
      return false;
    }
    ++kept;
    return true;
  };
  while (k < length && text[k] == '0') ++k;  // leading zeros fix places only
  for (; k < length && is_digit(text[k]); ++k) {
    if (!take(text[k])) ++place;  // a digit beyond the 24th still counts as a place
  }
  bool any_digit = k > mantissa_start;
  if (k < length && text[k] == '.') {
    ++k;
    const std::size_t fraction_start = k;
    if (kept == 0) {
      for (; k < length && text[k] == '0'; ++k) --place;
    }
    for (; k < length && is_digit(text[k]); ++k) {
      if (take(text[k])) --place;
    }
    any_digit = any_digit || k > fraction_start;
  }
  if (!any_digit) {
    r.no_number = true;
    r.text_left = true;
    return r;
  }

  // The exponent: a letter with an optional sign, or a sign alone, and digits.
  std::int64_t exponent = 0;
  if (k < length) {
    std::size_t j = k;
    const char c = text[k];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
      ++j;
      if (j < length && (text[j] == '+' || text[j] == '-')) ++j;
    } else if (c == '+' || c == '-') {
      ++j;
    }
    if (j > k && j < length && is_digit(text[j])) {
      const bool minus = text[j - 1] == '-';
      for (; j < length && is_digit(text[j]); ++j) {
        if (exponent <= EXPONENT_CAP) {
          exponent = 10 * exponent + (text[j] - '0');
          if (exponent > EXPONENT_CAP) exponent = EXPONENT_CAP + 1;
        }
      }
      if (minus) exponent = -exponent;
      k = j;
    }
  }
  r.text_left = k < length;

  const std::uint64_t sign = negative ? SIGN_BIT : 0;
  r.value = from_bits(sign);
  if (kept == 0) return r;  // D = 0
  // With its trailing zeros removed D would have a larger E, but no result
  // of the checks below changes: beyond 5200 either way it is too large or
  // too small for a 64-bit real.
  const std::int64_t e = exponent + place;
  const int digits = kept;  // D lies in [10^(digits-1), 10^digits)
  if (e > EXPONENT_CAP || digits + e > 309) {  // D x 10^E >= 10^309
    r.overflow = true;
    r.value = from_bits(sign | INFINITY_BITS);
    return r;
  }
  if (e < -EXPONENT_CAP || digits + e < -323) {  // D x 10^E < 10^-324, below half 2^-1074
    r.underflow = true;
    return r;
  }
  const int e10 = static_cast<int>(e);  // from -347 to 308
  Rounded rounded{};
  const bool is_wide = kept > 19;
  if (!quick || is_wide || !round_quickly(narrow, e10, rounded)) {
    const u128 d = is_wide ? wide : u128{narrow};
    rounded = round_to_double(e10 >= 0 ? scale_up(d, e10) : scale_down(d, -e10));
  }
  r.overflow = rounded.overflow;
  r.underflow = rounded.underflow;
  r.value = from_bits(sign | rounded.bits);
  return r;
}

}  // namespace

RealResult convert_real_text(const char* text, std::size_t length) { return convert<true>(text, length); }

namespace detail {
RealResult convert_real_text_exactly(const char* text, std::size_t length) { return convert<false>(text, length); }
}  // namespace detail

Real32Result store_real32(const char* text, std::size_t length) {
  const RealResult r = convert_real_text(text, length);
  if (r.overflow) return {0.0f, Real32Status::beyond_double};
  if (r.text_left) return {0.0f, Real32Status::not_a_number};

  // The bound 0x47EFFFFFE0000001 lies one 64-bit unit above the largest
  // 32-bit real; it is accepted, anything beyond it is not.
  const auto bits = std::bit_cast<std::uint64_t>(r.value);
  const std::uint64_t magnitude = bits & ~SIGN_BIT;
  if (magnitude > 0x47EFFFFFE0000001u) return {0.0f, Real32Status::beyond_single};

  const std::uint32_t sign = static_cast<std::uint32_t>(bits >> 63) << 31;
  const int biased = static_cast<int>(magnitude >> 52);
  std::uint32_t single = 0;
  // A subnormal 64-bit real (or zero) is far below half the least 32-bit one.
  if (biased != 0) {
    const std::uint64_t m = (magnitude & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int exponent = biased - 1023;
    const bool subnormal = exponent < -126;
    const int shift = subnormal ? 29 + (-126 - exponent) : 29;
    if (shift <= 54) {  // a larger shift leaves less than half the least subnormal
      std::uint64_t q = m >> shift;
      const std::uint64_t rest = m & ((std::uint64_t{1} << shift) - 1);
      const std::uint64_t half = std::uint64_t{1} << (shift - 1);
      if (rest > half || (rest == half && (q & 1) != 0)) ++q;
      // A significand carried to 2^24 (or a subnormal to 2^23) moves into
      // the exponent field by itself.
      single = subnormal ? static_cast<std::uint32_t>(q)
                         : (static_cast<std::uint32_t>(exponent + 127) << 23) +
                               static_cast<std::uint32_t>(q - (std::uint64_t{1} << 23));
    }
  }
  return {std::bit_cast<float>(sign | single), Real32Status::ok};
}

}  // namespace laplace::console_io
