#include "platform/gui/ddx.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <chrono>
#include <string>

#include "platform/gui/event_pump.h"
#include "testing/gtk_probe.h"
#include "testing/wx_test_app.h"
#include "platform/message_box.h"

namespace platform::gui {
namespace {

using namespace std::chrono_literals;

enum Id : int {
    kFloat = 1001,
    kInt,
    kUInt,
    kByte,
    kShort,
    kDouble,
    kText,
    kCheck = 1010,
    kRadio = 1020,  // 1020..1022 are one group
    kOtherRadio = 1023,
    kCombo = 1030,
    kChoice = 1031,
    kMissing = 9999,
};

struct Members {
    float f = 0.1f;
    int i = 7;
    unsigned u = 4000000000u;
    std::uint8_t b = 200;
    std::int16_t s = -5;
    double d = 1.0 / 3.0;
    std::wstring text = L"ASK 21";
    int check = 2;
    int radio = 1;
    int choice = 2;
};

void ExchangeAll(CDataExchange* pDX, Members& m) {
    DDX_TextFloat(pDX, kFloat, m.f);
    DDX_TextInt(pDX, kInt, m.i);
    DDX_TextUInt(pDX, kUInt, m.u);
    DDX_TextByte(pDX, kByte, m.b);
    DDX_TextShort(pDX, kShort, m.s);
    DDX_TextDouble(pDX, kDouble, m.d);
    DDX_TextString(pDX, kText, m.text);
    DDX_Check(pDX, kCheck, m.check);
    DDX_Radio(pDX, kRadio, m.radio);
    DDX_CBIndex(pDX, kChoice, m.choice);
}

class DdxTest : public ::testing::Test {
  protected:
    DdxTest() {
        auto* sizer = new wxBoxSizer(wxVERTICAL);  // sizers and controls belong to the dialog
        for (int id = kFloat; id <= kText; ++id)
            sizer->Add(new wxTextCtrl(dialog_, id));
        sizer->Add(new wxCheckBox(dialog_, kCheck, "three states", wxDefaultPosition, wxDefaultSize,
                                  wxCHK_3STATE));
        for (int id = kRadio; id <= kOtherRadio; ++id)
            sizer->Add(new wxRadioButton(dialog_, id, "radio", wxDefaultPosition, wxDefaultSize,
                                         id == kRadio || id == kOtherRadio ? wxRB_GROUP : 0));
        const wxString items[] = {"Alpha", "ABC", "abd"};
        sizer->Add(new wxComboBox(dialog_, kCombo, "", wxDefaultPosition, wxDefaultSize, 3, items));
        sizer->Add(new wxChoice(dialog_, kChoice, wxDefaultPosition, wxDefaultSize, 3, items));
        dialog_->SetSizerAndFit(sizer);
        dialog_->Show();
        ProcessEventsFor(50ms);
    }
    ~DdxTest() override { dialog_->Destroy(); }

    bool Exchange(bool save, Members& members) {
        return UpdateData(*dialog_, save, [&](CDataExchange* pDX) { ExchangeAll(pDX, members); });
    }
    void SetText(int id, const std::wstring& text) { Text(id)->ChangeValue(text); }
    wxTextCtrl* Text(int id) const { return dynamic_cast<wxTextCtrl*>(dialog_->FindWindow(id)); }
    std::wstring TextOf(int id) const { return Text(id)->GetValue().ToStdWstring(); }
    template <typename Control>
    Control* Find(int id) const {
        return dynamic_cast<Control*>(dialog_->FindWindow(id));
    }
    std::vector<std::wstring> Prompts() const {
        std::vector<std::wstring> texts;
        for (const auto& box : boxes_->Boxes())
            texts.push_back(box.text);
        return texts;
    }

