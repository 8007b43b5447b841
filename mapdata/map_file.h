#pragma once
// CMapFile: one open map file (text ".map"/".mep" or binary ".gpm") with what
// its header says (corners, radius unit, label scale, binary version) and the
// projection that turns positions into map coordinates: the gnomonic
// projection about the map centre, rotated by the map rotation. x grows
// westward, y northward.
//
// Positions are WaypointRecords (radians, longitude positive WEST) with
// their unit vectors. Distances in the header are statute miles (1.609 km).
//
// Threads: the map read thread reads through the object while the window
// thread appends dropped waypoints (WritePointRecord). Appends go through a
// descriptor of their own at the end of the file and raise the busy count
// while they run; readers wait per line while it is not 0
// (WaitWhileBusy). Everything else is one thread's at a time.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_file.h"
#include "core/waypoint_record.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/map_text_element.h"

namespace mapdata {

inline constexpr float kKmPerMile = 1.609F;
inline constexpr float kKmPerNm = 1.852F;
inline constexpr std::size_t kHeaderTextLimit = 510;
// The binary map version written, and the newest read.
inline constexpr int kBinaryMapVersion = 8;

// ReadHeader results.
enum class HeaderResult { kRead = 0, kUnreadable = -1, kRefused = 1 };

// ParseCoordinates results.
enum class CoordinateResult { kParsed = 0, kNotThreeNumbers = 1, kTextEnds = -1 };

struct ParsedCoordinates {
    CoordinateResult result = CoordinateResult::kTextEnds;
    double latitude = 0.0;  // radians
    double lonWest = 0.0;   // radians, positive west
    std::size_t consumed = 0;  // characters up to and including the comma after the groups
};

// Reads one coordinate pair (latitude d,m,s then longitude d,m,s, or the UTM
// form when the first field is 361 or more) from the start of text, in the
// C locale. Full-width forms are expected folded already.
ParsedCoordinates ParseCoordinates(std::wstring_view text);

// What ChooseMapFile needs from its caller: the file chooser (the map
// window's "Map File" dialog; nothing when cancelled), whether a GPS fix has
// been received, and the values a new default map is made from.
struct MapFileChoice {
    std::function<std::optional<std::wstring>()> chooser;
    bool haveFix = false;
    nav::WaypointRecord position;        // the current position (copied under MapLock)
    double mapRadius = 16.0;             // the map radius setting, user's distance unit
    double earthRadiusInUnit = 6371.0;   // the earth radius in the user's distance unit
};

enum class ChooseResult {
    kOpened,
    kCancelled,
    kOpenFailed,       // TextFile::Open has shown its box
    kEmptyWithoutFix,  // a new empty file without a fix was deleted
};

// The filter of the map file dialog, for the map window.
inline constexpr std::wstring_view kMapFileFilter =
    L"Maps  (*.map, *.mep)|*.map;*.mep|Binary Maps (*.gpm)|*.gpm|Maps  (*.map)|*.map|"
    L"Maps  (*.mep)|*.mep|All Files (*.*)|*.*";

struct RecordAt {
    nav::WaypointRecord record;
    std::int32_t code = 0;
    std::uint64_t lineStart = 0;
    std::uint64_t nextOffset = 0;  // after the line (and its note line)
    std::wstring note;
};

class CMapFile : public core::TextFile {
  public:
    CMapFile();

    // Opens path (or, when empty, the one the chooser gives) for reading and
    // writing; a file that cannot be written (EACCES, EROFS) opens read-only.
    // With mustExist a missing file fails; otherwise it is created. A new
    // empty file gets the default header around the position when there is
    // a fix, and is deleted otherwise.
    ChooseResult ChooseMapFile(std::wstring_view path, bool mustExist, const MapFileChoice& choice);

    // Opens the file at the same path again (after WriteBinaryMap replaced
    // it) and reads its header; a binary map's records end is then its end
    // marker when the file ends with one. False when it cannot be read.
    bool Reopen();

    // Reads the header: recognises the binary signature, keeps the header
    // text, corners, centre, scale, unit and radius.
    [[nodiscard]] HeaderResult ReadHeader();

