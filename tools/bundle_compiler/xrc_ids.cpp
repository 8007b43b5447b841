#include "tools/bundle_compiler/xrc_ids.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "tools/bundle_compiler/source_text.h"
#include "tools/bundle_compiler/string_table.h"

namespace bundle_compiler {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One attribute of an element's start tag; `begin` is where the blank
// before it starts, `end` just past its closing quote.
struct Attribute {
    std::string_view name;
    std::string_view value;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// An <object> start tag: its attributes, the line it starts on and the
// top-level object it lies in (its own index when it is one).
struct ObjectTag {
    std::vector<Attribute> attributes;
    int line = 0;
    std::size_t topLevel = 0;

    std::optional<std::string_view> Find(std::string_view name) const {
        for (const auto& attribute : attributes)
            if (attribute.name == name) return attribute.value;
        return std::nullopt;
    }
};

struct StartTag {
    std::vector<Attribute> attributes;
    bool empty = false;  // ends with "/>": no content and no end tag
};

// The attributes of the start tag whose name ends before `at`; throws on
// a tag that never closes or an attribute without a quoted value.
StartTag ReadStartTag(std::string_view text, std::size_t at, const std::string& where) {
    StartTag tag;
    for (;;) {
        const std::size_t begin = at;
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at >= text.size()) Fail(where + ": unterminated tag");
        if (text[at] == '>') return tag;
        if (text[at] == '/') {
            tag.empty = true;
            return tag;
        }
        const std::size_t nameStart = at;
        while (at < text.size() && !IsSpace(text[at]) && text[at] != '=' && text[at] != '>')
            ++at;
        const std::string_view name = text.substr(nameStart, at - nameStart);
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at >= text.size() || text[at] != '=') Fail(where + ": attribute without a value");
        ++at;
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at >= text.size() || (text[at] != '"' && text[at] != '\''))
            Fail(where + ": attribute value without quotes");
        const std::size_t close = text.find(text[at], at + 1);
        if (close == std::string_view::npos) Fail(where + ": unterminated attribute value");
        tag.attributes.push_back({name, text.substr(at + 1, close - at - 1), begin, close + 1});
        at = close + 1;
    }
}

// Whether `rest` starts with the element name `name` followed by the end
// of the name.
bool StartsWithElement(std::string_view rest, std::string_view name) {
    return rest.starts_with(name) && rest.size() > name.size() &&
           (IsSpace(rest[name.size()]) || rest[name.size()] == '>' || rest[name.size()] == '/');
}

