#include "tools/flight_text/sentence_epochs.h"

#include <cstdio>
#include <ctime>

#include "platform/numbers.h"
#include "tools/flight_text/sentence_text.h"

namespace flight_text {
namespace {

std::vector<std::string> Fields(std::string_view body) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = body.find(',', from);
        fields.emplace_back(body.substr(from, comma - from));
        if (comma == std::string_view::npos) return fields;
        from = comma + 1;
    }
}

// The text between '$' and '*'.
std::string_view Body(std::string_view line) {
    if (line.empty() || line.front() != '$') return {};
    return line.substr(1, line.find('*') - 1);
}

bool Is(std::string_view line, std::string_view type) {
    return line.substr(0, type.size()) == type;
}

std::optional<int> SecondOfDay(const std::string& time) {
    int h = 0, m = 0, s = 0;
    if (std::sscanf(time.c_str(), "%2d%2d%2d", &h, &m, &s) != 3) return std::nullopt;
    return h * 3600 + m * 60 + s;
}

std::optional<long long> DayStart(const std::string& date) {
    int d = 0, mo = 0, y = 0;
    if (std::sscanf(date.c_str(), "%2d%2d%2d", &d, &mo, &y) != 3) return std::nullopt;
    std::tm tm{};
    tm.tm_mday = d;
    tm.tm_mon = mo - 1;
    tm.tm_year = y + 100;
    return static_cast<long long>(timegm(&tm));
}

std::string Join(const std::vector<std::string>& fields) {
    std::string body;
    for (std::size_t i = 0; i < fields.size(); ++i) body += (i == 0 ? "" : ",") + fields[i];
    return "$" + body + NmeaChecksum(body);
}

}  // namespace

std::vector<Epoch> SplitEpochs(std::string_view text) {
    std::vector<Epoch> epochs;
    std::optional<long long> day;
    bool afterTas = false;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        if (line.empty()) continue;
        const bool tas = Is(line, "$PTAS1");
        const bool rmc = Is(line, "$GPRMC");
        if (epochs.empty() || tas || (rmc && !afterTas)) epochs.emplace_back();
        afterTas = tas;
        Epoch& epoch = epochs.back();
        epoch.lines.emplace_back(line);
        const std::vector<std::string> f = Fields(Body(line));
        if (rmc && f.size() > 9) {
            if (const auto d = DayStart(f[9])) day = d;
        }
        if ((rmc || Is(line, "$GPGGA")) && f.size() > 1 && day && !epoch.utc) {
            if (const auto s = SecondOfDay(f[1])) epoch.utc = *day + *s;
        }
    }
    return epochs;
}

std::string Standing(std::string_view line) {
    std::vector<std::string> f = Fields(Body(line));
    if (Is(line, "$GPRMC") && f.size() > 7) {
        f[7] = "0.00";
    } else if (Is(line, "$PTAS1") && f.size() > 2) {
        f[1] = f[2] = "200";
    } else {
        return std::string(line);
    }
    return Join(f);
}

std::string Retime(std::string_view line, long long utc) {
    const bool rmc = Is(line, "$GPRMC");
    if (!rmc && !Is(line, "$GPGGA")) return std::string(line);
    std::vector<std::string> f = Fields(Body(line));
    if (f.size() < 2) return std::string(line);
    const auto t = static_cast<std::time_t>(utc);
    std::tm tm{};
    gmtime_r(&t, &tm);
    f[1] = platform::FormatC("%02d%02d%02d.00", tm.tm_hour, tm.tm_min, tm.tm_sec);
    if (rmc && f.size() > 9)
        f[9] = platform::FormatC("%02d%02d%02d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year % 100);
    return Join(f);
}

bool ChecksumValid(std::string_view line) {
    const std::size_t star = line.find('*');
    if (line.empty() || line.front() != '$' || star == std::string_view::npos) return false;
    return line.substr(star) == NmeaChecksum(line.substr(1, star - 1));
}

}  // namespace flight_text
