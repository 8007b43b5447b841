#include "frame/options/view_link.h"

#include <wx/font.h>
#include <wx/textctrl.h>

#include <cstdint>
#include <utility>

#include "frame/position_view.h"
#include "platform/numbers.h"

namespace frame {
namespace {

constexpr char kMaps[] = "Options\\Maps";

int ReadInt(const platform::SettingsStore& store, const char* section, const char* name, int fallback) {
    return static_cast<int>(store.GetInt(section, name, static_cast<std::uint32_t>(fallback)));
}

float ReadFloat(const platform::SettingsStore& store, const char* name, float fallback) {
    const std::string text = store.GetString(kMaps, name, std::string_view());
    const auto scanned = platform::ScanFloat(text);
    return scanned ? scanned->value : fallback;
}

std::unique_ptr<ViewLink>& Installed() {
    static std::unique_ptr<ViewLink> link = std::make_unique<ViewLink>();
    return link;
}

}  // namespace

void SetNotesWeight(wxTextCtrl& notes, bool bold) {
    wxFont font = notes.GetFont();
    font.SetNumericWeight(bold ? 600 : 400);
    notes.SetFont(font);
}

MapViewValues MapViewValues::FromStore(const platform::SettingsStore& store) {
    MapViewValues v;
    v.dotSize = ReadInt(store, kMaps, "DotSize", v.dotSize);
    v.dotSpacing = ReadInt(store, kMaps, "DotSpacing", v.dotSpacing);
    v.cursorBlinkMs = ReadInt(store, kMaps, "CursorBlinkTime", v.cursorBlinkMs);
    v.zoomFactor = ReadFloat(store, "ZoomFactor", v.zoomFactor);
    v.marginFraction = ReadFloat(store, "MapMargin", v.marginFraction);
    v.zoomedTrackLength = ReadInt(store, kMaps, "ZoomedTrackCacheLength", v.zoomedTrackLength);
    v.zoomedRadiusMetres = ReadFloat(store, "ZoomedMapRadius", v.zoomedRadiusMetres);
    v.showLiftInThermalMode = ReadInt(store, kMaps, "ShowLiftInThermalMode", v.showLiftInThermalMode);
    v.drawLinesInThermalMode = ReadInt(store, kMaps, "DrawLinesInThermalMode", v.drawLinesInThermalMode);
    v.showGotoLine = ReadInt(store, "Settings", "ShowGOTOline", v.showGotoLine);
    v.allowGotoWithTask = ReadInt(store, kMaps, "allowGOTOwithTask", v.allowGotoWithTask);
    v.showReachableOutline = ReadInt(store, kMaps, "ShowReachableOutline", v.showReachableOutline);
    return v;
}

MapViewValues ViewLink::Values() {
    if (!loaded_) {
        values_ = MapViewValues::FromStore(platform::AppSettings());
        loaded_ = true;
    }
    return values_;
}

void ViewLink::SetValues(const MapViewValues& values) {
    values_ = values;
    loaded_ = true;
}

void ViewLink::StartMapTimer(int) {}

void ViewLink::SetMapMargin(float) {}

void ViewLink::InvalidateMap() {}

int ViewLink::GlideModeIndicator() {
    return glideModeIndicator_;
}

void ViewLink::SetGlideModeIndicator(int image) {
    glideModeIndicator_ = image;
}

bool ViewLink::OutlineShown() {
    return Values().showReachableOutline != 0;
}

void ViewLink::SetOutlineShown(bool shown) {
    Values();
    values_.showReachableOutline = shown ? 1 : 0;
}

void ViewLink::RequestOutlineRecompute() {}

void ViewLink::CreateMapFont() {}

void ViewLink::CreateViewFonts() {
    frame::CreateViewFonts();
}

void ViewLink::SetNotesFont(bool bold) {
    if (g_pPosView != nullptr) SetNotesWeight(g_pPosView->NotesWindow(), bold);
}

void ViewLink::SetListFontFace(const std::wstring&) {}

ViewLink& Views() {
    return *Installed();
}

std::unique_ptr<ViewLink> SetViews(std::unique_ptr<ViewLink> link) {
    std::unique_ptr<ViewLink> before = std::move(Installed());
    Installed() = link ? std::move(link) : std::make_unique<ViewLink>();
    return before;
}

}  // namespace frame
