#pragma once
// Looking up an installed font family by name.

#include <optional>
#include <string>
#include <string_view>

namespace core {

// What the font settings need to know about an installed family.
struct FontFamily {
    std::wstring faceName;    // spelt as installed
    bool fixedPitch = false;  // every character has the same advance
    bool scalable = true;     // an outline font, usable at any size
};

// The installed family named faceName (letter case does not matter), taken
// from the first font of that family; nullopt when there is none.
std::optional<FontFamily> FindFontFamily(std::wstring_view faceName);

}  // namespace core
