#include "frame/new_waypoint_dialog.h"

#include <wx/font.h>
#include <wx/statbmp.h>
#include <wx/spinbutt.h>
#include <wx/xrc/xmlres.h>

#include <cstdlib>
#include <string>

#include "core/settings_values.h"
#include "frame/dialog_controls.h"
#include "frame/symbol_preview.h"
#include "frame/task_dialog.h"
#include "map/drawing_tables.h"
#include "mapdata/map_palette.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "platform/critical_section.h"
#include "platform/gui/canvas_bitmap.h"
#include "platform/gui/screen_fit.h"
#include "platform/settings_store.h"
#include "resources/ids/new_waypoint_dialog.h"
#include "resources/ids/strings_task_dialogs.h"
#include "services/string_resources.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::new_waypoint_dialog::kAltitudeEdit;
using xrc::new_waypoint_dialog::kAltitudeLabel;
using xrc::new_waypoint_dialog::kCodeSpin;
using xrc::new_waypoint_dialog::kComment;
using xrc::new_waypoint_dialog::kEastRadio;
using xrc::new_waypoint_dialog::kFileOrPick;
using xrc::new_waypoint_dialog::kLatitudeDegreesEdit;
using xrc::new_waypoint_dialog::kLatitudeMinutesEdit;
using xrc::new_waypoint_dialog::kLatitudeSecondsEdit;
using xrc::new_waypoint_dialog::kLongitudeDegreesEdit;
using xrc::new_waypoint_dialog::kLongitudeMinutesEdit;
using xrc::new_waypoint_dialog::kLongitudeSecondsEdit;
using xrc::new_waypoint_dialog::kMarker;
using xrc::new_waypoint_dialog::kNameEdit;
using xrc::new_waypoint_dialog::kNewWaypointTemplate;
using xrc::new_waypoint_dialog::kNorthRadio;
using xrc::new_waypoint_dialog::kOkCommand;
using xrc::new_waypoint_dialog::kPen;
using xrc::new_waypoint_dialog::kPenColour;
using xrc::new_waypoint_dialog::kPenSpin;
using xrc::new_waypoint_dialog::kSymbol;

int MapSymbolCount() {
    const auto map = nav::GetMapPointFile();
    return map != nullptr ? map->SymbolCount() : 0;
}

}  // namespace

CNewWaypointDialog::CNewWaypointDialog(wxWindow* parent, bool mapPointMode)
    : model_(core::g_unitAlt.load() != 0, mapPointMode) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kNewWaypointTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CNewWaypointDialog::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CNewWaypointDialog::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CNewWaypointDialog::OnOK, this, kOkCommand);
    Bind(wxEVT_BUTTON, &CNewWaypointDialog::OnFileOrPick, this, kFileOrPick);
    Bind(wxEVT_SPIN, &CNewWaypointDialog::OnCodeSpin, this, kCodeSpin);
    Bind(wxEVT_SPIN, &CNewWaypointDialog::OnPenSpin, this, kPenSpin);
}

int CNewWaypointDialog::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

void CNewWaypointDialog::DoDataExchange(gui::CDataExchange* pDX) {
    nav::NewWaypointFields& f = model_.fields;
    gui::DDX_Radio(pDX, kNorthRadio, f.northSouth);
    gui::DDX_Radio(pDX, kEastRadio, f.eastWest);
    gui::DDX_TextDouble(pDX, kLatitudeDegreesEdit, f.latDegrees);
    gui::DDV_MinMaxDouble(pDX, f.latDegrees, 0.0, 90.0);
    gui::DDX_TextDouble(pDX, kLatitudeMinutesEdit, f.latMinutes);
    gui::DDV_MinMaxDouble(pDX, f.latMinutes, 0.0, 60.0);
    gui::DDX_TextDouble(pDX, kLatitudeSecondsEdit, f.latSeconds);
    gui::DDV_MinMaxDouble(pDX, f.latSeconds, 0.0, 60.0);
    gui::DDX_TextDouble(pDX, kLongitudeDegreesEdit, f.lonDegrees);
    gui::DDV_MinMaxDouble(pDX, f.lonDegrees, 0.0, 180.0);
    gui::DDX_TextDouble(pDX, kLongitudeMinutesEdit, f.lonMinutes);
    gui::DDV_MinMaxDouble(pDX, f.lonMinutes, 0.0, 60.0);
    gui::DDX_TextDouble(pDX, kLongitudeSecondsEdit, f.lonSeconds);
    gui::DDV_MinMaxDouble(pDX, f.lonSeconds, 0.0, 60.0);
    gui::DDX_TextString(pDX, nav::kNameEdit, f.name);
    gui::DDX_TextString(pDX, kComment, f.comment);
    if (model_.MapPointMode()) {
        gui::DDX_TextInt(pDX, nav::kAltitudeEdit, f.mapCode);
        gui::DDV_MinMaxInt(pDX, f.mapCode, -7, MapSymbolCount());
        gui::DDX_TextInt(pDX, kPen, f.pen);
        gui::DDV_MinMaxInt(pDX, f.pen, -16, 16);
        return;
    }
    gui::DDX_Check(pDX, kMarker, f.marker);
    gui::DDX_TextFloat(pDX, nav::kAltitudeEdit, f.altitude);
    if (!pDX->m_bSaveAndValidate || pDX->Failed()) return;
    if (!model_.ConfirmAltitude()) {
        gui::DDV_MinMaxFloat(pDX, f.altitude, -300.0F, 30000.0F);  // refuses it
    } else if (f.altitude > -1000.0F) {
        gui::DDV_MinMaxFloat(pDX, f.altitude, model_.AltitudeMinimum(), model_.AltitudeMaximum());
    }
}

