#include "platform/gui/ddx.h"

#include <wx/checkbox.h>
#include <wx/ctrlsub.h>
#include <wx/radiobut.h>
#include <wx/textentry.h>

#include <algorithm>
#include <optional>

#include "platform/gui/resource_bundle.h"
#include "platform/message_box.h"

namespace platform::gui {
namespace {

std::wstring ControlText(const wxWindow& control) {
    if (const auto* entry = dynamic_cast<const wxTextEntry*>(&control))
        return entry->GetValue().ToStdWstring();
    if (const auto* items = dynamic_cast<const wxItemContainerImmutable*>(&control))
        return items->GetStringSelection().ToStdWstring();
    return control.GetLabel().ToStdWstring();
}

void SetControlText(wxWindow& control, const std::wstring& text) {
    const wxString value(text);
    if (auto* entry = dynamic_cast<wxTextEntry*>(&control)) {
        // ChangeValue: filling a dialog is no edit by the user.
        if (entry->GetValue() != value) entry->ChangeValue(value);
    } else if (control.GetLabel() != value) {
        control.SetLabel(value);
    }
}

// The control of an exchange step, or null when the step is to do nothing.
wxWindow* StepControl(CDataExchange* pDX, int id) {
    return pDX->Failed() ? nullptr : pDX->PrepareCtrl(id);
}

template <typename T, typename Parse, typename Format>
void ExchangeNumber(CDataExchange* pDX, int id, T& value, Parse parse, Format format,
                    unsigned prompt) {
    wxWindow* control = StepControl(pDX, id);
    if (control == nullptr) return;
    if (!pDX->m_bSaveAndValidate) {
        SetControlText(*control, format(value));
        return;
    }
    const auto parsed = parse(ControlText(*control));
    if (!parsed) {
        pDX->FailWithPrompt(prompt);
        return;
    }
    value = *parsed;
}

template <typename T, typename Format>
void CheckRange(CDataExchange* pDX, T value, T minimum, T maximum, unsigned prompt, Format format) {
    if (pDX->Failed() || !pDX->m_bSaveAndValidate) return;
    if (value < minimum || value > maximum)
        pDX->FailWithPrompt(prompt, format(minimum), format(maximum));
}

// The first item that begins with text, ignoring case; wxNOT_FOUND if none.
int FindItemBeginningWith(const wxItemContainerImmutable& items, const wxString& text) {
    const wxString wanted = text.Lower();
    for (unsigned i = 0; i < items.GetCount(); ++i) {
        if (items.GetString(i).Lower().StartsWith(wanted)) return static_cast<int>(i);
    }
    return wxNOT_FOUND;
}

}  // namespace

wxWindow* CDataExchange::PrepareCtrl(int id) {
    wxWindow* control = m_pDlgWnd->FindWindow(id);
    if (control != nullptr) lastControl_ = control;
    return control;
}

void CDataExchange::Fail() {
    failed_ = true;
    if (lastControl_ == nullptr) return;
    lastControl_->SetFocus();
    if (auto* entry = dynamic_cast<wxTextEntry*>(lastControl_)) entry->SelectAll();
}

void CDataExchange::FailWithPrompt(unsigned promptId, std::wstring_view first,
                                   std::wstring_view second) {
    std::wstring prompt = BundleString(promptId);
    if (prompt.empty()) prompt = DefaultPromptText(promptId);
    ShowMessageBox(m_pDlgWnd, FormatPrompt(prompt, first, second), L"",
                   mb::kOk | mb::kIconExclamation);
    Fail();
}

bool UpdateData(wxWindow& dialog, bool saveAndValidate,
                const std::function<void(CDataExchange* pDX)>& doDataExchange) {
    CDataExchange exchange(dialog, saveAndValidate);
    doDataExchange(&exchange);
    return !exchange.Failed();
}

int GetWindowTextFolded(const wxWindow& window, std::wstring& text) {
    text = ControlText(window);
    FoldFullWidth(text);
    return static_cast<int>(text.size());
}

void DDX_TextFloat(CDataExchange* pDX, int id, float& value) {
    ExchangeNumber(pDX, id, value, ParseFieldFloat, FormatFieldFloat, AFX_IDP_PARSE_REAL);
}

void DDX_TextDouble(CDataExchange* pDX, int id, double& value) {
    ExchangeNumber(pDX, id, value, ParseFieldDouble, FormatFieldDouble, AFX_IDP_PARSE_REAL);
}

void DDX_TextByte(CDataExchange* pDX, int id, std::uint8_t& value) {
    ExchangeNumber(pDX, id, value, ParseFieldByte, FormatFieldUInt, AFX_IDP_PARSE_BYTE);
}

void DDX_TextShort(CDataExchange* pDX, int id, std::int16_t& value) {
    ExchangeNumber(pDX, id, value, ParseFieldShort, FormatFieldShort, AFX_IDP_PARSE_INT);
}

void DDX_TextInt(CDataExchange* pDX, int id, int& value) {
    ExchangeNumber(pDX, id, value, ParseFieldInt, FormatFieldInt, AFX_IDP_PARSE_INT);
}

void DDX_TextUInt(CDataExchange* pDX, int id, unsigned& value) {
    ExchangeNumber(pDX, id, value, ParseFieldUInt, FormatFieldUInt, AFX_IDP_PARSE_UINT);
}

void DDX_TextLong(CDataExchange* pDX, int id, std::int32_t& value) {
    ExchangeNumber(pDX, id, value, ParseFieldInt, FormatFieldInt, AFX_IDP_PARSE_INT);
}

void DDX_TextULong(CDataExchange* pDX, int id, std::uint32_t& value) {
    ExchangeNumber(pDX, id, value, ParseFieldUInt, FormatFieldUInt, AFX_IDP_PARSE_UINT);
}

void DDX_TextString(CDataExchange* pDX, int id, std::wstring& value) {
    wxWindow* control = StepControl(pDX, id);
    if (control == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        GetWindowTextFolded(*control, value);
    } else {
        SetControlText(*control, value);
    }
}

void DDX_CBStringFolded(CDataExchange* pDX, int id, std::wstring& value) {
    wxWindow* control = StepControl(pDX, id);
    if (control == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        GetWindowTextFolded(*control, value);
        return;
    }
    auto* items = dynamic_cast<wxItemContainer*>(control);
    if (items != nullptr && !value.empty()) {
        const int found = FindItemBeginningWith(*items, wxString(value));
        if (found != wxNOT_FOUND) {
            items->SetSelection(found);
            return;
        }
    }
    SetControlText(*control, value);
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    wxWindow* control = StepControl(pDX, id);
    auto* box = dynamic_cast<wxCheckBox*>(control);
    if (box == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = box->Is3State() ? static_cast<int>(box->Get3StateValue()) : box->GetValue();
        return;
    }
    if (value < 0 || value > 2) value = 0;
    if (box->Is3State()) {
        box->Set3StateValue(static_cast<wxCheckBoxState>(value));
    } else {
        box->SetValue(value != 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
    wxWindow* control = StepControl(pDX, id);
    auto* first = dynamic_cast<wxRadioButton*>(control);
    if (first == nullptr) return;
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (wxRadioButton* button = first; button != nullptr;
         button = button->GetNextInGroup(), ++index) {
        if (pDX->m_bSaveAndValidate) {
            if (button->GetValue()) value = index;
        } else if (index == value) {
            // A radio group cannot be left with nothing checked here, so
            // -1 leaves the group as it is.
            button->SetValue(true);
        }
    }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
    wxWindow* control = StepControl(pDX, id);
    auto* items = dynamic_cast<wxItemContainer*>(control);
    if (items == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        index = items->GetSelection();
    } else {
        items->SetSelection(index < 0 ? wxNOT_FOUND : index);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_INT_RANGE, FormatFieldInt);
}

void DDV_MinMaxLong(CDataExchange* pDX, std::int32_t value, std::int32_t minimum,
                    std::int32_t maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_INT_RANGE, FormatFieldInt);
}

void DDV_MinMaxUInt(CDataExchange* pDX, unsigned value, unsigned minimum, unsigned maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_INT_RANGE, FormatFieldUInt);
}

void DDV_MinMaxULong(CDataExchange* pDX, std::uint32_t value, std::uint32_t minimum,
                     std::uint32_t maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_INT_RANGE, FormatFieldUInt);
}

void DDV_MinMaxShort(CDataExchange* pDX, std::int16_t value, std::int16_t minimum,
                     std::int16_t maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_INT_RANGE, FormatFieldShort);
}

void DDV_MinMaxByte(CDataExchange* pDX, std::uint8_t value, std::uint8_t minimum,
                    std::uint8_t maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_INT_RANGE, FormatFieldUInt);
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minimum, float maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_REAL_RANGE, FormatFieldFloat);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minimum, double maximum) {
    CheckRange(pDX, value, minimum, maximum, AFX_IDP_PARSE_REAL_RANGE, FormatFieldDouble);
}

void DDV_MaxChars(CDataExchange* pDX, const std::wstring& value, int maxChars) {
    if (pDX->Failed()) return;
    if (!pDX->m_bSaveAndValidate) {
        if (auto* entry = dynamic_cast<wxTextEntry*>(pDX->LastControl()))
            entry->SetMaxLength(static_cast<unsigned long>(std::max(maxChars, 0)));
        return;
    }
    if (static_cast<int>(value.size()) > maxChars)
        pDX->FailWithPrompt(AFX_IDP_PARSE_STRING_SIZE, FormatFieldInt(maxChars));
}

}  // namespace platform::gui
