// Quorlin's dialogs under a display: the main dialog for every input type,
// a conversion driven through it, the busy rule, and the small dialogs with
// their checks. Screenshots go to <build>/screenshots for review.
#include "tools/quorlin/gui/quorlin_dialog.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <memory>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/gui/quorlin_forms.h"
#include "tools/quorlin/resources/ids/quorlin.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;
namespace e00_ids = xrc::quorlin::e00_page;
namespace form_ids = xrc::quorlin::input_form_template;
namespace main_ids = xrc::quorlin::main_dialog;
namespace threshold_ids = xrc::quorlin::thresholds_template;

const fs::path kShots = KV_BINARY_DIR "/screenshots";

class QuorlinDialogTest : public ::testing::Test {
  protected:
    QuorlinDialogTest()
        : resources_(std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString,
                                                                           &ResourceImage)),
          store_(scratch_ / "settings") {}

    std::unique_ptr<CQuorlinDlg> Open() {
        auto dialog = std::make_unique<CQuorlinDlg>(nullptr, store_);
        EXPECT_TRUE(dialog->Loaded());
        dialog->InitDialog();
        return dialog;
    }

    void Type(wxWindow& window, int id, const char* text) {
        auto* edit = dynamic_cast<wxTextCtrl*>(window.FindWindow(id));
        ASSERT_NE(edit, nullptr) << id;
        edit->SetValue(text);
    }

    // A hypsography layer with nothing but its bounds table.
    fs::path ChartLayer() {
        std::string name = "EUROPE_HYNET.BND";
        name.resize(32, ' ');
        std::string text = "EXP  0 /DATA/EUROPE_HYNET.E00\nIFO  2\n" + name + "XX   4   4  16         1\n";
        int column = 1;
        for (const char* item : {"XMIN", "YMIN", "XMAX", "YMAX"}) {
            std::string line = item;
            line.resize(16, ' ');
            text += line + platform::FormatC("  4-1%4d4-1  12 3 60-1  -1  -1-1                %4d-\n",
                                             column, column / 4 + 1);
            column += 4;
        }
        text += " 6.5000000E+00 4.5500000E+01 8.5000000E+00 4.7500000E+01\nEOI\nEOS\n";
        return scratch_.Write("europe_hynet.e00", text);
    }

    fs::path AsciiGrid(int rows) {
        std::string text = "ncols 3\nnrows " + std::to_string(rows) + "\nxllcorner 7\nyllcorner 46\ncellsize 0.1\nNODATA_value -9999\n";
        for (int r = 0; r < rows; ++r) text += std::to_string(100 * r) + " 200 -9999\n";
        return scratch_.Write("grid.asc", text);
    }

    test_support::ScratchFolder scratch_{"kv-quorlin-gui"};
    platform::gui::ResourceBundleInstallation resources_;
    platform::SettingsStore store_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(QuorlinDialogTest, EachInputTypeLaysOutTheDialog) {
    auto dialog = Open();
    EXPECT_EQ(dialog->GetTitle(), "Morvist");
    EXPECT_TRUE(dialog->GetIcon().IsOk());
    scratch_.Write("alps.hdr", "left_map_x =7\nright_map_x =8\nupper_map_y =47\nlower_map_y =46\n"
                               "number_of_rows =2\nnumber_of_columns =2\nelev_m_min =100\nelev_m_max =200\n");
    const fs::path inputs[] = {scratch_.Write("alps.bin", std::string(8, '\0')), scratch_.Write("pic.bmp", ""),
                               scratch_.Write("alps_0150.plt", ""), ChartLayer(),
                               AsciiGrid(2)};
    for (int type = 1; type <= 5; ++type) {
        dialog->ChooseInput(inputs[type - 1]);
        EXPECT_EQ(dialog->Model().state.inputType, type);
        EXPECT_TRUE(platform::gui::SaveScreenshot(*dialog, kShots / ("quorlin_type" + std::to_string(type) + ".png")));
        if (type == kChartLayer) {
            EXPECT_TRUE(dynamic_cast<wxCheckBox*>(dialog->FindWindow(main_ids::kFillClosed))
                            ->GetValue());  // a hypsography network fills
            EXPECT_EQ(dialog->FindWindow(main_ids::kSetOutputFile)->GetLabel(), "Set Map File");
            EXPECT_EQ(dialog->FindWindow(main_ids::kNorthText)->GetLabel(),
                      "47.500N");  // from the layer's bounds table
            EXPECT_EQ(dialog->Model().state.outputBounds.west, 6.5);
        }
    }
    dialog->ChooseInput(inputs[0]);
    EXPECT_TRUE(dialog->FindWindow(main_ids::kExtract)->IsShown());  // Extract for a complete grid
    EXPECT_EQ(dialog->FindWindow(main_ids::kNorthText)->GetLabel(), "47.000N");
    EXPECT_EQ(dialog->FindWindow(main_ids::kHighest)->GetLabel(), "200");
    dynamic_cast<wxCheckBox*>(dialog->FindWindow(main_ids::kThreshold))->SetValue(true);
    Type(*dialog, main_ids::kThresholdEdit, "300");
    wxCommandEvent check(wxEVT_CHECKBOX, main_ids::kThreshold);
    check.SetInt(1);
    dialog->GetEventHandler()->ProcessEvent(check);
    EXPECT_EQ(dialog->Model().state.outputPath, scratch_ / "alps_0300.bmp");
    EXPECT_FALSE(dialog->FindWindow(main_ids::kExtract)->IsShown());
    EXPECT_TRUE(dialog->FindWindow(main_ids::kCornerContinuous)->IsShown());
}

