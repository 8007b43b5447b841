// mapdump FILE [--guard NM] [--write OUT.gpm]
//
// Reads a text or binary map as the map window's read thread does and
// prints its element lists. With --guard, zones get enlarged copies at that
// horizontal guard distance (nautical miles). With --write, the lists are
// written as a binary map, which is read back and printed too: both
// listings are the same when nothing was lost.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mapdata/binary_map.h"
#include "mapdata/map_dump.h"
#include "mapdata/text_map_reader.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace {

int Usage() {
    std::fputs("usage: mapdump FILE [--guard NM] [--write OUT.gpm]\n", stderr);
    return 2;
}

const char* ErrorText(mapdata::MapReadError error) {
    switch (error) {
        case mapdata::MapReadError::kNoMemory:
            return "out of memory";
        case mapdata::MapReadError::kVersionTooNew:
            return "the binary map is of a newer version";
        case mapdata::MapReadError::kDamaged:
            return "the binary map is damaged";
        case mapdata::MapReadError::kNone:
            break;
    }
    return "";
}

// Reads path into context; prints the reason and returns false on failure.
bool ReadMap(const std::string& path, mapdata::MapReadContext& context) {
    mapdata::CMapFile file;
    if (!file.Open(platform::FromUtf8(path), core::OpenMode::kRead, true)) {
        std::fprintf(stderr, "mapdump: cannot open %s\n", path.c_str());
        return false;
    }
    if (file.ReadHeader() != mapdata::HeaderResult::kRead) {
        std::fprintf(stderr, "mapdump: %s: the header is refused\n", path.c_str());
        return false;
    }
    std::printf("header %s%s\n", platform::ToUtf8(file.HeaderText()).c_str(),
                file.IsBinary() ? platform::FormatC(" (binary, version %d)", file.Version()).c_str()
                                : "");
    const bool done = mapdata::ParseTextMap(context, file);
    if (context.longLinesSkipped > 0) {
        std::fprintf(stderr, "mapdump: %s: %zu over-long lines skipped\n", path.c_str(),
                     context.longLinesSkipped);
    }
    if (!done) std::fprintf(stderr, "mapdump: %s: %s\n", path.c_str(), ErrorText(context.error));
    std::fputs(mapdata::DumpMapLists(context).c_str(), stdout);
    return done;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input;
    std::string output;
    float guard = 0.0F;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--guard" && i + 1 < argc) {
            const auto v = platform::ScanFloat(std::string_view(argv[++i]));
            if (!v) return Usage();
            guard = v->value;
        } else if (arg == "--write" && i + 1 < argc) {
            output = argv[++i];
        } else if (input.empty() && !arg.starts_with("--")) {
            input = arg;
        } else {
            return Usage();
        }
    }
    if (input.empty()) return Usage();

    mapdata::MapReadContext context;
    context.horGuardNm = guard;
    std::wstring header;
    {
        mapdata::CMapFile file;
        if (file.Open(platform::FromUtf8(input), core::OpenMode::kRead, true) &&
            file.ReadHeader() == mapdata::HeaderResult::kRead) {
            header = file.HeaderText();
        }
    }
    if (!ReadMap(input, context)) return 1;
    if (output.empty()) return 0;

    const mapdata::BinaryMapLists lists{context.general, context.zones, context.symbols17,
                                        context.symbols27};
    if (!mapdata::WriteBinaryMap(lists, header, output)) {
        std::fprintf(stderr, "mapdump: cannot write %s\n", output.c_str());
        return 1;
    }
    std::puts("-- read back");
    mapdata::MapReadContext back;
    return ReadMap(output, back) ? 0 : 1;
}
