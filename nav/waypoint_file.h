#pragma once
// CWaypointFile: the pilot's waypoint file (".dta" or ".tab"), read record by
// record and written by appending records at its end and commenting records
// out in place. Every line layout the readers know is in
// waypoint_line_parser.h; what an appended record looks like in
// waypoint_line_format.h.
//
// Record reading: blank lines and lines whose first non-blank character is
// ';' are skipped. A decimal record with the '\' prefix is followed by its
// comment line (unless the next line begins with ";#") and up to two
// attachment lines ";#i<image>" and ";#s<sound>"; an attachment is kept only
// when its file exists (see AttachmentPath). A record without an altitude
// takes the elevation model's value at its position, when the model covers
// it, and says so in its comment (" DEM Alt.").
//
// One thread uses a CWaypointFile at a time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_file.h"
#include "nav/waypoint_line_parser.h"
#include "core/waypoint_record.h"

namespace nav {

class CWaypointFile : public core::TextFile {
  public:
    // What ReadWaypoint found.
    enum ReadResult : int { kRead = 0, kEnd = 1, kNotOpen = -1 };

    CWaypointFile() = default;

    // Closes any open file and opens `path` for reading and writing (created
    // when missing; kRead only reads), then looks for the "ALT[M]" header.
    // On failure shows the "File Error" box unless quiet.
    bool OpenWaypoints(std::wstring_view path,
                       core::OpenMode mode = core::OpenMode::kReadWriteCreate, bool quiet = false);

    // Takes a descriptor that stays the caller's (see TextFile::Attach) and
    // looks for the "ALT[M]" header.
    bool AttachWaypoints(int fd);

    // The file's first line is the "ALT[M]" header: altitudes without a unit
    // letter are metres, and the records start after that line.
    bool AltitudesInMetres() const { return altitudesInMetres_; }

    // Reads the first record at or after `position` into `record` (cleared
    // first: no name, no strings, kind 13, no flags) and its map values into
    // *extension (zeroed first) when given. On kRead, lineStart is where the
    // record's own line starts and position is behind the record and its
    // attachment lines. kEnd when no record is left.
    ReadResult ReadWaypoint(std::uint64_t& position, WaypointRecord& record,
                            std::uint64_t& lineStart, MapExtension* extension = nullptr);

    // The data lines (neither blank nor comments) that ReadWaypoint passed
    // over because they are no records, since the file was opened.
    std::size_t LinesNotRecords() const { return linesNotRecords_; }

    // Appends the record at the end of the file: after a line end when the
    // last line has none, and after an empty comment line when the last line
    // is a record with the '\' prefix that lacks its own (the new record
    // would read as its comment otherwise). Returns where the record's line starts, or nothing
    // when the file is not open or the write failed; a part that was written
    // is then commented out, so the file reads as it did.
    std::optional<std::uint64_t> AppendWaypoint(const WaypointRecord& record,
                                                const MapExtension* extension = nullptr);

    // Comments the record out: ';' over the first character of its line and,
    // when it has one, of its comment line. False when a write failed.
    bool DeleteWaypoint(std::uint64_t lineStart, const WaypointRecord& record);

  private:
    void ProbeHeader();
    void ReadAttachments(WaypointRecord& record);
    // What an append must write before its record line.
    std::wstring_view AppendLead();
    bool EndsWithLineEnd();
    std::optional<std::uint64_t> LastLineStart();

    bool altitudesInMetres_ = false;
    std::size_t linesNotRecords_ = 0;
    WaypointLineParser parser_;
    std::wstring comment_;
};

}  // namespace nav
