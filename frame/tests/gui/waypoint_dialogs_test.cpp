// The waypoint list, the reachable list and the new-waypoint dialog from the
// real resource bundle, over a waypoint file of a few thousand points.
#include <gtest/gtest.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/settings_values.h"
#include "frame/new_waypoint_dialog.h"
#include "frame/task_dialog.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "map/drawing_tables.h"
#include "mapdata/map_palette.h"
#include "nav/current_position.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "resources/ids/new_waypoint_dialog.h"
#include "resources/ids/task_dialog.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace frame {
namespace {

namespace gui = platform::gui;
using frame::testing::Click;
using frame::testing::OpenBuiltBundle;
using frame::testing::RunModal;
using frame::testing::Screenshot;
using frame::testing::TextOf;
using frame::testing::Type;
using frame::testing::WhenOpened;
namespace task_ids = xrc::task_dialog;
namespace waypoint_ids = xrc::new_waypoint_dialog;

constexpr int kWaypointCount = 3000;

// "ALT[M]" and kWaypointCount marked waypoints named by letter and number,
// in metres, around 46..47 N 7..8 E (east: negative).
std::string FixtureFile() {
    std::string text = "ALT[M]\r\n";
    for (int i = 0; i < kWaypointCount; ++i) {
        const char letter = static_cast<char>('B' + i % 20);  // B..U, no A
        text += "^" + std::string(1, letter) + "Point" + std::to_string(i) + "," +
                std::to_string(46.0 + (i % 100) * 0.01) + ",0,0," +
                std::to_string(-7.0 - (i / 100) * 0.03) + ",0,0," + std::to_string(300 + i % 700) +
                "\r\n";
    }
    return text;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int IndexOf(std::wstring_view name) {
    const platform::CriticalSectionLock lock(nav::WaypointListLock);
    for (int i = 0; i < nav::g_waypoints.Count(); ++i)
        if (nav::g_waypoints.At(i)->record.name.View() == name) return i;
    return -1;
}

std::wstring NameAt(int index) {
    const platform::CriticalSectionLock lock(nav::WaypointListLock);
    const nav::CWaypointEntry* entry = nav::g_waypoints.At(index);
    return entry != nullptr ? std::wstring(entry->record.name.View()) : std::wstring();
}

class WaypointDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installation_.XrcLoaded());
        core::SetStringProvider(&gui::BundleString);
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        core::g_unitAlt = 1;
        core::g_unitDist = 2;
        path_ = folder_.Write("fixture.dta", FixtureFile());
        std::wstring path = platform::FromUtf8(path_.string());
        ASSERT_EQ(nav::OpenWaypointFile(nav::g_waypointFile, path, true, true, false), 1);
        ASSERT_EQ(nav::g_waypoints.Count(), kWaypointCount);
        const platform::CriticalSectionLock lock(core::MapLock);
        nav::g_mapFix = nav::WaypointRecord(46.5, -7.5, true);
        nav::g_mapFix.altitude = 6000.0F;
    }
    void TearDown() override {
        nav::CloseWaypoints(1000);
        platform::SetAppSettings(nullptr);
        core::SetStringProvider(nullptr);
        core::g_unitAlt = 0;
        core::g_unitDist = 0;
    }

    std::shared_ptr<const gui::ResourceBundle> bundle_ = OpenBuiltBundle();
    gui::ResourceBundleInstallation installation_{bundle_};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
    test_support::ScratchFolder folder_{"kv-waypoint-dialogs"};
    std::filesystem::path path_;
};

