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

// printf / swprintf in the C locale.
std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::wstring FormatC(const wchar_t* format, ...);

// A scanned value and the number of characters it took, counting the blanks
// skipped before it.
template <typename T>
struct Scanned {
    T value;
    std::size_t length;
};

// "%lf" / "%f" (a float field is read as a double, then narrowed).
std::optional<Scanned<double>> ScanDouble(std::string_view text);
std::optional<Scanned<double>> ScanDouble(std::wstring_view text);
std::optional<Scanned<float>> ScanFloat(std::string_view text);
std::optional<Scanned<float>> ScanFloat(std::wstring_view text);

// "%d" / "%ld": optional sign and decimal digits; out-of-range values
// saturate at the 32-bit limits.
std::optional<Scanned<std::int32_t>> ScanInt(std::string_view text);
std::optional<Scanned<std::int32_t>> ScanInt(std::wstring_view text);

// "%u" / "%lu": as "%d", and a leading minus negates modulo 2^32.
std::optional<Scanned<std::uint32_t>> ScanUnsigned(std::string_view text);
std::optional<Scanned<std::uint32_t>> ScanUnsigned(std::wstring_view text);

// "%x" / "%hx": hexadecimal digits, optional "0x" prefix; "%hx" callers
// truncate to 16 bits themselves.
std::optional<Scanned<std::uint32_t>> ScanHex(std::string_view text);
std::optional<Scanned<std::uint32_t>> ScanHex(std::wstring_view text);

}  // namespace platform
