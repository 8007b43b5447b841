// The scanners of numbers.h, shared by narrow and wide text.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "platform/c_locale.h"
#include "platform/numbers.h"

namespace platform {
namespace {

template <typename Char>
using View = std::basic_string_view<Char>;

template <typename Char>
bool IsBlank(Char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The value of c as a digit of the base (10 or 16), or -1.
template <typename Char>
int DigitValue(Char c, int base) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (base != 16) return -1;
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a') + 10;
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A') + 10;
    return -1;
}

template <typename Char>
std::size_t CountBlanks(View<Char> text) {
    std::size_t count = 0;
    while (count < text.size() && IsBlank(text[count]))
        ++count;
    return count;
}

// The characters of one field: after the blanks, at most `width` of them.
template <typename Char>
struct Field {
    std::size_t blanks;
    View<Char> text;
    std::size_t pos = 0;  // how far the conversion has read

    Field(View<Char> all, std::size_t width)
        : blanks(CountBlanks(all)), text(all.substr(blanks, width)) {}

    bool At(std::size_t i, char c) const { return i < text.size() && text[i] == c; }
    bool DigitAt(std::size_t i, int base) const {
        return i < text.size() && DigitValue(text[i], base) >= 0;
    }
    // Takes a '+' or '-'; true for '-'.
    bool TakeSign() {
        if (!At(pos, '+') && !At(pos, '-')) return false;
        return text[pos++] == '-';
    }
    std::size_t Length() const { return blanks + pos; }
};

// Larger than any 32-bit magnitude; digits beyond it change nothing.
constexpr std::uint64_t kMagnitudeCap = std::uint64_t{1} << 33;

struct Integer {
    std::uint64_t magnitude;  // at most kMagnitudeCap
    bool negative;
    std::size_t length;
};

template <typename Char>
std::optional<Integer> ScanInteger(View<Char> text, std::size_t width, int base) {
    Field<Char> field(text, width);
    const bool negative = field.TakeSign();
    if (base == 16 && field.At(field.pos, '0') &&
        (field.At(field.pos + 1, 'x') || field.At(field.pos + 1, 'X')) &&
        field.DigitAt(field.pos + 2, 16)) {
        field.pos += 2;
    }
    const std::size_t first = field.pos;
    std::uint64_t magnitude = 0;
    for (; field.DigitAt(field.pos, base); ++field.pos) {
        const auto digit = static_cast<std::uint64_t>(DigitValue(field.text[field.pos], base));
        magnitude = std::min(magnitude * static_cast<std::uint64_t>(base) + digit, kMagnitudeCap);
    }
    if (field.pos == first) return std::nullopt;
    return Integer{magnitude, negative, field.Length()};
}

template <typename Char>
std::optional<Scanned<std::int32_t>> ScanSigned(View<Char> text, std::size_t width) {
    const auto integer = ScanInteger(text, width, 10);
    if (!integer) return std::nullopt;
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const auto magnitude = static_cast<std::int64_t>(integer->magnitude);
    const std::int64_t value = std::clamp(integer->negative ? -magnitude : magnitude, kMin, kMax);
    return Scanned<std::int32_t>{static_cast<std::int32_t>(value), integer->length};
}

template <typename Char>
std::optional<Scanned<std::uint32_t>> ScanModular(View<Char> text, std::size_t width, int base) {
    const auto integer = ScanInteger(text, width, base);
    if (!integer) return std::nullopt;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    if (integer->magnitude > kMax) return Scanned<std::uint32_t>{kMax, integer->length};
    const auto magnitude = static_cast<std::uint32_t>(integer->magnitude);
    const std::uint32_t value = integer->negative ? 0u - magnitude : magnitude;
    return Scanned<std::uint32_t>{value, integer->length};
}

// The value of c as a decimal digit, or a value above 9.
template <typename Char>
std::uint32_t DecimalDigit(Char c) {
    return static_cast<std::uint32_t>(c) - static_cast<std::uint32_t>('0');
}

// Takes the decimal digits from p on, building them into `mantissa`; the
// count says how many there were. Past 19 digits the mantissa stops
// meaning anything (the caller then reads the text again).
template <typename Char>
const Char* TakeDigits(const Char* p, const Char* end, std::uint64_t& mantissa, int& count) {
    for (; p < end; ++p) {
        const std::uint32_t digit = DecimalDigit(*p);
        if (digit > 9) break;
        mantissa = mantissa * 10 + digit;
        ++count;
    }
    return p;
}

// The exponent after the digits, when 'e' or 'E' and at least one digit
// follow (with an optional sign between); p stays where it was otherwise.
// Kept within a range that no finite nonzero double leaves.
template <typename Char>
const Char* TakeExponent(const Char* p, const Char* end, int& exponent) {
    if (p == end || (*p != 'e' && *p != 'E')) return p;
    const Char* q = p + 1;
    const bool negative = q < end && *q == '-';
    if (q < end && (*q == '-' || *q == '+')) ++q;
    if (q == end || DecimalDigit(*q) > 9) return p;
    constexpr int kExponentCap = 100000;
    int value = 0;
    for (; q < end && DecimalDigit(*q) <= 9; ++q)
        value = std::min(value * 10 + static_cast<int>(DecimalDigit(*q)), kExponentCap);
    exponent = negative ? -value : value;
    return q;
}

// A mantissa of at most 2^53 and a power of ten up to 10^22 are both
// doubles, so one multiplication or division rounds the value correctly, as
// the C library would. Sentences and data files are full of such numbers.
std::optional<double> ExactDecimal(std::uint64_t mantissa, int digits, int scale) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMostDigits = 19;  // any more may have wrapped the mantissa
    constexpr std::uint64_t kMostExact = std::uint64_t{1} << 53;
    constexpr int kMostPower = 22;
    if (digits > kMostDigits || mantissa > kMostExact || scale < -kMostPower ||
        scale > kMostPower) {
        return std::nullopt;
    }
    const auto value = static_cast<double>(mantissa);
    return scale < 0 ? value / kPowers[-scale] : value * kPowers[scale];
}

// The number from its characters: only decimal digits, '.', a sign and an
// exponent reach here, so the conversion reads exactly what was taken,
// rounded correctly. from_chars reports overflow and underflow alike;
// strtod tells them apart.
template <typename Char>
double ReadTaken(const Char* first, const Char* last) {
    std::string number;
    number.reserve(static_cast<std::size_t>(last - first));
    for (const Char* p = first; p < last; ++p)
        number += static_cast<char>(*p);
    const char* from = number.data() + (number.starts_with('+') ? 1 : 0);
    const char* to = number.data() + number.size();
    double value = 0.0;
    const auto [end, error] = std::from_chars(from, to, value);
    if (error == std::errc{} && end == to) return value;
    return strtod_l(number.c_str(), nullptr, CLocale());
}

// The number is built while it is scanned; only a long mantissa or a large
// power of ten sends it through the text again.
template <typename Char>
std::optional<Scanned<double>> ScanReal(View<Char> text, std::size_t width) {
    const Char* const begin = text.data();
    const Char* end = begin + text.size();
    const Char* p = begin;
    while (p < end && IsBlank(*p))
        ++p;
    if (width < static_cast<std::size_t>(end - p)) end = p + width;
    const Char* const start = p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    std::uint64_t mantissa = 0;
    int digits = 0;
    p = TakeDigits(p, end, mantissa, digits);
    int scale = 0;
    if (p < end && *p == '.') {
        const int whole = digits;
        p = TakeDigits(p + 1, end, mantissa, digits);
        scale = whole - digits;
    }
    if (digits == 0) return std::nullopt;
    int exponent = 0;
    p = TakeExponent(p, end, exponent);
    double value = 0.0;
    if (const auto exact = ExactDecimal(mantissa, digits, scale + exponent)) {
        value = negative ? -*exact : *exact;
    } else {
        value = ReadTaken(start, p);
    }
    if (!std::isfinite(value)) return std::nullopt;
    return Scanned<double>{value, static_cast<std::size_t>(p - begin)};
}

template <typename Char>
std::optional<Scanned<float>> ScanSingle(View<Char> text, std::size_t width) {
    const auto real = ScanReal(text, width);
    if (!real || std::fabs(real->value) > std::numeric_limits<float>::max()) return std::nullopt;
    return Scanned<float>{static_cast<float>(real->value), real->length};
}

}  // namespace

