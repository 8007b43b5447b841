#include "nav/task_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <system_error>

#include "core/angles.h"
#include "core/elevation_model.h"
#include "platform/ddx_text.h"
#include "platform/numbers.h"

namespace nav {
namespace {

constexpr std::wstring_view kTaskHeader = L"/*TASK*/";
constexpr std::wstring_view kZonesHeader = L"\\*zones*\\";
constexpr std::wstring_view kNotesHeader = L"\\*notes*\\";
constexpr std::wstring_view kImagesHeader = L"\\*images*\\";
constexpr std::wstring_view kSoundsHeader = L"\\*sounds*\\";
constexpr std::wstring_view kLineEnd = L"\r\n";
constexpr wchar_t kFullWidthComma = 0xFF0C;
using core::kRadiansPerDegree;
constexpr float kNoTargetAltitude = -10000.0F;
constexpr float kLowestTargetAltitude = -8000.0F;

enum Section { kNotes = 0, kImages = 1, kSounds = 2, kSectionCount = 3 };

// Reads one line of fields the way a scanf format does: each call is one
// conversion ("%d" Int, "%f" Float, "%lf" Double, "%c" Char, "%*c" Skip);
// the first that fails ends the scan, and Count() is the values stored.
class FieldScanner {
  public:
    explicit FieldScanner(std::wstring_view text) : text_(text) {}

    FieldScanner& Int(int& value) { return Number(platform::ScanInt(Rest()), value); }
    FieldScanner& Float(float& value) { return Number(platform::ScanFloat(Rest()), value); }
    FieldScanner& Double(double& value, std::size_t* fieldStart = nullptr) {
        if (fieldStart != nullptr) *fieldStart = pos_;
        return Number(platform::ScanDouble(Rest()), value);
    }
    FieldScanner& Char(wchar_t& value) {
        if (failed_ || pos_ >= text_.size()) {
            failed_ = true;
        } else {
            value = text_[pos_++];
            ++count_;
        }
        return *this;
    }
    FieldScanner& Skip() {
        if (failed_ || pos_ >= text_.size()) {
            failed_ = true;
        } else {
            ++pos_;
        }
        return *this;
    }
    int Count() const { return count_; }

  private:
    std::wstring_view Rest() const { return text_.substr(std::min(pos_, text_.size())); }
    template <typename Scanned, typename T>
    FieldScanner& Number(const Scanned& scanned, T& value) {
        if (failed_ || !scanned) {
            failed_ = true;
        } else {
            value = scanned->value;
            pos_ += scanned->length;
            ++count_;
        }
        return *this;
    }

    std::wstring_view text_;
    std::size_t pos_ = 0;
    int count_ = 0;
    bool failed_ = false;
};

std::wstring Folded(std::wstring_view text) {
    std::wstring folded(text);
    platform::FoldFullWidth(folded);
    return folded;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

std::wstring_view TrimRight(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return TrimRight(text);
}

// Degrees, minutes and seconds to radians, with the sign rules of the file:
// a negative degree value makes the whole angle negative, "-0" with minutes
// too, and an angle whose three parts are all <= 0 is their plain sum.
double AngleRadians(double degrees, double minutes, double seconds, std::wstring_view field) {
    const double fraction = seconds / 60.0 + minutes;
    double angle = degrees >= 0.0 ? fraction / 60.0 + degrees : -(fraction / 60.0 - degrees);
    if (degrees == 0.0) {
        for (const wchar_t c : field) {
            if (c == L',' || c == L'0') break;
            if (c == L'-') {
                angle = -angle;
                break;
            }
        }
    }
    if (degrees <= 0.0 && minutes <= 0.0 && seconds <= 0.0) angle = fraction / 60.0 + degrees;
    return angle * kRadiansPerDegree;
}

// Positions beyond these are no places on the earth; such a line is broken.
bool IsPlausible(double latitude, double longitude) {
    return std::fabs(latitude) <= std::numbers::pi / 2.0 &&
           std::fabs(longitude) <= 2.0 * std::numbers::pi;
}

void TakeElevation(WaypointRecord& record) {
    const auto model = core::CurrentElevationModel();
    if (!model) return;
    if (const auto elevation = model->GetElevationAt(record.longitude, record.latitude)) {
        record.altitude = *elevation;
        record.altitudeKnown = true;
    }
}

int SectionOf(std::wstring_view line) {
    if (line == kNotesHeader) return kNotes;
    if (line.substr(0, kImagesHeader.size()) == kImagesHeader) return kImages;
    if (line.substr(0, kSoundsHeader.size()) == kSoundsHeader) return kSounds;
    return -1;
}

// A note as stored (lines joined by CR LF) from its file form.
std::wstring NoteFromFile(std::wstring_view text) {
    std::wstring note;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            note += L"\r\n";
        } else if (c != L'\r' && c != L'\n') {
            note += c;
        }
    }
    return note;
}

// --- Writing.

// Text put on one line: every line break becomes `join`.
std::wstring OneLine(std::wstring_view text, std::wstring_view join) {
    std::wstring line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            line += join;
        } else {
            line += c;
        }
    }
    return line;
}

