#pragma once
// Settings the sentence parser reads that no settings header declares yet.
// They belong with the compass and wind settings; until those are declared
// where the parser can see them, they live here with their built-in
// defaults, in this one place.

#include <atomic>

namespace gps {

// "Correction" (Settings\Compass): degrees added to every received heading.
inline std::atomic<float> g_correction{0.0F};
// "HCHDGtrue" (Settings\Compass): HDG sentences carry the true heading.
inline std::atomic<int> g_hcHdgTrue{1};
// The wind-trigger mask derived from "Method" and "ComputeOn"
// (Settings\Winds): -1 takes the wind from the instrument; otherwise the
// value-mask bits whose arrival starts a wind computation.
inline std::atomic<int> g_windTriggerMask{512};

}  // namespace gps
