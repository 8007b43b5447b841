#pragma once
// The position page's start-up work.

namespace glide {

// Creates the position page's fonts from "baseSize" and "Family".
void CreateViewFonts();

}  // namespace glide
