#include "map/map_module.h"

namespace map {

// The map module fills these in.
void InitMapModule() {}
void LoadMapIconTable() {}
void BuildSinCosTable() {}

}  // namespace map
