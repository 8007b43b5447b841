#include "mapdata/text_map_reader.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <memory>
#include <new>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "core/angles.h"
#include "core/geodesy.h"
#include "mapdata/binary_map.h"
#include "mapdata/map_circle_element.h"
#include "mapdata/map_palette.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/map_utilities.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/utf.h"

namespace mapdata {
namespace {

using std::wstring_view;

using core::kRadiansPerDegree;
constexpr float kReaderFeetPerMetre = 3.2808F;
// Nautical miles to radians of arc (one minute of arc each).
constexpr double kReaderRadiansPerNm = std::numbers::pi / 10800.0;
constexpr int kLineOptions = core::TextFile::kStripDelimiter |
                             core::TextFile::kStripTrailingSpace |
                             core::TextFile::kSkipLeadingSpace;
constexpr std::int32_t kFreePolylinePen = 17;
constexpr std::int32_t kFirstWidePen = 33;
constexpr float kOutlineArcStep = 5.0F;

// Up to `count` numbers, each after one skipped character (the first after
// none): "%f%*c%f%*c%f..." from text.
template <typename T, std::size_t N>
int ScanSeparated(wstring_view text, std::array<T, N>& out, std::size_t* consumed = nullptr) {
    std::size_t pos = 0;
    int n = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            if (pos >= text.size()) break;
            ++pos;
        }
        std::optional<platform::Scanned<T>> v;
        if constexpr (std::is_same_v<T, float>) {
            v = platform::ScanFloat(text.substr(pos));
        } else {
            v = platform::ScanDouble(text.substr(pos));
        }
        if (!v) break;
        out[i] = v->value;
        pos += v->length;
        ++n;
    }
    if (consumed) *consumed = pos;
    return n;
}

// "%*c%d%*c%d...": up to N integers from pos, each after one skipped
// character; pos moves behind the last one read. Returns how many.
template <std::size_t N>
int ScanSkippedInts(wstring_view text, std::size_t& pos, std::array<std::int32_t, N>& out) {
    int count = 0;
    for (; static_cast<std::size_t>(count) < N && pos < text.size(); ++count) {
        const auto value = platform::ScanInt(text.substr(pos + 1));
        if (!value) break;
        out[static_cast<std::size_t>(count)] = value->value;
        pos += 1 + value->length;
    }
    return count;
}

std::uint32_t ColorrefOf(const std::array<std::int32_t, 4>& rgb) {
    return ColorrefFromRgb({static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                            static_cast<std::uint8_t>(rgb[2])});
}

// A symbol's elevation "^value[M]^" at pos (feet; metres when 'M' precedes
// the closing '^'); pos moves behind it. Without a closing '^' only the '^'
// is passed over.
std::optional<float> SymbolElevation(wstring_view text, std::size_t& pos) {
    if (pos >= text.size() || text[pos] != L'^') return std::nullopt;
    const std::size_t close = text.find(L'^', pos + 1);
    if (close == wstring_view::npos) {
        ++pos;
        return std::nullopt;
    }
    const auto v = platform::ScanFloat(text.substr(pos + 1, close - pos - 1));
    pos = close + 1;
    if (!v) return std::nullopt;
    const wchar_t unit = text[close - 1];
    return (unit == L'M' || unit == L'm') ? v->value * kReaderFeetPerMetre : v->value;
}

// |v| without overflow at the smallest int (files may hold any number).
std::int64_t Magnitude(std::int32_t v) { return std::abs(static_cast<std::int64_t>(v)); }

// Pen of a "-6" arc's pen number: 1..16 thin, -1..-16 dashed, 0 (or out of
// range) keeps the current pen.
std::int32_t ArcPen(std::int32_t n, std::int32_t current) {
    if (Magnitude(n) > 16 || n == 0) return current;
    return n < 0 ? 31 - n : n - 1;
}

