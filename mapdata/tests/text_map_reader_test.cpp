// The text map reader: every record code (as element listings), includes,
// encodings, full-width forms, zone pairs and the splice step.
#include "mapdata/text_map_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "mapdata/map_circle_element.h"
#include "mapdata/map_dump.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/map_text_element.h"
#include "platform/utf.h"
#include "testing/scratch_folder.h"

namespace mapdata {
namespace {

constexpr const char* kReaderHeader = "52,0,0,-5,0,0,51,0,0,-4,0,0,10N,0\r\n";

std::wstring WideText(const std::filesystem::path& p) {
    return platform::FromUtf8(p.string());
}

// Reads the file at path; false when the header is refused or the read
// failed.
bool ReadMap(const std::filesystem::path& path, MapReadContext& context) {
    CMapFile file;
    if (!file.Open(WideText(path), core::OpenMode::kRead, true)) return false;
    if (file.ReadHeader() != HeaderResult::kRead) return false;
    return ParseTextMap(context, file);
}

std::string DumpOf(const std::string& bytes, float guard = 0.0F) {
    test_support::ScratchFolder folder("textmap");
    MapReadContext context;
    context.horGuardNm = guard;
    EXPECT_TRUE(ReadMap(folder.Write("t.map", bytes), context));
    return DumpMapLists(context);
}

TEST(TextMapReaderTest, PolylinesLabelsSymbolsRingsZonesArcsMarkersAndTheFreePolyline) {
    const std::string map = std::string(kReaderHeader) +
                            "; a comment\r\n"
                            "*1,2\r\n"
                            "51,30,0,-4,30,0,-1\r\n"
                            "51,31,0,-4,31,0,-1,3\r\n"
                            "51,32,0,-4,32,0,-3,2\r\n"
                            "51,33,0,-4,30,0,-2,14\r\n"
                            "51,34,0,-4,35,0,-1\r\n"
                            "51,35,0,-4,36,0,-1\r\n"
                            "51,36,0,-4,37,0,-5,Hello\\World\r\n"
                            "51,36,0,-4,37,0,1,^100M^@5M.Tower,1,2,3,4\r\n"
                            "51,36,0,-4,37,0,-7,;3500,0MH0,-1\r\n"
                            "51,36,0,-4,37,0,-5,Zone A #!\r\n"
                            "51,30,0,-4,30,0,-2,18,255,0,0,3\r\n"
                            "51,31,0,-4,31,0,-1\r\n"
                            "51,32,0,-4,30,0,-1\r\n"
                            "51,31,0,-4,31,0,-12\r\n"
                            "51,31,0,-4,31,0,-4,@3,0,90,5M#2,90,180M\r\n"
                            "51,31,0,-4,31,0,0,\r\n"
                            "51,32,0,-4,31,0,0,\r\n";
    EXPECT_EQ(DumpOf(map, 1.0F),
              "[general] 10\n"
              "poly points=3 type=0 fill=0/000002 flags=00 serial=0 scale=1,2\n"
              "  51.50000,-4.50001 pen=1 kind=1\n"
              "  51.51667,-4.51665 pen=2 kind=1\n"
              "  51.53333,-4.53332 pen=33 kind=3\n"
              "text code=-5 at=51.600000,-4.616667 flags=00 serial=0 scale=1,2 names=0,0 "
              "text=\"Hello\\r\\nWorld\"\n"
              "circle at=51.60000,-4.61672 r=9.2600km bearings=359.943,0.000 ccw pen=2 "
              "colour=0/ffffff fill=1 flags=00 serial=0 scale=1,2\n"
              "circle at=51.60000,-4.61672 r=27.7800km bearings=359.943,0.000 ccw pen=2 "
              "colour=0/ffffff fill=1 flags=00 serial=0 scale=1,2\n"
              "text code=1 at=51.600000,-4.616667 flags=00 serial=0 scale=1,2 names=3,4 "
              "elev=328.08 text=\"Tower\"\n"
              "poly points=3 type=14 fill=1/0000ff flags=00 serial=0 scale=1,2\n"
              "  51.55000,-4.50004 pen=1 kind=0\n"
              "  51.56667,-4.58332 pen=1 kind=1\n"
              "  51.58334,-4.59993 pen=1 kind=1\n"
              "text code=-12 at=51.516667,-4.516667 flags=00 serial=0 scale=1,2 names=0,0 "
              "text=\"\"\n"
              "circle at=51.51667,-4.51665 r=5.5560km bearings=0.000,90.000 ccw pen=5 "
              "colour=0/ffffff fill=0 flags=00 serial=0 scale=1,2\n"
              "circle at=51.51667,-4.51665 r=3.7040km bearings=90.000,180.000 cw pen=0 "
              "colour=0/ffffff fill=0 flags=00 serial=0 scale=1,2\n"
              "poly points=2 type=0 fill=0/000002 flags=00 serial=0 scale=0,0\n"
              "  51.51667,-4.51665 pen=17 kind=1\n"
              "  51.53333,-4.51669 pen=17 kind=1\n"
              "[zones] 2\n"
              "poly points=4 type=18 fill=52/0000ff flags=23 serial=1 scale=1,2 "
              "alt=0-11482.8 ab=0,-1 name=\"Zone A \"\n"
              "  51.50000,-4.50001 pen=1 kind=0\n"
              "  51.51667,-4.51665 pen=1 kind=1\n"
              "  51.53333,-4.50000 pen=1 kind=1\n"
              "  51.50000,-4.50001 pen=1 kind=1\n"
              "poly points=4 type=18 fill=52/0000ff flags=25 serial=1 scale=1,2 "
              "alt=0-11482.8 ab=0,-1 name=\"Zone A \"\n"
              "  51.44166,-4.47321 pen=1 kind=0\n"
              "  51.51666,-4.54812 pen=1 kind=1\n"
              "  51.59165,-4.47317 pen=1 kind=1\n"
              "  51.44166,-4.47321 pen=1 kind=1\n");
}

TEST(TextMapReaderTest, OutlineArcsUtmZoneCirclesAndTypeLists) {
    const std::string map =
        "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,20\n"
        "*1,2\n"
        "51,30,0,-4,30,0,-1\n"
        "51,31,0,-4,31,0,-6,@2,0,90,-3M\n"   // an open line: broken at the arc
        "51,32,0,-4,32,0,-1,17\n"            // pen out of range: the last thin pen
        "51,33,0,-4,33,0,-2,5\n"
        "51,34,0,-4,34,0,-6,#1,60,90,2M\n"   // a filled area: the arc joins its outline
        "51,35,0,-4,35,0,-4,$51,40,0,-4,35,0,51,35,0,-4,45,0,4M\n"
        "51,35,0,-4,35,0,-4,$51,35,0,-4,35,0,51,35,0,-4,45,0,4M\n"  // a point on the centre
        "51,36,0,-4,36,0,0\n"                // code 0 without a text: skipped
        "51,36,0,-4,36,0,-8,x\n"
        "361,0,0,5700000,31,500000,-20,utm\n"
        "51,37,0,-4,37,0,-7,;25,10ft,-1,5\\\n"
        "\\Note text\\on two lines\n"  // a backslash breaks the note's line
        "51,37,0,-4,37,0,2,@4,27M Field\n"
        "51,37,0,-4,37,0,3,@-4,-17M\n"
        "51,37,0,-4,37,0,-2,-27\n"
        "51,37,0,-4,38,0,-1\n";
    EXPECT_EQ(DumpOf(map),
              "[general] 7\n"
              "poly points=2 type=0 fill=0/000002 flags=00 serial=0 scale=1,2\n"
              "  51.50000,-4.50001 pen=1 kind=1\n"
              "  51.54561,-4.51667 pen=34 kind=1\n"
              "circle at=51.51667,-4.51665 r=3.2180km bearings=0.000,90.000 ccw pen=-3 "
              "colour=0/ffffff fill=0 flags=00 serial=0 scale=1,2\n"
              "poly points=2 type=0 fill=0/000002 flags=00 serial=0 scale=1,2\n"
              "  51.51666,-4.56312 pen=34 kind=1\n"
              "  51.53333,-4.53332 pen=1 kind=1\n"
              "circle at=51.58333,-4.58340 r=10.4120km bearings=0.000,89.935 ccw pen=4 "
              "colour=0/ffffff fill=0 flags=00 serial=0 scale=1,2\n"
              "text code=-20 at=51.451182,-3.000000 flags=00 serial=0 scale=1,2 names=0,0 "
              "text=\"utm\"\n"
              "text code=2 at=51.616667,-4.616667 flags=00 serial=0 scale=1,2 names=0,0 "
              "text=\" Field\"\n"
              "poly points=8 type=5 fill=1/800000 flags=00 serial=0 scale=1,2\n"
              "  51.55000,-4.55002 pen=1 kind=0\n"
              "  51.57390,-4.58687 pen=1 kind=1\n"
              "  51.57278,-4.58779 pen=1 kind=1\n"
              "  51.57161,-4.58865 pen=1 kind=1\n"
              "  51.57041,-4.58928 pen=1 kind=1\n"
              "  51.56917,-4.58965 pen=1 kind=1\n"
              "  51.56792,-4.58995 pen=1 kind=1\n"
              "  51.56666,-4.59009 pen=1 kind=1\n"
              "[zones] 1\n"
              "circle at=51.61667,-4.61665 r=6.4360km bearings=359.943,0.000 ccw pen=2 "
              "colour=27/ffffff fill=1 flags=01 serial=0 scale=1,2 alt=10-25 ab=-1,-1 "
              "name=\" Field\" note=\"Note text\\r\\non two lines\"\n"
              "[symbols17] 1\n"
              "circle at=51.61667,-4.61665 r=6.4360km bearings=359.943,0.000 ccw pen=2 "
              "colour=-17/ffffff fill=1 flags=00 serial=0 scale=1,2\n"
              "[symbols27] 1\n"
              "poly points=2 type=27 fill=0/000002 no-outline flags=00 serial=0 scale=1,2\n"
              "  51.61667,-4.61665 pen=1 kind=0\n"
              "  51.61667,-4.63330 pen=1 kind=1\n");
}

TEST(TextMapReaderTest, AGuardedZoneCircleGetsALargerLinkedCopy) {
    test_support::ScratchFolder folder("textmap");
    MapReadContext context;
    context.horGuardNm = 2.0F;
    ASSERT_TRUE(ReadMap(
        folder.Write("z.map", std::string(kReaderHeader) + "51,37,0,-4,37,0,-7,;3000,1000FH\r\n"
                                                           "51,37,0,-4,37,0,-5,CTR#!\r\n"
                                                           "51,37,0,-4,37,0,2,@-5,4M Airfield\r\n"),
        context));
    ASSERT_EQ(context.zones.size(), 2U);
    EXPECT_TRUE(context.general.empty());  // a negative radius makes no symbol
    const auto& source = static_cast<const CMapCircleElement&>(*context.zones[0]);
    const auto& copy = static_cast<const CMapCircleElement&>(*context.zones[1]);
    EXPECT_EQ(source.flags, element_flag::kNotTested | element_flag::kNotesHidden);
    EXPECT_EQ(copy.flags, element_flag::kEnlargedCopy | element_flag::kNotesHidden);
    EXPECT_EQ(source.zoneSerial, 1);
    EXPECT_EQ(copy.zoneSerial, 1);
    EXPECT_EQ(context.zoneCounter, 2);
    EXPECT_FLOAT_EQ(copy.radiusKm, source.radiusKm + 2.0F * 1.852F);
    EXPECT_EQ(source.name, L"CTR\r\n Airfield");
    EXPECT_EQ(copy.name, source.name);
    EXPECT_FLOAT_EQ(source.upperAltitude, 3000.0F);
    EXPECT_FLOAT_EQ(source.lowerAltitude, 1000.0F);
}

TEST(TextMapReaderTest, CodeZeroNeedsItsCommaAndALoneVertexIsDropped) {
    const std::string dump = DumpOf(std::string(kReaderHeader) +
                                    "51,30,0,-4,30,0,0\r\n"   // no text: skipped
                                    "51,30,0,-4,30,0,0,\r\n"  // empty text: a vertex
                                    "51,31,0,-4,31,0,0,x\r\n"
                                    "51,32,0,-4,32,0,-2\r\n"  // one point: dropped at the next
                                    "51,33,0,-4,33,0,-2\r\n"
                                    "51,34,0,-4,34,0,-1\r\n"
                                    "51,35,0,-4,35,0,7 x\r\n"  // not one number
                                    "51,35,0,-4,35,0\r\n");    // no code
    EXPECT_EQ(dump,
              "[general] 2\n"
              "poly points=2 type=0 fill=0/000002 flags=00 serial=0 scale=0,0\n"
              "  51.55000,-4.55002 pen=1 kind=0\n"
              "  51.56667,-4.56665 pen=1 kind=1\n"
              "poly points=2 type=0 fill=0/000002 flags=00 serial=0 scale=0,0\n"
              "  51.50000,-4.50001 pen=17 kind=1\n"
              "  51.51667,-4.51665 pen=17 kind=1\n");
}

TEST(TextMapReaderTest, EveryEncodingAndFullWidthFormsGiveTheSameElements) {
    const std::wstring body = L"*1,2\n51,30,0,-4,30,0,-1\n51,31,0,-4,31,0,-1,3\n"
                              L"51,36,0,-4,37,0,5,@2M.Tower\n";
    const std::string expected = DumpOf(platform::ToUtf8(L"52,0,0,-5,0,0,51,0,0,-4,0,0,10M,0\n" + body));
    ASSERT_NE(expected.find("Tower"), std::string::npos);

    std::wstring wide = L"52,0,0,-5,0,0,51,0,0,-4,0,0,10M,0\n" + body;
    const auto utf16 = [&](bool little) {
        std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const wchar_t c : wide) {
            const char hi = static_cast<char>(c >> 8);
            const char lo = static_cast<char>(c & 0xFF);
            out += little ? lo : hi;
            out += little ? hi : lo;
        }
        return out;
    };
    EXPECT_EQ(DumpOf(utf16(true)), expected);
    EXPECT_EQ(DumpOf(utf16(false)), expected);
    EXPECT_EQ(DumpOf("\xEF\xBB\xBF" + platform::ToUtf8(wide)), expected);