// A point's name as the reader will find it again: up to the first comma.
std::wstring PointName(std::wstring_view name) {
    std::wstring safe = OneLine(name, L" ");
    for (wchar_t& c : safe) {
        if (c == L',' || c == kFullWidthComma) c = L' ';
    }
    return safe;
}

void AppendLine(std::wstring& out, std::wstring_view line) {
    out += line;
    out += kLineEnd;
}

std::wstring PointLine(const CTaskPoint& p) {
    const double latitude = p.latitude / kRadiansPerDegree;
    const double longitude = p.longitude / kRadiansPerDegree;
    std::wstring line = PointName(p.name);
    line += p.altitudeKnown != 0 ? platform::FormatC(L",%lf,0,0,%lf,0,0,%.0f", latitude, longitude,
                                                     static_cast<double>(p.altitude))
                                 : platform::FormatC(L",%lf,0,0,%lf,0,0", latitude, longitude);
    return line;
}

std::wstring ZoneLine(const CTaskPoint& p) {
    const int kind =
        p.notCounted != 0 && p.pointKind != 0 ? kKindTurnpoint | kKindNotCountedBit : p.pointKind;
    const double altitude = p.target.altitudeKnown ? p.target.altitude : kNoTargetAltitude;
    return platform::FormatC(
        L"%d,%d,%d,%d,%0.2f,%0.2f,%d,%0.2f,%0.2f,%0.2f,%0.7lf,%0.7lf,%0.0f", p.role, kind,
        p.hasCylinder, p.hasSector, static_cast<double>(p.cylinderRadius),
        static_cast<double>(p.sectorRadius), p.sectorMode, static_cast<double>(p.sectorAngle),
        static_cast<double>(p.sectorDirection), static_cast<double>(p.sectorInnerRadius),
        p.target.longitude / kRadiansPerDegree, p.target.latitude / kRadiansPerDegree, altitude);
}

const std::wstring& SectionText(const CTaskPoint& p, int section) {
    const WaypointAttachments& a = p.target.attachments;
    return section == kNotes ? a.comment : section == kImages ? a.image : a.sound;
}

void AppendSection(std::wstring& out, const CTask& task, int section) {
    int entries = 0;
    for (const auto& p : task.points)
        entries += SectionText(*p, section).empty() ? 0 : 1;
    if (entries == 0) return;
    static constexpr std::wstring_view kHeaders[] = {kNotesHeader, kImagesHeader, kSoundsHeader};
    AppendLine(out, kHeaders[section]);
    AppendLine(out, platform::FormatC(L"%d,%d", static_cast<int>(task.points.size()), entries));
    for (const auto& p : task.points) {
        const std::wstring& text = SectionText(*p, section);
        if (text.empty()) {
            AppendLine(out, L"0");
        } else {
            AppendLine(out, L"1," + OneLine(text, section == kNotes ? L"\\" : L" "));
        }
    }
}

}  // namespace

// --- Reading.

std::optional<TaskBlockReader::Line> TaskBlockReader::NextLine() {
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t start = pos_;
    std::size_t end = text_.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text_.size();
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == L'\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == L'\n') ++pos_;
    return Line{std::wstring_view(text_).substr(start, end - start), start};
}

int TaskBlockReader::ReadTask(CTask& task) {
    const std::size_t start = pos_;
    const int result = ReadBlock(task);
    if (result != 0) {
        const std::wstring_view rest = std::wstring_view(text_).substr(start);
        if (rest.find_first_not_of(L" \t\r\n") != std::wstring_view::npos) unread_ = rest;
    }
    return result;
}

