#pragma once
// The reachable outline of the map: a worker thread recomputes the area the
// glider reaches in a straight glide every 20 s (or when asked), keeps it as
// a closed polygon and tells the map view (WM_APP_REACH_READY: lParam 1 when
// an outline is ready, 2 once when it is lost). The outline draws itself
// into its own off-screen image, which the map view blits.
//
// The worker and the user interface share the polygon, the image and the
// flags; what the worker uses lives in a block it co-owns, so the block
// outlives a worker that has to be abandoned at shut-down.

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "glide/reach_point.h"
#include "platform/image.h"
#include "platform/window_messages.h"
#include "platform/worker_thread.h"

namespace glide {

// The glider's present position as the map keeps it.
struct OutlineFix {
    double latitude = 0.0;  // radians
    double lonWest = 0.0;   // radians, positive west
    float altitude = 0.0F;  // feet (GPS)
    bool altitudeValid = false;
};
// Nothing while the program has no fix.
using OutlineFixSource = std::function<std::optional<OutlineFix>()>;

// Where a point of the outline lies on the image (pixels); nothing when it
// is not on the map.
using OutlineProjector =
    std::function<std::optional<std::pair<double, double>>(const OutlinePoint&)>;

class CReachableOutline {
  public:
    // Reads the outline options ("Options\Maps": "ShowReachableOutline",
    // "ReachableUseDefaultMC", "ReachableDefaultMC" in thousandths,
    // "numberPointsOnOutline" at least 48). The point count holds for the
    // life of the outline.
    CReachableOutline();
    // StopThread(10).
    ~CReachableOutline();
    CReachableOutline(const CReachableOutline&) = delete;
    CReachableOutline& operator=(const CReachableOutline&) = delete;

    // The off-screen image, screen-sized, black.
    void CreateBitmap(int width, int height);

    // Starts the worker, or restarts the computation when it runs.
    void StartThread();
    // Drops the outline and starts the computation again.
    void Restart();
    // Asks the worker to stop and waits for it up to timeoutSeconds; true
    // when it ended (a worker that does not is left to end on its own).
    bool StopThread(int timeoutSeconds);

    // Under the outline lock: fills the image black and, unless suppress,
    // while the outline is shown and "useDEMinfo" is on, draws the outline.
    void Draw(bool suppress);

    void SetNotifyWindow(platform::WindowId window);
    void SetFixSource(OutlineFixSource source);
    void SetProjector(OutlineProjector projector);
    void SetShown(bool shown);
    bool Shown() const;
    // Feet taken off the altitude before the reach is computed.
    void SetBaseOffset(float feet);

    int PointCount() const;
    // The closed polygon (the first point repeated at the end), or nothing.
    std::vector<OutlinePoint> Polygon() const;
    // Reads the image under the outline lock.
    void ReadBitmap(const std::function<void(const platform::Image&)>& reader) const;

    struct Shared;

  private:
    std::shared_ptr<Shared> shared_;
    platform::WorkerThread thread_;
};

}  // namespace glide
