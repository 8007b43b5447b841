#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/numbers.h"
#include "testing/comma_locale.h"
#include "testing/scratch_folder.h"
#include "testing/scoped_environment.h"

namespace {

namespace fs = std::filesystem;
using platform::SettingsStore;
using platform::SettingValue;
using Bytes = std::vector<std::uint8_t>;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteText(const fs::path& file, std::string_view text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    fs::path Folder() const { return root_ / "config" / "Tarnwell Software"; }
    fs::path File() const { return Folder() / "KOR_VAN WinCE"; }

    const test_support::ScratchFolder scratch_{"kv-settings"};
    const fs::path& root_ = scratch_.Path();
};

TEST_F(SettingsStoreTest, TypedValuesSurviveAReload) {
    Bytes everyByte(256);
    for (std::size_t i = 0; i < everyByte.size(); ++i)
        everyByte[i] = static_cast<std::uint8_t>(i);
    const std::string awkward = " a=b:%41\r\n\t[x];#\x7F\xC3\xA9 ";
    {
        SettingsStore store(File());
        EXPECT_TRUE(store.WriteInt("Options\\Miscellaneous", "ShowQueue", 1024));
        EXPECT_TRUE(store.WriteInt("Settings", "Max", 0xFFFFFFFF));
        EXPECT_TRUE(store.WriteString("Options\\Maps", "Scale", "1.00"));
        EXPECT_TRUE(store.WriteString("Options\\Maps", "Empty", ""));
        EXPECT_TRUE(store.WriteString("Settings", "Owner", L"Z\u00FCrich \U0001F600"));
        EXPECT_TRUE(store.WriteBinary("Settings\\Task", "center", everyByte));
        EXPECT_TRUE(store.WriteBinary("Settings\\Task", "none", Bytes{}));
        EXPECT_TRUE(store.WriteString(awkward, awkward, awkward));
        EXPECT_TRUE(store.WriteInt("", "", 7));
    }
    const SettingsStore store(File());
    EXPECT_EQ(store.GetInt("Options\\Miscellaneous", "ShowQueue", 0), 1024u);
    EXPECT_EQ(store.GetInt("Settings", "Max", 0), 0xFFFFFFFFu);
    EXPECT_EQ(store.GetString("Options\\Maps", "Scale", "x"), "1.00");
    EXPECT_EQ(store.GetString("Options\\Maps", "Empty", "x"), "");
    EXPECT_EQ(store.GetString("Settings", "Owner", L""), L"Z\u00FCrich \U0001F600");
    EXPECT_EQ(store.GetBinary("Settings\\Task", "center"), everyByte);
    EXPECT_EQ(store.GetBinary("Settings\\Task", "none"), Bytes{});
    EXPECT_EQ(store.GetString(awkward, awkward, "x"), awkward);
    EXPECT_EQ(store.GetInt("", "", 0), 7u);

    // The file is for people to read, too.
    const std::string text = ReadText(File());
    EXPECT_EQ(text.rfind("kv-settings 1\n", 0), 0u);
    EXPECT_NE(text.find("\n[Options\\Miscellaneous]\nShowQueue=int:1024\n"), std::string::npos);
    EXPECT_NE(text.find("\nScale=text:1.00\n"), std::string::npos);
    EXPECT_NE(text.find("\nOwner=text:Z\xC3\xBCrich \xF0\x9F\x98\x80\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, NamesIgnoreAsciiCaseAndKeepTheirFirstSpelling) {
    SettingsStore store(File());
    store.WriteInt("Performance\\OLC", "MaxProcessTime", 1);
    store.WriteInt("PERFORMANCE\\olc", "maxprocesstime", 2);
    store.WriteInt("Performance\\OLC", "\xC3\x89t\xC3\xA9", 3);  // only ASCII letters fold
    EXPECT_EQ(store.GetInt("performance\\Olc", "MAXPROCESSTIME", 0), 2u);
    EXPECT_EQ(store.GetInt("Performance\\OLC", "\xC3\xA9t\xC3\xA9", 0), 0u);

    const std::string text = ReadText(File());
    EXPECT_NE(text.find("[Performance\\OLC]\nMaxProcessTime=int:2\n"), std::string::npos);
    EXPECT_EQ(text.find("maxprocesstime"), std::string::npos);
    EXPECT_EQ(SettingsStore(File()).GetInt("PERFORMANCE\\OLC", "maxPROCESStime", 0), 2u);
}

TEST_F(SettingsStoreTest, MissingValuesAndOtherTypesGiveTheDefault) {
    SettingsStore store(File());
    store.WriteString("Settings", "Text", "12");
    store.WriteInt("Settings", "Number", 12);
    store.WriteBinary("Settings", "Bytes", Bytes{1, 2});

    EXPECT_EQ(store.GetInt("Settings", "Missing", 42), 42u);
    EXPECT_EQ(store.GetInt("Nowhere", "Number", 42), 42u);
    EXPECT_EQ(store.GetInt("Settings", "Text", 42), 42u);
    EXPECT_EQ(store.GetString("Settings", "Number", "def"), "def");
    EXPECT_EQ(store.GetString("Settings", "Bytes", L"def"), L"def");
    EXPECT_EQ(store.GetBinary("Settings", "Text"), std::nullopt);
    EXPECT_EQ(store.GetBinary("Settings", "Missing"), std::nullopt);
    EXPECT_EQ(store.Get("Settings", "Number"), SettingValue{std::uint32_t{12}});
    EXPECT_EQ(store.Get("Settings", "Missing"), std::nullopt);
}

TEST_F(SettingsStoreTest, WritesReplaceTheTypeAndDeleteRemoves) {
    SettingsStore store(File());
    store.WriteInt("Settings\\AlarmZones", "Zone", 5);
    store.WriteString("Settings\\AlarmZones", "ZONE", "five");
    EXPECT_EQ(store.Get("Settings\\AlarmZones", "zone"), SettingValue{std::string("five")});
    store.WriteInt("Settings", "Other", 1);

    EXPECT_TRUE(store.Delete("settings\\alarmzones", "zone"));
    EXPECT_TRUE(store.Delete("Settings\\AlarmZones", "zone"));  // nothing left to delete
    EXPECT_TRUE(store.Delete("Absent", "zone"));
    EXPECT_EQ(store.Get("Settings\\AlarmZones", "Zone"), std::nullopt);

    const SettingsStore reloaded(File());
    EXPECT_EQ(reloaded.Get("Settings\\AlarmZones", "Zone"), std::nullopt);
    EXPECT_EQ(reloaded.GetInt("Settings", "Other", 0), 1u);
    EXPECT_EQ(ReadText(File()).find("AlarmZones"), std::string::npos);  // no empty section
}

TEST_F(SettingsStoreTest, ReadsAHandEditedFile) {
    WriteText(File(),
              "kv-settings 1\r\n"
              "; written by hand\r\n"
              "\r\n"
              "[Options\\Units]\r\n"
              "Altitude=int:0001\r\n"
              "# a comment\n"
              "[options\\units]\n"
              "altitude=int:2\n"
              "Path=text:C:\\Maps%25%0A\n"
              "[Settings\\Task]\n"
              "centerLon=binary:00000000000010c0\n"
              "Colon=text:a:b=c\n");
    const SettingsStore store(File());
    EXPECT_EQ(store.GetInt("Options\\Units", "Altitude", 0), 2u);
    EXPECT_EQ(store.GetString("Options\\Units", "Path", ""), "C:\\Maps%\n");
    EXPECT_EQ(store.GetBinary("Settings\\Task", "centerLon"),
              (Bytes{0, 0, 0, 0, 0, 0, 0x10, 0xC0}));
    EXPECT_EQ(store.GetString("Settings\\Task", "Colon", ""), "a:b=c");
    EXPECT_FALSE(store.LoadProblem().has_value());
}

TEST_F(SettingsStoreTest, BrokenFileIsKeptAsideAndTheStoreStartsEmpty) {
    const std::string broken[] = {
        "",
        std::string("\x00\x01garbage", 9),
        "kv-settings 2\n[A]\nx=int:1\n",
        "KV-SETTINGS 1\n",
        "kv-settings 1\nx=int:1\n",  // a value before any section
        "kv-settings 1\n[A\nx=int:1\n",
        "kv-settings 1\n[A]\nx=float:1\n",
        "kv-settings 1\n[A]\nx int:1\n",
        "kv-settings 1\n[A]\nx=int1\n",
        "kv-settings 1\n[A]\nx=int:-1\n",
        "kv-settings 1\n[A]\nx=int:4294967296\n",
        "kv-settings 1\n[A]\nx=int: 1\n",
        "kv-settings 1\n[A]\nx=binary:ABC\n",
        "kv-settings 1\n[A]\nx=binary:GG\n",
        "kv-settings 1\n[A]\nx=text:%4\n",
        "kv-settings 1\n[A]\nx=text:%G1\n",
        "kv-settings 1\n[A%]\n",
    };
    for (const std::string& text : broken) {
        SCOPED_TRACE(text);
        WriteText(File(), text);
        {
            SettingsStore store(File());
            EXPECT_EQ(store.Get("A", "x"), std::nullopt);
            EXPECT_FALSE(fs::exists(File()));
            const auto& problem = store.LoadProblem();
            ASSERT_TRUE(problem.has_value());
            EXPECT_EQ(problem->kind, platform::SettingsLoadProblem::Kind::kNotSettings);
            EXPECT_GE(problem->errorLine, 1u);
            EXPECT_EQ(ReadText(problem->keptAs), text);
            EXPECT_TRUE(store.SavesToDisk());
            EXPECT_TRUE(store.WriteInt("A", "y", 3));
            fs::remove(problem->keptAs);
        }
        EXPECT_EQ(SettingsStore(File()).GetInt("A", "y", 0), 3u);
    }
}

// The names files were set aside under.
std::vector<fs::path> SetAside(const fs::path& file) {
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        if (entry.path().filename().string().starts_with(file.filename().string() + ".broken-"))
            kept.push_back(entry.path());
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

TEST_F(SettingsStoreTest, EachBadFileIsKeptUnderANameOfItsOwn) {
    // Two corrupt files in a row, then one too large to be a settings file:
    // every one is kept, none replaces another.
    const std::string first = "kv-settings 1\n[A]\nx=int:1\nnonsense\n";
    const std::string second = "garbage";
    const std::string large(std::size_t{17} << 20, 'x');
    std::vector<std::optional<platform::SettingsLoadProblem>> problems;
    for (const std::string* text : {&first, &second, &large}) {
        WriteText(File(), *text);
        problems.push_back(SettingsStore(File()).LoadProblem());
    }
    using Kind = platform::SettingsLoadProblem::Kind;
    ASSERT_TRUE(problems[0] && problems[1] && problems[2]);
    EXPECT_EQ(problems[0]->kind, Kind::kNotSettings);
    EXPECT_EQ(problems[0]->errorLine, 4u);
    EXPECT_EQ(problems[2]->kind, Kind::kTooLarge);
    const std::vector<fs::path> kept = SetAside(File());
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept, (std::vector<fs::path>{problems[0]->keptAs, problems[1]->keptAs,
                                           problems[2]->keptAs}));
    EXPECT_EQ(ReadText(kept[0]), first);
    EXPECT_EQ(ReadText(kept[1]), second);
    EXPECT_EQ(fs::file_size(kept[2]), large.size());
    EXPECT_TRUE(kept[0].filename().string().ends_with("-0"));
}

// Runs `body` in a child process as an unprivileged user (the test itself
// may run as root, who reads any file); its exit status is the result.
int RunAsNobody(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST_F(SettingsStoreTest, AFileThatCannotBeReadOrSetAsideIsNeverWrittenOver) {
    fs::create_directories(Folder());
    fs::permissions(root_, fs::perms::all);  // the child may enter (only)
    fs::permissions(root_ / "config", fs::perms::all);
    struct Case {
        const char* name;
        const char* text;
        fs::perms filePerms;
        fs::perms folderPerms;  // read-only: the file cannot be renamed
        platform::SettingsLoadProblem::Kind kind;
    };
    using Kind = platform::SettingsLoadProblem::Kind;
    const fs::perms readOnlyFolder = fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec;
    const Case cases[] = {
        {"unreadable", "kv-settings 1\n[A]\nx=int:7\n", fs::perms::none, fs::perms::all,
         Kind::kUnreadable},
        {"not set aside", "broken", fs::perms::owner_read | fs::perms::others_read, readOnlyFolder,
         Kind::kNotSettings},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(File(), c.text);
        fs::permissions(File(), c.filePerms);
        fs::permissions(Folder(), c.folderPerms);
        const int result = RunAsNobody([&] {
            SettingsStore store(File());
            const auto& problem = store.LoadProblem();
            if (!problem || problem->kind != c.kind || !problem->keptAs.empty()) return 1;
            if (store.SavesToDisk()) return 2;
            // Changes stay in memory.
            if (!store.WriteInt("A", "x", 9) || store.GetInt("A", "x", 0) != 9) return 3;
            return 0;
        });
        if (result == 100) GTEST_SKIP() << "cannot run as an unprivileged user";
        EXPECT_EQ(result, 0);
        fs::permissions(Folder(), fs::perms::all);
        fs::permissions(File(), fs::perms::owner_all);
        EXPECT_EQ(ReadText(File()), c.text);
        EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(Folder()), {}),
                  std::vector<fs::path>{File()});
    }
}

TEST_F(SettingsStoreTest, LeftoversOfGoneWritersAreRemovedAtStart) {
    fs::create_directories(Folder());
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string stem = File().string() + ".tmp-";
    const fs::path dead = stem + std::to_string(gone) + "-0";
    const fs::path live = stem + "1-0";  // the init process runs as long as the system
    const fs::path notOurs = File().string() + ".tmp-x-0";
    for (const fs::path& file : {dead, live, notOurs})
        WriteText(file, "kv-settings 1\n");
    SettingsStore store(File());
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(notOurs));
}



TEST_F(SettingsStoreTest, FoldersAndFileAppearWithTheFirstWriteOnly) {
    const fs::path file = root_ / "a" / "b" / "settings";
    SettingsStore store(file);
    EXPECT_EQ(store.Path(), file);
    EXPECT_EQ(store.GetInt("S", "n", 9), 9u);
    EXPECT_TRUE(store.Delete("S", "n"));
    EXPECT_FALSE(fs::exists(root_ / "a"));

    EXPECT_TRUE(store.WriteInt("S", "n", 1));
    EXPECT_TRUE(store.WriteInt("S", "n", 2));
    // Only the file itself: no temporary file is left behind.
    std::vector<fs::path> entries{fs::directory_iterator(file.parent_path()), {}};
    EXPECT_EQ(entries, std::vector<fs::path>{file});
}

TEST_F(SettingsStoreTest, AFailedWriteKeepsTheValueForTheNextWrite) {
    SettingsStore store(File());
    fs::create_directories(File().parent_path().parent_path());
    WriteText(Folder(), "a file where the folder belongs");

    EXPECT_FALSE(store.WriteInt("Settings", "First", 1));
    EXPECT_EQ(store.GetInt("Settings", "First", 0), 1u);
    EXPECT_FALSE(store.WriteInt("Settings", "First", 1));  // still waiting for the disk

    fs::remove(Folder());
    EXPECT_TRUE(store.WriteInt("Settings", "First", 1));  // same value, but never written
    EXPECT_EQ(SettingsStore(File()).GetInt("Settings", "First", 0), 1u);
}

ino_t FileId(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0);
    return info.st_ino;
}

