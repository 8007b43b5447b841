// The navigation texts after each fix of a short flight (flat ground, then
// a ridge, a destination queue of two waypoints, wind correction on for the
// second half) compared with a file reviewed by hand. Set
// KV_WRITE_GOLDEN=1 to write the file anew after a deliberate change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "fix/tests/nav_texts_support.h"
#include "glide/glide_context.h"
#include "nav/tests/task_test_support.h"
#include "platform/numbers.h"
#include "texts/queue_texts.h"

namespace gps::testing {
namespace {

// 200 ft everywhere, a ridge of 4000 ft across 47.10..47.12 N.
class RidgeModel final : public core::ElevationModel {
  public:
    std::optional<float> GetElevationAt(double, double latitude) const override {
        const double degrees = latitude / kRadiansPerDegree;
        return degrees > 47.10 && degrees < 47.12 ? 4000.0F : 200.0F;
    }
    double SampleStepKm() const override { return 0.3; }
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::string DumpTexts(int fix, std::uint32_t result) {
    std::string out = platform::FormatC("--- fix %d result 0x%x\n", fix, result);
    for (const glide::DisplayText* text : glide::AllDisplayTexts())
        out += Narrow(std::wstring(text->Name())) + "=[" + Narrow(text->Get()) + "]\n";
    return out;
}

TEST(NavTextsGoldenTest, EveryTextAfterEachFixMatchesTheReviewedFile) {
    NavTextsScope scope;
    UseStandardClassPolar();
    core::g_soundPathAt.Set(L"at.wav");
    core::g_soundPathTo.Set(L"to.wav");
    core::SetElevationModel(std::make_shared<RidgeModel>());
    nav::WaypointRecord second = nav::testing::At(47.30, 8.0, L"Second");
    second.altitude = 1500.0F;
    second.altitudeKnown = true;
    nav::WaypointRecord first = nav::testing::At(47.05, 8.0, L"First");
    first.altitude = 1000.0F;
    first.altitudeKnown = true;
    nav::GoToWaypoint(second);
    nav::GoToWaypoint(first);
    nav::g_destinationValid = 1;

    std::string dump;
    int n = 0;
    PublishedFix fix{};
    fix.latitude = 46.98;
    fix.altitude = 4000.0F;
    for (; n < 6; ++n) {  // toward First over flat ground, into it, out of it
        dump += DumpTexts(n, PublishAndRun(fix));
        fix.latitude += 0.018;
        fix.altitude -= 100.0F;
    }
    glide::g_glideDisplayMode = glide::kGlideModeMacCready;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::g_destination = second;
    }
    nav::g_proximityState = 0;
    glide::ResetFinalGlide();
    core::g_windCorrection = 1;
    glide::SetCurrentWind({12.0F, 0.0, true});
    for (; n < 10; ++n) {  // toward Second, over the ridge, MacCready form
        dump += DumpTexts(n, PublishAndRun(fix));
        fix.latitude += 0.02;
    }
    glide::g_glideDisplayMode = glide::kGlideModeTerrain;
    core::g_decimalMinutes = 1;
    for (; n < 12; ++n) {
        dump += DumpTexts(n, PublishAndRun(fix));
        fix.latitude += 0.02;
    }
    core::g_useUtm = 1;
    glide::g_glideDisplayMode = glide::kGlideModeAltitude;
    dump += DumpTexts(n, PublishAndRun(fix));

    const std::string file = std::string(KV_SOURCE_DIR) + "/fix/tests/data/nav_texts.golden";
    if (std::getenv("KV_WRITE_GOLDEN") != nullptr) {
        std::ofstream(file, std::ios::binary) << dump;
    }
    std::ifstream in(file, std::ios::binary);
    std::stringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(dump, golden.str());
}

}  // namespace
}  // namespace gps::testing
