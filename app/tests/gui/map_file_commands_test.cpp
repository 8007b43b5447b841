// The map's file commands through the real main window: menu events reach
// the map window over the installed links, the file dialogs are answered
// by the test hook, the export options dialog is driven as a pilot would,
// and the overlay is seen drawn over the map and gone again.

#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/menu.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/map_view_links.h"
#include "fix/display_links.h"
#include "frame/frame_commands.h"
#include "frame/main_frame.h"
#include "frame/map_command_dialogs_wx.h"
#include "frame/position_links.h"
#include "frame/small_dialogs.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "map/map_view.h"
#include "map/overlay_command.h"
#include "mapdata/dib.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/ids/frame_dialogs.h"
#include "resources/ids/strings.h"
#include "resources/ids/strings_map.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace {

using namespace std::chrono_literals;

constexpr char kMainMap[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,0,0,-7,0,0,-5,Town\r\n"
    "47,0,0,-7,0,0,-7,;5000,1000F\r\n"
    "47,0,0,-7,0,0,1,@3\r\n";
// A red area over the middle of the main map.
constexpr char kOverlayMap[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,10,0,-7,10,0,-2,18,255,0,0,1\r\n"
    "46,50,0,-7,10,0,-1\r\n"
    "46,50,0,-6,50,0,-1\r\n"
    "47,10,0,-6,50,0,-1\r\n";

class MapFileCommandsTest : public frame::testing::BundleSuite {
  protected:
    void SetUp() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(scratch_ / "settings"));
        frame::g_nNavDisplay = 0;
        map::g_overlayFileName.Set(L"");
        window_ = new frame::CMainFrame;
        ASSERT_TRUE(window_->LoadFrame({800, 480}));
        window_->Show();
        app::InstallMapViewLinks(window_->MapView());
        platform::gui::ProcessEventsFor(200ms);
        ASSERT_NE(window_->MapView(), nullptr);
        ASSERT_EQ(Map().LoadMapFile(scratch_.Write("main.map", kMainMap).wstring(), 0), 1);
        WaitForMap();
    }
    void TearDown() override {
        frame::SetMapFileDialogHook({});
        app::RemoveMapViewLinks();
        if (window_ != nullptr) window_->Destroy();
        platform::gui::ProcessEventsFor(50ms);
        platform::SetAppSettings(nullptr);
    }

    void WaitForMap() {
        EXPECT_TRUE(platform::gui::ProcessEventsUntil(
            [this] { return Map().MapReadDone(); }, 5000ms));
        platform::gui::ProcessEventsFor(300ms);
    }

    map::CGPSmapView& Map() const { return *window_->MapView(); }

    void Menu(int command) {
        wxCommandEvent event(wxEVT_MENU, platform::gui::WxIdFromCommand(command));
        event.SetEventObject(window_);
        window_->GetEventHandler()->ProcessEvent(event);
        platform::gui::ProcessEventsFor(50ms);
    }

    bool Enabled(int command) {
        window_->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        window_->GetMenuBar()->UpdateMenus();
        return window_->GetMenuBar()->IsEnabled(platform::gui::WxIdFromCommand(command));
    }

    // Answers the file dialogs in turn (Cancel once they run out), noting
    // each request and the modal flag at the time.
    void AnswerFileDialogs(std::vector<std::optional<std::filesystem::path>> answers) {
        frame::SetMapFileDialogHook(
            [this, answers = std::move(answers), next = std::size_t{0}](
                bool save, const map::FileDialogRequest& request) mutable
            -> std::optional<map::FileDialogAnswer> {
                asked_.push_back({save, request.title});
                modalAtDialog_.push_back(frame::g_bModalDialogOpen.load());
                if (next >= answers.size() || !answers[next]) {
                    ++next;
                    return std::nullopt;
                }
                return map::FileDialogAnswer{answers[next++]->wstring(), 1};
            });
    }

    // Pixels of the map's last paint in pure red.
    int RedPixels() {
        wxBitmap bitmap;
        if (!Map().LastFrame(bitmap)) return -1;
        const wxImage image = bitmap.ConvertToImage();
        int red = 0;
        for (int y = 0; y < image.GetHeight(); ++y) {
            for (int x = 0; x < image.GetWidth(); ++x) {
                if (image.GetRed(x, y) == 255 && image.GetGreen(x, y) == 0 && image.GetBlue(x, y) == 0)
                    ++red;
            }
        }
        return red;
    }

    test_support::ScratchFolder scratch_{"map-commands"};
    platform::gui::ScopedUiBridge bridge_;
    frame::CMainFrame* window_ = nullptr;  // owned by wx
    std::vector<std::pair<bool, std::wstring>> asked_;
    std::vector<int> modalAtDialog_;
};

