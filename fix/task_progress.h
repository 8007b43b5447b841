#pragma once
// The task follows the aircraft: after each fix with a new position, the
// navigation pass decides on the start, the turnpoints and the finish.

namespace gps {

// On the fix-processing thread, holding no lock; nothing happens unless a
// task is being flown and has a point to fly to.
void AdvanceTask();

}  // namespace gps
