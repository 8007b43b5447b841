// All over a generated shapefile of 100,000 polygons (twelve-sided rings
// spread over 20 x 20 degrees, 40 distinct names), then Save; beside it,
// interleaved in the same process, the same file written as CSV with WKT
// geometry by ogr2ogr through GDAL's library, the figure to compare with.
// Each run reads the file anew.
#include <benchmark/benchmark.h>
#include <shapefil.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>

#include "bench/gdal_library.h"
#include "testing/scratch_folder.h"
#include "tools/brisvel/shape_bar_model.h"
#include "tools/brisvel/shape_document.h"

namespace {

constexpr int kPolygons = 100000;
constexpr int kSides = 12;

// Yes to "add all", No to "only matching" and to "exclude un-named".
class Prompts final : public brisvel::DocumentPrompts {
  public:
    explicit Prompts(std::filesystem::path map) : map_(std::move(map)) {}
    void Tell(std::string_view, std::string_view) override {}
    bool Ask(std::string_view text, std::string_view) override {
        return text.starts_with("Are you sure") || text.starts_with("File ");
    }
    std::optional<std::filesystem::path> AskMapName() override { return map_; }
    bool AskBounds(core::GeoBox&) override { return true; }

  private:
    std::filesystem::path map_;
};

const test_support::ScratchFolder& Folder() {
    static const test_support::ScratchFolder folder("kv-brisvel-bench");
    return folder;
}

std::filesystem::path Shapefile() {
    static const std::filesystem::path path = [] {
        const std::string base = (Folder() / "areas").string();
        SHPHandle shp = SHPCreate(base.c_str(), SHPT_POLYGON);
        DBFHandle dbf = DBFCreate(base.c_str());
        DBFAddField(dbf, "NAME", FTString, 20, 0);
        double x[kSides + 1], y[kSides + 1];
        for (int i = 0; i < kPolygons; ++i) {
            const double cx = 5.0 + (i % 316) * 20.0 / 316, cy = 40.0 + (i / 316) * 20.0 / 317;
            for (int k = 0; k <= kSides; ++k) {
                const double a = -2.0 * std::numbers::pi * (k % kSides) / kSides;  // clockwise
                x[k] = cx + 0.02 * std::cos(a);
                y[k] = cy + 0.02 * std::sin(a);
            }
            SHPObject* ring = SHPCreateSimpleObject(SHPT_POLYGON, kSides + 1, x, y, nullptr);
            SHPWriteObject(shp, -1, ring);
            SHPDestroyObject(ring);
            DBFWriteStringAttribute(dbf, i, 0, ("Area " + std::to_string(i % 40)).c_str());
        }
        SHPClose(shp);
        DBFClose(dbf);
        return std::filesystem::path(base + ".shp");
    }();
    return path;
}

// All then Save beside ogr2ogr writing the same file as CSV with WKT
// geometry through GDAL's library, interleaved in one process; both must
// take every polygon.
void BM_AllThenSaveAgainstOgr2Ogr(benchmark::State& state) {
    const std::filesystem::path shp = Shapefile();
    const std::filesystem::path csv = Folder() / "areas.csv";
    Prompts prompts(Folder() / "areas.map");
    std::size_t added = 0;
    bench::AgainstGdal(
        state,
        [&] {
            brisvel::FrameBounds frame;
            brisvel::CShapeDocument document(frame, prompts);
            brisvel::ShapeBarModel bar(prompts, 0);
            if (!bar.OpenDocument(document, shp)) return false;
            bar.All();
            added = document.Added().size();
            return document.SaveMapFile(std::nullopt);
        },
        [&](const bench::GdalLibrary& gdal) {
            std::filesystem::remove(csv);
            return gdal.VectorTranslate(shp, csv, {"-f", "CSV", "-lco", "GEOMETRY=AS_WKT"});
        },
        [&] {
            // Polygons either side did not take.
            std::ifstream in(csv);
            const auto rows = std::count(std::istreambuf_iterator<char>(in), {}, '\n') - 1;
            return std::abs(static_cast<double>(kPolygons) - static_cast<double>(added)) +
                   std::abs(static_cast<double>(kPolygons) - static_cast<double>(rows));
        },
        0);
}
BENCHMARK(BM_AllThenSaveAgainstOgr2Ogr)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
