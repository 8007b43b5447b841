// The destination queue: the ring and its FIFO and length rules, task
// loading with its prefixes, selection, go-to, detaching from a task, and
// slot indexes that stay consistent when a task overflows the ring.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/settings_values.h"
#include "nav/tests/waypoint_test_support.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"

namespace nav {
namespace {

class FakeTaskPoint final : public QueueTaskPoint {
  public:
    explicit FakeTaskPoint(std::wstring name, std::wstring comment = {})
        : name_(std::move(name)), comment_(std::move(comment)) {}

    std::wstring_view Name() const override { return name_; }
    std::wstring_view Comment() const override { return comment_; }
    WaypointRecord QueueRecord() const override {
        WaypointRecord record(10.0, 20.0, true);
        record.name.Assign(L"target");
        record.attachments.comment = L"target note";
        record.flags = kMarkerFlag;
        return record;
    }
    int QueueSlot() const override { return slot; }
    void SetQueueSlot(int value) override { slot = value; }
    void LeftDestination() override { insideCounter = 0; }
    void DetachedFromQueue() override { insideCounter = -2; }

    int slot = kNoQueueSlot;
    int insideCounter = 5;

  private:
    std::wstring name_;
    std::wstring comment_;
};

class FakeTask final : public QueueTask {
  public:
    explicit FakeTask(const std::vector<std::wstring>& names, bool extraStart = false,
                      bool extraFinish = false)
        : extraStart_(extraStart), extraFinish_(extraFinish) {
        for (const auto& name : names)
            points.push_back(std::make_unique<FakeTaskPoint>(name));
    }
    int PointCount() const override { return static_cast<int>(points.size()); }
    QueueTaskPoint& Point(int index) override { return *points[static_cast<std::size_t>(index)]; }
    bool HasExtraStart() const override { return extraStart_; }
    bool HasExtraFinish() const override { return extraFinish_; }

    std::vector<std::unique_ptr<FakeTaskPoint>> points;

  private:
    bool extraStart_;
    bool extraFinish_;
};

class RecordingListener final : public DestinationListener {
  public:
    void DestinationNamed(std::wstring_view name) override { names.emplace_back(name); }
    void QueueTextsReset() override { ++resets; }
    void NewDataRequested(int reason) override { reasons.push_back(reason); }
    void PlaySound(const std::filesystem::path& file) override { sounds.push_back(file); }

    std::vector<std::wstring> names;
    int resets = 0;
    std::vector<int> reasons;
    std::vector<std::filesystem::path> sounds;
};

WaypointRecord Waypoint(const std::wstring& name, const std::wstring& comment = {}) {
    WaypointRecord record(1.0, 2.0, true);
    record.name.Assign(name);
    record.attachments.comment = comment;
    return record;
}

std::wstring SlotName(int slot) {
    return std::wstring(g_waypointQueue.slots[static_cast<std::size_t>(slot)].record.name.View());
}

class DestinationQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_maxNumDestinations = 6;
        g_queueFifo = 1;
        g_taskNavigationActive = 0;
        g_bAutodetectPrevPrompt = 0;
        g_bAutodetectNextPrompt = 0;
        ResetWaypointQueue();
        SetDestinationListener(listener_);
    }
    void TearDown() override {
        SetDestinationListener(nullptr);
        ResetWaypointQueue();
        g_maxNumDestinations = 6;
        g_queueFifo = 1;
    }

    // Every task point's slot index names the slot that holds it.
    static void ExpectConsistentSlots(const FakeTask& task) {
        for (const auto& point : task.points) {
            if (point->slot == kNoQueueSlot) continue;
            ASSERT_LT(point->slot, kQueueSlots);
            EXPECT_EQ(g_waypointQueue.slots[static_cast<std::size_t>(point->slot)].taskPoint,
                      point.get());
        }
        for (int slot = 0; slot < kQueueSlots; ++slot) {
            const QueueTaskPoint* point =
                g_waypointQueue.slots[static_cast<std::size_t>(slot)].taskPoint;
            if (point != nullptr) {
                EXPECT_EQ(point->QueueSlot(), slot);
            }
        }
    }

    std::shared_ptr<RecordingListener> listener_ = std::make_shared<RecordingListener>();
    const platform::ScopedRecordingUiPost posts_;
};

TEST_F(DestinationQueueTest, TheRingWrapsAtItsLength) {
    for (int i = 1; i <= 7; ++i)
        QueueWaypoint(Waypoint(L"W" + std::to_wstring(i)), nullptr);
    EXPECT_EQ(SlotName(0), L"W7");
    EXPECT_EQ(g_waypointQueue.current, 0);
    EXPECT_EQ(g_waypointQueue.highest, 5);
    EXPECT_EQ(g_waypointQueue.next, 1);
}

