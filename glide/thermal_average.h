#pragma once
// The climb of the thermals flown, averaged with exponentially falling
// weights; the average becomes the automatic MacCready value.

#include <atomic>

namespace glide {

// Guarded by DisplayTextLock where they change together.
inline std::atomic<float> ThermalAverage{0.0F};  // knots
inline std::atomic<float> ThermalWeight{0.0F};
// The climb of the thermal just flown (set by the fix processing), knots.
inline std::atomic<float> LastThermalClimb{0.0F};
// The average, not below 0: the automatic MacCready value, knots.
inline std::atomic<float> AutoMacCready{0.0F};

// End of a thermal: folds LastThermalClimb into the average (the earlier
// thermals keep "ThermalAverageDecay" of their weight), sets AutoMacCready
// and, with "autoSetMacCready", the MacCready value in use with its text and
// the speed to fly. ThermalClimbText shows the average. Returns the average.
float CommitThermalClimb();

// The decay from "averageNthermals": 0 for 1 thermal, else
// exp(-1 / (N - 1)).
void InitThermalAverageDecay();

}  // namespace glide
