#include "frame/frame_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fake_frame_services.h"
#include "nav/destination_queue.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using frame::FrameCommands;
using frame::testing::FakeFrame;
namespace cmd = frame::cmd;
namespace msg = frame::msg;

const fs::path kGolden = fs::path(KV_SOURCE_DIR) / "frame/tests/command_walk.golden";

std::wstring NumberedString(unsigned id) { return L"#" + std::to_wstring(id); }

class FrameCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        core::SetStringProvider(&NumberedString);
        nav::g_bAutodetectPrevPrompt = 0;
        nav::g_bAutodetectNextPrompt = 0;
        frame::g_bAutodetectNumbered = 0;
    }
    void TearDown() override { core::SetStringProvider(nullptr); }

    platform::WindowMessage Message(unsigned number, std::uintptr_t w = 0, std::intptr_t l = 0) {
        platform::WindowMessage m;
        m.window = platform::kMainFrameWindow;
        m.message = number;
        m.wParam = w;
        m.lParam = l;
        return m;
    }

    test_support::ScratchFolder scratch_{"frame-commands"};
    platform::SettingsStore settings_{scratch_ / "settings"};
    FakeFrame fake_;
    FrameCommands commands_{fake_.Services(), settings_};
};

// Every entry of the message table fired once, in table order, in a state
// where each handler gets past its preconditions; the calls on the fakes
// are compared with the reviewed list (KV_UPDATE_GOLDEN=1 rewrites it).
TEST_F(FrameCommandsTest, CommandWalkMatchesTheReviewedCalls) {
    fake_.navigation = fake_.started = fake_.currentTask = true;
    fake_.flarm = true;
    fake_.flarmClimbAfter = 1;
    fake_.logOpen = true;
    fake_.logIntervalAfter = 5;
    commands_.Timer().start = commands_.Timer().mark = 9.0;
    commands_.altitudeGainSound = L"gain.wav";

    std::ostringstream walk;
    for (const frame::MessageTableEntry& entry : frame::kFrameMessageTable) {
        fake_.calls.clear();
        std::intptr_t result = 0;
        switch (entry.kind) {
            case frame::EntryKind::kWindow:
                continue;
            case frame::EntryKind::kCommand:
                EXPECT_TRUE(commands_.Execute(static_cast<int>(entry.id))) << entry.handler;
                break;
            case frame::EntryKind::kUpdate: {
                const frame::UiState state = commands_.Update(static_cast<int>(entry.id));
                result = (state.enabled ? 1 : 0) | (state.checked ? 2 : 0);
                break;
            }
            case frame::EntryKind::kMessage: {
                platform::WindowMessage m = Message(entry.id);
                if (entry.id == msg::kWindEstimate) m.payload = glide::WindEstimate{3.0F, 4.0F};
                if (entry.id == msg::kPlaySound) m.payload = std::wstring(L"beep.wav");
                if (entry.id == msg::kSystemError) m.lParam = 28;
                if (entry.id == msg::kAltitudeOffset) {
                    m.wParam = 50;
                    m.lParam = 1000;
                }
                if (entry.id == msg::kAutodetectUpdate) {
                    nav::g_bAutodetectNextPrompt = 1;  // let the selection act
                    m.wParam = 2;
                    m.lParam = 9;
                }
                if (entry.id == msg::kHidePopup) m.wParam = fake_.popupHandle;
                if (entry.id == msg::kRedrawMapBuffer) m.lParam = 1;
                result = commands_.OnMessage(m);
                break;
            }
        }
        walk << "== " << entry.handler << " " << entry.id << " -> " << result << "\n";
        for (const std::string& call : fake_.calls) walk << "   " << call << "\n";
    }
    EXPECT_EQ(commands_.ModalDialogOpen(), 0);

    if (std::getenv("KV_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(kGolden) << walk.str();
        GTEST_SKIP() << "golden list rewritten";
    }
    std::ifstream golden(kGolden);
    ASSERT_TRUE(golden.is_open()) << kGolden;
    std::ostringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(walk.str(), expected.str());
}

TEST_F(FrameCommandsTest, QueueStepsWrapAtBothEnds) {
    struct Case {
        int current, highest, delta, expected;
    };
    for (const Case& c : {Case{0, 3, -1, 3}, Case{3, 3, +1, 0}, Case{1, 3, +1, 2},
                          Case{2, 3, -1, 1}, Case{0, 0, +1, 0}, Case{0, 0, -1, 0}}) {
        EXPECT_EQ(frame::StepQueueIndex(c.current, c.highest, c.delta), c.expected)
            << c.current << " " << c.highest << " " << c.delta;
    }
}

TEST_F(FrameCommandsTest, SingleQueueSlotPostsNoDestinationChange) {
    fake_.queueHighest = 0;
    commands_.Execute(cmd::kNextWaypoint);
    for (const std::string& call : fake_.calls) EXPECT_EQ(call.find("Window.Post"), std::string::npos);
    EXPECT_NE(std::find(fake_.calls.begin(), fake_.calls.end(), "Tasks.StepQueue(1)"),
              fake_.calls.end());
}

TEST_F(FrameCommandsTest, StepsAreRefusedWithoutQueueOrDuringAPrompt) {
    fake_.queueIndex = -1;
    commands_.Execute(cmd::kPreviousWaypoint);
    EXPECT_TRUE(fake_.calls.empty());

    fake_.queueIndex = 1;
    fake_.navigation = true;
    nav::g_bAutodetectPrevPrompt = 1;
    commands_.Execute(cmd::kNextWaypoint);
    EXPECT_TRUE(fake_.calls.empty());
}

TEST_F(FrameCommandsTest, MarksWithinThreeSecondsAreIgnored) {
    struct Step {
        std::int64_t now;
        bool haveFix;
        bool appended;
        std::int64_t markTime;
    };
    // The mark time moves also without a fix; a refused mark leaves it.
    for (const Step& step : {Step{1000, true, true, 1000}, Step{1002, true, false, 1000},
                             Step{1003, false, false, 1003}, Step{1005, true, false, 1003},
                             Step{1006, true, true, 1006}}) {
        fake_.calls.clear();
        fake_.now = step.now;
        fake_.haveFix = step.haveFix;
        commands_.Execute(cmd::kMarkPosition);
        EXPECT_EQ(!fake_.calls.empty(), step.appended) << step.now;
        EXPECT_EQ(commands_.LastMarkTime(), step.markTime) << step.now;
    }
}

TEST_F(FrameCommandsTest, ElapsedTimeNeverShowsSixtyMinutes) {
    EXPECT_EQ(frame::FormatElapsed(0.9999, true), L" 1h00");
    EXPECT_EQ(frame::FormatElapsed(0.5, true), L" 0h30");
    EXPECT_EQ(frame::FormatElapsed(12.25, true), L"12h15");
    EXPECT_EQ(frame::FormatElapsed(0.9999, false), L"1.00h");
    EXPECT_EQ(frame::FormatElapsed(1.5, false), L"1.50h");
}

TEST_F(FrameCommandsTest, TimeToGoRestartsThenCounts) {
    EXPECT_EQ(commands_.FormatTimeToGo(), L"");  // not running
    commands_.Timer().start = commands_.Timer().mark = 10.0;
    fake_.fixHours = 10.25;
    EXPECT_EQ(commands_.FormatTimeToGo(), L" 0h00");  // mark == start: restarts
    EXPECT_EQ(commands_.FormatTimeToGo(), L" 0h15");
}

TEST_F(FrameCommandsTest, SystemErrorBoxesAreRateLimitedToOnePerFiveMinutes) {
    struct Step {
        std::int64_t now;
        std::intptr_t shown;
    };
    // The first report after start is shown, even at time 0.
    fake_.now = 0;
    EXPECT_EQ(commands_.OnMessage(Message(msg::kSystemError, 0, 5)), 1);
    for (const Step& step : {Step{100, 0}, Step{300, 0}, Step{301, 1}, Step{601, 0}, Step{602, 1}}) {
        fake_.now = step.now;
        EXPECT_EQ(commands_.OnMessage(Message(msg::kSystemError, 0, 5)), step.shown) << step.now;
    }
    EXPECT_EQ(commands_.LastSystemErrorTime(), 602);
}

TEST_F(FrameCommandsTest, AltitudeOffsetTexts) {
    struct Case {
        std::uintptr_t speed;
        std::intptr_t feet;
        int unit;
        std::string popup;
    };
    // 100 ft / 3.2808 = 30.48 m: one rounding gives 30.
    for (const Case& c : {Case{0, 0, 1, "#2139\\r\\n"}, Case{0, 100, 1, "#2139\\r\\n +30m "},
                          Case{0, 100, 0, "#2139\\r\\n +100ft "},
                          Case{25, 0, 1, "#2139\\r\\n +4.6km/h "}}) {
        fake_.calls.clear();
        fake_.altitudeUnit = c.unit;
        EXPECT_EQ(commands_.OnMessage(Message(msg::kAltitudeOffset, c.speed, c.feet)), 1);
        ASSERT_EQ(fake_.calls.size(), 1U);
        EXPECT_EQ(fake_.calls[0], "Position.ShowPopup(" + c.popup + ",4)");
    }
}

TEST_F(FrameCommandsTest, ALostAndAReturnedGpsPortShowOnTheMainScreen) {
    for (const auto& [link, popup] : {std::pair{1, "#4130"}, std::pair{2, "#4131"}}) {
        fake_.calls.clear();
        EXPECT_EQ(commands_.OnMessage(Message(platform::WM_APP_GPSLINK, 0, link)), 1);
        ASSERT_EQ(fake_.calls.size(), 1U);
        EXPECT_EQ(fake_.calls[0], "Position.ShowPopup(" + std::string(popup) + ",5)");
    }
}

TEST_F(FrameCommandsTest, AutodetectUpdatesToggleThePrompts) {
    auto& prev = nav::g_bAutodetectPrevPrompt;
    auto& next = nav::g_bAutodetectNextPrompt;
    fake_.navigation = true;
    fake_.started = true;

    commands_.OnMessage(Message(msg::kAutodetectUpdate, 0));
    EXPECT_EQ(next.load(), 1);
    EXPECT_EQ(frame::g_bAutodetectNumbered.load(), 1);
    commands_.OnMessage(Message(msg::kAutodetectUpdate, 1));  // previous replaces next
    EXPECT_EQ(prev.load(), 1);
    EXPECT_EQ(next.load(), 0);
    commands_.OnMessage(Message(msg::kAutodetectUpdate, 1));  // toggles off
    EXPECT_EQ(prev.load(), 0);

    fake_.calls.clear();
    commands_.OnMessage(Message(msg::kAutodetectUpdate, 2, 5));  // neither set: nothing
    EXPECT_TRUE(fake_.calls.empty());

    fake_.detectedQualifies = false;
    next = 1;
    commands_.OnMessage(Message(msg::kAutodetectUpdate, 0));  // no point: cleared
    EXPECT_EQ(next.load(), 0);
    fake_.started = false;
    prev = 1;
    commands_.OnMessage(Message(msg::kAutodetectUpdate, 1));
    EXPECT_EQ(prev.load(), 0);
}

TEST_F(FrameCommandsTest, WindEstimatesGoToTheAcceptanceFunction) {
    platform::WindowMessage m = Message(msg::kWindEstimate);
    m.payload = glide::WindEstimate{3.0F, 4.0F};
    EXPECT_EQ(commands_.OnMessage(m), 1);
    fake_.acceptWind = false;
    EXPECT_EQ(commands_.OnMessage(m), 0);
    EXPECT_EQ(commands_.OnMessage(Message(msg::kWindEstimate)), 0);  // no record
}

TEST_F(FrameCommandsTest, PortSettingsStoreInOrderAndKeepTheStoredRxFlag) {
    settings_.WriteInt("NMEA", "UseRxFlag", 1);
    fake_.port.nmeaCode = 3;
    fake_.port.useRxFlag = 0;
    commands_.Execute(cmd::kPortSettings);
    EXPECT_EQ(fake_.calls.front(), "Dialogs.PortSettings(3,1)");
    EXPECT_EQ(settings_.GetInt("NMEA", "UseRxFlag", 9), 1U);
    EXPECT_EQ(settings_.GetInt("NMEA", "CheckMsgLength", 0), 1U);
    EXPECT_EQ(fake_.port.useRxFlag, 0);  // in force: off with input 3
    EXPECT_EQ(settings_.GetString("NMEA", "Port", L""), L"/dev/ttyUSB0");

    fake_.calls.clear();
    fake_.portChanged = false;
    commands_.Execute(cmd::kPortSettings);
    EXPECT_EQ(fake_.calls.back(), "Map.RequestRedraw");
    EXPECT_EQ(fake_.calls.size(), 2U);  // no reopen
}

TEST_F(FrameCommandsTest, ReopenCannotRunInsideItself) {
    // The reopen runs pending events; one of them asks for a reopen again.
    struct Reentering : FakeFrame {
        FrameCommands* commands = nullptr;
        int nested = 0;
        void DispatchPending() override {
            FakeFrame::DispatchPending();
            ++nested;
            commands->Execute(cmd::kReopenPort);
            readerRunning = false;
        }
    } fake;
    FrameCommands commands(fake.Services(), settings_);
    fake.commands = &commands;
    fake.readerRunning = true;
    commands.Execute(cmd::kReopenPort);
    EXPECT_EQ(fake.nested, 1);
    EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "Port.Open"), 1);
}

