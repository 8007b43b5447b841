#include "tools/quorlin/input_checks.h"

#include <cmath>

#include "platform/numbers.h"

namespace quorlin {
namespace {

// Edges a hair beyond the globe are rounding, not another projection.
constexpr double kSlack = 1e-6;

}  // namespace

std::string InputProblemText(std::string_view headline, const std::filesystem::path& file,
                             std::string_view problem) {
    std::string text;
    if (!headline.empty()) text.append(headline).append("\n\n");
    text.append("File: ").append(file.filename().string()).append("\n").append(problem);
    return text;
}

void RefuseInput(QuorlinUi& ui, const std::filesystem::path& file, std::string_view problem) {
    ui.Message(InputProblemText("", file, problem) + "\n\nNo output file was written.", Icon::kStop);
}

bool AskForPartialMap(QuorlinUi& ui, const std::filesystem::path& file, std::string_view problem) {
    return ui.Ask(InputProblemText("", file, problem) +
                      "\n\nThe map would hold only what was read before that. Do you want to write this "
                      "partial map?",
                  "Damaged input file");
}

bool InGeographicRange(double longitude, double latitude) {
    return std::isfinite(longitude) && std::isfinite(latitude) && std::fabs(longitude) <= 180.0 + kSlack &&
           std::fabs(latitude) <= 90.0 + kSlack;
}

std::string OutOfRangeText(double x, double y) {
    return platform::FormatC(
        "It holds the position x = %.6g, y = %.6g, outside the longitudes -180 to 180 and latitudes -90 to 90: "
        "its coordinates are not degrees (a projected layer?). Only layers in degrees can be converted.",
        x, y);
}

}  // namespace quorlin
