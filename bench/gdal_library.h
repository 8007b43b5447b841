#pragma once
// GDAL beside the converters in their benchmarks: GDAL's utilities called
// through its library (the GDAL 3 C API, loaded at run time so that the
// build needs no GDAL headers), so that both sides are timed in the same
// process the same way, without GDAL's process start-up; and the loop that
// runs ours and GDAL's alternately.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "bench/bench_support.h"
#include "platform/dynamic_library.h"

namespace bench {

// GDAL's utilities as library calls.
class GdalLibrary {
  public:
    GdalLibrary() : library_(platform::DynamicLibrary::Open("libgdal.so.32")) {
        if (!library_) return;
        allRegister_ = library_.Symbol<void (*)()>("GDALAllRegister");
        open_ = library_.Symbol<void* (*)(const char*, int)>("GDALOpen");
        close_ = library_.Symbol<void (*)(void*)>("GDALClose");
        translateOptions_ = library_.Symbol<void* (*)(char**, void*)>("GDALTranslateOptionsNew");
        freeTranslate_ = library_.Symbol<void (*)(void*)>("GDALTranslateOptionsFree");
        translate_ = library_.Symbol<void* (*)(const char*, void*, const void*, int*)>("GDALTranslate");
        demOptions_ = library_.Symbol<void* (*)(char**, void*)>("GDALDEMProcessingOptionsNew");
        freeDem_ = library_.Symbol<void (*)(void*)>("GDALDEMProcessingOptionsFree");
        openEx_ = library_.Symbol<void* (*)(const char*, unsigned, const char* const*, const char* const*,
                                              const char* const*)>("GDALOpenEx");
        vectorOptions_ = library_.Symbol<void* (*)(char**, void*)>("GDALVectorTranslateOptionsNew");
        freeVector_ = library_.Symbol<void (*)(void*)>("GDALVectorTranslateOptionsFree");
        vector_ = library_.Symbol<void* (*)(const char*, void*, int, void**, const void*, int*)>(
            "GDALVectorTranslate");
        dem_ = library_.Symbol<void* (*)(const char*, void*, const char*, const char*, const void*, int*)>(
            "GDALDEMProcessing");
        band_ = library_.Symbol<void* (*)(void*, int)>("GDALGetRasterBand");
        maskBand_ = library_.Symbol<void* (*)(void*)>("GDALGetMaskBand");
        noData_ = library_.Symbol<double (*)(void*, int*)>("GDALGetRasterNoDataValue");
        driver_ = library_.Symbol<void* (*)(const char*)>("GDALGetDriverByName");
        create_ = library_.Symbol<void* (*)(void*, const char*, int, int, int, int, char**)>("GDALCreate");
        createLayer_ = library_.Symbol<void* (*)(void*, const char*, void*, int, char**)>(
            "GDALDatasetCreateLayer");
        layer_ = library_.Symbol<void* (*)(void*, int)>("GDALDatasetGetLayer");
        fieldDefn_ = library_.Symbol<void* (*)(const char*, int)>("OGR_Fld_Create");
        freeFieldDefn_ = library_.Symbol<void (*)(void*)>("OGR_Fld_Destroy");
        createField_ = library_.Symbol<int (*)(void*, void*, int)>("OGR_L_CreateField");
        contour_ = library_.Symbol<int (*)(void*, void*, char**, void*, void*)>("GDALContourGenerateEx");
        polygonize_ = library_.Symbol<int (*)(void*, void*, void*, int, char**, void*, void*)>(
            "GDALPolygonize");
        nextFeature_ = library_.Symbol<void* (*)(void*)>("OGR_L_GetNextFeature");
        freeFeature_ = library_.Symbol<void (*)(void*)>("OGR_F_Destroy");
        geometry_ = library_.Symbol<void* (*)(void*)>("OGR_F_GetGeometryRef");
        geometryCount_ = library_.Symbol<int (*)(void*)>("OGR_G_GetGeometryCount");
        part_ = library_.Symbol<void* (*)(void*, int)>("OGR_G_GetGeometryRef");
        area_ = library_.Symbol<double (*)(void*)>("OGR_G_Area");
        length_ = library_.Symbol<double (*)(void*)>("OGR_G_Length");
        if (Ready()) allRegister_();
    }

    bool Ready() const {
        return allRegister_ && open_ && close_ && translateOptions_ && freeTranslate_ && translate_ &&
               demOptions_ && freeDem_ && dem_ && openEx_ && vectorOptions_ && freeVector_ && vector_ &&
               band_ && maskBand_ && noData_ && driver_ && create_ && createLayer_ && layer_ &&
               fieldDefn_ && freeFieldDefn_ && createField_ && contour_ && polygonize_ &&
               nextFeature_ && freeFeature_ && geometry_ && geometryCount_ && part_ && area_ && length_;
    }