    // Full-width digits, commas, '*' and a full-width ';' comment.
    std::wstring full;
    for (const wchar_t c : L"*1,2\n51,30,0,-4,30,0,-1\n51,31,0,-4,31,0,-1,3\n") {
        full += (c > 0x20 && c < 0x7F) ? static_cast<wchar_t>(c + 0xFEE0) : c;
    }
    full.pop_back();  // the terminating zero
    const std::string folded = DumpOf(platform::ToUtf8(L"52,0,0,-5,0,0,51,0,0,-4,0,0,10M,0\n\xFF1B note\n" + full +
                                                       L"51,36,0,-4,37,0,5,@2M.Tower\n"));
    EXPECT_EQ(folded, expected);
}

TEST(TextMapReaderTest, IncludesScaleTheirValuesAndNeverReadAnOpenFileAgain) {
    test_support::ScratchFolder folder("textmap");
    // The include's scale is half the parent's at the same corners: its '*'
    // values double.
    folder.Write("Sub/Inner.MAP", "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,20\n"
                                  "*1,2,3,4\n"
                                  "?main.map\n"  // a cycle: skipped
                                  "?deeper.map\n"  // beside the main file, not this one
                                  "51,30,0,-4,30,0,-11,inner\n");
    folder.Write("deeper.map", "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,20\n51,30,0,-4,30,0,-11,deeper\n");
    folder.Write("Sub/deeper.map", "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,20\n51,30,0,-4,30,0,-11,wrong\n");
    const auto main = folder.Write("main.map", "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,40\n"
                                               "*5,6\n"
                                               "?sub\\inner.map\n"
                                               "?missing.map\n"
                                               "?main.map\n"
                                               "51,30,0,-4,30,0,-11,outer\n");
    MapReadContext context;
    ASSERT_TRUE(ReadMap(main, context));
    ASSERT_EQ(context.general.size(), 3U);
    EXPECT_EQ(static_cast<const CMapTextElement&>(*context.general[0]).text, L"deeper");
    EXPECT_FLOAT_EQ(context.general[1]->scale1, 2.0F);
    EXPECT_FLOAT_EQ(context.general[1]->scale2, 4.0F);
    // The parent's values come back after the include.
    EXPECT_FLOAT_EQ(context.general[2]->scale1, 5.0F);
    EXPECT_FLOAT_EQ(context.general[2]->scale2, 6.0F);
}

TEST(TextMapReaderTest, IncludesStopSixteenDeep) {
    test_support::ScratchFolder folder("textmap");
    for (int i = 0; i < 20; ++i) {
        folder.Write("m" + std::to_string(i) + ".map",
                     "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,0\n?m" + std::to_string(i + 1) +
                         ".map\n51,30,0,-4,30,0,-11\n");
    }
    MapReadContext context;
    ASSERT_TRUE(ReadMap(folder / "m0.map", context));
    EXPECT_EQ(context.general.size(), 17U);  // the main file and 16 includes
}

TEST(TextMapReaderTest, AnOverLongLineIsSkippedWholeAndCounted) {
    test_support::ScratchFolder folder("textmap");
    MapReadContext context;
    ASSERT_TRUE(ReadMap(
        folder.Write("long.map", std::string(kReaderHeader) + "51,30,0,-4,30,0,-5," +
                                     std::string(5000, 'x') + "\r\n51,30,0,-4,30,0,-11,after\r\n"),
        context));
    EXPECT_EQ(context.longLinesSkipped, 1U);
    ASSERT_EQ(context.general.size(), 1U);
}

class CountingContext : public MapReadContext {
  public:
    int splices = 0;
    std::size_t spliced = 0;

