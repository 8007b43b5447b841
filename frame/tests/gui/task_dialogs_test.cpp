// The task editor, the task point dialog and the task limits dialog from
// the real resource bundle: build a task from the waypoint list, store it,
// confirm it (zones, limits, the task list file) and open it again.
#include <gtest/gtest.h>
#include <wx/choice.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/settings_values.h"
#include "frame/dialog_controls.h"
#include "frame/task_dialog.h"
#include "frame/task_limits_dialog.h"
#include "frame/task_point_dialog.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "nav/task_file.h"
#include "nav/task_limits.h"
#include "nav/task_model.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "resources/ids/task_dialog.h"
#include "resources/ids/task_limits_dialog.h"
#include "resources/ids/task_point_dialog.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace frame {
namespace {

namespace gui = platform::gui;
using frame::testing::Click;
using frame::testing::OpenBuiltBundle;
using frame::testing::RunModal;
using frame::testing::Screenshot;
using frame::testing::TextOf;
using frame::testing::Type;
using frame::testing::WhenOpened;
namespace limits_ids = xrc::task_limits_dialog;
namespace point_ids = xrc::task_point_dialog;
namespace task_ids = xrc::task_dialog;

constexpr char kTaskDialogWaypoints[] =
    "Alpha,46,0,0,-7,0,0,500\r\n"
    "Bravo,46,30,0,-7,0,0,600\r\n"
    "Charlie,46,30,0,-7,30,0,700\r\n"
    "Delta,46,0,0,-7,30,0,800\r\n";

class TaskDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installation_.XrcLoaded());
        core::SetStringProvider(&gui::BundleString);
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        core::g_unitDist = 2;
        core::g_documentsFolder = platform::FromUtf8(folder_.Path().string()) + L"/";
        std::filesystem::create_directory(folder_ / "KOR_VAN WinCE");
        std::wstring path =
            platform::FromUtf8(folder_.Write("tasks.dta", kTaskDialogWaypoints).string());
        ASSERT_EQ(nav::OpenWaypointFile(nav::g_waypointFile, path, true, true, false), 1);
        nav::g_taskList.DeleteAll();
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::g_defaultTask.DeletePoints();
        nav::g_taskExtraStartCheck = 0;
        nav::g_taskExtraFinishCheck = 0;
    }
    void TearDown() override {
        nav::CloseWaypoints(1000);
        nav::g_taskList.DeleteAll();
        {
            const platform::CriticalSectionLock lock(core::TaskLock);
            nav::g_defaultTask.DeletePoints();
        }
        nav::ApplyTaskLimits(nav::TaskLimitSettings{});
        platform::SetAppSettings(nullptr);
        core::SetStringProvider(nullptr);
        core::g_unitDist = 0;
        core::g_unitAlt = 0;
    }

    // Adds the waypoint whose name begins with `letter` through the nested
    // pick-only list.
    static void AddPoint(CTaskDialog& editor, wchar_t letter) {
        WhenOpened<CTaskDialog>(&editor, [letter](CTaskDialog& pick) {
            pick.HandleKey(letter);
            Click(pick, task_ids::kOkOrRevert);
        });
        Click(editor, task_ids::kAddOrEdit);
    }
    // One zone for all turnpoints: a 0.5 km cylinder.
    static void TickCylinder(CTaskPointDialog& zones) {
        if (CheckOf(zones, point_ids::kHasCylinder) == 0) Click(zones, point_ids::kHasCylinder);
        Type(zones, point_ids::kCylinderRadius, "0.5");
    }
    // Confirms the zones and, when asked, the limits that a click opens.
    static void ConfirmZonesAndLimits(wxWindow& opener, bool limits) {
        WhenOpened<CTaskPointDialog>(&opener, [limits](CTaskPointDialog& zones) {
            Type(zones, point_ids::kStartRadius, "1.5");
            TickCylinder(zones);
            if (limits) {
                WhenOpened<CTaskLimitsDialog>(nullptr,
                                              [](CTaskLimitsDialog& l) { Click(l, wxID_OK); });
            }
            Click(zones, wxID_OK);
        });
    }

    std::shared_ptr<const gui::ResourceBundle> bundle_ = OpenBuiltBundle();
    gui::ResourceBundleInstallation installation_{bundle_};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
    test_support::ScratchFolder folder_{"kv-task-dialogs"};
};

