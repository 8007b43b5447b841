#pragma once
// Fixture shapefiles made with the shapelib command-line tools, and prompts
// that answer from a script, for Brisvel's tests.

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/brisvel/shape_document.h"

namespace brisvel::testing {

// Runs a command line in the shell; false when it fails.
inline bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// What a command line prints.
inline std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

// Quotes one shell word.
inline std::string Quote(std::string_view word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A shapefile made shape by shape: Add("0 0 1 1 + 2 2 3 3", "name") adds a
// shape from shpadd's arguments ("" for a null shape) and a table record
// with one text field NAME.
class Fixture {
  public:
    Fixture(const std::filesystem::path& base, std::string_view type) : base_(base) {
        ok_ = Run("shpcreate " + Quote(base_.string()) + " " + std::string(type)) &&
              Run("dbfcreate " + Quote(base_.string()) + " -s NAME 40");
    }
    Fixture& Add(std::string_view coordinates, std::string_view name) {
        ok_ = ok_ && Run("shpadd " + Quote(base_.string()) + " " + std::string(coordinates)) &&
              Run("dbfadd " + Quote(base_.string()) + " " + Quote(name));
        return *this;
    }
    bool Ok() const { return ok_; }
    std::filesystem::path Shp() const { return base_.string() + ".shp"; }

  private:
    std::filesystem::path base_;
    bool ok_ = false;
};

inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Answers Yes/No questions from a list (Yes when it runs out), gives the
// map name and the bounds it holds, and records what was said.
class ScriptedPrompts final : public DocumentPrompts {
  public:
    void Tell(std::string_view text, std::string_view caption) override {
        said.push_back(std::string(caption) + ": " + std::string(text));
    }
    bool Ask(std::string_view text, std::string_view caption) override {
        said.push_back(std::string(caption) + "? " + std::string(text));
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::filesystem::path> AskMapName() override {
        ++namesAsked;
        return mapName;
    }
    bool AskBounds(core::GeoBox& shown) override {
        shownBounds = shown;
        if (bounds) shown = *bounds;
        return acceptBounds;
    }

    std::deque<bool> answers;
    std::vector<std::string> said;
    std::optional<std::filesystem::path> mapName;
    int namesAsked = 0;
    std::optional<core::GeoBox> bounds;  // what the Set Bounds dialog gives back
    core::GeoBox shownBounds = kUnsetBounds;
    bool acceptBounds = true;
};

}  // namespace brisvel::testing
