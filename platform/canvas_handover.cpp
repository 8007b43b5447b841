#include "platform/canvas_handover.h"

#include <utility>

namespace platform {

std::unique_ptr<Canvas> CanvasHandover::Publish(std::unique_ptr<Canvas> finished) {
    if (finished) finished->Finish();
    const std::scoped_lock hold(lock_);
    mark_ = kNoMark;
    return std::exchange(finished_, std::move(finished));
}

bool CanvasHandover::Read(const std::function<void(const Image&)>& reader) const {
    const std::scoped_lock hold(lock_);
    if (!finished_ || !finished_->Valid()) return false;
    reader(std::as_const(*finished_).Pixels());
    return true;
}

bool CanvasHandover::Draw(const std::function<void(Canvas&, Point& mark)>& writer) {
    const std::scoped_lock hold(lock_);
    if (!finished_ || !finished_->Valid()) return false;
    writer(*finished_, mark_);
    finished_->Finish();
    return true;
}

std::unique_ptr<Canvas> CanvasHandover::Take() {
    const std::scoped_lock hold(lock_);
    return std::move(finished_);
}

}  // namespace platform
