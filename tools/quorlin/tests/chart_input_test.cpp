// Choosing a chart layer: its bounds from its bounds table, the question
// before output bounds are replaced, the whole world and the user's
// corners when there is no table, and the attribute table read once.
#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;

class ChartInputTest : public ::testing::Test {
  protected:
    // A fixture copied into the scratch folder under its own name.
    fs::path Layer(const std::string& fixture) {
        const fs::path path = scratch_.Path() / fixture;
        fs::copy_file(testing::DataFolder() / "e00" / fixture, path, fs::copy_options::overwrite_existing);
        return path;
    }
    core::GeoBox FileBounds() const { return GridBox(model_.state.grid); }

    test_support::ScratchFolder scratch_{"chartinput"};
    platform::SettingsStore settings_{scratch_.Path() / "settings.ini"};
    testing::ScriptedUi ui_;
    QuorlinModel model_{settings_, ui_};
};

// Every fixture layer spans 6.5..8.5 E, 45.5..47.5 N in its bounds table.
const core::GeoBox kFixtureBounds{6.5, 45.5, 8.5, 47.5};

TEST_F(ChartInputTest, TheBoundsTableGivesTheFileAndOutputBoundsAndTheTableIsReadOnce) {
    model_.LoadInput(Layer("aepoint.e00"));
    EXPECT_TRUE(ui_.said.empty());
    EXPECT_EQ(ui_.progress, (std::vector<std::string>{"Looking for bounds", "", "Opening Data Base",
                                                      "Loading Data Base", ""}));
    EXPECT_EQ(ui_.enables, (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(FileBounds(), kFixtureBounds);
    EXPECT_EQ(model_.state.outputBounds, kFixtureBounds);  // they followed the file bounds
    EXPECT_EQ(model_.state.texts.west, "6.500E");
    EXPECT_EQ(model_.state.texts.south, "45.500N");
    EXPECT_EQ(model_.state.texts.lowest, "??");
    ASSERT_NE(model_.LayerTable(), nullptr);
    EXPECT_EQ(model_.LayerTable()->TableName(), "AEPOINT.PAT");

    // The conversion takes the labels' names from the table read at the
    // choice, even once the file has lost it.
    std::string text = testing::ReadBytes(model_.state.inputPath);
    text.resize(text.find("AEPOINT.PAT"));
    testing::WriteBytes(model_.state.inputPath, text);
    model_.state.resetOutputBounds = false;
    model_.OnConvert();
    EXPECT_NE(testing::ReadBytes(scratch_.Path() / "aepoint.map").find("^1234^Some Field"), std::string::npos);
}

TEST_F(ChartInputTest, ChangedBoundsReplaceSetOutputBoundsOnlyWhenTheUserSaysSo) {
    const core::GeoBox chosen{7.0, 46.0, 8.0, 47.0};
    const struct {
        core::GeoBox before;
        bool answer;
        bool asked;
        core::GeoBox after;
    } cases[] = {
        {chosen, false, true, chosen},
        {chosen, true, true, kFixtureBounds},
        {{7.0, 0.0, 8.0, 47.0}, false, false, kFixtureBounds},  // a bound of 0: not all set, so no question
    };
    for (const auto& c : cases) {
        model_.state.grid = {};
        model_.state.outputBounds = c.before;
        model_.state.resetOutputBounds = false;
        ui_.said.clear();
        ui_.answers = {c.answer};
        model_.LoadInput(Layer("lines.e00"));
        EXPECT_EQ(ui_.said, c.asked ? std::vector<std::string>{std::string("? ") + kBoundsChanged}
                                    : std::vector<std::string>{});
        EXPECT_EQ(model_.state.outputBounds, c.after);
        EXPECT_EQ(model_.state.resetOutputBounds, c.answer || !c.asked);
        EXPECT_EQ(FileBounds(), kFixtureBounds);
    }
    // The same bounds again: nothing to ask, the output bounds stay.
    model_.state.outputBounds = chosen;
    model_.state.resetOutputBounds = false;
    ui_.said.clear();
    model_.LoadInput(Layer("lines.e00"));
    EXPECT_TRUE(ui_.said.empty());
    EXPECT_EQ(model_.state.outputBounds, chosen);
}

TEST_F(ChartInputTest, WithoutABoundsTableTheUserSetsTheBoundsInsideTheWholeWorld) {
    std::string text = testing::ReadBytes(Layer("rdline.e00"));
    const auto start = text.find("RDLINE.BND"), end = text.find("RDLINE.AAT");
    text.erase(start, end - start);
    testing::WriteBytes(scratch_.Path() / "rdline.e00", text);

    // Cancelled: the world stays the file bounds.
    model_.LoadInput(scratch_.Path() / "rdline.e00");
    ASSERT_GE(ui_.said.size(), 2u);
    EXPECT_EQ(ui_.said[0], kNoBoundsTable);
    EXPECT_EQ(ui_.offered.at(0).longitude, 179.99899291992188);
    EXPECT_EQ(ui_.offered.at(0).latitude, static_cast<double>(89.999f));
    EXPECT_EQ(FileBounds(), (core::GeoBox{-179.999f, -89.999f, 179.999f, 89.999f}));
    EXPECT_EQ(model_.state.texts.west, "179.999W");
    EXPECT_NE(model_.LayerTable(), nullptr);  // the attribute table is read all the same

    // Entered: the corners are the file and the output bounds, asked once.
    ui_.said.clear();
    ui_.corners = {{-7.0, 47.0}, {-8.0, 46.0}};
    model_.LoadInput(scratch_.Path() / "rdline.e00");
    EXPECT_EQ(ui_.said.size(), 3u);  // the message and the two corners, no question
    const core::GeoBox entered{7.0, 46.0, 8.0, 47.0};
    EXPECT_EQ(model_.state.outputBounds, entered);
    EXPECT_EQ(FileBounds(), entered);
    EXPECT_FALSE(model_.state.resetOutputBounds);
    EXPECT_NEAR(model_.state.mapScale, 83.9, 0.1);  // the corners' distance in miles
    EXPECT_EQ(ui_.progress.back(), "");
    EXPECT_EQ(ui_.enables.back(), true);
}

TEST_F(ChartInputTest, ALayerWithoutItsAttributeTableHasNone) {
    std::string text = testing::ReadBytes(Layer("lines.e00"));
    text.resize(text.find("LINES.AAT"));
    testing::WriteBytes(scratch_.Path() / "lines.e00", text);
    model_.LoadInput(scratch_.Path() / "lines.e00");
    EXPECT_EQ(model_.LayerTable(), nullptr);
    EXPECT_EQ(ui_.progress, (std::vector<std::string>{"Looking for bounds", "", "Opening Data Base", ""}));
    // Choosing another input forgets the table of the layer before.
    model_.LoadInput(Layer("hynet.e00"));
    ASSERT_NE(model_.LayerTable(), nullptr);
    model_.LoadInput(scratch_.Path() / "pic.bmp");
    EXPECT_EQ(model_.LayerTable(), nullptr);
}

}  // namespace
}  // namespace quorlin
