#pragma once
// The hand-over of finished canvases from a drawing thread to the UI
// thread.
//
// The drawing thread draws on a canvas of its own, then Publish()es it: the
// canvas becomes the finished one and the one it replaces comes back, to be
// drawn on next (or null). The UI thread reads the finished canvas under
// the hand-over's lock (Read), so it never sees a canvas being drawn and
// the drawing thread never waits longer than one Read.
//
// Any thread may call any member; the one lock is held only while the
// pointers are swapped and while a reader runs (readers must not call
// back into the hand-over).

#include <functional>
#include <memory>
#include <mutex>

#include "platform/canvas.h"

namespace platform {

class CanvasHandover {
  public:
    // Makes finished (Finish()ed here) the canvas readers get; returns the
    // previous finished canvas, or null.
    std::unique_ptr<Canvas> Publish(std::unique_ptr<Canvas> finished);

    // Runs reader on the finished canvas's pixels under the lock; false,
    // without calling it, while none was published.
    bool Read(const std::function<void(const Image&)>& reader) const;

    // Drops the finished canvas (for example when the window's size
    // changes); returns it.
    std::unique_ptr<Canvas> Take();

  private:
    mutable std::mutex lock_;
    std::unique_ptr<Canvas> finished_;
};

}  // namespace platform