// The <object> start tags of `text` in order, comments and processing
// instructions skipped.
std::vector<ObjectTag> ObjectTags(std::string_view text, const std::string& path) {
    std::vector<ObjectTag> tags;
    std::vector<std::size_t> open;  // the objects whose end tag is still to come
    int line = 1;
    std::size_t counted = 0;  // text before this has been counted into `line`
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
        line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(counted),
                                            text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        counted = at;
        const std::string_view rest = text.substr(at);
        const std::string where = path + ":" + std::to_string(line);
        if (rest.starts_with("<!--")) {
            const std::size_t end = text.find("-->", at);
            if (end == std::string_view::npos) Fail(where + ": unterminated comment");
            at = end + 3;
            continue;
        }
        if (StartsWithElement(rest, "<object")) {
            StartTag start = ReadStartTag(text, at + 7, where);
            const std::size_t index = tags.size();
            tags.push_back(
                {std::move(start.attributes), line, open.empty() ? index : open.front()});
            if (!start.empty) open.push_back(index);
        } else if (StartsWithElement(rest, "</object")) {
            if (open.empty()) Fail(where + ": </object> without its <object>");
            open.pop_back();
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
           std::all_of(name.begin(), name.end(), [](char c) { return IsAlnum(c) || c == '_'; });
}

// The keywords a scope name of one word could spell.
bool IsKeyword(std::string_view name) {
    static constexpr std::string_view kKeywords[] = {
        "alignas",  "alignof",  "and",       "asm",       "auto",      "bitand",    "bitor",
        "bool",     "break",    "case",      "catch",     "char",      "class",     "compl",
        "concept",  "const",    "consteval", "constexpr", "constinit", "continue",  "decltype",
        "default",  "delete",   "do",        "double",    "else",      "enum",      "explicit",
        "export",   "extern",   "false",     "float",     "for",       "friend",    "goto",
        "if",       "inline",   "int",       "long",      "mutable",   "namespace", "new",
        "noexcept", "not",      "nullptr",   "operator",  "or",        "private",   "protected",
        "public",   "register", "requires",  "return",    "short",     "signed",    "sizeof",
        "static",   "struct",   "switch",    "template",  "this",      "throw",     "true",
        "try",      "typedef",  "typeid",    "typename",  "union",     "unsigned",  "using",
        "virtual",  "void",     "volatile",  "while",     "xor",
    };
    return std::find(std::begin(kKeywords), std::end(kKeywords), name) != std::end(kKeywords);
}

// One scope's names while the file is read: within it a number has one name
// and a name one number.
class ScopeNames {
  public:
    explicit ScopeNames(std::string name) { scope_.name = std::move(name); }

    // Throws when the scope gives `id` or `name` otherwise already.
    void Add(const XrcSymbol& symbol, const std::string& where) {
        const auto& [id, name, line] = symbol;
        if (const auto named = byName_.find(name); named != byName_.end()) {
            const XrcSymbol& first = scope_.symbols[named->second];
            if (first.id != id)
                Fail(where + ": symbol " + name + " names " + std::to_string(id) + " and " +
                     std::to_string(first.id) + " (first at line " + std::to_string(first.line) + ")");
            return;
        }
        if (const auto other = byId_.find(id); other != byId_.end()) {
            const XrcSymbol& first = scope_.symbols[other->second];
            Fail(where + ": " + std::to_string(id) + " named " + name + " and " + first.name +
                 " (first at line " + std::to_string(first.line) + ")");
        }
        byName_.emplace(name, scope_.symbols.size());
        byId_.emplace(id, scope_.symbols.size());
        scope_.symbols.push_back(symbol);
    }

    const XrcSymbol* Find(const std::string& name) const {
        const auto named = byName_.find(name);
        return named == byName_.end() ? nullptr : &scope_.symbols[named->second];
    }
    const XrcScope& Scope() const { return scope_; }

  private:
    XrcScope scope_;
    std::map<unsigned, std::size_t> byId_;       // index into scope_.symbols
    std::map<std::string, std::size_t> byName_;  // index into scope_.symbols
};

// The symbol of `tag` checked, with its number; nothing when it has none.
std::optional<XrcSymbol> TagSymbol(const ObjectTag& tag, const std::string& where) {
    const auto symbol = tag.Find("symbol");
    if (!symbol) return std::nullopt;
    const std::string name(*symbol);
    if (!IsXrcSymbolName(name))
        Fail(where + ": \"" + name + "\" is no symbol (k, a capital letter, letters and digits)");
    const auto number = tag.Find("name");
    if (!number || !IsNumber(*number))
        Fail(where + ": symbol " + name + " on an object without a number");
    return XrcSymbol{static_cast<unsigned>(std::stoul(std::string(*number))), name, tag.line};
}

// The names of the file's namespace: those of the file's own scope, and
// those the scopes give one number throughout, in file order. Throws when a
// scope gives a name of the file's scope another number.
std::vector<XrcSymbol> FileNames(const std::vector<ScopeNames>& scopes, const std::string& path) {
    const ScopeNames& file = scopes.front();
    std::vector<XrcSymbol> all;
    for (const auto& scope : scopes) {
        for (const auto& symbol : scope.Scope().symbols) {
            const XrcSymbol* own = file.Find(symbol.name);
            if (own != nullptr && own->id != symbol.id)
                Fail(path + ":" + std::to_string(symbol.line) + ": symbol " + symbol.name +
                     " names " + std::to_string(symbol.id) + " and, outside this scope, " +
                     std::to_string(own->id) + " (line " + std::to_string(own->line) + ")");
            all.push_back(symbol);
        }
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const XrcSymbol& a, const XrcSymbol& b) { return a.line < b.line; });
    std::map<std::string, std::set<unsigned>> ids;
    for (const auto& symbol : all)
        ids[symbol.name].insert(symbol.id);
    std::vector<XrcSymbol> names;
    for (const auto& symbol : all) {
        std::set<unsigned>& numbers = ids[symbol.name];
        if (numbers.size() != 1) continue;
        numbers.clear();  // taken once, at its first line
        names.push_back(symbol);
    }
    return names;
}

}  // namespace

