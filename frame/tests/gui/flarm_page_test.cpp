// The FLARM options page in the options sheet, editing the object of a
// stand-in FLARM library, with a pseudo-terminal as the GPS port.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>

#include <filesystem>
#include <memory>

#include "frame/options/options_page.h"
#include "frame/options/options_sheet.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "gps/gps_port.h"
#include "gps/settings_values.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "resources/ids/options_flarm.h"
#include "services/flarm_library.h"
#include "testing/pseudo_terminal.h"
#include "testing/wx_test_app.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_flarm::kBaudCombo;
using xrc::options_flarm::kClimb;
using xrc::options_flarm::kFlarmTemplate;
using xrc::options_flarm::kImportantAlarmSound;
using xrc::options_flarm::kLowAlarmSound;
using xrc::options_flarm::kSetBaud;
using xrc::options_flarm::kShowTcas;
using xrc::options_flarm::kTrafficSound;
using xrc::options_flarm::kUrgentAlarmSound;

class FlarmPageTest : public ::testing::Test {
  protected:
    FlarmPageTest() {
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        g_nLastOptionsPage = 0;
    }
    ~FlarmPageTest() override {
        g_pFlarmObject.store(nullptr);
        gps::CloseGpsPort();
        gps::g_baudRate = 4800;
        platform::SetAppSettings(nullptr);
    }

    // The stand-in library's object becomes the program's FLARM object.
    CFLARMobject& BindStub() {
        library_ = platform::DynamicLibrary::Open(
            (testing::kBinaryDir / "app/flarm_stubs/declaring/FLARM_DLL.dll").string());
        EXPECT_TRUE(library_.IsOpen()) << library_.Error();
        CFLARMobject* object = library_.Symbol<GetFLARMobjectFn>("GetFLARMobject")(nullptr);
        g_pFlarmObject.store(object);
        return *object;
    }

    static COptionsPage* FlarmPage(CKOR_VANoptions& sheet) {
        for (int i = 0; i < sheet.PageCount(); ++i) {
            if (sheet.Page(i)->TemplateId() == kFlarmTemplate) {
                sheet.SetActivePage(i);
                return sheet.Page(i);
            }
        }
        return nullptr;
    }

    static wxCheckBox* Box(wxWindow& page, int id) {
        return dynamic_cast<wxCheckBox*>(page.FindWindow(id));
    }

    std::shared_ptr<const gui::ResourceBundle> bundle_ = testing::OpenBuiltBundle();
    gui::ResourceBundleInstallation installation_{bundle_};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
    platform::DynamicLibrary library_;
};

TEST_F(FlarmPageTest, ThePageIsThereOnlyWithTheFlarmObject) {
    ASSERT_TRUE(installation_.XrcLoaded());
    int without = 0;
    {
        CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
        without = sheet.PageCount();
        EXPECT_EQ(FlarmPage(sheet), nullptr);
    }
    BindStub();
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    EXPECT_EQ(without, 18);
    EXPECT_EQ(sheet.PageCount(), 19);
    EXPECT_EQ(sheet.Page(18)->TemplateId(), kFlarmTemplate);
}

TEST_F(FlarmPageTest, OkWritesTheBitsAndValuesIntoTheObjectAndTheSettings) {
    CFLARMobject& object = BindStub();
    object.sounds = 0x15;  // 0x1, 0x4 and a bit the page does not show
    object.showTcas = 1;
    object.climb = 0;
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    COptionsPage* page = FlarmPage(sheet);
    ASSERT_NE(page, nullptr);
    const int ids[] = {kTrafficSound,     kLowAlarmSound, kImportantAlarmSound,
                       kUrgentAlarmSound, kShowTcas,      kClimb};
    const bool shown[] = {true, false, true, false, true, false};
    const bool wanted[] = {false, true, true, true, false, true};
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        wxCheckBox* box = Box(*page, ids[i]);
        ASSERT_NE(box, nullptr) << ids[i];
        EXPECT_EQ(box->GetValue(), shown[i]) << ids[i];
        EXPECT_TRUE(box->IsShown()) << ids[i];
        box->SetValue(wanted[i]);
    }
    // Without a GPS port the baud controls stay hidden.
    EXPECT_FALSE(page->FindWindow(kBaudCombo)->IsShown());
    EXPECT_FALSE(page->FindWindow(kSetBaud)->IsShown());

    ASSERT_TRUE(sheet.ApplyAll());
    EXPECT_EQ(object.sounds, 0x1E);
    EXPECT_EQ(object.showTcas, 0);
    EXPECT_EQ(object.climb, 1);
    platform::SettingsStore& store = platform::AppSettings();
    EXPECT_EQ(store.GetInt("Settings", "FLARMsounds", 0), 0x1EU);
    EXPECT_EQ(store.GetInt("Settings", "FLARMshowTCAS", 9), 0U);
    EXPECT_EQ(store.GetInt("Settings", "FLARMclimb", 9), 1U);
}

TEST_F(FlarmPageTest, TheComboShowsThePortsRate) {
    BindStub();
    const test_support::PseudoTerminal pty;
    ASSERT_TRUE(pty.Valid());
    struct Case {
        std::uint32_t rate;
        int item;
    } const cases[] = {{19200, 2}, {14400, 0}, {115200, 6}};
    for (const Case& c : cases) {
        gps::g_baudRate = c.rate;
        ASSERT_TRUE(gps::OpenGpsPort(platform::FromUtf8(pty.Path())));
        CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
        COptionsPage* page = FlarmPage(sheet);
        ASSERT_NE(page, nullptr);
        auto* combo = dynamic_cast<wxComboBox*>(page->FindWindow(kBaudCombo));
        ASSERT_NE(combo, nullptr);
        EXPECT_TRUE(combo->IsShown());
        EXPECT_TRUE(page->FindWindow(kSetBaud)->IsShown());
        EXPECT_EQ(combo->GetSelection(), c.item) << c.rate;
        EXPECT_EQ(combo->GetString(2), "19200");
        gps::CloseGpsPort();
    }
}

}  // namespace
}  // namespace frame
