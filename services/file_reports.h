#pragma once
// Telling the pilot, once per file, what a reader left out of a data file.
//
// Any thread may call; the box goes through platform::ShowMessageBox (to
// the UI thread), so call it holding no lock.

#include <cstddef>
#include <string_view>

namespace core {

// "Lines too long" box naming the file and how many lines were left out
// (TextFile::LongLinesSkipped); nothing when count is 0.
void ReportLongLines(std::wstring_view file, std::size_t count);

// "Waypoint file" box naming a file of data lines none of which is a
// waypoint record.
void ReportNoRecords(std::wstring_view file);

}  // namespace core
