#include "map/overlay_command.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_map_dialogs.h"
#include "platform/message_box.h"
#include "testing/scratch_folder.h"

namespace map {
namespace {

using testing::FakeMapDialogs;

struct Recorder {
    std::vector<std::wstring> reloads;
    std::vector<std::wstring> stored;
    std::vector<int> modes;
    int finished = 0;
    bool modalAtReload = false;
};

OverlaySite SiteFor(platform::SettingsStore& settings, const std::wstring& current, int mode,
                    Recorder& r, const FakeMapDialogs& dialogs) {
    OverlaySite site{settings, current, {}, {}, {}, {}, {}};
    site.displayMode = [mode] { return mode; };
    site.setDisplayMode = [&r](int m) { r.modes.push_back(m); };
    site.reloadOverlay = [&r, &dialogs](const std::wstring& path) {
        r.reloads.push_back(path);
        r.modalAtReload = dialogs.modal;
    };
    site.storePath = [&r](const std::wstring& path) { r.stored.push_back(path); };
    site.finish = [&r] { ++r.finished; };
    return site;
}

TEST(OverlayCommand, DecisionTable) {
    const struct Case {
        const char* what;
        const wchar_t* current;
        std::optional<FileDialogAnswer> answer;
        std::optional<int> question;  // the answer to string 2578, when it is asked
        const wchar_t* path;          // OverlayFile afterwards
        bool reload;
    } cases[] = {
        {"same path", L"/maps/over.map", FileDialogAnswer{L"/maps/over.map", 2}, {}, L"/maps/over.map", false},
        {"another path", L"/maps/over.map", FileDialogAnswer{L"/maps/new.gpm", 2}, {}, L"/maps/new.gpm", true},
        {"first overlay", L"", FileDialogAnswer{L"/maps/new.map", 1}, {}, L"/maps/new.map", true},
        {"cancel, yes", L"/maps/over.map", std::nullopt, platform::kIdYes, L"", true},
        {"cancel, no", L"/maps/over.map", std::nullopt, platform::kIdNo, L"/maps/over.map", false},
        {"cancel, none set", L"", std::nullopt, {}, L"", false},
    };
    for (const Case& c : cases) {
        platform::ScopedRecordingSink boxes;
        if (c.question) boxes->QueueAnswer(*c.question);
        test_support::ScratchFolder scratch{"overlay"};
        platform::SettingsStore settings{scratch / "settings"};
        FakeMapDialogs dialogs;
        dialogs.answers = {c.answer};
        Recorder r;
        OverlaySite site = SiteFor(settings, c.current, 0, r, dialogs);
        const OverlayOutcome outcome = RunOverlayFileCommand(site, dialogs);

        EXPECT_EQ(outcome.path, c.path) << c.what;
        EXPECT_EQ(settings.GetString("Settings", "OverlayFile", std::wstring_view(L"unset")), c.path)
            << c.what << ": written in every case";
        EXPECT_EQ(r.stored, std::vector<std::wstring>{c.path}) << c.what;
        EXPECT_EQ(r.reloads, c.reload ? std::vector<std::wstring>{c.path} : std::vector<std::wstring>{})
            << c.what;
        EXPECT_EQ(boxes->Boxes().size(), c.question ? 1U : 0U) << c.what;
        if (c.answer) {
            EXPECT_EQ(settings.GetInt("Options\\Maps", "ovlExtIndex", 0),
                      static_cast<std::uint32_t>(c.answer->filterIndex))
                << c.what;
        }
        EXPECT_TRUE(r.modes.empty()) << c.what << ": already in mode 0";
        EXPECT_EQ(r.finished, 1) << c.what;
        EXPECT_FALSE(dialogs.modal) << c.what;
        EXPECT_EQ(dialogs.modalWhenAsked, std::vector<bool>{true}) << c.what;
    }
}

TEST(OverlayCommand, DialogStartsInTheOverlaysFolderWithTheStoredFilterAfterModeZero) {
    test_support::ScratchFolder scratch{"overlay"};
    platform::SettingsStore settings{scratch / "settings"};
    platform::ScopedRecordingSink boxes;
    for (const auto& [stored, passed] : {std::pair{3U, 3}, std::pair{9U, 1}}) {
        settings.WriteInt("Options\\Maps", "ovlExtIndex", stored);
        FakeMapDialogs dialogs;
        Recorder r;
        OverlaySite site = SiteFor(settings, L"", 2, r, dialogs);
        site.currentPath = L"/maps/alps/over.map";
        boxes->QueueAnswer(platform::kIdNo);
        RunOverlayFileCommand(site, dialogs);
        ASSERT_EQ(dialogs.opens.size(), 1U);
        const FileDialogRequest& request = dialogs.opens[0];
        EXPECT_EQ(request.title, L"Overlay File");
        EXPECT_EQ(request.defaultExtension, L"map");
        EXPECT_EQ(request.folder, L"/maps/alps");
        EXPECT_EQ(request.filterIndex, passed) << stored;
        EXPECT_EQ(request.filter,
                  L"Maps  (*.map, *.mep)|*.map;*.mep|Binary Maps (*.gpm)|*.gpm|Maps  (*.map)|*.map|"
                  L"Maps  (*.mep)|*.mep|All Files (*.*)|*.*||");
        EXPECT_EQ(r.modes, std::vector<int>{0});
    }
}

}  // namespace
}  // namespace map
