#pragma once
// Start-up of the map module: its lock and screen values, its icon table and
// its sine/cosine table.

namespace map {

// Sets up the map module (its lock, the screen size and colour depth, and
// the "ShowGOTOline" setting).
void InitMapModule();

// Loads the map's second icon table.
void LoadMapIconTable();

// Fills the table of 360 (cosine, sine) pairs, one per degree.
void BuildSinCosTable();

}  // namespace map