// The fill style of pattern P, advancing the hatch counter for patterns.
std::int32_t FillStyleOf(std::int32_t pattern, std::int32_t& hatch) {
    if ((pattern & 0x0F) > 7) pattern = 7;
    // Any pattern number may stand in a file: the sum wraps rather than
    // overflows.
    std::uint32_t style = static_cast<std::uint32_t>(pattern) + 1U;
    if (pattern != 0) {
        hatch = (hatch + 3) % 64;
        style += 16U * static_cast<std::uint32_t>(hatch);
    }
    return static_cast<std::int32_t>(style);
}

// '\' becomes CR LF.
std::wstring WithLineBreaks(wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'\\') {
            out += L"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

struct PendingZone {
    bool active = false;
    std::uint32_t flags = 0;
    float upper = 0.0F;
    float lower = 0.0F;
    float a = -1.0F;
    float b = -1.0F;
};

class TextMapReader {
  public:
    TextMapReader(MapReadContext& context, CMapFile& file, float sizeFactor,
                  std::vector<std::filesystem::path>& open)
        : context_(context), file_(file), sizeFactor_(sizeFactor), open_(open) {}

    bool Read();

  private:
    bool ReadLines();
    void Line(std::wstring& line);
    void ScaleLine(wstring_view text);
    bool Include(wstring_view name);
    void Record(wstring_view line);

    void Vertex(const nav::WaypointRecord& at, std::int32_t pen, std::uint32_t kind);
    void StartPolyline(float lonWest, float latitude, bool withPoint);
    void FinishPolyline(std::unique_ptr<CMapPolyElement> poly, bool zone);
    void FinishCurrent() { FinishPolyline(std::move(current_), currentIsZone_); }
    void FillText(wstring_view text);
    std::vector<std::unique_ptr<CMapCircleElement>> Arcs(const nav::WaypointRecord& at,
                                                          wstring_view text);
    void FreeArcs(const nav::WaypointRecord& at, wstring_view text);
    void OutlineArcs(const nav::WaypointRecord& at, wstring_view text);
    void ZoneLimits(wstring_view text);
    void Label(const nav::WaypointRecord& at, wstring_view text);
    void Symbol(const nav::WaypointRecord& at, std::int32_t code, wstring_view text);
    // Adds a circle of a symbol record: to its list, or as a zone (with its
    // enlarged copy) while zone limits are pending; returns the zone
    // elements made.
    void SymbolCircle(std::unique_ptr<CMapCircleElement> circle,
                      std::vector<CMapCircleElement*>& zoneCircles);
    // The circle of an '@' entry; nothing when it gives no radius. A negative
    // radius clears makeSymbol; radiusMiles gets the radius in miles.
    std::unique_ptr<CMapCircleElement> AtCircle(wstring_view entry, bool& makeSymbol,
                                                float& radiusMiles);
    // The zone circles of a symbol record take the pending name (with the
    // symbol's name added) and note.
    void NameZoneCircles(const std::wstring& name, const std::vector<CMapCircleElement*>& circles);
    void ApplyPending(CMapElement& element);
    std::optional<std::wstring> NextRawLine();

    MapReadContext& context_;
    CMapFile& file_;
    float sizeFactor_;
    std::vector<std::filesystem::path>& open_;

    std::unique_ptr<CMapPolyElement> current_;
    bool currentIsZone_ = false;
    std::unique_ptr<CMapPolyElement> free_;
    std::int32_t lastThinPen_ = 1;
    std::int32_t lastWidePen_ = kFirstWidePen;
    std::int32_t currentPen_ = 1;
    PendingZone pending_;
    std::wstring pendingName_;
    std::wstring pendingNote_;
    bool ended_ = false;  // a note line was missing at the end of the file
};

bool TextMapReader::Read() {
    if (file_.IsBinary()) return ReadBinaryMap(context_, file_);
    const bool done = ReadLines();
    context_.longLinesSkipped += file_.LongLinesSkipped();
    return done;
}

bool TextMapReader::ReadLines() {
    file_.ClearEndOfFile();
    file_.SetPosition(file_.dataStart);
    context_.hatchCounter = 0;
    try {
        while (!context_.StopRequested() && !ended_) {
            file_.WaitWhileBusy();
            const auto read = file_.ReadNextDataLine(L'\n', L';', kLineOptions);
            if (!read) break;
            std::wstring line(*read);
            FoldFullWidthText(line);
            Line(line);
            if (context_.error != MapReadError::kNone) return false;
            context_.AfterElements();
        }
        FinishCurrent();
        if (free_) {
            if (free_->PointCount() >= 2) {
                free_->ComputeBounds();
                context_.Add(TargetList::kGeneral, std::move(free_));
            }
            free_.reset();
        }
    } catch (const std::bad_alloc&) {
        current_.reset();
        free_.reset();
        context_.error = MapReadError::kNoMemory;
        return false;
    }
    return true;
}

void TextMapReader::Line(std::wstring& line) {
    if (line.empty()) return;
    if (line[0] == L'*') {
        ScaleLine(wstring_view(line).substr(1));
    } else if (line[0] == L'?') {
        Include(wstring_view(line).substr(1));  // a failed read has set the error
    } else {
        Record(line);
    }
}

void TextMapReader::ScaleLine(wstring_view text) {
    std::array<float, 4> v{};
    const int n = ScanSeparated(text, v);
    if (n < 2) return;
    auto& s = context_.scales;
    s[0] = v[0] * sizeFactor_;
    s[1] = v[1] * sizeFactor_;
    s[2] = n == 4 ? v[2] * sizeFactor_ : 0.0F;
    s[3] = n == 4 ? v[3] * sizeFactor_ : 0.0F;
}

// False only when the included file was read and its read failed.
bool TextMapReader::Include(wstring_view rawName) {
    std::wstring name(rawName);
    while (!name.empty() && (name.back() == L' ' || name.back() == L'\t')) name.pop_back();
    if (name.empty() || open_.size() > static_cast<std::size_t>(kMaxIncludeDepth)) return true;
    const std::filesystem::path path = platform::ResolveDataFilePath(
        (context_.mainFolder / platform::ToUtf8(platform::NormalisePath(wstring_view(name)))).string());
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    if (ec || std::find(open_.begin(), open_.end(), canonical) != open_.end()) return true;
    // Only files: a device or a pipe could block or never end.
    if (!std::filesystem::is_regular_file(canonical, ec)) return true;

    CMapFile included;
    if (!included.Open(platform::FromUtf8(path.string()), core::OpenMode::kRead, true)) return true;
    if (included.ReadHeader() != HeaderResult::kRead) return true;
    const float factor = sizeFactor_ * (file_.Scale() / file_.CornerDistance()) /
                         (included.Scale() / included.CornerDistance());
    if (!std::isfinite(factor)) return true;
    const auto saved = context_.scales;
    open_.push_back(canonical);
    TextMapReader reader(context_, included, factor, open_);
    const bool done = reader.Read();
    open_.pop_back();
    context_.scales = saved;
    context_.hatchCounter = 0;
    return done;
}

void TextMapReader::Record(wstring_view line) {
    const ParsedCoordinates c = ParseCoordinates(line);
    if (c.result != CoordinateResult::kParsed) return;
    if (c.consumed >= line.size() || line[c.consumed - 1] != L',') return;
    const wstring_view afterCoordinates = line.substr(c.consumed);
    const auto code = platform::ScanInt(afterCoordinates);
    if (!code) return;
    std::size_t pos = code->length;
    while (pos < afterCoordinates.size() &&
           (afterCoordinates[pos] == L' ' || afterCoordinates[pos] == L'\t')) {
        ++pos;
    }
    const bool hasText = pos < afterCoordinates.size();
    if (hasText && afterCoordinates[pos] != L',') return;  // not exactly one number
    const wstring_view text = hasText ? afterCoordinates.substr(pos + 1) : wstring_view();
    const std::int32_t k = code->value;
    if (!hasText && !(k == -1 || k == -2 || k == -3 || k <= kMarkerCode)) return;

    const nav::WaypointRecord at(c.latitude, c.lonWest, false);
    switch (k) {
        case 0:
            if (!free_) {
                free_ = std::make_unique<CMapPolyElement>();
                free_->scale1 = 0.0F;
                free_->scale2 = 0.0F;
            }
            free_->AddPoint(static_cast<float>(at.longitude), static_cast<float>(at.latitude),
                            kFreePolylinePen, 1);
            return;
        case -1:
        case -3: {
            std::int32_t c2 = 0;
            if (const auto v = platform::ScanInt(text)) c2 = v->value;
            if (Magnitude(c2) > 16) c2 = 0;
            std::int32_t pen = 0;
            if (k == -1) {
                pen = c2 > 0 ? c2 - 1 : (c2 < 0 ? 15 - c2 : lastThinPen_);
                lastThinPen_ = pen;
            } else {
                pen = c2 != 0 ? static_cast<std::int32_t>(Magnitude(c2)) + 31 : lastWidePen_;
                lastWidePen_ = pen;
            }
            currentPen_ = pen;
            Vertex(at, pen, k == -1 ? 1 : 3);
            return;
        }
        case -2:
            FinishCurrent();
            currentPen_ = 1;
            lastThinPen_ = 1;
            lastWidePen_ = kFirstWidePen;
            StartPolyline(static_cast<float>(at.longitude), static_cast<float>(at.latitude), true);
            FillText(text);
            return;
        case -4:
            FreeArcs(at, text);
            return;
        case -5:
            Label(at, text);
            return;
        case -6:
            OutlineArcs(at, text);
            return;
        case -7:
            ZoneLimits(text);
            return;
        case -8:
        case -9:
        case -10:
            return;
        default:
            break;
    }
    if (k <= kMarkerCode) {
        context_.Add(TargetList::kGeneral,
                     std::make_unique<CMapTextElement>(PointMarkerElement(
                         at, k, std::wstring(text), context_.scales[0], context_.scales[1])));
    } else {
        Symbol(at, k, text);
    }
}

void TextMapReader::Vertex(const nav::WaypointRecord& at, std::int32_t pen, std::uint32_t kind) {
    if (!current_) {
        current_ = std::make_unique<CMapPolyElement>();
        currentIsZone_ = false;
        current_->scale1 = context_.scales[0];
        current_->scale2 = context_.scales[1];
    }
    current_->AddPoint(static_cast<float>(at.longitude), static_cast<float>(at.latitude), pen,
                       kind);
}

void TextMapReader::StartPolyline(float lonWest, float latitude, bool withPoint) {
    current_ = std::make_unique<CMapPolyElement>();
    current_->scale1 = context_.scales[0];
    current_->scale2 = context_.scales[1];
    currentIsZone_ = pending_.active;
    if (pending_.active) ApplyPending(*current_);
    if (withPoint) current_->AddPoint(lonWest, latitude, 1, 0);
}

void TextMapReader::ApplyPending(CMapElement& e) {
    e.upperAltitude = pending_.upper;
    e.lowerAltitude = pending_.lower;
    e.limitA = pending_.a;
    e.limitB = pending_.b;
    e.flags = element_flag::kZone | (pending_.flags == 3 ? element_flag::kNotesHidden : 0);
    if (!pendingName_.empty()) e.SetString(pendingName_, L'\0', 0);
    if (!pendingNote_.empty()) e.SetString(pendingNote_, L'\0', 1);
    pending_ = {};
    pendingName_.clear();
    pendingNote_.clear();
}

void TextMapReader::FinishPolyline(std::unique_ptr<CMapPolyElement> poly, bool zone) {
    if (!poly || poly->PointCount() < 2) return;
    if (!zone) {
        poly->ComputeBounds();
        const TargetList target = poly->type == 17   ? TargetList::kSymbols17
                                  : poly->type == 27 ? TargetList::kSymbols27
                                                     : TargetList::kGeneral;
        context_.Add(target, std::move(poly));
        return;
    }
    if (context_.horGuardNm == 0.0F) {
        poly->PrepareZone(0.0F);
        poly->ComputeBounds();
        context_.Add(TargetList::kZones, std::move(poly));
        return;
    }
    poly->ClosePolygon();
    poly->ComputeBounds();
    auto copy = std::make_unique<CMapPolyElement>(*poly);
    copy->PrepareZone(static_cast<float>(context_.horGuardNm * kReaderRadiansPerNm));
    copy->ComputeBounds();
    poly->zoneSerial = context_.zoneCounter;
    copy->zoneSerial = context_.zoneCounter;
    ++context_.zoneCounter;
    poly->flags |= element_flag::kNotTested;
    copy->flags |= element_flag::kEnlargedCopy;
    context_.Add(TargetList::kZones, std::move(poly));
    context_.Add(TargetList::kZones, std::move(copy));
}

void TextMapReader::FillText(wstring_view text) {
    const auto n0 = platform::ScanInt(text);
    if (!n0) return;
    std::int32_t n = n0->value;
    if (n < 0) {
        current_->outline = false;
        n = static_cast<std::int32_t>(std::min<std::int64_t>(Magnitude(n), INT32_MAX));
    }
    current_->type = n;
    if (const auto colour = PaletteColour(n)) {
        current_->fillColour = ColorrefFromRgb(*colour);
        current_->fillStyle = 1;
        return;
    }
    // "%*d%*c%d%*c%d%*c%d%*c%d": R, G, B and the pattern after the number.
    std::array<std::int32_t, 4> v{};
    std::size_t pos = n0->length;
    const int count = ScanSkippedInts(text, pos, v);
    if (count < 3) return;
    current_->fillColour = ColorrefOf(v);
    current_->fillStyle = FillStyleOf(count == 4 ? v[3] : 0, context_.hatchCounter);
}

std::vector<std::unique_ptr<CMapCircleElement>> TextMapReader::Arcs(const nav::WaypointRecord& at,
                                                                    wstring_view text) {
    std::vector<std::unique_ptr<CMapCircleElement>> arcs;
    const auto make = [&](bool ccw, std::int32_t pen) {
        auto arc = std::make_unique<CMapCircleElement>();
        arc->centre = {static_cast<float>(at.x), static_cast<float>(at.y), static_cast<float>(at.z)};
        arc->counterClockwise = ccw;
        arc->penNumber = pen;
        arc->colourNumber = 0;
        arc->scale1 = context_.scales[0];
        arc->scale2 = context_.scales[1];
        return arc;
    };
    if (text.empty()) return arcs;
    if (text[0] == L'$' || text[0] == L'&') {
        const wstring_view rest = text.substr(1);
        const ParsedCoordinates p1 = ParseCoordinates(rest);
        if (p1.result != CoordinateResult::kParsed || p1.consumed >= rest.size()) return arcs;
        const ParsedCoordinates p2 = ParseCoordinates(rest.substr(p1.consumed));
        if (p2.result != CoordinateResult::kParsed) return arcs;
        std::int32_t pen = 0;
        if (const auto v = platform::ScanInt(rest.substr(p1.consumed + p2.consumed))) pen = v->value;
        // Not quiet: a point on the centre (or opposite it) tells the pilot
        // why the arc is missing. The box has only an OK button, so the read
        // thread hands it to the UI thread and goes on.
        const auto first = core::g_ellipsoid.GeodesicInverse(at.latitude, -at.longitude,
                                                              p1.latitude, -p1.lonWest, false);
        if (!first.valid) return arcs;
        const auto second = core::g_ellipsoid.GeodesicInverse(at.latitude, -at.longitude,
                                                               p2.latitude, -p2.lonWest, false);
        if (!second.valid) return arcs;
        auto arc = make(text[0] == L'$', pen);
        arc->startBearing = static_cast<float>(first.course12);
        arc->endBearing = static_cast<float>(second.course12);
        arc->radiusKm = static_cast<float>((first.distance + second.distance) / 2.0) * kKmPerNm;
        arcs.push_back(std::move(arc));
        return arcs;
    }
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == L'@' || text[pos] == L'#')) {
        const bool ccw = text[pos] == L'@';
        const wstring_view entry = text.substr(pos + 1);
        std::array<float, 3> v{};
        std::size_t used = 0;
        if (ScanSeparated(entry, v, &used) < 3) break;
        std::int32_t pen = 0;
        if (used + 1 <= entry.size()) {
            if (const auto p = platform::ScanInt(entry.substr(used + 1))) pen = p->value;
        }
        auto arc = make(ccw, pen);
        arc->radiusKm = v[0] * kKmPerMile * file_.UnitFactor();
        arc->startBearing = static_cast<float>(v[1] * kRadiansPerDegree);
        arc->endBearing = static_cast<float>(v[2] * kRadiansPerDegree);
        arcs.push_back(std::move(arc));
        const std::size_t m = entry.find(L'M');
        if (m == wstring_view::npos) break;
        pos += 1 + m + 1;
    }
    return arcs;
}

