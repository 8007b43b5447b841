// The resource bundle's compiler, run by the build (cmake/KvResources.cmake).
//
//   bundle_compiler source OUTPUT.cpp --strings FILE... [--xrc FILE]... [--image ID=FILE]...
//   bundle_compiler ids FOLDER --strings FILE...
//
// "source" writes one C++ source file with the string tables, the XRC files
// merged into one and the PNG images; "ids" writes FOLDER/<table>.h for
// each string table, the ids of its named strings (rewritten only when
// they change). Both check every table (string_table.h): anything wrong (a
// bad line, a repeated id or name, a name that is no identifier, text that
// is not UTF-8, an XRC file without <resource>) stops the build with a
// message naming the place.

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/bundle_compiler/bundle_source.h"
#include "tools/bundle_compiler/ids_header.h"
#include "tools/bundle_compiler/string_table.h"

namespace bundle_compiler {
namespace {

constexpr const char* kUsage =
    "usage: bundle_compiler source OUTPUT.cpp --strings FILE... [--xrc FILE]... "
    "[--image ID=FILE]...\n"
    "       bundle_compiler ids FOLDER --strings FILE...";

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
        } else if (option == "--xrc" && arguments.mode == "source") {
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
    const BundleInputs inputs{.strings = ReadStringTables(arguments.strings),
                              .xrcs = arguments.xrcs,
                              .images = arguments.images};
    WriteIfChanged(arguments.output, BundleSource(inputs));
}

void WriteIdsHeaders(const Arguments& arguments) {
    std::filesystem::create_directories(arguments.output);
    for (const auto& table : ReadStringTables(arguments.strings)) {
        const std::filesystem::path path(table.path);
        const std::string source = (path.parent_path().filename() / path.filename()).string();
        WriteIfChanged(arguments.output + "/" + IdsHeaderName(table.path),
                       IdsHeader(table, source));
    }
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
