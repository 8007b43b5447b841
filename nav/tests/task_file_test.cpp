#include "nav/task_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <string>

#include "nav/fai_triangle.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/utf.h"
#include "task_test_support.h"
#include "waypoint_test_support.h"

namespace nav {
namespace {

using testing::DataFolder;
using testing::Degrees;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Wide;

// What a task amounts to: its legs, total, sector directions and triangle.
std::string Summary(CTask& task) {
    std::string out = platform::ToUtf8(task.name) + "\n";
    const int legs = task.OrdinaryCount() - 1;
    for (int i = 0; i < legs && i < kLegTableSize; ++i) {
        out += platform::FormatC(" leg%d=%.3f", i, double{task.legs[static_cast<size_t>(i)]});
    }
    out += platform::FormatC("\n total=%.3f\n", double{task.totalDistance});
    for (const auto& p : task.points) {
        out +=
            platform::FormatC(" %s dir=%.2f role=%d kind=%d\n", platform::ToUtf8(p->name).c_str(),
                              double{p->sectorDirection}, p->role, p->pointKind);
    }
    const int corners = task.FindTriangleCorners();
    const int fai = corners == 0 ? 0
                                 : IsFaiTriangle(task.corners[0]->target, task.corners[1]->target,
                                                 task.corners[2]->target);
    out += platform::FormatC(" triangle=%d class=%d\n", corners, fai);
    return out;
}

CTaskList ReadList(const std::filesystem::path& path) {
    CTaskList list;
    EXPECT_TRUE(LoadTaskFile(Wide(path), list).opened);
    return list;
}

// The legs agree with an independent geodesic (GeodSolve -i) to the metre;
// the totals lose the unreached cylinders at the ends (finish 1 km, start
// 2.5 km).
TEST(TaskFileTest, FixtureReadsAndWritesBackByteForByte) {
    testing::ScopedSoundFolder sounds;
    CTaskList list = ReadList(DataFolder() / "tasks.tsk");
    ASSERT_EQ(list.size(), 2U);

    EXPECT_EQ(Summary(list[0]),
              "FAI 300\n"
              " leg0=109.816 leg1=84.977 leg2=104.082\n"
              " total=297.875\n"
              " Home dir=35.00 role=1 kind=0\n"
              " North dir=341.50 role=0 kind=1\n"
              " East dir=112.00 role=0 kind=1\n"
              " Home dir=215.00 role=2 kind=0\n"
              " triangle=4 class=1\n");
    EXPECT_EQ(Summary(list[1]),
              "Extras\n"
              " leg0=51.374 leg1=-0.000 leg2=37.394\n"
              " total=86.269\n"
              " Before dir=10.00 role=0 kind=0\n"
              " S1 dir=20.00 role=1 kind=0\n"
              " TP1 dir=30.00 role=0 kind=3\n"
              " TP2 dir=40.00 role=0 kind=1\n"
              " F1 dir=250.00 role=2 kind=0\n"
              " After dir=60.00 role=0 kind=0\n"
              " triangle=0 class=0\n");

    const CTask& fai = list[0];
    EXPECT_EQ(fai.points[1]->Note(), L"Ridge turn\r\nWatch the lee side");
    EXPECT_EQ(fai.points[2]->target.attachments.image, L"pic.bmp");
    EXPECT_EQ(fai.points[1]->target.attachments.sound, L"beep.wav");
    EXPECT_EQ(fai.points[0]->lineHalfWidth, 1.0F);  // half the start line width
    EXPECT_EQ(fai.points[2]->sectorInnerRadius, 2.0F);

    const CTask& extras = list[1];
    EXPECT_EQ(OrdinalNumber(extras.points.front()->ordinal), kExtraStartNumber);
    EXPECT_EQ(OrdinalNumber(extras.points.back()->ordinal), kExtraFinishNumber);
    EXPECT_EQ(OrdinalNumber(extras.points[2]->ordinal), 1);
    EXPECT_EQ(extras.points[2]->notCounted, 1);
    EXPECT_FALSE(extras.points[2]->target.altitudeKnown);
    EXPECT_EQ(extras.points[4]->lineHalfWidth, 0.5F);
    EXPECT_NEAR(Degrees(extras.points[3]->target.latitude), 46.91, 1e-9);

    ScratchFolder folder;
    const auto written = folder.Path() / "written.tsk";
    ASSERT_TRUE(SaveTaskFile(Wide(written), list));
    EXPECT_EQ(ReadBytes(written), ReadBytes(DataFolder() / "tasks.tsk"));
}

// One task block from text.
std::unique_ptr<CTask> ReadOne(const std::wstring& text, int* result = nullptr) {
    TaskBlockReader reader(text);
    auto task = std::make_unique<CTask>();
    const int read = reader.ReadTask(*task);
    if (result != nullptr) *result = read;
    return read == 0 ? std::move(task) : nullptr;
}

const std::wstring kHead =
    L"/*TASK*/\nT\n0\n2,0,2\nA,45.000000,0,0,-10.000000,0,0,500\nB,45.500000,0,0,-10.000000,0,0\n";

TEST(TaskFileTest, PointsWithoutZonesKeepTheDefaultZones) {
    auto task = ReadOne(L"/*TASK*/\nT\n0\n2,0,0\nA,45,0,0,-10,0,0,500\nB,45.5,0,0,-10,0,0\n");
    ASSERT_NE(task, nullptr);
    ASSERT_EQ(task->points.size(), 2U);
    const CTaskPoint& b = *task->points[1];
    EXPECT_EQ(b.sectorMode, -1);
    EXPECT_EQ(b.cylinderRadius, 0.5F);
    EXPECT_EQ(b.altitudeKnown, 0);
    EXPECT_EQ(task->points[0]->altitude, 500.0F);
    EXPECT_NEAR(b.sectorDirection, 0.0F, 0.01F);  // computed: due north
}

TEST(TaskFileTest, AnglesFollowTheSignRules) {
    struct Case {
        const wchar_t* fields;
        double degrees;
    };
    for (const Case& c :
         {Case{L"-0,30,0", -0.5}, Case{L"0,30,0", 0.5}, Case{L"-10,30,0", -10.5},
          Case{L"-0,-30,0", -0.5}, Case{L"10,30,36", 10.51}, Case{L"-10.5,0,0", -10.5}}) {
        const std::wstring text =
            std::wstring(L"/*TASK*/\nT\n0\n1,0,1\nP,") + c.fields + L",5,0,0\n";
        auto task = ReadOne(text);
        ASSERT_NE(task, nullptr) << platform::ToUtf8(c.fields);
        EXPECT_NEAR(Degrees(task->points[0]->latitude), c.degrees, 1e-9)
            << platform::ToUtf8(c.fields);
    }
}

TEST(TaskFileTest, ZoneLinesTakeWhatTheyHold) {
    const std::wstring zones =
        L"\\*zones*\\\n2\n"
        L"1,0,1,0,2.00,3.00,0,90.00,45.00,0.00,-10.0000000,45.0000000,1000m\n"
        L"2,3,0,1,0.50,5.00,1,60.00\n0,2,3,0,1\n";
    auto task = ReadOne(kHead + zones);
    ASSERT_NE(task, nullptr);
    const CTaskPoint& a = *task->points[0];
    EXPECT_NEAR(a.target.altitude, 3280.8F, 0.01F);  // metres
    EXPECT_EQ(a.sectorDirection, 45.0F);
    const CTaskPoint& b = *task->points[1];
    EXPECT_EQ(b.notCounted, 1);
    EXPECT_EQ(b.sectorAngle, 60.0F);
    EXPECT_NEAR(b.sectorDirection, 0.0F, 0.01F);  // 8 values: the computed direction stays
    EXPECT_FALSE(b.target.altitudeKnown);
    EXPECT_EQ(b.lineHalfWidth, 1.5F);
}

TEST(TaskFileTest, BrokenTaskEndsTheFileAndKeepsTheTasksBefore) {
    ScratchFolder folder;
    const std::string good = platform::ToUtf8(kHead) + "\\*zones*\\\n2\n" +
                             "1,0,1,0,2.00,3.00,0,90.00,45.00\n2,0,1,0,2.00,3.00,0,90.00,45.00\n" +
                             "0,2,3,0,1\n";
    const std::string broken = platform::ToUtf8(kHead) + "\\*zones*\\\n2\n1,0,1,0,2.00,3.00,0\n";
    const auto path = folder.Write("broken.tsk", good + broken + good);
    CTaskList list;
    list.Append(std::make_unique<CTask>());
    const TaskFileLoad load = LoadTaskFile(Wide(path), list);
    ASSERT_TRUE(load.opened);
    EXPECT_TRUE(load.stoppedEarly);
    EXPECT_EQ(list.size(), 1U);

    // Saved again, the file keeps what could not be read after the tasks.
    ASSERT_TRUE(SaveTaskFile(Wide(path), list));
    const std::string saved = ReadBytes(path);
    EXPECT_TRUE(saved.ends_with(broken + good)) << saved;
    CTaskList again;
    EXPECT_TRUE(LoadTaskFile(Wide(path), again).stoppedEarly);
    EXPECT_EQ(again.size(), 1U);
    EXPECT_EQ(again.UnreadText(), platform::FromUtf8(broken + good));

    int result = 0;
    EXPECT_EQ(ReadOne(L"/*TASK*/\nT\n0\n2,0,2\nA 45 0 0\n", &result), nullptr);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadOne(L"no task here\n", &result), nullptr);
    EXPECT_EQ(result, 1);
    CTaskList untouched;
    const TaskFileLoad missing = LoadTaskFile(Wide(folder.Path() / "missing.tsk"), untouched);
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(LoadTaskFile(Wide(folder.Path()), untouched).error, EISDIR);
}

TEST(TaskFileTest, ALineTooLongForATaskIsLeftOutNotCut) {
    // A point name of 3000 characters: the line is left out whole, so the
    // task breaks there and the text from it on is kept.
    ScratchFolder folder;
    const std::string head = platform::ToUtf8(kHead);
    const std::string longName = "/*TASK*/\n" + std::string(3000, 'N') + "\n0\n";
    const auto path = folder.Write("long.tsk", head + longName);
    CTaskList list;
    const TaskFileLoad load = LoadTaskFile(Wide(path), list);
    EXPECT_EQ(load.longLines, 1U);
    for (const auto& task : list)
        EXPECT_LT(task->name.size(), 1022U);
}

TEST(TaskFileTest, OptionalSectionsAreMatchedPointByPoint) {
    testing::ScopedSoundFolder sounds;
    const std::wstring zones =
        L"\\*zones*\\\n2\n1,0,1,0,2.00,3.00,0,90.00,45.00\n2,0,1,0,2.00,3.00,0,90.00,45.00\n"
        L"0,4,4,0,0\r";
    // No notes; images with one missing file; sounds on the second point.
    const std::wstring sections =
        L"\\*images*\\ extra\r\n2,2\r\n1,missing.bmp\r\n1,pic.bmp\r\n"
        L"\\*sounds*\\\n2,1\n0\n1,beep.wav \n";
    auto task = ReadOne(kHead + zones + sections);
    ASSERT_NE(task, nullptr);
    EXPECT_TRUE(task->points[0]->target.attachments.image.empty());
    EXPECT_EQ(task->points[1]->target.attachments.image, L"pic.bmp");
    EXPECT_EQ(task->points[1]->target.attachments.sound, L"beep.wav");
    EXPECT_TRUE(task->points[0]->target.attachments.sound.empty());
}

TEST(TaskFileTest, NotesKeepTheirLinesAndNamesStayReadable) {
    auto task = testing::MakeTask({testing::At(45.0, 10.0, L"A"), testing::At(45.5, 10.0, L"B")});
    task->points[0]->name = L"Peak, north";
    task->points[1]->target.attachments.comment = L"first\r\nsecond\nthird";
    const std::wstring text = FormatTaskBlock(*task);
    EXPECT_NE(text.find(L"1,first\\second\\third\r\n"), std::wstring::npos);

    auto back = ReadOne(text);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->points[0]->name, L"Peak  north");
    EXPECT_EQ(back->points[1]->Note(), L"first\r\nsecond\r\nthird");
    EXPECT_EQ(FormatTaskBlock(*back), FormatTaskBlock(*ReadOne(FormatTaskBlock(*back))));
}

TEST(TaskFileTest, AFailedSaveIsReportedAndKeepsNothingHalfWritten) {
    platform::ScopedRecordingSink boxes;
    ScratchFolder folder;
    CTaskList list;
    list.Append(testing::MakeTask({testing::At(45.0, 10.0, L"A"), testing::At(45.5, 10.0, L"B")}));
    EXPECT_FALSE(SaveTaskFile(Wide(folder.Path() / "no" / "such.tsk"), list));
    EXPECT_EQ(boxes->Boxes().size(), 1U);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

}  // namespace
}  // namespace nav