void TextMapReader::FreeArcs(const nav::WaypointRecord& at, wstring_view text) {
    for (auto& arc : Arcs(at, text)) {
        arc->ComputeBounds();
        context_.Add(TargetList::kGeneral, std::move(arc));
    }
}

void TextMapReader::OutlineArcs(const nav::WaypointRecord& at, wstring_view text) {
    if (!current_) StartPolyline(0.0F, 0.0F, false);
    for (auto& arc : Arcs(at, text)) {
        currentPen_ = ArcPen(arc->penNumber, currentPen_);
        if (current_ && (current_->fillStyle != 0 || currentIsZone_)) {
            current_->AddCircleOutline(*arc, kOutlineArcStep, currentPen_, 1);
            continue;
        }
        if (current_ && current_->PointCount() > 0) {
            const UnitVector start = arc->GetArcStart();
            current_->AppendPointRecord({start.x, start.y, start.z, currentPen_, 1});
            current_->ComputeBounds();
            context_.Add(TargetList::kGeneral, std::move(current_));
        }
        current_ = std::make_unique<CMapPolyElement>();
        currentIsZone_ = false;
        current_->scale1 = context_.scales[0];
        current_->scale2 = context_.scales[1];
        const UnitVector end = arc->GetArcEnd();
        current_->AppendPointRecord({end.x, end.y, end.z, currentPen_, 1});
        arc->ComputeBounds();
        context_.Add(TargetList::kGeneral, std::move(arc));
    }
}

