#include "frame/main_frame.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "frame/position_view.h"
#include "frame/static_splitter.h"
#include "map/map_view.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "resources/ids/strings.h"
#include "services/flight_log.h"
#include "services/string_resources.h"
#include "testing/wx_test_app.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using frame::CMainFrame;

const fs::path kScreenshots = fs::path(KV_BINARY_DIR) / "screenshots";

class MainFrameTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        auto library = platform::DynamicLibrary::Open(KV_BINARY_DIR "/KOR_VANresDLL.dll");
        ASSERT_TRUE(library.IsOpen()) << library.Error();
        installation_ = std::make_unique<platform::gui::ResourceBundleInstallation>(
            std::make_shared<const platform::gui::ResourceBundle>(std::move(library)));
        core::SetStringProvider(&platform::gui::BundleString);
    }
    static void TearDownTestSuite() {
        core::SetStringProvider(nullptr);
        installation_.reset();
    }
    void TearDown() override {
        if (frame_ != nullptr) frame_->Destroy();
        platform::gui::ProcessEventsFor(50ms);
        platform::SetProgramStopping(false);
        platform::SetAppSettings(nullptr);
    }

    CMainFrame& Open(frame::ScreenSize screen) {
        frame_ = new CMainFrame;
        EXPECT_TRUE(frame_->LoadFrame(screen));
        frame_->Show();
        platform::gui::ProcessEventsFor(200ms);
        return *frame_;
    }

    static inline std::unique_ptr<platform::gui::ResourceBundleInstallation> installation_;
    CMainFrame* frame_ = nullptr;  // owned by wx
};

TEST_F(MainFrameTest, LandscapePutsThePositionPageRightOfTheMap) {
    CMainFrame& window = Open({800, 480});
    EXPECT_EQ(frame::g_bPortrait, 0);
    EXPECT_EQ(frame::g_hMainFrameWnd, &window);
    ASSERT_NE(window.MapView(), nullptr);
    ASSERT_NE(frame::g_pPosView, nullptr);
    EXPECT_EQ(window.PopupText(), &frame::g_pPosView->NotesWindow());

    const wxSize client = window.Splitter()->GetClientSize();
    EXPECT_EQ(window.Splitter()->GetSize(), window.GetClientSize());
    EXPECT_EQ(frame::g_pPosView->GetSize(), wxSize(240, client.y));
    EXPECT_EQ(frame::g_pPosView->GetPosition(), wxPoint(client.x - 240, 0));
    EXPECT_EQ(window.MapView()->GetSize(), wxSize(client.x - 244, client.y));
    EXPECT_TRUE(window.MapView()->MapTimerRunning());  // the map's timer runs from its creation
    EXPECT_TRUE(platform::gui::SaveScreenshot(window, kScreenshots / "main_frame_landscape.png"));
}

TEST_F(MainFrameTest, PortraitPutsThePositionPageBelowTheMap) {
    CMainFrame& window = Open({480, 800});
    EXPECT_EQ(frame::g_bPortrait, 1);
    const wxSize client = window.Splitter()->GetClientSize();
    EXPECT_EQ(frame::g_pPosView->GetSize(), wxSize(client.x, 125));
    EXPECT_EQ(window.MapView()->GetSize(), wxSize(client.x, client.y - 129));
    // Resizing keeps the position page's height; the map takes the change.
    window.SetSize(480, 700);
    platform::gui::ProcessEventsFor(100ms);
    EXPECT_EQ(frame::g_pPosView->GetSize().y, 125);
    EXPECT_EQ(window.MapView()->GetSize().y, window.Splitter()->GetClientSize().y - 129);
    window.SetSize(480, 800);
    platform::gui::ProcessEventsFor(100ms);
    EXPECT_TRUE(platform::gui::SaveScreenshot(window, kScreenshots / "main_frame_portrait.png"));
}

