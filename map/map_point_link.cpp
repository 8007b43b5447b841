#include "map/map_point_link.h"

#include <wx/weakref.h>

#include "map/drawing_tables.h"
#include "map/map_view.h"
#include "mapdata/map_symbols.h"

namespace map {
namespace {

// Holds the view weakly: the link outlives the window at exit.
class MapPointLink final : public nav::MapPointFile {
  public:
    explicit MapPointLink(CGPSmapView& view) : view_(&view) {}

    bool Writable() const override { return view_ && view_->MapPointsWritable(); }
    bool Append(std::wstring_view text) override { return view_ && view_->AppendMapPointLines(text); }
    int SymbolCount() const override {
        const MapDrawingTables* tables = DrawingTables();
        const int users = tables != nullptr ? static_cast<int>(tables->symbols.users.size()) : 0;
        return mapdata::kLastBuiltInSymbol + users;
    }
    void MakeElement(const nav::WaypointRecord& record, int code, int /*pen*/) override {
        if (view_) view_->AddMapPoint(record, code);
    }

  private:
    wxWeakRef<CGPSmapView> view_;
};

}  // namespace

std::shared_ptr<nav::MapPointFile> MakeMapPointLink(CGPSmapView& view) {
    return std::make_shared<MapPointLink>(view);
}

}  // namespace map
