#include "platform/text_wrap.h"

#include <vector>

namespace platform {
namespace {

// The longest start of `word` that fits, at least one character.
std::size_t FittingPart(std::wstring_view word, int width, const TextMeasure& measure) {
    std::size_t fits = 1;
    while (fits < word.size() && measure(word.substr(0, fits + 1)) <= width)
        ++fits;
    return fits;
}

std::vector<std::wstring_view> Words(std::wstring_view line) {
    std::vector<std::wstring_view> words;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t space = line.find(L' ', start);
        const std::size_t end = space == std::wstring_view::npos ? line.size() : space;
        if (end > start) words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

void WrapLine(std::wstring_view line, int width, const TextMeasure& measure, std::wstring& out) {
    // A line that fits keeps its spacing.
    if (measure(line) <= width) {
        out = line;
        return;
    }
    std::wstring current;
    const auto flush = [&] {
        if (current.empty()) return;
        if (!out.empty() && out.back() != L'\n') out += L'\n';
        out += current;
        current.clear();
    };
    for (std::wstring_view word : Words(line)) {
        const std::wstring joined = current.empty() ? std::wstring(word) : current + L' ' + std::wstring(word);
        if (measure(joined) <= width) {
            current = joined;
            continue;
        }
        flush();
        while (measure(word) > width) {
            const std::size_t part = FittingPart(word, width, measure);
            current = word.substr(0, part);
            flush();
            word.remove_prefix(part);
        }
        current = word;
    }
    flush();
}

}  // namespace

std::wstring WrapText(std::wstring_view text, int width, const TextMeasure& measure) {
    std::wstring out;
    std::size_t start = 0;
    bool first = true;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        if (!first) out += L'\n';
        first = false;
        std::wstring wrapped;
        WrapLine(line, width, measure, wrapped);
        out += wrapped;
        start = end + 1;
    }
    return out;
}

}  // namespace platform