    // gdal_translate with these options; false when it fails.
    bool Translate(const std::filesystem::path& from, const std::filesystem::path& to,
                   std::vector<std::string> options) const {
        void* source = open_(from.c_str(), 0);
        if (source == nullptr) return false;
        const auto argv = Argv(options);
        void* parsed = translateOptions_(const_cast<char**>(argv.data()), nullptr);
        int usage = 0;
        void* out = translate_(to.c_str(), source, parsed, &usage);
        freeTranslate_(parsed);
        if (out != nullptr) close_(out);
        close_(source);
        return out != nullptr && usage == 0;
    }

    // gdaldem color-relief with these options.
    bool ColourRelief(const std::filesystem::path& from, const std::filesystem::path& colours,
                      const std::filesystem::path& to, std::vector<std::string> options) const {
        void* source = open_(from.c_str(), 0);
        if (source == nullptr) return false;
        const auto argv = Argv(options);
        void* parsed = demOptions_(const_cast<char**>(argv.data()), nullptr);
        int usage = 0;
        void* out = dem_(to.c_str(), source, "color-relief", colours.c_str(), parsed, &usage);
        freeDem_(parsed);
        if (out != nullptr) close_(out);
        close_(source);
        return out != nullptr && usage == 0;
    }

    // ogr2ogr with these options.
    bool VectorTranslate(const std::filesystem::path& from, const std::filesystem::path& to,
                         std::vector<std::string> options) const {
        constexpr unsigned kVector = 0x04;  // GDAL_OF_VECTOR
        void* source = openEx_(from.c_str(), kVector, nullptr, nullptr, nullptr);
        if (source == nullptr) return false;
        const auto argv = Argv(options);
        void* parsed = vectorOptions_(const_cast<char**>(argv.data()), nullptr);
        int usage = 0;
        void* out = vector_(to.c_str(), nullptr, 1, &source, parsed, &usage);
        freeVector_(parsed);
        if (out != nullptr) close_(out);
        close_(source);
        return out != nullptr && usage == 0;
    }

    // gdal_contour -p -fl level -f GeoJSON: the polygons between the
    // grid's lowest value, the level and its highest (the band's no-data
    // value left out), with an "ID" field.
    bool ContourPolygons(const std::filesystem::path& from, const std::filesystem::path& to,
                         double level) const {
        return VectorFromBand(from, to, kMultiPolygon, [&](void* band, void* layer) {
            int hasNoData = 0;
            const double noData = noData_(band, &hasNoData);
            std::vector<std::string> options{"FIXED_LEVELS=" + std::to_string(level), "ID_FIELD=0",
                                             "POLYGONIZE=YES"};
            if (hasNoData != 0) options.push_back("NODATA=" + std::to_string(noData));
            auto argv = Argv(options);
            return contour_(band, layer, const_cast<char**>(argv.data()), nullptr, nullptr) == 0;
        });
    }

    // gdal_polygonize.py -f GeoJSON: a polygon per 4-connected region of
    // equal pixels of the first band, with its value in a "DN" field.
    bool Polygonize(const std::filesystem::path& from, const std::filesystem::path& to) const {
        return VectorFromBand(from, to, kPolygon, [&](void* band, void* layer) {
            return polygonize_(band, maskBand_(band), layer, 0, nullptr, nullptr, nullptr) == 0;
        });
    }

    // The rings of a GeoJSON file's first layer: outer rings and holes of
    // its polygons and multipolygons; -1 when it cannot be read.
    double Rings(const std::filesystem::path& file) const {
        return SumOverFeatures(file, [this](void* geometry) {
            return SumOverRings(geometry, [](void*) { return 1.0; });
        });
    }

    // The length of all those rings together.
    double RingLength(const std::filesystem::path& file) const {
        return SumOverFeatures(file, [this](void* geometry) { return SumOverRings(geometry, length_); });
    }

    // The area its polygons enclose, holes left out, in the square units
    // of its coordinates; -1 when it cannot be read.
    double Area(const std::filesystem::path& file) const {
        return SumOverFeatures(file, [this](void* geometry) { return geometry != nullptr ? area_(geometry) : 0.0; });
    }

  private:
    static constexpr int kPolygon = 3;       // wkbPolygon
    static constexpr int kMultiPolygon = 6;  // wkbMultiPolygon
    static constexpr int kInteger = 0;       // OFTInteger

    // A new GeoJSON file `to` with one layer of `type` and an integer field,
    // filled by fill(band, layer) from the first band of `from`.
    template <typename Fill>
    bool VectorFromBand(const std::filesystem::path& from, const std::filesystem::path& to, int type,
                        Fill fill) const {
        std::filesystem::remove(to);
        void* source = open_(from.c_str(), 0);
        if (source == nullptr) return false;
        void* out = create_(driver_("GeoJSON"), to.c_str(), 0, 0, 0, 0, nullptr);
        void* layer = out != nullptr ? createLayer_(out, "out", nullptr, type, nullptr) : nullptr;
        bool made = layer != nullptr;
        if (made) {
            void* field = fieldDefn_(type == kPolygon ? "DN" : "ID", kInteger);
            made = createField_(layer, field, 1) == 0 && fill(band_(source, 1), layer);
            freeFieldDefn_(field);
        }
        if (out != nullptr) close_(out);
        close_(source);
        return made;
    }

