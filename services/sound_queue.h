#pragma once
// Warning and announcement sounds, played without holding up the caller.
//
// Each request gets a short-lived thread of its own that plays one file on
// the current platform::SoundPlayer. That thread always plays its sound to
// the end (or until shut-down stops it), whatever the flags say about
// waiting, so a request that names a lock holds it for the whole sound:
// requests through SoundLock play one after the other, in the order in which
// their threads obtain the lock, and none cuts off or drops another.
//
// Towards a sound of another lock or of no lock that plays at that moment,
// the flags decide: without SND_NOSTOP the new sound cuts it off (and starts
// once it has ended), with SND_NOSTOP the new request is dropped.
//
// No sound device means silence: requests end quietly and nobody waits.
// StopSoundQueue() ends every sound and joins every sound thread; the
// program's exit calls it.

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/critical_section.h"

namespace core {

// Play flags, with the values callers and stored settings know.
inline constexpr unsigned SND_SYNC = 0x0000;       // the request thread plays to the end anyway
inline constexpr unsigned SND_ASYNC = 0x0001;      // the caller never waits anyway
inline constexpr unsigned SND_NODEFAULT = 0x0002;  // a file that cannot be played stays silent
inline constexpr unsigned SND_LOOP = 0x0008;       // not honoured: a sound plays once
inline constexpr unsigned SND_NOSTOP = 0x0010;     // drop the request when a sound plays
inline constexpr unsigned SND_PURGE = 0x0040;      // stop the sounds playing, play nothing
inline constexpr unsigned SND_NOWAIT = 0x2000;     // a busy device is never waited for anyway
inline constexpr unsigned SND_FILENAME = 0x20000;  // the name is a file name (always so here)

// The lock that serialises the program's sounds.
inline platform::CriticalSection SoundLock;

// One request, owned by the thread that plays it.
struct SoundRequest {
    std::wstring fileName;
    // How long the caller meant to wait; nothing waits for a request, so
    // playing does not use it.
    std::uint32_t waitMs = 3000;
    unsigned flags = SND_FILENAME;
    platform::CriticalSection* lock = nullptr;  // taken around playing, or none
    int priority = 0;                           // THREAD_PRIORITY_* value
};

// Start-up: stops any sound that is playing and lets requests start threads
// again after a StopSoundQueue().
void InitSoundQueue();

// Plays fileName on a thread of its own and returns at once. An empty name,
// or SND_PURGE, stops the sounds playing. priority is a THREAD_PRIORITY_*
// value (-15 idle .. 15 time-critical), applied as far as the system lets
// this process lower or raise a thread's priority. When no thread can be
// started, nothing happens.
void PlaySoundAsync(std::wstring_view fileName, unsigned flags = SND_FILENAME,
                    platform::CriticalSection* lock = nullptr, std::uint32_t waitMs = 3000,
                    int priority = 0);

// The body of a request's thread: takes the request's lock (waiting as long
// as it takes), plays the file unless stop was requested meanwhile, releases
// the lock. A file that cannot be played gives the default sound unless
// SND_NODEFAULT is set. Returns the thread's exit code, 1001.
int PlaySoundThreadProc(const SoundRequest& request, std::stop_token stop);

// Shut-down: refuses new requests, stops the sounds playing, and joins every
// sound thread, waiting up to timeoutMs in all; a thread still running then
// is detached. True when every thread was joined.
bool StopSoundQueue(std::uint32_t timeoutMs = 5000);

}  // namespace core
