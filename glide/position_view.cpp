#include "glide/position_view.h"

namespace glide {

// The position page fills this in.
void CreateViewFonts() {}

}  // namespace glide
