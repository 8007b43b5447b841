#include "glide/polar.h"

namespace glide {

// The polar fills this in.
void LoadPolarSettings() {}

}  // namespace glide
