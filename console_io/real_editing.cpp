#include "console_io/real_editing.h"

#include <bit>
#include <cstddef>
#include <cstring>

// Exact integer arithmetic throughout: no floating-point operation, no
// library formatting, no locale and no dependence on the rounding mode.
//
// A finite 32-bit real other than zero is m x 2^e with 1 <= m < 2^24 and
// -149 <= e <= 104. Its first 18 significant digits are floor(|v| x 10^p)
// for p = 18 - E. With an estimate E0 of E that is E or E - 1 this floor lies
// in [10^17, 10^19) (below 2^64); when it is 10^18 or more, E = E0 + 1 and
// one division by 10 gives the 18 digits, since floor(floor(x) / 10) =
// floor(x / 10).
//   p >= 0: |v| x 10^p = (m x 5^p) x 2^(e+p), a product below 2^24 x 5^62 <
//     2^168 held in three 64-bit words, then shifted.
//   p < 0:  |v| / 10^q = (m x 2^(e-q)) / 5^q with q = -p in 1..21; the
//     dividend is below 2^127 and 5^21 < 2^49, so one 128-by-64-bit division.
namespace laplace::console_io {

namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t TEN_TO_18 = 1'000'000'000'000'000'000ULL;

// A 192-bit unsigned integer, least significant word first.
struct Wide {
  std::uint64_t w[3];
};

constexpr Wide times_small(const Wide& a, std::uint64_t k, bool& overflow) {
  Wide r{};
  Uint128 carry = 0;
  for (int i = 0; i < 3; ++i) {
    const Uint128 t = static_cast<Uint128>(a.w[i]) * k + carry;
    r.w[i] = static_cast<std::uint64_t>(t);
    carry = t >> 64;
  }
  if (carry != 0) overflow = true;
  return r;
}

constexpr Wide shifted_left(const Wide& a, int s) {  // 0 <= s < 192, bits beyond 192 lost
  Wide r{};
  const int words = s / 64;
  const int bits = s % 64;
  for (int i = 2; i >= words; --i) {
    std::uint64_t x = a.w[i - words] << bits;
    if (bits != 0 && i - words - 1 >= 0) x |= a.w[i - words - 1] >> (64 - bits);
    r.w[i] = x;
  }
  return r;
}

constexpr bool less(const Wide& a, const Wide& b) {
  for (int i = 2; i >= 0; --i) {
    if (a.w[i] != b.w[i]) return a.w[i] < b.w[i];
  }
  return false;
}

// 5^0 .. 5^63 (p never exceeds 62; one spare). Built at compile time by
// repeated exact multiplication by 5; 5^63 < 2^147 < 2^192, and the build
// fails if any product carried out of the three words.
constexpr int POW5_COUNT = 64;
struct Pow5Table {
  Wide values[POW5_COUNT];
  bool overflow;
};
constexpr Pow5Table POW5 = [] {
  Pow5Table t{};
  t.values[0] = Wide{{1, 0, 0}};
  for (int i = 1; i < POW5_COUNT; ++i) t.values[i] = times_small(t.values[i - 1], 5, t.overflow);
  return t;
}();
static_assert(!POW5.overflow);
static_assert(POW5.values[27].w[0] == 7'450'580'596'923'828'125ULL && POW5.values[27].w[1] == 0);
static_assert(POW5.values[63].w[2] < (1ULL << 19));  // 5^63 < 2^147

// floor(b x log10 2) = (b x 78913) >> 18 for every binary exponent b of a
// 32-bit real, -149 <= b <= 127 (the shift floors: C++20 shifts are
// arithmetic). Proved at compile time by exact comparison of powers:
// 10^k <= 2^b < 10^(k+1), all operands below 10^45 < 2^150.
constexpr int MIN_BINARY_EXPONENT = -149;
constexpr int MAX_BINARY_EXPONENT = 127;
constexpr int floor_log10_pow2(int b) { return (b * 78913) >> 18; }

constexpr Wide pow10_wide(int k) { return shifted_left(POW5.values[k], k); }  // 0 <= k <= 63
constexpr Wide pow2_wide(int b) { return shifted_left(Wide{{1, 0, 0}}, b); }  // 0 <= b < 192

constexpr bool floor_log10_pow2_is_exact() {
  for (int b = MIN_BINARY_EXPONENT; b <= MAX_BINARY_EXPONENT; ++b) {
    const int k = floor_log10_pow2(b);
    if (b >= 0) {
      // 10^k <= 2^b < 10^(k+1)
      if (k < 0 || less(pow2_wide(b), pow10_wide(k)) || !less(pow2_wide(b), pow10_wide(k + 1))) return false;
    } else {
      // With B = -b and K = -k: 10^(K-1) < 2^B <= 10^K.
      const int big_b = -b;
      const int big_k = -k;
      if (big_k < 1 || less(pow10_wide(big_k), pow2_wide(big_b)) || !less(pow10_wide(big_k - 1), pow2_wide(big_b)))
        return false;
    }
  }
  return true;
}
static_assert(floor_log10_pow2_is_exact());

// 5^q for the division branch, 1 <= q <= 21 (5^21 < 2^49).
constexpr std::uint64_t pow5_word(int q) { return POW5.values[q].w[0]; }
static_assert(POW5.values[21].w[1] == 0);

constexpr char DIGIT_PAIRS[] =
    "00010203040506070809"
    "10111213141516171819"
    "20212223242526272829"
    "30313233343536373839"
    "40414243444546474849"
    "50515253545556575859"
    "60616263646566676869"
    "70717273747576777879"
    "80818283848586878889"
    "90919293949596979899";

// Writes the 2 decimal digits of x < 100.
void write_pair(char* out, std::uint32_t x) {
  out[0] = DIGIT_PAIRS[2 * x];
  out[1] = DIGIT_PAIRS[2 * x + 1];
}

// Writes the 8 decimal digits of x < 10^8, leading zeros included.
void write_eight(char* out, std::uint32_t x) {
  if constexpr (std::endian::native == std::endian::little) {
    // All eight at once in one 64-bit word, first digit in the lowest byte:
    // two lanes of 4 digits (x / 10^4, x % 10^4), split into four lanes of
    // 2 digits, then eight of 1. The quotients by multiplication are exact
    // for the lane ranges: (y x 10486) >> 20 = y / 100 for y < 10^4 (error
    // below y x 2.3e-7 < 0.0023, while y / 100 lies at least 0.01 below the
    // next integer), and (y x 103) >> 10 = y / 10 for y < 100 (error below
    // y x 5.9e-4 < 0.059, against 0.1). No lane product overflows its lane
    // (10^4 x 10486 < 2^32, 100 x 103 < 2^16); the masks drop the bits that
    // the shifts bring down from the next lane.
    std::uint64_t v = (x / 10000) | (static_cast<std::uint64_t>(x % 10000) << 32);
    std::uint64_t q = ((v * 10486) >> 20) & 0x0000007F0000007FULL;
    v = q | ((v - q * 100) << 16);
    q = ((v * 103) >> 10) & 0x000F000F000F000FULL;
    v = q | ((v - q * 10) << 8);
    v += 0x3030303030303030ULL;  // '0' in every byte
    std::memcpy(out, &v, 8);
  } else {
    const std::uint32_t high = x / 10000;
    const std::uint32_t low = x % 10000;
    write_pair(out, high / 100);
    write_pair(out + 2, high % 100);
    write_pair(out + 4, low / 100);
    write_pair(out + 6, low % 100);
  }
}

// The number of trailing decimal zeros of 0 < x < 10^8 (0 to 7).
int trailing_zeros(std::uint32_t x) {
  int n = 0;
  if (x % 10000 == 0) {
    x /= 10000;
    n += 4;
  }
  if (x % 100 == 0) {
    x /= 100;
    n += 2;
  }
  if (x % 10 == 0) ++n;
  return n;
}

void set_text(DecimalDigits& d, const char* text, int n) {
  for (int i = 0; i < n; ++i) d.digits[static_cast<std::size_t>(i)] = text[i];
  d.count = n;
}

constexpr int SPECIAL_TEXT_LENGTH = 13;

}  // namespace

