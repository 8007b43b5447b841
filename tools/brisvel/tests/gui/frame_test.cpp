// Brisvel's windows under a display: the frame with a shapefile open in its
// two views, the shape bar in symbol and colour mode, the Set Bounds dialog,
// and saving through the frame.
#include "tools/brisvel/gui/brisvel_frame.h"

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <memory>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/message_box.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"
#include "tools/brisvel/gui/display_text.h"
#include "tools/brisvel/gui/set_bounds_dialog.h"
#include "tools/brisvel/gui/shape_bar.h"
#include "tools/brisvel/resources/ids/brisvel.h"
#include "tools/brisvel/tests/brisvel_test_support.h"

namespace brisvel {
namespace {

namespace fs = std::filesystem;
namespace bar_ids = xrc::brisvel::shape_bar;
namespace bounds_ids = xrc::brisvel::set_bounds_template;
using testing::Fixture;

const fs::path kShots = KV_BINARY_DIR "/screenshots";

class BrisvelFrameTest : public ::testing::Test {
  protected:
    BrisvelFrameTest()
        : resources_(std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString,
                                                                           &ResourceImage)),
          store_(scratch_ / "settings") {
        frame_ = new CBrisvelMainFrame(store_, {});
        EXPECT_TRUE(frame_->Loaded());
        // No file dialog waits for an answer when a test leaves additions.
        frame_->chooseMapName = [] { return std::optional<fs::path>(); };
        frame_->Show();
    }
    ~BrisvelFrameTest() override {
        frame_->Close(true);
        wxTheApp->ProcessPendingEvents();
    }

    fs::path Areas() {
        Fixture areas(scratch_ / "areas", "polygon");
        areas.Add("10 45 10 46 11 46 11 45 10 45 + 10.25 45.25 10.75 45.25 10.75 45.75 10.25 45.75 10.25 45.25",
                  "Lake")
            .Add("11.5 45.2 11.5 45.8 12 45.8 12 45.2 11.5 45.2", "Wood")
            .Add("10.2 46.2 12 46.6 11 45.1", "Lake");
        EXPECT_TRUE(areas.Ok());
        return areas.Shp();
    }
    fs::path Peaks() {
        Fixture peaks(scratch_ / "peaks", "pointz");
        peaks.Add("-z 7.25 46.5 4478", "Matterhorn").Add("-z 7.9 46.55 4158", "Jungfrau").Add("-z 7.5 46.0 2000", "Hut");
        EXPECT_TRUE(peaks.Ok());
        return peaks.Shp();
    }

    test_support::ScratchFolder scratch_{"kv-brisvel-gui"};
    platform::gui::ResourceBundleInstallation resources_;
    platform::SettingsStore store_;
    platform::ScopedRecordingSink boxes_;
    CBrisvelMainFrame* frame_ = nullptr;
};

TEST_F(BrisvelFrameTest, AShapefileOpensInTwoViewsAndTheBarShowsItsColours) {
    ASSERT_TRUE(frame_->OpenShapefile(Areas()));
    auto* page = dynamic_cast<wxSplitterWindow*>(frame_->ShownPage());
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->IsSplit());
    auto& bar = frame_->Bar();
    EXPECT_EQ(dynamic_cast<wxStaticText*>(bar.FindWindow(bar_ids::kListCaption))->GetLabel(),
              "Fill Color");
    EXPECT_TRUE(bar.FindWindow(bar_ids::kNoFill)->IsShown());
    EXPECT_FALSE(bar.FindWindow(bar_ids::kNote)->IsShown());
    EXPECT_EQ(dynamic_cast<wxStaticText*>(bar.FindWindow(bar_ids::kCounter))->GetLabel(),
              "Shape 1 of 3");
    frame_->BarModel().SelectListEntry(8);
    bar.Click(bar_ids::kAdd);
    bar.Click(bar_ids::kAdd);
    EXPECT_EQ(frame_->BarModel().Document()->Added().size(), 2U);
    EXPECT_TRUE(platform::gui::SaveScreenshot(*frame_, kShots / "brisvel_frame_colours.png"));
}