void TextMapReader::ZoneLimits(wstring_view text) {
    // "%*c%f%*c%f%c%c%f%*c%f"
    if (text.empty()) return;
    std::size_t pos = 1;
    const auto upper = platform::ScanFloat(text.substr(pos));
    if (!upper) return;
    pos += upper->length + 1;
    if (pos > text.size()) return;
    const auto lower = platform::ScanFloat(text.substr(pos));
    if (!lower) return;
    pos += lower->length;
    const wchar_t c1 = pos < text.size() ? text[pos] : 0;
    const wchar_t c2 = pos + 1 < text.size() ? text[pos + 1] : 0;
    float a = -1.0F;
    float b = -1.0F;
    if (pos + 2 <= text.size()) {
        std::array<float, 2> ab{};
        const int n = ScanSeparated(text.substr(pos + 2), ab);
        if (n >= 1) a = ab[0];
        if (n >= 2) b = ab[1];
    }
    pending_.active = true;
    pending_.flags = (c2 == L'H' || c2 == L'h') ? 3 : 1;
    pendingNote_.clear();
    const float k = (c1 == L'M' || c1 == L'm') ? kReaderFeetPerMetre : 1.0F;
    pending_.upper = upper->value * k;
    pending_.lower = lower->value * k;
    pending_.a = a > 0.0F ? a * k : a;
    pending_.b = b > 0.0F ? b * k : b;
    if (text.back() == L'\\') {
        const auto note = NextRawLine();
        if (!note) {
            ended_ = true;
            return;
        }
        // Zone notes break lines at '\' as symbol notes do.
        if (note->size() >= 2) pendingNote_ = WithLineBreaks(wstring_view(*note).substr(1));
    }
}

