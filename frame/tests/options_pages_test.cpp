// The values of the map, thermal, polar, display-cycle, OLC, task, outline
// and fonts pages against a store and a recording view link.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/settings_values.h"
#include "frame/options/font_options.h"
#include "frame/options/maps_options.h"
#include "frame/options/olc_options.h"
#include "frame/options/outline_options.h"
#include "frame/options/polar_options.h"
#include "frame/options/show_queue_options.h"
#include "frame/options/task_options.h"
#include "frame/options/thermal_options.h"
#include "frame/position_view.h"
#include "frame/settings_values.h"
#include "glide/polar.h"
#include "glide/settings_values.h"
#include "gps/settings_values.h"
#include "map/map_view.h"
#include "map/settings_values.h"
#include "nav/olc_settings.h"
#include "nav/settings_values.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "testing/comma_locale.h"
#include "testing/scratch_folder.h"

namespace frame {
namespace {

constexpr char kMaps[] = "Options\\Maps";

// What the pages asked of the views.
class RecordingLink final : public ViewLink {
  public:
    void StartMapTimer(int intervalMs) override { timers.push_back(intervalMs); }
    void SetMapMargin(float fraction) override { margin = fraction; }
    void InvalidateMap() override { ++invalidated; }
    int GlideModeIndicator() override { return indicator; }
    void SetGlideModeIndicator(int image) override { indicator = image; }
    bool OutlineShown() override { return outlineShown; }
    void SetOutlineShown(bool shown) override { outlineShown = shown; }
    void RequestOutlineRecompute() override { ++recomputes; }
    void CreateMapFont() override { ++mapFonts; }
    void CreateViewFonts() override { ++viewFonts; }
    void SetNotesFont(bool bold) override { notesFonts.push_back(bold); }

    std::vector<int> timers;
    float margin = -1.0F;
    int invalidated = 0;
    int indicator = 6;
    bool outlineShown = false;
    int recomputes = 0;
    int mapFonts = 0;
    int viewFonts = 0;
    std::vector<bool> notesFonts;
};

class OptionsPages : public ::testing::Test {
  protected:
    OptionsPages() {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        core::g_unitDist = 0;
        core::g_unitAlt = 0;
        core::g_unitVario = 0;
    }
    ~OptionsPages() override {
        core::g_unitDist = 0;
        platform::SetAppSettings(nullptr);
    }
    std::uint32_t Int(const char* section, const char* name) const {
        return store_.GetInt(section, name, 0xDEADu);
    }
    std::string Text(const char* section, const char* name) const {
        return store_.GetString(section, name, std::string_view("<none>"));
    }

