#include "tools/brisvel/map_record_text.h"

#include <algorithm>
#include <charconv>

namespace brisvel {

void AppendFixed6(std::string& out, double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

void AppendPoint(std::string& out, float lat, float lon) {
    AppendFixed6(out, lat);
    out += ",0,0,";
    AppendFixed6(out, -lon);
    out += ",0,0,";
}

void AppendInt(std::string& out, int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string OneLine(std::string_view name) {
    std::string line(name);
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

}  // namespace brisvel
