#include "recorder/logger_declaration.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string_view>
#include <thread>

#include "core/igc_text.h"
#include "core/settings_values.h"
#include "gps/gps_port.h"
#include "gps/settings_values.h"
#include "nav/task_model.h"
#include "platform/settings_store.h"
#include "recorder/igc_header.h"
#include "recorder/logger_library.h"
#include "recorder/task_declaration.h"
#include "resources/ids/strings_recorder.h"
#include "services/string_resources.h"

namespace recorder {
namespace {

using ids::kIdsFirstLoggerText;

constexpr std::size_t kHeaderTextLength = 30;
constexpr std::size_t kLoggerPilotLength = 78;
constexpr int kKindWithPortOpen = 6;

// Copies text into a zero-terminated UTF-16 array, cut to fit; igc folds
// each character to what an IGC file may hold.
template <std::size_t N>
void CopyText(char16_t (&to)[N], std::wstring_view text, std::size_t limit, bool igc) {
    text = text.substr(0, std::min(limit, N - 1));
    std::size_t i = 0;
    for (const wchar_t c : text) {
        to[i++] = igc ? static_cast<char16_t>(static_cast<unsigned char>(core::ToIgcChar(c, 1)))
                      : static_cast<char16_t>(c);
    }
    to[i] = u'\0';
}

std::wstring IgcText(std::wstring text) {
    core::MakeIgcText(text);
    return text;
}

std::u16string Utf16(std::wstring_view text) {
    std::u16string out;
    for (const wchar_t c : text) {
        if (c > 0xFFFF) {
            const auto v = static_cast<char32_t>(c) - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

void FillHeader(KvLoggerHeader& h) {
    const auto text = [](IgcHeaderText which) { return g_igcHeaderTexts[which].Get(); };
    CopyText(h.gliderId, text(kIgcGliderId), kHeaderTextLength, true);
    CopyText(h.gliderType, text(kIgcGliderType), kHeaderTextLength, true);
    CopyText(h.pilot, text(kIgcPilot), kLoggerPilotLength, true);
    CopyText(h.competitionClass, text(kIgcCompetitionClass), kHeaderTextLength, true);
    CopyText(h.competitionId, text(kIgcCompetitionId), kHeaderTextLength, true);
    CopyText(h.gps, text(kIgcFlightType), kHeaderTextLength, true);
    CopyText(h.site, text(kIgcSpare), kHeaderTextLength, true);
}

bool DeclarationChosen() {
    return platform::AppSettings().GetInt("Settings\\Task", "TransferToLogger", 0) != 0;
}

}  // namespace

std::int32_t LoggerUnitsWord(int varioUnit, int distUnit) {
    if (varioUnit == 1) return 1;
    switch (distUnit) {
        case 0:
            return 3;
        case 1:
            return 0;
        case 2:
            return 2;
        default:
            return 3;
    }
}

LoggerCall::LoggerCall(const nav::CTask& declared, int loggerType, int portNumber,
                       std::int32_t portRate)
    : port(portNumber), rate(portRate) {
    FillHeader(header);
    for (const DeclaredPoint& p : DeclaredPointsOf(declared)) {
        KvLoggerPoint point{};
        CopyText(point.name, IgcText(p.name), std::size(point.name), false);
        point.latitude = p.latitude;
        point.lonWest = p.lonWest;
        point.hasSector = p.hasSector ? 1 : 0;
        point.cylinderRadiusKm = p.cylinderRadiusKm;
        point.sectorRadiusKm = p.sectorRadiusKm;
        point.innerRadiusKm = p.innerRadiusKm;
        point.sectorAngleDeg = p.sectorAngleDeg;
        point.sectorDirectionDeg = p.sectorDirectionDeg;
        points.push_back(point);
    }
    CopyText(task.name, IgcText(declared.name), std::size(task.name), false);
    task.pointCount = static_cast<std::int32_t>(points.size());
    task.points = points.data();
    const int kind = loggerType & 0xFF;
    if (kind == 3 || kind == 4)
        units = LoggerUnitsWord(core::g_unitVario.load(), core::g_unitDist.load());
    for (int i = 0; i < kKvLoggerTextCount; ++i) {
        textStore_[i] = Utf16(core::LoadResourceString(kIdsFirstLoggerText + i));
        texts_[i] = textStore_[i].c_str();
    }
}

int LoggerCall::Call(DeclareTaskToLoggerFn declare) {
    return declare(port, rate, &header, &task, units ? &*units : nullptr,
                   static_cast<void*>(texts_));
}

std::optional<bool> DeclareToBoundLogger(const nav::CTask& declared) {
    const DeclareTaskToLoggerFn declare = LoggerDeclareEntryPoint();
    if (g_bLoggerLibraryBound.load() == 0 || declare == nullptr || !DeclarationChosen())
        return std::nullopt;
    const int type = LoggerType();
    const bool portStaysOpen = (type & 0xFF) == kKindWithPortOpen;
    const std::wstring portName = gps::g_gpsPortName.Get();
    const auto rate = static_cast<std::int32_t>(portStaysOpen ? g_loggerBundleRevision.load()
                                                              : gps::g_baudRate.load());
    // The logger talks on the GPS port itself; the reader must be gone.
    if (!portStaysOpen) gps::CloseGpsPort();
    LoggerCall call(declared, type, LoggerPortNumber(portName), rate);
    const bool declaredOk = call.Call(declare) != 0;
    if (!portStaysOpen) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        gps::OpenGpsPort(portName);
    }
    return declaredOk;
}

}  // namespace recorder
