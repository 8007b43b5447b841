// Thresholded pictures: the palette indices, the border fill against a plain
// repeated-sweep fill, the up/down outline files and the threshold-on
// conversion from a grid to its ".bmp" and ".plt" files.
#include <gtest/gtest.h>

#include "testing/scratch_folder.h"
#include "tools/quorlin/plt_outlines.h"
#include "tools/quorlin/threshold_bitmap.h"
#include "tools/quorlin/threshold_fill.h"
#include "tools/quorlin/up_down_files.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;

// '#' is the above-threshold index, '.' the below one, 'm' the missing one
// of the halftone palette an 8-bit picture is made with.
mapdata::CDib ThresholdPicture(const std::vector<std::string>& rows, ThresholdIndices& indices) {
    mapdata::CDib dib;
    const int width = static_cast<int>(rows.front().size()), height = static_cast<int>(rows.size());
    EXPECT_TRUE(dib.CreateEmpty(false, width, height, 8, nullptr));
    PickThresholdColors(dib, indices);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const char ch = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            *dib.GetPixelAddress(c, r, false) = ch == '#' ? indices.above : ch == 'm' ? indices.missing : indices.below;
        }
    }
    return dib;
}

std::vector<std::string> Rows(const mapdata::CDib& dib, const ThresholdIndices& indices) {
    std::vector<std::string> rows;
    for (int r = 0; r < dib.GetSize().height; ++r) {
        std::string row;
        for (int c = 0; c < dib.GetSize().width; ++c) {
            const std::uint8_t v = *dib.GetPixelAddress(c, r, false);
            row += v == indices.above ? '#' : v == indices.missing ? 'm' : v == indices.below ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// The fill as a plain rule applied until nothing changes: a pixel that is
// neither '#' nor 'm' and touches 'm' or the outside becomes 'm'.
std::vector<std::string> SweepFill(std::vector<std::string> rows, bool corners) {
    const int h = static_cast<int>(rows.size()), w = static_cast<int>(rows[0].size());
    const auto fill = [&](int r, int c) { return r < 0 || c < 0 || r >= h || c >= w || rows[r][c] == 'm'; };
    for (bool changed = true; changed;) {
        changed = false;
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                if (rows[r][c] == '#' || rows[r][c] == 'm') continue;
                bool touches = fill(r - 1, c) || fill(r + 1, c) || fill(r, c - 1) || fill(r, c + 1);
                if (corners) touches |= fill(r - 1, c - 1) || fill(r - 1, c + 1) || fill(r + 1, c - 1) || fill(r + 1, c + 1);
                if (touches) rows[r][c] = 'm', changed = true;
            }
        }
    }
    return rows;
}

TEST(ThresholdColours, PickedFromThePalette) {
    mapdata::CDib dib;
    ASSERT_TRUE(dib.CreateEmpty(false, 2, 2, 8, nullptr));
    ThresholdIndices picked{9, 9, 9};
    PickThresholdColors(dib, picked);
    const auto& table = dib.ColourTable();
    EXPECT_EQ(picked.above, 0);  // black
    EXPECT_EQ(table[picked.below], (mapdata::RgbQuad{255, 255, 255, 0}));  // the first white entry
    EXPECT_LT(picked.below, 255);
    const auto number = [&](int i) { return table[i].blue << 16 | table[i].green << 8 | table[i].red; };
    for (int i = 0; i < 256; ++i) {
        EXPECT_LE(std::abs(number(picked.missing) - 0xD0D0D0), std::abs(number(i) - 0xD0D0D0)) << i;
    }

    // Every entry lighter than light grey: the target is the midpoint.
    for (auto& q : dib.ColourTable()) q = {0xE0, 0xE0, 0xE0, 0};
    dib.ColourTable()[3] = {0xF0, 0xF0, 0xF0, 0};
    dib.ColourTable()[7] = {0xE8, 0xE8, 0xE8, 0};
    PickThresholdColors(dib, picked);
    EXPECT_EQ(picked, (ThresholdIndices{0, 3, 7}));

    mapdata::CDib noPalette;
    ASSERT_TRUE(noPalette.CreateEmpty(false, 2, 2, 24, nullptr));
    PickThresholdColors(noPalette, picked);
    EXPECT_EQ(picked, (ThresholdIndices{0, 3, 7}));
}

TEST(ThresholdFill, MatchesTheSweepRule) {
    const std::vector<std::string> spiral = {
        "..............", ".############.", ".#..........#.", ".#.########.#.", ".#.#......#.#.",
        ".#.#.####.#.#.", ".#.#.#..#.#.#.", ".#.#.#.##.#.#.", ".#.#.#....#.#.", ".#.#.######.#.",
        ".#.#........#.", ".#.##########.", ".#............", ".#############"};
    const struct {
        const char* name;
        std::vector<std::string> rows;
    } cases[] = {
        {"one colour", {"....", "...."}},
        {"diagonal ring", {"...#...", "..#.#..", ".#...#.", "..#.#..", "...#..."}},
        {"edge ring", {"#####", "#...#", "#...#", "#####"}},
        {"spiral", spiral},
        {"missing pixel inside", {"#####.", "#.m.#.", "#####."}},
        {"dark border pixel", {"#..", "...", "..#"}},
    };
    for (const auto& c : cases) {
        for (bool corners : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (corners ? " corners" : " edges"));
            ThresholdIndices indices;
            mapdata::CDib dib = ThresholdPicture(c.rows, indices);
            testing::ScriptedUi ui;
            FillThresholdBitmap(dib, corners, indices, ui);
            EXPECT_EQ(Rows(dib, indices), SweepFill(c.rows, corners));
            EXPECT_EQ(ui.progress, (std::vector<std::string>{"Filling Bitmap", "Filling Bitmap Pass 0", ""}));
        }
    }
    // The diagonal ring keeps its inside only without corner joining.
    ThresholdIndices indices;
    mapdata::CDib ring = ThresholdPicture(cases[1].rows, indices);
    testing::ScriptedUi ui;
    FillThresholdBitmap(ring, false, indices, ui);
    EXPECT_EQ(Rows(ring, indices)[2], "m#...#m");
}

class UpDownTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_{"updown"};
    testing::ScriptedUi ui_;
    int busy_ = 0;
    ThresholdIndices indices_;
};

std::size_t Rings(const std::string& plt) {
    std::size_t n = 0;
    for (const PlotMove& m : ReadPlotMoves(plt)) n += m.penDown ? 0 : 1;
    return n;
}

// A 12 x 10 grid: a plateau of 300 m with a lake of 100 m inside, a missing
// cell outside, 50 m elsewhere; big-endian cells.
std::string Grid() {
    std::string bytes;
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 12; ++c) {
            int v = 50;
            if (r >= 2 && r <= 7 && c >= 2 && c <= 9) v = 300;
            if (r >= 4 && r <= 5 && c >= 4 && c <= 6) v = 100;
            if (r == 8 && c == 1) v = -5000;
            bytes += static_cast<char>(v >> 8 & 0xFF);
            bytes += static_cast<char>(v & 0xFF);
        }
    }
    return bytes;
}

TEST_F(UpDownTest, ThresholdConversionWritesBitmapAndOutlines) {
    const fs::path bin = scratch_.Path() / "dem.bin";
    testing::WriteBytes(bin, Grid());
    ThresholdJob job{bin, scratch_.Path() / "dem_0150.bmp", {}, 150.0f, false, true};
    job.grid.rows = 10, job.grid.columns = 12, job.grid.littleEndian = false, job.grid.missing = -5000;
    ConvertGridToThresholdBitmap(job, indices_, ui_, busy_);
    EXPECT_TRUE(ui_.said.empty()) << ui_.said.front();
    EXPECT_EQ(busy_, 0);
    EXPECT_EQ(ui_.enables, (std::vector<bool>{false, true}));

    mapdata::CDib unfilled;
    ASSERT_TRUE(unfilled.LoadQuietly(job.output));
    const auto rows = Rows(unfilled, indices_);
    EXPECT_EQ(rows[0], "............");  // not filled on disk
    EXPECT_EQ(rows[4], "..##...###..");
    EXPECT_EQ(rows[8], ".m..........");

    for (const char* kind : {"down", "up"}) {
        EXPECT_TRUE(fs::exists(scratch_.Path() / (std::string("dem_0150") + kind + ".bmp"))) << kind;
    }
    const std::string down = testing::ReadBytes(scratch_.Path() / "dem_0150down.plt");
    const std::string up = testing::ReadBytes(scratch_.Path() / "dem_0150up.plt");
    EXPECT_EQ(down.substr(0, 16), "LT;\r\nPU0 10;\r\nPD");
    EXPECT_EQ(Rings(down), 3u);  // frame, the lake, the background's hole around it
    EXPECT_EQ(Rings(up), 3u);    // frame, the plateau with the lake, its hole: no ring for the lake
    EXPECT_NE(up.find("PU2 8;"), std::string::npos);
    EXPECT_NE(down.find("PU4 6;"), std::string::npos);

    const auto& p = ui_.progress;
    for (const char* text : {"converting row 0", "Writing Bitmap File", "Filling Bitmap", "Filling Bitmap Pass 0",
                             "Generating DOWN file", "Generating UP file"}) {
        EXPECT_NE(std::find(p.begin(), p.end(), text), p.end()) << text;
    }
    EXPECT_EQ(p.back(), "");
}

