#pragma once
// Text broken into lines no wider than a given width, for boxes that must
// fit a small screen: lines break between words, and a word wider than the
// width (a path, a long number) is broken where it reaches the edge instead
// of pushing the box off the screen. Widths come from the caller's measure,
// so the rule is the same for any font and testable without a display.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

using TextMeasure = std::function<int(std::wstring_view)>;

// `text` with line breaks ("\n") added so that no line measures more than
// `width`; its own line breaks ("\n" or "\r\n") are kept as "\n". Every
// line holds at least one character, however narrow the width.
std::wstring WrapText(std::wstring_view text, int width, const TextMeasure& measure);

}  // namespace platform
