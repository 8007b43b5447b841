#pragma once
// Where the glide panel's values live: loading them for the panel and
// writing back what a step or a tap changed, with the texts and the speed
// to fly that follow. UI thread (the values themselves are shared with the
// fix-processing thread through their atomics and locks).

#include <atomic>

#include "frame/glide_info_model.h"

namespace frame {

// The MacCready value the pilot set by hand (knots): the value in use while
// automatic MacCready is off.
inline std::atomic<float> g_manualMacCready{1.0F};

GlideValues LoadGlideValues();
GlideUnits CurrentGlideUnits();

// Writes back the parts of values that `change` names (GlideChange bits):
// the MacCready in use and its text, the automatic flag (saved as
// "autoSetMacCready"), the current wind (and, with kGlideFormatWind, its
// texts), W and B with the polar rescaled, the glide ratio.
void ApplyGlideValues(unsigned change, const GlideValues& values);

// The MacCready in use from the manual value or the automatic one (never
// below 0), its text " %0.1f" in the vario unit, and the speed to fly.
void UseMacCready(bool automatic);

}  // namespace frame
