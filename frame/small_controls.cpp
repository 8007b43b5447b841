#include "frame/small_controls.h"

#include <array>
#include <cwchar>

#include "platform/numbers.h"
#include "platform/settings_store.h"

namespace frame {
namespace {

constexpr char kMapExport[] = "Settings\\MapExport";
constexpr std::size_t kTitleSearchFrom = 5;
constexpr std::size_t kTitleSearchLength = 22;
constexpr int kConfirmMinimum = 100;

}  // namespace

std::optional<std::wstring> LoggerTypeName(int type) {
    static constexpr std::array<const wchar_t*, 7> kNames{
        nullptr,         L"FAI: Volkslogger", L"FAI: EW",    L"FAI: CAI 300",
        L"FAI: GPS-NAV", L"FAI: Colibri",     L"FAI: FLARM",
    };
    if (type == 0) return std::nullopt;
    if (type > 0 && static_cast<std::size_t>(type) < kNames.size()) return kNames[type];
    return L"FAI: ???";
}

std::wstring PatchAboutTitle(std::wstring text) {
    const std::size_t end = std::min(text.size(), kTitleSearchLength);
    int apostrophes = 0;
    for (std::size_t i = kTitleSearchFrom; i < end; ++i) {
        if (text[i] != L'\'' || ++apostrophes < 2) continue;
        if (i + 2 < text.size()) {
            text[i + 1] = L'0';
            text[i + 2] = L'8';
        }
        break;
    }
    return text;
}

ConfirmResize DeclareConfirmResize(DialogSize initial, DialogSize now) {
    if (now.width <= initial.width && now.height <= initial.height) return ConfirmResize::kDefault;
    if (initial.width > kConfirmMinimum && initial.height > kConfirmMinimum) {
        return ConfirmResize::kRestoreInitial;
    }
    return ConfirmResize::kCentre;
}

MapExportValues LoadMapExportValues(const platform::SettingsStore& store) {
    MapExportValues values;
    const std::string scale = store.GetString(kMapExport, "scale", std::string_view());
    if (const auto parsed = platform::ScanFloat(scale)) values.scale = parsed->value;
    values.eightBits = store.GetInt(kMapExport, "n8bits", 0) != 0 ? 1 : 0;
    if (!MapExportScaleAcceptable(values.scale)) values.scale = 2.0F;
    return values;
}

void StoreMapExportValues(platform::SettingsStore& store, const MapExportValues& values) {
    // Whole magnifications only; 2.96 typed is 3.
    store.WriteString(kMapExport, "scale",
                      platform::FormatC("%d", static_cast<int>(values.scale + 0.1F)));
    store.WriteInt(kMapExport, "n8bits", values.eightBits != 0 ? 1 : 0);
}

bool MapExportScaleAcceptable(float scale) { return scale >= 1.0F && scale <= 50.0F; }

bool NotesClickHides(int y, int clientHeight) { return y < clientHeight - kNotesInactiveBottom; }

HistoryKeyAction HistoryKeyState::OnKeyDown(HistoryKey key) {
    const bool control = control_;
    control_ = key == HistoryKey::kControl;
    if (key == HistoryKey::kEnter) return HistoryKeyAction::kAdd;
    if (key == HistoryKey::kBackspace && control) return HistoryKeyAction::kDelete;
    return HistoryKeyAction::kNone;
}

}  // namespace frame
