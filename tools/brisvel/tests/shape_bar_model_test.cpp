// The shape bar's rules without a window: stepping, finding, adding one or
// all, the entry list, Reset, and what the bar shows for each kind of file.
#include "tools/brisvel/shape_bar_model.h"

#include <gtest/gtest.h>

#include <memory>

#include "testing/scratch_folder.h"
#include "tools/brisvel/tests/brisvel_test_support.h"

namespace brisvel {
namespace {

namespace fs = std::filesystem;
using testing::Fixture;

constexpr char kEndQuestion[] = "Reached end of file. Do you want to start from beginning?";

class ShapeBarModelTest : public ::testing::Test {
  protected:
    ShapeBarModelTest() { bar_.SetRedraw([this] { ++redraws_; }); }

    // Points named A, b, a, (null), C, "" and A again.
    fs::path Points() {
        Fixture points(scratch_ / "points", "point");
        points.Add("1 1", "A").Add("2 2", "b").Add("3 3", "a").Add("", "").Add("4 4", "C").Add("5 5", "").Add("6 6", "A");
        EXPECT_TRUE(points.Ok());
        return points.Shp();
    }
    // Squares named Wood, (none), Wood, Pond, wood pasture, and a polygon of
    // three points.
    fs::path Areas() {
        Fixture areas(scratch_ / "areas", "polygon");
        for (const char* name : {"Wood", "", "Wood", "Pond", "wood pasture"})
            areas.Add("0 0 0 1 1 1 1 0 0 0", name);
        areas.Add("0 0 0 1 1 0", "Sliver");
        EXPECT_TRUE(areas.Ok());
        return areas.Shp();
    }
    CShapeDocument& Open(const fs::path& shp) {
        document_ = std::make_unique<CShapeDocument>(frame_, prompts_);
        EXPECT_TRUE(bar_.OpenDocument(*document_, shp));
        return *document_;
    }
    std::vector<std::string> AddedNames() const {
        std::vector<std::string> names;
        for (const auto& object : document_->Added()) names.push_back(object->name);
        return names;
    }

