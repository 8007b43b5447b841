#pragma once
// A converter window for the Quorlin fuzz targets: every question answered
// Yes, every chooser cancelled, the boxes counted.

#include "tools/quorlin/quorlin_ui.h"

namespace fuzz {

class CountingUi final : public quorlin::QuorlinUi {
  public:
    void Message(std::string_view, quorlin::Icon, std::string_view) override { ++messages; }
    bool Ask(std::string_view, std::string_view) override { return true; }
    void Progress(std::string_view) override {}
    void Pump() override {}
    void EnableDialog(bool) override {}
    std::optional<quorlin::ChosenFile> ChooseOpenFile(const quorlin::FileChoice&) override { return {}; }
    std::optional<quorlin::ChosenFile> ChooseSaveFile(const quorlin::FileChoice&) override { return {}; }
    std::optional<quorlin::Bgr> ChooseColour() override { return {}; }
    std::optional<double> InputNumber(std::string_view, double) override { return {}; }
    std::optional<quorlin::Corner> InputCoordinates(std::string_view, quorlin::Corner) override { return {}; }
    bool EditThresholds() override { return false; }
    int messages = 0;
};

}  // namespace fuzz
