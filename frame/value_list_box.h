#pragma once
// List boxes drawn by the program: CValueListBox, a plain list of texts with
// a number for each (the reachable list, the wind dialog), and
// COwnerDrawListBox, the task editor's list of a task's points with the
// distance of each leg in a right-aligned column before the point name.
// Neither sorts its items. UI thread.

#include <wx/vlbox.h>

#include <string>
#include <vector>

#include "nav/task_model.h"

namespace frame {

class CValueListBox : public wxVListBox {
  public:
    CValueListBox(wxWindow* parent, int id);

    int GetCount() const { return static_cast<int>(items_.size()); }
    // Appends or inserts at `at` (clamped); the item's index.
    int Append(const wxString& text, long data = 0);
    int Insert(int at, const wxString& text, long data = 0);
    void Delete(int index);
    void Clear();
    void SetString(int index, const wxString& text);
    wxString GetString(int index) const;
    long GetItemData(int index) const;
    // The first item whose text is `text`, or -1.
    int FindString(const wxString& text) const;

  protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;
    // The text colour of an item, highlighted or not.
    wxColour TextColour(size_t n) const;

  private:
    struct Item {
        wxString text;
        long data;
    };
    void Changed();

    std::vector<Item> items_;
};

// The sizes of the value column: text "999.9-" measured once.
struct ValueColumn {
    int width = 0;   // the measured width plus one eighteenth
    int height = 0;  // 0 until measured
    // Where the name column starts: the width plus one twelfth of it,
    // widened by a sixth of it for a value of 1000 or more.
    int NameStart(bool wide) const { return ValueWidth(wide) + width / 12; }
    int ValueWidth(bool wide) const { return width + (wide ? width / 6 : 0); }
};

class COwnerDrawListBox final : public CValueListBox {
  public:
    COwnerDrawListBox(wxWindow* parent, int id);

    // The task whose points the items are (item i is point i); set before
    // the box is filled.
    void SetTask(const nav::CTask* task) { task_ = task; }
    const ValueColumn& Column() const { return column_; }

  private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;
    void Measure() const;

    const nav::CTask* task_ = nullptr;
    mutable ValueColumn column_;
};

}  // namespace frame
