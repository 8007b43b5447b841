#pragma once
// The shape bar (103) docked in the frame: a thin window over
// ShapeBarModel. It passes every control change and command to the model
// and then shows the model's state again. UI thread.

#include <wx/font.h>
#include <wx/panel.h>

#include <functional>

#include "tools/brisvel/gui/symbol_art.h"
#include "tools/brisvel/shape_bar_model.h"

namespace brisvel {

class CSymbolCombo;

class CShapeBar final : public wxPanel {
  public:
    // chooseFont: Set Font's font dialog (the frame keeps the label font).
    CShapeBar(wxWindow* parent, ShapeBarModel& model, const SymbolArt& art, std::function<void()> chooseFont);
    bool Loaded() const { return loaded_; }

    // Shows the model's state in the controls.
    void ShowModel();
    // Runs a command button's handler as a click does (tests).
    void Click(int id);

  private:
    void Bindings();
    void OnCommand(int id);
    void ShowLayout();

    ShapeBarModel& model_;
    const SymbolArt& art_;
    std::function<void()> chooseFont_;
    CSymbolCombo* combo_ = nullptr;
    bool loaded_ = false;
    bool showing_ = false;  // changes made while showing are not the user's
};

}  // namespace brisvel