    void SetCenter(const nav::WaypointRecord& centre);
    // Map coordinates of a position, in double precision and as the floats
    // the map keeps.
    void ProjectExact(const nav::WaypointRecord& p, double& x, double& y) const;
    void Project(const nav::WaypointRecord& p, float& x, float& y) const;
    void SetRotation(double angle, bool inDegrees);
    // Centres the projection on centre and sets the corners dx, dy (radians
    // of arc) to either side; scale = header scale = corner distance.
    void SetBoundsAround(nav::WaypointRecord centre, double dx, double dy,
                         nav::WaypointRecord& corner1, nav::WaypointRecord& corner2,
                         bool recentre);
    // The published transform for this projection at screen centre (cx, cy)
    // and k pixels per unit.
    MapDrawState DrawState(float cx, float cy, float k) const;

    // Writes the header of a new map around position.
    bool WriteDefaultHeader(const nav::WaypointRecord& position, double mapRadius,
                            double earthRadiusInUnit);
    // Appends a dropped waypoint: a text record with the next point code
    // (-11, -12, ...), or on a binary map a point record before a new end
    // marker. False when nothing is open, the file is read-only, a binary
    // map's end is unknown, or the write failed.
    bool WritePointRecord(const nav::WaypointRecord& position);
    // Appends lines (each CR LF ended) to a text map, after a line end when
    // its last line has none. False on a binary or read-only map, with
    // nothing open, or when the write failed.
    bool AppendTextLines(std::wstring_view lines);
    // The next record from offset (text maps); nothing at the end or when
    // the record does not parse.
    std::optional<RecordAt> ReadRecordAt(std::uint64_t offset);

    void CopyProjection(const CMapFile& other);
    void CopyFrom(const CMapFile& other);

    // Waits while an append runs.
    void WaitWhileBusy() const;

    // Header values.
    const std::wstring& HeaderText() const { return headerText_; }
    bool IsBinary() const { return binary_; }
    int Version() const { return version_; }
    bool IsReadOnly() const { return readOnly_; }
    float Scale() const { return scale_; }
    float CornerDistance() const { return cornerDistance_; }
    float HeaderScale() const { return headerScale_; }
    float HeaderRadius() const { return headerRadius_; }
    float UnitFactor() const { return unitFactor_; }
    wchar_t UnitLetter() const { return unitLetter_; }
    bool HasScale() const { return hasScale_; }
    const nav::WaypointRecord& Centre() const { return centre_; }
    float Corner1X() const { return corner1X_; }
    float Corner1Y() const { return corner1Y_; }
    float Corner2X() const { return corner2X_; }
    float Corner2Y() const { return corner2Y_; }
    std::int32_t NextPointCode() const { return nextPointCode_; }
    int BusyCount() const { return busyCount_.load(); }

    std::uint64_t dataStart = 0;   // the first record, after the header line
    // Binary maps: the end marker's offset, 0 while unknown. The read thread
    // sets it; the window thread appends there.
    std::atomic<std::uint64_t> recordsEnd{0};

  private:
    bool DetectBinarySignature();
    bool AppendTextRecord(const nav::WaypointRecord& position, std::int32_t code);
    bool AppendLines(std::wstring_view lines);
    bool AppendBinaryRecord(const nav::WaypointRecord& position, std::int32_t code);

    float corner2Y_ = 0.0F;
    float corner1Y_ = 0.0F;
    float corner2X_ = 0.0F;
    float corner1X_ = 0.0F;
    float scale_ = 0.0F;
    float cornerDistance_ = 0.0F;
    std::int32_t nextPointCode_ = -10;
    mutable std::atomic<int> busyCount_{0};
    nav::WaypointRecord centre_;
    bool hasScale_ = false;
    bool binary_ = false;
    bool readOnly_ = false;
    int version_ = 0;
    wchar_t unitLetter_ = L'M';
    float unitFactor_ = 1.0F;
    float headerRadius_ = 10.0F;
    float headerScale_ = 0.0F;
    Vector3 north_{0.0, 0.0, 1.0};
    double eastX_ = 0.0;
    double eastY_ = 1.0;
    std::array<float, 4> rotation_{1.0F, 0.0F, -0.0F, 1.0F};
    double rotationAngle_ = 0.0;
    std::wstring headerText_;
};

// The point element of a record of code -11 or below (a dropped waypoint):
// always drawn at the position, with scale values 1 and 2.
CMapTextElement PointMarkerElement(const nav::WaypointRecord& position, std::int32_t code,
                                   std::wstring text, float scale1, float scale2);

// The corners of a header and their distance in statute miles.
float CornerDistanceMiles(const nav::WaypointRecord& corner1, const nav::WaypointRecord& corner2);

}  // namespace mapdata
