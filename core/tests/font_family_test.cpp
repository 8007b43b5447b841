#include "core/font_family.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

// These need the DejaVu fonts (Debian fonts-dejavu-core), which the test
// dependencies install.

namespace core {
namespace {

// fontconfig keeps its configuration for the life of the process, in a form
// the leak checker reports; release it once every test has run.
class ReleaseFontconfig : public ::testing::Environment {
  public:
    void TearDown() override { FcFini(); }
};
const ::testing::Environment* const kReleaseFontconfig =
    testing::AddGlobalTestEnvironment(new ReleaseFontconfig);  // gtest owns it

TEST(FontFamilyTest, FindsAnInstalledFamilyWhateverTheCase) {
    for (const wchar_t* asked : {L"DejaVu Sans", L"dejavu sans", L"DEJAVU SANS"}) {
        const auto family = FindFontFamily(asked);
        ASSERT_TRUE(family.has_value()) << asked;
        EXPECT_EQ(family->faceName, L"DejaVu Sans");
        EXPECT_FALSE(family->fixedPitch);
        EXPECT_TRUE(family->scalable);
    }
}

TEST(FontFamilyTest, TellsFixedPitchFamilies) {
    const auto family = FindFontFamily(L"DejaVu Sans Mono");
    ASSERT_TRUE(family.has_value());
    EXPECT_EQ(family->faceName, L"DejaVu Sans Mono");
    EXPECT_TRUE(family->fixedPitch);
}

TEST(FontFamilyTest, UnknownFamiliesAreNotFound) {
    EXPECT_FALSE(FindFontFamily(L"No Such Family 7f3a").has_value());
    EXPECT_FALSE(FindFontFamily(L"").has_value());
    EXPECT_FALSE(FindFontFamily(L"DejaVu").has_value());  // only whole names match
    EXPECT_FALSE(FindFontFamily(L"\u00C9t\u00E9 \u4E2D\u6587").has_value());
}

}  // namespace
}  // namespace core
