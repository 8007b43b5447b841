#pragma once
// Shared by the tests that run the real port reader: a recorder of what the
// reader hands on, the recorded capture of a real instrument, and a clean
// start for the sentence parser.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "gps/gps_fix_record.h"
#include "gps/gps_port.h"
#include "gps/port_dialog_feed.h"
#include "gps/port_events.h"
#include "gps/nmea_line.h"
#include "gps/nmea_parser_state.h"
#include "gps/port_reader.h"
#include "gps/settings_values.h"
#include "platform/message_box.h"
#include "platform/serial_device.h"
#include "platform/ui_post.h"
#include "platform/utf.h"
#include "testing/pseudo_terminal.h"

namespace gps::testing {

// The capture's sentences, each ending in CR LF as an instrument sends
// them.
inline std::vector<std::string> CaptureSentences() {
    std::ifstream file(KV_SOURCE_DIR "/../shared/testdata/nmea/flarm-capture.nmea");
    std::vector<std::string> sentences;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) sentences.push_back(line + "\r\n");
    }
    return sentences;
}

// What the parser yielded for one accepted sentence.
struct ParsedFix {
    double latitude;
    double longitude;
    float groundSpeed;
    double trueCourse;
    float gpsAltitude;
    float pressureAltitude;
    std::int32_t hours;
    std::int32_t minutes;
    float seconds;
    std::uint32_t valueMask;
    std::uint32_t sourceMask;
    friend bool operator==(const ParsedFix&, const ParsedFix&) = default;
};

inline ParsedFix Snapshot(const GpsFixRecord& fix) {
    return {fix.latitude,    fix.longitude,        fix.groundSpeed, fix.trueCourse,
            fix.gpsAltitude, fix.pressureAltitude, fix.hours,       fix.minutes,
            fix.seconds,     fix.valueMask,        fix.sourceMask};
}

// The parser as at program load.
inline void ResetSentenceParser() {
    PendingFix = GpsFixRecord{};
    InitGpsFixRecords(nullptr);
    ResetNmeaParserState();
    g_nmeaCode = 0;
}

// Passes every call on to a real port; tests override what they change.
class ForwardingDevice : public platform::SerialDevice {
  public:
    explicit ForwardingDevice(std::unique_ptr<platform::SerialDevice> port)
        : port_(std::move(port)) {}

    platform::DataWait WaitForData(std::chrono::milliseconds timeout) override {
        return port_->WaitForData(timeout);
    }
    platform::PortStatus TakeStatus() override { return port_->TakeStatus(); }
    std::size_t Read(std::span<std::uint8_t> buffer) override { return port_->Read(buffer); }
    int Write(std::span<const std::uint8_t> bytes) override { return port_->Write(bytes); }
    int SetBaudRate(std::uint32_t rate) override { return port_->SetBaudRate(rate); }
    std::optional<unsigned> ModemLines() override { return port_->ModemLines(); }
    bool SetDtr(bool on) override { return port_->SetDtr(on); }
    bool SetRts(bool on) override { return port_->SetRts(on); }
    void Purge() override { port_->Purge(); }
    unsigned WaitForEvents(const platform::WakeEvent& wake, bool lineEvents) override {
        return port_->WaitForEvents(wake, lineEvents);
    }
    platform::PropertiesQuery QueryProperties() override { return port_->QueryProperties(); }
    platform::ReadTimeoutsResult SetReadTimeouts() override { return port_->SetReadTimeouts(); }

  private:
    std::unique_ptr<platform::SerialDevice> port_;
};

// Records every sentence the reader hands on, runs it through the standard
// step and, for accepted ones, keeps the parsed values (then clears the
// masks, as a commit would).
class SentenceRecorder {
  public:
    GpsInputHandlers Handlers() {
        return {[this](std::span<char> line) { return Take(line); },
                [this](const BinaryFrame& frame) {
                    const std::lock_guard lock(mutex_);
                    frames_.push_back(frame);
                    changed_.notify_all();
                }};
    }

    // Waits until count sentences have come; false on timeout.
    bool WaitForSentences(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return sentences_.size() >= count; });
    }
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
    }

    std::vector<std::string> Sentences() const {
        const std::lock_guard lock(mutex_);
        return sentences_;
    }
    std::vector<ParsedFix> Fixes() const {
        const std::lock_guard lock(mutex_);
        return fixes_;
    }
    std::vector<BinaryFrame> Frames() const {
        const std::lock_guard lock(mutex_);
        return frames_;
    }

  private:
    NmeaLineResult Take(std::span<char> line) {
        std::string text(line.data(), line.size());
        const NmeaLineResult result = HandleNmeaLine(line);
        const std::lock_guard lock(mutex_);
        if (result.accepted) {
            fixes_.push_back(Snapshot(PendingFix));
            PendingFix.valueMask = 0;
            PendingFix.sourceMask = 0;
        }
        sentences_.push_back(std::move(text));
        changed_.notify_all();
        return result;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> sentences_;
    std::vector<ParsedFix> fixes_;
    std::vector<BinaryFrame> frames_;
};

// kEventsOnLineFeed: waiting for events with "UseRxFlag" on.
enum class ReaderMode { kPolling, kEvents, kEventsOnLineFeed };

// A pseudo-terminal to play the instrument on, the reader's sentences
// recorded, and boxes and posts caught.
class GpsPortFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        ResetSentenceParser();
        g_baudRate = 4800;
        g_autoBaud = 0;
        SetGpsInputHandlers(recorder.Handlers());
    }
    void TearDown() override {
        CloseGpsPort();
        SetGpsInputHandlers({});
        SetGpsDeviceOpener(nullptr);
        SetGpsPortDialogOpen(false);
        g_autoBaud = 0;
        g_nmeaCode = 0;
        g_useRxFlag = 0;
        SetGpsPortEventMask();
    }

    // Opens the pseudo-terminal; waiting for events needs the polling flag
    // cleared once the reader has been started.
    bool OpenInMode(ReaderMode mode) {
        g_useRxFlag = mode == ReaderMode::kEventsOnLineFeed ? 1 : 0;
        if (!OpenGpsPort(platform::FromUtf8(pty.Path()))) return false;
        if (mode != ReaderMode::kPolling) SetGpsPortPolling(false);
        return true;
    }

    platform::ScopedRecordingSink boxes;
    platform::ScopedRecordingUiPost posts;
    test_support::PseudoTerminal pty;
    SentenceRecorder recorder;
};

}  // namespace gps::testing
