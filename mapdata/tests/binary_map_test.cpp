// Binary maps: files of versions 4, 6, 7 and 8 built byte by byte by a
// small writer of the test's own, the writer's version-8 output against
// such a file, round trips, and damaged input.
#include "mapdata/binary_map.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>

#include "mapdata/binary_map_records.h"
#include "mapdata/map_dump.h"
#include "mapdata/text_map_reader.h"
#include "platform/utf.h"
#include "testing/scratch_folder.h"

namespace mapdata {
namespace {

constexpr const char* kHeader = "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1";
// The bounds every record of the test's writer stores (radians, longitude
// positive west: smallest and largest longitude and latitude).
constexpr core::GeoBox kStoredBounds = core::BoxFromRadiansWest(0.1F, 0.2F, 0.3F, 0.4F);

// Little-endian bytes, written field by field as the format's tables list
// them.
struct Bytes {
    std::string b;
    Bytes& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    Bytes& F32(float v) { return U32(std::bit_cast<std::uint32_t>(v)); }
    Bytes& F64(double v) {
        const auto u = std::bit_cast<std::uint64_t>(v);
        U32(static_cast<std::uint32_t>(u));
        return U32(static_cast<std::uint32_t>(u >> 32));
    }
    Bytes& Raw(std::string_view s) {
        b += s;
        return *this;
    }
    // A string in the form of the version: UTF-16 with a word count from 7,
    // else bytes with a one-byte (or, for texts, a word) count.
    Bytes& Str(std::string_view latin1, int version, bool wordCount) {
        if (version >= 7 || wordCount) {
            U32(static_cast<std::uint32_t>(latin1.size()));
        } else {
            b += static_cast<char>(latin1.size());
        }
        for (const char c : latin1) {
            b += c;
            if (version >= 7) b += '\0';
        }
        return *this;
    }
    // The common head of every record.
    Bytes& Head(int v, std::uint32_t flags, std::uint32_t mark, std::int32_t serial, float lower,
                float upper, float s1, float s2) {
        U32(flags).F32(0.1F).F32(0.2F).F32(0.3F).F32(0.4F);
        if (v >= 6) U32(mark);
        if (v >= 5) I32(serial);
        F32(lower).F32(upper);
        if (v >= 4) F32(-1.0F).F32(500.0F);
        return F32(s1).F32(s2);
    }
};

std::string FileOf(int version, const std::string& records, bool endMarker = true) {
    std::string out = BinarySignatureLine(version) + kHeader + "\r\n" + records;
    if (endMarker) out += std::string(4, '\xFF');
    return out;
}

Bytes TextRecord(int v, std::int32_t code, std::string_view text, std::string_view comment,
                 std::uint32_t mark = 0) {
    Bytes r;
    r.U32(1).Head(v, 0, mark, 0, 0.0F, 0.0F, 1.0F, 2.0F);
    if (v >= 8) r.F32(3.0F).F32(4.0F);
    r.F64(-0.08).F64(0.9).I32(code).F32(1234.0F).F32(0.6F).F32(0.0F).F32(0.8F).U32(1).U32(1);
    r.Str(text, v, true);
    r.Str(comment, v, true);
    return r;
}

Bytes CircleRecord(int v, std::uint32_t flags, std::int32_t serial, float radius,
                   std::string_view name) {
    Bytes r;
    r.U32(2).Head(v, flags, 0, serial, 1000.0F, 3000.0F, 0.0F, 0.0F);
    r.F32(6371.0F).F32(radius).I32(2).I32(27).F32(0.5F).F32(1.5F);
    r.F32(0.6F).F32(0.0F).F32(0.8F).U32(1).I32(1).U32(0);
    if (v >= 2) r.Str(name, v, false);
    if (v >= 5) r.Str("note", v, false);
    if (v >= 3) r.U32(0x0000FF);
    return r;
}

// Two points; open lists carry a spare record (zeros) from version 5.
Bytes PolyRecord(int v, std::int32_t type, std::uint32_t mark, bool spare) {
    Bytes r;
    r.U32(4).Head(v, 0, mark, 0, 0.0F, 0.0F, 0.0F, 0.0F);
    r.I32(1).U32(1).U32(0xFF0000).U32(2).I32(type).U32(2);
    if (v >= 5) r.U32(spare ? 60 : 40);
    r.F32(0.6F).F32(0.0F).F32(0.8F).I32(3).U32(0);
    r.F32(0.8F).F32(0.0F).F32(0.6F).I32(3).U32(1);
    if (v >= 5 && spare) r.Raw(std::string(20, '\0'));
    if (v >= 2) r.Str("line", v, false);
    if (v >= 5) r.Str("", v, false);
    return r;
}

struct ReadResult {
    bool done = false;
    std::unique_ptr<CMapFile> file;
    MapReadContext context;
};

std::unique_ptr<ReadResult> ReadBytes(const test_support::ScratchFolder& folder,
                                      const std::string& bytes) {
    auto r = std::make_unique<ReadResult>();
    r->file = std::make_unique<CMapFile>();
    const auto path = folder.Write("b.gpm", bytes);
    EXPECT_TRUE(r->file->Open(platform::FromUtf8(path.string()), core::OpenMode::kRead));
    EXPECT_EQ(r->file->ReadHeader(), HeaderResult::kRead);
    r->done = ParseTextMap(r->context, *r->file);
    return r;
}

TEST(BinaryMapTest, OlderVersionsReadWithTheirOwnFields) {
    test_support::ScratchFolder folder("binmap");
    for (const int v : {4, 6, 7, 8}) {
        SCOPED_TRACE(v);
        // A zone pair (serial 9 from version 5), a marked symbol (from 6), a
        // type-17 point list, and a name with a Windows-1252 letter.
        const std::string records = TextRecord(v, 5, "Tower", "Note", 1).b +
                                    CircleRecord(v, 0x03, 9, 5.0F, "CTR \xE9").b +
                                    CircleRecord(v, 0x05, 9, 8.7F, "CTR \xE9").b +
                                    PolyRecord(v, 17, 0, true).b;
        const std::string bytes = FileOf(v, records);
        auto r = ReadBytes(folder, bytes);
        ASSERT_TRUE(r->done);
        ASSERT_EQ(r->file->Version(), v);
        const MapReadContext& c = r->context;
        ASSERT_EQ(c.zones.size(), 2U);
        ASSERT_EQ(c.symbols17.size(), 1U);
        const auto& zone = static_cast<const CMapCircleElement&>(*c.zones[0]);
        const auto& copy = static_cast<const CMapCircleElement&>(*c.zones[1]);
        EXPECT_FLOAT_EQ(zone.radiusKm, 5.0F);
        EXPECT_FLOAT_EQ(copy.radiusKm, 8.7F);
        EXPECT_FLOAT_EQ(zone.upperAltitude, 3000.0F);
        EXPECT_FLOAT_EQ(zone.limitA, v >= 4 ? 500.0F : -1.0F);
        EXPECT_EQ(zone.colourNumber, 27);
        EXPECT_EQ(zone.colour, 0x0000FFU);
        EXPECT_TRUE(zone.counterClockwise);
        // Byte strings decode as Windows-1252; UTF-16 units were written as
        // their low bytes above, which is Latin-1 too.
        EXPECT_EQ(zone.name, L"CTR \u00E9");
        EXPECT_EQ(zone.note, v >= 5 ? L"note" : L"");
        // The pair is numbered afresh only where serials were stored.
        EXPECT_EQ(zone.zoneSerial, v >= 5 ? 1 : 0);
        EXPECT_NEAR(zone.bounds.east, -0.1 * 180.0 / 3.14159265358979, 1e-5);  // west-positive 0.1
        EXPECT_NEAR(zone.bounds.north, 0.4 * 180.0 / 3.14159265358979, 1e-5);
        EXPECT_EQ(copy.zoneSerial, zone.zoneSerial);
        // The marked symbol lands in the type-27 list from version 6.
        ASSERT_EQ(v >= 6 ? c.symbols27.size() : c.general.size(), 1U);
        const auto& text = static_cast<const CMapTextElement&>(
            v >= 6 ? *c.symbols27[0] : *c.general[0]);
        EXPECT_EQ(text.text, L"Tower");
        EXPECT_EQ(text.attachments.comment, L"Note");
        EXPECT_EQ(text.kindCode, 5);
        EXPECT_DOUBLE_EQ(text.latitude, 0.9);
        EXPECT_FLOAT_EQ(text.scale3, v >= 8 ? 3.0F : 0.0F);
        EXPECT_TRUE(text.elevationGiven);
        // Point lists keep their points against the circles' records.
        const auto& poly = static_cast<const CMapPolyElement&>(*c.symbols17[0]);
        ASSERT_EQ(poly.PointCount(), 2U);
        EXPECT_EQ(poly.Points()[1].kind, 1U);
        EXPECT_EQ(poly.Points()[0].pen, 3);
        EXPECT_EQ(poly.name, L"line");
        EXPECT_EQ(r->file->recordsEnd.load() + 4, bytes.size());
    }
}

TEST(BinaryMapTest, TheWriterProducesVersionEightByTheTables) {
    ElementList general;
    ElementList zones;
    ElementList s17;
    ElementList s27;
    auto text = std::make_unique<CMapTextElement>();
    text->scale1 = 1.0F;
    text->scale2 = 2.0F;
    text->scale3 = 3.0F;
    text->scale4 = 4.0F;
    text->bounds = kStoredBounds;
    text->limitA = 500.0F;
    text->longitude = -0.08;
    text->latitude = 0.9;
    text->kindCode = 5;
    text->elevation = 1234.0F;
    text->position = {0.6F, 0.0F, 0.8F};
    text->elevationGiven = true;
    text->noteGiven = true;
    text->text = L"Tower";
    text->attachments.comment = L"Note";
    text->flags = element_flag::kNotDrawn;  // never stored
    auto zone = std::make_unique<CMapCircleElement>();
    zone->flags = 0x03 | element_flag::kAcknowledged | element_flag::kInside;
    zone->zoneSerial = 9;
    zone->bounds = kStoredBounds;
    zone->lowerAltitude = 1000.0F;
    zone->upperAltitude = 3000.0F;
    zone->limitA = 500.0F;
    zone->radiusKm = 5.0F;
    zone->penNumber = 2;
    zone->colourNumber = 27;
    zone->startBearing = 0.5F;
    zone->endBearing = 1.5F;
    zone->centre = {0.6F, 0.0F, 0.8F};
    zone->fillStyle = 1;
    zone->name = L"CTR \u00E9";
    zone->note = L"note";
    zone->colour = 0x0000FF;
    auto copy = std::make_unique<CMapCircleElement>(*zone);
    copy->flags = 0x05 | element_flag::kNotTested;  // a copy keeps no "not tested" bit
    copy->radiusKm = 8.7F;
    auto poly = std::make_unique<CMapPolyElement>();
    poly->fillStyle = 1;
    poly->fillColour = 0xFF0000;
    poly->type = 17;
    poly->bounds = kStoredBounds;
    poly->limitA = 500.0F;
    poly->name = L"line";
    poly->AppendPointRecord({0.6F, 0.0F, 0.8F, 3, 0});
    poly->AppendPointRecord({0.8F, 0.0F, 0.6F, 3, 1});
    auto marked = std::make_unique<CMapTextElement>(*text);
    marked->flags = 0;
    s27.push_back(std::move(marked));
    general.push_back(std::move(text));
    zones.push_back(std::move(zone));
    zones.push_back(std::move(copy));
    s17.push_back(std::move(poly));

    const std::string expected =
        FileOf(8, TextRecord(8, 5, "Tower", "Note").b +
                      CircleRecord(8, 0x03, 9, 5.0F, "CTR \xE9").b +
                      CircleRecord(8, 0x05, 9, 8.7F, "CTR \xE9").b + PolyRecord(8, 17, 0, true).b +
                      TextRecord(8, 5, "Tower", "Note", 1).b);
    EXPECT_EQ(BuildBinaryMap({general, zones, s17, s27}, platform::FromUtf8(kHeader)), expected);
}

TEST(BinaryMapTest, ATextMapWrittenAndReadBackListsTheSame) {
    test_support::ScratchFolder folder("binmap");
    const auto path = folder.Write(
        "t.map", std::string(kHeader) +
                     "\r\n*1,2,3,4\r\n"
                     "51,36,0,-4,37,0,-7,;3500,0MH0,-1\r\n"
                     "51,36,0,-4,37,0,-5,Zone A #!\r\n"
                     "51,30,0,-4,30,0,-2,18,255,0,0,3\r\n51,31,0,-4,31,0,-1\r\n"
                     "51,32,0,-4,30,0,-1\r\n"
                     "51,30,0,-4,30,0,-2,17\r\n51,31,0,-4,31,0,-1\r\n"
                     "51,37,0,-4,37,0,-7,;25,10\r\n"
                     "51,37,0,-4,37,0,2,\\@4,27M Field,5,6\r\n\\Note\\two\r\n"
                     "51,37,0,-4,37,0,3,@4,17M.\r\n"
                     "51,30,0,-4,30,0,-2,-27\r\n51,31,0,-4,31,0,-1\r\n"
                     "51,31,0,-4,31,0,-13,\xC3\xA9t\xC3\xA9\r\n");
    MapReadContext first;
    first.horGuardNm = 1.5F;
    CMapFile file;
    ASSERT_TRUE(file.Open(platform::FromUtf8(path.string()), core::OpenMode::kRead));
    ASSERT_EQ(file.ReadHeader(), HeaderResult::kRead);
    ASSERT_TRUE(ParseTextMap(first, file));
    ASSERT_EQ(first.zones.size(), 4U);
    const auto gpm = folder / "t.gpm";
    ASSERT_TRUE(WriteBinaryMap({first.general, first.zones, first.symbols17, first.symbols27},
                               file.HeaderText(), gpm));
    MapReadContext second;
    CMapFile binary;
    ASSERT_TRUE(binary.Open(platform::FromUtf8(gpm.string()), core::OpenMode::kRead));
    ASSERT_EQ(binary.ReadHeader(), HeaderResult::kRead);
    EXPECT_EQ(binary.HeaderText(), file.HeaderText());
    ASSERT_TRUE(ParseTextMap(second, binary));
    // What the binary map gives back: the same elements, except that a
    // circle of colour 17 returns to the general list (lists are found from
    // the element, and only point lists have a type) and the type-27 list's
    // elements carry their mark.
    std::erase_if(first.symbols17, [&](std::unique_ptr<CMapElement>& e) {
        if (e->Kind() != ElementKind::kCircle) return false;
        first.general.push_back(std::move(e));
        return true;
    });
    ASSERT_EQ(first.symbols17.size(), 1U);
    for (auto& e : first.symbols27) e->type27Mark = 1;
    EXPECT_EQ(DumpMapLists(second), DumpMapLists(first));
}

TEST(BinaryMapTest, StoredBoundsComeBackBitForBit) {
    CMapPolyElement poly;
    BinaryWriter none;
    WritePolyRecord(none, poly, 0);
    EXPECT_EQ(none.Data().substr(4, 16), std::string(16, '\0')) << "no bounds store zeros";
    for (const auto& edges :
         {std::array{0.1F, 0.2F, 0.3F, 0.4F}, std::array{-3.1415927F, -1.5707964F, 1e-30F, -0.0F},
          std::array{0.5F, 0.0F, 0.4F, -0.25F}}) {  // the last out of order
        poly.bounds = core::BoxFromRadiansWest(edges[0], edges[1], edges[2], edges[3]);
        BinaryWriter out;
        WritePolyRecord(out, poly, 0);
        EXPECT_EQ(out.Data().substr(4, 16),
                  Bytes{}.F32(edges[0]).F32(edges[1]).F32(edges[2]).F32(edges[3]).b);
        BinaryReader in(
            {reinterpret_cast<const unsigned char*>(out.Data().data()), out.Data().size()});
        const auto back = ReadPolyRecord(in, 8);
        ASSERT_TRUE(back);
        BinaryWriter again;
        WritePolyRecord(again, *back, 0);
        EXPECT_EQ(again.Data(), out.Data());
    }
}

TEST(BinaryMapTest, LongNamesAreCutToFiveHundredEleven) {
    CMapPolyElement poly;
    poly.name.assign(600, L'n');
    BinaryWriter out;
    WritePolyRecord(out, poly, 0);
    BinaryReader in({reinterpret_cast<const unsigned char*>(out.Data().data()), out.Data().size()});
    const auto back = ReadPolyRecord(in, 8);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name.size(), 511U);

