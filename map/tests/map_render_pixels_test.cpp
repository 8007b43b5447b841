// The rendered map frame pixel by pixel against reviewed images: the
// generated map (lines, labels, patterned zones, circles) plus lines whose
// pens change along them, through the render at 800 x 480 in views from far
// out to far in, north up and turned. KV_UPDATE_GOLDEN=1 rewrites the
// images (review the difference before committing them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "map/map_render.h"
#include "map/map_view_model.h"
#include "mapdata/text_map_reader.h"
#include "platform/utf.h"
#include "testing/generated_map.h"
#include "testing/scratch_folder.h"

namespace map {
namespace {

// Lines whose pens change point by point: thin, dashed and wide, and
// dashed runs inside a wide line.
std::string VariedLines() {
    std::string text;
    const char* pens[] = {"3", "20", "35", "20", "5", "40", "17"};
    for (int i = 5000; i < 5400; i += 7) {
        text += test_support::GeneratedMapPoint(i, 2) + "-2,33\r\n";
        for (int k = 3; k < 10; ++k)
            text += test_support::GeneratedMapPoint(i + k % 3, k) + "-1," + pens[(i + k) % 7] + "\r\n";
    }
    return text;
}

struct View {
    const char* name;
    int zoomSteps;  // from the fitted scale; negative zooms out
    float rotationDeg;
    int lineWidth;
};

class RenderPixels : public ::testing::TestWithParam<View> {
  protected:
    static void SetUpTestSuite() {
        scratch_ = new test_support::ScratchFolder("renderpixels");
        file_ = new mapdata::CMapFile;
        lists_ = new MapLists;
        const auto path =
            scratch_->Write("generated.map", test_support::GeneratedMapText(10000) + VariedLines());
        ASSERT_TRUE(file_->Open(platform::FromUtf8(path.string()), core::OpenMode::kRead, true));
        ASSERT_EQ(file_->ReadHeader(), mapdata::HeaderResult::kRead);
        mapdata::MapReadContext context;
        mapdata::ParseTextMap(context, *file_);
        lists_->general = std::move(context.general);
        lists_->zones = std::move(context.zones);
        lists_->symbols17 = std::move(context.symbols17);
        lists_->symbols27 = std::move(context.symbols27);
    }
    static void TearDownTestSuite() {
        delete lists_;
        delete file_;
        delete scratch_;
    }

    static test_support::ScratchFolder* scratch_;
    static mapdata::CMapFile* file_;
    static MapLists* lists_;
};

test_support::ScratchFolder* RenderPixels::scratch_ = nullptr;
mapdata::CMapFile* RenderPixels::file_ = nullptr;
MapLists* RenderPixels::lists_ = nullptr;

TEST_P(RenderPixels, FrameMatchesReviewedImage) {
    const View& v = GetParam();
    // The map file is shared by the views and keeps the last one's rotation.
    file_->SetRotation(0.0, true);
    MapViewModel view(*file_);
    view.client = {800, 480};
    view.AdoptMapHeader();
    view.mapLoaded = 1;
    view.firstFixSeen = 1;
    view.FitMapScale();
    view.SetMapMargin(view.marginFraction);
    for (int i = 0; i < std::abs(v.zoomSteps); ++i) view.ZoomMap(v.zoomSteps > 0);
    const nav::WaypointRecord centre(47.0, 8.0, true);
    view.CenterMapOn(centre, true);
    if (v.rotationDeg != 0.0F) {
        view.trackUp = 1;
        view.SetMapRotation(v.rotationDeg, centre);
        view.PublishMapTransform();
    }

    MapRenderInput input;
    input.draw.state = view.Published();
    input.draw.clientHeight = 480;
    input.draw.lineWidth = v.lineWidth;
    input.width = 800;
    input.height = 480;
    input.mapLoaded = true;
    input.labelBottom = 477;
    platform::Canvas canvas(800, 480);
    const std::atomic<bool> never{false};
    RenderMapLayers(canvas, *lists_, input, never);
    const platform::Image& frame = canvas.Pixels();

    const auto golden = std::filesystem::path(KV_SOURCE_DIR) / "map/tests/data" /
                        (std::string("render_") + v.name + ".png");
    if (std::getenv("KV_UPDATE_GOLDEN") != nullptr) {
        ASSERT_EQ(cairo_surface_write_to_png(frame.Surface(), golden.c_str()), CAIRO_STATUS_SUCCESS);
    }
    std::ifstream in(golden, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    const platform::Image expected = platform::Image::FromPng(bytes);
    ASSERT_FALSE(expected.Empty()) << golden;
    ASSERT_EQ(expected.Width(), 800);
    ASSERT_EQ(expected.Height(), 480);
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (frame.Pixel(x, y) == expected.Pixel(x, y)) continue;
            if (differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    EXPECT_EQ(differing, 0) << "first at (" << firstX << ", " << firstY << ")";
}

INSTANTIATE_TEST_SUITE_P(Views, RenderPixels,
                         ::testing::Values(View{"fitted", 0, 0.0F, 1}, View{"benchmark", 4, 0.0F, 1},
                                           View{"close", 9, 0.0F, 1},
                                           View{"turned", 3, 33.0F, 1},
                                           View{"wide", 5, 0.0F, 2}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace map
