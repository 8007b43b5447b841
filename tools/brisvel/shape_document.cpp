#include "tools/brisvel/shape_document.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <system_error>
#include <utility>

#include "mapdata/map_palette.h"
#include "platform/whole_file.h"
#include "tools/brisvel/brisvel_settings.h"
#include "tools/brisvel/map_writer.h"
#include "tools/brisvel/shapefile_check.h"

namespace brisvel {
namespace {

bool SupportedType(int type) {
    return type == SHPT_POINT || type == SHPT_ARC || type == SHPT_POLYGON || type == SHPT_MULTIPOINT ||
           type == SHPT_POINTZ || type == SHPT_ARCZ || type == SHPT_POLYGONZ;
}

// Coordinates and heights beyond this are taken for damage, not data.
constexpr double kLargestValue = 1e7;

bool Usable(double value) {
    return std::isfinite(value) && std::fabs(value) <= kLargestValue;
}

// A file box value as a bound: damaged values become 0.
float BoundValue(double value) {
    return Usable(value) ? static_cast<float>(value) : 0.0F;
}

bool UsableVertices(const SHPObject& shape) {
    for (int i = 0; i < shape.nVertices; ++i)
        if (!Usable(shape.padfX[i]) || !Usable(shape.padfY[i])) return false;
    return true;
}

std::string SavePromptText(std::string_view fileName) {
    return "File: " + std::string(fileName) +
           "\n\nYou have added to your map since you last saved it.\nDo you want to save changes to file";
}

}  // namespace

ShapeKind KindOfShapeType(int shapeType) {
    switch (shapeType) {
        case SHPT_POINT:
        case SHPT_POINTZ: return ShapeKind::kSymbol;
        case SHPT_ARC:
        case SHPT_ARCZ: return ShapeKind::kLine;
        case SHPT_POLYGON:
        case SHPT_MULTIPOINT:
        case SHPT_POLYGONZ: return ShapeKind::kPolygon;
        default: return ShapeKind::kNone;
    }
}

CShapeDocument::CShapeDocument(FrameBounds& frame, DocumentPrompts& prompts)
    : frame_(frame), prompts_(prompts) {}

CShapeDocument::~CShapeDocument() = default;

std::string CShapeDocument::FileName() const {
    return path_.has_filename() ? path_.filename().string() : path_.string();
}

std::string CShapeDocument::FileLine(const std::filesystem::path& path) {
    return "File: " + (path.has_filename() ? path.filename().string() : path.string()) + "\n";
}

bool CShapeDocument::OpenShapefile(const std::filesystem::path& path, bool reopening) {
    // The user heard of the damage when the file was first opened.
    const ShapefileCheck check = reopening ? ShapefileCheck{} : CheckShapefile(path);
    if (!check.fatal.empty()) {
        prompts_.Tell(FileLine(path) + check.fatal + "\n\nThe shapefile cannot be opened.", "File Error");
        return false;
    }
    if (!check.damages.empty()) {
        std::string text = FileLine(path);
        for (const std::string& damage : check.damages) text += damage + "\n";
        text += "\nShapes that are damaged are left out of the map. Do you want to open it all the same?";
        if (!prompts_.Ask(text, "Damaged shapefile")) return false;
    }
    ShpFile shp(SHPOpen(path.c_str(), "rb"));
    if (!shp) {
        prompts_.Tell(FileLine(path) + "The shapefile reader cannot open it.\n\nThe shapefile cannot be opened.",
                      "File Error");
        return false;
    }
    int count = 0, type = 0;
    double minBound[4] = {}, maxBound[4] = {};
    SHPGetInfo(shp.get(), &count, &type, minBound, maxBound);
    if (!SupportedType(type)) {
        prompts_.Tell("Sorry this shape type is not supported", "File Type Error");
        return false;
    }
    std::string tablePath = path.string();
    const std::size_t dot = tablePath.rfind('.');
    tablePath = (dot == std::string::npos ? tablePath + "." : tablePath.substr(0, dot + 1)) + "dbf";
    DbfFile dbf(check.tableUsable ? DBFOpen(tablePath.c_str(), "rb") : nullptr);

    shp_ = std::move(shp);
    dbf_ = std::move(dbf);
    path_ = path;
    shapeCount_ = std::max(count, 0);
    shapeType_ = type;
    std::copy(std::begin(minBound), std::end(minBound), minBound_);
    std::copy(std::begin(maxBound), std::end(maxBound), maxBound_);
    fieldNames_.clear();
    if (dbf_) {
        for (int i = 0; i < DBFGetFieldCount(dbf_.get()); ++i) {
            char name[XBASE_FLDNAME_LEN_READ + 1] = {};
            DBFGetFieldInfo(dbf_.get(), i, name, nullptr, nullptr);
            fieldNames_.emplace_back(name);
        }
    }
    currentText_.clear();
    if (!reopening) {
        field_ = 0;
        if (IsSet(frame_.bounds)) {
            bounds_ = frame_.bounds;
        } else {
            bounds_ = FileBox();
            frame_.bounds = bounds_;
        }
    }
    addedMarks_.assign(static_cast<std::size_t>(shapeCount_), 0);
    current_ = -1;
    currentObject_.reset();
    return true;
}

core::GeoBox CShapeDocument::FileBox() const {
    return {BoundValue(minBound_[0]), BoundValue(minBound_[1]), BoundValue(maxBound_[0]), BoundValue(maxBound_[1])};
}

void CShapeDocument::SetField(int field) {
    field_ = field;
}

std::string CShapeDocument::FieldText(int shape) const {
    if (!dbf_ || field_ < 0 || field_ >= DBFGetFieldCount(dbf_.get()) || shape < 0 ||
        shape >= DBFGetRecordCount(dbf_.get()))
        return {};
    const char* text = DBFReadStringAttribute(dbf_.get(), shape, field_);
    return text ? std::string(text) : std::string();
}

void CShapeDocument::SetCurrentText(std::string text) {
    currentText_ = std::move(text);
    if (currentObject_ && currentObject_->GetKind() == CMapObject::Kind::kSymbol)
        currentObject_->name = currentText_;
}

CMapObject* CShapeDocument::BuildMapObjects(const ObjectStyle& style) {
    if (!shp_) return nullptr;
    for (int i = current_ + 1; i < shapeCount_; ++i) {
        const ShapeRecord shape(SHPReadObject(shp_.get(), i));
        if (shape && shape->nSHPType == SHPT_NULL) continue;
        std::unique_ptr<CMapObject> object;
        if (shape) {
            try {
                object = MakeObject(*shape, style);
            } catch (const std::bad_alloc&) {
                object.reset();
            }
        }
        if (!object) {
            ++skipped_;
            continue;
        }
        current_ = i;
        currentText_ = FieldText(i);
        object->name = currentText_;
        currentObject_ = std::move(object);
        return currentObject_.get();
    }
    return nullptr;
}

std::unique_ptr<CMapObject> CShapeDocument::MakeObject(const SHPObject& shape, const ObjectStyle& style) const {
    if (shape.nVertices > 0 && (!shape.padfX || !shape.padfY || !UsableVertices(shape))) return nullptr;
    switch (shapeType_) {
        case SHPT_POINT:
        case SHPT_POINTZ: {
            if (shape.nVertices < 1 || !shape.padfX || !shape.padfY) return nullptr;
            auto symbol = std::make_unique<CSymbolObject>();
            symbol->lon = static_cast<float>(shape.padfX[0]);
            symbol->lat = static_cast<float>(shape.padfY[0]);
            symbol->box.Extend(core::GeoPoint{symbol->lat, symbol->lon});
            symbol->symbol = style.symbol.value_or(CSymbolObject::kDefaultSymbol);
            if (shapeType_ == SHPT_POINTZ && shape.padfZ && Usable(shape.padfZ[0])) {
                symbol->hasElevation = true;
                symbol->elevation = static_cast<float>(shape.padfZ[0]);
            }
            return symbol;
        }
        case SHPT_ARC:
        case SHPT_ARCZ:
        case SHPT_POLYGON:
        case SHPT_POLYGONZ:
        case SHPT_MULTIPOINT: return MakePolyObject(shape, style);
        default: return nullptr;
    }
}

std::unique_ptr<CMapObject> CShapeDocument::MakePolyObject(const SHPObject& shape,
                                                           const ObjectStyle& style) const {
    const bool multipoint = shapeType_ == SHPT_MULTIPOINT;
    auto poly = std::make_unique<CPolyObject>(shapeType_ == SHPT_POLYGON || shapeType_ == SHPT_POLYGONZ);
    const int parts = multipoint ? shape.nParts + 1 : shape.nParts;
    if (!shape.padfX || !shape.padfY || !poly->AllocateParts(parts, shape.nVertices, multipoint))
        return nullptr;
    const auto addRun = [&](int begin, int end) {
        for (int v = begin; v < end; ++v)
            if (!poly->AddVertex(static_cast<float>(shape.padfX[v]), static_cast<float>(shape.padfY[v]),
                                 v == begin))
                return;
    };
    if (multipoint && shape.nParts == 0) {
        addRun(0, shape.nVertices);
    } else {
        for (int p = 0; p < shape.nParts && shape.panPartStart; ++p) {
            const int begin = std::clamp(shape.panPartStart[p], 0, shape.nVertices);
            const int end = p + 1 < shape.nParts ? std::clamp(shape.panPartStart[p + 1], begin, shape.nVertices)
                                                 : shape.nVertices;
            if (end - begin >= 2) addRun(begin, end);
        }
    }
    if (poly->VertexCount() == 0) return nullptr;
    poly->ComputeRingOrientations();
    if (style.colourIndex && *style.colourIndex >= 0 && *style.colourIndex < 16) {
        poly->colourNumber = *style.colourIndex + 1;
        poly->colourValue = mapdata::ColorrefFromRgb(mapdata::kMapPalette[static_cast<std::size_t>(*style.colourIndex)]);
    }
    poly->lineWidth = style.wideLine ? 3 : 1;
    poly->noFill = style.noFill;
    return poly;
}

bool CShapeDocument::AddCurrent(const ObjectStyle& style) {
    if (!currentObject_) return false;
    std::unique_ptr<CMapObject> object = std::move(currentObject_);
    bool added = false;
    if (current_ >= 0 && current_ < shapeCount_ && addedMarks_[static_cast<std::size_t>(current_)] == 0) {
        object->group = currentText_.empty() ? "NONAME" : currentText_;
        JoinGroup(object->group);
        added_.push_back(std::move(object));
        addedMarks_[static_cast<std::size_t>(current_)] = 1;
        added = true;
    }
    BuildMapObjects(style);
    return added;
}

void CShapeDocument::DropCurrent(const ObjectStyle& style) {
    currentObject_.reset();
    BuildMapObjects(style);
}

void CShapeDocument::JoinGroup(const std::string& group) {
    if (groups_.size() >= kMaxGroupNames) return;
    for (const std::string& known : groups_)
        if (SameTextIgnoringCase(known, group)) return;
    groups_.push_back(group);
}

void CShapeDocument::CloseShapefile() {
    shp_.reset();
    dbf_.reset();
    fieldNames_.clear();
    currentObject_.reset();
    if (modified_ && prompts_.Ask(SavePromptText(FileName()), "Save file?")) SaveMapFile(std::nullopt);
    added_.clear();
    groups_.clear();
    modified_ = false;
}

bool CShapeDocument::SaveMapFile(const std::optional<std::filesystem::path>& newName) {
    std::filesystem::path target = newName ? *newName : mapName_;
    if (target.empty()) {
        const auto chosen = prompts_.AskMapName();
        if (!chosen) return false;
        target = *chosen;
    }
    std::error_code error;
    if ((newName || mapName_.empty()) && std::filesystem::exists(target, error) &&
        !prompts_.Ask("File " + target.string() +
                          " already EXISTS.\nContinuing will OVERWRITE this file.\nDo you want to OVERWRITE this file?",
                      "File exists"))
        return false;
    core::GeoBox bounds = bounds_;
    if (!prompts_.AskBounds(bounds)) return false;
    bounds_ = bounds;
    frame_.bounds = bounds;
    if (frame_.store) SaveBounds(*frame_.store, bounds);
    const bool namesAsComments = groups_.size() >= kFlatGroupCount && !added_.empty() &&
                                 added_.front()->GetKind() != CMapObject::Kind::kSymbol &&
                                 prompts_.Ask("Do you want to write object names as comments", "File formatting");
    const std::string text = BuildMapText(added_, groups_, bounds_, namesAsComments);
    if (platform::ReplaceWholeFile(target, text)) {
        prompts_.Tell("File: " + target.string() + "\n\ncould NOT be opened", "File error");
        return false;
    }
    mapName_ = target;
    modified_ = false;
    return true;
}

}  // namespace brisvel
