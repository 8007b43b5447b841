#pragma once
// The wind from the glider's own measurements: the estimator that fits
// pairs of true airspeed and ground velocity, the heading method, and the
// wind text. The fix commit feeds them (port reader's thread); the fix
// processing shows the result.
//
// Wind vectors point to where the wind comes from: x = north =
// speed * cos(direction), y = east = speed * sin(direction).

#include "gps/gps_fix_record.h"

namespace glide {

// One pair of true airspeed and ground velocity.
struct WindSample {
    float x = 0.0F;  // ground speed * cos(track)
    float y = 0.0F;  // ground speed * sin(track)
    float tasSquared = 0.0F;
    float tas = 0.0F;          // knots
    float groundSpeed = 0.0F;  // knots
    float track = 0.0F;        // degrees true
    float altitude = 0.0F;     // feet
    float time = 0.0F;         // published fix time, hours
};

class CWindEstimator {
  public:
    // Takes a sample whose airspeed, speed, track, altitude and time are
    // filled (x, y and the square are computed unless precomputed); returns
    // the number of samples kept, 0 when the sample is refused.
    int AddWindSample(const WindSample& sample, bool precomputed = false);

    // A fit needs this many kept samples, and this many new ones since the
    // last fit started.
    int MinPointsInFit() const { return minPointsInFit_; }
    int MinPointsToChange() const { return minPointsToChange_; }
    int NewSamples() const { return newSamples_; }

    // Starts a fit of the kept samples from the initial wind (x, y); with
    // reset the samples are dropped afterwards.
    void StartFit(float x, float y, int reset);

  private:
    int minPointsInFit_ = 5;
    int minPointsToChange_ = 3;
    int newSamples_ = 0;
};

extern CWindEstimator g_windEstimator;

// The heading method: the wind from the true heading and the ground
// velocity at two moments whose tracks differ enough. Writes the wind into
// `wind` and returns 0 when it is good; 1 after the first line only, 2 for
// nearly parallel headings, 3 for parallel lines.
int ComputeHeadingWind(gps::WindRecord& wind);

// Forgets the heading method's lines.
void ResetHeadingWind();

// After a change of the current wind: WindText " Wnd:  %03.1f%s   %01.0ft"
// (speed in the speed unit, direction), and the wind history.
void FormatWindText();

}  // namespace glide
