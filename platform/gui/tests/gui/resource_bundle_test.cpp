#include "platform/gui/resource_bundle.h"
#include "platform/image.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

#include <filesystem>
#include <future>
#include <set>
#include <vector>

#include "platform/ddx_text.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/screenshot.h"
#include "testing/wx_test_app.h"
#include "platform/window_messages.h"

namespace platform::gui {
namespace {

const std::filesystem::path kBinaryDir = KV_BINARY_DIR;
const std::filesystem::path kScreenshots = kBinaryDir / "screenshots";

std::shared_ptr<const ResourceBundle> OpenBundle(const std::filesystem::path& file) {
    DynamicLibrary library = DynamicLibrary::Open(file.string());
    if (!library) return nullptr;
    return std::make_shared<const ResourceBundle>(std::move(library));
}

std::shared_ptr<const ResourceBundle> OpenBuiltBundle() {
    return OpenBundle(kBinaryDir / kResourceBundleFile);
}

// Whether an image has more than one colour (something was drawn).
bool HasContent(const wxImage& image) {
    if (!image.IsOk()) return false;
    const unsigned char* data = image.GetData();
    const long bytes = 3L * image.GetWidth() * image.GetHeight();
    for (long i = 3; i < bytes; ++i) {
        if (data[i] != data[i % 3]) return true;
    }
    return false;
}

// The commands of the main window's menu and toolbar.
const int kCommands[] = {229,   32771, 32772, 32773, 32775, 32777, 32778, 32783, 32784, 32785,
                         32786, 32787, 32788, 32789, 32794, 32795, 32796, 32797, 32799, 32800,
                         32801, 32802, 32804, 32805, 32810, 32811, 32812, 32813, 32814, 32815,
                         32816, 32827, 32828, 32829, 32830, 32831, 57664, 57665, 57670};

TEST(ResourceBundle, OnlyVersion133IsAcceptedWhateverItsRevision) {
    EXPECT_TRUE(IsAcceptedBundleVersion(ModuleVersion{1, 3, 3, 0}));
    EXPECT_TRUE(IsAcceptedBundleVersion(ModuleVersion{1, 3, 3, 99}));
    EXPECT_FALSE(IsAcceptedBundleVersion(ModuleVersion{1, 4, 0, 0}));
    EXPECT_FALSE(IsAcceptedBundleVersion(ModuleVersion{1, 3, 2, 7}));
    EXPECT_FALSE(IsAcceptedBundleVersion(ModuleVersion{2, 3, 3, 0}));
    EXPECT_FALSE(IsAcceptedBundleVersion(std::nullopt));
}

TEST(ResourceBundle, CarriesItsVersionAndEveryStringTheProgramUses) {
    const auto bundle = OpenBuiltBundle();
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(bundle->Version(), (ModuleVersion{1, 3, 3, KV_RESOURCE_REVISION}));
    EXPECT_TRUE(IsAcceptedBundleVersion(bundle->Version()));

    const unsigned ids[] = {128,  2000, 2001, 2002, 2003, 2009, 2037, 2038, 2052, 2053, 2058,
                            2132, 2133, 2134, 2140, 2141, 2536, 2543, 2544, 2545, 2546, 2547, 2548,
                            2549, 2574, 2575, 2576, 2577, 2033, 2034, 2035, 2036};
    for (const unsigned id : ids)
        EXPECT_FALSE(bundle->String(id).empty()) << id;
    // The polar box's texts around the file name, the receiver's link and
    // the boxes about files read in part.
    for (unsigned id = 4130; id <= 4146; ++id)
        EXPECT_FALSE(bundle->String(id).empty()) << id;
    EXPECT_EQ(bundle->String(4130), L"GPS lost");
    EXPECT_EQ(bundle->String(4131), L"GPS back");
    EXPECT_TRUE(bundle->String(2050).ends_with(L"\n"));
    EXPECT_TRUE(bundle->String(2051).starts_with(L"\n"));
    EXPECT_TRUE(bundle->String(1).empty());
    EXPECT_TRUE(bundle->String(0xFFFFFFFF).empty());

    // Line breaks are real ones, and the dialog prompts keep the class
    // library's wording.
    EXPECT_NE(bundle->String(2002).find(L'\n'), std::wstring::npos);
    EXPECT_EQ(bundle->String(2002).find(L'\\'), std::wstring::npos);
    for (const unsigned id :
         {AFX_IDP_PARSE_INT, AFX_IDP_PARSE_REAL, AFX_IDP_PARSE_INT_RANGE, AFX_IDP_PARSE_REAL_RANGE,
          AFX_IDP_PARSE_STRING_SIZE, AFX_IDP_PARSE_BYTE, AFX_IDP_PARSE_UINT})
        EXPECT_EQ(bundle->String(id), DefaultPromptText(id)) << id;

    EXPECT_FALSE(bundle->Xrc().empty());
    EXPECT_FALSE(bundle->ImageData(128).empty());
    EXPECT_TRUE(bundle->ImageData(1).empty());
}

TEST(ResourceBundle, HoldsTheMapsIconsAt32Pixels) {
    const auto bundle = OpenBuiltBundle();
    ASSERT_NE(bundle, nullptr);
    // Symbols, markers, the label entry, the wind arrows, the aircraft and
    // the map's buttons.
    std::vector<unsigned> ids{137, 138, 139, 140, 141, 142, 144, 145, 146, 147, 148, 149, 150,
                              151, 152, 153, 179, 205, 221, 222, 223, 224, 225, 226, 227, 228, 229};
    for (unsigned id = 180; id <= 203; ++id) ids.push_back(id);
    for (unsigned id = 249; id <= 256; ++id) ids.push_back(id);
    for (const unsigned id : ids) {
        const platform::Image icon = platform::Image::FromPng(bundle->ImageData(id));
        EXPECT_EQ(icon.Width(), 32) << id;
        EXPECT_EQ(icon.Height(), 32) << id;
    }
}

TEST(ResourceBundle, ALibraryWithoutItsEntryPointsGivesNothing) {
    const auto bundle = OpenBundle(kBinaryDir / "platform" / "kv_stub_versioned.so");
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(bundle->Version(), (ModuleVersion{1, 3, 3, 7}));
    EXPECT_TRUE(bundle->String(2002).empty());
    EXPECT_TRUE(bundle->Xrc().empty());
    EXPECT_TRUE(bundle->ImageData(128).empty());
    EXPECT_FALSE(bundle->Icon(128).IsOk());

    const ResourceBundleInstallation installation(bundle);
    EXPECT_FALSE(installation.XrcLoaded());
    EXPECT_TRUE(BundleString(2002).empty());
}

class InstalledBundleTest : public ::testing::Test {
  protected:
    std::shared_ptr<const ResourceBundle> bundle_ = OpenBuiltBundle();
    ResourceBundleInstallation installation_{bundle_};
};

TEST_F(InstalledBundleTest, StringsComeFromTheInstalledBundleOnAnyThread) {
    ASSERT_TRUE(installation_.XrcLoaded());
    EXPECT_EQ(InstalledBundle(), bundle_);
    EXPECT_EQ(BundleString(2002), bundle_->String(2002));
    EXPECT_EQ(std::async(std::launch::async, [] { return BundleString(2003); }).get(),
              bundle_->String(2003));
    {
        const ResourceBundleInstallation none(nullptr);
        EXPECT_TRUE(BundleString(2002).empty());
    }
    EXPECT_EQ(BundleString(2002), bundle_->String(2002));  // the outer one is back
}

TEST_F(InstalledBundleTest, MenuBar128HoldsEveryCommandWhereTheFrameExpectsIt) {
    EXPECT_EQ(XRCID("32775"), WxIdFromCommand(32775));  // object names are the ids
    std::unique_ptr<wxMenuBar> menus(wxXmlResource::Get()->LoadMenuBar("128"));
    ASSERT_NE(menus, nullptr);
    for (const int command : kCommands)
        EXPECT_NE(menus->FindItem(WxIdFromCommand(command)), nullptr) << command;

    // Items the frame adds or renames by position.
    ASSERT_GE(menus->GetMenuCount(), 3u);
    EXPECT_GE(menus->GetMenu(0)->GetMenuItemCount(), 5u);
    EXPECT_NE(menus->GetMenu(1)->FindItem(WxIdFromCommand(32830)), nullptr);
    EXPECT_GE(menus->GetMenu(2)->GetMenuItemCount(), 3u);
    EXPECT_TRUE(menus->FindItem(WxIdFromCommand(32816))->IsCheckable());
    // XRC turns '_' into a mnemonic unless doubled.
    EXPECT_EQ(menus->FindItem(WxIdFromCommand(57664))->GetItemLabelText(), "About KOR_VAN...");
}

TEST_F(InstalledBundleTest, MainWindowGetsToolbarAndIcon) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, bundle_->String(128));  // wx owns it
    frame->SetMenuBar(wxXmlResource::Get()->LoadMenuBar("128"));
    wxToolBar* tools = wxXmlResource::Get()->LoadToolBar(frame, "128");
    ASSERT_NE(tools, nullptr);
    std::set<int> toolIds;
    for (int i = 0; i < static_cast<int>(tools->GetToolsCount()); ++i) {
        const wxToolBarToolBase* tool = tools->GetToolByPos(i);
        if (tool->IsSeparator()) continue;
        toolIds.insert(tool->GetId());
        EXPECT_TRUE(tool->GetNormalBitmap().IsOk()) << tool->GetId();
        EXPECT_EQ(tool->GetNormalBitmap().GetSize(), wxSize(24, 24)) << tool->GetId();
        EXPECT_NE(frame->GetMenuBar()->FindItem(tool->GetId()), nullptr) << tool->GetId();
    }
    EXPECT_GE(toolIds.size(), 10u);

