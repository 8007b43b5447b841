// The map window flown on a recorded flight: the flight's B records reach
// it as receiver sentences through a pseudo-terminal, the real port reader
// and the fix-processing thread. Its controls are driven by synthetic wx
// events, its timer by hand with an injected clock; the frame's popup and
// polar toggle are stood in for. Screenshots of each step go to
// <build>/screenshots/ for review.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/image.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_values.h"
#include "fix/first_fix.h"
#include "fix/fix_commit.h"
#include "fix/fix_processing_thread.h"
#include "glide/thermal_drift.h"
#include "gps/gps_port.h"
#include "gps/nav_fix.h"
#include "map/map_view.h"
#include "map/settings_values.h"
#include "map/waypoint_layer.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/sphere_geometry.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/waypoint_file_open.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/screenshot.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/utf.h"
#include "resources/ids/main_frame.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "services/track_cache.h"
#include "testing/flight_map.h"
#include "testing/igc_flight.h"
#include "testing/pseudo_terminal.h"
#include "testing/scratch_folder.h"
#include "testing/units.h"
#include "testing/wx_test_app.h"

namespace map {
namespace {

using namespace std::chrono_literals;
using test_support::IgcFix;

using test_support::kRadiansPerDegree;
constexpr double kFeetPerMetre = 3.2808;
using xrc::main_frame::kToggleUsePolar;

// The stretch of the flight flown: a glide of about 20 km. The zone passed
// under lies around kUnderAt, the zone crossed inside its band around
// kCrossAt, the waypoint tapped beside the track at kTownAt.
const std::filesystem::path kFlight =
    std::filesystem::path(KV_SOURCE_DIR) / "../shared/testdata/igc/apf-bug554.igc";
constexpr std::size_t kFirst = 2380;
constexpr std::size_t kUnderAt = 2480;
constexpr std::size_t kCrossAt = 2600;
constexpr std::size_t kTownAt = 2640;
constexpr std::size_t kLast = 2700;

using test_support::FlightMap;
using test_support::PositionOf;

const test_support::FlightMapPlan kPlan{
    .first = kFirst, .last = kLast, .underAt = kUnderAt, .crossAt = kCrossAt, .townAt = kTownAt};

struct FakePopup {
    bool shown = false;
    int kind = 0;
    std::vector<std::pair<std::wstring, int>> log;
};

class MapViewFlightTest : public ::testing::Test {
  protected:
    MapViewFlightTest() {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(scratch / "settings.ini"));
        core::g_documentsFolder = scratch.Path().wstring();
        g_mapFileName.Set(L"");
        g_overlayFileName.Set(L"");
        g_bHaveFix = 0;
        g_fixAgeHours = 0.0;
        g_soundHoldOff = 0;
        g_permanentSuaAlarmOff = 0;
        core::g_allowRotationToTog = 0;
        core::g_trackCacheSaveInterval = 1;
        core::g_trackCacheLength = 8000;
        core::TrackCacheAlloc();
        core::TrackCacheReset();
        map = test_support::MakeFlightMap(fixes, kPlan);
        mapPath = scratch.Write("flight.map", map.text);
    }
    ~MapViewFlightTest() override {
        gps::CloseGpsPort();
        gps::StopFixProcessing(2000);
        if (frame != nullptr) frame->Destroy();
        platform::gui::ProcessEventsFor(20ms);
        core::TrackCacheReset();
        platform::SetAppSettings(nullptr);
    }

    // The window at 800 x 480 with the frame's stand-ins, the port on the
    // terminal and the fix thread running.
    void Start() {
        frame = new wxFrame(nullptr, wxID_ANY, "flight", wxDefaultPosition, wxSize(840, 520));
        view = new CGPSmapView(frame, wxPoint(0, 0), wxSize(800, 480));
        view->SetClock([this] { return now; });
        view->SetSoundSink(&sound);
        view->KillMapTimer();  // the test ticks
        MapTimerSources& s = view->TimerSources();
        s.popup = [this] { return PopupState{popup.shown, popup.kind}; };
        s.showPopup = [this](const std::wstring& text, int kind) {
            popup.shown = true;
            popup.kind = kind;
            popup.log.emplace_back(text, kind);
        };
        s.hidePopup = [this] {
            popup.shown = false;
            popup.kind = 0;
        };
        frameWindow = platform::gui::WindowRegistration(
            platform::kMainFrameWindow, *frame, [this](const platform::WindowMessage& m) {
                if (m.message == platform::WM_COMMAND && m.wParam == kToggleUsePolar) {
                    polarInUse = !polarInUse;
                    view->ShowGlideModeImage(polarInUse ? kGlidePolar : kGlideNoPolar);
                }
                return std::intptr_t{0};
            });
        frame->Show();
        platform::gui::ProcessEventsFor(50ms);
        gps::InitGpsData();
        gps::RestartFirstFix();  // each test is a flight of its own
        ASSERT_TRUE(pty.Valid());
        ASSERT_TRUE(gps::OpenGpsPort(platform::FromUtf8(pty.Path())));
        ASSERT_TRUE(gps::StartFixProcessing());
        view->StartupDone();
    }

