#pragma once
// Message boxes from any thread.
//
// Code that reports to the user calls ShowMessageBox(); where the box goes is
// decided by the installed sink: the GUI installs one that shows a real
// dialog on the UI thread, tests install a RecordingMessageBoxSink. With no
// sink installed the text goes to stderr and the default answer is returned,
// so that library code never blocks in a program without a window.

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Styles and answers keep the values callers and stored settings know.
namespace mb {
inline constexpr unsigned kOk = 0x0;
inline constexpr unsigned kOkCancel = 0x1;
inline constexpr unsigned kYesNo = 0x4;
inline constexpr unsigned kIconHand = 0x10;  // also the error icon
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kTaskModal = 0x2000;
inline constexpr unsigned kTopmost = 0x40000;
inline constexpr unsigned kButtonMask = 0xF;
inline constexpr unsigned kIconMask = 0xF0;
}  // namespace mb

enum MessageBoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// The answer a box gives when nobody can be asked: OK, or Yes for questions.
int DefaultAnswer(unsigned style);

class MessageBoxSink {
  public:
    virtual ~MessageBoxSink() = default;
    // owner: a window handle (opaque here) or null.
    virtual int Show(void* owner, std::wstring_view text, std::wstring_view caption,
                     unsigned style) = 0;
};

// Installs the sink that every later box goes to; returns the previous one.
// Passing null restores the stderr fallback.
std::shared_ptr<MessageBoxSink> SetMessageBoxSink(std::shared_ptr<MessageBoxSink> sink);

// The application name used as caption when none is given.
void SetDefaultCaption(std::wstring caption);
std::wstring DefaultCaption();

// Shows a box through the installed sink and returns its answer. An empty
// caption means the application name.
int ShowMessageBox(void* owner, std::wstring_view text, std::wstring_view caption, unsigned style);

// From HoldMessageBoxes on, a box raised while no sink is installed is also
// kept (it still goes to stderr and gets the default answer), until
// ReleaseHeldMessageBoxes shows the kept ones, in order, through the sink
// then installed and stops keeping. The program holds boxes from its first
// statement and releases them once its UI stands, so a box raised before
// is shown too.
void HoldMessageBoxes();
void ReleaseHeldMessageBoxes();

// Records every box and answers from a queue (the default answer when the
// queue is empty). Safe from any thread.
class RecordingMessageBoxSink final : public MessageBoxSink {
  public:
    struct Box {
        void* owner;
        std::wstring text;
        std::wstring caption;
        unsigned style;
    };

    int Show(void* owner, std::wstring_view text, std::wstring_view caption,
             unsigned style) override;

    void QueueAnswer(int answer);
    std::vector<Box> Boxes() const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    std::vector<Box> boxes_;
    std::deque<int> answers_;
};

// Installs a RecordingMessageBoxSink for the lifetime of a scope (tests).
class ScopedRecordingSink {
  public:
    ScopedRecordingSink();
    ~ScopedRecordingSink();
    ScopedRecordingSink(const ScopedRecordingSink&) = delete;
    ScopedRecordingSink& operator=(const ScopedRecordingSink&) = delete;

    RecordingMessageBoxSink& operator*() const { return *sink_; }
    RecordingMessageBoxSink* operator->() const { return sink_.get(); }

  private:
    std::shared_ptr<RecordingMessageBoxSink> sink_;
    std::shared_ptr<MessageBoxSink> previous_;
};

}  // namespace platform