TEST_F(TaskDialogsTest, BuildsStoresConfirmsAndReopensATask) {
    CTaskDialog editor(nullptr, TaskDialogOptions{.mode = TaskDialogMode::kEditor});
    ASSERT_TRUE(editor.Loaded());
    const int result = RunModal(
        editor, [&] { return editor.DoModal(); },
        [&] {
            ASSERT_NE(editor.PointList(), nullptr);
            EXPECT_EQ(TextOf(editor, task_ids::kTaskName), L"Task A");
            for (const wchar_t letter : {L'A', L'B', L'C', L'A'})
                AddPoint(editor, letter);
            EXPECT_EQ(editor.PointList()->GetCount(), 4);
            EXPECT_EQ(editor.Editor()->ItemNames(),
                      (std::vector<std::wstring>{L"Alpha", L"Bravo", L"Charlie", L"Alpha"}));

            Type(editor, task_ids::kTaskName, "Valley");
            ConfirmZonesAndLimits(editor, false);
            Click(editor, task_ids::kStore);
            ASSERT_EQ(nav::g_taskList.size(), 1U);
            EXPECT_EQ(nav::g_taskList[0].name, L"Valley");
            EXPECT_EQ(TextOf(editor, task_ids::kTaskName), L"Task B");

            // A name stored already is refused.
            Type(editor, task_ids::kTaskName, "Valley");
            Click(editor, task_ids::kStore);
            EXPECT_EQ(nav::g_taskList.size(), 1U);
            EXPECT_EQ(boxes_->Boxes().back().text,
                      L"A task of this name is stored already. Please choose another name.");

            const wxSize size = editor.GetSize();
            EXPECT_LE(size.x, 800);
            EXPECT_LE(size.y, 480);
            EXPECT_TRUE(gui::SaveScreenshot(editor, Screenshot("task_dialog_213_editor.png")));
            ConfirmZonesAndLimits(editor, true);
            Click(editor, task_ids::kNewOrOk);  // OK: zones, limits, saved
        });
    ASSERT_EQ(result, wxID_OK);
    EXPECT_FLOAT_EQ(nav::g_defaultTask.startLineWidth, 3.0F);
    const std::filesystem::path saved = folder_ / "KOR_VAN WinCE" / "^KOR_VN#^.STK";
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(platform::AppSettings().GetString("Settings", "TaskFileName", std::string_view()),
              saved.string());

    // Reopened, the editor shows the saved task.
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::g_defaultTask.DeletePoints();
    }
    CTaskDialog reopened(nullptr, TaskDialogOptions{.mode = TaskDialogMode::kEditor});
    RunModal(
        reopened, [&] { return reopened.DoModal(); },
        [&] {
            EXPECT_EQ(reopened.Editor()->ItemNames(),
                      (std::vector<std::wstring>{L"Alpha", L"Bravo", L"Charlie", L"Alpha"}));
            // The finish row shows the total with its mark.
            const nav::TaskLegValue finish = nav::TaskLegValueText(nav::g_defaultTask, 3, 1.0F);
            EXPECT_EQ(finish.text.back(), L'*');
            Click(reopened, task_ids::kDelete);  // delete the first point
            EXPECT_EQ(reopened.PointList()->GetCount(), 3);
            EXPECT_TRUE(reopened.HandleKey(WXK_ESCAPE));  // reverts
        });
    EXPECT_EQ(nav::g_defaultTask.PointCount(), 4);  // as saved
}

