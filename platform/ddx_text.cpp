#include "platform/ddx_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/numbers.h"

namespace platform {
namespace {

bool IsBlankOrTab(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::size_t SkipBlanksAndTabs(std::wstring_view text, std::size_t pos) {
    while (pos < text.size() && IsBlankOrTab(text[pos]))
        ++pos;
    return pos;
}

// The field as the exchange reads it: cut and folded.
std::wstring FieldText(std::wstring_view text) {
    std::wstring field(text.substr(0, kNumberFieldLength));
    FoldFullWidth(field);
    return field;
}

// A decimal integer with optional sign, as the C runtime's long conversion
// reads it, but with its magnitude kept exactly up to a cap far beyond 32
// bits. Nothing when the text breaks the exchange's rules (see the header).
std::optional<std::int64_t> ParseDecimal(std::wstring_view raw, bool allowMinus) {
    const std::wstring text = FieldText(raw);
    std::size_t pos = SkipBlanksAndTabs(text, 0);
    const wchar_t first = pos < text.size() ? text[pos] : L'\0';
    if (!allowMinus && first == L'-') return std::nullopt;

    bool negative = false;
    if (first == L'+' || first == L'-') {
        negative = first == L'-';
        ++pos;
    }
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    std::int64_t magnitude = 0;
    const std::size_t digitsStart = pos;
    for (; pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9'; ++pos) {
        magnitude = std::min(magnitude * 10 + (text[pos] - L'0'), kCap);
    }
    if (pos == digitsStart) return std::nullopt;
    if (magnitude == 0 && first != L'0') return std::nullopt;
    if (SkipBlanksAndTabs(text, pos) != text.size()) return std::nullopt;
    return negative ? -magnitude : magnitude;
}

template <typename T>
std::optional<T> InRange(std::optional<std::int64_t> value) {
    if (!value || *value < std::numeric_limits<T>::min() || *value > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(*value);
}

}  // namespace

std::wstring DefaultPromptText(unsigned id) {
    switch (id) {
        case AFX_IDP_PARSE_INT:
            return L"Please enter an integer.";
        case AFX_IDP_PARSE_REAL:
            return L"Please enter a number.";
        case AFX_IDP_PARSE_INT_RANGE:
            return L"Please enter an integer between %1 and %2.";
        case AFX_IDP_PARSE_REAL_RANGE:
            return L"Please enter a number between %1 and %2.";
        case AFX_IDP_PARSE_STRING_SIZE:
            return L"Please enter no more than %1 characters.";
        case AFX_IDP_PARSE_BYTE:
            return L"Please enter an integer between 0 and 255.";
        case AFX_IDP_PARSE_UINT:
            return L"Please enter a positive integer.";
        default:
            return {};
    }
}

std::wstring FormatPrompt(std::wstring_view prompt, std::wstring_view first,
                          std::wstring_view second) {
    std::wstring out;
    for (std::size_t i = 0; i < prompt.size(); ++i) {
        if (prompt[i] == L'%' && i + 1 < prompt.size() &&
            (prompt[i + 1] == L'1' || prompt[i + 1] == L'2')) {
            out += prompt[i + 1] == L'1' ? first : second;
            ++i;
        } else {
            out += prompt[i];
        }
    }
    return out;
}

void FoldFullWidth(std::wstring& text) {
    for (wchar_t& c : text) {
        if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<wchar_t>(c - 0xFEE0);
    }
}

std::optional<std::int32_t> ParseFieldInt(std::wstring_view text) {
    return InRange<std::int32_t>(ParseDecimal(text, true));
}

std::optional<std::int16_t> ParseFieldShort(std::wstring_view text) {
    return InRange<std::int16_t>(ParseDecimal(text, true));
}

std::optional<std::uint32_t> ParseFieldUInt(std::wstring_view text) {
    return InRange<std::uint32_t>(ParseDecimal(text, false));
}

std::optional<std::uint8_t> ParseFieldByte(std::wstring_view text) {
    return InRange<std::uint8_t>(ParseDecimal(text, false));
}

std::optional<double> ParseFieldDouble(std::wstring_view raw) {
    const std::wstring text = FieldText(raw);
    const std::size_t start = SkipBlanksAndTabs(text, 0);
    const wchar_t first = start < text.size() ? text[start] : L'\0';
    const auto scanned = ScanDouble(std::wstring_view(text).substr(start));
    if (!scanned || !std::isfinite(scanned->value)) return std::nullopt;
    if (scanned->value == 0.0 && first != L'0') return std::nullopt;
    if (SkipBlanksAndTabs(text, start + scanned->length) != text.size()) return std::nullopt;
    return scanned->value;
}

std::optional<float> ParseFieldFloat(std::wstring_view text) {
    const auto value = ParseFieldDouble(text);
    if (!value) return std::nullopt;
    const auto narrowed = static_cast<float>(*value);
    if (!std::isfinite(narrowed)) return std::nullopt;
    return narrowed;
}

std::wstring FormatFieldInt(std::int32_t value) {
    return FormatC(L"%d", value);
}

std::wstring FormatFieldShort(std::int16_t value) {
    return FormatC(L"%hd", value);
}

std::wstring FormatFieldUInt(std::uint32_t value) {
    return FormatC(L"%u", value);
}

std::wstring FormatFieldFloat(float value) {
    return FormatC(L"%.*g", std::numeric_limits<float>::digits10, static_cast<double>(value));
}

std::wstring FormatFieldDouble(double value) {
    return FormatC(L"%.*g", std::numeric_limits<double>::digits10, value);
}

}  // namespace platform
