#pragma once
// The overlay file command: the pilot chooses the map drawn over the main
// one, or removes it.
//
// The map goes to its normal display mode first; the open dialog starts in
// the current overlay's folder with the filter index of "ovlExtIndex"
// ("Options\Maps", 1-based). OK takes the chosen path (changed unless it is
// the current one, compared exactly) and stores the filter index. Cancel
// with an overlay set asks (ids::kIdsRemoveOverlay) whether to remove it; Yes clears
// it. "OverlayFile" ("Settings") is written in every case; the overlay is
// read again only when its path changed. UI thread only.

#include <functional>
#include <string>
#include <string_view>

#include "map/map_command_dialogs.h"
#include "platform/settings_store.h"

namespace map {

inline constexpr std::wstring_view kOverlayFilter =
    L"Maps  (*.map, *.mep)|*.map;*.mep|Binary Maps (*.gpm)|*.gpm|Maps  (*.map)|*.map|"
    L"Maps  (*.mep)|*.mep|All Files (*.*)|*.*||";

struct OverlaySite {
    platform::SettingsStore& settings;
    std::wstring currentPath;  // empty: no overlay
    std::function<int()> displayMode;
    std::function<void(int)> setDisplayMode;
    // Deletes the overlay's elements and reads the file at path (none when
    // it is empty).
    std::function<void(const std::wstring&)> reloadOverlay;
    // Stores the path where the map window keeps it.
    std::function<void(const std::wstring&)> storePath;
    // Clears the window's re-layout flag and redraws the whole map.
    std::function<void()> finish;
};

struct OverlayOutcome {
    std::wstring path;
    bool changed = false;
    friend bool operator==(const OverlayOutcome&, const OverlayOutcome&) = default;
};

OverlayOutcome RunOverlayFileCommand(OverlaySite& site, MapCommandDialogs& dialogs);

}  // namespace map