std::optional<std::wstring> TextMapReader::NextRawLine() {
    const auto line = file_.ReadLine(L'\n', core::TextFile::kStripDelimiter |
                                                core::TextFile::kStripTrailingSpace);
    if (!line) return std::nullopt;
    return std::wstring(*line);
}

void TextMapReader::Label(const nav::WaypointRecord& at, wstring_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == L'\\' || text[start] == L' ')) ++start;
    std::wstring label = WithLineBreaks(text.substr(start));
    if (pending_.active) {
        while (label.size() > 2 && (label.back() == L' ' || label.back() == L'\t')) label.pop_back();
        if (label.size() >= 2 && label.ends_with(L"#!")) {
            pendingName_ = label.substr(0, label.size() - 2);
            return;
        }
    }
    auto e = std::make_unique<CMapTextElement>(
        PointMarkerElement(at, kLabelCode, std::move(label), context_.scales[0], context_.scales[1]));
    context_.Add(TargetList::kGeneral, std::move(e));
}

void TextMapReader::SymbolCircle(std::unique_ptr<CMapCircleElement> circle,
                                 std::vector<CMapCircleElement*>& zoneCircles) {
    circle->scale1 = context_.scales[0];
    circle->scale2 = context_.scales[1];
    if (!pending_.active) {
        circle->ComputeBounds();
        const std::int64_t n = Magnitude(circle->colourNumber);
        const TargetList target = n == 27   ? TargetList::kSymbols27
                                  : n == 17 ? TargetList::kSymbols17
                                            : TargetList::kGeneral;
        context_.Add(target, std::move(circle));
        return;
    }
    const bool hidden = pending_.flags == 3;
    circle->upperAltitude = pending_.upper;
    circle->lowerAltitude = pending_.lower;
    circle->limitA = pending_.a;
    circle->limitB = pending_.b;
    circle->flags = hidden ? element_flag::kNotesHidden : 0;
    pending_ = {};
    circle->ComputeBounds();
    if (context_.horGuardNm == 0.0F) {
        circle->flags |= element_flag::kZone;
        zoneCircles.push_back(circle.get());
        context_.Add(TargetList::kZones, std::move(circle));
        return;
    }
    circle->flags |= element_flag::kNotTested;
    auto copy = std::make_unique<CMapCircleElement>(*circle);
    copy->radiusKm += context_.horGuardNm * kKmPerNm;
    copy->flags = (circle->flags & ~element_flag::kNotTested) | element_flag::kEnlargedCopy;
    copy->ComputeBounds();
    circle->zoneSerial = context_.zoneCounter;
    copy->zoneSerial = context_.zoneCounter;
    ++context_.zoneCounter;
    zoneCircles.push_back(circle.get());
    zoneCircles.push_back(copy.get());
    context_.Add(TargetList::kZones, std::move(circle));
    context_.Add(TargetList::kZones, std::move(copy));
}

