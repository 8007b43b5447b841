#pragma once
// The fixture DAFIF folder and scripted answers for the conversion's tests.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tandrel/conversion.h"

namespace tandrel::testing {

inline std::filesystem::path FixtureFolder() {
    return std::filesystem::path(KV_SOURCE_DIR) / "tools/tandrel/tests/data/dafif";
}

// Answers questions from a list (Yes when it runs out) and records every
// message and question.
class ScriptedPrompts final : public ConversionPrompts {
  public:
    explicit ScriptedPrompts(std::vector<bool> answers = {}) : answers_(std::move(answers)) {}

    void Tell(std::string_view text, std::string_view caption, std::optional<int> focus) override {
        said.push_back(std::string(caption) + ": " + std::string(text));
        lastFocus = focus;
    }
    bool Ask(std::string_view text, std::string_view caption) override {
        said.push_back(std::string(caption) + "? " + std::string(text));
        if (next_ >= answers_.size()) return true;
        return answers_[next_++];
    }
    void Progress(std::string_view identifier) override { progress.emplace_back(identifier); }

    std::vector<std::string> said;
    std::vector<std::string> progress;
    std::optional<int> lastFocus;

  private:
    std::vector<bool> answers_;
    std::size_t next_ = 0;
};

}  // namespace tandrel::testing
