// Flies the demonstration flight second by second.

#include "tools/demo/flight_path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/demo/demo_files.h"

namespace demo {
namespace {

constexpr double kPathMetresPerSecondPerKnot = 1852.0 / 3600.0;  // m/s
constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kGravity = 9.81;
constexpr double kGlideKmh = 135.0;
constexpr double kFinalKmh = 140.0;
constexpr double kCirclingMs = 24.7;  // about 89 km/h at 45 degrees of bank
constexpr double kTowMs = 33.4;
constexpr double kArrivalAboveHomeM = 150.0;

double WrapPathDegrees(double deg) {
    deg = std::fmod(deg, 360.0);
    return deg < 0.0 ? deg + 360.0 : deg;
}

double Wrap180(double deg) {
    deg = WrapPathDegrees(deg);
    return deg > 180.0 ? deg - 360.0 : deg;
}

// The heading that keeps the ground track on `trackDeg` at this airspeed.
double HeadingForTrack(double trackDeg, double tasMs) {
    const LocalPoint w = WindVelocityMs();
    const double t = trackDeg * kRad;
    const double cross = w.east * std::cos(t) - w.north * std::sin(t);  // to the right
    const double along = std::sqrt(std::max(0.0, tasMs * tasMs - cross * cross));
    const double east = along * std::sin(t) - cross * std::cos(t);
    const double north = along * std::cos(t) + cross * std::sin(t);
    return WrapPathDegrees(std::atan2(east, north) / kRad);
}

// Ground speed along a track at this airspeed.
double GroundSpeedOnTrack(double trackDeg, double tasMs) {
    const double h = HeadingForTrack(trackDeg, tasMs) * kRad;
    const LocalPoint w = WindVelocityMs();
    return std::hypot(tasMs * std::sin(h) + w.east, tasMs * std::cos(h) + w.north);
}

double Kmh(double kmh) {
    return kmh / 3.6;
}

class Simulator {
  public:
    Simulator(LocalPoint at, double altitudeM, double headingDeg)
        : at_(at), altitudeM_(altitudeM), headingDeg_(headingDeg) {}

    int Now() const { return static_cast<int>(flight_.samples.size()); }
    LocalPoint At() const { return at_; }
    double Altitude() const { return altitudeM_; }
    Flight& Result() { return flight_; }

    // On the ground, moving at groundMs along the heading.
    void Roll(double groundMs) {
        const double h = headingDeg_ * kRad;
        Record(groundMs * std::sin(h), groundMs * std::cos(h), 0.0, true);
    }

    // In the air: turns towards headingDeg at most maxTurnDeg this second.
    void Fly(double headingDeg, double tasMs, double climbMs, double maxTurnDeg = 10.0) {
        headingDeg_ = WrapPathDegrees(
            headingDeg_ + std::clamp(Wrap180(headingDeg - headingDeg_), -maxTurnDeg, maxTurnDeg));
        const double h = headingDeg_ * kRad;
        const LocalPoint w = WindVelocityMs();
        tas_ = tasMs;
        Record(tasMs * std::sin(h) + w.east, tasMs * std::cos(h) + w.north, climbMs, false);
    }

    // One second towards the target on the glide at this speed.
    void GlideTowards(LocalPoint target, double kmh) {
        const double tas = Kmh(kmh);
        Fly(HeadingForTrack(BearingDeg(at_, target), tas), tas, -PolarSinkMs(kmh));
    }

    // Circles at 45 degrees of bank, drifting with the air, climbing at climbMs.
    void Circle(double climbMs, bool right) {
        const double turnDeg = kGravity / kCirclingMs / kRad;  // tan 45 = 1
        Fly(headingDeg_ + (right ? turnDeg : -turnDeg), kCirclingMs, climbMs, 360.0);
    }

