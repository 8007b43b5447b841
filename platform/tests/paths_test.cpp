#include "platform/paths.h"
#include "testing/scratch_folder.h"
#include "testing/scoped_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

class ScratchFolder {
  public:
    const fs::path& Root() const { return scratch_.Path(); }

    fs::path MakeFile(const fs::path& relative, const std::string& content = {}) const {
        return scratch_.Write(relative, content);
    }

  private:
    test_support::ScratchFolder scratch_{"kv_paths"};
};

TEST(Paths, ExecutableIsThisTestProgram) {
    EXPECT_EQ(platform::ExecutablePath().filename(), "platform_unit_tests");
    EXPECT_EQ(platform::ExecutableFolder(), platform::ExecutablePath().parent_path());
    EXPECT_TRUE(fs::is_directory(platform::ExecutableFolder()));
}

TEST(Paths, NormaliseTurnsBackslashesIntoSlashes) {
    EXPECT_EQ(platform::NormalisePath(std::string("\\Maps\\Alps\\a.map")), "/Maps/Alps/a.map");
    EXPECT_EQ(platform::NormalisePath(std::string("plain/name")), "plain/name");
    EXPECT_EQ(platform::NormalisePath(std::wstring(L"C\u00e9\\x\\")), L"C\u00e9/x/");
}

TEST(Paths, FindCaseInsensitivePrefersTheExactNameThenTheFirstMatch) {
    const ScratchFolder scratch;
    scratch.MakeFile("Alps.MAP");
    scratch.MakeFile("b.txt");
    scratch.MakeFile("B.TXT");
    const fs::path& root = scratch.Root();
    struct Case {
        const char* name;
        const char* found;  // empty: none
    };
    const Case cases[] = {
        {"Alps.MAP", "Alps.MAP"}, {"alps.map", "Alps.MAP"},
        {"b.txt", "b.txt"},       {"B.Txt", "B.TXT"},  // two candidates: the first in byte order
        {"missing.map", ""},      {"", ""},
        {"x/Alps.MAP", ""},
    };
    for (const Case& c : cases) {
        const fs::path expected = *c.found != '\0' ? root / c.found : fs::path();
        EXPECT_EQ(platform::FindCaseInsensitive(root, c.name), expected) << c.name;
    }
    EXPECT_EQ(platform::FindCaseInsensitive(root / "no_such_folder", "a"), fs::path());
}

TEST(Paths, DataFilePathsResolveComponentByComponent) {
    const ScratchFolder scratch;
    const fs::path file = scratch.MakeFile("Maps/Region/Alps.MAP");
    const std::string root = scratch.Root().string();
    EXPECT_EQ(platform::ResolveDataFilePath(root + "\\MAPS\\region\\alps.map"), file);
    EXPECT_EQ(platform::ResolveDataFilePath(root + "/Maps/Region/Alps.MAP"), file);
    // A missing component leaves the name as written, with '/' separators.
    EXPECT_EQ(platform::ResolveDataFilePath(root + "\\maps\\other\\alps.map"),
              fs::path(root + "/maps/other/alps.map"));
}

class DocumentsFolderTest : public ::testing::Test {
  protected:
    DocumentsFolderTest() {
        environment_.Set("HOME", Home().c_str());
        environment_.Set("XDG_CONFIG_HOME", Config().c_str());
        fs::create_directories(Home());
    }

    fs::path Home() const { return scratch_.Root() / "home"; }
    fs::path Config() const { return scratch_.Root() / "config"; }
    void WriteUserDirs(const std::string& text) const {
        scratch_.MakeFile(Config().lexically_relative(scratch_.Root()) / "user-dirs.dirs", text);
    }

    ScratchFolder scratch_;
    test_support::ScopedEnvironment environment_;
};

TEST_F(DocumentsFolderTest, TakesTheUserDirsEntry) {
    struct Case {
        const char* file;
        fs::path expected;
    };
    const Case cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", Home() / "Dokumente"},
        {"# XDG_DOCUMENTS_DIR=\"/commented\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
         "  XDG_DOCUMENTS_DIR = \"/data/my docs\"\n",
         "/data/my docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n", Home() / "b"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/say \\\"hi\\\"\"\n", Home() / "say \"hi\""},
        {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", Home()},
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", Home()},
        // Forms xdg-user-dirs never writes are ignored.
        {"XDG_DOCUMENTS_DIR=\"relative\"\nXDG_DOCUMENTS_DIR=\"$HOMEx\"\n", Home()},
    };
    for (const Case& c : cases) {
        WriteUserDirs(c.file);
        EXPECT_EQ(platform::DocumentsFolder(), c.expected) << c.file;
    }
}

TEST_F(DocumentsFolderTest, FallsBackToHomeDocumentsThenHome) {
    EXPECT_EQ(platform::DocumentsFolder(), Home());
    fs::create_directories(Home() / "Documents");
    EXPECT_EQ(platform::DocumentsFolder(), Home() / "Documents");
}

TEST_F(DocumentsFolderTest, UnsetConfigHomeMeansDotConfig) {
    environment_.Set("XDG_CONFIG_HOME", nullptr);
    scratch_.MakeFile("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), Home() / "Docs");
}

}  // namespace
