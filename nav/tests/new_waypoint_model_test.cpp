// The new-waypoint dialog's rules without its window: the name and comment
// fields, the position checks, and what OK writes.
#include "nav/new_waypoint_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/settings_values.h"
#include "nav/tests/waypoint_test_support.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"

namespace nav {
namespace {

TEST(NewWaypointFieldsTest, TheNameFieldCarriesTheMapValues) {
    struct Case {
        std::wstring text;
        std::wstring name;
        MapExtension extension;
    };
    const std::vector<Case> cases{
        {L"x, 3^1.5,2.5", L"x", {3.0F, 1.5F, 2.5F, 1.0F, 0.0F, 0.0F}},
        {L"Hill, 7,2,3,4,5", L"Hill", {7.0F, 2.0F, 3.0F, 0.0F, 4.0F, 5.0F}},
        {L"Three values, 3,1.5", L"Three values", {3.0F, 0.0F, 0.0F, 0.0F, 0.0F, 0.0F}},
        {L"Full\xFF0C 2", L"Full", {2.0F, 0.0F, 0.0F, 0.0F, 0.0F, 0.0F}},
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", L"ABCDEFGHIJKLMNOPQRS", {}},
        {L"Plain", L"Plain", {}},
    };
    for (const Case& c : cases) {
        const NameAndExtension parsed = ParseNameField(c.text);
        EXPECT_EQ(parsed.name, c.name) << c.text;
        EXPECT_EQ(parsed.extension, c.extension) << c.text;
    }
    EXPECT_EQ(ExtensionText({3.0F, 1.5F, 2.5F, 1.0F, 0.0F, 0.0F}), L", 3^2,2");
    EXPECT_EQ(ExtensionText({7.0F, 2.0F, 3.0F, 0.0F, 0.0F, 0.0F}), L", 7,2,3");
}

TEST(NewWaypointFieldsTest, TheCommentFieldGivesImageAndSoundLines) {
    const CommentAndAttachments parsed =
        ParseCommentField(L"  first\r\nsecond\\\r\n#ipic.bmp\r\n#S alarm.wav\r\n");
    EXPECT_EQ(parsed.comment, L"first\r\nsecond");
    EXPECT_EQ(parsed.image, L"pic.bmp");
    EXPECT_EQ(parsed.sound, L"alarm.wav");
    EXPECT_EQ(ParseCommentField(L"").comment, L"");
}

TEST(NewWaypointFieldsTest, MapPointLinesAndCodes) {
    EXPECT_EQ(FormatMapPointLines(47.5, -8.25, -2, 5, L"", L""),
              L"47.5000000,0,0,-8.2500000,0,0,-2,5\r\n");
    EXPECT_EQ(FormatMapPointLines(47.5, 8.25, -1, 0, L"", L""),
              L"47.5000000,0,0,8.2500000,0,0,-1\r\n");
    EXPECT_EQ(FormatMapPointLines(1.5, 2.0, 3, 0, L"Tower", L""),
              L"1.5000000,0,0,2.0000000,0,0,3,Tower\r\n");
    EXPECT_EQ(FormatMapPointLines(1.5, 2.0, -5, 0, L"Area", L"note"),
              L"1.5000000,0,0,2.0000000,0,0,-5,\\Area\r\nnote\r\n\r\n");
    EXPECT_EQ(StepMapCode(1, -1, 9), -1);   // 0 skipped
    EXPECT_EQ(StepMapCode(-7, -1, 9), -7);  // -8..-10 never
    EXPECT_EQ(StepMapCode(9, 1, 9), 9);
    const DmsFields dms = SplitDegrees(47.999999);
    EXPECT_EQ(dms.degrees, 48.0);
    EXPECT_EQ(dms.minutes, 0.0);
    EXPECT_EQ(dms.seconds, 0.0);
    const DmsFields half = SplitDegrees(7.25);  // an edit keeps the position
    EXPECT_EQ(half.degrees, 7.0);
    EXPECT_EQ(half.minutes, 15.0);
    EXPECT_EQ(half.seconds, 0.0);
    EXPECT_DOUBLE_EQ(SplitDegrees(1.0 + 59.96 / 3600.0).seconds, 0.0);  // never 60.0
}

class NewWaypointModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        path_ = folder_.Write("new.dta", "ALT[M]\r\nHome,47,0,0,-8,0,0,400\r\n");
        std::wstring path = testing::Wide(path_);
        ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, false), 1);
        core::g_unitAlt = 1;
    }
    void TearDown() override {
        CloseWaypoints(1000);
        platform::SetAppSettings(nullptr);
        core::g_unitAlt = 0;
    }
    NewWaypointModel Model(const std::wstring& name, float altitude) const {
        NewWaypointModel model(true, false);
        model.fields.name = name;
        model.fields.altitude = altitude;
        model.fields.latDegrees = 46.0;
        model.fields.latMinutes = 30.0;
        model.fields.lonDegrees = 7.0;
        model.fields.eastWest = 0;
        return model;
    }
    static int IndexOf(std::wstring_view name) {
        const platform::CriticalSectionLock lock(WaypointListLock);
        for (int i = 0; i < g_waypoints.Count(); ++i)
            if (g_waypoints.At(i)->record.name.View() == name) return i;
        return -1;
    }
    std::string File() const { return testing::ReadBytes(path_); }

    testing::ScratchFolder folder_;
    std::filesystem::path path_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(NewWaypointModelTest, AddsInMetresAndEditingCommentsTheOldLineOut) {
    NewWaypointModel model = Model(L"Peak", 3000.0F);
    model.fields.marker = 1;
    const NewWaypointResult added = model.Accept(g_waypointFile, platform::AppSettings());
    ASSERT_EQ(added.outcome, NewWaypointOutcome::kAdded);
    EXPECT_NE(File().find("^Peak,46.5000000,0,0,-7.0000000,0,0,3000M\r\n"), std::string::npos)
        << File();
    EXPECT_EQ(IndexOf(L"Peak"), added.index);
    EXPECT_EQ(platform::AppSettings().GetInt("Settings", "EastWest", 9), 0U);

    NewWaypointModel edit = Model(L"Summit", 3100.0F);
    edit.editIndex = added.index;
    ASSERT_EQ(edit.Accept(g_waypointFile, platform::AppSettings()).outcome,
              NewWaypointOutcome::kAdded);
    EXPECT_NE(File().find(";Peak,"), std::string::npos) << File();
    EXPECT_NE(File().find("Summit,46.5000000,0,0,-7.0000000,0,0,3100M\r\n"), std::string::npos);
    EXPECT_EQ(IndexOf(L"Peak"), -1);
    EXPECT_GE(IndexOf(L"Summit"), 0);
}

