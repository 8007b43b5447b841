#include "tools/quorlin/quorlin_model.h"

#include <algorithm>
#include <system_error>

#include "platform/numbers.h"
#include "tools/quorlin/grid_files.h"

namespace quorlin {
namespace {

constexpr char kSettingsSection[] = "Settings";

// Up to the last '.' of the name; the whole path without one.
std::filesystem::path Stem(const std::filesystem::path& path) {
    return path.parent_path() / FileStem(path);
}

std::filesystem::path WithSuffix(const std::filesystem::path& stem, const std::string& suffix) {
    return std::filesystem::path(stem.string() + suffix);
}

}  // namespace

std::string PaddedThreshold(const std::string& text) {
    std::string padded(text.size() >= 4 ? 0 : 4 - text.size(), '0');
    padded += text;
    return padded;
}

// "_" + the padded threshold + ".bmp", built without a concatenation that
// GCC misreads at -O3.
static std::string ThresholdSuffix(const std::string& text) {
    std::string suffix("_");
    suffix += PaddedThreshold(text);
    suffix += ".bmp";
    return suffix;
}

QuorlinModel::QuorlinModel(platform::SettingsStore& settings, QuorlinUi& ui) : settings_(settings), ui_(ui) {
    state.options = LoadQuorlinOptions(settings_);
    state.mapColour = state.options.colours[0];
    state.removeLonLat = settings_.GetInt(kSettingsSection, "removeLonLat", 1) != 0;
}

void QuorlinModel::Initialise() { ApplyThresholds(); }

ControlLayout QuorlinModel::Layout() const {
    return LayoutControlsForInputType(
        {state.inputType, state.layer, state.grid.complete, state.thresholdOn, state.fillClosed});
}

void QuorlinModel::ApplyThresholds() {
    state.options.thresholds = LoadThresholds(settings_, state.options.thresholds);
}

void QuorlinModel::OnGetDataFile() {
    if (state.busy) return;
    FileChoice choice;
    choice.filter = kDataFileFilter;
    const int remembered = static_cast<int>(settings_.GetInt(kSettingsSection, "inputType", 0));
    choice.filterIndex = remembered > 0 ? remembered : 1;
    const auto chosen = ui_.ChooseOpenFile(choice);
    if (!chosen) return;
    settings_.WriteInt(kSettingsSection, "inputType", static_cast<std::uint32_t>(chosen->filterIndex));
    LoadInput(chosen->path);
}

void QuorlinModel::LoadInput(const std::filesystem::path& path) {
    QuorlinState& s = state;
    s.layer = LayerFlags{};
    s.inputPath = path;
    layerTable_.reset();
    const std::string extension = Lower(FileExtension(path));
    const double west = s.grid.west, east = s.grid.east, south = s.grid.south, north = s.grid.north;
    const HeaderTexts oldTexts = s.texts;
    s.grid = ElevationGridHeader{};
    s.texts = UnknownTexts();
    if (extension == "e00") {
        // A chart layer keeps the bounds until its own are found.
        s.grid.west = west, s.grid.east = east, s.grid.south = south, s.grid.north = north;
        s.texts.west = oldTexts.west, s.texts.east = oldTexts.east;
        s.texts.south = oldTexts.south, s.texts.north = oldTexts.north;
    }
    s.inputType = kNoInput;
    s.rowColumnEditsEnabled = false;
    s.headerLoaded = false;
    const std::filesystem::path stem = Stem(path);

    const auto readHeader = [&](const std::filesystem::path& headerPath, bool hgt) -> bool {
        std::string text;
        if (!ReadFile(headerPath, text)) return false;
        const HeaderReading reading = ReadGridHeader(text, s.inputType, hgt);
        s.grid = reading.header;
        s.rowColumnEditsEnabled = reading.rowColumnEditsEnabled;
        s.texts = TextsOf(s.grid);
        s.headerLoaded = true;
        return true;
    };

    if (extension == "bmp") {
        s.inputType = kBitmapInput;
        s.outputPath.clear();
    } else if (extension == "bin" || extension == "dem" || extension == "hgt") {
        s.inputType = kElevationGrid;
        s.outputPath = WithSuffix(stem, ".bmp");
        const bool hgt = extension == "hgt";
        const std::filesystem::path header = CompanionFile(path, FileStem(path) + ".hdr");
        if (readHeader(header, hgt)) {
            OnThresholdChange(s.thresholdText);
            OnThresholdCheck(s.thresholdOn);
        } else {
            std::error_code error;
            const auto length = std::filesystem::file_size(path, error);
            const auto tile = hgt && !error ? DescribeHgtTile(path, length) : std::nullopt;
            if (tile) {
                s.grid = *tile;
                s.texts = TextsOf(s.grid);
                OnThresholdCheck(s.thresholdOn);
            } else {
                ui_.Message("Information file unavailable", Icon::kInformation);
            }
        }
    } else if (extension == "asc") {
        s.inputType = kAsciiGrid;
        s.outputPath = WithSuffix(stem, ".bin");
        if (!readHeader(path, false)) ui_.Message("File unavailable", Icon::kStop);
    } else if (extension == "plt") {
        s.inputType = kOutlines;
        const std::string name = path.filename().string();
        const auto underscore = name.rfind('_');
        const std::string headerName =
            (underscore == std::string::npos ? name : name.substr(0, underscore)) + ".hdr";
        if (underscore != std::string::npos) {
            const auto level = platform::ScanFloat(std::string_view(name).substr(underscore + 1));
            if (level) {
                int index = ElevationToColorIndex(level->value, s.options.thresholds);
                const std::string stemName = FileStem(path);
                if (stemName.size() >= 3 && EqualIgnoringCase(stemName.substr(stemName.size() - 3), "own")) --index;
                s.mapColourIndex = std::clamp(index, 0, 255);
                s.mapColour = s.options.colours[static_cast<std::size_t>(s.mapColourIndex)];
            }
        }
        s.outputPath = WithSuffix(stem, ".map");
        s.mapOutputPath = s.outputPath;
        if (!readHeader(CompanionFile(path, headerName), false)) {
            ui_.Message("Information file unavailable", Icon::kInformation);
        }
    } else if (extension == "e00") {
        s.inputType = kChartLayer;
        s.outputPath = WithSuffix(stem, ".map");
        s.layer = LayerFlagsFromName(FileStem(path));
        FindLayerBounds();
        LoadLayerTable();
    }
}

void QuorlinModel::OnSetOutputFile() {
    if (state.busy) return;
    QuorlinState& s = state;
    if (s.inputType == kOutlines) {
        FileChoice choice{kHeaderFileFilter, 1, s.outputPath, ""};
        const auto chosen = ui_.ChooseOpenFile(choice);
        if (!chosen) return;
        s.outputPath = chosen->path;
        s.grid = ElevationGridHeader{};
        s.texts = UnknownTexts();
        s.headerLoaded = false;
        std::string text;
        if (!ReadFile(chosen->path, text)) {
            ui_.Message("Header data file unavailable", Icon::kInformation);
            return;
        }
        const HeaderReading reading = ReadGridHeader(text, s.inputType);
        s.grid = reading.header;
        s.rowColumnEditsEnabled = reading.rowColumnEditsEnabled;
        s.texts = TextsOf(s.grid);
        s.headerLoaded = true;
        return;
    }
    FileChoice choice;
    choice.initial = Stem(s.inputPath);
    if (s.inputType == kElevationGrid) {
        choice.filter = kGridOutputFilter;
        choice.defaultExtension = ".bin";
    } else if (s.inputType == kChartLayer) {
        choice.filter = kMapOutputFilter;
        choice.defaultExtension = ".map";
    } else {
        constexpr const char* kExtensions[] = {"", ".bin", ".bmp", ".plt", ".map"};
        choice.filter = kAnyOutputFilter;
        choice.defaultExtension = s.inputType == kAsciiGrid ? ".bin" : kExtensions[s.inputType == kBitmapInput ? 2 : 0];
        choice.filterIndex = s.inputType > 0 ? (s.inputType > 3 ? s.inputType - 1 : s.inputType) : 1;
    }
    const auto chosen = ui_.ChooseSaveFile(choice);
    if (chosen) s.outputPath = chosen->path;
}

void QuorlinModel::OnThresholdCheck(bool checked) {
    QuorlinState& s = state;
    s.thresholdOn = checked && s.inputType == kElevationGrid;
    if (s.inputType != kElevationGrid) return;
    const std::filesystem::path stem = Stem(s.inputPath);
    s.outputPath = WithSuffix(stem, s.thresholdOn ? ThresholdSuffix(s.thresholdText) : std::string(".bmp"));
}

void QuorlinModel::OnThresholdChange(const std::string& text) {
    QuorlinState& s = state;
    s.thresholdText = text;
    if (s.inputType != kElevationGrid || !s.thresholdOn) return;
    const auto value = platform::ScanFloat(text);
    if (value) s.threshold = value->value;
    // The name follows the input's stem, never a name the user set.
    s.outputPath = WithSuffix(Stem(s.inputPath), ThresholdSuffix(text));
    RefreshMapColour(s.threshold);
}

void QuorlinModel::RefreshMapColour(float elevation) {
    state.mapColourIndex = ColourTableIndex(elevation, state.options.thresholds);
    state.mapColour = state.options.colours[static_cast<std::size_t>(state.mapColourIndex)];
}

void QuorlinModel::OnChangeColors() {
    if (state.busy) return;
    for (;;) {
        std::optional<double> altitude;
        do {
            altitude = ui_.InputNumber("Enter median altitude for this color", 150.0);
            if (!altitude) return;
        } while (*altitude < 0);
        const int index = ColourTableIndex(static_cast<float>(*altitude), state.options.thresholds);
        const auto colour = ui_.ChooseColour();
        if (!colour) return;
        state.options.colours[static_cast<std::size_t>(index)] = *colour;
        SaveColour(settings_, index, *colour);
    }
}

void QuorlinModel::OnSetMapColor() {
    if (state.busy) return;
    if (const auto colour = ui_.ChooseColour()) state.mapColour = *colour;
}

void QuorlinModel::OnChangeLevels() {
    if (state.busy) return;
    if (ui_.EditThresholds()) ApplyThresholds();
}

}  // namespace quorlin
