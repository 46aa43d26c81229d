#include "output/number_format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace lumiva {

namespace {

// Unsigned integers of up to 1536 bits, enough for any double times the powers of two
// and five that exact decimal rounding needs. No allocation; little-endian 32-bit limbs.
class BigInt {
public:
    static constexpr int kLimbs = 48;

    explicit BigInt(std::uint64_t value = 0) {
        limbs_[0] = static_cast<std::uint32_t>(value);
        limbs_[1] = static_cast<std::uint32_t>(value >> 32);
        size_ = limbs_[1] ? 2 : (limbs_[0] ? 1 : 0);
    }

    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (int i = 0; i < size_; ++i) {
            const std::uint64_t product = static_cast<std::uint64_t>(limbs_[i]) * factor + carry;
            limbs_[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry) limbs_[size_++] = static_cast<std::uint32_t>(carry);
    }

    void multiplyPow5(int exponent) {
        for (; exponent >= 13; exponent -= 13) multiply(1220703125u);  // 5^13
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent) rest *= 5;
        if (rest != 1) multiply(rest);
    }

    void shiftLeft(int bits) {
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

    // The value divided by 2^bits, rounded to nearest with ties to even.
    void shiftRightRounded(int bits) {
        if (bits <= 0) return;
        // Bit bits-1 decides; any lower bit breaks a tie upwards.
        const bool half = bit(bits - 1);
        bool below = false;
        for (int i = 0; i < bits - 1 && !below; ++i) below = bit(i);
        const int words = bits / 32, shift = bits % 32;
        if (words >= size_) {
            size_ = 0;
        } else {
            for (int i = 0; i + words < size_; ++i) limbs_[i] = limbs_[i + words];
            size_ -= words;
            if (shift) {
                for (int i = 0; i < size_; ++i)
                    limbs_[i] =
                        (limbs_[i] >> shift) | (i + 1 < size_ ? limbs_[i + 1] << (32 - shift) : 0u);
            }
            trim();
        }
        if (half && (below || bit(0))) addOne();
    }

    int compare(const BigInt& other) const {
        if (size_ != other.size_) return size_ < other.size_ ? -1 : 1;
        for (int i = size_ - 1; i >= 0; --i)
            if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i] ? -1 : 1;
        return 0;
    }

    // Writes the decimal digits, most significant first; returns their count.
    int toDecimal(char* out) const {
        BigInt value = *this;
        char reversed[480];
        int n = 0;
        do reversed[n++] = static_cast<char>('0' + value.divideBy10());
        while (value.size_ > 0);
        for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
        return n;
    }

private:
    bool bit(int index) const {
        const int word = index / 32;
        return word < size_ && (limbs_[word] >> (index % 32) & 1u);
    }
    void addOne() {
        for (int i = 0; i < size_; ++i)
            if (++limbs_[i] != 0) return;
        limbs_[size_++] = 1;
    }
    void trim() {
        while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
    }
    std::uint32_t divideBy10() {
        std::uint64_t rest = 0;
        for (int i = size_ - 1; i >= 0; --i) {
            const std::uint64_t current = (rest << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(current / 10);
            rest = current % 10;
        }
        trim();
        return static_cast<std::uint32_t>(rest);
    }

    std::array<std::uint32_t, kLimbs> limbs_{};
    int size_ = 0;
};

// A finite non-zero |value| as mantissa × 2^exponent with an integer mantissa.
struct Binary {
    std::uint64_t mantissa;
    int exponent;
};

Binary decompose(double magnitude) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, -1074};
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

int writeNonFinite(double value, char* out) {
    std::memcpy(out, std::signbit(value) ? "-" : "+", 1);
    std::memcpy(out + 1, std::isnan(value) ? "NAN" : "INF", 3);
    return 4;
}

// Correctly rounded powers of ten 10^-310 ... 10^310 (infinity past the double range);
// each within half an ulp of the true power. Filled once, before main.
struct PowersOfTen {
    static constexpr int kMin = -310, kMax = 310;
    double values[kMax - kMin + 1];
    PowersOfTen() {
        for (int k = kMin; k <= kMax; ++k) {
            char text[8];
            text[0] = '1';
            text[1] = 'e';
            const auto end = std::to_chars(text + 2, text + sizeof text, k).ptr;
            double v = HUGE_VAL;
            std::from_chars(text, end, v);
            values[k - kMin] = v;
        }
    }
    double operator[](int k) const { return values[k - kMin]; }
};

const PowersOfTen kPowersOfTen;

