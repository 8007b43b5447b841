// The in-memory elevation grid: which cell a position falls in, the edges,
// no-data cells and the sampling step.
#include "mapdata/grid_elevation_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace mapdata {
namespace {


// 2 rows x 3 columns over 46..47 N, 7..10 E (1 degree cells); sample value
// 10 x row + column.
GridElevationModel SmallGrid(std::int16_t noData = -5000) {
    const GridExtent extent{{7.0, 45.0, 10.0, 47.0}, 2, 3};
    return GridElevationModel(extent, {0, 1, 2, 10, 11, -5000}, noData);
}

std::optional<float> GridPointAt(const GridElevationModel& grid, double latDeg, double lonEastDeg) {
    return grid.GetElevationAt(-lonEastDeg * kGridRadiansPerDegree, latDeg * kGridRadiansPerDegree);
}

TEST(GridElevationModelTest, CellsRowsFromTheNorthColumnsFromTheWest) {
    const GridElevationModel grid = SmallGrid();
    EXPECT_FLOAT_EQ(*GridPointAt(grid, 46.5, 7.5), 0.0F);
    EXPECT_FLOAT_EQ(*GridPointAt(grid, 46.5, 9.5), 2.0F * 3.2809F);
    EXPECT_FLOAT_EQ(*GridPointAt(grid, 45.5, 8.5), 11.0F * 3.2809F);
    EXPECT_FALSE(GridPointAt(grid, 45.5, 9.5));  // no data
    // No-data value other than the default: that cell reads.
    EXPECT_FLOAT_EQ(*GridPointAt(SmallGrid(-9999), 45.5, 9.5), -5000.0F * 3.2809F);
}

TEST(GridElevationModelTest, NorthAndWestEdgesAreInsideSouthAndEastOutside) {
    const GridElevationModel grid = SmallGrid();
    EXPECT_FLOAT_EQ(*GridPointAt(grid, 47.0, 7.0), 0.0F);  // north-west corner: row 0, column 0
    EXPECT_FALSE(GridPointAt(grid, 45.0, 8.5));            // southern edge
    EXPECT_FALSE(GridPointAt(grid, 45.0 + 0.5e-8, 8.5));   // within 1e-8 degree of it
    EXPECT_FLOAT_EQ(*GridPointAt(grid, 45.0 + 2e-8, 8.5), 11.0F * 3.2809F);
    EXPECT_FALSE(GridPointAt(grid, 46.5, 10.0));  // eastern edge
    EXPECT_FALSE(GridPointAt(grid, 47.0 + 1e-9, 7.5));
    EXPECT_FALSE(GridPointAt(grid, 46.5, 7.0 - 1e-9));
}

TEST(GridElevationModelTest, UnusableGridsAnswerNothing) {
    const GridExtent extent{{7.0, 45.0, 10.0, 47.0}, 2, 3};
    EXPECT_FALSE(GridElevationModel(extent, {1, 2, 3}).GetElevationAt(-8.0 * kGridRadiansPerDegree, 46.0 * kGridRadiansPerDegree));
    const GridExtent upsideDown{{7.0, 47.0, 10.0, 45.0}, 2, 3};
    EXPECT_FALSE(GridElevationModel(upsideDown, std::vector<std::int16_t>(6, 1))
                     .GetElevationAt(-8.0 * kGridRadiansPerDegree, 46.0 * kGridRadiansPerDegree));
}

TEST(GridElevationModelTest, SampleStepIsTheSmallerCellSideAtThePolewardEdge) {
    // 0.01 degree cells between 44 and 45 N: 1.1112 km high, 1.1112 cos 45
    // km wide at the northern edge.
    const GridExtent extent{{7.0, 44.0, 8.0, 45.0}, 100, 100};
    const GridElevationModel grid(extent, std::vector<std::int16_t>(10000, 0));
    EXPECT_NEAR(grid.Geometry().CellHeightKm(), 1.1112, 1e-9);
    EXPECT_NEAR(grid.Geometry().CellWidthKm(), 1.1112 * std::cos(45.0 * kGridRadiansPerDegree), 1e-9);
    EXPECT_NEAR(grid.SampleStepKm(), 0.8 * 1.1112 * std::cos(45.0 * kGridRadiansPerDegree), 1e-9);
    // In the south the southern edge is the poleward one; fine cells give 0.3 km.
    const GridExtent south{{7.0, -45.0, 8.0, -44.0}, 1200, 1200};
    const GridElevationModel fine(south, std::vector<std::int16_t>(1200 * 1200, 0));
    EXPECT_NEAR(fine.Geometry().CellWidthKm(), 0.0926 * std::cos(45.0 * kGridRadiansPerDegree), 1e-9);
    EXPECT_DOUBLE_EQ(fine.SampleStepKm(), 0.3);
}

}  // namespace
}  // namespace mapdata
