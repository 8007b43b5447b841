#include "frame/value_list_box.h"

#include <wx/dc.h>
#include <wx/settings.h>

#include <algorithm>

#include "core/settings_values.h"
#include "nav/task_editor.h"
#include "platform/critical_section.h"
#include "services/shared_locks.h"

namespace frame {

CValueListBox::CValueListBox(wxWindow* parent, int id)
    : wxVListBox(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN) {}

void CValueListBox::Changed() {
    SetItemCount(items_.size());
    RefreshAll();
}

int CValueListBox::Append(const wxString& text, long data) {
    return Insert(GetCount(), text, data);
}

int CValueListBox::Insert(int at, const wxString& text, long data) {
    const int index = std::clamp(at, 0, GetCount());
    items_.insert(items_.begin() + index, Item{text, data});
    Changed();
    return index;
}

void CValueListBox::Delete(int index) {
    if (index < 0 || index >= GetCount()) return;
    items_.erase(items_.begin() + index);
    Changed();
}

void CValueListBox::Clear() {
    items_.clear();
    wxVListBox::Clear();
}

void CValueListBox::SetString(int index, const wxString& text) {
    if (index < 0 || index >= GetCount()) return;
    items_[static_cast<std::size_t>(index)].text = text;
    RefreshRow(static_cast<size_t>(index));
}

wxString CValueListBox::GetString(int index) const {
    return index >= 0 && index < GetCount() ? items_[static_cast<std::size_t>(index)].text
                                            : wxString();
}

long CValueListBox::GetItemData(int index) const {
    return index >= 0 && index < GetCount() ? items_[static_cast<std::size_t>(index)].data : 0;
}

int CValueListBox::FindString(const wxString& text) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (items_[static_cast<std::size_t>(i)].text == text) return i;
    }
    return -1;
}

wxColour CValueListBox::TextColour(size_t n) const {
    return IsSelected(n) ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                         : GetForegroundColour();
}

void CValueListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const {
    dc.SetFont(GetFont());
    dc.SetTextForeground(TextColour(n));
    dc.DrawLabel(GetString(static_cast<int>(n)), rect.Deflate(4, 0),
                 wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}

wxCoord CValueListBox::OnMeasureItem(size_t /*n*/) const {
    return GetCharHeight() + 8;
}

COwnerDrawListBox::COwnerDrawListBox(wxWindow* parent, int id) : CValueListBox(parent, id) {}

void COwnerDrawListBox::Measure() const {
    if (column_.height >= 1) return;
    wxCoord width = 0;
    wxCoord height = 0;
    const wxFont font = GetFont();
    GetTextExtent("999.9-", &width, &height, nullptr, nullptr, &font);
    column_.width = width + width / 18;
    column_.height = height;
}

wxCoord COwnerDrawListBox::OnMeasureItem(size_t /*n*/) const {
    Measure();
    return column_.height + 8;
}

void COwnerDrawListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const {
    Measure();
    nav::TaskLegValue value;
    if (task_ != nullptr) {
        const platform::CriticalSectionLock lock(core::TaskLock);
        value = nav::TaskLegValueText(*task_, static_cast<int>(n),
                                      core::DistanceUnitFactor(core::g_unitDist.load()));
    }
    dc.SetFont(GetFont());
    dc.SetTextForeground(TextColour(n));
    const wxRect valueRect(rect.x, rect.y, column_.ValueWidth(value.wide), rect.height);
    dc.DrawLabel(value.text, valueRect, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
    const int nameStart = column_.NameStart(value.wide);
    const wxRect nameRect(rect.x + nameStart, rect.y, std::max(0, rect.width - nameStart),
                          rect.height);
    dc.DrawLabel(GetString(static_cast<int>(n)), nameRect, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}

}  // namespace frame
