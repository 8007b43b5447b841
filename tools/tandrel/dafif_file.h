#pragma once
// DAFIF text files: TAB-separated lines, the first a column header. A file
// is read whole; its lines are what a 1024-byte line buffer would hold (a
// longer line is cut to 1023 bytes, a NUL ends a line's text, runs of CR and
// LF end a line and empty lines do not count).
//
// The files of one kind are read by key: the identifier of an airspace, and
// for special-use airspaces its sector too. KeyedLines indexes a segment or
// country file once, so an airspace whose lines are missing or out of step
// never hides the airspaces after it. Pure data; any one thread.

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tandrel {

inline constexpr std::size_t kLineBufferSize = 1024;

class DafifFile {
  public:
    // Nothing when the file cannot be read.
    static std::optional<DafifFile> Open(const std::filesystem::path& path);
    static DafifFile FromText(std::string text, std::time_t modified = 0);

    // Lines after the column header.
    std::size_t RecordCount() const { return lines_.empty() ? 0 : lines_.size() - 1; }
    std::string_view Record(std::size_t index) const;
    // Whether the last line lacks its line end: the file was cut short.
    bool EndsMidLine() const { return !bytes_.empty() && bytes_.back() != '\n' && bytes_.back() != '\r'; }
    // When the file was last changed (UTC seconds).
    std::time_t Modified() const { return modified_; }

  private:
    struct Span {
        std::size_t begin;
        std::size_t length;
    };
    std::string bytes_;
    std::vector<Span> lines_;
    std::time_t modified_ = 0;
};

// The fields of a line split at TABs: exactly `count` of them, those the
// line lacks empty; text beyond the count-th TAB belongs to no field.
std::vector<std::string_view> SplitFields(std::string_view line, std::size_t count);

// A field cut to the characters its buffer keeps.
inline std::string Kept(std::string_view field, std::size_t keep) {
    return std::string(field.substr(0, keep));
}

// An airspace's key: identifier and sector (empty for control airspaces),
// each as kept (15 and 7 characters).
std::string AirspaceKey(std::string_view identifier, std::string_view sector);

// The records of a file by the key of their first field(s), in file order.
class KeyedLines {
  public:
    // withSector: the key is fields 0 and 1 (special-use files).
    KeyedLines(const DafifFile& file, std::size_t fieldCount, bool withSector);

    // The lines of a key, split into their fields; none when it has none.
    const std::vector<std::vector<std::string_view>>& Find(const std::string& key) const;

  private:
    std::unordered_map<std::string, std::vector<std::vector<std::string_view>>> byKey_;
};

}  // namespace tandrel
