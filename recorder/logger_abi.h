#pragma once
// What the program hands an FAI-logger library's DeclareTaskToLogger(port,
// rate, header, task, options, texts): plain C data, so that a library built
// by anyone can read it. Texts are UTF-16 and zero-terminated within their
// arrays.

#include <cstdint>

extern "C" {

// The pilot's header: eight strings laid end to end, 608 bytes.
struct KvLoggerHeader {
    char16_t gliderId[32];
    char16_t gliderType[32];
    char16_t pilot[80];
    char16_t competitionClass[32];
    char16_t competitionId[32];
    char16_t gps[32];
    char16_t site[32];
    char16_t spare[32];  // stays empty
};

// One declared point; angles in radians, west longitudes positive.
struct KvLoggerPoint {
    char16_t name[32];
    double latitude;
    double lonWest;
    std::int32_t hasSector;
    double cylinderRadiusKm;
    double sectorRadiusKm;
    double innerRadiusKm;
    double sectorAngleDeg;
    double sectorDirectionDeg;
};

struct KvLoggerTask {
    char16_t name[64];
    std::int32_t pointCount;
    const KvLoggerPoint* points;
};

// The five texts the library may show: the five strings from
// ids::kIdsFirstLoggerText on.
inline constexpr int kKvLoggerTextCount = 5;
typedef const char16_t* KvLoggerTexts[kKvLoggerTextCount];

// The sensor-box library's entry points, by their exported names.
typedef void (*SetupFSBFn)(void* parent, void* reserved);
typedef int (*GetFSBdllVerFn)(void);
typedef std::uint32_t (*GetFSBboxFn)(void);
typedef int (*RequestPortValueFn)(void* box);
typedef int (*DecodeFSBstringFn)(void* box, const char* text);
typedef int (*GetBoxParametersFn)(void* box, int which);

}  // extern "C"

static_assert(sizeof(KvLoggerHeader) == 608);
