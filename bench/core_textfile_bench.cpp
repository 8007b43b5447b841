// Line reading of TextFile over 50 MB files (large text maps and waypoint
// files are read this way): lines per second for each encoding, with the raw
// reader and with the data-line reader the map parser uses (options 7).
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/text_file.h"

namespace {

constexpr std::size_t kFileSize = 50u << 20;

enum class Form { kUtf8, kAnsi, kUtf16Le };

// Waypoint-like records, every tenth one a comment; "ü" is one byte in the
// ANSI form (which makes the file ANSI), two in UTF-8, one unit in UTF-16.
std::string Line(std::size_t i, Form form) {
    char text[96];
    const bool comment = i % 10 == 9;
    std::snprintf(text, sizeof text, "%sWP%06zu Z%srich,47.%04zu,0,0,-8.%04zu,0,0,%zuM\r\n",
                  comment ? "; " : "", i, form == Form::kAnsi ? "\xFC" : "\xC3\xBC", i * 7 % 10000,
                  i * 13 % 10000, 300 + i % 2000);
    std::string line = text;
    if (form != Form::kUtf16Le) return line;
    std::string wide;  // the text is ASCII apart from "ü"
    for (std::size_t k = 0; k < line.size(); ++k) {
        const bool umlaut = static_cast<unsigned char>(line[k]) == 0xC3;
        wide += umlaut ? '\xFC' : line[k];
        wide += '\0';
        if (umlaut) ++k;
    }
    return wide;
}

std::filesystem::path MakeFile(Form form) {
    const char* names[] = {"utf8", "ansi", "utf16le"};
    const auto path = std::filesystem::temp_directory_path() /
                      ("kv_textfile_bench_" + std::to_string(::getpid()) + "_" +
                       names[static_cast<int>(form)] + ".txt");
    std::ofstream out(path, std::ios::binary);
    if (form == Form::kUtf16Le) out.write("\xFF\xFE", 2);
    std::string chunk;
    for (std::size_t i = 0, written = 0; written < kFileSize; ++i) {
        chunk += Line(i, form);
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            written += chunk.size();
            chunk.clear();
        }
    }
    return path;
}

// The files are made once and removed at exit.
struct Files {
    std::filesystem::path paths[3];
    Files() {
        for (const Form form : {Form::kUtf8, Form::kAnsi, Form::kUtf16Le}) {
            paths[static_cast<int>(form)] = MakeFile(form);
        }
    }
    ~Files() {
        for (const auto& path : paths)
            std::filesystem::remove(path);
    }
    std::wstring Name(Form form) const {
        const std::string name = paths[static_cast<int>(form)].string();
        return {name.begin(), name.end()};  // ASCII
    }
};

const Files& TheFiles() {
    static const Files files;
    return files;
}

void ReadLines(benchmark::State& state, Form form, bool dataLines) {
    const std::wstring name = TheFiles().Name(form);
    std::int64_t lines = 0;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        core::TextFile file;
        if (!file.Open(name, core::OpenMode::kRead)) state.SkipWithError("cannot open");
        if (dataLines) {
            while (const auto line = file.ReadNextDataLine(L'\n', L';', 7)) {
                benchmark::DoNotOptimize(line->data());
                ++lines;
            }
        } else {
            while (const auto line = file.ReadLine(L'\n', 0)) {
                benchmark::DoNotOptimize(line->data());
                ++lines;
            }
        }
        bytes += static_cast<std::int64_t>(file.GetPosition());
    }
    state.SetItemsProcessed(lines);
    state.SetBytesProcessed(bytes);
}

BENCHMARK_CAPTURE(ReadLines, utf8, Form::kUtf8, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadLines, ansi, Form::kAnsi, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadLines, utf16le, Form::kUtf16Le, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadLines, utf8_data, Form::kUtf8, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadLines, ansi_data, Form::kAnsi, true)->Unit(benchmark::kMillisecond);

}  // namespace
