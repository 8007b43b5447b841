// The GPS port dialog from the real resource bundle, run modally and driven
// from inside its own event loop.
#include "frame/gps_port_dialog.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "core/settings_values.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "gps/gps_port.h"
#include "gps/port_auto_baud.h"
#include "gps/port_dialog_feed.h"
#include "gps/settings_values.h"
#include "platform/ddx_text.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"
#include "resources/ids/gps_port_dialog.h"
#include "testing/wx_test_app.h"

namespace frame {
namespace {

using namespace std::chrono_literals;
namespace gui = platform::gui;
namespace port_ids = xrc::gps_port_dialog;
using frame::testing::kBinaryDir;
using frame::testing::OpenBuiltBundle;

void Feed(std::string_view bytes) {
    gps::FeedGpsPortDialog(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

class GpsPortDialogTest : public ::testing::Test {
  protected:
    GpsPortDialogTest() {
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        gps::SetGpsPortBaudText(L"9600");
        core::g_unitAlt = 1;               // metres
        core::g_geoidSeparation = -98.0F;  // -29.87 m
        core::g_lookAtComErrors = 1;
        gps::g_sirfGga = 1;
        gps::g_gpsPortAutoReset = 0;
        gps::g_autoBaud = 0;
        gps::g_noEventsRS232 = 1;
    }
    ~GpsPortDialogTest() override {
        platform::SetAppSettings(nullptr);
        core::g_unitAlt = 0;
    }

    // Runs the dialog modally; `drive` acts inside its loop. A dialog that
    // drive left open (a failed step) is ended with -2.
    int RunModal(const std::function<void()>& drive) {
        wxTheApp->CallAfter([this, drive] {
            drive();
            if (dialog_->IsModal()) dialog_->EndModal(-2);
        });
        return dialog_->DoModal();
    }

    template <typename Control>
    Control* Find(int id) const {
        return dynamic_cast<Control*>(dialog_->FindWindow(id));
    }
    std::wstring TextOf(int id) const {
        if (auto* entry = dynamic_cast<wxTextEntry*>(dialog_->FindWindow(id)))
            return entry->GetValue().ToStdWstring();
        return dialog_->FindWindow(id)->GetLabel().ToStdWstring();
    }
    void Type(int id, const std::wstring& text) const {
        dynamic_cast<wxTextEntry*>(dialog_->FindWindow(id))->ChangeValue(text);
    }
    void Click(int id) const {
        wxWindow* control = dialog_->FindWindow(id);
        ASSERT_NE(control, nullptr) << id;
        wxCommandEvent click(dynamic_cast<wxCheckBox*>(control) ? wxEVT_CHECKBOX : wxEVT_BUTTON,
                             id);
        if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
            box->SetValue(!box->GetValue());
            click.SetInt(box->GetValue() ? 1 : 0);
        }
        click.SetEventObject(control);
        control->ProcessWindowEvent(click);
    }
    static std::int32_t Stored(std::string_view section, std::string_view name) {
        return static_cast<std::int32_t>(platform::AppSettings().GetInt(section, name, 12345));
    }

    std::shared_ptr<const gui::ResourceBundle> bundle_ = OpenBuiltBundle();
    gui::ResourceBundleInstallation installation_{bundle_};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
    std::unique_ptr<CGpsPortDialog> dialog_;

    void MakeDialog() {
        ASSERT_TRUE(installation_.XrcLoaded());
        dialog_ = std::make_unique<CGpsPortDialog>(nullptr);
        ASSERT_TRUE(dialog_->Loaded());
        gps::GpsPortDialogModel& model = dialog_->Model();  // as the frame fills it
        model.portName = L"/dev/ttyUSB7";
        model.baudRate = 9600;
        model.sentenceSet = 2;
        model.useRxFlag = 1;
    }
};

TEST_F(GpsPortDialogTest, ShowsTheSettingsAndTheArrivingTextAndOkStoresWhatWasTyped) {
    MakeDialog();
    const int result = RunModal([this] {
        EXPECT_EQ(TextOf(port_ids::kPortCombo), L"/dev/ttyUSB7");
        auto* ports = Find<wxComboBox>(port_ids::kPortCombo);
        ASSERT_NE(ports, nullptr);
        EXPECT_EQ(ports->GetString(ports->GetCount() - 1), "#gpsAPI");
        EXPECT_EQ(TextOf(port_ids::kBaudCombo), L"9600");
        EXPECT_TRUE(Find<wxRadioButton>(port_ids::kGgaVtgRadio)->GetValue());
        EXPECT_TRUE(Find<wxCheckBox>(port_ids::kRxFlagCheck)->GetValue());
        EXPECT_EQ(TextOf(port_ids::kGeoidEdit), L"-30");
        EXPECT_EQ(TextOf(port_ids::kGeoidUnit), L"m");
        EXPECT_TRUE(Find<wxCheckBox>(port_ids::kSirfGgaCheck)->GetValue());
        EXPECT_FALSE(Find<wxCheckBox>(port_ids::kIgnoreErrorsCheck)->GetValue());
        EXPECT_TRUE(Find<wxCheckBox>(port_ids::kNoEventsCheck)->GetValue());
        EXPECT_FALSE(Find<wxCheckBox>(port_ids::kNoEventsCheck)->IsEnabled());
        EXPECT_TRUE(gps::GpsPortDialogOpen());

        // Text at a wrong rate with no '$' in it: the line shows its end.
        Feed("$" + std::string(600, 'x') + "END\r\n");
        EXPECT_TRUE(platform::PostWindowMessage(platform::kGpsPortDialogWindow,
                                                platform::WM_APP_SERIALDATA, 606));
        EXPECT_TRUE(
            gui::ProcessEventsUntil([&] { return !TextOf(port_ids::kSerialText).empty(); }, 5s));
        EXPECT_EQ(TextOf(port_ids::kSerialText).size(), gps::kPortDialogLineLimit);
        EXPECT_TRUE(TextOf(port_ids::kSerialText).ends_with(L"xxEND"));

        // A sentence, then a rate change by the search.
        Feed("$GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D*61\r\n");
        platform::PostWindowMessage(platform::kGpsPortDialogWindow, platform::WM_APP_SERIALDATA);
        EXPECT_TRUE(gui::ProcessEventsUntil(
            [&] { return TextOf(port_ids::kSerialText).starts_with(L"GPRMC"); }, 5s));
        Type(port_ids::kBaudCombo, L"4800");
        EXPECT_TRUE(gui::SaveScreenshot(*dialog_, kBinaryDir / "screenshots" / "gps_port_130.png"));
        gps::SetGpsPortBaudText(L"19200");
        platform::PostWindowMessage(platform::kGpsPortDialogWindow, platform::WM_APP_PORTSTATUS, 0,
                                    19200);
        EXPECT_TRUE(
            gui::ProcessEventsUntil([&] { return TextOf(port_ids::kBaudCombo) == L"19200"; }, 5s));
        EXPECT_EQ(TextOf(port_ids::kSerialText), L"");

        Type(port_ids::kPortCombo, L"com3:");
        Type(port_ids::kBaudCombo,
             L"\uFF13\uFF18\uFF14\uFF10\uFF10 ");  // full-width digits and a blank
        Type(port_ids::kGeoidEdit, L"-1");
        Find<wxRadioButton>(port_ids::kSentenceSetRadio)->SetValue(true);
        Click(port_ids::kIgnoreErrorsCheck);
        Click(wxID_OK);
    });

    ASSERT_EQ(result, wxID_OK);
    const gps::GpsPortDialogModel& model = dialog_->Model();
    EXPECT_TRUE(model.changed);
    EXPECT_EQ(model.portName, L"COM3:");
    EXPECT_EQ(model.baudRate, 38400);
    EXPECT_EQ(gps::GpsPortBaudText(), L"38400");  // the number, not the typed text
    EXPECT_EQ(model.sentenceSet, 0);
    EXPECT_EQ(model.geoidSeparation, -1);
    EXPECT_EQ(core::g_geoidSeparation.load(), -3.0F);  // -3.28 ft
    EXPECT_EQ(core::g_lookAtComErrors.load(), 0);
    EXPECT_EQ(Stored("Options\\NMEA", "GeoidSeparation"), -3);
    EXPECT_EQ(Stored("Options\\NMEA", "lookAtComErrors"), 0);
    EXPECT_EQ(Stored("Options\\NMEA", "Sirf_GGA"), 1);
    EXPECT_EQ(Stored("NMEA", "noEventsRS232"), 1);
    EXPECT_FALSE(gps::GpsPortDialogOpen());
    EXPECT_TRUE(boxes_->Boxes().empty());
    // Posts after the dialog has closed are dropped.
    EXPECT_FALSE(
        platform::PostWindowMessage(platform::kGpsPortDialogWindow, platform::WM_APP_SERIALDATA));
}

TEST_F(GpsPortDialogTest, ABaudOutOfRangeKeepsTheDialogOpenAndCancelStoresNothing) {
    MakeDialog();
    bool stayedOpen = false;
    const int result = RunModal([&] {
        Type(port_ids::kBaudCombo, L"300");
        Click(wxID_OK);
        stayedOpen = dialog_->IsShown() && gps::GpsPortDialogOpen();
        Click(port_ids::kAutoResetCheck);  // acts at once, also when cancelled
        Click(wxID_CANCEL);
    });

    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text,
              platform::FormatPrompt(gui::BundleString(platform::AFX_IDP_PARSE_INT_RANGE), L"1200",
                                     L"115200"));
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_FALSE(dialog_->Model().changed);
    EXPECT_EQ(gps::GpsPortBaudText(), L"9600");
    EXPECT_FALSE(gps::GpsPortDialogOpen());
    EXPECT_EQ(Stored("NMEA", "AutoReset"), 12345);
    EXPECT_EQ(gps::g_gpsPortAutoReset.load(), 1);
    EXPECT_EQ(gps::g_autoBaud.load(), 1);
    EXPECT_EQ(gps::AutoBaudIndex(), gps::kAutoBaudRates.size());  // next step: 4800
}

}  // namespace
}  // namespace frame