TEST_F(DestinationQueueTest, WithoutFifoANewEntryFollowsTheCurrentSlot) {
    g_queueFifo = 0;
    for (int i = 0; i < 4; ++i)
        QueueWaypoint(Waypoint(L"W" + std::to_wstring(i)), nullptr);
    SelectQueueWaypoint(1);
    QueueWaypoint(Waypoint(L"New"), nullptr);
    EXPECT_EQ(SlotName(2), L"New");
    EXPECT_EQ(SlotName(3), L"W3");
}

TEST_F(DestinationQueueTest, NotesComeFromThePointOrTheRecord) {
    QueueWaypoint(Waypoint(L"Plain", L"own note"), nullptr);
    FakeTaskPoint quiet(L"Quiet");
    FakeTaskPoint talking(L"Talking", L"point note");
    QueueWaypoint(Waypoint(L"Q", L"record note"), &quiet);
    QueueWaypoint(Waypoint(L"T", L"record note"), &talking);
    const auto& slots = g_waypointQueue.slots;
    EXPECT_EQ(slots[0].note, L"own note");
    EXPECT_EQ(slots[1].note, L"");
    EXPECT_EQ(slots[1].record.attachments.comment, L"");
    EXPECT_EQ(slots[2].note, L"point note");
    EXPECT_EQ(slots[2].record.attachments.comment, L"record note");
    EXPECT_EQ(quiet.slot, 1);
    EXPECT_EQ(talking.slot, 2);
}

TEST_F(DestinationQueueTest, PlainWaypointsLeaveTaskSlotsAloneWhileTheyCan) {
    g_maxNumDestinations = 3;
    FakeTaskPoint a(L"A");
    FakeTaskPoint b(L"B");
    QueueWaypoint(Waypoint(L"A"), &a);       // slot 0
    QueueWaypoint(Waypoint(L"X"), nullptr);  // slot 1
    QueueWaypoint(Waypoint(L"B"), &b);       // slot 2
    QueueWaypoint(Waypoint(L"Y"), nullptr);  // slot 0 holds A: goes to 1
    EXPECT_EQ(SlotName(1), L"Y");
    EXPECT_EQ(a.slot, 0);

    FakeTaskPoint c(L"C");
    QueueWaypoint(Waypoint(L"C"), &c);  // slot 2: B loses its slot
    EXPECT_EQ(b.slot, kNoQueueSlot);
    EXPECT_EQ(c.slot, 2);

    // When every slot holds a task point, the plain waypoint takes the next
    // one and that point loses its slot.
    ResetWaypointQueue();
    g_maxNumDestinations = 2;
    QueueWaypoint(Waypoint(L"A"), &a);
    QueueWaypoint(Waypoint(L"B"), &b);
    QueueWaypoint(Waypoint(L"Z"), nullptr);
    EXPECT_EQ(SlotName(0), L"Z");
    EXPECT_EQ(a.slot, kNoQueueSlot);
    EXPECT_EQ(b.slot, 1);
}

TEST_F(DestinationQueueTest, LoadingATaskNumbersItsPoints) {
    FakeTask task({L"Start", L"One", L"Two", L"Three", L"Finish"});
    task.points[0]->slot = 0;
    LoadTaskIntoQueue(task);
    EXPECT_EQ(g_maxNumDestinations, 6);
    std::vector<std::wstring> names;
    for (int slot = 0; slot <= g_waypointQueue.highest; ++slot)
        names.push_back(SlotName(slot));
    EXPECT_EQ(names,
              (std::vector<std::wstring>{L"S,Start", L"1,One", L"2,Two", L"3,Three", L"F,Finish"}));
    EXPECT_EQ(g_waypointQueue.current, 0);
    const WaypointRecord destination = CopyDestination();
    EXPECT_EQ(destination.name.View(), L"S,Start");
    EXPECT_EQ(destination.flags, 0U);
    EXPECT_EQ(destination.kind, kKindWaypoint);
    EXPECT_EQ(g_activeTaskPoint, task.points[0].get());
    EXPECT_EQ(g_destinationValid, 1);
    EXPECT_EQ(listener_->names.back(), L"S,Start");
    EXPECT_EQ(listener_->reasons.back(), kNewDataQueue);
    const auto posted = posts_->Records();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().message, platform::WM_USER_DESTINATION_CHANGED);
    EXPECT_EQ(posted.back().window, platform::kMapViewWindow);
    EXPECT_EQ(posted.back().wParam, 1U);
    ExpectConsistentSlots(task);
}

TEST_F(DestinationQueueTest, ExtraPointsAndAClosedTask) {
    struct Case {
        const char* label;
        FakeTask task;
        std::vector<std::wstring> queued;
        bool lastLinked;
    };
    std::vector<Case> cases;
    cases.push_back({"extra start and finish",
                     FakeTask({L"Home", L"Start", L"One", L"Finish", L"Land"}, true, true),
                     {L"S,Start", L"1,One", L"F,Finish", L"Land"},
                     false});
    cases.push_back({"closed: the extra finish repeats the finish",
                     FakeTask({L"Start", L"One", L"Finish", L"Finish"}, false, true),
                     {L"S,Start", L"1,One", L"F,Finish"},
                     true});
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        ResetWaypointQueue();
        LoadTaskIntoQueue(c.task);
        std::vector<std::wstring> names;
        for (int slot = 0; slot <= g_waypointQueue.highest; ++slot)
            names.push_back(SlotName(slot));
        EXPECT_EQ(names, c.queued);
        const int last = g_waypointQueue.highest;
        EXPECT_EQ(g_waypointQueue.slots[static_cast<std::size_t>(last)].taskPoint != nullptr,
                  c.lastLinked);
        ExpectConsistentSlots(c.task);
    }
}

