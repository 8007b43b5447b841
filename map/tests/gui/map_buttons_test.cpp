#include "map/map_buttons.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include "map/map_child_layout.h"
#include "map/map_icon_table.h"
#include "platform/ui_post.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace map {
namespace {

constexpr platform::WindowId kMap = platform::kMapViewWindow;

class MapButtonsTest : public ::testing::Test {
  protected:
    MapButtonsTest() : frame(new wxFrame(nullptr, wxID_ANY, "map buttons")) {
        previous = platform::SetUiPostBackend(recorder);
    }
    ~MapButtonsTest() override {
        platform::SetUiPostBackend(previous);
        frame->Destroy();
    }

    static void Send(wxWindow& window, wxEventType type) {
        wxMouseEvent event(type);
        event.SetEventObject(&window);
        window.GetEventHandler()->ProcessEvent(event);
    }
    std::vector<platform::RecordingUiPostBackend::Record> Posts() { return recorder->Records(); }

    wxFrame* frame;
    SteadyMs now = 100000;
    std::shared_ptr<platform::RecordingUiPostBackend> recorder =
        std::make_shared<platform::RecordingUiPostBackend>();
    std::shared_ptr<platform::UiPostBackend> previous;
};

TEST_F(MapButtonsTest, IconButtonReportsPressAndReleaseAndDebouncesOnlyThePress) {
    auto* button = new CIconButton(frame, 120, "Zoom Map", 4, 600, kMap, [this] { return now; });
    int redraws = 0;
    button->SetRedrawMapOnPress([&redraws] { ++redraws; });
    now += 601;
    Send(*button, wxEVT_LEFT_DOWN);
    EXPECT_TRUE(button->DrawnPressed());
    Send(*button, wxEVT_LEFT_UP);
    EXPECT_FALSE(button->DrawnPressed());
    now += 600;  // inside the debounce: ignored, its release still reported
    Send(*button, wxEVT_LEFT_DOWN);
    EXPECT_FALSE(button->DrawnPressed());
    Send(*button, wxEVT_LEFT_UP);
    using R = platform::RecordingUiPostBackend::Record;
    const std::vector<R> expected{
        {kMap, platform::WM_USER_ICONBUTTON, 120, 1, false},
        {kMap, platform::WM_USER_ICONBUTTON, 120, 0, false},
        {kMap, platform::WM_USER_ICONBUTTON, 120, 0, false},
    };
    EXPECT_EQ(Posts(), expected);
    EXPECT_EQ(redraws, 1);
}

TEST_F(MapButtonsTest, HoldButtonReportsOnlyALongPressOnItself) {
    auto* hold = new CHoldButton(frame, 173, "Hold", kMap, 1, [this] { return now; });
    Send(*hold, wxEVT_LEFT_UP);  // a drag ending over it
    Send(*hold, wxEVT_LEFT_DOWN);
    now += 1500;
    Send(*hold, wxEVT_LEFT_UP);
    EXPECT_TRUE(Posts().empty());
    Send(*hold, wxEVT_LEFT_DOWN);
    now += 1501;
    Send(*hold, wxEVT_LEFT_UP);
    using R = platform::RecordingUiPostBackend::Record;
    EXPECT_EQ(Posts(), (std::vector<R>{{kMap, platform::WM_APP_MAPHOLD, 1, 173, false}}));
}

TEST_F(MapButtonsTest, PictureLoadsOnceKeepsTheOldOnFailureAndReportsATap) {
    const test_support::ScratchFolder dir("picture");
    // A 4 x 2 uncompressed 24-bit bitmap.
    std::string bmp = {'B', 'M'};
    const auto put32 = [&bmp](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const auto put16 = [&bmp](std::uint16_t v) {
        bmp.push_back(static_cast<char>(v & 0xFF));
        bmp.push_back(static_cast<char>(v >> 8));
    };
    put32(54 + 24); put32(0); put32(54);
    put32(40); put32(4); put32(2); put16(1); put16(24); put32(0); put32(24);
    put32(2835); put32(2835); put32(0); put32(0);
    bmp.append(24, '\x80');
    const auto wide = dir.Write("wide.bmp", bmp);

    auto* picture = new CPictureWnd(frame, 114, {24, 5}, {212, 180}, kMap);
    EXPECT_FALSE(picture->HasPicture());
    ASSERT_EQ(picture->LoadPicture(wide.wstring()), 1);
    EXPECT_EQ(picture->GetSize(), wxSize(200, 100));  // 200 x 180 box, 2:1 picture
    EXPECT_EQ(picture->LoadPicture(wide.wstring()), 1);
    EXPECT_EQ(picture->ReadCount(), 1);

    const auto broken = dir.Write("broken.bmp", "BMxx");
    EXPECT_EQ(picture->LoadPicture(broken.wstring()), 0);
    EXPECT_EQ(picture->FileName(), wide.wstring());
    EXPECT_TRUE(picture->HasPicture());

    picture->FitToSize(212, 120);
    EXPECT_EQ(picture->GetSize(), wxSize(212, 106));

    Send(*picture, wxEVT_LEFT_UP);
    using R = platform::RecordingUiPostBackend::Record;
    EXPECT_EQ(Posts(), (std::vector<R>{{kMap, platform::WM_USER_HIDEPOPUP, 114, 0, false}}));
}

TEST(MapIconTable, LoadsTheThirteenIconsScaled) {
    std::vector<unsigned> asked;
    const IconSource source = [&asked](unsigned id) {
        asked.push_back(id);
        return platform::Image(32, 32);
    };
    const MapIconTable table = MakeMapIconTable(source, 18);
    EXPECT_EQ(asked, (std::vector<unsigned>{205, 222, 223, 224, 225, 226, 257, 258, 259, 260, 227, 228, 205}));
    for (int i = 0; i < kMapIconCount; ++i) {
        const auto& icon = table[static_cast<std::size_t>(i)];
        if (i == 10 || i == 11) {
            EXPECT_TRUE(icon.Empty());
        } else {
            EXPECT_EQ(icon.Width(), 18) << i;
        }
    }
}

TEST_F(MapButtonsTest, PickButtonGrowsWithItsRowsAndPostsTheRowClicked) {
    auto* button = new CWaypointPickButton(frame, kGotoId, wxPoint(35, 6), wxSize(140, 24));
    for (const wchar_t* name : {L"Alpha", L"Bravo with a long name", L"Charlie"}) {
        nav::WaypointRecord record;
        record.name.Assign(name);
        button->AddRow(record, L"+120ft");
    }
    EXPECT_EQ(button->GetSize(), wxSize(140, 3 * kPickRowHeight));
    EXPECT_EQ(button->ClickAt(50), 2);
    EXPECT_EQ(button->ClickAt(80), -1);  // below the rows: nothing
    using R = platform::RecordingUiPostBackend::Record;
    EXPECT_EQ(Posts(), (std::vector<R>{{kMap, platform::WM_USER_PICKROW, 2, 0, false}}));
    button->RemoveAllRows();
    EXPECT_EQ(button->RowCount(), 0);
}

}  // namespace
}  // namespace map
