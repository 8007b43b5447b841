#include "frame/options/flarm_page.h"

#include <wx/combobox.h>

#include <string>
#include <vector>

#include "gps/gps_port.h"
#include "gps/settings_values.h"
#include "platform/settings_store.h"
#include "resources/ids/options_flarm.h"

namespace frame {
namespace {

namespace gui = platform::gui;

constexpr int kFlarmBaudCombo = xrc::options_flarm::kBaudCombo;
using xrc::options_flarm::kClimb;
using xrc::options_flarm::kFlarmTemplate;
using xrc::options_flarm::kImportantAlarmSound;
using xrc::options_flarm::kLowAlarmSound;
using xrc::options_flarm::kSetBaud;
using xrc::options_flarm::kShowTcas;
using xrc::options_flarm::kTrafficSound;
using xrc::options_flarm::kUrgentAlarmSound;
// Bits 0x1, 0x2, 0x4, 0x8 of the sounds.
constexpr int kSoundBoxes[4] = {kTrafficSound, kLowAlarmSound, kImportantAlarmSound,
                                kUrgentAlarmSound};

}  // namespace

CFLARMoptions::CFLARMoptions() : COptionsPage(kFlarmTemplate, "FLARM") {
    Bind(wxEVT_BUTTON, &CFLARMoptions::OnSetFlarmBaud, this, kSetBaud);
}

void CFLARMoptions::OnInitDialog() {
    if (const CFLARMobject* object = g_pFlarmObject.load()) {
        const recorder::FlarmOptionValues v = recorder::FlarmOptionValues::From(*object);
        for (std::size_t i = 0; i < v.sounds.size(); ++i)
            sounds_[i] = v.sounds[i] ? 1 : 0;
        showTcas_ = v.showTcas ? 1 : 0;
        climb_ = v.climb ? 1 : 0;
        Show(kShowTcas, true);
        Show(kClimb, true);
    }
    const bool portOpen = gps::GpsPortOpen();
    Show(kFlarmBaudCombo, portOpen);
    Show(kSetBaud, portOpen);
    if (auto* combo = dynamic_cast<wxComboBox*>(FindWindow(kFlarmBaudCombo)); combo && portOpen) {
        std::vector<std::wstring> items;
        for (unsigned i = 0; i < combo->GetCount(); ++i)
            items.push_back(combo->GetString(i).ToStdWstring());
        combo->SetSelection(recorder::FlarmBaudItemFor(items, gps::g_baudRate.load()));
    }
}

void CFLARMoptions::DoDataExchange(gui::CDataExchange* pDX) {
    // Without the object the boxes keep what the template has.
    if (g_pFlarmObject.load() == nullptr) return;
    for (std::size_t i = 0; i < std::size(kSoundBoxes); ++i)
        gui::DDX_Check(pDX, kSoundBoxes[i], sounds_[i]);
    gui::DDX_Check(pDX, kShowTcas, showTcas_);
    gui::DDX_Check(pDX, kClimb, climb_);
}

void CFLARMoptions::OnApply() {
    CFLARMobject* object = g_pFlarmObject.load();
    if (object == nullptr) return;
    recorder::FlarmOptionValues v;
    for (std::size_t i = 0; i < v.sounds.size(); ++i)
        v.sounds[i] = sounds_[i] != 0;
    v.showTcas = showTcas_ != 0;
    v.climb = climb_ != 0;
    v.Apply(*object, platform::AppSettings());
}

void CFLARMoptions::OnSetFlarmBaud(wxCommandEvent& /*event*/) {
    auto* combo = dynamic_cast<wxComboBox*>(FindWindow(kFlarmBaudCombo));
    if (combo == nullptr || combo->GetSelection() < 0) return;
    const int index = combo->GetSelection();
    recorder::SetFlarmBaud(index, combo->GetString(static_cast<unsigned>(index)).ToStdWstring(),
                           platform::AppSettings());
}

}  // namespace frame
