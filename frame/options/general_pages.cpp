#include "frame/options/general_pages.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <cmath>

#include "core/settings_values.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "resources/ids/options_general.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"
#include "texts/display_units.h"

namespace frame {
namespace {

namespace gui = platform::gui;

bool Checked(const wxWindow* page, int id) {
    const auto* box = dynamic_cast<const wxCheckBox*>(page->FindWindow(id));
    return box != nullptr && box->GetValue();
}

using xrc::options_general::kAltitudeUnit;
using xrc::options_general::kCentreScaleFactor;
using xrc::options_general::kClimbKnots;
using xrc::options_general::kDecimalMinutes;
using xrc::options_general::kDestinations;
using xrc::options_general::kDestinationsSpin;
using xrc::options_general::kDirectorTolerance;
using xrc::options_general::kDiskWarning;
using xrc::options_general::kDoubleClick;
using xrc::options_general::kEarthRadius;
using xrc::options_general::kEccentricity;
using xrc::options_general::kFeet;
using xrc::options_general::kGearUnit;
using xrc::options_general::kGearWarning;
using xrc::options_general::kHectopascal;
using xrc::options_general::kIgcFormat;
using xrc::options_general::kInchesOfMercury;
using xrc::options_general::kInverseFlattening;
using xrc::options_general::kKnots;
using xrc::options_general::kLoadMapAtStart;
using xrc::options_general::kLogFormat;
using xrc::options_general::kLogInterval;
using xrc::options_general::kLogIntervalSpin;
using xrc::options_general::kLogPage;
using xrc::options_general::kMacCreadyUnit;
using xrc::options_general::kMacCreadyWhileCircling;
using xrc::options_general::kMisc2Page;
using xrc::options_general::kMiscPage;
using xrc::options_general::kPatternAltitude;
using xrc::options_general::kQueueFifo;
using xrc::options_general::kRawCapture;
using xrc::options_general::kReplayInterval;
using xrc::options_general::kReplayIntervalSpin;
using xrc::options_general::kSaveDropped;
using xrc::options_general::kScreenUpdates;
using xrc::options_general::kScreenUpdatesSpin;
using xrc::options_general::kSemiMajorAxis;
using xrc::options_general::kSpeedDirector;
using xrc::options_general::kSpeedTrack;
using xrc::options_general::kStartMacCready;
using xrc::options_general::kStatuteMiles;
using xrc::options_general::kStickyNavDisplay;
using xrc::options_general::kTimeInMinutes;
using xrc::options_general::kTimeOffset;
using xrc::options_general::kTimeOffsetSpin;
using xrc::options_general::kToleranceLabel;
using xrc::options_general::kUnitsPage;
using xrc::options_general::kUseGpsVariation;
using xrc::options_general::kUseUtm;
using xrc::options_general::kUtmPage;
using xrc::options_general::kVariation;
using xrc::options_general::kWhileCircling;
using ids::kIdsFeetLabel;
using ids::kIdsMetresLabel;

}  // namespace

// --- Miscellaneous.

CKOR_VANoptionsMisc::CKOR_VANoptionsMisc()
    : CScrolledPropertyPage(kMiscPage, "Misc"), values_(MiscOptions::FromRunning()) {
    Bind(wxEVT_CHECKBOX, &CKOR_VANoptionsMisc::OnUseUtm, this, kUseUtm);
    Bind(wxEVT_CHECKBOX, &CKOR_VANoptionsMisc::OnUseGpsVariation, this, kUseGpsVariation);
}

void CKOR_VANoptionsMisc::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetSpin(kTimeOffsetSpin, -12, 12, static_cast<int>(std::floor(values_.timeOffset)), kTimeOffset);
    SetSpin(kReplayIntervalSpin, 0, 2000, values_.fileReplayInterval, kReplayInterval);
    SetSpin(kDestinationsSpin, 1, 16, values_.maxNumDestinations, kDestinations);
    SetLabel(kAltitudeUnit,
             core::LoadResourceString(values_.metres ? kIdsMetresLabel : kIdsFeetLabel));
    // The field shows the variation in use while the GPS one is taken.
    if (values_.useGpsVariation != 0) values_.variation = core::g_magneticVariation;
}

