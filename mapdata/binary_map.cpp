#include "mapdata/binary_map.h"

#include <new>
#include <vector>

#include "mapdata/binary_map_records.h"
#include "platform/whole_file.h"

namespace mapdata {
namespace {

// One byte per UTF-16 unit of the header: its low byte.
std::string HeaderBytes(std::wstring_view header) {
    std::string out;
    for (const wchar_t c : header.substr(0, kHeaderTextLimit)) {
        const auto cp = static_cast<char32_t>(c);
        if (cp > 0xFFFF) {
            out += static_cast<char>((0xD800 + ((cp - 0x10000) >> 10)) & 0xFF);
            out += static_cast<char>((0xDC00 + ((cp - 0x10000) & 0x3FF)) & 0xFF);
        } else {
            out += static_cast<char>(cp & 0xFF);
        }
    }
    return out + "\r\n";
}

TargetList RouteOf(const CMapElement& e) {
    const bool zoneKind = e.Kind() == ElementKind::kCircle || e.Kind() == ElementKind::kPoly;
    if (zoneKind && e.flags != 0) return TargetList::kZones;
    if (e.type27Mark != 0) return TargetList::kSymbols27;
    if (e.Kind() == ElementKind::kPoly && static_cast<const CMapPolyElement&>(e).type == 17) {
        return TargetList::kSymbols17;
    }
    return TargetList::kGeneral;
}

std::unique_ptr<CMapElement> ReadRecord(BinaryReader& in, std::uint32_t kind, int version) {
    switch (kind) {
        case static_cast<std::uint32_t>(ElementKind::kText):
            return ReadTextRecord(in, version);
        case static_cast<std::uint32_t>(ElementKind::kCircle):
            return ReadCircleRecord(in, version);
        case static_cast<std::uint32_t>(ElementKind::kPoly):
            return ReadPolyRecord(in, version);
        default:
            return nullptr;
    }
}

bool IsElementKind(std::uint32_t kind) { return kind == 1 || kind == 2 || kind == 4; }

}  // namespace

std::string BuildBinaryMap(const BinaryMapLists& lists, std::wstring_view headerText) {
    BinaryWriter out;
    const std::string signature = BinarySignatureLine(kBinaryMapVersion);
    const std::string header = HeaderBytes(headerText);
    out.Bytes({reinterpret_cast<const unsigned char*>(signature.data()), signature.size()});
    out.Bytes({reinterpret_cast<const unsigned char*>(header.data()), header.size()});
    for (const ElementList* list : {&lists.general, &lists.zones, &lists.symbols17}) {
        for (const auto& element : *list) WriteElementRecord(out, *element, 0);
    }
    for (const auto& element : lists.symbols27) WriteElementRecord(out, *element, 1);
    out.Word(kBinaryEndMarker);
    return out.Data();
}

bool WriteBinaryMap(const BinaryMapLists& lists, std::wstring_view headerText,
                    const std::filesystem::path& path) {
    return !platform::ReplaceWholeFile(path, BuildBinaryMap(lists, headerText));
}

bool ReadBinaryMap(MapReadContext& context, CMapFile& mapFile) {
    mapFile.recordsEnd = 0;
    const int version = mapFile.Version();
    if (version > kBinaryMapVersion) {
        context.error = MapReadError::kVersionTooNew;
        return false;
    }
    const auto length = mapFile.GetLength();
    if (!length || *length < mapFile.dataStart) return true;
    std::vector<unsigned char> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(*length - mapFile.dataStart));
    } catch (const std::bad_alloc&) {
        context.error = MapReadError::kNoMemory;
        return false;
    }
    if (!mapFile.SetPosition(mapFile.dataStart)) return true;
    bytes.resize(mapFile.ReadBytes(bytes.data(), bytes.size()));

    BinaryReader in(bytes);
    CMapElement* previous = nullptr;
    std::int32_t previousSerial = 0;
    while (!context.StopRequested()) {
        std::uint32_t kind = 0;
        if (!in.Word(kind)) {
            mapFile.recordsEnd = mapFile.dataStart + in.Offset();
            return true;
        }
        if (kind == kBinaryEndMarker) {
            mapFile.recordsEnd = mapFile.dataStart + in.Offset() - 4;
            return true;
        }
        if (!IsElementKind(kind)) continue;  // records carry no length: read on word by word
        std::unique_ptr<CMapElement> element = ReadRecord(in, kind, version);
        if (!element) {
            context.error = MapReadError::kDamaged;
            return false;
        }
        // A source zone and its enlarged copy follow each other with the
        // same serial; they are numbered afresh for this load.
        const std::int32_t serial = element->zoneSerial;
        bool paired = false;
        if (previousSerial != 0 && serial == previousSerial && previous != nullptr) {
            previous->zoneSerial = context.zoneCounter;
            element->zoneSerial = context.zoneCounter;
            paired = true;
        } else if (previousSerial != 0) {
            ++context.zoneCounter;
        }
        previousSerial = serial;
        previous = paired ? nullptr : element.get();
        const TargetList target = RouteOf(*element);
        try {
            context.Add(target, std::move(element));
        } catch (const std::bad_alloc&) {
            context.error = MapReadError::kNoMemory;
            return false;
        }
        // Never splice away an element whose partner may still follow.
        if (previous == nullptr || previousSerial == 0) context.AfterElements();
    }
    return true;
}

}  // namespace mapdata
