#include "tools/quorlin/outline_tracer.h"

#include <cerrno>
#include <cstdio>
#include <ostream>
#include <system_error>

#include "mapdata/dib.h"
#include "platform/numbers.h"
#include "platform/whole_file.h"
#include "tools/quorlin/fd_stream.h"
#include "tools/quorlin/grid_record.h"
#include "tools/quorlin/outline_finder.h"
#include "tools/quorlin/plt_outlines.h"
#include "tools/quorlin/threshold_fill.h"

namespace quorlin {
namespace {

std::string NameError(const std::string& input) {
    return platform::FormatC("Not a valid inputname %s", input.c_str());
}

// The name after its last folder separator must not be an extension alone.
bool ValidInputName(const std::string& input) {
    const auto slash = input.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    const auto dot = name.rfind('.');
    return !name.empty() && dot != 0;
}

std::string ReadOutlines(const std::string& input, std::string& text) {
    mapdata::CDib dib;
    if (!dib.LoadQuietly(input)) return platform::FormatC("Could not read bitmap %s", input.c_str());
    PreparePalettePicture(dib);
    const IndexPicture picture = IndicesOf(dib);
    if (picture.pixels.empty()) return platform::FormatC("Not an 8-bit palette bitmap %s", input.c_str());
    text = WritePltOutlines(FindOutlines(picture));
    return {};
}

}  // namespace

std::string TraceMain(const std::vector<std::string>& arguments) {
    if (arguments.size() < 4) return NameError("");
    const std::string& output = arguments[2];
    const std::string& input = arguments[3];
    if (EqualIgnoringCase(input, output)) return "Input and output file may not be the same";
    if (!ValidInputName(input)) return NameError(input);
    std::string text;
    if (output.empty()) {
        if (std::string error = ReadOutlines(input, text); !error.empty()) return error;
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return {};
    }
    // The output is opened before the bitmap is read, as its error comes first.
    platform::FileReplacement file(output);
    if (file.Error()) return output + ": " + file.Error().message();
    if (std::string error = ReadOutlines(input, text); !error.empty()) return error;
    {
        FdStreamBuf buffer(file.Fd());
        std::ostream out(&buffer);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) return output + ": " + std::generic_category().message(EIO);
    }
    if (const std::error_code error = file.Commit()) return output + ": " + error.message();
    return {};
}

}  // namespace quorlin