// |value| × 10^k for a decimal exponent near -log10|value|. Two or three roundings of at
// most half an ulp each, plus half an ulp in each table entry: the result is within
// 4 × 2^-53 of the true product, relatively.
inline double scaleByPowerOfTen(double magnitude, int k) {
    if (k > 300) return magnitude * 1e300 * kPowersOfTen[k - 300];
    if (k < -300) return magnitude * 1e-300 * kPowersOfTen[k + 300];
    return magnitude * kPowersOfTen[k];
}

// floor(log10(2^e2)) for |e2| < 1700.
inline int floorLog10Pow2(int e2) { return (e2 * 78913) >> 18; }

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline char* writeTwo(std::uint32_t n, char* out) {
    std::memcpy(out, kTwoDigits + 2 * n, 2);
    return out + 2;
}

// Whether m × 2^q is below, at or above (2 d + 1) / 2 × 10^k: -1, 0 or 1.
int compareWithHalfway(const Binary& b, std::uint64_t d, int k) {
    BigInt left(b.mantissa * 2);  // 2m × 2^q against (2d + 1) × 5^k × 2^k
    BigInt right(2 * d + 1);
    if (k >= 0)
        right.multiplyPow5(k);
    else
        left.multiplyPow5(-k);
    const int twos = b.exponent - k;
    if (twos >= 0)
        left.shiftLeft(twos);
    else
        right.shiftLeft(-twos);
    return left.compare(right);
}

}  // namespace

int formatExponent(double value, char* out) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    if (biased == 0x7ff) return writeNonFinite(value, out);
    char* p = out;
    if (bits >> 63) *p++ = '-';
    const double magnitude = std::fabs(value);
    std::uint32_t digits = 0;
    int e = 0;
    if (magnitude != 0) {
        // 2^e2 <= |value| < 2^(e2+1), so floor(log10 |value|) is e or e + 1.
        const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
        const int e2 = biased ? biased - 1023 : -1074 + (63 - std::countl_zero(fraction));
        e = floorLog10Pow2(e2);
        double scaled = scaleByPowerOfTen(magnitude, 6 - e);
        // A scaled value a rounding error past 10^7 rounds to the same digits either way.
        if (scaled >= 1e7) scaled = scaleByPowerOfTen(magnitude, 6 - ++e);
        digits = static_cast<std::uint32_t>(scaled);
        const double rest = scaled - digits;
        // The product is within 5e-9 of the truth; near a tie decide on the exact value.
        if (rest > 0.5 - 1e-6 && rest < 0.5 + 1e-6) {
            const int c = compareWithHalfway(decompose(magnitude), digits, e - 6);
            if (c > 0 || (c == 0 && digits % 2 == 1)) ++digits;
        } else if (rest > 0.5) {
            ++digits;
        }
        if (digits == 10000000) {
            digits = 1000000;
            ++e;
        }
    }
    const std::uint32_t lead = digits / 1000000, six = digits % 1000000;
    *p++ = static_cast<char>('0' + lead);
    *p++ = '.';
    p = writeTwo(six / 10000, p);
    p = writeTwo(six / 100 % 100, p);
    p = writeTwo(six % 100, p);
    *p++ = 'e';
    *p++ = e < 0 ? '-' : '+';
    const std::uint32_t magnitudeOfE = static_cast<std::uint32_t>(e < 0 ? -e : e);
    if (magnitudeOfE >= 100) {
        *p++ = static_cast<char>('0' + magnitudeOfE / 100);
        p = writeTwo(magnitudeOfE % 100, p);
    } else {
        p = writeTwo(magnitudeOfE, p);
    }
    return static_cast<int>(p - out);
}

int formatFixed(double value, char* out) {
    if (!std::isfinite(value)) return writeNonFinite(value, out);
    char* p = out;
    if (std::signbit(value)) *p++ = '-';
    // round(|value| × 10^6), exactly, ties to even; then the point before the last six.
    BigInt millionths(0);
    if (value != 0) {
        const Binary b = decompose(std::fabs(value));
        millionths = BigInt(b.mantissa);
        millionths.multiply(1000000);
        if (b.exponent >= 0)
            millionths.shiftLeft(b.exponent);
        else
            millionths.shiftRightRounded(-b.exponent);
    }
    char digits[480];
    int n = millionths.toDecimal(digits);
    char padded[480];
    const int pad = n < 7 ? 7 - n : 0;
    std::memset(padded, '0', static_cast<std::size_t>(pad));
    std::memcpy(padded + pad, digits, static_cast<std::size_t>(n));
    n += pad;
    std::memcpy(p, padded, static_cast<std::size_t>(n - 6));
    p += n - 6;
    *p++ = '.';
    std::memcpy(p, padded + n - 6, 6);
    p += 6;
    return static_cast<int>(p - out);
}

int formatInteger(std::int64_t value, char* out) {
    char* p = out;
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *p++ = '-';
        magnitude = 0 - magnitude;
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