    platform::SettingsStore store_{""};
    RecordingLink views_;
};

TEST_F(OptionsPages, MapPageConvertsItsDistancesAndRestartsTheTimer) {
    core::g_unitDist = 2;
    map::g_mapRadius = 16.0F;
    map::g_mapSimplifyDistance = 0.75F;
    MapsOptions o = MapsOptions::FromRunning(views_);
    const MapsOptions opened = o;
    EXPECT_FLOAT_EQ(o.mapRadius, 25.7F);
    EXPECT_FLOAT_EQ(o.mapSimplifyDistance, 0.75F);
    EXPECT_EQ(o.cursorBlinkTime, 4u);
    EXPECT_EQ(o.mapMargin, 5);  // the map window's 0.05

    o.Apply(store_, views_, opened);  // as shown: the running values stay unrounded
    EXPECT_FLOAT_EQ(map::g_mapRadius, 16.0F);
    EXPECT_EQ(Text(kMaps, "MapRadius"), "16.000000");
    EXPECT_EQ(views_.timers, std::vector<int>{400});
    EXPECT_EQ(Int(kMaps, "CursorBlinkTime"), 400u);
    EXPECT_EQ(views_.invalidated, 0);

    o.cursorBlinkTime = 7;
    o.mapMargin = 25;
    o.mapRadius = 50.0F;
    o.mapSimplifyDistance = 1.5F;
    o.showGotoLine = 0;
    o.allowRotationToTog = 0;
    o.Apply(store_, views_, opened);
    EXPECT_EQ(views_.timers.back(), 700);
    EXPECT_FLOAT_EQ(views_.margin, 0.25F);
    EXPECT_EQ(Text(kMaps, "MapMargin"), "0.250000");
    EXPECT_NEAR(map::g_mapRadius, 50.0F / 1.609F, 1e-4F);
    EXPECT_EQ(views_.invalidated, 1);
    EXPECT_EQ(views_.Values().orientation, 0);
    const auto simplify = store_.GetBinary(kMaps, "mapSimplifyDistance");
    ASSERT_TRUE(simplify.has_value());
    ASSERT_EQ(simplify->size(), 4u);
    float stored = 0.0F;
    std::memcpy(&stored, simplify->data(), 4);
    EXPECT_FLOAT_EQ(stored, 1.5F);

    o.allowRotationToTog = 1;
    MapViewValues trackUp = views_.Values();
    trackUp.trackUp = 1;
    views_.SetValues(trackUp);
    o.Apply(store_, views_, opened);
    EXPECT_EQ(views_.Values().orientation, 13);
}

TEST_F(OptionsPages, ATrackLongerThanTheRingIsStoredForTheNextStart) {
    core::g_trackCacheLength = 8000;  // no ring allocated in this test
    MapsOptions o = MapsOptions::FromRunning(views_);
    const MapsOptions opened = o;
    o.trackCacheLength = 20000;
    o.Apply(store_, views_, opened);
    EXPECT_EQ(core::g_trackCacheLength, 8000);
    EXPECT_EQ(Int(kMaps, "TrackCacheLength"), 20000u);
}

TEST_F(OptionsPages, ThermalPageAveragesAtLeastOneThermalAndConvertsItsRadius) {
    core::g_autoSetMacCready = 1;
    gps::g_minCirclingRate = 8.0F * 3600.0F;
    struct Case {
        int thermals;
        int stored;
        float decay;
    };
    for (const Case c : {Case{0, 1, 0.0F}, Case{1, 1, 0.0F}, Case{3, 3, std::exp(-0.5F)}}) {
        ThermalModeOptions o = ThermalModeOptions::FromRunning(views_);
        o.averageNthermals = c.thermals;
        o.Apply(store_, views_, ThermalModeOptions::FromRunning(views_));
        EXPECT_EQ(glide::g_averageNthermals, c.stored) << c.thermals;
        EXPECT_FLOAT_EQ(glide::g_thermalAverageDecay, c.decay) << c.thermals;
        EXPECT_EQ(Int("Options\\Thermals", "averageNthermals"), static_cast<std::uint32_t>(c.stored));
    }
    EXPECT_EQ(Text("Settings\\Winds", "MinCirclingRate"), "8.000000");

    ThermalModeOptions o = ThermalModeOptions::FromRunning(views_);
    const ThermalModeOptions opened = o;
    o.zoomedRadius = 1000;  // feet
    o.zoomedTrackLength = 900;
    o.minCirclingRate = 12.5F;
    o.autoMacCready = 0;
    o.drawLinesInThermalMode = 1;
    o.showMapInThermalMode = 1;
    EXPECT_TRUE(o.LinesAndMapConflict());
    core::g_trackCacheLength = 500;
    o.Apply(store_, views_, opened);
    EXPECT_FLOAT_EQ(views_.Values().zoomedRadiusMetres, 305.0F);
    EXPECT_EQ(views_.Values().zoomedTrackLength, 500);
    EXPECT_EQ(Int(kMaps, "ZoomedTrackCacheLength"), 900u);
    EXPECT_FLOAT_EQ(gps::g_minCirclingRate, 12.5F * 3600.0F);
    EXPECT_EQ(core::g_autoSetMacCready, 0);
    EXPECT_EQ(Int("Settings", "autoSetMacCready"), 0u);
    core::g_trackCacheLength = 8000;
}

class PolarPage : public OptionsPages {
  protected:
    PolarPage() {
        std::ifstream in(std::filesystem::path(KV_SOURCE_DIR) / "glide/tests/data/discus.plr", std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        polarFile_ = folder_.Write("discus.plr", bytes.str()).wstring();
        glide::ChangePolarSettings([](glide::PolarSettings& s) { s = glide::PolarSettings{}; });
    }
    ~PolarPage() override {
        glide::ChangePolarSettings([](glide::PolarSettings& s) { s = glide::PolarSettings{}; });
    }

    test_support::ScratchFolder folder_;
    std::wstring polarFile_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(PolarPage, WeightAndBugsScaleTheFittedPolar) {
    PolarOptions o = PolarOptions::FromRunning();
    o.usePolar = 1;
    o.fileName = polarFile_;
    o.weightFactor = 1.44F;
    o.bugsPercent = 60;  // B = 1 / (1 - 0.6), as the glide panel has it
    o.Apply(store_, views_);
    const glide::PolarSettings s = glide::CurrentPolarSettings();
    EXPECT_TRUE(s.inUse.usePolar);
    EXPECT_FLOAT_EQ(s.weightFactor, 1.2F);
    EXPECT_FLOAT_EQ(s.bugsFactor, 2.5F);
    EXPECT_NEAR(s.inUse.a, s.a0 * 1.2F * 2.5F, 1e-5F);
    EXPECT_NEAR(s.inUse.c, s.c0 * 2.5F / 1.2F, 1e-6F);
    EXPECT_EQ(Text("Settings\\Polars", "WeightFactor"), "1.44");
    EXPECT_EQ(Int("Settings\\Polars", "UsePolar"), 1u);
    EXPECT_EQ(views_.indicator, 6);
    EXPECT_TRUE(boxes_->Boxes().empty());
    EXPECT_EQ(PolarOptions::FromRunning().bugsPercent, 60);
}

TEST_F(PolarPage, AMissingFileIsToldOnceAndSwitchesThePolarOff) {
    PolarOptions o = PolarOptions::FromRunning();
    o.usePolar = 1;
    o.fileName = (folder_ / "gone.plr").wstring();
    o.Apply(store_, views_);
    EXPECT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(Int("Settings\\Polars", "UsePolar"), 0u);
    EXPECT_EQ(Text("Settings\\Polars", "Filename"), "");
    EXPECT_FALSE(glide::CurrentPolar().usePolar);
    EXPECT_EQ(views_.indicator, 7);

    views_.indicator = 5;  // the pilot's choice stays
    o.Apply(store_, views_);
    EXPECT_EQ(views_.indicator, 5);
}

TEST_F(OptionsPages, BugsStepByFiveWithinTheirRange) {
    EXPECT_EQ(StepBugs(78, 1), 80);
    EXPECT_EQ(StepBugs(80, 1), 80);
    EXPECT_EQ(StepBugs(15, -1), 10);
    EXPECT_EQ(StepBugs(3, -1), 0);
}

TEST_F(OptionsPages, DisplayCycleStoresModeZeroInTheHighestBit) {
    std::array<int, kAltStringModes> flags{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(ShowQueueMask(flags), 1025u);
    std::array<int, kAltStringModes> none{};
    EXPECT_EQ(ShowQueueMask(none), 1024u);  // mode 0, as the next start reads it
    EXPECT_EQ(none[0], 1);

    EXPECT_EQ(NextModeInCycle(flags, 10), 10);
    EXPECT_EQ(NextModeInCycle(flags, 4), 10);
    std::array<int, kAltStringModes> early{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(NextModeInCycle(early, 7), 2);  // wraps after mode 10

    glide::g_altString = 5;
    ShowQueueOptions o = ShowQueueOptions::FromRunning(store_);
    EXPECT_EQ(o.resolution, 1);
    o.inCycle = flags;
    o.Apply(store_);
    EXPECT_EQ(Int("Options\\Display", "ShowQueue"), 1025u);
    EXPECT_EQ(glide::g_altString, 10);
    EXPECT_EQ(Int("Settings", "AltString"), 10u);
    EXPECT_EQ(g_showQueueFlags[4], 0);
    g_showQueueFlags.fill(1);
    glide::g_altString = 0;
}

TEST_F(OptionsPages, OlcWeightsGiveTheLegCountUpToTheFirstZero) {
    struct Case {
        std::array<int, kOlcEditedLegs> weights;
        int storedCount;
        float spacing;
    };
    for (const Case& c : {Case{{100, 100, 100, 0, 100, 100}, 2, 1.0F}, Case{{100, 100, 100, 100, 0, 0}, 3, 1.0F},
                          Case{{100, 0, 100, 100, 100, 100}, 0, 1.0F}, Case{{100, 90, 80, 70, 60, 50}, 5, 2.0F}}) {
        OlcOptions o = OlcOptions::FromRunning();
        o.weights = c.weights;
        o.Apply(store_);
        EXPECT_EQ(nav::g_olcLegCountLess1, c.storedCount);
        EXPECT_FLOAT_EQ(nav::g_olcMinSpacing, c.spacing);
    }
    EXPECT_EQ(Int("Settings\\OLC", "leg6w"), 50u);
    EXPECT_EQ(Int("Settings\\OLC", "leg8w"), 0u);

    nav::g_olcLegCountLess1 = 99;  // nothing changed: nothing is recomputed
    OlcOptions::FromRunning().Apply(store_);
    EXPECT_EQ(nav::g_olcLegCountLess1, 99);
    nav::ApplyOlcSettings({100, 100, 100, 100, 0, 0, 0, 0}, false);
}

TEST_F(OptionsPages, TaskDistancesShowInTheDistanceUnit) {
    core::g_unitDist = 2;
    nav::g_postRadius = 1.609F;
    nav::g_minMapZoneRadiusMargin = 0.000204F;
    TaskOptions o = TaskOptions::FromRunning(views_);
    const TaskOptions opened = o;
    EXPECT_FLOAT_EQ(o.postRadius, 1.61F);
    EXPECT_FLOAT_EQ(o.zoneMargin, 1.3F);
    o.Apply(store_, views_, opened);
    EXPECT_FLOAT_EQ(nav::g_postRadius, 1.609F);
    EXPECT_EQ(Text("Settings\\Tasks", "POSTradius"), "1.609000");
    EXPECT_EQ(Text("Settings\\Tasks", "minMapZoneRadiusMargin"), "1.30");

    store_.WriteString("Settings\\Tasks", "POSTradius", std::string_view("2.5"));
    EXPECT_FLOAT_EQ(TaskOptions::FromStore(store_, views_).postRadius, 2.5F);

    o.postRadius = 3.0F;
    o.allowGotoWithTask = 1;
    core::g_unitDist = 0;  // a units change applied before this page keeps its conversion
    o.Apply(store_, views_, opened);
    EXPECT_FLOAT_EQ(nav::g_postRadius, 3.0F);
    EXPECT_EQ(Int(kMaps, "allowGOTOwithTask"), 1u);
    nav::g_postRadius = 1.609F;
}

TEST_F(OptionsPages, OutlineWritesBackItsRunningValuesAndAsksForARecompute) {
    glide::g_reachableDefaultMc = 2.345F;
    glide::g_reachableUseDefaultMc = 1;
    glide::g_numberPointsOnOutline = 96;
    views_.outlineShown = true;
    OutlineOptions o = OutlineOptions::FromRunning(views_);
    const OutlineOptions opened = o;
    o.Apply(store_, views_, opened);  // a page never shown
    EXPECT_FLOAT_EQ(glide::g_reachableDefaultMc, 2.345F);
    EXPECT_EQ(Int(kMaps, "ReachableDefaultMC"), 2345u);
    EXPECT_EQ(Int(kMaps, "numberPointsOnOutline"), 96u);
    EXPECT_EQ(Int(kMaps, "ShowReachableOutline"), 1u);
    EXPECT_EQ(views_.recomputes, 0);

    o.macCready = 4.0F;
    o.pointCount = 120;
    o.Apply(store_, views_, opened);
    EXPECT_EQ(views_.recomputes, 1);
    EXPECT_EQ(Int(kMaps, "ReachableDefaultMC"), 4000u);
    EXPECT_EQ(glide::g_numberPointsOnOutline, 120);

    o.shown = 0;
    o.Apply(store_, views_, opened);
    EXPECT_FALSE(views_.outlineShown);
    EXPECT_EQ(views_.recomputes, 2);
    glide::g_numberPointsOnOutline = 48;
    glide::g_reachableDefaultMc = 0.0F;
}

TEST_F(OptionsPages, FontLettersAndSizes) {
    g_goLeft = u'L';
    g_goRight = u'R';
    const TurnLetters english;
    EXPECT_FALSE(english.Offered());
    FontOptions o = FontOptions::FromRunning(store_, english);
    EXPECT_EQ(o.guillemets, 0);
    o.guillemets = 1;
    o.family = L"No Such Family Here";
    o.mainOffset = -30;  // typed past the spin's range
    o.notesBold = 1;
    o.Apply(store_, views_);
    EXPECT_EQ(Int("Options\\Fonts", "goLeft"), 171u);
    EXPECT_EQ(Int("Options\\Fonts", "goRight"), 187u);
    EXPECT_EQ(glide::g_baseSize, 12);
    EXPECT_EQ(store_.GetString("Options\\Fonts", "Family", std::wstring_view()), L"No Such Family Here");
    EXPECT_EQ(views_.mapFonts, 1);
    EXPECT_EQ(views_.viewFonts, 1);
    EXPECT_EQ(views_.notesFonts, std::vector<bool>{true});
    EXPECT_EQ(FontOptions::FromRunning(store_, english).notesBold, 1);

    const TurnLetters german{u'L', u'S'};  // "Links", "Rechts" would not differ; take another pair
    FontOptions g = FontOptions::FromRunning(store_, german);
    EXPECT_EQ(g.guillemets, 1);
    g.guillemets = 0;
    g.languageLetters = 0;  // both cleared
    g.Apply(store_, views_);
    EXPECT_EQ(g_goLeft, u'L');
    EXPECT_EQ(g_goRight, u'R');
    g.languageLetters = 1;
    g.Apply(store_, views_);
    EXPECT_EQ(g_goRight, u'S');
    EXPECT_EQ(FontOptions::FromRunning(store_, german).languageLetters, 1);

    EXPECT_EQ(ParseSizeOffset(L"\xFF13", 0, FontOptions::kMainRange), 3);  // full-width 3
    EXPECT_EQ(ParseSizeOffset(L"x", -2, FontOptions::kMainRange), -2);
    EXPECT_EQ(ParseSizeOffset(L"-30", 0, FontOptions::kMainRange), -8);
    g_goLeft = u'L';
    g_goRight = u'R';
    glide::g_baseSize = 20;
    core::g_fontFamily.Set(L"Arial");
}

TEST_F(OptionsPages, StoredTextsKeepTheirPointUnderACommaLocale) {
    const test_support::CommaLocale comma;
    core::g_unitDist = 0;
    map::g_mapRadius = 12.5F;
    MapsOptions m = MapsOptions::FromRunning(views_);
    m.Apply(store_, views_, m);
    EXPECT_EQ(Text(kMaps, "MapRadius"), "12.500000");
    EXPECT_EQ(Text(kMaps, "ZoomFactor"), "1.600000");
    ThermalModeOptions t = ThermalModeOptions::FromRunning(views_);
    t.minCirclingRate = 9.5F;
    t.Apply(store_, views_, ThermalModeOptions::FromRunning(views_));
    EXPECT_EQ(Text("Settings\\Winds", "MinCirclingRate"), "9.500000");
    nav::g_postRadius = 1.609F;
    TaskOptions k = TaskOptions::FromRunning(views_);
    k.Apply(store_, views_, k);
    EXPECT_EQ(Text("Settings\\Tasks", "POSTradius"), "1.609000");
    EXPECT_FLOAT_EQ(TaskOptions::FromStore(store_, views_).postRadius, 1.0F);  // statute miles
    map::g_mapRadius = 16.0F;
    gps::g_minCirclingRate = 8.0F * 3600.0F;
}

}  // namespace
}  // namespace frame