TEST_F(FrameCommandsTest, TaskDialogLeavingTheListUnchangedKeepsTheDrawing) {
    commands_.Execute(cmd::kTaskDialogMode0);
    EXPECT_EQ(std::count(fake_.calls.begin(), fake_.calls.end(), "Map.InvalidateDrawing(relayout)"), 0);
    fake_.calls.clear();
    fake_.elementsAfterDialog = 5;
    commands_.Execute(cmd::kTaskDialogMode0);
    EXPECT_EQ(std::count(fake_.calls.begin(), fake_.calls.end(), "Map.InvalidateDrawing(relayout)"), 1);

    fake_.calls.clear();
    fake_.haveFix = false;
    commands_.Execute(cmd::kTaskDialogMode1);
    EXPECT_EQ(fake_.calls, std::vector<std::string>{"Map.RequestRedraw"});
}

TEST_F(FrameCommandsTest, SelectTaskPaths) {
    fake_.displayMode = 3;
    EXPECT_EQ(commands_.SelectTask(true), 2);
    EXPECT_TRUE(fake_.calls.empty());

    fake_.displayMode = 0;
    fake_.dialogResult = 2;
    commands_.SelectTask(false);  // cancelled, nothing to clear, drawing kept
    EXPECT_EQ(fake_.calls, (std::vector<std::string>{"Dialogs.TaskEditor(0)",
                                                     "Map.RenderBackBuffer", "Map.RequestRedraw"}));
    fake_.calls.clear();
    fake_.editedValid = false;
    fake_.dialogResult = 1;
    commands_.SelectTask(true);  // OK with an invalid task clears
    EXPECT_EQ(fake_.calls[1], "Tasks.CancelTaskSelection");
    EXPECT_EQ(commands_.ModalDialogOpen(), 0);
}

