// The reviewed maps Tandrel writes load in the flight computer's map
// reader: every airspace becomes one zone, and no line is passed over.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "mapdata/text_map_reader.h"

namespace tandrel {
namespace {

// Each airspace starts with its limits record, code -7.
std::size_t AirspacesIn(const std::filesystem::path& map) {
    std::ifstream in(map, std::ios::binary);
    std::size_t count = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find(",0,0,-7,;") != std::string::npos) ++count;
    return count;
}

TEST(GoldenMaps, TheFlightComputersReaderMakesAZoneOfEveryAirspace) {
    const std::filesystem::path folder =
        std::filesystem::path(KV_SOURCE_DIR) / "tools/tandrel/tests/data/golden";
    int maps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".map") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++maps;
        mapdata::MapReadContext context;
        ASSERT_TRUE(mapdata::ReadMapAt(entry.path(), context));
        EXPECT_EQ(context.longLinesSkipped, 0u);
        EXPECT_EQ(context.zones.size(), AirspacesIn(entry.path()));
        EXPECT_GT(context.zones.size(), 0u);
    }
    EXPECT_GE(maps, 5);
}

}  // namespace
}  // namespace tandrel
