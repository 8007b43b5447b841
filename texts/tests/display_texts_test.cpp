// The display texts themselves: bounded writes, the destination separator
// and the way back to the defaults.
#include "texts/display_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace glide {
namespace {

class DisplayTextsTest : public ::testing::Test {
  protected:
    void TearDown() override { ResetDisplayTexts(); }
};

TEST_F(DisplayTextsTest, WritesAreCutToTheCapacityButThePortKeepsAWholeDevicePath) {
    TaskDistanceText.Set(L"123456789012");
    EXPECT_EQ(TaskDistanceText.Get(), L"123456789");
    TaskStatText[0].Format(L"v%03.1f", 123456789012345678.0);
    EXPECT_EQ(TaskStatText[0].Get().size(), 19U);
    const std::wstring path = L"/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial-if00-port0";
    GpsPortNameText.Set(path);
    EXPECT_EQ(GpsPortNameText.Get(), path);
}

TEST_F(DisplayTextsTest, TheSeparatorReplacesOnlyTheThirdLetterAndResetBringsTheDefaultsBack) {
    SetDestinationSeparator(L'>');
    EXPECT_EQ(DestinationPrefixText.Get(), L"To> ");
    WindText.Set(L"changed");
    ResetDisplayTexts();
    for (const DisplayText* text : AllDisplayTexts())
        EXPECT_EQ(text->Get(), text->DefaultText()) << std::wstring(text->Name());
}

}  // namespace
}  // namespace glide
