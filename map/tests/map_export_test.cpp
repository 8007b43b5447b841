#include "map/map_export.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "fake_map_dialogs.h"
#include "map/map_export_command.h"
#include "map/map_loader.h"
#include "map/map_render.h"
#include "map/tests/zones_fixture.h"
#include "mapdata/binary_map.h"
#include "platform/message_box.h"
#include "testing/comma_locale.h"
#include "testing/scratch_folder.h"
#include "testing/wait_until.h"

namespace map {
namespace {

using namespace std::chrono_literals;
using testing::FakeMapDialogs;

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a command writes to its standard output, or nothing when it writes
// nothing. (ImageMagick warns with a failing exit code about the zero
// file-size field that bitmaps carry here, and reads them all the same.)
std::optional<std::string> RunCommand(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
    ::pclose(pipe);
    if (out.empty()) return std::nullopt;
    return out;
}

TEST(MapExportNames, ExtensionIsCutOnlyInTheFileName) {
    const struct {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"/maps/alps.map", L"/maps/alps.gpm"},
        {L"/maps/alps.tar.map", L"/maps/alps.tar.gpm"},
        {L"/home/p/.maps/alps", L"/home/p/.maps/alps.gpm"},
        {L"alps", L"alps.gpm"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReplaceExtension(c.path, L".gpm"), c.expected) << c.path;
}

TEST(MapExportNames, SizeAndDepthFollowTheMapRectangleAndTheDisplay) {
    EXPECT_EQ(ExportBitmapSize({45, 15, 240, 300}, 2.0), (ExportSize{480, 600}));
    EXPECT_EQ(ExportBitmapSize({45, 15, 241, 301}, 1.5), (ExportSize{361, 451}));  // truncated
    EXPECT_EQ(ExportBitCount(24, false), 24);
    EXPECT_EQ(ExportBitCount(4, false), 8);
    EXPECT_EQ(ExportBitCount(32, true), 8);
}

TEST(MapExportCalibration, MatchesTheHandWrittenFileInAnyLocale) {
    mapdata::MapDrawState s;
    s.centre = {0.6, -0.1, 0.793725};
    s.eastX = 0.164399;
    s.eastY = 0.986394;
    s.north = {-0.782933, 0.130489, 0.608581};
    s.r00 = 0.8F;
    s.r01 = 0.6F;
    s.r10 = -0.6F;
    s.r11 = 0.8F;
    s.cx = 123.5F;
    s.cy = -45.25F;
    s.k = 2048.0F;
    const std::string expected = ReadAll(std::filesystem::path(KV_SOURCE_DIR) / "map/tests/data/alps.flt");
    ASSERT_FALSE(expected.empty());
    // Line 1 is the bitmap's name with ".bmp", whatever extension was typed.
    EXPECT_EQ(CalibrationText(L"/tmp/maps/alps.png", s), expected);
    const test_support::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "no decimal-comma locale";
    EXPECT_EQ(CalibrationText(L"/tmp/maps/alps.bmp", s), expected);
}


// A map loaded the way the window loads it, with the window's model.
class MapExportTest : public ::testing::Test {
  protected:
    MapExportTest()
        : view(mapFile),
          alarm(lists.zones, Sources()),
          reader(lists, {[this](int lParam) {
                             if (lParam == 0) ++ends;
                         },
                         {},
                         {}}),
          loader(lists, mapFile, view, alarm, reader, settings, {[this] { ++drawingStops; }, {}, {}}) {
        view.client = {424, 300};
    }

    static AlarmSources Sources() {
        AlarmSources s;
        s.haveFix = [] { return false; };
        s.readFix = [] { return AlarmFixInput{}; };
        s.guards = [] { return AlarmGuards{}; };
        s.period = 1ms;
        return s;
    }

    void Load(const std::filesystem::path& path) {
        ASSERT_EQ(loader.LoadMapFile(path.wstring(), true, {}), LoadResult::kStarted);
        test_support::WaitUntil([this] { return ends.load() != 0; });
        ASSERT_EQ(ends.exchange(0), 1);
        loader.OnMapReadDone(0);
    }

    MapExportSite Site() { return {lists, mapFile, view, {}, view.mapLoaded != 0, [this] { ++drawingStops; }}; }

    static FileDialogAnswer Answer(const std::filesystem::path& path) { return {path.wstring(), 1}; }

