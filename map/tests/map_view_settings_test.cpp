// The map window's settings as the store keeps them: each under its own
// name and section, the defaults for what is missing or unreadable.
#include "map/map_view_settings.h"

#include <gtest/gtest.h>

namespace map {
namespace {

TEST(MapViewSettingsTest, ReadsEachValueUnderItsSectionAndKeepsTheDefaultsOtherwise) {
    platform::SettingsStore store{""};
    EXPECT_EQ(ReadMapViewSettings(store, {}).showGotoLine, 1)
        << "the line is shown on a fresh install";
    store.WriteInt("Settings", "ShowGOTOline", 0);
    store.WriteInt("Options\\Maps", "ShowGOTOline", 1);  // not where it is kept
    store.WriteInt("Options\\Maps", "DotSize", 4);
    store.WriteString("Options\\Maps", "ZoomFactor", std::string_view("2.5"));
    store.WriteString("Options\\Maps", "MapMargin", std::string_view("wide"));
    const MapViewSettings read = ReadMapViewSettings(store, {});
    EXPECT_EQ(read.showGotoLine, 0);
    EXPECT_EQ(read.dotSize, 4);
    EXPECT_FLOAT_EQ(read.zoomFactor, 2.5F);
    EXPECT_FLOAT_EQ(read.mapMargin, MapViewSettings{}.mapMargin) << "a text that is no number";
}

}  // namespace
}  // namespace map
