#pragma once
// SIGTERM and SIGINT held back until the program can close normally.
//
// main blocks both as its first statement, so every thread started after
// it (the toolkit's included) inherits the block and none can be ended by
// the signal's default action. Start-up installs the handlers and then
// unblocks them on the UI thread: a signal sent earlier waits and is
// delivered then, closing the program as its close command does.

namespace app {

// Blocks SIGTERM and SIGINT for the calling thread (main's first statement).
void BlockTerminationSignals();

// Unblocks them for the calling thread (the UI thread, handlers installed).
void UnblockTerminationSignals();

}  // namespace app
