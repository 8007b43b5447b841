// What start-up tells the pilot about the settings file and the last task
// file: one box naming the file and the reason, and none for a task file
// that does not exist.
#include "app/load_reports.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/message_box.h"
#include "platform/sys_error.h"
#include "services/string_resources.h"

namespace app {
namespace {

using Kind = platform::SettingsLoadProblem::Kind;

// Each string as its id in brackets, so a text shows which strings it uses.
std::wstring IdString(unsigned id) {
    return L"<" + std::to_wstring(id) + L">";
}

class LoadReportsTest : public ::testing::Test {
  protected:
    void SetUp() override { core::SetStringProvider(&IdString); }
    void TearDown() override { core::SetStringProvider(nullptr); }

    static bool Holds(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }

    platform::ScopedRecordingSink boxes;
};

TEST_F(LoadReportsTest, SettingsTextNamesTheFileTheReasonAndWhatBecameOfIt) {
    const std::filesystem::path file = "/home/pilot/.config/Tarnwell Software/KOR_VAN WinCE";
    const std::wstring name = file.wstring();
    struct Case {
        platform::SettingsLoadProblem problem;
        std::wstring parts[3];
    };
    Case cases[3];
    cases[0].problem.kind = Kind::kUnreadable;
    cases[0].problem.error = {EACCES, std::generic_category()};
    cases[0].parts[0] = L"<4133>\n" + name;
    cases[0].parts[1] = platform::SystemErrorText(EACCES);
    cases[0].parts[2] = L"<4139>";
    cases[1].problem.kind = Kind::kNotSettings;
    cases[1].problem.errorLine = 17;
    cases[1].problem.keptAs = file.string() + ".broken-x-0";
    cases[1].parts[0] = L"<4134>\n" + name;
    cases[1].parts[1] = L"<4136> 17.";
    cases[1].parts[2] = L"<4137>\n" + name + L".broken-x-0\n\n<4138>";
    cases[2].problem.kind = Kind::kTooLarge;
    cases[2].problem.keepAsideError = {EROFS, std::generic_category()};
    cases[2].parts[0] = L"<4135>";
    cases[2].parts[1] = L"<4140> " + platform::SystemErrorText(EROFS);
    cases[2].parts[2] = L"<4139>";
    for (const Case& c : cases) {
        const std::wstring text = SettingsProblemText(file, c.problem);
        for (const std::wstring& part : c.parts)
            EXPECT_TRUE(Holds(text, part)) << text << "\nlacks " << part;
    }
}

TEST_F(LoadReportsTest, ASettingsStoreWithoutAProblemGivesNoBox) {
    ReportSettingsProblem(platform::SettingsStore(""));
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST_F(LoadReportsTest, TaskFileBoxesOnlyForFilesThatExistAndFail) {
    const std::wstring file = L"/home/pilot/Documents/contest.tsk";
    const auto load = [](bool opened, int error, bool stoppedEarly, std::size_t longLines) {
        nav::TaskFileLoad result;
        result.opened = opened;
        result.error = error;
        result.stoppedEarly = stoppedEarly;
        result.longLines = longLines;
        return result;
    };
    const nav::TaskFileLoad missing = load(false, ENOENT, false, 0);
    const nav::TaskFileLoad unreadable = load(false, EACCES, false, 0);
    const nav::TaskFileLoad broken = load(true, 0, true, 1);
    const nav::TaskFileLoad longLines = load(true, 0, false, 2);
    const nav::TaskFileLoad good = load(true, 0, false, 0);

    ReportTaskFileProblem(file, missing);
    ReportTaskFileProblem(file, good);
    EXPECT_TRUE(boxes->Boxes().empty());

    for (const auto* failed : {&unreadable, &broken, &longLines})
        ReportTaskFileProblem(file, *failed);
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 3U);
    EXPECT_EQ(shown[0].text, L"<4144>\n" + file + L"\n\n" + platform::SystemErrorText(EACCES));
    EXPECT_EQ(shown[0].caption, L"<4143>");
    EXPECT_EQ(shown[1].text, L"<4145>\n" + file + L"\n\n<4146>");
    EXPECT_EQ(shown[2].text, file + L"\n\n2 <4141>");
    EXPECT_EQ(shown[2].caption, L"<4142>");
}

}  // namespace
}  // namespace app
