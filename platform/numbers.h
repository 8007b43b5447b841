#pragma once
// Numbers in files, settings and sentences are always in the C form ("1.5",
// never "1,5"), whatever locale the user's desktop sets.
//
// Formatting: printf formats evaluated in the C locale.
// Scanning: one field the way the C runtime's scanf conversions read it:
// leading blanks skipped, the longest valid prefix taken, the rest left.
// Infinity, NaN and hexadecimal floats are refused (the old runtime read
// none of them); an empty or signless, digitless field is no number.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// printf / swprintf in the C locale, safe from any thread. Text arguments
// convert between UTF-8 and wide text ("%ls" in a narrow format gives
// UTF-8). An invalid format or text that does not convert gives "".
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::wstring FormatC(const wchar_t* format, ...);

// A scanned value and the number of characters it took, counting the blanks
// skipped before it.
template <typename T>
struct Scanned {
    T value;
    std::size_t length;
};

// Every scanner skips the blanks " \t\n\v\f\r" first. A field width (the 5
// of "%5lf") limits the characters read after the blanks; kNoWidth reads
// as far as the number goes. Wide text is read the same way: characters
// outside ASCII are neither blanks nor digits.
inline constexpr std::size_t kNoWidth = static_cast<std::size_t>(-1);

// "%lf" / "%f": optional sign, decimal digits with an optional '.' and
// fraction (at least one digit in all), then an exponent when 'e' or 'E' and
// at least one digit follow (with an optional sign between). "0x1p3" reads
// as 0, taking only the "0". A value beyond the range of the type (1e400 as
// a double, 1e39 as a float) is refused rather than read as infinity; one
// too small for it reads as the nearest tiny value or zero. A float field is
// read as a double, then narrowed.
std::optional<Scanned<double>> ScanDouble(std::string_view text, std::size_t width = kNoWidth);
std::optional<Scanned<double>> ScanDouble(std::wstring_view text, std::size_t width = kNoWidth);
std::optional<Scanned<float>> ScanFloat(std::string_view text, std::size_t width = kNoWidth);
std::optional<Scanned<float>> ScanFloat(std::wstring_view text, std::size_t width = kNoWidth);

// "%d" / "%ld": optional sign and decimal digits; out-of-range values
// saturate at the 32-bit limits.
std::optional<Scanned<std::int32_t>> ScanInt(std::string_view text, std::size_t width = kNoWidth);
std::optional<Scanned<std::int32_t>> ScanInt(std::wstring_view text, std::size_t width = kNoWidth);

// "%u" / "%lu": as "%d", and a leading minus negates modulo 2^32. A
// magnitude above 4294967295 saturates there, whatever the sign.
std::optional<Scanned<std::uint32_t>> ScanUnsigned(std::string_view text,
                                                   std::size_t width = kNoWidth);
std::optional<Scanned<std::uint32_t>> ScanUnsigned(std::wstring_view text,
                                                   std::size_t width = kNoWidth);

// "%x" / "%hx": optional sign, optional "0x" or "0X" prefix, hexadecimal
// digits; sign and saturation as "%u". A prefix without a hex digit after it
// is not taken ("0xg" reads as 0, taking the "0"). "%hx" callers truncate to
// 16 bits themselves.
std::optional<Scanned<std::uint32_t>> ScanHex(std::string_view text, std::size_t width = kNoWidth);
std::optional<Scanned<std::uint32_t>> ScanHex(std::wstring_view text, std::size_t width = kNoWidth);

}  // namespace platform
