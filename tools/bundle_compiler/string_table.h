#pragma once
// The string tables of a resource bundle, read from their text form.
//
// A line is "id<TAB>text" or "id<TAB>name<TAB>text", in UTF-8. The id is
// decimal or 0x hexadecimal; the name, when given, is how code refers to
// the string (kIds, a capital letter, then letters and digits) and becomes
// a constant of the table's generated ids header. In the text \n, \t and
// \\ stand for a line break, a tab and a backslash; a literal tab belongs
// in no text, so a line's second tab always ends its name. Empty lines and
// lines beginning with '#' are comments.
//
// Faults throw BundleError with a message naming the file and line.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bundle_compiler {

class BundleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TableString {
    unsigned id = 0;
    std::string name;  // empty when no code refers to the string by name
    std::wstring text;
    int line = 0;  // where the table gives it

    bool operator==(const TableString&) const = default;
};

struct StringTable {
    std::string path;
    std::vector<TableString> strings;  // in file order
};

// A decimal or 0x hexadecimal id that fits 32 bits; nothing otherwise.
std::optional<unsigned> ParseId(std::string_view text);

// Whether `name` may name a string: kIds, a capital letter, then letters
// and digits.
bool IsStringName(std::string_view name);

// The table in `content`; `path` names it in messages.
StringTable ParseStringTable(std::string_view content, const std::string& path);

// The file's bytes; throws when it cannot be read.
std::string ReadFile(const std::string& path);

// The tables of the files at `paths`, each parsed, none giving an id or a
// name that it or another gives too: the tables make up one string table
// and their names one namespace.
std::vector<StringTable> ReadStringTables(const std::vector<std::string>& paths);

// Throws on the first id or name given twice across `tables`.
void CheckTablesDisjoint(const std::vector<StringTable>& tables);

}  // namespace bundle_compiler
