#include "tools/bundle_compiler/xrc_ids.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "tools/bundle_compiler/string_table.h"

namespace bundle_compiler {
namespace {

[[noreturn]] void FailXrc(const std::string& message) {
    throw BundleError(message);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsXrcUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsXrcAlnum(char c) {
    return IsXrcUpper(c) || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// One attribute of an element's start tag; `begin` is where the blank
// before it starts, `end` just past its closing quote.
struct Attribute {
    std::string_view name;
    std::string_view value;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// An <object> start tag: its attributes and the line it starts on.
struct ObjectTag {
    std::vector<Attribute> attributes;
    int line = 0;

    std::optional<std::string_view> Find(std::string_view name) const {
        for (const auto& attribute : attributes)
            if (attribute.name == name) return attribute.value;
        return std::nullopt;
    }
};

// The attributes of the start tag whose name ends before `at`; throws on
// a tag that never closes or an attribute without a quoted value.
std::vector<Attribute> ReadAttributes(std::string_view text, std::size_t at,
                                      const std::string& where) {
    std::vector<Attribute> attributes;
    for (;;) {
        const std::size_t begin = at;
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at >= text.size()) FailXrc(where + ": unterminated tag");
        if (text[at] == '>' || text[at] == '/') return attributes;
        const std::size_t nameStart = at;
        while (at < text.size() && !IsSpace(text[at]) && text[at] != '=' && text[at] != '>')
            ++at;
        const std::string_view name = text.substr(nameStart, at - nameStart);
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at >= text.size() || text[at] != '=') FailXrc(where + ": attribute without a value");
        ++at;
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at >= text.size() || (text[at] != '"' && text[at] != '\''))
            FailXrc(where + ": attribute value without quotes");
        const std::size_t close = text.find(text[at], at + 1);
        if (close == std::string_view::npos) FailXrc(where + ": unterminated attribute value");
        attributes.push_back({name, text.substr(at + 1, close - at - 1), begin, close + 1});
        at = close + 1;
    }
}

// The <object> start tags of `text` in order, comments and processing
// instructions skipped.
std::vector<ObjectTag> ObjectTags(std::string_view text, const std::string& path) {
    std::vector<ObjectTag> tags;
    int line = 1;
    std::size_t counted = 0;  // text before this has been counted into `line`
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
        line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                            text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        counted = at;
        const std::string_view rest = text.substr(at);
        if (rest.starts_with("<!--")) {
            const std::size_t end = text.find("-->", at);
            if (end == std::string_view::npos)
                FailXrc(path + ":" + std::to_string(line) + ": unterminated comment");
            at = end + 3;
            continue;
        }
        constexpr std::string_view kObject = "<object";
        if (rest.starts_with(kObject) && rest.size() > kObject.size() &&
            (IsSpace(rest[kObject.size()]) || rest[kObject.size()] == '>' ||
             rest[kObject.size()] == '/')) {
            const std::string where = path + ":" + std::to_string(line);
            tags.push_back({ReadAttributes(text, at + kObject.size(), where), line});
        }
        ++at;
    }
    return tags;
}

bool IsNumber(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether `name` can name a C++ namespace: a letter, then letters, digits
// and underscores.
bool IsNamespaceName(std::string_view name) {
    return !name.empty() && !(name.front() >= '0' && name.front() <= '9') &&
           std::all_of(name.begin(), name.end(), [](char c) { return IsXrcAlnum(c) || c == '_'; });
}

}  // namespace

bool IsXrcSymbolName(std::string_view name) {
    if (name.size() < 2 || name.front() != 'k' || !IsXrcUpper(name[1])) return false;
    return std::all_of(name.begin(), name.end(), IsXrcAlnum);
}

XrcSymbols ParseXrcSymbols(std::string_view content, const std::string& path) {
    XrcSymbols result{.path = path, .symbols = {}};
    std::map<unsigned, std::size_t> byId;      // index into symbols
    std::map<std::string, std::size_t> byName;  // index into symbols
    for (const auto& tag : ObjectTags(content, path)) {
        const auto symbol = tag.Find("symbol");
        if (!symbol) continue;
        const std::string where = path + ":" + std::to_string(tag.line);
        const std::string name(*symbol);
        if (!IsXrcSymbolName(name))
            FailXrc(where + ": \"" + name +
                    "\" is no symbol (k, a capital letter, letters and digits)");
        const auto number = tag.Find("name");
        if (!number || !IsNumber(*number))
            FailXrc(where + ": symbol " + name + " on an object without a number");
        const auto id = static_cast<unsigned>(std::stoul(std::string(*number)));
        const auto named = byName.find(name);
        if (named != byName.end()) {
            const XrcSymbol& first = result.symbols[named->second];
            if (first.id != id)
                FailXrc(where + ": symbol " + name + " names " + std::to_string(id) + " and " +
                        std::to_string(first.id) + " (first at line " + std::to_string(first.line) +
                        ")");
            continue;
        }
        if (const auto other = byId.find(id); other != byId.end()) {
            const XrcSymbol& first = result.symbols[other->second];
            FailXrc(where + ": " + std::to_string(id) + " named " + name + " and " + first.name +
                    " (first at line " + std::to_string(first.line) + ")");
        }
        byName.emplace(name, result.symbols.size());
        byId.emplace(id, result.symbols.size());
        result.symbols.push_back({id, name, tag.line});
    }
    return result;
}

std::string StripXrcSymbols(std::string_view content) {
    std::string out;
    std::size_t copied = 0;
    for (const auto& tag : ObjectTags(content, "xrc")) {
        for (const auto& attribute : tag.attributes) {
            if (attribute.name != "symbol") continue;
            out.append(content.substr(copied, attribute.begin - copied));
            copied = attribute.end;
        }
    }
    out.append(content.substr(copied));
    return out;
}

std::string XrcIdsHeader(const XrcSymbols& symbols, const std::string& source) {
    const std::string stem = std::filesystem::path(symbols.path).stem().string();
    if (!IsNamespaceName(stem))
        FailXrc(symbols.path + ": \"" + stem + "\" cannot name a namespace");
    std::ostringstream out;
    out << "#pragma once\n"
        << "// Generated by the bundle compiler from " << source << "; do not edit.\n"
        << "// The ids of the objects that file names.\n\n"
        << "namespace xrc::" << stem << " {\n\n";
    for (const auto& symbol : symbols.symbols)
        out << "inline constexpr int " << symbol.name << " = " << symbol.id << ";\n";
    out << "\n}  // namespace xrc::" << stem << "\n";
    return out.str();
}

}  // namespace bundle_compiler
