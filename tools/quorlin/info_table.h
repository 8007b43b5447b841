#pragma once
// One attribute table of an E00 interchange file ("HYNET.AAT",
// "POINT.PAT"): its item definitions and records, looked up by item name
// and record number.
//
// Records are one stream of fields, written in lines of 80 columns; a field
// may run on into the next line. Field widths by item type: date, text and
// integer-as-text their stored width, real-as-text 14, binary integers 6 or
// 11 (stored width 2 or 4), binary reals 14 or 24 (stored width 4 or 8).
//
// Pure; one thread.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/quorlin/e00_file.h"

namespace quorlin {

enum class InfoKind { kNone, kReal, kInteger, kText, kDate };

struct CInfoItem {
    std::string name;  // trailing blanks removed
    int type = 0;      // 10 date, 20 text, 30 integer text, 40 real text, 50 binary integer, 60 binary real
    int width = 0;     // stored width
    int outputWidth = 0;
    int index = 0;
    std::size_t column = 0;   // start within the record's stream of fields
    std::size_t columns = 0;  // field width in the record
    InfoKind kind = InfoKind::kNone;
};

// Parses one item-definition line; nothing for a line that is too short to
// hold the fields up to the type, or an item index below 0.
std::optional<CInfoItem> ParseInfoItem(std::string_view line);

struct CInfoValue {
    InfoKind kind = InfoKind::kNone;
    std::string text;  // text and date ("YYYY/MM/DD")
    double real = 0.0;
    int integer = 0;
};

class CInfoTable {
  public:
    // `suffix` is the table's kind ("AAT", "PAT"); the base name is the
    // file name without its extension, in capitals.
    CInfoTable(std::filesystem::path path, std::string_view suffix);

    // Reads the table header and item lines. False when the file does not
    // open, is not a readable "EXP" file, has no such table, declares no
    // items or ends inside the item lines.
    bool Open();
    // Reads every record (only the named items when `wanted` is given). A
    // record cut by the end of the file ends the records read. False when
    // the table is not open.
    bool ReadRecords(const std::vector<std::string>* wanted = nullptr);
    // The value of the item in the record: by the record-number item when
    // the table has one, else by ordinal (from 1). Null when there is none.
    const CInfoValue* Lookup(std::string_view item, int record) const;

    const std::string& TableName() const { return tableName_; }
    const std::vector<CInfoItem>& Items() const { return items_; }
    std::size_t RecordCount() const { return records_.size(); }
    int DeclaredRecords() const { return declaredRecords_; }
    // Names of the first items ending in "NAME", "VAL", "TYPE", "AREA",
    // "-ID" and of the record-number item; empty when there is none.
    const std::string& NameItem() const { return nameItem_; }
    const std::string& ValueItem() const { return valueItem_; }
    const std::string& TypeItem() const { return typeItem_; }
    const std::string& AreaItem() const { return areaItem_; }
    const std::string& IdItem() const { return idItem_; }
    const std::string& RecordItem() const { return recordItem_; }

  private:
    void ResolveNames();
    std::optional<std::size_t> ItemIndex(std::string_view name) const;

    std::filesystem::path path_;
    std::string base_, tableName_;
    std::string nameItem_, valueItem_, typeItem_, areaItem_, idItem_, recordItem_;
    std::vector<CInfoItem> items_;
    std::size_t recordColumns_ = 0;
    int declaredRecords_ = 0;
    long dataStart_ = -1;
    bool open_ = false;
    std::vector<std::vector<CInfoValue>> records_;  // one value per item
    std::unordered_map<int, std::size_t> byNumber_;
};

}  // namespace quorlin
