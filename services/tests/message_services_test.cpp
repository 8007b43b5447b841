#include "services/message_services.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/message_box.h"
#include "platform/sys_error.h"
#include "services/string_resources.h"

namespace core {
namespace {

std::wstring FakeStrings(unsigned id) {
    return L"string " + std::to_wstring(id);
}

// Installs the fake string table for one test.
class FakeStringTable {
  public:
    FakeStringTable() { SetStringProvider(FakeStrings); }
    ~FakeStringTable() { SetStringProvider(nullptr); }
    FakeStringTable(const FakeStringTable&) = delete;
    FakeStringTable& operator=(const FakeStringTable&) = delete;
};

TEST(StringResourcesTest, EmptyUntilAProviderIsInstalled) {
    EXPECT_EQ(LoadResourceString(2511), L"");
    {
        const FakeStringTable strings;
        EXPECT_EQ(LoadResourceString(2511), L"string 2511");
    }
    EXPECT_EQ(LoadResourceString(2511), L"");
}

TEST(MessageServicesTest, ShowMessageFromIdsTakesBothTextsFromTheStringTable) {
    const FakeStringTable strings;
    const platform::ScopedRecordingSink boxes;
    boxes->QueueAnswer(platform::kIdOk);
    EXPECT_EQ(ShowMessageFromIds(2537, 2538), platform::kIdOk);
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(shown[0].caption, L"string 2537");
    EXPECT_EQ(shown[0].text, L"string 2538");
    EXPECT_EQ(shown[0].style,
              platform::mb::kIconHand | platform::mb::kTaskModal | platform::mb::kTopmost);
}

TEST(MessageServicesTest, ShowLastErrorBoxShowsTheSystemText) {
    const platform::ScopedRecordingSink boxes;
    errno = ENOENT;
    EXPECT_EQ(ShowLastErrorBox(L"Log file"), ENOENT);
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(shown[0].caption, L"Log file");
    EXPECT_EQ(shown[0].text, platform::SystemErrorText(ENOENT));
    EXPECT_FALSE(shown[0].text.empty());
    EXPECT_EQ(shown[0].style, platform::mb::kIconHand | platform::mb::kTopmost);
}

TEST(MessageServicesTest, ShowLastErrorBoxHandsTheTextOverInsteadOfShowingIt) {
    const platform::ScopedRecordingSink boxes;
    std::wstring text;
    errno = 98765;
    EXPECT_EQ(ShowLastErrorBox(L"", &text), 98765);
    EXPECT_NE(text.find(L"98765"), std::wstring::npos) << text;
    EXPECT_TRUE(boxes->Boxes().empty());
}

int g_pumpedWindowTag = 0;
int QuitPump(void* window) {
    g_pumpedWindowTag = *static_cast<int*>(window);
    return -1;
}

TEST(MessageServicesTest, PumpRunsTheInstalledPump) {
    EXPECT_EQ(PumpMessagesUntilQuit(), 0);  // none installed
    SetMessagePump(QuitPump);
    int window = 42;
    EXPECT_EQ(PumpMessagesUntilQuit(&window), -1);
    EXPECT_EQ(g_pumpedWindowTag, 42);
    SetMessagePump(nullptr);
    EXPECT_EQ(PumpMessagesUntilQuit(&window), 0);
}

TEST(MessageServicesTest, StubsAgree) {
    InitDialogStub(nullptr);
    EXPECT_EQ(CanCloseStub(nullptr), 1);
}

}  // namespace
}  // namespace core
