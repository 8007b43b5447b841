// The options sheet from the real resource bundle: page order, what OK and
// Cancel keep, refusals, scrolling and screenshots.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <numbers>
#include <string>

#include "core/settings_values.h"
#include "frame/options/options_page.h"
#include "frame/options/options_sheet.h"
#include "frame/options/view_link.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "glide/settings_values.h"
#include "gps/settings_values.h"
#include "map/map_view_settings.h"
#include "nav/settings_values.h"
#include "nav/team_code.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/ids/options_general.h"
#include "resources/ids/options_more.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"
#include "testing/comma_locale.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace frame {
namespace {

namespace gui = platform::gui;
namespace general_ids = xrc::options_general;
namespace more_ids = xrc::options_more;

class OptionsSheetTest : public ::testing::Test {
  protected:
    OptionsSheetTest() {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        core::SetStringProvider(&gui::BundleString);
        core::g_unitAlt = 0;
        glide::g_patternAltitude = 1000.0F;
        gps::g_timeOffset = 0.0F;
        core::g_useGpsVariation = 0;
        core::g_variation = 1.5;
        g_nLastOptionsPage = 0;
        SetViews(nullptr);
    }
    ~OptionsSheetTest() override {
        SetViews(nullptr);
        core::SetStringProvider(nullptr);
        platform::SetAppSettings(nullptr);
    }

    static int IndexOf(const CKOR_VANoptions& sheet, int templateId) {
        for (int i = 0; i < sheet.PageCount(); ++i) {
            if (sheet.Page(i)->TemplateId() == templateId) return i;
        }
        return -1;
    }
    static void Type(wxWindow& page, int id, const std::wstring& text) {
        auto* entry = dynamic_cast<wxTextCtrl*>(page.FindWindow(id));
        ASSERT_NE(entry, nullptr) << id;
        entry->ChangeValue(text);
    }
    static std::wstring TextOf(wxWindow& page, int id) {
        auto* entry = dynamic_cast<wxTextCtrl*>(page.FindWindow(id));
        return entry == nullptr ? L"<missing>" : entry->GetValue().ToStdWstring();
    }
    static platform::SettingsStore& Store() { return platform::AppSettings(); }

