// The polar in use: scaling for weight and bugs, and the start-up load.
#include "glide/polar.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include "glide/tests/glide_test_support.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "services/string_resources.h"

namespace glide {
namespace {

constexpr const char* kPolars = "Settings\\Polars";

class PolarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(""));
        ChangePolarSettings([](PolarSettings& s) { s = PolarSettings{}; });
        core::SetStringProvider([](unsigned id) { return L"<" + std::to_wstring(id) + L">"; });
    }
    void TearDown() override {
        core::SetStringProvider(nullptr);
        platform::SetAppSettings(nullptr);
        ChangePolarSettings([](PolarSettings& s) { s = PolarSettings{}; });
    }

    static std::string Fixture() {
        return testing::ReadBytes(std::filesystem::path(KV_SOURCE_DIR) /
                                  "glide/tests/data/discus.plr");
    }
};

TEST_F(PolarTest, ScalingMultipliesSpeedsByWeightAndSinksByBugs) {
    ChangePolarSettings([](PolarSettings& s) {
        s.a0 = 3.0F;
        s.b0 = -0.1F;
        s.c0 = 0.001F;
        s.minimumSpeedBase = 40.0F;
        s.minimumSpeedSinkBase = 1.6F;
        s.bestGlideSpeedBase = 54.8F;
    });
    SetWeightFactor(1.2F);  // a weight ratio of 1.44
    SetBugsFactor(1.25F);   // 20 % bugs
    ScalePolar();
    const GlidePolar polar = CurrentPolar();
    EXPECT_FLOAT_EQ(polar.a, 3.0F * 1.2F * 1.25F);
    EXPECT_FLOAT_EQ(polar.b, -0.1F * 1.25F);
    EXPECT_FLOAT_EQ(polar.c, 0.001F / 1.2F * 1.25F);
    EXPECT_FLOAT_EQ(polar.minimumSpeed, 48.0F);
    EXPECT_FLOAT_EQ(polar.minimumSpeedSink, 1.6F * 1.2F * 1.25F);
    EXPECT_FLOAT_EQ(polar.bestGlideSpeed, 54.8F * 1.2F);
    // The scaled polar is the unit polar with speeds times W and sinks times
    // W B: at W times a speed it sinks W B times as fast.
    const PolarSettings s = CurrentPolarSettings();
    const float unitSink = (s.c0 * 50.0F + s.b0) * 50.0F + s.a0;
    EXPECT_NEAR(polar.Sink(60.0F), unitSink * 1.2F * 1.25F, 1e-5F);
}

TEST(BugsTest, PerCentAndFactorConvertBothWays) {
    EXPECT_FLOAT_EQ(BugsFactorFromPercent(0.0F), 1.0F);
    EXPECT_FLOAT_EQ(BugsFactorFromPercent(60.0F), 2.5F);
    EXPECT_FLOAT_EQ(BugsPercent(2.5F), 60.0F);
    EXPECT_FLOAT_EQ(BugsPercent(1.0F), 0.0F);
    EXPECT_FLOAT_EQ(BugsPercent(0.5F), 0.0F);  // never a negative per cent
    for (float p = 0.0F; p <= 80.0F; p += 5.0F)
        EXPECT_NEAR(BugsPercent(BugsFactorFromPercent(p)), p, 1e-4F);
}

TEST_F(PolarTest, StartUpFitsTheFileAndReadsTheFactors) {
    const testing::TempDir dir;
    const auto file = dir.Write("discus.plr", Fixture());
    auto& store = platform::AppSettings();
    store.WriteString(kPolars, "Filename", platform::FromUtf8(file.string()));
    store.WriteInt(kPolars, "UsePolar", 1);
    store.WriteInt(kPolars, "UseBallastSetting", 1);
    store.WriteInt(kPolars, "BallastRatio", 30);
    store.WriteString(kPolars, "WeightFactor", std::string_view("1.44"));
    store.WriteString(kPolars, "GlideRatio", std::string_view("35.5"));
    store.WriteInt("Settings\\Vario", "AvgTime", 30);

    LoadPolarSettings();
    const PolarSettings s = CurrentPolarSettings();
    EXPECT_TRUE(s.inUse.valid);
    EXPECT_TRUE(s.inUse.usePolar);
    EXPECT_EQ(s.useBallastSetting, 1);
    EXPECT_FLOAT_EQ(s.ballastRatio, 0.3F);
    EXPECT_FLOAT_EQ(s.weightFactor, 1.2F);
    EXPECT_FLOAT_EQ(s.inUse.glideRatio, 35.5F);
    EXPECT_FLOAT_EQ(s.varioAverageTime, 30.0F / 3600.0F);
    EXPECT_FLOAT_EQ(s.inUse.a, s.a0 * 1.2F);
    EXPECT_FLOAT_EQ(s.inUse.bestGlideSpeed, s.bestGlideSpeedBase * 1.2F);
}

TEST_F(PolarTest, StartUpWithAFileThatDoesNotFitSwitchesThePolarOff) {
    const platform::ScopedRecordingSink boxes;
    auto& store = platform::AppSettings();
    store.WriteString(kPolars, "Filename", std::wstring_view(L"/nowhere/glider.plr"));
    store.WriteInt(kPolars, "UsePolar", 1);
    LoadPolarSettings();

    EXPECT_FALSE(CurrentPolar().usePolar);
    EXPECT_EQ(store.GetInt(kPolars, "UsePolar", 7), 0U);
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].text, L"<2050>/nowhere/glider.plr<2051>");
    EXPECT_EQ(shown[0].style, platform::mb::kTopmost | platform::mb::kIconExclamation);
}

TEST_F(PolarTest, StartUpWithoutAFileUsesNoPolarAndSaysNothing) {
    const platform::ScopedRecordingSink boxes;
    platform::AppSettings().WriteInt(kPolars, "UsePolar", 1);
    ChangePolarSettings([](PolarSettings& s) { s.inUse.valid = true; });
    LoadPolarSettings();
    EXPECT_FALSE(CurrentPolar().usePolar);
    EXPECT_FALSE(CurrentPolar().valid);
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(PolarTest, UnusableFactorTextsFallBackToTheirDefaults) {
    auto& store = platform::AppSettings();
    for (const char* weight : {"-2", "0", "abc"}) {
        SCOPED_TRACE(weight);
        store.WriteString(kPolars, "WeightFactor", std::string_view(weight));
        store.WriteString(kPolars, "GlideRatio", std::string_view("0"));
        LoadPolarSettings();
        EXPECT_FLOAT_EQ(CurrentPolarSettings().weightFactor, 1.0F);
        EXPECT_FLOAT_EQ(CurrentPolar().glideRatio, 20.0F);
    }
}

TEST_F(PolarTest, ReadersNeverSeeHalfScaledPolars) {
    ChangePolarSettings([](PolarSettings& s) {
        s.a0 = 3.0F;
        s.b0 = -0.1F;
        s.c0 = 0.001F;
    });
    std::atomic<bool> done{false};
    std::thread ui([&done] {
        for (int i = 0; i < 5000; ++i) {
            SetWeightFactor(i % 2 == 0 ? 1.0F : 2.0F);
            ScalePolar();
        }
        done = true;
    });
    // a c does not depend on the weight: a torn copy would show it.
    bool whole = true;
    while (!done) {
        const GlidePolar polar = CurrentPolar();
        whole = whole && (polar.a == 0.0F || std::fabs(polar.a * polar.c - 0.003F) < 1e-6F);
    }
    ui.join();
    EXPECT_TRUE(whole);
}

}  // namespace
}  // namespace glide