TEST_F(SettingsStoreTest, AnUnchangedValueIsNotWrittenAgain) {
    SettingsStore store(File());
    ASSERT_TRUE(store.WriteString("Performance", "LastMaxProcessTime", "12"));
    const ino_t written = FileId(File());
    EXPECT_TRUE(store.WriteString("performance", "lastmaxprocesstime", "12"));
    EXPECT_EQ(FileId(File()), written);
    EXPECT_TRUE(store.WriteString("Performance", "LastMaxProcessTime", "13"));
    EXPECT_NE(FileId(File()), written);  // every write replaces the file
}

TEST_F(SettingsStoreTest, ThreadsWriteAndReadAtOnce) {
    constexpr int kThreads = 4;
    static constexpr std::uint32_t kWrites = 25;
    SettingsStore store(File());
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&store, t] {
            const std::string name = "Value" + std::to_string(t);
            for (std::uint32_t i = 1; i <= kWrites; ++i) {
                EXPECT_TRUE(store.WriteInt("Performance", name, i));
                EXPECT_TRUE(store.WriteString("Threads", name, std::to_string(i)));
                const std::uint32_t seen = store.GetInt("Performance", name, 0);
                EXPECT_GE(seen, i);
                const std::string other = "Value" + std::to_string((t + 1) % kThreads);
                EXPECT_LE(store.GetInt("Performance", other, 0), kWrites);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    const SettingsStore reloaded(File());
    for (int t = 0; t < kThreads; ++t) {
        const std::string name = "Value" + std::to_string(t);
        EXPECT_EQ(reloaded.GetInt("Performance", name, 0), kWrites);
        EXPECT_EQ(reloaded.GetString("Threads", name, ""), std::to_string(kWrites));
    }
}

// The values the killed writer writes: each carries its generation and can
// be checked whole.
constexpr std::size_t kBlockSize = 256 * 1024;

Bytes Block(std::uint32_t generation) {
    Bytes block(kBlockSize);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>((generation * 131 + i * 7) >> (i % 3));
    }
    for (int i = 0; i < 4; ++i)
        block[i] = static_cast<std::uint8_t>(generation >> (8 * i));
    return block;
}

