#pragma once
// Telling the pilot, once and naming the file, what start-up could not
// read: the settings file and the last task file. A task file that does not
// exist (a first start) is no problem and gives no box.
//
// UI thread (start-up); the boxes go through platform::ShowMessageBox.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "nav/task_file.h"
#include "platform/settings_store.h"

namespace app {

// The box text for a settings file that was not taken: the file, the
// reason, and whether it was set aside or is left as it is (changes then
// stay unsaved).
std::wstring SettingsProblemText(const std::filesystem::path& file,
                                 const platform::SettingsLoadProblem& problem);
// One box when the store's file was not taken; nothing otherwise.
void ReportSettingsProblem(const platform::SettingsStore& store);

// The box text for a task file read, or nothing when all went well or the
// file does not exist.
std::optional<std::wstring> TaskFileProblemText(std::wstring_view file,
                                                const nav::TaskFileLoad& load);
// One box when TaskFileProblemText has a text, else the long-lines box when
// lines were left out.
void ReportTaskFileProblem(std::wstring_view file, const nav::TaskFileLoad& load);

}  // namespace app
