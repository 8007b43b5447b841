#include "gps/port_modem_lines.h"

#include <mutex>
#include <string_view>
#include <vector>

#include "core/settings_values.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/serial_device.h"

namespace gps {
namespace {

constexpr unsigned kAllLines = platform::modem_line::kAll;
constexpr std::size_t kLineCount = 4;

std::mutex g_textsMutex;
ModemEventTexts g_texts;

unsigned Bit(std::size_t line) {
    return 1U << line;
}

bool IgcLog() {
    return core::g_logFormat.load() == 1;
}

}  // namespace

void SetModemEventTexts(const ModemEventTexts& texts) {
    const std::lock_guard lock(g_textsMutex);
    g_texts = texts;
}

ModemEventTexts GetModemEventTexts() {
    const std::lock_guard lock(g_textsMutex);
    return g_texts;
}

int MillisecondsInMinute() {
    const platform::SystemTime now = platform::SystemTimeUtc();
    return now.second * 1000 + now.milliseconds;
}

unsigned ModemLineMonitor::Levels(std::optional<unsigned> lines) {
    const bool invert = g_invertEvents.load() != 0;
    // The remembered levels follow a change of the setting, so that the
    // change itself is no edge.
    if (invert != stableInverted_) {
        stable_ ^= kAllLines;
        stableInverted_ = invert;
    }
    if (!lines) return 0;
    return (invert ? ~*lines : *lines) & kAllLines;
}

void ModemLineMonitor::Start(std::optional<unsigned> lines, int nowMs) {
    stableInverted_ = g_invertEvents.load() != 0;
    stable_ = Levels(lines);
    lastChangeMs_.fill(nowMs);
}

unsigned ModemLineMonitor::LastingChanges(unsigned changed, unsigned& levels, int nowMs) {
    const ModemEventTexts texts = GetModemEventTexts();
    for (std::size_t line = 0; line < kLineCount; ++line) {
        const unsigned bit = Bit(line);
        if ((changed & bit) == 0) continue;
        int elapsed = nowMs - lastChangeMs_[line];
        if (elapsed < 0) elapsed += kMinuteMs;
        if (elapsed <= kBounceMs) {
            levels = (levels & ~bit) | (stable_ & bit);
            changed &= ~bit;
            continue;
        }
        lastChangeMs_[line] = nowMs;
        const std::string& text = (levels & bit) != 0 ? texts.high[line] : texts.low[line];
        if (text.empty()) changed &= ~bit;
    }
    return changed;
}

void ModemLineMonitor::Look(std::optional<unsigned> lines, int nowMs,
                            PortReaderServices& services) {
    unsigned levels = Levels(lines);
    if (!lines) stable_ = 0;
    if (const unsigned changed = stable_ ^ levels) {
        const unsigned lasting = LastingChanges(changed, levels, nowMs);
        if (lasting != 0 && services.HaveFix()) {
            pendingBits_ |= lasting;
            pendingLevels_ |= levels;
        }
    }
    if (pendingBits_ != 0 && IgcLog()) WritePending(services);
    stable_ = levels;
}

void ModemLineMonitor::WritePending(PortReaderServices& services) {
    const ModemEventTexts texts = GetModemEventTexts();
    const FixClock clock = services.CurrentFixClock();
    std::vector<std::string> records;
    for (std::size_t line = 0; line < kLineCount; ++line) {
        if ((pendingBits_ & Bit(line)) == 0) continue;
        const std::string& text =
            (pendingLevels_ & Bit(line)) != 0 ? texts.high[line] : texts.low[line];
        records.push_back(platform::FormatC("E%02d%02d%02d%s\r\n", clock.hours, clock.minutes,
                                            clock.seconds, text.c_str()));
    }
    const std::vector<std::string_view> views(records.begin(), records.end());
    services.AppendLogRecords(views);
    pendingBits_ = 0;
    pendingLevels_ = 0;
}

}  // namespace gps