    test_support::ScratchFolder scratch_{"kv-brisvel-bar"};
    FrameBounds frame_;
    testing::ScriptedPrompts prompts_;
    ShapeBarModel bar_{prompts_, 2};
    std::unique_ptr<CShapeDocument> document_;
    int redraws_ = 0;
};

TEST_F(ShapeBarModelTest, OpeningShowsTheFirstShapeWithTheDefaultSymbolSelected) {
    auto& document = Open(Points());
    EXPECT_EQ(bar_.CounterText(), "Shape 1 of 7");
    EXPECT_EQ(bar_.EntryText(), "A");
    EXPECT_EQ(bar_.Fields(), (std::vector<ListItem>{{"NAME", 0}}));
    ASSERT_EQ(bar_.ListItems().size(), 19U);  // -5, 1..15, two user symbols, 100
    EXPECT_EQ(bar_.ListItems().front(), (ListItem{"-5", -5}));
    EXPECT_EQ(bar_.ListItems()[16], (ListItem{"16", 16}));
    EXPECT_EQ(bar_.ListItems().back(), (ListItem{"100", 100}));
    EXPECT_EQ(bar_.ListText(), "100");
    EXPECT_EQ(document.CurrentObject()->name, "A");
}

TEST_F(ShapeBarModelTest, NextPastTheEndStartsAgainOnYesAndStaysOnNo) {
    auto& document = Open(Points());
    for (int i = 0; i < 5; ++i) bar_.Next();
    EXPECT_EQ(document.CurrentIndex(), 6);
    prompts_.answers = {false};
    bar_.Next();
    EXPECT_EQ(prompts_.said.back(), std::string("Go to next shape? ") + kEndQuestion);
    EXPECT_EQ(document.CurrentIndex(), 6);
    EXPECT_EQ(bar_.EntryText(), "A");
    ASSERT_NE(document.CurrentObject(), nullptr);
    prompts_.answers = {true};
    bar_.Next();
    EXPECT_EQ(document.CurrentIndex(), 0);
    EXPECT_EQ(bar_.CounterText(), "Shape 1 of 7");
}

TEST_F(ShapeBarModelTest, FindNextLooksForTheEntryIgnoringCaseAndWrapsAround) {
    auto& document = Open(Points());
    bar_.FindNext();
    EXPECT_EQ(document.CurrentIndex(), 2);  // "a"
    bar_.FindNext();
    EXPECT_EQ(document.CurrentIndex(), 6);
    prompts_.said.clear();
    bar_.FindNext();
    EXPECT_EQ(prompts_.said, (std::vector<std::string>{std::string("Find matching shape? ") + kEndQuestion}));
    EXPECT_EQ(document.CurrentIndex(), 0);
    // No stops on the last shape.
    prompts_.answers = {false};
    bar_.EditEntry("zzz");
    bar_.FindNext();
    EXPECT_EQ(document.CurrentIndex(), 6);
}

TEST_F(ShapeBarModelTest, SearchNextRefusesAnEmptyTextAndFindsTextsContainingIt) {
    auto& document = Open(Areas());
    bar_.SetSearchText("   ");
    bar_.SearchNext();
    EXPECT_EQ(prompts_.said, (std::vector<std::string>{"Search Error: Search text cannot be empty"}));
    EXPECT_EQ(bar_.SearchText(), "Wood");
    EXPECT_EQ(document.CurrentIndex(), 0);
    bar_.SetSearchText(" WOOD ");
    bar_.SearchNext();
    EXPECT_EQ(document.CurrentIndex(), 2);
    bar_.SearchNext();
    EXPECT_EQ(document.CurrentIndex(), 4);  // "wood pasture"
    // Nothing matches: the search ends however often it is told to go on.
    bar_.SetSearchText("heath");
    bar_.SearchNext();
    EXPECT_NE(document.CurrentObject(), nullptr);
    EXPECT_GE(document.CurrentIndex(), 0);
}

TEST_F(ShapeBarModelTest, AllAsksItsQuestionsAndCanExcludeUnnamedShapes) {
    Open(Areas());
    prompts_.answers = {true, false, true};
    bar_.All();
    EXPECT_EQ(prompts_.said,
              (std::vector<std::string>{
                  "Add all shapes? Are you sure you want to add all remaining shapes in the file?",
                  "Add all shapes? Do you want to add only shapes matching current database entry?",
                  "Add all shapes? Do you want to EXCLUDE UN-NAMED shapes?",
                  "Add All result: Added 4 shapes\n1 shapes were skipped: they make no map object"}));
    EXPECT_EQ(AddedNames(), (std::vector<std::string>{"Wood", "Wood", "Pond", "wood pasture"}));
    EXPECT_TRUE(document_->IsModified());
    EXPECT_EQ(document_->CurrentObject(), nullptr);
}

TEST_F(ShapeBarModelTest, AllCanAddOnlyShapesMatchingTheEntry) {
    Open(Areas());
    prompts_.answers = {true, true};
    const int before = redraws_;
    bar_.All();
    EXPECT_EQ(AddedNames(), (std::vector<std::string>{"Wood", "Wood"}));
    EXPECT_EQ(prompts_.said.back(), "Add All result: Added 2 shapes\n1 shapes were skipped: they make no map object");
    EXPECT_EQ(redraws_ - before, 1);
}

TEST_F(ShapeBarModelTest, AllOnPointsAsksOnlyOnceAndNoStopsIt) {
    Open(Points());
    prompts_.answers = {false};
    bar_.All();
    EXPECT_TRUE(document_->Added().empty());
    prompts_.said.clear();
    bar_.All();
    EXPECT_EQ(prompts_.said.size(), 2U);
    EXPECT_EQ(prompts_.said.back(), "Add All result: Added 6 shapes");
    // Groups: A, b (a shares A's group), C, NONAME.
    EXPECT_EQ(document_->Groups(), (std::vector<std::string>{"A", "b", "C", "NONAME"}));
}

TEST_F(ShapeBarModelTest, SearchAddAllAddsTheShapesContainingTheSearchText) {
    Open(Areas());
    bar_.SetSearchText(" wood ");
    bar_.SearchAddAll();
    EXPECT_EQ(prompts_.said.front(),
              "Add all matching shapes? Are you sure you want to add all remaining matching shapes in the file?");
    EXPECT_EQ(AddedNames(), (std::vector<std::string>{"Wood", "Wood", "wood pasture"}));
}

TEST_F(ShapeBarModelTest, AddTakesTheSymbolElevationInFeetAndNote) {
    Fixture peaks(scratch_ / "peaks", "pointz");
    peaks.Add("-z 7 46 3280.8", "Peak").Add("-z 8 47 100", "Hut");
    ASSERT_TRUE(peaks.Ok());
    Open(peaks.Shp());
    EXPECT_EQ(bar_.ElevationLabel(), "Elevation: 3281 [m]");
    bar_.SetFeet(true);
    EXPECT_EQ(bar_.ElevationLabel(), "Elevation: 3281 [f]");
    bar_.TypeListEntry("17");
    EXPECT_EQ(bar_.ListSelection(), 17);
    bar_.EditNote("steep\nsummit");
    bar_.Add();
    ASSERT_EQ(document_->Added().size(), 1U);
    const auto& peak = dynamic_cast<const CSymbolObject&>(*document_->Added()[0]);
    EXPECT_EQ(peak.symbol, 17);
    EXPECT_NEAR(peak.elevation, 1000.0, 0.01);
    EXPECT_EQ(peak.note, "steep\\summit");
    EXPECT_EQ(bar_.Note(), "");
    EXPECT_EQ(bar_.EntryText(), "Hut");
    // The next object keeps the symbol chosen.
    EXPECT_EQ(dynamic_cast<const CSymbolObject*>(document_->CurrentObject())->symbol, 17);
}

TEST_F(ShapeBarModelTest, ASymbolNumberThatCannotBeUsedIsRefused) {
    Open(Points());
    bar_.TypeListEntry("18");  // 15 built-in and 2 user symbols
    bar_.Add();
    EXPECT_EQ(prompts_.said, (std::vector<std::string>{": This symbol number cannot be used"}));
    EXPECT_TRUE(document_->Added().empty());
    EXPECT_FALSE(document_->IsModified());
}

TEST(ValidateSymbolEntry, AcceptsTheListsNumbers) {
    struct Case {
        const char* text;
        bool colour;
        int users;
        bool ok;
    };
    for (const Case c : {Case{"-5", false, 0, true}, Case{"100", false, 0, true}, Case{"15", false, 0, true},
                         Case{"16", false, 0, false}, Case{"16", false, 1, true}, Case{"0", false, 0, false},
                         Case{"-4", false, 0, false}, Case{"x", false, 0, false}, Case{"1", true, 0, true},
                         Case{"16", true, 0, true}, Case{"0", true, 0, false}, Case{"17", true, 0, false},
                         Case{" 7 ", true, 0, true}, Case{"7a", true, 0, false}}) {
        EXPECT_EQ(ValidateSymbolEntry(c.text, c.colour, c.users), c.ok) << c.text << " " << c.colour;
    }
}

TEST_F(ShapeBarModelTest, ListOffersEachTextOnceUnlessAnEarlierOneBeginsWithIt) {
    Fixture roads(scratch_ / "roads", "arc");
    for (const char* name : {"Main", "Road 1", "road", "River", "Ro", "", "Main"})
        roads.Add("0 0 1 1", name);
    ASSERT_TRUE(roads.Ok());
    Open(roads.Shp());
    bar_.List();
    EXPECT_EQ(bar_.EntryChoices(), (std::vector<std::string>{"Road 1", "River", "Main"}));
}

TEST_F(ShapeBarModelTest, ColoursSelectTheObjectsColourAndStyle) {
    Open(Areas());
    EXPECT_TRUE(bar_.ColourMode());
    ASSERT_EQ(bar_.ListItems().size(), 16U);
    EXPECT_EQ(bar_.ListText(), "2");  // black
    bar_.SelectListEntry(4);
    bar_.SetNoFill(true);
    bar_.SetWideLine(true);
    const auto* poly = dynamic_cast<const CPolyObject*>(document_->CurrentObject());
    EXPECT_EQ(poly->colourNumber, 5);
    EXPECT_EQ(poly->colourValue, 0x800000U);
    EXPECT_TRUE(poly->noFill);
    EXPECT_EQ(poly->lineWidth, 3);
    EXPECT_EQ(bar_.Layout().caption, "Line Color");
    bar_.Next();
    poly = dynamic_cast<const CPolyObject*>(document_->CurrentObject());
    EXPECT_EQ(poly->colourNumber, 5);
    EXPECT_EQ(poly->lineWidth, 3);
}

TEST_F(ShapeBarModelTest, TheControlsShownFollowTheKindOfFile) {
    EXPECT_EQ(bar_.Layout(), BarLayout{});
    EXPECT_EQ(bar_.CounterText(), " Shape 0 of unknown");
    Open(Areas());
    BarLayout polygon;
    polygon.listCaption = polygon.noFill = true;
    polygon.caption = "Fill Color";
    EXPECT_EQ(bar_.Layout(), polygon);
    Open(Points());
    BarLayout point;
    point.listCaption = point.note = point.setFont = true;
    point.caption = "Map Symbol";
    EXPECT_EQ(bar_.Layout(), point);
    EXPECT_EQ(ElevationText(-8000.0F, false), "Elevation: ------");
    EXPECT_EQ(ElevationText(512.4F, true), "Elevation: 512 [f]");
}

TEST_F(ShapeBarModelTest, ResetReopensTheFileKeepingFieldAndBoundsAfterOfferingToSave) {
    ASSERT_TRUE(testing::Run("shpcreate " + testing::Quote((scratch_ / "two").string()) + " point"));
    ASSERT_TRUE(testing::Run("dbfcreate " + testing::Quote((scratch_ / "two").string()) + " -s NAME 10 -s KIND 10"));
    ASSERT_TRUE(testing::Run("shpadd " + testing::Quote((scratch_ / "two").string()) + " 1 1"));
    ASSERT_TRUE(testing::Run("dbfadd " + testing::Quote((scratch_ / "two").string()) + " Hill peak"));
    auto& document = Open(scratch_ / "two.shp");
    bar_.SelectField(1);
    EXPECT_EQ(bar_.EntryText(), "peak");
    bar_.Add();
    const core::GeoBox bounds = document.WriteBounds();
    prompts_.answers = {false};
    bar_.Reset();
    EXPECT_EQ(prompts_.said.front().substr(0, 10), "Save file?");
    EXPECT_EQ(bar_.Document(), &document);
    EXPECT_EQ(bar_.FieldSelection(), 1);
    EXPECT_EQ(bar_.EntryText(), "peak");
    EXPECT_EQ(document.WriteBounds(), bounds);
    EXPECT_TRUE(document.Added().empty());
    EXPECT_EQ(document.CurrentIndex(), 0);
}

TEST_F(ShapeBarModelTest, WithoutADocumentEveryCommandDoesNothing) {
    auto& document = Open(Points());
    bar_.CloseDocument(document);
    EXPECT_EQ(bar_.Document(), nullptr);
    prompts_.said.clear();
    bar_.Next();
    bar_.Add();
    bar_.All();
    bar_.FindNext();
    bar_.SearchNext();
    bar_.SearchAddAll();
    bar_.List();
    bar_.Reset();
    bar_.SelectListEntry(1);
    EXPECT_TRUE(prompts_.said.empty());
    EXPECT_EQ(bar_.CounterText(), " Shape 0 of unknown");
}

}  // namespace
}  // namespace brisvel