TEST_F(BrisvelFrameTest, APointFileShowsSymbolsNoteAndElevation) {
    ASSERT_TRUE(frame_->OpenShapefile(Peaks()));
    auto& bar = frame_->Bar();
    EXPECT_EQ(dynamic_cast<wxStaticText*>(bar.FindWindow(bar_ids::kListCaption))->GetLabel(),
              "Map Symbol");
    EXPECT_TRUE(bar.FindWindow(bar_ids::kNote)->IsShown());
    EXPECT_TRUE(bar.FindWindow(bar_ids::kFeet)->IsShown());
    EXPECT_EQ(dynamic_cast<wxStaticText*>(bar.FindWindow(bar_ids::kElevation))->GetLabel(),
              "Elevation: 4478 [m]");
    frame_->BarModel().SelectListEntry(3);
    bar.Click(bar_ids::kAdd);
    frame_->BarModel().SelectListEntry(0);  // a label
    bar.Click(bar_ids::kAdd);
    EXPECT_TRUE(platform::gui::SaveScreenshot(*frame_, kShots / "brisvel_frame_symbols.png"));
}

TEST_F(BrisvelFrameTest, SavingAsksForANameAndBoundsAndClosingOffersToSave) {
    ASSERT_TRUE(frame_->OpenShapefile(Areas()));
    frame_->Bar().Click(bar_ids::kAdd);
    int boundsAsked = 0;
    frame_->chooseMapName = [this] { return std::optional<fs::path>(scratch_ / "out.map"); };
    frame_->chooseBounds = [&](core::GeoBox& bounds, const core::GeoBox& box) {
        ++boundsAsked;
        EXPECT_EQ(box, (core::GeoBox{10.0F, 45.0F, 12.0F, 46.6F}));
        bounds = {47.0F, 44.0F, 13.0F, 9.0F};
        return true;
    };
    frame_->SaveShown(false);
    EXPECT_EQ(boundsAsked, 1);
    EXPECT_EQ(testing::ReadText(scratch_ / "out.map").substr(0, 20), "44.000000,0,0,-13.00");
    // Kept for the next run.
    platform::SettingsStore reread(scratch_ / "settings");
    EXPECT_EQ(reread.GetInt("Settings", "BoundsMaxLon", 0), 0x41500000U);
    frame_->Bar().Click(bar_ids::kAdd);
    boxes_->QueueAnswer(platform::kIdNo);
    frame_->CloseShown();
    EXPECT_EQ(frame_->DocumentCount(), 0U);
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"Save file?");
    EXPECT_EQ(dynamic_cast<wxStaticText*>(frame_->Bar().FindWindow(bar_ids::kCounter))->GetLabel(),
              " Shape 0 of unknown");
    EXPECT_FALSE(frame_->Bar().FindWindow(bar_ids::kSymbolList)->IsShown());
}

// The frame shows why a shapefile cannot be opened, and asks before it
// opens a damaged one.
TEST_F(BrisvelFrameTest, AShapefileThatCannotBeOpenedIsToldAndADamagedOneAskedFor) {
    const fs::path shp = Areas();
    const fs::path table = fs::path(shp).replace_extension(".dbf");
    const std::string kept = testing::ReadText(table);
    fs::remove(table);
    boxes_->QueueAnswer(platform::kIdNo);
    EXPECT_FALSE(frame_->OpenShapefile(shp));
    boxes_->QueueAnswer(platform::kIdYes);
    EXPECT_TRUE(frame_->OpenShapefile(shp));
    EXPECT_EQ(frame_->DocumentCount(), 1U);
    std::ofstream(fs::path(shp).replace_extension(".shx"), std::ios::binary | std::ios::trunc) << "not an index";
    EXPECT_FALSE(frame_->OpenShapefile(shp));
    EXPECT_EQ(frame_->DocumentCount(), 1U);
    const auto boxes = boxes_->Boxes();
    ASSERT_EQ(boxes.size(), 3U);
    EXPECT_EQ(boxes[0].caption, L"Damaged shapefile");
    EXPECT_NE(boxes[0].text.find(L"Its table areas.dbf is missing: every name will be empty."), std::wstring::npos);
    EXPECT_EQ(boxes[2].caption, L"File Error");
    EXPECT_EQ(boxes[2].text,
              L"File: areas.shp\nIts index file areas.shx is damaged or cut short.\n\nThe shapefile cannot be opened.");
    std::ofstream(table, std::ios::binary) << kept;
}

