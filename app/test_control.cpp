#include "app/test_control.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/test_hooks.h"
#include "frame/main_frame.h"
#include "map/map_buttons.h"
#include "map/map_view.h"
#include "map/waypoint_layer.h"
#include "nav/waypoint_list.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/layout_check.h"
#include "platform/gui/screenshot.h"
#include "platform/ui_post.h"
#include "platform/utf.h"
#include "platform/window_messages.h"
#include "texts/display_texts.h"

namespace app::test_control {
namespace {

constexpr int kPollMs = 100;

// The modal dialogs running, innermost last: the hook sees every one, the
// toolkit's own file dialogs included.
class ModalDialogs final : public wxModalDialogHook {
  public:
    const std::vector<wxDialog*>& Open() const { return open_; }

  protected:
    int Enter(wxDialog* dialog) override {
        open_.push_back(dialog);
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override { std::erase(open_, dialog); }

  private:
    std::vector<wxDialog*> open_;
};

ModalDialogs& Dialogs() {
    static ModalDialogs dialogs;
    return dialogs;
}

wxDialog* FrontDialog() {
    return Dialogs().Open().empty() ? nullptr : Dialogs().Open().back();
}

template <typename T>
T* FindChild(wxWindow& parent, const std::function<bool(T&)>& match) {
    for (wxWindow* child : parent.GetChildren()) {
        if (auto* typed = dynamic_cast<T*>(child); typed != nullptr && match(*typed)) return typed;
        if (T* found = FindChild(*child, match)) return found;
    }
    return nullptr;
}

void LogTexts() {
    for (const glide::DisplayText* text : glide::AllDisplayTexts()) {
        test_hooks::Record("text\t" + platform::ToUtf8(std::wstring(text->Name())) + "\t" +
                           platform::ToUtf8(text->Get()));
    }
    test_hooks::Record("texts listed");
}

// A dialog's title; the toolkit's file dialogs keep theirs as the message.
wxString TitleOf(const wxDialog& dialog) {
    if (const auto* file = dynamic_cast<const wxFileDialog*>(&dialog)) return file->GetMessage();
    return dialog.GetTitle();
}

void LogWindows() {
    for (const wxDialog* dialog : Dialogs().Open())
        test_hooks::Record("window\t" + TitleOf(*dialog).utf8_string());
    test_hooks::Record("windows listed");
}

void Choose(const std::string& name) {
    wxDialog* dialog = FrontDialog();
    wxListCtrl* list =
        dialog != nullptr ? FindChild<wxListCtrl>(*dialog, [](wxListCtrl&) { return true; }) : nullptr;
    if (list != nullptr) {
        const wxString wanted = wxString::FromUTF8(name);
        for (long row = 0; row < list->GetItemCount(); ++row) {
            if (!list->GetItemText(row).StartsWith(wanted)) continue;
            list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                               wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
            test_hooks::Record("chosen " + std::to_string(row));
            return;
        }
    }
    test_hooks::Record("choose failed");
}

void Press(const std::string& label) {
    wxDialog* dialog = FrontDialog();
    const wxString wanted = wxString::FromUTF8(label);
    wxButton* button = dialog != nullptr ? FindChild<wxButton>(*dialog, [&wanted](wxButton& b) {
        return b.IsShown() && (b.GetName() == wanted || wxStripMenuCodes(b.GetLabel()) == wanted);
    })
                                         : nullptr;
    if (button == nullptr) {
        test_hooks::Record("press failed");
        return;
    }
    // Queued: a click that runs a dialog of its own would otherwise run it
    // inside this poll, and no poll would come while it is open.
    auto* click = new wxCommandEvent(wxEVT_BUTTON, button->GetId());
    click->SetEventObject(button);
    test_hooks::Record("pressed " + label);
    button->GetEventHandler()->QueueEvent(click);
}

// Types into the front dialog's first text field that takes typing (a file
// dialog's name field).
void Type(const std::string& text) {
    wxDialog* dialog = FrontDialog();
    wxTextCtrl* field = dialog != nullptr ? FindChild<wxTextCtrl>(*dialog, [](wxTextCtrl& t) {
        return t.IsShown() && t.IsEnabled() && t.IsEditable();
    })
                                          : nullptr;
    if (field == nullptr) {
        test_hooks::Record("type failed");
        return;
    }
    field->SetValue(wxString::FromUTF8(text));
    test_hooks::Record("typed " + text);
}

void Cancel() {
    wxDialog* dialog = FrontDialog();
    if (dialog == nullptr) return;
    test_hooks::Record("cancelled " + TitleOf(*dialog).utf8_string());
    dialog->EndModal(wxID_CANCEL);
}

void CheckLayout() {
    if (wxDialog* dialog = FrontDialog()) {
        for (const std::string& fault : platform::gui::LayoutFaults(*dialog, wxDisplay(0u).GetGeometry()))
            test_hooks::Record("fault\t" + fault);
    }
    test_hooks::Record("layout checked");
}

// The main window's map window; null while there is none.
map::CGPSmapView* MapView() {
    return frame::g_hMainFrameWnd != nullptr ? frame::g_hMainFrameWnd->MapView() : nullptr;
}

void LogSymbols() {
    map::CGPSmapView* view = MapView();
    if (view == nullptr) return;
    const mapdata::MapDrawState state = view->Model().Published();
    const platform::CriticalSectionLock lock(nav::WaypointListLock);
    for (const auto& element : nav::g_waypointMapElements) {
        const auto* symbol = dynamic_cast<const map::WaypointElement*>(element.get());
        if (symbol == nullptr) continue;
        const mapdata::ScreenPoint at = mapdata::ProjectToScreen(state, symbol->Element().position);
        test_hooks::Record("symbol\t" + platform::ToUtf8(symbol->Element().text) + "\t" +
                           std::to_string(static_cast<int>(at.x)) + "\t" +
                           std::to_string(static_cast<int>(at.y)));
    }
    test_hooks::Record("symbols listed");
}

// A finger's tap on the map at "x y" (the map window's pixels): pressed
// and lifted on the same spot.
void TapMap(const std::string& at) {
    map::CGPSmapView* view = MapView();
    if (view == nullptr) return;
    int x = 0;
    int y = 0;
    if (std::sscanf(at.c_str(), "%d %d", &x, &y) != 2) return;
    for (const wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.SetEventObject(view);
        view->ProcessWindowEvent(event);
    }
    test_hooks::Record("tapped " + at);
}

// A button of the map window by its id: "button <id> <icon> <shown>".
void LogMapButton(const std::string& id) {
    map::CGPSmapView* view = MapView();
    wxWindow* window = view != nullptr ? view->FindWindow(std::stoi(id)) : nullptr;
    const auto* button = dynamic_cast<const map::CIconButton*>(window);
    if (button == nullptr) {
        test_hooks::Record("button " + id + " missing");
        return;
    }
    test_hooks::Record("button " + id + " " + std::to_string(button->IconIndex()) + " " +
                       (button->IsShown() ? "shown" : "hidden"));
}

// A finger pressing (down) or lifting (up) on the map window's icon button
// of that id: "held <id>", "lifted <id>", or "button <id> missing".
void TouchMapButton(const std::string& id, bool down) {
    map::CGPSmapView* view = MapView();
    wxWindow* window = view != nullptr ? view->FindWindow(std::stoi(id)) : nullptr;
    auto* button = dynamic_cast<map::CIconButton*>(window);
    if (button == nullptr) {
        test_hooks::Record("button " + id + " missing");
        return;
    }
    wxMouseEvent event(down ? wxEVT_LEFT_DOWN : wxEVT_LEFT_UP);
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
    test_hooks::Record((down ? "held " : "lifted ") + id);
}

// The label of the menu item with that command id: "menu <id>\t<label>".
void LogMenuItem(const std::string& id) {
    const wxMenuBar* menus =
        frame::g_hMainFrameWnd != nullptr ? frame::g_hMainFrameWnd->GetMenuBar() : nullptr;
    const wxMenuItem* item =
        menus != nullptr ? menus->FindItem(platform::gui::WxIdFromCommand(std::stoi(id))) : nullptr;
    test_hooks::Record("menu " + id + "\t" +
                       (item != nullptr ? wxStripMenuCodes(item->GetItemLabel()).utf8_string()
                                        : std::string("missing")));
}

void Run(const std::string& line) {
    const std::size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (word == "texts") {
        LogTexts();
    } else if (word == "command") {
        platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                    static_cast<std::uintptr_t>(std::stoul(rest)));
    } else if (word == "windows") {
        LogWindows();
    } else if (word == "choose") {
        Choose(rest);
    } else if (word == "press") {
        Press(rest);
    } else if (word == "type") {
        Type(rest);
    } else if (word == "cancel") {
        Cancel();
    } else if (word == "layout") {
        CheckLayout();
    } else if (word == "symbols") {
        LogSymbols();
    } else if (word == "tap") {
        TapMap(rest);
    } else if (word == "pickrow") {
        // A row of the map's goto list, as a click on it posts it.
        platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_USER_PICKROW,
                                    static_cast<std::uintptr_t>(std::stoul(rest)));
        test_hooks::Record("picked " + rest);
    } else if (word == "button") {
        LogMapButton(rest);
    } else if (word == "hold" || word == "lift") {
        TouchMapButton(rest, word == "hold");
    } else if (word == "menu") {
        LogMenuItem(rest);
    } else if (word == "shot" && frame::g_hMainFrameWnd != nullptr) {
        platform::gui::SaveScreenshot(*frame::g_hMainFrameWnd, rest);
        test_hooks::Record("shot " + rest);
    } else if (word == "dialogshot" && FrontDialog() != nullptr) {
        platform::gui::SaveScreenshot(*FrontDialog(), rest);
        test_hooks::Record("dialogshot " + rest);
    } else if (word == "mapshot" && MapView() != nullptr) {
        platform::gui::SaveScreenshot(*MapView(), rest);
        test_hooks::Record("mapshot " + rest);
    }
}

// Runs the next line appended since the last poll (a line counts once it
// is ended). One a poll: a command may run a modal dialog, whose own loop
// polls on.
class ControlFile final : public wxTimer {
  public:
    explicit ControlFile(std::string path) : path_(std::move(path)) {}
    void Notify() override {
        std::ifstream file(path_, std::ios::binary);
        file.seekg(static_cast<std::streamoff>(read_));
        std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const std::size_t end = text.find('\n');
        if (end == std::string::npos) return;
        read_ += end + 1;
        Run(text.substr(0, end));
    }

  private:
    std::string path_;
    std::size_t read_ = 0;
};

std::unique_ptr<ControlFile>& Poller() {
    static std::unique_ptr<ControlFile> poller;
    return poller;
}

}  // namespace

void Start() {
    const char* path = std::getenv("KOR_VAN_TEST_CONTROL");
    if (path == nullptr || *path == '\0') return;
    Dialogs().Register();
    Poller() = std::make_unique<ControlFile>(path);
    Poller()->Start(kPollMs);
}

void Stop() {
    if (!Poller()) return;
    Poller().reset();
    Dialogs().Unregister();
}

}  // namespace app::test_control