std::unique_ptr<CMapCircleElement> TextMapReader::AtCircle(wstring_view entry, bool& makeSymbol,
                                                           float& radiusMiles) {
    // "%f%*c%d%*c%d": radius, colour number n (0) and pen number t (2).
    const auto r = platform::ScanFloat(entry);
    if (!r) return nullptr;
    std::size_t pos = r->length;
    std::array<std::int32_t, 2> nt{0, 2};
    ScanSkippedInts(entry, pos, nt);
    float radius = r->value;
    if (radius < 0.0F) {
        makeSymbol = false;
        radius = -radius;
    }
    radiusMiles = radius * file_.UnitFactor();
    auto circle = std::make_unique<CMapCircleElement>();
    circle->radiusKm = radiusMiles * kKmPerMile;
    circle->colourNumber = nt[0];
    circle->penNumber = nt[1];
    std::int32_t pattern = 0;
    if (Magnitude(nt[0]) > 16) {  // then R, G, B and the pattern follow
        std::array<std::int32_t, 4> rgbp{};
        const int count = ScanSkippedInts(entry, pos, rgbp);
        if (count >= 3) circle->colour = ColorrefOf(rgbp);
        if (count == 4) pattern = rgbp[3];
    }
    circle->fillStyle = FillStyleOf(pattern, context_.hatchCounter);
    return circle;
}

