#pragma once
// One open shapefile with its attribute table: stepping through its shapes,
// the map object of the current shape, the objects added so far with their
// group names, and writing them as a text map.
//
// Shapes that make no object (null shapes, records the library cannot read,
// polygons under 4 points, lines under 2, no memory) are passed over when
// stepping, so stepping ends only at the end of the file; those that were
// not null shapes are counted (SkippedCount). Names are the table's bytes.
// Questions, messages and the two dialogs of saving go through
// DocumentPrompts, so tests answer them. UI thread.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_store.h"
#include "tools/brisvel/geo_bounds.h"
#include "tools/brisvel/map_objects.h"
#include "tools/brisvel/shape_file.h"

namespace brisvel {

class DocumentPrompts {
  public:
    virtual ~DocumentPrompts() = default;
    virtual void Tell(std::string_view text, std::string_view caption) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(std::string_view text, std::string_view caption) = 0;
    // The Save As dialog: the map's name, nothing when cancelled.
    virtual std::optional<std::filesystem::path> AskMapName() = 0;
    // The Set Bounds dialog over `bounds`; false when cancelled.
    virtual bool AskBounds(core::GeoBox& bounds) = 0;
};

// What the frame keeps for every document: the bounds chosen last (kept in
// the settings store when there is one).
struct FrameBounds {
    core::GeoBox bounds = kUnsetBounds;
    platform::SettingsStore* store = nullptr;
};

// How the shape bar wants the next object made: the selected symbol list
// entry's value, or the selected colour's position (0..15).
struct ObjectStyle {
    std::optional<int> symbol;
    std::optional<int> colourIndex;
    bool wideLine = false;
    bool noFill = false;
};

enum class ShapeKind { kNone, kSymbol, kLine, kPolygon };
ShapeKind KindOfShapeType(int shapeType);

class CShapeDocument {
  public:
    CShapeDocument(FrameBounds& frame, DocumentPrompts& prompts);
    virtual ~CShapeDocument();
    CShapeDocument(const CShapeDocument&) = delete;
    CShapeDocument& operator=(const CShapeDocument&) = delete;

    // Opens the shapefile and its table and resets the stepping (index -1,
    // no object). A file that cannot be opened is told with its reason; a
    // damaged one (cut short, shapes whose counts overrun their records or
    // whose points are not degrees, a missing or damaged table) is opened
    // only when the user says Yes after being told. Unless reopening, the field becomes 0 and the bounds come
    // from the frame's when set, else from the file's box (which the frame
    // then keeps). False when it cannot be opened or its type is not one of
    // points, lines, polygons, multipoints (and their Z forms).
    virtual bool OpenShapefile(const std::filesystem::path& path, bool reopening = false);
    // Closes the files, drops the current object and, after offering to save
    // unsaved additions, every added object.
    virtual void CloseShapefile();
    // Saves the added objects: to `newName`, else to the stored name (asking
    // for one when there is none). False when stopped or not written.
    virtual bool SaveMapFile(const std::optional<std::filesystem::path>& newName);

    // Steps to the next shape that makes an object and makes it current;
    // null at the end of the file, leaving the current object as it was.
    CMapObject* BuildMapObjects(const ObjectStyle& style);
    // Makes the next step start from the first shape.
    void Rewind() { current_ = -1; }
    // Adds the current object unless its shape was added before, then steps
    // to the next shape. True when it was added.
    bool AddCurrent(const ObjectStyle& style);
    // Drops the current object without adding it and steps to the next.
    void DropCurrent(const ObjectStyle& style);

    bool IsOpen() const { return shp_ != nullptr; }
    const std::filesystem::path& Path() const { return path_; }
    std::string FileName() const;
    int ShapeType() const { return shapeType_; }
    ShapeKind Kind() const { return KindOfShapeType(shapeType_); }
    int ShapeCount() const { return shapeCount_; }
    int CurrentIndex() const { return current_; }
    // The file's box: x longitude, y latitude.
    double MinX() const { return minBound_[0]; }
    double MinY() const { return minBound_[1]; }
    double MaxX() const { return maxBound_[0]; }
    double MaxY() const { return maxBound_[1]; }
    // The file's box as bounds (damaged values as 0).
    core::GeoBox FileBox() const;

    const std::vector<std::string>& FieldNames() const { return fieldNames_; }
    int Field() const { return field_; }
    void SetField(int field);
    // The chosen field of a record, as the table's bytes; empty without one.
    std::string FieldText(int shape) const;
    const std::string& CurrentText() const { return currentText_; }
    void SetCurrentText(std::string text);
    CMapObject* CurrentObject() { return currentObject_.get(); }
    const CMapObject* CurrentObject() const { return currentObject_.get(); }

    const std::vector<std::unique_ptr<CMapObject>>& Added() const { return added_; }
    const std::vector<std::string>& Groups() const { return groups_; }
    bool IsModified() const { return modified_; }
    void SetModified() { modified_ = true; }
    const core::GeoBox& WriteBounds() const { return bounds_; }
    const std::filesystem::path& MapName() const { return mapName_; }
    int SkippedCount() const { return skipped_; }
    void ResetSkippedCount() { skipped_ = 0; }

  private:
    // "File: <name>" and a line end, as the boxes start.
    static std::string FileLine(const std::filesystem::path& path);
    std::unique_ptr<CMapObject> MakeObject(const SHPObject& shape, const ObjectStyle& style) const;
    std::unique_ptr<CMapObject> MakePolyObject(const SHPObject& shape, const ObjectStyle& style) const;
    void JoinGroup(const std::string& group);

    FrameBounds& frame_;
    DocumentPrompts& prompts_;
    ShpFile shp_;
    DbfFile dbf_;
    std::filesystem::path path_;
    int shapeCount_ = 0;
    int shapeType_ = 0;
    double minBound_[4] = {};
    double maxBound_[4] = {};
    std::vector<std::string> fieldNames_;
    int field_ = 0;
    core::GeoBox bounds_ = kUnsetBounds;
    int current_ = -1;
    std::string currentText_;
    std::unique_ptr<CMapObject> currentObject_;
    std::vector<std::uint8_t> addedMarks_;
    std::vector<std::unique_ptr<CMapObject>> added_;
    std::vector<std::string> groups_;
    std::filesystem::path mapName_;
    bool modified_ = false;
    int skipped_ = 0;
};

}  // namespace brisvel
