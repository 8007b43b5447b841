#include "glide/event_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings_values.h"
#include "gps/port_modem_lines.h"
#include "platform/settings_store.h"

namespace glide {
namespace {

// Services with a fix at 12:34:56 and an open log that keeps its lines.
class RecordingServices final : public gps::PortReaderServices {
  public:
    bool AppendLogRecords(std::span<const std::string_view> lines) override {
        for (const std::string_view line : lines) written.emplace_back(line);
        return true;
    }
    bool HaveFix() const override { return true; }
    gps::FixClock CurrentFixClock() const override { return {12, 34, 56}; }
    std::vector<std::string> written;
};

class EventOptionsTest : public ::testing::Test {
  protected:
    EventOptionsTest() { gps::SetPortReaderServices(&services_); }
    ~EventOptionsTest() override {
        gps::SetPortReaderServices(nullptr);
        gps::g_invertEvents = 0;
    }
    RecordingServices services_;
    platform::SettingsStore store_{""};
};

TEST_F(EventOptionsTest, TwoLinesMayNotSignalTheSameEvent) {
    EXPECT_TRUE((EventOptions{{5, 5, 0, 0}, 0}).HasConflict());
    EXPECT_FALSE((EventOptions{{0, 0, 1, 1}, 0}).HasConflict());
    EXPECT_FALSE((EventOptions{{2, 3, 4, 7}, 1}).HasConflict());
}

TEST_F(EventOptionsTest, ChangingOnlyTheInversionWritesOneRecordAndInstallsIt) {
    core::g_logFormat = 1;
    store_.WriteInt("Options\\Events", "CTSevent", 3);
    const EventOptions before = EventOptions::FromStore(store_);
    EventOptions after = before;
    after.invert = 1;
    after.Apply(store_, before);
    ASSERT_EQ(services_.written.size(), 1U);
    EXPECT_EQ(services_.written[0], "E123456PEV Events 3000-0 to 3000-1\r\n");
    EXPECT_EQ(gps::g_invertEvents, 1);
    EXPECT_EQ(store_.GetInt("Options\\Events", "InvertEvents", 9), 1U);
    EXPECT_EQ(gps::GetModemEventTexts().high[0], "EON");
    EXPECT_EQ(gps::GetModemEventTexts().low[0], "EOF");

    after.Apply(store_, after);  // nothing changed: no record
    EXPECT_EQ(services_.written.size(), 1U);
    core::g_logFormat = 0;
    after.invert = 0;
    after.Apply(store_, before);  // the text log takes no event records
    EXPECT_EQ(services_.written.size(), 1U);
    core::g_logFormat = 1;
}

}  // namespace
}  // namespace glide
