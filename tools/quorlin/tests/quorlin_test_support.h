#pragma once
// A scripted window for the converter's commands: answers, chosen files,
// colours and corners from lists; every box, question and progress line
// recorded.

#include <deque>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/quorlin/quorlin_ui.h"

namespace quorlin::testing {

inline std::filesystem::path DataFolder() {
    return std::filesystem::path(KV_SOURCE_DIR) / "tools/quorlin/tests/data";
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ScriptedUi final : public QuorlinUi {
  public:
    void Message(std::string_view text, Icon, std::string_view caption) override {
        said.emplace_back(text);
        captions.emplace_back(caption);
    }
    bool Ask(std::string_view text, std::string_view) override {
        said.push_back("? " + std::string(text));
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Progress(std::string_view text) override { progress.emplace_back(text); }
    void Pump() override {
        ++pumps;
        if (onPump) onPump();
    }
    void EnableDialog(bool enable) override { enables.push_back(enable); }
    std::optional<ChosenFile> ChooseOpenFile(const FileChoice& choice) override { return Take(choice); }
    std::optional<ChosenFile> ChooseSaveFile(const FileChoice& choice) override { return Take(choice); }
    std::optional<Bgr> ChooseColour() override {
        if (colours.empty()) return std::nullopt;
        const Bgr c = colours.front();
        colours.pop_front();
        return c;
    }
    std::optional<double> InputNumber(std::string_view, double) override {
        if (numbers.empty()) return std::nullopt;
        const double v = numbers.front();
        numbers.pop_front();
        return v;
    }
    std::optional<Corner> InputCoordinates(std::string_view prompt, Corner initial) override {
        said.push_back("corner " + std::string(prompt));
        offered.push_back(initial);
        if (corners.empty()) return std::nullopt;
        const Corner c = corners.front();
        corners.pop_front();
        return c;
    }
    bool EditThresholds() override { return thresholdsOk; }

    std::deque<bool> answers;
    std::deque<ChosenFile> files;
    std::deque<Bgr> colours;
    std::deque<double> numbers;
    std::deque<Corner> corners;
    bool thresholdsOk = false;
    std::function<void()> onPump;

    std::vector<std::string> said;
    std::vector<std::string> captions;  // of the boxes only, empty for the program's name
    std::vector<std::string> progress;
    std::vector<bool> enables;
    std::vector<Corner> offered;
    std::vector<FileChoice> choices;
    int pumps = 0;

  private:
    std::optional<ChosenFile> Take(const FileChoice& choice) {
        choices.push_back(choice);
        if (files.empty()) return std::nullopt;
        const ChosenFile f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace quorlin::testing
