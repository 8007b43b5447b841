#include "tools/quorlin/e00_file.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/numbers.h"

namespace quorlin {

E00File::E00File(const std::filesystem::path& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (file_ && std::fseek(file_.get(), 0, SEEK_END) == 0) {
        const long end = std::ftell(file_.get());
        size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        std::rewind(file_.get());
    }
}

bool E00File::ReadLine(std::string& line) {
    line.clear();
    if (!file_) return false;
    int c = 0;
    bool any = false;
    while ((c = std::getc(file_.get())) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() < kE00MaxLine) line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

long E00File::Tell() const { return file_ ? std::ftell(file_.get()) : -1; }

bool E00File::Seek(long offset) { return file_ && std::fseek(file_.get(), offset, SEEK_SET) == 0; }

E00Start ReadE00Start(E00File& file) {
    std::string line;
    if (!file.ReadLine(line) || !line.starts_with("EXP")) return E00Start::kNotE00;
    const auto flag = platform::ScanInt(std::string_view(line).substr(3), 3);
    return flag && flag->value == 1 ? E00Start::kCompressed : E00Start::kReadable;
}

bool FindE00Section(E00File& file, std::string_view tag, int& precision) {
    std::string line;
    while (file.ReadLine(line)) {
        if (!line.starts_with(tag)) continue;
        const auto p = platform::ScanInt(std::string_view(line).substr(tag.size()));
        precision = p && p->value == 3 ? 3 : 2;
        return true;
    }
    return false;
}

bool E00Numbers::NextField(std::string_view& field) {
    for (;;) {
        while (position_ < line_.size() && (line_[position_] == ' ' || line_[position_] == '\t')) ++position_;
        if (position_ < line_.size()) {
            field = std::string_view(line_).substr(position_);
            return true;
        }
        if (!file_.ReadLine(line_)) return false;
        position_ = 0;
    }
}

bool E00Numbers::NextInt(int& value) {
    std::string_view field;
    if (!NextField(field)) return false;
    const auto scanned = platform::ScanInt(field);
    if (!scanned) return false;
    value = scanned->value;
    position_ += scanned->length;
    return true;
}

bool E00Numbers::NextDouble(double& value) {
    std::string_view field;
    if (!NextField(field)) return false;
    const auto scanned = platform::ScanDouble(field);
    if (!scanned) return false;
    value = scanned->value;
    position_ += scanned->length;
    return true;
}

std::uint64_t E00Numbers::RemainingBytes() const {
    const long at = file_.Tell();
    const std::uint64_t rest = at >= 0 && static_cast<std::uint64_t>(at) < file_.Size()
                                   ? file_.Size() - static_cast<std::uint64_t>(at)
                                   : 0;
    return rest + (line_.size() - std::min(position_, line_.size()));
}

ArcRead ReadArc(E00Numbers& numbers, CE00Polyline& arc, int* claimedPoints) {
    int head[7] = {};
    for (int& v : head) {
        if (!numbers.NextInt(v)) return ArcRead::kBroken;
    }
    if (head[0] == -1 && head[1] == 0 && head[2] == 0 && head[3] == 0 && head[4] == 0 && head[5] == 0) {
        return ArcRead::kEnd;
    }
    arc = CE00Polyline{};
    arc.coverageNumber = head[0];
    arc.coverageId = head[1];
    arc.fromNode = head[2];
    arc.toNode = head[3];
    arc.leftPolygon = head[4];
    arc.rightPolygon = head[5];
    const int count = head[6];
    if (claimedPoints) *claimedPoints = count;
    if (count <= 0) return ArcRead::kEmpty;
    // A point is two numbers of a digit and a separator at the least.
    if (static_cast<std::uint64_t>(count) * 4 - 1 > numbers.RemainingBytes()) return ArcRead::kTooManyPoints;
    arc.points.reserve(static_cast<std::size_t>(std::min(count, 4096)));
    for (int i = 0; i < count; ++i) {
        double x = 0.0, y = 0.0;
        if (!numbers.NextDouble(x) || !numbers.NextDouble(y)) return ArcRead::kBroken;
        arc.AddPoint(x, y);
    }
    arc.UpdateBounds();
    arc.UpdateClosed();
    arc.UpdateOrientation();
    return ArcRead::kArc;
}

namespace {

// Flags the ends of arcs that share a node number with an earlier arc.
class JunctionMarker {
  public:
    explicit JunctionMarker(std::vector<CE00Polyline>& arcs) : arcs_(arcs) {}
    void Add(std::size_t index) {
        CE00Polyline& arc = arcs_[index];
        Meet(arc.fromNode, index, false);
        Meet(arc.toNode, index, true);
        ends_[arc.fromNode].push_back({index, false});
        ends_[arc.toNode].push_back({index, true});
    }

  private:
    static E00Point& End(CE00Polyline& arc, bool last) { return last ? arc.points.back() : arc.points.front(); }
    void Meet(int node, std::size_t index, bool last) {
        const auto found = ends_.find(node);
        if (found == ends_.end()) return;
        bool met = false;
        for (const auto& [other, otherLast] : found->second) {
            if (other == index) continue;
            End(arcs_[other], otherLast).flags |= kJunctionPoint;
            met = true;
        }
        if (met) End(arcs_[index], last).flags |= kJunctionPoint;
    }
    std::vector<CE00Polyline>& arcs_;
    std::map<int, std::vector<std::pair<std::size_t, bool>>> ends_;
};

}  // namespace

E00ArcSection ReadE00ArcSection(const std::filesystem::path& path) {
    E00ArcSection section;
    std::vector<CE00Polyline>& arcs = section.arcs;
    E00File file(path);
    int precision = 2;
    if (!file.IsOpen() || ReadE00Start(file) != E00Start::kReadable || !FindE00Section(file, "ARC ", precision)) {
        return section;
    }
    E00Numbers numbers(file);
    JunctionMarker junctions(arcs);
    for (std::size_t records = 0;; ++records) {
        CE00Polyline arc;
        int claimed = 0;
        const ArcRead read = ReadArc(numbers, arc, &claimed);
        if (read == ArcRead::kEnd) break;
        if (read == ArcRead::kBroken) {
            section.problem = platform::FormatC(
                "Its arc section breaks off in arc %zu, before its end line: the file is cut short or damaged.",
                records + 1);
            break;
        }
        if (read == ArcRead::kTooManyPoints) {
            section.problem = platform::FormatC("Arc %zu claims %d points, more than the rest of the file holds.",
                                                records + 1, claimed);
            break;
        }
        if (read == ArcRead::kEmpty) continue;
        arcs.push_back(std::move(arc));
        junctions.Add(arcs.size() - 1);
    }
    return section;
}

std::vector<CE00Polyline> ReadE00Arcs(const std::filesystem::path& path) { return ReadE00ArcSection(path).arcs; }

std::vector<E00Label> ReadE00Labels(E00File& file, int precision, std::string* problem) {
    std::vector<E00Label> labels;
    const int boxLines = precision == 3 ? 2 : 1;
    const auto broken = [&](const char* how) {
        if (problem) {
            *problem = platform::FormatC("Its label section %s after %zu labels, before its end line.", how,
                                         labels.size());
        }
        return labels;
    };
    std::string line;
    while (file.ReadLine(line)) {
        std::string_view rest(line);
        const auto number = platform::ScanInt(rest);
        if (!number) return broken("holds a line that is no label");
        rest.remove_prefix(number->length);
        const auto polygon = platform::ScanInt(rest);
        if (!polygon) return broken("holds a line that is no label");
        rest.remove_prefix(polygon->length);
        const auto x = platform::ScanDouble(rest);
        if (!x) return broken("holds a line that is no label");
        rest.remove_prefix(x->length);
        const auto y = platform::ScanDouble(rest);
        if (!y) return broken("holds a line that is no label");
        if (number->value == -1) return labels;
        labels.push_back({number->value, polygon->value, x->value, y->value});
        for (int i = 0; i < boxLines; ++i) {
            if (!file.ReadLine(line)) return broken("breaks off");
        }
    }
    return broken("breaks off");
}

}  // namespace quorlin
