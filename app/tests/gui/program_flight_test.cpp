// The built program flown on a stretch of a recorded flight in cruise
// (app/tests/gui/flown_program.h): a waypoint file whose fields carry map
// symbols, a map around the stretch and a task out and back.
#include <gtest/gtest.h>
#include <wx/image.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <string>
#include <vector>

#include "app/tests/gui/flown_program.h"
#include "platform/gui/image_handlers.h"
#include "resources/ids/main_frame.h"
#include "testing/flight_map.h"
#include "testing/igc_flight.h"
#include "testing/units.h"

namespace {

using namespace std::chrono_literals;

using program_test::AngleBetween;
using program_test::FlightFiles;
using program_test::FlownProgram;
namespace fs = program_test::fs;
using program_test::kSource;
using test_support::IgcFix;

const fs::path kFlight = kSource / "../shared/testdata/igc/apf-bug554.igc";
// A glide of about 20 km, in cruise (see map/tests/gui/map_view_flight_test.cpp).
constexpr std::size_t kFirst = 2380;
constexpr std::size_t kLast = 2700;
using test_support::kFeetPerMetre;

const std::vector<IgcFix>& Fixes() {
    static const std::vector<IgcFix> fixes = test_support::ReadIgcFile(kFlight);
    return fixes;
}

// "d,m,s,d,m,s" with the longitude positive west, as waypoint files keep it.
std::string WaypointLine(const std::string& name, double latitude, double longitude,
                         double altitudeM, int symbol) {
    char line[160];
    std::snprintf(line, sizeof line, "%s,%.7f,0,0,%.7f,0,0,%.0fM, %d,0,0,0,0,0\r\n", name.c_str(),
                  latitude, -longitude, altitudeM, symbol);
    return line;
}

// Near: on the track 3 km beyond its end, 1000 m below the last fix: in
// reach. Far: 20 degrees east of it, over 1000 km: out of reach. Home: where
// the stretch flown begins. Each carries a map symbol.
struct Field {
    std::string name;
    double latitude;
    double longitude;
    double altitudeM;
};

std::vector<Field> Fields() {
    const IgcFix& before = Fixes()[kLast - 20];
    const IgcFix& last = Fixes()[kLast];
    const double step = 3000.0 / std::max(1.0, test_support::DistanceM(before, last));
    const Field near{"Near", last.latitude + (last.latitude - before.latitude) * step,
                     last.longitude + (last.longitude - before.longitude) * step,
                     last.gpsAltitudeM - 1000.0};
    const Field far{"Far", last.latitude, last.longitude + 20.0, last.gpsAltitudeM - 1000.0};
    const IgcFix& start = Fixes()[kFirst];
    const Field home{"Home", start.latitude, start.longitude, start.gpsAltitudeM - 1000.0};
    return {home, near, far};
}

IgcFix At(const Field& field) {
    IgcFix fix;
    fix.latitude = field.latitude;
    fix.longitude = field.longitude;
    return fix;
}

std::string TaskText(const std::vector<Field>& fields) {
    // Out to Near and back home: a start line, a turnpoint sector and a
    // finish line.
    const Field* points[] = {&fields[0], &fields[1], &fields[0]};
    std::string text = "/*TASK*/\r\nTest task\r\n0\r\n3,0,3\r\n";
    for (const Field* f : points) {
        char line[160];
        std::snprintf(line, sizeof line, "%s,%.6f,0,0,%.6f,0,0,%.0f\r\n", f->name.c_str(),
                      f->latitude, -f->longitude, f->altitudeM * kFeetPerMetre);
        text += line;
    }
    text += "\\*zones*\\\r\n3\r\n";
    const char* zones[] = {"1,0,0,0,0.00,3.00,0,90.00,0.00,0.00", "0,1,1,1,0.50,10.00,0,90.00,0.00,0.00",
                           "2,0,1,0,1.00,3.00,0,90.00,0.00,0.00"};
    for (int i = 0; i < 3; ++i) {
        char line[200];
        std::snprintf(line, sizeof line, "%s,%.7f,%.7f,%.0f\r\n", zones[i], -points[i]->longitude,
                      points[i]->latitude, points[i]->altitudeM * kFeetPerMetre);
        text += line;
    }
    text += "0.00,2.00,4.00,1,0\r\n";
    return text;
}

// The program flown on the stretch with the three fields, a map around it
// and the task out to Near and back.
FlownProgram Flown(const std::string& name, std::vector<FlightFiles::Setting> settings = {}) {
    const test_support::FlightMapPlan plan{
        .first = kFirst, .last = kLast, .underAt = 2480, .crossAt = 2600, .townAt = 2640};
    FlightFiles files;
    files.fixes = &Fixes();
    files.first = kFirst;
    for (const Field& f : Fields())
        files.waypoints += WaypointLine(f.name, f.latitude, f.longitude, f.altitudeM, 1);
    files.task = TaskText(Fields());
    files.map = test_support::MakeFlightMap(Fixes(), plan).text;
    files.settings = std::move(settings);
    return FlownProgram(name, std::move(files));
}

bool HasDigit(const std::string& text) {
    return text.find_first_of("0123456789") != std::string::npos;
}

// The leading number of a bearing text such as ": 45m  " or " DEST 330t 314m".
double NumberBefore(const std::string& text, char letter) {
    const std::size_t at = text.find(letter);
    if (at == std::string::npos || at == 0) return -1.0;
    std::size_t start = at;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])))
        --start;
    return start == at ? -1.0 : std::stod(text.substr(start, at - start));
}