TEST_F(MapFileCommandsTest, BothExportsRunThroughTheFrame) {
    platform::ScopedRecordingSink boxes;
    ASSERT_TRUE(Enabled(frame::cmd::kExportBitmap));
    ASSERT_TRUE(Enabled(frame::cmd::kExportBinaryMap));

    AnswerFileDialogs({scratch_ / "out.bmp"});
    frame::testing::WhenOpened<frame::CMapExportDlg>(window_, [](frame::CMapExportDlg& dialog) {
        frame::testing::Type(dialog, xrc::frame_dialogs::kExportScale, "2.96");
        frame::testing::Click(dialog, wxID_OK);
    });
    Menu(frame::cmd::kExportBitmap);
    mapdata::CDib dib;
    ASSERT_TRUE(dib.LoadQuietly(scratch_ / "out.bmp"));
    const platform::PixelRect rect = Map().Model().drawRect;
    EXPECT_EQ(dib.GetSize().width, static_cast<int>(rect.right * 2.96F));
    EXPECT_EQ(dib.GetSize().height, static_cast<int>(rect.bottom * 2.96F));
    EXPECT_EQ(dib.Header().bitCount, 24);
    EXPECT_TRUE(std::filesystem::exists(scratch_ / "out.flt"));
    EXPECT_EQ(platform::AppSettings().GetString("Settings\\MapExport", "scale", std::string_view()), "3");

    AnswerFileDialogs({scratch_ / "out.gpm"});
    Menu(frame::cmd::kExportBinaryMap);
    std::ifstream binary(scratch_ / "out.gpm", std::ios::binary);
    std::string head(6, '\0');
    binary.read(head.data(), 6);
    EXPECT_EQ(head.substr(0, 2), std::string(";\xFB"));
    EXPECT_EQ(head.substr(4, 2), "KO");

    EXPECT_EQ(asked_, (std::vector<std::pair<bool, std::wstring>>{{true, L"Export Map File"},
                                                                   {true, L"Binary Map File"}}));
    EXPECT_EQ(modalAtDialog_, (std::vector<int>{1, 1}));
    EXPECT_EQ(frame::g_bModalDialogOpen.load(), 0);
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(MapFileCommandsTest, OverlayIsDrawnOverTheMapAndRemovedOnCancel) {
    platform::ScopedRecordingSink boxes;
    EXPECT_EQ(RedPixels(), 0);
    EXPECT_FALSE(Enabled(frame::cmd::kOverlay));

    const auto overlay = scratch_.Write("over.map", kOverlayMap);
    AnswerFileDialogs({overlay});
    Menu(frame::cmd::kOverlayFile);
    WaitForMap();
    EXPECT_EQ(platform::AppSettings().GetString("Settings", "OverlayFile", std::wstring_view()),
              overlay.wstring());
    EXPECT_TRUE(Enabled(frame::cmd::kOverlay));
    EXPECT_GT(RedPixels(), 200) << "the overlay's area is drawn";
    EXPECT_TRUE(platform::gui::SaveScreenshot(*window_, frame::testing::Screenshot("map_overlay.png")));

    // The overlay switch hides it and shows it again.
    Menu(frame::cmd::kOverlay);
    WaitForMap();
    EXPECT_EQ(RedPixels(), 0) << "the hidden overlay is still drawn";
    Menu(frame::cmd::kOverlay);
    WaitForMap();
    EXPECT_GT(RedPixels(), 200) << "the overlay is shown again";

    // Cancel with the overlay set, and Yes: it goes.
    boxes->QueueAnswer(platform::kIdYes);
    AnswerFileDialogs({std::nullopt});
    Menu(frame::cmd::kOverlayFile);
    WaitForMap();
    ASSERT_EQ(boxes->Boxes().size(), 1U);
    EXPECT_EQ(boxes->Boxes()[0].text, core::LoadResourceString(ids::kIdsRemoveOverlay));
    EXPECT_EQ(platform::AppSettings().GetString("Settings", "OverlayFile", std::wstring_view(L"x")), L"");
    EXPECT_FALSE(Enabled(frame::cmd::kOverlay));
    EXPECT_EQ(RedPixels(), 0) << "nothing is drawn over the map";
    EXPECT_EQ(modalAtDialog_, (std::vector<int>{1, 1}));
    EXPECT_EQ(frame::g_bModalDialogOpen.load(), 0);
}

// The fix-processing thread reaches the position page over the installed
// links: its repaint request arrives at the page (else the page's fields
// freeze while circling, when no straight-flight message comes), and the
// leg's profile is handed over only while the page shows it.
TEST_F(MapFileCommandsTest, TheFixPassReachesThePositionPage) {
    wxWindow page(window_, wxID_ANY);
    int repaints = 0;
    const platform::gui::WindowRegistration registration(
        platform::kPosViewWindow, page, [&repaints](const platform::WindowMessage& message) {
            if (message.message == frame::kPositionPageRepaint) ++repaints;
            return std::intptr_t{0};
        });
    const std::shared_ptr<gps::DisplayLinks> links = gps::CurrentDisplayLinks();
    ASSERT_NE(links, nullptr);
    links->InvalidatePositionPage();
    EXPECT_TRUE(platform::gui::ProcessEventsUntil([&repaints] { return repaints == 1; }, 2000ms));

    for (const bool shown : {true, false}) {
        frame::g_positionPageShowsProfile = shown;
        EXPECT_EQ(links->ProfileModeOn(), shown);
    }
    // The zoom near the destination leaves a map the pilot fixed alone.
    EXPECT_FALSE(links->MapZoomFixed());
    map::g_mapDisplayMode = map::kFocusObject;
    EXPECT_TRUE(links->MapZoomFixed());
    map::g_mapDisplayMode = map::kMovingMap;
}

// A new map chosen before the first fix: nothing is loaded, the empty file
// is not kept, and the pilot is told why instead of seeing nothing happen.
TEST_F(MapFileCommandsTest, ANewMapWithoutAFixIsRefusedWithABox) {
    map::g_bHaveFix = 0;
    const platform::ScopedRecordingSink boxes;
    const std::filesystem::path fresh = scratch_ / "fresh.map";
    EXPECT_EQ(Map().LoadMapFile(fresh.wstring(), 0), 0);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    const auto shown = (*boxes).Boxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].text, core::LoadResourceString(ids::kIdsNewMapWithoutFix));
    EXPECT_FALSE(shown[0].text.empty());
    EXPECT_EQ(shown[0].caption, core::LoadResourceString(ids::kIdsMapCaption));
}

}  // namespace