TEST_F(WaypointDialogsTest, TheListJumpsToTheFirstNameOfATypedLetter) {
    CTaskDialog dialog(nullptr, TaskDialogOptions{.pickOnly = true});
    ASSERT_TRUE(dialog.Loaded());
    const int result = RunModal(
        dialog, [&] { return dialog.DoModal(); },
        [&] {
            CSelectListCtrl* list = dialog.WaypointList();
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->GetItemCount(), kWaypointCount);
            EXPECT_EQ(list->Selected(), 0);
            EXPECT_NE(TextOf(dialog, task_ids::kInfoText).find(NameAt(0)), std::wstring::npos);

            EXPECT_TRUE(dialog.HandleKey('m'));
            const int m = list->Selected();
            EXPECT_EQ(NameAt(m).front(), L'M');
            EXPECT_NE(NameAt(m - 1).front(), L'M');
            EXPECT_TRUE(dialog.HandleKey('A'));  // no name begins with A
            EXPECT_EQ(list->Selected(), m);
            EXPECT_TRUE(dialog.HandleKey(WXK_DOWN));
            EXPECT_EQ(list->Selected(), m + 1);
            EXPECT_EQ(list->SelectItem(kWaypointCount), -1);  // no such row
            EXPECT_EQ(list->Selected(), m + 1);

            const wxSize size = dialog.GetSize();
            EXPECT_LE(size.x, 800);
            EXPECT_LE(size.y, 480);
            EXPECT_TRUE(gui::SaveScreenshot(dialog, Screenshot("task_dialog_213_waypoints.png")));
            Click(dialog, task_ids::kOkOrRevert);
        });
    EXPECT_EQ(result, wxID_OK);
    ASSERT_TRUE(dialog.Chosen());
    EXPECT_EQ(dialog.Chosen()->name.View().front(), L'M');
}

TEST_F(WaypointDialogsTest, TheReachableListRanksTheMarkedWaypoints) {
    CTaskDialog dialog(nullptr, TaskDialogOptions{.mode = TaskDialogMode::kReachable});
    RunModal(
        dialog, [&] { return dialog.DoModal(); },
        [&] {
            CValueListBox* list = dialog.ReachableList();
            ASSERT_NE(list, nullptr);
            EXPECT_GE(list->GetCount(), 1);
            EXPECT_LE(list->GetCount(), 16);
            EXPECT_EQ(list->GetSelection(), 0);
            EXPECT_TRUE(gui::SaveScreenshot(dialog, Screenshot("task_dialog_213_reachable.png")));
            Click(dialog, wxID_CANCEL);
        });
}

TEST_F(WaypointDialogsTest, AMapPointShowsItsPenColourAndSymbol) {
    map::CreateMapGdiResources(gui::BundleImage, folder_.Path());
    CNewWaypointDialog dialog(nullptr, true);
    ASSERT_TRUE(dialog.Loaded());
    dialog.Model().fields.mapCode = 1;  // an airfield
    dialog.Model().fields.pen = 3;
    RunModal(
        dialog, [&] { return dialog.DoModal(); },
        [&] {
            const wxColour pen = dialog.FindWindow(waypoint_ids::kPenColour)->GetBackgroundColour();
            const mapdata::Rgb three = *mapdata::PaletteColour(3);
            EXPECT_EQ(pen, wxColour(three.red, three.green, three.blue));
            const auto* symbol =
                dynamic_cast<wxStaticBitmap*>(dialog.FindWindow(waypoint_ids::kSymbol));
            ASSERT_NE(symbol, nullptr);
            EXPECT_TRUE(symbol->IsShown());
            EXPECT_TRUE(symbol->GetBitmap().IsOk());
            EXPECT_TRUE(gui::SaveScreenshot(dialog, Screenshot("new_waypoint_map_point.png")));
            Click(dialog, wxID_CANCEL);
        });
    map::FreeMapGdiResources();
}