TEST_F(QuorlinDialogTest, AConversionThroughTheDialogWritesItsFiles) {
    auto dialog = Open();
    dialog->ChooseInput(AsciiGrid(3));
    dialog->ChooseOutput(scratch_ / "out.bin");
    Type(*dialog, main_ids::kReplacement, "-7");
    dynamic_cast<wxCheckBox*>(dialog->FindWindow(main_ids::kReplaceMissing))->SetValue(true);
    dialog->Convert();
    EXPECT_TRUE(boxes_->Boxes().empty()) << boxes_->Boxes()[0].text;
    EXPECT_EQ(testing::ReadBytes(scratch_ / "out.bin").size(), 18u);
    EXPECT_EQ(SampleAt(testing::ReadBytes(scratch_ / "out.bin"), 2, true), -7);
    EXPECT_TRUE(fs::exists(scratch_ / "out.hdr"));
    EXPECT_EQ(store_.GetInt("Settings", "replaceMissingValue", 0), static_cast<std::uint32_t>(-7));

    // Bad numbers are refused before anything starts.
    Type(*dialog, main_ids::kReplacement, "40000");
    fs::remove(scratch_ / "out.bin");
    dialog->Convert();
    EXPECT_FALSE(fs::exists(scratch_ / "out.bin"));
    EXPECT_EQ(boxes_->Boxes().size(), 1u);
}

TEST_F(QuorlinDialogTest, ARetrievalErrorIsShownInABoxCaptionedFileError) {
    std::string text = testing::ReadBytes(testing::DataFolder() / "e00/hynet.e00");
    const std::string last = "          4         14";  // the record of arc 4 renumbered
    text.replace(text.find(last), last.size(), "          9         14");
    auto dialog = Open();
    dialog->ChooseInput(scratch_.Write("hynet.e00", text));
    dialog->Model().state.resetOutputBounds = false;
    dialog->Convert();
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text, L"Error in data retrieval (line 921)");
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"File Error");
    EXPECT_FALSE(fs::exists(scratch_ / "hynet.map"));
    EXPECT_EQ(dialog->FindWindow(main_ids::kProgress)->GetLabel(), "");
}

// A grid without its xllcorner line is refused in a box naming the file and
// the line; an E00 layer whose table is cut short is asked about, and No
// writes nothing.
TEST_F(QuorlinDialogTest, DamagedInputsAreToldInBoxes) {
    auto dialog = Open();
    dialog->ChooseInput(scratch_.Write("nox.asc", "ncols 2\nnrows 1\nyllcorner 46\ncellsize 1\nNODATA_value -9\n1 2\n"));
    dialog->Convert();
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text,
              L"Error Reading Data file header\n\nFile: nox.asc\nIts header gives no \"xllcorner\" value.");
    EXPECT_FALSE(fs::exists(scratch_ / "nox.bin"));
    EXPECT_FALSE(fs::exists(scratch_ / "nox.hdr"));

    std::string text = testing::ReadBytes(testing::DataFolder() / "e00/rdline.e00");
    text.resize(text.find("          6          7"));  // the last arc's table record
    dialog->ChooseInput(scratch_.Write("rdline.e00", text));
    dialog->Model().state.resetOutputBounds = false;
    const std::size_t before = boxes_->Boxes().size();
    boxes_->QueueAnswer(platform::kIdNo);
    dialog->Convert();
    ASSERT_EQ(boxes_->Boxes().size(), before + 1);
    EXPECT_EQ(boxes_->Boxes().back().caption, L"Damaged input file");
    EXPECT_FALSE(fs::exists(scratch_ / "rdline.map"));
    EXPECT_EQ(dialog->FindWindow(main_ids::kProgress)->GetLabel(), "");
}

