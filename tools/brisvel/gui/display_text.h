#pragma once
// Attribute texts on screen: well-formed UTF-8 as UTF-8, anything else as
// Windows-1252, the rule the flight computer's map reader follows; and
// back, so an edited text is stored in the form it was shown in.

#include <wx/string.h>

#include <string>
#include <string_view>

namespace brisvel {

wxString DisplayText(std::string_view bytes);
// The bytes of an edited text: UTF-8, or Windows-1252 when `like` (the
// bytes it replaces) was not UTF-8 and every character fits the code page.
std::string StoredText(const wxString& text, std::string_view like);

}  // namespace brisvel
