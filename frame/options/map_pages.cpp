#include "frame/options/map_pages.h"

#include <wx/textctrl.h>

#include <algorithm>

#include "platform/message_box.h"
#include "platform/numbers.h"
#include "resources/ids/options_more.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"
#include "texts/display_units.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using ids::kIdsLinesAndMapText;
using ids::kIdsLinesAndMapCaption;
using xrc::options_more::kAutoMacCready;
using xrc::options_more::kAveragedThermals;
using xrc::options_more::kCacheLength;
using xrc::options_more::kCacheSaveInterval;
using xrc::options_more::kCacheSaveIntervalSpin;
using xrc::options_more::kClimbUnit;
using xrc::options_more::kCursorBlink;
using xrc::options_more::kCursorBlinkSpin;
using xrc::options_more::kDotSize;
using xrc::options_more::kDotSizeSpin;
using xrc::options_more::kDotSpacing;
using xrc::options_more::kDotSpacingSpin;
using xrc::options_more::kDrawLines;
using xrc::options_more::kGotoLine;
using xrc::options_more::kInitCircles;
using xrc::options_more::kInitCirclesSpin;
using xrc::options_more::kMapMargin;
using xrc::options_more::kMapMarginSpin;
using xrc::options_more::kMapPage;
using xrc::options_more::kMapRadius;
using xrc::options_more::kMapRadiusUnit;
using xrc::options_more::kMinCirclingRate;
using xrc::options_more::kMinimumRotation;
using xrc::options_more::kOutlineMacCready;
using xrc::options_more::kPointCount;
using xrc::options_more::kReachPage;
using xrc::options_more::kRotateToTrack;
using xrc::options_more::kSearchTime;
using xrc::options_more::kShowAverage;
using xrc::options_more::kShowLift;
using xrc::options_more::kShowMap;
using xrc::options_more::kShowOutline;
using xrc::options_more::kSimplifyDistance;
using xrc::options_more::kSimplifyUnit;
using xrc::options_more::kThermalPage;
using xrc::options_more::kUseMacCreadyInUse;
using xrc::options_more::kZoomFactor;
using xrc::options_more::kZoomedRadius;
using xrc::options_more::kZoomedRadiusUnit;
using xrc::options_more::kZoomedTrackLength;

}  // namespace

// --- Map.

CKOR_VANoptionsMaps::CKOR_VANoptionsMaps()
    : CScrolledPropertyPage(kMapPage, "Map"), values_(MapsOptions::FromRunning(Views())) {}

void CKOR_VANoptionsMaps::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetSpin(kDotSizeSpin, 0, 5, values_.dotSize, kDotSize);
    SetSpin(kDotSpacingSpin, 0, 12, values_.dotSpacing, kDotSpacing);
    SetSpin(kCursorBlinkSpin, 2, 20, static_cast<int>(values_.cursorBlinkTime), kCursorBlink);
    SetSpin(kCacheSaveIntervalSpin, 0, 100, values_.trackCacheSaveInterval, kCacheSaveInterval);
    SetSpin(kMapMarginSpin, 2, 48, values_.mapMargin, kMapMargin);
    if (values_.km) {
        SetLabel(kMapRadiusUnit, "[km]");
        SetLabel(kSimplifyUnit, "[km]");
    }
}

void CKOR_VANoptionsMaps::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextInt(pDX, kDotSize, values_.dotSize);
    gui::DDV_MinMaxInt(pDX, values_.dotSize, 0, 5);
    gui::DDX_TextInt(pDX, kDotSpacing, values_.dotSpacing);
    gui::DDV_MinMaxInt(pDX, values_.dotSpacing, 0, 12);
    gui::DDX_TextUInt(pDX, kCursorBlink, values_.cursorBlinkTime);
    gui::DDV_MinMaxUInt(pDX, values_.cursorBlinkTime, 2, 20);
    gui::DDX_TextFloat(pDX, kZoomFactor, values_.zoomFactor);
    gui::DDV_MinMaxFloat(pDX, values_.zoomFactor, 1.05F, 10.0F);
    gui::DDX_TextInt(pDX, kCacheSaveInterval, values_.trackCacheSaveInterval);
    gui::DDV_MinMaxInt(pDX, values_.trackCacheSaveInterval, 0, 100);
    gui::DDX_TextInt(pDX, kMapMargin, values_.mapMargin);
    gui::DDV_MinMaxInt(pDX, values_.mapMargin, 2, 48);
    gui::DDX_TextFloat(pDX, kMapRadius, values_.mapRadius);
    gui::DDV_MinMaxFloat(pDX, values_.mapRadius, 0.001F, 1000.0F);
    gui::DDX_TextUInt(pDX, kCacheLength, values_.trackCacheLength);
    gui::DDV_MinMaxUInt(pDX, values_.trackCacheLength, 1, 100000);
    gui::DDX_Check(pDX, kRotateToTrack, values_.allowRotationToTog);
    gui::DDX_TextInt(pDX, kMinimumRotation, values_.minimumMapRotationAngle);
    gui::DDV_MinMaxInt(pDX, values_.minimumMapRotationAngle, 20, 90);
    gui::DDX_TextFloat(pDX, kSimplifyDistance, values_.mapSimplifyDistance);
    gui::DDV_MinMaxFloat(pDX, values_.mapSimplifyDistance, 0.01F, 10.0F);
    gui::DDX_Check(pDX, kGotoLine, values_.showGotoLine);
}

