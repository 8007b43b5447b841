#pragma once
// The fonts options page's values ("Options\Fonts"): the family of every
// view's font, three sizes as offsets from their bases, bold map labels and
// notes, and the letters shown for turning left and right. Applying makes
// the fonts again. Without wx; UI thread only.

#include <string>

#include "frame/options/view_link.h"
#include "platform/settings_store.h"

namespace frame {

// The letters of the language for left and right (the first characters of
// two strings of the bundle).
struct TurnLetters {
    char16_t left = u'L';
    char16_t right = u'R';
    // Only letters other than L and R are a choice of their own.
    bool Offered() const { return left != u'L' || right != u'R'; }
};

struct FontOptions {
    static constexpr int kMainBase = 20;
    static constexpr int kMapBase = 10;
    static constexpr int kListBase = 16;
    struct Range {
        int minimum;
        int maximum;
    };
    static constexpr Range kMainRange{-8, 5};
    static constexpr Range kMapRange{-5, 5};
    static constexpr Range kListRange{-5, 5};

    std::wstring family = L"Arial";
    int mainOffset = 0;
    int mapOffset = 0;
    int listOffset = 0;
    int mapBold = 0;
    int notesBold = 0;
    int guillemets = 0;     // the turn letters are U+00AB and U+00BB
    int languageLetters = 0;  // the turn letters are the language's
    TurnLetters letters;

    // "notesBold" comes from the store, the rest is running.
    static FontOptions FromRunning(const platform::SettingsStore& store, TurnLetters letters);

    int MainSize() const { return kMainBase + mainOffset; }
    int MapSize() const { return kMapBase + mapOffset; }
    int ListSize() const { return kListBase + listOffset; }

    void Apply(platform::SettingsStore& store, ViewLink& views) const;
};

// A size offset as typed (full-width digits folded, "%d"), held within its
// range; `current` when the text holds no number.
int ParseSizeOffset(std::wstring text, int current, FontOptions::Range range);

}  // namespace frame
