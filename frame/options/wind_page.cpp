#include "frame/options/wind_page.h"

#include <wx/radiobut.h>

#include "core/settings_values.h"
#include "platform/settings_store.h"
#include "resources/ids/options_general.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_general::wind_page::kFirstMethod;
using xrc::options_general::wind_page::kFirstTrigger;
using xrc::options_general::wind_page::kMinimumSpeed;
using xrc::options_general::wind_page::kMinimumTurn;
using xrc::options_general::wind_page::kSpeedUnit;
using xrc::options_general::wind_page::kWindPage;
constexpr int kMethodCount = 6;
using ids::kIdsFirstWindSpeedUnit;

}  // namespace

COptionsWinds::COptionsWinds()
    : CScrolledPropertyPage(kWindPage, "Wind"), values_(glide::WindOptions::FromRunning()) {
    for (int i = 0; i < kMethodCount; ++i) {
        Bind(wxEVT_RADIOBUTTON, &COptionsWinds::OnMethod, this, kFirstMethod + i);
    }
}

void COptionsWinds::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    SetLabel(kSpeedUnit, core::LoadResourceString(kIdsFirstWindSpeedUnit +
                                                  static_cast<unsigned>(core::g_unitSpeed.load())));
}

void COptionsWinds::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextInt(pDX, kMinimumTurn, values_.minimumTurn);
    gui::DDV_MinMaxInt(pDX, values_.minimumTurn, 5, 90);
    gui::DDX_Radio(pDX, kFirstMethod, values_.method);
    gui::DDX_Radio(pDX, kFirstTrigger, values_.computeOn);
    gui::DDX_TextFloat(pDX, kMinimumSpeed, values_.minimumSpeed);
    gui::DDV_MinMaxFloat(pDX, values_.minimumSpeed, values_.SpeedMinimum(), values_.SpeedMaximum());
    if (!pDX->m_bSaveAndValidate) ShowTriggerChoices(values_.method);
}

void COptionsWinds::OnMethod(wxCommandEvent& event) {
    ShowTriggerChoices(event.GetId() - kFirstMethod);
}

void COptionsWinds::ShowTriggerChoices(int method) {
    int current = -1;
    for (int i = 0; i < 3; ++i) {
        auto* button = dynamic_cast<wxRadioButton*>(FindWindow(kFirstTrigger + i));
        if (button != nullptr && button->GetValue()) current = i;
    }
    const glide::TriggerChoices choices = glide::TriggerChoicesFor(method, current);
    for (int i = 0; i < 3; ++i) {
        auto* button = dynamic_cast<wxRadioButton*>(FindWindow(kFirstTrigger + i));
        if (button == nullptr) continue;
        button->Enable(choices.enabled[i]);
        if (i == choices.selected) button->SetValue(true);
    }
}

void COptionsWinds::OnApply() {
    values_.Apply(platform::AppSettings());
}

}  // namespace frame
