#pragma once
// The wind settings ("Settings\Winds"): how and when the wind is estimated.

namespace gps {

// Reads them at start-up, then derives the wind-trigger mask.
void LoadWindSettings();

// The wind-trigger mask from "Method" and "ComputeOn": the instrument's own
// wind (-1) for method 5; otherwise by ComputeOn: -1 none, 0 each position
// (3), 1 each heading (512), 2 each airspeed (256). Any other ComputeOn is
// set to 0 and written back.
void ApplyWindComputeOn();

}  // namespace gps
