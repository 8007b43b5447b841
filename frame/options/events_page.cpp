#include "frame/options/events_page.h"

#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/ids/options_general.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_general::events_page::kEventsPage;
using xrc::options_general::events_page::kFirstCarrier;
using xrc::options_general::events_page::kFirstCts;
using xrc::options_general::events_page::kFirstDsr;
using xrc::options_general::events_page::kFirstRing;
using xrc::options_general::events_page::kInvert;
constexpr int kFirstButtons[4] = {kFirstCts, kFirstDsr, kFirstRing, kFirstCarrier};
using ids::kIdsEventConflictCaption;
using ids::kIdsEventConflict;
using ids::kIdsEventConflictCaption;
using xrc::options_general::kInvert;

}  // namespace

COptionsEvents::COptionsEvents()
    : COptionsPage(kEventsPage, "Events"),
      before_(glide::EventOptions::FromStore(platform::AppSettings())),
      values_(before_) {}

// The second choice of each line is a spare "none": a stored 1 shows as 0.
void COptionsEvents::OnInitDialog() {
    for (int i = 0; i < 4; ++i) {
        if (values_.lines[static_cast<std::size_t>(i)] == 1) values_.lines[static_cast<std::size_t>(i)] = 0;
        Show(kFirstButtons[i] + 1, false);
    }
    Layout();
}

void COptionsEvents::DoDataExchange(gui::CDataExchange* pDX) {
    for (int i = 0; i < 4; ++i) gui::DDX_Radio(pDX, kFirstButtons[i], values_.lines[static_cast<std::size_t>(i)]);
    gui::DDX_Check(pDX, kInvert, values_.invert);
    if (!pDX->m_bSaveAndValidate || pDX->Failed() || !values_.HasConflict()) return;
    platform::ShowMessageBox(nullptr, core::LoadResourceString(kIdsEventConflict),
                             core::LoadResourceString(kIdsEventConflictCaption),
                             platform::mb::kOk | platform::mb::kIconExclamation | platform::mb::kTopmost);
    pDX->Fail();
}

void COptionsEvents::OnApply() {
    values_.Apply(platform::AppSettings(), before_);
}

}  // namespace frame
