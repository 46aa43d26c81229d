#include "output/number_format.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace lumiva {

namespace {

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << 52;

// Unsigned integers of up to 48 × 32 = 1536 bits, little-endian limbs, never allocating.
// The widest numbers needed are 10^330 (1097 bits) for the scale tables, a double's
// integer part times 10^6 (1044 bits) for the fixed form, and about 830 bits when a
// near-tie of the exponent form is decided exactly.
class BigInt {
public:
    static constexpr int kLimbs = 48;

    constexpr explicit BigInt(std::uint64_t value = 0) {
        limbs_[0] = static_cast<std::uint32_t>(value);
        limbs_[1] = static_cast<std::uint32_t>(value >> 32);
        size_ = limbs_[1] ? 2 : (limbs_[0] ? 1 : 0);
    }

    constexpr bool isZero() const { return size_ == 0; }

    constexpr void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (int i = 0; i < size_; ++i) {
            const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
            limbs_[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry) limbs_[size_++] = static_cast<std::uint32_t>(carry);
    }

    constexpr void multiplyPow5(int exponent) {
        for (; exponent >= 13; exponent -= 13) multiply(1220703125u);  // 5^13
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent) rest *= 5;
        if (rest != 1) multiply(rest);
    }

    constexpr void shiftLeft(int bits) {
        if (size_ == 0 || bits == 0) return;
        const int words = bits / 32, shift = bits % 32;
        if (shift) {
            std::uint32_t carry = 0;
            for (int i = 0; i < size_; ++i) {
                const std::uint32_t next = limbs_[i] >> (32 - shift);
                limbs_[i] = (limbs_[i] << shift) | carry;
                carry = next;
            }
            if (carry) limbs_[size_++] = carry;
        }
        if (words) {
            for (int i = size_ - 1; i >= 0; --i) limbs_[i + words] = limbs_[i];
            for (int i = 0; i < words; ++i) limbs_[i] = 0;
            size_ += words;
        }
    }

    // Divides by 2^bits, rounding to nearest with ties to even.
    constexpr void shiftRightRounded(int bits) {
        if (bits <= 0) return;
        const bool half = bit(bits - 1);
        const bool sticky = anyBitBelow(bits - 1);
        const int words = bits / 32, shift = bits % 32;
        if (words >= size_) {
            size_ = 0;
        } else {
            for (int i = 0; i + words < size_; ++i) limbs_[i] = limbs_[i + words];
            for (int i = size_ - words; i < size_; ++i) limbs_[i] = 0;
            size_ -= words;
            if (shift) {
                for (int i = 0; i < size_; ++i)
                    limbs_[i] =
                        (limbs_[i] >> shift) | (i + 1 < size_ ? limbs_[i + 1] << (32 - shift) : 0u);
            }
            trim();
        }
        if (half && (sticky || bit(0))) addOne();
    }

    constexpr int compare(const BigInt& other) const {
        if (size_ != other.size_) return size_ < other.size_ ? -1 : 1;
        for (int i = size_ - 1; i >= 0; --i)
            if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i] ? -1 : 1;
        return 0;
    }

    constexpr int bitLength() const {
        return size_ == 0 ? 0 : 32 * size_ - std::countl_zero(limbs_[size_ - 1]);
    }

    constexpr bool bit(int index) const {
        const int word = index / 32;
        return word < size_ && (limbs_[word] >> (index % 32) & 1u);
    }

    // Whether any of the bits 0 ... count - 1 is set.
    constexpr bool anyBitBelow(int count) const {
        const int words = count / 32;
        for (int i = 0; i < words && i < size_; ++i)
            if (limbs_[i]) return true;
        return count % 32 != 0 && words < size_ &&
               (limbs_[words] & ((1u << (count % 32)) - 1)) != 0;
    }

    // The `count` (at most 64) bits starting at bit `lowest`, as a number.
    constexpr std::uint64_t bitsFrom(int lowest, int count) const {
        std::uint64_t result = 0;
        for (int i = count - 1; i >= 0; --i) result = result << 1 | (bit(lowest + i) ? 1u : 0u);
        return result;
    }

    // Divides by `divisor` and returns the remainder.
    constexpr std::uint32_t divideSmall(std::uint32_t divisor) {
        std::uint64_t rest = 0;
        for (int i = size_ - 1; i >= 0; --i) {
            const std::uint64_t current = rest << 32 | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(current / divisor);
            rest = current % divisor;
        }
        trim();
        return static_cast<std::uint32_t>(rest);
    }

private:
    constexpr void addOne() {
        for (int i = 0; i < size_; ++i)
            if (++limbs_[i] != 0) return;
        limbs_[size_++] = 1;
    }
    constexpr void trim() {
        while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
    }

    std::array<std::uint32_t, kLimbs> limbs_{};
    int size_ = 0;
};

