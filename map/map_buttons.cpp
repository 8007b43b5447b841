#include "map/map_buttons.h"

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include <algorithm>
#include <chrono>

#include "core/settings_values.h"
#include "glide/settings_values.h"
#include "map/map_icon_table.h"
#include "platform/gui/canvas_bitmap.h"
#include "platform/ui_post.h"

namespace map {
namespace {

// An icon of the table laid over the face colour (the icons' pixels are
// premultiplied ARGB).
wxBitmap IconOverFace(int index, const wxColour& face) {
    if (index < 0 || index >= kMapIconCount) return {};
    const platform::Image& icon = MapIcons()[static_cast<std::size_t>(index)];
    if (icon.Empty()) return {};
    wxImage image(icon.Width(), icon.Height());
    for (int y = 0; y < icon.Height(); ++y) {
        for (int x = 0; x < icon.Width(); ++x) {
            const std::uint32_t p = icon.Pixel(x, y);
            const unsigned rest = 255U - (p >> 24U);
            const auto blend = [rest](unsigned premultiplied, unsigned back) {
                return static_cast<unsigned char>(premultiplied + back * rest / 255U);
            };
            image.SetRGB(x, y, blend((p >> 16U) & 0xFFU, face.Red()), blend((p >> 8U) & 0xFFU, face.Green()),
                         blend(p & 0xFFU, face.Blue()));
        }
    }
    return wxBitmap(image);
}

}  // namespace

SteadyMs SteadyNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// --- CIconButton

CIconButton::CIconButton(wxWindow* parent, int id, const wxString& caption, int iconIndex,
                         int debounceMs, platform::WindowId report, SteadyClock clock)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      iconIndex_(iconIndex),
      debounce_(debounceMs, clock()),
      report_(report),
      clock_(std::move(clock)) {
    SetLabel(caption);
    SetName(caption);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CIconButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CIconButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CIconButton::OnLeftUp, this);
}

void CIconButton::SetIconIndex(int index) {
    iconIndex_ = index;
    Refresh(false);
}

void CIconButton::OnLeftDown(wxMouseEvent& event) {
    // A press inside the debounce does nothing at all; its release is still
    // reported below.
    if (!debounce_.AcceptPress(clock_())) return;
    if (redrawMap_) redrawMap_();
    platform::PostWindowMessage(report_, platform::WM_USER_ICONBUTTON,
                                static_cast<std::uintptr_t>(GetId()), 1);
    offsetX_ = 2;
    offsetY_ = 3;
    Refresh(false);
    event.Skip();
}

void CIconButton::OnLeftUp(wxMouseEvent& event) {
    offsetX_ = offsetY_ = 0;
    Refresh(false);
    platform::PostWindowMessage(report_, platform::WM_USER_ICONBUTTON,
                                static_cast<std::uintptr_t>(GetId()), 0);
    event.Skip();
}

void CIconButton::OnPaint(wxPaintEvent& /*event*/) {
    wxAutoBufferedPaintDC dc(this);
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    dc.SetBackground(wxBrush(face));
    dc.Clear();
    const wxSize size = GetClientSize();
    const wxBitmap icon = IconOverFace(iconIndex_, face);
    if (!icon.IsOk()) return;
    // Centred as if the icon were 18 x 18, shifted while pressed.
    const int x = (size.x - kMapIconCellSize) / 2 + offsetX_ + 1;
    const int y = (size.y - kMapIconCellSize) / 2 + offsetY_;
    dc.DrawBitmap(icon, x, y);
}

// --- CHoldButton

CHoldButton::CHoldButton(wxWindow* parent, int id, const wxString& caption,
                         platform::WindowId report, int reportWParam, SteadyClock clock)
    : wxButton(parent, id, caption), report_(report), reportWParam_(reportWParam),
      clock_(std::move(clock)) {
    Bind(wxEVT_LEFT_DOWN, &CHoldButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CHoldButton::OnLeftUp, this);
}

void CHoldButton::OnLeftDown(wxMouseEvent& event) {
    hold_.Press(clock_());
    event.Skip();
}

void CHoldButton::OnLeftUp(wxMouseEvent& event) {
    // Only a release after a press on this button counts: a drag from the
    // map ending over it never switches a zone off.
    if (hold_.Release(clock_()))
        platform::PostWindowMessage(report_, platform::WM_APP_MAPHOLD,
                                    static_cast<std::uintptr_t>(reportWParam_), GetId());
    event.Skip();
}

// --- CPictureWnd