    wxDialog* dialog_ = new wxDialog(nullptr, wxID_ANY, "exchange");  // wx owns it
    ScopedRecordingSink boxes_;
    test_support::GtkProbe gtk_;
};

TEST_F(DdxTest, LoadWritesTheCFormAndSaveReadsItBack) {
    Members original;
    ASSERT_TRUE(Exchange(false, original));
    EXPECT_EQ(TextOf(kFloat), L"0.1");
    EXPECT_EQ(TextOf(kInt), L"7");
    EXPECT_EQ(TextOf(kUInt), L"4000000000");
    EXPECT_EQ(TextOf(kByte), L"200");
    EXPECT_EQ(TextOf(kShort), L"-5");
    EXPECT_EQ(TextOf(kDouble), L"0.333333333333333");
    EXPECT_EQ(Find<wxCheckBox>(kCheck)->Get3StateValue(), wxCHK_UNDETERMINED);
    EXPECT_TRUE(Find<wxRadioButton>(kRadio + 1)->GetValue());
    EXPECT_EQ(Find<wxChoice>(kChoice)->GetSelection(), 2);

    Members saved{.f = 0,
                  .i = 0,
                  .u = 0,
                  .b = 0,
                  .s = 0,
                  .d = 0,
                  .text = L"",
                  .check = 0,
                  .radio = -1,
                  .choice = -1};
    ASSERT_TRUE(Exchange(true, saved));
    EXPECT_EQ(saved.f, original.f);
    EXPECT_EQ(saved.i, original.i);
    EXPECT_EQ(saved.u, original.u);
    EXPECT_EQ(saved.b, original.b);
    EXPECT_EQ(saved.s, original.s);
    EXPECT_NEAR(saved.d, original.d, 1e-15);
    EXPECT_EQ(saved.text, original.text);
    EXPECT_EQ(saved.check, 2);
    EXPECT_EQ(saved.radio, 1);
    EXPECT_EQ(saved.choice, 2);
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(DdxTest, FullWidthTypingIsFolded) {
    Members members;
    ASSERT_TRUE(Exchange(false, members));
    SetText(kInt, L"\uFF11\uFF12");
    SetText(kText, L"\uFF21\uFF33\uFF2B\u3000\uFF12\uFF11");  // the ideographic space stays
    ASSERT_TRUE(Exchange(true, members));
    EXPECT_EQ(members.i, 12);
    EXPECT_EQ(members.text, L"ASK\u300021");
}

TEST_F(DdxTest, AFailedSaveShowsThePromptFocusesTheFieldAndStops) {
    Members members;
    ASSERT_TRUE(Exchange(false, members));
    SetText(kInt, L"7a");
    SetText(kDouble, L"2.5");  // after the failing field: not taken
    SetText(kFloat, L"0.5");   // before it: taken
    Find<wxCheckBox>(kCheck)->SetFocus();
    ASSERT_FALSE(gtk_.IsFocusInItsWindow(*Text(kInt)));
    EXPECT_FALSE(Exchange(true, members));
    long from = 0, to = 0;
    Text(kInt)->GetSelection(&from, &to);
    EXPECT_EQ(to - from, 2);  // the whole text is selected
    EXPECT_EQ(Prompts(), std::vector<std::wstring>{L"Please enter an integer."});
    const auto box = boxes_->Boxes().at(0);
    EXPECT_EQ(box.style, mb::kOk | mb::kIconExclamation);
    EXPECT_EQ(box.owner, dialog_);
    EXPECT_EQ(members.f, 0.5f);
    EXPECT_EQ(members.d, 1.0 / 3.0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return gtk_.IsFocusInItsWindow(*Text(kInt)); }, 2s));
}

TEST_F(DdxTest, EachTypeHasItsPrompt) {
    struct Case {
        int id;
        const wchar_t* text;
        const wchar_t* prompt;
    };
    const Case cases[] = {
        {kFloat, L"abc", L"Please enter a number."},
        {kDouble, L"inf", L"Please enter a number."},
        {kInt, L"2147483648", L"Please enter an integer."},
        {kShort, L"40000", L"Please enter an integer."},
        {kUInt, L"-1", L"Please enter a positive integer."},
        {kByte, L"300", L"Please enter an integer between 0 and 255."},
    };
    for (const auto& c : cases) {
        Members members;
        ASSERT_TRUE(Exchange(false, members));
        SetText(c.id, c.text);
        boxes_->Clear();
        EXPECT_FALSE(Exchange(true, members)) << c.text;
        EXPECT_EQ(Prompts(), std::vector<std::wstring>{c.prompt}) << c.text;
    }
}

TEST_F(DdxTest, RangeChecksTakeTheLastFieldAndOnlyTheFirstFailureShows) {
    const auto check = [&](const std::wstring& intText, const std::wstring& doubleText) {
        SetText(kInt, intText);
        SetText(kDouble, doubleText);
        boxes_->Clear();
        int i = 0;
        double d = 0;
        return UpdateData(*dialog_, true, [&](CDataExchange* pDX) {
            DDX_TextInt(pDX, kInt, i);
            DDV_MinMaxInt(pDX, i, 0, 10);
            DDX_TextDouble(pDX, kDouble, d);
            DDV_MinMaxDouble(pDX, d, 0.5, 2.0);
        });
    };
    EXPECT_TRUE(check(L"10", L"2"));
    Find<wxCheckBox>(kCheck)->SetFocus();
    EXPECT_FALSE(check(L"11", L"2"));
    EXPECT_EQ(Prompts(), std::vector<std::wstring>{L"Please enter an integer between 0 and 10."});
    EXPECT_TRUE(ProcessEventsUntil([&] { return gtk_.IsFocusInItsWindow(*Text(kInt)); }, 2s));
    EXPECT_FALSE(check(L"x", L"9"));  // the parse failure only, no range box after it
    EXPECT_EQ(Prompts(), std::vector<std::wstring>{L"Please enter an integer."});
    EXPECT_FALSE(check(L"5", L"0.25"));
    EXPECT_EQ(Prompts(), std::vector<std::wstring>{L"Please enter a number between 0.5 and 2."});
    EXPECT_TRUE(ProcessEventsUntil([&] { return gtk_.IsFocusInItsWindow(*Text(kDouble)); }, 2s));

    std::wstring name = L"too long a name";
    const auto saveName = [&] {
        return UpdateData(*dialog_, true, [&](CDataExchange* pDX) {
            DDX_TextString(pDX, kText, name);
            DDV_MaxChars(pDX, name, 8);
        });
    };
    SetText(kText, name);
    EXPECT_FALSE(saveName());
    EXPECT_EQ(Prompts().back(), L"Please enter no more than 8 characters.");

    // A load checks no range, and limits the length of the field.
    EXPECT_TRUE(UpdateData(*dialog_, false, [&](CDataExchange* pDX) {
        DDV_MinMaxInt(pDX, 99, 0, 10);
        DDX_TextString(pDX, kText, name);
        DDV_MaxChars(pDX, name, 8);
    }));
    EXPECT_LE(TextOf(kText).size(), 8u);
}

TEST_F(DdxTest, ComboBoxTextSelectsByPrefixOrIsSetAndComesBackFolded) {
    auto* combo = Find<wxComboBox>(kCombo);
    const auto load = [&](std::wstring text) {
        UpdateData(*dialog_, false,
                   [&](CDataExchange* pDX) { DDX_CBStringFolded(pDX, kCombo, text); });
    };
    load(L"ab");
    EXPECT_EQ(combo->GetSelection(), 1);  // "ABC": the first that begins so, any case
    EXPECT_EQ(combo->GetValue(), "ABC");
    load(L"zz");
    EXPECT_EQ(combo->GetValue(), "zz");

    combo->ChangeValue(L"\uFF41b");
    std::wstring saved;
    std::wstring chosen;
    Find<wxChoice>(kChoice)->SetSelection(0);
    EXPECT_TRUE(UpdateData(*dialog_, true, [&](CDataExchange* pDX) {
        DDX_CBStringFolded(pDX, kCombo, saved);
        DDX_CBStringFolded(pDX, kChoice, chosen);
    }));
    EXPECT_EQ(saved, L"ab");
    EXPECT_EQ(chosen, L"Alpha");
}

TEST_F(DdxTest, ControlsTheDialogLacksAreLeftAlone) {
    int value = 3;
    wxCheckBox* box = nullptr;
    wxTextCtrl* edit = nullptr;
    EXPECT_TRUE(UpdateData(*dialog_, true, [&](CDataExchange* pDX) {
        DDX_TextInt(pDX, kMissing, value);
        DDX_Control(pDX, kCheck, box);
        DDX_Control(pDX, kCheck, edit);  // not a text control
    }));
    EXPECT_EQ(value, 3);
    EXPECT_EQ(box, Find<wxCheckBox>(kCheck));
    EXPECT_EQ(edit, nullptr);
}

}  // namespace
}  // namespace platform::gui
