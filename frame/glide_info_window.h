#pragma once
// The glide information panel (window name "SettingsChange", id 262) inside
// the position page: one line for the selected glide value, a close button
// (1306, "OK") and a spin control (1305) that steps the value. The rules are
// GlideInfoModel's; this window loads the values when a mode opens and
// writes back what each step or tap changed. UI thread only.

#include <wx/window.h>

#include <functional>

#include "frame/glide_info_model.h"
#include "platform/drawing_tools.h"

class wxButton;
class wxSpinEvent;

namespace frame {

class PositionSpin;

class CGlideInfoWnd : public wxWindow {
  public:
    static constexpr int kId = 262;
    static constexpr int kCloseButtonId = 1306;
    static constexpr int kSpinId = 1305;

    CGlideInfoWnd(wxWindow* owner, const wxPoint& position, const wxSize& size);

    // Selects mode (0 MacCready ... 4 glide ratio; others select 0) over
    // the values in force, and repaints.
    void OpenMode(int mode);
    int Mode() const { return model_.Mode(); }
    const GlideInfoModel& Model() const { return model_; }
    std::wstring Line() const { return model_.Line(); }

    void StepSelectedValue(int delta);
    // x, y in the panel's own coordinates.
    void HandleTap(int x, int y);
    // Writes the changed wind's texts, clears the key state and hides.
    void OnCloseButton();
    void SetLineFont(const platform::Font& font);

    // The owner opens the mode after the given one (a tap on the text).
    std::function<void(int mode)> onNextMode;
    // Clears the main window's pending-key state.
    std::function<void()> onClearPendingKeys;

    // The handheld keys' two flags, cleared on every show.
    bool keyFlags[2] = {false, false};

  private:
    void Apply(unsigned change);
    void OnPaint(wxPaintEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnSpin(wxSpinEvent& event);
    void OnShow(wxShowEvent& event);
    void OnSize(wxSizeEvent& event);
    void ClearKeys();

    GlideInfoModel model_;
    platform::Font font_;
    wxButton* close_ = nullptr;   // owned by the window
    PositionSpin* spin_ = nullptr;
};

}  // namespace frame
