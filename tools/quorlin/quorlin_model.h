#pragma once
// The main dialog's whole state as a plain struct, and its commands as the
// functions of QuorlinModel. The window exchanges control values with the
// state and calls the commands; every question, message, chooser and the
// progress line go through QuorlinUi, so tests run the commands without a
// display. UI thread only.
//
// While an operation runs (busy > 0) every command returns at once and the
// dialog refuses to close.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/geo_box.h"
#include "platform/settings_store.h"
#include "tools/quorlin/control_layout.h"
#include "tools/quorlin/grid_record.h"
#include "tools/quorlin/info_table.h"
#include "tools/quorlin/quorlin_settings.h"
#include "tools/quorlin/quorlin_ui.h"
#include "tools/quorlin/threshold_fill.h"

namespace quorlin {

// The rectangle chart conversions keep, longitudes positive west.
// A chart layer's own bounds from its "BND" table (XMIN, YMIN, XMAX, YMAX
// of its first record, east-positive degrees); nothing when the table does
// not open or lacks one of the four.
std::optional<core::GeoBox> ReadLayerBounds(const std::filesystem::path& e00);

// The grid's edges as a box; the header keeps its longitudes positive west.
inline core::GeoBox GridBox(const ElevationGridHeader& g) { return {-g.west, g.south, -g.east, g.north}; }

// When a chart layer has no bounds table its file bounds are the whole
// world, in single-precision degrees (179.99899291992188 and the like).
inline constexpr float kWorldLongitude = 179.999f, kWorldLatitude = 89.999f;

inline constexpr char kNoBoundsTable[] = "Cannot find bounds data base.\r\n\r\nYou need to set your own";
inline constexpr char kBoundsChanged[] = "File Boundaries changed.\r\n\r\n    Do you want to reset Output Bounds?";

struct QuorlinState {
    std::filesystem::path inputPath, outputPath;
    std::filesystem::path mapOutputPath;    // the outline conversion's text map
    std::filesystem::path calibrationPath;  // the ".flt" of the last colour bitmap
    int inputType = kNoInput;
    LayerFlags layer;
    ElevationGridHeader grid;
    bool headerLoaded = false;  // a header file was read for the input
    HeaderTexts texts;
    bool rowColumnEditsEnabled = false;

    bool thresholdOn = false;
    std::string thresholdText;  // edit 1014 as typed
    float threshold = 0.0f;
    bool drawBorders = false;
    int borderColourIndex = 2;  // 1..16
    bool cornerContinuous = true;
    float lineTolerance = 0.5f;  // km, 0.01..100
    bool deleteBitmaps = true;
    bool centrePixel = false;
    bool simplify = false;
    bool fillClosed = false;
    bool removeLonLat = true;
    bool separateLayer = false;  // check box 1068

    core::GeoBox outputBounds{0.0, 0.0, 0.0, 0.0};  // a zero edge: not chosen yet
    bool resetOutputBounds = true;
    double mapScale = 1000.0;

    int mapColourIndex = 0;
    Bgr mapColour;
    bool showElevationStrip = true;

    ThresholdIndices thresholdIndices;  // picked by every fill and up/down step

    int busy = 0;
    QuorlinOptions options;  // replaceMissing and its value are check box 1099 and edit 1069
};

// Filters of the file dialogs.
inline constexpr char kDataFileFilter[] =
    "Data Files (*.bin *.hgt *.dem *.asc)|*.bin; *.hgt; *.dem; *.asc|Plot Files (*.plt)|*.plt|"
    "ArcInfo Files (*.e00)|*.e00|All Files (*.*)|*.*||";
inline constexpr char kGridOutputFilter[] =
    "Bitmap Files (*.bmp)|*.bmp|DEM Data Files (*.bin)|*.bin|All Files (*.*)|*.*||";
inline constexpr char kMapOutputFilter[] = "Map Files (*.map)|*.map|All Files (*.*)|*.*||";
inline constexpr char kAnyOutputFilter[] =
    "Bitmap Files (*.bmp)|*.bmp|DEM Data Files (*.bin)|*.bin|Map Files (*.map)|*.map|"
    "All Files (*.*)|*.*||";
inline constexpr char kHeaderFileFilter[] = "Data Header Files (*.hdr)|*.hdr|All Files (*.*)|*.*||";

class QuorlinModel {
  public:
    // Reads the kept options from the store.
    QuorlinModel(platform::SettingsStore& settings, QuorlinUi& ui);

    QuorlinState state;

    // What OnInitDialog does after its windows exist.
    void Initialise();
    bool CanClose() const { return state.busy == 0; }
    ControlLayout Layout() const;

    void OnGetDataFile();
    // Get Data File after the file dialog: the input chosen.
    void LoadInput(const std::filesystem::path& path);
    void OnSetOutputFile();
    void OnConvert();
    // "Generate Up-Down files" for a bitmap input.
    void OnGenerateUpDown();
    void OnThresholdCheck(bool checked);
    void OnThresholdChange(const std::string& text);
    void OnChangeColors();
    void OnSetMapColor();
    void OnChangeLevels();
    void ApplyThresholds();
    void OnExtract();
    void OnCreateEmptyGrid();
    void OnInsert();
    // False when the user cancelled a corner.
    bool SetOutputBounds();
    // The attribute table read when the chart layer was chosen; null when
    // there is none.
    const CInfoTable* LayerTable() const { return layerTable_.get(); }

  private:
    void RefreshMapColour(float elevation);
    // The checks every grid output passes first; false stops.
    bool CheckGridOutput(const char* extension, const char* question);
    void ConvertAsciiGrid();
    void ConvertToBitmap();
    void ConvertToThresholdBitmap();
    void ConvertOutlines();
    void ConvertChartLayer();
    // The corner entry of SetOutputBounds, also run while busy.
    bool EnterOutputBounds();
    // The file bounds of a chart layer from its bounds table, or entered by
    // the user; false when the user cancelled the entry.
    bool FindLayerBounds();
    // The layer's attribute table, read once when the file is chosen.
    void LoadLayerTable();

    platform::SettingsStore& settings_;
    QuorlinUi& ui_;
    std::unique_ptr<CInfoTable> layerTable_;
};

// The threshold's edit text padded with '0' on the left to 4 characters.
std::string PaddedThreshold(const std::string& text);

}  // namespace quorlin
