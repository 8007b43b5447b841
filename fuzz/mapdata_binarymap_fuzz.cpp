// Reads arbitrary bytes as the records of a binary map of the version the
// first byte names (0 to 9): the read ends without reading or allocating
// beyond the bytes, a failure says why, and point lists hold no more points
// than the bytes could carry.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "mapdata/binary_map.h"
#include "mapdata/binary_map_records.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/text_map_reader.h"
#include "platform/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int version = data[0] % 10;
    std::string bytes = mapdata::BinarySignatureLine(version) +
                        "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1\r\n";
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);
    const fuzz::MemoryFile input(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    mapdata::CMapFile file;
    fuzz::Check(file.Open(platform::FromUtf8("/proc/self/fd/" + std::to_string(input.fd())),
                          core::OpenMode::kRead, true));
    fuzz::Check(file.ReadHeader() == mapdata::HeaderResult::kRead && file.IsBinary() &&
                file.Version() == version);
    mapdata::MapReadContext context;
    const bool done = mapdata::ParseTextMap(context, file);
    fuzz::Check(done || context.error != mapdata::MapReadError::kNone);
    fuzz::Check(version <= 8 || context.error == mapdata::MapReadError::kVersionTooNew);
    std::size_t points = 0;
    for (const auto* list : {&context.general, &context.zones, &context.symbols17, &context.symbols27}) {
        for (const auto& e : *list) {
            if (e->Kind() != mapdata::ElementKind::kPoly) continue;
            points += static_cast<const mapdata::CMapPolyElement&>(*e).PointCount();
        }
    }
    fuzz::Check(points * mapdata::kPointRecordBytes <= size);
    if (done && file.recordsEnd != 0) fuzz::Check(file.recordsEnd <= bytes.size());
    return 0;
}
