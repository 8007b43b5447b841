#include "frame/notes_controls.h"

#include <wx/settings.h>
#include <wx/textctrl.h>

#include <memory>

#include "core/history_list.h"
#include "core/settings_values.h"
#include "frame/small_controls.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "resources/ids/strings_frame.h"
#include "services/string_resources.h"

namespace frame {
namespace {

using ids::kIdsAddCaption;
using ids::kIdsDeleteCaption;
using ids::kIdsAddText;
using ids::kIdsDeleteText;

constexpr std::size_t kFaceNameLength = 31;

struct NotesFont {
    wxFont font;
    int weight = 0;
};

NotesFont& SharedNotesFont() {
    static NotesFont shared;
    return shared;
}

bool Ask(wxWindow* owner, const wxString& text, unsigned textId, unsigned captionId) {
    return platform::ShowMessageBox(owner, text.ToStdWstring() + core::LoadResourceString(textId),
                                    core::LoadResourceString(captionId),
                                    platform::mb::kYesNo | platform::mb::kIconQuestion |
                                        platform::mb::kTopmost) == platform::kIdYes;
}

}  // namespace

ColorEdit::ColorEdit(wxTextCtrl& window, platform::WindowId notify) : text_(window) {
    text_.SetEditable(false);
    SetColours(*wxBLACK, *wxWHITE);
    SetNotesFont(text_, platform::AppSettings().GetInt("Options\\Fonts", "notesBold", 0) != 0);
    // The handlers keep no reference to this object, which may go first.
    wxTextCtrl* const text = &text_;
    text_.Bind(wxEVT_SHOW, [text](wxShowEvent& event) {
        text->SetSelection(0, 0);
        event.Skip();
    });
    text_.Bind(wxEVT_LEFT_DOWN, [text](wxMouseEvent& event) {
        text->SetSelection(0, 0);
        if (!NotesClickHides(event.GetY(), text->GetClientSize().y)) event.Skip();
    });
    text_.Bind(wxEVT_LEFT_UP, [text, notify](wxMouseEvent& event) {
        text->SetSelection(0, 0);
        if (NotesClickHides(event.GetY(), text->GetClientSize().y)) {
            platform::PostWindowMessage(notify, platform::WM_USER_HIDEPOPUP,
                                        reinterpret_cast<std::uintptr_t>(text), 0);
            return;
        }
        event.Skip();
    });
}

void ColorEdit::SetColours(const wxColour& text, const wxColour& back) {
    text_.SetForegroundColour(text);
    text_.SetBackgroundColour(back);
}

void SetNotesFont(wxWindow& window, bool bold) {
    NotesFont& shared = SharedNotesFont();
    const int weight = NotesFontWeight(bold);
    if (!shared.font.IsOk() || shared.weight != weight) {
        wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
        font.SetNumericWeight(weight);
        font.SetFaceName(core::g_fontFamily.Get().substr(0, kFaceNameLength));
        shared.font = font;
        shared.weight = weight;
    }
    window.SetFont(shared.font);
}

HistoryComboBox::HistoryComboBox(wxWindow* parent, wxWindowID id, int limit)
    : wxComboBox(parent, id), limit_(limit) {
    if (limit_ > 0) SetMaxLength(static_cast<unsigned long>(limit_));
}

int HistoryComboBox::LoadHistory(const std::string& section, bool clearFirst) {
    if (!section.empty()) section_ = section;
    if (section_.empty()) return -1;
    if (clearFirst) Clear();
    const std::vector<std::wstring> entries = core::LoadHistory(platform::AppSettings(), section_);
    for (const std::wstring& entry : entries) Append(entry);
    return static_cast<int>(entries.size());
}

void HistoryComboBox::SaveHistory() {
    if (section_.empty()) return;
    core::SaveHistory(platform::AppSettings(), section_, ComboHistoryEntries(*this));
}

void HistoryComboBox::AddCurrentText(bool quiet) {
    AddComboHistoryText(*this, quiet);
}

void HistoryComboBox::DeleteCurrentText(bool quiet) {
    DeleteComboHistoryText(*this, quiet);
}

void AddComboHistoryText(wxComboBox& box, bool quiet) {
    const wxString text = box.GetValue();
    if (text.empty() || box.FindString(text) != wxNOT_FOUND) return;
    if (!quiet && !Ask(&box, text, kIdsAddText, kIdsAddCaption)) return;
    box.SetSelection(box.Append(text));
}

void DeleteComboHistoryText(wxComboBox& box, bool quiet) {
    const int index = box.FindString(box.GetValue());
    if (index == wxNOT_FOUND) return;
    if (!quiet && !Ask(&box, box.GetValue(), kIdsDeleteText, kIdsDeleteCaption)) return;
    box.Delete(static_cast<unsigned>(index));
    if (box.GetCount() > 0) box.SetSelection(0);
}

std::vector<std::wstring> ComboHistoryEntries(const wxComboBox& box) {
    std::vector<std::wstring> entries;
    for (unsigned i = 0; i < box.GetCount(); ++i) entries.push_back(box.GetString(i).ToStdWstring());
    return entries;
}

void BindHistoryKeys(wxComboBox& box, const std::string& section) {
    auto state = std::make_shared<HistoryKeyState>();
    box.Bind(wxEVT_KEY_DOWN, [&box, state, section](wxKeyEvent& event) {
        HistoryKey key = HistoryKey::kOther;
        switch (event.GetKeyCode()) {
            case WXK_RETURN:
            case WXK_NUMPAD_ENTER: key = HistoryKey::kEnter; break;
            case WXK_CONTROL: key = HistoryKey::kControl; break;
            case WXK_BACK: key = HistoryKey::kBackspace; break;
            default: break;
        }
        const std::size_t before = box.GetCount();
        switch (state->OnKeyDown(key)) {
            case HistoryKeyAction::kAdd: AddComboHistoryText(box, false); break;
            case HistoryKeyAction::kDelete: DeleteComboHistoryText(box, false); break;
            case HistoryKeyAction::kNone: event.Skip(); return;
        }
        if (box.GetCount() != before && !section.empty())
            core::SaveHistory(platform::AppSettings(), section, ComboHistoryEntries(box));
    });
    const auto forget = [state](wxFocusEvent& event) {
        state->OnFocusChange();
        event.Skip();
    };
    box.Bind(wxEVT_SET_FOCUS, forget);
    box.Bind(wxEVT_KILL_FOCUS, forget);
}

}  // namespace frame
