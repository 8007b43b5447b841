#pragma once
// What Quorlin's benchmarks share: a window that answers every question
// with Yes, shows messages on stderr and chooses nothing.

#include <cstdio>
#include <optional>
#include <string_view>

#include "tools/quorlin/quorlin_ui.h"

namespace bench_support {

class QuietQuorlinUi final : public quorlin::QuorlinUi {
  public:
    void Message(std::string_view text, quorlin::Icon, std::string_view) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
    bool Ask(std::string_view, std::string_view) override { return true; }
    void Progress(std::string_view) override {}
    void Pump() override {}
    void EnableDialog(bool) override {}
    std::optional<quorlin::ChosenFile> ChooseOpenFile(const quorlin::FileChoice&) override { return {}; }
    std::optional<quorlin::ChosenFile> ChooseSaveFile(const quorlin::FileChoice&) override { return {}; }
    std::optional<quorlin::Bgr> ChooseColour() override { return {}; }
    std::optional<double> InputNumber(std::string_view, double) override { return {}; }
    std::optional<quorlin::Corner> InputCoordinates(std::string_view, quorlin::Corner) override {
        return {};
    }
    bool EditThresholds() override { return false; }
};

}  // namespace bench_support
