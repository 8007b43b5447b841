#include "services/flight_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include "core/settings_values.h"
#include "platform/ui_post.h"

namespace core {
namespace {

IgcDigest Folded(std::uint8_t seed, std::initializer_list<std::string_view> lines) {
    IgcDigest digest;
    digest.Start(seed);
    for (const std::string_view line : lines)
        digest.Fold(line);
    return digest;
}

TEST(IgcDigestTest, SeedFillsTheTableAndFoldingChangesOneSlotPerLine) {
    IgcDigest digest;
    digest.Start(0);
    EXPECT_EQ((std::array<std::uint8_t, 5>{0, 2, 6, 12, 20}),
              (std::array<std::uint8_t, 5>{digest.Table()[0], digest.Table()[1], digest.Table()[2],
                                           digest.Table()[3], digest.Table()[4]}));
    digest.Start(249);  // byte arithmetic: 249 + 63 * 64 wraps
    EXPECT_EQ(digest.Table()[63], static_cast<std::uint8_t>(249 + 63 * 64));

    const IgcDigest abc = Folded(0, {"abc\r\n"});
    EXPECT_EQ(abc.Table()[0], 128);
    EXPECT_EQ(abc.Slot(), 1);
    // Only the bytes before the CR count, and only their low seven bits.
    EXPECT_EQ(Folded(0, {"abc\r\nxyz"}).Table(), abc.Table());
    EXPECT_EQ(Folded(0, {"\xE1\xE2\xE3"}).Table(), abc.Table());
}

TEST(IgcDigestTest, ALineFoldingToZeroStillTakesItsSlotAndSlotsWrapAfter64Lines) {
    // 'x' twice: the two terms cancel.
    const IgcDigest zero = Folded(7, {"xx"});
    IgcDigest fresh;
    fresh.Start(7);
    EXPECT_EQ(zero.Table(), fresh.Table());
    EXPECT_EQ(zero.Slot(), 1);

    IgcDigest digest;
    digest.Start(0);
    for (int i = 0; i < 64; ++i)
        digest.Fold("");  // x = 0: no change
    EXPECT_EQ(digest.Slot(), 0);
    digest.Fold("abc");
    EXPECT_EQ(digest.Table()[0], 128);
}

// A log file opened by the test and installed as the open log.
class FlightLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = ::testing::TempDir() + "kv_flight_log_XXXXXX";
        const int fd = ::mkstemp(path_.data());
        ASSERT_GE(fd, 0);
        const platform::CriticalSectionLock lock(LogFileLock);
        g_hFlightLog.Attach(platform::UniqueFd(fd));
        g_logFormat = 1;
        g_igcDigest.Start(0);
        g_dateHeaderOffset = -1;
    }
    void TearDown() override {
        const platform::CriticalSectionLock lock(LogFileLock);
        g_hFlightLog.Close();
        ::unlink(path_.c_str());
    }

    std::string Content() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::string path_;
    platform::ScopedRecordingUiPost posts_;
};

TEST_F(FlightLogTest, LinesAreAppendedAndOnlyIgcLinesAreFolded) {
    EXPECT_TRUE(WriteLogLine("AXKV000 KOR_VAN_WinCE\r\n"));
    EXPECT_EQ(g_igcDigest.Slot(), 1);
    g_logFormat = 0;
    EXPECT_TRUE(WriteLogLine("POS, 1.00000, 2.000000, 3.000000\r\n"));
    EXPECT_EQ(g_igcDigest.Slot(), 1);
    EXPECT_EQ(Content(), "AXKV000 KOR_VAN_WinCE\r\nPOS, 1.00000, 2.000000, 3.000000\r\n");
    EXPECT_TRUE(posts_->Records().empty());

    g_hFlightLog.Close();
    EXPECT_FALSE(WriteLogLine("B\r\n"));
}

// A line that failed is not in the file, so it stays out of the digest: the
// G records then match what the file holds.
TEST(FlightLogWriteErrorTest, AFailedWriteIsReportedWithItsErrorAndNotFolded) {
    const int fd = ::open("/dev/full", O_RDWR);
    if (fd < 0) GTEST_SKIP() << "no /dev/full";
    platform::ScopedRecordingUiPost posts;
    g_logFormat = 1;
    g_igcDigest.Start(0);
    g_hFlightLog.Attach(platform::UniqueFd(fd));
    EXPECT_FALSE(WriteLogLine("abc\r\n"));
    g_hFlightLog.Close();

    ASSERT_FALSE(posts->Records().empty());
    EXPECT_EQ(posts->Records().front(),
              (platform::RecordingUiPostBackend::Record{
                  platform::kMainFrameWindow, platform::WM_APP_LOGWRITEERROR, 0, ENOSPC, false}));
    EXPECT_EQ(g_igcDigest.Slot(), 0);
    EXPECT_EQ(g_igcDigest.Table()[0], 0);
}

TEST_F(FlightLogTest, RebuildFoldsTheProgramsLinesUpToTheFirstGRecordWithoutMovingThePosition) {
    const std::string longLine(300, 'C');
    const std::string file =
        "AXKV000 KOR_VAN_WinCE\r\n"
        "HFDTE010224\r\n"
        "HOPLTPILOT: X\r\n"
        "HPGTYGLIDER: Y\r\n"
        "LXKV ENL SENSOR RESET\r\n"
        "LABC foreign\r\n" +
        longLine +
        "\r\n"
        "B1200004700000N00800000EA0010000100010\r\n"
        "G17ABC\r\n"
        "B1200014700000N00800000EA0010000100010\r\n";
    ASSERT_EQ(::write(g_hFlightLog.Fd(), file.data(), file.size()),
              static_cast<ssize_t>(file.size()));
    const off_t position = ::lseek(g_hFlightLog.Fd(), 0, SEEK_CUR);

    RebuildIgcDigest();

    // The long line comes in a piece of 255 bytes and the rest.
    const IgcDigest expected =
        Folded(g_igcDigest.Seed(), {"AXKV000 KOR_VAN_WinCE", "HFDTE010224", "LXKV ENL SENSOR RESET",
                                    longLine.substr(0, 255), longLine.substr(255),
                                    "B1200004700000N00800000EA0010000100010"});
    EXPECT_EQ(g_igcDigest.Table(), expected.Table());
    EXPECT_EQ(g_igcDigest.Slot(), expected.Slot());
    EXPECT_EQ(::lseek(g_hFlightLog.Fd(), 0, SEEK_CUR), position);
}

TEST_F(FlightLogTest, OverwriteReplacesBytesInPlaceAndNothingHappensForATextLog) {
    ASSERT_TRUE(WriteLogLine("HFDTE000000\r\n"));
    ASSERT_TRUE(WriteLogLine("B1\r\n"));
    EXPECT_TRUE(OverwriteLogAt(0, "HFDTE241231\r\n"));
    EXPECT_TRUE(WriteLogLine("B2\r\n"));
    EXPECT_EQ(Content(), "HFDTE241231\r\nB1\r\nB2\r\n");

    g_logFormat = 0;
    g_igcDigest.Start(9);
    RebuildIgcDigest();
    EXPECT_EQ(g_igcDigest.Seed(), 9);
}

TEST(EngineNoiseTest, TheLevelIsReadOnlyWhileTheSensorRuns) {
    g_enlValue.value = 123;
    g_enlValue.running = false;
    EXPECT_EQ(EngineNoiseReading(), std::nullopt);
    g_enlValue.running = true;
    EXPECT_EQ(EngineNoiseReading(), 123);
    g_enlValue.running = false;
}

}  // namespace
}  // namespace core
