#pragma once
// Pictures of windows as PNG files, for reviewing layouts from the GUI
// tests.
//
// The toolkit draws the window (children included) into an image of its
// own, rather than the screen being read back, so other windows, where the
// window lies and whether a window manager runs do not matter.

#include <filesystem>

class wxImage;
class wxWindow;

namespace platform::gui {

// The window as it is drawn. A hidden window is shown first and given time
// to lay itself out. An invalid image when it cannot be drawn.
wxImage CaptureWindow(wxWindow& window);

// CaptureWindow saved as a PNG; false when nothing could be drawn or
// written. The folder is created when missing.
bool SaveScreenshot(wxWindow& window, const std::filesystem::path& file);

}  // namespace platform::gui
