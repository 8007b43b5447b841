#include "mapdata/binary_map_records.h"

#include <array>
#include <bit>
#include <cstring>
#include <new>

#include "core/text_codec.h"

namespace mapdata {
namespace {

constexpr std::string_view kSignatureText = "KOR_VAN WinCE binary map";

// Bits never stored: the alarm state and the drawing switch.
constexpr std::uint32_t kRunTimeFlags =
    element_flag::kAcknowledged | element_flag::kInside | element_flag::kNotDrawn;

std::uint32_t StoredZoneFlags(const CMapElement& e) {
    std::uint32_t flags = e.flags & ~kRunTimeFlags;
    const bool sourceWithCopy = e.zoneSerial != 0 && (e.flags & element_flag::kEnlargedCopy) == 0;
    if (!sourceWithCopy) flags &= ~element_flag::kNotTested;
    return flags;
}

// Bounds as stored: radians, longitude positive west, smallest longitude,
// smallest latitude, largest longitude, largest latitude. An element
// without bounds (a label, a symbol, an empty point list) stores zeros.
std::array<float, 4> StoredBounds(const core::GeoBox& bounds) {
    if (bounds == core::GeoBox{}) return {};
    const core::GeoPoint southEast{bounds.south, bounds.east};
    const core::GeoPoint northWest{bounds.north, bounds.west};
    return {static_cast<float>(core::LonWestRadians(southEast)),
            static_cast<float>(core::LatitudeRadians(southEast)),
            static_cast<float>(core::LonWestRadians(northWest)),
            static_cast<float>(core::LatitudeRadians(northWest))};
}

void WriteHead(BinaryWriter& out, const CMapElement& e, std::uint32_t flags, std::uint32_t mark) {
    out.Word(flags);
    for (const float edge : StoredBounds(e.bounds))
        out.Float(edge);
    out.Word(mark);
    out.Int(e.zoneSerial);
    out.Float(e.lowerAltitude);
    out.Float(e.upperAltitude);
    out.Float(e.limitB);
    out.Float(e.limitA);
    out.Float(e.scale1);
    out.Float(e.scale2);
}

bool ReadHead(BinaryReader& in, CMapElement& e, int version) {
    std::array<float, 4> stored{};
    if (!in.Word(e.flags) || !in.Float(stored[0]) || !in.Float(stored[1]) || !in.Float(stored[2]) ||
        !in.Float(stored[3])) {
        return false;
    }
    e.bounds = core::BoxFromRadiansWest(stored[0], stored[1], stored[2], stored[3]);
    if (version >= 6 && !in.Word(e.type27Mark)) return false;
    if (version >= 5 && !in.Int(e.zoneSerial)) return false;
    if (!in.Float(e.lowerAltitude) || !in.Float(e.upperAltitude)) return false;
    if (version >= 4 && (!in.Float(e.limitB) || !in.Float(e.limitA))) return false;
    return in.Float(e.scale1) && in.Float(e.scale2);
}

// An element string of a circle or point list: a one-byte count and bytes
// before version 7, a word count and UTF-16 units from it.
bool ReadElementString(BinaryReader& in, int version, std::wstring& out) {
    if (version >= 7) {
        std::uint32_t count = 0;
        return in.Word(count) && in.Characters(count, true, out);
    }
    unsigned char count = 0;
    return in.Byte(count) && in.Characters(count, false, out);
}

// A text element's text and comment: a word count in every version.
bool ReadWordCountedString(BinaryReader& in, int version, std::wstring& out) {
    std::uint32_t count = 0;
    return in.Word(count) && in.Characters(count, version >= 7, out);
}

template <typename T>
std::unique_ptr<T> MakeElement() {
    return std::unique_ptr<T>(new (std::nothrow) T());
}

}  // namespace

void BinaryWriter::Word(std::uint32_t value) {
    const char b[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                       static_cast<char>((value >> 16) & 0xFF),
                       static_cast<char>((value >> 24) & 0xFF)};
    bytes_.append(b, 4);
}

void BinaryWriter::Float(float value) { Word(std::bit_cast<std::uint32_t>(value)); }

void BinaryWriter::Double(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Word(static_cast<std::uint32_t>(bits));
    Word(static_cast<std::uint32_t>(bits >> 32));
}

void BinaryWriter::Bytes(std::span<const unsigned char> bytes) {
    bytes_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void BinaryWriter::Utf16String(std::wstring_view text) {
    std::u16string units;
    for (const wchar_t c : text) {
        const auto cp = static_cast<char32_t>(c);
        const std::size_t need = cp > 0xFFFF ? 2 : 1;
        if (units.size() + need > kBinaryStringLimit) break;  // never half a pair
        if (cp > 0xFFFF) {
            units += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(cp);
        }
    }
    Word(static_cast<std::uint32_t>(units.size()));
    for (const char16_t u : units) {
        const char b[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        bytes_.append(b, 2);
    }
}

bool BinaryReader::Word(std::uint32_t& out) {
    if (Left() < 4) return false;
    const unsigned char* p = bytes_.data() + pos_;
    out = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
          static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    pos_ += 4;
    return true;
}

bool BinaryReader::Int(std::int32_t& out) {
    std::uint32_t w = 0;
    if (!Word(w)) return false;
    out = static_cast<std::int32_t>(w);
    return true;
}

bool BinaryReader::Float(float& out) {
    std::uint32_t w = 0;
    if (!Word(w)) return false;
    out = std::bit_cast<float>(w);
    return true;
}

bool BinaryReader::Double(double& out) {
    if (Left() < 8) return false;
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    Word(low);
    Word(high);
    out = std::bit_cast<double>(static_cast<std::uint64_t>(high) << 32 | low);
    return true;
}

bool BinaryReader::Byte(unsigned char& out) {
    if (Left() < 1) return false;
    out = bytes_[pos_++];
    return true;
}

bool BinaryReader::Skip(std::size_t count) {
    if (Left() < count) return false;
    pos_ += count;
    return true;
}

bool BinaryReader::Characters(std::size_t count, bool wide, std::wstring& out) {
    const std::size_t unit = wide ? 2 : 1;
    if (count > Left() / unit) return false;
    const unsigned char* p = bytes_.data() + pos_;
    pos_ += count * unit;
    const std::size_t kept = std::min(count, kBinaryStringLimit);
    out.clear();
    out.reserve(kept);
    if (!wide) {
        for (std::size_t i = 0; i < kept; ++i) out += core::DecodeCp1252(p[i]);
        return true;
    }
    for (std::size_t i = 0; i < kept; ++i) {
        const auto u = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < kept) {
            const auto low = static_cast<char16_t>(p[2 * i + 2] | p[2 * i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        out += (u >= 0xD800 && u <= 0xDFFF) ? L'\xFFFD' : static_cast<wchar_t>(u);
    }
    return true;
}

void WriteTextRecord(BinaryWriter& out, const CMapTextElement& e, std::uint32_t mark) {
    WriteHead(out, e, e.flags & ~element_flag::kNotDrawn, mark);
    out.Float(e.scale3);
    out.Float(e.scale4);
    out.Double(e.longitude);
    out.Double(e.latitude);
    out.Int(e.kindCode);
    out.Float(e.elevation);
    out.Float(e.position.x);
    out.Float(e.position.y);
    out.Float(e.position.z);
    out.Word(e.elevationGiven ? 1 : 0);
    out.Word(e.noteGiven ? 1 : 0);
    out.Utf16String(e.text);
    out.Utf16String(e.attachments.comment);
}

void WriteCircleRecord(BinaryWriter& out, const CMapCircleElement& e, std::uint32_t mark) {
    WriteHead(out, e, StoredZoneFlags(e), mark);
    out.Float(e.earthRadiusKm);
    out.Float(e.radiusKm);
    out.Int(e.penNumber);
    out.Int(e.colourNumber);
    out.Float(e.startBearing);
    out.Float(e.endBearing);
    out.Float(e.centre.x);
    out.Float(e.centre.y);
    out.Float(e.centre.z);
    out.Word(e.counterClockwise ? 1 : 0);
    out.Int(e.fillStyle);
    out.Word(e.sector ? 1 : 0);
    out.Utf16String(e.name);
    out.Utf16String(e.note);
    out.Word(e.colour);
}

void WritePolyRecord(BinaryWriter& out, const CMapPolyElement& e, std::uint32_t mark) {
    WriteHead(out, e, StoredZoneFlags(e), mark);
    const auto count = static_cast<std::uint32_t>(e.PointCount());
    out.Int(e.fillStyle);
    out.Word(e.outline ? 1 : 0);
    out.Word(e.fillColour);
    out.Word(count);
    out.Int(e.type);
    out.Word(count);
    // An open outline carries a spare record behind its points; it holds no
    // point and is written as zeros.
    const bool spare = count > 0 && !e.IsClosed();
    out.Word(kPointRecordBytes * (spare ? count + 1 : count));
    for (const MapPoint& p : e.Points()) {
        out.Float(p.x);
        out.Float(p.y);
        out.Float(p.z);
        out.Int(p.pen);
        out.Word(p.kind);
    }
    if (spare) out.Zeros(kPointRecordBytes);
    out.Utf16String(e.name);
    out.Utf16String(e.note);
}

void WriteElementRecord(BinaryWriter& out, const CMapElement& element, std::uint32_t mark) {
    out.Word(static_cast<std::uint32_t>(element.Kind()));
    switch (element.Kind()) {
        case ElementKind::kText:
            WriteTextRecord(out, static_cast<const CMapTextElement&>(element), mark);
            break;
        case ElementKind::kCircle:
            WriteCircleRecord(out, static_cast<const CMapCircleElement&>(element), mark);
            break;
        case ElementKind::kPoly:
            WritePolyRecord(out, static_cast<const CMapPolyElement&>(element), mark);
            break;
    }
}

std::unique_ptr<CMapTextElement> ReadTextRecord(BinaryReader& in, int version) {
    auto e = MakeElement<CMapTextElement>();
    if (!e) return nullptr;
    std::uint32_t elevationGiven = 0;
    std::uint32_t noteGiven = 0;
    if (!ReadHead(in, *e, version)) return nullptr;
    if (version >= 8 && (!in.Float(e->scale3) || !in.Float(e->scale4))) return nullptr;
    if (!in.Double(e->longitude) || !in.Double(e->latitude) || !in.Int(e->kindCode) ||
        !in.Float(e->elevation) || !in.Float(e->position.x) || !in.Float(e->position.y) ||
        !in.Float(e->position.z) || !in.Word(elevationGiven) || !in.Word(noteGiven) ||
        !ReadWordCountedString(in, version, e->text) ||
        !ReadWordCountedString(in, version, e->attachments.comment)) {
        return nullptr;
    }
    e->elevationGiven = elevationGiven != 0;
    e->noteGiven = noteGiven != 0;
    return e;
}

std::unique_ptr<CMapCircleElement> ReadCircleRecord(BinaryReader& in, int version) {
    auto e = MakeElement<CMapCircleElement>();
    if (!e) return nullptr;
    std::uint32_t direction = 0;
    std::uint32_t sector = 0;
    if (!ReadHead(in, *e, version) || !in.Float(e->earthRadiusKm) || !in.Float(e->radiusKm) ||
        !in.Int(e->penNumber) || !in.Int(e->colourNumber) || !in.Float(e->startBearing) ||
        !in.Float(e->endBearing) || !in.Float(e->centre.x) || !in.Float(e->centre.y) ||
        !in.Float(e->centre.z) || !in.Word(direction) || !in.Int(e->fillStyle) ||
        !in.Word(sector)) {
        return nullptr;
    }
    e->counterClockwise = direction != 0;
    e->sector = sector != 0;
    if (version >= 2 && !ReadElementString(in, version, e->name)) return nullptr;
    if (version >= 5 && !ReadElementString(in, version, e->note)) return nullptr;
    if (version >= 3 && !in.Word(e->colour)) return nullptr;
    return e;
}

std::unique_ptr<CMapPolyElement> ReadPolyRecord(BinaryReader& in, int version) {
    auto e = MakeElement<CMapPolyElement>();
    if (!e) return nullptr;
    std::uint32_t outline = 0;
    std::uint32_t firstCount = 0;
    std::uint32_t count = 0;
    if (!ReadHead(in, *e, version) || !in.Int(e->fillStyle) || !in.Word(outline) ||
        !in.Word(e->fillColour) || !in.Word(firstCount) || !in.Int(e->type) || !in.Word(count)) {
        return nullptr;
    }
    e->outline = outline != 0;
    // The points' bytes: 20 x count, or one spare record more.
    std::uint64_t length = std::uint64_t{kPointRecordBytes} * count;
    if (version >= 5) {
        std::uint32_t stored = 0;
        if (!in.Word(stored)) return nullptr;
        if (stored != length && stored != length + kPointRecordBytes) return nullptr;
        length = stored;
    }
    if (length > in.Left()) return nullptr;
    for (std::uint32_t i = 0; i < count; ++i) {
        MapPoint p;
        if (!in.Float(p.x) || !in.Float(p.y) || !in.Float(p.z) || !in.Int(p.pen) ||
            !in.Word(p.kind)) {
            return nullptr;
        }
        if (!e->AppendPointRecord(p)) return nullptr;
    }
    in.Skip(static_cast<std::size_t>(length - std::uint64_t{kPointRecordBytes} * count));
    if (version >= 2 && !ReadElementString(in, version, e->name)) return nullptr;
    if (version >= 5 && !ReadElementString(in, version, e->note)) return nullptr;
    return e;
}

std::string BinarySignatureLine(int version) {
    std::string line;
    line += ';';
    line += static_cast<char>(0xFB);
    line += static_cast<char>(0xFB + version / 5);
    line += static_cast<char>(0xFB + version % 5);
    line += kSignatureText;
    line += "\r\n";
    return line;
}

}  // namespace mapdata
