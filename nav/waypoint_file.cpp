#include "nav/waypoint_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "nav/waypoint_line_format.h"

namespace nav {
namespace {

// A comment or attachment line longer than this keeps only its beginning.
constexpr std::size_t kLongestLine = 1u << 16;

bool IsAttachmentLine(std::wstring_view line) {
    return line.size() >= 2 && MatchesAscii(line[0], L';') && MatchesAscii(line[1], L'#');
}

std::wstring_view TrimWaypointText(std::wstring_view text) {
    const auto blank = [](wchar_t c) {
        return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The comment line's text: every '\' a line break (CR LF), CR and LF dropped.
std::wstring CommentText(std::wstring_view line) {
    std::wstring comment;
    for (const wchar_t c : line) {
        if (c == L'\\') {
            comment += L"\r\n";
        } else if (c != L'\r' && c != L'\n') {
            comment += c;
        }
    }
    return comment;
}

void TakeAttachment(WaypointRecord& record, std::wstring_view line) {
    if (line.size() < 3) return;
    const wchar_t kind = line[2];
    const bool image = MatchesAscii(kind, L'i') || MatchesAscii(kind, L'I');
    const bool sound = MatchesAscii(kind, L's') || MatchesAscii(kind, L'S');
    const std::wstring_view name = TrimWaypointText(line.substr(3));
    if ((!image && !sound) || name.empty()) return;
    std::error_code error;
    if (!std::filesystem::exists(AttachmentPath(name), error)) return;
    (image ? record.attachments.image : record.attachments.sound).assign(name);
}

// The elevation model's value for a record read without an altitude.
void TakeWaypointElevation(WaypointRecord& record) {
    const auto model = core::CurrentElevationModel();
    if (!model) return;
    const auto elevation = model->GetElevationAt(record.longitude, record.latitude);
    if (!elevation) return;
    record.altitude = *elevation;
    record.altitudeKnown = true;
    std::wstring& comment = record.attachments.comment;
    if (record.attachments.commentLineOffset != 0 || !comment.empty()) {
        comment += L"; DEM Alt.";
    } else {
        comment = L" DEM Alt.";
    }
}

bool IsUtf16(core::TextEncoding encoding) {
    return encoding == core::TextEncoding::kUtf16Le || encoding == core::TextEncoding::kUtf16Be;
}

}  // namespace

bool CWaypointFile::OpenWaypoints(std::wstring_view path, core::OpenMode mode, bool quiet) {
    if (IsOpen()) Close();
    altitudesInMetres_ = false;
    if (!Open(path, mode, quiet)) return false;
    ProbeHeader();
    return true;
}

bool CWaypointFile::AttachWaypoints(int fd) {
    if (IsOpen()) Close();
    altitudesInMetres_ = false;
    if (!Attach(fd)) return false;
    ProbeHeader();
    return true;
}

void CWaypointFile::ProbeHeader() {
    altitudesInMetres_ = false;
    linesNotRecords_ = 0;
    SetPosition(DataStart());
    ClearEndOfFile();
    const auto first = ReadLine(L'\n', 0);
    if (first && IsMetresHeader(*first)) {
        altitudesInMetres_ = true;
        SetDataStart(GetPosition());
    }
    SetPosition(DataStart());
    ClearEndOfFile();
}

CWaypointFile::ReadResult CWaypointFile::ReadWaypoint(std::uint64_t& position,
                                                      WaypointRecord& record,
                                                      std::uint64_t& lineStart,
                                                      MapExtension* extension) {
    if (!IsOpen()) return kNotOpen;
    SetPosition(position);
    ClearEndOfFile();
    record.name.Clear();
    record.attachments.Clear();
    record.kind = kKindWaypoint;
    record.flags = 0;
    if (extension != nullptr) extension->fill(0.0F);

    while (const auto line = ReadNextDataLine(L'\n', L';', 0)) {
        const WaypointLine parsed = parser_.Parse(*line, altitudesInMetres_, record, extension);
        if (!parsed.accepted) {
            ++linesNotRecords_;
            continue;
        }
        lineStart = LineStart();
        if (parsed.attachmentsFollow) ReadAttachments(record);
        if (!record.altitudeKnown) TakeWaypointElevation(record);
        position = GetPosition();
        return kRead;
    }
    return kEnd;
}

// Reads the lines after a record with the '\' prefix: the comment line, then
// up to two ";#" lines. The first line that is neither is left for the next
// read. A file that ends here keeps the record as it is.
void CWaypointFile::ReadAttachments(WaypointRecord& record) {
    const auto readWholeLine = [this]() {
        comment_.clear();
        while (const auto piece = ReadLine(L'\n', 0)) {
            if (comment_.size() < kLongestLine) comment_ += piece->substr(0, kLongestLine);
            if (piece->back() == L'\n' || EndOfFile()) break;
        }
        return !comment_.empty();
    };

    std::uint64_t next = GetPosition();
    bool have = readWholeLine();
    if (have && !IsAttachmentLine(comment_)) {
        record.attachments.commentLineOffset = next;
        record.attachments.comment = CommentText(comment_);
        next = GetPosition();
        have = readWholeLine();
    }
    for (int count = 0; count < 2 && have && IsAttachmentLine(comment_); ++count) {
        TakeAttachment(record, comment_);
        next = GetPosition();
        have = readWholeLine();
    }
    SetPosition(next);
    ClearEndOfFile();
}

// Where the last line of the file starts (a line end at the very end does
// not count); nothing when it lies further back than a record line can be.
std::optional<std::uint64_t> CWaypointFile::LastLineStart() {
    constexpr std::uint64_t kTail = 4096;
    const auto length = GetLength();
    if (!length || *length <= DataStart()) return std::nullopt;
    const bool utf16 = IsUtf16(GetEncoding());
    const std::uint64_t unit = utf16 ? 2 : 1;
    std::uint64_t tailStart = std::max(DataStart(), *length > kTail ? *length - kTail : 0);
    if (utf16 && (tailStart - DataStart()) % 2 != 0) ++tailStart;

    std::string tail(*length - tailStart, '\0');
    SetPosition(tailStart);
    tail.resize(ReadBytes(tail.data(), tail.size()));
    const bool bigEndian = GetEncoding() == core::TextEncoding::kUtf16Be;
    const auto lineEndAt = [&](std::size_t i) {
        if (!utf16) return tail[i] == '\n';
        const char low = bigEndian ? tail[i + 1] : tail[i];
        const char high = bigEndian ? tail[i] : tail[i + 1];
        return low == '\n' && high == '\0';
    };
    std::size_t end = tail.size() - tail.size() % unit;
    if (end >= unit && lineEndAt(end - unit)) end -= unit;
    for (std::size_t i = end; i >= unit; i -= unit) {
        if (lineEndAt(i - unit)) return tailStart + i;
    }
    if (tailStart == DataStart()) return DataStart();
    return std::nullopt;
}

bool CWaypointFile::EndsWithLineEnd() {
    const auto length = GetLength();
    const std::uint64_t unit = IsUtf16(GetEncoding()) ? 2 : 1;
    if (!length || *length < DataStart() + unit) return true;
    SetPosition(*length - unit);
    ClearEndOfFile();
    return ReadCharacter() == L'\n';
}

std::wstring_view CWaypointFile::AppendLead() {
    const bool ended = EndsWithLineEnd();
    bool bareRecord = false;
    if (const auto start = LastLineStart()) {
        SetPosition(*start);
        ClearEndOfFile();
        if (const auto line = ReadLine(L'\n', 0)) {
            WaypointRecord scratch;
            bareRecord =
                parser_.Parse(*line, altitudesInMetres_, scratch, nullptr).attachmentsFollow;
        }
    }
    if (bareRecord) return ended ? L"\r\n" : L"\r\n\r\n";
    return ended ? L"" : L"\r\n";
}

std::optional<std::uint64_t> CWaypointFile::AppendWaypoint(const WaypointRecord& record,
                                                           const MapExtension* extension) {
    if (!IsOpen()) return std::nullopt;
    const std::wstring_view lead = AppendLead();
    if (!SeekToEnd()) return std::nullopt;
    if (!lead.empty() && !WriteLine(lead)) return std::nullopt;

    const std::uint64_t start = GetPosition();
    const bool metres = core::g_unitAlt.load(std::memory_order_relaxed) != 0;
    if (WriteLine(FormatWaypointLines(record, extension, metres, altitudesInMetres_))) return start;

    const auto length = GetLength();
    if (length && *length > start) PutCharAt(start, ';');
    SeekToEnd();
    return std::nullopt;
}

bool CWaypointFile::DeleteWaypoint(std::uint64_t lineStart, const WaypointRecord& record) {
    if (!PutCharAt(lineStart, ';')) return false;
    const std::uint64_t commentLine = record.attachments.commentLineOffset;
    return commentLine == 0 || PutCharAt(commentLine, ';');
}

}  // namespace nav