    // Sends fix i as the receiver, waits until the fix thread published it
    // (and, once the map knows of a fix, until the map's position is it),
    // then lets two seconds pass on the window's clock with a timer tick.
    bool Fly(std::size_t i) {
        const IgcFix& f = fixes[i];
        pty.Send(test_support::FixSentences(f, i > 0 ? &fixes[i - 1] : nullptr));
        const float hours = static_cast<float>(f.utc % 86400) / 3600.0F;
        const bool arrived = platform::gui::ProcessEventsUntil(
            [&] {
                if (std::fabs(gps::CurrentNav()->fixTimeHours - hours) > 1e-4F) return false;
                if (!gps::FirstFixAnnounced()) return true;
                const nav::WaypointRecord at = nav::CopyMapFix();
                return std::fabs(at.latitude - f.latitude * kRadiansPerDegree) < 1e-6 &&
                       std::fabs(at.longitude + f.longitude * kRadiansPerDegree) < 1e-6;
            },
            3000ms);
        now += 2000;
        view->TimerTick();
        return arrived;
    }

    void FlyTo(std::size_t last) {
        for (; next <= last; ++next) ASSERT_TRUE(Fly(next)) << "fix " << next;
    }

    bool WaitForMap() {
        return platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); },
                                                 5000ms);
    }

    void Screenshot(const char* name) {
        platform::gui::ProcessEventsFor(100ms);
        EXPECT_TRUE(platform::gui::SaveScreenshot(
            *frame, std::filesystem::path(KV_BINARY_DIR) / "screenshots" / name));
    }

    // The first fix, then the flight's own map.
    void TakeOffWithTheFlightMap() {
        FlyTo(kFirst + 3);
        ASSERT_TRUE(gps::FirstFixAnnounced());
        ASSERT_TRUE(WaitForMap());
        ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 0), 1);
        ASSERT_TRUE(WaitForMap());
    }

    // Flies on from just before the crossed zone until its alarm popup came
    // (or the zone's middle was passed), giving the alarm thread time at
    // each fix.
    void FlyIntoTheCrossedZone() {
        FlyTo(kCrossAt - 15);
        while (popup.log.empty() && next <= kCrossAt) {
            FlyTo(next);
            platform::gui::ProcessEventsUntil([this] { view->TimerTick(); return !popup.log.empty(); },
                                              300ms);
        }
    }

    // A press on the zone-alarm button held for holdMs.
    void HoldAlarmButton(SteadyMs holdMs) {
        auto* hold = dynamic_cast<CHoldButton*>(view->Child(kAlarmAckId));
        ASSERT_NE(hold, nullptr);
        wxMouseEvent press(wxEVT_LEFT_DOWN);
        press.SetEventObject(hold);
        hold->OnLeftDown(press);
        now += holdMs;
        wxMouseEvent release(wxEVT_LEFT_UP);
        release.SetEventObject(hold);
        hold->OnLeftUp(release);
        platform::gui::ProcessEventsFor(50ms);
    }

    mapdata::ScreenPoint Project(double latitude, double longitude) {
        return mapdata::ProjectToScreen(view->Model().Published(),
                                        mapdata::ToUnitVector(-longitude * kRadiansPerDegree, latitude * kRadiansPerDegree));
    }

    // The zone's pixels in the window's last paint that are its hatch red.
    int RedPixelsOver(const core::GeoBox& box) {
        const mapdata::ScreenPoint a = Project(box.north, box.west);
        const mapdata::ScreenPoint b = Project(box.south, box.east);
        return PixelsIn(wxRect(wxPoint(static_cast<int>(std::min(a.x, b.x)), static_cast<int>(std::min(a.y, b.y))),
                               wxPoint(static_cast<int>(std::max(a.x, b.x)), static_cast<int>(std::max(a.y, b.y)))),
                        [](unsigned char r, unsigned char g, unsigned char bl) { return r > 200 && g < 100 && bl < 100; });
    }

    // The pixels of the window's last paint inside rect that match.
    int PixelsIn(wxRect rect, const std::function<bool(unsigned char, unsigned char, unsigned char)>& match) {
        platform::gui::ProcessEventsFor(300ms);  // the render thread redraws
        view->Refresh(false);
        view->Update();
        wxBitmap bitmap;
        if (!view->LastFrame(bitmap)) return -1;
        const wxImage image = bitmap.ConvertToImage();
        rect.Intersect(wxRect(0, 0, image.GetWidth(), image.GetHeight()));
        int count = 0;
        for (int y = rect.GetTop(); y <= rect.GetBottom(); ++y) {
            for (int x = rect.GetLeft(); x <= rect.GetRight(); ++x) {
                if (match(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y))) ++count;
            }
        }
        return count;
    }

    // Whether the window, drawn now, shows the aircraft's cross at fix f.
    bool AircraftDrawnAt(const IgcFix& f) {
        platform::gui::ProcessEventsFor(50ms);
        const wxImage image = platform::gui::CaptureWindow(*view);
        const mapdata::ScreenPoint p = Project(f.latitude, f.longitude);
        const int x = static_cast<int>(p.x);
        const int y = static_cast<int>(p.y);
        const auto dark = [&image](int px, int py) {
            return image.IsOk() && px >= 0 && py >= 0 && px < image.GetWidth() && py < image.GetHeight() &&
                   image.GetRed(px, py) + image.GetGreen(px, py) + image.GetBlue(px, py) < 150;
        };
        return dark(x, y) && dark(x - 4, y) && dark(x + 4, y) && dark(x, y - 4) && dark(x, y + 4);
    }

    bool AircraftInDrawArea(const IgcFix& f) {
        const mapdata::ScreenPoint p = Project(f.latitude, f.longitude);
        const platform::PixelRect& r = view->Model().drawRect;
        return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
    }

    // Three circles of about 100 m around the point through the drift
    // estimator: their middle becomes the thermal's (returned, in degrees).
    static std::pair<double, double> CircleAround(double latitude, double longitude) {
        glide::ResetDriftEstimate(0.0);
        glide::RestartDriftReference(latitude * kRadiansPerDegree, -longitude * kRadiansPerDegree);
        constexpr double kRadiusDeg = 0.0009;
        float hours = 12.0F;
        for (int step = 0; step <= 3 * 36 + 1; ++step) {
            const double track = (step * 10) % 360;
            // Turning right: the middle lies 90 degrees right of the track.
            const double bearing = (track - 90.0) * kRadiansPerDegree;  // from the middle to the glider
            const double lat = latitude + kRadiusDeg * std::cos(bearing);
            const double lon = longitude + kRadiusDeg * std::sin(bearing) / std::cos(latitude * kRadiansPerDegree);
            hours += 1.0F / 3600.0F;
            glide::UpdateDrift({track, 40.0F, lat * kRadiansPerDegree, -lon * kRadiansPerDegree, 3000.0F, hours});
        }
        const auto middle = glide::DriftReference();
        EXPECT_TRUE(middle.has_value());
        if (!middle) return {latitude, longitude};
        EXPECT_NEAR(middle->latitude, latitude * kRadiansPerDegree, 2e-6);
        EXPECT_NEAR(middle->lonWest, -longitude * kRadiansPerDegree, 2e-6);
        return {middle->latitude / kRadiansPerDegree, -middle->lonWest / kRadiansPerDegree};
    }

    // A press and release of an icon button, as the pointer would give them.
    void Click(int id) {
        auto* button = dynamic_cast<CIconButton*>(view->Child(id));
        ASSERT_NE(button, nullptr) << id;
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        button->OnLeftDown(down);
        now += 100;
        wxMouseEvent up(wxEVT_LEFT_UP);
        button->OnLeftUp(up);
        now += 1000;  // past every debounce
        platform::gui::ProcessEventsFor(30ms);
    }

    // A stylus press at `from` and release at `to` on the map.
    void Stroke(wxPoint from, wxPoint to) {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetPosition(from);
        down.SetEventObject(view);
        view->GetEventHandler()->ProcessEvent(down);
        wxMouseEvent up(wxEVT_LEFT_UP);
        up.SetPosition(to);
        up.SetEventObject(view);
        view->GetEventHandler()->ProcessEvent(up);
        platform::gui::ProcessEventsFor(30ms);
    }

    test_support::ScratchFolder scratch{"mapflight"};
    platform::gui::ScopedUiBridge bridge;
    const std::vector<IgcFix> fixes = test_support::ReadIgcFile(kFlight);
    FlightMap map;
    std::filesystem::path mapPath;
    test_support::PseudoTerminal pty;
    wxFrame* frame = nullptr;
    CGPSmapView* view = nullptr;
    platform::gui::WindowRegistration frameWindow;
    bool polarInUse = false;
    struct Sound final : SoundSink {
        void Play(const std::wstring& fileName) override { played.push_back(fileName); }
        std::vector<std::wstring> played;
    } sound;
    FakePopup popup;
    // Ahead of the steady clock the buttons were made with.
    SteadyMs now = SteadyNow() + 100000;
    std::size_t next = kFirst;
};

