#pragma once
// The ids header generated from one string table: a constant in namespace
// ids for every named string, so code names a string and never repeats its
// number. The header holds no text, so editing a text leaves it as it is
// and rebuilds nothing that includes it.

#include <string>

#include "tools/bundle_compiler/string_table.h"

namespace bundle_compiler {

// The header's text; `source` names the table in its opening comment.
std::string IdsHeader(const StringTable& table, const std::string& source);

// The header's file name for the table at `tablePath`: "strings_map.h" for
// ".../strings_map.txt".
std::string IdsHeaderName(const std::string& tablePath);

// Writes `text` to `path` unless the file already holds exactly that, so
// what includes an unchanged header is not rebuilt. Throws when it fails.
void WriteIfChanged(const std::string& path, const std::string& text);

}  // namespace bundle_compiler
