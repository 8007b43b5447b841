#include "glide/reachable_outline.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>

#include "core/elevation_model.h"
#include "glide/settings_values.h"
#include "platform/critical_section.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"

namespace glide {
namespace {

constexpr const char* kMaps = "Options\\Maps";
constexpr int kFewestPoints = 48;
constexpr int kMostPoints = 240;  // what the options page offers
constexpr int kPointPauseMs = 5;
constexpr int kIdlePauseMs = 1000;
constexpr int kFailurePauseMs = 1000;
constexpr int kRecomputeIntervalMs = 20000;
constexpr std::intptr_t kOutlineReady = 1;
constexpr std::intptr_t kOutlineLost = 2;
// The outline's line: 2 pixels, yellow, on the black (transparent) image.
constexpr double kLineWidth = 2.0;
constexpr double kLineRed = 1.0;
constexpr double kLineGreen = 1.0;
constexpr double kLineBlue = 0.0;

int ReadOutlineInt(std::string_view name, int defaultValue) {
    return static_cast<std::int32_t>(
        platform::AppSettings().GetInt(kMaps, name, static_cast<std::uint32_t>(defaultValue)));
}

// The outline options; returns "ShowReachableOutline".
bool LoadOptions() {
    g_reachableUseDefaultMc = ReadOutlineInt("ReachableUseDefaultMC", 1);
    g_reachableDefaultMc = static_cast<float>(ReadOutlineInt("ReachableDefaultMC", 0)) / 1000.0F;
    const int points = ReadOutlineInt("numberPointsOnOutline", kFewestPoints);
    // More points than the options offer is not a stored choice.
    g_numberPointsOnOutline =
        points > kMostPoints ? kFewestPoints : std::max(points, kFewestPoints);
    return ReadOutlineInt("ShowReachableOutline", 0) != 0;
}

void FillBlack(platform::Image& image) {
    if (image.Empty()) return;
    cairo_t* cr = cairo_create(image.Surface());
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_paint(cr);
    cairo_destroy(cr);
}

void DrawPolygon(platform::Image& image, const std::vector<OutlinePoint>& polygon,
                 const OutlineProjector& projector) {
    if (image.Empty() || !projector) return;
    cairo_t* cr = cairo_create(image.Surface());
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(cr, kLineRed, kLineGreen, kLineBlue);
    cairo_set_line_width(cr, kLineWidth);
    bool penDown = false;
    for (const OutlinePoint& point : polygon) {
        const auto at = projector(point);
        if (!at) {
            penDown = false;
            continue;
        }
        if (penDown) {
            cairo_line_to(cr, at->first, at->second);
        } else {
            cairo_move_to(cr, at->first, at->second);
        }
        penDown = true;
    }
    cairo_stroke(cr);
    cairo_destroy(cr);
}

}  // namespace

// What the worker shares with the user interface.
struct CReachableOutline::Shared {
    enum class WakeOn { kStopOnly, kRestart, kAnySignal };

    explicit Shared(int count) : pointCount(count) {}

    const int pointCount;

    // The outline lock: polygon, image, projector and fix source.
    mutable platform::CriticalSection lock;
    std::vector<OutlinePoint> polygon;
    platform::Image bitmap;
    OutlineProjector projector;
    OutlineFixSource fixSource;

    std::atomic<bool> restart{false};
    std::atomic<bool> shown{false};
    std::atomic<bool> ready{true};
    std::atomic<platform::WindowId> window{0};
    std::atomic<float> baseOffset{0.0F};

    std::mutex wakeMutex;
    std::condition_variable_any wake;
    bool signalled = false;  // under wakeMutex

    void Draw(bool suppress) {
        const platform::CriticalSectionLock hold(lock);
        FillBlack(bitmap);
        if (shown && g_useDemInfo != 0 && !suppress && polygon.size() > 1) {
            DrawPolygon(bitmap, polygon, projector);
        }
    }

    std::optional<OutlineFix> Fix() const {
        OutlineFixSource source;
        {
            const platform::CriticalSectionLock hold(lock);
            source = fixSource;
        }
        return source ? source() : std::nullopt;
    }

    void Wake() {
        {
            const std::lock_guard hold(wakeMutex);
            signalled = true;
        }
        wake.notify_all();
    }

    // Waits up to ms, ending early on stop and on what `on` names.
    void Pause(const std::stop_token& stop, int ms, WakeOn on) {
        std::unique_lock hold(wakeMutex);
        wake.wait_for(hold, stop, std::chrono::milliseconds(ms), [&] {
            if (on == WakeOn::kStopOnly) return false;
            return restart.load() || (on == WakeOn::kAnySignal && signalled);
        });
        signalled = false;
    }