    // The sum of measure(geometry) over the features of a vector file's
    // first layer; -1 when it cannot be read.
    template <typename Measure>
    double SumOverFeatures(const std::filesystem::path& file, Measure measure) const {
        constexpr unsigned kVector = 0x04;  // GDAL_OF_VECTOR
        void* source = openEx_(file.c_str(), kVector, nullptr, nullptr, nullptr);
        if (source == nullptr) return -1;
        void* layer = layer_(source, 0);
        double sum = layer != nullptr ? 0 : -1;
        while (void* feature = layer != nullptr ? nextFeature_(layer) : nullptr) {
            sum += measure(geometry_(feature));
            freeFeature_(feature);
        }
        close_(source);
        return sum;
    }

    // The sum of measure(ring) over the rings of a polygon, or of each
    // polygon of a multipolygon.
    template <typename Measure>
    double SumOverRings(void* geometry, Measure measure) const {
        if (geometry == nullptr) return 0;
        const int parts = geometryCount_(geometry);
        void* first = parts > 0 ? part_(geometry, 0) : nullptr;
        const bool multi = first != nullptr && geometryCount_(first) > 0;  // a ring has no parts
        double sum = 0;
        for (int i = 0; i < parts; ++i) {
            void* part = part_(geometry, i);
            if (!multi) {
                sum += measure(part);
                continue;
            }
            for (int r = 0; r < geometryCount_(part); ++r) sum += measure(part_(part, r));
        }
        return sum;
    }

    static std::vector<const char*> Argv(const std::vector<std::string>& options) {
        std::vector<const char*> argv;
        for (const auto& o : options) argv.push_back(o.c_str());
        argv.push_back(nullptr);
        return argv;
    }

    platform::DynamicLibrary library_;
    void (*allRegister_)() = nullptr;
    void* (*open_)(const char*, int) = nullptr;
    void (*close_)(void*) = nullptr;
    void* (*translateOptions_)(char**, void*) = nullptr;
    void (*freeTranslate_)(void*) = nullptr;
    void* (*translate_)(const char*, void*, const void*, int*) = nullptr;
    void* (*demOptions_)(char**, void*) = nullptr;
    void (*freeDem_)(void*) = nullptr;
    void* (*dem_)(const char*, void*, const char*, const char*, const void*, int*) = nullptr;
    void* (*openEx_)(const char*, unsigned, const char* const*, const char* const*,
                     const char* const*) = nullptr;
    void* (*vectorOptions_)(char**, void*) = nullptr;
    void (*freeVector_)(void*) = nullptr;
    void* (*vector_)(const char*, void*, int, void**, const void*, int*) = nullptr;
    void* (*band_)(void*, int) = nullptr;
    void* (*maskBand_)(void*) = nullptr;
    double (*noData_)(void*, int*) = nullptr;
    void* (*driver_)(const char*) = nullptr;
    void* (*create_)(void*, const char*, int, int, int, int, char**) = nullptr;
    void* (*createLayer_)(void*, const char*, void*, int, char**) = nullptr;
    void* (*layer_)(void*, int) = nullptr;
    void* (*fieldDefn_)(const char*, int) = nullptr;
    void (*freeFieldDefn_)(void*) = nullptr;
    int (*createField_)(void*, void*, int) = nullptr;
    int (*contour_)(void*, void*, char**, void*, void*) = nullptr;
    int (*polygonize_)(void*, void*, void*, int, char**, void*, void*) = nullptr;
    void* (*nextFeature_)(void*) = nullptr;
    void (*freeFeature_)(void*) = nullptr;
    void* (*geometry_)(void*) = nullptr;
    int (*geometryCount_)(void*) = nullptr;
    void* (*part_)(void*, int) = nullptr;
    double (*area_)(void*) = nullptr;
    double (*length_)(void*) = nullptr;
};

// Runs ours and GDAL's alternately (bench::AlternateWithPeer), and reports
// the medians, their ratio, and how much the outputs differ: compare(),
// or compare(gdal) to read GDAL's output through its library, runs after
// the timed runs. A difference above `allowed`, or none to be had (a
// negative one), fails the run. False, the run marked failed, when GDAL is
// missing, a conversion failed or the outputs differ.
template <typename Ours, typename Theirs, typename Compare>
bool AgainstGdal(benchmark::State& state, Ours ours, Theirs theirs, Compare compare,
                 double allowed = std::numeric_limits<double>::infinity()) {
    static const GdalLibrary gdal;
    if (!gdal.Ready()) {
        state.SkipWithError("GDAL's library not found");
        return false;
    }
    PeerTimes times;
    if (!AlternateWithPeer(state, times, ours, [&] { return theirs(gdal); })) {
        state.SkipWithError("a conversion failed");
        return false;
    }
    ReportAgainstPeer(state, times);
    double differences = 0;
    if constexpr (std::is_invocable_v<Compare&, const GdalLibrary&>) {
        differences = compare(gdal);
    } else {
        differences = compare();
    }
    state.counters["output_differences"] = differences;
    if (!(differences >= 0 && differences <= allowed)) {
        state.SkipWithError("the outputs differ");
        return false;
    }
    return true;
}

}  // namespace bench
