#include "services/sound_queue.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/sound_player.h"
#include "testing/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using core::SND_ASYNC;
using core::SND_FILENAME;
using core::SND_NODEFAULT;
using core::SND_NOSTOP;
using core::SND_NOWAIT;
using core::SND_PURGE;
using platform::PlayResult;
using Events = std::vector<std::string>;

// Only reached when something that should happen does not.
constexpr auto kGenerous = 10s;

// Plays nothing, but records when each sound starts and how it ends:
// "start x", then "end x" (played out) or "cut x" (stopped early). Files
// named "long*" play until they are stopped, files named "missing*" cannot
// be played, the others last 20 ms.
class FakePlayer final : public platform::SoundPlayer {
  public:
    PlayResult PlayFile(const fs::path& file, std::stop_token stop) override {
        const std::string name = file.filename().string();
        if (name.starts_with("missing")) return PlayResult::kBadFile;
        return Play(name, name.starts_with("long") ? 1h : 20ms, std::move(stop));
    }
    PlayResult PlayDefault(std::stop_token stop) override {
        return Play("(default)", 20ms, std::move(stop));
    }

    // Waits until count events have been recorded.
    bool WaitForEvents(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kGenerous, [&] { return events_.size() >= count; });
    }
    Events Recorded() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }
    int MostAtOnce() const {
        const std::lock_guard lock(mutex_);
        return mostAtOnce_;
    }

  private:
    PlayResult Play(const std::string& name, std::chrono::milliseconds length,
                    std::stop_token stop) {
        std::unique_lock lock(mutex_);
        Record("start " + name);
        mostAtOnce_ = std::max(mostAtOnce_, ++playing_);
        changed_.wait_for(lock, stop, length, [] { return false; });
        --playing_;
        const bool cut = stop.stop_requested();
        Record((cut ? "cut " : "end ") + name);
        return cut ? PlayResult::kStopped : PlayResult::kPlayed;
    }
    void Record(std::string event) {
        events_.push_back(std::move(event));
        changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    Events events_;
    int playing_ = 0;
    int mostAtOnce_ = 0;
};

class SoundQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetSoundPlayer(fake_);
        core::InitSoundQueue();
    }
    void TearDown() override {
        EXPECT_TRUE(core::StopSoundQueue());
        EXPECT_TRUE(boxes_->Boxes().empty());
        platform::SetSoundPlayer(nullptr);
        core::InitSoundQueue();
    }

    // Runs a request on this thread, as its own thread would.
    static int RunRequest(std::wstring name, unsigned flags) {
        return core::PlaySoundThreadProc({std::move(name), 3000, flags, nullptr, 0}, {});
    }

    std::shared_ptr<FakePlayer> fake_ = std::make_shared<FakePlayer>();
    platform::ScopedRecordingSink boxes_;
};

TEST_F(SoundQueueTest, RequestsThroughTheSoundLockPlayOneAfterTheOther) {
    // As the frame and the map ask for their sounds: the map's flags say
    // "don't stop a sound that plays", which must not drop a waiting sound.
    for (const unsigned flags :
         {SND_FILENAME | SND_ASYNC, SND_FILENAME | SND_NOWAIT | SND_NOSTOP | SND_ASYNC}) {
        SCOPED_TRACE(flags);
        auto fake = std::make_shared<FakePlayer>();
        platform::SetSoundPlayer(fake);
        // Priorities: highest (which this process may not be allowed to
        // give), normal, lowest.
        core::PlaySoundAsync(L"a.wav", flags, &core::SoundLock, 3000, 2);
        core::PlaySoundAsync(L"b.wav", flags, &core::SoundLock, 3000, 0);
        core::PlaySoundAsync(L"c.wav", flags, &core::SoundLock, 3000, -2);
        ASSERT_TRUE(fake->WaitForEvents(6));
        const Events events = fake->Recorded();
        for (std::size_t i = 0; i < events.size(); i += 2)
            EXPECT_EQ(events[i + 1], "end " + events[i].substr(6)) << events[i];
        EXPECT_EQ(fake->MostAtOnce(), 1);
    }
}

