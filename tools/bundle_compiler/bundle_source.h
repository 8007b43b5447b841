#pragma once
// The C++ source of a resource bundle: the string tables, the XRC documents
// merged into one (their objects' symbols left out), and the PNG images, as the tables of
// resources/bundle_data.h.

#include <map>
#include <string>
#include <vector>

#include "tools/bundle_compiler/string_table.h"

namespace bundle_compiler {

struct BundleInputs {
    std::vector<StringTable> strings;
    std::vector<std::string> xrcs;            // paths, merged in this order
    std::map<unsigned, std::string> images;  // id -> PNG path
};

// The source's text. Throws when an XRC file has no <resource> element or
// is not UTF-8, or a file cannot be read.
std::string BundleSource(const BundleInputs& inputs);

}  // namespace bundle_compiler
