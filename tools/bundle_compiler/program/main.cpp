// The resource bundle's compiler, run by the build (cmake/KvResources.cmake).
//
//   bundle_compiler source OUTPUT.cpp --strings FILE... [--xrc FILE]... [--image ID=FILE]...
//   bundle_compiler ids FOLDER --strings FILE... [--xrc FILE]...
//
// "source" writes one C++ source file with the string tables, the XRC files
// merged into one and the PNG images; "ids" writes FOLDER/<table>.h for
// each string table, the ids of its named strings, and FOLDER/<stem>.h for
// each XRC file, the ids of its named objects (xrc_ids.h); a header is
// rewritten only when its ids change. Both check every table
// (string_table.h) and XRC file: anything wrong (a bad line, a repeated id
// or name, a name that is no identifier, text that is not UTF-8, an XRC
// file without <resource>, a number with two names within one dialog)
// stops the build with a message naming the place.

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/bundle_compiler/bundle_source.h"
#include "tools/bundle_compiler/ids_header.h"
#include "tools/bundle_compiler/string_table.h"
#include "tools/bundle_compiler/xrc_ids.h"

namespace bundle_compiler {
namespace {

constexpr const char* kUsage =
    "usage: bundle_compiler source OUTPUT.cpp --strings FILE... [--xrc FILE]... "
    "[--image ID=FILE]...\n"
    "       bundle_compiler ids FOLDER --strings FILE... [--xrc FILE]...";

struct Arguments {
    std::string mode;    // "source" or "ids"
    std::string output;  // the source file or the headers' folder
    std::vector<std::string> strings;
    std::vector<std::string> xrcs;
    std::map<unsigned, std::string> images;
};

[[noreturn]] void Fail(const std::string& message) {
    throw BundleError(message);
}

Arguments ParseArguments(int argc, char** argv) {
    if (argc < 3) Fail(kUsage);
    Arguments arguments;
    arguments.mode = argv[1];
    arguments.output = argv[2];
    if (arguments.mode != "source" && arguments.mode != "ids") Fail(kUsage);
    for (int i = 3; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) Fail(option + ": value missing");
        const std::string value = argv[++i];
        if (option == "--strings") {
            arguments.strings.push_back(value);
        } else if (option == "--xrc") {
            arguments.xrcs.push_back(value);
        } else if (option == "--image" && arguments.mode == "source") {
            const auto equals = value.find('=');
            const auto id = ParseId(std::string_view(value).substr(0, equals));
            if (equals == std::string::npos || !id) Fail(value + ": expected ID=FILE");
            if (!arguments.images.emplace(*id, value.substr(equals + 1)).second)
                Fail(value + ": image id given twice");
        } else {
            Fail(option + ": unknown option");
        }
    }
    if (arguments.strings.empty()) Fail("--strings is required");
    return arguments;
}

void WriteSource(const Arguments& arguments) {
    for (const auto& xrc : arguments.xrcs)
        ParseXrcSymbols(ReadFile(xrc), xrc);  // a faulty file stops the build here too
    const BundleInputs inputs{.strings = ReadStringTables(arguments.strings),
                              .xrcs = arguments.xrcs,
                              .images = arguments.images};
    WriteIfChanged(arguments.output, BundleSource(inputs));
}

// "resources/strings_map.txt" for ".../resources/strings_map.txt".
std::string SourceName(const std::string& file) {
    const std::filesystem::path path(file);
    return (path.parent_path().filename() / path.filename()).string();
}

void WriteIdsHeaders(const Arguments& arguments) {
    std::filesystem::create_directories(arguments.output);
    std::map<std::string, std::string> headers;  // header name -> its source
    const auto claim = [&headers](const std::string& file) {
        const std::string name = IdsHeaderName(file);
        if (const auto [first, added] = headers.emplace(name, file); !added)
            Fail(file + ": its ids header " + name + " is also that of " + first->second);
        return name;
    };
    for (const auto& table : ReadStringTables(arguments.strings))
        WriteIfChanged(arguments.output + "/" + claim(table.path),
                       IdsHeader(table, SourceName(table.path)));
    for (const auto& xrc : arguments.xrcs)
        WriteIfChanged(arguments.output + "/" + claim(xrc),
                       XrcIdsHeader(ParseXrcSymbols(ReadFile(xrc), xrc), SourceName(xrc)));
}

int Run(int argc, char** argv) {
    try {
        const Arguments arguments = ParseArguments(argc, argv);
        if (arguments.mode == "source")
            WriteSource(arguments);
        else
            WriteIdsHeaders(arguments);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bundle_compiler: %s\n", error.what());
        return 1;
    }
}

}  // namespace
}  // namespace bundle_compiler

int main(int argc, char** argv) {
    return bundle_compiler::Run(argc, argv);
}
