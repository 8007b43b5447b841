#include "app/settings_loader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>

#include "app/data_file_path.h"
#include "app/settings_rules.h"
#include "app/sound_files.h"
#include "core/settings_reader.h"
#include "core/settings_values.h"
#include "core/utm.h"
#include "frame/position_view.h"
#include "frame/settings_values.h"
#include "glide/polar.h"
#include "glide/settings_values.h"
#include "gps/compass_settings.h"
#include "gps/settings_values.h"
#include "gps/wind_settings.h"
#include "map/map_module.h"
#include "map/map_view.h"
#include "map/settings_values.h"
#include "nav/current_position.h"
#include "nav/settings_values.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/utf.h"
#include "recorder/engine_noise_sensor.h"
#include "recorder/flarm_sounds.h"
#include "recorder/settings_values.h"
#include "resources/ids/strings.h"
#include "services/flarm_library.h"
#include "services/module_services.h"
#include "services/string_resources.h"
#include "services/track_cache.h"
#include "texts/display_texts.h"

// Each read below passes the value's built-in default; numbers stored as
// text pass it in the format the option pages write them with.

namespace app {

using core::SettingsReader;
namespace {

constexpr std::string_view kSettings = "Settings";
constexpr std::string_view kTasks = "Settings\\Tasks";
constexpr std::string_view kVario = "Settings\\Vario";
constexpr std::string_view kWinds = "Settings\\Winds";
constexpr std::string_view kAlarmZones = "Settings\\AlarmZones";
constexpr std::string_view kMisc = "Options\\Miscellaneous";
constexpr std::string_view kKeyMap = "Options\\KeyMap";
constexpr std::string_view kFonts = "Options\\Fonts";
constexpr std::string_view kThermals = "Options\\Thermals";
constexpr std::string_view kUnits = "Options\\Units";
constexpr std::string_view kMaps = "Options\\Maps";
constexpr std::string_view kLogging = "Options\\Logging";
constexpr std::string_view kNmea = "Options\\NMEA";
constexpr std::string_view kUtm = "Options\\UTM";
constexpr std::string_view kIgcHeaders = "IGCHeaders";
constexpr std::string_view kPerformance = "Performance";

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr float kSphereRadiusKm = 6371.0F;  // the sphere task-zone margins are measured on
constexpr int kUseGpsVariationNotStored = -10;
constexpr double kNoManualVariation = -999.0;

float ToFloat(std::uint32_t value) {
    return static_cast<float>(value);
}
float ToFloat(std::int32_t value) {
    return static_cast<float>(value);
}

int InRangeOr(int value, int low, int high, int fallback) {
    return value >= low && value <= high ? value : fallback;
}

// Key codes are kept in 16-bit characters.
char16_t KeyCode(std::uint32_t value) {
    return static_cast<char16_t>(value & 0xFFFFU);
}

void ResetPositionRecords() {
    nav::ResetCurrentPosition(core::kBuiltInLatitude, core::kBuiltInLonWest);
    nav::SetDestinationToCurrentPosition(L"Start");
}

void ReadTaskGateAndStartMap(const SettingsReader& r) {
    nav::g_updateTaskFinishGate = r.Int(kTasks, "updateTaskFinishGate", 0);
    core::g_autoZoomWaypoint = r.Int(kSettings, "AutoZoomWaypoint", 0);
    map::LoadMapIconTable();
}

void ReadGlideSwitches(const SettingsReader& r) {
    core::g_speedDirector = r.Int(kMisc, "speedDirector", 0);
    glide::g_useDemInfo = r.Int(kSettings, "useDEMinfo", 1);
    glide::g_useConstantGlideSpeed = r.Int(kSettings, "useConstantGlideSpeed", 0);
    glide::g_useMcrForAlt = r.Int(kSettings, "useMCRforAlt", 0);
    frame::g_enableHardwareKeys = r.Int(kKeyMap, "EnableHardwareKeys", 1);
    frame::g_arrowKeysToDest = r.Int(kSettings, "ArrowKeysToDest", 0);
    glide::g_showAltitudeDifference = r.Int(kSettings, "ShowAltitudeDifference", 0);
    glide::g_showAltitudeDifferenceInGoto = r.Int(kSettings, "ShowAltitudeDifferenceInGOTO", 0);
    glide::g_autodetectRadius = ToFloat(r.Unsigned(kSettings, "AutodetectRadius", 50)) / 100.0F;
    core::g_gearWarnAt = ToFloat(r.Int(kSettings, "GearWarnAt", 700));
}

void ReadFonts(const SettingsReader& r) {
    map::g_mapBold = r.Int(kFonts, "mapBold", 0);
    glide::g_baseSize = r.Int(kFonts, "baseSize", 20);
    map::g_baseMapSize = r.Int(kFonts, "baseMapSize", 10);
    glide::g_baseListSize = r.Int(kFonts, "baseListSize", 16);
    core::g_fontFamily.Set(r.Text(kFonts, "Family", L"Arial"));
    frame::g_goLeft = KeyCode(r.Unsigned(kFonts, "goLeft", u'L'));
    frame::g_goRight = KeyCode(r.Unsigned(kFonts, "goRight", u'R'));
    core::g_makeInitPosFromLast = r.Int(kMisc, "makeInitPosFromLast", 1);
    frame::CreateViewFonts();
}

// "InitLatitude" / "InitLongitude" (degrees, stored "%.6lf", longitude
// positive west): the position texts and the current-position record.
void ReadInitialPosition(const SettingsReader& r) {
    const double builtInLatitude = core::kBuiltInLatitude * kDegreesPerRadian;
    const double builtInLonWest = core::kBuiltInLonWest * kDegreesPerRadian;
    double latitude = r.Double(kMisc, "InitLatitude", platform::FormatC("%.6lf", builtInLatitude),
                               builtInLatitude);
    double lonWest = r.Double(kMisc, "InitLongitude", platform::FormatC("%.6lf", builtInLonWest),
                              builtInLonWest);
    if (std::fabs(latitude) > 90.0) latitude = builtInLatitude;
    lonWest = IsSaneAngle(lonWest) ? NormaliseDegrees180(lonWest) : builtInLonWest;

    glide::SetLatitudeText(FormatDegreesMinutes(latitude, L'N', L'S'));
    glide::SetLongitudeText(FormatDegreesMinutes(lonWest, L'W', L'E'));
    core::g_initLatitude = latitude / kDegreesPerRadian;
    core::g_initLonWest = lonWest / kDegreesPerRadian;
    nav::MoveCurrentPosition(core::g_initLatitude, core::g_initLonWest);
}

void ReadGlideValuesAndPosition(const SettingsReader& r) {
    const float manualMacCready = r.Float(kMisc, "macReadyManualDef", "1.00", 1.0F);
    glide::g_macCreadyManualDefault = manualMacCready;
    core::g_macCready = manualMacCready;
    const float marginKm = r.Float(kTasks, "minMapZoneRadiusMargin", "1.30", 1.30F);
    nav::g_minMapZoneRadiusMargin = marginKm / kSphereRadiusKm;
    core::g_gotoToMaxAatPoint = r.Int(kTasks, "GOTOtoMaxAATpt", 0);
    core::g_speedDirectorTolerance = r.Float(kMisc, "speedDirectorTolerance", "1.00", 1.0F);
    glide::g_altTeCompFactor = r.Float(kSettings, "altTEcompFactor", "0.00", 0.0F);
    ReadInitialPosition(r);
}

void ReadThermals(const SettingsReader& r) {
    const int averageNthermals = std::max(r.Int(kThermals, "averageNthermals", 3), 1);
    glide::g_averageNthermals = averageNthermals;
    glide::g_thermalAverageDecay = ThermalAverageDecay(averageNthermals);
    glide::g_initCirclesMacCready = r.Int(kVario, "initCirclesMacCready", 3);
    const int autoMacCready = r.Int(kVario, "autoMacCready", 1);
    core::g_autoMacCready = autoMacCready;
    core::g_autoSetMacCready = autoMacCready != 0 ? r.Int(kSettings, "autoSetMacCready", 0) : 0;
    gps::g_timeInMinutes = r.Int(kMisc, "timeInMinutes", 0);
    gps::g_thermalSearchTime = ToFloat(r.Unsigned(kThermals, "thermalSearchTime", 11)) / 3600.0F;
    core::g_autoZoom = r.Int(kThermals, "autoZoom", 1);
    glide::g_showAverage = r.Int(kThermals, "showAverage", 0);
}

void ReadQueueAndPositionPage(const SettingsReader& r) {
    nav::g_queueFifo = r.Int(kMisc, "QueueFIFO", 1);
    // The queue has room for 16 destinations.
    nav::g_maxNumDestinations = InRangeOr(r.Int(kMisc, "MaxNumDestinations", 6), 1, 16, 6);
    glide::g_showWhileCircling = r.Int(kMisc, "ShowWhileCircling", 0);
    const float patternAltitude = ToFloat(r.Unsigned(kMisc, "PatternAltitude", 1000));
    glide::g_patternAltitude = patternAltitude;
    glide::g_groundClearAltitude = ToFloat(
        r.Unsigned(kMisc, "GroundClearAltitude", static_cast<std::uint32_t>(patternAltitude / 2)));
    recorder::g_fileReplayInterval = r.Int(kMisc, "FileReplayInterval", 4);

    glide::g_altString = r.Int(kSettings, "AltString", 0);
    glide::g_altStringCycling = r.Int(kSettings, "AltStringCycling", 0);
    core::g_togString = r.Int(kSettings, "TOGstring", 1);
    int lonLatString = r.Int(kSettings, "LonLatString", 0);
    if (lonLatString == 2) lonLatString = 0;
    core::g_windCorrection = r.Int(kSettings, "WindCorrection", 0);
    int varioString = r.Int(kSettings, "VarioString", 0);
    if (varioString == 4) varioString = 0;
    if (varioString == 0 && lonLatString == 3) lonLatString = 1;
    glide::g_lonLatString = lonLatString;
    glide::g_varioString = varioString;
    glide::SetDestinationSeparator(core::g_windCorrection != 0 ? L'>' : L':');
}

// A unit index outside its table would make every later lookup read past
// it; such an index leaves the unit at 0.
int ReadUnit(const SettingsReader& r, std::string_view name, int highest) {
    return InRangeOr(r.Int(kUnits, name, 0), 0, highest, 0);
}

void ReadUnits(const SettingsReader& r) {
    core::g_unitDist = ReadUnit(r, "Dist", core::kMaxUnitDist);
    core::g_unitSpeed = ReadUnit(r, "Speed", core::kMaxUnitSpeed);
    core::g_unitVario = ReadUnit(r, "Vario", core::kMaxUnitVario);
    core::g_unitAlt = ReadUnit(r, "Alt", core::kMaxUnitAlt);
    core::g_unitAlt2 = core::g_unitAlt.load();
    core::g_unitPressure = ReadUnit(r, "Pressure", core::kMaxUnitPressure);
    glide::SetOlcDistanceText(L"D: 0" + std::wstring(core::DistanceUnitName(core::g_unitDist)));
}

// "Variation" and "UseGPSvariation". On the first run (no "UseGPSvariation")
// the GPS variation is used unless a manual one was stored, and the choice
// is written back. An unusable stored variation counts as none stored.
void ReadVariation(const SettingsReader& r) {
    double variation = r.Double(kMisc, "Variation", "-999", kNoManualVariation);
    if (!IsSaneAngle(variation)) variation = kNoManualVariation;
    int useGpsVariation = r.Int(kMisc, "UseGPSvariation", kUseGpsVariationNotStored);
    if (useGpsVariation == kUseGpsVariationNotStored) {
        useGpsVariation = variation < -180.0 ? 1 : 0;
        r.Store().WriteInt(kMisc, "UseGPSvariation", static_cast<std::uint32_t>(useGpsVariation));
        if (useGpsVariation == 1) {
            variation = 0.0;
            r.Store().WriteString(kMisc, "Variation", std::string_view("0.0"));
        }
    }
    variation = NormaliseDegrees180(variation);
    core::g_useGpsVariation = useGpsVariation;
    core::g_variation = variation;
    core::g_magneticVariation = variation;
}

void ReadRotationTimeAndVariation(const SettingsReader& r) {
    core::g_minimumMapRotationAngle = ToFloat(r.Unsigned(kMaps, "MinimumMapRotationAngle", 30));
    core::g_allowRotationToTog = r.Int(kMaps, "AllowRotationToTOG", 1);
    const float hours = ToFloat(r.Int(kMisc, "TimeOffset", 0));
    gps::g_timeOffset = hours + ToFloat(r.Int(kMisc, "TimeOffset1", 0)) / 10.0F;
    core::g_useUtm = r.Int(kMisc, "UseUTM", 0);
    core::g_decimalMinutes = r.Int(kMisc, "DecimalMinutes", 0);
    ReadVariation(r);
    core::g_earthRadius = r.Double(kMisc, "EarthRadius", "6371.0", 6371.0);
    gps::g_minCirclingRate = r.Float(kWinds, "MinCirclingRate", "8", 8.0F) * 3600.0F;
    core::g_screenUpdates = r.Float(kSettings, "ScreenUpdates", "2.0", 2.0F) / 3600.0F;
}

void ReadAlarmZonesLoggingAndNmea(const SettingsReader& r) {
    map::g_exactSuaCheck = r.Int(kAlarmZones, "exactSuaCheck", 0);
    map::g_pressureAltForZones = r.Int(kAlarmZones, "PressureAltForZones", 0);
    map::g_showEnlarged = r.Int(kAlarmZones, "ShowEnlarged", 0);
    core::g_transitionAltitude = r.Float(kAlarmZones, "transitionAltitude", "18000.0", 18000.0F);
    map::g_altGuardAbove = r.Float(kAlarmZones, "AltGuardAbove", "0.0", 0.0F);
    map::g_altGuardBelow = r.Float(kAlarmZones, "AltGuardBelow", "0.0", 0.0F);
    map::g_horGuardNm = r.Float(kAlarmZones, "HorGuard", "0.00000", 0.0F);

    recorder::g_diskWarning = r.Int(kLogging, "DiskWarning", 1000);
    nav::g_saveDroppedWpts = r.Int(kLogging, "SaveDroppedWpts", 1);
    core::g_logFormat = r.Int(kLogging, "LogFormat", 1);
    core::g_logSpeedTrack = r.Int(kLogging, "LogSpeedTrack", 1);
    core::g_logInterval = r.Int(kLogging, "LogInterval", 1);
    core::g_logDataOn = 1;

    core::g_lookAtComErrors = r.Int(kNmea, "lookAtComErrors", 1);
    map::g_permanentSuaAlarmOff = r.Int(kAlarmZones, "PermanentSUAalarmOff", 0);
    map::g_permanentSuaAlarmOffNoDisplay = r.Int(kAlarmZones, "PermanentSUAalarmOffnoDisplay", 0);
    gps::g_sirfGga = r.Int(kNmea, "Sirf_GGA", 0);
    core::g_geoidSeparation = ToFloat(r.Int(kNmea, "GeoidSeparation", 0));
}

// "Options\UTM": each value's default is its built-in value printed "%lf"
// (six decimals), so an unstored value comes back rounded.
void ReadUtm(const SettingsReader& r) {
    const core::UtmParameters builtIn;
    const auto read = [&r](std::string_view name, double value) {
        return r.Double(kUtm, name, platform::FormatC("%lf", value), value);
    };
    const double centerScaleFactor = read("CenterScaleFactor", builtIn.CenterScaleFactor());
    const double eccentricity = read("Eccentricity", builtIn.Eccentricity());
    const double inverseFlattening = read("InverseFlattening", builtIn.InverseFlattening());
    const double semiMajorAxis = read("SemiMajorAxis", builtIn.SemiMajorAxis());
    core::SetUtmParameters(
        core::UtmParameters(centerScaleFactor, eccentricity, inverseFlattening, semiMajorAxis));
}

void ReadMapAndTrackCache(const SettingsReader& r) {
    core::g_trackCacheSaveInterval = r.Int(kMaps, "TrackCacheSaveInterval", 3);
    // The same bounds as the map options allow; a length beyond them is not
    // something the cache should try to allocate.
    core::g_trackCacheLength = InRangeOr(r.Int(kMaps, "TrackCacheLength", 8000), 1, 100000, 8000);
    const int initCircles = r.Int(kMaps, "InitCircles", 1);
    core::g_initCircles = initCircles;
    glide::g_circleCounter = -1 - initCircles;
    map::g_showMapInThermalMode = r.Int(kMaps, "ShowMapInThermalMode", 0);
    map::g_mapRadius = r.Float(kMaps, "MapRadius", "16.000000", 16.0F);
    core::TrackCacheAlloc();
    map::LimitTrackPoints(core::g_trackCacheLength);
}

void ReadFxaAndLoadOtherSettings(const SettingsReader& r) {
    core::g_fxa = ToFloat(r.Unsigned(kIgcHeaders, "FXA", 10));
    map::BuildSinCosTable();
    glide::LoadPolarSettings();
    gps::LoadCompassSettings();
    gps::LoadWindSettings();
    ResolveSoundFiles();
}

// Each run measures the longest position update afresh; the last run's
// figure is kept as "LastMaxProcessTime".
void RestartProcessTimeAndLoadLabels(const SettingsReader& r) {
    const auto currentMax = static_cast<std::uint32_t>(glide::g_processTimeMax.load());
    const std::uint32_t lastMax = r.Unsigned(kPerformance, "MaxProcessTime", currentMax);
    r.Store().WriteInt(kPerformance, "LastMaxProcessTime", lastMax);
    r.Store().WriteInt(kPerformance, "MaxProcessTime", currentMax);
    constexpr std::array<unsigned, 3> kLabelIds{ids::kIdsTaskLabel, ids::kIdsLegLabel,
                                                ids::kIdsRestLabel};
    for (std::size_t i = 0; i < kLabelIds.size(); ++i) {
        glide::g_positionTextLabels[i].Set(core::LoadResourceString(kLabelIds[i]));
    }
}

void ReadTaskOptionsAndSetFlarmSounds(const SettingsReader& r) {
    nav::g_postRadius = r.Float(kTasks, "POSTradius", "1.609000", 1.609F);
    nav::g_resetClock = r.Int(kTasks, "resetClock", 0);
    nav::g_startEndCheckpointDirection = r.Int(kTasks, "startEndCheckpointDirection", 1);
    nav::g_insertPostAtFinish = r.Int(kTasks, "insertPOSTatFinish", 0);
    if (FlarmPresent()) recorder::SetSoundPaths(core::g_flarmSoundFolder.Get());
}

// The sensor reads its filter settings from "ENLset.txt" while it starts;
// the file's presence is what switches the sensor on.
void StartEngineNoiseSensorWhenSet(void* mainWindow) {
    const std::filesystem::path path =
        platform::ResolveDataFilePath(platform::ToUtf8(core::g_documentsFolder + L"ENLset.txt"));
    const UniqueFile file(std::fopen(path.c_str(), "r"));
    if (file == nullptr) return;
    // On only when capture began: a log never declares ENL nobody measures.
    recorder::g_bEnlOn = recorder::StartEngineNoiseSensor(mainWindow, file.get());
}

}  // namespace

void LoadSettings(platform::SettingsStore& store, void* mainWindow) {
    const SettingsReader reader(store);
    ResetPositionRecords();
    ReadTaskGateAndStartMap(reader);
    ReadGlideSwitches(reader);
    ReadFonts(reader);
    ReadGlideValuesAndPosition(reader);
    ReadThermals(reader);
    ReadQueueAndPositionPage(reader);
    ReadUnits(reader);
    ReadRotationTimeAndVariation(reader);
    ReadAlarmZonesLoggingAndNmea(reader);
    ReadUtm(reader);
    ReadMapAndTrackCache(reader);
    ReadFxaAndLoadOtherSettings(reader);
    RestartProcessTimeAndLoadLabels(reader);
    ReadTaskOptionsAndSetFlarmSounds(reader);
    StartEngineNoiseSensorWhenSet(mainWindow);
}

void LoadSettings(void* mainWindow) {
    LoadSettings(platform::AppSettings(), mainWindow);
}

}  // namespace app
