#pragma once
// The glide information panel's rules without a window: which of the five
// glide values is selected (0 MacCready, 1 wind, 2 weight factor, 3 bugs,
// 4 glide ratio), how one step changes it, what a tap on the panel does and
// the line it shows.
//
// The model works on a copy of the values (GlideValues) that its window
// loads when the panel opens and writes back after each change it reports.
// A step never moves a value against its direction: a value that the
// options sheet set beyond the panel's range stays where it is until a step
// brings it back. UI thread only.

#include <optional>
#include <string>

namespace frame {

// Bugs are shown as the per cent of lost performance and set through
// glide::BugsFactorFromPercent / glide::BugsPercent.

struct GlideValues {
    float manualMacCready = 1.0F;  // knots
    // Present while automatic MacCready may be chosen (Settings\Vario
    // "autoMacCready"): whether it is on ("autoSetMacCready").
    std::optional<bool> autoMacCready{};
    float windSpeed = 0.0F;      // knots
    float windDirection = 0.0F;  // degrees, where the wind comes from, [0, 360)
    float weightFactor = 1.0F;   // W
    float bugsFactor = 1.0F;     // B
    float glideRatio = 20.0F;
};

struct GlideUnits {
    int unitVario = 0;          // 1: m/s
    float varioFactor = 1.0F;   // knots to the vario unit
    float speedFactor = 1.0F;   // knots to the speed unit
};

// What changed, for the window to write back and recompute.
enum GlideChange : unsigned {
    kGlideNoChange = 0,
    kGlideMacCready = 1,      // the manual MacCready (and the value in use when not automatic)
    kGlideAutoMacCready = 2,  // the automatic flag (saved as "autoSetMacCready")
    kGlideWind = 4,           // the current wind
    kGlidePolar = 8,          // W or B: the polar is rescaled
    kGlideRatio = 16,
    kGlideNextMode = 32,      // the owner opens the mode after the current one
    kGlideFormatWind = 64,    // the changed wind's texts are due (FormatWindText)
};

class GlideInfoModel {
  public:
    static constexpr int kModes = 5;

    // The mode after `mode` (WM_APP+2's wParam), wrapping above 4.
    static int ModeAfter(int mode);

    // Selects mode (any value outside 0-4 selects 0) over the values.
    void Open(int mode, const GlideValues& values, const GlideUnits& units);

    int Mode() const { return mode_; }
    float Shown() const { return shown_; }
    float Step() const { return step_; }
    const GlideValues& Values() const { return values_; }
    bool WindChanged() const { return windChanged_; }

    // The spin control's delta and the main window's keys.
    unsigned StepSelectedValue(int delta);
    // x, y in the panel's own coordinates.
    unsigned HandleTap(int x, int y);
    // The close button: the wind's texts are due when it was changed.
    unsigned Close();

    // The line the panel shows.
    std::wstring Line() const;

  private:
    void Reshow();
    void TurnWind(float degrees);

    GlideValues values_;
    GlideUnits units_;
    int mode_ = 0;
    float shown_ = 0.0F;
    float step_ = 0.05F;
    bool windChanged_ = false;
};

}  // namespace frame
