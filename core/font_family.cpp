#include "core/font_family.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>

#include "platform/utf.h"

namespace core {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;
using ObjectSet = std::unique_ptr<FcObjectSet, ObjectSetDeleter>;
using FontSet = std::unique_ptr<FcFontSet, FontSetDeleter>;

// The family name of font that equals name ignoring case, or null.
const FcChar8* MatchingFamily(FcPattern* font, const std::string& name) {
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &family) == FcResultMatch; ++n) {
        if (FcStrCmpIgnoreCase(family, reinterpret_cast<const FcChar8*>(name.c_str())) == 0)
            return family;
    }
    return nullptr;
}

FontFamily Describe(FcPattern* font, const FcChar8* family) {
    FontFamily result;
    result.faceName = platform::FromUtf8(reinterpret_cast<const char*>(family));
    int spacing = FC_PROPORTIONAL;
    if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch)
        result.fixedPitch = spacing == FC_MONO || spacing == FC_CHARCELL;
    FcBool scalable = FcTrue;
    if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch)
        result.scalable = scalable != FcFalse;
    return result;
}

}  // namespace

std::optional<FontFamily> FindFontFamily(std::wstring_view faceName) {
    if (faceName.empty()) return std::nullopt;
    // fontconfig speaks UTF-8.
    const std::string name = platform::ToUtf8(faceName);
    const Pattern pattern(FcPatternCreate());
    const ObjectSet objects(FcObjectSetCreate());
    if (!pattern || !objects) return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    for (const char* object : {FC_FAMILY, FC_SPACING, FC_SCALABLE})
        FcObjectSetAdd(objects.get(), object);

    const FontSet fonts(FcFontList(nullptr, pattern.get(), objects.get()));
    if (!fonts) return std::nullopt;
    for (int i = 0; i < fonts->nfont; ++i) {
        if (const FcChar8* family = MatchingFamily(fonts->fonts[i], name))
            return Describe(fonts->fonts[i], family);
    }
    return std::nullopt;
}

}  // namespace core
