// Reads arbitrary bytes as a shapefile (.shp, .shx and .dbf), steps through
// every shape adding it, and writes the map text: nothing may crash, every
// added shape was counted once, and the map ends with a whole line.
// The input is two 32-bit little-endian lengths, of the .shp and of the
// .shx part, then those parts and the .dbf as the rest; the files are
// written to a folder of this process's own.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "fuzz/fuzz_support.h"
#include "tools/brisvel/map_writer.h"
#include "tools/brisvel/shape_document.h"

namespace {

using fuzz::Check;

class QuietPrompts final : public brisvel::DocumentPrompts {
  public:
    void Tell(std::string_view, std::string_view) override {}
    // Damaged files are opened all the same, so their shapes are read too.
    bool Ask(std::string_view, std::string_view caption) override { return caption == "Damaged shapefile"; }
    std::optional<std::filesystem::path> AskMapName() override { return std::nullopt; }
    bool AskBounds(core::GeoBox&) override { return false; }
};

std::uint32_t Length(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The folder, removed with its files when the process ends.
class Scratch {
  public:
    Scratch() : path_(std::filesystem::temp_directory_path() / ("kv-brisvel-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

const std::filesystem::path& Folder() {
    static const Scratch scratch;
    return scratch.Path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 8, size - 8);
    const std::size_t shpLength = std::min<std::size_t>(Length(data), rest.size());
    const std::string_view shp = rest.substr(0, shpLength);
    rest.remove_prefix(shpLength);
    const std::size_t shxLength = std::min<std::size_t>(Length(data + 4), rest.size());
    const std::string_view shx = rest.substr(0, shxLength);
    rest.remove_prefix(shxLength);
    const std::filesystem::path base = Folder() / "input";
    WriteFile(base.string() + ".shp", shp);
    WriteFile(base.string() + ".shx", shx);
    WriteFile(base.string() + ".dbf", rest);

    QuietPrompts prompts;
    brisvel::FrameBounds frame;
    brisvel::CShapeDocument document(frame, prompts);
    if (!document.OpenShapefile(base.string() + ".shp")) return 0;
    for (int field = 0; field < static_cast<int>(document.FieldNames().size()) && field < 4; ++field) {
        document.SetField(field);
        for (int shape = 0; shape < document.ShapeCount() && shape < 64; ++shape) document.FieldText(shape);
    }
    document.SetField(0);
    brisvel::ObjectStyle style;
    style.colourIndex = 3;
    style.symbol = 7;
    int added = 0;
    document.BuildMapObjects(style);
    while (document.CurrentObject()) added += document.AddCurrent(style) ? 1 : 0;
    Check(static_cast<std::size_t>(added) == document.Added().size());
    Check(added <= document.ShapeCount());
    Check(document.Groups().size() <= brisvel::kMaxGroupNames);
    const std::string map = brisvel::BuildMapText(document.Added(), document.Groups(), document.WriteBounds(), true);
    Check(map.size() >= 2 && map.ends_with("\r\n"));
    document.CloseShapefile();
    return 0;
}