TEST_F(MapViewFlightTest, FixtureMapLiesAroundTheFlownStretch) {
    ASSERT_GT(fixes.size(), kLast);
    for (std::size_t i = kFirst; i < kCrossAt - 15; ++i)
        EXPECT_FALSE(map.cross.ContainsInside(PositionOf(fixes[i])))
            << "fix " << i << " enters the crossed zone early";
    int under = 0;
    int inside = 0;
    for (std::size_t i = kFirst; i <= kLast; ++i) {
        under += map.under.ContainsInside(PositionOf(fixes[i])) ? 1 : 0;
        const double ft = fixes[i].gpsAltitudeM * kFeetPerMetre;
        if (map.cross.ContainsInside(PositionOf(fixes[i]))) {
            ++inside;
            EXPECT_GT(ft, map.crossLowerFt);
            EXPECT_LT(ft, map.crossUpperFt);
        }
    }
    EXPECT_GT(under, 5);
    EXPECT_GT(inside, 5);
    EXPECT_FALSE(map.cross.ContainsInside(PositionOf(fixes[kLast])))
        << "the track leaves the zone again";
}

TEST_F(MapViewFlightTest, FlownThroughTheFlightItsControlsAnswerAsThePilotExpects) {
    Start();
    // The first fix: the default map around the aircraft.
    FlyTo(kFirst + 3);
    ASSERT_TRUE(gps::FirstFixAnnounced());
    EXPECT_EQ(g_bHaveFix.load(), 1);
    EXPECT_TRUE(std::filesystem::exists(scratch / "KOR_VAN WinCE" / "!!!def##.map"));
    ASSERT_EQ(view->Model().mapLoaded, 1);
    EXPECT_EQ(view->Model().centredOnAircraft, 1);
    ASSERT_TRUE(WaitForMap());
    const IgcFix& first = fixes[next - 1];
    const mapdata::ScreenPoint aircraft = Project(first.latitude, first.longitude);
    EXPECT_NEAR(aircraft.x, (800 + 24) / 2.0, 30.0);
    EXPECT_NEAR(aircraft.y, 480 / 2.0, 30.0);
    EXPECT_TRUE(AircraftDrawnAt(first));
    Screenshot("flight_first_fix.png");

    // The flight's own map.
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 0), 1);
    ASSERT_TRUE(WaitForMap());
    FlyTo(kFirst + 20);
    Screenshot("flight_own_map.png");

    // Zoom in and out: 1.6 times narrower, then back.
    const MapBounds wide = view->Model().bounds;
    Click(kExpandId);
    const MapBounds zoomed = view->Model().bounds;
    EXPECT_NEAR((wide.x1 - wide.x2) / (zoomed.x1 - zoomed.x2), 1.6F, 1e-3F);
    Screenshot("flight_zoomed_in.png");
    Click(kShrinkId);
    EXPECT_NEAR(view->Model().bounds.x1 - view->Model().bounds.x2, wide.x1 - wide.x2, 1e-4F);
    // The rest of the flight is flown ten times closer.
    for (int i = 0; i < 5; ++i) Click(kExpandId);

    // Flip with the track-up button: track up at the track the frame
    // passed on (a point ahead is straight above the aircraft), then north
    // up again. The fix thread's own rotation requests are off here.
    const IgcFix here = fixes[next - 1];
    const IgcFix ahead = fixes[next + 30];
    const auto offset = [&](const IgcFix& p) {
        const mapdata::ScreenPoint a = Project(here.latitude, here.longitude);
        const mapdata::ScreenPoint b = Project(p.latitude, p.longitude);
        return std::pair<float, float>{b.x - a.x, b.y - a.y};
    };
    const float track = std::round(static_cast<float>(test_support::CourseDeg(here, ahead)));
    view->SetMapRotation(track);
    EXPECT_FLOAT_EQ(view->Model().rotationDeg, 0.0F) << "north up until the button is pressed";
    Click(kFlipId);
    EXPECT_EQ(view->Model().trackUp, 1);
    EXPECT_FLOAT_EQ(view->Model().rotationDeg, track);
    EXPECT_NEAR(offset(ahead).first, 0.0F, 3.0F);
    EXPECT_LT(offset(ahead).second, -10.0F);
    Screenshot("flight_track_up.png");
    Click(kFlipId);
    EXPECT_EQ(view->Model().trackUp, 0);
    EXPECT_FLOAT_EQ(view->Model().rotationDeg, 0.0F);
    // Without the track-up button a flip turns the map south up and back.
    IgcFix north = here;
    north.latitude += 0.01;
    EXPECT_LT(offset(north).second, 0.0F);
    view->Model().trackUpButton = 0;
    Click(kFlipId);
    EXPECT_FLOAT_EQ(view->Model().rotationDeg, 180.0F);
    EXPECT_GT(offset(north).second, 0.0F);
    EXPECT_NEAR(offset(north).first, 0.0F, 1.0F);
    Screenshot("flight_south_up.png");
    Click(kFlipId);
    EXPECT_FLOAT_EQ(view->Model().rotationDeg, 0.0F);

    // A drag pans the map by the stroke and leaves the aircraft behind.
    const mapdata::ScreenPoint before = Project(here.latitude, here.longitude);
    Stroke({400, 240}, {340, 300});
    EXPECT_EQ(view->Model().centredOnAircraft, 0);
    const mapdata::ScreenPoint after = Project(here.latitude, here.longitude);
    EXPECT_NEAR(after.x - before.x, -60.0F, 3.0F);
    EXPECT_NEAR(after.y - before.y, 60.0F, 3.0F);
    Screenshot("flight_dragged.png");
    view->ResumeMovingMap();
    EXPECT_EQ(view->Model().centredOnAircraft, 1);

    // Under the high zone: no alarm, however long the alarm thread looks.
    FlyTo(kUnderAt);
    platform::gui::ProcessEventsFor(600ms);
    FlyTo(kCrossAt - 15);
    EXPECT_TRUE(popup.log.empty());
    EXPECT_TRUE(sound.played.empty());

    // Into the zone inside its band: the alarm sound, popup kind 1 with the
    // zone's altitude band and the hold button.
    FlyIntoTheCrossedZone();
    ASSERT_EQ(popup.log.size(), 1U);
    EXPECT_EQ(sound.played, std::vector<std::wstring>{kZoneAlarmSound});
    EXPECT_EQ(popup.log[0].second, 1);
    const std::wstring band = L"Alt: " + std::to_wstring(map.crossLowerFt) + L"-" +
                              std::to_wstring(map.crossUpperFt) + L"ft";
    EXPECT_EQ(popup.log[0].first.substr(0, band.size()), band) << platform::ToUtf8(popup.log[0].first);
    auto* hold = dynamic_cast<CHoldButton*>(view->Child(kAlarmAckId));
    ASSERT_NE(hold, nullptr);
    EXPECT_TRUE(hold->IsShown());
    const mapdata::ScreenPoint inZone = Project(fixes[next - 1].latitude, fixes[next - 1].longitude);
    EXPECT_TRUE(inZone.x > 24 && inZone.x < 800 && inZone.y > 0 && inZone.y < 480)
        << "the moving map keeps the aircraft in sight";
    EXPECT_TRUE(AircraftDrawnAt(fixes[next - 1])) << "the aircraft follows the fixes";
    Screenshot("flight_zone_alarm.png");

    // A hold of 1.6 s on the button acknowledges the zone.
    HoldAlarmButton(1600);
    EXPECT_EQ(view->ZoneFlagsOfAlarm() & 0x08U, 0x08U);
    EXPECT_FALSE(popup.shown && popup.kind == 1);

    // Out of the zone and on past the town. The track the map draws from
    // holds the flight's fixes, newest first (a fix whose RMC and GGA were
    // taken in two passes is stored twice: repeats are passed over).
    FlyTo(kTownAt + 5);
    std::vector<core::TrackCacheRecord> stored;
    core::TrackCacheRecord record;
    for (int more = core::TrackCacheFirst(record, -1); more >= 0 && stored.size() < 20;
         more = more > 0 ? core::TrackCacheNext(record, -1) : -1) {
        if (stored.empty() || record.x != stored.back().x || record.y != stored.back().y ||
            record.z != stored.back().z)
            stored.push_back(record);
    }
    ASSERT_EQ(stored.size(), 20U);
    for (std::size_t k = 0; k < stored.size(); ++k) {
        const IgcFix& f = fixes[kTownAt + 5 - k];
        const mapdata::UnitVector flown = mapdata::ToUnitVector(-f.longitude * kRadiansPerDegree, f.latitude * kRadiansPerDegree);
        EXPECT_NEAR(stored[k].x, flown.x, 1e-6) << "point " << k;
        EXPECT_NEAR(stored[k].y, flown.y, 1e-6) << "point " << k;
        EXPECT_NEAR(stored[k].z, flown.z, 1e-6) << "point " << k;
    }

    // A tap on the town shows its information and the goto list; its row
    // makes it the destination.
    const mapdata::ScreenPoint town = Project(map.town.latitude, map.town.longitude);
    ASSERT_TRUE(town.x > 30 && town.x < 800 && town.y > 0 && town.y < 480) << town.x << "," << town.y;
    const wxPoint at(static_cast<int>(town.x) + 3, static_cast<int>(town.y) - 3);
    popup.log.clear();
    Stroke(at, at);
    ASSERT_EQ(view->Picked().size(), 1U);
    EXPECT_EQ(view->Picked()[0].name, platform::FromUtf8(map.townName));
    ASSERT_FALSE(popup.log.empty());
    EXPECT_NE(popup.log.back().first.find(platform::FromUtf8(map.townName)), std::wstring::npos);
    EXPECT_TRUE(view->Child(kGotoId)->IsShown());
    EXPECT_TRUE(view->Child(kPickListId)->IsShown());
    Screenshot("flight_tap_town.png");
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_PICKROW, 0, 0, {}});
    EXPECT_EQ(nav::CopyDestination().name.View(), platform::FromUtf8(map.townName));
    EXPECT_FALSE(view->Child(kGotoId)->IsShown());

    // The glide-mode button's release toggles the polar, twice over.
    view->ShowGlideModeImage(kGlideNoPolar);
    Click(kReplayId);
    EXPECT_TRUE(polarInUse);
    EXPECT_EQ(dynamic_cast<CIconButton*>(view->Child(kReplayId))->IconIndex(), kGlidePolar);
    Click(kReplayId);
    EXPECT_FALSE(polarInUse);

    // Closed: the start position is where the flight was last.
    FlyTo(kLast);
    frame->Destroy();
    frame = nullptr;
    platform::gui::ProcessEventsFor(30ms);
    char latitude[32];
    char longitude[32];
    std::snprintf(latitude, sizeof latitude, "%.6f", fixes[kLast].latitude);
    std::snprintf(longitude, sizeof longitude, "%.6f", -fixes[kLast].longitude);
    EXPECT_EQ(platform::AppSettings().GetString("Options\\Miscellaneous", "InitLatitude", ""), latitude);
    EXPECT_EQ(platform::AppSettings().GetString("Options\\Miscellaneous", "InitLongitude", ""), longitude);
}