TEST_F(WaypointDialogsTest, AddsAWaypointInMetresAndEditingCommentsTheOldLineOut) {
    CNewWaypointDialog dialog(nullptr);
    ASSERT_TRUE(dialog.Loaded());
    const int result = RunModal(
        dialog, [&] { return dialog.DoModal(); },
        [&] {
            EXPECT_EQ(TextOf(dialog, waypoint_ids::kAltitudeLabel), L"Altitude [m]");
            Type(dialog, waypoint_ids::kNameEdit, "Ridge Top");
            Type(dialog, waypoint_ids::kLatitudeDegreesEdit, "46");
            Type(dialog, waypoint_ids::kLatitudeMinutesEdit, "30");
            Type(dialog, waypoint_ids::kLatitudeSecondsEdit, "0");
            Type(dialog, waypoint_ids::kLongitudeDegreesEdit, "7");
            Type(dialog, waypoint_ids::kLongitudeMinutesEdit, "15");
            Type(dialog, waypoint_ids::kLongitudeSecondsEdit, "0");
            dynamic_cast<wxRadioButton*>(dialog.FindWindow(waypoint_ids::kEastRadio))
                ->SetValue(true);  // east
            Type(dialog, waypoint_ids::kComment, "Summit cross");

            Type(dialog, waypoint_ids::kAltitudeEdit, "20000");  // beyond 12000 m: refused
            Click(dialog, waypoint_ids::kOkCommand);
            EXPECT_TRUE(dialog.IsModal());
            EXPECT_FALSE(boxes_->Boxes().empty());

            Type(dialog, waypoint_ids::kAltitudeEdit, "3000");
            const wxSize size = dialog.GetSize();
            EXPECT_LE(size.x, 800);
            EXPECT_LE(size.y, 480);
            EXPECT_TRUE(gui::SaveScreenshot(dialog, Screenshot("new_waypoint_205.png")));
            Click(dialog, waypoint_ids::kOkCommand);
        });
    ASSERT_EQ(result, wxID_OK);
    const std::string file = ReadFile(path_);
    EXPECT_NE(file.find("\r\n\\Ridge Top,46.5000000,0,0,-7.2500000,0,0,3000M\r\nSummit cross\r\n"),
              std::string::npos);
    const int added = IndexOf(L"Ridge Top");
    ASSERT_GE(added, 0);
    EXPECT_EQ(dialog.Result().index, added);

    // Edit it: the new line is appended, the old one commented out.
    CNewWaypointDialog edit(nullptr);
    {
        const platform::CriticalSectionLock lock(nav::WaypointListLock);
        const nav::CWaypointEntry* entry = nav::g_waypoints.At(added);
        edit.Model().FillFrom(entry->record, &entry->extension);
    }
    edit.Model().editIndex = added;
    edit.presetHemispheres = true;
    const int edited = RunModal(
        edit, [&] { return edit.DoModal(); },
        [&] {
            EXPECT_EQ(TextOf(edit, waypoint_ids::kNameEdit), L"Ridge Top");
            EXPECT_EQ(TextOf(edit, waypoint_ids::kAltitudeEdit), L"3000");
            EXPECT_TRUE(dynamic_cast<wxRadioButton*>(edit.FindWindow(waypoint_ids::kEastRadio))
                            ->GetValue());
            Type(edit, waypoint_ids::kNameEdit, "Ridge Summit");
            Click(edit, waypoint_ids::kOkCommand);
        });
    ASSERT_EQ(edited, wxID_OK);
    const std::string after = ReadFile(path_);
    EXPECT_NE(after.find("\r\n;Ridge Top,46.5000000"), std::string::npos)
        << ::testing::PrintToString(after.substr(after.size() - 300));
    EXPECT_NE(
        after.find("\r\n\\Ridge Summit,46.5000000,0,0,-7.2500000,0,0,3000M\r\nSummit cross\r\n"),
        std::string::npos)
        << after.substr(after.size() - 300);
    EXPECT_NE(
        after.find("\r\n\\Ridge Summit,46.5000000,0,0,-7.2500000,0,0,3000M\r\nSummit cross\r\n"),
        std::string::npos);
    EXPECT_EQ(IndexOf(L"Ridge Top"), -1);
    EXPECT_GE(IndexOf(L"Ridge Summit"), 0);
}

TEST_F(WaypointDialogsTest, NewWaypointFromTheListSelectsIt) {
    CTaskDialog dialog(nullptr, TaskDialogOptions{});
    RunModal(
        dialog, [&] { return dialog.DoModal(); },
        [&] {
            WhenOpened<CNewWaypointDialog>(&dialog, [](CNewWaypointDialog& added) {
                Type(added, waypoint_ids::kNameEdit, "Aardvark");
                Type(added, waypoint_ids::kLatitudeDegreesEdit, "46");
                Type(added, waypoint_ids::kLongitudeDegreesEdit, "7");
                Type(added, waypoint_ids::kAltitudeEdit, "500");
                Click(added, waypoint_ids::kOkCommand);
            });
            Click(dialog, task_ids::kNewOrOk);
            EXPECT_EQ(dialog.WaypointList()->GetItemCount(), kWaypointCount + 1);
            EXPECT_EQ(NameAt(dialog.WaypointList()->Selected()), L"Aardvark");
            Click(dialog, wxID_CANCEL);
        });
}

}  // namespace
}  // namespace frame