    const wxIcon icon = wxXmlResource::Get()->LoadIcon("128");
    ASSERT_TRUE(icon.IsOk());
    EXPECT_EQ(icon.GetWidth(), 64);
    frame->SetIcon(icon);
    frame->SetClientSize(640, 200);
    EXPECT_TRUE(SaveScreenshot(*frame, kScreenshots / "main_frame_128.png"));
    frame->Destroy();
    ProcessEventsFor(std::chrono::milliseconds(50));  // let it go
}

TEST_F(InstalledBundleTest, AboutBoxesLoadWithTheirControls) {
    for (const char* name : {"100", "212"}) {
        SCOPED_TRACE(name);
        wxDialog dialog;
        ASSERT_TRUE(wxXmlResource::Get()->LoadDialog(&dialog, nullptr, name));
        for (const int id : {1107, 1131, 1132, 1276})
            EXPECT_NE(dynamic_cast<wxStaticText*>(dialog.FindWindow(id)), nullptr) << id;
        EXPECT_NE(dynamic_cast<wxButton*>(dialog.FindWindow(1108)), nullptr);
        EXPECT_EQ(dialog.GetTitle(), "About KOR_VAN");

        const auto file = kScreenshots / (std::string("about_") + name + ".png");
        ASSERT_TRUE(SaveScreenshot(dialog, file));
        wxImage shot;
        ASSERT_TRUE(shot.LoadFile(wxString(file.native()), wxBITMAP_TYPE_PNG));
        EXPECT_EQ(shot.GetSize(), dialog.GetSize());
        EXPECT_TRUE(HasContent(shot));
    }
}

}  // namespace
}  // namespace platform::gui