// The whole stretch with the map read again, its overlay with it, and the
// map options changed while the fixes come in (the thread sanitizer's run).
TEST_F(MapViewFlightTest, ReloadsAndOptionChangesDuringTheFlightLoseNothing) {
    const IgcFix& mid = fixes[(kFirst + kLast) / 2];
    const auto overlay = scratch.Write(
        "overlay.map", map.text.substr(0, map.text.find("\r\n") + 2) +
                           test_support::MapPoint(mid.latitude, mid.longitude) + ",-5,Overlay mark\r\n");
    g_overlayFileName.Set(overlay.wstring());
    Start();
    TakeOffWithTheFlightMap();
    int reloads = 0;
    for (int step = 0; next <= kLast; ++step) {
        FlyTo(std::min(next + 9, kLast));
        switch (step % 4) {
            case 0:
                reloads += view->LoadMapFile(mapPath.wstring(), 0);
                break;
            case 1:
                view->SetMapMargin(step % 8 == 1 ? 0.3F : 0.1F);
                view->CreateLabelFont();
                break;
            case 2:
                view->ZoomMap(step % 8 == 2);
                g_mapSimplifyDistance = step % 8 == 2 ? 0.5F : 0.75F;
                break;
            default:
                view->StartMapTimer(step % 8 == 3 ? 300 : 400);
                break;
        }
    }
    EXPECT_GT(reloads, 3);
    view->KillMapTimer();
    ASSERT_TRUE(WaitForMap());
    EXPECT_EQ(view->Model().mapLoaded, 1);
    EXPECT_NEAR(nav::CopyMapFix().latitude, fixes[kLast].latitude * kRadiansPerDegree, 1e-6);
    // The map and its overlay are both there after the last read: the
    // overlay's label is drawn, the map's town can be tapped.
    view->ResumeMovingMap();
    const mapdata::ScreenPoint mark = Project(mid.latitude, mid.longitude);
    EXPECT_GT(PixelsIn(wxRect(static_cast<int>(mark.x) - 10, static_cast<int>(mark.y) - 30, 100, 40),
                       [](unsigned char r, unsigned char g, unsigned char b) { return r + g + b < 150; }),
              30);
    const mapdata::ScreenPoint town = Project(map.town.latitude, map.town.longitude);
    const wxPoint at(static_cast<int>(town.x) + 3, static_cast<int>(town.y) - 3);
    Stroke(at, at);
    ASSERT_EQ(view->Picked().size(), 1U);
    EXPECT_EQ(view->Picked()[0].name, platform::FromUtf8(map.townName));
    Screenshot("flight_after_reloads.png");
}

