#include "app/settings_loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/data_file_path.h"
#include "core/settings_values.h"
#include "core/utm.h"
#include "frame/settings_values.h"
#include "glide/settings_values.h"
#include "gps/settings_values.h"
#include "map/settings_values.h"
#include "nav/settings_values.h"
#include "platform/settings_store.h"
#include "recorder/engine_noise_sensor.h"
#include "recorder/settings_values.h"
#include "recorder/tests/engine_noise_test_support.h"
#include "services/module_services.h"
#include "services/string_resources.h"
#include "testing/comma_locale.h"
#include "testing/scratch_folder.h"
#include "testing/units.h"

namespace {

namespace fs = std::filesystem;

using test_support::kRadiansPerDegree;
constexpr const char* kMisc = "Options\\Miscellaneous";

// A loaded value beside the one expected; floats are compared as floats.
struct Row {
    template <typename T, typename E>
    Row(const char* rowName, const std::atomic<T>& value, E expectedValue)
        : Row(rowName, static_cast<double>(value.load()), static_cast<double>(expectedValue)) {}
    Row(const char* rowName, double value, double expectedValue)
        : name(rowName), actual(value), expected(expectedValue) {}

    const char* name;
    double actual;
    double expected;
};

void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(row.actual, row.expected) << row.name;
    }
}

std::optional<platform::SettingValue> Stored(const char* section, const char* name) {
    return platform::AppSettings().Get(section, name);
}

std::uint32_t StoredInt(const char* section, const char* name) {
    const auto value = Stored(section, name);
    return value && std::holds_alternative<std::uint32_t>(*value) ? std::get<std::uint32_t>(*value)
                                                                  : 0xDEADBEEFU;
}

std::string StoredText(const char* section, const char* name) {
    const auto value = Stored(section, name);
    return value && std::holds_alternative<std::string>(*value) ? std::get<std::string>(*value)
                                                                : "<none>";
}

std::wstring LabelText(unsigned id) {
    return L"#" + std::to_wstring(id);
}

// A settings file, a documents folder and a working folder of the test's
// own, installed as the program's for the test.
class SettingsLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        documents_ = root_ / "docs";
        fs::create_directories(documents_);
        fs::create_directories(root_ / "work");
        previousFolder_ = fs::current_path();
        fs::current_path(root_ / "work");
        core::g_documentsFolder = documents_.wstring() + L"/";
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(root_ / "settings"));
        core::SetStringProvider(nullptr);
        recorder::g_bEnlOn = false;
    }

    void TearDown() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(fs::path{}));
        core::SetStringProvider(nullptr);
        fs::current_path(previousFolder_);
    }

    static platform::SettingsStore& Store() { return platform::AppSettings(); }

    void MakeFile(const fs::path& path) const {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }

    const test_support::ScratchFolder scratch_{"kv_loader"};
    const fs::path& root_ = scratch_.Path();
    fs::path documents_;
    fs::path previousFolder_;
};