TEST_F(FrameCommandsTest, OptionsStartTheLogAndNoteFlarmChanges) {
    fake_.logIntervalAfter = 1;
    commands_.Execute(cmd::kOptions);
    EXPECT_NE(std::find(fake_.calls.begin(), fake_.calls.end(), "Window.Post(1,0x111,32783,0)"),
              fake_.calls.end());

    fake_.calls.clear();
    fake_.logOpen = true;
    fake_.flarm = true;
    fake_.flarmClimbAfter = 1;
    commands_.Execute(cmd::kOptions);
    EXPECT_EQ(fake_.calls.back(), "Log.AppendLine(LXKV FLARM CLIMB RATE DISPLAY ENABLED)");
    fake_.calls.clear();
    fake_.logFormat = 0;  // not IGC: no line
    fake_.flarmClimbAfter = 0;
    commands_.Execute(cmd::kOptions);
    EXPECT_EQ(fake_.calls.back(), "Map.RequestRedraw");
}

TEST_F(FrameCommandsTest, PolarPicturesAndBestGlide) {
    struct Case {
        bool usePolar, constant;
        int imageBefore, imageAfter;
        bool reset;
    };
    for (const Case& c : {Case{true, false, 6, 7, true}, Case{false, false, 7, 6, false},
                          Case{false, true, 7, 8, false}, Case{true, false, 5, 5, true}}) {
        fake_.calls.clear();
        fake_.usePolar = c.usePolar;
        fake_.constantSpeed = c.constant;
        fake_.glideImage = c.imageBefore;
        commands_.Execute(cmd::kToggleUsePolar);
        EXPECT_EQ(fake_.glideImage, c.imageAfter);
        EXPECT_EQ(std::count(fake_.calls.begin(), fake_.calls.end(), "Glide.ResetBestGlide"),
                  c.reset ? 1 : 0);
        EXPECT_EQ(settings_.GetInt("Settings\\Polars", "UsePolar", 9), c.usePolar ? 0U : 1U);
    }
    fake_.polarAvailable = false;
    EXPECT_EQ(commands_.Update(cmd::kToggleUsePolar), (frame::UiState{false, false}));
}

}  // namespace