int TaskBlockReader::ReadBlock(CTask& task) {
    for (;;) {
        const auto line = NextLine();
        if (!line) return 1;
        if (Folded(line->text) == kTaskHeader) break;
    }
    task.DeletePoints();
    const auto name = NextLine();
    if (!name) return 1;
    task.name = name->text;
    if (!NextLine()) return 1;  // the line after the name is not used
    const auto counts = NextLine();
    if (!counts) return 1;

    int ordinary = 0;
    int extra = 0;
    int total = 0;
    if (FieldScanner(Folded(counts->text))
            .Int(ordinary)
            .Skip()
            .Int(extra)
            .Skip()
            .Int(total)
            .Count() < 1) {
        return 1;
    }
    task.extraStart = extra > 0 ? 1 : 0;
    task.extraFinish = extra >= 2 ? 1 : 0;
    if (!ReadPoints(task, ordinary, extra)) return 1;
    ComputeSectorDirections(task);
    if (total == 0 || total != static_cast<int>(task.points.size())) return 0;

    const auto zones = NextLine();
    if (!zones) return 0;
    if (zones->text != kZonesHeader) {
        SetBack(*zones);
        return 0;
    }
    if (!ReadZones(task) || !ReadTaskLine(task)) return 1;
    ReadSections(task);
    return 0;
}

bool TaskBlockReader::ReadPoints(CTask& task, int ordinary, int extra) {
    const std::int64_t lines = std::int64_t{ordinary} + extra;
    for (std::int64_t i = 0; i < lines; ++i) {
        const auto line = NextLine();
        if (!line) return false;
        const std::size_t comma = line->text.find_first_of(L",\xFF0C");
        if (comma == std::wstring_view::npos) return false;
        const std::wstring rest = Folded(line->text.substr(comma + 1));
        double values[6] = {};
        float altitude = 0.0F;
        std::size_t latitudeField = 0;
        std::size_t longitudeField = 0;
        const int count = FieldScanner(rest)
                              .Double(values[0], &latitudeField)
                              .Skip()
                              .Double(values[1])
                              .Skip()
                              .Double(values[2])
                              .Skip()
                              .Double(values[3], &longitudeField)
                              .Skip()
                              .Double(values[4])
                              .Skip()
                              .Double(values[5])
                              .Skip()
                              .Float(altitude)
                              .Count();
        if (count < 6) return false;
        const std::wstring_view text(rest);
        const double latitude =
            AngleRadians(values[0], values[1], values[2], text.substr(latitudeField));
        const double longitude =
            AngleRadians(values[3], values[4], values[5], text.substr(longitudeField));
        if (!IsPlausible(latitude, longitude)) return false;

        WaypointRecord record;
        record.latitude = latitude;
        record.longitude = longitude;
        record.ComputeUnitVector();
        record.name.Assign(TrimRight(line->text.substr(0, comma)));
        if (count == 7) {
            record.altitude = altitude;
            record.altitudeKnown = true;
        } else {
            TakeElevation(record);
        }
        auto point = std::make_unique<CTaskPoint>(record);
        point->name = TrimRight(line->text.substr(0, comma));

        const bool isExtraStart =
            task.extraStart != 0 && i == lines - (task.extraFinish != 0 ? 2 : 1);
        const bool isExtraFinish = task.extraFinish != 0 && i == lines - 1;
        if (isExtraStart) {
            point->ordinal = MakeOrdinal(kExtraStartNumber);
            task.points.insert(task.points.begin(), std::move(point));
        } else {
            point->ordinal = MakeOrdinal(isExtraFinish ? kExtraFinishNumber : static_cast<int>(i));
            task.points.push_back(std::move(point));
        }
    }
    return true;
}

