#include "app/resource_library.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "testing/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kBundleStubs = fs::path(KV_BINARY_DIR) / "app/bundle_stubs";
constexpr char kFirst[] = "KOR^VANresDLL.dll";
constexpr char kSecond[] = "KOR_VANresDLL.dll";

// A program folder holding the given stand-ins under the bundle names.
class BundleFolder {
  public:
    explicit BundleFolder(const std::map<std::string, std::string>& files)
        : scratch_("kv-bundle") {
        for (const auto& [name, stub] : files)
            fs::copy_file(kBundleStubs / stub, folder_ / name);
    }
    app::LibraryOpener Opener() const {
        return [this](const std::string& name) {
            return platform::DynamicLibrary::Open((folder_ / name).string());
        };
    }

  private:
    test_support::ScratchFolder scratch_;
    const fs::path& folder_ = scratch_.Path();
};

struct BundleCase {
    const char* name;
    std::map<std::string, std::string> files;
    bool accepted;
    unsigned acceptedAnswer;  // KvStubAnswer of the library taken
    std::vector<std::wstring> boxes;
};

TEST(ResourceLibrary, TriesBothNamesAndAcceptsOnly133) {
    const BundleCase cases[] = {
        {"only the second name, 1.3.3.7", {{kSecond, "bundle_1337.so"}}, true, 1, {}},
        {"first name 1.3.3.7 wins",
         {{kFirst, "bundle_1337.so"}, {kSecond, "bundle_1400.so"}},
         true,
         1,
         {}},
        {"first too new, second missing",
         {{kFirst, "bundle_1400.so"}},
         false,
         0,
         {L"KOR^VANresDLL.dll is corrupt or too old", L"Cannot find KOR_VANresDLL.dll"}},
        {"first too new, second right",
         {{kFirst, "bundle_1400.so"}, {kSecond, "bundle_1337.so"}},
         true,
         1,
         {L"KOR^VANresDLL.dll is corrupt or too old"}},
        {"second older",
         {{kSecond, "bundle_1320.so"}},
         false,
         0,
         {L"KOR_VANresDLL.dll is corrupt or too old"}},
        {"second without a version",
         {{kSecond, "bundle_none.so"}},
         false,
         0,
         {L"KOR_VANresDLL.dll is corrupt or too old"}},
        {"neither", {}, false, 0, {L"Cannot find KOR_VANresDLL.dll"}},
    };
    for (const BundleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const BundleFolder folder(c.files);
        const platform::ScopedRecordingSink sink;
        const auto library = app::LoadResourceLibrary(folder.Opener());

        ASSERT_EQ(library.has_value(), c.accepted);
        if (library) {
            EXPECT_EQ(library->Version()->revision, 7u);
            using Answer = int (*)();
            EXPECT_EQ(library->Symbol<Answer>("KvStubAnswer")(),
                      static_cast<int>(c.acceptedAnswer));
        }
        std::vector<std::wstring> texts;
        for (const auto& box : sink->Boxes()) {
            texts.push_back(box.text);
            EXPECT_EQ(box.style, platform::mb::kIconHand | platform::mb::kTopmost);
        }
        EXPECT_EQ(texts, c.boxes);
    }
}

}  // namespace
