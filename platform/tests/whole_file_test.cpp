#include "platform/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "testing/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

std::string ReadWholeText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> entries{fs::directory_iterator(folder), {}};
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(ReplaceWholeFile, KeepsALinkAndTheOldPermissions) {
    const test_support::ScratchFolder folder("kv-whole-file");
    const fs::path target = folder.Write("data/target", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path link = folder / "link";
    fs::create_symlink("data/target", link);

    ASSERT_FALSE(platform::ReplaceWholeFile(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeText(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Entries(folder / "data"), std::vector<fs::path>{target});
}

TEST(FileReplacement, NothingChangesUntilCommitAndAnUncommittedOneLeavesNothing) {
    const test_support::ScratchFolder folder("kv-whole-file");
    const fs::path file = folder.Write("file", "old");
    {
        platform::FileReplacement replacement(file);
        ASSERT_FALSE(replacement.Error());
        ASSERT_EQ(::write(replacement.Fd(), "new", 3), 3);
        EXPECT_EQ(ReadWholeText(file), "old");
        ASSERT_EQ(Entries(folder.Path()).size(), 2u);  // the file and its temporary file
        const std::string temp = Entries(folder.Path())[1].filename().string();
        EXPECT_TRUE(temp.starts_with("file.tmp-" + std::to_string(::getpid()) + "-")) << temp;
    }
    EXPECT_EQ(ReadWholeText(file), "old");
    EXPECT_EQ(Entries(folder.Path()), std::vector<fs::path>{file});

    EXPECT_TRUE(platform::FileReplacement(folder.Path()).Error());  // a folder is no file
}

}  // namespace
