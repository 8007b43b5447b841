// The wind and team-code dialogs from the real resource bundle, run
// modally and driven from inside their own event loops.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <string>

#include "core/geodesy.h"
#include "core/settings_values.h"
#include "frame/team_dialog.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "frame/value_list_box.h"
#include "frame/wind_dialog.h"
#include "glide/current_wind.h"
#include "glide/wind_history.h"
#include "gps/settings_values.h"
#include "nav/team_code.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/ids/strings_wind.h"
#include "resources/ids/team_dialog.h"
#include "resources/ids/wind_dialog.h"
#include "services/string_resources.h"
#include "testing/units.h"
#include "testing/wx_test_app.h"
#include "texts/display_texts.h"

namespace frame {
namespace {

namespace gui = platform::gui;
namespace team_ids = xrc::team_dialog;
namespace wind_ids = xrc::wind_dialog;
using frame::testing::kBinaryDir;
using frame::testing::OpenBuiltBundle;
using test_support::kRadiansPerDegree;
class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        delete wxLog::SetActiveTarget(new wxLogStderr);
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        core::SetStringProvider(&gui::BundleString);
        core::g_unitSpeed = 0;
        core::g_unitAlt = 0;
        core::g_unitDist = 1;  // nautical miles
        core::g_magneticVariation = 0.0;
        glide::ClearWindHistory();
        glide::SetCurrentWind({});
    }
    ~DialogTest() override {
        glide::ClearWindHistory();
        glide::SetCurrentWind({});
        nav::SetTeamSettings(nav::TeamSettings{});
        core::SetStringProvider(nullptr);
        platform::SetAppSettings(nullptr);
        core::g_unitDist = 0;
    }

    // Runs a dialog modally; drive acts inside its loop and ends it.
    static int RunModal(wxDialog& dialog, const std::function<int()>& modal,
                        const std::function<void()>& drive) {
        wxTheApp->CallAfter([&dialog, drive] {
            drive();
            if (dialog.IsModal()) dialog.EndModal(-2);
        });
        return modal();
    }
    static std::wstring TextOf(wxWindow& dialog, int id) {
        wxWindow* control = dialog.FindWindow(id);
        if (control == nullptr) return L"<missing>";
        if (auto* entry = dynamic_cast<wxTextEntry*>(control)) return entry->GetValue().ToStdWstring();
        return control->GetLabel().ToStdWstring();
    }
    static void Type(wxWindow& dialog, int id, const std::wstring& text) {
        dynamic_cast<wxTextEntry*>(dialog.FindWindow(id))->ChangeValue(text);
    }
    static void Click(wxWindow& dialog, int id) {
        wxWindow* control = dialog.FindWindow(id);
        ASSERT_NE(control, nullptr) << id;
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(control);
        control->ProcessWindowEvent(click);
    }

    std::shared_ptr<const gui::ResourceBundle> bundle_ = OpenBuiltBundle();
    gui::ResourceBundleInstallation installation_{bundle_};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(DialogTest, AWindSetInTheWindDialogReachesTheWindTexts) {
    ASSERT_TRUE(installation_.XrcLoaded());
    gps::g_windMethod = gps::WindMethod::kHeading;
    glide::SetCurrentWind({12.0F, 270.0 * kRadiansPerDegree, true});
    glide::FormatWindText();
    glide::SetCurrentWind({8.0F, 90.0 * kRadiansPerDegree, true});
    glide::FormatWindText();

    CWindDialog dialog(nullptr);
    ASSERT_TRUE(dialog.Loaded());
    const int result = RunModal(dialog, [&] { return dialog.DoModal(); }, [&] {
        EXPECT_EQ(TextOf(dialog, wind_ids::kDirectionEdit), L"90");
        EXPECT_EQ(TextOf(dialog, wind_ids::kSpeedEdit), L"8");
        EXPECT_EQ(TextOf(dialog, wind_ids::kSpeedUnit), L"kts");
        EXPECT_TRUE(dialog.FindWindow(wind_ids::kResetHeading)->IsEnabled());
        auto* list = dynamic_cast<CValueListBox*>(dialog.FindWindow(wind_ids::kHistoryList));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->GetCount(), 2);
        EXPECT_EQ(list->GetString(0).ToStdWstring(), glide::WindHistory().front().line);  // newest first

        // Selecting the older line copies its direction and speed.
        list->SetSelection(1);
        wxCommandEvent select(wxEVT_LISTBOX, wind_ids::kHistoryList);
        select.SetEventObject(list);
        select.SetInt(1);
        list->ProcessWindowEvent(select);
        EXPECT_EQ(TextOf(dialog, wind_ids::kDirectionEdit), L"270.0");
        EXPECT_EQ(TextOf(dialog, wind_ids::kSpeedEdit), L"12.0");

        // A heading that is no number keeps the dialog open.
        Type(dialog, wind_ids::kHeadingEdit, L"north");
        Click(dialog, wxID_OK);
        EXPECT_TRUE(dialog.IsModal());
        ASSERT_EQ(boxes_->Boxes().size(), 1U);
        EXPECT_EQ(boxes_->Boxes()[0].text, gui::BundleString(ids::kIdsWindHeadingNotNumber));
        EXPECT_EQ(boxes_->Boxes()[0].caption, gui::BundleString(ids::kIdsWindHeadingCaption));

        // A direction of 360 fails the range check.
        Type(dialog, wind_ids::kHeadingEdit, L"");
        Type(dialog, wind_ids::kDirectionEdit, L"360");
        Click(dialog, wxID_OK);
        EXPECT_TRUE(dialog.IsModal());

        Type(dialog, wind_ids::kDirectionEdit, L"225");
        Type(dialog, wind_ids::kSpeedEdit, L"\uFF11\uFF14.5");  // full-width "14"
        EXPECT_TRUE(gui::SaveScreenshot(dialog, kBinaryDir / "screenshots" / "wind_202.png"));
        Click(dialog, wxID_OK);
    });
    ASSERT_EQ(result, wxID_OK);
    EXPECT_EQ(glide::WindText.Get(), L" Wnd:  14.5kts   225t");
    EXPECT_EQ(glide::WindHistory().size(), 3U);
    const glide::Wind wind = glide::CurrentWind();
    EXPECT_NEAR(wind.speed, 14.5, 1e-4);
    EXPECT_NEAR(wind.direction, 225.0 * kRadiansPerDegree, 1e-6);
    gps::g_windMethod = gps::WindMethod::kNone;
}