// A waypoint with a map symbol beside the track: drawn with its name, and a
// tap on it lists it in the goto list with the arrival over it; its row
// makes that waypoint (with its elevation) the destination.
TEST_F(MapViewFlightTest, ATappedWaypointBecomesTheDestinationThroughTheGotoList) {
    const IgcFix& beside = fixes[kCrossAt];
    const double fieldLat = beside.latitude - 0.004;
    const double fieldLon = beside.longitude;
    const auto file = scratch.Write(
        "fields.dta", "ALT[M]\r\n" + platform::ToUtf8(platform::FormatC(
                                           L"Tap Field,%.7f,0,0,%.7f,0,0,120M, 1,0.0,0.0,0.0,0.0\r\n",
                                           fieldLat, -fieldLon)));
    nav::SetWaypointMapHook(std::make_shared<WaypointElementMaker>([] {
        platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0, 0);
    }));
    struct Cleanup {
        ~Cleanup() {
            nav::CloseWaypoints(1000);
            nav::SetWaypointMapHook(nullptr);
        }
    } cleanup;
    std::wstring path = file.wstring();
    ASSERT_EQ(nav::OpenWaypointFile(nav::g_waypointFile, path, true, true, false), 1);
    Start();
    TakeOffWithTheFlightMap();
    for (int i = 0; i < 3; ++i) Click(kExpandId);
    FlyTo(kCrossAt - 10);

    // Drawn: its name's dark pixels right below the point.
    const mapdata::ScreenPoint field = Project(fieldLat, fieldLon);
    ASSERT_TRUE(field.x > 30 && field.x < 800 && field.y > 0 && field.y < 460) << field.x << "," << field.y;
    EXPECT_GT(PixelsIn(wxRect(static_cast<int>(field.x) - 6, static_cast<int>(field.y) + 5, 60, 16),
                       [](unsigned char r, unsigned char g, unsigned char b) { return r + g + b < 150; }),
              10);

    const wxPoint at(static_cast<int>(field.x) + 2, static_cast<int>(field.y) + 2);
    popup.log.clear();
    Stroke(at, at);
    auto* gotoList = dynamic_cast<CWaypointPickButton*>(view->Child(kGotoId));
    ASSERT_NE(gotoList, nullptr);
    ASSERT_EQ(gotoList->RowCount(), 1);
    EXPECT_TRUE(gotoList->IsShown());
    EXPECT_EQ(gotoList->Row(0).name.View(), L"Tap Field");
    const std::wstring arrival = gotoList->RowText(0);
    EXPECT_TRUE(arrival == L"NOGO" || arrival.ends_with(L"ft")) << platform::ToUtf8(arrival);
    ASSERT_FALSE(popup.log.empty());
    EXPECT_NE(popup.log.back().first.find(L"** Tap Field  " + arrival), std::wstring::npos)
        << platform::ToUtf8(popup.log.back().first);
    Screenshot("flight_tap_waypoint.png");

    // Its row, clicked: the message goes round the window bridge.
    gotoList->ClickAt(5);
    platform::gui::ProcessEventsFor(50ms);
    const nav::WaypointRecord destination = nav::CopyDestination();
    EXPECT_EQ(destination.name.View(), L"Tap Field");
    EXPECT_TRUE(destination.altitudeKnown);
    EXPECT_NEAR(destination.altitude, 120.0 * kFeetPerMetre, 1.0);
    EXPECT_EQ(nav::g_destinationValid.load(), 1);
    EXPECT_FALSE(gotoList->IsShown());
    EXPECT_EQ(gotoList->RowCount(), 0);
}

