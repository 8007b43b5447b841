#include "recorder/logger_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/settings_values.h"
#include "gps/settings_values.h"
#include "platform/message_box.h"
#include "recorder/logger_declaration.h"
#include "recorder/tests/recorder_test_support.h"
#include "services/string_resources.h"

namespace recorder {
namespace {

namespace fs = std::filesystem;

const fs::path kStubs = fs::path(KV_BINARY_DIR) / "recorder/library_stubs";
const fs::path kFlarmStub = fs::path(KV_BINARY_DIR) / "app/flarm_stubs/declaring/FLARM_DLL.dll";

// What the stand-in keeps of the last declaration (its layout).
struct StubDeclaration {
    int calls;
    int port;
    std::int32_t rate;
    KvLoggerHeader header;
    char16_t taskName[64];
    std::int32_t pointCount;
    char16_t firstPointName[32];
    double firstLatitude;
    int hasUnits;
    std::int32_t units;
    char16_t firstText[64];
    char16_t lastText[64];
};

std::wstring Text(unsigned id) {
    return L"text " + std::to_wstring(id);
}

platform::DynamicLibrary Stub(const std::string& folder, const char* file) {
    return platform::DynamicLibrary::Open((kStubs / folder / file).string());
}

class LoggerLibraryTest : public testing::RecorderTest {
  protected:
    void SetUp() override {
        RecorderTest::SetUp();
        core::SetStringProvider(&Text);
    }
    void TearDown() override {
        FreeLoggerLibrary();
        FreeSensorBoxLibrary();
        core::g_flarm = {};
        core::g_hFlarmLibrary.Close();
        SetLoggerDeclaration(nullptr);
        core::SetStringProvider(nullptr);
        RecorderTest::TearDown();
    }

    int BindLogger(const std::string& folder) {
        return BindLoggerLibrary(Stub(folder, kLoggerLibraryFile), nullptr);
    }

    // The declaring FLARM library, bound as start-up binds its logger.
    void LoadFlarm() {
        core::g_hFlarmLibrary = platform::DynamicLibrary::Open(kFlarmStub.string());
        ASSERT_TRUE(core::g_hFlarmLibrary.IsOpen()) << core::g_hFlarmLibrary.Error();
        core::g_flarm.declareTaskToLogger =
            core::g_hFlarmLibrary.Symbol<DeclareTaskToLoggerFn>("DeclareTaskToLogger");
        core::g_flarm.getLoggerType =
            core::g_hFlarmLibrary.Symbol<GetLoggerTypeFn>("GetLoggerType");
        core::g_flarm.loggerType = core::g_flarm.getLoggerType();
    }

    // The pilot chose to declare to the logger.
    static void ChooseDeclaration() {
        platform::AppSettings().WriteInt("Settings\\Task", "TransferToLogger", 1);
    }

