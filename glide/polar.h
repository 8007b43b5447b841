#pragma once
// The glider polar in use: a quadratic sink(v) = a + b v + c v^2, speeds and
// sinks in knots, sink positive downwards.
//
// The fitted (unscaled) polar comes from a ".plr" file (glide/polar_file.h).
// The polar in use is the fitted one scaled for the glider's weight and its
// bugs: a glider loaded by the ratio W^2 flies the unit polar with speeds and
// sinks both multiplied by W; bugs multiply every sink by B.
//
// The values live in one process-wide record behind PolarLock: the UI
// thread refits and rescales while the fix-processing, statistics and
// outline threads compute, so readers take a consistent copy (CurrentPolar)
// rather than reading values one by one.

#include <functional>
#include <string>

#include "platform/critical_section.h"

namespace glide {

// Twice the degree of the fitted polynomial (three coefficients).
inline constexpr int kPolarOrder = 4;

// What the glide computations use of the polar.
struct GlidePolar {
    float a = 0.0F;  // coefficients in use (scaled)
    float b = 0.0F;
    float c = 0.0F;
    bool valid = false;              // a fit succeeded: the computations may use a, b, c
    float minimumSpeedFloor = 5.0F;  // lower bound of the minimum speed
    float minimumSpeed = 43.0F;      // lowest speed the speed-to-fly routines return
    float minimumSpeedSink = 1.0F;   // sink at minimumSpeed
    float bestGlideSpeed = 55.0F;    // sqrt(a / c) of the fit, scaled
    bool usePolar = false;           // use the polar rather than glideRatio
    float glideRatio = 20.0F;        // fixed glide ratio without the polar

    // Horner's rule from the highest coefficient.
    float Sink(float v) const { return (c * v + b) * v + a; }
};

// Everything the polar settings hold.
struct PolarSettings {
    GlidePolar inUse;
    // The fitted, unscaled polar.
    float a0 = 0.0F;
    float b0 = 0.0F;
    float c0 = 0.0F;
    float minimumSpeedBase = 43.0F;
    float minimumSpeedSinkBase = 1.0F;
    float bestGlideSpeedBase = 55.0F;
    float weightFactor = 1.0F;  // W: square root of the weight ratio
    float bugsFactor = 1.0F;    // B: 1 / (1 - bugs / 100)
    int useBallastSetting = 0;
    float ballastRatio = 0.2F;                 // a fraction
    std::wstring fileName;                     // "Filename"
    float varioAverageTime = 20.0F / 3600.0F;  // hours
};

// Guards the polar record.
inline platform::CriticalSection PolarLock;

// Copies taken under PolarLock.
GlidePolar CurrentPolar();
PolarSettings CurrentPolarSettings();

// Changes the record under PolarLock. The polar in use changes only through
// ScalePolar (and a fit); callers that change W, B or the fit call it.
void ChangePolarSettings(const std::function<void(PolarSettings&)>& change);
void SetWeightFactor(float weightFactor);
void SetBugsFactor(float bugsFactor);

// Bugs as the pilot types them, a per cent of lost performance (0..80), and
// as the factor B on every sink: B = 1 / (1 - per cent / 100).
float BugsFactorFromPercent(float percent);
float BugsPercent(float bugsFactor);

// The polar in use from the fitted one and the current W and B:
// a = a0 W B, b = b0 B, c = c0 / W B; minimum speed and best-glide speed
// times W, minimum sink times W B.
void ScalePolar();

// Start-up: reads "Settings\Polars" (and "Settings\Vario" "AvgTime"), fits
// the polar file and scales the polar. When the polar is to be used but the
// file does not fit, the user is told and "UsePolar" is switched off and
// stored.
void LoadPolarSettings();

}  // namespace glide