  protected:
    void Splice() override {
        ++splices;
        spliced += general.size();
        general.clear();
    }
};

TEST(TextMapReaderTest, ElementsAreSplicedInBatchesOfMoreThanForty) {
    std::string map = kReaderHeader;
    for (int i = 0; i < 100; ++i) map += "51,30,0,-4,30,0,-11\r\n";
    test_support::ScratchFolder folder("textmap");
    CountingContext context;
    context.spliceEnabled = true;
    ASSERT_TRUE(ReadMap(folder.Write("many.map", map), context));
    EXPECT_EQ(context.splices, 2);
    EXPECT_EQ(context.spliced, 82U);
    EXPECT_EQ(context.general.size(), 18U);  // the rest is the read thread's to splice
}

TEST(TextMapReaderTest, AZoneNoteMissingAtTheEndEndsTheReadNormally) {
    const std::string dump = DumpOf(std::string(kReaderHeader) +
                                    "51,30,0,-4,30,0,-1\r\n51,31,0,-4,31,0,-1\r\n"
                                    "51,37,0,-4,37,0,-7,;25,10\\\r\n");
    EXPECT_NE(dump.find("poly points=2"), std::string::npos);
}

TEST(TextMapReaderTest, AStoppedReadEndsAtOnce) {
    std::string map = kReaderHeader;
    for (int i = 0; i < 10; ++i) map += "51,30,0,-4,30,0,-11\r\n";
    test_support::ScratchFolder folder("textmap");
    MapReadContext context;
    context.RequestStop();
    ASSERT_TRUE(ReadMap(folder.Write("stop.map", map), context));
    EXPECT_TRUE(context.general.empty());
}

}  // namespace
}  // namespace mapdata
