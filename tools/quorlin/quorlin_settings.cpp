#include "tools/quorlin/quorlin_settings.h"

#include <cmath>
#include <string>

#include "platform/numbers.h"

namespace quorlin {
namespace {

constexpr char kE00[] = "E00Options";
constexpr char kColors[] = "colors";
constexpr char kSettings[] = "Settings";
constexpr char kLandCovers[] = "LandCovers";

int ReadInt(const platform::SettingsStore& s, const char* section, const std::string& name, int fallback) {
    return static_cast<int>(s.GetInt(section, name, static_cast<std::uint32_t>(fallback)));
}

float ReadFloat(const platform::SettingsStore& s, const char* section, const char* name, const char* fallback) {
    const std::string text = s.GetString(section, name, std::string(fallback));
    const auto value = platform::ScanFloat(text);
    if (value && std::isfinite(value->value)) return value->value;
    return platform::ScanFloat(std::string_view(fallback))->value;
}

bool WriteInt(platform::SettingsStore& s, const char* section, const std::string& name, int value) {
    return s.WriteInt(section, name, static_cast<std::uint32_t>(value));
}

std::string ColourKey(int index, int byte) { return platform::FormatC("c%d-%d", index, byte); }

std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

E00Options ResetE00Options() {
    E00Options o;
    o.quadSize = 2;
    o.lonLatLineValue = 100000.0f;
    return o;
}

LandCoverColours DefaultLandCoverColours() {
    constexpr std::array<Bgr, 15> kRgb{{{0, 255, 0},     {255, 128, 255}, {0, 128, 0},     {57, 175, 196},
                                        {128, 255, 255}, {255, 128, 0},   {128, 0, 64},    {0, 0, 128},
                                        {0, 0, 255},     {0, 64, 128},    {255, 0, 128},   {0, 128, 255},
                                        {213, 217, 170}, {255, 0, 0},     {192, 192, 192}}};
    LandCoverColours out{};
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = ToColorref(kRgb[i]);
    return out;
}

QuorlinOptions LoadQuorlinOptions(const platform::SettingsStore& s) {
    QuorlinOptions o;
    E00Options& e = o.e00;
    e.quadSize = ReadInt(s, kE00, "quadSize", 1);
    e.riversColor = ReadInt(s, kColors, "riversColor", 6);
    e.lakesColor = ReadInt(s, kColors, "lakesColor", 6);
    e.glaciersColor = ReadInt(s, kColors, "glaciersColor", 4);
    e.otherLakesColor = ReadInt(s, kColors, "otherLakesColor", 8);
    e.islandsColor = ReadInt(s, kColors, "islandsColor", 11);
    e.bndPoly = ReadInt(s, kE00, "bndPoly", 1);
    e.bndPolyType = ReadInt(s, kE00, "bndPolyType", 0);
    e.lonLatLineType = ReadInt(s, kE00, "lonLatLineType", 9);
    e.lonLatLineValue = ReadFloat(s, kE00, "lonLatLineValue", "99999.f");
    e.bndVal = ReadFloat(s, kE00, "bndVal", "0.f");
    for (int i = 0; i < 256; ++i) {
        // Colours past the levels default to the last level's colour read.
        const Bgr fallback = i < kLevelCount ? o.colours[static_cast<std::size_t>(i)] : o.colours[14];
        Bgr& c = o.colours[static_cast<std::size_t>(i)];
        c.blue = Byte(ReadInt(s, kColors, ColourKey(i, 0), fallback.blue));
        c.green = Byte(ReadInt(s, kColors, ColourKey(i, 1), fallback.green));
        c.red = Byte(ReadInt(s, kColors, ColourKey(i, 2), fallback.red));
    }
    o.thresholds = LoadThresholds(s, kDefaultThresholds);
    o.replaceMissing = ReadInt(s, kSettings, "replaceMissing", 0) != 0;
    o.replaceMissingValue = static_cast<std::int16_t>(ReadInt(s, kSettings, "replaceMissingValue", -2));
    for (std::size_t i = 0; i < o.landCovers.size(); ++i) {
        o.landCovers[i] = s.GetInt(kLandCovers, platform::FormatC("color%d", static_cast<int>(i)), o.landCovers[i]);
    }
    return o;
}

bool SaveE00Options(platform::SettingsStore& s, const E00Options& e) {
    bool ok = WriteInt(s, kColors, "islandsColor", e.islandsColor);
    ok = WriteInt(s, kColors, "lakesColor", e.lakesColor) && ok;
    ok = WriteInt(s, kColors, "otherLakesColor", e.otherLakesColor) && ok;
    ok = WriteInt(s, kColors, "riversColor", e.riversColor) && ok;
    ok = WriteInt(s, kColors, "glaciersColor", e.glaciersColor) && ok;
    ok = WriteInt(s, kE00, "bndPoly", e.bndPoly) && ok;
    ok = WriteInt(s, kE00, "bndPolyType", e.bndPolyType) && ok;
    ok = s.WriteString(kE00, "bndVal", platform::FormatC("%f", static_cast<double>(e.bndVal))) && ok;
    ok = WriteInt(s, kE00, "lonLatLineType", e.lonLatLineType) && ok;
    ok = s.WriteString(kE00, "lonLatLineValue", platform::FormatC("%f", static_cast<double>(e.lonLatLineValue))) && ok;
    ok = WriteInt(s, kE00, "quadSize", e.quadSize) && ok;
    return ok;
}

bool SaveColour(platform::SettingsStore& s, int index, Bgr c) {
    bool ok = WriteInt(s, kColors, ColourKey(index, 0), c.blue);
    ok = WriteInt(s, kColors, ColourKey(index, 1), c.green) && ok;
    return WriteInt(s, kColors, ColourKey(index, 2), c.red) && ok;
}

Thresholds LoadThresholds(const platform::SettingsStore& s, const Thresholds& current) {
    Thresholds t = current;
    for (int i = 0; i < kLevelCount; ++i) {
        t[static_cast<std::size_t>(i)] = ReadInt(s, kColors, platform::FormatC("tl%d", i), t[static_cast<std::size_t>(i)]);
    }
    return t;
}

bool SaveThresholds(platform::SettingsStore& s, const Thresholds& t) {
    bool ok = true;
    for (int i = 0; i < kLevelCount; ++i) {
        ok = WriteInt(s, kColors, platform::FormatC("tl%d", i), t[static_cast<std::size_t>(i)]) && ok;
    }
    return ok;
}

bool SaveReplaceMissing(platform::SettingsStore& s, bool on, std::int16_t value) {
    const bool ok = WriteInt(s, kSettings, "replaceMissing", on ? 1 : 0);
    return WriteInt(s, kSettings, "replaceMissingValue", value) && ok;
}

bool SaveLandCover(platform::SettingsStore& s, int index, std::uint32_t colorref) {
    return s.WriteInt(kLandCovers, platform::FormatC("color%d", index), colorref);
}

}  // namespace quorlin
