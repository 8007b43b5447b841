#include "gps/nmea_classify.h"

#include <atomic>
#include <cstddef>

#include "gps/nmea_checksum.h"
#include "gps/nmea_environment.h"
#include "gps/nmea_parser_state.h"
#include "services/flarm_library.h"

namespace gps {
namespace {

std::atomic<FlarmTransferFn> g_flarmTransfer{nullptr};

// The characters of a line before its LF; positions beyond it read as a
// value no character has, so a short line never matches on stale bytes.
class LineView {
  public:
    explicit LineView(std::span<char> line) : line_(line) {}

    int At(std::size_t position) const {
        if (position + 1 >= line_.size()) return -1;
        return static_cast<unsigned char>(line_[position]);
    }
    bool Is(std::size_t position, char c) const {
        return At(position) == static_cast<unsigned char>(c);
    }

  private:
    std::span<char> line_;
};

using T = SentenceType;

T ClassifyD(const LineView& l) {
    if (!l.Is(3, 'H')) return T::kNone;
    if (l.Is(5, 'M')) return T::kHdm;
    if (l.Is(5, 'T')) return T::kHdt;
    if (l.Is(5, 'G')) return T::kHdg;
    return T::kNone;
}

T ClassifyI(const LineView& l) {
    if (l.Is(5, 'D') && l.Is(3, 'A') && l.Is(1, 'P')) return T::kAid;
    if (l.Is(5, 'N') && l.Is(3, 'W') && l.Is(2, 'P')) return T::kPwin;
    return T::kNone;
}

T ClassifyS(const LineView& l) {
    if (l.Is(5, 'A') && l.Is(3, 'G') && l.Is(2, 'P')) return T::kGsa;
    if (l.Is(5, ',') && l.Is(6, '1') && l.Is(3, 'C') && l.Is(2, 'G')) return T::kGcs;
    if (l.Is(5, '1') && l.Is(3, 'A') && l.Is(2, 'T') && l.Is(1, 'P')) return T::kPtas1;
    return T::kNone;
}

T ClassifyP(const LineView& l) {
    if (!l.Is(3, 'W') || !l.Is(2, 'X') || !l.Is(1, 'L')) return T::kNone;
    if (l.Is(5, '0')) return T::kLxwp0;
    if (l.Is(5, '2')) return T::kLxwp2;
    return T::kNone;
}

T ClassifyFlarm(const LineView& l) {
    if (!FlarmPresent() || !l.Is(3, 'L') || !l.Is(1, 'P') || !l.Is(2, 'F')) return T::kNone;
    switch (l.At(5)) {
        case 'U':
            return T::kPflau;
        case 'A':
            return T::kPflaa;
        case 'V':
            return T::kPflav;
        case 'C':
            return T::kPflac;
        case 'E':
            return T::kPflae;
        default:
            return T::kNone;
    }
}

bool IsPfs(const LineView& l) {
    return l.Is(3, 'S') && l.Is(1, 'P') && l.Is(2, 'F');
}

// The sentence type by the identifier's characters alone.
T ClassifyIdentifier(const LineView& l) {
    switch (l.At(4)) {
        case 'M':
            if (l.Is(5, 'C')) return T::kRmc;
            return l.Is(5, 'Z') ? T::kRmz : T::kNone;
        case 'T':
            return l.Is(5, 'G') ? T::kVtg : T::kNone;
        case 'G':
            return l.Is(5, 'A') ? T::kGga : T::kNone;
        case 'L':
            return l.Is(5, 'L') ? T::kGll : T::kNone;
        case 'D':
            return ClassifyD(l);
        case '5':
            return l.Is(5, '0') && l.Is(3, 'B') ? T::kB50 : T::kNone;
        case 'E':
            return l.Is(5, 'R') && l.Is(3, 'S') && l.Is(2, 'B') ? T::kBser : T::kNone;
        case 'w':
            return l.Is(5, ',') && l.At(3) == 0 ? T::kBangW : T::kNone;
        case 'I':
            return ClassifyI(l);
        case 'S':
            return ClassifyS(l);
        case 'P':
            return ClassifyP(l);
        case 'N':
            return l.Is(5, '1') && l.Is(3, 'A') && l.Is(2, 'Z') && l.Is(1, 'P') ? T::kPressureMetres
                                                                                : T::kNone;
        case 'R':
            return l.Is(5, 'A') && l.Is(3, 'S') && l.Is(2, 'F') && l.Is(1, 'P') ? T::kPressureMetres
                                                                                : T::kNone;
        case 'B':
            return IsPfs(l) ? T::kPfsb : T::kNone;
        case '!':
            return IsPfs(l) ? T::kPfsBang : T::kNone;
        case 'A':
            return ClassifyFlarm(l);
        case 'C':
            return l.Is(3, 'L') && l.Is(1, 'P') && l.Is(2, 'I') ? T::kPilc : T::kNone;
        default:
            return T::kNone;
    }
}

// "*hh" right before the line end, matching the XOR of the bytes between
// '$' and '*' ($PFS!: from position 8).
bool ChecksumHolds(std::span<char> line, SentenceType type) {
    const std::size_t end = NmeaLineEnd(line);
    if (end < 4 || line[end - 3] != '*') return false;
    const int star = static_cast<int>(end - 3);
    const int computed = type == T::kPfsBang ? NmeaChecksum(line.data() + 8, star - 8)
                                             : NmeaChecksum(line.data() + 1, star - 1);
    const int sent = 16 * ChecksumDigitValue(line[end - 2]) + ChecksumDigitValue(line[end - 1]);
    return computed == sent;
}

void TransferToFlarm(SentenceType type, std::span<char> line, std::size_t star) {
    g_nmeaState.flarmSeen = true;
    const FlarmTransferFn transfer = g_flarmTransfer.load();
    if (transfer == nullptr) return;
    const NmeaEnvironment& environment = CurrentNmeaEnvironment();
    const char* text = line.data() + (star < 7 ? star : 7);
    transfer(static_cast<int>(type), text, static_cast<float>(environment.TrueCourse()),
             static_cast<float>(environment.WindCorrectionAngle()), 0);
}

}  // namespace

void SetFlarmTransfer(FlarmTransferFn transfer) {
    g_flarmTransfer.store(transfer);
}

std::size_t NmeaLineEnd(std::span<const char> line) {
    std::size_t end = line.empty() ? 0 : line.size() - 1;
    if (end > 0 && line[end - 1] == '\r') --end;
    return end;
}

SentenceType ClassifyNmeaSentence(std::span<char> line) {
    if (line.empty() || line.back() != '\n') return T::kNone;
    const SentenceType type = ClassifyIdentifier(LineView(line));
    if (type == T::kNone || !ChecksumHolds(line, type)) return T::kNone;
    const std::size_t star = NmeaLineEnd(line) - 3;
    line[star] = '\0';
    if (!IsFlarmSentence(type)) return type;
    TransferToFlarm(type, line, star);
    return T::kNone;
}

}  // namespace gps
