#include "frame/small_controls.h"

#include <gtest/gtest.h>

#include "frame/glide_settings.h"
#include "frame/glide_settings_dialog.h"
#include "nav/destination_queue.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"

namespace {

TEST(SmallControlsTest, LoggerNamesAndTheAboutTitleStayInBounds) {
    EXPECT_EQ(frame::LoggerTypeName(0), std::nullopt);
    EXPECT_EQ(frame::LoggerTypeName(1), L"FAI: Volkslogger");
    EXPECT_EQ(frame::LoggerTypeName(6), L"FAI: FLARM");
    EXPECT_EQ(frame::LoggerTypeName(7), L"FAI: ???");
    EXPECT_EQ(frame::LoggerTypeName(-3), L"FAI: ???");

    EXPECT_EQ(frame::PatchAboutTitle(L"KOR_VAN 'x'95 1.3"), L"KOR_VAN 'x'08 1.3");
    // An apostrophe before character 5 does not count; one past 22 neither.
    EXPECT_EQ(frame::PatchAboutTitle(L"'a' K 'b'95"), L"'a' K 'b'08");
    EXPECT_EQ(frame::PatchAboutTitle(L"KOR_VAN 1.3.3.0 build 'x' '99"), L"KOR_VAN 1.3.3.0 build 'x' '99");
    // The two characters must be there to be replaced.
    EXPECT_EQ(frame::PatchAboutTitle(L"KOR_VAN 'a'9"), L"KOR_VAN 'a'9");
    EXPECT_EQ(frame::PatchAboutTitle(L""), L"");
}

TEST(SmallControlsTest, DeclareConfirmationKeepsItsSize) {
    using frame::ConfirmResize;
    EXPECT_EQ(frame::DeclareConfirmResize({200, 150}, {200, 150}), ConfirmResize::kDefault);
    EXPECT_EQ(frame::DeclareConfirmResize({200, 150}, {180, 100}), ConfirmResize::kDefault);
    EXPECT_EQ(frame::DeclareConfirmResize({200, 150}, {201, 150}), ConfirmResize::kRestoreInitial);
    EXPECT_EQ(frame::DeclareConfirmResize({100, 150}, {300, 300}), ConfirmResize::kCentre);
}

TEST(SmallControlsTest, NotesClicksAboveTheBottomStripHide) {
    EXPECT_TRUE(frame::NotesClickHides(0, 100));
    EXPECT_TRUE(frame::NotesClickHides(79, 100));
    EXPECT_FALSE(frame::NotesClickHides(80, 100));
    EXPECT_FALSE(frame::NotesClickHides(99, 100));
    EXPECT_EQ(frame::NotesFontWeight(true), 600);
    EXPECT_EQ(frame::NotesFontWeight(false), 400);
}

class SettingsTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_{"small-controls"};
    platform::SettingsStore store_{scratch_ / "settings"};
};

TEST_F(SettingsTest, MapExportValuesAndTheirRange) {
    frame::MapExportValues values = frame::LoadMapExportValues(store_);
    EXPECT_EQ(values.scale, 2.0F);
    EXPECT_EQ(values.eightBits, 0);
    frame::StoreMapExportValues(store_, {12.5F, 1});
    values = frame::LoadMapExportValues(store_);
    EXPECT_EQ(values.scale, 12.0F);  // whole magnifications are stored
    EXPECT_EQ(values.eightBits, 1);
    frame::StoreMapExportValues(store_, {2.96F, 0});
    EXPECT_EQ(store_.GetString("Settings\\MapExport", "scale", std::string_view()), "3");
    EXPECT_EQ(frame::LoadMapExportValues(store_).scale, 3.0F);
    store_.WriteString("Settings\\MapExport", "scale", std::string_view("90"));
    EXPECT_EQ(frame::LoadMapExportValues(store_).scale, 2.0F);  // out of range: the default
    EXPECT_TRUE(frame::MapExportScaleAcceptable(1.0F));
    EXPECT_TRUE(frame::MapExportScaleAcceptable(50.0F));
    EXPECT_FALSE(frame::MapExportScaleAcceptable(0.99F));
}

TEST(GlideSettingsTest, RadiusShownStoredAndChecked) {
    EXPECT_FLOAT_EQ(frame::RadiusForDisplay(1.25F, 2), 1.25F);
    EXPECT_FLOAT_EQ(frame::RadiusForDisplay(1.25F, 0), 0.78F);
    EXPECT_EQ(frame::RadiusHundredthsForStore(0.78F, 0), 126);  // 0.78 x 1.609 = 1.255
    EXPECT_EQ(frame::RadiusHundredthsForStore(1.25F, 2), 125);
    for (int unit : {0, 1, 2}) EXPECT_TRUE(frame::RadiusAcceptable(0.0F, unit));
    EXPECT_TRUE(frame::RadiusAcceptable(10.0F, 2));
    EXPECT_FALSE(frame::RadiusAcceptable(10.1F, 2));
    EXPECT_FALSE(frame::RadiusAcceptable(0.04F, 2));
    EXPECT_TRUE(frame::RadiusAcceptable(0.03F, 0));
    EXPECT_FALSE(frame::RadiusAcceptable(6.2F, 1));
}

}  // namespace

namespace {

TEST(AutodetectTextTest, APromptWithoutItsPointIsClearedAndReported) {
    platform::ScopedRecordingSink boxes;
    nav::g_bAutodetectPrevPrompt = 1;
    nav::g_bAutodetectNextPrompt = 1;
    frame::UpdateAutodetectText();  // no task flown: no point before the target
    EXPECT_EQ(nav::g_bAutodetectPrevPrompt.load(), 0);
    EXPECT_EQ(nav::g_bAutodetectNextPrompt.load(), 0);
    ASSERT_EQ(boxes->Boxes().size(), 1U);
    EXPECT_EQ(boxes->Boxes()[0].style, platform::mb::kIconHand | platform::mb::kTopmost);

    boxes->Clear();
    frame::UpdateAutodetectText();  // no prompt: nothing to do
    EXPECT_TRUE(boxes->Boxes().empty());
}

}  // namespace

TEST(HistoryKeysTest, EnterAddsAndCtrlThenBackspaceDeletes) {
    using frame::HistoryKey;
    using frame::HistoryKeyAction;
    frame::HistoryKeyState keys;
    EXPECT_EQ(keys.OnKeyDown(HistoryKey::kEnter), HistoryKeyAction::kAdd);
    EXPECT_EQ(keys.OnKeyDown(HistoryKey::kBackspace), HistoryKeyAction::kNone);
    EXPECT_EQ(keys.OnKeyDown(HistoryKey::kControl), HistoryKeyAction::kNone);
    EXPECT_EQ(keys.OnKeyDown(HistoryKey::kBackspace), HistoryKeyAction::kDelete);
    EXPECT_EQ(keys.OnKeyDown(HistoryKey::kBackspace), HistoryKeyAction::kNone);  // Ctrl used up
    keys.OnKeyDown(HistoryKey::kControl);
    keys.OnKeyDown(HistoryKey::kOther);  // another key forgets the Ctrl
    EXPECT_EQ(keys.OnKeyDown(HistoryKey::kBackspace), HistoryKeyAction::kNone);
    keys.OnKeyDown(HistoryKey::kControl);
    keys.OnFocusChange();  // so does a focus change
    EXPECT_EQ(keys.OnKeyDown(HistoryKey::kBackspace), HistoryKeyAction::kNone);
}
