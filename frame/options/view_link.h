#pragma once
// What the options pages change beyond the stored settings: the map view's
// own values and the refreshes of the map, the position page and their
// fonts. The pages reach them only through ViewLink, so their values
// classes run without a display: tests install a recording link, and
// start-up installs the one over the map window (app/map_view_links.h).
// The built-in link stands for a map that does not exist: it keeps the
// values, read once from the store, and refreshes the position page only.
//
// UI thread only.

#include <memory>
#include <string>

#include "map/map_view_settings.h"
#include "platform/settings_store.h"

class wxTextCtrl;

namespace frame {

inline const map::MapViewSettings kMapDefaults{};

// The map view's values the pages edit, in its own units. The defaults of
// those the map window reads itself are the map window's, so that OK on a
// fresh install leaves the map as it is.
struct MapViewValues {
    int dotSize = kMapDefaults.dotSize;              // "DotSize"
    int dotSpacing = kMapDefaults.dotSpacing;        // "DotSpacing"
    int cursorBlinkMs = kMapDefaults.cursorBlinkMs;  // "CursorBlinkTime", the map timer's interval
    float zoomFactor = kMapDefaults.zoomFactor;      // "ZoomFactor"
    float marginFraction = kMapDefaults.mapMargin;   // "MapMargin"
    int orientation = 12;                            // 0 north up, 12 track up, 13 track up flipped
    int trackUp = 0;                                 // the view's track-up flag
    int zoomedTrackLength = kMapDefaults.zoomedTrackCacheLength;  // "ZoomedTrackCacheLength", points
    float zoomedRadiusMetres = kMapDefaults.zoomedMapRadius;      // "ZoomedMapRadius"
    int showLiftInThermalMode = kMapDefaults.showLiftInThermalMode;    // "ShowLiftInThermalMode"
    int drawLinesInThermalMode = kMapDefaults.drawLinesInThermalMode;  // "DrawLinesInThermalMode"
    int showGotoLine = 1;                                    // "ShowGOTOline" (Settings)
    int allowGotoWithTask = kMapDefaults.allowGotoWithTask;  // "allowGOTOwithTask"
    int showReachableOutline = 0;                            // "ShowReachableOutline"

    // The values as stored, the defaults above for those missing.
    static MapViewValues FromStore(const platform::SettingsStore& store);
};

class ViewLink {
  public:
    virtual ~ViewLink() = default;

    virtual MapViewValues Values();
    virtual void SetValues(const MapViewValues& values);

    // The map view: its timer, margin, a full redraw.
    virtual void StartMapTimer(int intervalMs);
    virtual void SetMapMargin(float fraction);
    virtual void InvalidateMap();

    // The glide-mode indicator's picture (5 is the pilot's and left alone;
    // 6 polar, 7 no polar, 8 constant glide speed); redrawn when set.
    virtual int GlideModeIndicator();
    virtual void SetGlideModeIndicator(int image);

    // The reachable outline: shown on the map, and computed afresh.
    virtual bool OutlineShown();
    virtual void SetOutlineShown(bool shown);
    virtual void RequestOutlineRecompute();

    // Fonts made again from the font settings.
    virtual void CreateMapFont();
    virtual void CreateViewFonts();
    virtual void SetNotesFont(bool bold);
    virtual void SetListFontFace(const std::wstring& face);

  protected:
    // Whether Values has read the store yet.
    bool Loaded() const { return loaded_; }

  private:
    bool loaded_ = false;
    MapViewValues values_;
    int glideModeIndicator_ = 5;
};

// A notes window's font made bold (600) or normal (400).
void SetNotesWeight(wxTextCtrl& notes, bool bold);

// The link the pages use; the built-in one until another is installed.
ViewLink& Views();
// Installs a link (null: the built-in one again); returns the one before.
std::unique_ptr<ViewLink> SetViews(std::unique_ptr<ViewLink> link);

}  // namespace frame
