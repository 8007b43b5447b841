#pragma once
// Team codes: a pilot's position as a short code relative to the team's
// agreed centre, in four conventions ("encodeInfo"):
//   0  the program's own polar code: ring (distance) and angle digits;
//   1  base 36: course in 1296 steps and distance in 100 m;
//   2  a grid of four levels of 8 x 8 cells around the centre;
//   3  as 1, each digit shifted by the key held in "lastCode".
// Positions are radians, longitude positive WEST as the program stores
// them; the geodesic calls get east-positive longitudes and run quietly (the
// own code is made on the fix-processing thread).
//
// Threads: the pure functions and TeamCoder (a value built from the
// settings) on any thread; the installed settings are swapped under their
// own lock (a leaf), so ComputeOwnTeamCode may run on any thread.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "nav/waypoint_entry.h"
#include "platform/settings_store.h"

namespace nav {

// "-999.0 in either centre coordinate means no centre".
inline constexpr double kNoTeamCentre = -999.0;

// The team settings ("Settings\teamFlight"), one struct for the team page.
struct TeamSettings {
    int encodeInfo = 0;  // convention 0-3
    int grid = 2;        // convention 0: the distance unit is 0.135 nm * 2^grid
    int enable = 0;      // encode the own position every fix
    std::wstring lastCode = L"* KOR_VAN *";  // convention 3: the key
    std::wstring wptName = L"No name";       // the centre waypoint's name
    double centerLon = 0.0;                  // radians, positive west
    double centerLat = 0.0;                  // radians
};

// The names the team page gives conventions 0, 1 and 2.
inline constexpr std::wstring_view kTeamConventionOwn = L"* KOR_VAN *";
inline constexpr std::wstring_view kTeamConventionBase36 = L"* SEEYOU  *";
inline constexpr std::wstring_view kTeamConventionGrid = L"* WINPILOT *";

// Base-36 digits "0-9A-Z": the value 0-35, -999 for any other character.
int TeamDigitValue(wchar_t c);
// The digit of n (0-35), "_" outside.
wchar_t TeamDigitChar(int n);
// The value of the text's digits, each un-shifted ((d - shift) mod 36);
// -999 when a character is not a digit or the value passes the int range.
int TeamCodeToValue(std::wstring_view text, int shift);
// The digits of value (0 gives one digit), each shifted by shift.
std::wstring TeamCodeFromValue(int value, int shift);
// Upper-cased, only digits kept, at most length characters.
std::wstring CleanTeamCode(std::wstring_view text, std::size_t length);
// The key's shift, 0-35 (accumulated mod 36, so any length is safe); -999
// for a key with a character outside the digits.
int TeamKeyShift(std::wstring_view key);

// A decoded position.
struct TeamPosition {
    double longitude = 0.0;  // radians, positive west
    double latitude = 0.0;
};

// The coder of one set of settings: the code shift and the grid are worked
// out once.
class TeamCoder {
  public:
    explicit TeamCoder(const TeamSettings& settings);

    const TeamSettings& Settings() const { return settings_; }
    int Convention() const { return settings_.encodeInfo; }
    int Shift() const { return shift_; }
    // A centre to code against: set, finite and within 89 degrees of the
    // equator.
    bool HasCentre() const;

    // The code of a position: "----" without a centre (or a position),
    // "???" for a convention outside 0-3 or a position the convention
    // cannot encode.
    std::wstring Encode(double lonWest, double latitude) const;
    // The position of a code; nothing when it does not decode.
    std::optional<TeamPosition> Decode(std::wstring_view code) const;

  private:
    std::wstring EncodePolar(double lonWest, double latitude) const;
    std::wstring EncodeBase36(double lonWest, double latitude) const;
    std::wstring EncodeGrid(double lonWest, double latitude) const;
    std::optional<TeamPosition> DecodePolar(std::wstring_view code) const;
    std::optional<TeamPosition> DecodeBase36(std::wstring_view code) const;
    std::optional<TeamPosition> DecodeGrid(std::wstring_view code) const;
    TeamPosition From(double course, double distanceNm) const;

    TeamSettings settings_;
    int shift_ = 0;
    // The grid, in units of 1/36000 degree.
    long rows_[4] = {20480, 2560, 320, 40};
    long columns_[4] = {};
    long originX_ = 0;
    long originY_ = 0;
};

// The settings in force and their coder.
std::shared_ptr<const TeamCoder> CurrentTeamCoder();
// Installs settings (the team page after a change; SetupTeamGrid).
void SetTeamSettings(const TeamSettings& settings);

// Start-up: reads "Settings\teamFlight" (each default the value in force; a
// centre value of any size but 8 bytes is ignored; the centre's name
// defaults to ids::kIdsTeamDefaultName) and installs it.
void LoadTeamSettings();
TeamSettings ReadTeamSettings(const platform::SettingsStore& store, const TeamSettings& defaults);
void WriteTeamSettings(platform::SettingsStore& store, const TeamSettings& settings);

// The own code of a position with the settings in force.
std::wstring ComputeOwnTeamCode(double lonWest, double latitude);
// A waypoint at the decoded position of a code (named by the code);
// nothing when it does not decode.
std::optional<CWaypointEntry> TeamCodeToPosition(std::wstring_view code);

}  // namespace nav
