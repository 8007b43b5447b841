#pragma once
// The DAFIF files a run reads, checked before it: a file without records,
// one cut in the middle of a line, and lines that are not records of the
// file (fewer TAB-separated fields than the reader takes from them). Each
// problem is one sentence naming the file. Pure; any thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tandrel/dafif_file.h"

namespace tandrel {

// What is wrong with one file whose records need `fieldsUsed` fields;
// empty when nothing is.
std::vector<std::string> DafifFileProblems(const DafifFile& file, std::string_view name, std::size_t fieldsUsed);

// The fields the readers take from each file's records.
inline constexpr std::size_t kControlParentFields = 16;   // BDRY_PAR.TXT, up to the lower limit
inline constexpr std::size_t kSpecialParentFields = 15;   // SUAS_PAR.TXT, up to the label line
inline constexpr std::size_t kControlSegmentFields = 20;  // BDRY.TXT, up to the radius
inline constexpr std::size_t kSpecialSegmentFields = 21;  // SUAS.TXT, up to the radius
inline constexpr std::size_t kControlCountryFields = 3;   // BDRY_CTRY.TXT, up to the first code
inline constexpr std::size_t kSpecialCountryFields = 4;   // SUAS_CTRY.TXT, up to the first code

}  // namespace tandrel
