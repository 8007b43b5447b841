#include "frame/options/compass_page.h"

#include "platform/settings_store.h"
#include "resources/ids/options_general.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_general::compass_page::kCompassPage;
using xrc::options_general::compass_page::kCompassSpeedUnit;
using xrc::options_general::compass_page::kCorrection;
using xrc::options_general::compass_page::kHeadingsTrue;
using xrc::options_general::compass_page::kSpeedMaximum;
using xrc::options_general::compass_page::kSpeedMinimum;
using xrc::options_general::compass_page::kSpeedTolerance;
using xrc::options_general::compass_page::kTurnTolerance;
using ids::kIdsFirstCompassSpeedUnit;

}  // namespace

COptionsCompass::COptionsCompass()
    : COptionsPage(kCompassPage, "Compass"), values_(glide::CompassOptions::FromRunning()) {}

void COptionsCompass::OnInitDialog() {
    SetLabel(kCompassSpeedUnit, core::LoadResourceString(kIdsFirstCompassSpeedUnit +
                                                         static_cast<unsigned>(values_.speedUnit)));
}

void COptionsCompass::DoDataExchange(gui::CDataExchange* pDX) {
    const auto maximum = values_.SpeedMaximumRange();
    const auto minimum = values_.SpeedMinimumRange();
    const auto tolerance = values_.SpeedToleranceRange();
    gui::DDX_TextFloat(pDX, kSpeedMaximum, values_.speedMaximum);
    gui::DDV_MinMaxFloat(pDX, values_.speedMaximum, maximum.minimum, maximum.maximum);
    gui::DDX_TextFloat(pDX, kSpeedMinimum, values_.speedMinimum);
    gui::DDV_MinMaxFloat(pDX, values_.speedMinimum, minimum.minimum, minimum.maximum);
    gui::DDX_TextFloat(pDX, kSpeedTolerance, values_.speedTolerance);
    gui::DDV_MinMaxFloat(pDX, values_.speedTolerance, tolerance.minimum, tolerance.maximum);
    gui::DDX_TextFloat(pDX, kTurnTolerance, values_.turnTolerance);
    gui::DDV_MinMaxFloat(pDX, values_.turnTolerance, 0.1F, 5.0F);
    gui::DDX_TextFloat(pDX, kCorrection, values_.correction);
    gui::DDV_MinMaxFloat(pDX, values_.correction, -180.0F, 180.0F);
    gui::DDX_Check(pDX, kHeadingsTrue, values_.hcHdgTrue);
}

void COptionsCompass::OnApply() {
    values_.Apply(platform::AppSettings());
}

}  // namespace frame
