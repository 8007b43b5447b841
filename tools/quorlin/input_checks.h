#pragma once
// What a conversion tells the user about a damaged input before it writes:
// the file's name and what is wrong with it, as a box that stops the
// conversion, or as a question whether a partial map is still wanted. And
// the test that coordinates are degrees on the globe (a layer in projected
// metres makes a map the flight computer refuses). UI thread.

#include <filesystem>
#include <string>
#include <string_view>

#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

// "<headline>\n\nFile: <name>\n<problem>"; without a headline the text
// starts with the file's line.
std::string InputProblemText(std::string_view headline, const std::filesystem::path& file,
                             std::string_view problem);

// Tells what is wrong and that nothing was written; the conversion stops.
void RefuseInput(QuorlinUi& ui, const std::filesystem::path& file, std::string_view problem);

// Tells what is missing and asks whether the map should be written with
// what was read; true for Yes.
bool AskForPartialMap(QuorlinUi& ui, const std::filesystem::path& file, std::string_view problem);

// A longitude (east positive) and latitude in degrees on the globe.
bool InGeographicRange(double longitude, double latitude);

// The sentence that refuses a coordinate that is not in degrees.
std::string OutOfRangeText(double x, double y);

}  // namespace quorlin
