// A stand-in for the FAI-logger library: GetLoggerType answers
// STUB_LOGGER_TYPE (left out with STUB_WITHOUT_GET_TYPE), DeclareTaskToLogger
// is left out with STUB_WITHOUT_DECLARE, and the last declaration is kept
// for the tests.

#include <cstring>

#include "recorder/logger_abi.h"
#include "services/flarm_library.h"

#define STUB_EXPORT __attribute__((visibility("default")))

struct StubDeclaration {
    int calls;
    int port;
    std::int32_t rate;
    KvLoggerHeader header;
    char16_t taskName[64];
    std::int32_t pointCount;
    char16_t firstPointName[32];
    double firstLatitude;
    int hasUnits;
    std::int32_t units;
    char16_t firstText[64];
    char16_t lastText[64];
};

namespace {
StubDeclaration g_last{};

template <std::size_t N>
void Copy(char16_t (&to)[N], const char16_t* from) {
    std::size_t i = 0;
    for (; from != nullptr && from[i] != u'\0' && i + 1 < N; ++i)
        to[i] = from[i];
    to[i] = u'\0';
}
}  // namespace

extern "C" {

#ifndef STUB_WITHOUT_GET_TYPE
STUB_EXPORT int GetLoggerType() {
    return STUB_LOGGER_TYPE;
}
#endif

#ifndef STUB_WITHOUT_DECLARE
STUB_EXPORT int DeclareTaskToLogger(int port, std::int32_t rate, void* header, void* task,
                                    void* options, void* texts) {
    ++g_last.calls;
    g_last.port = port;
    g_last.rate = rate;
    std::memcpy(&g_last.header, header, sizeof(KvLoggerHeader));
    const auto* t = static_cast<const KvLoggerTask*>(task);
    Copy(g_last.taskName, t->name);
    g_last.pointCount = t->pointCount;
    if (t->pointCount > 0) {
        Copy(g_last.firstPointName, t->points[0].name);
        g_last.firstLatitude = t->points[0].latitude;
    }
    g_last.hasUnits = options != nullptr;
    g_last.units = options != nullptr ? *static_cast<const std::int32_t*>(options) : -1;
    const auto* list = static_cast<const char16_t* const*>(texts);
    Copy(g_last.firstText, list[0]);
    Copy(g_last.lastText, list[kKvLoggerTextCount - 1]);
    return STUB_DECLARE_ANSWER;
}
#endif

STUB_EXPORT const StubDeclaration* StubLastDeclaration() {
    return &g_last;
}

}  // extern "C"
