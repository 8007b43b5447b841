#pragma once
// The base of every options page: a panel whose controls come from the
// resource bundle's template (a wxPanel named by its numeric id). The sheet
// builds every page when it is built but fills a page's controls only when
// the page is first shown (OnInitDialog, then a load exchange); on OK every
// page is applied, and a page never shown applies the values it took from
// the running settings, so it changes nothing the pilot set.
//
// Tall pages scroll (CScrolledPropertyPage). UI thread only.

#include <wx/panel.h>
#include <wx/string.h>

#include "frame/options/scroll_arithmetic.h"
#include "platform/gui/ddx.h"
#include "resources/ids/options_general.h"
#include "resources/ids/options_more.h"

class wxScrollWinEvent;
class wxSizeEvent;

namespace frame {

class COptionsPage : public wxPanel {
  public:
    // templateId: the page's template; title: the tab's text.
    COptionsPage(int templateId, wxString title);
    ~COptionsPage() override = default;
    COptionsPage(const COptionsPage&) = delete;
    COptionsPage& operator=(const COptionsPage&) = delete;

    // Loads the template as a child of the sheet's book; false without it.
    bool CreatePage(wxWindow* book);

    const wxString& Title() const { return title_; }
    int TemplateId() const { return templateId_; }
    // True once the page was shown (its controls hold its values).
    bool Initialised() const { return initialised_; }

    // First showing: OnInitDialog, then the members go into the controls.
    void Activate();
    // Controls back into the members with validation (pages never shown
    // pass); false keeps the sheet on this page.
    bool Validate();
    // Members to the running settings and the store.
    virtual void OnApply() = 0;

  protected:
    virtual void DoDataExchange(platform::gui::CDataExchange* pDX) = 0;
    virtual void OnInitDialog() {}

    // Helpers for derived pages.
    void SetLabel(int id, const wxString& text);
    void Enable(int id, bool enable);
    void Show(int id, bool show);
    // A spin button's range and position; its steps write the value into
    // the field buddyId.
    void SetSpin(int id, int minimum, int maximum, int position, int buddyId);

  private:
    int templateId_;
    wxString title_;
    bool initialised_ = false;
};

// A page taller than the sheet: its contents scroll vertically in steps of
// g_nScrollUnit pixels, down to the control kLastControlId plus a margin
// (the empty label that ends each scrolled page's layout).
class CScrolledPropertyPage : public COptionsPage {
  public:
    static constexpr int kLastControlId = xrc::options_general::kPageEnd;
    static_assert(kLastControlId == xrc::options_more::kPageEnd);
    CScrolledPropertyPage(int templateId, wxString title, int lastControlId = kLastControlId);

    void ScrollToTop();
    const ScrollState& State() const { return scroll_; }

  protected:
    // Sets up the scroll range; derived pages call it first in their own.
    void OnInitDialog() override;

  private:
    void OnVScroll(wxScrollWinEvent& event);
    void OnSize(wxSizeEvent& event);
    // The sizer lays the controls out at their own heights, however low the
    // page: what does not fit is scrolled to, never squeezed.
    void LayOutUnscrolled();
    void MoveContents(int pixels);
    void UpdateBar();

    int lastControlId_;
    ScrollState scroll_;
    bool scrollReady_ = false;
};

}  // namespace frame