TEST_F(MainFrameTest, MenuBarToolbarAndTheInsertedItem) {
    CMainFrame& window = Open({800, 480});
    EXPECT_EQ(window.GetTitle(), "KOR_VAN");
    ASSERT_NE(window.GetToolBar(), nullptr);
    wxMenu* first = window.GetSubMenuAt(0);
    ASSERT_NE(first, nullptr);
    const wxMenuItem* inserted = first->FindItemByPosition(5);
    EXPECT_EQ(inserted->GetId(), platform::gui::WxIdFromCommand(frame::kCommandResimplifyMap));
    EXPECT_EQ(inserted->GetItemLabel(), wxString(core::LoadResourceString(ids::kIdsResimplifyMap)));
    EXPECT_EQ(window.GetSubMenuAt(99), nullptr);
}

TEST_F(MainFrameTest, ArrowKeysGoToTheMapUnlessTheNotesScroll) {
    CMainFrame& window = Open({800, 480});
    const platform::ScopedRecordingUiPost posts;
    const auto press = [&window](int key) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = key;
        window.GetEventHandler()->ProcessEvent(event);
    };
    using Record = platform::RecordingUiPostBackend::Record;
    const auto mapKey = [](std::uintptr_t key) {
        return Record{platform::kMapViewWindow, platform::WM_USER_MAPKEY, key, 1, false};
    };
    press(WXK_LEFT);
    press(WXK_RIGHT);
    press(WXK_UP);
    press(WXK_DOWN);
    press('A');
    EXPECT_EQ(posts->Records(),
              (std::vector<Record>{mapKey(0x25), mapKey(0x27), mapKey(0x26), mapKey(0x28)}));

    posts->Clear();
    window.PopupText()->Show();
    press(WXK_UP);
    press(WXK_DOWN);
    press(WXK_LEFT);
    EXPECT_EQ(posts->Records(), std::vector<Record>{mapKey(0x25)});
}

TEST_F(MainFrameTest, CloseClosesTheLogAndStopsAtOnceWhenNothingRuns) {
    CMainFrame& window = Open({800, 480});
    const fs::path log = fs::temp_directory_path() / ("kv-frame-log-" + std::to_string(::getpid()));
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Attach(platform::UniqueFd(::open(log.c_str(), O_RDWR | O_CREAT, 0600)));
        ASSERT_TRUE(core::g_hFlightLog.IsOpen());
    }
    map::CGPSmapView* mapView = window.MapView();
    const wxWeakRef<map::CGPSmapView> mapRef(mapView);
    bool listened = false;
    CMainFrame::SetCloseListener([&] {
        listened = true;
        EXPECT_FALSE(core::g_hFlightLog.IsOpen());
        EXPECT_FALSE(mapView->MapTimerRunning());
        EXPECT_TRUE(mapView->MapReadDone());
        EXPECT_TRUE(platform::ProgramStopping());
    });

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(window.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(listened);
    frame_ = nullptr;  // destroyed by its close
    platform::gui::ProcessEventsFor(100ms);
    EXPECT_EQ(frame::g_hMainFrameWnd, nullptr);
    EXPECT_EQ(mapRef.get(), nullptr);  // the frame took its map window with it
    EXPECT_EQ(frame::g_pPosView, nullptr);
    CMainFrame::SetCloseListener(nullptr);
    fs::remove(log);
}

TEST_F(MainFrameTest, AnElevationModelThatCannotBeReadIsReported) {
    platform::ScopedRecordingSink boxes;
    platform::AppSettings().WriteString("Settings", "DEMheaderFile", std::string_view(""));
    CMainFrame withoutModel;
    EXPECT_TRUE(boxes->Boxes().empty());

    platform::AppSettings().WriteString("Settings", "DEMheaderFile",
                                        std::string_view("/nowhere/terrain.hdr"));
    CMainFrame withModel;
    ASSERT_EQ(boxes->Boxes().size(), 1u);
    EXPECT_EQ(boxes->Boxes()[0].text, core::LoadResourceString(ids::kIdsElevationHeaderUnreadable));
    EXPECT_EQ(boxes->Boxes()[0].caption, core::LoadResourceString(ids::kIdsElevationCaption));
    EXPECT_EQ(frame::g_demHeaderFile.Get(), L"/nowhere/terrain.hdr");
}

}  // namespace