std::string Text(std::uint32_t generation) {
    std::string text;
    while (text.size() < 64 * 1024)
        text += std::to_string(generation) + ';';
    return text;
}

// The generation a block holds, when all of it is consistent.
std::optional<std::uint32_t> BlockGeneration(const Bytes& block) {
    if (block.size() != kBlockSize) return std::nullopt;
    std::uint32_t generation = 0;
    for (int i = 0; i < 4; ++i)
        generation |= std::uint32_t{block[i]} << (8 * i);
    if (block != Block(generation)) return std::nullopt;
    return generation;
}

[[noreturn]] void WriteUntilKilled(const fs::path& file, std::uint32_t first, int readyPipe) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    SettingsStore store(file);
    for (std::uint32_t generation = first; generation < first + 100000; ++generation) {
        store.WriteBinary("Test", "Block", Block(generation));
        store.WriteString("Test", "Text", Text(generation));
        if (generation == first) {
            const char ready = 1;
            if (::write(readyPipe, &ready, 1) != 1) break;
        }
    }
    ::_exit(0);
}

// Temporary files ("<file>.tmp-<pid>-<n>") whose name holds `mark`.
int TemporaryFiles(const fs::path& folder, std::string_view mark = ".tmp-") {
    int count = 0;
    std::error_code absent;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, absent)) {
        count += entry.path().filename().string().find(mark) != std::string::npos;
    }
    return count;
}