TEST_F(UpDownTest, DeletesBitmapsAndGoesOnAfterATracerFailure) {
    const fs::path bin = scratch_.Path() / "dem.bin";
    testing::WriteBytes(bin, Grid());
    fs::create_directory(scratch_.Path() / "dem_0150down.plt");  // cannot be written
    ThresholdJob job{bin, scratch_.Path() / "dem_0150.bmp", {}, 150.0f, true, true};
    job.grid.rows = 10, job.grid.columns = 12, job.grid.littleEndian = false, job.grid.missing = -5000;
    ConvertGridToThresholdBitmap(job, indices_, ui_, busy_);
    ASSERT_EQ(ui_.said.size(), 1u);
    EXPECT_EQ(ui_.said[0].rfind((scratch_.Path() / "dem_0150down.plt").string() + ": ", 0), 0u) << ui_.said[0];
    EXPECT_TRUE(fs::exists(scratch_.Path() / "dem_0150up.plt"));
    for (const char* name : {"dem_0150.bmp", "dem_0150down.bmp", "dem_0150up.bmp"}) {
        EXPECT_FALSE(fs::exists(scratch_.Path() / name)) << name;
    }
}

TEST_F(UpDownTest, BitmapInputIsFilledAndOtherDepthsRefused) {
    ThresholdIndices indices;
    const mapdata::CDib dib =
        ThresholdPicture({"######", "#....#", "#.##.#", "#....#", "######", "......"}, indices);
    const fs::path base = scratch_.Path() / "pic";  // no extension: names appended directly
    ASSERT_TRUE(dib.SaveToFile(base.string() + ".bmp", 100, nullptr));
    fs::rename(base.string() + ".bmp", base);
    GenerateUpDownFiles({base, false, false}, nullptr, indices_, ui_, busy_);
    EXPECT_TRUE(ui_.said.empty());
    mapdata::CDib downPicture;
    ASSERT_TRUE(downPicture.LoadQuietly(scratch_.Path() / "picdown.bmp"));
    EXPECT_EQ(Rows(downPicture, indices_),
              (std::vector<std::string>{"......", ".####.", ".#..#.", ".####.", "......", "......"}));
    mapdata::CDib upPicture;
    ASSERT_TRUE(upPicture.LoadQuietly(scratch_.Path() / "picup.bmp"));
    EXPECT_EQ(Rows(upPicture, indices_),
              (std::vector<std::string>{"......", ".####.", ".####.", ".####.", ".####.", "......"}));
    EXPECT_TRUE(fs::exists(scratch_.Path() / "picup.plt"));

    mapdata::CDib mono;
    ASSERT_TRUE(mono.CreateEmpty(false, 8, 8, 1, nullptr));
    const fs::path monoPath = scratch_.Path() / "mono.bmp";
    ASSERT_TRUE(mono.SaveToFile(monoPath, 100, nullptr));
    GenerateUpDownFiles({monoPath, false, false}, nullptr, indices_, ui_, busy_);
    EXPECT_EQ(ui_.said, (std::vector<std::string>{"Up-Down files need an 8-bit palette bitmap"}));
    EXPECT_FALSE(fs::exists(scratch_.Path() / "monodown.bmp"));

    GenerateUpDownFiles({scratch_.Path() / "absent.bmp", false, false}, nullptr, indices_, ui_, busy_);
    EXPECT_EQ(ui_.said.size(), 1u);  // silence
}

}  // namespace
}  // namespace quorlin
