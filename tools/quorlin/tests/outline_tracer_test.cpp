// The outline finder, the ".plt" writer and reader, and the tracer's front
// end: outlines read back from the ".plt" text and rasterised give the
// source picture again, pixel for pixel and colour by colour.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "mapdata/dib.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/outline_finder.h"
#include "tools/quorlin/outline_tracer.h"
#include "tools/quorlin/plt_outlines.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;

// Rows of characters, each character one colour index.
IndexPicture Picture(const std::vector<std::string>& rows) {
    IndexPicture p;
    p.height = static_cast<int>(rows.size());
    p.width = static_cast<int>(rows.front().size());
    for (const std::string& row : rows) {
        for (char c : row) p.pixels.push_back(static_cast<std::uint8_t>(c));
    }
    return p;
}

using Ring = std::vector<std::pair<double, double>>;

std::vector<Ring> RingsOf(const std::string& plt) {
    std::vector<Ring> rings;
    for (const PlotMove& m : ReadPlotMoves(plt)) {
        if (!m.penDown) rings.emplace_back();
        if (!rings.empty()) rings.back().emplace_back(m.x, m.y);
    }
    return rings;
}

int Winding(const Ring& ring, double x, double y) {
    int w = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const auto [x1, y1] = ring[i];
        const auto [x2, y2] = ring[(i + 1) % ring.size()];
        const double cross = (x2 - x1) * (y - y1) - (x - x1) * (y2 - y1);
        if (y1 <= y && y2 > y && cross > 0) ++w;
        if (y1 > y && y2 <= y && cross < 0) --w;
    }
    return w;
}

// The colour left of a ring's first unit edge.
std::uint8_t ColourOf(const Ring& ring, const IndexPicture& p) {
    const double dx = std::copysign(ring[1].first != ring[0].first ? 1.0 : 0.0, ring[1].first - ring[0].first);
    const double dy = std::copysign(ring[1].second != ring[0].second ? 1.0 : 0.0, ring[1].second - ring[0].second);
    const double x = ring[0].first + 0.5 * dx - 0.5 * dy, y = ring[0].second + 0.5 * dy + 0.5 * dx;
    return p.At(static_cast<int>(std::floor(x)), p.height - 1 - static_cast<int>(std::floor(y)));
}

// Every colour's rings, rasterised by their winding, cover exactly its
// pixels; the number of counterclockwise rings is the number of regions.
void ExpectRasterisedBack(const IndexPicture& p, std::size_t regions) {
    const std::vector<Ring> rings = RingsOf(WritePltOutlines(FindOutlines(p)));
    std::size_t outer = 0;
    std::map<std::uint8_t, std::vector<const Ring*>> byColour;
    for (const Ring& ring : rings) {
        ASSERT_GE(ring.size(), 4u);
        EXPECT_EQ(ring.front(), ring.back()) << "closing point";
        byColour[ColourOf(ring, p)].push_back(&ring);
        double area = 0.0;
        for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
            area += ring[i].first * ring[i + 1].second - ring[i + 1].first * ring[i].second;
        }
        if (area > 0) ++outer;  // counterclockwise
    }
    EXPECT_EQ(outer, regions);
    for (int r = 0; r < p.height; ++r) {
        for (int c = 0; c < p.width; ++c) {
            for (const auto& [colour, list] : byColour) {
                int w = 0;
                for (const Ring* ring : list) w += Winding(*ring, c + 0.5, p.height - r - 0.5);
                EXPECT_EQ(w, p.At(c, r) == colour ? 1 : 0) << "pixel " << c << "," << r << " colour " << int(colour);
            }
        }
    }
}

TEST(OutlineFinder, SinglePixelGivesFourCorners) {
    const auto outlines = FindOutlines(Picture({"a"}));
    ASSERT_EQ(outlines.size(), 1u);
    EXPECT_EQ(outlines[0].points, (std::vector<PixelPoint>{{0, 1}, {0, 0}, {1, 0}, {1, 1}}));
    EXPECT_FALSE(outlines[0].clockwise);
}

