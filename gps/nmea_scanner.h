#pragma once
// Reads the fields of a sentence the way the C runtime's scanf reads them
// with the formats the sentences were laid out for. Each call is one
// conversion of such a format ("%2d" is Int(v, 2), "%*c" is Skip(), "\t" is
// Blanks()), so a chain of calls reads as the format it stands for:
//
//     NmeaScanner(text).Float(altitude).Skip().Char(unit).Count()
//
// As with scanf, the first conversion that fails ends the scan: it and
// every later call store nothing, and Count() is the number of values stored
// before it. Numbers skip blanks before them; a character conversion takes
// the next byte whatever it is (a ',' from an empty field too) and fails
// only at the end of the text. Real numbers follow ScanWireNumber: an
// absurd one is an unreadable field.
//
// The plain numbers sentences carry (an optional '-', at most 15 digits
// with an optional point, no blanks before them, no exponent) are built
// while they are scanned, exactly as the general reader would read them;
// every other field goes through the general reader.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "gps/nmea_number.h"
#include "platform/numbers.h"

namespace gps {

class NmeaScanner {
  public:
    explicit NmeaScanner(std::string_view text) : text_(text) {}

    NmeaScanner& Int(std::int32_t& value, std::size_t width = platform::kNoWidth);  // "%d"
    NmeaScanner& Float(float& value);                                               // "%f"
    NmeaScanner& Double(double& value, std::size_t width = platform::kNoWidth);     // "%lf"
    NmeaScanner& Hex16(std::int16_t& value);  // "%hx", the 16 bits taken as signed
    NmeaScanner& Char(char& value);           // "%c"
    NmeaScanner& Skip();                      // "%*c"
    NmeaScanner& SkipInt();                   // "%*d"
    NmeaScanner& SkipFloat();                 // "%*f"
    NmeaScanner& SkipHex();                   // "%*x"
    NmeaScanner& Blanks();                    // a white-space directive

    // Refuses the last `count` values when `absurd` holds: the scan ends as
    // if it had stopped at the first of them. For fields that read as numbers
    // but mean nothing together (a latitude beyond the pole).
    NmeaScanner& Refuse(bool absurd, int count);

    int Count() const { return count_; }

  private:
    // What a plain number gave: read, not a number, or not plain.
    enum class Plain { kRead, kNone, kOther };

    std::string_view Rest() const { return text_.substr(pos_); }
    // Moves on by `length` characters and counts a stored value; or fails.
    template <typename Scanned>
    bool Take(const Scanned& scanned, bool store);
    Plain PlainReal(double& value, std::size_t width);
    Plain PlainInt(std::int32_t& value, std::size_t width);
    bool Real(double& value, std::size_t width);

    std::string_view text_;
    std::size_t pos_ = 0;
    int count_ = 0;
    bool failed_ = false;
};

template <typename Scanned>
bool NmeaScanner::Take(const Scanned& scanned, bool store) {
    if (failed_ || !scanned) {
        failed_ = true;
        return false;
    }
    pos_ += scanned->length;
    if (store) ++count_;
    return true;
}

// The digits from p on (at most up to end) built into `mantissa`.
inline const char* TakePlainDigits(const char* p, const char* end, std::uint64_t& mantissa) {
    for (; p < end; ++p) {
        const auto digit = static_cast<unsigned>(*p) - unsigned{'0'};
        if (digit > 9) break;
        mantissa = mantissa * 10 + digit;
    }
    return p;
}

// Whether a field that gave no plain number may still be one to the general
// reader: one with blanks or a '+' before it. Any other (an empty field's
// ',') is none.
inline bool GeneralReaderMayRead(const char* start, const char* end) {
    if (start == end) return false;
    const char c = *start;
    return c == '+' || c == ' ' || (c >= '\t' && c <= '\r');
}

// At most 15 digits make an integer below 2^53 and the power of ten is a
// double too, so the one division rounds correctly, as the general reader
// does; a number it would not read this way is left to it.
inline NmeaScanner::Plain NmeaScanner::PlainReal(double& value, std::size_t width) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr std::ptrdiff_t kMostDigits = 15;
    const char* const start = text_.data() + pos_;
    const char* const end = start + std::min(width, text_.size() - pos_);
    const char* p = start;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;
    const char* const first = p;
    p = TakePlainDigits(p, end, mantissa);
    std::ptrdiff_t digits = p - first;
    std::ptrdiff_t decimals = 0;
    if (p < end && *p == '.') {
        const char* const fraction = ++p;
        p = TakePlainDigits(p, end, mantissa);
        decimals = p - fraction;
        digits += decimals;
    }
    if (digits == 0) return GeneralReaderMayRead(start, end) ? Plain::kOther : Plain::kNone;
    if (digits > kMostDigits || (p < end && (*p == 'e' || *p == 'E'))) return Plain::kOther;
    const double magnitude = static_cast<double>(mantissa) / kPowers[decimals];
    if (!(magnitude <= kMaxWireMagnitude)) return Plain::kNone;
    value = negative ? -magnitude : magnitude;
    pos_ += static_cast<std::size_t>(p - start);
    return Plain::kRead;
}

inline NmeaScanner::Plain NmeaScanner::PlainInt(std::int32_t& value, std::size_t width) {
    constexpr std::ptrdiff_t kMostDigits = 9;  // far from the 32-bit limits
    const char* const start = text_.data() + pos_;
    const char* const end = start + std::min(width, text_.size() - pos_);
    const char* p = start;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::uint64_t magnitude = 0;
    const char* const first = p;
    p = TakePlainDigits(p, end, magnitude);
    if (p == first) return GeneralReaderMayRead(start, end) ? Plain::kOther : Plain::kNone;
    if (p - first > kMostDigits) return Plain::kOther;
    const auto signedMagnitude = static_cast<std::int32_t>(magnitude);
    value = negative ? -signedMagnitude : signedMagnitude;
    pos_ += static_cast<std::size_t>(p - start);
    return Plain::kRead;
}

inline bool NmeaScanner::Real(double& value, std::size_t width) {
    if (failed_) return false;
    switch (PlainReal(value, width)) {
        case Plain::kRead:
            return true;
        case Plain::kNone:
            failed_ = true;
            return false;
        case Plain::kOther:
            break;
    }
    const auto scanned = ScanWireNumber(Rest(), width);
    if (!Take(scanned, false)) return false;
    value = scanned->value;
    return true;
}

inline NmeaScanner& NmeaScanner::Double(double& value, std::size_t width) {
    double read = 0.0;
    if (Real(read, width)) {
        value = read;
        ++count_;
    }
    return *this;
}

inline NmeaScanner& NmeaScanner::Float(float& value) {
    double read = 0.0;
    if (Real(read, platform::kNoWidth)) {
        value = static_cast<float>(read);
        ++count_;
    }
    return *this;
}

inline NmeaScanner& NmeaScanner::Char(char& value) {
    if (failed_ || pos_ >= text_.size()) {
        failed_ = true;
        return *this;
    }
    value = text_[pos_++];
    ++count_;
    return *this;
}

inline NmeaScanner& NmeaScanner::Skip() {
    if (failed_ || pos_ >= text_.size()) {
        failed_ = true;
        return *this;
    }
    ++pos_;
    return *this;
}

}  // namespace gps