// Waits until the child has a write in progress (its temporary file exists).
void AwaitWriteInProgress(const fs::path& folder, pid_t child) {
    const std::string mark = ".tmp-" + std::to_string(child) + "-";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (TemporaryFiles(folder, mark) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
}

// Starts a writer and kills it at a random moment, or (duringAWrite) a
// moment after a write of it has begun.
pid_t StartAndKillWriter(const fs::path& file, std::uint32_t first, bool duringAWrite,
                         std::mt19937& random) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) WriteUntilKilled(file, first, ready[1]);
    ::close(ready[1]);
    char byte = 0;
    const bool started = child > 0 && ::read(ready[0], &byte, 1) == 1;  // it has written once
    ::close(ready[0]);
    if (started) {
        if (duringAWrite) AwaitWriteInProgress(file.parent_path(), child);
        std::uniform_int_distribution<int> delay(0, duringAWrite ? 500 : 20000);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    }
    if (child > 0) ::kill(child, SIGKILL);
    return started ? child : -1;
}

TEST_F(SettingsStoreTest, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    std::mt19937 random(20240611);
    std::uint32_t last = 0;
    // Every other kill aims at a write in progress; rounds go on until some
    // have hit one (a temporary file is left behind).
    constexpr int kKillsDuringAWrite = 3;
    int leftBehind = 0;
    for (int round = 0; round < 100 && (round < 12 || leftBehind < kKillsDuringAWrite);
         ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const pid_t child = StartAndKillWriter(File(), last + 1, round % 2 == 1, random);
        ASSERT_GT(child, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        leftBehind += TemporaryFiles(Folder());

        // The next start removes what the killed writer left behind.
        const SettingsStore store(File());
        EXPECT_EQ(TemporaryFiles(Folder()), 0);
        ASSERT_FALSE(store.LoadProblem().has_value());
        const auto block = store.GetBinary("Test", "Block");
        ASSERT_TRUE(block.has_value());
        const auto generation = BlockGeneration(*block);
        ASSERT_TRUE(generation.has_value());
        EXPECT_GT(*generation, last);
        // The text is written after the block: it is from the same or the
        // generation before.
        const std::string text = store.GetString("Test", "Text", "");
        EXPECT_TRUE(text == Text(*generation) || text == Text(*generation - 1));
        last = *generation;
    }
    EXPECT_GE(leftBehind, kKillsDuringAWrite);
}

TEST_F(SettingsStoreTest, NumbersWrittenAsTextKeepTheCFormUnderACommaLocale) {
    const test_support::CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    {
        SettingsStore store(File());
        store.WriteString("Options\\Miscellaneous", "macReadyManualDef",
                          platform::FormatC("%f", 1.5));
        store.WriteString("Settings\\Compass", "SpeedTolerance", platform::FormatC(L"%3.2f", 0.25));
    }
    const SettingsStore store(File());
    const std::string text = store.GetString("Options\\Miscellaneous", "macReadyManualDef", "");
    EXPECT_EQ(text, "1.500000");
    const auto value = platform::ScanDouble(text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->value, 1.5);
    EXPECT_EQ(store.GetString("Settings\\Compass", "SpeedTolerance", L""), L"0.25");
    EXPECT_NE(ReadText(File()).find("macReadyManualDef=text:1.500000\n"), std::string::npos);
}

TEST(SettingsStoreDefaultPath, FollowsXdgConfigHomeElseHomeConfig) {
    const test_support::ScopedEnvironment home("HOME", "/home/pilot");
    {
        const test_support::ScopedEnvironment config("XDG_CONFIG_HOME", "/xdg/config");
        EXPECT_EQ(SettingsStore::DefaultPath("KOR_VAN WinCE"),
                  fs::path("/xdg/config/Tarnwell Software/KOR_VAN WinCE"));
    }
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        const test_support::ScopedEnvironment config("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(SettingsStore::DefaultPath("KOR_VAN WinCE"),
                  fs::path("/home/pilot/.config/Tarnwell Software/KOR_VAN WinCE"));
    }
}

TEST(AppSettings, InMemoryUntilStartUpSetsAStore) {
    EXPECT_TRUE(platform::AppSettings().Path().empty());
    EXPECT_TRUE(platform::AppSettings().WriteInt("Settings", "n", 3));
    EXPECT_EQ(platform::AppSettings().GetInt("Settings", "n", 0), 3u);

    const fs::path file =
        fs::temp_directory_path() / ("kv-app-settings-" + std::to_string(::getpid()));
    platform::SetAppSettings(std::make_unique<SettingsStore>(file));
    EXPECT_EQ(platform::AppSettings().Path(), file);
    EXPECT_EQ(platform::AppSettings().GetInt("Settings", "n", 0), 0u);
    EXPECT_TRUE(platform::AppSettings().WriteInt("Settings", "n", 4));
    EXPECT_EQ(SettingsStore(file).GetInt("Settings", "n", 0), 4u);

    platform::SetAppSettings(nullptr);
    EXPECT_TRUE(platform::AppSettings().Path().empty());
    fs::remove(file);
}

}  // namespace
