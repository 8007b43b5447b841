#pragma once
// The kinds of sentence the classifier tells apart. The numbers are the
// sentence type codes the rest of the input path uses.

#include <cstdint>

namespace gps {

enum class SentenceType : std::uint8_t {
    kNone = 0,  // not taken
    kRmc = 1,
    kVtg = 2,
    kGga = 3,
    kGll = 4,
    kHdm = 5,
    kB50 = 6,   // "$PBB50", any talker
    kBser = 7,  // "$xBSER"
    kRmz = 8,   // "$PGRMZ"
    kHdg = 9,
    kHdt = 10,
    kBangW = 11,        // a '!'-started "w" sentence
    kAid = 12,          // "$PxAID"
    kGcs = 13,          // "$xGCS,1"
    kPwin = 14,         // "$xPWIN"
    kBinaryFrame = 15,  // the 45-byte binary frame; never produced by the classifier
    kLxwp0 = 16,
    kLxwp2 = 17,
    kPressureMetres = 18,  // "$PZAN1" and "$PFSRA"
    kGsa = 19,
    kPfsb = 20,
    kPfsBang = 21,  // "$PFS!"
    kPflau = 22,
    kPflaa = 23,
    kPflav = 24,
    kPilc = 25,
    kPflac = 26,
    kPflae = 27,
    kPtas1 = 28,
};

// FLARM traffic sentences go to the FLARM library, never to the parser.
constexpr bool IsFlarmSentence(SentenceType type) {
    switch (type) {
        case SentenceType::kPflau:
        case SentenceType::kPflaa:
        case SentenceType::kPflav:
        case SentenceType::kPflac:
        case SentenceType::kPflae:
            return true;
        default:
            return false;
    }
}

}  // namespace gps
