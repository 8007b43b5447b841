#pragma once
// One text of the flight displays: a name, a fixed capacity in characters
// (the terminating zero counted, as the displays' buffers were sized), the
// default shown before the first fix, and the text itself behind its own
// small lock, so that the fix-processing thread may rewrite a text while the
// UI thread copies it out for drawing.
//
// Every write is bounded: a text longer than capacity - 1 characters is cut
// to that length (a text built to keep whole Linux device paths has a larger
// limit). Writers check their numbers before formatting: a value that is not
// finite is shown by the writer's no-value form, never as "nan" or "inf".
//
// Any thread may call every member. Texts that DisplayTextLock also guards
// (the task statistics, the task distance) are written under it as well.

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/numbers.h"

namespace glide {

class DisplayText {
  public:
    // limit 0 means capacity - 1 characters.
    DisplayText(std::wstring_view name, std::size_t capacity, std::wstring_view defaultText,
                std::size_t limit = 0);
    DisplayText(const DisplayText&) = delete;
    DisplayText& operator=(const DisplayText&) = delete;

    std::wstring_view Name() const { return name_; }
    std::size_t Capacity() const { return capacity_; }
    // Characters kept at most.
    std::size_t Limit() const { return limit_; }
    std::wstring_view DefaultText() const { return default_; }

    std::wstring Get() const;
    void Set(std::wstring_view text);
    // Formats in the C locale ("%ls" for wide texts) and sets the result.
    template <typename... Args>
    void Format(const wchar_t* format, Args... args) {
        Set(platform::FormatC(format, args...));
    }
    // Replaces the characters from position on with letters and keeps the
    // rest, as a copy of a few characters over a zero-terminated buffer
    // does: a zero among the letters (fewer letters than count) ends the
    // text there. Texts shorter than position are left alone.
    void Overwrite(std::size_t position, std::wstring_view letters, std::size_t count);
    void Reset() { Set(default_); }

  private:
    const std::wstring_view name_;
    const std::size_t capacity_;
    const std::wstring_view default_;
    const std::size_t limit_;
    mutable std::mutex mutex_;
    std::wstring text_;
};

}  // namespace glide
