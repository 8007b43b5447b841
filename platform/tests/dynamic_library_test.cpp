#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/paths.h"

// The stand-in libraries (tests/stubs) are built beside this program
// (kv_stub_versioned.so 1.3.3.7, kv_stub_unversioned.so, kv_stub_shadow.so
// 1.0.0.1) and in a folder on its library search path (kv_stub_shadow.so
// 2.0.0.2, kv_stub_path_only.so 3.0.0.3). Each answers KvStubAnswer() with
// its own number.

namespace {

using platform::DynamicLibrary;
using platform::ModuleVersion;
using AnswerFunction = int (*)();

int Answer(const DynamicLibrary& library) {
    const auto answer = library.Symbol<AnswerFunction>("KvStubAnswer");
    return answer != nullptr ? answer() : -1;
}

std::string Beside(const char* fileName) {
    return (platform::ExecutableFolder() / fileName).string();
}

TEST(DynamicLibrary, AbsentLibrariesDoNotOpen) {
    for (const std::string& name :
         {std::string("kv_no_such_library.so"), Beside("kv_no_such_library.so"), std::string()}) {
        const DynamicLibrary library = DynamicLibrary::Open(name);
        EXPECT_FALSE(library.IsOpen()) << name;
        EXPECT_FALSE(library.Error().empty()) << name;
        EXPECT_EQ(library.SymbolAddress("main"), nullptr) << name;
        EXPECT_FALSE(library.Version());
    }
    EXPECT_FALSE(DynamicLibrary::OpenBesideExecutable("kv_no_such_library.so"));
    // An empty name must not hand out the program itself.
    EXPECT_FALSE(DynamicLibrary::OpenBesideExecutable(""));
}

TEST(DynamicLibrary, SymbolsAndVersion) {
    const DynamicLibrary versioned = DynamicLibrary::Open(Beside("kv_stub_versioned.so"));
    ASSERT_TRUE(versioned) << versioned.Error();
    EXPECT_EQ(Answer(versioned), 42);
    EXPECT_EQ(versioned.Symbol<AnswerFunction>("KvStubMissing"), nullptr);
    EXPECT_EQ(versioned.Version(), (ModuleVersion{1, 3, 3, 7}));

    const DynamicLibrary unversioned = DynamicLibrary::Open(Beside("kv_stub_unversioned.so"));
    ASSERT_TRUE(unversioned) << unversioned.Error();
    EXPECT_EQ(Answer(unversioned), 7);
    EXPECT_FALSE(unversioned.Version());
}

TEST(DynamicLibrary, TheCopyBesideTheProgramWinsOverTheSearchPath) {
    const DynamicLibrary beside = DynamicLibrary::OpenBesideExecutable("kv_stub_shadow.so");
    ASSERT_TRUE(beside) << beside.Error();
    EXPECT_EQ(Answer(beside), 1);
    EXPECT_EQ(beside.Version(), (ModuleVersion{1, 0, 0, 1}));

    const DynamicLibrary searched = DynamicLibrary::Open("kv_stub_shadow.so");
    ASSERT_TRUE(searched) << searched.Error();
    EXPECT_EQ(Answer(searched), 2);
}

TEST(DynamicLibrary, FallsBackToTheSearchPath) {
    const DynamicLibrary onPath = DynamicLibrary::OpenBesideExecutable("kv_stub_path_only.so");
    ASSERT_TRUE(onPath) << onPath.Error();
    EXPECT_EQ(Answer(onPath), 3);

    const DynamicLibrary system = DynamicLibrary::OpenBesideExecutable("libm.so.6");
    ASSERT_TRUE(system) << system.Error();
    const auto cosine = system.Symbol<double (*)(double)>("cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_FALSE(system.Version());
}

TEST(DynamicLibrary, OwnershipMovesAndCloseReleases) {
    DynamicLibrary first = DynamicLibrary::Open(Beside("kv_stub_versioned.so"));
    ASSERT_TRUE(first);
    DynamicLibrary second = std::move(first);
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): moved-from state is specified
    EXPECT_EQ(Answer(second), 42);

    DynamicLibrary third;
    third = std::move(second);
    EXPECT_EQ(Answer(third), 42);
    third.Close();
    EXPECT_FALSE(third);
    EXPECT_EQ(third.SymbolAddress("KvStubAnswer"), nullptr);
}

}  // namespace
