// Reads arbitrary bytes as an E00 interchange file named "fuzz.e00": the
// arc section, the label section, the "FUZZ.AAT" and "FUZZ.PAT" tables
// with every record looked up, and the layer's bounds. Arcs hold at least
// one point, junction flags lie only on arc ends, every looked-up value has
// its item's kind, and joining the arcs loses no point but the shared ones.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/quorlin_fuzz_support.h"
#include "tools/quorlin/chart_layers.h"
#include "tools/quorlin/e00_file.h"
#include "tools/quorlin/info_table.h"
#include "tools/quorlin/quorlin_model.h"

using fuzz::Check;

namespace {

// A folder of this process's own, removed at exit.
struct InputFolder {
    InputFolder() : path(std::filesystem::temp_directory_path() / ("kv_e00_fuzz_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~InputFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::filesystem::path path;
};

const std::filesystem::path& InputPath() {
    static const InputFolder folder;
    static const std::filesystem::path path = folder.path / "fuzz.e00";
    return path;
}

void ReadTable(const char* suffix) {
    quorlin::CInfoTable table(InputPath(), suffix);
    if (!table.Open()) return;
    Check(table.ReadRecords());
    const auto& items = table.Items();
    for (const quorlin::CInfoItem& item : items) {
        // A name given twice is looked up as its first item.
        const auto& first = *std::find_if(items.begin(), items.end(),
                                          [&](const quorlin::CInfoItem& i) { return i.name == item.name; });
        for (int record = 0; record <= static_cast<int>(table.RecordCount()) + 1; ++record) {
            const quorlin::CInfoValue* value = table.Lookup(item.name, record);
            Check(!value || value->kind == first.kind);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    {
        std::ofstream out(InputPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    auto arcs = quorlin::ReadE00Arcs(InputPath());
    std::size_t points = 0;
    for (quorlin::CE00Polyline& arc : arcs) {
        Check(!arc.points.empty());
        for (std::size_t i = 1; i + 1 < arc.points.size(); ++i) Check((arc.points[i].flags & quorlin::kJunctionPoint) == 0);
        arc.UpdateBounds();
        arc.UpdateClosed();
        points += arc.points.size();
    }
    const std::size_t lines = arcs.size();
    fuzz::CountingUi ui;
    quorlin::JoinLines(arcs, true, ui);
    quorlin::JoinLines(arcs, false, ui);
    std::size_t joinedPoints = 0;
    for (const quorlin::CE00Polyline& line : arcs) joinedPoints += line.points.size();
    Check(joinedPoints == points - (lines - arcs.size()));
    (void)quorlin::ReadLayerBounds(InputPath());
    quorlin::E00File file(InputPath());
    int precision = 0;
    if (quorlin::ReadE00Start(file) == quorlin::E00Start::kReadable && quorlin::FindE00Section(file, "LAB ", precision)) {
        for (const quorlin::E00Label& label : quorlin::ReadE00Labels(file, precision)) Check(label.number != -1);
    }
    ReadTable("AAT");
    ReadTable("PAT");
    return 0;
}
