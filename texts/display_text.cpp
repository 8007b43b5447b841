#include "texts/display_text.h"

#include <algorithm>

namespace glide {

DisplayText::DisplayText(std::wstring_view name, std::size_t capacity,
                         std::wstring_view defaultText, std::size_t limit)
    : name_(name),
      capacity_(capacity),
      default_(defaultText),
      limit_(limit != 0 ? limit : capacity - 1),
      text_(defaultText.substr(0, limit_)) {}

std::wstring DisplayText::Get() const {
    const std::lock_guard lock(mutex_);
    return text_;
}

void DisplayText::Set(std::wstring_view text) {
    const std::lock_guard lock(mutex_);
    text_.assign(text.substr(0, limit_));
}

void DisplayText::Overwrite(std::size_t position, std::wstring_view letters, std::size_t count) {
    const std::lock_guard lock(mutex_);
    if (position > text_.size()) return;
    const std::size_t copied = std::min(letters.size(), count);
    if (copied < count) {
        // The copied zero ends the text.
        text_.resize(position);
        text_.append(letters);
    } else {
        text_.replace(position, std::min(count, text_.size() - position), letters.substr(0, count));
    }
    if (text_.size() > limit_) text_.resize(limit_);
}

}  // namespace glide