std::vector<Row> BuiltInDefaults() {
    return {
        {"updateTaskFinishGate", nav::g_updateTaskFinishGate, 0},
        {"AutoZoomWaypoint", core::g_autoZoomWaypoint, 0},
        {"speedDirector", core::g_speedDirector, 0},
        {"useDEMinfo", glide::g_useDemInfo, 1},
        {"useConstantGlideSpeed", glide::g_useConstantGlideSpeed, 0},
        {"useMCRforAlt", glide::g_useMcrForAlt, 0},
        {"EnableHardwareKeys", frame::g_enableHardwareKeys, 1},
        {"ArrowKeysToDest", frame::g_arrowKeysToDest, 0},
        {"ShowAltitudeDifference", glide::g_showAltitudeDifference, 0},
        {"ShowAltitudeDifferenceInGOTO", glide::g_showAltitudeDifferenceInGoto, 0},
        {"AutodetectRadius", glide::g_autodetectRadius, 0.5F},
        {"GearWarnAt", core::g_gearWarnAt, 700.0F},
        {"mapBold", map::g_mapBold, 0},
        {"baseSize", glide::g_baseSize, 20},
        {"baseMapSize", map::g_baseMapSize, 10},
        {"baseListSize", glide::g_baseListSize, 16},
        {"goLeft", frame::g_goLeft, 'L'},
        {"goRight", frame::g_goRight, 'R'},
        {"makeInitPosFromLast", core::g_makeInitPosFromLast, 1},
        {"macReadyManualDef", glide::g_macCreadyManualDefault, 1.0F},
        {"MacCready in use", core::g_macCready, 1.0F},
        // 1.30 km over 6371 km, in floats.
        {"minMapZoneRadiusMargin", nav::g_minMapZoneRadiusMargin, 0.00020404958922881633},
        {"GOTOtoMaxAATpt", core::g_gotoToMaxAatPoint, 0},
        {"speedDirectorTolerance", core::g_speedDirectorTolerance, 1.0F},
        {"altTEcompFactor", glide::g_altTeCompFactor, 0.0F},
        // The built-in position comes back as its "%.6lf" text rounds it.
        {"InitLatitude", core::g_initLatitude, 38.500128 * kRadiansPerDegree},
        {"InitLongitude", core::g_initLonWest, 119.794016 * kRadiansPerDegree},
        {"averageNthermals", glide::g_averageNthermals, 3},
        {"thermal average decay", glide::g_thermalAverageDecay, static_cast<float>(std::exp(-0.5))},
        {"initCirclesMacCready", glide::g_initCirclesMacCready, 3},
        {"autoMacCready", core::g_autoMacCready, 1},
        {"autoSetMacCready", core::g_autoSetMacCready, 0},
        {"timeInMinutes", gps::g_timeInMinutes, 0},
        {"thermalSearchTime", gps::g_thermalSearchTime, 11.0F / 3600.0F},
        {"autoZoom", core::g_autoZoom, 1},
        {"showAverage", glide::g_showAverage, 0},
        {"QueueFIFO", nav::g_queueFifo, 1},
        {"MaxNumDestinations", nav::g_maxNumDestinations, 6},
        {"ShowWhileCircling", glide::g_showWhileCircling, 0},
        {"PatternAltitude", glide::g_patternAltitude, 1000.0F},
        {"GroundClearAltitude", glide::g_groundClearAltitude, 500.0F},
        {"FileReplayInterval", recorder::g_fileReplayInterval, 4},
        {"AltString", glide::g_altString, 0},
        {"AltStringCycling", glide::g_altStringCycling, 0},
        {"TOGstring", core::g_togString, 1},
        {"LonLatString", glide::g_lonLatString, 0},
        {"WindCorrection", core::g_windCorrection, 0},
        {"VarioString", glide::g_varioString, 0},
        {"Dist", core::g_unitDist, 0},
        {"Speed", core::g_unitSpeed, 0},
        {"Vario", core::g_unitVario, 0},
        {"Alt", core::g_unitAlt, 0},
        {"second altitude unit", core::g_unitAlt2, 0},
        {"Pressure", core::g_unitPressure, 0},
        {"MinimumMapRotationAngle", core::g_minimumMapRotationAngle, 30.0F},
        {"AllowRotationToTOG", core::g_allowRotationToTog, 1},
        {"TimeOffset", gps::g_timeOffset, 0.0F},
        {"UseUTM", core::g_useUtm, 0},
        {"DecimalMinutes", core::g_decimalMinutes, 0},
        {"Variation", core::g_variation, 0.0},
        {"UseGPSvariation", core::g_useGpsVariation, 1},
        {"variation in use", core::g_magneticVariation, 0.0},
        {"EarthRadius", core::g_earthRadius, 6371.0},
        {"MinCirclingRate", gps::g_minCirclingRate, 8.0F * 3600.0F},
        {"ScreenUpdates", core::g_screenUpdates, 2.0F / 3600.0F},
        {"exactSuaCheck", map::g_exactSuaCheck, 0},
        {"PressureAltForZones", map::g_pressureAltForZones, 0},
        {"ShowEnlarged", map::g_showEnlarged, 0},
        {"transitionAltitude", core::g_transitionAltitude, 18000.0F},
        {"AltGuardAbove", map::g_altGuardAbove, 0.0F},
        {"AltGuardBelow", map::g_altGuardBelow, 0.0F},
        {"HorGuard", map::g_horGuardNm, 0.0F},
        {"DiskWarning", recorder::g_diskWarning, 1000},
        {"SaveDroppedWpts", nav::g_saveDroppedWpts, 1},
        {"LogFormat", core::g_logFormat, 1},
        {"LogSpeedTrack", core::g_logSpeedTrack, 1},
        {"LogInterval", core::g_logInterval, 1},
        {"log trigger", core::g_logDataOn, 1},
        {"lookAtComErrors", core::g_lookAtComErrors, 1},
        {"PermanentSUAalarmOff", map::g_permanentSuaAlarmOff, 0},
        {"PermanentSUAalarmOffnoDisplay", map::g_permanentSuaAlarmOffNoDisplay, 0},
        {"Sirf_GGA", gps::g_sirfGga, 0},
        {"GeoidSeparation", core::g_geoidSeparation, 0.0F},
        {"TrackCacheSaveInterval", core::g_trackCacheSaveInterval, 3},
        {"TrackCacheLength", core::g_trackCacheLength, 8000},
        {"InitCircles", core::g_initCircles, 1},
        {"circle counter", glide::g_circleCounter, -2},
        {"ShowMapInThermalMode", map::g_showMapInThermalMode, 0},
        {"MapRadius", map::g_mapRadius, 16.0F},
        {"FXA", core::g_fxa, 10.0F},
        {"POSTradius", nav::g_postRadius, 1.609F},
        {"resetClock", nav::g_resetClock, 0},
        {"startEndCheckpointDirection", nav::g_startEndCheckpointDirection, 1},
        {"insertPOSTatFinish", nav::g_insertPostAtFinish, 0},
        {"engine-noise sensor on", recorder::g_bEnlOn, 0},
    };
}

