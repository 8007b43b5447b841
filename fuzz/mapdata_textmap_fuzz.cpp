// Reads arbitrary bytes as a text map (or, with the signature, a binary
// map): the read ends, every element it built is sound, and the elements
// written as a binary map read back as the same number per list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "mapdata/binary_map.h"
#include "mapdata/binary_map_records.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/text_map_reader.h"
#include "platform/utf.h"

namespace {

using fuzz::Check;

std::wstring FdPath(int fd) { return platform::FromUtf8("/proc/self/fd/" + std::to_string(fd)); }

std::size_t Total(const mapdata::MapReadContext& c) {
    return c.general.size() + c.zones.size() + c.symbols17.size() + c.symbols27.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::MemoryFile input(data, size);
    mapdata::CMapFile file;
    Check(file.Open(FdPath(input.fd()), core::OpenMode::kRead, true));
    if (file.ReadHeader() != mapdata::HeaderResult::kRead) return 0;
    mapdata::MapReadContext context;
    context.horGuardNm = 1.0F;
    context.mainFolder = "/nonexistent-map-folder";
    const bool done = mapdata::ParseTextMap(context, file);
    if (!done) Check(context.error != mapdata::MapReadError::kNone);
    for (const auto* list : {&context.general, &context.zones, &context.symbols17, &context.symbols27}) {
        for (const auto& e : *list) Check(e != nullptr);
    }
    if (file.IsBinary()) return 0;

    const std::string bytes = mapdata::BuildBinaryMap(
        {context.general, context.zones, context.symbols17, context.symbols27}, file.HeaderText());
    const fuzz::MemoryFile binary(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    mapdata::CMapFile back;
    Check(back.Open(FdPath(binary.fd()), core::OpenMode::kRead, true));
    if (back.ReadHeader() != mapdata::HeaderResult::kRead) return 0;  // a header cut at 510
    mapdata::MapReadContext again;
    Check(mapdata::ParseTextMap(again, back));
    Check(Total(again) == Total(context));
    Check(again.zones.size() == context.zones.size());
    return 0;
}