void TextMapReader::Symbol(const nav::WaypointRecord& at, std::int32_t code, wstring_view text) {
    std::optional<std::wstring> note;
    if (!text.empty() && text[0] == L'\\') {
        text.remove_prefix(1);
        const auto line = NextRawLine();
        if (!line) {
            ended_ = true;
            return;
        }
        note = WithLineBreaks(*line);
    }
    std::size_t pos = 0;
    const std::optional<float> elevation = SymbolElevation(text, pos);

    // Circles ('@') and rings ('.') around the symbol.
    bool makeSymbol = true;
    float ringRadius = 0.0F;  // statute miles
    std::vector<CMapCircleElement*> zoneCircles;
    while (pos < text.size() && (text[pos] == L'@' || text[pos] == L'.')) {
        std::unique_ptr<CMapCircleElement> circle;
        if (text[pos] == L'.') {
            ringRadius += file_.HeaderRadius();
            circle = std::make_unique<CMapCircleElement>();
            circle->radiusKm = ringRadius * kKmPerMile;
            circle->fillStyle = 1;
            circle->penNumber = 2;
            ++pos;
        } else {
            const wstring_view entry = text.substr(pos + 1);
            circle = AtCircle(entry, makeSymbol, ringRadius);
            if (!circle) break;
            const std::size_t m = entry.find(L'M');
            pos = m == wstring_view::npos ? text.size() : pos + 1 + m + 1;
        }
        circle->centre = {static_cast<float>(at.x), static_cast<float>(at.y),
                          static_cast<float>(at.z)};
        SymbolCircle(std::move(circle), zoneCircles);
    }

    // The name, then up to four scale values of its own.
    const wstring_view rest = text.substr(std::min(pos, text.size()));
    const std::size_t comma = rest.find(L',');
    std::wstring name(rest.substr(0, comma));
    std::array<float, 4> scales = context_.scales;
    if (comma != wstring_view::npos) {
        std::array<float, 4> v{};
        const int n = ScanSeparated(rest.substr(comma + 1), v);
        if (n >= 2) {
            scales = {v[0] * sizeFactor_, v[1] * sizeFactor_, n == 4 ? v[2] * sizeFactor_ : 0.0F,
                      n == 4 ? v[3] * sizeFactor_ : 0.0F};
        }
    }
    if (!zoneCircles.empty()) NameZoneCircles(name, zoneCircles);
    if (!makeSymbol) return;

    auto e = std::make_unique<CMapTextElement>(
        PointMarkerElement(at, code, std::move(name), scales[0], scales[1]));
    e->scale3 = scales[2];
    e->scale4 = scales[3];
    e->elevation = elevation.value_or(0.0F);
    e->elevationGiven = elevation.has_value();
    if (note) {
        e->attachments.comment = std::move(*note);
        e->noteGiven = true;
    }
    context_.Add(TargetList::kGeneral, std::move(e));
}

