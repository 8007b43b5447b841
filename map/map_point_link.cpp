#include "map/map_point_link.h"

#include "map/drawing_tables.h"
#include "map/map_view.h"
#include "mapdata/map_symbols.h"

namespace map {
namespace {

class MapPointLink final : public nav::MapPointFile {
  public:
    bool Writable() const override { return g_pMapView != nullptr && g_pMapView->MapPointsWritable(); }
    bool Append(std::wstring_view text) override {
        return g_pMapView != nullptr && g_pMapView->AppendMapPointLines(text);
    }
    int SymbolCount() const override {
        const MapDrawingTables* tables = DrawingTables();
        const int users = tables != nullptr ? static_cast<int>(tables->symbols.users.size()) : 0;
        return mapdata::kLastBuiltInSymbol + users;
    }
    void MakeElement(const nav::WaypointRecord& record, int code, int /*pen*/) override {
        if (g_pMapView != nullptr) g_pMapView->AddMapPoint(record, code);
    }
};

}  // namespace

std::shared_ptr<nav::MapPointFile> MakeMapPointLink() {
    return std::make_shared<MapPointLink>();
}

}  // namespace map
