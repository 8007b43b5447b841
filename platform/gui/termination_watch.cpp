#include "platform/gui/termination_watch.h"

#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <utility>
#include <vector>

namespace platform::gui {
namespace {

constexpr int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

void ChangeSignalMask(int how) {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : kTerminationSignals)
        sigaddset(&signals, signal);
    pthread_sigmask(how, &signals, nullptr);
}

// A native message box runs the toolkit's own dialog loop, which EndModal
// does not reach: it is given the toolkit's "cancel" response instead. The
// toolkit is already loaded by wx; asking for the entry point by name keeps
// its headers out of the build.
void CancelNativeDialog(wxDialog& dialog) {
    using Respond = void (*)(void* dialog, int response);
    static const auto respond = std::bit_cast<Respond>(::dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
    constexpr int kResponseCancel = -6;
    void* const handle = dialog.GetHandle();
    if (respond != nullptr && handle != nullptr) respond(handle, kResponseCancel);
}

std::atomic<bool> g_requested{false};

}  // namespace

// Knows the modal dialogs shown now, innermost last; after a termination
// signal it cancels them and every later one. UI thread only.
class TerminationWatch::ModalTracker final : public wxModalDialogHook {
  public:
    explicit ModalTracker(std::function<void()> close) : close_(std::move(close)) { Register(); }

    void Terminate() {
        const bool first = !g_requested.exchange(true);
        // A file dialog enters twice (its own show and the dialog's): each
        // dialog is cancelled once, the innermost first.
        std::vector<wxDialog*> dialogs;
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
            if (std::find(dialogs.begin(), dialogs.end(), *it) == dialogs.end())
                dialogs.push_back(*it);
        }
        for (wxDialog* dialog : dialogs) {
            if (dialog->IsModal()) {
                dialog->EndModal(wxID_CANCEL);
            } else {
                CancelNativeDialog(*dialog);
            }
        }
        if (first && close_ && wxTheApp != nullptr) wxTheApp->CallAfter(close_);
    }

  protected:
    int Enter(wxDialog* dialog) override {
        if (g_requested.load()) return wxID_CANCEL;
        open_.push_back(dialog);
        return wxID_NONE;
    }

    void Exit(wxDialog* dialog) override {
        const auto it = std::find(open_.rbegin(), open_.rend(), dialog);
        if (it != open_.rend()) open_.erase(std::next(it).base());
    }

  private:
    std::function<void()> close_;
    std::vector<wxDialog*> open_;
};

TerminationWatch::ModalTracker* TerminationWatch::active_ = nullptr;

void TerminationWatch::OnSignal(int /*signal*/) {
    if (active_ != nullptr) active_->Terminate();
}

void BlockTerminationSignals() {
    ChangeSignalMask(SIG_BLOCK);
}

TerminationWatch::TerminationWatch(std::function<void()> close)
    : modals_(std::make_unique<ModalTracker>(std::move(close))) {
    active_ = modals_.get();
    for (const int signal : kTerminationSignals)
        wxTheApp->SetSignalHandler(signal, &TerminationWatch::OnSignal);
    ChangeSignalMask(SIG_UNBLOCK);
}

TerminationWatch::~TerminationWatch() {
    BlockTerminationSignals();
    active_ = nullptr;
}

bool TerminationWatch::Requested() {
    return g_requested.load();
}

}  // namespace platform::gui
