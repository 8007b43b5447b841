#pragma once
// The two export commands of the map: the binary map (".gpm") and the
// bitmap with its calibration file. They act on a finished map only: the
// caller refuses them while a read runs, and they stop the drawing threads
// before walking the lists under MapListLock. UI thread only.

#include <functional>
#include <string_view>

#include "map/map_command_dialogs.h"
#include "map/map_lists.h"
#include "map/map_view_model.h"
#include "mapdata/map_element_draw.h"
#include "mapdata/map_file.h"

namespace map {

inline constexpr std::wstring_view kBinaryMapFilter =
    L"Binary Maps (*.gpm)|*.gpm|All Files (*.*)|*.*||";
inline constexpr std::wstring_view kBitmapFilter = L"Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*||";

// What the commands act on: the map window's map.
struct MapExportSite {
    MapLists& lists;
    mapdata::CMapFile& mapFile;
    const MapViewModel& view;
    // The window's drawing tables and label font; the transform is the
    // export's own.
    mapdata::MapDrawContext drawBase;
    // A map is loaded and its read has finished.
    bool mapReady = false;
    // Stops the render and track threads and waits for them.
    std::function<void()> stopDrawing;
};

// Save dialog "Binary Map File"; the loaded text map chosen as its own
// target brings the dialog back, the loaded binary map is rewritten and its
// map file object reopened, any other path gets a new binary map. A file
// that cannot be written is reported ("File Error").
void RunExportBinaryMap(MapExportSite& site, MapCommandDialogs& dialogs);

// Save dialog "Export Map File", the export options, then the bitmap and
// its calibration file. A bitmap file that cannot be made is passed over in
// silence; a bitmap too large for memory is refused with its size.
void RunExportBitmap(MapExportSite& site, MapCommandDialogs& dialogs);

}  // namespace map