TEST_F(TaskDialogsTest, TheTaskPointDialogRefusesAStartWithoutSize) {
    nav::TaskEditor tasks(nav::g_defaultTask, nav::g_taskList);
    for (const char* name : {"Alpha", "Bravo", "Charlie", "Delta"}) {
        nav::WaypointRecord record;
        const platform::CriticalSectionLock listLock(nav::WaypointListLock);
        for (int i = 0; i < nav::g_waypoints.Count(); ++i)
            if (nav::g_waypoints.At(i)->record.name.View() == platform::FromUtf8(name))
                record = nav::g_waypoints.At(i)->record;
        tasks.AddPoint(tasks.Count() - 1, record, false);
    }
    CTaskPointDialog zones(nullptr, nav::g_defaultTask);
    ASSERT_TRUE(zones.Loaded());
    const std::wstring before = nav::FormatTaskBlock(nav::g_defaultTask);
    const int result = RunModal(
        zones, [&] { return zones.DoModal(); },
        [&] {
            auto* turnpoints = dynamic_cast<wxChoice*>(zones.FindWindow(point_ids::kTurnpoint));
            ASSERT_NE(turnpoints, nullptr);
            EXPECT_EQ(turnpoints->GetCount(), 2U);
            EXPECT_EQ(TextOf(zones, point_ids::kUnitLabel), L"[km]");
            Type(zones, point_ids::kStartRadius, "0");
            Click(zones, wxID_OK);
            EXPECT_TRUE(zones.IsModal());
            Type(zones, point_ids::kStartRadius, "150");  // beyond 100
            Click(zones, wxID_OK);
            EXPECT_TRUE(zones.IsModal());
            EXPECT_FALSE(platform::AppSettings().Get("Settings\\Task", "StartRadius"));

            const wxSize size = zones.GetSize();
            EXPECT_LE(size.x, 800);
            EXPECT_LE(size.y, 480);
            EXPECT_TRUE(gui::SaveScreenshot(zones, Screenshot("task_point_240.png")));
            Type(zones, point_ids::kStartRadius, "2");
            Click(zones, wxID_OK);  // turnpoints without a zone: refused
            EXPECT_TRUE(zones.IsModal());
            EXPECT_EQ(boxes_->Boxes().back().text,
                      L"Every turnpoint needs a cylinder or a sector, and the one chosen a radius "
                      L"above 0.");
            TickCylinder(zones);
            Click(zones, wxID_OK);
        });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_NE(nav::FormatTaskBlock(nav::g_defaultTask), before);
    EXPECT_EQ(
        platform::AppSettings().GetString("Settings\\Task", "StartRadius", std::string_view()),
        " 2.00");
}

TEST_F(TaskDialogsTest, TheLimitsDialogShowsMetresAndStoresFeet) {
    core::g_unitAlt = 1;
    CTaskLimitsDialog limits(nullptr);
    ASSERT_TRUE(limits.Loaded());
    const int result = RunModal(
        limits, [&] { return limits.DoModal(); },
        [&] {
            EXPECT_EQ(TextOf(limits, limits_ids::kMaxStartAltitude), L"9144");
            EXPECT_EQ(TextOf(limits, limits_ids::kMaxStartAltitudeUnit), L"[m]");
            Type(limits, limits_ids::kMaxStartAltitude, "20000");  // beyond 10000 m
            Click(limits, wxID_OK);
            EXPECT_TRUE(limits.IsModal());
            EXPECT_FALSE(boxes_->Boxes().empty());

            Type(limits, limits_ids::kMaxStartAltitude, "1000");
            Click(limits, limits_ids::kStartLimits);  // start limits on
            const wxSize size = limits.GetSize();
            EXPECT_LE(size.y, 480);
            EXPECT_TRUE(gui::SaveScreenshot(limits, Screenshot("task_limits_239.png")));
            Click(limits, wxID_OK);
        });
    ASSERT_EQ(result, wxID_OK);
    EXPECT_EQ(platform::AppSettings().GetInt("Settings\\Task", "MaxAltOnStart", 0), 3281U);
    EXPECT_EQ(nav::g_maxStartAltitude.load(), 3281.0F);
}

}  // namespace
}  // namespace frame
