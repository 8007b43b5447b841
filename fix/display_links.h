#pragma once
// What the per-fix pass asks of the map window and the position page, and
// how it plays the destination sounds. Those windows install their link at
// start-up (from the UI thread); the pass calls it on the fix-processing
// thread, so every member must be safe there: answer from atomics, post to
// the UI thread, never touch a window. Without an installed link the pass
// plays its sounds through the sound queue and the rest does nothing.

#include <cstdint>
#include <memory>
#include <string_view>

#include "core/waypoint_record.h"

namespace gps {

class DisplayLinks {
  public:
    virtual ~DisplayLinks() = default;

    // --- Map window.
    // The map's zoom mode that leaves the zoom to the pilot (mode 3).
    virtual bool MapZoomFixed() const { return false; }
    // mode 2: zoom onto the target with radiusKm; mode 0: zoom back.
    virtual void ZoomMap(const nav::WaypointRecord& /*target*/, float /*radiusKm*/, int /*mode*/) {}
    // The course-up display holds the track text for itself.
    virtual bool CourseUpHoldsTrackText() const { return false; }

    // --- Position page.
    // The page shows the terrain profile ahead.
    virtual bool ProfileModeOn() const { return false; }
    // Whether a change of these result bits calls for a redraw.
    virtual bool RedrawWanted(std::uint32_t /*resultMask*/) const { return true; }
    virtual void InvalidatePositionPage() {}

    // --- Sounds: the arrival and leaving sounds (asynchronous).
    virtual void PlaySound(std::wstring_view file);
};

// Installs link (null: the built-in one); returns the previous one.
std::shared_ptr<DisplayLinks> SetDisplayLinks(std::shared_ptr<DisplayLinks> links);
std::shared_ptr<DisplayLinks> CurrentDisplayLinks();

}  // namespace gps
