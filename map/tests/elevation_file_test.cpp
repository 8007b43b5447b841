// Loading the elevation model at start-up and from the DEM file command:
// what is installed for other threads, what is stored, which box is shown,
// and that the map is redrawn whatever happened.
#include "map/elevation_file.h"

#include <gtest/gtest.h>

#include <string>

#include "core/elevation_model.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"

namespace map {
namespace {

constexpr double kRad = mapdata::kGridRadiansPerDegree;

std::string Header(std::string_view title) {
    return "file_title=" + std::string(title) +
           "\nleft_map_x=7\nright_map_x=10\nupper_map_y=47\nlower_map_y=45\n"
           "number_of_rows=2\nnumber_of_columns=3\n";
}

class ElevationFileTest : public ::testing::Test {
  protected:
    ElevationFileTest() : folder_("elevation-file") {
        folder_.Write("good.hdr", Header("good"));
        folder_.Write("good.bin", std::string(12, '\x01'));  // every sample 257 m
        folder_.Write("short.hdr", Header("short"));
        folder_.Write("short.bin", std::string(11, '\x01'));
        folder_.Write("bad.hdr", "number_of_rows=2\n");
        platform::AppSettings().WriteString("Settings", "DEMheaderFile", std::string_view("old"));
    }
    ~ElevationFileTest() override { LoadElevationModel(L""); }

    std::wstring PathOf(const char* name) const { return (folder_ / name).wstring(); }
    static std::wstring StoredSetting() {
        return platform::AppSettings().GetString("Settings", "DEMheaderFile", std::wstring_view());
    }
    static bool HaveModel() { return core::CurrentElevationModel() != nullptr; }

    test_support::ScratchFolder folder_;
    platform::ScopedRecordingSink boxes_;
    int redraws_ = 0;
    std::function<void()> redraw_ = [this] { ++redraws_; };
};

TEST_F(ElevationFileTest, StartUpInstallsTheModelForEveryReader) {
    EXPECT_EQ(LoadElevationModel(L""), ElevationLoad::kNoFile);
    EXPECT_FALSE(HaveModel());
    ASSERT_EQ(LoadElevationModel(PathOf("good.hdr")), ElevationLoad::kLoaded);
    const auto model = core::CurrentElevationModel();
    ASSERT_TRUE(model);
    EXPECT_FLOAT_EQ(*model->GetElevationAt(-8.0 * kRad, 46.0 * kRad), 257.0F * 3.2809F);
    EXPECT_EQ(LoadElevationModel(PathOf("bad.hdr")), ElevationLoad::kHeaderUnreadable);
    EXPECT_EQ(LoadElevationModel(PathOf("short.hdr")), ElevationLoad::kDataUnmappable);
    EXPECT_FALSE(HaveModel());
    // The reader that held the first grid still reads it.
    EXPECT_FLOAT_EQ(*model->GetElevationAt(-8.0 * kRad, 46.0 * kRad), 257.0F * 3.2809F);
    EXPECT_TRUE(boxes_->Boxes().empty());  // start-up's boxes are the frame's
}

TEST_F(ElevationFileTest, CancelChangesNothingButRedraws) {
    ASSERT_EQ(LoadElevationModel(PathOf("good.hdr")), ElevationLoad::kLoaded);
    EXPECT_EQ(ApplyDemFileChoice(std::nullopt, redraw_), ElevationLoad::kNoFile);
    EXPECT_EQ(redraws_, 1);
    EXPECT_TRUE(HaveModel());
    EXPECT_EQ(StoredSetting(), L"old");
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(ElevationFileTest, ChoosingAHeader) {
    const struct {
        const char* header;
        ElevationLoad result;
        bool stored, model;
        int box;  // 0: none
    } cases[] = {
        {"good.hdr", ElevationLoad::kLoaded, true, true, 0},
        {"short.hdr", ElevationLoad::kDataUnmappable, true, false, 2134},
        {"bad.hdr", ElevationLoad::kHeaderUnreadable, false, false, 2133},
        {"missing.hdr", ElevationLoad::kHeaderUnreadable, false, false, 2133},
    };
    for (const auto& c : cases) {
        platform::AppSettings().WriteString("Settings", "DEMheaderFile", std::string_view("old"));
        boxes_->Clear();
        redraws_ = 0;
        EXPECT_EQ(ApplyDemFileChoice(PathOf(c.header), redraw_), c.result) << c.header;
        EXPECT_EQ(StoredSetting(), c.stored ? PathOf(c.header) : L"old") << c.header;
        EXPECT_EQ(HaveModel(), c.model) << c.header;
        EXPECT_EQ(redraws_, 1) << c.header;
        if (c.box == 0) {
            EXPECT_TRUE(boxes_->Boxes().empty()) << c.header;
        } else {
            ASSERT_EQ(boxes_->Boxes().size(), 1u) << c.header;
            EXPECT_EQ(boxes_->Boxes()[0].text, core::LoadResourceString(c.box));
            EXPECT_EQ(boxes_->Boxes()[0].caption, core::LoadResourceString(2132));
            EXPECT_EQ(boxes_->Boxes()[0].style, platform::mb::kIconHand | platform::mb::kTopmost);
        }
    }
}

TEST_F(ElevationFileTest, TheDialogStartsAtTheCurrentHeader) {
    const DemFileDialog dialog = DemFileDialogFor("/data/terrain/alps.hdr");
    EXPECT_EQ(dialog.title, L"DEM Data info");
    EXPECT_EQ(dialog.defaultExtension, L"hdr");
    EXPECT_EQ(dialog.folder, L"/data/terrain");
    EXPECT_EQ(dialog.fileName, L"alps.hdr");
    const DemFileDialog none = DemFileDialogFor("");
    EXPECT_TRUE(none.folder.empty());
    EXPECT_TRUE(none.fileName.empty());
    EXPECT_TRUE(DemFileDialogFor("/alps.hdr").folder.empty());
}

}  // namespace
}  // namespace map
