#include "nav/waypoint_entry.h"

#include <algorithm>

namespace nav {

wchar_t FoldNameCase(wchar_t c) {
    const bool asciiCapital = c >= L'A' && c <= L'Z';
    const bool latinCapital = c >= 0xC0 && c <= 0xDE && c != 0xD7;  // not the multiplication sign
    return asciiCapital || latinCapital ? static_cast<wchar_t>(c + 0x20) : c;
}

int CompareWaypointNames(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t fa = FoldNameCase(a[i]);
        const wchar_t fb = FoldNameCase(b[i]);
        if (fa != fb) return fa < fb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CWaypointEntry::CompareKey(wchar_t key) const {
    const std::wstring_view name = record.name.View();
    const wchar_t first = FoldNameCase(name.empty() ? L'\0' : name.front());
    const wchar_t folded = FoldNameCase(key);
    return first == folded ? 0 : (first < folded ? -1 : 1);
}

int CWaypointEntry::Compare(const core::CObjectWithSort& other) const {
    return CompareWaypointNames(record.name.View(),
                                static_cast<const CWaypointEntry&>(other).record.name.View());
}

}  // namespace nav