TEST_F(SoundQueueTest, TheCallerNeverWaitsAndShutDownEndsAndJoinsEverySoundThread) {
    core::PlaySoundAsync(L"long.wav", SND_FILENAME | SND_ASYNC, &core::SoundLock);
    ASSERT_TRUE(fake_->WaitForEvents(1));
    // These return although the lock is taken and stays so until shut-down.
    core::PlaySoundAsync(L"b.wav", SND_FILENAME | SND_ASYNC, &core::SoundLock);
    core::PlaySoundAsync(L"c.wav", SND_FILENAME, &core::SoundLock);

    EXPECT_TRUE(core::StopSoundQueue(5000));
    EXPECT_EQ(fake_->Recorded(), (Events{"start long.wav", "cut long.wav"}));

    core::PlaySoundAsync(L"d.wav", SND_FILENAME | SND_ASYNC, &core::SoundLock);
    EXPECT_TRUE(core::StopSoundQueue());
    EXPECT_EQ(fake_->Recorded().size(), 2U);  // the queue is closed

    core::InitSoundQueue();
    core::PlaySoundAsync(L"e.wav", SND_FILENAME | SND_ASYNC, &core::SoundLock);
    ASSERT_TRUE(fake_->WaitForEvents(4));
    EXPECT_EQ(fake_->Recorded().back(), "end e.wav");
}

TEST_F(SoundQueueTest, WithoutTheLockTheFlagsDecideAboutTheSoundPlaying) {
    struct Case {
        const wchar_t* name;
        unsigned flags;
        Events after;  // what follows "start long.wav"
    };
    const Case cases[] = {
        {L"b.wav", SND_FILENAME | SND_ASYNC, {"cut long.wav", "start b.wav", "end b.wav"}},
        {L"b.wav", SND_FILENAME | SND_ASYNC | SND_NOSTOP, {}},
        {L"b.wav", SND_FILENAME | SND_PURGE, {"cut long.wav"}},
        {L"", SND_FILENAME | SND_ASYNC, {"cut long.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        auto fake = std::make_shared<FakePlayer>();
        platform::SetSoundPlayer(fake);
        core::PlaySoundAsync(L"long.wav", SND_FILENAME | SND_ASYNC, &core::SoundLock);
        ASSERT_TRUE(fake->WaitForEvents(1));
        EXPECT_EQ(RunRequest(c.name, c.flags), 1001);
        Events expected{"start long.wav"};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        ASSERT_TRUE(fake->WaitForEvents(expected.size()));
        EXPECT_EQ(fake->Recorded(), expected);
        ASSERT_TRUE(core::StopSoundQueue());
        core::InitSoundQueue();
    }
}

TEST_F(SoundQueueTest, AFileThatCannotBePlayedGivesTheDefaultSoundUnlessTold) {
    EXPECT_EQ(RunRequest(L"missing.wav", SND_FILENAME | SND_ASYNC), 1001);
    EXPECT_EQ(fake_->Recorded(), (Events{"start (default)", "end (default)"}));
    EXPECT_EQ(RunRequest(L"missing.wav", SND_FILENAME | SND_ASYNC | SND_NODEFAULT), 1001);
    EXPECT_EQ(fake_->Recorded().size(), 2U);
}

TEST_F(SoundQueueTest, ANameFromADataFileFindsTheFileWhateverItsCase) {
    const test_support::ScratchFolder scratch("kv-sounds");
    const fs::path& folder = scratch.Path();
    std::ofstream(folder / "KORVN!LT.WAV") << "RIFF";
    const std::wstring name = folder.wstring() + L"\\korvn!lt.wav";
    EXPECT_EQ(RunRequest(name, SND_FILENAME), 1001);
    EXPECT_EQ(fake_->Recorded(), (Events{"start KORVN!LT.WAV", "end KORVN!LT.WAV"}));
}

TEST_F(SoundQueueTest, WithoutASoundDeviceRequestsEndQuietly) {
    platform::SetSoundPlayer(std::make_shared<platform::AlsaSoundPlayer>("kv_no_such_device"));
    EXPECT_EQ(RunRequest(L"missing.wav", SND_FILENAME | SND_ASYNC), 1001);
    for (int i = 0; i < 3; ++i)
        core::PlaySoundAsync(L"missing.wav", SND_FILENAME | SND_ASYNC, &core::SoundLock);
    EXPECT_TRUE(core::StopSoundQueue());
}

}  // namespace
