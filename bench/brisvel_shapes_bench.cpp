// All over a generated shapefile of 100,000 polygons (twelve-sided rings
// spread over 20 x 20 degrees, 40 distinct names), then Save; beside it the
// same file written as CSV with WKT geometry by an independent tool
// (ogr2ogr), the figure to compare with. Each run reads the file anew.
#include <benchmark/benchmark.h>
#include <shapefil.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>

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
    bool AskBounds(brisvel::Bounds&) override { return true; }

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

void BM_AllThenSave(benchmark::State& state) {
    const std::filesystem::path shp = Shapefile();
    Prompts prompts(Folder() / "areas.map");
    for (auto _ : state) {
        brisvel::FrameBounds frame;
        brisvel::CShapeDocument document(frame, prompts);
        brisvel::ShapeBarModel bar(prompts, 0);
        if (!bar.OpenDocument(document, shp)) state.SkipWithError("cannot open the shapefile");
        bar.All();
        if (document.Added().size() != kPolygons || !document.SaveMapFile(std::nullopt))
            state.SkipWithError("not every polygon was added and saved");
    }
}
BENCHMARK(BM_AllThenSave)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_Ogr2OgrCsv(benchmark::State& state) {
    const std::filesystem::path shp = Shapefile();
    const std::filesystem::path csv = Folder() / "areas.csv";
    const std::string command = "ogr2ogr -f CSV -lco GEOMETRY=AS_WKT '" + csv.string() + "' '" +
                                shp.string() + "' >/dev/null 2>&1";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(csv);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) state.SkipWithError("ogr2ogr failed");
    }
}
BENCHMARK(BM_Ogr2OgrCsv)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

}  // namespace