    // A foreign file's longer count is read to its end and cut.
    Bytes r;
    r.U32(4).Head(8, 0, 0, 0, 0, 0, 0, 0).I32(0).U32(1).U32(0).U32(0).I32(0).U32(0).U32(0);
    r.U32(600);
    for (int i = 0; i < 600; ++i) r.Raw(std::string("x\0", 2));
    r.U32(0);
    test_support::ScratchFolder folder("binmap");
    auto read = ReadBytes(folder, FileOf(8, r.b + TextRecord(8, 5, "after", "").b));
    ASSERT_TRUE(read->done);
    ASSERT_EQ(read->context.general.size(), 2U);
    EXPECT_EQ(read->context.general[0]->name.size(), 511U);
}

TEST(BinaryMapTest, UnknownKindWordsAreSkippedAndAMissingEndMarkerIsNoError) {
    test_support::ScratchFolder folder("binmap");
    Bytes r;
    r.U32(3).U32(0);
    auto read = ReadBytes(folder, FileOf(8, r.b + TextRecord(8, 5, "a", "").b, false));
    ASSERT_TRUE(read->done);
    EXPECT_EQ(read->context.general.size(), 1U);
    EXPECT_EQ(read->file->recordsEnd.load(), std::filesystem::file_size(folder / "b.gpm"));
}

TEST(BinaryMapTest, DamagedRecordsEndTheReadKeepingTheElementsBefore) {
    test_support::ScratchFolder folder("binmap");
    const std::string good = TextRecord(8, 5, "kept", "").b;
    Bytes hugeCount;  // a text count far beyond the bytes left
    hugeCount.U32(1).Head(8, 0, 0, 0, 0, 0, 0, 0).F32(0).F32(0).F64(0).F64(0).I32(5).F32(0);
    hugeCount.F32(1).F32(0).F32(0).U32(0).U32(0).U32(0x7FFFFFFF);
    Bytes badLength;  // point data neither 20 x count nor one record more
    badLength.U32(4).Head(8, 0, 0, 0, 0, 0, 0, 0).I32(0).U32(1).U32(0).U32(2).I32(0).U32(2).U32(50);
    Bytes manyPoints;  // a point count beyond the bytes left
    manyPoints.U32(4).Head(4, 0, 0, 0, 0, 0, 0, 0).I32(0).U32(1).U32(0).U32(0x10000000).I32(0);
    manyPoints.U32(0x10000000);
    const std::string cut = TextRecord(8, 5, "cut", "").b.substr(0, 30);
    const std::pair<int, std::string> cases[] = {
        {8, good + hugeCount.b}, {8, good + badLength.b}, {4, TextRecord(4, 5, "kept", "").b + manyPoints.b},
        {8, good + cut}};
    for (const auto& [version, records] : cases) {
        auto read = ReadBytes(folder, FileOf(version, records, false));
        EXPECT_FALSE(read->done);
        EXPECT_EQ(read->context.error, MapReadError::kDamaged);
        ASSERT_EQ(read->context.general.size(), 1U);
        EXPECT_EQ(static_cast<const CMapTextElement&>(*read->context.general[0]).text, L"kept");
        EXPECT_EQ(read->file->recordsEnd.load(), 0U);  // nothing is appended after damage
    }
}

TEST(BinaryMapTest, ANewerVersionIsRefused) {
    test_support::ScratchFolder folder("binmap");
    auto read = ReadBytes(folder, FileOf(9, TextRecord(8, 5, "a", "").b));
    EXPECT_FALSE(read->done);
    EXPECT_EQ(read->context.error, MapReadError::kVersionTooNew);
    EXPECT_TRUE(read->context.general.empty());
}

}  // namespace
}  // namespace mapdata
