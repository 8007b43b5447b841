#pragma once
// Owning handles for the shapefile library's files and shape records.

#include <shapefil.h>

#include <memory>

namespace brisvel {

struct ShpCloser {
    void operator()(SHPInfo* handle) const { SHPClose(handle); }
};
struct DbfCloser {
    void operator()(DBFInfo* handle) const { DBFClose(handle); }
};
struct ShapeDestroyer {
    void operator()(SHPObject* shape) const { SHPDestroyObject(shape); }
};

using ShpFile = std::unique_ptr<SHPInfo, ShpCloser>;
using DbfFile = std::unique_ptr<DBFInfo, DbfCloser>;
using ShapeRecord = std::unique_ptr<SHPObject, ShapeDestroyer>;

}  // namespace brisvel
