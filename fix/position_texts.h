#pragma once
// The per-fix pass of the position and status texts: after each published
// fix the fix-processing thread moves the current-position record, writes
// the position, speed, track, airspeed, team-code, contest, task and leg
// texts, follows the task, rebuilds the destination texts
// (fix/waypoint_queue_texts.h), warns when the glider is low over the
// terrain and tells the map window and the position page.
//
// Fix-processing thread only (ResetPositionTexts: any thread while no fix
// is processed). Locks, never more than one of these chains at a time:
// core::MapLock then the elevation model's lock (first_fix.h);
// core::TaskLock for the task pass and its texts, taken after the copy of
// the current position; the OLC locks inside nav::TakeNewOlcResult. No
// lock is held while a message is posted or sent.

#include <atomic>
#include <cstdint>

namespace gps {

// Bits of the result mask.
namespace position_bit {
inline constexpr std::uint32_t kPosition = 0x1;
inline constexpr std::uint32_t kSpeedAndCourse = 0x2;
inline constexpr std::uint32_t kOtherValues = 0x4;
// The source bits moved into the result unchanged (the instruments that
// delivered): 0x40 (0x800 too), 0x100, 0x200, 0x1000, 0x2000, 0x4000,
// 0x8000.
}  // namespace position_bit

// The results of every pass ORed together; the position page takes and
// clears them.
inline std::atomic<std::uint32_t> g_positionTextsMask{0};
// Height above the terrain (feet, at least 0) and the vario bar cell
// (0..41) for the position page.
inline std::atomic<float> g_heightAboveTerrain{0.0F};
inline std::atomic<int> g_varioBarIndex{0};

// What the published fix brought: its value mask as published and the
// source mask of the sentences behind it.
struct FixChanges {
    std::uint32_t valueMask = 0;
    std::uint32_t sourceMask = 0;
};

// The pass; returns the result mask (0 while the first fixes are skipped).
// During a replay the map window's new-fix message is sent, not posted.
std::uint32_t UpdatePositionTexts(const FixChanges& changes, bool replaying);

// A replay starts: the low-altitude warning and the map heading start over.
void ResetPositionTexts();

// Writes the running-time statistics now (the fix-processing thread's end).
void FlushProcessTimeStatistics();

}  // namespace gps
