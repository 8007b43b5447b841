#include "services/file_reports.h"

#include <string>

#include "platform/message_box.h"
#include "platform/numbers.h"
#include "resources/ids/strings_files.h"
#include "services/string_resources.h"

namespace core {
namespace {

using ids::kIdsLongLines;
using ids::kIdsLongLinesCaption;
using ids::kIdsNoRecordsCaption;
using ids::kIdsNoRecords;

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