    std::shared_ptr<const gui::ResourceBundle> bundle_ = testing::OpenBuiltBundle();
    gui::ResourceBundleInstallation installation_{bundle_};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(OptionsSheetTest, PagesComeInTheirOrderAndTheTitleFromTheStringTable) {
    ASSERT_TRUE(installation_.XrcLoaded());
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    // The FLARM page would follow the fonts page when the FLARM object exists.
    const int expected[] = {
        general_ids::kLogPage,     more_ids::kMapPage,      more_ids::kThermalPage,
        more_ids::kPolarPage,      general_ids::kMiscPage,  general_ids::kMisc2Page,
        general_ids::kCompassPage, general_ids::kWindPage,  general_ids::kAlarmZonesPage,
        more_ids::kCyclePage,      more_ids::kOlcPage,      general_ids::kTeamPage,
        general_ids::kEventsPage,  general_ids::kUnitsPage, more_ids::kTasksPage,
        more_ids::kReachPage,      general_ids::kUtmPage,   more_ids::kFontsPage};
    ASSERT_EQ(sheet.PageCount(), 18);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(sheet.Page(i)->TemplateId(), expected[i]);
    EXPECT_EQ(sheet.GetTitle().ToStdWstring(), gui::BundleString(ids::kIdsSettingsTitle));
}

TEST_F(OptionsSheetTest, OkOnOnePageWritesBackTheRunningValuesOfTheOthers) {
    glide::g_patternAltitude = 1234.5F;
    gps::g_timeOffset = -3.5F;
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    sheet.SetActivePage(IndexOf(sheet, general_ids::kUnitsPage));
    auto* metres = dynamic_cast<wxRadioButton*>(
        sheet.Page(IndexOf(sheet, general_ids::kUnitsPage))->FindWindow(general_ids::kMetres));
    ASSERT_NE(metres, nullptr);
    metres->SetValue(true);
    ASSERT_TRUE(sheet.ApplyAll());
    EXPECT_EQ(core::g_unitAlt, 1);
    EXPECT_FLOAT_EQ(glide::g_patternAltitude, 1234.5F);
    EXPECT_FLOAT_EQ(gps::g_timeOffset, -3.5F);
    EXPECT_DOUBLE_EQ(core::g_variation, 1.5);
    EXPECT_EQ(static_cast<int>(Store().GetInt("Options\\Miscellaneous", "TimeOffset", 0)), -4);
    EXPECT_EQ(g_nLastOptionsPage, IndexOf(sheet, general_ids::kUnitsPage));
}

TEST_F(OptionsSheetTest, ARefusedValueKeepsTheSheetOnItsPageWithTheMessage) {
    const int misc = [] {
        CKOR_VANoptions probe("", nullptr, 0);
        return IndexOf(probe, general_ids::kMiscPage);
    }();
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, static_cast<unsigned>(misc));
    const int result = testing::RunModal(sheet, [&] { return sheet.ShowModal(); }, [&] {
        COptionsPage& page = *sheet.Page(misc);
        EXPECT_EQ(TextOf(page, general_ids::kTimeOffset), L"0");
        Type(page, general_ids::kTimeOffset, L"13");
        Type(page, general_ids::kPatternAltitude, L"400");
        EXPECT_FALSE(sheet.ApplyAll());
        EXPECT_TRUE(sheet.IsModal());
        EXPECT_EQ(sheet.ActivePage(), misc);
        EXPECT_EQ(boxes_->Boxes().size(), 1U);
        EXPECT_FLOAT_EQ(gps::g_timeOffset, 0.0F);  // nothing applied

        Type(page, general_ids::kTimeOffset, L"2.3");
        EXPECT_TRUE(sheet.ApplyAll());
        sheet.EndModal(wxID_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_NEAR(glide::g_patternAltitude, 400.0F, 1e-3F);
    EXPECT_EQ(Store().GetInt("Options\\Miscellaneous", "TimeOffset1", 0), 3U);
    EXPECT_EQ(g_nLastOptionsPage, misc);
}

TEST_F(OptionsSheetTest, TeamPageCleansKeysAndRefusesACentreBeyond89Degrees) {
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    const int team = IndexOf(sheet, general_ids::kTeamPage);
    sheet.SetActivePage(team);
    COptionsPage& page = *sheet.Page(team);
    auto* code = dynamic_cast<wxComboBox*>(page.FindWindow(general_ids::kCode));
    ASSERT_NE(code, nullptr);
    code->SetValue("ab-cde");  // raises the text event as typing does
    EXPECT_EQ(code->GetValue().ToStdWstring(), L"ABCD");

    Type(page, general_ids::kLatDegrees, L"89");
    Type(page, general_ids::kLatMinutes, L"0");
    Type(page, general_ids::kLatSeconds, L"30");
    EXPECT_FALSE(sheet.ApplyAll());
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].text, L"Error");
    Type(page, general_ids::kLatSeconds, L"0");
    EXPECT_TRUE(sheet.ApplyAll());
    EXPECT_EQ(nav::CurrentTeamCoder()->Settings().lastCode, L"ABCD");
    EXPECT_EQ(nav::CurrentTeamCoder()->Settings().encodeInfo, 3);
    EXPECT_NEAR(nav::CurrentTeamCoder()->Settings().centerLat, 89.0 * std::numbers::pi / 180.0, 1e-9);
    nav::SetTeamSettings(nav::TeamSettings{});
}

TEST_F(OptionsSheetTest, CancelKeepsTheStartPageAndEveryValue) {
    g_nLastOptionsPage = 2;
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, static_cast<unsigned>(g_nLastOptionsPage));
    const int result = testing::RunModal(sheet, [&] { return sheet.ShowModal(); }, [&] {
        EXPECT_EQ(sheet.ActivePage(), 2);
        sheet.SetActivePage(0);
        sheet.EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_EQ(g_nLastOptionsPage, 2);
    EXPECT_FALSE(Store().Get("Options\\Units", "Alt").has_value());
}

TEST_F(OptionsSheetTest, TallPagesScrollAndEveryPageHasAScreenshot) {
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    sheet.SetSize(800, 480);
    testing::RunModal(sheet, [&] { return sheet.ShowModal(); }, [&] {
        for (int i = 0; i < sheet.PageCount(); ++i) {
            sheet.SetActivePage(i);
            wxYield();
            const auto name = "options_" + std::to_string(sheet.Page(i)->TemplateId()) + ".png";
            EXPECT_TRUE(gui::SaveScreenshot(sheet, testing::Screenshot(name))) << name;
        }
        sheet.SetActivePage(IndexOf(sheet, general_ids::kMiscPage));
        auto* misc = dynamic_cast<CScrolledPropertyPage*>(
            sheet.Page(IndexOf(sheet, general_ids::kMiscPage)));
        ASSERT_NE(misc, nullptr);
        sheet.SetSize(800, 220);
        // The window system resizes in its own time.
        for (int i = 0; i < 100 && misc->GetClientSize().GetHeight() > 150; ++i) {
            wxMilliSleep(20);
            wxYield();
        }
        EXPECT_GT(misc->State().scrollMax, 0)
            << misc->State().contentBottom << " " << misc->GetClientSize().GetHeight() << " "
            << misc->FindWindow(general_ids::kPageEnd)->GetRect().GetBottom();
        EXPECT_EQ(misc->State().contentBottom % g_nScrollUnit, 0);
        sheet.EndModal(wxID_CANCEL);
    });
}

void Check(wxWindow& page, int id, bool checked) {
    auto* box = dynamic_cast<wxCheckBox*>(page.FindWindow(id));
    ASSERT_NE(box, nullptr) << id;
    box->SetValue(checked);
}

TEST_F(OptionsSheetTest, LinesAndTheMapInThermalModeAreRefusedTogether) {
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    const int thermal = IndexOf(sheet, more_ids::kThermalPage);
    sheet.SetActivePage(thermal);
    COptionsPage& page = *sheet.Page(thermal);
    Check(page, more_ids::kDrawLines, true);
    Check(page, more_ids::kShowMap, true);
    EXPECT_FALSE(sheet.ApplyAll());
    EXPECT_EQ(sheet.ActivePage(), thermal);
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].text, gui::BundleString(ids::kIdsLinesAndMapText));
    Check(page, more_ids::kShowMap, false);
    EXPECT_TRUE(sheet.ApplyAll());
}

// The settings file without one of its sections.
std::string FileWithout(const std::filesystem::path& file, const std::string& section) {
    std::ifstream in(file);
    std::string line;
    std::string kept;
    bool skipping = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') skipping = line == section;
        if (!skipping) kept += line + '\n';
    }
    return kept;
}

