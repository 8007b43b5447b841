// The programs' colour and font choosers, driven as a pilot drives them:
// a palette colour clicked or values typed, a family picked, then OK or
// Cancel.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/spinctrl.h>

#include <functional>
#include <iterator>
#include <vector>

#include "platform/gui/colour_dialog.h"
#include "platform/gui/font_dialog.h"
#include "testing/wx_test_app.h"

namespace platform::gui {
namespace {

template <typename T>
std::vector<T*> Children(const wxWindow& dialog) {
    std::vector<T*> found;
    for (wxWindow* child : dialog.GetChildren())
        if (auto* typed = dynamic_cast<T*>(child)) found.push_back(typed);
    return found;
}

// Inside the chooser's loop: `drive` acts on it, then it is ended with
// `answer` as its button would.
void WhenShown(const std::function<void(wxDialog&)>& drive, int answer) {
    wxTheApp->CallAfter([drive, answer] {
        wxDialog* shown = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog != nullptr && dialog->IsModal())
                shown = dialog;
        ASSERT_NE(shown, nullptr);
        drive(*shown);
        wxCommandEvent press(wxEVT_BUTTON, answer);
        press.SetEventObject(shown->FindWindow(answer));
        shown->FindWindow(answer)->ProcessWindowEvent(press);
    });
}

void SetSpin(wxSpinCtrl& spin, int value) {
    spin.SetValue(value);
    wxSpinEvent changed(wxEVT_SPINCTRL, spin.GetId());
    changed.SetEventObject(&spin);
    changed.SetPosition(value);
    spin.ProcessWindowEvent(changed);
}

TEST(ColourChooser, APaletteClickOrTypedValuesAreTakenAndCancelTakesNothing) {
    const wxColour start(10, 20, 30);
    // The palette's cells come first among the dialog's windows.
    WhenShown([](wxDialog& dialog) {
        wxWindow* cell = *std::next(dialog.GetChildren().begin(), 26);
        wxMouseEvent click(wxEVT_LEFT_UP);
        click.SetEventObject(cell);
        cell->ProcessWindowEvent(click);
        EXPECT_EQ(Children<wxSpinCtrl>(dialog)[1]->GetValue(), BasicColours()[26].Green());
    }, wxID_OK);
    EXPECT_EQ(ChooseColour(nullptr, start), BasicColours()[26]);

    WhenShown([](wxDialog& dialog) {
        const auto parts = Children<wxSpinCtrl>(dialog);
        ASSERT_EQ(parts.size(), 3U);
        EXPECT_EQ(parts[0]->GetValue(), 10);
        SetSpin(*parts[0], 200);
        SetSpin(*parts[2], 255);
    }, wxID_OK);
    EXPECT_EQ(ChooseColour(nullptr, start), wxColour(200, 20, 255));

    WhenShown([](wxDialog&) {}, wxID_CANCEL);
    EXPECT_FALSE(ChooseColour(nullptr, start));
}

TEST(FontChooser, TheFamilySizeAndWeightChosenAreTaken) {
    wxFont start(wxFontInfo(12));
    WhenShown([](wxDialog& dialog) {
        const auto families = Children<wxListBox>(dialog);
        ASSERT_EQ(families.size(), 1U);
        ASSERT_GT(families[0]->GetCount(), 0U);
        families[0]->SetSelection(0);
        SetSpin(*Children<wxSpinCtrl>(dialog)[0], 20);
        Children<wxCheckBox>(dialog)[0]->SetValue(true);  // bold
    }, wxID_OK);
    const auto chosen = ChooseFont(nullptr, start);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->GetPointSize(), 20);
    EXPECT_EQ(chosen->GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(chosen->GetStyle(), wxFONTSTYLE_NORMAL);
    EXPECT_FALSE(chosen->GetFaceName().empty());

    // Cancel takes nothing; a size beyond the offered range starts at its end.
    WhenShown([](wxDialog& dialog) {
        EXPECT_EQ(Children<wxSpinCtrl>(dialog)[0]->GetValue(), kLargestFontPoints);
    }, wxID_CANCEL);
    EXPECT_FALSE(ChooseFont(nullptr, wxFont(wxFontInfo(200))));
}

}  // namespace
}  // namespace platform::gui