TEST(ProgramFlight, EveryLinkIsInstalledAtStartUp) {
    FlownProgram flight = Flown("links");
    ASSERT_TRUE(flight.StartAndFlyTo(kFirst));
    int links = 0;
    for (const std::string& line : flight.Running().Log()) {
        EXPECT_FALSE(line.starts_with("link missing")) << line;
        if (line.starts_with("link ")) ++links;
    }
    EXPECT_GT(links, 0);
    flight.End();
}

// The texts once the waypoint list made `name` the destination and the
// glider flew on to fix `then`.
std::map<std::string, std::string> GoneTo(FlownProgram& flight, const std::string& name,
                                          std::size_t then) {
    if (!flight.GoTo(name)) return {};
    flight.FeedTo(then);
    return flight.Texts();
}

// A list choice names the destination; a field in reach shows the altitude
// needed, one out of reach NOGO; the speed to fly has a value in cruise;
// the waypoints' symbols are drawn where the map projects them; Open
// waypoint file shows its dialog.
TEST(ProgramFlight, ArrivalDestinationSpeedToFlySymbolsAndFileDialogAsFlown) {
    FlownProgram flight = Flown("cruise");
    ASSERT_TRUE(flight.StartAndFlyTo(kLast - 60));
    flight.Screenshot("cruise");

    auto texts = GoneTo(flight, "Near", kLast - 50);
    EXPECT_EQ(texts["DestinationNameText"], "Near");
    // The destination line: bearing, then the altitude needed.
    const std::string nearLine = texts["DestinationLineText"];
    EXPECT_TRUE(HasDigit(nearLine.substr(std::min(nearLine.size(), nearLine.find_first_of("mgRL") + 1))))
        << nearLine;
    EXPECT_EQ(nearLine.find("NOGO"), std::string::npos) << nearLine;
    EXPECT_TRUE(HasDigit(texts["SpeedToFlyValueText"])) << texts["SpeedToFlyValueText"];
    EXPECT_EQ(texts["SpeedToFlyValueText"].find("---"), std::string::npos);
    flight.Screenshot("near");

    texts = GoneTo(flight, "Far", kLast - 40);
    EXPECT_EQ(texts["DestinationNameText"], "Far");
    EXPECT_NE(texts["DestinationLineText"].find("NOGO"), std::string::npos)
        << texts["DestinationLineText"];

    // Each symbol's pixel is drawn (not the map's white).
    const std::vector<std::string> symbols = flight.Ask("symbols", "symbols listed");
    const fs::path shot = FlownProgram::ScreenshotFile("map_symbols");
    flight.Ask("mapshot " + shot.string(), "mapshot");
    platform::gui::EnsurePngHandler();
    wxImage image;
    ASSERT_TRUE(image.LoadFile(shot.string(), wxBITMAP_TYPE_PNG));
    int drawn = 0;
    for (const std::string& line : symbols) {
        if (!line.starts_with("symbol\t")) continue;
        const std::size_t a = line.find('\t', 7);
        const std::size_t b = line.find('\t', a + 1);
        const int x = std::stoi(line.substr(a + 1, b - a - 1));
        const int y = std::stoi(line.substr(b + 1));
        if (x < 30 || y < 5 || x >= image.GetWidth() - 5 || y >= image.GetHeight() - 5) continue;
        bool dark = false;
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                dark = dark || image.GetRed(x + dx, y + dy) + image.GetGreen(x + dx, y + dy) +
                                       image.GetBlue(x + dx, y + dy) <
                                   600;
            }
        }
        EXPECT_TRUE(dark) << line;
        drawn += dark ? 1 : 0;
    }
    EXPECT_GT(drawn, 0);

    // File > Open waypoint file shows the waypoint file dialog.
    ASSERT_TRUE(flight.Open(xrc::main_frame::kOpenWaypointFile, "Turnpoint Data"));
    flight.DialogScreenshot("open_waypoint_file");
    flight.Ask("cancel", "cancelled");
    flight.FeedTo(kLast);
    flight.Screenshot("end");
    flight.End();
}

