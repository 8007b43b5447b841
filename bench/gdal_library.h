#pragma once
// GDAL beside the converters in their benchmarks: GDAL's utilities called
// through its library (the GDAL 3 C API, loaded at run time so that the
// build needs no GDAL headers), so that both sides are timed in the same
// process the same way, without GDAL's process start-up; and the loop that
// runs ours and GDAL's alternately.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
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
        if (Ready()) allRegister_();
    }

    bool Ready() const {
        return allRegister_ && open_ && close_ && translateOptions_ && freeTranslate_ && translate_ &&
               demOptions_ && freeDem_ && dem_ && openEx_ && vectorOptions_ && freeVector_ && vector_;
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

  private:
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
};

// Runs ours and GDAL's alternately (the order turning each time), timed the
// same way in this process, and reports their medians, the ratio, and how
// many cells of the outputs differ.
template <typename Ours, typename Theirs, typename Compare>
void AgainstGdal(benchmark::State& state, Ours ours, Theirs theirs, Compare compare) {
    static const GdalLibrary gdal;
    if (!gdal.Ready()) {
        state.SkipWithError("GDAL's library not found");
        return;
    }
    std::vector<double> project;
    std::vector<double> peer;
    bool gdalFirst = false;
    const auto timed = [](auto&& run, std::vector<double>& into) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = static_cast<bool>(run());
        into.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        return ok;
    };
    for (auto _ : state) {
        bool ok = true;
        if (gdalFirst) ok = timed([&] { return theirs(gdal); }, peer) && ok;
        ok = timed(ours, project) && ok;
        if (!gdalFirst) ok = timed([&] { return theirs(gdal); }, peer) && ok;
        gdalFirst = !gdalFirst;
        if (!ok) {
            state.SkipWithError("a conversion failed");
            return;
        }
    }
    state.counters["median_ms"] = bench::Percentile(project, 0.5);
    state.counters["gdal_median_ms"] = bench::Percentile(peer, 0.5);
    state.counters["ratio_median"] = bench::Percentile(project, 0.5) / bench::Percentile(peer, 0.5);
    state.counters["differing_cells"] = compare();
}

}  // namespace bench
