#pragma once
// Dialog data exchange: moving members into a dialog's controls ("load")
// and back out of them with validation ("save").
//
// A dialog's DoDataExchange calls the DDX_ and DDV_ functions below with the
// exchange context; controls are found by their numeric id (XRC names are
// ids). Typed text is folded and parsed as platform/ddx_text.h describes.
// When a save fails, the prompt for the failure is shown (its text from the
// string table, the class library's English text when the table has none),
// the focus goes to the control last exchanged (its text selected), the
// exchange is marked failed and every later DDX_/DDV_ call of the same
// exchange does nothing, so the first failure is the only one reported.
// Code of a DoDataExchange that acts on saved values checks Failed() first.
//
// A control that the dialog lacks is left alone. UI thread only.

#include <wx/window.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ddx_text.h"

namespace platform::gui {

class CDataExchange {
  public:
    CDataExchange(wxWindow& dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(&dialog) {}

    // True: controls to members, with validation. False: members to controls.
    const bool m_bSaveAndValidate;
    wxWindow* const m_pDlgWnd;

    // The control with that id (null when the dialog has none); it becomes
    // the control that a failure focuses.
    wxWindow* PrepareCtrl(int id);

    // Ends the exchange as failed: the focus goes to the last prepared
    // control, with its text selected. Shows nothing; see FailWithPrompt.
    void Fail();
    // Shows prompt promptId (with %1 and %2 filled in), then Fail().
    void FailWithPrompt(unsigned promptId, std::wstring_view first = {},
                        std::wstring_view second = {});

    bool Failed() const { return failed_; }
    // The control last prepared; null before the first.
    wxWindow* LastControl() const { return lastControl_; }

  private:
    wxWindow* lastControl_ = nullptr;
    bool failed_ = false;
};

// Runs doDataExchange in a new exchange; true unless it failed.
bool UpdateData(wxWindow& dialog, bool saveAndValidate,
                const std::function<void(CDataExchange* pDX)>& doDataExchange);

// The whole text of window, folded; returns its length.
int GetWindowTextFolded(const wxWindow& window, std::wstring& text);

// Numbers in edit controls.
void DDX_TextFloat(CDataExchange* pDX, int id, float& value);
void DDX_TextDouble(CDataExchange* pDX, int id, double& value);
void DDX_TextByte(CDataExchange* pDX, int id, std::uint8_t& value);
void DDX_TextShort(CDataExchange* pDX, int id, std::int16_t& value);
void DDX_TextInt(CDataExchange* pDX, int id, int& value);
void DDX_TextUInt(CDataExchange* pDX, int id, unsigned& value);
void DDX_TextLong(CDataExchange* pDX, int id, std::int32_t& value);
void DDX_TextULong(CDataExchange* pDX, int id, std::uint32_t& value);

// Text, folded when saved.
void DDX_TextString(CDataExchange* pDX, int id, std::wstring& value);
// Combo box text. Load selects the first item that begins with the text
// (ignoring case) or, when none does or the text is empty, sets the text.
// Save takes the folded text (a choice's selected item).
void DDX_CBStringFolded(CDataExchange* pDX, int id, std::wstring& value);

// Check box: 0 unchecked, 1 checked, 2 undetermined (three-state boxes).
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Radio group whose first button is id: the index of the checked button,
// -1 when none is.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// Selected item of a combo box or choice; -1 when none.
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);

// Binds a member pointer to the control with that id (null when the dialog
// has none or it is not a Control).
template <typename Control>
void DDX_Control(CDataExchange* pDX, int id, Control*& control) {
    control = dynamic_cast<Control*>(pDX->m_pDlgWnd->FindWindow(id));
}

// Range checks of a value just saved, against the control last exchanged;
// a load checks nothing.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum);
void DDV_MinMaxLong(CDataExchange* pDX, std::int32_t value, std::int32_t minimum,
                    std::int32_t maximum);
void DDV_MinMaxUInt(CDataExchange* pDX, unsigned value, unsigned minimum, unsigned maximum);
void DDV_MinMaxULong(CDataExchange* pDX, std::uint32_t value, std::uint32_t minimum,
                     std::uint32_t maximum);
void DDV_MinMaxShort(CDataExchange* pDX, std::int16_t value, std::int16_t minimum,
                     std::int16_t maximum);
void DDV_MinMaxByte(CDataExchange* pDX, std::uint8_t value, std::uint8_t minimum,
                    std::uint8_t maximum);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minimum, float maximum);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minimum, double maximum);
// At most maxChars characters; a load limits the control's length.
void DDV_MaxChars(CDataExchange* pDX, const std::wstring& value, int maxChars);

}  // namespace platform::gui