// In the thermal view the map recentres on the thermal (the last circle's
// middle) when the aircraft leaves the drawing area, on the aircraft when
// the thermal would leave it out; circling's end leaves a thermal view only
// with zoom on circling.
TEST_F(MapViewFlightTest, TheThermalViewCentresOnTheThermalAndStaysWithoutZoomOnCircling) {
    Start();
    TakeOffWithTheFlightMap();
    core::g_autoZoom = 0;
    view->ToggleZoomedMap();
    ASSERT_EQ(view->Model().zoomed, 1);
    view->HandleMessage({platform::kMapViewWindow, platform::WM_APP_CIRCLING, 0, 0, {}});
    EXPECT_EQ(view->Model().zoomed, 1) << "the pilot's zoom stays when circling ends";
    core::g_autoZoom = 1;
    view->HandleMessage({platform::kMapViewWindow, platform::WM_APP_CIRCLING, 0, 0, {}});
    EXPECT_EQ(view->Model().zoomed, 0);
    core::g_autoZoom = 0;
    view->HandleMessage({platform::kMapViewWindow, platform::WM_APP_CIRCLING, 0, 1, {}});
    EXPECT_EQ(view->Model().zoomed, 0) << "no zoom into the thermal without zoom on circling";
    core::g_autoZoom = 1;
    view->HandleMessage({platform::kMapViewWindow, platform::WM_APP_CIRCLING, 0, 1, {}});
    ASSERT_EQ(view->Model().zoomed, 1);

    // Where the thermal view puts the point it is centred on.
    const IgcFix& here = fixes[next - 1];
    view->CenterMapOnFix();
    view->Model().PublishMapTransform();
    const mapdata::ScreenPoint centre = Project(here.latitude, here.longitude);
    struct Case {
        double northDeg;  // the thermal's offset from the aircraft
        bool onThermal;
    };
    for (const Case c : {Case{0.002, true}, Case{0.2, false}}) {
        const auto [thermalLat, thermalLon] = CircleAround(here.latitude + c.northDeg, here.longitude);
        // A drag puts the aircraft off the map's edge (sent straight to the
        // window: no fix message may recentre the map in between).
        platform::gui::ProcessEventsFor(30ms);
        view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPKEY, kKeyDrag,
                             EncodePan(750, 0), {}});
        ASSERT_FALSE(AircraftInDrawArea(here));
        view->TimerTick();
        view->Model().PublishMapTransform();
        const mapdata::ScreenPoint shown =
            c.onThermal ? Project(thermalLat, thermalLon) : Project(here.latitude, here.longitude);
        EXPECT_NEAR(shown.x, centre.x, 3.0F) << c.northDeg;
        EXPECT_NEAR(shown.y, centre.y, 3.0F) << c.northDeg;
        EXPECT_TRUE(AircraftInDrawArea(here)) << c.northDeg;
        Screenshot(c.onThermal ? "flight_thermal_centre.png" : "flight_thermal_far.png");
    }
}

