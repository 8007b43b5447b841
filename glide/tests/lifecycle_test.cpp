// Glide's start-up of the display texts (defaults, prefixes from the string
// table) and the modem-line event labels.
#include "glide/lifecycle.h"

#include <gtest/gtest.h>

#include <string>

#include "core/settings_values.h"
#include "glide/modem_event_labels.h"
#include "gps/port_modem_lines.h"
#include "platform/settings_store.h"
#include "services/string_resources.h"
#include "texts/display_texts.h"

namespace glide {
namespace {

std::wstring Words(unsigned id) {
    switch (id) {
        case 2512:
            return L"Towards";
        case 2513:
            return L"Arrived";
        case 2136:
            return L"Glide";
        default:
            return L"";
    }
}

std::wstring OneLetterWords(unsigned id) {
    return id == 2512 ? L"Z" : L"";
}

class DisplayTextsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        core::SetStringProvider(nullptr);
        ResetDisplayTexts();
    }
};

TEST_F(DisplayTextsTest, StartUpShowsEveryDefaultAndThePrefixesFromTheStringTable) {
    core::SetStringProvider(Words);
    WindText.Set(L"changed");
    InitDisplayTexts();
    for (const DisplayText* text : AllDisplayTexts()) {
        if (text == &GlidePrefixText || text == &ArrivedPrefixText) continue;
        EXPECT_EQ(text->Get(), text->DefaultText()) << std::wstring(text->Name());
    }
    EXPECT_EQ(ToPrefixText.Get(), L"To: ");
    EXPECT_EQ(ArrivedPrefixText.Get(), L"Ar: ");
    EXPECT_EQ(DestinationPrefixText.Get(), L"To: ");
    EXPECT_EQ(GlidePrefixText.Get(), L"G:");
    EXPECT_EQ(OlcDistanceText.Get(), L"D: 0M ");
    EXPECT_EQ(AllDisplayTexts().size(), 41U);
    EXPECT_EQ(AllDisplayTexts().front(), &FlightTimeText);
    EXPECT_EQ(AllDisplayTexts()[36], &GpsPortNameText);
}

TEST_F(DisplayTextsTest, MissingOrShortWordsCutThePrefixes) {
    core::SetStringProvider(OneLetterWords);
    InitDisplayTexts();
    EXPECT_EQ(ToPrefixText.Get(), L"Z");
    EXPECT_EQ(DestinationPrefixText.Get(), L"Z");
    EXPECT_EQ(ArrivedPrefixText.Get(), L"");
    EXPECT_EQ(GlidePrefixText.Get(), L":");
}

struct EventCase {
    int index;
    const char* on;
    const char* off;
};

TEST(ModemEventLabelsTest, StoredIndicesMeanWhatTheEventsPageWrites) {
    const EventCase cases[] = {{-1, "", ""},       {0, "", ""},        {1, "", ""},
                               {2, "PEV", ""},     {3, "EON", "EOF"},  {4, "EUP", "EDN"},
                               {5, "STA", ""},     {6, "FIN", ""},     {7, "ONT", ""},
                               {8, "", ""}};
    for (const EventCase& c : cases) {
        const gps::ModemEventTexts texts = ModemEventTextsFor({c.index, 0, 0, c.index});
        EXPECT_EQ(texts.high[0], c.on) << c.index;
        EXPECT_EQ(texts.low[0], c.off) << c.index;
        EXPECT_EQ(texts.high[3], c.on) << c.index;
        EXPECT_EQ(texts.high[1], "") << c.index;
    }
}

TEST(ModemEventLabelsTest, StartUpInstallsTheStoredLabelsAndInversion) {
    platform::SettingsStore store{std::filesystem::path{}};
    store.WriteInt("Options\\Events", "CTSevent", 5);
    store.WriteInt("Options\\Events", "RLSDevent", 3);
    store.WriteInt("Options\\Events", "InvertEvents", 1);
    LoadModemEventLabels(store);
    const gps::ModemEventTexts texts = gps::GetModemEventTexts();
    EXPECT_EQ(texts.high[0], "STA");
    EXPECT_EQ(texts.high[3], "EON");
    EXPECT_EQ(texts.low[3], "EOF");
    EXPECT_EQ(texts.high[1], "");
    EXPECT_EQ(gps::g_invertEvents.load(), 1);
    gps::g_invertEvents = 0;
    gps::SetModemEventTexts({});
}

}  // namespace
}  // namespace glide
