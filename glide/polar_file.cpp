#include "glide/polar_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <utility>

#include "glide/speed_to_fly.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/unique_fd.h"
#include "platform/utf.h"

namespace glide {
namespace {

constexpr int kCoefficients = kPolarOrder / 2 + 1;
// Polar files are a few hundred bytes; anything beyond this is not one.
constexpr std::size_t kMaxPolarFileSize = 16 * 1024 * 1024;

// Reads the file's bytes one line (or field) at a time.
class ByteReader {
  public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }
    std::size_t Position() const { return pos_; }

    // Bytes up to the first of the stop characters (or the end); the stop
    // character is consumed and returned (0 at the end).
    std::pair<std::string_view, char> ReadUntil(std::string_view stops) {
        const std::size_t end = bytes_.find_first_of(stops, pos_);
        if (end == std::string_view::npos) {
            const std::string_view field = bytes_.substr(pos_);
            pos_ = bytes_.size();
            return {field, '\0'};
        }
        const std::string_view field = bytes_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return {field, bytes_[end]};
    }

    std::string_view ReadLine() { return ReadUntil("\n").first; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// The fields of line 2: each up to ',' or LF, the fourth to the end of the
// line.
std::vector<std::string_view> ReadHeaderFields(ByteReader& reader) {
    std::vector<std::string_view> fields;
    while (true) {
        const bool last = fields.size() == 3;
        const auto [field, stop] = reader.ReadUntil(last ? "\n" : ",\n");
        fields.push_back(field);
        if (last || stop != ',') return fields;
    }
}

// "%f%*c%f": a number, exactly one character, a number.
std::optional<PolarPoint> ParsePoint(std::string_view line) {
    const auto speed = platform::ScanFloat(line);
    if (!speed || speed->length >= line.size()) return std::nullopt;
    const auto sink = platform::ScanFloat(line.substr(speed->length + 1));
    if (!sink) return std::nullopt;
    return PolarPoint{speed->value, sink->value};
}

float IntegerPower(float value, int exponent) {
    float result = 1.0F;
    for (int i = 0; i < exponent; ++i)
        result *= value;
    return result;
}

bool AllFinite(const NormalEquations& equations) {
    for (int i = 0; i < kCoefficients; ++i) {
        if (!std::isfinite(equations.rhs[i])) return false;
        for (int j = 0; j < kCoefficients; ++j) {
            if (!std::isfinite(equations.matrix[i][j])) return false;
        }
    }
    return true;
}

bool SingularMatrix(const wchar_t* text) {
    platform::ShowMessageBox(nullptr, text, L"", platform::mb::kTopmost);
    return false;
}

}  // namespace

std::optional<PolarFileContents> ParsePolarFile(std::string_view bytes) {
    ByteReader reader(bytes);
    reader.ReadLine();  // the title

    PolarFileContents contents;
    const std::vector<std::string_view> fields = ReadHeaderFields(reader);
    const auto weight = platform::ScanInt(fields[0]);
    if (!weight) return std::nullopt;
    contents.weightExponent = weight->value >= 0 && weight->value <= 2 ? weight->value : 1;

    float floor = 5.0F;
    float minimumSpeed = 0.0F;
    if (fields.size() >= 2) {
        const auto value = platform::ScanFloat(fields[1]);
        if (!value) return std::nullopt;
        floor = value->value;
    }
    if (fields.size() >= 3) {
        const auto value = platform::ScanFloat(fields[2]);
        if (!value) return std::nullopt;
        minimumSpeed = value->value;
    }
    if (fields.size() == 4) {
        const auto unitSet = platform::ScanInt(fields[3]);
        contents.unitSet =
            unitSet && unitSet->value >= 0 && unitSet->value <= 2 ? unitSet->value : 0;
        floor /= kPolarUnits[contents.unitSet].speedDivisor;
        minimumSpeed /= kPolarUnits[contents.unitSet].speedDivisor;
    }
    if (fields.size() != 3 && floor < 5.0F) floor = 5.0F;
    contents.minimumSpeedFloor = floor;
    if (fields.size() >= 3) contents.minimumSpeed = minimumSpeed < floor ? floor : minimumSpeed;

    const PolarUnits units = kPolarUnits[contents.unitSet];
    contents.pointsEndAtEnd = true;
    while (!reader.AtEnd()) {
        const auto point = ParsePoint(reader.ReadLine());
        if (!point) {
            contents.pointsEndAtEnd = false;
            break;
        }
        contents.points.push_back(
            {point->speed / units.speedDivisor, point->sink / units.sinkDivisor});
    }
    if (!contents.pointsEndAtEnd) reader.ReadLine();
    contents.reportOffset = reader.Position();
    return contents;
}

NormalEquations BuildNormalEquations(const std::vector<PolarPoint>& points, int weightExponent) {
    NormalEquations equations;
    for (const PolarPoint& point : points) {
        const float weight = 1.0F / IntegerPower(point.sink, weightExponent);
        for (int i = 0; i < kCoefficients; ++i) {
            equations.rhs[i] += point.sink * IntegerPower(point.speed, i) * weight;
            for (int j = 0; j < kCoefficients; ++j) {
                equations.matrix[i][j] += IntegerPower(point.speed, i + j) * weight;
            }
        }
    }
    return equations;
}

bool GaussJordanSolve(NormalEquations& equations) {
    auto& a = equations.matrix;
    auto& b = equations.rhs;
    constexpr int n = kCoefficients;
    std::array<int, n> pivotCount{};
    std::array<int, n> pivotRow{};
    std::array<int, n> pivotColumn{};
    for (int round = 0; round < n; ++round) {
        float biggest = 0.0F;
        int row = -1;
        int column = -1;
        for (int j = 0; j < n; ++j) {
            if (pivotCount[j] == 1) continue;
            for (int k = 0; k < n; ++k) {
                if (pivotCount[k] == 0) {
                    // At least as large: a later element of equal size wins.
                    if (std::fabs(a[j][k]) >= biggest) {
                        biggest = std::fabs(a[j][k]);
                        row = j;
                        column = k;
                    }
                } else if (pivotCount[k] > 1) {
                    return SingularMatrix(L"GAUSSJ: Singular Matrix-1");
                }
            }
        }
        // No element compared at all: only non-numbers were left.
        if (column < 0) return SingularMatrix(L"GAUSSJ: Singular Matrix-2");
        ++pivotCount[column];
        if (row != column) {
            std::swap(a[row], a[column]);
            std::swap(b[row], b[column]);
        }
        pivotRow[round] = row;
        pivotColumn[round] = column;
        if (a[column][column] == 0.0F) return SingularMatrix(L"GAUSSJ: Singular Matrix-2");
        const float inverse = 1.0F / a[column][column];
        a[column][column] = 1.0F;
        for (int l = 0; l < n; ++l)
            a[column][l] *= inverse;
        b[column] *= inverse;
        for (int other = 0; other < n; ++other) {
            if (other == column) continue;
            const float factor = a[other][column];
            a[other][column] = 0.0F;
            for (int l = 0; l < n; ++l)
                a[other][l] -= a[column][l] * factor;
            b[other] -= b[column] * factor;
        }
    }
    for (int round = n - 1; round >= 0; --round) {
        if (pivotRow[round] == pivotColumn[round]) continue;
        for (int k = 0; k < n; ++k)
            std::swap(a[k][pivotRow[round]], a[k][pivotColumn[round]]);
    }
    return true;
}

GlidePolar PolarFit::AsPolar() const {
    GlidePolar polar;
    polar.a = a;
    polar.b = b;
    polar.c = c;
    polar.valid = true;
    polar.minimumSpeedFloor = minimumSpeedFloor;
    polar.minimumSpeed = minimumSpeed;
    polar.minimumSpeedSink = minimumSpeedSink;
    polar.bestGlideSpeed = bestGlideSpeed;
    return polar;
}

std::optional<PolarFit> FitPolarContents(const PolarFileContents& contents,
                                         float heldMinimumSpeed) {
    if (contents.points.size() <= 4) return std::nullopt;
    NormalEquations equations = BuildNormalEquations(contents.points, contents.weightExponent);
    // Infinite weights (a sink of 0 weighted by a power of it) make no polar.
    if (!AllFinite(equations)) return std::nullopt;
    if (!GaussJordanSolve(equations)) return std::nullopt;

    PolarFit fit;
    fit.a = equations.rhs[0];
    fit.b = equations.rhs[1];
    fit.c = equations.rhs[2];
    fit.minimumSpeedFloor = contents.minimumSpeedFloor;
    fit.minimumSpeed = contents.minimumSpeed.value_or(heldMinimumSpeed);
    fit.minimumSpeedSink = fit.AsPolar().Sink(fit.minimumSpeed);
    fit.bestGlideSpeed = std::sqrt(fit.a / fit.c);
    const bool usable = std::isfinite(fit.a) && std::isfinite(fit.b) && std::isfinite(fit.c) &&
                        fit.c > 0.0F && std::isfinite(fit.bestGlideSpeed) &&
                        std::isfinite(fit.minimumSpeedSink);
    if (!usable) return std::nullopt;
    return fit;
}

std::string FormatPolarReport(const PolarFit& fit, int unitSet) {
    const PolarUnits units = kPolarUnits[unitSet];
    const GlidePolar polar = fit.AsPolar();
    std::string out = "\r\n\r\nV polar fit ";
    out += platform::FormatC("%d calculated coefficients-high order first\r\n", kCoefficients);
    const std::array<float, 3> coefficients{fit.a, fit.b, fit.c};
    for (int i = kCoefficients - 1; i >= 0; --i) {
        const float inFileUnits =
            coefficients[i] * units.sinkDivisor / IntegerPower(units.speedDivisor, i);
        out += platform::FormatC("%.3E\r\n", static_cast<double>(inFileUnits));
    }
    out += "calculated coefficients-end\r\nFit Results:\r\n";
    out += "speed   sink   L/D\r\n";
    for (float v = 40.0F; v < 145.0F; v += 5.0F) {
        const float sink = polar.Sink(v);
        out += platform::FormatC(
            "%5.1f, %5.2f, %5.1f\r\n", static_cast<double>(v * units.speedDivisor),
            static_cast<double>(sink * units.sinkDivisor), static_cast<double>(v / sink));
    }
    out += unitSet == 2 ? "\r\n       spdToFly[km/h]\r\n" : "\r\n       spdToFly[kts]\r\n";
    out += "sink  wind=0 wind=10 wind=20 wind=-15\r\n";
    for (float m = 0.0F; m < 15.0F; m += 0.5F) {
        out += platform::FormatC("%5.1f", static_cast<double>(m * units.sinkDivisor));
        // Head winds 0, 10 and 20 kt; the step past 20 becomes -15, the last.
        for (const float headWind : {0.0F, 10.0F, 20.0F, -15.0F}) {
            const float speed = WindSpeedToFly(polar, -m, 0.0F, headWind);
            out += platform::FormatC("  %5.1f", static_cast<double>(speed * units.speedDivisor));
        }
        out += "\r\n";
    }
    out += "end results\r\n";
    return out;
}

namespace {

std::optional<std::string> ReadAll(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) > kMaxPolarFileSize) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

void WriteAt(int fd, std::string_view bytes, std::size_t offset) {
    while (!bytes.empty()) {
        const ssize_t put = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (put <= 0) return;  // the fit stands; only its report is incomplete
        bytes.remove_prefix(static_cast<std::size_t>(put));
        offset += static_cast<std::size_t>(put);
    }
}

void ClearPolarValid() {
    ChangePolarSettings([](PolarSettings& settings) { settings.inUse.valid = false; });
}

// The fit becomes the polar in use, unscaled.
void AdoptFit(const PolarFit& fit) {
    ChangePolarSettings([&fit](PolarSettings& settings) {
        settings.a0 = fit.a;
        settings.b0 = fit.b;
        settings.c0 = fit.c;
        settings.minimumSpeedBase = fit.minimumSpeed;
        settings.minimumSpeedSinkBase = fit.minimumSpeedSink;
        settings.bestGlideSpeedBase = fit.bestGlideSpeed;
        GlidePolar& polar = settings.inUse;
        polar.a = fit.a;
        polar.b = fit.b;
        polar.c = fit.c;
        polar.valid = true;
        polar.minimumSpeedFloor = fit.minimumSpeedFloor;
        polar.minimumSpeed = fit.minimumSpeed;
        polar.minimumSpeedSink = fit.minimumSpeedSink;
        polar.bestGlideSpeed = fit.bestGlideSpeed;
    });
}

}  // namespace

bool FitPolar(const std::wstring& path) {
    if (path.empty()) {
        ClearPolarValid();
        return false;
    }
    const platform::UniqueFd file(::open(platform::ToUtf8(path).c_str(), O_RDWR | O_CLOEXEC));
    if (file.Get() < 0) return false;

    const auto bytes = ReadAll(file.Get());
    const auto contents = bytes ? ParsePolarFile(*bytes) : std::nullopt;
    const auto fit = contents ? FitPolarContents(*contents, CurrentPolarSettings().minimumSpeedBase)
                              : std::nullopt;
    if (!fit) {
        ClearPolarValid();
        return false;
    }
    AdoptFit(*fit);
    WriteAt(file.Get(), FormatPolarReport(*fit, contents->unitSet), contents->reportOffset);
    return true;
}

}  // namespace glide
