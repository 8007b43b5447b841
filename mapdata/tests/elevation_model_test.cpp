// The elevation model over a mapped grid file: lookups, byte orders, grids
// that are refused, replacing a grid under a reader, and agreement with an
// independent reader of the same files (GDAL's gdallocationinfo).
#include "mapdata/elevation_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <thread>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "testing/scratch_folder.h"

namespace mapdata {
namespace {


std::string Samples(const std::vector<std::int16_t>& values, bool littleEndian) {
    std::string bytes;
    for (const std::int16_t v : values) {
        const auto u = static_cast<std::uint16_t>(v);
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        bytes += littleEndian ? std::string{lo, hi} : std::string{hi, lo};
    }
    return bytes;
}

// 2 rows x 3 columns over 45..47 N, 7..10 E; sample 10 x row + column, the
// last one without data.
const std::vector<std::int16_t> kSmall{0, 1, 2, 10, 11, -9999};

std::string OwnHeader(std::string_view title, int rows = 2) {
    return "file_title               =" + std::string(title) +
           "\r\nleft_map_x               =7.0\r\nright_map_x               =10.0\r\n"
           "upper_map_y              =47.0\r\nlower_map_y              =45.0\r\n"
           "number_of_rows           =" + std::to_string(rows) +
           "\r\nnumber_of_columns        =3\r\nelev_m_missing_flag      =-9999\r\n"
           "data_byte_order          = little_endian";
}

std::optional<float> At(const CElevationModel& model, double latDeg, double lonEastDeg) {
    return model.GetElevationAt(-lonEastDeg, latDeg, true);
}

TEST(ElevationModelTest, LooksUpTheMappedGrid) {
    const test_support::ScratchFolder folder("elevation");
    folder.Write("small.hdr", OwnHeader("small"));
    folder.Write("small.bin", Samples(kSmall, true));
    CElevationModel model;
    EXPECT_FALSE(At(model, 46.5, 7.5));  // empty
    ASSERT_TRUE(model.ParseHeader(folder / "small.hdr"));
    EXPECT_FALSE(At(model, 46.5, 7.5));  // parsed, not mapped
    ASSERT_TRUE(model.MapDataFile());
    EXPECT_FLOAT_EQ(*At(model, 46.5, 9.5), 2.0F * 3.2809F);
    EXPECT_FLOAT_EQ(*At(model, 45.5, 8.5), 11.0F * 3.2809F);
    EXPECT_FALSE(At(model, 45.5, 9.5));  // no data
    EXPECT_FLOAT_EQ(*At(model, 47.0, 7.0), 0.0F);  // north-west corner: row 0, column 0
    EXPECT_FALSE(At(model, 45.0, 8.5));            // southern edge
    EXPECT_FALSE(At(model, 46.5, 10.0));           // eastern edge
    EXPECT_FLOAT_EQ(*model.GetElevationAt(-9.5 * kGridRadiansPerDegree, 46.5 * kGridRadiansPerDegree), 2.0F * 3.2809F);
    ASSERT_TRUE(model.View());
    EXPECT_DOUBLE_EQ(model.View()->SampleStepKm(),
                     std::max(std::min(111.12, 111.12 * std::cos(47.0 * kGridRadiansPerDegree)) * 0.8, 0.3));
    model.Close();
    EXPECT_FALSE(model.View());
    EXPECT_TRUE(model.HeaderPath().empty());
}

TEST(ElevationModelTest, BigEndianGridsAndTheirNoDataCells) {
    const test_support::ScratchFolder folder("elevation");
    folder.Write("gtopo.hdr",
                 "BYTEORDER M\nNROWS 2\nNCOLS 3\nULXMAP 7.5\nULYMAP 46.5\nXDIM 1\nYDIM 1\n"
                 "NODATA -9999\n");
    folder.Write("gtopo.bin", Samples(kSmall, false));
    CElevationModel model;
    ASSERT_TRUE(model.ParseHeader(folder / "gtopo.hdr"));
    ASSERT_TRUE(model.MapDataFile());
    EXPECT_FLOAT_EQ(*At(model, 45.5, 8.5), 11.0F * 3.2809F);
    EXPECT_FALSE(At(model, 45.5, 9.5));
}

TEST(ElevationModelTest, GridsOfTheWrongLengthAreRefused) {
    const test_support::ScratchFolder folder("elevation");
    folder.Write("short.hdr", OwnHeader("short"));
    folder.Write("short.bin", Samples(kSmall, true).substr(1));
    folder.Write("long.hdr", OwnHeader("long"));
    folder.Write("long.bin", Samples(kSmall, true) + "x");
    folder.Write("absent.hdr", OwnHeader("absent"));
    for (const char* name : {"short.hdr", "long.hdr", "absent.hdr"}) {
        CElevationModel model;
        ASSERT_TRUE(model.ParseHeader(folder / name)) << name;
        EXPECT_FALSE(model.MapDataFile()) << name;
        EXPECT_FALSE(model.View());
        EXPECT_FALSE(At(model, 46.5, 7.5));
    }
    CElevationModel model;
    EXPECT_FALSE(model.ParseHeader(folder / "missing.hdr"));
}

TEST(ElevationModelTest, AReplacedGridStaysMappedForItsReader) {
    const test_support::ScratchFolder folder("elevation");
    folder.Write("small.hdr", OwnHeader("small"));
    folder.Write("small.bin", Samples(kSmall, true));
    CElevationModel model;
    ASSERT_TRUE(model.ParseHeader(folder / "small.hdr"));
    ASSERT_TRUE(model.MapDataFile());
    const std::shared_ptr<const core::ElevationModel> reader = model.View();
    model.Close();
    ASSERT_TRUE(model.ParseHeader(folder / "missing.hdr") == false);
    EXPECT_FLOAT_EQ(*reader->GetElevationAt(-8.5 * kGridRadiansPerDegree, 45.5 * kGridRadiansPerDegree), 11.0F * 3.2809F);
}

TEST(ElevationModelTest, ReadersOnOtherThreadsKeepTheGridTheyHold) {
    // The user-interface thread replaces the installed grid over and over
    // (every third load fails and installs none) while another thread reads.
    const test_support::ScratchFolder folder("elevation");
    folder.Write("small.hdr", OwnHeader("small"));
    folder.Write("small.bin", Samples(kSmall, true));
    folder.Write("short.hdr", OwnHeader("short"));
    folder.Write("short.bin", "x");
    std::atomic<bool> stop{false};
    std::atomic<int> answers{0};
    std::thread reader([&] {
        while (!stop) {
            if (const auto model = core::CurrentElevationModel()) {
                const auto feet = model->GetElevationAt(-8.5 * kGridRadiansPerDegree, 45.5 * kGridRadiansPerDegree);
                if (feet && *feet == 11.0F * 3.2809F) ++answers;
            }
        }
    });
    CElevationModel model;
    for (int i = 0; i < 300; ++i) {
        model.Close();
        if (model.ParseHeader(folder / (i % 3 == 1 ? "short.hdr" : "small.hdr"))) {
            model.MapDataFile();
        }
        core::SetElevationModel(model.View());
    }
    // The last grid loaded is a good one: the reader gets to read it.
    while (answers == 0) std::this_thread::yield();
    stop = true;
    reader.join();
    core::SetElevationModel(nullptr);
}

// Runs a command and returns what it printed; nothing when it failed.
std::optional<std::string> RunCommand(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    return ::pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

TEST(ElevationModelTest, AgreesWithGdalOnAGridItExported) {
    if (!RunCommand("command -v gdal_translate >/dev/null && command -v gdallocationinfo >/dev/null")) {
        GTEST_SKIP() << "GDAL's tools are not installed (scripts/install-deps.sh test)";
    }
    const test_support::ScratchFolder folder("elevation-gdal");
    // An ASCII grid of 120 x 150 cells of 0.01 degree over 45.6..46.8 N,
    // 6.9..8.4 E, with some cells without data.
    constexpr int kRows = 120, kColumns = 150;
    std::ostringstream grid;
    grid << "ncols " << kColumns << "\nnrows " << kRows
         << "\nxllcorner 6.9\nyllcorner 45.6\ncellsize 0.01\nNODATA_value -9999\n";
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const int value = (r * 37 + c * 11) % 53 == 0 ? -9999 : 200 + r * 23 - c * 7;
            grid << value << (c + 1 < kColumns ? " " : "\n");
        }
    }
    folder.Write("source.asc", grid.str());
    const std::string dir = folder.Path().string();
    ASSERT_TRUE(RunCommand("cd '" + dir +
                    "' && gdal_translate -q -of EHdr -ot Int16 source.asc terrain.bil && "
                    "mv terrain.bil terrain.bin"));
    // The same grid big-endian.
    std::ifstream in(folder / "terrain.bin", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    folder.Write("swapped.bin", bytes);
    std::ifstream hdr(folder / "terrain.hdr");
    std::string header((std::istreambuf_iterator<char>(hdr)), std::istreambuf_iterator<char>());
    const std::size_t order = header.find("BYTEORDER");
    ASSERT_NE(order, std::string::npos);
    header.replace(order, header.find('\n', order) - order, "BYTEORDER      M");
    folder.Write("swapped.hdr", header);

    std::mt19937 random(20);
    std::uniform_real_distribution<double> lat(45.6001, 46.7999), lon(6.9001, 8.3999);
    std::vector<std::pair<double, double>> points;
    std::ostringstream query;
    query.precision(12);
    for (int i = 0; i < 1000; ++i) {
        points.emplace_back(lat(random), lon(random));
        query << points.back().second << " " << points.back().first << "\n";
    }
    folder.Write("points.txt", query.str());
    const auto gdal =
        RunCommand("cd '" + dir + "' && gdallocationinfo -valonly -geoloc terrain.bin < points.txt");
    ASSERT_TRUE(gdal);
    std::istringstream answers(*gdal);
    std::vector<int> expected;
    for (int value; answers >> value;) expected.push_back(value);
    ASSERT_EQ(expected.size(), points.size());

    for (const char* name : {"terrain.hdr", "swapped.hdr"}) {
        CElevationModel model;
        ASSERT_TRUE(model.ParseHeader(folder / name)) << name;
        ASSERT_TRUE(model.MapDataFile()) << name;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const auto height = At(model, points[i].first, points[i].second);
            if (expected[i] == -9999) {
                EXPECT_FALSE(height) << name << " point " << i;
            } else {
                ASSERT_TRUE(height) << name << " point " << i;
                EXPECT_FLOAT_EQ(*height, static_cast<float>(expected[i]) * 3.2809F)
                    << name << " point " << i;
            }
        }
    }
}

}  // namespace
}  // namespace mapdata