bool TaskBlockReader::ReadZones(CTask& task) {
    const auto countLine = NextLine();
    int count = -1;
    if (!countLine || FieldScanner(Folded(countLine->text)).Int(count).Count() < 1 ||
        count != static_cast<int>(task.points.size())) {
        return false;
    }
    for (const auto& point : task.points) {
        const auto line = NextLine();
        if (!line) return false;
        CTaskPoint& p = *point;
        int role = 0, kind = 0, cylinder = 0, sector = 0, mode = 0;
        float cylinderRadius = 0.0F, sectorRadius = 0.0F, angle = 0.0F, direction = 0.0F;
        float inner = 0.0F, altitude = 0.0F;
        double longitude = 0.0, latitude = 0.0;
        wchar_t unit = L' ';
        const int values = FieldScanner(Folded(line->text))
                               .Int(role)
                               .Skip()
                               .Int(kind)
                               .Skip()
                               .Int(cylinder)
                               .Skip()
                               .Int(sector)
                               .Skip()
                               .Float(cylinderRadius)
                               .Skip()
                               .Float(sectorRadius)
                               .Skip()
                               .Int(mode)
                               .Skip()
                               .Float(angle)
                               .Skip()
                               .Float(direction)
                               .Skip()
                               .Float(inner)
                               .Skip()
                               .Double(longitude)
                               .Skip()
                               .Double(latitude)
                               .Skip()
                               .Float(altitude)
                               .Char(unit)
                               .Count();
        if (values < 8) return false;
        p.role = role;
        p.pointKind = kind;
        p.hasCylinder = cylinder;
        p.hasSector = sector;
        p.cylinderRadius = cylinderRadius;
        p.sectorRadius = sectorRadius;
        p.sectorMode = mode;
        p.sectorAngle = angle;
        if (values >= 9) p.sectorDirection = direction;
        p.notCounted = kind == (kKindTurnpoint | kKindNotCountedBit) ? 1 : 0;
        if (values >= 10) p.sectorInnerRadius = inner;
        if (values >= 12) {
            if (!IsPlausible(latitude * kRadiansPerDegree, longitude * kRadiansPerDegree))
                return false;
            p.target.latitude = latitude * kRadiansPerDegree;
            p.target.longitude = longitude * kRadiansPerDegree;
            p.target.ComputeUnitVector();
        }
        if (values >= 13 && altitude > kLowestTargetAltitude) {
            const bool metres = values == 14 && (unit == L'm' || unit == L'M');
            p.target.altitude = metres ? static_cast<float>(altitude * kFeetPerMetre) : altitude;
            p.target.altitudeKnown = true;
        }
        if (!p.target.altitudeKnown) TakeElevation(p.target);
    }
    return true;
}

bool TaskBlockReader::ReadTaskLine(CTask& task) {
    const auto line = NextLine();
    if (!line) return false;
    const int values = FieldScanner(Folded(line->text))
                           .Float(task.fifthValue)
                           .Skip()
                           .Float(task.startLineWidth)
                           .Skip()
                           .Float(task.finishLineWidth)
                           .Skip()
                           .Int(task.startIsLine)
                           .Skip()
                           .Int(task.finishIsLine)
                           .Count();
    if (values != 5) return false;
    if (task.startIsLine != 0) {
        if (CTaskPoint* start = task.StartPoint())
            start->lineHalfWidth = task.startLineWidth / 2.0F;
    }
    if (task.finishIsLine != 0) {
        if (CTaskPoint* finish = task.FinishPoint()) {
            finish->lineHalfWidth = task.finishLineWidth / 2.0F;
        }
    }
    return true;
}

void TaskBlockReader::ReadSections(CTask& task) {
    int expected = kNotes;
    while (expected < kSectionCount) {
        const auto line = NextLine();
        if (!line) return;
        const int found = SectionOf(line->text);
        if (found != expected) {
            SetBack(*line);
            if (found < expected) return;
            expected = found;
            continue;
        }
        if (!ReadSection(task, expected)) return;
        ++expected;
    }
}

bool TaskBlockReader::ReadSection(CTask& task, int section) {
    const auto countLine = NextLine();
    if (!countLine) return false;
    int points = 0;
    int entries = 0;
    if (FieldScanner(Folded(countLine->text)).Int(points).Skip().Int(entries).Count() < 2 ||
        points < entries || points != static_cast<int>(task.points.size())) {
        return false;
    }
    for (const auto& point : task.points) {
        const auto line = NextLine();
        if (!line) return false;
        std::wstring text(line->text);
        std::size_t comma = std::wstring::npos;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] > 0xFF00 && text[i] <= 0xFF5E)
                text[i] = static_cast<wchar_t>(text[i] - 0xFEE0);
            if (text[i] == L',') {
                comma = i;
                break;
            }
        }
        if (comma == std::wstring::npos) continue;  // "0": no entry for this point
        int present = 0;
        if (FieldScanner(std::wstring_view(text).substr(0, comma)).Int(present).Count() < 1) {
            return false;
        }
        if (present == 0) continue;
        WaypointAttachments& attachments = point->target.attachments;
        if (section == kNotes) {
            std::wstring note = NoteFromFile(line->text.substr(comma + 1));
            if (!note.empty()) attachments.comment = std::move(note);
            continue;
        }
        const std::wstring_view trimmed = Trim(text);
        const std::size_t nameStart = trimmed.find(L',');
        const std::wstring_view name = trimmed.substr(nameStart + 1);
        std::error_code error;
        if (name.empty() || !std::filesystem::exists(AttachmentPath(name), error)) continue;
        (section == kImages ? attachments.image : attachments.sound).assign(name);
    }
    return true;
}

