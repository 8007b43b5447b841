#pragma once
// Message boxes as wx dialogs, shown on the UI thread whichever thread asks.
//
// On the UI thread a box is shown at once and its answer returned. A box
// asked for on another thread is queued for the UI thread, where queued
// boxes are shown one after the other, never stacked:
//  - a box with only an OK button needs no answer: the worker does not wait,
//    it gets OK at once (an identical box still waiting in the queue is not
//    queued twice);
//  - a question (Yes/No, OK/Cancel) makes the worker wait for the answer;
//    when the program is stopping it stops waiting and gets the default
//    answer (platform::DefaultAnswer).
// While the program is stopping, boxes from workers are not shown. The
// owner of a box from a worker is ignored: the window may be gone by the
// time the box is shown. Never ask for an answer while holding a lock that
// the UI thread may take.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/message_box.h"
#include "platform/ui_post.h"

class wxWindow;
class wxString;

namespace platform::gui {

// Our style bits as wxMessageDialog style, and a dialog's answer as ours.
long ToWxMessageStyle(unsigned style);
int FromWxAnswer(int wxId);

class WxMessageBoxSink final : public MessageBoxSink,
                               public std::enable_shared_from_this<WxMessageBoxSink> {
  public:
    // Shows one box modally on the UI thread and returns our answer.
    using Presenter = std::function<int(wxWindow* parent, const wxString& text,
                                        const wxString& caption, unsigned style)>;

    // Boxes are the toolkit's generic message dialogs, their text broken
    // to the screen's width and the box fitted to the screen.
    WxMessageBoxSink();
    // Boxes go to presenter (tests).
    explicit WxMessageBoxSink(Presenter presenter);
    // Workers still waiting for a queued box get the default answer.
    ~WxMessageBoxSink() override;
    WxMessageBoxSink(const WxMessageBoxSink&) = delete;
    WxMessageBoxSink& operator=(const WxMessageBoxSink&) = delete;

    int Show(void* owner, std::wstring_view text, std::wstring_view caption,
             unsigned style) override;

  private:
    struct Queued {
        std::wstring text;
        std::wstring caption;
        unsigned style = 0;
        std::shared_ptr<PendingReply> reply;  // null: nobody waits
    };

    int ShowFromWorker(std::wstring_view text, std::wstring_view caption, unsigned style);
    void Enqueue(Queued box);
    void ShowQueued();  // UI thread

    Presenter presenter_;
    std::mutex mutex_;
    std::deque<Queued> queue_;
    bool scheduled_ = false;  // a ShowQueued call is on its way
    bool showing_ = false;    // UI thread only
};

}  // namespace platform::gui
