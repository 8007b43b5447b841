#include "tools/bundle_compiler/string_table.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "platform/utf.h"
#include "tools/bundle_compiler/source_text.h"

namespace bundle_compiler {
namespace {

// The text as wide characters; nothing unless it is valid UTF-8 (which
// alone converts back to the same bytes).
std::optional<std::wstring> DecodeUtf8(std::string_view text) {
    std::wstring wide = platform::FromUtf8(text);
    if (platform::ToUtf8(wide) != text) return std::nullopt;
    return wide;
}

std::wstring Unescape(const std::wstring& text, const std::string& where) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) Fail(where + ": '\\' at the end of the text");
        switch (text[i]) {
            case L'n':
                out += L'\n';
                break;
            case L't':
                out += L'\t';
                break;
            case L'\\':
                out += L'\\';
                break;
            default:
                Fail(where + ": unknown escape");
        }
    }
    return out;
}

TableString ParseLine(std::string_view line, int number, const std::string& where) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) Fail(where + ": no tab between id and text");
    const auto id = ParseId(line.substr(0, tab));
    if (!id) Fail(where + ": bad id");
    TableString entry;
    entry.id = *id;
    entry.line = number;
    std::string_view rest = line.substr(tab + 1);
    if (const auto nameEnd = rest.find('\t'); nameEnd != std::string_view::npos) {
        entry.name = rest.substr(0, nameEnd);
        if (!IsStringName(entry.name))
            Fail(where + ": \"" + entry.name +
                 "\" is no string name (kIds, a capital letter, letters and digits)");
        rest.remove_prefix(nameEnd + 1);
    }
    const auto text = DecodeUtf8(rest);
    if (!text) Fail(where + ": text is not UTF-8");
    entry.text = Unescape(*text, where);
    return entry;
}

}  // namespace

std::optional<unsigned> ParseId(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return std::nullopt;
    unsigned long value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(digit);
        if (value > 0xFFFFFFFFul) return std::nullopt;
    }
    return static_cast<unsigned>(value);
}

bool IsStringName(std::string_view name) {
    constexpr std::string_view kPrefix = "kIds";
    if (!name.starts_with(kPrefix) || name.size() == kPrefix.size()) return false;
    name.remove_prefix(kPrefix.size());
    if (!IsUpper(name.front())) return false;
    for (const char c : name)
        if (!IsAlnum(c)) return false;
    return true;
}

StringTable ParseStringTable(std::string_view content, const std::string& path) {
    StringTable table{.path = path, .strings = {}};
    std::istringstream lines{std::string(content)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        table.strings.push_back(ParseLine(line, number, path + ":" + std::to_string(number)));
    }
    return table;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path + ": cannot be read");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<StringTable> ReadStringTables(const std::vector<std::string>& paths) {
    std::vector<StringTable> tables;
    for (const auto& path : paths)
        tables.push_back(ParseStringTable(ReadFile(path), path));
    CheckTablesDisjoint(tables);
    return tables;
}

void CheckTablesDisjoint(const std::vector<StringTable>& tables) {
    std::map<unsigned, std::string> ids;      // id -> where given first
    std::map<std::string, std::string> names;  // name -> where given first
    for (const auto& table : tables) {
        for (const auto& entry : table.strings) {
            const std::string where = table.path + ":" + std::to_string(entry.line);
            if (const auto [first, added] = ids.emplace(entry.id, where); !added)
                Fail(where + ": id " + std::to_string(entry.id) + " given twice (first at " +
                     first->second + ")");
            if (entry.name.empty()) continue;
            if (const auto [first, added] = names.emplace(entry.name, where); !added)
                Fail(where + ": name " + entry.name + " given twice (first at " +
                     first->second + ")");
        }
    }
}

}  // namespace bundle_compiler
