#pragma once
// Shared by the recorder tests: a clean recorder with a fixed clock, an
// in-memory settings store and a save dialog that answers with a file of a
// scratch folder.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "fix/tests/fix_test_support.h"
#include "nav/task_model.h"
#include "platform/settings_store.h"
#include "recorder/flight_log_file.h"
#include "recorder/igc_header.h"
#include "recorder/task_declaration.h"
#include "services/flight_log.h"
#include "testing/scratch_folder.h"

namespace recorder::testing {

using std::chrono::system_clock;

// 31 December 2024, 23:50:00.004 UTC: digest seed 1.
inline system_clock::time_point g_fakeNow =
    system_clock::time_point(std::chrono::seconds(1735689000)) + std::chrono::milliseconds(4);

inline system_clock::time_point FakeNow() {
    return g_fakeNow;
}

inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class RecorderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        gps::testing::StartFromLoad();
        core::SetLogClock(&FakeNow);
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(""));
        g_strLoggerId.Set(L"Q7Z");
        g_nDeclarations = 0;
        Answer("flight.igc", 2);
    }
    void TearDown() override {
        CloseFlightLog();
        SetLogSaveDialog(nullptr);
        core::SetLogClock(nullptr);
        platform::SetAppSettings(nullptr);
    }

    // The save dialog answers with name in the scratch folder.
    void Answer(const std::string& name, int filterIndex) {
        path_ = folder_ / name;
        SetLogSaveDialog([this, filterIndex](const LogSaveRequest& request) {
            lastRequest_ = request;
            return std::optional<LogSaveAnswer>(LogSaveAnswer{path_, filterIndex});
        });
    }

    std::string Log() const { return FileText(path_); }

    test_support::ScratchFolder folder_{"kv-recorder"};
    std::filesystem::path path_;
    LogSaveRequest lastRequest_;
};

// A task of `count` points 0.1 degree apart northwards from 47N 8E.
inline nav::CTask TaskOf(int count) {
    nav::CTask task;
    for (int i = 0; i < count; ++i) {
        auto point = std::make_unique<nav::CTaskPoint>();
        const double degree = 3.14159265358979323846 / 180.0;
        point->SetPosition((47.0 + 0.1 * i) * degree, -8.0 * degree);
        point->name = L"TP" + std::to_wstring(i);
        task.points.push_back(std::move(point));
    }
    return task;
}

}  // namespace recorder::testing