bool IsXrcSymbolName(std::string_view name) {
    if (name.size() < 2 || name.front() != 'k' || !IsUpper(name[1])) return false;
    return std::all_of(name.begin(), name.end(), IsAlnum);
}

std::string XrcScopeName(std::string_view symbol) {
    const std::string_view word = symbol.substr(1);
    std::string name;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (IsUpper(c)) {
            const bool afterLower = i > 0 && !IsUpper(word[i - 1]);
            const bool endsCapitals = i > 0 && i + 1 < word.size() && IsUpper(word[i - 1]) &&
                                      word[i + 1] >= 'a' && word[i + 1] <= 'z';
            if (afterLower || endsCapitals) name += '_';
            name += static_cast<char>(c - 'A' + 'a');
        } else {
            name += c;
        }
    }
    return name;
}

XrcSymbols ParseXrcSymbols(std::string_view content, const std::string& path) {
    std::vector<ScopeNames> scopes{ScopeNames("")};  // the file's own scope first
    std::map<std::string, std::string> opener;       // scope name -> the symbol that opened it
    std::map<std::size_t, std::size_t> scopeOf;      // top-level tag -> index of its scope
    // The scope a top-level object's symbol opens, or joins when an object
    // of the same name opened it before.
    const auto open = [&](const XrcSymbol& symbol, const std::string& where) {
        const std::string scope = XrcScopeName(symbol.name);
        if (IsKeyword(scope))
            Fail(where + ": symbol " + symbol.name + " opens a scope named " + scope +
                 ", a keyword");
        const auto [first, added] = opener.emplace(scope, symbol.name);
        if (!added && first->second != symbol.name)
            Fail(where + ": symbols " + symbol.name + " and " + first->second +
                 " both open the scope " + scope);
        const auto found =
            std::find_if(scopes.begin(), scopes.end(),
                         [&scope](const ScopeNames& s) { return s.Scope().name == scope; });
        if (found != scopes.end()) return static_cast<std::size_t>(found - scopes.begin());
        scopes.emplace_back(scope);
        return scopes.size() - 1;
    };
    const std::vector<ObjectTag> tags = ObjectTags(content, path);
    for (std::size_t index = 0; index < tags.size(); ++index) {
        const ObjectTag& tag = tags[index];
        const std::string where = path + ":" + std::to_string(tag.line);
        const auto symbol = TagSymbol(tag, where);
        const bool topLevel = tag.topLevel == index;
        if (topLevel) scopeOf[index] = symbol ? open(*symbol, where) : 0;
        if (!symbol) continue;
        if (topLevel) scopes.front().Add(*symbol, where);  // the file's, and its own scope's
        scopes[scopeOf[tag.topLevel]].Add(*symbol, where);
    }
    XrcSymbols result{.path = path, .symbols = FileNames(scopes, path), .scopes = {}};
    for (std::size_t i = 1; i < scopes.size(); ++i)
        result.scopes.push_back(scopes[i].Scope());
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
    if (!IsNamespaceName(stem)) Fail(symbols.path + ": \"" + stem + "\" cannot name a namespace");
    const std::string file = "xrc::" + stem;
    const auto inFile = [&symbols](const XrcSymbol& symbol) {
        return std::any_of(symbols.symbols.begin(), symbols.symbols.end(),
                           [&symbol](const XrcSymbol& s) { return s.name == symbol.name; });
    };
    std::ostringstream out;
    out << "#pragma once\n"
        << "// Generated by the bundle compiler from " << source << "; do not edit.\n"
        << "// The ids of the objects that file names.\n\n"
        << "namespace " << file << " {\n\n";
    for (const auto& symbol : symbols.symbols)
        out << "inline constexpr int " << symbol.name << " = " << symbol.id << ";\n";
    for (const auto& scope : symbols.scopes) {
        out << "\n// The names of " << scope.name << " and of its objects.\n"
            << "namespace " << scope.name << " {\n";
        for (const auto& symbol : scope.symbols) {
            if (inFile(symbol))
                out << "using ::" << file << "::" << symbol.name << ";\n";
            else
                out << "inline constexpr int " << symbol.name << " = " << symbol.id << ";\n";
        }
        out << "}  // namespace " << scope.name << "\n";
    }
    out << "\n}  // namespace " << file << "\n";
    return out.str();
}

}  // namespace bundle_compiler