// The double nearest to value × 2^shift (ties to even), for a non-zero value whose result
// is a normal double.
constexpr double nearestDouble(const BigInt& value, int shift) {
    const int length = value.bitLength();
    std::uint64_t mantissa;
    int exponent = length - 53 + shift;  // value ≈ mantissa × 2^exponent
    if (length <= 53) {
        mantissa = value.bitsFrom(0, length) << (53 - length);
    } else {
        mantissa = value.bitsFrom(length - 53, 53);
        if (value.bit(length - 54) && (value.anyBitBelow(length - 54) || (mantissa & 1))) {
            if (++mantissa == std::uint64_t{1} << 53) {
                mantissa >>= 1;
                ++exponent;
            }
        }
    }
    return std::bit_cast<double>(static_cast<std::uint64_t>(exponent + 1075) << 52 |
                                 (mantissa & kFractionMask));
}

// Scale factors 10^k for the exponent form. kDecimal[k + kLowest] holds 10^k for
// k = -302 ... 308: the positive powers correctly rounded (relative error at most 2^-53),
// the negative ones their reciprocals (at most 2 × 2^-53). kTiny holds 10^k × 2^-512 for
// k = 308 ... 330, correctly rounded, for values below 10^-302 that are first scaled up by
// 2^512 (exactly) so that neither factor leaves the double range.
struct ScaleTables {
    static constexpr int kLowest = 302, kHighest = 308, kTinyFirst = 308, kTinyLast = 330;
    std::array<double, kLowest + kHighest + 1> decimal{};
    std::array<double, kTinyLast - kTinyFirst + 1> tiny{};
};

constexpr ScaleTables makeScaleTables() {
    ScaleTables tables;
    BigInt power(1);
    for (int k = 0; k <= ScaleTables::kTinyLast; ++k) {
        if (k <= ScaleTables::kHighest)
            tables.decimal[k + ScaleTables::kLowest] = nearestDouble(power, 0);
        if (k >= ScaleTables::kTinyFirst)
            tables.tiny[k - ScaleTables::kTinyFirst] = nearestDouble(power, -512);
        power.multiply(10);
    }
    for (int k = 1; k <= ScaleTables::kLowest; ++k)
        tables.decimal[ScaleTables::kLowest - k] = 1.0 / tables.decimal[ScaleTables::kLowest + k];
    return tables;
}

constexpr ScaleTables kScales = makeScaleTables();

// The scaled value s ≈ |v| × 10^(6-e) below is one product of the exact |v| (or |v| × 2^512)
// with a table factor: relative error at most (1 + 2^-53)(1 + 2 × 2^-53) - 1 < 3.01 × 2^-53.
// As s < 10^7 (1 + 2^-50), its absolute error is below kScaleError. The fractional part of
// s is computed exactly, so when it is farther than kTieMargin from 1/2 the true value lies
// on the same side of the tie; only closer cases go to the exact comparison.
constexpr double kScaleError = 1.0000001e7 * 3.01 * 0x1p-53;
constexpr double kTieMargin = 0x1p-24;
static_assert(kTieMargin > 10 * kScaleError, "the fast path must keep a wide safety factor");

// floor(log10(2^e2)) for |e2| <= 1650.
constexpr int floorLog10Pow2(int e2) { return (e2 * 78913) >> 18; }

// Whether m × 2^q is below, at or above (d + 1/2) × 10^k, as -1, 0 or 1: compares
// 2m × 2^q with (2d + 1) × 5^k × 2^k, each negative power moved to the other side.
int compareWithHalfway(std::uint64_t m, int q, std::uint32_t d, int k) {
    BigInt left(2 * m);
    BigInt right(2 * std::uint64_t{d} + 1);
    if (k >= 0)
        right.multiplyPow5(k);
    else
        left.multiplyPow5(-k);
    const int twos = q - k;
    if (twos >= 0)
        left.shiftLeft(twos);
    else
        right.shiftLeft(-twos);
    return left.compare(right);
}

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline char* writeTwo(std::uint32_t n, char* out) {
    std::memcpy(out, kTwoDigits + 2 * n, 2);
    return out + 2;
}

int writeNonFinite(std::uint64_t bits, char* out) {
    out[0] = (bits & kSignBit) ? '-' : '+';
    std::memcpy(out + 1, (bits & kFractionMask) ? "NAN" : "INF", 3);
    return 4;
}

// The seven significant digits (1000000 ... 9999999, or 0 for a zero) and the decimal
// exponent of a value's magnitude, rounded to nearest with ties to even.
struct Decimal {
    std::uint32_t digits;
    int e;
};

[[gnu::noinline]] std::uint32_t roundNearTie(std::uint64_t bits, std::uint32_t digits, int e) {
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    const std::uint64_t fraction = bits & kFractionMask;
    const std::uint64_t m = biased ? fraction | kHiddenBit : fraction;
    const int q = biased ? biased - 1075 : -1074;
    const int c = compareWithHalfway(m, q, digits, e - 6);
    return digits + (c > 0 || (c == 0 && (digits & 1)));
}