void CNewWaypointDialog::OnInitDialog(wxInitDialogEvent& /*event*/) {
    if (!presetHemispheres) {
        const platform::SettingsStore& store = platform::AppSettings();
        model_.fields.northSouth = static_cast<int>(store.GetInt("Settings", "NorthSouth", 0));
        model_.fields.eastWest = static_cast<int>(store.GetInt("Settings", "EastWest", 1));
    }
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    for (const int id : {static_cast<int>(nav::kNameEdit), kComment}) {
        if (wxWindow* field = FindWindow(id)) field->SetFont(field->GetFont().Bold());
    }
    ShowModeControls();
    UpdatePreviews();
    Layout();
    Fit();
}

void CNewWaypointDialog::ShowModeControls() {
    const bool map = model_.MapPointMode();
    ShowControl(*this, kMarker, !map);
    for (const int id : {kPen, kPenSpin, kPenColour, kCodeSpin, kSymbol})
        ShowControl(*this, id, map);
    if (map) {
        if (auto* spin = dynamic_cast<wxSpinButton*>(FindWindow(kPenSpin))) spin->SetRange(-16, 16);
        if (auto* spin = dynamic_cast<wxSpinButton*>(FindWindow(kCodeSpin)))
            spin->SetRange(-7, std::max(MapSymbolCount(), 1));
        SetControlText(*this, kAltitudeLabel, core::LoadResourceString(ids::kIdsMapCodeLabel));
        SetControlText(*this, kFileOrPick, core::LoadResourceString(ids::kIdsPickLabel));
        SetTitle(core::LoadResourceString(ids::kIdsNewMapPointTitle));
    } else {
        SetControlText(*this, kAltitudeLabel,
                       core::LoadResourceString(model_.Metres() ? ids::kIdsAltitudeMetresLabel
                                                                : ids::kIdsAltitudeFeetLabel));
    }
}

void CNewWaypointDialog::OnOK(wxCommandEvent& /*event*/) {
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); }))
        return;
    result_ = model_.Accept(nav::g_waypointFile, platform::AppSettings());
    if (result_.outcome == nav::NewWaypointOutcome::kRefused) {
        if (result_.focus != 0) FocusControl(*this, result_.focus);
        return;
    }
    EndModal(wxID_OK);
}

void CNewWaypointDialog::OnFileOrPick(wxCommandEvent& /*event*/) {
    if (!model_.MapPointMode()) {
        std::wstring path = nav::g_waypointFileName.Get();
        if (nav::OpenWaypointFile(nav::g_waypointFile, path, false, false, false) != 0)
            newFileChosen_ = true;
        return;
    }
    const std::optional<nav::WaypointRecord> picked = PickWaypoint(this);
    if (!picked) return;
    model_.FillFrom(*picked, nullptr);
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
}

void CNewWaypointDialog::OnCodeSpin(wxSpinEvent& event) {
    nav::NewWaypointFields& f = model_.fields;
    const int step = event.GetPosition() >= f.mapCode ? 1 : -1;
    f.mapCode = nav::StepMapCode(f.mapCode, step, MapSymbolCount());
    SetControlText(*this, nav::kAltitudeEdit, wxString::Format("%d", f.mapCode));
    if (auto* spin = dynamic_cast<wxSpinButton*>(FindWindow(kCodeSpin))) spin->SetValue(f.mapCode);
    UpdatePreviews();
}

// The pen's palette colour beside the pen number and the symbol the map
// will draw for the code.
void CNewWaypointDialog::UpdatePreviews() {
    if (!model_.MapPointMode()) return;
    const nav::NewWaypointFields& f = model_.fields;
    if (wxWindow* colour = FindWindow(kPenColour)) {
        const std::optional<mapdata::Rgb> rgb = mapdata::PaletteColour(std::abs(f.pen));
        colour->SetBackgroundColour(rgb ? wxColour(rgb->red, rgb->green, rgb->blue)
                                        : GetBackgroundColour());
        colour->Refresh();
    }
    if (auto* symbol = dynamic_cast<wxStaticBitmap*>(FindWindow(kSymbol))) {
        const wxColour back = GetBackgroundColour();
        const platform::Image picture = SymbolPreview(
            map::DrawingTables(), f.mapCode, {back.Red(), back.Green(), back.Blue()},
            symbol->GetSize().GetWidth());
        symbol->SetBitmap(picture.Empty() ? wxBitmap()
                                          : wxBitmap(platform::gui::ToWxImage(picture)));
    }
}

void CNewWaypointDialog::OnPenSpin(wxSpinEvent& event) {
    model_.fields.pen = event.GetPosition();
    SetControlText(*this, kPen, wxString::Format("%d", model_.fields.pen));
    UpdatePreviews();
}

int RunNewWaypointDialog(wxWindow* parent, int editIndex) {
    CNewWaypointDialog dialog(parent);
    if (editIndex >= 0) {
        const platform::CriticalSectionLock lock(nav::WaypointListLock);
        const nav::CWaypointEntry* entry = nav::g_waypoints.At(editIndex);
        if (entry == nullptr) return -1;
        dialog.Model().FillFrom(entry->record, &entry->extension);
        dialog.Model().editIndex = editIndex;
        dialog.presetHemispheres = true;
    }
    if (dialog.DoModal() != wxID_OK) return -1;
    return dialog.Result().outcome == nav::NewWaypointOutcome::kAdded ? dialog.Result().index : -1;
}

}  // namespace frame
