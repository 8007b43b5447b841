#pragma once
// What the program's own tests watch and steer, through the environment.
// Each hook does nothing unless its variable is set:
//  KOR_VAN_TEST_LOG=<file>      appends one line per event: "main" as main begins,
//                               "box\t<caption>\t<text>"
//                               for every message box (answered without a
//                               window), "shown", "raised", "closed", "exit <code>",
//                               "threads <n>" (threads the program started that still
//                               run) and "thread <id>" for each;
//  KOR_VAN_TEST_ANSWERS=yes,no  the answers of the question boxes, in turn
//                               (the default answer once they run out);
//  KOR_VAN_SCREEN=<w>x<h>       the screen size the main window is laid out for;
//  KOR_VAN_SCREENSHOT=<file>    a PNG of the main window once it is shown;
//  KOR_VAN_TEST_SAVE=<file>     the flight log's save dialog answers with this file
//                               (filter by its extension) and logs "save <file>";
//                               with KOR_VAN_TEST_LOG but without it the dialog is
//                               cancelled ("save cancelled"); "dialog" leaves
//                               the real dialog to the test.
//  KOR_VAN_TEST_WINDOWS=1       message boxes and the save dialog (unless
//                               KOR_VAN_TEST_SAVE answers it) are real windows, and
//                               every modal dialog logs "dialog\t<class>" as it is
//                               asked for.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <wx/modalhook.h>

#include "frame/main_frame.h"
#include "platform/message_box.h"

namespace app::test_hooks {

void Record(std::string_view line);

// The sink that logs boxes and answers them; null without KOR_VAN_TEST_LOG.
std::shared_ptr<platform::MessageBoxSink> MessageBoxLog();

std::optional<frame::ScreenSize> ScreenOverride();

// Installs the answering save dialog when KOR_VAN_TEST_LOG is set.
void InstallSaveDialogAnswer();

// The hook that logs modal dialogs (KOR_VAN_TEST_WINDOWS); null without it.
// It is active while it lives.
std::unique_ptr<wxModalDialogHook> DialogLog();
std::optional<std::filesystem::path> ScreenshotFile();

// Notes the threads running before the program starts any (the main thread,
// and a sanitizer's own).
void NoteThreadsAtStart();
// The threads running now, not noted at the start, whose name is the
// program's own: every thread the program starts carries it, whereas the
// system libraries name theirs.
// Each is described by its id.
std::vector<std::string> ProgramThreadsStarted();

}  // namespace app::test_hooks