TEST(OutlineFinder, OrderAndOrientation) {
    // The frame, then the lake's outer outline found at its top-left pixel,
    // then the ground's inner outline around it.
    const auto outlines = FindOutlines(Picture({"###", "#.#", "###"}));
    ASSERT_EQ(outlines.size(), 3u);
    EXPECT_EQ(outlines[0].colour, '#');
    EXPECT_EQ(outlines[0].points.size(), 12u);
    EXPECT_EQ(outlines[1].colour, '.');
    EXPECT_EQ(outlines[1].points, (std::vector<PixelPoint>{{1, 2}, {1, 1}, {2, 1}, {2, 2}}));
    EXPECT_EQ(outlines[2].colour, '#');
    EXPECT_TRUE(outlines[2].clockwise);
    EXPECT_EQ(outlines[2].points, (std::vector<PixelPoint>{{1, 2}, {2, 2}, {2, 1}, {1, 1}}));
}

TEST(OutlineFinder, FixturesRasteriseBackToTheirRegions) {
    const struct {
        const char* name;
        std::vector<std::string> rows;
        std::size_t regions;
    } cases[] = {
        {"lake", {"......", ".####.", ".#..#.", ".####.", "......"}, 3},
        {"lake with island", {".......", ".#####.", ".#...#.", ".#.#.#.", ".#...#.", ".#####.", "......."}, 4},
        {"touching regions", {"aabbb", "aabcc", "dddcc", "deeee"}, 5},
        {"diagonal contacts", {"ab", "ba"}, 4},
        {"diagonal ring", {"..#..", ".#.#.", "#...#", ".#.#.", "..#.."}, 13},
        {"checkerboard", {"abab", "baba", "abab"}, 12},
        {"u shape and spike", {"#.#.", "#.##", "###.", "...."}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRasterisedBack(Picture(c.rows), c.regions);
    }
}

// The 4-connected regions of a picture, counted by a plain flood fill.
std::size_t Regions(const IndexPicture& p) {
    std::vector<bool> seen(p.pixels.size());
    std::size_t regions = 0;
    for (int start = 0; start < p.width * p.height; ++start) {
        if (seen[start]) continue;
        ++regions;
        std::vector<int> stack{start};
        seen[start] = true;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int r = i / p.width, c = i % p.width;
            for (const auto& [dr, dc] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nr = r + dr, nc = c + dc, n = nr * p.width + nc;
                if (nr < 0 || nc < 0 || nr >= p.height || nc >= p.width || seen[n]) continue;
                if (p.pixels[n] != p.pixels[i]) continue;
                seen[n] = true;
                stack.push_back(n);
            }
        }
    }
    return regions;
}

TEST(OutlineFinder, SpeckledPicturesRasteriseBack) {
    unsigned seed = 12345;
    for (int colours : {2, 3}) {
        IndexPicture p;
        p.width = 23, p.height = 17;
        for (int i = 0; i < p.width * p.height; ++i) {
            seed = seed * 1103515245u + 12345u;
            p.pixels.push_back(static_cast<std::uint8_t>((seed >> 16) % colours));
        }
        SCOPED_TRACE(colours);
        ExpectRasterisedBack(p, Regions(p));
    }
}

TEST(OutlineFinder, UpDownPictureStartsWithItsFrame) {
    IndexPicture p;
    p.width = 100, p.height = 80;
    p.pixels.assign(100 * 80, 255);
    for (int r = 10; r < 30; ++r) {
        for (int c = 20; c < 70; ++c) p.pixels[static_cast<std::size_t>(r * 100 + c)] = 0;
    }
    const std::string plt = WritePltOutlines(FindOutlines(p));
    EXPECT_EQ(plt.substr(0, 20), "LT;\r\nPU0 80;\r\nPD0 39");
    const std::vector<Ring> rings = RingsOf(plt);
    ASSERT_EQ(rings.size(), 3u);  // the frame, the area, the frame's hole around it
    const std::set<std::pair<double, double>> frame(rings[0].begin(), rings[0].end());
    for (auto corner : {std::pair{0.0, 0.0}, {100.0, 0.0}, {100.0, 80.0}, {0.0, 80.0}}) {
        EXPECT_TRUE(frame.count(corner));
    }
}