// The task editor opens with the task the settings name; OK and the task
// points' and limits' OK activate it, and the destination becomes its start.
TEST(ProgramFlight, TaskActivationNamesTheStart) {
    FlownProgram flight = Flown("task");
    ASSERT_TRUE(flight.StartAndFlyTo(kLast - 60));
    ASSERT_TRUE(flight.ActivateTask("task"));
    flight.FeedTo(kLast - 30);
    EXPECT_EQ(flight.Texts()["DestinationNameText"], "S,Home");
    flight.Screenshot("task_activated");
    for (const std::string& box : flight.Running().Boxes())
        ADD_FAILURE() << box;
    flight.End();
}

// A tap on a waypoint's symbol offers it in the map's goto list; its row
// makes it the destination, as the pilot's finger would.
TEST(ProgramFlight, TheMapsGoToNamesTheDestination) {
    FlownProgram flight = Flown("goto");
    ASSERT_TRUE(flight.StartAndFlyTo(kLast - 60));
    std::string at;
    for (const std::string& line : flight.Ask("symbols", "symbols listed")) {
        if (!line.starts_with("symbol\tNear\t")) continue;
        at = line.substr(std::string("symbol\tNear\t").size());
        std::replace(at.begin(), at.end(), '\t', ' ');
    }
    ASSERT_FALSE(at.empty()) << "no symbol for Near";
    flight.Ask("tap " + at, "tapped");
    flight.Screenshot("goto_list");
    flight.Ask("pickrow 0", "picked");
    flight.FeedTo(kLast - 50);
    EXPECT_EQ(flight.Texts()["DestinationNameText"], "Near");
    flight.End();
}

// The map's replay button, "<icon index> shown|hidden".
std::string ReplayButton(FlownProgram& flight) {
    for (const std::string& line : flight.Ask("button 125", "button 125")) {
        if (line.starts_with("button 125 ")) return line.substr(11);
    }
    return {};
}
std::string MenuLabel(FlownProgram& flight, int command) {
    const std::string prefix = "menu " + std::to_string(command) + "\t";
    for (const std::string& line : flight.Ask("menu " + std::to_string(command), prefix)) {
        if (line.starts_with(prefix)) return line.substr(prefix.size());
    }
    return {};
}

// Waits until the replay button shows `wanted`; what it shows last.
std::string WaitForReplayButton(FlownProgram& flight, const std::string& wanted) {
    std::string shown;
    for (int i = 0; i < 100 && shown != wanted; ++i) {
        shown = ReplayButton(flight);
        if (shown != wanted) std::this_thread::sleep_for(100ms);
    }
    return shown;
}

// The program flown live, with the shared recorded flights as its flight
// file folder.
FlownProgram FlownWithReplays(const std::string& name) {
    const fs::path flights = kSource / "../shared/testdata/igc/";
    return Flown(name, {{"Settings", "FlightFileFolder", flights.wstring()}});
}

// Flight > Replay flight with a flight south of the equator, where the one
// flown live is north; true once the map's button shows the replay.
bool StartReplay(FlownProgram& flight) {
    if (!flight.Open(xrc::main_frame::kReplayFlight, "Flight File")) return false;
    flight.Ask("type 0asljd01.igc", "typed");
    flight.Press("OK");
    return WaitForReplayButton(flight, "5 shown") == "5 shown";
}

// Flight > Replay flight plays a recorded flight through the fix commit:
// while it runs the map's glide-mode button shows the replay and the menu
// item stops it, and the displays show the replayed flight; stopped, the
// button shows the glide mode again.
TEST(ProgramFlight, AReplayShowsOnTheMapsButtonUntilItIsStopped) {
    FlownProgram flight = FlownWithReplays("replay");
    ASSERT_TRUE(flight.StartAndFlyTo(kFirst + 20));
    const std::string glideMode = ReplayButton(flight);
    const std::string replayItem = MenuLabel(flight, xrc::main_frame::kReplayFlight);
    EXPECT_NE(glideMode.substr(0, 2), "5 ") << glideMode;

    ASSERT_TRUE(StartReplay(flight));
    EXPECT_NE(MenuLabel(flight, xrc::main_frame::kReplayFlight), replayItem);
    const auto texts = flight.TextsNow();
    EXPECT_NE(texts.at("LatitudeText").find('S'), std::string::npos) << texts.at("LatitudeText");
    flight.Screenshot("replay");

    flight.Send("command " + std::to_string(xrc::main_frame::kReplayFlight));
    EXPECT_EQ(WaitForReplayButton(flight, glideMode), glideMode);
    EXPECT_EQ(MenuLabel(flight, xrc::main_frame::kReplayFlight), replayItem);
    flight.End();
}

