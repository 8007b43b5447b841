// Reading E00 interchange files: the start line, arcs with their junction
// flags, label records in both precisions, attribute tables with every item
// type, and joining arcs that meet. The fixtures follow the public E00
// layout; GDAL's reader gives the same coordinates and values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/scratch_folder.h"
#include "tools/quorlin/e00_file.h"
#include "tools/quorlin/info_table.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;

fs::path E00Fixture(const char* name) {
    return testing::DataFolder() / "e00" / name;
}

TEST(E00File, StartLineRefusesOtherFilesAndTheCompressedForm) {
    test_support::ScratchFolder folder;
    const struct {
        const char* text;
        E00Start start;
    } cases[] = {
        {"EXP  0 /A/B.E00\n", E00Start::kReadable},
        {"EXP  1 /A/B.E00\r\n", E00Start::kCompressed},
        {"XEP  0\n", E00Start::kNotE00},
        {"", E00Start::kNotE00},
    };
    for (const auto& c : cases) {
        const fs::path path = folder.Path() / "start.e00";
        testing::WriteBytes(path, c.text);
        E00File file(path);
        EXPECT_EQ(ReadE00Start(file), c.start) << c.text;
    }
}

TEST(E00File, ArcsInBothPrecisionsWithJunctionsAndEmptyArcsSkipped) {
    for (const char* name : {"lines.e00", "lines_double.e00"}) {
        const auto arcs = ReadE00Arcs(E00Fixture(name));
        ASSERT_EQ(arcs.size(), 3u) << name;
        EXPECT_EQ(arcs[0].coverageNumber, 1);
        EXPECT_EQ(arcs[0].coverageId, 11);
        EXPECT_EQ(arcs[0].fromNode, 1);
        EXPECT_EQ(arcs[0].toNode, 2);
        ASSERT_EQ(arcs[0].points.size(), 3u);
        EXPECT_DOUBLE_EQ(arcs[0].points[1].x, 7.1);
        EXPECT_DOUBLE_EQ(arcs[0].points[1].y, 46.1);
        // Node 2 joins the first two arcs; nothing else is shared.
        EXPECT_EQ(arcs[0].points.front().flags, 0);
        EXPECT_EQ(arcs[0].points.back().flags, kJunctionPoint);
        EXPECT_EQ(arcs[1].points.front().flags, kJunctionPoint);
        EXPECT_EQ(arcs[1].points.back().flags, 0);
        EXPECT_EQ(arcs[2].coverageNumber, 4);  // the empty arc 3 is passed over
        EXPECT_EQ(arcs[2].bounds, (core::GeoBox{8.0, 47.0, 8.6, 47.5}));
    }
}

TEST(E00File, ArcsOfFilesThatAreNotReadable) {
    test_support::ScratchFolder folder;
    const fs::path path = folder.Path() / "bad.e00";
    for (const char* text : {"EXP  1 /X\nARC  2\n 1 1 1 2 0 0 2\n0 0 1 1\n", "NOT E00\n", "EXP  0\nLAB  2\n",
                             "EXP  0\nARC  2\n 1 1 1 2 0 0 3\n 1.0 2.0 3.0"}) {
        testing::WriteBytes(path, text);
        EXPECT_TRUE(ReadE00Arcs(path).empty()) << text;
    }
    EXPECT_TRUE(ReadE00Arcs(folder.Path() / "missing.e00").empty());
}

TEST(E00File, LabelsInBothPrecisions) {
    for (const char* name : {"aepoint.e00", "aepoint_double.e00"}) {
        E00File file(E00Fixture(name));
        int precision = 0;
        ASSERT_EQ(ReadE00Start(file), E00Start::kReadable);
        ASSERT_TRUE(FindE00Section(file, "LAB ", precision));
        const auto labels = ReadE00Labels(file, precision);
        ASSERT_EQ(labels.size(), 4u) << name;
        EXPECT_EQ(labels[3].number, 4);
        EXPECT_DOUBLE_EQ(labels[0].x, 7.25);
        EXPECT_DOUBLE_EQ(labels[0].y, 46.5);
        EXPECT_DOUBLE_EQ(labels[3].x, 6.999);
    }
}

