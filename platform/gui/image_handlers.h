#pragma once
// wx reads and writes PNG only once its handler is registered.

namespace platform::gui {

// Registers wx's PNG handler unless it already is. UI thread.
void EnsurePngHandler();

}  // namespace platform::gui
