#pragma once
// The arithmetic and texts of the small dialogs and controls, apart from
// their windows: the about box's texts, the declare confirmation's size
// rule, the map export values, the waypoint pick button's rows and the
// notes window's click area, the history lists kept in the settings.

#include <optional>
#include <string>
#include <vector>

namespace platform {
class SettingsStore;
}

namespace frame {

// --- About box.

// The recorder type's name; nothing for type 0 (the label stays as it is).
std::optional<std::wstring> LoggerTypeName(int type);
// The title line: searched from character 5 and within the first 22, the
// two characters after the second apostrophe become "0" and "8" (only when
// both are there).
std::wstring PatchAboutTitle(std::wstring text);

// --- Declare confirmation.

struct DialogSize {
    int width = 0;
    int height = 0;
};
enum class ConfirmResize { kDefault, kRestoreInitial, kCentre };
// A size not larger than the first one in both directions: default; larger
// with a first size above 100 x 100: back to the first size; else default
// handling and centring.
ConfirmResize DeclareConfirmResize(DialogSize initial, DialogSize now);

// --- Map export ("Settings\MapExport").

struct MapExportValues {
    float scale = 2.0F;  // 1..50
    int eightBits = 0;
};
MapExportValues LoadMapExportValues(const platform::SettingsStore& store);
// The scale is stored as the whole part of scale + 0.1.
void StoreMapExportValues(platform::SettingsStore& store, const MapExportValues& values);
bool MapExportScaleAcceptable(float scale);

// --- Notes window.

inline constexpr int kNotesInactiveBottom = 20;
// A click at y in a window clientHeight high hides the notes (all but the
// bottom 20 pixels, where the scroll bar's end is).
bool NotesClickHides(int y, int clientHeight);
// The shared notes font's weight.
inline int NotesFontWeight(bool bold) { return bold ? 600 : 400; }

// --- History boxes' keys: Enter adds the edit's text to the history; Ctrl
// and then Backspace deletes it; any other key, or a focus change, forgets
// the Ctrl.
enum class HistoryKey { kEnter, kControl, kBackspace, kOther };
enum class HistoryKeyAction { kNone, kAdd, kDelete };

class HistoryKeyState {
  public:
    HistoryKeyAction OnKeyDown(HistoryKey key);
    void OnFocusChange() { control_ = false; }

  private:
    bool control_ = false;
};

}  // namespace frame
