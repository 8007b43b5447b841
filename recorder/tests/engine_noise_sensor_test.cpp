#include "recorder/engine_noise_sensor.h"

#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>

#include "platform/message_box.h"
#include "platform/ui_post.h"
#include "recorder/settings_values.h"
#include "recorder/tests/engine_noise_test_support.h"
#include "recorder/tests/recorder_test_support.h"
#include "services/flight_log.h"

namespace recorder::testing {
namespace {

using namespace std::chrono_literals;

TEST(EngineNoiseLevelTest, BlocksAgainstThePlainFilter) {
    struct Case {
        const char* name;
        Block block;
        int settle;
        bool twoStage;
        std::optional<int> exactly;
    };
    const Case cases[] = {
        {"silence", Silence(), 100, true, 0},
        {"slow square wave", SquareWave(2000), 100, true, 996},
        {"slow square wave, one stage", SquareWave(2000), 100, false, 996},
        {"quiet noise", Noise(10), 100, true, {}},
        {"loud noise", Noise(120), 100, true, {}},
        {"noise, slow filter", Noise(120), 200, true, {}},
        {"faint engine", EngineTone(8), 100, true, {}},
        {"engine", EngineTone(40), 100, true, {}},
        {"loud engine", EngineTone(120), 100, false, {}},
        {"short block", Silence(2666 + 400), 100, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::uint16_t> level = EnlBlockLevel(
            c.block, kRate, c.settle, c.twoStage, EnlFilterCoefficient(kRate, c.settle));
        const std::optional<int> expected = ReferenceLevel(c.block, c.settle, c.twoStage);
        ASSERT_EQ(level.has_value(), expected.has_value());
        if (!level) continue;
        EXPECT_EQ(*level, *expected);
        if (c.exactly) {
            EXPECT_EQ(*level, *c.exactly);
        }
    }
    // Louder engines read higher.
    const auto engine = [](double amplitude) {
        return *EnlBlockLevel(EngineTone(amplitude), kRate, 100, true,
                              EnlFilterCoefficient(kRate, 100));
    };
    EXPECT_LT(engine(8), engine(40));
    EXPECT_LT(engine(40), engine(120));
    EXPECT_GT(engine(8), 0);
}

TEST(EngineNoiseLevelTest, SettingsFile) {
    struct Case {
        const char* text;
        int settle, twoStage, restartLimit;
    } const cases[] = {
        {"50,1,3", 200, 1, 3}, {"50", 200, 1, -1},       {"50;0;2\r\n", 200, 0, 2},
        {"0,0", 100, 0, -1},   {"20000,1,0", 10, 1, -1}, {"", 100, 1, -1},
        {"-5,1,4", 100, 1, 4}, {"x", 100, 1, -1},
    };
    for (const Case& c : cases) {
        const EnlSettings s = ParseEnlSettings(c.text);
        EXPECT_EQ(s.settle, c.settle) << c.text;
        EXPECT_EQ(s.twoStage, c.twoStage) << c.text;
        EXPECT_EQ(s.restartLimit, c.restartLimit) << c.text;
    }
    EXPECT_NEAR(EnlFilterCoefficient(8000, 100), 1.0 / (std::exp(0.0125) - 1.0), 1e-4);
}

class EngineNoiseSensorTest : public RecorderTest {
  protected:
    void SetUp() override {
        RecorderTest::SetUp();
        platform::SetUiPostBackend(posts_);
        g_bEnlOn = false;
    }
    void TearDown() override {
        sensor_.reset();
        platform::SetUiPostBackend(nullptr);
        g_bEnlOn = false;
        {
            const platform::CriticalSectionLock lock(core::g_enlValue.lock);
            core::g_enlValue.running = false;
            core::g_enlValue.value = 0;
        }
        RecorderTest::TearDown();
    }

    // Starts a sensor as the settings loader does, with "ENLset.txt"
    // holding text.
    bool StartSensor(const std::string& text, WatchdogTimes times = {}) {
        sensor_ = std::make_unique<CEngineNoiseSensor>();
        sensor_->SetWatchdogTimes(times);
        std::FILE* file = std::tmpfile();
        std::fputs(text.c_str(), file);
        std::rewind(file);
        g_bEnlOn = sensor_->Start(&window_, file);
        std::fclose(file);
        return g_bEnlOn.load();
    }

    static std::uint16_t Level() {
        const platform::CriticalSectionLock lock(core::g_enlValue.lock);
        return core::g_enlValue.value;
    }

    // Waits until the level reads `level`.
    static bool LevelBecomes(int level) {
        for (int i = 0; i < 300 && Level() != level; ++i)
            std::this_thread::sleep_for(10ms);
        return Level() == level;
    }

    // The main window's part: handles every stall posted so far.
    int HandleStalls() {
        int handled = 0;
        for (const auto& r : posts_->Records()) {
            if (r.message != platform::MM_WIM_DATA) continue;
            OnEngineNoiseStall(r.wParam, r.lParam);
            ++handled;
        }
        posts_->Clear();
        return handled;
    }

    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1))
            ++n;
        return n;
    }

    std::shared_ptr<platform::RecordingUiPostBackend> posts_ =
        std::make_shared<platform::RecordingUiPostBackend>();
    platform::ScopedRecordingSink boxes_;
    int window_ = 0;
    std::unique_ptr<CEngineNoiseSensor> sensor_;
};

