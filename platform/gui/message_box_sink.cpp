#include "platform/gui/message_box_sink.h"

#include <wx/app.h>
#include <wx/dcscreen.h>
#include <wx/msgdlg.h>
// After the base the generic dialog builds on.
#include <wx/generic/msgdlgg.h>
#include <wx/settings.h>
#include <wx/thread.h>

#include <algorithm>
#include <utility>

#include "platform/gui/screen_fit.h"
#include "platform/text_wrap.h"

namespace platform::gui {
namespace {

// Room the box takes beside its text: the icon, the margins, the frame.
constexpr int kBesideText = 120;
// The longest line that reads well, in average characters.
constexpr int kLineCharacters = 60;

// The desktop's own message box grows with its text and never scrolls: a
// long path or many lines push its buttons off a cockpit screen. This box
// is the toolkit's generic one, its text broken to the screen's width and
// the box fitted to the screen (scrolled when the text is taller).
class FittedMessageDialog final : public wxGenericMessageDialog {
  public:
    FittedMessageDialog(wxWindow* parent, const wxString& text, const wxString& caption, long style)
        : wxGenericMessageDialog(parent, Wrapped(parent, text), caption, style) {}

    int ShowModal() override {
        DoCreateMsgdialog();
        FitOnScreen(*this);
        return wxDialog::ShowModal();
    }

  private:
    static wxString Wrapped(const wxWindow* parent, const wxString& text) {
        wxScreenDC dc;
        dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        const int width = std::min(WorkAreaOf(parent).width - kBesideText,
                                   kLineCharacters * dc.GetCharWidth());
        return WrapText(text.ToStdWstring(), std::max(width, dc.GetCharWidth()),
                        [&dc](std::wstring_view part) {
                            return dc.GetTextExtent(wxString(part.data(), part.size())).x;
                        });
    }
};

int ShowMessageDialog(wxWindow* parent, const wxString& text, const wxString& caption,
                      unsigned style) {
    FittedMessageDialog dialog(parent, text, caption, ToWxMessageStyle(style));
    return FromWxAnswer(dialog.ShowModal());
}

}  // namespace

long ToWxMessageStyle(unsigned style) {
    long wxStyle = 0;
    switch (style & mb::kButtonMask) {
        case mb::kOkCancel:
            wxStyle = wxOK | wxCANCEL;
            break;
        case mb::kYesNo:
            wxStyle = wxYES_NO;
            break;
        default:
            wxStyle = wxOK;
    }
    switch (style & mb::kIconMask) {
        case mb::kIconHand:
            wxStyle |= wxICON_ERROR;
            break;
        case mb::kIconQuestion:
            wxStyle |= wxICON_QUESTION;
            break;
        case mb::kIconExclamation:
            wxStyle |= wxICON_WARNING;
            break;
        case mb::kIconInformation:
            wxStyle |= wxICON_INFORMATION;
            break;
        default:
            wxStyle |= wxICON_NONE;
    }
    if ((style & mb::kTopmost) != 0) wxStyle |= wxSTAY_ON_TOP;
    return wxStyle | wxCENTRE;
}

int FromWxAnswer(int wxId) {
    switch (wxId) {
        case wxID_CANCEL:
            return kIdCancel;
        case wxID_YES:
            return kIdYes;
        case wxID_NO:
            return kIdNo;
        default:
            return kIdOk;
    }
}

WxMessageBoxSink::WxMessageBoxSink() : WxMessageBoxSink(ShowMessageDialog) {}

WxMessageBoxSink::WxMessageBoxSink(Presenter presenter) : presenter_(std::move(presenter)) {}

WxMessageBoxSink::~WxMessageBoxSink() {
    std::lock_guard lock(mutex_);
    for (const Queued& box : queue_) {
        if (box.reply) box.reply->Abandon();
    }
}

int WxMessageBoxSink::Show(void* owner, std::wstring_view text, std::wstring_view caption,
                           unsigned style) {
    if (!wxIsMainThread()) return ShowFromWorker(text, caption, style);
    return presenter_(static_cast<wxWindow*>(owner), wxString(text.data(), text.size()),
                      wxString(caption.data(), caption.size()), style);
}

int WxMessageBoxSink::ShowFromWorker(std::wstring_view text, std::wstring_view caption,
                                     unsigned style) {
    if (ProgramStopping() || wxTheApp == nullptr) return DefaultAnswer(style);
    if ((style & mb::kButtonMask) == mb::kOk) {
        Enqueue({std::wstring(text), std::wstring(caption), style, nullptr});
        return kIdOk;
    }
    auto reply = std::make_shared<PendingReply>();
    Enqueue({std::wstring(text), std::wstring(caption), style, reply});
    const auto answer = reply->Wait();
    return answer ? static_cast<int>(*answer) : DefaultAnswer(style);
}

void WxMessageBoxSink::Enqueue(Queued box) {
    std::lock_guard lock(mutex_);
    const bool duplicate =
        box.reply == nullptr && std::any_of(queue_.begin(), queue_.end(), [&](const Queued& q) {
            return q.reply == nullptr && q.text == box.text && q.caption == box.caption &&
                   q.style == box.style;
        });
    if (duplicate) return;
    queue_.push_back(std::move(box));
    if (scheduled_) return;
    scheduled_ = true;
    wxTheApp->CallAfter([weak = weak_from_this()] {
        if (const auto self = weak.lock()) self->ShowQueued();
    });
}

void WxMessageBoxSink::ShowQueued() {
    {
        std::lock_guard lock(mutex_);
        scheduled_ = false;
    }
    // A box shown below runs a modal loop that may call this again: the
    // outer call goes on with the queue, so boxes never stack.
    if (showing_) return;
    showing_ = true;
    for (;;) {
        Queued box;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) break;
            box = std::move(queue_.front());
            queue_.pop_front();
        }
        if (ProgramStopping()) {
            if (box.reply) box.reply->Abandon();
            continue;
        }
        const int answer =
            presenter_(nullptr, wxString(box.text), wxString(box.caption), box.style);
        if (box.reply) box.reply->Complete(answer);
    }
    showing_ = false;
}

}  // namespace platform::gui
