#pragma once
// Reading an uncompressed E00 interchange file: bounded text lines, the
// "EXP" start, section headers ("ARC  2", "LAB  3"), the arc section with
// its junction flags and the label section. Attribute tables are in
// info_table.h.
//
// Pure; one thread per file.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/quorlin/e00_polyline.h"

namespace quorlin {

// Lines longer than this are cut; the rest of such a line is dropped.
inline constexpr std::size_t kE00MaxLine = 1024;

class E00File {
  public:
    explicit E00File(const std::filesystem::path& path);
    bool IsOpen() const { return file_ != nullptr; }
    // The next line without its line end (CR LF or LF); false at the end.
    bool ReadLine(std::string& line);
    long Tell() const;
    bool Seek(long offset);
    // The file's length in bytes as it was opened; 0 when it is not open.
    std::uint64_t Size() const { return size_; }

  private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
};

enum class E00Start { kReadable, kNotE00, kCompressed };

// Reads line 1: "EXP" begins every interchange file, "EXP  1" marks the
// compressed form, which is not read.
E00Start ReadE00Start(E00File& file);

// Reads on to the line beginning with the four characters of `tag` ("ARC ",
// "LAB "); the number after it is the precision (2 single, 3 double).
// False at the end of the file.
bool FindE00Section(E00File& file, std::string_view tag, int& precision);

// Whitespace-separated numbers read across lines, as a stream of "%d" and
// "%lf" conversions would: a field that does not scan fails the read.
class E00Numbers {
  public:
    explicit E00Numbers(E00File& file) : file_(file) {}
    bool NextInt(int& value);
    bool NextDouble(double& value);
    // The bytes not yet read, the rest of the current line included.
    std::uint64_t RemainingBytes() const;

  private:
    bool NextField(std::string_view& field);
    E00File& file_;
    std::string line_;
    std::size_t position_ = 0;
};

enum class ArcRead { kArc, kEmpty, kEnd, kBroken, kTooManyPoints };

// One arc record: coverage number, identifier, from and to node, left and
// right polygon, point count, then the points. kEnd at the end marker;
// kBroken when the file ends or a number does not scan before the record
// is whole; kTooManyPoints when it claims more points than the rest of the
// file can hold (nothing is read then); kEmpty for an arc without points.
// `claimedPoints` receives the record's point count once it was read.
ArcRead ReadArc(E00Numbers& numbers, CE00Polyline& arc, int* claimedPoints = nullptr);

struct E00ArcSection {
    std::vector<CE00Polyline> arcs;
    // Why the section ended before its end marker; empty when it did not.
    std::string problem;
};

// The whole arc section in file order, arc ends shared by node number
// flagged as junctions: every whole arc before a damage. No arcs when the
// file does not open, is not a readable "EXP" file or has no arc section.
E00ArcSection ReadE00ArcSection(const std::filesystem::path& path);
std::vector<CE00Polyline> ReadE00Arcs(const std::filesystem::path& path);

struct E00Label {
    int number = 0;
    int polygon = 0;
    double x = 0.0, y = 0.0;
};

// The label records after a "LAB" line: a header line with label number,
// polygon, x and y, then one box line (single precision) or two (double).
// Ends at label number -1, at a line that is not a record or at the end;
// the two last are told in `problem` when it is given.
std::vector<E00Label> ReadE00Labels(E00File& file, int precision, std::string* problem = nullptr);

}  // namespace quorlin
