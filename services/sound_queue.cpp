#include "services/sound_queue.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <list>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>

#include "platform/paths.h"
#include "platform/sound_player.h"
#include "platform/thread_priority.h"
#include "platform/utf.h"
#include "platform/worker_thread.h"

namespace core {
namespace {

constexpr int kSoundThreadExitCode = 1001;
// How long a new sound waits for the ones it cuts off to end.
constexpr auto kCutOffWait = std::chrono::seconds(2);

// The sounds playing now, each with the means to cut it off.
std::mutex g_playingLock;
std::list<std::stop_source> g_playing;  // guarded by g_playingLock
std::condition_variable g_playingEnded;

void StopPlayingSounds() {
    const std::lock_guard lock(g_playingLock);
    for (std::stop_source& sound : g_playing)
        sound.request_stop();
}

// A sound from the moment it is admitted until it has ended. Admitting it
// cuts off the sounds playing and waits until they have let go of the
// device (for a short while at most), or, for a request that must not stop
// them, is refused while one plays.
class PlayingSound {
  public:
    PlayingSound(const std::stop_source& stop, bool noStop) {
        std::unique_lock lock(g_playingLock);
        if (noStop && !g_playing.empty()) return;
        const auto deadline = std::chrono::steady_clock::now() + kCutOffWait;
        while (!g_playing.empty()) {
            for (std::stop_source& sound : g_playing)
                sound.request_stop();
            if (g_playingEnded.wait_until(lock, deadline) == std::cv_status::timeout) break;
        }
        entry_ = g_playing.insert(g_playing.end(), stop);
        admitted_ = true;
    }
    ~PlayingSound() {
        if (!admitted_) return;
        const std::lock_guard lock(g_playingLock);
        g_playing.erase(entry_);
        g_playingEnded.notify_all();
    }
    PlayingSound(const PlayingSound&) = delete;
    PlayingSound& operator=(const PlayingSound&) = delete;

    bool Admitted() const { return admitted_; }

  private:
    std::list<std::stop_source>::iterator entry_;
    bool admitted_ = false;
};

// The request threads, kept so that shut-down can stop and join them.
class SoundThreads {
  public:
    // False when shut-down has closed the queue or no thread could start.
    bool Start(platform::WorkerThread::Body body) {
        const std::lock_guard lock(mutex_);
        if (!accepting_) return false;
        threads_.remove_if([](const platform::WorkerThread& t) { return !t.Running(); });
        std::list<platform::WorkerThread> started(1);
        try {
            if (!started.front().Start(std::move(body))) return false;
        } catch (const std::system_error&) {
            return false;
        }
        threads_.splice(threads_.end(), started);
        return true;
    }

    void Open() {
        const std::lock_guard lock(mutex_);
        accepting_ = true;
    }

    bool StopAll(std::uint32_t timeoutMs) {
        std::list<platform::WorkerThread> threads;
        {
            const std::lock_guard lock(mutex_);
            accepting_ = false;
            threads.swap(threads_);
        }
        for (platform::WorkerThread& thread : threads)
            thread.RequestStop();
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        bool joined = true;
        for (platform::WorkerThread& thread : threads)
            joined = thread.Stop(MillisecondsUntil(deadline)) && joined;
        return joined;
    }

  private:
    using Clock = std::chrono::steady_clock;

    static std::uint32_t MillisecondsUntil(Clock::time_point deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        return static_cast<std::uint32_t>(std::max<std::int64_t>(left.count(), 0));
    }

    std::mutex mutex_;
    std::list<platform::WorkerThread> threads_;
    bool accepting_ = true;
};

SoundThreads g_threads;

// A THREAD_PRIORITY_* value as a nice value for this thread. Raising needs
// a privilege the program usually lacks; then the thread stays as it is.
void ApplyPriority(int priority) {
    if (priority == 0) return;
    const int nice = priority <= -15  ? 19
                     : priority >= 15 ? -20
                                      : std::clamp(-5 * priority, -10, 10);
    platform::SetThisThreadNice(nice);
}

void PlayRequest(const SoundRequest& request, const std::stop_token& stop) {
    if (request.fileName.empty() || (request.flags & SND_PURGE) != 0) {
        StopPlayingSounds();
        return;
    }
    const auto file = platform::ResolveDataFilePath(platform::ToUtf8(request.fileName));
    std::stop_source cut;
    const std::stop_callback shutDown(stop, [&cut] { cut.request_stop(); });
    const PlayingSound playing(cut, (request.flags & SND_NOSTOP) != 0);
    if (!playing.Admitted()) return;
    const auto player = platform::CurrentSoundPlayer();
    const auto result = player->PlayFile(file, cut.get_token());
    if (result == platform::PlayResult::kBadFile && (request.flags & SND_NODEFAULT) == 0)
        player->PlayDefault(cut.get_token());
}

}  // namespace

void InitSoundQueue() {
    g_threads.Open();
    StopPlayingSounds();
}

void PlaySoundAsync(std::wstring_view fileName, unsigned flags, platform::CriticalSection* lock,
                    std::uint32_t waitMs, int priority) {
    try {
        SoundRequest request{std::wstring(fileName), waitMs, flags, lock, priority};
        g_threads.Start([request = std::move(request)](std::stop_token stop) {
            ApplyPriority(request.priority);
            PlaySoundThreadProc(request, std::move(stop));
        });
    } catch (const std::bad_alloc&) {
        // No room for the request or its thread: it is not played.
    }
}

int PlaySoundThreadProc(const SoundRequest& request, std::stop_token stop) {
    std::unique_lock<platform::CriticalSection> held;
    if (request.lock != nullptr) held = std::unique_lock(*request.lock);
    try {
        if (!stop.stop_requested()) PlayRequest(request, stop);
    } catch (const std::exception&) {
        // Out of memory on the way: this sound is silence, the program runs on.
    }
    return kSoundThreadExitCode;
}

bool StopSoundQueue(std::uint32_t timeoutMs) {
    return g_threads.StopAll(timeoutMs);
}

}  // namespace core
