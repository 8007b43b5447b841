#include "services/module_services.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "platform/utf.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"

// Stand-in libraries (platform/tests/stubs): kv_stub_versioned.so (1.3.3.7)
// and kv_stub_unversioned.so beside this program, kv_stub_path_only.so
// (3.0.0.3) only on its library search path.

namespace {

namespace fs = std::filesystem;

TEST(ModuleServices, ExeFolderIsThisProgramsFolderWithASlash) {
    const std::wstring expected = platform::FromUtf8(KV_BINARY_DIR) + L"/services/";
    EXPECT_EQ(fs::weakly_canonical(platform::ToUtf8(core::GetExeFolder())),
              fs::weakly_canonical(platform::ToUtf8(expected)));
    EXPECT_TRUE(core::GetExeFolder().ends_with(L'/'));
}

TEST(ModuleServices, LibrariesAndTheirVersionTexts) {
    struct Case {
        const wchar_t* fileName;
        bool loads;
        const wchar_t* versionText;
    };
    const Case cases[] = {
        {L"kv_stub_versioned.so", true, L"1.3.3.7"},
        {L"kv_stub_unversioned.so", true, L""},
        {L"kv_stub_path_only.so", true, L"3.0.0.3"},  // not beside: from the search path
        {L"kv_no_such_library.so", false, L""},
    };
    for (const Case& c : cases) {
        const platform::DynamicLibrary library = core::LoadLibraryBesideExe(c.fileName);
        EXPECT_EQ(library.IsOpen(), c.loads) << c.fileName;
        EXPECT_EQ(core::GetModuleVersionText(library), c.versionText) << c.fileName;
        EXPECT_EQ(core::GetModuleFileVersion(library).has_value(), *c.versionText != L'\0');
    }
}

TEST(ModuleServices, ProgramVersionIsTheProjectVersion) {
    const platform::ModuleVersion version = core::GetProgramVersion();
    EXPECT_EQ(version.major, 1u);
    EXPECT_EQ(version.minor, 3u);
    EXPECT_EQ(version.build, 3u);
    EXPECT_EQ(core::GetProgramVersionText(), L"1.3.3." + std::to_wstring(version.revision));
}

// A home folder with a configured documents folder, for one test.
class DocumentsFolderTest : public ::testing::Test {
  protected:
    DocumentsFolderTest() {
        Save("HOME", (root_ / "home").c_str());
        Save("XDG_CONFIG_HOME", (root_ / "config").c_str());
        fs::create_directories(root_ / "config");
        std::ofstream(root_ / "config" / "user-dirs.dirs")
            << "XDG_DOCUMENTS_DIR=\"$HOME/Flights\"\n";
        savedFolder_ = core::g_documentsFolder;
    }
    ~DocumentsFolderTest() override {
        core::SetStringProvider(nullptr);
        core::g_documentsFolder = savedFolder_;
        for (const auto& [name, value] : savedEnvironment_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }

    void Save(const char* name, const char* value) {
        const char* old = std::getenv(name);
        savedEnvironment_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv(name, value, 1);
    }

    const test_support::ScratchFolder scratch_{"kv_docs"};
    const fs::path& root_ = scratch_.Path();
    std::wstring savedFolder_;
    std::map<std::string, std::optional<std::string>> savedEnvironment_;
};

std::wstring TableFolder(unsigned id) {
    return id == core::kIdsDocumentsFolder ? L"\\Table Documents\\" : L"";
}

TEST_F(DocumentsFolderTest, TheSystemsFolderWinsOverTheStringTable) {
    EXPECT_EQ(core::g_documentsFolder, L"/My Documents/");
    core::SetStringProvider(TableFolder);
    core::InitDocumentsFolder();
    EXPECT_EQ(core::g_documentsFolder,
              platform::FromUtf8((root_ / "home" / "Flights").string()) + L'/');
}

}  // namespace