void CKOR_VANoptionsMaps::OnApply() {
    values_.Apply(platform::AppSettings(), Views(), opened_);
}

// --- Thermal mode.

COptionsThermalMode::COptionsThermalMode()
    : CScrolledPropertyPage(kThermalPage, "Thermal"),
      values_(ThermalModeOptions::FromRunning(Views())) {}

void COptionsThermalMode::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetLabel(kZoomedRadiusUnit, values_.metres ? "[m]" : "[ft]");
    SetSpin(kInitCirclesSpin, 0, 10, values_.initCircles, kInitCircles);
}

void COptionsThermalMode::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextUInt(pDX, kZoomedTrackLength, values_.zoomedTrackLength);
    gui::DDV_MinMaxUInt(pDX, values_.zoomedTrackLength, 0, 1000);
    gui::DDX_TextInt(pDX, kZoomedRadius, values_.zoomedRadius);
    gui::DDV_MinMaxInt(pDX, values_.zoomedRadius, 10, 10000);
    gui::DDX_TextInt(pDX, kInitCircles, values_.initCircles);
    gui::DDV_MinMaxInt(pDX, values_.initCircles, 0, 10);
    gui::DDX_TextFloat(pDX, kMinCirclingRate, values_.minCirclingRate);
    gui::DDV_MinMaxFloat(pDX, values_.minCirclingRate, 1.0F, 200.0F);
    gui::DDX_Check(pDX, kShowLift, values_.showLiftInThermalMode);
    gui::DDX_Check(pDX, kDrawLines, values_.drawLinesInThermalMode);
    gui::DDX_Check(pDX, kShowMap, values_.showMapInThermalMode);
    gui::DDX_TextInt(pDX, kSearchTime, values_.thermalSearchTime);
    gui::DDV_MinMaxInt(pDX, values_.thermalSearchTime, 0, 100);
    gui::DDX_Check(pDX, kShowAverage, values_.showAverage);
    gui::DDX_Check(pDX, xrc::options_more::kAutoZoom, values_.autoZoom);
    gui::DDX_Check(pDX, kAutoMacCready, values_.autoMacCready);
    if (!pDX->m_bSaveAndValidate) {
        if (auto* field = dynamic_cast<wxTextCtrl*>(FindWindow(kAveragedThermals))) {
            field->ChangeValue(platform::FormatC(L"%d", values_.averageNthermals));
        }
        return;
    }
    if (pDX->Failed()) return;
    std::wstring text;
    if (const wxWindow* field = FindWindow(kAveragedThermals)) {
        gui::GetWindowTextFolded(*field, text);
        if (const auto count = platform::ScanInt(text)) values_.averageNthermals = std::max(count->value, 1);
    }
    if (values_.LinesAndMapConflict()) {
        platform::ShowMessageBox(nullptr, core::LoadResourceString(kIdsLinesAndMapText),
                                 core::LoadResourceString(kIdsLinesAndMapCaption),
                                 platform::mb::kOk | platform::mb::kIconExclamation | platform::mb::kTopmost);
        pDX->Fail();
    }
}

void COptionsThermalMode::OnApply() {
    values_.Apply(platform::AppSettings(), Views(), opened_);
}

// --- Reachable outline.

CReachableOutlineOptions::CReachableOutlineOptions()
    : COptionsPage(kReachPage, "Reach"), values_(OutlineOptions::FromRunning(Views())) {}

void CReachableOutlineOptions::OnInitDialog() {
    const std::wstring_view unit = glide::CurrentClimbUnit().name;
    SetLabel(kClimbUnit, wxString(unit.data(), unit.size()));
}

void CReachableOutlineOptions::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextFloat(pDX, kOutlineMacCready, values_.macCready);
    gui::DDV_MinMaxFloat(pDX, values_.macCready, 0.0F, 20.0F);
    gui::DDX_Check(pDX, kUseMacCreadyInUse, values_.useMacCreadyInUse);
    gui::DDX_Check(pDX, kShowOutline, values_.shown);
    gui::DDX_TextInt(pDX, kPointCount, values_.pointCount);
    gui::DDV_MinMaxInt(pDX, values_.pointCount, 48, 240);
}

void CReachableOutlineOptions::OnApply() {
    values_.Apply(platform::AppSettings(), Views(), opened_);
}

}  // namespace frame
