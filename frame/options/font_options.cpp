#include "frame/options/font_options.h"

#include <algorithm>
#include <cstdint>

#include "core/settings_values.h"
#include "frame/settings_values.h"
#include "glide/settings_values.h"
#include "map/settings_values.h"
#include "platform/ddx_text.h"
#include "platform/numbers.h"

namespace frame {
namespace {

constexpr char kFonts[] = "Options\\Fonts";
constexpr char16_t kLeftGuillemet = u'\u00AB';
constexpr char16_t kRightGuillemet = u'\u00BB';

void WriteInt(platform::SettingsStore& store, const char* name, int value) {
    store.WriteInt(kFonts, name, static_cast<std::uint32_t>(value));
}

}  // namespace

FontOptions FontOptions::FromRunning(const platform::SettingsStore& store, TurnLetters letters) {
    FontOptions o;
    o.letters = letters;
    o.family = core::g_fontFamily.Get();
    o.mainOffset = glide::g_baseSize - kMainBase;
    o.mapOffset = map::g_baseMapSize - kMapBase;
    o.listOffset = glide::g_baseListSize - kListBase;
    o.mapBold = map::g_mapBold;
    o.notesBold = static_cast<int>(store.GetInt(kFonts, "notesBold", 0));
    const char16_t left = g_goLeft;
    const char16_t right = g_goRight;
    o.guillemets = left != u'L' || right != u'R' ? 1 : 0;
    if (letters.Offered() && left == letters.left && right == letters.right) {
        o.guillemets = 0;
        o.languageLetters = 1;
    }
    return o;
}

void FontOptions::Apply(platform::SettingsStore& store, ViewLink& views) const {
    const FontOptions shown = FromRunning(store, letters);
    core::g_fontFamily.Set(family);
    glide::g_baseSize = std::clamp(mainOffset, kMainRange.minimum, kMainRange.maximum) + kMainBase;
    map::g_baseMapSize = std::clamp(mapOffset, kMapRange.minimum, kMapRange.maximum) + kMapBase;
    glide::g_baseListSize = std::clamp(listOffset, kListRange.minimum, kListRange.maximum) + kListBase;
    map::g_mapBold = mapBold;
    WriteInt(store, "mapBold", mapBold);
    WriteInt(store, "baseSize", glide::g_baseSize);
    WriteInt(store, "baseMapSize", map::g_baseMapSize);
    WriteInt(store, "baseListSize", glide::g_baseListSize);
    store.WriteString(kFonts, "Family", family);

    // A pair the page cannot show (set elsewhere) stays while the choice is
    // left as it was.
    if (guillemets != shown.guillemets || languageLetters != shown.languageLetters) {
        char16_t left = u'L';
        char16_t right = u'R';
        if (guillemets != 0) {
            left = kLeftGuillemet;
            right = kRightGuillemet;
        } else if (languageLetters != 0) {
            left = letters.left;
            right = letters.right;
        }
        g_goLeft = left;
        g_goRight = right;
    }
    WriteInt(store, "goLeft", static_cast<int>(g_goLeft.load()));
    WriteInt(store, "goRight", static_cast<int>(g_goRight.load()));

    views.CreateMapFont();
    views.CreateViewFonts();
    if (notesBold != shown.notesBold) views.SetNotesFont(notesBold != 0);
    WriteInt(store, "notesBold", notesBold);
    views.SetListFontFace(family);
}

int ParseSizeOffset(std::wstring text, int current, FontOptions::Range range) {
    platform::FoldFullWidth(text);
    const auto scanned = platform::ScanInt(text);
    if (!scanned) return current;
    return std::clamp(static_cast<int>(scanned->value), range.minimum, range.maximum);
}

}  // namespace frame
