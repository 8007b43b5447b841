#pragma once
// The options sheet: one modal dialog whose pages are chosen from a list, in
// the sheet's fixed order. OK validates the page on show (staying there with
// the message when a value is refused), applies every page, the ones never
// shown included (they write back the running values), and remembers the
// page for the next opening. Cancel changes nothing. UI thread only.

#include <wx/dialog.h>

#include <memory>
#include <vector>

class wxBookCtrlEvent;
class wxCommandEvent;
class wxChoicebook;

namespace frame {

class COptionsPage;

// The page that was on show when the sheet was last closed with OK.
extern int g_nLastOptionsPage;

class CKOR_VANoptions final : public wxDialog {
  public:
    CKOR_VANoptions(const wxString& caption, wxWindow* parent, unsigned startPage);
    ~CKOR_VANoptions() override;

    int PageCount() const;
    COptionsPage* Page(int index) const;
    int ActivePage() const;
    void SetActivePage(int index);
    // What OK does; false when a value was refused (the sheet stays open).
    bool ApplyAll();

  private:
    void AddPage(std::unique_ptr<COptionsPage> page);
    void OnPageChanging(wxBookCtrlEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);
    void OnOK(wxCommandEvent& event);

    wxChoicebook* book_ = nullptr;
    std::vector<COptionsPage*> pages_;  // owned by the book
};

// The frame's options command: runs the sheet from startPage; wxID_OK or
// wxID_CANCEL.
int RunOptionsSheet(wxWindow* parent, int startPage);

}  // namespace frame
