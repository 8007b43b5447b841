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
// Later additions to a finished canvas (the map's track dots) are drawn
// under the same lock (Draw), in short turns, so a Read sees either none
// or all of one turn. The mark is a point that belongs to the finished
// canvas (where the last addition was drawn); every Publish starts it anew
// at kNoMark.
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

    // Runs writer on the finished canvas and its mark under the lock, then
    // finishes the canvas; false, without calling it, while none was
    // published.
    bool Draw(const std::function<void(Canvas&, Point& mark)>& writer);

    static constexpr Point kNoMark{-32000, -32000};

    // Drops the finished canvas (for example when the window's size
    // changes); returns it.
    std::unique_ptr<Canvas> Take();

  private:
    mutable std::mutex lock_;
    std::unique_ptr<Canvas> finished_;
    Point mark_ = kNoMark;
};

}  // namespace platform