TEST_F(SettingsLoaderTest, EmptyStoreGivesBuiltInDefaultsAndSettlesFirstRun) {
    app::LoadSettings(nullptr);

    ExpectRows(BuiltInDefaults());
    EXPECT_NE(core::g_initLatitude, core::kBuiltInLatitude);  // rounded by the text
    EXPECT_EQ(core::g_fontFamily.Get(), L"Arial");

    // Unstored UTM values come back with six decimals.
    const core::UtmParameters utm = core::GetUtmParameters();
    EXPECT_EQ(utm.CenterScaleFactor(), 0.9996);
    EXPECT_EQ(utm.Eccentricity(), 0.081819);
    EXPECT_EQ(utm.InverseFlattening(), 298.257224);
    EXPECT_EQ(utm.SemiMajorAxis(), 6378137.0);
    EXPECT_NEAR(utm.MetresPerDegree(), 111132.95, 0.01);

    EXPECT_EQ(StoredInt(kMisc, "UseGPSvariation"), 1U);
    EXPECT_EQ(StoredText(kMisc, "Variation"), "0.0");
    EXPECT_EQ(StoredInt("Performance", "LastMaxProcessTime"), 0U);
    EXPECT_EQ(StoredInt("Performance", "MaxProcessTime"), 0U);
}

