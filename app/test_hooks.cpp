#include "app/test_hooks.h"

#include <unistd.h>
#include <wx/dialog.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "platform/utf.h"
#include "recorder/flight_log_file.h"

namespace app::test_hooks {
namespace {

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

std::string OneLine(std::wstring_view text) {
    std::string line;
    for (const char c : platform::ToUtf8(text))
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    return line;
}

std::string ThreadName(const std::filesystem::path& task) {
    std::ifstream comm(task / "comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

const std::filesystem::path kTasks("/proc/self/task");
std::set<std::string> g_threadsAtStart;

std::set<std::string> RunningThreads() {
    std::set<std::string> threads;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kTasks, error)) {
        threads.insert(entry.path().filename().string());
    }
    return threads;
}

int AnswerOf(std::string_view word) {
    if (word == "no") return platform::kIdNo;
    if (word == "cancel") return platform::kIdCancel;
    return word == "ok" ? platform::kIdOk : platform::kIdYes;
}

class LoggingSink final : public platform::MessageBoxSink {
  public:
    LoggingSink() {
        const char* answers = Variable("KOR_VAN_TEST_ANSWERS");
        std::istringstream words(answers != nullptr ? answers : "");
        for (std::string word; std::getline(words, word, ',');)
            answers_.push_back(AnswerOf(word));
    }

    int Show(void* /*owner*/, std::wstring_view text, std::wstring_view caption,
             unsigned style) override {
        Record("box\t" + OneLine(caption) + "\t" + OneLine(text));
        const std::lock_guard lock(mutex_);
        const unsigned buttons = style & platform::mb::kButtonMask;
        if (buttons == platform::mb::kOk || answers_.empty()) return platform::DefaultAnswer(style);
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

  private:
    std::mutex mutex_;
    std::deque<int> answers_;
};

bool RealWindows() {
    return Variable("KOR_VAN_TEST_WINDOWS") != nullptr;
}

class LoggingDialogHook final : public wxModalDialogHook {
  public:
    LoggingDialogHook() { Register(); }

  protected:
    int Enter(wxDialog* dialog) override {
        Record("dialog\t" + OneLine(dialog->GetClassInfo()->GetClassName()));
        return wxID_NONE;
    }
};

}  // namespace

std::unique_ptr<wxModalDialogHook> DialogLog() {
    if (Variable("KOR_VAN_TEST_LOG") == nullptr || !RealWindows()) return nullptr;
    return std::make_unique<LoggingDialogHook>();
}

void InstallSaveDialogAnswer() {
    if (Variable("KOR_VAN_TEST_LOG") == nullptr) return;
    const char* save = Variable("KOR_VAN_TEST_SAVE");
    if (save != nullptr && std::string_view(save) == "dialog") return;  // the real one
    if (save == nullptr && RealWindows()) return;
    const std::optional<std::filesystem::path> file =
        save != nullptr ? std::optional<std::filesystem::path>(save) : std::nullopt;
    recorder::SetLogSaveDialog(
        [file](const recorder::LogSaveRequest&) -> std::optional<recorder::LogSaveAnswer> {
            if (!file) {
                Record("save cancelled");
                return std::nullopt;
            }
            Record("save " + file->string());
            return recorder::LogSaveAnswer{*file, file->extension() == ".gps" ? 1 : 2};
        });
}

void Record(std::string_view line) {
    static std::mutex mutex;
    const char* file = Variable("KOR_VAN_TEST_LOG");
    if (file == nullptr) return;
    const std::lock_guard lock(mutex);
    std::ofstream log(file, std::ios::app);
    log << line << '\n';
}

std::shared_ptr<platform::MessageBoxSink> MessageBoxLog() {
    if (Variable("KOR_VAN_TEST_LOG") == nullptr || RealWindows()) return nullptr;
    return std::make_shared<LoggingSink>();
}

std::optional<frame::ScreenSize> ScreenOverride() {
    const char* value = Variable("KOR_VAN_SCREEN");
    frame::ScreenSize size;
    if (value == nullptr || std::sscanf(value, "%dx%d", &size.width, &size.height) != 2 ||
        size.width <= 0 || size.height <= 0) {
        return std::nullopt;
    }
    return size;
}

std::optional<std::filesystem::path> ScreenshotFile() {
    const char* value = Variable("KOR_VAN_SCREENSHOT");
    if (value == nullptr) return std::nullopt;
    return std::filesystem::path(value);
}

void NoteThreadsAtStart() {
    // A thread started and ended first has a sanitizer start its own
    // background thread (it does so with the first thread), so that it is
    // among those noted.
    std::thread([] {}).join();
    g_threadsAtStart = RunningThreads();
}

std::vector<std::string> ProgramThreadsStarted() {
    const std::string program = ThreadName(kTasks / std::to_string(::gettid()));
    std::vector<std::string> started;
    for (const std::string& thread : RunningThreads()) {
        if (!g_threadsAtStart.contains(thread) && ThreadName(kTasks / thread) == program) {
            started.push_back(thread);
        }
    }
    return started;
}

}  // namespace app::test_hooks
