#pragma once
// The rules of the shape bar without its window: the field list, the symbol
// or colour list, the entry and search texts, the note, the check boxes and
// the commands Next, Add, All, Find Next, Search Next, Search Add All, List
// and Reset, working on the frame's current document. The window shows
// what Layout() and the getters say and passes the user's changes in.
// Without a current document every command does nothing. UI thread.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/brisvel/shape_document.h"

namespace brisvel {

// "Shape %d of %d", or " Shape 0 of unknown" without a document.
std::string ShapeCounterText(const CShapeDocument* document);
// "Elevation: %.0f [f]" / "[m]" of the value as stored; "Elevation: ------"
// at -8000 or below.
std::string ElevationText(float elevation, bool feet);
// Whether a typed symbol or colour entry may be used: symbols -5, 100 and
// 1 to 15 + userSymbols; colours 1 to 16.
bool ValidateSymbolEntry(std::string_view text, bool colourMode, int userSymbols);

enum class MatchMode { kNone = 0, kEqual = 1, kContains = 2 };
// The Add All and Find test of one attribute text.
bool MatchesSearch(std::string_view text, std::string_view search, MatchMode mode, bool excludeUnnamed);

struct ListItem {
    std::string text;
    int value = 0;
    friend bool operator==(const ListItem&, const ListItem&) = default;
};

// Which controls show, and the texts that depend on the kind of file.
struct BarLayout {
    bool listCaption = false;  // 1004 and 1001
    bool note = false;         // 1009, 1010
    bool setFont = false;      // 1011
    bool wideLine = false;     // 1012
    bool noFill = false;       // 1014
    bool elevation = false;    // 1015
    bool feet = false;         // 1017
    std::string caption;       // "Map Symbol", "Fill Color" or "Line Color"
    friend bool operator==(const BarLayout&, const BarLayout&) = default;
};

class ShapeBarModel {
  public:
    // userSymbols: how many user symbols were loaded.
    ShapeBarModel(DocumentPrompts& prompts, int userSymbols);

    // Called whenever the views need drawing again.
    void SetRedraw(std::function<void()> redraw) { redraw_ = std::move(redraw); }

    // Opens `path` in `document` and makes it the current document: fills
    // the field list and the symbol or colour list, builds the first object
    // and shows its entry. False (nothing changed) when it cannot be opened.
    bool OpenDocument(CShapeDocument& document, const std::filesystem::path& path);
    // Closes the document (offering to save); when it is the current one the
    // bar empties and has no document until the next open.
    void CloseDocument(CShapeDocument& document);
    CShapeDocument* Document() const { return document_; }

    // Control changes.
    void SelectField(int position);
    void SelectListEntry(int position);
    // A number typed into the symbol or colour list; selects its entry when
    // the list has one.
    void TypeListEntry(std::string text);
    void EditEntry(std::string text);
    void EditNote(std::string text);
    void SetSearchText(std::string text) { searchText_ = std::move(text); }
    void SetWideLine(bool on);
    void SetNoFill(bool on);
    void SetFeet(bool on);

    // Commands.
    void Next();
    void Add();
    void All();
    void FindNext();
    void SearchNext();
    void SearchAddAll();
    void List();
    void Reset();

    // What the window shows.
    BarLayout Layout() const;
    std::string CounterText() const { return ShapeCounterText(document_); }
    std::string ElevationLabel() const;
    const std::vector<ListItem>& Fields() const { return fields_; }
    int FieldSelection() const { return fieldSelection_; }
    const std::vector<ListItem>& ListItems() const { return items_; }
    int ListSelection() const { return selection_; }
    const std::string& ListText() const { return listText_; }
    bool ColourMode() const { return colourMode_; }
    const std::string& EntryText() const { return entry_; }
    const std::vector<std::string>& EntryChoices() const { return entryChoices_; }
    const std::string& SearchText() const { return searchText_; }
    const std::string& Note() const { return note_; }
    bool WideLine() const { return wideLine_; }
    bool NoFill() const { return noFill_; }
    bool Feet() const { return feet_; }
    int UserSymbols() const { return userSymbols_; }

  private:
    ObjectStyle Style() const;
    void FillLists();
    void AfterBuild();
    void SelectForObject();
    void ApplySelection();
    void ShowEntry();
    // Add's work; false when the symbol entry was refused.
    bool AddOne();
    void Search(std::string_view caption);
    bool ConfirmSymbolEntry();
    void RunAddAll();
    void Redraw() const;

    DocumentPrompts& prompts_;
    int userSymbols_;
    std::function<void()> redraw_;
    CShapeDocument* document_ = nullptr;
    std::vector<ListItem> fields_;
    int fieldSelection_ = -1;
    std::vector<ListItem> items_;
    int selection_ = -1;
    std::string listText_;
    bool colourMode_ = false;
    std::string entry_;
    std::vector<std::string> entryChoices_;
    std::string searchText_;
    std::string note_;
    MatchMode mode_ = MatchMode::kNone;
    bool excludeUnnamed_ = false;
    bool addingAll_ = false;
    int addedByAll_ = 0;
    bool wideLine_ = false;
    bool noFill_ = false;
    bool feet_ = false;
    bool reopening_ = false;
};

}  // namespace brisvel
