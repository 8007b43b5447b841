#include "tools/brisvel/shape_bar_model.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "mapdata/map_palette.h"
#include "mapdata/map_symbols.h"
#include "platform/numbers.h"

namespace brisvel {
namespace {

constexpr char kEndOfFile[] = "Reached end of file. Do you want to start from beginning?";
constexpr float kMetresPerFoot = 0.3048037F;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::ranges::transform(upper, upper.begin(), Upper);
    return upper;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::ranges::equal(text.substr(0, prefix.size()), prefix,
                              [](char a, char b) { return Upper(a) == Upper(b); });
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<int> WholeNumber(std::string_view text) {
    text = Trimmed(text);
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// The note as one record piece: every line break becomes '\'.
std::string NoteForMap(std::string_view note) {
    std::string out;
    for (std::size_t i = 0; i < note.size(); ++i) {
        if (note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n') ++i;
        out += note[i] == '\r' || note[i] == '\n' ? '\\' : note[i];
    }
    return out;
}

CSymbolObject* AsSymbol(CMapObject* object) {
    return object && object->GetKind() == CMapObject::Kind::kSymbol ? static_cast<CSymbolObject*>(object)
                                                                     : nullptr;
}
CPolyObject* AsPoly(CMapObject* object) {
    return object && object->GetKind() == CMapObject::Kind::kPoly ? static_cast<CPolyObject*>(object)
                                                                   : nullptr;
}

}  // namespace

std::string ShapeCounterText(const CShapeDocument* document) {
    if (!document) return " Shape 0 of unknown";
    return platform::FormatC("Shape %d of %d", document->CurrentIndex() + 1, document->ShapeCount());
}

std::string ElevationText(float elevation, bool feet) {
    if (elevation <= -8000.0F) return "Elevation: ------";
    return platform::FormatC("Elevation: %.0f [%c]", static_cast<double>(elevation), feet ? 'f' : 'm');
}

bool ValidateSymbolEntry(std::string_view text, bool colourMode, int userSymbols) {
    const auto number = WholeNumber(text);
    if (!number) return false;
    if (colourMode) return *number >= 1 && *number <= 16;
    return *number == CSymbolObject::kLabel || *number == CSymbolObject::kDefaultSymbol ||
           (*number >= 1 && *number <= mapdata::kLastBuiltInSymbol + userSymbols);
}

bool MatchesSearch(std::string_view text, std::string_view search, MatchMode mode, bool excludeUnnamed) {
    switch (mode) {
        case MatchMode::kEqual:
            return text.size() == search.size() && StartsWithIgnoringCase(text, search);
        case MatchMode::kContains: return UpperCase(text).find(UpperCase(search)) != std::string::npos;
        case MatchMode::kNone: break;
    }
    return !(excludeUnnamed && text.empty());
}

ShapeBarModel::ShapeBarModel(DocumentPrompts& prompts, int userSymbols)
    : prompts_(prompts), userSymbols_(std::clamp(userSymbols, 0, mapdata::kMaxUserSymbols)) {}

void ShapeBarModel::Redraw() const {
    if (redraw_) redraw_();
}

ObjectStyle ShapeBarModel::Style() const {
    ObjectStyle style;
    if (selection_ >= 0) {
        if (colourMode_)
            style.colourIndex = selection_;
        else
            style.symbol = items_[static_cast<std::size_t>(selection_)].value;
    }
    style.wideLine = wideLine_;
    style.noFill = noFill_;
    return style;
}

bool ShapeBarModel::OpenDocument(CShapeDocument& document, const std::filesystem::path& path) {
    if (!document.OpenShapefile(path, reopening_)) return false;
    document_ = &document;
    FillLists();
    document.BuildMapObjects(Style());
    AfterBuild();
    return true;
}

void ShapeBarModel::FillLists() {
    fields_.clear();
    const auto& names = document_->FieldNames();
    for (std::size_t i = 0; i < names.size(); ++i) fields_.push_back({names[i], static_cast<int>(i)});
    fieldSelection_ = fields_.empty() ? -1 : std::clamp(document_->Field(), 0, static_cast<int>(fields_.size()) - 1);
    items_.clear();
    colourMode_ = document_->Kind() == ShapeKind::kLine || document_->Kind() == ShapeKind::kPolygon;
    if (colourMode_) {
        for (int i = 1; i <= 16; ++i)
            items_.push_back({std::to_string(i),
                              static_cast<int>(mapdata::ColorrefFromRgb(*mapdata::PaletteColour(i)))});
    } else {
        items_.push_back({"-5", CSymbolObject::kLabel});
        for (int i = 1; i <= mapdata::kLastBuiltInSymbol + userSymbols_; ++i) items_.push_back({std::to_string(i), i});
        items_.push_back({"100", CSymbolObject::kDefaultSymbol});
    }
    selection_ = -1;
    listText_.clear();
}

void ShapeBarModel::AfterBuild() {
    note_.clear();
    SelectForObject();
    entry_ = document_->CurrentText();
    Redraw();
}

// Selects the entry of the current object's symbol or colour (the second
// entry when none matches) and gives the object that entry, so the list
// and the object never disagree.
void ShapeBarModel::SelectForObject() {
    CMapObject* object = document_->CurrentObject();
    if (!object || items_.empty()) return;
    int wanted = 0;
    if (const CSymbolObject* symbol = AsSymbol(object)) wanted = symbol->symbol;
    if (const CPolyObject* poly = AsPoly(object)) wanted = static_cast<int>(poly->colourValue);
    const auto found = std::ranges::find(items_, wanted, &ListItem::value);
    selection_ = found != items_.end() ? static_cast<int>(found - items_.begin()) : std::min<int>(1, static_cast<int>(items_.size()) - 1);
    listText_ = items_[static_cast<std::size_t>(selection_)].text;
    ApplySelection();
}

void ShapeBarModel::ApplySelection() {
    if (!document_ || selection_ < 0) return;
    CMapObject* object = document_->CurrentObject();
    const ListItem& item = items_[static_cast<std::size_t>(selection_)];
    if (CSymbolObject* symbol = AsSymbol(object)) symbol->symbol = item.value;
    if (CPolyObject* poly = AsPoly(object)) {
        poly->colourNumber = selection_ + 1;
        poly->colourValue = static_cast<std::uint32_t>(item.value);
    }
}

void ShapeBarModel::ShowEntry() {
    if (!document_) return;
    if (fieldSelection_ >= 0) document_->SetField(fields_[static_cast<std::size_t>(fieldSelection_)].value);
    std::string text = document_->FieldText(document_->CurrentIndex());
    document_->SetCurrentText(text);
    entry_ = std::move(text);
    Redraw();
}

void ShapeBarModel::CloseDocument(CShapeDocument& document) {
    if (&document == document_) {
        fields_.clear();
        fieldSelection_ = -1;
        entry_.clear();
        if (!reopening_) {
            document_ = nullptr;
            items_.clear();
            selection_ = -1;
            listText_.clear();
            entryChoices_.clear();
        }
    }
    document.CloseShapefile();
}

void ShapeBarModel::SelectField(int position) {
    if (!document_ || position < 0 || position >= static_cast<int>(fields_.size())) return;
    fieldSelection_ = position;
    if (!reopening_) entryChoices_.clear();
    ShowEntry();
}

void ShapeBarModel::SelectListEntry(int position) {
    if (!document_ || position < 0 || position >= static_cast<int>(items_.size())) return;
    selection_ = position;
    listText_ = items_[static_cast<std::size_t>(position)].text;
    ApplySelection();
    Redraw();
}

void ShapeBarModel::TypeListEntry(std::string text) {
    if (!document_) return;
    listText_ = std::move(text);
    const auto number = WholeNumber(listText_);
    if (!number || !ValidateSymbolEntry(listText_, colourMode_, userSymbols_)) return;
    const auto found = std::ranges::find(items_, std::to_string(*number), &ListItem::text);
    if (found != items_.end()) SelectListEntry(static_cast<int>(found - items_.begin()));
}

void ShapeBarModel::EditEntry(std::string text) {
    if (!document_) return;
    entry_ = std::move(text);
    document_->SetCurrentText(entry_);
}

void ShapeBarModel::EditNote(std::string text) {
    if (!document_) return;
    note_ = std::move(text);
    if (CSymbolObject* symbol = AsSymbol(document_->CurrentObject())) symbol->note = NoteForMap(note_);
}

void ShapeBarModel::SetWideLine(bool on) {
    wideLine_ = on;
    if (!document_) return;
    if (CPolyObject* poly = AsPoly(document_->CurrentObject())) poly->lineWidth = on ? 3 : 1;
    Redraw();
}

void ShapeBarModel::SetNoFill(bool on) {
    noFill_ = on;
    if (!document_) return;
    if (CPolyObject* poly = AsPoly(document_->CurrentObject())) poly->noFill = on;
    Redraw();
}

void ShapeBarModel::SetFeet(bool on) {
    feet_ = on;
}

void ShapeBarModel::Next() {
    if (!document_) return;
    if (!document_->BuildMapObjects(Style()) && prompts_.Ask(kEndOfFile, "Go to next shape")) {
        document_->Rewind();
        document_->BuildMapObjects(Style());
    }
    AfterBuild();
}

bool ShapeBarModel::ConfirmSymbolEntry() {
    if (colourMode_ || ValidateSymbolEntry(listText_, false, userSymbols_)) return true;
    prompts_.Tell("This symbol number cannot be used", "");
    return false;
}

bool ShapeBarModel::AddOne() {
    CMapObject* object = document_->CurrentObject();
    if (!object) return true;
    if (AsSymbol(object) && !ConfirmSymbolEntry()) return false;
    ApplySelection();
    if (CSymbolObject* symbol = AsSymbol(object)) {
        if (feet_ && symbol->hasElevation) symbol->elevation *= kMetresPerFoot;
        symbol->note = NoteForMap(note_);
    }
    if (CPolyObject* poly = AsPoly(object); poly && selection_ < 0) poly->colourNumber = 0;
    if (addingAll_ && !MatchesSearch(document_->CurrentText(), searchText_, mode_, excludeUnnamed_)) {
        document_->DropCurrent(Style());
    } else if (document_->AddCurrent(Style())) {
        ++addedByAll_;
    }
    document_->SetModified();
    note_.clear();
    SelectForObject();
    entry_ = document_->CurrentText();
    return true;
}

void ShapeBarModel::Add() {
    if (!document_) return;
    if (AddOne()) Redraw();
}

void ShapeBarModel::RunAddAll() {
    addingAll_ = true;
    addedByAll_ = 0;
    document_->ResetSkippedCount();
    while (document_->CurrentObject())
        if (!AddOne()) break;
    addingAll_ = false;
    mode_ = MatchMode::kNone;
    excludeUnnamed_ = false;
    std::string report = platform::FormatC("Added %d shapes", addedByAll_);
    if (const int skipped = document_->SkippedCount(); skipped > 0)
        report += platform::FormatC("\n%d shapes were skipped: they make no map object", skipped);
    prompts_.Tell(report, "Add All result");
    Redraw();
}

void ShapeBarModel::All() {
    if (!document_ || !ConfirmSymbolEntry()) return;
    if (!prompts_.Ask("Are you sure you want to add all remaining shapes in the file?", "Add all shapes")) return;
    searchText_ = entry_;
    mode_ = MatchMode::kNone;
    excludeUnnamed_ = false;
    if (colourMode_) {
        if (prompts_.Ask("Do you want to add only shapes matching current database entry?", "Add all shapes"))
            mode_ = MatchMode::kEqual;
        else if (prompts_.Ask("Do you want to EXCLUDE UN-NAMED shapes?", "Add all shapes"))
            excludeUnnamed_ = true;
    }
    RunAddAll();
}

void ShapeBarModel::SearchAddAll() {
    if (!document_ || !ConfirmSymbolEntry()) return;
    if (!prompts_.Ask("Are you sure you want to add all remaining matching shapes in the file?",
                      "Add all matching shapes"))
        return;
    searchText_ = std::string(Trimmed(searchText_));
    mode_ = MatchMode::kContains;
    excludeUnnamed_ = false;
    RunAddAll();
}

void ShapeBarModel::Search(std::string_view caption) {
    // However often the user asks to go on from the beginning, the search
    // ends once it has been through the file twice.
    const int limit = 2 * document_->ShapeCount() + 2;
    for (int steps = 0;; ++steps) {
        if (document_->BuildMapObjects(Style())) {
            if (MatchesSearch(document_->CurrentText(), searchText_, mode_, false) || steps > limit) break;
            continue;
        }
        if (steps > limit || !prompts_.Ask(kEndOfFile, caption)) break;
        document_->Rewind();
    }
    mode_ = MatchMode::kNone;
    AfterBuild();
}

void ShapeBarModel::FindNext() {
    if (!document_) return;
    searchText_ = entry_;
    mode_ = MatchMode::kEqual;
    Search("Find matching shape");
}

void ShapeBarModel::SearchNext() {
    if (!document_) return;
    if (Trimmed(searchText_).empty()) {
        prompts_.Tell("Search text cannot be empty", "Search Error");
        searchText_ = entry_;
        return;
    }
    searchText_ = std::string(Trimmed(searchText_));
    mode_ = MatchMode::kContains;
    Search("Find matching shape");
}

void ShapeBarModel::List() {
    if (!document_) return;
    entryChoices_.clear();
    const int count = document_->ShapeCount();
    const int current = document_->CurrentIndex();
    for (int step = 1; step < count; ++step) {
        const int shape = (current + step) % count;
        if (shape < 0) continue;
        std::string text = document_->FieldText(shape);
        const bool known = std::ranges::any_of(
            entryChoices_, [&](const std::string& item) { return StartsWithIgnoringCase(item, text); });
        if (!known) entryChoices_.push_back(std::move(text));
    }
}

void ShapeBarModel::Reset() {
    if (!document_) return;
    CShapeDocument& document = *document_;
    const int field = fieldSelection_;
    const std::filesystem::path path = document.Path();
    reopening_ = true;
    CloseDocument(document);
    const bool opened = OpenDocument(document, path);
    reopening_ = false;
    if (!opened) {
        document_ = nullptr;
        return;
    }
    if (field >= 0 && field < static_cast<int>(fields_.size())) fieldSelection_ = field;
    ShowEntry();
}

std::string ShapeBarModel::ElevationLabel() const {
    if (!document_) return {};
    const auto* symbol = dynamic_cast<const CSymbolObject*>(std::as_const(*document_).CurrentObject());
    if (!symbol || !symbol->hasElevation) return ElevationText(-8000.0F, feet_);
    return ElevationText(symbol->elevation, feet_);
}

BarLayout ShapeBarModel::Layout() const {
    BarLayout layout;
    if (!document_) return layout;
    const ShapeKind kind = document_->Kind();
    if (kind == ShapeKind::kNone) return layout;
    layout.listCaption = true;
    if (kind == ShapeKind::kSymbol) {
        layout.caption = "Map Symbol";
        layout.note = layout.setFont = true;
        layout.elevation = layout.feet = document_->ShapeType() == SHPT_POINTZ;
        return layout;
    }
    layout.noFill = kind == ShapeKind::kPolygon;
    layout.wideLine = kind == ShapeKind::kLine || noFill_;
    layout.caption = kind == ShapeKind::kPolygon && !noFill_ ? "Fill Color" : "Line Color";
    return layout;
}

}  // namespace brisvel