TEST_F(NewWaypointModelTest, AFailedAppendKeepsTheOldLineAndEntry) {
    const int home = IndexOf(L"Home");
    ASSERT_GE(home, 0);
    ASSERT_TRUE(g_waypointFile.OpenWaypoints(testing::Wide(path_), core::OpenMode::kRead));
    const std::string before = File();
    NewWaypointModel edit = Model(L"Home2", 500.0F);
    edit.editIndex = home;
    const NewWaypointResult result = edit.Accept(g_waypointFile, platform::AppSettings());
    EXPECT_EQ(result.outcome, NewWaypointOutcome::kRefused);
    EXPECT_EQ(File(), before);
    EXPECT_EQ(IndexOf(L"Home"), home);
    EXPECT_FALSE(boxes_->Boxes().empty());
}

TEST_F(NewWaypointModelTest, RefusalsLeaveEverythingAlone) {
    struct Case {
        const char* what;
        std::wstring name;
        double latDegrees;
        double lonDegrees;
        int focus;
    };
    const Case cases[] = {
        {"latitude beyond the pole", L"X", 90.0 + 1.0 / 60.0, 7.0, kLatitudeDegreesEdit},
        {"longitude beyond 180", L"X", 46.0, 180.5, kLongitudeDegreesEdit},
        {"only commas and blanks", L" , ,\t", 46.0, 7.0, kNameEdit},
    };
    const std::string before = File();
    for (const Case& c : cases) {
        NewWaypointModel model = Model(c.name, 100.0F);
        model.fields.latMinutes = 0.0;
        model.fields.latDegrees = c.latDegrees;
        model.fields.lonDegrees = c.lonDegrees;
        const NewWaypointResult result = model.Accept(g_waypointFile, platform::AppSettings());
        EXPECT_EQ(result.outcome, NewWaypointOutcome::kRefused) << c.what;
        EXPECT_EQ(result.focus, c.focus) << c.what;
    }
    EXPECT_EQ(File(), before);

    // A name commented out is neither written nor listed.
    NewWaypointModel hidden = Model(L";Hidden", 100.0F);
    EXPECT_EQ(hidden.Accept(g_waypointFile, platform::AppSettings()).outcome,
              NewWaypointOutcome::kNothingWritten);
    EXPECT_EQ(File(), before);
    EXPECT_EQ(IndexOf(L";Hidden"), -1);
}

