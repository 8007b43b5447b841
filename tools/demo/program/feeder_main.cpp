// demo_feeder --link PATH [--speed N] [--keep-times] [--watch PID]
//             [--hold-for FOLDER] [--hold SECONDS] FILE
//
// Plays a sentence file into a pseudo-terminal reached through PATH until
// SIGTERM or SIGINT, or until process PID has gone. With --hold-for the
// glider first stands on the field until a flight log in FOLDER declares a
// task, or for SECONDS (default 60) at most.

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tools/demo/feeder.h"

namespace {

demo::Feeder* g_feeder = nullptr;

void OnSignal(int) {
    if (g_feeder != nullptr) g_feeder->Stop();
}

int Usage() {
    std::fprintf(stderr,
                 "usage: demo_feeder --link PATH [--speed N] [--keep-times] [--watch PID]\n"
                 "                   [--hold-for FOLDER] [--hold SECONDS] FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    demo::FeederOptions options;
    std::optional<std::string> file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--link" && hasValue) {
            options.link = argv[++i];
        } else if (arg == "--speed" && hasValue) {
            options.speed = std::strtod(argv[++i], nullptr);
        } else if (arg == "--watch" && hasValue) {
            options.watch = static_cast<pid_t>(std::strtol(argv[++i], nullptr, 10));
        } else if (arg == "--hold-for" && hasValue) {
            const std::filesystem::path folder = argv[++i];
            options.released = [folder] { return demo::FolderHoldsDeclaredLog(folder); };
        } else if (arg == "--hold" && hasValue) {
            options.holdSeconds = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
        } else if (arg == "--keep-times") {
            options.shiftTimes = false;
        } else if (!arg.starts_with("--") && !file) {
            file = arg;
        } else {
            return Usage();
        }
    }
    if (!file || options.link.empty() || !(options.speed > 0.0)) return Usage();

    std::ifstream in(*file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<demo::Epoch> epochs = demo::SplitEpochs(text);
    if (!in || epochs.empty()) {
        std::fprintf(stderr, "demo_feeder: no sentences in %s\n", file->c_str());
        return 1;
    }
    demo::Feeder feeder(std::move(epochs), options);
    if (!feeder.Open()) {
        std::fprintf(stderr, "demo_feeder: %s\n", feeder.Error().c_str());
        return 1;
    }
    g_feeder = &feeder;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    const int status = feeder.Run();
    g_feeder = nullptr;
    return status;
}
