#include "platform/message_box.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace platform {
namespace {

std::mutex g_sinkMutex;
std::shared_ptr<MessageBoxSink> g_sink;
std::wstring g_defaultCaption;

struct HeldBox {
    std::wstring text;
    std::wstring caption;
    unsigned style;
};
bool g_holding = false;          // guarded by g_sinkMutex
std::vector<HeldBox> g_held;     // guarded by g_sinkMutex

std::shared_ptr<MessageBoxSink> CurrentSink() {
    std::lock_guard lock(g_sinkMutex);
    return g_sink;
}

void Hold(std::wstring_view text, const std::wstring& caption, unsigned style) {
    std::lock_guard lock(g_sinkMutex);
    if (g_holding) g_held.push_back({std::wstring(text), caption, style});
}

}  // namespace

int DefaultAnswer(unsigned style) {
    switch (style & mb::kButtonMask) {
        case mb::kYesNo:
            return kIdYes;
        default:
            return kIdOk;
    }
}

std::shared_ptr<MessageBoxSink> SetMessageBoxSink(std::shared_ptr<MessageBoxSink> sink) {
    std::lock_guard lock(g_sinkMutex);
    return std::exchange(g_sink, std::move(sink));
}

void SetDefaultCaption(std::wstring caption) {
    std::lock_guard lock(g_sinkMutex);
    g_defaultCaption = std::move(caption);
}

std::wstring DefaultCaption() {
    std::lock_guard lock(g_sinkMutex);
    return g_defaultCaption;
}

int ShowMessageBox(void* owner, std::wstring_view text, std::wstring_view caption, unsigned style) {
    const std::wstring title = caption.empty() ? DefaultCaption() : std::wstring(caption);
    if (const auto sink = CurrentSink()) return sink->Show(owner, text, title, style);
    std::fprintf(stderr, "%ls: %.*ls\n", title.c_str(), static_cast<int>(text.size()), text.data());
    Hold(text, title, style);
    return DefaultAnswer(style);
}

void HoldMessageBoxes() {
    std::lock_guard lock(g_sinkMutex);
    g_holding = true;
}

void ReleaseHeldMessageBoxes() {
    std::vector<HeldBox> held;
    {
        std::lock_guard lock(g_sinkMutex);
        g_holding = false;
        held.swap(g_held);
    }
    for (const HeldBox& box : held)
        ShowMessageBox(nullptr, box.text, box.caption, box.style);
}

int RecordingMessageBoxSink::Show(void* owner, std::wstring_view text, std::wstring_view caption,
                                  unsigned style) {
    std::lock_guard lock(mutex_);
    boxes_.push_back({owner, std::wstring(text), std::wstring(caption), style});
    if (answers_.empty()) return DefaultAnswer(style);
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingMessageBoxSink::QueueAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<RecordingMessageBoxSink::Box> RecordingMessageBoxSink::Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

void RecordingMessageBoxSink::Clear() {
    std::lock_guard lock(mutex_);
    boxes_.clear();
    answers_.clear();
}

ScopedRecordingSink::ScopedRecordingSink()
    : sink_(std::make_shared<RecordingMessageBoxSink>()), previous_(SetMessageBoxSink(sink_)) {}

ScopedRecordingSink::~ScopedRecordingSink() {
    SetMessageBoxSink(std::move(previous_));
}

}  // namespace platform
