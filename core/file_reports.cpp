#include "core/file_reports.h"

#include <string>

#include "core/string_resources.h"
#include "platform/message_box.h"
#include "platform/numbers.h"

namespace core {
namespace {

constexpr unsigned kIdsLongLines = 4141;
constexpr unsigned kIdsLongLinesCaption = 4142;
constexpr unsigned kIdsNoRecordsCaption = 4160;
constexpr unsigned kIdsNoRecords = 4161;

}  // namespace

void ReportLongLines(std::wstring_view file, std::size_t count) {
    if (count == 0) return;
    const std::wstring text =
        std::wstring(file) + L"\n\n" +
        platform::FormatC(L"%llu ", static_cast<unsigned long long>(count)) +
        LoadResourceString(kIdsLongLines);
    platform::ShowMessageBox(nullptr, text, LoadResourceString(kIdsLongLinesCaption),
                             platform::mb::kIconExclamation | platform::mb::kTopmost);
}

void ReportNoRecords(std::wstring_view file) {
    const std::wstring text = std::wstring(file) + L"\n\n" + LoadResourceString(kIdsNoRecords);
    platform::ShowMessageBox(nullptr, text, LoadResourceString(kIdsNoRecordsCaption),
                             platform::mb::kIconExclamation | platform::mb::kTopmost);
}

}  // namespace core
