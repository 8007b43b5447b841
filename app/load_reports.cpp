#include "app/load_reports.h"

#include <cerrno>

#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/sys_error.h"
#include "platform/utf.h"
#include "resources/ids/strings_files.h"
#include "services/file_reports.h"
#include "services/string_resources.h"

namespace app {
namespace {

using ids::kIdsSettingsCaption;
using ids::kIdsSettingsUnreadable;
using ids::kIdsSettingsDamaged;
using ids::kIdsSettingsTooLarge;
using ids::kIdsSettingsFaultLine;
using ids::kIdsSettingsKeptAs;
using ids::kIdsSettingsDefaults;
using ids::kIdsSettingsNotSaved;
using ids::kIdsSettingsNotKeptAside;
using ids::kIdsTaskFileCaption;
using ids::kIdsTaskUnreadable;
using ids::kIdsTaskInPart;
using ids::kIdsTaskRestKept;

constexpr unsigned kBoxStyle = platform::mb::kIconExclamation | platform::mb::kTopmost;

std::wstring S(unsigned id) {
    return core::LoadResourceString(id);
}

std::wstring Reason(const std::error_code& error) {
    return platform::SystemErrorText(error.value());
}

}  // namespace

std::wstring SettingsProblemText(const std::filesystem::path& file,
                                 const platform::SettingsLoadProblem& problem) {
    using Kind = platform::SettingsLoadProblem::Kind;
    const bool unreadable = problem.kind == Kind::kUnreadable;
    std::wstring text = S(unreadable ? kIdsSettingsUnreadable : kIdsSettingsDamaged);
    text += L"\n" + platform::FromUtf8(file.string()) + L"\n\n";
    switch (problem.kind) {
        case Kind::kUnreadable:
            text += Reason(problem.error);
            break;
        case Kind::kTooLarge:
            text += S(kIdsSettingsTooLarge);
            break;
        case Kind::kNotSettings:
            text += platform::FormatC(L"%ls %llu.", S(kIdsSettingsFaultLine).c_str(),
                                      static_cast<unsigned long long>(problem.errorLine));
            break;
    }
    if (!problem.keptAs.empty()) {
        text += L"\n\n" + S(kIdsSettingsKeptAs) + L"\n" +
                platform::FromUtf8(problem.keptAs.string()) + L"\n\n" + S(kIdsSettingsDefaults);
        return text;
    }
    if (!unreadable) {
        text += L"\n\n" + S(kIdsSettingsNotKeptAside) + L" " + Reason(problem.keepAsideError);
    }
    return text + L"\n\n" + S(kIdsSettingsNotSaved);
}

void ReportSettingsProblem(const platform::SettingsStore& store) {
    if (!store.LoadProblem()) return;
    platform::ShowMessageBox(nullptr, SettingsProblemText(store.Path(), *store.LoadProblem()),
                             S(kIdsSettingsCaption), kBoxStyle);
}

std::optional<std::wstring> TaskFileProblemText(std::wstring_view file,
                                                const nav::TaskFileLoad& load) {
    if (!load.opened) {
        if (load.error == 0 || load.error == ENOENT) return std::nullopt;
        return S(kIdsTaskUnreadable) + L"\n" + std::wstring(file) + L"\n\n" +
               platform::SystemErrorText(load.error);
    }
    if (!load.stoppedEarly) return std::nullopt;
    return S(kIdsTaskInPart) + L"\n" + std::wstring(file) + L"\n\n" + S(kIdsTaskRestKept);
}

void ReportTaskFileProblem(std::wstring_view file, const nav::TaskFileLoad& load) {
    if (const auto text = TaskFileProblemText(file, load)) {
        platform::ShowMessageBox(nullptr, *text, S(kIdsTaskFileCaption), kBoxStyle);
        return;
    }
    core::ReportLongLines(file, load.longLines);
}

}  // namespace app
