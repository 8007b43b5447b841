#pragma once
// The main window's commands (menu, toolbar, keys and posted commands),
// their update-UI states and the messages worker threads post to it, as
// plain logic over FrameServices. The wx frame forwards its menu, update
// and window-message events here. UI thread only.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "frame/frame_services.h"
#include "resources/ids/main_frame.h"
#include "platform/window_messages.h"

namespace platform {
class SettingsStore;
struct WindowMessage;
}  // namespace platform

namespace frame {

// Command ids of the message table: those of the menu bar and toolbar as
// main_frame.xrc names them, and the commands only posted or inserted.
namespace cmd {
using namespace xrc::main_frame;
inline constexpr int kStopReplay = 32806;
inline constexpr int kSensorBox = 32819;
inline constexpr int kRescaleMap = 32820;
inline constexpr int kNothing = 32826;
}  // namespace cmd

// The auto-detect text numbers its point (the glide settings dialog and the
// auto-detect messages set it).
inline std::atomic<int> g_bAutodetectNumbered{0};

// 1 while a command's modal dialog is open: the views ignore taps meanwhile.
inline std::atomic<int> g_bModalDialogOpen{0};

// Window messages the frame handles besides commands.
namespace msg {
inline constexpr unsigned kHidePopup = platform::WM_USER + 10;
inline constexpr unsigned kReplayFinished = platform::WM_USER + 201;
inline constexpr unsigned kAppMessage8 = platform::WM_APP + 8;
inline constexpr unsigned kSensorBox = platform::WM_APP + 0xA;
inline constexpr unsigned kSystemError = platform::WM_APP + 0x14;
inline constexpr unsigned kAltitudeOffset = platform::WM_APP + 0x1C;
inline constexpr unsigned kPlaySound = platform::WM_APP + 0x1D;
inline constexpr unsigned kRedrawMapBuffer = platform::WM_APP + 0x1E;
inline constexpr unsigned kAutodetectUpdate = platform::WM_APP + 0x20;
inline constexpr unsigned kTeamCode = platform::WM_APP + 0x21;
inline constexpr unsigned kWindEstimate = platform::WM_APP + 0x23;
inline constexpr unsigned kWaypointsLoaded = platform::WM_APP + 0x25;
inline constexpr unsigned kWaveInData = platform::MM_WIM_DATA;
}  // namespace msg

// One entry of the frame's message table.
enum class EntryKind { kWindow, kCommand, kUpdate, kMessage };
struct MessageTableEntry {
    EntryKind kind;
    unsigned id;  // command id or message number; 0 for window events
    const char* handler;
};
inline constexpr int kMessageTableSize = 73;
extern const std::array<MessageTableEntry, kMessageTableSize> kFrameMessageTable;

struct UiState {
    bool enabled = true;
    bool checked = false;
    friend bool operator==(const UiState&, const UiState&) = default;
};

// The elapsed-time counter (hours; start -1: not running).
struct ElapsedTimer {
    double start = -1.0;
    double mark = -1.0;
    double elapsed = 0.0;
};

// The elapsed-time text: "%2dh%02d" (the minutes rounded and carried into
// the hours, never "h60") in hours-and-minutes form, else "%04.2fh".
std::wstring FormatElapsed(double hours, bool inMinutes);

// The queue index after a step of delta from current over 0..highest,
// wrapping at both ends.
int StepQueueIndex(int current, int highest, int delta);

class FrameCommands {
  public:
    FrameCommands(FrameServices services, platform::SettingsStore& settings);

    // Runs a command; false for an id the frame does not handle.
    bool Execute(int command);
    // The state of a menu or toolbar item; commands without an update
    // handler are enabled.
    UiState Update(int command) const;
    // A window message; its result. Unknown messages give 0.
    std::intptr_t OnMessage(const platform::WindowMessage& message);

    // Frame members used by other parts.
    int SelectTask(bool clearOnCancel);
    void ReopenGpsPort();
    // Updates the counter from the fix time and writes the elapsed text.
    std::wstring FormatTimeToGo();

    // State, readable for the views and tests.
    int ModalDialogOpen() const { return modalDialogOpen_; }
    bool OverlayShown() const { return overlayShown_; }
    std::int64_t LastMarkTime() const { return lastMarkTime_; }
    std::int64_t LastSystemErrorTime() const { return lastSystemErrorTime_; }
    ElapsedTimer& Timer() { return timer_; }
    int declareMode = 0;
    int lastOptionsPage = 0;
    // The altitude-gain sound played when the message names none.
    std::wstring altitudeGainSound;

  private:
    class ModalScope;
    void SetModal(int open);

    void OnPortSettings();
    void OnOptions();
    void OnOpenWaypointFile();
    void OnTaskDialog(int mode);
    void OnNewMapPoint();
    void OnNewWaypoint();
    void OnWindDialog();
    void OnGlideSettings();
    void OnStepWaypoint(int delta);
    void OnLoadMap();
    void OnMarkPosition();
    void OnStopReplay();
    void OnToggleUsePolar();
    void OnRescaleMap();
    void OnRestartTimer();
    void OnOverlay();
    void OnTaskPointTap(int command);
    void OnSaveTaskFile();
    void OnLoadTaskFile();
    bool TapEnabled(int command) const;
    int GlideModePicture() const;

    std::intptr_t OnHidePopup(std::uintptr_t handle);
    std::intptr_t OnGpsLink(std::intptr_t link);
    std::intptr_t OnWaypointsLoaded();
    std::intptr_t OnShowSystemError(int error);
    std::intptr_t OnAltitudeOffset(std::uintptr_t speedTenths, std::intptr_t gainFeet,
                                   const std::wstring& sound);
    std::intptr_t OnAutodetectUpdate(std::uintptr_t which, std::intptr_t point);
    std::intptr_t OnTeamCode();

    FrameServices s_;
    platform::SettingsStore& settings_;
    int modalDialogOpen_ = 0;
    bool overlayShown_ = true;  // an overlay loaded at start-up is seen
    bool reopening_ = false;
    std::int64_t lastMarkTime_ = 0;
    std::int64_t lastSystemErrorTime_ = 0;
    bool systemErrorShown_ = false;
    ElapsedTimer timer_;
};

}  // namespace frame