    platform::ScopedRecordingSink sink_;
};

TEST_F(LoggerLibraryTest, SensorBoxBindingPaths) {
    struct Case {
        const char* folder;
        int bound;
        bool box;
    } const cases[] = {
        {"absent", 0, false}, {"fsb_no_setup", 0, false}, {"fsb_no_version", 0, false},
        {"fsb_old", 0, true}, {"fsb_no_box", 0, true},    {"fsb_accepted", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        sink_->Clear();
        EXPECT_EQ(BindSensorBoxLibrary(Stub(c.folder, kSensorBoxLibraryFile), nullptr), c.bound);
        EXPECT_EQ(SensorBoxLoaded(), c.bound == 1);
        EXPECT_EQ(SensorBoxSetupBound(), c.bound == 1);
        EXPECT_EQ(SensorBoxValue(), c.bound == 1 ? 0xB0C5U : 0U);
        ASSERT_EQ(sink_->Boxes().size(), c.box ? 1U : 0U);
        if (c.box) {
            EXPECT_EQ(sink_->Boxes()[0].text, L"Improper FSB_DLL.dll version");
            EXPECT_EQ(sink_->Boxes()[0].style, platform::mb::kIconHand | platform::mb::kTopmost);
        }
    }
    // The looked-up entry points that are never called were not.
    using Count = int (*)();
    const platform::DynamicLibrary same = Stub("fsb_accepted", kSensorBoxLibraryFile);
    EXPECT_EQ(same.Symbol<Count>("StubForbiddenCalls")(), 0);
    FreeSensorBoxLibrary();
    EXPECT_FALSE(SensorBoxLoaded());
    EXPECT_FALSE(SensorBoxSetupBound());
}

TEST_F(LoggerLibraryTest, RefusedLoggersLeaveNothingToCall) {
    struct Case {
        const char* folder;
        bool box;
    } const cases[] = {
        {"absent", false}, {"no_logger", false}, {"old", true}, {"no_declare", false}};
    ChooseDeclaration();
    const nav::CTask task = testing::TaskOf(4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        sink_->Clear();
        EXPECT_EQ(BindLogger(c.folder), 0);
        EXPECT_EQ(g_bLoggerLibraryBound.load(), 0);
        EXPECT_EQ(LoggerType(), 0);
        EXPECT_EQ(LoggerDeclareEntryPoint(), nullptr);
        EXPECT_EQ(DeclareToBoundLogger(task), std::nullopt);
        ASSERT_EQ(sink_->Boxes().size(), c.box ? 1U : 0U);
        if (c.box) {
            EXPECT_EQ(sink_->Boxes()[0].text, L"KorVnFAI.dll text 2067");
            EXPECT_EQ(sink_->Boxes()[0].style, platform::mb::kIconHand | platform::mb::kTopmost);
        }
    }
}

TEST_F(LoggerLibraryTest, TheBoundLoggerIsReleasedWithItsEntryPoints) {
    EXPECT_EQ(BindLogger("bound"), 1);
    EXPECT_EQ(g_bLoggerLibraryBound.load(), 1);
    EXPECT_EQ(LoggerType(), 0x2104);
    EXPECT_NE(LoggerDeclareEntryPoint(), nullptr);
    EXPECT_TRUE(sink_->Boxes().empty());
    FreeLoggerLibrary();
    EXPECT_EQ(g_bLoggerLibraryBound.load(), 0);
    EXPECT_EQ(LoggerType(), 0);
    EXPECT_EQ(LoggerDeclareEntryPoint(), nullptr);
}

TEST_F(LoggerLibraryTest, FlarmServesAsTheLoggerWhenThePilotSaysSo) {
    LoadFlarm();
    const DeclareTaskToLoggerFn flarm = core::g_flarm.declareTaskToLogger;

    // Without the FAI-logger library FLARM serves without a question.
    EXPECT_EQ(BindLogger("absent"), 1);
    EXPECT_EQ(LoggerDeclareEntryPoint(), flarm);
    EXPECT_TRUE(sink_->Boxes().empty());

    sink_->QueueAnswer(platform::kIdYes);
    EXPECT_EQ(BindLogger("bound"), 1);
    ASSERT_EQ(sink_->Boxes().size(), 1U);
    EXPECT_EQ(sink_->Boxes()[0].text, L"Do you want to use FLARM as your logger?");
    EXPECT_EQ(sink_->Boxes()[0].caption, L"KOR_VAN WinCE");
    EXPECT_EQ(sink_->Boxes()[0].style,
              platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost);
    EXPECT_EQ(LoggerDeclareEntryPoint(), flarm);
    EXPECT_EQ(LoggerType(), core::g_flarm.loggerType);

    sink_->QueueAnswer(platform::kIdNo);
    EXPECT_EQ(BindLogger("bound"), 1);
    EXPECT_NE(LoggerDeclareEntryPoint(), flarm);
    EXPECT_NE(LoggerDeclareEntryPoint(), nullptr);

    // Letting the logger go leaves FLARM's own entry points as bound.
    FreeLoggerLibrary();
    EXPECT_EQ(core::g_flarm.declareTaskToLogger, flarm);
}

TEST_F(LoggerLibraryTest, TheRecordersDeclarationReachesTheLibrary) {
    ASSERT_EQ(BindLogger("open_port"), 1);
    ChooseDeclaration();
    gps::g_gpsPortName.Set(L"/dev/ttyUSB3");
    gps::g_baudRate = 19200;
    g_loggerBundleRevision = 1400;
    g_igcHeaderTexts[kIgcPilot].Set(L"Anna M\u00fcller " + std::wstring(90, L'x'));
    g_igcHeaderTexts[kIgcGliderId].Set(L"D-1234");
    g_igcHeaderTexts[kIgcCompetitionId].Set(L"K7");
    nav::CTask task = testing::TaskOf(4);
    task.name = L"Ost\u00e4rn";

    ASSERT_EQ(WriteTaskDeclaration(task, 1), 1);
    using Last = const StubDeclaration* (*)();
    const platform::DynamicLibrary same = Stub("open_port", kLoggerLibraryFile);
    const StubDeclaration& d = *same.Symbol<Last>("StubLastDeclaration")();
    EXPECT_EQ(d.calls, 1);
    EXPECT_EQ(d.port, 3);
    EXPECT_EQ(d.rate, 1400);  // a type-6 logger gets the bundle's revision
    const std::u16string pilot(d.header.pilot);
    EXPECT_EQ(pilot.size(), 78U);
    EXPECT_EQ(pilot.substr(0, 12), u"Anna Muller ");
    EXPECT_EQ(std::u16string(d.header.gliderId), u"D-1234");
    EXPECT_EQ(std::u16string(d.header.competitionId), u"K7");
    EXPECT_EQ(std::u16string(d.header.spare), u"");
    EXPECT_EQ(std::u16string(d.taskName), u"Ostarn");
    EXPECT_EQ(d.pointCount, 4);
    EXPECT_EQ(std::u16string(d.firstPointName), u"TP0");
    EXPECT_NEAR(d.firstLatitude, 47.0 * 3.14159265358979323846 / 180.0, 1e-12);
    EXPECT_EQ(d.hasUnits, 0);
    EXPECT_EQ(std::u16string(d.firstText), u"text 2531");
    EXPECT_EQ(std::u16string(d.lastText), u"text 2535");

    // Not chosen in the task point dialog: the logger is not called.
    platform::AppSettings().WriteInt("Settings\\Task", "TransferToLogger", 0);
    WriteTaskDeclaration(task, 1);
    EXPECT_EQ(d.calls, 1);
}

TEST_F(LoggerLibraryTest, ALoggerThatFailsAnswersFalse) {
    ASSERT_EQ(BindLogger("failing"), 1);
    ChooseDeclaration();
    EXPECT_EQ(DeclareToBoundLogger(testing::TaskOf(4)), std::optional<bool>(false));
}

TEST(LoggerUnitsTest, UnitsWordForLoggerKindsThreeAndFour) {
    struct Case {
        int vario, dist, word;
    } const cases[] = {{1, 0, 1}, {1, 2, 1}, {0, 0, 3}, {0, 1, 0}, {0, 2, 2}, {0, 3, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(LoggerUnitsWord(c.vario, c.dist), c.word) << c.vario << ' ' << c.dist;

    core::g_unitVario = 0;
    core::g_unitDist = 2;
    const nav::CTask task = testing::TaskOf(4);
    EXPECT_EQ(LoggerCall(task, 0x2104, 1, 4800).units, std::optional<std::int32_t>(2));
    EXPECT_EQ(LoggerCall(task, 0x2103, 1, 4800).units, std::optional<std::int32_t>(2));
    EXPECT_EQ(LoggerCall(task, 0x2106, 1, 4800).units, std::nullopt);
}

}  // namespace
}  // namespace recorder
