// The entry points of the resource bundle KOR_VANresDLL.dll.
#include <algorithm>

#include "bundle_data.h"
#include "platform/gui/bundle_entry_points.h"

namespace {

// Version numbers: KV_RESOURCE_VERSION is "major,minor,build,revision".
constexpr unsigned kVersion[4] = {KV_RESOURCE_VERSION};

template <typename Entry>
const Entry* Find(const Entry* table, std::size_t count, unsigned id) {
    const Entry* end = table + count;
    const Entry* found =
        std::lower_bound(table, end, id, [](const Entry& e, unsigned key) { return e.id < key; });
    return found != end && found->id == id ? found : nullptr;
}

}  // namespace

// The library is built with hidden visibility: only these are exported.
extern "C" {

[[gnu::visibility("default")]] void ResourceVersion(unsigned version[4]) {
    std::copy_n(kVersion, 4, version);
}

[[gnu::visibility("default")]] const char* ResourceXrc(std::size_t* length) {
    if (length != nullptr) *length = kv_bundle::kXrcLength;
    return kv_bundle::kXrc;
}

[[gnu::visibility("default")]] const wchar_t* ResourceString(unsigned id) {
    const auto* entry = Find(kv_bundle::kStrings, kv_bundle::kStringCount, id);
    return entry != nullptr ? entry->text : nullptr;
}

[[gnu::visibility("default")]] const unsigned char* ResourceImage(unsigned id,
                                                                  std::size_t* length) {
    const auto* entry = Find(kv_bundle::kImages, kv_bundle::kImageCount, id);
    if (length != nullptr) *length = entry != nullptr ? entry->length : 0;
    return entry != nullptr ? entry->png : nullptr;
}

}  // extern "C"
