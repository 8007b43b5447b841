#include "app/flarm_binding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/message_box.h"
#include "recorder/flarm_sounds.h"
#include "services/string_resources.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFlarmStubs = fs::path(KV_BINARY_DIR) / "app/flarm_stubs";

std::wstring Text(unsigned id) {
    return L"text " + std::to_wstring(id);
}

int WriteNothing(const unsigned char* /*bytes*/, unsigned /*count*/) {
    return 0;
}

platform::DynamicLibrary Stub(const char* folder) {
    return platform::DynamicLibrary::Open((kFlarmStubs / folder / "FLARM_DLL.dll").string());
}

class FlarmBindingTest : public ::testing::Test {
  protected:
    void SetUp() override { core::SetStringProvider(&Text); }
    void TearDown() override {
        app::UnbindFlarmLibrary();
        core::SetStringProvider(nullptr);
    }

    app::FlarmBinding Bind(const char* folder) {
        return app::BindFlarmLibrary(Stub(folder), settings_, &WriteNothing);
    }

    app::FlarmSettings settings_{7, 0, 1};
    platform::ScopedRecordingSink sink_;
};

TEST_F(FlarmBindingTest, AnAcceptedLibraryGetsTheSettingsAndThePort) {
    ASSERT_EQ(Bind("declaring"), app::FlarmBinding::kBound);
    ASSERT_TRUE(FlarmPresent());
    const CFLARMobject& object = *g_pFlarmObject.load();
    EXPECT_EQ(object.sounds, 7);
    EXPECT_EQ(object.showTcas, 0);
    EXPECT_EQ(object.climb, 1);
    EXPECT_EQ(object.writeGpsPort, &WriteNothing);
    EXPECT_NE(core::g_flarm.transferData, nullptr);
    EXPECT_TRUE(sink_->Boxes().empty());

    // The program's FLARM calls reach the library.
    recorder::SetSoundPaths(L"/sounds/flarm/");
    using SoundFolder = const wchar_t* (*)();
    EXPECT_STREQ(core::g_hFlarmLibrary.Symbol<SoundFolder>("StubSoundFolder")(), L"/sounds/flarm/");
    app::TransferToFlarm(22, "PFLAU text", 90.0F, 2.0F, 0);
    using Transfers = int (*)();
    EXPECT_EQ(core::g_hFlarmLibrary.Symbol<Transfers>("StubTransfers")(), 1);
}

TEST_F(FlarmBindingTest, TheLoggerIsKeptOnlyFromType0x2100) {
    struct Case {
        const char* folder;
        bool declares;
        int loggerType;
    };
    for (const Case& c : {Case{"declaring", true, 0x2104}, Case{"old_logger", false, 0},
                          Case{"no_logger", false, 0}}) {
        SCOPED_TRACE(c.folder);
        ASSERT_EQ(Bind(c.folder), app::FlarmBinding::kBound);
        EXPECT_EQ(core::g_flarm.declareTaskToLogger != nullptr, c.declares);
        EXPECT_EQ(core::g_flarm.getLoggerType != nullptr, c.declares);
        EXPECT_EQ(core::g_flarm.loggerType, c.loggerType);
    }
}

TEST_F(FlarmBindingTest, AnIncompleteOrOtherLibraryIsToldAndLeftUnused) {
    for (const char* folder : {"incomplete", "other_version"}) {
        SCOPED_TRACE(folder);
        sink_->Clear();
        EXPECT_EQ(Bind(folder), app::FlarmBinding::kRejected);
        EXPECT_FALSE(FlarmPresent());
        EXPECT_EQ(core::g_flarm.transferData, nullptr);
        EXPECT_TRUE(core::g_hFlarmLibrary.IsOpen());  // stays loaded, unused
        ASSERT_EQ(sink_->Boxes().size(), 1u);
        EXPECT_EQ(sink_->Boxes()[0].text, Text(2575));
        EXPECT_EQ(sink_->Boxes()[0].caption, Text(2574));
        // Nothing reaches a library that was not accepted.
        recorder::SetSoundPaths(L"/sounds/");
        app::TransferToFlarm(22, "PFLAU", 0.0F, 0.0F, 0);
    }
}

TEST_F(FlarmBindingTest, NoLibraryMeansNoFlarmAndNoWord) {
    EXPECT_EQ(app::BindFlarmLibrary(Stub("missing"), settings_, &WriteNothing),
              app::FlarmBinding::kAbsent);
    EXPECT_FALSE(FlarmPresent());
    EXPECT_FALSE(core::g_hFlarmLibrary.IsOpen());
    EXPECT_TRUE(sink_->Boxes().empty());
}

TEST(FlarmSettings, DefaultsAndStoredValues) {
    platform::SettingsStore store{std::filesystem::path()};
    const app::FlarmSettings defaults = app::ReadFlarmSettings(store);
    EXPECT_EQ(defaults.sounds, 15);
    EXPECT_EQ(defaults.showTcas, 1);
    EXPECT_EQ(defaults.climb, 0);
    store.WriteInt("Settings", "FLARMsounds", 3);
    store.WriteInt("Settings", "FLARMclimb", 1);
    EXPECT_EQ(app::ReadFlarmSettings(store).sounds, 3);
    EXPECT_EQ(app::ReadFlarmSettings(store).climb, 1);
}

}  // namespace