TEST(E00File, LabelSectionEndsAtALineThatIsNotARecord) {
    test_support::ScratchFolder folder;
    const fs::path path = folder.Path() / "lab.e00";
    testing::WriteBytes(path, "EXP  0\nLAB  2\n 1 0 1.0 2.0\n 1.0 2.0 1.0 2.0\n 2 0 3.0\nTOL  2\n");
    E00File file(path);
    int precision = 0;
    ReadE00Start(file);
    ASSERT_TRUE(FindE00Section(file, "LAB ", precision));
    EXPECT_EQ(precision, 2);
    EXPECT_EQ(ReadE00Labels(file, precision).size(), 1u);
}

TEST(InfoTable, EveryItemTypeAcrossRecordLines) {
    CInfoTable table(E00Fixture("items.e00"), "pat");
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.TableName(), "ITEMS.PAT");
    ASSERT_TRUE(table.ReadRecords());
    ASSERT_EQ(table.RecordCount(), 2u);
    EXPECT_EQ(table.RecordItem(), "");  // looked up by ordinal
    const auto text = [&](const char* item, int record) {
        const CInfoValue* v = table.Lookup(item, record);
        return v ? v->text : std::string("<none>");
    };
    const auto real = [&](const char* item, int record) {
        const CInfoValue* v = table.Lookup(item, record);
        return v ? v->real : -999.0;
    };
    const auto integer = [&](const char* item, int record) {
        const CInfoValue* v = table.Lookup(item, record);
        return v ? v->integer : -999;
    };
    EXPECT_EQ(text("DATE", 1), "2026/01/15");
    EXPECT_EQ(text("DATE", 2), "1999/07/04");
    EXPECT_EQ(text("SHORTTEXT", 1), "abc   ");
    EXPECT_EQ(text("LONGTEXT", 1), "a text of forty-five columns, more or less...");
    EXPECT_EQ(integer("INTTEXT", 1), 42);
    EXPECT_EQ(integer("INTTEXT", 2), -1);
    EXPECT_DOUBLE_EQ(real("REALTEXT", 1), 3.25);
    EXPECT_EQ(integer("SMALLINT", 1), -7);  // runs across the line end
    EXPECT_EQ(integer("BIGINT", 1), 123456789);
    EXPECT_DOUBLE_EQ(real("SINGLE", 2), -3.0e-3);
    EXPECT_DOUBLE_EQ(real("DOUBLE", 1), -2.25e10);
    EXPECT_EQ(text("TAIL", 1), "END");  // on a trimmed last line
    EXPECT_EQ(text("TAIL", 2), "Z  ");
    EXPECT_EQ(table.Lookup("DATE", 3), nullptr);
    EXPECT_EQ(table.Lookup("NOSUCH", 1), nullptr);
}

TEST(InfoTable, DerivedNamesAndLookupByRecordNumber) {
    for (const char* name : {"aepoint.e00", "aepoint_double.e00"}) {
        const fs::path path = E00Fixture(name);
        CInfoTable table(path, "PAT");
        // The base name comes from the file name, not the coverage inside.
        const bool isAepoint = path.stem() == "aepoint";
        ASSERT_EQ(table.Open(), isAepoint) << name;
        if (!isAepoint) continue;
        ASSERT_TRUE(table.ReadRecords());
        EXPECT_EQ(table.NameItem(), "NAME");
        EXPECT_EQ(table.ValueItem(), "ELEVVAL");
        EXPECT_EQ(table.TypeItem(), "TYPE");
        EXPECT_EQ(table.AreaItem(), "AREA");
        EXPECT_EQ(table.IdItem(), "AEPOINT-ID");
        EXPECT_EQ(table.RecordItem(), "AEPOINT#");
        EXPECT_FLOAT_EQ(static_cast<float>(table.Lookup("ELEVVAL", 1)->real), 1234.4f);
        EXPECT_EQ(table.Lookup("NAME", 2)->text, "  le mont-blanc     ");
        EXPECT_EQ(table.Lookup("TYPE", 4)->integer, 2);
        EXPECT_EQ(table.Lookup("TYPE", 5), nullptr);
    }
}

