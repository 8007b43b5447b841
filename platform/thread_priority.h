#pragma once
// Thread priorities as nice values of the calling thread, best effort:
// making a thread nicer always works, making it less nice needs a privilege
// the program usually lacks, and then the thread stays as it is.

namespace platform {

// Adds `steps` (0 or more) to the calling thread's nice value, at most 19.
void LowerThisThreadPriority(int steps);

// Subtracts `steps` (0 or more) from the calling thread's nice value, at
// least -20. False, and the thread as it was, without the privilege.
bool RaiseThisThreadPriority(int steps);

// Sets the calling thread's nice value (-20..19).
void SetThisThreadNice(int nice);

}  // namespace platform
