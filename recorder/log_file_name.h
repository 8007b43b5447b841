#pragma once
// The name a new flight log is proposed under: a prefix made from the local
// date (and, for IGC files, the logger id) and one index character that no
// file of the folder uses yet. Pure apart from reading the folder; any
// thread.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace recorder {

// The IGC short name's prefix: the year's last digit, the month and the day
// as one character each ('0'..'9', then 'A' for 10 on), "X" and the
// three-character logger id: "5C8XQ7Z" for 8 December 2025 and "Q7Z".
std::string IgcLogNamePrefix(const platform::SystemTime& local, std::wstring_view loggerId);

// The text log's prefix "YYMMDD-": "251208-".
std::string TextLogNamePrefix(const platform::SystemTime& local);

// The index character of n: '0'..'9' below 10, 'A'.. from 10 on, and 'Z'
// for anything beyond (the overwrite question then decides).
char LogIndexCharacter(int n);

// prefix plus the index character: n starts at the number of the folder's
// files whose name begins with the prefix, plus one, and rises while a file
// prefix + character (with any extension) exists. Names compare without
// regard to case, as the logs' first home did.
std::string ProposeLogName(const std::filesystem::path& folder, std::string_view prefix);

// The log's path from the save dialog's answer, for a log of the format
// chosen (IGC or text): a name without an extension gets the format's
// (".igc", ".gps"), and so does the offered name accepted as it was while
// the pilot chose the other format; an extension the pilot typed stays.
std::filesystem::path LogPathForFormat(const std::filesystem::path& chosen,
                                       const std::filesystem::path& offered, bool igc);

}  // namespace recorder
