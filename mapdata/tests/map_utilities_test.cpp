// The map module's shared utilities: full-width folding, the attached
// strings' copies and the point buffer's growth.
#include "mapdata/map_utilities.h"

#include <gtest/gtest.h>

namespace mapdata {
namespace {

TEST(MapUtilitiesTest, OnlyTheFullWidthFormsOfAsciiFold) {
    const std::pair<wchar_t, wchar_t> cases[] = {
        {L'A', L'A'},         {0xFF00, 0xFF00}, {0xFF01, L'!'},  {0xFF10, L'0'},
        {0xFF0C, L','},       {0xFF5E, L'~'},   {0xFF5F, 0xFF5F}, {0xFF61, 0xFF61},
        {0xFFFD, 0xFFFD},     {0x1FF10, 0x1FF10},
    };
    for (const auto& [in, out] : cases) {
        std::wstring text(1, in);
        FoldFullWidthText(text);
        EXPECT_EQ(text, std::wstring(1, out)) << std::hex << static_cast<unsigned>(in);
    }
}

TEST(MapUtilitiesTest, ObjectStringsCopyDeeplyAndSurviveSelfAssignment) {
    CObjectStrings a;
    a.sound = L"beep.wav";
    a.comment = L"note";
    a.commentLineOffset = 42;
    CObjectStrings b;
    b = a;
    a.sound.clear();
    EXPECT_EQ(b.sound, L"beep.wav");
    EXPECT_EQ(b.commentLineOffset, 42U);
    CObjectStrings& same = b;
    b = same;
    EXPECT_EQ(b.comment, L"note");
    b = CObjectStrings{};
    EXPECT_FALSE(b.HasStrings());
}

TEST(MapUtilitiesTest, ThePointBufferGrowsByFifty) {
    PointBuffer buffer;
    EXPECT_EQ(buffer.Capacity(), 50U);
    buffer.Data()[49] = {7, 8};
    EXPECT_EQ(GrowPointBuffer(buffer).Capacity(), 100U);
    EXPECT_EQ(buffer.Data()[49].y, 8);
    FreeSymbolBuffer(buffer);
    EXPECT_EQ(buffer.Capacity(), 0U);
    Triple t{};
    CopyTriple(t, {1, 2, 3});
    EXPECT_EQ(t, (Triple{1, 2, 3}));
}

}  // namespace
}  // namespace mapdata
