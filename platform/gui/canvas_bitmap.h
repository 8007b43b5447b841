#pragma once
// Canvas pixels for wx: the UI thread's last step before painting.
//
// A drawing thread finishes a canvas and hands it over (CanvasHandover);
// the paint handler copies its pixels into a wxBitmap here and draws the
// bitmap. UI thread only (wx objects); the pixels must not be drawn on
// while they are copied (CopyFinished reads them under the hand-over's
// lock).

#include <wx/bitmap.h>
#include <wx/image.h>

#include "platform/canvas_handover.h"
#include "platform/image.h"

namespace platform::gui {

// The pixels as an RGB wxImage (alpha is dropped: canvases are opaque).
wxImage ToWxImage(const Image& pixels);

// Copies the pixels into bitmap, which is (re)made as a 24-bit bitmap of
// the pixels' size unless it already is one. False when pixels is empty.
bool CopyToBitmap(const Image& pixels, wxBitmap& bitmap);

// CopyToBitmap of the finished canvas, under the hand-over's lock; false
// while none was published.
bool CopyFinished(const CanvasHandover& handover, wxBitmap& bitmap);

}  // namespace platform::gui
