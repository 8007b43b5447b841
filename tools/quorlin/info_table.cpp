#include "tools/quorlin/info_table.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/numbers.h"

namespace quorlin {
namespace {

constexpr std::size_t kRecordLine = 80;

// A number from fixed columns of a line; 0 when it does not scan.
int FieldInt(std::string_view line, std::size_t start, std::size_t width) {
    if (start >= line.size()) return 0;
    const auto v = platform::ScanInt(line.substr(start, width));
    return v ? v->value : 0;
}

std::string TrimRight(std::string_view text) {
    const auto end = text.find_last_not_of(std::string_view(" \0\t", 3));
    return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

void SetLayout(CInfoItem& item) {
    switch (item.type) {
        case 10: item.kind = InfoKind::kDate, item.columns = static_cast<std::size_t>(std::max(item.width, 0)); break;
        case 20: item.kind = InfoKind::kText, item.columns = static_cast<std::size_t>(std::max(item.width, 0)); break;
        case 30: item.kind = InfoKind::kInteger, item.columns = static_cast<std::size_t>(std::max(item.width, 0)); break;
        case 40: item.kind = InfoKind::kReal, item.columns = 14; break;
        case 50: item.kind = InfoKind::kInteger, item.columns = item.width == 2 ? 6 : 11; break;
        case 60: item.kind = InfoKind::kReal, item.columns = item.width == 8 ? 24 : 14; break;
        default: item.kind = InfoKind::kNone, item.columns = 0; break;
    }
}

CInfoValue Convert(const CInfoItem& item, std::string_view field) {
    CInfoValue value;
    value.kind = item.kind;
    switch (item.kind) {
        case InfoKind::kReal:
            if (const auto v = platform::ScanDouble(field)) value.real = v->value;
            break;
        case InfoKind::kInteger:
            if (const auto v = platform::ScanInt(field)) value.integer = v->value;
            break;
        case InfoKind::kText: value.text = std::string(field); break;
        case InfoKind::kDate: {
            std::string d(field.substr(0, 8));
            d.resize(8, ' ');
            if (d[4] == ' ') d[4] = '0';
            if (d[6] == ' ') d[6] = '0';
            value.text = d.substr(0, 4) + "/" + d.substr(4, 2) + "/" + d.substr(6, 2);
            break;
        }
        case InfoKind::kNone: break;
    }
    return value;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::optional<CInfoItem> ParseInfoItem(std::string_view line) {
    if (line.size() < 35) return std::nullopt;
    CInfoItem item;
    item.name = TrimRight(line.substr(0, 16));
    item.width = FieldInt(line, 16, 3);
    item.outputWidth = FieldInt(line, 28, 4);
    item.type = FieldInt(line, 34, 3) / 10 * 10;
    item.index = line.size() > 65 ? FieldInt(line, 65, 4) : 0;
    if (item.index < 0) return std::nullopt;
    SetLayout(item);
    return item;
}

CInfoTable::CInfoTable(std::filesystem::path path, std::string_view suffix) : path_(std::move(path)) {
    base_ = Upper(path_.stem().string());
    tableName_ = base_ + "." + Upper(std::string(suffix));
}

bool CInfoTable::Open() {
    open_ = false;
    items_.clear();
    E00File file(path_);
    if (!file.IsOpen() || ReadE00Start(file) != E00Start::kReadable) return false;
    std::string line;
    bool found = false;
    while (!found && file.ReadLine(line)) found = line.starts_with(tableName_) && line.size() >= 50;
    if (!found) return false;
    const int itemLines = FieldInt(line, 38, 4);
    declaredRecords_ = std::max(FieldInt(line, 46, 10), 0);
    if (itemLines < 1) return false;
    recordColumns_ = 0;
    for (int i = 0; i < itemLines; ++i) {
        if (!file.ReadLine(line)) return false;
        auto item = ParseInfoItem(line);
        if (!item) continue;
        item->column = recordColumns_;
        recordColumns_ += item->columns;
        if (item->kind != InfoKind::kNone) items_.push_back(std::move(*item));
    }
    dataStart_ = file.Tell();
    ResolveNames();
    open_ = true;
    return true;
}

void CInfoTable::ResolveNames() {
    const auto firstEnding = [this](std::string_view end) {
        for (const CInfoItem& item : items_) {
            if (item.name.ends_with(end)) return item.name;
        }
        return std::string();
    };
    nameItem_ = firstEnding("NAME");
    valueItem_ = firstEnding("VAL");
    typeItem_ = firstEnding("TYPE");
    areaItem_ = firstEnding("AREA");
    idItem_ = firstEnding("-ID");
    recordItem_ = ItemIndex(base_ + "#") ? base_ + "#" : std::string();
}

std::optional<std::size_t> CInfoTable::ItemIndex(std::string_view name) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].name == name) return i;
    }
    return std::nullopt;
}

bool CInfoTable::ReadRecords(const std::vector<std::string>* wanted) {
    if (!open_) return false;
    records_.clear();
    byNumber_.clear();
    E00File file(path_);
    if (!file.Seek(dataStart_)) return false;
    const auto numberItem = ItemIndex(recordItem_);
    std::vector<bool> keep(items_.size(), true);
    if (wanted) {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            keep[i] = i == numberItem || std::find(wanted->begin(), wanted->end(), items_[i].name) != wanted->end();
        }
    }
    const std::size_t lines = (recordColumns_ + kRecordLine - 1) / kRecordLine;
    std::string stream, line;
    for (int r = 0; r < declaredRecords_ && lines > 0; ++r) {
        stream.clear();
        for (std::size_t l = 0; l < lines; ++l) {
            if (!file.ReadLine(line)) return true;
            line.resize(kRecordLine, ' ');
            stream += line;
        }
        std::vector<CInfoValue> record(items_.size());
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (keep[i]) record[i] = Convert(items_[i], std::string_view(stream).substr(items_[i].column, items_[i].columns));
        }
        if (numberItem) byNumber_.emplace(record[*numberItem].integer, records_.size());
        records_.push_back(std::move(record));
    }
    return true;
}

const CInfoValue* CInfoTable::Lookup(std::string_view item, int record) const {
    const auto index = ItemIndex(item);
    if (!index) return nullptr;
    std::size_t row = 0;
    if (!recordItem_.empty()) {
        const auto found = byNumber_.find(record);
        if (found == byNumber_.end()) return nullptr;
        row = found->second;
    } else {
        if (record < 1 || static_cast<std::size_t>(record) > records_.size()) return nullptr;
        row = static_cast<std::size_t>(record) - 1;
    }
    const CInfoValue& value = records_[row][*index];
    return value.kind == InfoKind::kNone ? nullptr : &value;
}

}  // namespace quorlin