// The fix time the position page shows (" h:mm'ss\" zone"), in seconds of
// the day; -1 when it shows none.
int ShownFixSeconds(FlownProgram& flight) {
    const std::string text = flight.TextsNow().at("TimeText");
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (std::sscanf(text.c_str(), "%d:%d'%d", &hours, &minutes, &seconds) != 3) return -1;
    return hours * 3600 + minutes * 60 + seconds;
}

// Holding the map's replay button pauses a replay: the fix time stands
// while the finger stays. Lifted, the replay plays on, slowly at first
// (half a second a fix, where it had run as fast as it could).
TEST(ProgramFlight, HoldingTheReplayButtonPausesTheReplay) {
    FlownProgram flight = FlownWithReplays("replay_pause");
    ASSERT_TRUE(flight.StartAndFlyTo(kFirst + 20));
    const std::string glideMode = ReplayButton(flight);
    ASSERT_TRUE(StartReplay(flight));
    const int before = ShownFixSeconds(flight);
    std::this_thread::sleep_for(1s);
    const int running = ShownFixSeconds(flight);
    EXPECT_GT(running, before + 40) << "the replay did not run at full speed";

    flight.Ask("hold 125", "held");
    std::this_thread::sleep_for(1s);  // the fix in hand reaches the page
    const int held = ShownFixSeconds(flight);
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(ShownFixSeconds(flight), held) << "the replay went on while paused";

    flight.Ask("lift 125", "lifted");
    int played = held;
    for (int i = 0; i < 50 && played == held; ++i) {
        std::this_thread::sleep_for(100ms);
        played = ShownFixSeconds(flight);
    }
    EXPECT_GT(played, held) << "the replay did not play on";
    // The first fixes after the pause come about half a second apart:
    // a second later, a few fixes (4 s apart in the file) more, not dozens.
    std::this_thread::sleep_for(1s);
    EXPECT_LE(ShownFixSeconds(flight), played + 5 * 4);

    flight.Send("command " + std::to_string(xrc::main_frame::kReplayFlight));
    EXPECT_EQ(WaitForReplayButton(flight, glideMode), glideMode);
    flight.End();
}

// Pixels of the red the map draws a dropped mark in.
int RedPixels(const wxImage& image) {
    int red = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            red += image.GetRed(x, y) > 180 && image.GetGreen(x, y) < 100 && image.GetBlue(x, y) < 100
                       ? 1
                       : 0;
        }
    }
    return red;
}

wxImage MapShot(FlownProgram& flight, const std::string& name) {
    const fs::path shot = FlownProgram::ScreenshotFile(name);
    fs::create_directories(shot.parent_path());
    flight.Ask("mapshot " + shot.string(), "mapshot");
    platform::gui::EnsurePngHandler();
    wxImage image;
    EXPECT_TRUE(image.LoadFile(shot.string(), wxBITMAP_TYPE_PNG)) << shot;
    return image;
}

// Flight > Mark position drops a mark where the glider is: the map file
// keeps it and the map draws it at once, without a fix more.
TEST(ProgramFlight, MarkPositionDrawsTheMarkAtOnce) {
    FlownProgram flight = Flown("mark");
    ASSERT_TRUE(flight.StartAndFlyTo(kLast - 60));
    flight.Texts();
    const fs::path map = flight.Folder() / "flight.map";
    const auto mapSize = fs::file_size(map);
    const int redBefore = RedPixels(MapShot(flight, "mark_before"));
    flight.Send("command " + std::to_string(xrc::main_frame::kMarkPosition));
    std::this_thread::sleep_for(1500ms);
    EXPECT_GT(RedPixels(MapShot(flight, "mark_after")), redBefore + 20);
    EXPECT_GT(fs::file_size(map), mapSize);
    flight.End();
}

// With no stored variation (a first start) the receiver's sentences, sent
// before the program opens its port, give magnetic values equal to the true
// ones, start after start.
TEST(ProgramFlight, MagneticValuesEqualTrueOnesAtEveryStart) {
    for (int run = 0; run < 10; ++run) {
        SCOPED_TRACE("start " + std::to_string(run));
        FlownProgram flight = Flown("variation_" + std::to_string(run));
        ASSERT_TRUE(flight.StartAndFlyTo(kFirst + 40));
        const auto texts = GoneTo(flight, "Far", kFirst + 50);
        ASSERT_EQ(texts.at("DestinationNameText"), "Far");
        const IgcFix& last = Fixes()[flight.LastFed()];
        const double far = test_support::CourseDeg(last, At(Fields()[2]));
        const double bearing = NumberBefore(texts.at("BearingText"), 'm');
        ASSERT_GE(bearing, 0.0) << texts.at("BearingText");
        EXPECT_LT(AngleBetween(bearing, far), 3.0) << texts.at("BearingText") << " to " << far;
        flight.End();
    }
}

}  // namespace
