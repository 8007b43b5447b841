#pragma once
// The glide settings dialog's values without its window: the auto-detect
// prompts and radius, the altitude compensation, the goto altitude
// difference, auto-zoom and the glide switches, as the dialog shows them
// (the radius in the distance unit) and as OK stores them ("Settings").

#include <atomic>
#include <string>

namespace platform {
class SettingsStore;
}

namespace frame {

// "Autodetect": turnpoint auto-detection is on. The glide settings store it
// as it is; they do not change it.
inline std::atomic<int> g_autodetect{0};

// The radius shown for a stored radius (km): in km with distance unit 2,
// else in statute miles (km / 1.609); rounded to hundredths.
float RadiusForDisplay(float km, int distanceUnit);
// The radius stored for a shown one, in hundredths of a km.
int RadiusHundredthsForStore(float shown, int distanceUnit);
// Whether a shown radius passes: 0 always, else 0.05..10 km or 0.03..6.1 mi.
bool RadiusAcceptable(float shown, int distanceUnit);

struct GlideSettingsValues {
    int numberedPrompt = 0;
    int showAltDifference = 0;
    int prevPrompt = 0;
    int nextPrompt = 0;
    float detectRadius = 0.0F;  // display unit
    float altCompFactor = 0.0F;
    int autoZoom = 0;
    int useMcrForAlt = 0;
    int constantGlideSpeed = 0;
    int useDemInfo = 0;

    // The values in force. Without task navigation both prompts read off;
    // the next-point prompt also without a detected next point.
    static GlideSettingsValues InForce(bool navigating, bool nextPointDetected);
    // OK: the values become the ones in force and are stored; false (with
    // nothing changed) when a value is out of range. Turning the elevation
    // model off asks for a new reachable outline (outlineRecompute set).
    bool Apply(platform::SettingsStore& store, bool* outlineRecompute = nullptr) const;
};

}  // namespace frame