  private:
    void Record(double groundEast, double groundNorth, double climbMs, bool onGround) {
        at_.east += groundEast / 1000.0;
        at_.north += groundNorth / 1000.0;
        altitudeM_ += climbMs;
        const double ground = TerrainHeightM(at_);
        if (onGround || altitudeM_ < ground) altitudeM_ = ground;
        FlightSample s;
        s.second = Now();
        s.at = at_;
        s.altitudeM = altitudeM_;
        s.groundEastMs = groundEast;
        s.groundNorthMs = groundNorth;
        // The air velocity is what the ground velocity leaves after the wind.
        const LocalPoint w = WindVelocityMs();
        s.tasMs = std::hypot(groundEast - w.east, groundNorth - w.north);
        s.headingDeg =
            WrapPathDegrees(std::atan2(groundEast - w.east, groundNorth - w.north) / kRad);
        s.varioMs = onGround ? 0.0 : climbMs;
        s.onGround = onGround;
        const std::size_t n = std::min<std::size_t>(flight_.samples.size(), 19);
        double sum = s.varioMs;
        for (std::size_t i = 0; i < n; ++i)
            sum += flight_.samples[flight_.samples.size() - 1 - i].varioMs;
        s.averageVarioMs = sum / static_cast<double>(n + 1);
        flight_.samples.push_back(s);
    }