TEST_F(OptionsSheetTest, VisitingOnlyTheUnitsPageChangesNoOtherStoredValue) {
    const test_support::ScratchFolder folder;
    const auto file = folder / "settings";
    platform::SetAppSettings(std::make_unique<platform::SettingsStore>(file));
    // Values some pages read only when shown, or the map view keeps.
    Store().WriteInt("Settings", "Resolution", 2);
    Store().WriteInt("Options\\Fonts", "notesBold", 1);
    Store().WriteInt("Options\\Maps", "DotSize", 4);
    Store().WriteString("Options\\Maps", "ZoomFactor", std::string_view("2.000000"));
    Store().WriteInt("Options\\Maps", "ShowReachableOutline", 1);
    glide::g_reachableDefaultMc = 1.234F;
    nav::g_postRadius = 2.345F;
    {
        CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
        ASSERT_TRUE(sheet.ApplyAll());
    }
    EXPECT_EQ(Store().GetInt("Settings", "Resolution", 0), 2U);
    EXPECT_EQ(Store().GetInt("Options\\Fonts", "notesBold", 0), 1U);
    EXPECT_EQ(Store().GetInt("Options\\Maps", "DotSize", 0), 4U);
    EXPECT_EQ(Store().GetInt("Options\\Maps", "ShowReachableOutline", 0), 1U);
    EXPECT_EQ(Store().GetInt("Options\\Maps", "ReachableDefaultMC", 0), 1234U);
    EXPECT_EQ(Store().GetString("Options\\Maps", "ZoomFactor", std::string_view()), "2.000000");
    const std::string before = FileWithout(file, "[Options\\Units]");

    {
        CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
        const int units = IndexOf(sheet, general_ids::kUnitsPage);
        sheet.SetActivePage(units);
        for (const int id : {general_ids::kMetres, general_ids::kKilometres,
                             general_ids::kKilometresPerHour, general_ids::kMetresPerSecond}) {
            auto* button = dynamic_cast<wxRadioButton*>(sheet.Page(units)->FindWindow(id));
            ASSERT_NE(button, nullptr) << id;
            button->SetValue(true);
        }
        ASSERT_TRUE(sheet.ApplyAll());
    }
    EXPECT_EQ(core::g_unitDist, 2);
    EXPECT_EQ(FileWithout(file, "[Options\\Units]"), before);
    EXPECT_FLOAT_EQ(nav::g_postRadius, 2.345F);
    EXPECT_FLOAT_EQ(glide::g_reachableDefaultMc, 1.234F);
    core::g_unitAlt = core::g_unitAlt2 = core::g_unitDist = core::g_unitSpeed = core::g_unitVario = 0;
    nav::g_postRadius = 1.609F;
    glide::g_reachableDefaultMc = 0.0F;
}

