// Reads arbitrary bytes as a waypoint file: every record must come with
// exact, growing positions and sane values; every record at a real position
// with a plain name is appended to a second file and must read back the same.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/settings_values.h"
#include "fuzz/fuzz_support.h"
#include "nav/waypoint_file.h"
#include "nav/waypoint_line_parser.h"
#include "platform/numbers.h"

namespace {

using nav::CWaypointFile;
using nav::MapExtension;
using nav::WaypointRecord;

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

using fuzz::Check;
using fuzz::MemoryFile;

void CheckRecord(const WaypointRecord& record) {
    Check(std::isfinite(record.latitude) && std::isfinite(record.longitude));
    Check(std::fabs(record.x * record.x + record.y * record.y + record.z * record.z - 1.0) < 1e-9);
    Check(record.name.size() <= nav::kFileNameLength);
    Check(!record.altitudeKnown || std::isfinite(record.altitude));
    Check(record.kind == nav::kKindWaypoint || record.kind == nav::kKindAlternate);
}

// A name that a decimal line gives back as written: no leading blank or
// prefix character, nothing that ends or splits a line.
bool PlainName(std::wstring_view name) {
    if (name.empty()) return true;
    const wchar_t first = name.front();
    for (const wchar_t c : {L' ', L'\t', L';', L'\\', L'^'}) {
        if (nav::MatchesAscii(first, c)) return false;
    }
    for (const wchar_t c : name) {
        if (c == L'\t' || c == L',' || c == 0xFF0C || c == L'\r' || c == L'\n') return false;
    }
    return true;
}

bool RealPosition(const WaypointRecord& record) {
    return std::fabs(record.latitude * kDegreesPerRadian) <= 90.0 &&
           std::fabs(record.longitude * kDegreesPerRadian) <= 180.0;
}

void RoundTrip(WaypointRecord record) {
    record.attachments.Clear();  // attachment files are looked up on disk
    MemoryFile memory(nullptr, 0);
    CWaypointFile file;
    Check(file.AttachWaypoints(memory.fd()));
    const auto offset = file.AppendWaypoint(record);
    Check(offset.has_value());
    std::uint64_t position = *offset;
    std::uint64_t lineStart = 0;
    WaypointRecord read;
    Check(file.ReadWaypoint(position, read, lineStart) == CWaypointFile::kRead);
    Check(lineStart == *offset);
    Check(read.name == record.name);
    Check(std::fabs(read.latitude - record.latitude) < 1e-8);
    Check(std::fabs(read.longitude - record.longitude) < 1e-8);
    // An altitude written as "-1" reads as none.
    const bool minusOne = std::nearbyint(double{record.altitude}) == -1.0;
    Check(read.altitudeKnown == (record.altitudeKnown && !minusOne));
    if (read.altitudeKnown) {
        Check(std::fabs(double{read.altitude} - double{record.altitude}) <=
              0.5 + 1e-6 * std::fabs(double{record.altitude}));
    }
    file.Detach();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    core::g_soundFolder.Set(L"/nonexistent-kv-sounds/");
    MemoryFile memory(data, size);
    CWaypointFile file;
    Check(file.AttachWaypoints(memory.fd()));

    std::uint64_t position = file.DataStart();
    std::uint64_t lineStart = 0;
    WaypointRecord record;
    MapExtension extension{};
    std::size_t records = 0;
    while (file.ReadWaypoint(position, record, lineStart, &extension) == CWaypointFile::kRead) {
        Check(lineStart >= file.DataStart() && lineStart < position && position <= size);
        Check(++records <= size);
        CheckRecord(record);
        if (RealPosition(record) && PlainName(record.name.View())) RoundTrip(record);
    }
    file.Detach();
    return 0;
}