void CKOR_VANoptionsMisc::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Check(pDX, kDecimalMinutes, values_.decimalMinutes);
    gui::DDX_Check(pDX, kUseUtm, values_.useUtm);
    gui::DDX_TextFloat(pDX, kTimeOffset, values_.timeOffset);
    gui::DDV_MinMaxFloat(pDX, values_.timeOffset, -12.0F, 12.0F);
    gui::DDX_TextDouble(pDX, kEarthRadius, values_.earthRadius);
    gui::DDV_MinMaxDouble(pDX, values_.earthRadius, 6250.0, 6500.0);
    gui::DDX_Check(pDX, kUseGpsVariation, values_.useGpsVariation);
    gui::DDX_TextDouble(pDX, kVariation, values_.variation);
    gui::DDV_MinMaxDouble(pDX, values_.variation, -180.0, 180.0);
    gui::DDX_Check(pDX, kDoubleClick, values_.doubleClick);
    gui::DDX_TextInt(pDX, kReplayInterval, values_.fileReplayInterval);
    gui::DDV_MinMaxInt(pDX, values_.fileReplayInterval, 0, 10000);
    gui::DDX_TextInt(pDX, kPatternAltitude, values_.patternAltitude);
    gui::DDV_MinMaxInt(pDX, values_.patternAltitude, 0, 5000);
    gui::DDX_TextInt(pDX, kDestinations, values_.maxNumDestinations);
    gui::DDV_MinMaxInt(pDX, values_.maxNumDestinations, 1, 16);
    gui::DDX_Check(pDX, kQueueFifo, values_.queueFifo);
    gui::DDX_Check(pDX, kTimeInMinutes, values_.timeInMinutes);
    if (!pDX->m_bSaveAndValidate) UpdateDecimalMinutes();
}

void CKOR_VANoptionsMisc::UpdateDecimalMinutes() {
    Enable(kDecimalMinutes, !Checked(this, kUseUtm));
}

void CKOR_VANoptionsMisc::OnUseUtm(wxCommandEvent&) {
    UpdateDecimalMinutes();
}

// Switching the GPS variation on shows the one in use; off, the field keeps
// what it shows for the pilot to edit.
void CKOR_VANoptionsMisc::OnUseGpsVariation(wxCommandEvent&) {
    if (!Checked(this, kUseGpsVariation)) return;
    if (auto* field = dynamic_cast<wxTextCtrl*>(FindWindow(kVariation))) {
        field->ChangeValue(platform::FormatC(L"%.1f", core::g_magneticVariation.load()));
    }
}

void CKOR_VANoptionsMisc::OnApply() {
    MiscOptions applied = values_;
    // A page never shown keeps the manual variation (the field would have
    // shown the GPS one).
    if (!Initialised()) applied.variation = core::g_variation;
    applied.Apply(platform::AppSettings());
}

// --- Units.

CKOR_VANoptionsUnits::CKOR_VANoptionsUnits()
    : COptionsPage(kUnitsPage, "Units"), values_(core::UnitsOptions::FromRunning()) {}

void CKOR_VANoptionsUnits::OnInitDialog() {
    Show(kInchesOfMercury, true);
    Show(kHectopascal, true);
    Layout();
}

void CKOR_VANoptionsUnits::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Radio(pDX, kFeet, values_.alt);
    gui::DDX_Radio(pDX, kStatuteMiles, values_.dist);
    gui::DDX_Radio(pDX, kKnots, values_.speed);
    gui::DDX_Radio(pDX, kClimbKnots, values_.vario);
    gui::DDX_Radio(pDX, kInchesOfMercury, values_.pressure);
}

void CKOR_VANoptionsUnits::OnApply() {
    values_.Apply(platform::AppSettings());
}

// --- Logging.

CKOR_VANoptionsLog::CKOR_VANoptionsLog()
    : CScrolledPropertyPage(kLogPage, "Log"), values_(LogOptions::FromRunning()) {
    Bind(wxEVT_RADIOBUTTON, &CKOR_VANoptionsLog::OnFormat, this, kLogFormat);
    Bind(wxEVT_RADIOBUTTON, &CKOR_VANoptionsLog::OnFormat, this, kIgcFormat);
}

void CKOR_VANoptionsLog::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetSpin(kLogIntervalSpin, 0, 1000, values_.logInterval, kLogInterval);
    SetSpin(kScreenUpdatesSpin, 1, 20, static_cast<int>(values_.screenUpdates), kScreenUpdates);
    Enable(kSpeedTrack, values_.logFormat == 0);
}

// The speed-and-track choice belongs to the text log; with IGC it is greyed.
void CKOR_VANoptionsLog::OnFormat(wxCommandEvent& event) {
    Enable(kSpeedTrack, event.GetId() == kLogFormat);
}

