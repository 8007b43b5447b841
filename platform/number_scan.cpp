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

// The ASCII text of a number as it is read, kept on the stack for the
// usual short fields.
class NumberText {
  public:
    void Append(char c) {
        if (size_ < kInline)
            inline_[size_] = c;
        else {
            if (size_ == kInline) spill_.assign(inline_.data(), kInline);
            spill_ += c;
        }
        ++size_;
    }
    void Append(std::string_view text) {
        for (const char c : text)
            Append(c);
    }
    std::string_view View() const {
        return size_ <= kInline ? std::string_view(inline_.data(), size_) : spill_;
    }

  private:
    static constexpr std::size_t kInline = 64;
    std::array<char, kInline> inline_{};
    std::string spill_;
    std::size_t size_ = 0;
};

// Appends the decimal digits at the field's position to `number`; returns
// how many there were.
template <typename Char>
std::size_t TakeDigits(Field<Char>& field, NumberText& number) {
    std::size_t count = 0;
    for (; field.DigitAt(field.pos, 10); ++field.pos, ++count) {
        number.Append(static_cast<char>(field.text[field.pos]));
    }
    return count;
}

// A plain decimal of at most 15 digits without exponent is the quotient of
// two doubles that hold their values exactly, so one division rounds it
// correctly, as the C library would; data files are full of such numbers.
std::optional<double> PlainDecimal(std::string_view number) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr int kMostDigits = 15;
    const bool negative = number.starts_with('-');
    if (negative) number.remove_prefix(1);
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (const char c : number) {
        if (c == '.') {
            point = true;
            continue;
        }
        if (c < '0' || c > '9' || ++digits > kMostDigits) return std::nullopt;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        decimals += point ? 1 : 0;
    }
    const double value = static_cast<double>(mantissa) / kPowers[decimals];
    return negative ? -value : value;
}

// Only decimal digits, '.', a leading '-' and an exponent reach here, so the
// conversion reads exactly what was taken, rounded correctly. from_chars
// reports overflow and underflow alike; strtod tells them apart.
double ToDouble(std::string_view number) {
    if (const auto plain = PlainDecimal(number)) return *plain;
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc{} && end == number.data() + number.size()) return value;
    return strtod_l(std::string(number).c_str(), nullptr, CLocale());
}

template <typename Char>
void TakeExponent(Field<Char>& field, NumberText& number) {
    if (!field.At(field.pos, 'e') && !field.At(field.pos, 'E')) return;
    std::size_t next = field.pos + 1;
    const bool negative = field.At(next, '-');
    if (negative || field.At(next, '+')) ++next;
    if (!field.DigitAt(next, 10)) return;
    number.Append(negative ? "e-" : "e");
    field.pos = next;
    TakeDigits(field, number);
}

template <typename Char>
std::optional<Scanned<double>> ScanReal(View<Char> text, std::size_t width) {
    Field<Char> field(text, width);
    NumberText number;
    if (field.TakeSign()) number.Append('-');
    std::size_t digits = TakeDigits(field, number);
    if (field.At(field.pos, '.')) {
        ++field.pos;
        number.Append('.');
        digits += TakeDigits(field, number);
    }
    if (digits == 0) return std::nullopt;
    TakeExponent(field, number);
    const double value = ToDouble(number.View());
    if (!std::isfinite(value)) return std::nullopt;
    return Scanned<double>{value, field.Length()};
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
