#pragma once
// The code names of an XRC file's numbered objects.
//
// An object the code refers to carries its name beside its number,
// <object class="wxMenuItem" name="32775" symbol="kOpenWaypointFile">, so
// the number is typed once: the build writes a header per XRC file with
// `inline constexpr int kOpenWaypointFile = 32775;` in namespace
// xrc::<file stem>, and the bundle embeds the XRC without the symbols.
// Names are k, a capital letter, then letters and digits.
//
// A top-level object that carries a symbol (a dialog, an options page)
// opens a scope of its own: the names of it and of the objects inside it
// are also declared in a namespace named from its symbol (kUtmPage:
// xrc::<file stem>::utm_page). Within a scope a number has one name and a
// name one number; a number may appear on several objects of a scope (a
// menu item and its toolbar button). Two scopes may give one number
// different names (two dialogs whose control 1030 means different things)
// and one name different numbers (each page's own kAltitudeUnit); only a
// name that means one number throughout the file is declared in the file's
// namespace too, and the scopes' namespaces redeclare it from there, so
// using both namespaces is never ambiguous. Objects outside any named
// top-level object, and the top-level objects themselves, belong to the
// file's own scope, whose names are always the file's.
//
// Faults throw BundleError with a message naming the file and line.

#include <string>
#include <string_view>
#include <vector>

namespace bundle_compiler {

struct XrcSymbol {
    unsigned id = 0;
    std::string name;
    int line = 0;  // where the scope names it first

    bool operator==(const XrcSymbol&) const = default;
};

// The names of one named top-level object and the objects inside it.
struct XrcScope {
    std::string name;                // its namespace: "utm_page" for kUtmPage
    std::vector<XrcSymbol> symbols;  // each name once, in file order

    bool operator==(const XrcScope&) const = default;
};

struct XrcSymbols {
    std::string path;
    std::vector<XrcSymbol> symbols;  // the file's namespace: each name once, in file order
    std::vector<XrcScope> scopes;    // in file order
};

// Whether `name` may name an XRC object: k, a capital letter, then letters
// and digits.
bool IsXrcSymbolName(std::string_view name);

// The namespace of the scope a top-level object's symbol opens: the symbol
// without its k, in lower case, words joined by underscores ("kUtmPage":
// "utm_page", "kIGCHeader": "igc_header", "kMisc2Page": "misc2_page").
std::string XrcScopeName(std::string_view symbol);

// The named objects of the XRC text `content`; `path` names it in messages.
// Throws on a symbol that is no name, one on an object whose name is not a
// number, a number with two names or a name with two numbers within one
// scope, a name of the file's scope that another scope gives another
// number, and two top-level symbols whose scopes would share a namespace
// (or one that names a keyword).
XrcSymbols ParseXrcSymbols(std::string_view content, const std::string& path);

// `content` without the objects' symbol attributes, as the toolkit reads it.
std::string StripXrcSymbols(std::string_view content);

// The header's text; `source` names the XRC file in its opening comment.
// Throws when the file's stem cannot name a namespace.
std::string XrcIdsHeader(const XrcSymbols& symbols, const std::string& source);

}  // namespace bundle_compiler
