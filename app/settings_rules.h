#pragma once
// The small rules the settings loader applies to values it reads.

#include <string>
#include <string_view>

namespace app {

// True for an angle the program can use: finite and at most 1e6 degrees
// either way.
bool IsSaneAngle(double degrees);

// The same direction in -180..180 degrees (180 and -180 stay as they are).
double NormaliseDegrees180(double degrees);

// "%3.0lf:%05.2lf' %c": whole degrees and minutes (two decimals) of the
// absolute value, then positiveLetter, or negativeLetter below zero.
std::wstring FormatDegreesMinutes(double degrees, wchar_t positiveLetter, wchar_t negativeLetter);

// How much of the thermal average each new thermal keeps when the average
// spans averageNthermals thermals (at least 1): 0 for 1, else
// exp(-1 / (averageNthermals - 1)).
float ThermalAverageDecay(int averageNthermals);

// The folder of a path, up to and including its last '/'; empty when the
// path has none (the file is in the working folder).
std::wstring FolderOf(std::wstring_view path);

}  // namespace app
