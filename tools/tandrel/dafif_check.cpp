#include "tools/tandrel/dafif_check.h"

#include <algorithm>

#include "platform/numbers.h"

namespace tandrel {

std::vector<std::string> DafifFileProblems(const DafifFile& file, std::string_view name, std::size_t fieldsUsed) {
    std::vector<std::string> problems;
    const std::string named = "File " + std::string(name);
    if (file.RecordCount() == 0) {
        problems.push_back(named + " holds no records.");
        return problems;
    }
    if (file.EndsMidLine()) problems.push_back(named + " ends in the middle of a line: it is cut short.");
    std::size_t bad = 0, first = 0, firstFields = 0;
    for (std::size_t i = 0; i < file.RecordCount(); ++i) {
        const std::string_view record = file.Record(i);
        const auto fields = static_cast<std::size_t>(std::count(record.begin(), record.end(), '\t')) + 1;
        if (fields >= fieldsUsed) continue;
        if (bad++ == 0) first = i, firstFields = fields;
    }
    if (bad > 0) {
        problems.push_back(platform::FormatC("%s: %zu of its %zu records are damaged (record %zu has %zu of the %zu "
                                             "fields read from it).",
                                             named.c_str(), bad, file.RecordCount(), first + 1, firstFields,
                                             fieldsUsed));
    }
    return problems;
}

}  // namespace tandrel
