// A flight log on a disk that fills up: only whole records stay in it, and
// the closing records still come when space returns while it closes. The
// disk is a 64 KB tmpfs (mounting it needs root; the test is skipped
// without).
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <sstream>
#include <thread>

#include "recorder/igc_records.h"
#include "recorder/settings_values.h"
#include "recorder/tests/recorder_test_support.h"

namespace recorder::testing {
namespace {

using namespace std::chrono_literals;

// A small tmpfs mounted for the test's life.
class SmallDisk {
  public:
    explicit SmallDisk(std::filesystem::path folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    const std::filesystem::path& Folder() const { return folder_; }

    // Fills the disk to its last byte with a file of its own.
    void Fill() const {
        const int fd = ::open((folder_ / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, "x", 1) > 0) {
        }
        ::close(fd);
    }
    void Free() const { std::filesystem::remove(folder_ / "filler"); }

  private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class FullDiskTest : public RecorderTest {
  protected:
    void SetUp() override {
        RecorderTest::SetUp();
        g_diskWarning = 0;
    }
    void TearDown() override {
        RecorderTest::TearDown();
        g_diskWarning = 1000;
    }
};

TEST_F(FullDiskTest, TheLogKeepsWholeRecordsAndClosesWhenSpaceReturns) {
    const SmallDisk disk(folder_ / "disk");
    if (!disk.Mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here (not root)";
    path_ = disk.Folder() / "flight.igc";
    core::g_logInterval = 0;
    ASSERT_EQ(StartFlightLog(0, 0), LogStart::kOpened);
    disk.Fill();

    // Fixes go on until the log's last block is full: the line that no
    // longer fits, written in part, is cut off again.
    const std::string fix = "B1200004807038N01131000EA0054500545\r\n";
    int written = 0;
    while (core::WriteLogLine(fix)) {
        ASSERT_LT(++written, 200);
    }
    const std::string whole = Log();
    EXPECT_TRUE(whole.ends_with(fix));
    EXPECT_FALSE(core::WriteLogLine(fix));
    EXPECT_EQ(Log(), whole);

    // Space comes back while the log closes.
    std::thread freeing([&disk] {
        std::this_thread::sleep_for(300ms);
        disk.Free();
    });
    CloseFlightLog();
    freeing.join();

    const std::string text = Log();
    ASSERT_TRUE(text.starts_with(whole));
    const std::vector<std::string> lines = LinesOf(text);
    for (const std::string& line : lines)
        EXPECT_TRUE(line.ends_with('\r')) << line;
    ASSERT_GE(lines.size(), 3U);
    EXPECT_TRUE(lines[lines.size() - 3].starts_with("LXKV KOR_VAN WinCE "));
    // The digest covers exactly the lines in the file: the failed fixes are
    // not in it.
    core::IgcDigest digest;
    digest.Start(1);
    for (std::size_t i = 0; i + 2 < lines.size(); ++i)
        digest.Fold(lines[i]);
    const auto g = IgcSecurityLines(digest);
    EXPECT_EQ(lines[lines.size() - 2] + "\n", g[0]);
    EXPECT_EQ(lines.back() + "\n", g[1]);
}

}  // namespace
}  // namespace recorder::testing