void TextMapReader::NameZoneCircles(const std::wstring& name,
                                    const std::vector<CMapCircleElement*>& circles) {
    if (!name.empty()) {
        if (!pendingName_.empty()) pendingName_ += L"\r\n";
        pendingName_ += name;
    }
    for (CMapCircleElement* c : circles) {
        if (!pendingName_.empty()) c->SetString(pendingName_, L'\0', 0);
        if (!pendingNote_.empty()) c->SetString(pendingNote_, L'\0', 1);
    }
    pendingName_.clear();
    pendingNote_.clear();
}

}  // namespace

bool ParseTextMap(MapReadContext& context, CMapFile& mapFile, float sizeFactor) {
    const std::filesystem::path path(platform::ToUtf8(mapFile.GetFullPath()));
    // Includes at every depth are found beside the main map file.
    if (context.mainFolder.empty()) context.mainFolder = path.parent_path();
    std::vector<std::filesystem::path> open;
    std::error_code ec;
    open.push_back(std::filesystem::weakly_canonical(path, ec));
    TextMapReader reader(context, mapFile, sizeFactor, open);
    return reader.Read();
}


bool ReadMapAt(const std::filesystem::path& path, MapReadContext& context) {
    CMapFile file;
    if (!file.Open(path.wstring(), core::OpenMode::kRead, true)) return false;
    if (file.ReadHeader() != HeaderResult::kRead) return false;
    return ParseTextMap(context, file);
}

}  // namespace mapdata