TEST_F(SettingsLoaderTest, EdgeCasesFollowTheRulesAndNothingBreaksStartUp) {
    platform::SettingsStore& store = Store();
    const std::vector<std::uint8_t> eightBytes(8, 0x11);
    store.WriteInt("Options\\Thermals", "averageNthermals", 0);
    store.WriteInt("Settings", "VarioString", 4);
    store.WriteInt("Settings", "LonLatString", 3);
    store.WriteInt("Settings", "WindCorrection", 1);
    store.WriteInt("Settings", "AutodetectRadius", 125);
    store.WriteInt("Settings", "GearWarnAt", static_cast<std::uint32_t>(-1000));
    store.WriteInt(kMisc, "PatternAltitude", 0xFFFFFFFFU);  // unsigned: 4294967295 ft
    store.WriteInt(kMisc, "TimeOffset", static_cast<std::uint32_t>(-5));
    store.WriteInt(kMisc, "TimeOffset1", static_cast<std::uint32_t>(-5));
    store.WriteInt(kMisc, "MaxNumDestinations", 40);
    store.WriteString(kMisc, "macReadyManualDef", std::string_view("x1"));
    store.WriteString(kMisc, "EarthRadius", std::string_view(""));
    store.WriteString(kMisc, "InitLatitude", std::string_view("-33.5"));
    store.WriteString(kMisc, "InitLongitude", std::string_view("-151.25"));
    store.WriteString(kMisc, "Variation", std::string_view("370"));
    store.WriteInt(kMisc, "UseGPSvariation", 0);
    store.WriteInt("Settings\\Vario", "autoMacCready", 0);
    store.WriteInt("Settings", "autoSetMacCready", 1);
    store.WriteInt("Options\\Units", "Dist", 7);
    store.WriteInt("Options\\Units", "Speed", 2);
    store.WriteInt("Options\\Units", "Alt", 1);
    store.WriteInt("Options\\Fonts", "goLeft", 0x10041);
    store.WriteBinary("Options\\Logging", "LogInterval", eightBytes);
    store.WriteBinary("Options\\Maps", "MapRadius", eightBytes);
    store.WriteInt("Options\\Maps", "TrackCacheLength", 0xFFFFFFFFU);
    store.WriteInt("Options\\Maps", "InitCircles", 3);
    store.WriteString("Settings\\Tasks", "minMapZoneRadiusMargin", std::string_view("2.5"));
    store.WriteString("Settings\\Tasks", "POSTradius", std::string_view("abc"));
    store.WriteString("Settings\\Winds", "MinCirclingRate", std::string_view("1e300"));
    store.WriteString("Settings\\AlarmZones", "HorGuard", std::string_view("1.5"));
    store.WriteInt("Options\\NMEA", "GeoidSeparation", static_cast<std::uint32_t>(-60));
    store.WriteInt("Performance", "MaxProcessTime", 1234);

    app::LoadSettings(nullptr);

    ExpectRows({
        {"averageNthermals below 1", glide::g_averageNthermals, 1},
        {"decay for one thermal", glide::g_thermalAverageDecay, 0.0F},
        {"VarioString 4", glide::g_varioString, 0},
        {"LonLatString 3 with VarioString 0", glide::g_lonLatString, 1},
        {"AutodetectRadius hundredths", glide::g_autodetectRadius, 1.25F},
        {"GearWarnAt signed", core::g_gearWarnAt, -1000.0F},
        {"PatternAltitude unsigned", glide::g_patternAltitude, 4294967295.0F},
        {"GroundClearAltitude half the pattern", glide::g_groundClearAltitude, 2147483648.0F},
        {"TimeOffset plus tenths", gps::g_timeOffset, -5.5F},
        {"MaxNumDestinations beyond the queue", nav::g_maxNumDestinations, 6},
        {"macReadyManualDef without a number", glide::g_macCreadyManualDefault, 1.0F},
        {"MacCready in use", core::g_macCready, 1.0F},
        {"empty EarthRadius", core::g_earthRadius, 6371.0},
        {"InitLatitude", core::g_initLatitude, -33.5 * kRadiansPerDegree},
        {"InitLongitude", core::g_initLonWest, -151.25 * kRadiansPerDegree},
        {"Variation 370", core::g_variation, 10.0},
        {"variation in use", core::g_magneticVariation, 10.0},
        {"UseGPSvariation stored", core::g_useGpsVariation, 0},
        {"autoSetMacCready without autoMacCready", core::g_autoSetMacCready, 0},
        {"Dist beyond its table", core::g_unitDist, 0},
        {"Speed", core::g_unitSpeed, 2},
        {"second altitude unit", core::g_unitAlt2, 1},
        {"goLeft in 16 bits", frame::g_goLeft, 'A'},
        {"8-byte LogInterval", core::g_logInterval, 1},
        {"8-byte MapRadius", map::g_mapRadius, 16.0F},
        {"TrackCacheLength -1", core::g_trackCacheLength, 8000},
        {"circle counter", glide::g_circleCounter, -4},
        {"minMapZoneRadiusMargin", nav::g_minMapZoneRadiusMargin, 2.5F / 6371.0F},
        {"POSTradius without a number", nav::g_postRadius, 1.609F},
        {"MinCirclingRate beyond a float", gps::g_minCirclingRate, 8.0F * 3600.0F},
        {"HorGuard", map::g_horGuardNm, 1.5F},
        {"GeoidSeparation signed", core::g_geoidSeparation, -60.0F},
    });
    EXPECT_EQ(StoredText(kMisc, "Variation"), "370");  // a stored choice is not rewritten
    EXPECT_EQ(StoredInt("Performance", "LastMaxProcessTime"), 1234U);
    EXPECT_EQ(StoredInt("Performance", "MaxProcessTime"), 0U);
}

