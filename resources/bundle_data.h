#pragma once
// The tables that kv_bundle_compiler generates from the sources in this
// folder (strings.txt, *.xrc, icons/*.svg); bundle.cpp serves them.

#include <cstddef>

namespace kv_bundle {

struct StringEntry {
    unsigned id;
    const wchar_t* text;
};

struct ImageEntry {
    unsigned id;
    const unsigned char* png;
    std::size_t length;
};

// Sorted by id; each table ends with an entry whose pointer is null.
extern const StringEntry kStrings[];
extern const std::size_t kStringCount;
extern const ImageEntry kImages[];
extern const std::size_t kImageCount;

// Every XRC file merged into one document, with a terminating zero.
extern const char kXrc[];
extern const std::size_t kXrcLength;

}  // namespace kv_bundle
