// Compiles the resource bundle's sources into one C++ source file: the
// string table, the XRC documents merged into one, and the PNG images.
//
//   kv_bundle_compiler OUTPUT.cpp --strings FILE... [--xrc FILE]... [--image ID=FILE]...
//
// String table lines are "id<TAB>text" in UTF-8; ids are decimal or 0x
// hexadecimal; in the text \n, \t and \\ stand for a line break, a tab and
// a backslash. Empty lines and lines beginning with '#' are comments.
// Anything wrong (a bad line, a repeated id, text that is not UTF-8, an XRC
// file without <resource>) stops the build with a message naming the place.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/utf.h"

namespace {

struct Inputs {
    std::string output;
    std::vector<std::string> strings;
    std::vector<std::string> xrcs;
    std::map<unsigned, std::string> images;
};

[[noreturn]] void Fail(const std::string& message) {
    throw std::runtime_error(message);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path + ": cannot be read");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

// Adds the strings of one table file; an id may stand in one file only.
void ReadStrings(const std::string& path, std::map<unsigned, std::wstring>& strings) {
    std::istringstream lines(ReadFile(path));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const std::string where = path + ":" + std::to_string(number);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const auto tab = line.find('\t');
        if (tab == std::string::npos) Fail(where + ": no tab between id and text");
        const auto id = ParseId(std::string_view(line).substr(0, tab));
        if (!id) Fail(where + ": bad id");
        const auto text = DecodeUtf8(std::string_view(line).substr(tab + 1));
        if (!text) Fail(where + ": text is not UTF-8");
        if (!strings.emplace(*id, Unescape(*text, where)).second)
            Fail(where + ": id " + std::to_string(*id) + " given twice");
    }
}

// The objects inside an XRC file's <resource> element.
std::string XrcBody(const std::string& path) {
    const std::string text = ReadFile(path);
    const auto open = text.find("<resource");
    const auto openEnd = open == std::string::npos ? open : text.find('>', open);
    const auto close = text.rfind("</resource>");
    if (openEnd == std::string::npos || close == std::string::npos || close < openEnd)
        Fail(path + ": no <resource> element");
    if (!DecodeUtf8(text)) Fail(path + ": not UTF-8");
    return text.substr(openEnd + 1, close - openEnd - 1);
}

std::string MergedXrc(const std::vector<std::string>& paths) {
    std::string xrc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<resource xmlns=\"http://www.wxwidgets.org/wxxrc\" version=\"2.5.3.0\">";
    for (const auto& path : paths)
        xrc += XrcBody(path);
    xrc += "</resource>\n";
    return xrc;
}

// Emits bytes (or code points) as a brace list, 16 to a line.
template <typename Sequence>
void WriteNumbers(std::ostream& out, const Sequence& values, const char* terminator) {
    out << "{";
    std::size_t count = 0;
    for (const auto value : values) {
        out << (count++ % 16 == 0 ? "\n    " : " ") << "0x" << std::hex
            << static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<decltype(value)>>(value))
            << std::dec << ",";
    }
    out << terminator << "}";
}

void WriteSource(const Inputs& inputs) {
    std::map<unsigned, std::wstring> strings;
    for (const auto& path : inputs.strings)
        ReadStrings(path, strings);
    std::ostringstream out;
    out << "// Generated by kv_bundle_compiler from resources/; do not edit.\n"
        << "#include \"bundle_data.h\"\n\nnamespace kv_bundle {\nnamespace {\n\n";
    for (const auto& [id, text] : strings) {
        out << "const wchar_t kString" << id << "[] = ";
        WriteNumbers(out, text, "\n    0");
        out << ";\n";
    }
    for (const auto& [id, path] : inputs.images) {
        out << "const unsigned char kImage" << id << "[] = ";
        WriteNumbers(out, ReadFile(path), "");
        out << ";\n";
    }
    out << "\n}  // namespace\n\nextern const char kXrc[] = ";
    const std::string xrc = MergedXrc(inputs.xrcs);
    WriteNumbers(out, xrc, "\n    0");
    out << ";\nextern const std::size_t kXrcLength = " << xrc.size() << ";\n\n";

    out << "extern const StringEntry kStrings[] = {\n";
    for (const auto& [id, text] : strings)
        out << "    {" << id << "u, kString" << id << "},\n";
    out << "    {0u, nullptr}};\nextern const std::size_t kStringCount = " << strings.size()
        << ";\n\n";
    out << "extern const ImageEntry kImages[] = {\n";
    for (const auto& [id, path] : inputs.images)
        out << "    {" << id << "u, kImage" << id << ", sizeof kImage" << id << "},\n";
    out << "    {0u, nullptr, 0}};\nextern const std::size_t kImageCount = " << inputs.images.size()
        << ";\n\n}  // namespace kv_bundle\n";

    std::ofstream file(inputs.output, std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file) Fail(inputs.output + ": cannot be written");
}

Inputs ParseArguments(int argc, char** argv) {
    if (argc < 2)
        Fail(
            "usage: kv_bundle_compiler OUTPUT.cpp --strings FILE... [--xrc FILE]... "
            "[--image ID=FILE]...");
    Inputs inputs;
    inputs.output = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) Fail(option + ": value missing");
        const std::string value = argv[++i];
        if (option == "--strings") {
            inputs.strings.push_back(value);
        } else if (option == "--xrc") {
            inputs.xrcs.push_back(value);
        } else if (option == "--image") {
            const auto equals = value.find('=');
            const auto id = ParseId(std::string_view(value).substr(0, equals));
            if (equals == std::string::npos || !id) Fail(value + ": expected ID=FILE");
            if (!inputs.images.emplace(*id, value.substr(equals + 1)).second)
                Fail(value + ": image id given twice");
        } else {
            Fail(option + ": unknown option");
        }
    }
    if (inputs.strings.empty()) Fail("--strings is required");
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        WriteSource(ParseArguments(argc, argv));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kv_bundle_compiler: %s\n", error.what());
        return 1;
    }
}
