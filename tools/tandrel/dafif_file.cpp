#include "tools/tandrel/dafif_file.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace tandrel {

std::optional<DafifFile> DafifFile::Open(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    struct stat info {};
    const std::time_t modified = ::stat(path.c_str(), &info) == 0 ? info.st_mtime : 0;
    return FromText(std::move(text), modified);
}

DafifFile DafifFile::FromText(std::string text, std::time_t modified) {
    DafifFile file;
    file.bytes_ = std::move(text);
    file.modified_ = modified;
    const std::string_view bytes = file.bytes_;
    std::size_t at = 0;
    while (at < bytes.size()) {
        while (at < bytes.size() && (bytes[at] == '\r' || bytes[at] == '\n')) ++at;
        if (at == bytes.size()) break;
        const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
        std::size_t length = std::min(end - at, kLineBufferSize - 1);
        length = std::min(length, bytes.substr(at, length).find('\0'));
        file.lines_.push_back({at, length});
        at = end;
    }
    return file;
}

std::string_view DafifFile::Record(std::size_t index) const {
    const Span& span = lines_.at(index + 1);
    return std::string_view(bytes_).substr(span.begin, span.length);
}

std::vector<std::string_view> SplitFields(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields(count);
    for (std::size_t i = 0; i < count && !line.empty(); ++i) {
        const std::size_t tab = line.find('\t');
        fields[i] = line.substr(0, tab);
        line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
    }
    return fields;
}

std::string AirspaceKey(std::string_view identifier, std::string_view sector) {
    std::string key = Kept(identifier, 15);
    key += '\t';
    key += Kept(sector, 7);
    return key;
}

KeyedLines::KeyedLines(const DafifFile& file, std::size_t fieldCount, bool withSector) {
    for (std::size_t i = 0; i < file.RecordCount(); ++i) {
        auto fields = SplitFields(file.Record(i), fieldCount);
        const std::string key = AirspaceKey(fields[0], withSector ? fields[1] : std::string_view());
        byKey_[key].push_back(std::move(fields));
    }
}

const std::vector<std::vector<std::string_view>>& KeyedLines::Find(const std::string& key) const {
    static const std::vector<std::vector<std::string_view>> kNone;
    const auto found = byKey_.find(key);
    return found != byKey_.end() ? found->second : kNone;
}

}  // namespace tandrel
