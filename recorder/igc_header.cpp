#include "recorder/igc_header.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/igc_text.h"
#include "platform/settings_store.h"

namespace recorder {
namespace {

constexpr std::size_t kMaxOwnerBytes = 8190;
constexpr std::size_t kPhraseLength = 25;
constexpr std::size_t kMinPhraseLength = 8;

wchar_t IdCharacter(int d) {
    return static_cast<wchar_t>(d < 10 ? L'0' + d : L'A' + d - 10);
}

// The remainder of r / 256 with the sign of r, and the character it gives.
int Reduced(int r) {
    return r % 256;
}
wchar_t PhraseCharacter(int r) {
    return static_cast<wchar_t>(L'@' + r / 10);
}

}  // namespace

std::wstring LoggerIdFromOwnerBytes(std::span<const std::uint8_t> owner) {
    std::vector<std::uint8_t> bytes;
    for (const std::uint8_t b : owner.first(std::min(owner.size(), kMaxOwnerBytes))) {
        if (b != 0) bytes.push_back(b);
    }
    const std::size_t part = bytes.size() / 3;
    if (part == 0) return L"000";
    std::wstring id;
    for (std::size_t j = 0; j < 3; ++j) {
        unsigned x = 0;
        for (std::size_t i = j * part; i < j * part + part; ++i)
            x ^= bytes[i];
        const double scaled = x / 5.7;
        int d = static_cast<int>(std::floor(scaled));
        if (d >= 36) d = static_cast<int>(std::floor((scaled - 36.0) * 4.0));
        id += IdCharacter(d);
    }
    return id;
}

std::wstring MakeLoggerIdFromOwner() {
    const std::optional<std::vector<std::uint8_t>> owner =
        platform::AppSettings().GetBinary("ControlPanel\\Owner", "Owner");
    if (!owner) return L"000";
    return LoggerIdFromOwnerBytes(*owner);
}

std::wstring KindHeaderLine(HeaderKind kind, std::wstring_view value,
                            std::optional<std::wstring_view> longName) {
    if (value.empty()) return {};
    if (kind == HeaderKind::kGps) return L"HFGPS: " + std::wstring(value) + L"\r\n";
    const std::string_view code = kHeaderKindCodes[static_cast<std::size_t>(kind)];
    std::wstring line = L"HF" + std::wstring(code.begin(), code.end());
    line += longName ? std::wstring(*longName) : std::wstring(L"UNKNOWN");
    return line + L": " + std::wstring(value) + L"\r\n";
}

PhraseCheck CheckSecurityPhrase(std::wstring_view phrase, std::wstring_view confirmation) {
    if (phrase != confirmation) return PhraseCheck::kMismatch;
    const std::size_t end = phrase.find_last_not_of(L' ');
    const std::size_t length = end == std::wstring_view::npos ? 0 : end + 1;
    if (!phrase.empty() && length < kMinPhraseLength) return PhraseCheck::kTooShort;
    return PhraseCheck::kAccepted;
}

std::wstring SecurityLine(std::wstring_view phrase, int milliseconds) {
    const int m = std::clamp(milliseconds, 0, 999);
    const int c1 = '@' + m / 40;
    const int c2 = 'A' + 2 * (m / 99);
    std::wstring p;
    for (const wchar_t c : phrase) {
        const wchar_t folded = c >= 0xFF01 && c <= 0xFF5E ? static_cast<wchar_t>(c - 0xFEE0) : c;
        p += folded == L' ' ? static_cast<wchar_t>(c2) : folded;
    }
    if (p.empty()) return {};
    const std::size_t length = p.size();
    for (std::size_t i = length; i < kPhraseLength; ++i)
        p += p[i - length];
    std::wstring line = L"HFSECOOSECURITYPHRASE: 16";
    line += static_cast<wchar_t>(c1);
    line += static_cast<wchar_t>(c2);
    const auto at = [&p](std::size_t i) { return static_cast<int>(p[i]); };
    int r = Reduced(c1 + c2 + at(0) + at(1) + at(2) - 160);
    line += PhraseCharacter(r);
    int previous = r & 0xFF;
    for (std::size_t i = 0; i < 22; ++i) {
        r = Reduced(previous + at(i) + at(i + 1) + at(i + 2) + at(i + 3) - 160);
        line += PhraseCharacter(r);
        previous = r & 0xFF;
    }
    return line + L"\r\n";
}

}  // namespace recorder