    LocalPoint at_;
    double altitudeM_;
    double headingDeg_;
    double tas_ = 0.0;
    Flight flight_;
};

double AlongTrack(LocalPoint from, double bearingDeg, LocalPoint p) {
    const double b = bearingDeg * kRad;
    return (p.east - from.east) * std::sin(b) + (p.north - from.north) * std::cos(b);
}

// How much height a glide from p to the target at this speed costs.
double GlideLossM(LocalPoint p, LocalPoint target, double kmh) {
    const double distanceM = DistanceKm(p, target) * 1000.0;
    return distanceM / GroundSpeedOnTrack(BearingDeg(p, target), Kmh(kmh)) * PolarSinkMs(kmh);
}

void Thermal(Simulator& sim, FlightEvents& e, int index, double climbMs, bool right,
             const auto& done) {
    e.thermalStart[index] = sim.Now();
    while (!done()) sim.Circle(climbMs, right);
    e.thermalEnd[index] = sim.Now();
}

constexpr double kRunwayDeg = kWindFromDeg;  // take off and land into the wind

// 1. Three minutes on the field; 2. the tow: a 25 s roll, then 8 minutes out
// into the wind, a turn, and back, up to 700 m over the field.
void StandAndTow(Simulator& sim, FlightEvents& e) {
    for (int i = 0; i < 180; ++i) sim.Roll(0.0);
    for (int i = 1; i <= 25; ++i)
        sim.Roll((kTowMs - kWindKnots * kPathMetresPerSecondPerKnot) * i / 25.0);
    e.takeOff = sim.Now();
    const double towClimb = 700.0 / 455.0;
    for (int i = 0; i < 455; ++i)
        sim.Fly(i < 230 ? kRunwayDeg : kRunwayDeg + 180.0, kTowMs, towClimb, 3.0);
    e.release = sim.Now();
}

// 3a. The first thermal, where the wind estimate settles; then behind the
// start line and across it towards the first turnpoint.
void FirstThermalAndStart(Simulator& sim, FlightEvents& e) {
    const Task& task = TheTask();
    for (int i = 0; i < 15; ++i) sim.Fly(kRunwayDeg + 240.0, Kmh(100.0), -PolarSinkMs(100.0));
    Thermal(sim, e, 0, 1.5, false, [&] { return sim.Altitude() >= 1150.0; });
    const double leg1 = BearingDeg(task.start, task.turnpoint1);
    const LocalPoint preStart = Offset(task.start, leg1 + 180.0, 1.5);
    while (DistanceKm(sim.At(), preStart) > 0.2) sim.GlideTowards(preStart, kGlideKmh);
    while (AlongTrack(task.start, leg1, sim.At()) < 0.0)
        sim.GlideTowards(task.turnpoint1, kGlideKmh);
    e.start = sim.Now() - 1;
}

// 3b. The second thermal, 12 km along the first leg; 5. the crossing of
// the first zone inside its band; the first turnpoint.
void FirstLeg(Simulator& sim, FlightEvents& e) {
    const Task& task = TheTask();
    const double leg1 = BearingDeg(task.start, task.turnpoint1);
    while (AlongTrack(task.start, leg1, sim.At()) < 12.0)
        sim.GlideTowards(task.turnpoint1, kGlideKmh);
    Thermal(sim, e, 1, 2.5, true, [&] { return sim.Altitude() >= 1600.0; });
    const Zone& crossed = Zones().front();
    while (DistanceKm(sim.At(), task.turnpoint1) > 0.1) {
        sim.GlideTowards(task.turnpoint1, kGlideKmh);
        const bool in = InsideOutline(crossed, sim.At()) && sim.Altitude() >= crossed.floorM &&
                        sim.Altitude() <= crossed.ceilingM;
        if (in && e.zoneEntry == 0) e.zoneEntry = sim.Now() - 1;
        if (!in && e.zoneEntry != 0 && e.zoneExit == 0) e.zoneExit = sim.Now() - 1;
        if (e.turnpoint1 == 0 && DistanceKm(sim.At(), task.turnpoint1) < task.turnpointRadiusKm)
            e.turnpoint1 = sim.Now() - 1;
    }
}

// 3c. Under the second zone, then the third thermal, 20 km along the
// second leg, up to what the final glide over the ridge needs.
void SecondLeg(Simulator& sim, FlightEvents& e) {
    const Task& task = TheTask();
    const double leg2 = BearingDeg(task.turnpoint1, task.turnpoint2);
    while (AlongTrack(task.turnpoint1, leg2, sim.At()) < 20.0)
        sim.GlideTowards(task.turnpoint2, kGlideKmh);
    const double neededAtTurnpoint2 = Airfields().front().elevationM + kArrivalAboveHomeM +
                                      GlideLossM(task.turnpoint2, task.finish, kFinalKmh);
    Thermal(sim, e, 2, 3.0, false, [&] {
        return sim.Altitude() >=
               neededAtTurnpoint2 + GlideLossM(sim.At(), task.turnpoint2, kGlideKmh) + 15.0;
    });
    while (DistanceKm(sim.At(), task.turnpoint2) > 0.1) {
        sim.GlideTowards(task.turnpoint2, kGlideKmh);
        if (e.turnpoint2 == 0 && DistanceKm(sim.At(), task.turnpoint2) < task.turnpointRadiusKm)
            e.turnpoint2 = sim.Now() - 1;
    }
}

// 6. The final glide over the ridge to the home field; 7. straight in, into
// the wind, with the airbrakes out; the roll-out; a minute standing.
void FinalGlideAndLanding(Simulator& sim, FlightEvents& e) {
    const Task& task = TheTask();
    while (DistanceKm(sim.At(), task.finish) > 0.15) {
        sim.GlideTowards(task.finish, kFinalKmh);
        if (e.finish == 0 && DistanceKm(sim.At(), task.finish) < task.finishRadiusKm)
            e.finish = sim.Now() - 1;
    }
    e.arrivalAboveHomeM = sim.Altitude() - Airfields().front().elevationM;
    const double approach = Kmh(90.0);
    while (sim.Altitude() - TerrainHeightM(sim.At()) > 3.0) {
        const double height = sim.Altitude() - TerrainHeightM(sim.At());
        sim.Fly(kRunwayDeg, approach, height > 15.0 ? -2.5 : -1.0, 10.0);
    }
    e.landing = sim.Now();
    const double touchDown = approach - kWindKnots * kPathMetresPerSecondPerKnot;
    for (int i = 1; i <= 20; ++i) sim.Roll(touchDown * (20 - i) / 20.0);
    e.stopped = sim.Now();
    for (int i = 0; i < 60; ++i) sim.Roll(0.0);
}

}  // namespace

LocalPoint WindVelocityMs() {
    const double from = kWindFromDeg * kRad;
    return {-kWindKnots * kPathMetresPerSecondPerKnot * std::sin(from),
            -kWindKnots * kPathMetresPerSecondPerKnot * std::cos(from)};
}

Flight FlyDemoFlight() {
    const Airfield& home = Airfields().front();
    Simulator sim(Offset(home.at, kRunwayDeg + 180.0, 0.6), home.elevationM, kRunwayDeg);
    FlightEvents e;
    StandAndTow(sim, e);
    FirstThermalAndStart(sim, e);
    FirstLeg(sim, e);
    SecondLeg(sim, e);
    FinalGlideAndLanding(sim, e);
    Flight flight = std::move(sim.Result());
    flight.events = e;
    return flight;
}

}  // namespace demo