TEST(PltWriter, StraightRunsAndTheClosingPoint) {
    PixelOutline one;
    one.points = {{3, 4}};
    EXPECT_EQ(WritePltOutlines({one}), "");

    // A 100-pixel edge: 40 points left out, then one written; the count runs
    // on into the next outline.
    PixelOutline strip;
    for (int x = 0; x <= 100; ++x) strip.points.push_back({x, 0});
    for (int x = 100; x >= 1; --x) strip.points.push_back({x, 1});
    const std::vector<PlotMove> moves = ReadPlotMoves(WritePltOutlines({strip, strip}));
    std::vector<std::pair<double, double>> points;
    for (const PlotMove& m : moves) points.emplace_back(m.x, m.y);
    const std::vector<std::pair<double, double>> first = {{0, 0}, {41, 0}, {82, 0}, {100, 0}, {100, 1},
                                                          {59, 1}, {18, 1}, {1, 1}, {0, 0}};
    ASSERT_GT(points.size(), first.size() + 1);
    EXPECT_EQ(std::vector(points.begin(), points.begin() + 9), first);
    EXPECT_FALSE(moves[9].penDown);
    EXPECT_EQ(points[10], (std::pair<double, double>{25, 0}));  // 16 already left out at the end of the first

    PixelOutline square;
    square.points = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    EXPECT_EQ(WritePltOutlines({square}), "LT;\r\nPU0 1;\r\nPD0 0;\r\nPD1 0;\r\nPD1 1;\r\nPD0 1;\r\n");
}

TEST(PltReader, IgnoresOtherLinesAndMovesWithoutTwoNumbers) {
    const auto moves = ReadPlotMoves("LT;\r\nPU1 2;\r\nPD\r\nPD3;\r\nPD4,5\nPD 6  7;\nXX1 2\nPU8 9");
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_FALSE(moves[0].penDown);
    EXPECT_EQ(moves[1].x, 4);
    EXPECT_EQ(moves[2].y, 7);
    EXPECT_EQ(moves[3].x, 8);
}

class TracerTest : public ::testing::Test {
  protected:
    fs::path WriteBitmap(const std::string& name, const IndexPicture& p, int bits = -8) {
        mapdata::CDib dib;
        EXPECT_TRUE(dib.CreateEmpty(false, p.width, p.height, bits, nullptr));
        if (bits == -8) {
            for (int r = 0; r < p.height; ++r) {
                for (int c = 0; c < p.width; ++c) *dib.GetPixelAddress(c, r, false) = p.At(c, r);
            }
        }
        const fs::path path = scratch_.Path() / name;
        EXPECT_TRUE(dib.SaveToFile(path, 100, nullptr));
        return path;
    }
    test_support::ScratchFolder scratch_{"tracer"};
};

TEST_F(TracerTest, TracesABitmapFileTopRowFirst) {
    const IndexPicture p = Picture({"baa", "aaa"});
    const fs::path bmp = WriteBitmap("a.bmp", p), plt = scratch_.Path() / "a.plt";
    EXPECT_EQ(TraceMain({"Morvist.exe", "-of", plt.string(), bmp.string()}), "");
    const std::string text = testing::ReadBytes(plt);
    EXPECT_EQ(text, WritePltOutlines(FindOutlines(p)));
    EXPECT_EQ(text.substr(0, 14), "LT;\r\nPU0 2;\r\nP");  // the top-left pixel's region first
    EXPECT_EQ(RingsOf(text)[0], (Ring{{0, 2}, {0, 1}, {1, 1}, {1, 2}, {0, 2}}));
}

TEST_F(TracerTest, FailuresComeBackAsMessages) {
    const fs::path bmp = WriteBitmap("b.bmp", Picture({"a"}));
    const fs::path plt = scratch_.Path() / "b.plt";
    EXPECT_EQ(TraceMain({"Morvist.exe", "-of", "/x/B.BMP", "/x/b.bmp"}), "Input and output file may not be the same");
    EXPECT_EQ(TraceMain({"Morvist.exe", "-of", plt.string(), "dir\\.bmp"}), "Not a valid inputname dir\\.bmp");
    EXPECT_EQ(TraceMain({"Morvist.exe"}), "Not a valid inputname ");
    const std::string missingFolder = (scratch_.Path() / "none" / "b.plt").string();
    EXPECT_EQ(TraceMain({"Morvist.exe", "-of", missingFolder, bmp.string()}),
              missingFolder + ": No such file or directory");
    const fs::path notBitmap = scratch_.Path() / "c.bmp";
    testing::WriteBytes(notBitmap, "BM garbage");
    EXPECT_EQ(TraceMain({"Morvist.exe", "-of", plt.string(), notBitmap.string()}),
              "Could not read bitmap " + notBitmap.string());
    EXPECT_FALSE(fs::exists(plt));  // nothing left behind
    const fs::path colour = WriteBitmap("d.bmp", Picture({"a"}), 24);
    EXPECT_EQ(TraceMain({"Morvist.exe", "-of", plt.string(), colour.string()}),
              "Not an 8-bit palette bitmap " + colour.string());
}

}  // namespace
}  // namespace quorlin
