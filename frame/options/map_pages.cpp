#include "frame/options/map_pages.h"

#include <wx/textctrl.h>

#include <algorithm>

#include "platform/message_box.h"
#include "platform/numbers.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"
#include "texts/display_units.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using ids::kIdsLinesAndMapText;
using ids::kIdsLinesAndMapCaption;

}  // namespace

// --- Map.

CKOR_VANoptionsMaps::CKOR_VANoptionsMaps()
    : CScrolledPropertyPage(178, "Map"), values_(MapsOptions::FromRunning(Views())) {}

void CKOR_VANoptionsMaps::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetSpin(1036, 0, 5, values_.dotSize, 1034);
    SetSpin(1039, 0, 12, values_.dotSpacing, 1037);
    SetSpin(1041, 2, 20, static_cast<int>(values_.cursorBlinkTime), 1040);
    SetSpin(1046, 0, 100, values_.trackCacheSaveInterval, 1045);
    SetSpin(1050, 2, 48, values_.mapMargin, 1049);
    if (values_.km) {
        SetLabel(1059, "[km]");
        SetLabel(1477, "[km]");
    }
}

void CKOR_VANoptionsMaps::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextInt(pDX, 1034, values_.dotSize);
    gui::DDV_MinMaxInt(pDX, values_.dotSize, 0, 5);
    gui::DDX_TextInt(pDX, 1037, values_.dotSpacing);
    gui::DDV_MinMaxInt(pDX, values_.dotSpacing, 0, 12);
    gui::DDX_TextUInt(pDX, 1040, values_.cursorBlinkTime);
    gui::DDV_MinMaxUInt(pDX, values_.cursorBlinkTime, 2, 20);
    gui::DDX_TextFloat(pDX, 1044, values_.zoomFactor);
    gui::DDV_MinMaxFloat(pDX, values_.zoomFactor, 1.05F, 10.0F);
    gui::DDX_TextInt(pDX, 1045, values_.trackCacheSaveInterval);
    gui::DDV_MinMaxInt(pDX, values_.trackCacheSaveInterval, 0, 100);
    gui::DDX_TextInt(pDX, 1049, values_.mapMargin);
    gui::DDV_MinMaxInt(pDX, values_.mapMargin, 2, 48);
    gui::DDX_TextFloat(pDX, 1058, values_.mapRadius);
    gui::DDV_MinMaxFloat(pDX, values_.mapRadius, 0.001F, 1000.0F);
    gui::DDX_TextUInt(pDX, 1061, values_.trackCacheLength);
    gui::DDV_MinMaxUInt(pDX, values_.trackCacheLength, 1, 100000);
    gui::DDX_Check(pDX, 1120, values_.allowRotationToTog);
    gui::DDX_TextInt(pDX, 1062, values_.minimumMapRotationAngle);
    gui::DDV_MinMaxInt(pDX, values_.minimumMapRotationAngle, 20, 90);
    gui::DDX_TextFloat(pDX, 1334, values_.mapSimplifyDistance);
    gui::DDV_MinMaxFloat(pDX, values_.mapSimplifyDistance, 0.01F, 10.0F);
    gui::DDX_Check(pDX, 1278, values_.showGotoLine);
}

void CKOR_VANoptionsMaps::OnApply() {
    values_.Apply(platform::AppSettings(), Views(), opened_);
}

// --- Thermal mode.

COptionsThermalMode::COptionsThermalMode()
    : CScrolledPropertyPage(206, "Thermal"), values_(ThermalModeOptions::FromRunning(Views())) {}

void COptionsThermalMode::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetLabel(1053, values_.metres ? "[m]" : "[ft]");
    SetSpin(1055, 0, 10, values_.initCircles, 1054);
}

void COptionsThermalMode::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextUInt(pDX, 1064, values_.zoomedTrackLength);
    gui::DDV_MinMaxUInt(pDX, values_.zoomedTrackLength, 0, 1000);
    gui::DDX_TextInt(pDX, 1052, values_.zoomedRadius);
    gui::DDV_MinMaxInt(pDX, values_.zoomedRadius, 10, 10000);
    gui::DDX_TextInt(pDX, 1054, values_.initCircles);
    gui::DDV_MinMaxInt(pDX, values_.initCircles, 0, 10);
    gui::DDX_TextFloat(pDX, 1130, values_.minCirclingRate);
    gui::DDV_MinMaxFloat(pDX, values_.minCirclingRate, 1.0F, 200.0F);
    gui::DDX_Check(pDX, 1105, values_.showLiftInThermalMode);
    gui::DDX_Check(pDX, 1203, values_.drawLinesInThermalMode);
    gui::DDX_Check(pDX, 1104, values_.showMapInThermalMode);
    gui::DDX_TextInt(pDX, 1057, values_.thermalSearchTime);
    gui::DDV_MinMaxInt(pDX, values_.thermalSearchTime, 0, 100);
    gui::DDX_Check(pDX, 1106, values_.showAverage);
    gui::DDX_Check(pDX, 1273, values_.autoZoom);
    gui::DDX_Check(pDX, 1107, values_.autoMacCready);
    if (!pDX->m_bSaveAndValidate) {
        if (auto* field = dynamic_cast<wxTextCtrl*>(FindWindow(1272))) {
            field->ChangeValue(platform::FormatC(L"%d", values_.averageNthermals));
        }
        return;
    }
    if (pDX->Failed()) return;
    std::wstring text;
    if (const wxWindow* field = FindWindow(1272)) {
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
    : COptionsPage(292, "Reach"), values_(OutlineOptions::FromRunning(Views())) {}

void CReachableOutlineOptions::OnInitDialog() {
    const std::wstring_view unit = glide::CurrentClimbUnit().name;
    SetLabel(1002, wxString(unit.data(), unit.size()));
}

void CReachableOutlineOptions::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextFloat(pDX, 1001, values_.macCready);
    gui::DDV_MinMaxFloat(pDX, values_.macCready, 0.0F, 20.0F);
    gui::DDX_Check(pDX, 1003, values_.useMacCreadyInUse);
    gui::DDX_Check(pDX, 1279, values_.shown);
    gui::DDX_TextInt(pDX, 1334, values_.pointCount);
    gui::DDV_MinMaxInt(pDX, values_.pointCount, 48, 240);
}

void CReachableOutlineOptions::OnApply() {
    values_.Apply(platform::AppSettings(), Views(), opened_);
}

}  // namespace frame