CPictureWnd::CPictureWnd(wxWindow* parent, int id, const wxPoint& position, const wxSize& size,
                         platform::WindowId report)
    : wxWindow(parent, id, position, size, wxBORDER_SIMPLE), report_(report) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CPictureWnd::OnPaint, this);
    Bind(wxEVT_LEFT_UP, &CPictureWnd::OnLeftUp, this);
}

int CPictureWnd::LoadPicture(const std::wstring& fileName) {
    if (fileName == fileName_ && HasPicture()) return 1;
    mapdata::CCeDib picture;
    ++reads_;
    if (!picture.ReadSection(fileName, mapdata::DisplayDevice{})) return 0;
    platform::Image image = picture.Dib().ToImage();
    if (image.Empty()) return 0;
    wxBitmap bitmap(platform::gui::ToWxImage(image));
    if (!bitmap.IsOk()) return 0;
    // The name is kept only once the picture is there.
    bitmap_ = bitmap;
    fileName_ = fileName;
    pictureSize_ = {image.Width(), image.Height()};
    FitToSize(wanted_.width, wanted_.height);
    return 1;
}

void CPictureWnd::FitToSize(int width, int height) {
    wanted_ = {width, height};
    if (!HasPicture()) return;
    if (const std::optional<PixelSize> fitted = map::FitToSize(pictureSize_, wanted_)) {
        const PixelSize size = *fitted;
        SetSize(size.width, size.height);
    }
    Refresh(false);
}

void CPictureWnd::OnLeftUp(wxMouseEvent& event) {
    platform::PostWindowMessage(report_, platform::WM_USER_HIDEPOPUP,
                                static_cast<std::uintptr_t>(GetId()), 0);
    event.Skip();
}

void CPictureWnd::OnPaint(wxPaintEvent& /*event*/) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    if (!HasPicture()) {
        dc.SetBackground(wxBrush(wxColour(0xC0, 0xC0, 0xC0)));
        dc.Clear();
        return;
    }
    const wxImage scaled = bitmap_.ConvertToImage().Scale(std::max(size.x, 1), std::max(size.y, 1));
    dc.DrawBitmap(wxBitmap(scaled), 0, 0);
}

CWaypointPickButton::CWaypointPickButton(wxWindow* parent, wxWindowID id, const wxPoint& position,
                                         const wxSize& size)
    : wxWindow(parent, id, position, size) {
    Bind(wxEVT_PAINT, &CWaypointPickButton::OnPaint, this);
    Bind(wxEVT_LEFT_UP, &CWaypointPickButton::OnLeftUp, this);
}

void CWaypointPickButton::AddRow(const nav::WaypointRecord& record, const std::wstring& text) {
    rows_.push_back(record);
    texts_.push_back(text);
    SetSize(GetSize().x, rowHeight_ * RowCount());
    Refresh();
}

void CWaypointPickButton::RemoveAllRows() {
    rows_.clear();
    texts_.clear();
}

int CWaypointPickButton::ClickAt(int y) {
    const auto row = PickRowAt(y, rowHeight_, RowCount());
    if (!row) return -1;
    platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_USER_PICKROW,
                                static_cast<std::uintptr_t>(*row), 0);
    return *row;
}

void CWaypointPickButton::OnLeftUp(wxMouseEvent& event) {
    ClickAt(event.GetY());
    event.Skip();
}

void CWaypointPickButton::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    wxRendererNative::Get().DrawPushButton(this, dc, wxRect(size));
    const wxString sample(PickValueSample(glide::g_showAltitudeDifference.load() != 0,
                                          glide::g_showAltitudeDifferenceInGoto.load() != 0,
                                          core::g_unitAlt2.load()));
    const int valueWidth = PickValueColumnWidth(dc.GetTextExtent(sample).x);
    for (int i = 0; i < RowCount(); ++i) {
        const wxRect row(1, 1 + i * rowHeight_, size.x - 2, rowHeight_);
        const wxRect value(row.x, row.y, valueWidth, row.height);
        constexpr int kGap = 4;  // between the value and the name
        const wxRect name(row.x + valueWidth + kGap, row.y, row.width - valueWidth - kGap, row.height);
        dc.DrawLabel(texts_[static_cast<std::size_t>(i)], value, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
        const std::wstring_view full = rows_[static_cast<std::size_t>(i)].name.View();
        dc.DrawLabel(wxString(std::wstring(full.substr(0, kPickNameLength))), name,
                     wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    }
}

}  // namespace map
