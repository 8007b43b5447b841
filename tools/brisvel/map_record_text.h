#pragma once
// Pieces of text map records: coordinates as "%.6f" in the C form whatever
// the locale, and names made safe for a one-line record.

#include <string>
#include <string_view>

namespace brisvel {

// Appends `value` as printf's "%.6f" would in the C locale.
void AppendFixed6(std::string& out, double value);
// Appends "lat,0,0,-lon,0,0," for a point at east-positive `lon`.
void AppendPoint(std::string& out, float lat, float lon);
void AppendInt(std::string& out, int value);

// The name with every CR and LF turned into a blank, so it stays on its line.
std::string OneLine(std::string_view name);

}  // namespace brisvel