// With "PermanentSUAalarmOff" a hold switches the zone off for good; with
// "PermanentSUAalarmOffnoDisplay" too, it is no longer drawn either.
struct PermanentOff {
    int noDisplay;
    std::uint32_t flags;
};

class MapViewFlightHoldTest : public MapViewFlightTest,
                              public ::testing::WithParamInterface<PermanentOff> {};

TEST_P(MapViewFlightHoldTest, AHeldAlarmButtonSwitchesTheZoneOff) {
    g_permanentSuaAlarmOff = 1;
    g_permanentSuaAlarmOffNoDisplay = GetParam().noDisplay;
    Start();
    TakeOffWithTheFlightMap();
    FlyIntoTheCrossedZone();
    ASSERT_EQ(popup.log.size(), 1U);
    EXPECT_GT(RedPixelsOver(map.cross), 10);
    HoldAlarmButton(1501);
    EXPECT_EQ(view->ZoneFlagsOfAlarm() & 0x4AU, GetParam().flags);
    if (GetParam().noDisplay != 0)
        EXPECT_EQ(RedPixelsOver(map.cross), 0) << "a zone switched off without display is not drawn";
    else
        EXPECT_GT(RedPixelsOver(map.cross), 10);
    Screenshot(GetParam().noDisplay != 0 ? "flight_zone_off_hidden.png" : "flight_zone_off.png");
    g_permanentSuaAlarmOff = 0;
    g_permanentSuaAlarmOffNoDisplay = 0;
}

INSTANTIATE_TEST_SUITE_P(Settings, MapViewFlightHoldTest,
                         ::testing::Values(PermanentOff{0, 0x02}, PermanentOff{1, 0x42}));

}  // namespace
}  // namespace map