TEST_F(DestinationQueueTest, ThePreviousPointPromptStartsAtTheEnd) {
    g_bAutodetectPrevPrompt = 1;
    FakeTask task({L"Start", L"One", L"Finish"});
    LoadTaskIntoQueue(task);
    EXPECT_EQ(g_waypointQueue.current, 2);
    EXPECT_EQ(CopyDestination().name.View(), L"F,Finish");
}

TEST_F(DestinationQueueTest, ATaskLargerThanTheRingKeepsItsSlotsConsistent) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 20; ++i)
        names.push_back(L"P" + std::to_wstring(i));
    FakeTask task(names);
    LoadTaskIntoQueue(task);
    EXPECT_EQ(g_maxNumDestinations, kMaxQueueLength);
    ExpectConsistentSlots(task);
    EXPECT_EQ(CopyDestination().name.View(), L"S,P0");
    EXPECT_EQ(task.points[0]->slot, 0);
    EXPECT_EQ(task.points[15]->slot, 15);
    EXPECT_EQ(task.points[16]->slot, kNoQueueSlot);

    QueueWaypoint(Waypoint(L"Plain"), nullptr);  // every slot holds a task point
    ExpectConsistentSlots(task);
}

TEST_F(DestinationQueueTest, SelectionMakesASlotTheDestination) {
    const testing::ScopedSoundFolder sounds;
    FakeTask task({L"Start", L"One", L"Finish"});
    LoadTaskIntoQueue(task);
    WaypointRecord noisy = Waypoint(L"Noisy");
    noisy.attachments.sound = L"beep.wav";
    QueueWaypoint(noisy, nullptr);  // slot 3

    SelectQueueWaypoint(4);  // never used
    EXPECT_EQ(g_waypointQueue.current, 3);

    g_taskNavigationActive = 1;
    g_bAutodetectNextPrompt = 1;
    SelectQueueWaypoint(1);  // blocked by the prompt
    EXPECT_EQ(CopyDestination().name.View(), L"S,Start");
    g_bAutodetectNextPrompt = 0;

    SelectQueueWaypoint(1);
    EXPECT_EQ(g_waypointQueue.current, 1);
    EXPECT_EQ(CopyDestination().name.View(), L"1,One");
    EXPECT_EQ(task.points[0]->insideCounter, 0);  // the start left the destination
    EXPECT_EQ(g_activeTaskPoint, task.points[1].get());
    EXPECT_EQ(posts_->Records().back().wParam, 2U);

    SelectQueueWaypoint(3);
    EXPECT_EQ(g_activeTaskPoint, nullptr);
    ASSERT_EQ(listener_->sounds.size(), 1U);
    EXPECT_EQ(listener_->sounds[0], testing::DataFolder() / "attachments" / "beep.wav");
}

TEST_F(DestinationQueueTest, GoToQueuesAndClearsThePrompts) {
    g_bAutodetectPrevPrompt = 1;
    g_bAutodetectNextPrompt = 1;
    GoToWaypoint(Waypoint(L"There"));
    EXPECT_EQ(CopyDestination().name.View(), L"There");
    EXPECT_EQ(SlotName(g_waypointQueue.current), L"There");
    EXPECT_EQ(g_bAutodetectPrevPrompt, 0);
    EXPECT_EQ(g_bAutodetectNextPrompt, 0);
    EXPECT_EQ(g_destinationValid, 1);
    EXPECT_EQ(listener_->reasons.back(), kNewDataGoTo);
    EXPECT_EQ(posts_->Records().back().wParam, 1U);
}

TEST_F(DestinationQueueTest, ClearingDetachesAndDropsThePrefixes) {
    FakeTask task({L"Start", L"One", L"Finish"});
    LoadTaskIntoQueue(task);
    QueueWaypoint(Waypoint(L"No,prefix"), nullptr);
    ClearQueueTaskPoints();
    EXPECT_EQ(g_activeTaskPoint, nullptr);
    EXPECT_EQ(task.points[0]->insideCounter, -2);
    EXPECT_EQ(SlotName(0), L"Start");
    EXPECT_EQ(SlotName(1), L"One");
    EXPECT_EQ(SlotName(3), L"No,prefix");  // not a task slot
    for (const QueueSlot& slot : g_waypointQueue.slots)
        EXPECT_EQ(slot.taskPoint, nullptr);
}

}  // namespace
}  // namespace nav