// "Variation" and "UseGPSvariation" as stored (nullopt: not stored).
struct VariationCase {
    std::optional<std::string> variation;
    std::optional<std::uint32_t> useGpsVariation;
    double expectedVariation;
    int expectedUseGps;
    std::string storedVariationAfter;
};

// Test names show the stored values instead of the case's bytes.
void PrintTo(const VariationCase& c, std::ostream* out) {
    *out << "Variation " << c.variation.value_or("<none>") << ", UseGPSvariation "
         << (c.useGpsVariation ? std::to_string(*c.useGpsVariation) : "<none>");
}

class VariationTest : public SettingsLoaderTest,
                      public ::testing::WithParamInterface<VariationCase> {};

TEST_P(VariationTest, IsSettledAndBroughtIntoRange) {
    const VariationCase& c = GetParam();
    if (c.variation) Store().WriteString(kMisc, "Variation", std::string_view(*c.variation));
    if (c.useGpsVariation) Store().WriteInt(kMisc, "UseGPSvariation", *c.useGpsVariation);

    app::LoadSettings(nullptr);

    EXPECT_EQ(core::g_variation, c.expectedVariation);
    EXPECT_EQ(core::g_magneticVariation, c.expectedVariation);
    EXPECT_EQ(core::g_useGpsVariation, c.expectedUseGps);
    EXPECT_EQ(StoredInt(kMisc, "UseGPSvariation"), static_cast<std::uint32_t>(c.expectedUseGps));
    EXPECT_EQ(StoredText(kMisc, "Variation"), c.storedVariationAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariationTest,
    ::testing::Values(
        // First run, manual value stored: it is kept and the GPS value is not used.
        VariationCase{"370", std::nullopt, 10.0, 0, "370"},
        // First run, a manual value below -180 counts as none.
        VariationCase{"-190", std::nullopt, 0.0, 1, "0.0"},
        // Unusable values count as not stored, and cannot hang the wrap.
        VariationCase{"inf", std::nullopt, 0.0, 1, "0.0"},
        VariationCase{"1e300", std::nullopt, 0.0, 1, "0.0"},
        VariationCase{"-1e7", std::nullopt, 0.0, 1, "0.0"},
        VariationCase{"east", std::nullopt, 0.0, 1, "0.0"},
        // With UseGPSvariation stored, no manual value wraps -999 like the
        // absent one does.
        VariationCase{"1e300", 0, 81.0, 0, "1e300"},
        VariationCase{std::nullopt, 0, 81.0, 0, "<none>"}, VariationCase{"540", 1, 180.0, 1, "540"},
        VariationCase{"-540", 1, -180.0, 1, "-540"},
        VariationCase{"12.5abc", 1, 12.5, 1, "12.5abc"}));

TEST_F(SettingsLoaderTest, NumbersKeepTheirCFormUnderACommaLocale) {
    const test_support::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    Store().WriteString(kMisc, "InitLatitude", std::string_view("-33.5"));
    Store().WriteString("Options\\Maps", "MapRadius", std::string_view("12.25"));

    app::LoadSettings(nullptr);

    ExpectRows({
        {"InitLatitude", core::g_initLatitude, -33.5 * kRadiansPerDegree},
        {"MapRadius", map::g_mapRadius, 12.25F},
        // Defaults are written and read back through their texts.
        {"InitLongitude", core::g_initLonWest, 119.794016 * kRadiansPerDegree},
        {"minMapZoneRadiusMargin", nav::g_minMapZoneRadiusMargin, 0.00020404958922881633},
        {"POSTradius", nav::g_postRadius, 1.609F},
        {"Eccentricity", core::GetUtmParameters().Eccentricity(), 0.081819},
    });
    EXPECT_EQ(StoredText(kMisc, "Variation"), "0.0");
}

TEST_F(SettingsLoaderTest, DataFilesAreSearchedInOrderIgnoringCase) {
    const fs::path inProgramFolder = documents_ / "KOR_VAN WinCE" / "korvn!at.wav";
    const fs::path inDocuments = documents_ / "KORVN!AT.WAV";
    const fs::path inWorkingFolder = root_ / "work" / "korvn!at.wav";
    MakeFile(inProgramFolder);
    MakeFile(inDocuments);
    MakeFile(inWorkingFolder);

    EXPECT_EQ(app::ResolveDataFilePath(L"korvn!at.wav"), inProgramFolder.wstring());
    fs::remove(inProgramFolder);
    EXPECT_EQ(app::ResolveDataFilePath(L"korvn!at.wav"), inDocuments.wstring());
    fs::remove(inDocuments);
    EXPECT_EQ(app::ResolveDataFilePath(L"korvn!at.wav"), L"korvn!at.wav");
    fs::remove(inWorkingFolder);
    EXPECT_EQ(app::ResolveDataFilePath(L"korvn!at.wav"), std::nullopt);
}

TEST_F(SettingsLoaderTest, SoundPathsAndFoldersComeFromWhereTheFilesAre) {
    const fs::path alarm = documents_ / "KOR_VAN WinCE" / "korvn!lt.wav";
    MakeFile(alarm);
    MakeFile(documents_ / "fl00#!b.wav");
    MakeFile(root_ / "work" / "korvn!gw.wav");

    app::LoadSettings(nullptr);

    EXPECT_EQ(core::g_soundPathLt.Get(), alarm.wstring());
    EXPECT_EQ(core::g_soundFolder.Get(), (documents_ / "KOR_VAN WinCE").wstring() + L"/");
    EXPECT_EQ(core::g_soundPathFlarm.Get(), (documents_ / "fl00#!b.wav").wstring());
    EXPECT_EQ(core::g_flarmSoundFolder.Get(), documents_.wstring() + L"/");
    EXPECT_EQ(core::g_soundPathGw.Get(), L"korvn!gw.wav");
    EXPECT_EQ(core::g_soundPathAt.Get(), L"");  // found nowhere
}

TEST_F(SettingsLoaderTest, SoundFolderOfAFileInTheWorkingFolderIsEmpty) {
    MakeFile(root_ / "work" / "korvn!lt.wav");
    app::LoadSettings(nullptr);
    EXPECT_EQ(core::g_soundPathLt.Get(), L"korvn!lt.wav");
    EXPECT_EQ(core::g_soundFolder.Get(), L"");
}

TEST_F(SettingsLoaderTest, EngineNoiseSensorStartsOnlyWithItsSettingsFile) {
    const recorder::testing::ScopedFeed sound;
    app::LoadSettings(nullptr);
    EXPECT_FALSE(recorder::g_bEnlOn);

    MakeFile(documents_ / "enlset.TXT");
    app::LoadSettings(nullptr);
    EXPECT_TRUE(recorder::g_bEnlOn);

    // Without a sound device the sensor stays off.
    recorder::SetCaptureSourceFactory([] { return recorder::MakeAlsaCapture("kv_none"); });
    app::LoadSettings(nullptr);
    EXPECT_FALSE(recorder::g_bEnlOn);
    EXPECT_TRUE(recorder::g_engineNoiseSensor.Close(150));
}

TEST_F(SettingsLoaderTest, PositionTextLabelsComeFromTheStringTable) {
    core::SetStringProvider(&LabelText);
    app::LoadSettings(nullptr);
    EXPECT_EQ(glide::g_positionTextLabels[0].Get(), L"#2548");
    EXPECT_EQ(glide::g_positionTextLabels[1].Get(), L"#2549");
    EXPECT_EQ(glide::g_positionTextLabels[2].Get(), L"#2547");
}

}  // namespace