    test_support::ScratchFolder scratch{"mapexport"};
    platform::SettingsStore settings{""};
    MapLists lists;
    mapdata::CMapFile mapFile;
    MapViewModel view;
    AlarmZoneThread alarm;
    MapReadThread reader;
    MapLoader loader;
    std::atomic<int> ends{0};
    int drawingStops = 0;
    platform::ScopedRecordingSink boxes;
    FakeMapDialogs dialogs;
};

TEST_F(MapExportTest, BitmapIsTheScaledMapRectangleInTheChosenDepth) {
    Load(scratch.Write("zones.map", kZonesMap));
    view.drawRect = {45, 15, 240, 300};
    const bool haveIdentify = RunCommand("identify -version").has_value();
    for (const bool eightBit : {false, true}) {
        const auto file = scratch / (eightBit ? "eight.bmp" : "true.bmp");
        dialogs.answers = {Answer(file)};
        dialogs.options = ExportOptions{2.0F, eightBit};
        MapExportSite site = Site();
        RunExportBitmap(site, dialogs);
        const std::string bytes = ReadAll(file);
        ASSERT_GT(bytes.size(), 54U) << eightBit;
        EXPECT_EQ(static_cast<unsigned char>(bytes[28]), eightBit ? 8 : 24);
        EXPECT_EQ(bytes.substr(0, 6), std::string("BM\0\0\0\0", 6)) << "file-size field 0";
        EXPECT_TRUE(std::filesystem::exists(scratch / (eightBit ? "eight.flt" : "true.flt")));
        if (!haveIdentify) continue;
        const auto identified = RunCommand("identify -format '%w %h %r' '" + file.string() + "'");
        ASSERT_TRUE(identified.has_value()) << "an independent reader refused the bitmap";
        EXPECT_EQ(*identified, std::string("480 600 ") + (eightBit ? "PseudoClass" : "DirectClass") + " sRGB ");
    }
    EXPECT_TRUE(boxes->Boxes().empty());
    EXPECT_EQ(dialogs.saves.at(0).title, L"Export Map File");
    EXPECT_EQ(dialogs.saves.at(0).fileName, (scratch / "zones.bmp").wstring());
    EXPECT_EQ(dialogs.modalWhenAsked, (std::vector<bool>{true, true, true, true}));
    EXPECT_FALSE(dialogs.modal);
    if (!haveIdentify) GTEST_SKIP() << "ImageMagick identify is not installed";
}

TEST_F(MapExportTest, ExportedBitmapIsTheWindowsRenderWithoutTheButtonColumn) {
    Load(scratch.Write("zones.map", kZonesMap));
    const mapdata::MapDrawState window = view.Published();

    MapRenderInput input;
    input.width = view.client.width;
    input.height = view.client.height;
    input.mapLoaded = true;
    input.overlayShown = false;
    input.draw.state = window;
    input.draw.clientHeight = input.height;
    input.labelBottom = 0;
    platform::Canvas canvas(input.width, input.height);
    const std::atomic<bool> stop{false};
    RenderMapLayers(canvas, lists, input, stop);
    canvas.Finish();

    ExportJob job;
    job.draw = input.draw;
    job.draw.state = ExportTransform(view, 1.0F);
    job.size = ExportBitmapSize(view.drawRect, 1.0);
    const auto file = scratch / "same.bmp";
    ASSERT_EQ(ExportMapBitmap(lists, job, file).status, ExportStatus::kWritten);
    EXPECT_EQ(view.Published().cx, window.cx) << "the window's transform is left alone";

    mapdata::CDib dib;
    ASSERT_TRUE(dib.LoadQuietly(file));
    ASSERT_EQ(dib.GetSize().width, job.size.width);
    int drawn = 0;
    int differing = 0;
    for (int y = 0; y < job.size.height; ++y) {
        for (int x = 0; x + kButtonColumn < input.width && x < job.size.width; ++x) {
            const std::uint32_t shown = canvas.Pixels().Pixel(x + kButtonColumn, y) & 0xFFFFFFU;
            const mapdata::RgbQuad exported = dib.GetPixelColour(x, y);
            const std::uint32_t rgb = static_cast<std::uint32_t>(exported.red) << 16 |
                                      static_cast<std::uint32_t>(exported.green) << 8 | exported.blue;
            if (rgb != 0xFFFFFFU) ++drawn;
            if (rgb != shown) ++differing;
        }
    }
    EXPECT_GT(drawn, 100) << "the zones and the town are drawn";
    EXPECT_EQ(differing, 0);
}

TEST_F(MapExportTest, OversizedBitmapIsRefusedWithItsSizeAndTheOldFileStays) {
    Load(scratch.Write("zones.map", kZonesMap));
    view.drawRect = {45, 15, 1896, 1050};
    const auto file = scratch.Write("old.bmp", "old picture");
    dialogs.answers = {Answer(file)};
    dialogs.options = ExportOptions{50.0F, false};
    MapExportSite site = Site();
    RunExportBitmap(site, dialogs);
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_NE(shown[0].text.find(L"94800 x 52500"), std::wstring::npos) << shown[0].text;
    EXPECT_EQ(ReadAll(file), "old picture");
    EXPECT_FALSE(std::filesystem::exists(scratch / "old.flt"));
}

TEST_F(MapExportTest, UnopenableBitmapFileIsPassedOverInSilence) {
    Load(scratch.Write("zones.map", kZonesMap));
    scratch.Write("plain", "a file, not a folder");
    dialogs.answers = {Answer(scratch / "plain" / "x.bmp")};
    MapExportSite site = Site();
    RunExportBitmap(site, dialogs);
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(MapExportTest, LoadedTextMapIsNeverOverwrittenByItsBinaryForm) {
    const auto map = scratch.Write("zones.map", kZonesMap);
    Load(map);
    std::filesystem::create_symlink(map, scratch / "link.map");
    dialogs.answers = {Answer(map), Answer(scratch / "link.map"), Answer(scratch / "." / "zones.map")};
    MapExportSite site = Site();
    RunExportBinaryMap(site, dialogs);
    EXPECT_EQ(dialogs.saves.size(), 4U) << "asked again after each spelling, then cancelled";
    EXPECT_EQ(ReadAll(map), kZonesMap);
    EXPECT_EQ(dialogs.saves[0].title, L"Binary Map File");
    EXPECT_EQ(dialogs.saves[0].filter, L"Binary Maps (*.gpm)|*.gpm|All Files (*.*)|*.*||");
    EXPECT_EQ(dialogs.saves[0].fileName, (scratch / "zones.gpm").wstring());
    EXPECT_EQ(dialogs.saves[0].folder, scratch.Path().wstring());
}

TEST_F(MapExportTest, BinaryMapIsWrittenAndRewrittenInPlaceThroughItsOwnObject) {
    Load(scratch.Write("zones.map", kZonesMap));
    const auto binary = scratch / "zones.gpm";
    dialogs.answers = {Answer(binary)};
    MapExportSite site = Site();
    RunExportBinaryMap(site, dialogs);
    const std::string written = ReadAll(binary);
    ASSERT_FALSE(written.empty());

    Load(binary);
    ASSERT_TRUE(mapFile.IsBinary());
    const std::size_t general = lists.general.size();
    const std::size_t zones = lists.zones.size();
    EXPECT_EQ(zones, 2U);
    dialogs.answers = {Answer(binary)};
    MapExportSite again = Site();
    RunExportBinaryMap(again, dialogs);
    EXPECT_EQ(ReadAll(binary), written);
    EXPECT_TRUE(mapFile.IsOpen());
    EXPECT_EQ(mapFile.recordsEnd.load(), written.size() - 4) << "reopened on the new file";
    EXPECT_EQ(lists.general.size(), general);
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(MapExportTest, UnwritableBinaryTargetIsReportedAsAFileError) {
    Load(scratch.Write("zones.map", kZonesMap));
    scratch.Write("plain", "a file, not a folder");
    dialogs.answers = {Answer(scratch / "plain" / "x.gpm")};
    MapExportSite site = Site();
    RunExportBinaryMap(site, dialogs);
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].caption, L"File Error");
    EXPECT_NE(shown[0].text.find((scratch / "plain" / "x.gpm").wstring()), std::wstring::npos);
}

TEST_F(MapExportTest, NothingHappensWithoutAFinishedMap) {
    MapExportSite site = Site();
    RunExportBinaryMap(site, dialogs);
    RunExportBitmap(site, dialogs);
    EXPECT_TRUE(dialogs.saves.empty());
}

}  // namespace
}  // namespace map