// On a fresh install the map window reads its settings; OK on every page
// then leaves each value it reads as it was, and OK again leaves the file
// as it is.
TEST_F(OptionsSheetTest, OkOnEveryPageOfAFreshInstallChangesNoStoredValue) {
    const test_support::ScratchFolder folder;
    const auto file = folder / "settings";
    platform::SetAppSettings(std::make_unique<platform::SettingsStore>(file));
    const map::MapViewSettings fresh = map::ReadMapViewSettings(Store(), {});
    const auto okOnEveryPage = [] {
        CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
        for (int i = 0; i < sheet.PageCount(); ++i)
            sheet.SetActivePage(i);
        return sheet.ApplyAll();
    };
    ASSERT_TRUE(okOnEveryPage());
    const map::MapViewSettings after = map::ReadMapViewSettings(Store(), {});
    EXPECT_EQ(after.allowGotoWithTask, fresh.allowGotoWithTask);
    EXPECT_EQ(after.showLiftInThermalMode, fresh.showLiftInThermalMode);
    EXPECT_EQ(after.cursorBlinkMs, fresh.cursorBlinkMs);
    EXPECT_EQ(after.dotSize, fresh.dotSize);
    EXPECT_EQ(after.dotSpacing, fresh.dotSpacing);
    EXPECT_EQ(after.zoomedTrackCacheLength, fresh.zoomedTrackCacheLength);
    EXPECT_FLOAT_EQ(after.zoomedMapRadius, fresh.zoomedMapRadius);
    EXPECT_FLOAT_EQ(after.zoomFactor, fresh.zoomFactor);
    EXPECT_FLOAT_EQ(after.mapMargin, fresh.mapMargin);
    EXPECT_EQ(after.drawLinesInThermalMode, fresh.drawLinesInThermalMode);

    const std::string once = FileWithout(file, "");
    SetViews(nullptr);
    ASSERT_TRUE(okOnEveryPage());
    EXPECT_EQ(FileWithout(file, ""), once);
}

// Every new page gets a value typed; after OK a sheet built afresh from the
// settings file (the map view's values read again) shows them again. The
// whole run passes under a comma locale with the same stored texts.
TEST_F(OptionsSheetTest, ValuesSetOnEveryPageAreFoundAgainFromTheFile) {
    const test_support::CommaLocale comma;
    const test_support::ScratchFolder folder;
    const auto file = folder / "settings";
    platform::SetAppSettings(std::make_unique<platform::SettingsStore>(file));
    struct Typed {
        int templateId;
        int id;
        std::wstring text;
    };
    const Typed typed[] = {{more_ids::kMapPage, more_ids::kZoomFactor, L"2.5"},
                           {more_ids::kThermalPage, more_ids::kSearchTime, L"20"},
                           {more_ids::kPolarPage, more_ids::kGlideRatio, L"33.3"},
                           {more_ids::kOlcPage, more_ids::kFirstLegWeight + 3, L"0"},
                           {more_ids::kTasksPage, more_ids::kPostRadius, L"2.5"},
                           {more_ids::kReachPage, more_ids::kPointCount, L"96"},
                           {more_ids::kFontsPage, more_ids::kMainOffset, L"2"},
                           {general_ids::kMiscPage, general_ids::kEarthRadius, L"6370.5"}};
    {
        CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
        for (int i = 0; i < sheet.PageCount(); ++i) sheet.SetActivePage(i);
        for (const Typed& t : typed) Type(*sheet.Page(IndexOf(sheet, t.templateId)), t.id, t.text);
        Check(*sheet.Page(IndexOf(sheet, more_ids::kCyclePage)), more_ids::kFirstMode + 1, false);
        Check(*sheet.Page(IndexOf(sheet, more_ids::kCyclePage)), more_ids::kFirstMode + 2, false);
        ASSERT_TRUE(sheet.ApplyAll()) << (boxes_->Boxes().empty() ? L"" : boxes_->Boxes()[0].text);
    }
    EXPECT_EQ(Store().GetString("Options\\Maps", "ZoomFactor", std::string_view()), "2.500000");
    EXPECT_EQ(Store().GetString("Settings\\Polars", "GlideRatio", std::string_view()), "33.3");
    EXPECT_EQ(Store().GetInt("Options\\Display", "ShowQueue", 0), 0x7FFU & ~0x300U);

    platform::SetAppSettings(std::make_unique<platform::SettingsStore>(file));
    SetViews(nullptr);
    CKOR_VANoptions sheet("KOR_VAN options", nullptr, 0);
    for (const Typed& t : typed) {
        const int index = IndexOf(sheet, t.templateId);
        sheet.SetActivePage(index);
        EXPECT_EQ(TextOf(*sheet.Page(index), t.id), t.text) << t.templateId;
    }
    auto* mode1 = dynamic_cast<wxCheckBox*>(
        sheet.Page(IndexOf(sheet, more_ids::kCyclePage))->FindWindow(more_ids::kFirstMode + 1));
    ASSERT_NE(mode1, nullptr);
    EXPECT_FALSE(mode1->GetValue());
    ASSERT_TRUE(sheet.ApplyAll());  // and OK again changes nothing
    EXPECT_EQ(Store().GetString("Options\\Maps", "ZoomFactor", std::string_view()), "2.500000");
}

}  // namespace
}  // namespace frame
