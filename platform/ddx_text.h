#pragma once
// The text side of dialog data exchange: how numbers typed into dialog
// fields are read and how members are written back into them.
//
// Before anything typed is parsed or stored, full-width characters
// (U+FF01..U+FF5E, which East Asian input methods produce) are folded to
// their ASCII forms. A number field is read as at most 31 characters,
// folded, and then parsed by the class library's rules: blanks and tabs
// around the number are allowed, anything else left over is an error, and a
// value of 0 counts only when the text begins with '0' (so "-0", "+0" and
// ".0" are refused). Numbers are read and written in the C form whatever the
// user's locale; infinity, NaN and hexadecimal are refused, and values
// outside the member's range fail rather than being cut.
//
// The window side (controls, prompts, focus) is platform/gui/ddx.h.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// String-table ids of the exchange's prompts.
inline constexpr unsigned AFX_IDP_PARSE_INT = 0xF110;
inline constexpr unsigned AFX_IDP_PARSE_REAL = 0xF111;
inline constexpr unsigned AFX_IDP_PARSE_INT_RANGE = 0xF112;    // %1, %2: the limits
inline constexpr unsigned AFX_IDP_PARSE_REAL_RANGE = 0xF113;   // %1, %2: the limits
inline constexpr unsigned AFX_IDP_PARSE_STRING_SIZE = 0xF114;  // %1: the most characters
inline constexpr unsigned AFX_IDP_PARSE_BYTE = 0xF116;
inline constexpr unsigned AFX_IDP_PARSE_UINT = 0xF117;

// The English prompt for an id above, used when the string table has none;
// empty for other ids.
std::wstring DefaultPromptText(unsigned id);

// The prompt with "%1" and "%2" replaced by the arguments.
std::wstring FormatPrompt(std::wstring_view prompt, std::wstring_view first,
                          std::wstring_view second = {});

// Folds every U+FF01..U+FF5E character to U+0021..U+007E, in place.
void FoldFullWidth(std::wstring& text);

// How much of a number field's text is read.
inline constexpr std::size_t kNumberFieldLength = 31;

// Field text to member: nothing when the text is no valid number of the
// type. Each takes the field's whole text and cuts and folds it itself.
std::optional<std::int32_t> ParseFieldInt(std::wstring_view text);    // "%d", "%ld"
std::optional<std::int16_t> ParseFieldShort(std::wstring_view text);  // "%sd"
std::optional<std::uint32_t> ParseFieldUInt(std::wstring_view text);  // "%u", "%lu"
std::optional<std::uint8_t> ParseFieldByte(std::wstring_view text);   // "%u", at most 255
std::optional<double> ParseFieldDouble(std::wstring_view text);
std::optional<float> ParseFieldFloat(std::wstring_view text);

// Member to field text.
std::wstring FormatFieldInt(std::int32_t value);    // "%d"
std::wstring FormatFieldShort(std::int16_t value);  // "%hd"
std::wstring FormatFieldUInt(std::uint32_t value);  // "%u"
std::wstring FormatFieldFloat(float value);         // "%.*g", 6 significant digits
std::wstring FormatFieldDouble(double value);       // "%.*g", 15 significant digits

}  // namespace platform