// Not finite values give {0, 0}; their text does not use it.
inline Decimal decimalOf(std::uint64_t bits) {
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    if ((bits << 1) == 0 || biased == 0x7ff) [[unlikely]]
        return {0, 0};
    const std::uint64_t fraction = bits & kFractionMask;
    // 2^e2 <= |v| < 2^(e2+1), so floor(log10 |v|) is e0 or e0 + 1.
    const int e2 = biased ? biased - 1023 : (63 - std::countl_zero(fraction)) - 1074;
    const int e0 = floorLog10Pow2(e2);
    double magnitude = std::bit_cast<double>(bits & ~kSignBit);
    const double* table = kScales.decimal.data();
    int index = ScaleTables::kLowest + 6 - e0;  // of 10^(6-e0)
    if (e0 < -ScaleTables::kLowest) [[unlikely]] {
        magnitude *= 0x1p512;
        table = kScales.tiny.data();
        index = 6 - e0 - ScaleTables::kTinyFirst;
    }
    // Both candidates at once, then a select instead of a hard-to-predict branch. A value
    // within rounding error of 10^(e0+1) may pick either; both round to the same text, as
    // the carry below shows.
    const double atE0 = magnitude * table[index];
    const double atE1 = magnitude * table[index - 1];
    const bool next = atE0 >= 1e7;
    const double scaled = next ? atE1 : atE0;
    Decimal d{static_cast<std::uint32_t>(scaled), e0 + next};
    const double rest = scaled - d.digits;
    if (std::fabs(rest - 0.5) < kTieMargin) [[unlikely]]
        d.digits = roundNearTie(bits, d.digits, d.e);
    else
        d.digits += rest > 0.5;
    if (d.digits >= 10000000) [[unlikely]] {
        d.digits /= 10;  // exactly 10^7 here: 9.9999995 rounds up to 10
        ++d.e;
    }
    return d;
}

inline char* writeExponentForm(std::uint64_t bits, Decimal d, char* p) {
    if ((bits >> 52 & 0x7ff) == 0x7ff) [[unlikely]]
        return p + writeNonFinite(bits, p);
    *p = '-';
    p += bits >> 63;
    const std::uint32_t lead = d.digits / 1000000, six = d.digits - lead * 1000000;
    p[0] = static_cast<char>('0' + lead);
    p[1] = '.';
    p = writeTwo(six / 10000, p + 2);
    p = writeTwo(six / 100 % 100, p);
    p = writeTwo(six % 100, p);
    p[0] = 'e';
    p[1] = d.e < 0 ? '-' : '+';
    p += 2;
    std::uint32_t exponent = static_cast<std::uint32_t>(d.e < 0 ? -d.e : d.e);
    if (exponent >= 100) {
        *p++ = static_cast<char>('0' + exponent / 100);
        exponent %= 100;
    }
    return writeTwo(exponent, p);
}

}  // namespace

int formatExponent(double value, char* out) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    return static_cast<int>(writeExponentForm(bits, decimalOf(bits), out) - out);
}

std::size_t formatExponentLine(const double (&values)[7], char* out) {
    // All seven roundings first, so that the processor overlaps them, then the text.
    std::uint64_t bits[7];
    Decimal d[7];
#pragma GCC unroll 7
    for (int i = 0; i < 7; ++i) {
        bits[i] = std::bit_cast<std::uint64_t>(values[i]);
        d[i] = decimalOf(bits[i]);
    }
    char* p = writeExponentForm(bits[0], d[0], out);
#pragma GCC unroll 6
    for (int i = 1; i < 7; ++i) {
        *p++ = ' ';
        p = writeExponentForm(bits[i], d[i], p);
    }
    return static_cast<std::size_t>(p - out);
}

int formatFixed(double value, char* out) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    if (biased == 0x7ff) return writeNonFinite(bits, out);
    char* p = out;
    if (bits & kSignBit) *p++ = '-';

    // round(|v| × 10^6) exactly, ties to even; the point goes before its last six digits.
    const std::uint64_t fraction = bits & kFractionMask;
    BigInt millionths(biased ? fraction | kHiddenBit : fraction);
    millionths.multiply(1000000);
    const int q = biased ? biased - 1075 : -1074;
    if (q >= 0)
        millionths.shiftLeft(q);
    else
        millionths.shiftRightRounded(-q);

    // Nine digits at a time, least significant group first.
    char reversed[330];
    int n = 0;
    do {
        std::uint32_t group = millionths.divideSmall(1000000000);
        for (int i = 0; i < 9; ++i, group /= 10)
            reversed[n++] = static_cast<char>('0' + group % 10);
    } while (!millionths.isZero());
    while (n > 7 && reversed[n - 1] == '0') --n;  // at least "0.000000"

    for (int i = n - 1; i >= 6; --i) *p++ = reversed[i];
    *p++ = '.';
    for (int i = 5; i >= 0; --i) *p++ = reversed[i];
    return static_cast<int>(p - out);
}

int formatInteger(std::int64_t value, char* out) {
    char* p = out;
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *p++ = '-';
        magnitude = 0 - magnitude;  // also right for INT64_MIN
    }
    char reversed[20];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    while (n) *p++ = reversed[--n];
    return static_cast<int>(p - out);
}

}  // namespace lumiva
