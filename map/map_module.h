#pragma once
// The map module: its start-up and exit, its shared drawing values and the
// small hooks the rest of the program calls.

#include <atomic>

namespace map {

// Loads the map buttons' icon table from the installed resource bundle
// (nothing without one).
void LoadMapIconTable();

// Fills the table of 360 (cosine, sine) pairs, one per degree.
void BuildSinCosTable();

// The size the map's drawing tables are made for; the map window's four
// size fields take it at start-up.
inline std::atomic<int> g_sharedMapSize{16};

// The map's three drawing sizes, smallest to largest.
struct MapDrawingSizes {
    int smallest = 1;
    int middle = 2;
    int largest = 3;
};
inline MapDrawingSizes g_mapDrawingSizes;

// Puts the sizes into strict order: the smallest at least 1, each next at
// least one more than the one before.
void OrderMapDrawingSizes(MapDrawingSizes& sizes);

// The screen-resolution class the map's wind indicator is drawn for.
inline std::atomic<int> g_screenResolution{0};

}  // namespace map
