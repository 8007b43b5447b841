#pragma once
// The own team code among the position texts (OwnTeamCodeText). The team
// code's owner installs the encoder at start-up; it answers nothing while
// team flying is off. Until one is installed the text stays "----".
//
// The fix-processing thread calls UpdateOwnTeamCodeText after each new
// position; installing may happen on any thread.

#include <functional>
#include <optional>
#include <string>

namespace glide {

// lonWest and latitude in radians (longitude positive west).
using OwnTeamCodeEncoder = std::function<std::optional<std::wstring>(double lonWest, double latitude)>;
void SetOwnTeamCodeEncoder(OwnTeamCodeEncoder encoder);

void UpdateOwnTeamCodeText(double lonWest, double latitude);

}  // namespace glide