void CKOR_VANoptionsLog::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Radio(pDX, kLogFormat, values_.logFormat);
    gui::DDX_Check(pDX, kSpeedTrack, values_.logSpeedTrack);
    gui::DDX_TextInt(pDX, kLogInterval, values_.logInterval);
    gui::DDV_MinMaxInt(pDX, values_.logInterval, 0, 1000);
    gui::DDX_Check(pDX, kRawCapture, values_.rawCapture);
    gui::DDX_Check(pDX, kSaveDropped, values_.saveDroppedWpts);
    gui::DDX_TextFloat(pDX, kScreenUpdates, values_.screenUpdates);
    gui::DDV_MinMaxFloat(pDX, values_.screenUpdates, 1.0F, 20.0F);
    gui::DDX_TextInt(pDX, kDiskWarning, values_.diskWarning);
    gui::DDV_MinMaxInt(pDX, values_.diskWarning, 0, 1000);
}

void CKOR_VANoptionsLog::OnApply() {
    values_.Apply(platform::AppSettings());
}

// --- Second miscellaneous page.

CKOR_VANoptionsMisc2::CKOR_VANoptionsMisc2()
    : CScrolledPropertyPage(kMisc2Page, "Misc 2"),
      values_(Misc2Options::FromRunning(platform::AppSettings())) {}

void CKOR_VANoptionsMisc2::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetLabel(kGearUnit, values_.metres ? "[m]" : "[ft]");
    SetLabel(kMacCreadyUnit, core::g_unitVario >= 1 ? "[m/s]" : "[kts]");
    if (wxWindow* label = FindWindow(kToleranceLabel)) {
        label->SetLabel(label->GetLabel() + wxString(glide::CurrentSpeedUnit().name.data(),
                                                     glide::CurrentSpeedUnit().name.size()));
    }
}

void CKOR_VANoptionsMisc2::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Radio(pDX, kWhileCircling, values_.showWhileCircling);
    gui::DDX_TextFloat(pDX, kDirectorTolerance, values_.speedDirectorTolerance);
    gui::DDV_MinMaxFloat(pDX, values_.speedDirectorTolerance, values_.ToleranceMinimum(),
                         values_.ToleranceMaximum());
    gui::DDX_TextInt(pDX, kGearWarning, values_.gearWarnAt);
    gui::DDV_MinMaxInt(pDX, values_.gearWarnAt, values_.GearMinimum(), values_.GearMaximum());
    gui::DDX_TextFloat(pDX, kStartMacCready, values_.macReadyManualDef);
    if (pDX->m_bSaveAndValidate && !pDX->Failed() && !values_.MacCreadyInRange()) {
        gui::DDV_MinMaxFloat(pDX, values_.macReadyManualDef, 0.0F, 10.0F * values_.climbFactor);
    }
    gui::DDX_Check(pDX, kLoadMapAtStart, values_.loadMapAtStartup);
    gui::DDX_Check(pDX, kMacCreadyWhileCircling, values_.showMcrWhileCircling);
    gui::DDX_Check(pDX, kStickyNavDisplay, values_.stickyNavDisplay);
    gui::DDX_Check(pDX, kSpeedDirector, values_.speedDirector);
}

void CKOR_VANoptionsMisc2::OnApply() {
    values_.Apply(platform::AppSettings());
}

// --- UTM.

CKOR_VANoptionsUTM::CKOR_VANoptionsUTM()
    : COptionsPage(kUtmPage, "UTM"), values_(core::UtmOptions::FromRunning()) {}

void CKOR_VANoptionsUTM::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextDouble(pDX, kCentreScaleFactor, values_.centerScaleFactor);
    gui::DDV_MinMaxDouble(pDX, values_.centerScaleFactor, 0.99, 1.01);
    gui::DDX_TextDouble(pDX, kEccentricity, values_.eccentricity);
    gui::DDV_MinMaxDouble(pDX, values_.eccentricity, 0.0818, 0.08184);
    gui::DDX_TextDouble(pDX, kInverseFlattening, values_.inverseFlattening);
    gui::DDV_MinMaxDouble(pDX, values_.inverseFlattening, 298.2, 298.3);
    gui::DDX_TextDouble(pDX, kSemiMajorAxis, values_.semiMajorAxis);
    gui::DDV_MinMaxDouble(pDX, values_.semiMajorAxis, 6.378e6, 6.3783e6);
}

void CKOR_VANoptionsUTM::OnApply() {
    values_.Apply(platform::AppSettings());
}

}  // namespace frame