std::optional<Scanned<double>> ScanDouble(std::string_view text, std::size_t width) {
    return ScanReal(text, width);
}
std::optional<Scanned<double>> ScanDouble(std::wstring_view text, std::size_t width) {
    return ScanReal(text, width);
}
std::optional<Scanned<float>> ScanFloat(std::string_view text, std::size_t width) {
    return ScanSingle(text, width);
}
std::optional<Scanned<float>> ScanFloat(std::wstring_view text, std::size_t width) {
    return ScanSingle(text, width);
}
std::optional<Scanned<std::int32_t>> ScanInt(std::string_view text, std::size_t width) {
    return ScanSigned(text, width);
}
std::optional<Scanned<std::int32_t>> ScanInt(std::wstring_view text, std::size_t width) {
    return ScanSigned(text, width);
}
std::optional<Scanned<std::uint32_t>> ScanUnsigned(std::string_view text, std::size_t width) {
    return ScanModular(text, width, 10);
}
std::optional<Scanned<std::uint32_t>> ScanUnsigned(std::wstring_view text, std::size_t width) {
    return ScanModular(text, width, 10);
}
std::optional<Scanned<std::uint32_t>> ScanHex(std::string_view text, std::size_t width) {
    return ScanModular(text, width, 16);
}
std::optional<Scanned<std::uint32_t>> ScanHex(std::wstring_view text, std::size_t width) {
    return ScanModular(text, width, 16);
}

}  // namespace platform
