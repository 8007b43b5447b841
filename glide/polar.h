#pragma once
// The glider polar's start-up.

namespace glide {

// Reads the polar settings and fits the polar in use.
void LoadPolarSettings();

}  // namespace glide
