#pragma once
// The entry points of the resource bundle "KOR_VANresDLL.dll", an ELF shared
// object that the flight computer loads at start-up. The bundle defines
// them; the loader (resource_bundle.h) looks them up by name. No wx here:
// the bundle itself links nothing but the C++ runtime.
//
// Every pointer handed out stays valid while the bundle is loaded.

#include <cstddef>

extern "C" {
// Major, minor, build and revision (platform/dynamic_library.h).
void ResourceVersion(unsigned version[4]);
// The XRC document with every dialog, menu bar, toolbar and icon, in UTF-8;
// object names are their numeric ids ("128"). *length gets its size.
const char* ResourceXrc(std::size_t* length);
// String-table entry id; null when there is none.
const wchar_t* ResourceString(unsigned id);
// The PNG bytes of image id; null (and *length 0) when there is none.
const unsigned char* ResourceImage(unsigned id, std::size_t* length);
}

namespace platform::gui {

using ResourceXrcFunction = const char* (*)(std::size_t* length);
using ResourceStringFunction = const wchar_t* (*)(unsigned id);
using ResourceImageFunction = const unsigned char* (*)(unsigned id, std::size_t* length);

inline constexpr char kResourceXrcSymbol[] = "ResourceXrc";
inline constexpr char kResourceStringSymbol[] = "ResourceString";
inline constexpr char kResourceImageSymbol[] = "ResourceImage";

// XRC names an image of the bundle as a bitmap with this stock id prefix
// followed by the image id: <bitmap stock_id="kv-image-128"/>.
inline constexpr char kImageStockPrefix[] = "kv-image-";

}  // namespace platform::gui