namespace detail {

LeadingDigits leading_digits(std::uint32_t bits) {
  const std::uint32_t biased = (bits >> 23) & 0xFFU;
  const std::uint32_t fraction = bits & 0x7FFFFFU;
  const std::uint64_t m = biased != 0 ? (fraction | 0x800000U) : fraction;
  const int e = biased != 0 ? static_cast<int>(biased) - 150 : -149;
  // |v| = m x 2^e with 2^b <= |v| < 2^(b+1).
  const int b = e + static_cast<int>(std::bit_width(m)) - 1;
  // 10^(E0-1) <= 2^b <= |v| < 2^(b+1) <= 10^(E0+1) (as 2 < 10): E is E0 or E0 + 1.
  int exponent = floor_log10_pow2(b) + 1;
  const int p = 18 - exponent;  // -44 <= E0 <= 39 for -149 <= b <= 127: -21 <= p <= 62

  std::uint64_t t;  // floor(|v| x 10^p), in [10^17, 10^19)
  if (p >= 0) {
    const Wide& f = POW5.values[p];
    const Uint128 t0 = static_cast<Uint128>(m) * f.w[0];
    const Uint128 t1 = static_cast<Uint128>(m) * f.w[1] + (t0 >> 64);
    const std::uint64_t w0 = static_cast<std::uint64_t>(t0);
    const std::uint64_t w1 = static_cast<std::uint64_t>(t1);
    // The product is below 2^24 x 5^62 < 2^168: w2 < 2^40, no wrap.
    const std::uint64_t w2 = static_cast<std::uint64_t>(t1 >> 64) + m * f.w[2];
    const int s = e + p;
    if (s >= 0) {
      // The result is below 2^64, so m x 5^p is too: it lies in w0 alone.
      t = w0 << s;
    } else if (s > -64) {
      // Bits -s .. -s+63 of the product, all in w0 and w1.
      t = static_cast<std::uint64_t>(((static_cast<Uint128>(w1) << 64) | w0) >> -s);
    } else {
      // 64 <= -s <= 94: with b <= e + 23 and E0 <= b log10 2 + 1, -s = -e - p
      // = -e - 18 + E0 <= -0.699 e - 10.08 <= 94.1 for e >= -149. So the
      // bits lie in w1 and w2.
      t = static_cast<std::uint64_t>(((static_cast<Uint128>(w2) << 64) | w1) >> (-s - 64));
    }
  } else {
    // E0 >= 19 means b >= 60, so e >= b - 23 >= 37 > 21 >= q: the shift is
    // a left shift, and the dividend m x 2^(e-q) < 2^(b+1-q) <= 2^127. The
    // quotient is t < 2^64.
    const int q = -p;
    const Uint128 dividend = static_cast<Uint128>(m) << (e - q);
    t = static_cast<std::uint64_t>(dividend / pow5_word(q));
  }
  if (t >= TEN_TO_18) {
    t /= 10;
    ++exponent;
  }
  return LeadingDigits{t, exponent};
}

DecimalDigits digits_from_leading(char sign, LeadingDigits leading) {
  DecimalDigits d{};
  d.sign = sign;
  d.finite = true;
  d.exponent = leading.exponent;
  // The 18 digits as 9 + 9, then the second half cut to 8 and rounded: a
  // carry out of it runs into the first half, and out of that (17 nines)
  // makes the digits 1 and the exponent one larger.
  auto high = static_cast<std::uint32_t>(leading.digits / 1'000'000'000U);  // d1..d9
  const auto low18 = static_cast<std::uint32_t>(leading.digits % 1'000'000'000U);  // d10..d18
  std::uint32_t last = low18 / 10;  // d10..d17
  if (low18 % 10 >= 5 && ++last == 100'000'000U) {
    last = 0;
    if (++high == 1'000'000'000U) {
      high = 100'000'000U;
      ++d.exponent;
    }
  }
  // 17 digits: one, then 8, then 8.
  const std::uint32_t first = high / 100'000'000U;
  const std::uint32_t middle = high % 100'000'000U;
  d.digits[0] = static_cast<char>('0' + first);
  write_eight(d.digits.data() + 1, middle);
  write_eight(d.digits.data() + 9, last);
  int count;  // without trailing zeros; d1 != 0
  if (last != 0) {
    count = DIGIT_STRING_LENGTH - trailing_zeros(last);
  } else if (middle != 0) {
    count = 9 - trailing_zeros(middle);
  } else {
    count = 1;
  }
  d.count = count;
  return d;
}

}  // namespace detail

DecimalDigits to_decimal_digits(std::uint32_t bits) {
  const char sign = (bits >> 31) != 0 ? '-' : ' ';
  const std::uint32_t biased = (bits >> 23) & 0xFFU;
  const std::uint32_t fraction = bits & 0x7FFFFFU;
  if (biased == 0xFFU) {
    // The widened 64-bit significand is 1, the fraction, 40 zeros: "other
    // than the leading bit alone" is fraction != 0, the quiet bit is bit 22.
    DecimalDigits d{};
    d.sign = sign;
    d.exponent = 0;
    d.finite = false;
    if (fraction != 0 && (fraction & 0x400000U) == 0) {
      set_text(d, "1#SNAN", 6);
    } else if (bits == 0xFFC00000U) {
      set_text(d, "1#IND", 5);
    } else if (fraction == 0) {
      set_text(d, "1#INF", 5);
    } else {
      set_text(d, "1#QNAN", 6);
    }
    return d;
  }
  if ((bits & 0x7FFFFFFFU) == 0) {
    DecimalDigits d{};
    d.sign = ' ';
    d.exponent = 0;
    d.count = 1;
    d.digits[0] = '0';
    d.finite = true;
    return d;
  }
  return detail::digits_from_leading(sign, detail::leading_digits(bits));
}

bool round_digits_at(DecimalDigits& d, int p) {
  if (!d.finite || d.count <= p) return false;
  if (p < 0) p = 0;
  const char next = d.digits[static_cast<std::size_t>(p)];
  d.count = p;
  if (next < '5') {
    int i = 0;
    while (i < p && d.digits[static_cast<std::size_t>(i)] == '0') ++i;
    if (i == p) {  // only zeros remain
      d.sign = ' ';
      if (p == 0) {  // nothing kept: the value is zero
        d.digits[0] = '0';
        d.count = 1;
        d.exponent = 0;
      }
    }
    return false;
  }
  int i = p - 1;
  while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
    d.digits[static_cast<std::size_t>(i)] = '0';
    --i;
  }
  if (i >= 0) {
    ++d.digits[static_cast<std::size_t>(i)];
    return false;
  }
  // Through all p digits: 1 followed by p zeros (p < count <= 17, so it fits).
  d.digits[static_cast<std::size_t>(p)] = '0';
  d.digits[0] = '1';
  d.count = p + 1;
  ++d.exponent;
  return true;
}

namespace {

// The characters of a value that is not finite, or of zero.
EditedReal edit_special(std::uint32_t bits) {
  EditedReal e{};
  const DecimalDigits d = to_decimal_digits(bits);
  char* out = e.chars.data();
  if (!d.finite) {
    int n = 0;
    for (; n < d.count; ++n) out[n] = d.digits[static_cast<std::size_t>(n)];
    for (; n < SPECIAL_TEXT_LENGTH; ++n) out[n] = '.';
    e.length = SPECIAL_TEXT_LENGTH;
    return e;
  }
  std::memcpy(out, "0.000000E+00", 12);
  e.length = 12;
  return e;
}

}  // namespace

EditedReal edit_real(std::uint32_t bits) {
  const std::uint32_t biased = (bits >> 23) & 0xFFU;
  if (biased == 0xFFU || (bits & 0x7FFFFFFFU) == 0) return edit_special(bits);
  // The two roundings of the digit string, half up, on the integer of its
  // first 18 digits: to 17 digits, then to 7. Dropping trailing zeros does
  // not change the value, and digit 8 of the 17 is 5 or more exactly when
  // the last 10 of them are at least 5 x 10^9.
  const detail::LeadingDigits leading = detail::leading_digits(bits);
  int exponent = leading.exponent;
  std::uint64_t d17 = leading.digits / 10 + (leading.digits % 10 >= 5 ? 1 : 0);
  if (d17 == 100'000'000'000'000'000ULL) {
    d17 = 10'000'000'000'000'000ULL;
    ++exponent;
  }
  const bool fixed = exponent >= 1 && exponent <= 7;  // before the rounding at 7
  auto d7 = static_cast<std::uint32_t>(d17 / 10'000'000'000ULL);
  if (d17 % 10'000'000'000ULL >= 5'000'000'000ULL && ++d7 == 10'000'000U) {
    d7 = 1'000'000U;
    ++exponent;
  }
  // The 7 digits and "0" beyond them.
  char padded[16];
  write_eight(padded, d7 * 10);
  std::memcpy(padded + 8, "00000000", 8);

  EditedReal e{};
  char* out = e.chars.data();
  int n = 0;
  if ((bits >> 31) != 0) out[n++] = '-';
  if (fixed) {
    // A carry to 8 integer digits needs 9999999.5 <= |v| < 10^7, where no
    // 32-bit real lies (their spacing there is 1), so at most "-" + 7 + "."
    // + 6 = 15 characters. Eight bytes are copied whatever the count: the
    // bytes past the integer digits are overwritten next.
    std::memcpy(out + n, padded, 8);
    n += exponent;
    out[n++] = '.';
    std::memcpy(out + n, padded + exponent, 6);
    n += 6;
  } else {
    out[n++] = padded[0];
    out[n++] = '.';
    std::memcpy(out + n, padded + 1, 6);
    n += 6;
    const int printed = exponent - 1;
    out[n++] = 'E';
    out[n++] = printed < 0 ? '-' : '+';
    write_pair(out + n, static_cast<std::uint32_t>(printed < 0 ? -printed : printed));
    n += 2;
  }
  e.length = n;
  return e;
}

}  // namespace laplace::console_io