    void Post(std::intptr_t what) {
        const platform::WindowId target = window;
        if (target != 0) platform::PostWindowMessage(target, platform::WM_APP_REACH_READY, 0, what);
    }
};

namespace {

using Shared = CReachableOutline::Shared;

// Waits until the outline is shown, the terrain is used and a fix with an
// altitude exists; nothing on stop.
std::optional<OutlineFix> AwaitFix(Shared& s, const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        const bool useDem = g_useDemInfo != 0;
        if (!s.shown || !useDem) s.Draw(false);
        if (s.shown && useDem) {
            const auto fix = s.Fix();
            if (fix && fix->altitudeValid) return fix;
        }
        s.Pause(stop, kIdlePauseMs, Shared::WakeOn::kAnySignal);
    }
    return std::nullopt;
}

void Publish(Shared& s, std::vector<OutlinePoint> points, const std::stop_token& stop) {
    {
        const platform::CriticalSectionLock hold(s.lock);
        s.polygon = std::move(points);
        const OutlinePoint& first = s.polygon.front();
        const OutlinePoint& last = s.polygon.back();
        if (first.latitude != last.latitude || first.lonWest != last.lonWest) {
            s.polygon.push_back(first);
        }
    }
    s.ready = true;
    if (!stop.stop_requested()) s.Post(kOutlineReady);
}

void Lose(Shared& s, const std::stop_token& stop) {
    {
        const platform::CriticalSectionLock hold(s.lock);
        s.Draw(true);
        s.polygon.clear();
    }
    if (!stop.stop_requested() && s.window != 0 && s.ready.exchange(false)) s.Post(kOutlineLost);
}

// Recomputes the outline every interval until a stop, a restart, a lost fix
// or a failed pass.
void ComputeUntilRestart(Shared& s, const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        if (s.restart.exchange(false)) return;
        const auto fix = s.Fix();
        if (!fix || !fix->altitudeValid) return;
        // One consistent set of polar, wind and settings for the whole pass.
        const GlideContext context = CurrentGlideContext();
        const ReachSettings settings = CurrentReachSettings(s.baseOffset);
        const auto model = core::CurrentElevationModel();
        const GlidePoint start{fix->latitude, fix->lonWest, 0.0F, false};
        const auto pacer = [&s, &stop] {
            s.Pause(stop, kPointPauseMs, Shared::WakeOn::kRestart);
            return !stop.stop_requested() && !s.restart;
        };
        OutlinePass pass = ComputeOutline(context, settings, model.get(), start, fix->altitude,
                                          s.pointCount, pacer);
        switch (pass.status) {
            case OutlinePass::Status::kAbandoned:
                break;
            case OutlinePass::Status::kComplete:
                Publish(s, std::move(pass.points), stop);
                s.Pause(stop, kRecomputeIntervalMs, Shared::WakeOn::kRestart);
                break;
            case OutlinePass::Status::kFailed:
                Lose(s, stop);
                s.Pause(stop, kFailurePauseMs, Shared::WakeOn::kStopOnly);
                return;
        }
    }
}

void RunOutline(const std::shared_ptr<Shared>& shared, const std::stop_token& stop) {
    while (AwaitFix(*shared, stop))
        ComputeUntilRestart(*shared, stop);
}

}  // namespace

CReachableOutline::CReachableOutline() {
    const bool shown = LoadOptions();
    shared_ = std::make_shared<Shared>(g_numberPointsOnOutline);
    shared_->shown = shown;
}

CReachableOutline::~CReachableOutline() {
    StopThread(10);
}

void CReachableOutline::CreateBitmap(int width, int height) {
    const platform::CriticalSectionLock hold(shared_->lock);
    shared_->bitmap = platform::Image(width, height);
    FillBlack(shared_->bitmap);
}

void CReachableOutline::StartThread() {
    if (thread_.Running()) {
        Restart();
        return;
    }
    thread_.Start([shared = shared_](const std::stop_token& stop) { RunOutline(shared, stop); });
}

void CReachableOutline::Restart() {
    shared_->restart = true;
    {
        const platform::CriticalSectionLock hold(shared_->lock);
        shared_->polygon.clear();
    }
    shared_->Draw(false);
    shared_->Wake();
}

bool CReachableOutline::StopThread(int timeoutSeconds) {
    return thread_.Stop(static_cast<std::uint32_t>(std::max(timeoutSeconds, 0)) * 1000U);
}

void CReachableOutline::Draw(bool suppress) {
    shared_->Draw(suppress);
}

void CReachableOutline::SetNotifyWindow(platform::WindowId window) {
    shared_->window = window;
}

void CReachableOutline::SetFixSource(OutlineFixSource source) {
    const platform::CriticalSectionLock hold(shared_->lock);
    shared_->fixSource = std::move(source);
}

void CReachableOutline::SetProjector(OutlineProjector projector) {
    const platform::CriticalSectionLock hold(shared_->lock);
    shared_->projector = std::move(projector);
}

void CReachableOutline::SetShown(bool shown) {
    shared_->shown = shown;
    shared_->Wake();
}

bool CReachableOutline::Shown() const {
    return shared_->shown;
}

void CReachableOutline::SetBaseOffset(float feet) {
    shared_->baseOffset = feet;
}

int CReachableOutline::PointCount() const {
    return shared_->pointCount;
}

std::vector<OutlinePoint> CReachableOutline::Polygon() const {
    const platform::CriticalSectionLock hold(shared_->lock);
    return shared_->polygon;
}

void CReachableOutline::ReadBitmap(
    const std::function<void(const platform::Image&)>& reader) const {
    const platform::CriticalSectionLock hold(shared_->lock);
    reader(shared_->bitmap);
}

}  // namespace glide
