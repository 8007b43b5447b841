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
#include "gps/nmea_line.h"
#include "gps/nmea_parser_state.h"
#include "gps/port_reader.h"
#include "gps/settings_values.h"

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

}  // namespace gps::testing