TEST_F(DialogTest, ACodeTypedIntoTheTeamDialogShowsDistanceAndBearing) {
    ASSERT_TRUE(installation_.XrcLoaded());
    nav::TeamSettings team;
    team.encodeInfo = 3;
    team.centerLat = 47.0 * kRadiansPerDegree;
    team.centerLon = -8.0 * kRadiansPerDegree;
    team.wptName = L"Home field";
    team.lastCode = L"1";
    nav::SetTeamSettings(team);

    // The own position 10 nm south of the centre.
    const core::GeodesicDirectResult own = core::g_ellipsoid.GeodesicDirect(
        team.centerLat, -team.centerLon, std::numbers::pi, 10.0, true);
    nav::TeamDialogModel model;
    model.ownLat = own.latitude;
    model.ownLon = -own.lonEast;
    model.ownKnown = true;
    model.code = L"1";  // the last code
    CTeamDialog dialog(nullptr, model);
    ASSERT_TRUE(dialog.Loaded());
    const int result = RunModal(dialog, [&] { return dialog.DoModal(); }, [&] {
        EXPECT_EQ(TextOf(dialog, team_ids::kNameText), L"Home field");
        EXPECT_EQ(TextOf(dialog, team_ids::kCodeField), L"1");
        EXPECT_TRUE(dialog.FindWindow(team_ids::kShow)->IsEnabled());
        Click(dialog, team_ids::kBackspace);
        EXPECT_EQ(TextOf(dialog, team_ids::kCodeField), L"");
        // 90 degrees from the centre, 1250 m: "90C" with the key's shift
        // 1 on every digit reads "A1D"; typed with a button, keys and a
        // mistake taken back.
        Click(dialog, team_ids::kFirstCharacter + 10);  // "A"
        for (const int key : {int{'1'}, int{'x'}, int{WXK_BACK}, int{'d'}}) {
            wxKeyEvent press(wxEVT_CHAR_HOOK);
            press.m_keyCode = key;
            dialog.ProcessWindowEvent(press);
        }
        EXPECT_EQ(TextOf(dialog, team_ids::kCodeField), L"A1D");
        Click(dialog, team_ids::kShow);
        // From 10 nm south: just over 10 nm, bearing a little east of north.
        const std::wstring shown = TextOf(dialog, team_ids::kResultText);
        EXPECT_EQ(shown.substr(0, 8), L"  10.0N ") << shown;
        EXPECT_EQ(shown.substr(8), L"     4m") << shown;
        EXPECT_TRUE(gui::SaveScreenshot(dialog, kBinaryDir / "screenshots" / "team_288.png"));
        Click(dialog, wxID_OK);
    });
    ASSERT_EQ(result, wxID_OK);
    ASSERT_TRUE(dialog.Result().has_value());
    EXPECT_EQ(dialog.Result()->record.name.View(), L"A1D");
}

TEST_F(DialogTest, OkOnACodeThatDoesNotDecodeSetsNothing) {
    ASSERT_TRUE(installation_.XrcLoaded());
    nav::TeamSettings team;
    team.encodeInfo = 1;
    nav::SetTeamSettings(team);
    nav::TeamDialogModel model;
    model.code = L"9";
    CTeamDialog dialog(nullptr, model);
    ASSERT_TRUE(dialog.Loaded());
    RunModal(dialog, [&] { return dialog.DoModal(); }, [&] {
        EXPECT_FALSE(dialog.FindWindow(team_ids::kShow)->IsEnabled());  // no own position
        Click(dialog, wxID_OK);
        EXPECT_TRUE(dialog.IsModal());
        EXPECT_EQ(TextOf(dialog, team_ids::kResultText), L"???");
        Click(dialog, wxID_CANCEL);
    });
    EXPECT_FALSE(dialog.Result().has_value());
}

}  // namespace
}  // namespace frame
