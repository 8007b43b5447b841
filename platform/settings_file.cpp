#include "platform/settings_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kHeader = "kv-settings 1";
constexpr std::string_view kNameSpecials = "%=[]#;";
constexpr std::string_view kTextSpecials = "%";
constexpr char kHexDigits[] = "0123456789ABCDEF";

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char folded = FoldAscii(c);
    if (folded >= 'a' && folded <= 'f') return folded - 'a' + 10;
    return -1;
}

void AppendHexByte(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
}

std::string Escape(std::string_view text, std::string_view specials) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || specials.find(c) != std::string_view::npos) {
            out += '%';
            AppendHexByte(out, byte);
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::optional<std::uint32_t> ParseUnsignedDecimal(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Each value is built in place: moving a finished variant into the optional
// trips a false maybe-uninitialized warning of GCC 12.
template <typename T>
std::optional<SettingValue> InPlace(std::optional<T> value) {
    if (!value) return std::nullopt;
    return std::optional<SettingValue>(std::in_place, std::in_place_type<T>, std::move(*value));
}

std::optional<SettingValue> ParseValue(std::string_view type, std::string_view text) {
    if (type == "int") return InPlace(ParseUnsignedDecimal(text));
    if (type == "text") return InPlace(Unescape(text));
    if (type == "binary") return InPlace(ParseHex(text));
    return std::nullopt;
}

// One value line: name=type:value.
bool ParseValueLine(std::string_view line, SettingsSection& section) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view rest = line.substr(equals + 1);
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) return false;
    auto name = Unescape(line.substr(0, equals));
    auto value = ParseValue(rest.substr(0, colon), rest.substr(colon + 1));
    if (!name || !value) return false;
    // The key keeps its first spelling; the value is the last one read.
    section.insert_or_assign(std::move(*name), std::move(*value));
    return true;
}

std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string FormatValue(const SettingValue& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::uint32_t>) {
                return "int:" + std::to_string(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return "text:" + Escape(v, kTextSpecials);
            } else {
                std::string out = "binary:";
                for (const std::uint8_t byte : v)
                    AppendHexByte(out, byte);
                return out;
            }
        },
        value);
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(FoldAscii(x)) < static_cast<unsigned char>(FoldAscii(y));
    });
}

SettingsParseResult ParseSettingsFile(std::string_view text) {
    SettingsParseResult result;
    std::size_t lineNumber = 1;
    if (NextLine(text) != kHeader) {
        result.errorLine = lineNumber;
        return result;
    }
    SettingsSections sections;
    SettingsSection* current = nullptr;
    while (!text.empty()) {
        ++lineNumber;
        const std::string_view line = NextLine(text);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        bool good = false;
        if (line.front() == '[') {
            auto name = line.back() == ']' && line.size() >= 2
                            ? Unescape(line.substr(1, line.size() - 2))
                            : std::nullopt;
            if (name) current = &sections[std::move(*name)];
            good = name.has_value();
        } else {
            good = current != nullptr && ParseValueLine(line, *current);
        }
        if (!good) {
            result.errorLine = lineNumber;
            return result;
        }
    }
    result.sections = std::move(sections);
    return result;
}

std::string FormatSettingsFile(const SettingsSections& sections) {
    std::string out(kHeader);
    out += '\n';
    for (const auto& [sectionName, values] : sections) {
        if (values.empty()) continue;
        out += '\n';
        out += '[' + Escape(sectionName, kNameSpecials) + "]\n";
        for (const auto& [name, value] : values) {
            out += Escape(name, kNameSpecials) + '=' + FormatValue(value) + '\n';
        }
    }
    return out;
}

}  // namespace platform