// --- Writing.

std::wstring FormatTaskBlock(const CTask& task) {
    const bool extraStart = task.extraStart != 0;
    const bool extraFinish = extraStart && task.extraFinish != 0;
    const int extraCount = extraStart ? (extraFinish ? 2 : 1) : 0;
    const auto total = static_cast<int>(task.points.size());

    std::wstring out;
    AppendLine(out, kTaskHeader);
    AppendLine(out, OneLine(task.name, L" "));
    AppendLine(out, L"0");
    AppendLine(out, platform::FormatC(L"%d,%d,%d", total - extraCount, extraCount, total));
    const std::size_t first = extraStart ? 1 : 0;
    const std::size_t end = task.points.size() - (extraFinish && !task.points.empty() ? 1 : 0);
    for (std::size_t i = first; i < end; ++i)
        AppendLine(out, PointLine(*task.points[i]));
    if (extraStart && !task.points.empty()) AppendLine(out, PointLine(*task.points.front()));
    if (extraFinish && task.points.size() > 1) AppendLine(out, PointLine(*task.points.back()));

    AppendLine(out, kZonesHeader);
    AppendLine(out, platform::FormatC(L"%d", total));
    for (const auto& p : task.points)
        AppendLine(out, ZoneLine(*p));
    AppendLine(out,
               platform::FormatC(L"%0.2f,%0.2f,%0.02f,%d,%d", static_cast<double>(task.fifthValue),
                                 static_cast<double>(task.startLineWidth),
                                 static_cast<double>(task.finishLineWidth), task.startIsLine,
                                 task.finishIsLine));
    for (int section = kNotes; section < kSectionCount; ++section)
        AppendSection(out, task, section);
    return out;
}

// --- The file.

int CTaskFile::ReadTask(CTask& task) {
    if (!reader_) {
        std::wstring text;
        // A line longer than any task line is left out whole, never cut.
        while (const auto line = ReadWholeLine(L'\n', 0))
            text += *line;
        reader_.emplace(std::move(text));
    }
    return reader_->ReadTask(task);
}

int CTaskFile::WriteTask(const CTask& task) {
    return WriteLine(FormatTaskBlock(task)) ? 0 : 1;
}

void CTaskFile::ReadAllTasks(CTaskList& list) {
    list.DeleteAll();
    for (;;) {
        auto task = std::make_unique<CTask>();
        if (ReadTask(*task) != 0) {
            list.SetUnreadText(std::wstring(reader_->Unread()));
            return;
        }
        ComputeTaskLegs(*task, false, true, true);
        list.Append(std::move(task));
    }
}

int CTaskFile::WriteAllTasks(const CTaskList& list) {
    for (const auto& task : list) {
        if (const int result = WriteTask(*task); result != 0) return result;
    }
    // What could not be read stays in the file, after the tasks.
    if (!list.UnreadText().empty() && !WriteLine(list.UnreadText())) return 1;
    return 0;
}

TaskFileLoad LoadTaskFile(const std::wstring& path, CTaskList& list) {
    CTaskFile file;
    TaskFileLoad load;
    if (!file.Open(path, core::OpenMode::kRead, /*quiet=*/true)) {
        load.error = errno;
        return load;
    }
    load.opened = true;
    file.ReadAllTasks(list);
    load.longLines = file.LongLinesSkipped();
    load.stoppedEarly = !list.UnreadText().empty();
    file.Close();
    return load;
}

bool SaveTaskFile(const std::wstring& path, const CTaskList& list) {
    CTaskFile file;
    if (!file.Open(path, core::OpenMode::kReplace, /*quiet=*/false)) return false;
    const int written = file.WriteAllTasks(list);
    const bool closed = file.Close();  // a failed write keeps the old file and shows the box
    return written == 0 && closed;
}

}  // namespace nav
