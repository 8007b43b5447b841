#include "tools/brisvel/gui/display_text.h"

#include "core/text_codec.h"

namespace brisvel {
namespace {

bool IsUtf8(std::string_view bytes) {
    const auto check = core::CheckUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return check.valid && check.complete == bytes.size();
}

}  // namespace

wxString DisplayText(std::string_view bytes) {
    if (IsUtf8(bytes)) return wxString::FromUTF8(bytes.data(), bytes.size());
    wxString text;
    for (const char c : bytes) text += wxUniChar(static_cast<wxUint32>(core::DecodeCp1252(static_cast<unsigned char>(c))));
    return text;
}

std::string StoredText(const wxString& text, std::string_view like) {
    if (IsUtf8(like)) return std::string(text.utf8_str());
    std::string bytes;
    for (const wxUniChar c : text) {
        const auto value = static_cast<wchar_t>(c.GetValue());
        const unsigned char byte = core::EncodeCp1252(value);
        if (byte == '?' && value != L'?') return std::string(text.utf8_str());
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

}  // namespace brisvel