TEST_F(QuorlinDialogTest, CloseAndSecondConvertAreRefusedWhileConverting) {
    auto dialog = Open();
    dialog->Show();
    dialog->ChooseInput(AsciiGrid(400));
    dialog->ChooseOutput(scratch_.Write("out.bin", "old"));
    // Waiting in the queue, they arrive while the conversion pumps events.
    dialog->GetEventHandler()->QueueEvent(new wxCloseEvent(wxEVT_CLOSE_WINDOW, dialog->GetId()));
    dialog->GetEventHandler()->QueueEvent(new wxCommandEvent(wxEVT_BUTTON, main_ids::kConvert));
    dialog->Convert();
    ASSERT_EQ(boxes_->Boxes().size(), 1u);  // the one overwrite question
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_EQ(testing::ReadBytes(scratch_ / "out.bin").size(), 400u * 3u * 2u);
    EXPECT_TRUE(dialog->FindWindow(main_ids::kConvert)->IsEnabled());
    EXPECT_TRUE(dialog->FindWindow(main_ids::kGetDataFile)->IsEnabled());
    EXPECT_EQ(dialog->FindWindow(main_ids::kProgress)->GetLabel(), "");
    EXPECT_TRUE(dialog->RequestClose());
}

TEST_F(QuorlinDialogTest, SmallDialogsCheckWhatIsTyped) {
    CThresholdsDlg levels(nullptr, store_);
    ASSERT_TRUE(levels.Loaded());
    EXPECT_EQ(levels.FindWindow(threshold_ids::kFirstCurrentLevel)->GetLabel(), "75");
    EXPECT_TRUE(platform::gui::SaveScreenshot(levels, kShots / "quorlin_thresholds.png"));
    Type(levels, threshold_ids::kFirstLevel + 2, "150");
    EXPECT_FALSE(levels.Accept());
    ASSERT_EQ(boxes_->Boxes().size(), 1u);
    EXPECT_EQ(boxes_->Boxes()[0].text, L"Thresholds have to change monotonically");
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"Elevation error");
    Type(levels, threshold_ids::kFirstLevel + 2, "310");
    EXPECT_TRUE(levels.Accept());
    EXPECT_EQ(store_.GetInt("colors", "tl2", 0), 310u);

    CInputFormDlg number(nullptr, CInputFormDlg::kNumber, "Enter median altitude for this color");
    ASSERT_TRUE(number.Loaded());
    number.number = 150;
    number.ShowValues();
    EXPECT_EQ(number.GetTitle(), "Input number");
    EXPECT_TRUE(platform::gui::SaveScreenshot(number, kShots / "quorlin_input_number.png"));

    CInputFormDlg corner(nullptr, CInputFormDlg::kCoordinates, "\nEnter NORTH-WEST corner coordinates");
    ASSERT_TRUE(corner.Loaded());
    corner.coordinates = SplitCoordinates({-7.25, -45.5});
    corner.ShowValues();
    EXPECT_TRUE(dynamic_cast<wxRadioButton*>(corner.FindWindow(form_ids::kSouth))->GetValue());
    EXPECT_TRUE(dynamic_cast<wxRadioButton*>(corner.FindWindow(form_ids::kEast))->GetValue());
    EXPECT_TRUE(platform::gui::SaveScreenshot(corner, kShots / "quorlin_input_coordinates.png"));
    Type(corner, form_ids::kLatMinutes, "-1");
    EXPECT_FALSE(corner.Accept());
    EXPECT_EQ(boxes_->Boxes().back().text, L"All numbers must be positive");
    Type(corner, form_ids::kLatMinutes, "30");
    EXPECT_TRUE(corner.Accept());
    ASSERT_TRUE(JoinCoordinates(corner.coordinates));
    EXPECT_DOUBLE_EQ(JoinCoordinates(corner.coordinates)->latitude, -45.5);
}

TEST_F(QuorlinDialogTest, OptionsSheetKeepsItsPages) {
    QuorlinOptions options;
    COptionsSheet sheet(nullptr, store_, options);
    ASSERT_TRUE(sheet.Loaded());
    EXPECT_EQ(sheet.GetTitle(), "Program Options");
    EXPECT_TRUE(platform::gui::SaveScreenshot(sheet, kShots / "quorlin_options_e00.png"));
    sheet.SelectPage(1);
    EXPECT_TRUE(platform::gui::SaveScreenshot(sheet, kShots / "quorlin_options_landcover.png"));
    sheet.SelectPage(0);
    Type(sheet, e00_ids::kLakesColour, "17");
    EXPECT_FALSE(sheet.Accept());
    wxCommandEvent reset(wxEVT_BUTTON, e00_ids::kResetE00);
    sheet.FindWindow(e00_ids::kResetE00)->GetEventHandler()->ProcessEvent(reset);
    Type(sheet, e00_ids::kRiversColour, "0");  // rivers take any number
    EXPECT_TRUE(sheet.Accept());
    EXPECT_EQ(store_.GetInt("E00Options", "quadSize", 0), 2u);
    EXPECT_EQ(store_.GetInt("colors", "riversColor", 9), 0u);
    sheet.SetLandCover(14, 0x00FF00);
    EXPECT_EQ(store_.GetInt("LandCovers", "color14", 0), 0x00FF00u);
}

}  // namespace
}  // namespace quorlin