TEST_F(NewWaypointModelTest, ThePoleAndTheStartUpPosition) {
    NewWaypointModel model = Model(L"Pole", -1000.0F);
    model.fields.latDegrees = 90.0;
    model.fields.latMinutes = 0.0;
    boxes_->QueueAnswer(platform::kIdYes);  // yes, the start-up position
    ASSERT_TRUE(model.ConfirmAltitude());
    EXPECT_EQ(model.Accept(g_waypointFile, platform::AppSettings()).outcome,
              NewWaypointOutcome::kInitialPosition);
    const platform::SettingsStore& store = platform::AppSettings();
    EXPECT_EQ(store.GetString("Options\\Miscellaneous", "InitLatitude", std::string_view()),
              "90.000000");  // 89.99999999 as "%.6lf" has it
    EXPECT_EQ(EnteredDegrees(model.fields).latitude, 89.99999999);
    NewWaypointFields southEast;
    southEast.latDegrees = 90.0;
    southEast.northSouth = 1;
    southEast.lonDegrees = 180.0;
    southEast.eastWest = 0;
    EXPECT_EQ(EnteredDegrees(southEast).latitude, -89.99999999);
    EXPECT_EQ(EnteredDegrees(southEast).lonWest, -179.99999999);
    EXPECT_EQ(store.GetString("Options\\Miscellaneous", "InitLongitude", std::string_view()),
              "-7.000000");

    boxes_->QueueAnswer(platform::kIdNo);
    EXPECT_FALSE(Model(L"Deep", -2000.0F).ConfirmAltitude());

    // Altitude -1: asked; yes goes back to the field, no writes none.
    NewWaypointModel none = Model(L"NoAlt", -1.0F);
    boxes_->QueueAnswer(platform::kIdYes);
    EXPECT_EQ(none.Accept(g_waypointFile, platform::AppSettings()).focus, kAltitudeEdit);
    boxes_->QueueAnswer(platform::kIdNo);
    EXPECT_EQ(none.Accept(g_waypointFile, platform::AppSettings()).outcome,
              NewWaypointOutcome::kAdded);
    EXPECT_NE(File().find("NoAlt,46.5000000,0,0,-7.0000000,0,0\r\n"), std::string::npos) << File();
}

class FakeMapFile final : public MapPointFile {
  public:
    bool Writable() const override { return true; }
    bool Append(std::wstring_view text) override {
        written += text;
        return true;
    }
    int SymbolCount() const override { return 9; }
    void MakeElement(const WaypointRecord& record, int code, int) override {
        elements.push_back(std::wstring(record.name.View()) + L":" + std::to_wstring(code));
    }
    std::wstring written;
    std::vector<std::wstring> elements;
};

TEST_F(NewWaypointModelTest, MapPointsGoToTheMapFile) {
    auto map = std::make_shared<FakeMapFile>();
    SetMapPointFile(map);
    NewWaypointModel model(true, true);
    model.fields.name = L"Mast";
    model.fields.mapCode = 4;
    model.fields.latDegrees = 46.0;
    model.fields.lonDegrees = 7.0;
    model.fields.eastWest = 0;
    model.fields.comment = L"red light";
    EXPECT_EQ(model.Accept(g_waypointFile, platform::AppSettings()).outcome,
              NewWaypointOutcome::kMapPoint);
    EXPECT_EQ(map->written, L"46.0000000,0,0,-7.0000000,0,0,4,\\Mast\r\nred light\r\n\r\n");
    EXPECT_EQ(map->elements, (std::vector<std::wstring>{L"Mast:4"}));

    model.fields.mapCode = 0;
    EXPECT_EQ(model.Accept(g_waypointFile, platform::AppSettings()).focus, kAltitudeEdit);
    SetMapPointFile(nullptr);
}

}  // namespace
}  // namespace nav