TEST_F(BrisvelFrameTest, TheBarWorksOnTheFileOpenedLastUntilItCloses) {
    ASSERT_TRUE(frame_->OpenShapefile(Areas()));
    ASSERT_TRUE(frame_->OpenShapefile(Peaks()));
    EXPECT_EQ(frame_->DocumentCount(), 2U);
    EXPECT_EQ(frame_->BarModel().Document()->FileName(), "peaks.shp");
    frame_->CloseShown();
    EXPECT_EQ(frame_->DocumentCount(), 1U);
    EXPECT_EQ(frame_->BarModel().Document(), nullptr);
    frame_->Bar().Click(bar_ids::kNext);  // Next does nothing without a current file
    EXPECT_TRUE(boxes_->Boxes().empty());
    ASSERT_NE(frame_->ShownPage(), nullptr);
}

TEST(DisplayText, Utf8IsShownAsUtf8AndOtherBytesAsWindows1252) {
    EXPECT_EQ(DisplayText("\xC9" "cole"), wxString::FromUTF8("\xC3\x89" "cole"));
    EXPECT_EQ(DisplayText("\xC3\x89" "cole"), wxString::FromUTF8("\xC3\x89" "cole"));
    EXPECT_EQ(DisplayText("\x80"), wxString::FromUTF8("\xE2\x82\xAC"));
    // An edit is stored in the form the text had.
    EXPECT_EQ(StoredText(wxString::FromUTF8("\xC3\x89" "t\xC3\xA9"), "\xC9" "cole"), "\xC9" "t\xE9");
    EXPECT_EQ(StoredText(wxString::FromUTF8("\xC3\x89" "t\xC3\xA9"), "Ecole"), "\xC3\x89" "t\xC3\xA9");
}

TEST_F(BrisvelFrameTest, SetBoundsShowsTheBoxAndReadsDegreesMinutesAndHemispheres) {
    CSetBoundsDlg dialog(frame_, core::GeoBox{-3.25F, -45.5F, 10.0F, 46.0F}, core::GeoBox{-4.0F, -45.5F, 12.0F, 47.5F});
    ASSERT_TRUE(dialog.Loaded());
    dialog.InitDialog();
    EXPECT_EQ(dynamic_cast<wxStaticText*>(dialog.FindWindow(bounds_ids::kMinLatInFile))->GetLabel(),
              "45:30.000 S");
    EXPECT_EQ(dynamic_cast<wxTextCtrl*>(dialog.FindWindow(bounds_ids::kMinLatMinutes))->GetValue(),
              "30");
    EXPECT_EQ(
        dynamic_cast<wxChoice*>(dialog.FindWindow(bounds_ids::kMinLonHemisphere))->GetSelection(),
        1);
    EXPECT_TRUE(platform::gui::SaveScreenshot(dialog, kShots / "brisvel_set_bounds.png"));
    dynamic_cast<wxTextCtrl*>(dialog.FindWindow(bounds_ids::kMaxLatDegrees))->SetValue("50");
    dynamic_cast<wxTextCtrl*>(dialog.FindWindow(bounds_ids::kMaxLatMinutes))->SetValue("15");
    ASSERT_TRUE(dialog.Accept());
    EXPECT_EQ(dialog.Result(), (core::GeoBox{-3.25F, -45.5F, 10.0F, 50.25F}));
    dynamic_cast<wxTextCtrl*>(dialog.FindWindow(bounds_ids::kMaxLonDegrees))->SetValue("181");
    EXPECT_FALSE(dialog.Accept());
}

}  // namespace
}  // namespace brisvel