TEST(InfoTable, WantedItemsOnlyAndTablesThatDoNotOpen) {
    CInfoTable lines(E00Fixture("lines_double.e00"), "AAT");
    EXPECT_FALSE(lines.Open());  // its table is LINES.AAT
    CInfoTable table(E00Fixture("lines.e00"), "AAT");
    ASSERT_TRUE(table.Open());
    const std::vector<std::string> wanted{"LINEVAL"};
    ASSERT_TRUE(table.ReadRecords(&wanted));
    EXPECT_EQ(table.Lookup("LINEVAL", 4)->integer, 2000);
    EXPECT_EQ(table.Lookup("LINETYPE", 4), nullptr);

    test_support::ScratchFolder folder;
    const fs::path path = folder.Path() / "cut.e00";
    const std::string text = testing::ReadBytes(E00Fixture("lines.e00"));
    testing::WriteBytes(path, text.substr(0, text.find("LENGTH")));
    CInfoTable cut(path, "AAT");
    EXPECT_FALSE(cut.Open());  // ends inside the item lines
    CInfoTable missing(folder.Path() / "none.e00", "AAT");
    EXPECT_FALSE(missing.Open());
    EXPECT_FALSE(missing.ReadRecords());
}

TEST(InfoTable, RecordsCutByTheEndOfTheFileAreDropped) {
    test_support::ScratchFolder folder;
    const fs::path path = folder.Path() / "items.e00";
    const std::string text = testing::ReadBytes(E00Fixture("items.e00"));
    testing::WriteBytes(path, text.substr(0, text.find("1999 7 4") + 20));
    CInfoTable table(path, "PAT");
    ASSERT_TRUE(table.Open());
    ASSERT_TRUE(table.ReadRecords());
    EXPECT_EQ(table.RecordCount(), 1u);
}

TEST(E00Polyline, JoinTriesTheEndPairsInOrder) {
    const auto line = [](std::vector<std::pair<double, double>> points) {
        CE00Polyline l;
        for (const auto& [x, y] : points) l.AddPoint(x, y);
        l.UpdateBounds();
        l.UpdateClosed();
        return l;
    };
    const auto xs = [](const CE00Polyline& l) {
        std::vector<double> v;
        for (const auto& p : l.points) v.push_back(p.x);
        return v;
    };
    const CE00Polyline a = line({{0, 0}, {1, 0}});
    const struct {
        std::vector<std::pair<double, double>> other;
        bool joined;
        std::vector<double> x;
    } cases[] = {
        {{{0, 0}, {-1, 0}, {-2, 0}}, true, {-2, -1, 0, 1}},        // first with first
        {{{1, 0}, {2, 0}}, true, {0, 1, 2}},                       // last with first
        {{{-0.008, 0.006}, {-1, 0}}, true, {-1, 0, 1}},             // at the tolerance
        {{{-2, 0}, {-1, 0}, {0, 0.001}}, true, {-2, -1, 0, 1}},     // first with last
        {{{3, 0}, {2, 0}, {1, 0}}, true, {0, 1, 2, 3}},             // last with last
        {{{-0.009, 0}, {-1, 0}}, false, {0, 1}},                     // 0.009 is too far
    };
    for (const auto& c : cases) {
        CE00Polyline joined = a;
        EXPECT_EQ(joined.Join(line(c.other), false, false), c.joined);
        EXPECT_EQ(xs(joined), c.x);
    }
    CE00Polyline ring = line({{0, 0}, {1, 0}, {1, 1}, {0.005, 0.003}});
    EXPECT_TRUE(ring.closed);
    EXPECT_FALSE(ring.Join(line({{0, 0}, {-1, 0}}), false, false));
    CE00Polyline valued = a;
    CE00Polyline other = line({{1, 0}, {2, 0}});
    other.value = 5;
    EXPECT_FALSE(valued.Join(other, true, false));
    other.value = 0;
    other.coverageId = 3;
    EXPECT_FALSE(valued.Join(other, true, true));
    EXPECT_TRUE(valued.Join(other, true, false));
    EXPECT_EQ(valued.bounds, (core::GeoBox{0, 0, 2, 0}));
}

}  // namespace
}  // namespace quorlin
