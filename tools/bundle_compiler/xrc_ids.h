#pragma once
// The code names of an XRC file's numbered objects.
//
// An object the code refers to carries its name beside its number,
// <object class="wxMenuItem" name="32775" symbol="kOpenWaypointFile">, so
// the number is typed once: the build writes a header per XRC file with
// `inline constexpr int kOpenWaypointFile = 32775;` in namespace
// xrc::<file stem>, and the bundle embeds the XRC without the symbols. A
// number may appear on several objects of a file (a menu item and its
// toolbar button); within the file it has one name at most and each name
// one number. Names are k, a capital letter, then letters and digits.
//
// Faults throw BundleError with a message naming the file and line.

#include <string>
#include <string_view>
#include <vector>

namespace bundle_compiler {

struct XrcSymbol {
    unsigned id = 0;
    std::string name;
    int line = 0;  // where the file names it first

    bool operator==(const XrcSymbol&) const = default;
};

struct XrcSymbols {
    std::string path;
    std::vector<XrcSymbol> symbols;  // each name once, in file order
};

// Whether `name` may name an XRC object: k, a capital letter, then letters
// and digits.
bool IsXrcSymbolName(std::string_view name);

// The named objects of the XRC text `content`; `path` names it in messages.
// Throws on a symbol that is no name, one on an object whose name is not a
// number, and on a number with two names or a name with two numbers.
XrcSymbols ParseXrcSymbols(std::string_view content, const std::string& path);

// `content` without the objects' symbol attributes, as the toolkit reads it.
std::string StripXrcSymbols(std::string_view content);

// The header's text; `source` names the XRC file in its opening comment.
// Throws when the file's stem cannot name a namespace.
std::string XrcIdsHeader(const XrcSymbols& symbols, const std::string& source);

}  // namespace bundle_compiler
