#pragma once
// Helpers shared by the waypoint tests: the fixture folder, scratch copies of
// fixtures, a record dump, a small elevation model and a map hook.

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "nav/waypoint_map_elements.h"
#include "core/waypoint_record.h"
#include "platform/numbers.h"
#include "platform/utf.h"
#include "testing/scratch_folder.h"

namespace nav::testing {

inline std::filesystem::path DataFolder() {
    return std::filesystem::path(KV_SOURCE_DIR) / "nav" / "tests" / "data";
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::wstring Wide(const std::filesystem::path& path) {
    return platform::FromUtf8(path.string());
}

// A folder of its own under the temporary folder, removed with the object,
// that also takes copies of the fixtures.
class ScratchFolder : public test_support::ScratchFolder {
  public:
    ScratchFolder() : test_support::ScratchFolder("kv_nav_test") {}

    // A copy of a fixture in this folder.
    std::filesystem::path Copy(const std::string& fixture) const {
        const auto target = Path() / fixture;
        std::filesystem::copy_file(DataFolder() / fixture, target,
                                   std::filesystem::copy_options::overwrite_existing);
        return target;
    }
};

inline double Degrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

inline std::string Escape(const std::wstring& text) {
    std::string out;
    for (const char c : platform::ToUtf8(text)) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// One line per record, as the fixtures' ".expected" files hold them.
inline std::string Dump(const WaypointRecord& record, std::uint64_t lineStart,
                        const MapExtension& extension) {
    std::string line = platform::FormatC("@%llu ", static_cast<unsigned long long>(lineStart));
    line += platform::ToUtf8(record.name.View());
    line += platform::FormatC(" lat=%.6f lon=%.6f", Degrees(record.latitude),
                              Degrees(record.longitude));
    line += record.altitudeKnown ? platform::FormatC(" alt=%.1f", double{record.altitude})
                                 : std::string(" alt=none");
    line += platform::FormatC(" flags=%u kind=%u", record.flags, unsigned{record.kind});
    if (extension != MapExtension{}) {
        line += platform::FormatC(" ext=%g,%g,%g,%g,%g,%g", double{extension[0]},
                                  double{extension[1]}, double{extension[2]}, double{extension[3]},
                                  double{extension[4]}, double{extension[5]});
    }
    const WaypointAttachments& a = record.attachments;
    if (!a.comment.empty()) line += " comment=\"" + Escape(a.comment) + "\"";
    if (a.commentLineOffset != 0) {
        line += platform::FormatC(" commentLine=%llu",
                                  static_cast<unsigned long long>(a.commentLineOffset));
    }
    if (!a.image.empty()) line += " image=" + platform::ToUtf8(a.image);
    if (!a.sound.empty()) line += " sound=" + platform::ToUtf8(a.sound);
    return line;
}

// Terrain of 1000 ft between 40 and 50 degrees north and 0 and 20 degrees
// east; unknown elsewhere.
class BoxElevationModel final : public core::ElevationModel {
  public:
    std::optional<float> GetElevationAt(double lonWest, double latitude) const override {
        const double lat = Degrees(latitude);
        const double east = -Degrees(lonWest);
        if (lat < 40.0 || lat > 50.0 || east < 0.0 || east > 20.0) return std::nullopt;
        return 1000.0F;
    }
    double SampleStepKm() const override { return 1.0; }
};

// Installs the box model for a scope.
class ScopedElevationModel {
  public:
    ScopedElevationModel() { core::SetElevationModel(std::make_shared<BoxElevationModel>()); }
    ~ScopedElevationModel() { core::SetElevationModel(nullptr); }
    ScopedElevationModel(const ScopedElevationModel&) = delete;
    ScopedElevationModel& operator=(const ScopedElevationModel&) = delete;
};

// A map element that remembers what it was made from.
struct TestMapElement final : WaypointMapElement {
    TestMapElement(std::wstring nameIn, const MapExtension& extensionIn)
        : name(std::move(nameIn)), extension(extensionIn) {}
    std::wstring name;
    MapExtension extension;
};

// Makes elements (or fails to, from a given name on) and counts how often the
// published elements were replaced.
class TestMapHook final : public WaypointMapHook {
  public:
    std::unique_ptr<WaypointMapElement> MakeElement(const WaypointRecord& record,
                                                    const MapExtension& extension) override {
        if (!failAt.empty() && record.name.View() == failAt) return nullptr;
        return std::make_unique<TestMapElement>(std::wstring(record.name.View()), extension);
    }
    void ElementsReplaced() override { ++replaced; }

    std::wstring failAt;
    std::atomic<int> replaced{0};
};

// Installs a map hook for a scope.
class ScopedMapHook {
  public:
    ScopedMapHook() : hook_(std::make_shared<TestMapHook>()) { SetWaypointMapHook(hook_); }
    ~ScopedMapHook() { SetWaypointMapHook(nullptr); }
    ScopedMapHook(const ScopedMapHook&) = delete;
    ScopedMapHook& operator=(const ScopedMapHook&) = delete;
    TestMapHook* operator->() const { return hook_.get(); }

  private:
    std::shared_ptr<TestMapHook> hook_;
};

// Sets the sound folder to the fixtures' attachment folder for a scope.
class ScopedSoundFolder {
  public:
    ScopedSoundFolder() { core::g_soundFolder.Set(Wide(DataFolder() / "attachments") + L"/"); }
    ~ScopedSoundFolder() { core::g_soundFolder.Set(L""); }
    ScopedSoundFolder(const ScopedSoundFolder&) = delete;
    ScopedSoundFolder& operator=(const ScopedSoundFolder&) = delete;
};

}  // namespace nav::testing
