// What choosing a chart layer does beyond the file names: the layer's
// bounds from its bounds table (or the user's corners when it has none),
// and its attribute table, read once for the conversions.
#include "tools/quorlin/chart_layers.h"
#include "tools/quorlin/quorlin_model.h"

namespace quorlin {

std::optional<core::GeoBox> ReadLayerBounds(const std::filesystem::path& e00) {
    CInfoTable table(e00, "bnd");
    const std::vector<std::string> items = {"XMIN", "YMIN", "XMAX", "YMAX"};
    if (!table.Open() || !table.ReadRecords(&items)) return std::nullopt;
    double values[4] = {};
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CInfoValue* v = table.Lookup(items[i], 1);
        if (!v || (v->kind != InfoKind::kReal && v->kind != InfoKind::kInteger)) return std::nullopt;
        values[i] = v->kind == InfoKind::kReal ? v->real : v->integer;
    }
    return core::GeoBox{values[0], values[1], values[2], values[3]};
}

bool QuorlinModel::FindLayerBounds() {
    QuorlinState& s = state;
    BusyScope scope(ui_, s.busy);
    ui_.Progress("Looking for bounds");
    ui_.Pump();
    ElevationGridHeader& g = s.grid;
    const auto setFileBounds = [&](const core::GeoBox& b) {
        g.south = b.south, g.east = -b.east, g.north = b.north, g.west = -b.west;
        const HeaderTexts texts = TextsOf(g);
        s.texts.west = texts.west, s.texts.east = texts.east, s.texts.south = texts.south, s.texts.north = texts.north;
    };
    std::optional<core::GeoBox> found = ReadLayerBounds(s.inputPath);
    if (found) {
        if (*found != GridBox(g)) {
            s.resetOutputBounds = true;
            const core::GeoBox& o = s.outputBounds;
            if (o.south != 0.0 && o.east != 0.0 && o.north != 0.0 && o.west != 0.0) {
                s.resetOutputBounds = ui_.Ask(kBoundsChanged);
            }
        }
        if (s.resetOutputBounds) s.outputBounds = *found;
    } else {
        ui_.Message(kNoBoundsTable, Icon::kInformation);
        setFileBounds({-kWorldLongitude, -kWorldLatitude, kWorldLongitude, kWorldLatitude});
        if (!EnterOutputBounds()) {
            ui_.Progress("");
            return false;
        }
        // The corners just entered are both the output bounds and the
        // layer's: there is nothing to ask about resetting.
        found = s.outputBounds;
    }
    setFileBounds(*found);
    ui_.Progress("");
    return true;
}

void QuorlinModel::LoadLayerTable() {
    QuorlinState& s = state;
    layerTable_.reset();
    auto table = std::make_unique<CInfoTable>(s.inputPath, LayerTableSuffix(s.layer));
    BusyScope scope(ui_, s.busy);
    ui_.Progress("Opening Data Base");
    ui_.Pump();
    if (table->Open()) {
        ui_.Progress("Loading Data Base");
        ui_.Pump();
        ReadLayerRecords(*table);
        layerTable_ = std::move(table);
    }
    ui_.Progress("");
}

}  // namespace quorlin