TEST_F(EngineNoiseSensorTest, CapturedBlocksSetTheLevelAndTheLogDeclaresIt) {
    const ScopedFeed source;
    ASSERT_TRUE(StartSensor("50,1,3"));
    EXPECT_EQ(sensor_->Settings().settle, 200);
    EXPECT_EQ(sensor_->Settings().restartLimit, 3);
    EXPECT_TRUE(sensor_->IsOpen());

    const Block engine = EngineTone(40);
    source.feed->Push(engine);
    EXPECT_TRUE(LevelBecomes(*ReferenceLevel(engine, 200, true)));
    EXPECT_EQ(core::EngineNoiseReading(), std::optional<int>(Level()));

    // A dropped block leaves the level; the next one is measured.
    sensor_->SetDiscardCounter(-1);
    source.feed->Push(SquareWave(2000));
    source.feed->Push(Silence());
    EXPECT_TRUE(LevelBecomes(0));

    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    CloseFlightLog();
    const std::string log = Log();
    EXPECT_NE(log.find("\r\nI023638FXA3941ENL\r\n"), std::string::npos);
    EXPECT_NE(log.find("\r\nLXKV ENL FT-200 P-1\r\n"), std::string::npos);
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(EngineNoiseSensorTest, NoSoundDeviceIsSilence) {
    SetCaptureSourceFactory([] { return MakeAlsaCapture("kv_no_such_device"); });
    EXPECT_FALSE(StartSensor("50,1,3"));
    SetCaptureSourceFactory(nullptr);
    EXPECT_FALSE(sensor_->IsOpen());
    EXPECT_TRUE(boxes_->Boxes().empty());
    EXPECT_EQ(core::EngineNoiseReading(), std::nullopt);
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    CloseFlightLog();
    EXPECT_NE(Log().find("\r\nI013638FXA\r\n"), std::string::npos);
    EXPECT_EQ(Log().find("ENL"), std::string::npos);
}

TEST_F(EngineNoiseSensorTest, ABusyDeviceIsShownOnceAtStart) {
    const ScopedFeed source;
    source.feed->openResult = mm::kAllocated;
    EXPECT_FALSE(StartSensor("50"));
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].text, L"Specified resource is already allocated.");
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"MM error");
    EXPECT_EQ(sensor_->ErrorText(), "Specified resource is already allocated. InOpen");
    EXPECT_TRUE(sensor_->Quiet());
}

TEST_F(EngineNoiseSensorTest, StallsAreLoggedAndRestartedUpToTheLimit) {
    struct Case {
        const char* settings;
        int restarts;
        int stalls;
    } const cases[] = {{"50,1,3", 3, 4}, {"50", 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        const ScopedFeed source;
        ASSERT_TRUE(StartSensor(c.settings, {150ms, 100ms}));
        ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
        int stalls = 0;
        for (int i = 0; i < 500 && sensor_->CaptureRunning(); ++i) {
            stalls += HandleStalls();
            std::this_thread::sleep_for(10ms);
        }
        stalls += HandleStalls();
        EXPECT_FALSE(sensor_->CaptureRunning());
        EXPECT_EQ(sensor_->CaptureExitCode(), kCaptureGaveUp);
        EXPECT_EQ(stalls, c.stalls);
        EXPECT_EQ(sensor_->RestartCount(), c.restarts);
        EXPECT_EQ(source.feed->opens, 1 + c.restarts);
        CloseFlightLog();

        // One reset line per stall, inside the digest.
        const std::string log = Log();
        EXPECT_EQ(Count(log, "\r\nLXKV ENL SENSOR RESET\r\n"), c.stalls);
        std::vector<std::string> lines;
        std::istringstream in(log);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        ASSERT_GE(lines.size(), 2U);
        core::IgcDigest digest;
        digest.Start(1);
        for (std::size_t i = 0; i + 2 < lines.size(); ++i)
            digest.Fold(lines[i]);
        const auto g = IgcSecurityLines(digest);
        EXPECT_EQ(lines[lines.size() - 2] + "\n", g[0]);
        EXPECT_EQ(lines.back() + "\n", g[1]);
        std::filesystem::remove(path_);
    }
}

// Capture, the per-fix writer's reads under LogFileLock and restarts at the
// same time (run under ThreadSanitizer too).
TEST_F(EngineNoiseSensorTest, CaptureReadsAndRestartsTogether) {
    const ScopedFeed source;
    ASSERT_TRUE(StartSensor("100,1,20", {300ms, 300ms}));
    std::atomic<bool> done{false};
    std::thread feeder([&] {
        for (int i = 0; !done.load(); ++i) {
            source.feed->Push(i % 2 == 0 ? EngineTone(40) : Noise(30));
            std::this_thread::sleep_for(5ms);
        }
    });
    std::thread writer([&] {
        while (!done.load()) {
            const platform::CriticalSectionLock lock(core::LogFileLock);
            const std::optional<int> level = core::EngineNoiseReading();
            EXPECT_TRUE(level.has_value() && *level >= 0 && *level <= 999);
        }
    });
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(20ms);
        sensor_->Restart();
    }
    done = true;
    feeder.join();
    writer.join();
    EXPECT_EQ(sensor_->RestartCount(), 10);
    EXPECT_TRUE(sensor_->Close(150));
}

}  // namespace
}  // namespace recorder::testing
